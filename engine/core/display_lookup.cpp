#include "display_lookup.h"

namespace mv {
namespace {

DisplayLookup identity_lookup()
{
    DisplayLookup t;
    for (int v = 0; v < 256; ++v)
        t.blue[v] = t.green[v] = t.red[v] = std::uint8_t(v);
    return t;
}

DisplayLookup g_lookup = identity_lookup();

} // namespace

const DisplayLookup& display_lookup()
{
    return g_lookup;
}

void set_display_lookup(const DisplayLookup& tables)
{
    g_lookup = tables;
}

void reset_display_lookup()
{
    g_lookup = identity_lookup();
}

} // namespace mv
