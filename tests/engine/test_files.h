// File helpers for tests: a temporary folder removed with everything in it, and whole-file
// reads and writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace mv::test {

using Bytes = std::vector<std::uint8_t>;

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/morvane_test_XXXXXX";
        path_ = ::mkdtemp(pattern) ? pattern : "";
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // Names of the files in the folder, hidden ones included.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            out.push_back(e.path().filename().string());
        return out;
    }

private:
    std::string path_;
};

inline void write_bytes(const std::string& path, const Bytes& b)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (!b.empty())
        std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

inline Bytes read_bytes(const std::string& path)
{
    Bytes b;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return b;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        b.push_back(std::uint8_t(c));
    std::fclose(f);
    return b;
}

} // namespace mv::test
