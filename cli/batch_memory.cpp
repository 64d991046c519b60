#include "batch_memory.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

namespace mv::batch {
namespace {

std::uint32_t big_endian(const unsigned char* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

// Width x height x bytes per pixel from a PNG's IHDR chunk; 0 when it is not one.
std::uint64_t png_pixels_bytes(const std::vector<unsigned char>& h)
{
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (h.size() < 26 || !std::equal(sig, sig + 8, h.begin()))
        return 0;
    const std::uint64_t w = big_endian(&h[16], 4), ht = big_endian(&h[20], 4);
    const int depth = h[24] == 16 ? 2 : 1;
    const int channels = h[25] == 2 ? 3 : h[25] == 4 ? 2 : h[25] == 6 ? 4 : 1;
    return w * ht * std::uint64_t(depth * channels);
}

// The same from a JPEG's start-of-frame marker; 0 when none is found in the bytes read.
std::uint64_t jpeg_pixels_bytes(const std::vector<unsigned char>& h)
{
    if (h.size() < 4 || h[0] != 0xff || h[1] != 0xd8)
        return 0;
    size_t i = 2;
    while (i + 9 < h.size()) {
        if (h[i] != 0xff)
            return 0;
        const int marker = h[i + 1];
        const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (frame)
            return std::uint64_t(big_endian(&h[i + 5], 2)) * big_endian(&h[i + 7], 2) * h[i + 9];
        i += 2 + big_endian(&h[i + 2], 2);
    }
    return 0;
}

} // namespace

bool parse_memory(const std::string& text, std::uint64_t& bytes)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [p, ec] = std::from_chars(begin, end, bytes);
    if (ec != std::errc() || p == begin)
        return false;
    if (p == end)
        return true;
    if (p + 1 != end)
        return false;
    const std::string units = "KMG";
    const size_t unit = units.find(char(std::toupper(static_cast<unsigned char>(*p))));
    if (unit == std::string::npos)
        return false;
    for (size_t k = 0; k <= unit; ++k)
        bytes *= 1024;
    return true;
}

std::uint64_t default_memory_limit()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    while (meminfo >> key >> kib) {
        if (key == "MemAvailable:")
            return kib * 1024 / 2;
        meminfo.ignore(64, '\n');
    }
    return std::uint64_t(::sysconf(_SC_PHYS_PAGES)) * std::uint64_t(::sysconf(_SC_PAGESIZE)) / 2;
}

std::uint64_t estimate_file_memory(const std::string& path)
{
    // The frame header of a JPEG sits after its metadata blocks, which can be large.
    std::vector<unsigned char> head(96 * 1024);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    std::uint64_t bytes = png_pixels_bytes(head);
    if (!bytes)
        bytes = jpeg_pixels_bytes(head);
    if (!bytes) {
        std::error_code ec;
        bytes = std::filesystem::file_size(path, ec);
        if (ec)
            bytes = 0;
    }
    return bytes * 3;
}

MemoryBudget::Result MemoryBudget::acquire(std::uint64_t bytes, bool (*stopped)())
{
    if (bytes > limit_)
        return kTooLarge;
    std::unique_lock<std::mutex> lock(mutex_);
    while (used_ + bytes > limit_) {
        if (stopped())
            return kStopped;
        freed_.wait_for(lock, std::chrono::milliseconds(100));
    }
    used_ += bytes;
    return kTaken;
}

void MemoryBudget::release(std::uint64_t bytes)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        used_ -= bytes;
    }
    freed_.notify_all();
}

} // namespace mv::batch
