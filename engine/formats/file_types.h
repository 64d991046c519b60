// The table of file types: codes, names, open and save filters, default extensions, the
// mapping between save filters and file types, the type of a path's extension and the
// extension check of Save As.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// File type codes, kept with every image window and used as File Open filter indices.
enum FileType : int {
    FILE_NONE = 0,
    FILE_UNKNOWN = 1,
    FILE_TIFF = 2,
    FILE_JPEG = 3,
    FILE_BMP = 4,
    FILE_TARGA = 5,
    FILE_PCX = 6,
    FILE_GIF = 7,
    FILE_PHOTOCD = 8,
    FILE_PNG = 9,
    FILE_FLASHPIX = 10,
    FILE_FITS = 11,
    FILE_RLE = 12,
    FILE_PICT = 13,
};
inline constexpr int kFileTypeCount = 14;

// Save filter indices, 1..11.
enum SaveFilter : int {
    SAVE_NONE = 0,
    SAVE_TIFF = 1,
    SAVE_JPEG = 2,
    SAVE_BMP = 3,
    SAVE_TARGA = 4,
    SAVE_PCX = 5,
    SAVE_GIF = 6,
    SAVE_EPS = 7,
    SAVE_PNG = 8,
    SAVE_FLASHPIX = 9,
    SAVE_FITS = 10,
    SAVE_RLE = 11,
};
inline constexpr int kSaveFilterCount = 11;

struct FileFilter {
    const char* name;    // "TIFF"
    const char* pattern; // "*.tif;*.tiff"
};

// The name of a file type ("TIFF", "Unknown", ...); "N/A" for 0 and any unknown code.
const char* file_type_name(int type);

// The File Open filter of a type 1..12 (index = type code; "All Files" is 1); nullptr for
// the types the dialog does not list.
const FileFilter* open_filter(int type);

// The extension appended to a path without one when it is opened as this type (".tif");
// empty for types without a default.
const char* file_type_default_extension(int type);

// The type of a path's extension, compared in capitals; 1 (Unknown) for any other extension
// or none.
int file_type_from_extension(std::string_view path);

// The save filter 1..11, or nullptr.
const FileFilter* save_filter(int index);
// ".tif", ".jpg", ... for index 1..11; empty otherwise.
const char* save_default_extension(int index);
// The file type a save filter produces (EPS gives 0); -1 for an invalid index.
int save_filter_file_type(int index);
// The save filter of a file type; 0 when the type cannot be saved.
int file_type_save_filter(int type);
// The save filter named (case-blind) "TIFF", "JPEG", ..., "RLE"; 0 when none.
int save_filter_by_name(std::string_view name);
// The save filter whose extensions include the path's; 0 when none.
int save_filter_from_extension(std::string_view path);

// The save filters offered for a picture type: all eleven, or only TIFF and FITS for
// 16-bit pictures (types 6 and 7).
std::vector<int> save_filter_list(int image_type);

// True when the path's extension is one the save filter accepts (ignoring case); otherwise
// `message` gets the text shown to the user ("TIFF files must have an extension of .tif or
// .tiff").
bool save_extension_ok(std::string_view path, int index, std::string& message);

} // namespace mv
