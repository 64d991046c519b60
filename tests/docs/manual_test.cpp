// The user manual as built beside the programs (share/doc/morvane/manual, pages and generated
// pictures): every link and picture resolves, and every command, window and batch operation
// has its section, found by anchor id.
#include "shell/command_table.h"
#include "shell/data_folder.h"
#include "shell/help_context.h"
#include "transform/operation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <cctype>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The manual's pages by file name, with the ids each defines.
struct Manual {
    fs::path folder;
    std::map<std::string, std::string> pages;           // name -> text
    std::map<std::string, std::set<std::string>> ids;   // name -> ids
    std::set<std::string> allIds;
};

const Manual& manual()
{
    static const Manual m = [] {
        Manual m;
        m.folder = MORVANE_MANUAL_DIR;
        const std::regex id(R"re(\bid="([^"]+)")re");
        for (const fs::directory_entry& e : fs::directory_iterator(m.folder)) {
            if (e.path().extension() != ".html")
                continue;
            const std::string name = e.path().filename().string();
            m.pages[name] = readText(e.path());
            for (std::sregex_iterator it(m.pages[name].begin(), m.pages[name].end(), id), end; it != end; ++it) {
                EXPECT_TRUE(m.ids[name].insert((*it)[1]).second) << name << " repeats id " << (*it)[1];
                m.allIds.insert((*it)[1]);
            }
        }
        return m;
    }();
    return m;
}

// An anchor from a menu text: "Brightness &Curve...\tCtrl-B" -> "brightness-curve".
std::string anchorOf(const char* text)
{
    std::string t(text);
    t = t.substr(0, t.find('\t'));
    std::string out;
    for (char c : t) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += char(std::tolower(static_cast<unsigned char>(c)));
        else if (c != '&' && !out.empty() && out.back() != '-')
            out += '-';
    }
    while (!out.empty() && out.back() == '-')
        out.pop_back();
    return out;
}

// Anchors the operation chapters written elsewhere will bring (pending-anchors.txt).
std::set<std::string> pendingAnchors()
{
    std::set<std::string> out;
    std::ifstream in(fs::path(MORVANE_MANUAL_SOURCE_DIR) / "pending-anchors.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            out.insert(line);
    return out;
}

} // namespace

TEST(Manual, AnchorsComeFromMenuTexts)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Brightness &Curve...", "brightness-curve"}, {"&Levels and Color...", "levels-and-color"},
        {"&Info...\tCtrl-W", "info"}, {"Zoom In and Resize\tGray +", "zoom-in-and-resize"},
        {"&Mirror/Rotate...", "mirror-rotate"}, {"Zoom &1:1", "zoom-1-1"},
    };
    for (const auto& [text, anchor] : cases)
        EXPECT_EQ(anchorOf(text), anchor) << text;
}

TEST(Manual, EveryLinkAndPictureResolves)
{
    const Manual& m = manual();
    ASSERT_TRUE(m.pages.count("index.html"));
    const std::regex link(R"re(\b(?:href|src)="([^"]*)")re");
    for (const auto& [name, text] : m.pages) {
        for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.rfind("http:", 0) == 0 || target.rfind("https:", 0) == 0 || target.rfind("mailto:", 0) == 0)
                continue;
            const size_t hash = target.find('#');
            const std::string file = target.substr(0, hash);
            const std::string page = file.empty() ? name : file;
            EXPECT_TRUE(fs::is_regular_file(m.folder / page)) << name << " links to missing " << target;
            if (hash != std::string::npos && m.ids.count(page)) {
                EXPECT_TRUE(m.ids.at(page).count(target.substr(hash + 1))) << name << " links to missing " << target;
            }
        }
    }
}

TEST(Manual, EveryCommandWindowAndOperationHasASection)
{
    const std::set<std::string> pending = pendingAnchors();
    std::set<std::string> wanted = {std::string(mv::help_command_anchor(mv::kCmdGettingStarted)),
                                    std::string(mv::help_command_anchor(mv::kCmdHelpGlossary))};
    for (const mv::CommandInfo& c : mv::command_table()) {
        if (!c.text)
            continue;
        const std::string_view topic = mv::help_anchor(c.transformation);
        wanted.insert(c.transformation && !topic.empty() ? std::string(topic) : anchorOf(c.text));
    }
    for (const mv::HelpTopic& t : mv::help_topics())
        wanted.insert(t.anchor);
    for (const mv::Operation& op : mv::operations())
        wanted.insert(op.name);
    for (const std::string& a : wanted)
        if (!pending.count(a)) {
            EXPECT_TRUE(manual().allIds.count(a)) << "no section with id=\"" << a << "\"";
        }
}

TEST(Manual, SectionsAreFoundOnTheirPage)
{
    const Manual& m = manual();
    for (const auto& [name, ids] : m.ids)
        for (const std::string& id : ids)
            EXPECT_EQ(mv::manual_page(m.folder, id).filename().string(), name) << id;
    EXPECT_EQ(mv::manual_page(m.folder, "").filename(), "index.html");
    EXPECT_EQ(mv::manual_page(m.folder, "no-such-section").filename(), "index.html");
}
