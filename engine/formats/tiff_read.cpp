#include "tiff_read.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/progress.h"
#include "lzw_decode.h"
#include "settings/preferences.h"
#include "tiff_directory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace mv {
namespace {

constexpr int kTiffReadError = 56;
constexpr std::size_t kReadPiece = 8192;
// No LZW stream expands by more than about 1400 to 1 (a 12-bit table holds strings of at
// most 4097 bytes); images claiming more pixels than that are refused before allocation.
constexpr std::uint64_t kLzwMaxRatio = 2048;

const char* const kHeaderError = "Error reading tiff file header";

// What the directory says about the image.
struct TiffLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int type = IMAGE_BINARY;
    int bits = 1; // bits per sample: 1, 4, 8 or 16
    std::uint32_t samples = 1;
    std::uint32_t rows_per_strip = 0; // 0: unknown
    bool lzw = false;
    bool invert = false;
    bool predictor = false;
    double x_resolution = 0;
    double unit_factor = 1.0;
    bool have_offsets = false;
    bool have_counts = false;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> counts;
};

// Acts on one directory entry; returns the message of a refusal, or nullptr.
const char* apply_entry(TiffFile& tf, const TiffEntry& e, TiffLayout& t)
{
    const std::uint32_t v = e.value;
    switch (e.tag) {
    case kTagNewSubfileType:
        return v ? "Unsupported new subfile type" : nullptr;
    case kTagSubfileType:
        return v != 1 ? "Unsupported subfile type" : nullptr;
    case kTagImageWidth:
        t.width = v;
        return nullptr;
    case kTagImageLength:
        t.height = v;
        return nullptr;
    case kTagBitsPerSample:
        if (e.count == 1) {
            if (v != 1 && v != 4 && v != 8 && v != 16)
                return "Unsupported grayscale bits/pixel (must be 1, 4, 8, or 16)";
            t.bits = int(v);
            t.type = v == 1 ? IMAGE_BINARY : v == 16 ? IMAGE_GRAY16 : IMAGE_GRAY;
            return nullptr;
        }
        if (e.count == 3 || e.count == 4) {
            std::uint16_t b[3];
            if (!tiff_read_shorts(tf, e, 3, b))
                return kHeaderError;
            if (b[0] != b[1] || b[1] != b[2])
                return "Unsupported color, mixed bits/pixel";
            if (b[0] != 8 && b[0] != 16)
                return "Unsupported color bits/pixel (must be 8, or 16)";
            t.bits = b[0];
            t.type = b[0] == 8 ? IMAGE_COLOR : IMAGE_COLOR48;
            return nullptr;
        }
        return "Unsupported samples/pixel (must be 1 or 3";
    case kTagCompression:
        if (v != 1 && v != 5)
            return "Unsupported tiff compression (must be uncompressed or LZW)";
        t.lzw = v == 5;
        return nullptr;
    case kTagPhotometric:
        // Palette files (3) carry a colour map this reader does not decode.
        if (v >= 3)
            return "Unsupported photometric interpretation";
        t.invert = v == 0;
        return nullptr;
    case kTagFillOrder:
        return v != 1 ? "Unsupported fill order" : nullptr;
    case kTagStripOffsets:
    case kTagStripByteCounts: {
        const bool is_offsets = e.tag == kTagStripOffsets;
        bool out_of_memory = false;
        if (!tiff_read_strip_array(tf, e, is_offsets ? t.offsets : t.counts, out_of_memory))
            return out_of_memory ? "Out of memory" : kHeaderError;
        (is_offsets ? t.have_offsets : t.have_counts) = true;
        return nullptr;
    }
    case kTagOrientation:
        return v > 1 ? "Unsupported orientation" : nullptr;
    case kTagSamplesPerPixel:
        if (v != 1 && v != 3 && v != 4)
            return "Unsupported samples per pixel";
        t.samples = v;
        return nullptr;
    case kTagRowsPerStrip:
        t.rows_per_strip = v;
        return nullptr;
    case kTagXResolution:
        t.x_resolution = e.number;
        return nullptr;
    case kTagPlanarConfiguration:
        return v != 1 ? "Unsupported planar configuration" : nullptr;
    case kTagResolutionUnit:
        if (v == 3)
            t.unit_factor = 2.540005;
        return nullptr;
    case kTagPredictor:
        if (v != 1 && v != 2)
            return "Unsupported Predictor";
        t.predictor = v == 2;
        return nullptr;
    default:
        return nullptr;
    }
}

