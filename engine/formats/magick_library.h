// GraphicsMagick's C interface, opened on first use (see core/shared_library.h): the
// functions the imaging library calls, as a table of pointers.
#pragma once

#include <magick/api.h>

#define MV_MAGICK_FUNCTIONS(X)                                                                     \
    X(AccessImmutableIndexes) X(AccessMutableIndexes) X(AcquireImagePixels) X(AllocateImage)       \
    X(AllocateImageColormap) X(BlobToImage) X(CloneImageInfo) X(DestroyExceptionInfo)             \
    X(DestroyImageInfo) X(DestroyImageList) X(GetExceptionInfo) X(GetImageMagick) X(ImageToBlob)  \
    X(InitializeMagickEx) X(MagickFree) X(MagickSetConfirmAccessHandler) X(PingBlob)              \
    X(SetErrorHandler) X(SetImagePixelsEx) X(SetMagickResourceLimit) X(SetMonitorHandler)         \
    X(SetWarningHandler) X(SyncImagePixelsEx)

namespace mv {

struct MagickLibrary {
#define MV_MAGICK_POINTER(name) decltype(&::name) name = nullptr;
    MV_MAGICK_FUNCTIONS(MV_MAGICK_POINTER)
#undef MV_MAGICK_POINTER
};

// The loaded library, or nullptr when it cannot be loaded or lacks one of the functions.
const MagickLibrary* magick_library();

} // namespace mv
