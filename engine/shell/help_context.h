// Context help: the section of the HTML user manual that belongs to the active child's kind,
// and the sections the Help menu's commands open.
#pragma once

#include <span>
#include <string_view>

namespace mv {

struct HelpTopic {
    int kind;           // window kind (transformation number, tool or workspace window)
    const char* anchor; // section anchor in the manual, without "#"
};

// Topics for window kinds 3..69, ordered by kind.
std::span<const HelpTopic> help_topics();

// The anchor for the active child's kind; empty (the contents) for kinds without a topic,
// for image and preview windows and without an active child (-1).
std::string_view help_anchor(int kind);

// The anchor a Help menu command opens: Getting Started and Glossary have sections of their
// own; Contents, Search and anything else open the contents (empty).
std::string_view help_command_anchor(int command);

// The manual's address for an anchor: `manual` itself, or `manual` + "#" + anchor.
std::string help_url(std::string_view manual, std::string_view anchor);

} // namespace mv
