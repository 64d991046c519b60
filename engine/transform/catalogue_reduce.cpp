// The colour reductions of the catalogue, and Combine Channels, which builds a colour
// picture from three sources.
#include "formats/file_open.h"
#include "reduce/halftone.h"
#include "reduce/posterize.h"
#include "tone/combine_channels.h"
#include "transform/catalogue_support.h"

namespace mv::catalogue {
namespace {

// "Illegal color line file": a palette or colour text that is not a list of RRGGBB colours.
constexpr int kIllegalColorLine = 15;

// Check boxes are lists of two entries, "Off" first.
OperationParam check_param(std::string label) { return list_param(std::move(label), {"Off", "On"}, 0); }

// Settings whose record may point at pictures read from files ("screen=FILE"), kept here
// for as long as the record.
template <class S, int N>
class PictureSettings final : public OperationSettings {
public:
    PictureSettings(RegionFunction fn, bool has_amount) : fn_(fn), has_amount_(has_amount) {}
    RegionFunction region() const override { return fn_; }
    void* record() override { return &s; }
    AmountBlock* amount() override
    {
        if constexpr (requires(S& x) { x.amount; })
            return has_amount_ ? &s.amount : nullptr;
        return nullptr;
    }
    S s;
    Image loaded[N];

private:
    RegionFunction fn_;
    bool has_amount_;
};

int load_picture(const std::string& path, Image& img)
{
    OpenedFile opened;
    if (const int e = file_open_path(path, -1, img, opened, false))
        return e;
    return opened.missing || img.empty() ? int(kCannotOpenFile) : int(kOk);
}

// The batch tool refuses a palette or colour text before anything is read.
bool check_palette(std::string_view text, std::string& message)
{
    PosterizePalette p{};
    if (text == "auto" || posterize_parse_palette(text, p))
        return true;
    message = "a palette is up to 32 colours RRGGBB separated by commas, or auto";
    return false;
}

bool check_remapped(std::string_view text, std::string& message)
{
    PosterizePalette p{};
    if (posterize_parse_palette(text, p))
        return true;
    message = "a palette is up to 32 colours RRGGBB separated by commas";
    return false;
}

bool check_source(std::string_view text, std::string& message)
{
    PosterizePalette p{};
    if (text.empty() || text.front() != '#' || (text.size() == 7 && posterize_parse_palette(text, p)))
        return true;
    message = "a solid colour is written #RRGGBB";
    return false;
}

enum PosterizeParam { kPosterizeColors, kPosterizeRemap, kPosterizeAntialias, kPosterizeAuto,
                      kPosterizePaletteText, kPosterizeRemappedText };

// Posterize with the palette written in "palette=" and "remapped-palette=" (colour 1 black
// and the rest white where none is given), or with "Auto Palette" ("palette=auto") the
// palette chosen from the input for the number of colours, as the window's button does.
void register_posterize()
{
    Operation op;
    op.name = "posterize";
    op.title = "Posterize";
    op.kind = 63;
    op.accepted_types = kAllPictures;
    op.params = {integer_param("Number of colors:", kPosterizeMinColors, kPosterizeMaxColors, 2),
                 check_param("Remap Colors"), check_param("Antialias"), check_param("Auto Palette"),
                 text_param("palette", "Colors:"), text_param("remapped-palette", "Remapped Colors:")};
    op.params[kPosterizePaletteText].check = check_palette;
    op.params[kPosterizeRemappedText].check = check_remapped;
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<PosterizeSettings>>(posterize_region);
        s->s.colors = v.numbers[kPosterizeColors];
        s->s.remap = v.numbers[kPosterizeRemap] != 0;
        s->s.antialias = v.numbers[kPosterizeAntialias] != 0;
        const std::string& palette = v.texts[kPosterizePaletteText];
        const std::string& remapped = v.texts[kPosterizeRemappedText];
        if (v.numbers[kPosterizeAuto] != 0 || palette == "auto") {
            if (const int e = posterize_auto_palette(input, s->s))
                return e;
        } else if (!palette.empty() && !posterize_parse_palette(palette, s->s.color)) {
            return int(kIllegalColorLine);
        }
        if (!remapped.empty() && !posterize_parse_palette(remapped, s->s.remapped))
            return int(kIllegalColorLine);
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// "Custom" reads its screen from "screen=FILE" in the batch tool; the editor's window hands
// over the screen image window it chose instead.
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
    op.params = {list_param("Method:", std::move(methods), kHalftoneOrdered8),
                 file_param("screen", "Halftone Screen Image:")};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<PictureSettings<HalftoneSettings, 1>>(halftone_region, true);
        halftone_set_method(s->s, v.numbers[0]);
        if (v.numbers[0] == kHalftoneCustom && !v.texts[1].empty()) {
            if (const int e = load_picture(v.texts[1], s->loaded[0]))
                return e;
            s->s.screen = &s->loaded[0];
        }
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Combine Channels: the input gives only the size; each channel is a gray picture read from
// "color-N=FILE" or a solid colour "color-N=#RRGGBB" (white when not given). The editor's
// window fills the sources from its three selectors.
void register_combine_channels()
{
    Operation op;
    op.name = "combine-channels";
    op.title = "Combine Channels";
    op.kind = kCombineChannelsKind;
    op.accepted_types = kAllPictures;
    op.has_amount = false;
    op.params = {list_param("Color Space:", {"RGB", "HSV", "HSL", "CMY"}, kCombineRgb),
                 text_param("color-1", "Color 1"), text_param("color-2", "Color 2"),
                 text_param("color-3", "Color 3")};
    for (int i = 1; i <= 3; ++i)
        op.params[size_t(i)].check = check_source;
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<PictureSettings<CombineChannelsSettings, 3>>(combine_channels_region, false);
        s->s.space = v.numbers[0];
        for (int i = 0; i < 3; ++i) {
            const std::string& text = v.texts[size_t(1 + i)];
            CombineSource& src = s->s.sources[i];
            if (text.empty())
                continue;
            if (text.front() == '#') {
                PosterizePalette colour{};
                if (text.size() != 7 || !posterize_parse_palette(text, colour))
                    return int(kIllegalColorLine);
                src.red = std::uint8_t(colour[0].red);
                src.green = std::uint8_t(colour[0].green);
                src.blue = std::uint8_t(colour[0].blue);
                continue;
            }
            if (const int e = load_picture(text, s->loaded[i]))
                return e;
            src.image = &s->loaded[i];
        }
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
    register_combine_channels();
}

} // namespace mv::catalogue
