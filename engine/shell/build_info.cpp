#include "shell/build_info.h"

#include <string>
#include <jpeglib.h>
#include <png.h>

#ifndef MORVANE_VERSION
#define MORVANE_VERSION "0"
#endif
#ifndef MORVANE_BUILD_DATE
#define MORVANE_BUILD_DATE "unknown"
#endif
#ifndef MORVANE_LICENSE
#define MORVANE_LICENSE "unknown"
#endif
#ifndef MORVANE_GRAPHICSMAGICK_VERSION
#define MORVANE_GRAPHICSMAGICK_VERSION "unknown"
#endif
#ifndef MORVANE_AVFORMAT_VERSION
#define MORVANE_AVFORMAT_VERSION "unknown"
#endif
#ifndef MORVANE_AVCODEC_VERSION
#define MORVANE_AVCODEC_VERSION "unknown"
#endif

#define MV_TEXT(x) #x
#define MV_STRING(x) MV_TEXT(x)

namespace mv {

const char* program_version() { return MORVANE_VERSION; }

const char* build_date() { return MORVANE_BUILD_DATE; }

const char* program_licence() { return MORVANE_LICENSE; }

std::vector<LibraryVersion> library_versions()
{
    return {
#ifdef LIBJPEG_TURBO_VERSION
        {"libjpeg-turbo", MV_STRING(LIBJPEG_TURBO_VERSION), "JPEG"},
#else
        {"libjpeg", std::to_string(JPEG_LIB_VERSION), "JPEG"},
#endif
        {"libpng", png_get_libpng_ver(nullptr), "PNG"},
        {"GraphicsMagick", MORVANE_GRAPHICSMAGICK_VERSION, "BMP, Targa, PCX, GIF, EPS, Photo CD and other formats"},
        {"FFmpeg libavformat", MORVANE_AVFORMAT_VERSION, "AVI export of slide shows"},
        {"FFmpeg libavcodec", MORVANE_AVCODEC_VERSION, "AVI export of slide shows"},
    };
}

} // namespace mv
