#include "tiff_directory.h"

#include <new>

namespace mv {

std::uint16_t TiffFile::u16(const std::uint8_t* p) const
{
    return big_endian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
}

std::uint32_t TiffFile::u32(const std::uint8_t* p) const
{
    if (big_endian)
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

bool tiff_read_at(TiffFile& tf, std::uint64_t offset, std::size_t count, void* buffer)
{
    const std::uint64_t size = std::uint64_t(tf.size);
    if (offset > size || count > size - offset)
        return false;
    return file_seek(tf.file, std::int64_t(offset)) == 0 &&
           file_read_exact(tf.file, count, buffer) == 0;
}

int tiff_read_header(TiffFile& tf, std::uint32_t& first_directory)
{
    if (file_size(tf.file, tf.size) != 0)
        return kTiffHeaderReadError;
    std::uint8_t h[8];
    if (!tiff_read_at(tf, 0, 8, h))
        return kTiffHeaderReadError;
    if (h[0] != h[1] || (h[0] != 'I' && h[0] != 'M'))
        return kTiffHeaderBadSignature;
    tf.big_endian = h[0] == 'M';
    if (tf.u16(h + 2) != 42)
        return kTiffHeaderBadVersion;
    first_directory = tf.u32(h + 4);
    return kTiffHeaderOk;
}

bool tiff_read_entry_count(TiffFile& tf, std::uint32_t offset, std::uint16_t& count)
{
    std::uint8_t b[2];
    if (!tiff_read_at(tf, offset, 2, b))
        return false;
    count = tf.u16(b);
    return true;
}

bool tiff_read_entry(TiffFile& tf, std::uint32_t offset, int index, TiffEntry& e)
{
    std::uint8_t b[12];
    if (!tiff_read_at(tf, std::uint64_t(offset) + 2 + 12 * std::uint64_t(index), 12, b))
        return false;
    e.tag = tf.u16(b);
    e.type = tf.u16(b + 2);
    e.count = tf.u32(b + 4);
    for (int i = 0; i < 4; ++i)
        e.field[i] = b[8 + i];
    e.offset = tf.u32(b + 8);
    e.value = 0;
    e.number = 0;
    switch (e.type) {
    case kFieldByte:
        e.value = e.field[0];
        break;
    case kFieldShort:
        e.value = tf.u16(e.field);
        break;
    case kFieldLong:
        e.value = e.offset;
        break;
    case kFieldRational: {
        std::uint8_t r[8];
        if (!tiff_read_at(tf, e.offset, 8, r))
            return false;
        const std::uint32_t num = tf.u32(r);
        const std::uint32_t den = tf.u32(r + 4);
        e.number = den ? double(num) / double(den) : 0.0;
        e.value = std::uint32_t(e.number);
        return true;
    }
    default: // ASCII and the types the reader does not use give 0
        break;
    }
    e.number = e.value;
    return true;
}

bool tiff_read_shorts(TiffFile& tf, const TiffEntry& e, int n, std::uint16_t* out)
{
    std::uint8_t b[8];
    if (n > 4 || !tiff_read_at(tf, e.offset, std::size_t(2 * n), b))
        return false;
    for (int i = 0; i < n; ++i)
        out[i] = tf.u16(b + 2 * i);
    return true;
}

bool tiff_read_strip_array(TiffFile& tf, const TiffEntry& e, std::vector<std::uint32_t>& out,
                           bool& out_of_memory)
{
    out_of_memory = false;
    out.clear();
    const bool shorts = e.type == kFieldShort;
    if (e.count == 1) {
        out.push_back(e.value);
        return true;
    }
    if (e.count == 2 && shorts) {
        out.push_back(tf.u16(e.field));
        out.push_back(tf.u16(e.field + 2));
        return true;
    }
    const std::uint64_t element = shorts ? 2 : 4;
    const std::uint64_t bytes = element * e.count;
    if (bytes > std::uint64_t(tf.size))
        return false; // cannot lie in the file, so it is not allocated at all
    std::vector<std::uint8_t> raw;
    try {
        raw.resize(bytes);
        out.resize(e.count);
    } catch (const std::bad_alloc&) {
        out.clear();
        out_of_memory = true;
        return false;
    }
    if (!tiff_read_at(tf, e.offset, bytes, raw.data()))
        return false;
    for (std::uint32_t i = 0; i < e.count; ++i)
        out[i] = shorts ? tf.u16(&raw[2 * i]) : tf.u32(&raw[4 * i]);
    return true;
}

} // namespace mv
