#include "shell/data_folder.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace mv {
namespace fs = std::filesystem;
namespace {

// The first of <bin>/../<relative> and <bin>/../../<relative> that is a folder.
fs::path nearest(const fs::path& bin, const fs::path& relative)
{
    std::error_code ec;
    const fs::path first = (bin / ".." / relative).lexically_normal();
    const fs::path second = (bin / ".." / ".." / relative).lexically_normal();
    if (!fs::is_directory(first, ec) && fs::is_directory(second, ec))
        return second;
    return first;
}

bool holds_anchor(const fs::path& page, const std::string& needle)
{
    std::ifstream in(page, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return text.find(needle) != std::string::npos;
}

} // namespace

fs::path program_folder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path data_folder(const fs::path& bin) { return nearest(bin, fs::path("share") / "morvane"); }

fs::path manual_folder(const fs::path& bin)
{
    return nearest(bin, fs::path("share") / "doc" / "morvane" / "manual");
}

fs::path data_folder() { return data_folder(program_folder()); }

fs::path manual_folder() { return manual_folder(program_folder()); }

fs::path manual_page(const fs::path& manual, std::string_view anchor)
{
    const fs::path index = manual / "index.html";
    if (anchor.empty())
        return index;
    const std::string needle = "id=\"" + std::string(anchor) + "\"";
    if (holds_anchor(index, needle))
        return index;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(manual, ec))
        if (e.path().extension() == ".html" && holds_anchor(e.path(), needle))
            return e.path();
    return index;
}

} // namespace mv
