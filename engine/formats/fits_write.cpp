#include "fits_write.h"

#include "core/error.h"
#include "core/format.h"
#include "core/progress.h"
#include "formats/file_io.h"
#include "formats/fits_card.h"

#include <new>
#include <vector>

namespace mv {
namespace {

constexpr int kOnlyGrayInFits = 46;
constexpr int kErrorWritingFits = 85;

// The single header block: the five cards that describe the array, END, and blank cards.
std::vector<char> header_block(const Image& img)
{
    std::vector<char> block(kFitsBlockBytes, ' ');
    const std::string cards[] = {
        "SIMPLE  = T /",
        img.type == IMAGE_GRAY ? "BITPIX  = 8 /" : "BITPIX  = 16 /",
        "NAXIS   = 2 /",
        format_text("NAXIS1  = %d /", img.width),
        format_text("NAXIS2  = %d /", img.height),
        "END",
    };
    for (size_t c = 0; c < std::size(cards); ++c)
        fits_card_put(block.data() + c * kFitsCardBytes, cards[c]);
    return block;
}

int write_rows(FileHandle& f, const Image& img)
{
    const int width = img.width;
    const int height = img.height;
    std::vector<std::uint8_t> swapped(img.type == IMAGE_GRAY16 ? 2 * size_t(width) : 0);
    ProgressScope progress(img.pixels(), 0, height - 1, "FITS Write", true);
    for (int i = 0; i < height; ++i) {
        const int r = height - 1 - i;
        int err;
        if (img.type == IMAGE_GRAY) {
            err = file_write(f, size_t(width), img.row(r));
        } else {
            const std::uint16_t* in = img.row16(r);
            for (int x = 0; x < width; ++x) {
                swapped[2 * x] = std::uint8_t(in[x] >> 8);
                swapped[2 * x + 1] = std::uint8_t(in[x]);
            }
            err = file_write(f, swapped.size(), swapped.data());
        }
        if (err)
            return kErrorWritingFile;
        if (const int cancel = progress.update(i))
            return cancel;
    }
    return kOk;
}

int write_file(FileHandle& f, const Image& img)
{
    const std::vector<char> header = header_block(img);
    if (file_write(f, header.size(), header.data()) != kOk)
        return kErrorWritingFits;
    return write_rows(f, img);
}

} // namespace

int fits_write(const std::string& path, const Image& img)
{
    if (img.type != IMAGE_GRAY && img.type != IMAGE_GRAY16)
        return kOnlyGrayInFits;
    if (img.width <= 0 || img.height <= 0 || img.rows.size() != size_t(img.height))
        return kIllegalImageType;
    FileHandle f;
    if (const int err = file_create(path, f))
        return err;
    int err;
    try {
        err = write_file(f, img);
    } catch (const std::bad_alloc&) {
        err = kOutOfMemory;
    }
    // Buffered data that cannot reach the disk is a failed row write.
    if (f.close() != kOk && err == kOk)
        err = kErrorWritingFile;
    return err;
}

} // namespace mv
