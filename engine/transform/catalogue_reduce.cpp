// The colour reductions of the catalogue.
#include "reduce/halftone.h"
#include "reduce/posterize.h"
#include "transform/catalogue_support.h"

namespace mv::catalogue {
namespace {

// Check boxes are lists of two entries, "Off" first.
OperationParam check_param(std::string label) { return list_param(std::move(label), {"Off", "On"}, 0); }

// Posterize with the default palette (colour 1 black, the rest white), or with "Auto Palette"
// the palette chosen from the input for the number of colours, as the window's button does.
void register_posterize()
{
    Operation op;
    op.name = "posterize";
    op.title = "Posterize";
    op.kind = 63;
    op.accepted_types = kAllPictures;
    op.params = {integer_param("Number of colors:", kPosterizeMinColors, kPosterizeMaxColors, 2),
                 check_param("Remap Colors"), check_param("Antialias"), check_param("Auto Palette")};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<PosterizeSettings>>(posterize_region);
        s->s.colors = v.numbers[0];
        s->s.remap = v.numbers[1] != 0;
        s->s.antialias = v.numbers[2] != 0;
        if (v.numbers[3] != 0)
            if (const int e = posterize_auto_palette(input, s->s))
                return e;
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// "Custom" needs a screen image, which a list of controls cannot name: it reports that no
// screen was given.
void register_halftone()
{
    Operation op;
    op.name = "halftone";
    op.title = "Halftone";
    op.kind = 6;
    op.accepted_types = kGrayColor16;
    std::vector<std::string> methods;
    for (int m = 0; m < kHalftoneMethodCount; ++m)
        methods.emplace_back(halftone_method_name(m));
    op.params = {list_param("Method:", std::move(methods), kHalftoneOrdered8)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        if (v.numbers[0] == kHalftoneCustom)
            return int(kNoHalftoneScreen);
        auto s = std::make_unique<RecordSettings<HalftoneSettings>>(halftone_region);
        halftone_set_method(s->s, v.numbers[0]);
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

} // namespace

void register_reduce_operations()
{
    register_posterize();
    register_halftone();
}

} // namespace mv::catalogue
