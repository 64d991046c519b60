#include "operation_catalogue.h"

#include "core/error.h"
#include "filters/blur.h"
#include "filters/sharpen.h"
#include "tone/tone_shape.h"
#include "transform/operation.h"

namespace mv {
namespace {

constexpr unsigned bit(int type) { return 1u << type; }
constexpr unsigned kGrayColor16 = bit(IMAGE_GRAY) | bit(IMAGE_COLOR) | bit(IMAGE_GRAY16) | bit(IMAGE_COLOR48);
constexpr unsigned kColorOnly = bit(IMAGE_COLOR) | bit(IMAGE_COLOR48);
constexpr unsigned kAllPictures = kGrayColor16 | bit(IMAGE_BINARY);

// Settings records whose first member is their amount block and whose region function
// reads them as they are.
template <class S>
class RecordSettings final : public OperationSettings {
public:
    RecordSettings(RegionFunction fn) : fn_(fn) {}
    RegionFunction region() const override { return fn_; }
    void* record() override { return &s; }
    AmountBlock* amount() override { return &s.amount; }
    S s;

private:
    RegionFunction fn_;
};

OperationParam list_param(std::string label, std::vector<std::string> values, int initial)
{
    OperationParam p;
    p.key = operation_key(label);
    p.label = std::move(label);
    p.kind = OperationParam::kList;
    p.values = std::move(values);
    p.default_value = initial;
    p.maximum = int(p.values.size()) - 1;
    return p;
}

OperationParam integer_param(std::string label, int minimum, int maximum, int initial)
{
    OperationParam p;
    p.key = operation_key(label);
    p.label = std::move(label);
    p.kind = OperationParam::kInteger;
    p.minimum = minimum;
    p.maximum = maximum;
    p.default_value = initial;
    return p;
}

void register_blur()
{
    Operation op;
    op.name = "blur";
    op.title = "Blur";
    op.kind = 20;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Blur", "Blur More", "Gaussian", "Median 3x3", "Median 5x5"}, 0),
                 integer_param("Radius:", 0, 128, 3), integer_param("Threshold:", 0, 255, 255)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<BlurSettings>>(blur_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

void register_sharpen()
{
    Operation op;
    op.name = "sharpen";
    op.title = "Sharpen";
    op.kind = 21;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Sharpen", "Heavy Sharpen", "Unsharp Mask"}, 0),
                 integer_param("Radius:", 0, 20, 3), integer_param("Threshold:", 0, 50, 0)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<SharpenSettings>>(sharpen_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

// Brightness and Saturation take their strength from the signed amount: "level" is the
// percentage from -100 to 100 that the Amount control shows.
template <class S>
void register_tone(const char* name, const char* title, int kind, unsigned types,
                   std::vector<std::string> preserve, int preserve_default,
                   std::vector<std::string> spaces, RegionFunction fn, void (*defaults)(S&))
{
    Operation op;
    op.name = name;
    op.title = title;
    op.kind = kind;
    op.accepted_types = types;
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

} // namespace

void register_all_operations()
{
    register_blur();
    register_sharpen();
    register_tone<BrightnessSettings>("brightness", "Brightness", 29, kGrayColor16,
                                      {"Black and White", "Black", "White", "Neither"}, 1,
                                      {"HSV", "HSL", "RGB"}, brightness_region, brightness_defaults);
    register_tone<SaturationSettings>("saturation", "Saturation", 31, kColorOnly,
                                      {"Low and High", "Low", "High", "Neither"}, 1, {"HSV", "HSL"},
                                      saturation_region, saturation_defaults);
}

} // namespace mv
