// Feeds arbitrary bytes to the FITS reader as a file. The bytes live in an anonymous
// memory file reached through /proc, so no disk file is written per input.
#include "core/error.h"
#include "core/image.h"
#include "formats/fits_read.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct SilentMessages : mv::MessageSink {
    int show(std::string_view, std::string_view, int) override { return mv::kResultOk; }
};

int memory_file()
{
    static const int fd = [] {
        const int f = memfd_create("fits_fuzz", 0);
        if (f < 0)
            std::abort();
        return f;
    }();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentMessages silent;
    mv::set_message_sink(&silent);
    const int fd = memory_file();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);

    mv::Image img;
    const int err = mv::fits_read(path, img, false);
    // Success always gives a picture of the header's size; failure leaves nothing behind.
    if (err == 0 && (img.empty() || img.rows.size() != std::size_t(img.height)))
        std::abort();
    if (err != 0 && !img.empty())
        std::abort();
    return 0;
}
