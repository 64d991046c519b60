#include "brush.h"

#include "core/error.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace mv {
namespace {

const double kE4 = std::exp(4.0) - 1.0;

int clamp_position(long long p)
{
    return p < 0 ? 0 : p > 1024 ? 1024 : int(p);
}

} // namespace

int brush_whole_radius(double radius)
{
    if (!(radius > 0))
        return 1;
    const int r = int(std::floor(std::min(radius, 100.0) + 0.9999));
    return r < 1 ? 1 : r;
}

int brush_build(double radius, double transparency, double softness, Image& brush)
{
    radius = std::isfinite(radius) ? std::clamp(radius, 0.0, 100.0) : 0.0;
    transparency = std::isfinite(transparency) ? std::clamp(transparency, 0.0, 100.0) : 0.0;
    softness = std::isfinite(softness) ? std::clamp(softness, 0.0, 100.0) : 0.0;
    const int R = brush_whole_radius(radius);
    const int size = 2 * R + 1;
    if (int e = image_alloc(brush, IMAGE_GRAY, size, size, 100.0))
        return e;
    const double inner = (100.0 - softness) * radius / 100.0;
    const double peak = (100.0 - transparency) * 255.0 / 100.0;
    for (int dy = -R; dy <= R; ++dy) {
        std::uint8_t* row = brush.row(dy + R);
        for (int dx = -R; dx <= R; ++dx) {
            const double d = std::sqrt(double(dx * dx + dy * dy));
            long long w = 0;
            if (d > radius)
                w = 0;
            else if (d <= inner)
                w = round_nearest(peak);
            else
                w = round_nearest((radius - d) * peak / (radius - inner));
            row[dx + R] = std::uint8_t(clamp_byte(w));
        }
    }
    return kOk;
}

double radius_from_slider(int p)
{
    return 100.0 * (std::exp(4.0 * clamp_position(p) / 1024.0) - 1.0) / kE4;
}

int slider_from_radius(double r)
{
    if (!(r > 0))
        return 0;
    return clamp_position(round_nearest(std::log(r * kE4 / 100.0 + 1.0) * 1024.0 / 4.0));
}

double percent_from_slider(int p)
{
    return clamp_position(p) * 100.0 / 1024.0;
}

int slider_from_percent(double v)
{
    return std::isfinite(v) ? clamp_position(round_nearest(v * 1024.0 / 100.0)) : 0;
}

double spacing_from_slider(int p)
{
    return clamp_position(p) / 512.0;
}

int slider_from_spacing(double v)
{
    return std::isfinite(v) ? clamp_position(round_nearest(v * 512.0)) : 0;
}

double fadeout_from_slider(int p)
{
    return clamp_position(p) / 1024.0;
}

int slider_from_fadeout(double v)
{
    return std::isfinite(v) ? clamp_position(round_nearest(v * 1024.0)) : 0;
}

double transparency_from_pressure(int q)
{
    q = std::clamp(q, 0, 1023);
    return (1024 - q) * 100.0 / 1024.0;
}

} // namespace mv
