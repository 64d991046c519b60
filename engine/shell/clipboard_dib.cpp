#include "clipboard_dib.h"

#include "core/error.h"
#include "core/progress.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>

namespace mv {
namespace {

void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

std::uint32_t get16(const std::uint8_t* p) { return p[0] | std::uint32_t(p[1]) << 8; }
std::uint32_t get32(const std::uint8_t* p) { return get16(p) | get16(p + 2) << 16; }

// Bytes of a row that carry pixels.
int used_row_bytes(int type, int width)
{
    switch (type) {
    case IMAGE_BINARY: return (width + 7) / 8;
    case IMAGE_GRAY: return width;
    default: return width * 3;
    }
}

// Clears the bits past the last pixel of a binary row.
void clear_tail_bits(std::uint8_t* row, int width)
{
    if (width % 8)
        row[width / 8] &= std::uint8_t(0xFF00 >> (width % 8));
}

struct Palette {
    std::array<std::uint8_t, 256> blue{}, green{}, red{};
    int count = 0;
    bool gray() const
    {
        for (int i = 0; i < count; ++i)
            if (blue[size_t(i)] != green[size_t(i)] || green[size_t(i)] != red[size_t(i)])
                return false;
        return true;
    }
    bool entry_is(int i, int v) const
    {
        return red[size_t(i)] == v && green[size_t(i)] == v && blue[size_t(i)] == v;
    }
};

// Palette index of pixel x in a row of 1, 4 or 8 bits.
int palette_index(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default: return row[x];
    }
}

int expand5(int v) { return (v << 3) | (v >> 2); }

// Converts one bitmap row into an Image row of type `type`.
void convert_row(const std::uint8_t* src, std::uint8_t* dst, int width, int bits, int type,
                 const Palette& pal, bool invert)
{
    if (type == IMAGE_BINARY) {
        const int bytes = (width + 7) / 8;
        for (int i = 0; i < bytes; ++i)
            dst[i] = invert ? std::uint8_t(~src[i]) : src[i];
        clear_tail_bits(dst, width);
        return;
    }
    for (int x = 0; x < width; ++x) {
        int b, g, r;
        if (bits <= 8) {
            const size_t i = size_t(palette_index(src, x, bits));
            b = pal.blue[i];
            g = pal.green[i];
            r = pal.red[i];
        } else if (bits == 16) {
            const int v = int(get16(src + 2 * x));
            b = expand5(v & 31);
            g = expand5((v >> 5) & 31);
            r = expand5((v >> 10) & 31);
        } else {
            const std::uint8_t* p = src + x * (bits / 8);
            b = p[0];
            g = p[1];
            r = p[2];
        }
        if (type == IMAGE_GRAY) {
            dst[x] = std::uint8_t(r);
        } else {
            dst[3 * x] = std::uint8_t(b);
            dst[3 * x + 1] = std::uint8_t(g);
            dst[3 * x + 2] = std::uint8_t(r);
        }
    }
}

} // namespace

int clipboard_dib_copy(const Image& img, std::vector<std::uint8_t>& dib)
{
    dib.clear();
    if ((img.type != IMAGE_BINARY && img.type != IMAGE_GRAY && img.type != IMAGE_COLOR) ||
        img.empty())
        return kIllegalImageType;
    const int bits = img.type == IMAGE_BINARY ? 1 : img.type == IMAGE_GRAY ? 8 : 24;
    const int colors = img.type == IMAGE_BINARY ? 2 : img.type == IMAGE_GRAY ? 256 : 0;
    const long long total =
        kDibHeaderSize + 4LL * colors + (long long)img.row_bytes * img.height;
    if (total >= kClipboardByteLimit)
        return kImageTooBigForClipboard;
    try {
        dib.assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }

    std::uint8_t* h = dib.data();
    put32(h, kDibHeaderSize);
    put32(h + 4, std::uint32_t(img.width));
    put32(h + 8, std::uint32_t(img.height));
    put16(h + 12, 1);
    put16(h + 14, std::uint32_t(bits));
    // Compression 0 and image size 0 stay as zeroed.
    put32(h + 24, kDibPixelsPerMetre);
    put32(h + 28, kDibPixelsPerMetre);
    put32(h + 32, std::uint32_t(colors));
    put32(h + 36, std::uint32_t(colors));

    // Palette entries are blue, green, red, 0. Binary: black then white.
    std::uint8_t* pal = h + kDibHeaderSize;
    for (int i = 0; i < colors; ++i) {
        const std::uint8_t v = colors == 2 ? std::uint8_t(i * 255) : std::uint8_t(i);
        pal[4 * i] = pal[4 * i + 1] = pal[4 * i + 2] = v;
    }

    std::uint8_t* pixels = pal + 4 * colors;
    const int used = used_row_bytes(img.type, img.width);
    ProgressScope progress(img.pixels(), 0, img.height - 1, "Copy to Clipboard", true);
    for (int r = 0; r < img.height; ++r) {
        std::uint8_t* dst = pixels + (size_t)r * size_t(img.row_bytes);
        std::memcpy(dst, img.row(r), size_t(used));
        if (img.type == IMAGE_BINARY)
            clear_tail_bits(dst, img.width);
        if (const int rc = progress.update(r)) {
            dib.clear();
            return rc;
        }
    }
    return kOk;
}

