#include "batch_plan.h"

#include "formats/file_types.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>

#include <glob.h>

namespace fs = std::filesystem;

namespace mv::batch {
namespace {

struct Source {
    std::string path;
    std::string folder; // below the folder it was found in
    bool operator<(const Source& o) const { return path < o.path; }
};

bool is_pattern(const std::string& s)
{
    return s.find_first_of("*?[") != std::string::npos;
}

// A file the program can open: its extension names a known type.
bool is_picture(const fs::path& p)
{
    return file_type_from_extension(p.string()) != FILE_UNKNOWN;
}

// The pictures of a folder. The output folder is left out when it lies inside, so a second
// run does not take the first one's results for inputs.
bool scan_folder(const std::string& dir, const PlanRequest& request, std::vector<Source>& out,
                 std::string& message)
{
    std::error_code ec, unused;
    const fs::path skip = fs::weakly_canonical(request.out_dir, unused);
    const auto add = [&](const fs::directory_entry& e) {
        std::error_code ignored; // a broken link is not a picture, and no reason to stop
        if (e.is_regular_file(ignored) && is_picture(e.path())) {
            const fs::path relative = e.path().lexically_relative(dir).parent_path();
            out.push_back({e.path().string(), relative.string()});
        }
    };
    if (request.recursive) {
        for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            if (it->is_directory(ignored) && fs::weakly_canonical(it->path(), ignored) == skip)
                it.disable_recursion_pending();
            else
                add(*it);
        }
    } else {
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            add(*it);
    }
    if (ec)
        message = "cannot read the folder '" + dir + "': " + ec.message();
    return !ec;
}

bool collect(const PlanRequest& request, std::vector<Source>& sources, std::string& message)
{
    for (const std::string& input : request.inputs) {
        std::vector<std::string> paths{input};
        if (is_pattern(input) && !fs::exists(input)) {
            glob_t g{};
            const int r = ::glob(input.c_str(), 0, nullptr, &g);
            paths.assign(g.gl_pathv, g.gl_pathv + (r == 0 ? g.gl_pathc : 0));
            ::globfree(&g);
            if (paths.empty()) {
                message = "no file matches '" + input + "'";
                return false;
            }
        }
        for (const std::string& p : paths) {
            std::error_code ec;
            if (fs::is_directory(p, ec)) {
                if (!scan_folder(p, request, sources, message))
                    return false;
            } else {
                sources.push_back({p, ""}); // a missing file fails when its turn comes
            }
        }
    }
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end(),
                              [](const Source& a, const Source& b) { return a.path == b.path; }),
                  sources.end());
    return true;
}

bool same_file(const std::string& a, const std::string& b)
{
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return !ea && !eb && ca == cb;
}

} // namespace

bool parse_shard(const std::string& text, int& shard, int& shards)
{
    const size_t slash = text.find('/');
    if (slash == std::string::npos)
        return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [p1, e1] = std::from_chars(begin, begin + slash, shard);
    const auto [p2, e2] = std::from_chars(begin + slash + 1, end, shards);
    return e1 == std::errc() && p1 == begin + slash && e2 == std::errc() && p2 == end && shards >= 1 &&
           shard >= 0 && shard < shards;
}

bool expand_name(const std::string& pattern, const std::string& name, const std::string& ext, int n,
                 const std::string& folder, std::string& out, std::string& message)
{
    out.clear();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '{') {
            out += pattern[i];
            continue;
        }
        const size_t close = pattern.find('}', i);
        if (close == std::string::npos) {
            message = "unclosed '{' in the name pattern '" + pattern + "'";
            return false;
        }
        const std::string field = pattern.substr(i + 1, close - i - 1);
        if (field == "name")
            out += name;
        else if (field == "ext")
            out += ext;
        else if (field == "n")
            out += std::to_string(n);
        else if (field == "folder")
            out += folder;
        else {
            message = "unknown field {" + field + "} in the name pattern (use {name}, {ext}, {n}, {folder})";
            return false;
        }
        i = close;
    }
    return true;
}

bool batch_plan(const PlanRequest& request, std::vector<PlannedFile>& files, std::string& message)
{
    files.clear();
    std::vector<Source> sources;
    if (!collect(request, sources, message))
        return false;
    std::string pattern = request.name_pattern;
    if (pattern.empty()) {
        const int filter = save_filter_by_name(request.save.format_name);
        pattern = filter ? std::string("{folder}/{name}") + save_default_extension(filter)
                         : "{folder}/{name}.{ext}";
    }
    std::map<std::string, std::string> taken; // output -> input
    for (size_t p = 0; p < sources.size(); ++p) {
        const fs::path in(sources[p].path);
        std::string ext = in.extension().string();
        if (!ext.empty())
            ext.erase(0, 1);
        std::string relative, output;
        int filter = 0;
        if (!expand_name(pattern, in.stem().string(), ext, int(p + 1), sources[p].folder, relative, message))
            return false;
        const std::string joined = (fs::path(request.out_dir + "/" + relative)).lexically_normal().string();
        if (!save_target(request.save, joined, filter, output, message))
            return false;
        const auto [it, fresh] = taken.emplace(output, sources[p].path);
        if (!fresh) {
            message = "'" + it->second + "' and '" + sources[p].path + "' would both be written to '" + output +
                      "' (use {folder} or {n} in --name)";
            return false;
        }
        if (same_file(output, sources[p].path)) {
            message = "'" + output + "' would overwrite its own input";
            return false;
        }
        if (int(p % size_t(request.shards)) == request.shard)
            files.push_back({sources[p].path, output, filter, int(p + 1)});
    }
    return true;
}

} // namespace mv::batch
