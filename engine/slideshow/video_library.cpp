#include "video_library.h"

#include "core/shared_library.h"

namespace mv {
namespace {

const VideoLibrary* load()
{
    static VideoLibrary functions;
    const SharedLibraries libraries{MORVANE_AVUTIL_SONAME, MORVANE_AVCODEC_SONAME,
                                    MORVANE_AVFORMAT_SONAME, MORVANE_SWSCALE_SONAME};
    if (!libraries.loaded())
        return nullptr;
#define MV_VIDEO_BIND(name)                                                                        \
    if (!libraries.bind(#name, functions.name))                                                    \
        return nullptr;
    MV_VIDEO_FUNCTIONS(MV_VIDEO_BIND)
#undef MV_VIDEO_BIND
    return &functions;
}

} // namespace

const VideoLibrary* video_library()
{
    static const VideoLibrary* const loaded = load();
    return loaded;
}

} // namespace mv
