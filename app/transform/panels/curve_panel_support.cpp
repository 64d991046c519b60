#include "transform/panels/curve_panel_support.h"

#include "core/error.h"
#include "core/histogram.h"
#include "tone/color_space.h"
#include "tone/curve_files.h"

#include <algorithm>
#include <memory>

namespace {

CurveHistogram from_record(const mv::HistogramRecord& r, QColor color)
{
    CurveHistogram h;
    std::copy(r.counts, r.counts + 256, h.counts.begin());
    h.color = color;
    return h;
}

const QColor kShade(176, 176, 176);

} // namespace

QColor curve_channel_color(int space, int channel)
{
    if (space != mv::CURVE_SPACE_RGB)
        return Qt::black;
    return channel == 0 ? QColor(255, 40, 40) : channel == 1 ? QColor(40, 220, 40) : QColor(60, 90, 255);
}

std::vector<CurveHistogram> brightness_curve_histograms(const mv::Image& img, int space)
{
    auto a = std::make_unique<mv::HistogramRecord>();
    auto b = std::make_unique<mv::HistogramRecord>();
    auto c = std::make_unique<mv::HistogramRecord>();
    const bool colour = img.type == mv::IMAGE_COLOR || img.type == mv::IMAGE_COLOR48;
    if (!colour) {
        const int err = img.type == mv::IMAGE_BINARY ? mv::histogram_binary(img, *a, mv::kHistogramSampleLimit)
                                                     : mv::histogram_gray(img, *a, mv::kHistogramSampleLimit);
        return err ? std::vector<CurveHistogram>{} : std::vector<CurveHistogram>{from_record(*a, kShade)};
    }
    if (space == mv::CURVE_SPACE_RGB) {
        if (mv::histogram_rgb(img, *a, *b, *c, mv::kHistogramSampleLimit))
            return {};
        return {from_record(*a, QColor(200, 110, 110)), from_record(*b, QColor(110, 190, 110)),
                from_record(*c, QColor(120, 130, 210))};
    }
    const int err = space == mv::CURVE_SPACE_HSL ? mv::histogram_hsl(img, *a, *b, *c, mv::kHistogramSampleLimit)
                                                 : mv::histogram_hsv(img, *a, *b, *c, mv::kHistogramSampleLimit);
    return err ? std::vector<CurveHistogram>{} : std::vector<CurveHistogram>{from_record(*c, kShade)};
}

std::vector<CurveHistogram> color_curves_histograms(const mv::Image& img, int space)
{
    auto a = std::make_unique<mv::HistogramRecord>();
    auto b = std::make_unique<mv::HistogramRecord>();
    auto c = std::make_unique<mv::HistogramRecord>();
    int err = mv::kIllegalImageType;
    if (space == mv::CURVE_SPACE_RGB)
        err = mv::histogram_rgb(img, *a, *b, *c, mv::kHistogramSampleLimit);
    else if (space == mv::CURVE_SPACE_HSL)
        err = mv::histogram_hsl(img, *a, *b, *c, mv::kHistogramSampleLimit);
    else
        err = mv::histogram_hsv(img, *a, *b, *c, mv::kHistogramSampleLimit);
    if (err)
        return {};
    const bool rgb = space == mv::CURVE_SPACE_RGB;
    return {from_record(*a, rgb ? QColor(200, 110, 110) : kShade),
            from_record(*b, rgb ? QColor(110, 190, 110) : kShade),
            from_record(*c, rgb ? QColor(120, 130, 210) : kShade)};
}

std::vector<CurveProbeMark> brightness_curve_probe(const mv::Rgb& c, int space, bool gray)
{
    if (gray)
        return {{c.red, Qt::yellow}};
    switch (space) {
    case mv::CURVE_SPACE_RGB:
        return {{c.red, QColor(255, 60, 60)}, {c.green, QColor(60, 255, 60)}, {c.blue, QColor(80, 120, 255)}};
    case mv::CURVE_SPACE_HSL:
        return {{mv::hsl_lightness(c.red, c.green, c.blue), Qt::yellow}};
    default:
        return {{mv::color_max(c.red, c.green, c.blue), Qt::yellow}};
    }
}

int color_curves_probe(const mv::Rgb& c, int space, int channel)
{
    if (space == mv::CURVE_SPACE_RGB)
        return channel == 0 ? c.red : channel == 1 ? c.green : c.blue;
    int h = 0, s = 0, v = 0;
    if (space == mv::CURVE_SPACE_HSL)
        mv::rgb8_to_hsl12(c.red, c.green, c.blue, h, s, v);
    else
        mv::rgb8_to_hsv12(c.red, c.green, c.blue, h, s, v);
    const int component = channel == 0 ? h : channel == 1 ? s : v;
    return std::clamp((component * 255 + 2048) / 4096, 0, 255);
}
