#include "product_table.h"

#include "error.h"

#include <memory>
#include <new>

namespace mv {
namespace {

// Built on first use. The initialisation of a function's static runs once even when
// several threads (row bands, files of a batch) ask at the same moment, so none of them
// sees a table that is still being filled. Null when it could not be allocated.
const std::uint8_t* table()
{
    static const std::unique_ptr<std::uint8_t[]> t = [] {
        std::unique_ptr<std::uint8_t[]> made(new (std::nothrow) std::uint8_t[256 * 256]);
        if (made)
            for (int i = 0; i < 256; ++i)
                for (int j = 0; j < 256; ++j)
                    made[size_t(i * 256 + j)] = std::uint8_t((i * j + 127) / 255);
        return made;
    }();
    return t.get();
}

} // namespace

int product_table_build()
{
    return table() ? kOk : kOutOfMemory;
}

const std::uint8_t* product_row(int i)
{
    return table() + i * 256;
}

} // namespace mv
