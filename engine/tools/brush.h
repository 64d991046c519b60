// The round, soft-edged brush of the retouching tools: its settings, the slider mappings
// and the brush image of weights 0..255.
#pragma once

#include "core/image.h"

namespace mv {

struct BrushSettings {
    double radius = 3.0;        // pixels, 0..100
    double transparency = 50.0; // percent
    double softness = 50.0;     // percent
    double spacing = 0.25;      // fraction of the radius, 0..2
    double fadeout = 0.0;       // fraction 0..1 (Paint only)
};

// R: the radius rounded up (floor(radius + 0.9999)), at least 1.
int brush_whole_radius(double radius);

// Builds the (2R + 1) x (2R + 1) 8-bit gray brush image: weight round(peak) up to the inner
// radius (100 - softness)% of the radius, falling linearly to 0 at the radius, 0 beyond it;
// peak = (100 - transparency) * 255 / 100. Result 0, or 1 when out of memory.
int brush_build(double radius, double transparency, double softness, Image& brush);
inline int brush_build(const BrushSettings& s, Image& brush)
{
    return brush_build(s.radius, s.transparency, s.softness, brush);
}

// Slider mappings; every slider has positions 0..1024.
// Radius (and the line width): logarithmic, 100 (e^(4p/1024) - 1) / (e^4 - 1).
double radius_from_slider(int p);
int slider_from_radius(double r);
// Transparency and softness: p * 100 / 1024.
double percent_from_slider(int p);
int slider_from_percent(double v);
// Spacing: p / 512.
double spacing_from_slider(int p);
int slider_from_spacing(double v);
// Fadeout: p / 1024.
double fadeout_from_slider(int p);
int slider_from_fadeout(double v);

// Transparency set by a pen pressure q (0..1023): (1024 - q) * 100 / 1024.
double transparency_from_pressure(int q);

} // namespace mv
