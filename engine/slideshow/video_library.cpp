#include "video_library.h"

#include "core/shared_library.h"

namespace mv {
namespace {

const VideoLibrary* load()
{
    static VideoLibrary functions;
    void* libraries[] = {shared_library_open(MORVANE_AVUTIL_SONAME),
                         shared_library_open(MORVANE_AVCODEC_SONAME),
                         shared_library_open(MORVANE_AVFORMAT_SONAME),
                         shared_library_open(MORVANE_SWSCALE_SONAME)};
    for (void* library : libraries)
        if (!library)
            return nullptr;
    const auto bind = [&](const char* name, auto& pointer) {
        for (void* library : libraries)
            if (shared_library_bind(library, name, pointer))
                return true;
        return false;
    };
#define MV_VIDEO_BIND(name)                                                                        \
    if (!bind(#name, functions.name))                                                              \
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
