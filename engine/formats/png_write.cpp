// PNG writing. The picture's rows are filtered and deflated in pieces of about a megabyte:
// every piece is a raw deflate stream of its own that ends on a byte boundary (a sync flush,
// the last piece a final block), so the pieces compress on all cores at once and, put one
// after the other behind a zlib header and the combined Adler-32 of all rows, make one valid
// zlib stream. The piece boundaries depend on the picture alone, so the file does not depend
// on the number of threads.
//
// Gray and colour rows get the "Up" filter, which readers undo fastest, and the run-length
// strategy of zlib: on filtered photographs it packs about as tightly as a fast LZ77 level
// at a fraction of its time, and it keeps long runs of a flat area small. Bilevel rows stay
// unfiltered at zlib's default level and strategy.
#include "library_bitmap.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <utility>
#include <vector>

#include <zlib.h>

namespace mv {
namespace {

constexpr std::size_t kPieceBytes = std::size_t(1) << 20; // filtered bytes per piece, about

using Bytes = std::vector<std::uint8_t>;

struct PngWrite {
    const Image* img = nullptr;
    int channels = 1;          // 0 bilevel, 1 gray, 3 colour
    std::size_t line = 0;      // bytes per filtered row, the filter byte included
    int rows_per_piece = 1;
    int pieces = 1;
    int level = 0, strategy = 0;
    std::vector<Bytes> out;    // each piece's deflate stream
    std::vector<uLong> adler;  // each piece's Adler-32 of its filtered rows
};

// Image row `r` as a PNG row: the filter byte, then the row with the "Up" filter (each byte
// minus the byte above it; the top row has zeros above; colour turned to red, green, blue),
// or unfiltered for bilevel.
void filter_row(const PngWrite& w, int r, std::uint8_t* line)
{
    const Image& img = *w.img;
    const std::uint8_t* p = img.row(r);
    std::uint8_t* q = line + 1;
    const std::size_t n = w.line - 1;
    if (w.channels == 0) {
        line[0] = 0;
        std::memcpy(q, p, n);
        return;
    }
    line[0] = 2;
    if (r + 1 < img.height) {
        const std::uint8_t* u = img.row(r + 1);
        for (std::size_t i = 0; i < n; ++i)
            q[i] = std::uint8_t(p[i] - u[i]);
    } else {
        std::memcpy(q, p, n);
    }
    if (w.channels == 3)
        for (std::size_t i = 0; i < n; i += 3)
            std::swap(q[i], q[i + 2]);
}

// Deflates the pending input into `out` (grown as needed) with `flush`; 0, 1 or 6.
int pump(z_stream& z, int flush, Bytes& out, std::size_t& used)
{
    for (;;) {
        if (out.size() - used < 16384)
            out.resize(std::max(out.size() * 2, used + 65536));
        z.next_out = out.data() + used;
        z.avail_out = uInt(out.size() - used);
        const int r = deflate(&z, flush);
        used = out.size() - z.avail_out;
        if (r == Z_STREAM_END)
            return kOk;
        if (r != Z_OK && r != Z_BUF_ERROR)
            return kErrorWritingFile;
        if (z.avail_in == 0 && z.avail_out > 0 && flush != Z_FINISH)
            return kOk;
    }
}

// One piece: rows [first, last) of the file (top row 0) into w.out[piece], by way of the
// band's reused `scratch` so the pieces hold only their compressed bytes.
int deflate_piece(PngWrite& w, z_stream& z, int piece, Bytes& line, Bytes& scratch,
                  ProgressScope& progress)
{
    const Image& img = *w.img;
    const int first = piece * w.rows_per_piece;
    const int last = std::min(first + w.rows_per_piece, img.height);
    if (deflateReset(&z) != Z_OK)
        return kErrorWritingFile;
    std::size_t used = 0;
    uLong adler = adler32(0, nullptr, 0);
    for (int y = first; y < last; ++y) {
        filter_row(w, img.height - 1 - y, line.data());
        adler = adler32(adler, line.data(), uInt(w.line));
        z.next_in = line.data();
        z.avail_in = uInt(w.line);
        const int flush = y + 1 < last ? Z_NO_FLUSH : piece + 1 < w.pieces ? Z_SYNC_FLUSH : Z_FINISH;
        const int e = pump(z, flush, scratch, used);
        if (e != kOk)
            return e;
        if (progress.update(y) != 0)
            return kAborted;
    }
    w.out[size_t(piece)].assign(scratch.begin(), scratch.begin() + std::ptrdiff_t(used));
    w.adler[size_t(piece)] = adler;
    return kOk;
}

// Pieces [begin, end); 0, 1, 6 or 11.
int deflate_band(int begin, int end, void* context)
{
    PngWrite& w = *static_cast<PngWrite*>(context);
    const int height = w.img->height;
    ProgressScope progress(w.img->pixels(), begin * w.rows_per_piece,
                           std::min(end * w.rows_per_piece, height) - 1, "File Save", true);
    z_stream z{};
    if (deflateInit2(&z, w.level, Z_DEFLATED, -15, 8, w.strategy) != Z_OK)
        return kOutOfMemory;
    int e = kOk;
    try {
        Bytes line(w.line), scratch;
        for (int piece = begin; piece < end && e == kOk; ++piece)
            e = deflate_piece(w, z, piece, line, scratch, progress);
    } catch (const std::bad_alloc&) {
        e = kOutOfMemory;
    }
    deflateEnd(&z);
    return e;
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

struct Span {
    const std::uint8_t* data;
    std::size_t size;
};

// Writes one chunk: length, type, the data of the spans one after the other, CRC. False on
// a write error.
bool put_chunk(std::FILE* f, const char* type, std::initializer_list<Span> spans)
{
    std::uint8_t head[8], tail[4];
    std::size_t size = 0;
    for (const Span& s : spans)
        size += s.size;
    put32(head, std::uint32_t(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (std::fwrite(head, 1, 8, f) != 8)
        return false;
    for (const Span& s : spans) {
        if (s.size == 0)
            continue;
        crc = crc32_z(crc, s.data, s.size);
        if (std::fwrite(s.data, 1, s.size, f) != s.size)
            return false;
    }
    put32(tail, std::uint32_t(crc));
    return std::fwrite(tail, 1, 4, f) == 4;
}

// The zlib header for a 32K window at the given level and strategy, as zlib writes it.
void zlib_header(int level, int strategy, std::uint8_t* h)
{
    const int flevel = strategy >= Z_HUFFMAN_ONLY || level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    h[0] = 0x78;
    h[1] = std::uint8_t(flevel << 6);
    h[1] = std::uint8_t(h[1] + 31 - (h[0] * 256 + h[1]) % 31);
}

bool put_file(std::FILE* f, const PngWrite& w)
{
    static const std::uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    const Image& img = *w.img;
    std::uint8_t ihdr[13];
    put32(ihdr, std::uint32_t(img.width));
    put32(ihdr + 4, std::uint32_t(img.height));
    ihdr[8] = w.channels == 0 ? 1 : 8;
    ihdr[9] = w.channels == 3 ? 2 : 0; // RGB or gray
    ihdr[10] = ihdr[11] = ihdr[12] = 0;
    if (std::fwrite(signature, 1, 8, f) != 8 || !put_chunk(f, "IHDR", {{ihdr, 13}}))
        return false;
    if (img.resolution > 0) {
        std::uint8_t phys[9];
        const auto ppm = std::uint32_t(std::llround(img.resolution / 0.0254));
        put32(phys, ppm);
        put32(phys + 4, ppm);
        phys[8] = 1; // per metre
        if (!put_chunk(f, "pHYs", {{phys, 9}}))
            return false;
    }
    // The zlib header rides in the first IDAT chunk, the Adler-32 of all rows in the last.
    uLong adler = w.adler[0];
    for (int i = 1; i < w.pieces; ++i) {
        const int rows = std::min(w.rows_per_piece, img.height - i * w.rows_per_piece);
        adler = adler32_combine(adler, w.adler[size_t(i)], z_off_t(std::size_t(rows) * w.line));
    }
    std::uint8_t header[2], trailer[4];
    zlib_header(w.level, w.strategy, header);
    put32(trailer, std::uint32_t(adler));
    for (int i = 0; i < w.pieces; ++i) {
        const Bytes& piece = w.out[size_t(i)];
        const Span first{header, i == 0 ? 2u : 0u}, last{trailer, i + 1 == w.pieces ? 4u : 0u};
        if (!put_chunk(f, "IDAT", {first, {piece.data(), piece.size()}, last}))
            return false;
    }
    return put_chunk(f, "IEND", {});
}

int encode(std::FILE* f, const Image& img)
{
    PngWrite w;
    w.img = &img;
    w.channels = img.type == IMAGE_BINARY ? 0 : img.type == IMAGE_GRAY ? 1 : 3;
    w.line = 1 + (w.channels == 0 ? (std::size_t(img.width) + 7) / 8
                                  : std::size_t(img.width) * std::size_t(w.channels));
    w.level = w.channels == 0 ? 6 : 3; // the run-length strategy ignores the level
    w.strategy = w.channels == 0 ? Z_DEFAULT_STRATEGY : Z_RLE;
    w.rows_per_piece = int(std::clamp<std::size_t>(kPieceBytes / w.line, 1, std::size_t(img.height)));
    w.pieces = (img.height + w.rows_per_piece - 1) / w.rows_per_piece;
    try {
        w.out.resize(size_t(w.pieces));
        w.adler.resize(size_t(w.pieces));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const int e = parallel_bands(w.pieces, deflate_band, &w, img.pixels(), "File Save");
    if (e != kOk)
        return e;
    return put_file(f, w) ? kOk : kErrorWritingFile;
}

} // namespace

int png_save(const std::string& path, const Image& img)
{
    if (img.type != IMAGE_BINARY && img.type != IMAGE_GRAY && img.type != IMAGE_COLOR)
        return kIllegalImageType;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return kCannotCreateFile;
    int result = encode(f, img);
    if (std::fclose(f) != 0 && result == kOk)
        result = kErrorWritingFile;
    return result;
}

} // namespace mv
