// The per-format open and save entry points. Each turns its reader's or writer's failure
// into the format's own error code; a cancel is always 11 and running out of memory 1.
//
//   format     open   save: types accepted, else   save failure
//   TIFF        56    1 2 3 6 7, else 58             57 or the writer's code
//   JPEG        22    2 3, else 24                   23
//   BMP         28    1 2 3, else 30                 29
//   Targa       25    1 2 3, else 27                 26
//   PCX         50    1 2 3, else 52                 51
//   GIF         53    1 2 3, else 55                 54
//   PNG         48    1 2 3, else 47                 49
//   EPS          -    1 2 3, else 60                 59
//   FlashPix    45    2 3, else 68                   63
//   RLE         96    1 2 3, else 98                 97
//   FITS        84    2 6, else 46                   85 or the writer's code
//   Photo CD    90
//   unknown     99
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

// Choices of the JPEG and FlashPix save dialogs.
enum JpegSampling : int { kSampling444 = 0, kSampling422 = 1, kSampling411 = 2 };

struct SaveOptions {
    int jpeg_quality = 97;            // 0..100
    int jpeg_sampling = kSampling444;
    int fpx_compression = 0;          // 0 none, 1 JPEG
    int fpx_quality = 97;
};

// Opens `path` as file type `type` (2..12, or 1 for a file of unknown type). TIFF, FITS
// and the library formats show progress when `show_progress`. Photo CD reads the size
// `photocd_resolution` (2: 512x768, 3: 1024x1536, 4: 2048x3072). `img` is emptied first and
// stays empty on failure.
int format_open(int type, const std::string& path, Image& img, bool show_progress = true,
                int photocd_resolution = 3);

// Saves `img` to `path` with save filter `filter` (1..11).
int format_save(int filter, const std::string& path, const Image& img,
                const SaveOptions& options = {});

// The open failure code of a file type, and the save failure code of a save filter.
int format_open_error(int type);
int format_save_error(int filter);

// The text of the "JPEG File Save Statistics" box (also used for FlashPix).
std::string jpeg_statistics_text(const std::string& path, int quality, long long image_bytes,
                                 long long file_bytes);

} // namespace mv
