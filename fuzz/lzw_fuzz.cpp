// Feeds arbitrary LZW streams to the decoder; the first two bytes choose the output size.
#include "formats/lzw_decode.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t out_size = std::size_t(data[0]) << 8 | data[1];
    std::vector<std::uint8_t> out(out_size);
    const int err = mv::lzw_decode(data + 2, size - 2, out.data(), out.size());
    if (err != 0 && err != 56)
        __builtin_trap();
    return 0;
}
