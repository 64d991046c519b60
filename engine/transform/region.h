// The contract between the compute driver and a transformation: the driver fills one
// RegionRequest describing what to compute and calls the transformation's region function
// with it and the transformation's settings record. The same call serves Apply (full size,
// full precision) and the preview (the visible part of a zoomed preview, at 8 bits).
//
// How a region function is written (the shape every transformation follows):
//
//   int example_region(const RegionRequest& q, void* settings)
//   {
//       const ExampleSettings& s = *static_cast<const ExampleSettings*>(settings);
//       const int type = q.input->type;
//       if (type != IMAGE_GRAY && type != IMAGE_COLOR)           // accepted input types
//           return kIllegalImageType;
//       if (int e = region_prepare_output(q, region_output_type(type, q.full)))
//           return e;                                            // (re)allocates when whole
//       if (amount_is_identity(s.amount) || example_is_neutral(s))
//           return region_copy_input(q);                         // neutral settings: a copy
//       RowReader in;  row_reader_reset(in);                     // buffers are owned: no
//       RowWriter out; row_writer_reset(out);                    // leak on any early return
//       AmountRun amount;
//       if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in)) return e;
//       if (int e = region_open_writer(q, out)) return e;
//       if (int e = amount_begin(s.amount, q, amount)) return e;
//       ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
//       for (int y = 0; y < q.rows; ++y) {
//           const std::uint8_t* src = row_reader_next(in);       // binary arrives as 0/255
//           std::uint8_t* dst = row_writer_row(out);
//           for (int x = 0; x < q.columns * channels; ++x)       // compute over raw pointers
//               dst[x] = table[src[x]];                          // with prebuilt tables
//           amount_next_row(amount);                             // once per row, mask or not
//           amount_blend_row(amount, src, dst, q.columns, channels);
//           row_writer_commit(out);
//           if (int e = progress.update(y)) return e;            // 11 when cancelled
//       }
//       return kOk;
//   }
//
// 16-bit inputs: on Apply compute and blend 16-bit rows (amount_blend_row16); in the preview
// compute 16-bit values into a scratch row and blend-and-narrow them into the 8-bit output
// row with amount_blend_row16_to8.
#pragma once

#include "core/image.h"
#include "core/row_writer.h"
#include "shell/window_records.h"

#include <cstdint>
#include <string_view>

namespace mv {

struct RegionRequest {
    const Image* input = nullptr;                 // the input window's Image
    const WindowRecord* input_record = nullptr;   // its record; null outside the editor
    Image* output = nullptr;                      // the result (Apply) or the preview display
    WindowRecord* output_record = nullptr;        // the output window's record, if any
    bool full = true;                             // true on Apply, false for the preview
    int output_width = 0, output_height = 0;      // size of the whole output Image
    int x0 = 0, y0 = 0;                           // origin of the region in input pixels
    int zoom = 1;                                 // 1 on Apply; the preview's zoom otherwise
    // The region in output coordinates, rows counted from the bottom (row 0), inclusive.
    int first_column = 0, first_row = 0, last_column = 0, last_row = 0;
    int columns = 0, rows = 0;                    // input pixels to compute across and up
    std::string_view title;                       // the progress window's title
};

// A transformation's region function: returns 0, an error code, or 11 when cancelled.
using RegionFunction = int (*)(const RegionRequest& request, void* settings);

// True when the region covers the whole output Image.
bool region_is_whole(const RegionRequest& q);

// Pixels the region computes, for the progress threshold.
inline long long region_pixels(const RegionRequest& q) { return (long long)q.columns * q.rows; }

// The type a region function produces for a picture type: 16-bit gray and 48-bit colour
// stay themselves on Apply and become 8-bit gray and colour in the preview.
int region_output_type(int type, bool full);

// When the region is the whole output, (re)allocates the output Image with `type`, the
// output size and the input's resolution. Result 0 or 1.
int region_prepare_output(const RegionRequest& q, int type);

// Opens the output row writer for the region: the zoom as step (magnified previews repeat
// each computed pixel), the region's columns and first row, display tables only in previews.
int region_open_writer(const RegionRequest& q, RowWriter& w);

// Stores `count` pixels given as bytes into a binary writer row (a byte of 128 or more sets
// the bit), honouring where the writer's row starts within its first byte.
void region_store_binary(const RowWriter& w, std::uint8_t* dst, const std::uint8_t* bytes,
                         int count);

// The result of neutral settings. On Apply the whole input is copied into the output; in the
// preview the input's region is shown unchanged (16-bit values narrowed to 8 bits). The
// output must have been prepared with region_output_type of the input type.
int region_copy_input(const RegionRequest& q);

// A request for the whole of `input` at full size: what Apply passes for an output of the
// input's size, and what the batch tool uses.
RegionRequest region_full_request(const Image& input, Image& output, std::string_view title);

// Runs `fn` over the whole input into `output`, bit for bit as Apply does. On any failure
// (including 11 when cancelled) the output is freed, so no half-made result remains.
// `width`/`height` of -1 take the input's size; transformations that change the size pass
// their own.
int transformation_apply(RegionFunction fn, void* settings, const Image& input, Image& output,
                         std::string_view title, int width = -1, int height = -1);

} // namespace mv
