// The in-memory picture: a pixel type, a size, a resolution and a table of row pointers into
// row storage laid out in chunks of at most 65000 bytes. Row 0 is the bottom row. The chunks
// are carved from one block per picture: a large picture's block is mapped on its own with
// huge pages advised, which spares the kernel tens of thousands of page faults per picture.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace mv {

enum ImageType : std::int32_t {
    IMAGE_EMPTY = 0,
    IMAGE_BINARY = 1,        // 1 bit per pixel, MSB first, set bit white
    IMAGE_GRAY = 2,          // 1 byte per pixel
    IMAGE_COLOR = 3,         // bytes blue, green, red
    IMAGE_SINGLE_COLOR = 4,  // pseudo-image: one colour of 3 bytes
    IMAGE_HISTOGRAM = 5,     // pseudo-image: 257 unsigned 32-bit counts
    IMAGE_GRAY16 = 6,        // one 16-bit sample per pixel
    IMAGE_COLOR48 = 7,       // 16-bit samples blue, green, red
};

inline constexpr int kChunkBytes = 65000;

class BlockPrefault;

// Frees an image's pixel block: stops its page population, unmaps a mapped block, deletes a
// heap one.
struct PixelBlockRelease {
    std::size_t mapped_bytes = 0; // 0: allocated with new[]
    BlockPrefault* prefault = nullptr;
    void operator()(std::uint8_t* block) const;
};
using PixelBlock = std::unique_ptr<std::uint8_t, PixelBlockRelease>;

struct Image {
    std::int32_t type = IMAGE_EMPTY;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t row_bytes = 0;
    double resolution = 0; // pixels per inch, 0 when unknown
    std::vector<std::uint8_t*> rows;
    std::int32_t chunk_count = 0;
    std::int32_t rows_per_chunk = 0;
    std::vector<std::uint8_t*> chunks; // first byte of each chunk, inside `block`
    PixelBlock block;

    Image() = default;
    Image(Image&&) noexcept = default;
    Image& operator=(Image&&) noexcept = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    std::uint8_t* row(int r) { return rows[r]; }
    const std::uint8_t* row(int r) const { return rows[r]; }
    std::uint16_t* row16(int r) { return reinterpret_cast<std::uint16_t*>(rows[r]); }
    const std::uint16_t* row16(int r) const { return reinterpret_cast<const std::uint16_t*>(rows[r]); }
    bool empty() const { return rows.empty(); }
    long long pixels() const { return (long long)width * height; }
};

// Bytes per stored row of a type and width, rounded up to a multiple of 4; 0 for unknown types.
std::int32_t image_row_bytes(int type, int width);

// True for the picture types every operation accepts: binary, gray, colour, 16-bit gray,
// 48-bit colour.
bool is_picture_type(int type);

// Bytes per pixel of the byte-addressed types (gray 1, colour 3, gray16 2, colour48 6);
// 0 for binary and the pseudo-types.
int image_pixel_bytes(int type);

// The program's name for a type ("Color Image", ...), "Empty" for 0, "Unknown" otherwise.
const char* image_type_name(int type);

void image_init(Image& img);

// Gives `img` storage for the type and size. The same type and size again only replaces the
// resolution and keeps the pixels. A type outside 1..7, width 0 or height 0 leaves the record
// without rows (result 0). Rows longer than 65000 bytes get a chunk each. New pixels are not
// cleared. Result 1 (out of memory) empties the record.
int image_alloc(Image& img, int type, int width, int height, double resolution);

void image_free(Image& img);

// Allocates `dst` like `src` and copies every row, padding included. No progress.
int image_clone(const Image& src, Image& dst);

} // namespace mv
