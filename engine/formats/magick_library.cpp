#include "magick_library.h"

#include "core/shared_library.h"

namespace mv {
namespace {

const MagickLibrary* load()
{
    static MagickLibrary functions;
    const SharedLibraries library{MORVANE_GRAPHICSMAGICK_SONAME};
    if (!library.loaded())
        return nullptr;
#define MV_MAGICK_BIND(name)                                                                       \
    if (!library.bind(#name, functions.name))                                                      \
        return nullptr;
    MV_MAGICK_FUNCTIONS(MV_MAGICK_BIND)
#undef MV_MAGICK_BIND
    return &functions;
}

} // namespace

const MagickLibrary* magick_library()
{
    static const MagickLibrary* const loaded = load();
    return loaded;
}

} // namespace mv
