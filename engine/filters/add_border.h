// Add Border: margins of a background colour around the picture. The output type widens
// only as far as the colour needs (a gray colour keeps a gray picture gray; black or white
// keeps a binary picture binary).
#pragma once

#include "transform/region.h"

namespace mv {

struct AddBorderSettings {
    int red = 255, green = 255, blue = 255;
    int left = 0, right = 0, top = 0, bottom = 0; // pixels
    int unit = 0; // 0 pixels, 1 in, 2 mm, 3 cm, 4 %
};

inline constexpr const char kBorderUnitList[] = "Units:\0pixels\0in\0mm\0cm\0%\0\1";

// The output type on Apply (full) or in the preview for an input type and colour.
int add_border_output_type(int type, int red, int green, int blue, bool full);

// Output size: width + left + right by height + top + bottom.
void add_border_size(const AddBorderSettings& st, int width, int height, int& out_w, int& out_h);

// The outline drawn on the input window: (-left, -top) to (width + right - 1, height +
// bottom - 1), y counted from the top.
void add_border_outline(const AddBorderSettings& st, int width, int height, int r[4]);

// A typed width in the settings' unit to pixels; false (beep and restore) when the text is
// no number or below 0. Percentages of left and right refer to the picture's width, of top
// and bottom to its height (side 0 left, 1 right, 2 top, 3 bottom), typed and shown alike.
bool add_border_parse_width(const AddBorderSettings& st, int side, const char* text, int width,
                            int height, double dpi, int& pixels);
// A width in pixels as the unit shows it.
double add_border_width_in_unit(const AddBorderSettings& st, int side, int pixels, int width,
                                int height, double dpi);

// The region function (progress "Add Border"); all widths 0 give a copy of the input.
int add_border_region(const RegionRequest& q, void* settings);

} // namespace mv