int clipboard_dib_paste(std::span<const std::uint8_t> dib, double resolution, Image& out)
{
    if (dib.size() < size_t(kDibHeaderSize))
        return kUnsupportedClipboardCompression;
    const std::uint8_t* h = dib.data();
    const std::int32_t width = std::int32_t(get32(h + 4));
    const std::int32_t height = std::int32_t(get32(h + 8));
    const int planes = int(get16(h + 12));
    const int bits = int(get16(h + 14));
    const std::uint32_t compression = get32(h + 16);
    const std::uint32_t colors_used = get32(h + 32);
    if (get32(h) != std::uint32_t(kDibHeaderSize) || compression != 0 || planes != 1)
        return kUnsupportedClipboardCompression;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return kUnsupportedClipboardCompression;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return kUnsupportedClipboardCompression;

    // Palette: the colours used, or all 2^bits of a paletted bitmap when that is 0. Bitmaps
    // of 16 bits and more may carry an optional palette that is skipped.
    long long palette_count = colors_used;
    if (bits <= 8) {
        if (palette_count == 0)
            palette_count = 1LL << bits;
        if (palette_count > (1LL << bits))
            return kUnsupportedClipboardCompression;
    }
    const long long rows = height < 0 ? -(long long)height : height;
    const long long stride = ((long long)width * bits + 31) / 32 * 4;
    const long long needed = kDibHeaderSize + 4 * palette_count + stride * rows;
    if ((long long)dib.size() < needed)
        return kUnexpectedEof;

    Palette pal;
    const std::uint8_t* p = h + kDibHeaderSize;
    if (bits <= 8) {
        pal.count = int(palette_count);
        for (int i = 0; i < pal.count; ++i) {
            pal.blue[size_t(i)] = p[4 * i];
            pal.green[size_t(i)] = p[4 * i + 1];
            pal.red[size_t(i)] = p[4 * i + 2];
        }
    }
    const std::uint8_t* pixels = p + 4 * palette_count;

    int type = IMAGE_COLOR;
    bool invert = false;
    if (bits == 1 && pal.entry_is(0, 0) && pal.entry_is(1, 255)) {
        type = IMAGE_BINARY;
    } else if (bits == 1 && pal.entry_is(0, 255) && pal.entry_is(1, 0)) {
        type = IMAGE_BINARY;
        invert = true;
    } else if (bits <= 8 && pal.gray()) {
        type = IMAGE_GRAY;
    }

    // A row of the Image must stay addressable by its 32-bit row byte count.
    if ((long long)width * 3 > INT32_MAX - 4)
        return kOutOfMemory;
    Image img;
    if (image_alloc(img, type, width, int(rows), resolution) != kOk)
        return kOutOfMemory;
    ProgressScope progress(img.pixels(), 0, img.height - 1, "Paste", true);
    for (int r = 0; r < img.height; ++r) {
        // Positive heights store the bottom row first, like the Image.
        const int dst_row = height > 0 ? r : img.height - 1 - r;
        std::uint8_t* dst = img.row(dst_row);
        std::memset(dst, 0, size_t(img.row_bytes));
        convert_row(pixels + (size_t)r * size_t(stride), dst, width, bits, type, pal, invert);
        if (const int rc = progress.update(r))
            return rc;
    }
    out = std::move(img);
    return kOk;
}

} // namespace mv