// Reads the header and the first directory; returns a message on failure.
const char* read_directory(TiffFile& tf, TiffLayout& t)
{
    std::uint32_t directory = 0;
    switch (tiff_read_header(tf, directory)) {
    case kTiffHeaderOk: break;
    case kTiffHeaderBadSignature: return "Illegal TIFF signature";
    case kTiffHeaderBadVersion: return "Illegal TIFF version number";
    default: return kHeaderError;
    }
    std::uint16_t count = 0;
    if (!tiff_read_entry_count(tf, directory, count))
        return kHeaderError;
    for (int i = 0; i < count; ++i) {
        TiffEntry e;
        if (!tiff_read_entry(tf, directory, i, e))
            return kHeaderError;
        if (const char* refusal = apply_entry(tf, e, t))
            return refusal;
    }
    return nullptr;
}

// Unpadded bytes of one row in the file.
std::uint64_t file_row_bytes(const TiffLayout& t)
{
    const std::uint64_t w = t.width;
    switch (t.type) {
    case IMAGE_BINARY: return (w + 7) / 8;
    case IMAGE_GRAY: return t.bits == 4 ? (w + 1) / 2 : w;
    case IMAGE_GRAY16: return 2 * w;
    case IMAGE_COLOR: return w * t.samples;
    default: return 2 * w * t.samples;
    }
}

// Checks that the strips describe the image and can lie in the file; returns a message for
// a faulty directory, "" for data the file cannot hold, nullptr when all is well.
const char* check_layout(TiffLayout& t, std::int64_t file_size)
{
    if (t.width == 0 || t.height == 0 || t.width > 0x7fffffffu || t.height > 0x7fffffffu ||
        image_row_bytes(t.type, int(t.width)) <= 0)
        return kHeaderError;
    if ((t.type == IMAGE_COLOR || t.type == IMAGE_COLOR48) && t.samples < 3)
        return "Unsupported samples per pixel";
    if (t.rows_per_strip == 0 || t.rows_per_strip > t.height)
        t.rows_per_strip = t.height;
    const std::uint64_t needed = (std::uint64_t(t.height) + t.rows_per_strip - 1) / t.rows_per_strip;
    if (!t.have_offsets || t.offsets.size() < needed)
        return kHeaderError;
    const std::uint64_t data = file_row_bytes(t) * t.height;
    if (!t.have_counts) {
        if (t.offsets.size() > 1)
            return "Strip byte counts required but not specified in TIFF header";
        t.counts.assign(1, std::uint32_t(std::min<std::uint64_t>(data, 0xffffffffu)));
    } else if (t.lzw && t.counts.size() < needed) {
        return "Strip byte counts required but not specified in TIFF header";
    }
    const std::uint64_t limit = std::uint64_t(file_size) * (t.lzw ? kLzwMaxRatio : 1);
    return data > limit ? "" : nullptr;
}

