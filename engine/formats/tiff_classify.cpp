#include "tiff_classify.h"

#include "tiff_directory.h"

namespace mv {
namespace {

enum Verdict { kAccept, kRefuse };

// The verdict on one entry; `sixteen` is set once 16 bits per sample have been seen.
Verdict judge(TiffFile& tf, const TiffEntry& e, bool& sixteen, bool& unreadable)
{
    const std::uint32_t v = e.value;
    switch (e.tag) {
    case kTagNewSubfileType:
        return v == 0 ? kAccept : kRefuse;
    case kTagSubfileType:
    case kTagFillOrder:
    case kTagPlanarConfiguration:
        return v == 1 ? kAccept : kRefuse;
    case kTagCompression:
        return v == 1 || v == 5 ? kAccept : kRefuse;
    case kTagPhotometric:
        return v <= 2 ? kAccept : kRefuse;
    case kTagOrientation:
        return v <= 1 ? kAccept : kRefuse;
    case kTagSamplesPerPixel:
        return v == 1 || v == 3 || v == 4 ? kAccept : kRefuse;
    case kTagPredictor:
        return v == 1 || v == 2 ? kAccept : kRefuse;
    case kTagBitsPerSample: {
        if (e.count == 1) {
            if (v == 16)
                sixteen = true;
            return v == 1 || v == 4 || v == 8 || v == 16 ? kAccept : kRefuse;
        }
        if (e.count != 3 && e.count != 4)
            return kRefuse;
        std::uint16_t b[3];
        if (!tiff_read_shorts(tf, e, 3, b)) {
            unreadable = true;
            return kRefuse;
        }
        if (b[0] != b[1] || b[1] != b[2] || (b[0] != 8 && b[0] != 16))
            return kRefuse;
        if (b[0] == 16)
            sixteen = true;
        return kAccept;
    }
    default:
        // Tiled files carry no strips for the reader.
        return e.tag >= kTagTileWidth && e.tag <= kTagTileByteCounts ? kRefuse : kAccept;
    }
}

} // namespace

int tiff_classify(const std::string& path)
{
    TiffFile tf;
    if (file_open_read(path, tf.file) != 0)
        return 0;
    std::uint32_t directory = 0;
    if (tiff_read_header(tf, directory) != kTiffHeaderOk)
        return 0;
    std::uint16_t count = 0;
    if (!tiff_read_entry_count(tf, directory, count))
        return 0;
    bool sixteen = false;
    for (int i = 0; i < count; ++i) {
        TiffEntry e;
        if (!tiff_read_entry(tf, directory, i, e))
            return 0;
        bool unreadable = false;
        if (judge(tf, e, sixteen, unreadable) == kRefuse)
            return sixteen && !unreadable ? 2 : 0;
    }
    return 1;
}

} // namespace mv
