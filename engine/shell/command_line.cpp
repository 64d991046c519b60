#include "command_line.h"

namespace mv {

std::vector<std::string> command_line_paths(std::string_view line)
{
    std::vector<std::string> paths;
    if (line.empty())
        return paths;
    std::string path;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            paths.push_back(path);
            path.clear();
            continue;
        } else {
            path += c;
        }
        if (int(path.size()) >= kPathLimit)
            path.clear();
    }
    paths.push_back(path);
    return paths;
}

std::string command_line_join(const std::vector<std::string>& args)
{
    std::string line;
    for (const std::string& a : args) {
        if (!line.empty())
            line += ' ';
        line += '"' + a + '"';
    }
    return line;
}

} // namespace mv