// One file row into one Image row.
void store_row(const TiffLayout& t, bool big_endian, const std::uint8_t* src, std::uint8_t* dst)
{
    const std::uint32_t w = t.width;
    const std::uint32_t s = t.samples;
    const int hi = big_endian ? 0 : 1; // index of the high byte of a 16-bit sample
    switch (t.type) {
    case IMAGE_GRAY:
        if (t.bits == 4) {
            for (std::uint32_t x = 0; x < w; ++x) {
                const std::uint8_t b = src[x >> 1];
                dst[x] = std::uint8_t(((x & 1) ? (b & 15) : (b >> 4)) * 17);
            }
            return;
        }
        std::memcpy(dst, src, w);
        return;
    case IMAGE_BINARY:
        std::memcpy(dst, src, (std::size_t(w) + 7) / 8);
        return;
    case IMAGE_GRAY16: {
        auto* d = reinterpret_cast<std::uint16_t*>(dst);
        for (std::uint32_t x = 0; x < w; ++x, src += 2)
            d[x] = std::uint16_t(src[hi] << 8 | src[1 - hi]);
        return;
    }
    case IMAGE_COLOR:
        for (std::uint32_t x = 0; x < w; ++x, src += s, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
        return;
    default: {
        auto* d = reinterpret_cast<std::uint16_t*>(dst);
        for (std::uint32_t x = 0; x < w; ++x, src += 2 * s, d += 3)
            for (int c = 0; c < 3; ++c)
                d[2 - c] = std::uint16_t(src[2 * c + hi] << 8 | src[2 * c + 1 - hi]);
        return;
    }
    }
}

// Undoes horizontal differencing in a stored row: every sample adds the same channel of the
// pixel to its left.
void undo_differencing(const TiffLayout& t, std::uint8_t* row)
{
    const std::size_t w = t.width;
    switch (t.type) {
    case IMAGE_GRAY:
        for (std::size_t i = 1; i < w; ++i)
            row[i] = std::uint8_t(row[i] + row[i - 1]);
        return;
    case IMAGE_COLOR:
        for (std::size_t i = 3; i < 3 * w; ++i)
            row[i] = std::uint8_t(row[i] + row[i - 3]);
        return;
    case IMAGE_GRAY16:
    case IMAGE_COLOR48: {
        auto* d = reinterpret_cast<std::uint16_t*>(row);
        const std::size_t step = t.type == IMAGE_GRAY16 ? 1 : 3;
        for (std::size_t i = step; i < step * w; ++i)
            d[i] = std::uint16_t(d[i] + d[i - step]);
        return;
    }
    default:
        return;
    }
}

// Reads `count` bytes at `offset` in pieces of at most 8192 bytes.
bool read_strip(TiffFile& tf, std::uint64_t offset, std::size_t count, std::uint8_t* buffer)
{
    if (offset > std::uint64_t(tf.size) || count > std::uint64_t(tf.size) - offset)
        return false;
    if (file_seek(tf.file, std::int64_t(offset)) != 0)
        return false;
    for (std::size_t done = 0; done < count;) {
        const std::size_t piece = std::min(count - done, kReadPiece);
        if (file_read_exact(tf.file, piece, buffer + done) != 0)
            return false;
        done += piece;
    }
    return true;
}

// Turns file row `r` of the `rows` in `data` (inverted already) into Image row `file_row + r`.
void store_file_row(const TiffFile& tf, const TiffLayout& t, const std::uint8_t* data,
                    std::uint32_t r, std::uint32_t file_row, Image& img)
{
    std::uint8_t* row = img.row(int(t.height - 1 - (file_row + r)));
    store_row(t, tf.big_endian, data + r * file_row_bytes(t), row);
    if (t.predictor)
        undo_differencing(t, row);
}

void invert_bytes(std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        data[i] = std::uint8_t(~data[i]);
}

// LZW strips, decoded one after the other; 0, 11 or 56.
int read_lzw_strips(TiffFile& tf, const TiffLayout& t, Image& img, bool show_progress)
{
    const std::size_t frb = file_row_bytes(t);
    const std::uint32_t height = t.height;
    std::vector<std::uint8_t> strip;
    std::vector<std::uint8_t> packed;
    std::optional<ProgressScope> progress;
    try {
        strip.resize(std::size_t(t.rows_per_strip) * frb);
    } catch (const std::bad_alloc&) {
        return kTiffReadError;
    }
    if (show_progress)
        progress.emplace(img.pixels(), 0, int(height), "TIFF Read", true);

    std::uint32_t done = 0;
    for (std::size_t s = 0; done < height; ++s) {
        if (!show_progress)
            progress_pump();
        const std::uint32_t rows = std::min(t.rows_per_strip, height - done);
        const std::size_t size = std::size_t(rows) * frb;
        const std::uint64_t offset = t.offsets[s];
        std::uint64_t count = s < t.counts.size() ? t.counts[s] : 0;
        if (!t.have_counts && offset <= std::uint64_t(tf.size))
            count = std::min<std::uint64_t>(count, std::uint64_t(tf.size) - offset);
        if (offset > std::uint64_t(tf.size) || count > std::uint64_t(tf.size) - offset)
            return kTiffReadError;
        try {
            packed.resize(count);
        } catch (const std::bad_alloc&) {
            return kTiffReadError;
        }
        if (count && !read_strip(tf, offset, count, packed.data()))
            return kTiffReadError;
        std::fill(strip.begin(), strip.begin() + std::ptrdiff_t(size), std::uint8_t(0));
        if (lzw_decode(packed.data(), count, strip.data(), size) != 0)
            return kTiffReadError;
        if (t.invert)
            invert_bytes(strip.data(), size);
        for (std::uint32_t r = 0; r < rows; ++r) {
            store_file_row(tf, t, strip.data(), r, done, img);
            if (!progress)
                progress_pump();
            else if (progress->update(int(done + r + 1)) != 0)
                return kAborted;
        }
        done += rows;
    }
    return kOk;
}

// Uncompressed rows are read straight from their place in the file through a small buffer,
// with positional reads, so bands of rows can be read on several threads at once.
constexpr std::size_t kPlainReadBytes = std::size_t(1) << 20;

struct PlainRead {
    TiffFile* tf;
    const TiffLayout* t;
    Image* img;
    bool pump; // no progress window: process pending events instead
};

// File rows [begin, end) (top row 0) into the image; 0, 11 or 56.
int read_plain_band(int begin, int end, void* context)
{
    const PlainRead& w = *static_cast<const PlainRead*>(context);
    const TiffLayout& t = *w.t;
    const std::size_t frb = file_row_bytes(t);
    const std::uint32_t fit = std::uint32_t(std::max<std::size_t>(1, kPlainReadBytes / frb));
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(std::size_t(std::min<std::uint32_t>(fit, std::uint32_t(end - begin))) * frb);
    } catch (const std::bad_alloc&) {
        return kTiffReadError;
    }
    std::optional<ProgressScope> progress;
    if (!w.pump)
        progress.emplace(w.img->pixels(), begin, end, "TIFF Read", true);
    for (std::uint32_t row = std::uint32_t(begin); row < std::uint32_t(end);) {
        if (w.pump)
            progress_pump();
        const std::uint32_t strip = row / t.rows_per_strip, within = row % t.rows_per_strip;
        const std::uint32_t rows = std::min({fit, std::uint32_t(end) - row, t.rows_per_strip - within});
        const std::uint64_t offset = std::uint64_t(t.offsets[strip]) + std::uint64_t(within) * frb;
        const std::size_t size = std::size_t(rows) * frb;
        if (offset > std::uint64_t(w.tf->size) || size > std::uint64_t(w.tf->size) - offset ||
            file_read_at(w.tf->file, std::int64_t(offset), size, buffer.data()) != 0)
            return kTiffReadError;
        if (t.invert)
            invert_bytes(buffer.data(), size);
        for (std::uint32_t r = 0; r < rows; ++r) {
            store_file_row(*w.tf, t, buffer.data(), r, row, *w.img);
            if (w.pump)
                progress_pump();
            else if (progress->update(int(row + r + 1)) != 0)
                return kAborted;
        }
        row += rows;
    }
    return kOk;
}

