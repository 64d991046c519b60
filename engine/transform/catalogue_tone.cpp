// The tone and colour transformations of the catalogue.
#include "tone/tone_shape.h"
#include "transform/catalogue_support.h"

namespace mv::catalogue {
namespace {

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

void register_tone_operations()
{
    register_tone<BrightnessSettings>("brightness", "Brightness", 29, kGrayColor16,
                                      {"Black and White", "Black", "White", "Neither"}, 1,
                                      {"HSV", "HSL", "RGB"}, brightness_region, brightness_defaults);
    register_tone<SaturationSettings>("saturation", "Saturation", 31, kColorOnly,
                                      {"Low and High", "Low", "High", "Neither"}, 1, {"HSV", "HSL"},
                                      saturation_region, saturation_defaults);
}

} // namespace mv::catalogue
