#include "file_types.h"

#include "file_io.h"
#include "core/util.h"

#include <cctype>

namespace mv {
namespace {

struct TypeRow {
    const char* name;
    FileFilter open;        // {nullptr, nullptr} when File Open does not list the type
    const char* ext[2];     // recognised extensions in capitals
    const char* default_ext;
};

constexpr TypeRow kTypes[kFileTypeCount] = {
    {"N/A", {nullptr, nullptr}, {nullptr, nullptr}, ""},
    {"Unknown", {"All Files", "*.*"}, {nullptr, nullptr}, ""},
    {"TIFF", {"TIFF", "*.tif;*.tiff"}, {"TIF", "TIFF"}, ".tif"},
    {"JPEG", {"JPEG", "*.jpg;*.jpeg"}, {"JPG", "JPEG"}, ".jpg"},
    {"BMP", {"BMP", "*.bmp"}, {"BMP", nullptr}, ".bmp"},
    {"Targa", {"Targa", "*.tga"}, {"TGA", nullptr}, ".tga"},
    {"PCX", {"PCX", "*.pcx"}, {"PCX", nullptr}, ".pcx"},
    {"GIF", {"GIF", "*.gif"}, {"GIF", nullptr}, ".gif"},
    {"Photo CD", {"PhotoCD", "*.pcd"}, {"PCD", nullptr}, ".pcd"},
    {"PNG", {"PNG", "*.png"}, {"PNG", nullptr}, ".png"},
    {"FlashPix", {"FlashPix", "*.fpx"}, {"FPX", nullptr}, ".fpx"},
    {"FITS", {"FITS", "*.fit;*.fits"}, {"FIT", "FITS"}, ".fit"},
    {"RLE", {"RLE", "*.rle"}, {"RLE", nullptr}, ".rle"},
    {"PICT", {nullptr, nullptr}, {nullptr, nullptr}, ""},
};

struct SaveRow {
    FileFilter filter;
    const char* default_ext;
    const char* accepted[2]; // with their points
    int file_type;
    const char* message;
};

constexpr SaveRow kSaves[kSaveFilterCount + 1] = {
    {{nullptr, nullptr}, "", {nullptr, nullptr}, -1, ""},
    {{"TIFF", "*.tif;*.tiff"}, ".tif", {".tif", ".tiff"}, FILE_TIFF,
     "TIFF files must have an extension of .tif or .tiff"},
    {{"JPEG", "*.jpg;*.jpeg"}, ".jpg", {".jpg", ".jpeg"}, FILE_JPEG,
     "JPEG files must have an extension of .jpg or .jpeg"},
    {{"BMP", "*.bmp"}, ".bmp", {".bmp", nullptr}, FILE_BMP,
     "BMP files must have an extension of .bmp"},
    {{"Targa", "*.tga"}, ".tga", {".tga", nullptr}, FILE_TARGA,
     "Targa files must have an extension of .tga"},
    {{"PCX", "*.pcx"}, ".pcx", {".pcx", nullptr}, FILE_PCX,
     "PCX files must have an extension of .pcx"},
    {{"GIF", "*.gif"}, ".gif", {".gif", nullptr}, FILE_GIF,
     "GIF files must have an extension of .gif"},
    {{"EPS", "*.eps"}, ".eps", {".eps", nullptr}, FILE_NONE,
     "EPS files must have an extension of .eps"},
    {{"PNG", "*.png"}, ".png", {".png", nullptr}, FILE_PNG,
     "PNG files must have an extension of .png"},
    {{"FlashPix", "*.fpx"}, ".fpx", {".fpx", nullptr}, FILE_FLASHPIX,
     "FlashPix files must have an extension of .fpx"},
    {{"FITS", "*.fit;*.fits"}, ".fit", {".fit", ".fits"}, FILE_FITS,
     "FITS files must have an extension of .fit or .fits"},
    {{"RLE", "*.rle"}, ".rle", {".rle", nullptr}, FILE_RLE,
     "RLE files must have an extension of .rle"},
};

constexpr int kTypeToSave[kFileTypeCount] = {0, 0, 1, 2, 3, 4, 5, 6, 0, 8, 9, 10, 11, 0};

bool valid_save(int index) { return index >= 1 && index <= kSaveFilterCount; }

} // namespace

const char* file_type_name(int type)
{
    return type >= 1 && type < kFileTypeCount ? kTypes[type].name : "N/A";
}

const FileFilter* open_filter(int type)
{
    if (type < 1 || type >= kFileTypeCount || !kTypes[type].open.name)
        return nullptr;
    return &kTypes[type].open;
}

const char* file_type_default_extension(int type)
{
    return type >= 0 && type < kFileTypeCount ? kTypes[type].default_ext : "";
}

int file_type_from_extension(std::string_view path)
{
    const std::string_view ext = path_extension(path);
    if (ext.empty())
        return FILE_UNKNOWN;
    for (int t = 2; t < kFileTypeCount; ++t)
        for (const char* e : kTypes[t].ext)
            if (e && str_equal_nocase(ext, e))
                return t;
    return FILE_UNKNOWN;
}

const FileFilter* save_filter(int index)
{
    return valid_save(index) ? &kSaves[index].filter : nullptr;
}

const char* save_default_extension(int index)
{
    return valid_save(index) ? kSaves[index].default_ext : "";
}

int save_filter_file_type(int index)
{
    return valid_save(index) ? kSaves[index].file_type : -1;
}

int file_type_save_filter(int type)
{
    return type >= 0 && type < kFileTypeCount ? kTypeToSave[type] : 0;
}

int save_filter_by_name(std::string_view name)
{
    for (int i = 1; i <= kSaveFilterCount; ++i)
        if (str_equal_nocase(name, kSaves[i].filter.name))
            return i;
    return 0;
}

int save_filter_from_extension(std::string_view path)
{
    const std::string_view ext = path_extension(path);
    if (ext.empty())
        return 0;
    for (int i = 1; i <= kSaveFilterCount; ++i)
        for (const char* e : kSaves[i].accepted)
            if (e && str_equal_nocase(ext, e + 1))
                return i;
    return 0;
}

std::vector<int> save_filter_list(int image_type)
{
    if (image_type == 6 || image_type == 7)
        return {SAVE_TIFF, SAVE_FITS};
    std::vector<int> all;
    for (int i = 1; i <= kSaveFilterCount; ++i)
        all.push_back(i);
    return all;
}

bool save_extension_ok(std::string_view path, int index, std::string& message)
{
    if (!valid_save(index)) {
        message = "Unknown file type";
        return false;
    }
    const std::string_view ext = path_extension(path);
    for (const char* e : kSaves[index].accepted)
        if (e && !ext.empty() && str_equal_nocase(ext, e + 1))
            return true;
    message = kSaves[index].message;
    return false;
}

} // namespace mv
