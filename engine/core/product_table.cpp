#include "product_table.h"

#include "error.h"

#include <memory>
#include <new>

namespace mv {
namespace {
std::unique_ptr<std::uint8_t[]> g_table;
}

int product_table_build()
{
    if (g_table)
        return kOk;
    try {
        g_table.reset(new std::uint8_t[256 * 256]);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            g_table[i * 256 + j] = std::uint8_t((i * j + 127) / 255);
    return kOk;
}

const std::uint8_t* product_row(int i)
{
    if (!g_table)
        product_table_build();
    return g_table.get() + i * 256;
}

} // namespace mv
