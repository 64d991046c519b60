// The tone and colour transformations of the catalogue, with Edge and Equalize.
#include "effects/edge.h"
#include "effects/equalize.h"
#include "tone/brightness_curve.h"
#include "tone/color_balance.h"
#include "tone/color_curves.h"
#include "tone/convert.h"
#include "tone/extract_channel.h"
#include "tone/levels.h"
#include "tone/tone_shape.h"
#include "transform/catalogue_support.h"

#include <utility>

namespace mv::catalogue {
namespace {

// Settings records without an amount block (Convert, Extract Channel).
template <class S>
class PlainSettings final : public OperationSettings {
public:
    explicit PlainSettings(RegionFunction fn) : fn_(fn) {}
    RegionFunction region() const override { return fn_; }
    void* record() override { return &s; }
    S s;

private:
    RegionFunction fn_;
};

const std::vector<std::string> kHsvHsl = {"HSV", "HSL"};
const std::vector<std::string> kHsvHslRgb = {"HSV", "HSL", "RGB"};

Operation make_operation(const char* name, const char* title, int kind, unsigned types)
{
    Operation op;
    op.name = name;
    op.title = title;
    op.kind = kind;
    op.accepted_types = types;
    return op;
}

// Brightness and Saturation take their strength from the signed amount: "level" is the
// percentage from -100 to 100 that the Amount control shows.
template <class S>
void register_tone(const char* name, const char* title, int kind, unsigned types,
                   std::vector<std::string> preserve, int preserve_default,
                   std::vector<std::string> spaces, RegionFunction fn, void (*defaults)(S&))
{
    Operation op = make_operation(name, title, kind, types);
    op.signed_amount = true;
    op.params = {list_param("Preserve:", std::move(preserve), preserve_default),
                 list_param("Color Space:", std::move(spaces), 0)};
    op.make = [fn, defaults](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<S>>(fn);
        defaults(s->s);
        s->s.preserve = v.numbers[0];
        s->s.color_space = v.numbers[1];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

// Levels and Color: the black and white points are measured from the input in its colour
// space; the output range is either those points (the input's own range) or the full scale.
// Midtones and saturation are percentages; the colour-balance colour is three channels.
void register_levels()
{
    Operation op = make_operation("levels-and-color", "Levels and Color", 43, kAllPictures);
    op.params = {list_param("Color Space:", kHsvHsl, LEVELS_HSV),
                 integer_param("Midtones:", -100, 100, 0),
                 integer_param("Saturation:", -100, 100, 0),
                 list_param("Dynamic Range:", {"Measured", "Full Range"}, 0),
                 integer_param("Red:", 0, 255, 255),
                 integer_param("Green:", 0, 255, 255),
                 integer_param("Blue:", 0, 255, 255)};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        const int* n = v.numbers.data();
        auto s = std::make_unique<RecordSettings<LevelsSettings>>(levels_region);
        LevelsSettings& l = s->s;
        l.color_space = n[0];
        if (int e = levels_auto_range(input, l))
            return e;
        l.midtones = n[1];
        l.saturation = n[2];
        if (n[3] == 1)
            levels_full_range(l);
        for (int c = 0; c < 3; ++c)
            l.balance[c] = std::uint8_t(n[4 + c]);
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Brightness Curve: the curve comes from a "Curve 1.0" file; without one it is the identity.
void register_brightness_curve()
{
    Operation op = make_operation("brightness-curve", "Brightness Curve", 4, kAllPictures);
    op.params = {file_param("curve", "Curve:"), list_param("Color Space:", kHsvHslRgb, CURVE_SPACE_HSV)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<BrightnessCurveSettings>>(brightness_curve_region);
        curve_reset(s->s.curve);
        if (!v.texts[0].empty())
            if (int e = curve_file_read(v.texts[0], s->s.curve))
                return e;
        s->s.color_space = v.numbers[1];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Color Curves: the colour space and the three curves come from a "ColorCurves 1.0" file;
// without one every curve is the identity and the result is the input.
void register_color_curves()
{
    Operation op = make_operation("color-curves", "Color Curves", 28, kColorOnly);
    op.params = {file_param("color-curves", "Color Curves:")};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<ColorCurvesSettings>>(color_curves_region);
        color_curves_reset(s->s);
        if (!v.texts[0].empty()) {
            ColorCurvesFile file;
            if (int e = color_curves_file_read(v.texts[0], file))
                return e;
            s->s.color_space = file.color_space;
            for (int k = 0; k < 3; ++k)
                s->s.curves[k] = file.curves[k];
        }
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Color Balance: the highlight and shadow colours are found in the input; the modes come from
// the lists, and a "ColorBalance 1.0" file, read afterwards as Load does in the window, sets
// the colours of the anchors it names and switches them to "custom".
void register_color_balance()
{
    Operation op = make_operation("color-balance", "Color Balance", 22, kColorOnly);
    op.params = {list_param("Highlight:", {"none", "auto", "custom"}, BALANCE_AUTO),
                 list_param("Midtone:", {"none", "custom"}, MIDTONE_NONE),
                 list_param("Shadow:", {"none", "auto", "custom"}, BALANCE_NONE),
                 file_param("color-balance", "Color Balance:")};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<ColorBalanceSettings>>(color_balance_region);
        ColorBalanceSettings& b = s->s;
        if (int e = color_balance_find_points(input, b))
            return e;
        color_balance_reset(b);
        b.highlight_mode = v.numbers[0];
        b.midtone_mode = v.numbers[1];
        b.shadow_mode = v.numbers[2];
        b.midtone_on = b.midtone_mode != MIDTONE_NONE;
        if (!v.texts[3].empty())
            if (int e = color_balance_file_read(v.texts[3], b))
                return e;
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

void register_extract_channel()
{
    Operation op = make_operation("extract-channel", "Extract Channel", kExtractChannelKind, kColorOnly);
    op.has_amount = false;
    op.params = {list_param("Channel:",
                            {"Luminance", "-", "Red", "Green", "Blue", "-", "HSV Hue", "HSV Saturation",
                             "HSV Value", "-", "HSL Hue", "HSL Saturation", "HSL Lightness"},
                            kChannelLuminance)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        if (!extract_channel_valid(v.numbers[0]))
            return int(kIllegalImageType);
        auto s = std::make_unique<PlainSettings<ExtractChannelSettings>>(extract_channel_region);
        s->s.channel = v.numbers[0];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Convert: the target is one of the listed types; 16-bit pictures reach 8 bits this way.
void register_convert()
{
    Operation op = make_operation("convert", "Convert", kConvertKind, kAllPictures);
    op.has_amount = false;
    op.params = {list_param("Convert To:", {"Binary", "Black and White", "Color"}, 1)};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<PlainSettings<ConvertSettings>>(convert_region);
        convert_reset(s->s, input.type);
        s->s.target = v.numbers[0];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

void register_edge()
{
    Operation op = make_operation("edge", "Edge", 40, kAllPictures);
    op.params = {list_param("Color Space:", {"RGB", "HSV", "HSL"}, kEdgeRgb),
                 list_param("Method:", {"Roberts", "Sobel", "Laplacian"}, kEdgeRoberts),
                 list_param("Action:", {"Compute", "Darken", "Lighten"}, kEdgeCompute)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<EdgeSettings>>(edge_region);
        s->s.color_space = v.numbers[0];
        s->s.method = v.numbers[1];
        s->s.action = v.numbers[2];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

void register_equalize()
{
    Operation op = make_operation("equalize", "Equalize", 56, kGrayColor16);
    op.params = {list_param("Color Space:", {"HSV V", "HSL L"}, EQUALIZE_HSV_V)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<EqualizeSettings>>(equalize_region);
        s->s.color_space = v.numbers[0];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

} // namespace

// In menu order. Combine Channels is not here: it takes three source pictures, not one input.
void register_tone_operations()
{
    register_levels();
    register_brightness_curve();
    register_tone<BrightnessSettings>("brightness", "Brightness", 29, kGrayColor16,
                                      {"Black and White", "Black", "White", "Neither"}, 1, kHsvHslRgb,
                                      brightness_region, brightness_defaults);
    register_color_balance();
    register_color_curves();
    register_tone<SaturationSettings>("saturation", "Saturation", 31, kColorOnly,
                                      {"Low and High", "Low", "High", "Neither"}, 1, kHsvHsl,
                                      saturation_region, saturation_defaults);
    register_extract_channel();
    register_convert();
    register_edge();
    register_equalize();
}

} // namespace mv::catalogue
