#include "value_tables.h"

#include <memory>

namespace mv {
namespace {

std::unique_ptr<ValueTables> build()
{
    auto t = std::make_unique<ValueTables>();
    for (int v = 0; v < 256; ++v) {
        t->widen8[v] = std::uint16_t((v * 65535 + 127) / 255);
        t->to12[v] = std::uint16_t(v * 4096 / 255);
    }
    for (int v = 0; v < 65536; ++v)
        t->narrow16[v] = std::uint8_t((v * 255LL + 32767) / 65535);
    for (int x = 0; x <= 4096; ++x)
        t->from12[x] = std::uint8_t((x * 255) >> 12);
    return t;
}

} // namespace

const ValueTables& value_tables()
{
    static const std::unique_ptr<ValueTables> tables = build();
    return *tables;
}

} // namespace mv
