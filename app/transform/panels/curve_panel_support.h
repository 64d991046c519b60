// What the curve windows share: the histograms a curve shows for a picture and the levels a
// probe reading gives on it.
#pragma once

#include "core/image.h"
#include "settings/preferences.h"
#include "transform/curve_control.h"

#include <vector>

// The histograms behind a Brightness Curve: gray levels, HSV value, HSL lightness, or the
// red, green and blue channels, by the colour space.
std::vector<CurveHistogram> brightness_curve_histograms(const mv::Image& img, int space);
// The three channel histograms of Color Curves in the colour space (H, S, V / H, S, L /
// R, G, B), each in its channel's colour.
std::vector<CurveHistogram> color_curves_histograms(const mv::Image& img, int space);

// The colour a channel's curve is drawn in: red, green and blue for RGB, else black.
QColor curve_channel_color(int space, int channel);

// The levels a probed colour gives on a Brightness Curve: one mark (gray, value, lightness),
// or three for RGB. `gray` tells that the picture has no colour.
std::vector<CurveProbeMark> brightness_curve_probe(const mv::Rgb& c, int space, bool gray);
// The level of one channel of Color Curves.
int color_curves_probe(const mv::Rgb& c, int space, int channel);
