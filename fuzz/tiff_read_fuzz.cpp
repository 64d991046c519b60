// Feeds arbitrary bytes to the TIFF classifier and reader. Whatever the reader accepts is
// written again and read back, which must give the same pixels.
#include "core/error.h"
#include "core/image.h"
#include "formats/tiff_classify.h"
#include "formats/tiff_read.h"
#include "formats/tiff_write.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

class SilentSink : public mv::MessageSink {
public:
    int show(std::string_view, std::string_view, int) override { return mv::kResultOk; }
};

std::string temp_path(const char* name)
{
    return "/tmp/morvane_fuzz_" + std::to_string(::getpid()) + "_" + name + ".tif";
}

std::size_t file_row_bytes(const mv::Image& img)
{
    switch (img.type) {
    case mv::IMAGE_BINARY: return (std::size_t(img.width) + 7) / 8;
    case mv::IMAGE_GRAY: return std::size_t(img.width);
    case mv::IMAGE_COLOR: return 3 * std::size_t(img.width);
    case mv::IMAGE_GRAY16: return 2 * std::size_t(img.width);
    default: return 6 * std::size_t(img.width);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentSink sink;
    mv::set_message_sink(&sink);
    const std::string in = temp_path("in");
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    const int kind = mv::tiff_classify(in);
    if (kind < 0 || kind > 2)
        __builtin_trap();
    mv::Image img;
    const int err = mv::tiff_read(in, img, size & 1);
    if (err != 0 && err != 56)
        __builtin_trap();
    if (err == 0 && img.pixels() <= 1 << 20) {
        const std::string out = temp_path("out");
        mv::Image back;
        if (mv::tiff_write(out, img) != 0 || mv::tiff_read(out, back, false) != 0)
            __builtin_trap();
        if (back.type != img.type || back.width != img.width || back.height != img.height)
            __builtin_trap();
        const std::size_t frb = file_row_bytes(img);
        for (int r = 0; r < img.height; ++r)
            if (std::memcmp(back.row(r), img.row(r), frb) != 0)
                __builtin_trap();
        std::remove(out.c_str());
    }
    std::remove(in.c_str());
    return 0;
}
