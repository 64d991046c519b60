// The imaging library: reading and writing of the raster formats the program does not code
// itself. JPEG goes through libjpeg-turbo, PNG through libpng, and BMP, RLE bitmaps, Targa,
// PCX, GIF, EPS (write only), Photo CD and any other recognised raster file through
// GraphicsMagick, restricted to those coders. Files are converted to and from Images: row 0
// is the bottom row, colour bytes blue, green, red.
//
// Loads return 0, 1 (out of memory), 11 (cancelled) or 22 (the library failed); saves 0,
// 1, 11 or 6 (the library failed). The per-format entry points turn failures into their
// format's code.
#pragma once

#include "core/image.h"
#include "reduce/color_reducer.h"

#include <string>

namespace mv {

// The library's format numbers.
enum LibraryFormat : int {
    LIB_ANY = 0,       // recognised from the file's contents (reading only)
    LIB_PCX = 1,
    LIB_GIF = 2,
    LIB_TARGA = 4,
    LIB_BMP = 6,
    LIB_JPEG = 10,     // JPEG, 4:4:4 sampling for colour
    LIB_EPS = 16,
    LIB_JPEG_411 = 21,
    LIB_JPEG_422 = 23,
    LIB_PNG = 75,
    LIB_FPX = 80,
    LIB_FPX_JPEG = 83,
    LIB_RLE = 84,      // BMP with RLE8 compression
    LIB_TIFF = 200,    // TIFF files the program's own reader refuses
    LIB_PHOTOCD = 201,
};

// Loads and sets up GraphicsMagick once: no signal handlers, resource limits, no URL access.
// Safe to call any number of times; false when the library cannot be loaded.
bool imaging_library_init();

// The library version as "%d.%d", or "Unknown".
std::string imaging_library_version();

// JPEG quality 0..100 to the library's quality factor: (100 - quality) * 253 / 100 + 2,
// integer division (100 gives 2, 75 gives 65, 0 gives 255).
int jpeg_quality_factor(int quality);

// The library's quality factor 2..255 to libjpeg's 1..100 quality scale: the factor runs
// from 2 (finest) to 255 (coarsest) where libjpeg's quality runs from 100 down to 0, so the
// factor is mapped linearly back, 100 - round((factor - 2) * 100 / 253), which restores the
// quality the factor was computed from; libjpeg's lowest usable quality is 1.
int jpeg_library_quality(int factor);

// Reads `path` as the given library format into `img` (emptied first). The loading shows
// the cancellable progress window "File Open" when `show_progress` and the picture has at
// least 10000 pixels. For Photo CD, `photocd_resolution` 2, 3 or 4 picks 512x768,
// 1024x1536 or 2048x3072.
int library_load(const std::string& path, int format, Image& img, bool show_progress,
                 int photocd_resolution = 3);

// Reads a JPEG file (8-bit gray or colour) under the progress window "File Open (JPEG)".
int library_load_jpeg(const std::string& path, Image& img, bool show_progress);

// Writes a binary, gray or colour picture in the library format (BMP, RLE, Targa, PCX, GIF,
// EPS, PNG) under the cancellable progress window "File Save". RLE pictures are written
// with 8 bits per pixel. Other picture types give 14.
int library_save(const std::string& path, const Image& img, int format);

// Writes a palette picture (an IMAGE_GRAY picture of indices and its palette, as made by
// the colour reducer) in a library format with 8 bits per pixel.
int library_save_palette(const std::string& path, const Image& indices, const Palette& palette,
                         int format);

// Writes a gray or colour picture as JPEG: format 10 (4:4:4), 23 (4:2:2) or 21 (4:1:1) for
// colour; gray pictures always as format 10. `factor` is the library's quality factor.
// Progress "File Save (JPEG)".
int library_save_jpeg(const std::string& path, const Image& img, int format, int factor);

} // namespace mv
