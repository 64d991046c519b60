// Shared by the batch tool's tests: a temporary folder per test, running the real
// morvane-batch with its output captured, and loading and comparing pictures.
#pragma once

#include "core/image.h"
#include "formats/file_open.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class BatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvane_batch_XXXXXX";
        dir_ = ::mkdtemp(pattern) ? pattern : "";
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string file(const std::string& name) const { return dir_ + "/" + name; }
    static std::string sample(const std::string& name) { return std::string(MORVANE_SAMPLES_DIR) + "/" + name; }

    RunResult run(const std::vector<std::string>& args) const
    {
        std::string cmd = quote(MORVANE_BATCH);
        for (const std::string& a : args)
            cmd += " " + quote(a);
        cmd += " >" + quote(file(".out")) + " 2>" + quote(file(".err"));
        RunResult r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(file(".out"));
        r.err = slurp(file(".err"));
        return r;
    }

    static mv::Image load(const std::string& path)
    {
        mv::Image img;
        mv::OpenedFile opened;
        EXPECT_EQ(mv::file_open_path(path, -1, img, opened, false), 0) << path;
        return img;
    }

    // Pixels only: row padding, and the unused bits after the last pixel of a binary row, are
    // whatever the allocation held.
    static bool same_pixels(const mv::Image& a, const mv::Image& b)
    {
        if (a.type != b.type || a.width != b.width || a.height != b.height || a.empty())
            return false;
        const bool binary = a.type == mv::IMAGE_BINARY;
        const int whole = binary ? a.width / 8 : a.width * mv::image_pixel_bytes(a.type);
        const int tail = binary ? a.width % 8 : 0;
        const std::uint8_t mask = std::uint8_t(0xff00 >> tail);
        for (int y = 0; y < a.height; ++y) {
            if (std::memcmp(a.row(y), b.row(y), size_t(whole)) != 0)
                return false;
            if (tail && ((a.row(y)[whole] ^ b.row(y)[whole]) & mask))
                return false;
        }
        return true;
    }

    std::string dir_;

private:
    static std::string quote(const std::string& s)
    {
        std::string q = "'";
        for (char c : s)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }

    static std::string slurp(const std::string& path)
    {
        std::ifstream f(path, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
};