// Reads every strip into `img`; 0, 11 or 56.
int read_strips(TiffFile& tf, const TiffLayout& t, Image& img, bool show_progress)
{
    if (t.lzw)
        return read_lzw_strips(tf, t, img, show_progress);
    PlainRead work{&tf, &t, &img, !show_progress};
    if (!show_progress || file_row_bytes(t) * t.height < std::uint64_t(kParallelMinimumBytes))
        return read_plain_band(0, int(t.height), &work);
    return parallel_bands(int(t.height), read_plain_band, &work, img.pixels(), "TIFF Read");
}

} // namespace

int tiff_read(const std::string& path, Image& img, bool show_progress)
{
    image_free(img);
    TiffFile tf;
    if (file_open_read(path, tf.file) != 0)
        return kCannotOpenFile;
    TiffLayout t;
    t.x_resolution = preferences().default_resolution;
    const char* problem = read_directory(tf, t);
    if (!problem)
        problem = check_layout(t, tf.size);
    if (!problem && t.predictor && t.type == IMAGE_BINARY)
        problem = "Horizontal differencing not supported for binary images";
    if (problem) {
        if (*problem)
            error_message(problem);
        return kTiffReadError;
    }
    if (image_alloc(img, t.type, int(t.width), int(t.height), t.x_resolution * t.unit_factor) != 0)
        return kTiffReadError;
    const int err = read_strips(tf, t, img, show_progress);
    if (err)
        image_free(img);
    return err;
}

} // namespace mv
