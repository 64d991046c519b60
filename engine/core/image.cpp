#include "image.h"

#include "error.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <new>
#include <thread>

#include <sys/mman.h>

namespace mv {

std::int32_t image_row_bytes(int type, int width)
{
    long long bytes = 0;
    switch (type) {
    case IMAGE_BINARY: bytes = ((long long)width + 7) / 8; break;
    case IMAGE_GRAY: bytes = width; break;
    case IMAGE_COLOR: bytes = 3LL * width; break;
    case IMAGE_SINGLE_COLOR: bytes = 3; break;
    case IMAGE_HISTOGRAM: bytes = 1028; break;
    case IMAGE_GRAY16: bytes = 2LL * width; break;
    case IMAGE_COLOR48: bytes = 6LL * width; break;
    default: return 0;
    }
    if (width <= 0 && type != IMAGE_SINGLE_COLOR && type != IMAGE_HISTOGRAM)
        return 0;
    bytes = (bytes + 3) & ~3LL;
    return bytes > 0x7ffffff0LL ? -1 : std::int32_t(bytes);
}

bool is_picture_type(int type)
{
    return type == IMAGE_BINARY || type == IMAGE_GRAY || type == IMAGE_COLOR ||
           type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
}

int image_pixel_bytes(int type)
{
    switch (type) {
    case IMAGE_GRAY: return 1;
    case IMAGE_COLOR: return 3;
    case IMAGE_GRAY16: return 2;
    case IMAGE_COLOR48: return 6;
    default: return 0;
    }
}

const char* image_type_name(int type)
{
    switch (type) {
    case IMAGE_EMPTY: return "Empty";
    case IMAGE_BINARY: return "Binary Image";
    case IMAGE_GRAY: return "Black and White Image";
    case IMAGE_COLOR: return "Color Image";
    case IMAGE_SINGLE_COLOR: return "Color";
    case IMAGE_HISTOGRAM: return "Histogram";
    case IMAGE_GRAY16: return "Black and White Image (16-bit)";
    case IMAGE_COLOR48: return "Color Image (48-bit)";
    default: return "Unknown";
    }
}

void image_init(Image& img)
{
    img.type = IMAGE_EMPTY;
    img.width = img.height = img.row_bytes = 0;
    img.resolution = 0;
    img.rows.clear();
    img.rows.shrink_to_fit();
    img.chunk_count = img.rows_per_chunk = 0;
    img.chunks.clear();
    img.chunks.shrink_to_fit();
    img.block.reset();
}

// Populates a newly mapped block's pages on a thread of its own, last pages first (readers
// fill the top rows, which lie at the block's end, first), so the first-touch page faults of
// a large picture overlap the work that fills it instead of interrupting it. The kernel
// leaves pages already in place as they are, so the thread never races with the block's
// contents. Destroying it stops the thread between pieces and joins it.
class BlockPrefault {
public:
    BlockPrefault(std::uint8_t* block, std::size_t bytes)
        : thread_([this, block, bytes] { populate(block, bytes); })
    {
    }
    ~BlockPrefault()
    {
        stop_ = true;
        thread_.join();
    }
    BlockPrefault(const BlockPrefault&) = delete;
    BlockPrefault& operator=(const BlockPrefault&) = delete;

private:
    static constexpr std::size_t kPiece = std::size_t(2) << 20;

    void populate(std::uint8_t* block, std::size_t bytes)
    {
#ifdef MADV_POPULATE_WRITE
        for (std::size_t end = bytes; end > 0 && !stop_;) {
            const std::size_t begin = end > kPiece ? (end - kPiece) & ~(kPiece - 1) : 0;
            if (madvise(block + begin, end - begin, MADV_POPULATE_WRITE) != 0)
                return; // an older kernel, or no memory left: faults happen on first touch
            end = begin;
        }
#else
        (void)block;
        (void)bytes;
#endif
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void PixelBlockRelease::operator()(std::uint8_t* block) const
{
    delete prefault;
    if (mapped_bytes)
        munmap(block, mapped_bytes);
    else
        delete[] block;
}

void image_free(Image& img)
{
    image_init(img);
}

namespace {

constexpr std::size_t kChunkAlign = 64;
// Blocks from this size on are mapped on their own, with huge pages advised.
constexpr std::size_t kMappedBlockBytes = std::size_t(4) << 20;

// A block of `bytes` bytes; an empty pointer when memory runs out.
PixelBlock allocate_block(std::size_t bytes)
{
    if (bytes < kMappedBlockBytes)
        return PixelBlock(new (std::nothrow) std::uint8_t[bytes], PixelBlockRelease{});
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return PixelBlock(nullptr, PixelBlockRelease{});
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);
#endif
    auto* block = static_cast<std::uint8_t*>(p);
    BlockPrefault* prefault = nullptr;
    try {
        prefault = new BlockPrefault(block, bytes);
    } catch (const std::exception&) {
        // No thread to spare: the pages fault in as they are first touched.
    }
    return PixelBlock(block, PixelBlockRelease{bytes, prefault});
}

int allocate_rows(Image& img, int stored_rows)
{
    const std::size_t R = std::size_t(img.row_bytes);
    // A row longer than a chunk gets a chunk of its own.
    const int per_chunk = R > kChunkBytes ? 1 : int(kChunkBytes / R);
    const int count = (stored_rows + per_chunk - 1) / per_chunk;
    const std::size_t stride = (per_chunk * R + kChunkAlign - 1) & ~(kChunkAlign - 1);
    PixelBlock block = allocate_block(stride * std::size_t(count));
    if (!block)
        return kOutOfMemory;
    img.rows_per_chunk = per_chunk;
    img.rows.resize(stored_rows);
    img.chunks.resize(count);
    for (int c = 0; c < count; ++c)
        img.chunks[c] = block.get() + stride * std::size_t(c);
    img.chunk_count = count;
    for (int r = 0; r < stored_rows; ++r)
        img.rows[r] = img.chunks[r / per_chunk] + R * std::size_t(r % per_chunk);
    img.block = std::move(block);
    return kOk;
}

} // namespace

int image_alloc(Image& img, int type, int width, int height, double resolution)
{
    if (img.type == type && img.width == width && img.height == height && type != IMAGE_EMPTY) {
        img.resolution = resolution;
        return kOk;
    }
    image_free(img);
    img.type = type;
    img.width = width;
    img.height = height;
    img.resolution = resolution;
    const std::int32_t R = image_row_bytes(type, width);
    if (R < 0) { // a row too long to address: treat it like any failed allocation
        image_free(img);
        return kOutOfMemory;
    }
    img.row_bytes = R;
    if (type < 1 || type > 7 || R == 0 || height <= 0)
        return kOk;
    const int stored = (type == IMAGE_SINGLE_COLOR || type == IMAGE_HISTOGRAM) ? 1 : height;
    try {
        if (allocate_rows(img, stored) == kOk)
            return kOk;
        image_free(img);
        return kOutOfMemory;
    } catch (const std::bad_alloc&) {
        image_free(img);
        return kOutOfMemory;
    } catch (const std::length_error&) {
        image_free(img);
        return kOutOfMemory;
    }
}

int image_clone(const Image& src, Image& dst)
{
    const int err = image_alloc(dst, src.type, src.width, src.height, src.resolution);
    if (err)
        return err;
    for (size_t r = 0; r < src.rows.size(); ++r)
        std::memcpy(dst.rows[r], src.rows[r], size_t(src.row_bytes));
    return kOk;
}

} // namespace mv
