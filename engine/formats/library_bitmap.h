// Shared by the imaging-library readers: how a decoded bitmap (its depth, palette and
// declared colour count) becomes an Image type, and how its rows are stored.
#pragma once

#include "core/image.h"
#include "reduce/color_reducer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// Largest picture the library loads; bigger headers are refused before any allocation so a
// hostile file cannot exhaust memory.
inline constexpr long long kLibraryMaxPixels = 1LL << 27;
inline constexpr int kLibraryMaxSide = 100000;

inline bool library_size_ok(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kLibraryMaxSide && height <= kLibraryMaxSide &&
           width * height <= kLibraryMaxPixels;
}

struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// What the library reports about a file before loading it.
struct BitmapInfo {
    int width = 0;
    int height = 0;
    int bits = 0;                       // bits per pixel: 1..8 palette indices, or 24
    std::vector<PaletteEntry> palette;  // for 1..8 bits
    int declared_colors = -1;           // from a BMP header; -1 when not known
    double resolution = 0;              // dots per inch; 0 when the file has none
};

// The Image type of a bitmap: 24 bits colour; 1 bit binary when every palette entry is pure
// black or pure white, or the declared colour count is 0; otherwise gray when the palette is
// gray (equal red, green and blue in every entry), else colour. Other depths give 0.
int bitmap_image_type(const BitmapInfo& info);

// The resolution to store: the file's when it has one, else the preference. Files that
// count pixels per metre or centimetre round the resolution (one pixel per metre is 0.0254
// dpi), so a value within 0.03 of a whole number is taken as that whole number.
double bitmap_resolution(double file_dpi);

// Stores one row of palette indices (one byte per pixel) into Image row `r` of a picture
// of type `type` chosen by bitmap_image_type: gray takes the entry's blue, colour the
// entry's blue, green and red, binary sets the bit of white entries (or, with a palette that
// is not black and white, of odd indices).
void bitmap_put_indices(Image& img, int r, const std::uint8_t* indices, const BitmapInfo& info);

} // namespace mv

namespace mv {

// The codecs behind the imaging library (library_png.cpp, library_magick.cpp); results as
// for library_load and library_save.
int png_load(const std::string& path, Image& img, bool show_progress);
int png_save(const std::string& path, const Image& img);
int magick_load(const std::string& path, int format, Image& img, bool show_progress,
                int photocd_resolution);
// `palette` is given for palette pictures (then `img` holds the indices).
int magick_save(const std::string& path, const Image& img, const Palette* palette, int format);

} // namespace mv
