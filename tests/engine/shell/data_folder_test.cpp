#include "shell/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path root = fs::temp_directory_path() / ("data-folder-" + std::to_string(::getpid()));
    Scratch() { fs::remove_all(root); }
    ~Scratch() { fs::remove_all(root); }
    void mkdir(const char* rel) { fs::create_directories(root / rel); }
};

} // namespace

// The data folder is found from the binary's folder alone, for installed and build layouts.
TEST(DataFolder, FoundFromTheBinaryFolder)
{
    struct Case {
        const char* made;     // folder that exists under the scratch root
        const char* bin;      // the binary's folder
        const char* expected; // the data folder returned
    };
    const Case cases[] = {
        {"usr/share/morvane", "usr/bin", "usr/share/morvane"},          // installed
        {"build/share/morvane", "build/app", "build/share/morvane"},    // built program
        {"build/share/morvane", "build/tests/app", "build/share/morvane"}, // nested test binary
        {"nothing", "opt/x/bin", "opt/x/share/morvane"},                // missing: where it looked
    };
    for (const Case& c : cases) {
        Scratch s;
        s.mkdir(c.made);
        s.mkdir(c.bin);
        EXPECT_EQ(mv::data_folder(s.root / c.bin), (s.root / c.expected).lexically_normal()) << c.bin;
    }
    Scratch s;
    s.mkdir("usr/share/doc/morvane/manual");
    EXPECT_EQ(mv::manual_folder(s.root / "usr/bin"), s.root / "usr/share/doc/morvane/manual");
    EXPECT_EQ(mv::data_folder(), mv::data_folder(mv::program_folder()));
    EXPECT_TRUE(fs::is_directory(mv::program_folder()));
}

// A section's page is the one whose text defines the anchor; anything else is the contents.
TEST(DataFolder, ManualPageHoldsTheAnchor)
{
    Scratch s;
    s.mkdir("m");
    const auto write = [&](const char* name, const char* text) { std::ofstream(s.root / "m" / name) << text; };
    write("index.html", "<h1 id=\"contents\">Contents</h1><a href=\"tools.html#clone\">Clone</a>");
    write("tools.html", "<h2 id=\"clone\">Clone</h2><h2 id=\"paint\">Paint</h2>");
    write("notes.txt", "<h2 id=\"hidden\">not a page</h2>");
    const std::pair<const char*, const char*> cases[] = {
        {"", "index.html"}, {"contents", "index.html"}, {"clone", "tools.html"},
        {"paint", "tools.html"}, {"clo", "index.html"}, {"hidden", "index.html"},
    };
    for (const auto& [anchor, page] : cases)
        EXPECT_EQ(mv::manual_page(s.root / "m", anchor), s.root / "m" / page) << anchor;
}
