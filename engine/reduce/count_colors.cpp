#include "count_colors.h"

#include "core/error.h"
#include "core/progress.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace mv {
namespace {

// The count tree: a node has 8 child links; the child taken at depth k is made of bit
// (D - 1 - k) of the three samples (first sample -> child bit 4, second -> 2, third -> 1).
// A node reached at depth D is a colour. Nodes live in fixed chunks so no link moves; the
// nodes of depth D - 1 keep their children as an 8-bit presence mask. A branch that holds a
// single colour is kept as that colour in the link where it leaves the tree, and is grown
// into nodes only when a second colour shares its path: the deep single-colour chains of
// 48-bit pictures would otherwise cost 16 nodes per colour.
class CountTree {
public:
    // Node 0 is the root and mask 0 is never used, so a link of 0 means "no child".
    explicit CountTree(int depth) : depth_(depth)
    {
        new_node();
        new_mask();
    }

    // Inserts a colour; true when it was not in the tree yet.
    bool insert(unsigned c0, unsigned c1, unsigned c2)
    {
        const std::uint64_t key = std::uint64_t(c0) << 32 | std::uint64_t(c1) << 16 | c2;
        std::uint32_t node = 0;
        for (int k = 0; k < depth_ - 1; k++) {
            std::uint32_t& next = link(node, child_of(key, depth_ - 1 - k));
            if (next == 0) {
                next = new_colour(key);
                return true;
            }
            if (next & kColourLink) {
                if (colour(next) == key)
                    return false;
                split(next, k + 1, key);
                return true;
            }
            if (k == depth_ - 2)
                return set_mask_bit(next, key);
            node = next;
        }
        return set_mask_bit(node, key); // depth 1 only
    }

private:
    static constexpr std::uint32_t kChunk = 1u << 16;
    static constexpr std::uint32_t kColourLink = 0x80000000u;

    static int child_of(std::uint64_t key, int bit)
    {
        return int((key >> (32 + bit) & 1) << 2 | (key >> (16 + bit) & 1) << 1 | (key >> bit & 1));
    }

    // `slot`, a link at `depth` holding one colour, becomes the nodes down to where that
    // colour and `key` part; both end there.
    void split(std::uint32_t& slot, int depth, std::uint64_t key)
    {
        const std::uint32_t old = slot;
        const std::uint64_t old_key = colour(old);
        std::uint32_t* at = &slot;
        for (;; depth++) {
            if (depth == depth_ - 1) {
                const std::uint32_t m = new_mask();
                *at = m;
                set_mask_bit(m, old_key);
                set_mask_bit(m, key);
                return;
            }
            const std::uint32_t n = new_node();
            *at = n;
            const int a = child_of(old_key, depth_ - 1 - depth);
            const int b = child_of(key, depth_ - 1 - depth);
            if (a != b) {
                link(n, a) = old;
                link(n, b) = new_colour(key);
                return;
            }
            at = &link(n, a);
        }
    }

    bool set_mask_bit(std::uint32_t m, std::uint64_t key)
    {
        std::uint8_t& present = masks_[m >> 16][m & (kChunk - 1)];
        const std::uint8_t bit = std::uint8_t(1u << child_of(key, 0));
        if (present & bit)
            return false;
        present |= bit;
        return true;
    }

    std::uint32_t& link(std::uint32_t node, int child)
    {
        return links_[node >> 16][(node & (kChunk - 1)) * 8 + child];
    }
    std::uint64_t colour(std::uint32_t l) const
    {
        const std::uint32_t i = l & ~kColourLink;
        return colours_[i >> 16][i & (kChunk - 1)];
    }

    template <class T>
    static std::uint32_t grow(std::vector<std::unique_ptr<T[]>>& chunks, std::uint32_t& count,
                              std::uint32_t per_item)
    {
        if (count % kChunk == 0) {
            if (count >= kColourLink - kChunk)
                throw std::bad_alloc();
            chunks.push_back(std::make_unique<T[]>(std::size_t(kChunk) * per_item));
        }
        return count++;
    }
    std::uint32_t new_node() { return grow(links_, node_count_, 8); }
    std::uint32_t new_mask() { return grow(masks_, mask_count_, 1); }
    std::uint32_t new_colour(std::uint64_t key)
    {
        const std::uint32_t i = grow(colours_, colour_count_, 1);
        colours_[i >> 16][i & (kChunk - 1)] = key;
        return i | kColourLink;
    }

