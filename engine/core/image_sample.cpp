#include "image_sample.h"

#include "product_table.h"
#include "util.h"

namespace mv {
namespace {

// The interpolation cell of a point: the lower-left pixel, its neighbours and the weights.
struct Cell {
    int x0, x1, y0, y1;
    int fx, fy;
};

bool inside(const Image& img, double x, double y)
{
    // Written so that NaN coordinates fall outside.
    return x >= 0 && x <= img.width - 1 && y >= 0 && y <= img.height - 1 && !img.empty();
}

// One axis of the cell. `size` is at least 1 and v lies in 0..size - 1.
void axis(double v, int size, int& i0, int& i1, int& f)
{
    i0 = int(v);
    f = int((v - i0) * 256);
    if (size == 1) { // no neighbour: stay on the only pixel
        i0 = i1 = 0;
        f = 0;
        return;
    }
    i1 = i0 + 1;
    if (i0 >= size - 1) {
        i0 = size - 2;
        i1 = size - 1;
        f = 255;
    }
}

Cell cell(const Image& img, double x, double y)
{
    Cell c;
    const int ix = int(x), iy = int(y);
    const int fx = int((x - ix) * 256), fy = int((y - iy) * 256);
    if (fx == 0 && fy == 0)
        return {ix, ix, iy, iy, 0, 0};
    axis(x, img.width, c.x0, c.x1, c.fx);
    axis(y, img.height, c.y0, c.y1, c.fy);
    return c;
}

// One channel: `at(x, y)` reads a sample, `mix` blends two samples.
template <class At, class Mix>
int interpolate(const Cell& c, At at, Mix mix)
{
    if (c.fx == 0 && c.fy == 0 && c.x0 == c.x1 && c.y0 == c.y1)
        return at(c.x0, c.y0);
    const int lower = mix(at(c.x0, c.y0), at(c.x1, c.y0), c.fx);
    const int upper = mix(at(c.x0, c.y1), at(c.x1, c.y1), c.fx);
    return mix(lower, upper, c.fy);
}

} // namespace

int image_sample_binary(const Image& img, double x, double y)
{
    if (img.type != IMAGE_BINARY || !inside(img, x, y))
        return 0;
    return bit_test(img.row(int(round_nearest(y))), int(round_nearest(x))) ? 1 : 0;
}

int image_sample_gray(const Image& img, double x, double y)
{
    if (img.type != IMAGE_GRAY || !inside(img, x, y))
        return 0;
    const Cell c = cell(img, x, y);
    return interpolate(c, [&](int px, int py) { return int(img.row(py)[px]); }, mix8);
}

int image_sample_gray16(const Image& img, double x, double y)
{
    if (img.type != IMAGE_GRAY16 || !inside(img, x, y))
        return 0;
    const Cell c = cell(img, x, y);
    return interpolate(c, [&](int px, int py) { return int(img.row16(py)[px]); }, mix16);
}

void image_sample_color(const Image& img, double x, double y, int& red, int& green, int& blue)
{
    red = green = blue = 0;
    if (img.type != IMAGE_COLOR || !inside(img, x, y))
        return;
    const Cell c = cell(img, x, y);
    auto channel = [&](int k) {
        return interpolate(c, [&](int px, int py) { return int(img.row(py)[3 * px + k]); }, mix8);
    };
    blue = channel(0);
    green = channel(1);
    red = channel(2);
}

void image_sample_color48(const Image& img, double x, double y, int& red, int& green,
                          int& blue)
{
    red = green = blue = 0;
    if (img.type != IMAGE_COLOR48 || !inside(img, x, y))
        return;
    const Cell c = cell(img, x, y);
    auto channel = [&](int k) {
        return interpolate(c, [&](int px, int py) { return int(img.row16(py)[3 * px + k]); },
                           mix16);
    };
    blue = channel(0);
    green = channel(1);
    red = channel(2);
}

} // namespace mv
