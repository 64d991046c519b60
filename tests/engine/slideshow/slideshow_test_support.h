// Shared by the slide show tests: small pictures, WAV files and a show in a temporary folder.
#pragma once

#include "core/image.h"
#include "slideshow/slide_show.h"
#include "test_files.h"

#include <cstdint>
#include <string>
#include <vector>

namespace slidetest {

inline mv::Image gray_picture(int width, int height, int level = -1)
{
    mv::Image img;
    mv::image_alloc(img, mv::IMAGE_GRAY, width, height, 72);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.row(y)[x] = std::uint8_t(level >= 0 ? level : (x * 5 + y * 3) & 255);
    return img;
}

inline mv::Image color_picture(int width, int height)
{
    mv::Image img;
    mv::image_alloc(img, mv::IMAGE_COLOR, width, height, 72);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            img.row(y)[3 * x] = std::uint8_t(x * 4);
            img.row(y)[3 * x + 1] = std::uint8_t(y * 6);
            img.row(y)[3 * x + 2] = std::uint8_t(200 - x);
        }
    return img;
}

// A 16-bit PCM WAV file of `frames` sample frames.
inline mv::test::Bytes wav_bytes(int rate, int channels, int frames, int bits = 16)
{
    mv::test::Bytes b;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    const int block = channels * bits / 8;
    const std::uint32_t data = std::uint32_t(frames * block);
    tag("RIFF");
    put(36 + data, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * block, 4);
    put(block, 2);
    put(bits, 2);
    tag("data");
    put(data, 4);
    for (int i = 0; i < frames * channels; ++i)
        put(bits == 8 ? 128 + (i % 64) : std::uint32_t(i * 37), bits / 8);
    return b;
}

} // namespace slidetest
