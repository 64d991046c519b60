// The amount every transformation with an "Amount:" control applies: how strongly the
// computed value replaces the input, either one percentage for the whole picture or, with a
// gray mask, a percentage per pixel between a low and a high amount read from the mask at the
// same position. Also the amount block's label text and mask choice rules, shared with the
// editor's control.
#pragma once

#include "core/image.h"
#include "core/product_table.h"
#include "transform/region.h"
#include "transform/row_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// The amount block: the control's state, copied whole into the settings record.
struct AmountBlock {
    const Image* mask_image = nullptr; // the chosen mask's Image, or none
    std::int32_t low = 1024;           // 0..1024, 1024 = 100%; the uniform amount without mask
    std::int32_t high = -1;            // the amount where the mask is white; -1 = no mask
    std::int32_t is_signed = 0;        // 1: shown as -100%..+100% with 512 as 0%
    char label[80] = "Amount: ";
    std::int32_t unused = 0;
    const void* mask_window = nullptr; // the chosen mask window, or none
};

inline bool amount_has_mask(const AmountBlock& b) { return b.mask_image && b.high >= 0; }

// Percent shown for a value: unsigned (v * 100 + 512) / 1024; signed (v - 512) * 200 / 1024
// truncated toward zero.
int amount_percent(int value, bool is_signed);

// "Amount: 100%" without a mask, "Amount: 0% .. 100%" with one.
std::string amount_label_text(const AmountBlock& b);

// Chooses a mask window and its Image: low and high become 512 and 512 in signed form, 0 and
// 1024 in unsigned form.
void amount_select_mask(AmountBlock& b, const void* window, const Image* image);
// "No Mask": low 1024, high -1, no mask (in both forms).
void amount_clear_mask(AmountBlock& b);

// A 0..1024 value scaled to 0..255: (v * 255 + 512) / 1024, or v * 255 / 1024 in signed form.
int amount_scale(int value, bool is_signed);

// True when the amount leaves the input unchanged (scaled low 0 and, with a mask, high 0):
// the region function then copies its input.
bool amount_is_identity(const AmountBlock& b);
// True when the computed value is stored without blending (scaled 255, with a mask both).
bool amount_is_direct(const AmountBlock& b);

// The amount of one run of a region function: the scaled amounts, the mask's own row reader
// (opened with the input's origin, zoom and count) and the amounts of the current row.
struct AmountRun {
    int low = 255;          // scaled low amount
    int high = -1;          // scaled high amount, -1 without a mask
    bool identity = false;  // the result is the input
    bool direct = false;    // the computed value is stored as it is
    bool masked = false;
    int count = 0;
    std::uint8_t by_mask[256] = {};   // mask value -> amount
    std::uint8_t uniform[256] = {};   // P[d][low], the 8-bit step for a difference d
    RowReader mask;
    std::vector<std::uint8_t> weights; // the amount of each pixel of the current row
};

// Prepares the run. Result 1 when a table or buffer cannot be allocated, 14 when the mask is
// not an 8-bit gray picture.
int amount_begin(const AmountBlock& b, const RegionRequest& q, AmountRun& run);

// Moves to the next row: with a mask, reads the mask row and fills the row's amounts. Call it
// once per input row, before blending that row.
void amount_next_row(AmountRun& run);

// Blends the computed row `out` with the input row `in` in place, count pixels of `channels`
// 8-bit samples: out = mix(in, out, a).
void amount_blend_row(const AmountRun& run, const std::uint8_t* in, std::uint8_t* out,
                      int count, int channels);
// The same for 16-bit samples: out = in + (out - in) * a / 255, truncated toward zero.
void amount_blend_row16(const AmountRun& run, const std::uint16_t* in, std::uint16_t* out,
                        int count, int channels);
// The 8-bit preview of 16-bit data: blends the 16-bit values, then narrows them into `out`.
void amount_blend_row16_to8(const AmountRun& run, const std::uint16_t* in,
                            const std::uint16_t* computed, std::uint8_t* out, int count,
                            int channels);

} // namespace mv
