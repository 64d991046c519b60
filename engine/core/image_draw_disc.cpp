#include "image_draw_disc.h"

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

double distance(double dx, double dy)
{
    return std::sqrt(dx * dx + dy * dy);
}

// Sub-points of (x, y), a quarter pixel apart, that lie within `radius` of the centre.
int covered(int x, int y, double cx, double cy, double radius)
{
    int n = 0;
    for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i)
            if (distance(x + i * 0.25 - cx, y + j * 0.25 - cy) <= radius)
                ++n;
    return n;
}

// The first and last index of the box along one axis, clipped to 0..size - 1; false when
// the box misses.
bool span(double centre, double radius, int size, int& lo, int& hi)
{
    const double a = std::trunc(centre - radius) - 1, b = std::trunc(centre + radius) + 1;
    if (b < 0 || a > size - 1)
        return false;
    lo = int(std::max(a, 0.0));
    hi = int(std::min(b, double(size - 1)));
    return true;
}

template <class T>
void blend(T* p, int n, const int* colour, int channels)
{
    for (int k = 0; k < channels; ++k)
        p[k] = T((n * colour[k] + (25 - n) * int(p[k])) / 25);
}

template <class T>
void paint(Image& img, double cx, double cy, double radius, const int* colour, int channels)
{
    int x0, x1, y0, y1;
    if (!span(cx, radius, img.width, x0, x1) || !span(cy, radius, img.height, y0, y1))
        return;
    for (int y = y0; y <= y1; ++y) {
        T* row = reinterpret_cast<T*>(img.row(y));
        for (int x = x0; x <= x1; ++x) {
            const double d = distance(x - cx, y - cy);
            T* p = row + size_t(x) * channels;
            if (std::fabs(d - radius) <= 1.414214)
                blend(p, covered(x, y, cx, cy, radius), colour, channels);
            else if (d - radius <= 0)
                blend(p, 25, colour, channels);
        }
    }
}

} // namespace

void image_draw_disc(Image& img, double cx, double cy, double radius, int red, int green,
                     int blue)
{
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius) || img.empty())
        return;
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    const int gray = std::max({red, green, blue});
    switch (img.type) {
    case IMAGE_GRAY: {
        const int c[1] = {gray};
        paint<std::uint8_t>(img, cx, cy, radius, c, 1);
        break;
    }
    case IMAGE_COLOR: {
        const int c[3] = {blue, green, red};
        paint<std::uint8_t>(img, cx, cy, radius, c, 3);
        break;
    }
    case IMAGE_GRAY16: {
        const int c[1] = {gray * 257};
        paint<std::uint16_t>(img, cx, cy, radius, c, 1);
        break;
    }
    case IMAGE_COLOR48: {
        const int c[3] = {blue * 257, green * 257, red * 257};
        paint<std::uint16_t>(img, cx, cy, radius, c, 3);
        break;
    }
    default: break;
    }
}

} // namespace mv
