#include "help_context.h"

#include "shell/command_table.h"

#include <algorithm>
#include <string>

namespace mv {
namespace {

constexpr HelpTopic kTopics[] = {
    {3, "crop"},
    {4, "brightness-curve"},
    {5, "monochrome"},
    {6, "halftone"},
    {7, "sharpen"},
    {8, "blur"},
    {10, "extract-channel"},
    {11, "tint"},
    {14, "monitor-calibration"},
    {15, "slide-show"},
    {18, "photo-cd"},
    {19, "mirror-rotate"},
    {21, "layout"},
    {22, "color-balance"},
    {23, "warp"},
    {24, "resize"},
    {25, "filter"},
    {28, "color-curves"},
    {29, "brightness"},
    {30, "preferences"},
    {31, "saturation"},
    {33, "text"},
    {34, "stereo"},
    {35, "displace"},
    {38, "composite"},
    {39, "gradient"},
    {40, "edge"},
    {41, "emboss"},
    {42, "difference"},
    {43, "levels-and-color"},
    {45, "mask-tool"},
    {46, "add-border"},
    {48, "kaleidoscope"},
    {49, "combine-channels"},
    {50, "channel-registration"},
    {51, "add-noise"},
    {52, "tile"},
    {53, "high-contrast"},
    {54, "spiral"},
    {56, "equalize"},
    {57, "calendar"},
    {58, "texture"},
    {61, "convert"},
    {63, "posterize"},
    {64, "grid"},
    {65, "gamma-adjust"},
    {66, "light-falloff"},
    {67, "interlace"},
    {69, "color-correct"},
};

} // namespace

std::span<const HelpTopic> help_topics() { return kTopics; }

std::string_view help_anchor(int kind)
{
    const auto it = std::lower_bound(std::begin(kTopics), std::end(kTopics), kind,
                                     [](const HelpTopic& t, int k) { return t.kind < k; });
    if (it == std::end(kTopics) || it->kind != kind)
        return {};
    return it->anchor;
}

std::string_view help_command_anchor(int command)
{
    switch (command) {
    case kCmdGettingStarted: return "getting-started";
    case kCmdHelpGlossary: return "glossary";
    default: return {};
    }
}

std::string help_url(std::string_view manual, std::string_view anchor)
{
    std::string url(manual);
    if (!anchor.empty()) {
        url += '#';
        url += anchor;
    }
    return url;
}

} // namespace mv