    int depth_;
    std::vector<std::unique_ptr<std::uint32_t[]>> links_;
    std::vector<std::unique_ptr<std::uint8_t[]>> masks_;
    std::vector<std::unique_ptr<std::uint64_t[]>> colours_;
    std::uint32_t node_count_ = 0;
    std::uint32_t mask_count_ = 0;
    std::uint32_t colour_count_ = 0;
};

int count_binary(const Image& img, ProgressScope& progress, std::int64_t& count)
{
    const int full = img.width / 8;
    const int rest = img.width % 8;
    const std::uint8_t rest_mask = std::uint8_t(0xFF00 >> rest);
    bool white = false, black = false;
    for (int y = 0; y < img.height && !(white && black); y++) {
        const std::uint8_t* p = img.row(y);
        for (int i = 0; i < full; i++) {
            white |= p[i] != 0;
            black |= p[i] != 0xFF;
        }
        if (rest) {
            white |= (p[full] & rest_mask) != 0;
            black |= (p[full] & rest_mask) != rest_mask;
        }
        if (int rc = progress.update(y))
            return rc;
    }
    count = int(white) + int(black);
    return kOk;
}

// Gray levels of 8 or 16 bits: a presence table over every level.
template <class Sample>
int count_levels(const Image& img, ProgressScope& progress, std::int64_t& count)
{
    std::vector<std::uint8_t> seen(std::size_t(1) << (8 * sizeof(Sample)), 0);
    for (int y = 0; y < img.height; y++) {
        const Sample* p = reinterpret_cast<const Sample*>(img.row(y));
        for (int x = 0; x < img.width; x++)
            seen[p[x]] = 1;
        if (int rc = progress.update(y))
            return rc;
    }
    std::int64_t n = 0;
    for (std::uint8_t s : seen)
        n += s;
    count = n;
    return kOk;
}

// Colour pictures: every pixel goes into the count tree, with a shortcut for runs of one
// colour.
template <class Sample>
int count_tree_colors(const Image& img, ProgressScope& progress, std::int64_t& count)
{
    CountTree tree(8 * int(sizeof(Sample)));
    std::int64_t n = 0;
    unsigned last0 = 0, last1 = 0, last2 = 0;
    bool have_last = false;
    for (int y = 0; y < img.height; y++) {
        const Sample* p = reinterpret_cast<const Sample*>(img.row(y));
        for (int x = 0; x < img.width; x++, p += 3) {
            if (have_last && p[0] == last0 && p[1] == last1 && p[2] == last2)
                continue;
            last0 = p[0], last1 = p[1], last2 = p[2];
            have_last = true;
            n += tree.insert(last0, last1, last2);
        }
        if (int rc = progress.update(y))
            return rc;
    }
    count = n;
    return kOk;
}

} // namespace

int count_colors(const Image& img, std::int64_t& count)
{
    count = 0;
    if (!is_picture_type(img.type))
        return kIllegalImageType;
    if (img.empty())
        return kOk;
    std::int64_t n = 0;
    int rc = kOk;
    try {
        ProgressScope progress(img.pixels(), 0, img.height - 1, "Count Colors", true);
        switch (img.type) {
        case IMAGE_BINARY: rc = count_binary(img, progress, n); break;
        case IMAGE_GRAY: rc = count_levels<std::uint8_t>(img, progress, n); break;
        case IMAGE_GRAY16: rc = count_levels<std::uint16_t>(img, progress, n); break;
        case IMAGE_COLOR: rc = count_tree_colors<std::uint8_t>(img, progress, n); break;
        default: rc = count_tree_colors<std::uint16_t>(img, progress, n); break;
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (rc == kOk)
        count = n;
    return rc;
}

} // namespace mv
