#include "format_entry.h"

#include "file_types.h"
#include "fits_read.h"
#include "fits_write.h"
#include "imaging_library.h"
#include "tiff_classify.h"
#include "tiff_read.h"
#include "tiff_write.h"
#include "core/error.h"
#include "core/format.h"
#include "reduce/color_reducer.h"

namespace mv {
namespace {

struct SaveRule {
    int filter;
    int library_format;  // 0 for the program's own writers
    unsigned accepted;   // bit t set when picture type t may be saved
    int wrong_type;
    int failure;
};

constexpr unsigned bits(std::initializer_list<int> types)
{
    unsigned m = 0;
    for (int t : types)
        m |= 1u << t;
    return m;
}

constexpr SaveRule kSaveRules[] = {
    {SAVE_TIFF, 0, bits({1, 2, 3, 6, 7}), 58, 57},
    {SAVE_JPEG, LIB_JPEG, bits({2, 3}), 24, 23},
    {SAVE_BMP, LIB_BMP, bits({1, 2, 3}), 30, 29},
    {SAVE_TARGA, LIB_TARGA, bits({1, 2, 3}), 27, 26},
    {SAVE_PCX, LIB_PCX, bits({1, 2, 3}), 52, 51},
    {SAVE_GIF, LIB_GIF, bits({1, 2, 3}), 55, 54},
    {SAVE_EPS, LIB_EPS, bits({1, 2, 3}), 60, 59},
    {SAVE_PNG, LIB_PNG, bits({1, 2, 3}), 47, 49},
    {SAVE_FLASHPIX, LIB_FPX, bits({2, 3}), 68, 63},
    {SAVE_FITS, 0, bits({2, 6}), 46, 85},
    {SAVE_RLE, LIB_RLE, bits({1, 2, 3}), 98, 97},
};

const SaveRule* save_rule(int filter)
{
    for (const SaveRule& r : kSaveRules)
        if (r.filter == filter)
            return &r;
    return nullptr;
}

// Keeps 0, 1 and 11; any other failure becomes `code`.
int as_format_error(int result, int code)
{
    return result == 0 || result == kOutOfMemory || result == kAborted ? result : code;
}

int open_tiff(const std::string& path, Image& img, bool show_progress)
{
    switch (tiff_classify(path)) {
    case 1: return as_format_error(tiff_read(path, img, show_progress), 56);
    case 2: return 56;
    default: return as_format_error(library_load(path, LIB_TIFF, img, show_progress), 56);
    }
}

int library_format_of(int type)
{
    switch (type) {
    case FILE_BMP: return LIB_BMP;
    case FILE_TARGA: return LIB_TARGA;
    case FILE_PCX: return LIB_PCX;
    case FILE_GIF: return LIB_GIF;
    case FILE_PNG: return LIB_PNG;
    case FILE_RLE: return LIB_RLE;
    case FILE_PHOTOCD: return LIB_PHOTOCD;
    default: return LIB_ANY;
    }
}

// GIF and RLE keep colour pictures as a palette of at most 256 colours.
int save_reduced(const std::string& path, const Image& img, int format)
{
    Image indices;
    Palette palette;
    const int r = color_reduce(img, &indices, 256, false, palette, true);
    if (r != 0)
        return r;
    return library_save_palette(path, indices, palette, format);
}

int jpeg_format(int sampling, bool colour)
{
    if (!colour)
        return LIB_JPEG;
    return sampling == kSampling422 ? LIB_JPEG_422 : sampling == kSampling411 ? LIB_JPEG_411 : LIB_JPEG;
}

} // namespace

int format_open_error(int type)
{
    switch (type) {
    case FILE_TIFF: return 56;
    case FILE_JPEG: return 22;
    case FILE_BMP: return 28;
    case FILE_TARGA: return 25;
    case FILE_PCX: return 50;
    case FILE_GIF: return 53;
    case FILE_PHOTOCD: return 90;
    case FILE_PNG: return 48;
    case FILE_FLASHPIX: return 45;
    case FILE_FITS: return 84;
    case FILE_RLE: return 96;
    default: return 99;
    }
}

int format_save_error(int filter)
{
    const SaveRule* rule = save_rule(filter);
    return rule ? rule->failure : kUnknownFileType;
}

int format_open(int type, const std::string& path, Image& img, bool show_progress,
                int photocd_resolution)
{
    image_free(img);
    const int code = format_open_error(type);
    switch (type) {
    case FILE_TIFF: return open_tiff(path, img, show_progress);
    case FILE_JPEG: return as_format_error(library_load_jpeg(path, img, show_progress), code);
    case FILE_FITS: return as_format_error(fits_read(path, img, show_progress), code);
    case FILE_FLASHPIX:
        error_message("Cannot read the FlashPix file %s:\nno FlashPix codec is available on this "
                      "system.",
                      path);
        return code;
    default:
        return as_format_error(
            library_load(path, library_format_of(type), img, show_progress, photocd_resolution),
            code);
    }
}

int format_save(int filter, const std::string& path, const Image& img, const SaveOptions& options)
{
    const SaveRule* rule = save_rule(filter);
    if (!rule)
        return kUnknownFileType;
    if (img.type < 0 || img.type > 31 || !(rule->accepted & (1u << img.type)) || img.empty())
        return rule->wrong_type;
    switch (filter) {
    case SAVE_TIFF: return tiff_write(path, img);
    case SAVE_FITS: return fits_write(path, img);
    case SAVE_FLASHPIX:
        error_message("Cannot write the FlashPix file %s:\nno FlashPix codec is available on this "
                      "system.",
                      path);
        return rule->failure;
    case SAVE_JPEG: {
        const int format = jpeg_format(options.jpeg_sampling, img.type == IMAGE_COLOR);
        const int factor = jpeg_quality_factor(options.jpeg_quality);
        return as_format_error(library_save_jpeg(path, img, format, factor), rule->failure);
    }
    default:
        break;
    }
    int r;
    if (img.type == IMAGE_COLOR && (filter == SAVE_GIF || filter == SAVE_RLE))
        r = save_reduced(path, img, rule->library_format);
    else
        r = library_save(path, img, rule->library_format);
    return as_format_error(r, rule->failure);
}

std::string jpeg_statistics_text(const std::string& path, int quality, long long image_bytes,
                                 long long file_bytes)
{
    if (file_bytes == 0)
        file_bytes = 1;
    return format_text("File name\n  %s\n\nQuality\n  %d\n\nImage size\n  %, bytes\n\nFile "
                       "size\n  %, bytes\n\nCompression Ratio\n  %2f",
                       path, quality, image_bytes, file_bytes, double(image_bytes) / double(file_bytes));
}

} // namespace mv
