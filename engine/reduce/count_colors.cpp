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
// A node created at depth D is a new colour. Nodes live in fixed chunks so no link moves;
// the nodes of depth D - 1 keep their children as an 8-bit presence mask.
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
        std::uint32_t node = 0;
        for (int k = 0; k < depth_ - 1; k++) {
            std::uint32_t& next = link(node, child_of(c0, c1, c2, depth_ - 1 - k));
            if (next == 0)
                next = k == depth_ - 2 ? new_mask() : new_node();
            node = next;
        }
        std::uint8_t& present = mask(node);
        const std::uint8_t bit = std::uint8_t(1u << child_of(c0, c1, c2, 0));
        if (present & bit)
            return false;
        present |= bit;
        return true;
    }

private:
    static constexpr std::uint32_t kChunkNodes = 1u << 16;

    static int child_of(unsigned c0, unsigned c1, unsigned c2, int bit)
    {
        return int((c0 >> bit & 1) << 2 | (c1 >> bit & 1) << 1 | (c2 >> bit & 1));
    }

    std::uint32_t& link(std::uint32_t node, int child)
    {
        return links_[node >> 16][(node & (kChunkNodes - 1)) * 8 + child];
    }
    std::uint8_t& mask(std::uint32_t m) { return masks_[m >> 16][m & (kChunkNodes - 1)]; }

    std::uint32_t new_node()
    {
        if (node_count_ % kChunkNodes == 0) {
            if (links_.size() >= 0xFFFF)
                throw std::bad_alloc();
            links_.push_back(std::make_unique<std::uint32_t[]>(kChunkNodes * 8));
        }
        return node_count_++;
    }
    std::uint32_t new_mask()
    {
        if (mask_count_ % kChunkNodes == 0) {
            if (masks_.size() >= 0xFFFF)
                throw std::bad_alloc();
            masks_.push_back(std::make_unique<std::uint8_t[]>(kChunkNodes));
        }
        return mask_count_++;
    }

    int depth_;
    std::vector<std::unique_ptr<std::uint32_t[]>> links_;
    std::vector<std::unique_ptr<std::uint8_t[]>> masks_;
    std::uint32_t node_count_ = 0;
    std::uint32_t mask_count_ = 0;
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
