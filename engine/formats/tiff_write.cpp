#include "tiff_write.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/progress.h"
#include "core/util.h"
#include "file_io.h"
#include "tiff_directory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace mv {
namespace {

constexpr int kTiffWriteError = 57;
constexpr std::size_t kMinimumFileSize = 1024;
constexpr std::uint32_t kDirectoryOffset = 8;
constexpr int kEntryCount = 17;
// Header, entry count, 17 entries and the next-directory offset end here; the values that
// do not fit into an entry follow.
constexpr std::uint32_t kValuesOffset = kDirectoryOffset + 2 + 12 * kEntryCount + 4;

void put16(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

void put_entry(std::vector<std::uint8_t>& b, std::uint16_t tag, std::uint16_t type,
               std::uint32_t count, std::uint32_t value)
{
    put16(b, tag);
    put16(b, type);
    put32(b, count);
    put32(b, value); // a single SHORT lands in the first two bytes, zero in the others
}

std::uint64_t file_row_bytes(const Image& img)
{
    const std::uint64_t w = std::uint64_t(img.width);
    switch (img.type) {
    case IMAGE_BINARY: return (w + 7) / 8;
    case IMAGE_GRAY: return w;
    case IMAGE_COLOR: return 3 * w;
    case IMAGE_GRAY16: return 2 * w;
    default: return 6 * w;
    }
}

// The header, the directory and its values, up to where the pixels begin.
std::vector<std::uint8_t> build_header(const Image& img, std::uint32_t strip_bytes)
{
    const bool colour = img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48;
    const std::uint32_t bits = img.type == IMAGE_BINARY ? 1
                               : img.type == IMAGE_GRAY16 || img.type == IMAGE_COLOR48 ? 16
                                                                                        : 8;
    const std::uint32_t bits_offset = kValuesOffset;
    const std::uint32_t x_offset = kValuesOffset + (colour ? 6 : 0);
    const std::uint32_t y_offset = x_offset + 8;
    const std::uint32_t pixels = y_offset + 8;
    const double tenths = img.resolution > 0 ? double(round_nearest(10 * img.resolution)) : 0;
    const std::uint32_t numerator = tenths >= 4294967295.0 ? 0xffffffffu : std::uint32_t(tenths);

    std::vector<std::uint8_t> b;
    b.reserve(pixels);
    b.push_back('I');
    b.push_back('I');
    put16(b, 42);
    put32(b, kDirectoryOffset);
    put16(b, kEntryCount);
    put_entry(b, 254, kFieldLong, 1, 0);
    put_entry(b, 255, kFieldShort, 1, 1);
    put_entry(b, 256, kFieldLong, 1, std::uint32_t(img.width));
    put_entry(b, 257, kFieldLong, 1, std::uint32_t(img.height));
    put_entry(b, 258, kFieldShort, colour ? 3 : 1, colour ? bits_offset : bits);
    put_entry(b, 259, kFieldShort, 1, 1);
    put_entry(b, 262, kFieldShort, 1, colour ? 2 : 1);
    put_entry(b, 266, kFieldShort, 1, 1);
    put_entry(b, 273, kFieldLong, 1, pixels);
    put_entry(b, 274, kFieldShort, 1, 1);
    put_entry(b, 277, kFieldShort, 1, colour ? 3 : 1);
    put_entry(b, 278, kFieldLong, 1, std::uint32_t(img.height));
    put_entry(b, 279, kFieldLong, 1, strip_bytes);
    put_entry(b, 282, kFieldRational, 1, x_offset);
    put_entry(b, 283, kFieldRational, 1, y_offset);
    put_entry(b, 284, kFieldShort, 1, 1);
    put_entry(b, 296, kFieldShort, 1, 2);
    put32(b, 0); // no next directory
    if (colour)
        for (int i = 0; i < 3; ++i)
            put16(b, bits);
    for (int i = 0; i < 2; ++i) {
        put32(b, numerator);
        put32(b, 10);
    }
    return b;
}

// One Image row as the file stores it: red first for colour, 16-bit samples little-endian.
void pack_row(const Image& img, const std::uint8_t* src, std::uint8_t* dst, std::size_t frb)
{
    const std::size_t w = std::size_t(img.width);
    switch (img.type) {
    case IMAGE_COLOR:
        for (std::size_t x = 0; x < w; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
        return;
    case IMAGE_GRAY16: {
        const auto* s = reinterpret_cast<const std::uint16_t*>(src);
        for (std::size_t i = 0; i < w; ++i, dst += 2) {
            dst[0] = std::uint8_t(s[i]);
            dst[1] = std::uint8_t(s[i] >> 8);
        }
        return;
    }
    case IMAGE_COLOR48: {
        // Samples 0 and 2 of each 48-bit pixel change places.
        const auto* s = reinterpret_cast<const std::uint16_t*>(src);
        for (std::size_t x = 0; x < w; ++x, s += 3, dst += 6)
            for (int c = 0; c < 3; ++c) {
                dst[2 * c] = std::uint8_t(s[2 - c]);
                dst[2 * c + 1] = std::uint8_t(s[2 - c] >> 8);
            }
        return;
    }
    default:
        std::memcpy(dst, src, frb);
        return;
    }
}

// Rows are packed into a small buffer and written at their place in the file with positional
// writes, so bands of rows can be packed and written on several threads at once.
constexpr std::size_t kPlainWriteBytes = std::size_t(1) << 20;

struct PlainWrite {
    FileHandle* file;
    const Image* img;
    std::size_t frb;
    std::uint32_t pixels_offset;
};

// File rows [begin, end) (top row 0); 0, 6 or 11.
int write_band(int begin, int end, void* context)
{
    const PlainWrite& w = *static_cast<const PlainWrite*>(context);
    const Image& img = *w.img;
    const int fit = int(std::max<std::size_t>(1, kPlainWriteBytes / w.frb));
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(std::size_t(std::min(fit, end - begin)) * w.frb);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    ProgressScope progress(img.pixels(), begin, end, "TIFF Write", true);
    for (int row = begin; row < end;) {
        const int rows = std::min(fit, end - row);
        for (int r = 0; r < rows; ++r) {
            pack_row(img, img.row(img.height - 1 - (row + r)), buffer.data() + r * w.frb, w.frb);
            if (progress.update(row + r + 1) != 0)
                return kAborted;
        }
        const std::int64_t offset = w.pixels_offset + std::int64_t(row) * std::int64_t(w.frb);
        if (file_write_at(*w.file, offset, rows * w.frb, buffer.data()) != 0)
            return kErrorWritingFile;
        row += rows;
    }
    return kOk;
}

int write_file(FileHandle& f, const Image& img, std::uint32_t strip_bytes, std::size_t frb)
{
    std::vector<std::uint8_t> block, header;
    try {
        block.assign(kMinimumFileSize, 0);
        header = build_header(img, strip_bytes);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (file_write(f, block.size(), block.data()) != 0 || file_seek(f, 0) != 0 ||
        file_write(f, header.size(), header.data()) != 0 || file_flush(f) != 0)
        return kTiffWriteError;
    PlainWrite work{&f, &img, frb, std::uint32_t(header.size())};
    if (std::uint64_t(strip_bytes) < std::uint64_t(kParallelMinimumBytes))
        return write_band(0, img.height, &work);
    return parallel_bands(img.height, write_band, &work, img.pixels(), "TIFF Write");
}

} // namespace

int tiff_write(const std::string& path, const Image& img)
{
    if (!is_picture_type(img.type) || img.empty())
        return kIllegalImageType;
    const std::uint64_t frb = file_row_bytes(img);
    const std::uint64_t strip_bytes = frb * std::uint64_t(img.height);
    if (strip_bytes + kValuesOffset + 22 > 0xffffffffu)
        return kTiffWriteError; // offsets and counts are 32-bit
    FileHandle f;
    if (const int err = file_create(path, f))
        return err;
    int err = write_file(f, img, std::uint32_t(strip_bytes), std::size_t(frb));
    const int closed = f.close();
    if (!err)
        err = closed;
    if (err)
        file_delete(path);
    return err;
}

} // namespace mv
