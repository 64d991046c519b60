// The palette search tree of Posterize: a k-d tree over at most 32 palette entries, rebuilt
// for every run, answering "which entry is nearest to this colour" with pruning.
#pragma once

#include <cstdint>
#include <vector>

namespace mv {

// One palette entry: the colour that is matched (red, green, blue), the colour written for
// it (the remapped colour, or the colour itself) and its position in the palette.
struct KdEntry {
    std::uint8_t color[3] = {0, 0, 0};
    std::uint8_t output[3] = {0, 0, 0};
    std::uint8_t index = 0;
};

// A node is either a leaf holding a run of at most 4 entries (axis < 0) or an inner node
// splitting on channel `axis` at `split`, with its children at `left` and `right`.
struct KdNode {
    int axis = -1;
    int split = 0;
    int left = -1, right = -1;  // inner nodes: node indices
    int first = 0, count = 0;   // leaves: the run within the tree's entries
};

struct KdTree {
    std::vector<KdEntry> entries; // reordered by the build
    std::vector<KdNode> nodes;    // node 0 is the root
};

inline constexpr int kKdLeafSize = 4;

// Builds the tree over `entries` (at least one). A run of more than 4 entries splits on the
// channel with the largest range (the later channel on equal ranges), sorted on it by an
// exchange sort: the first ceil(m / 2) entries go left, the rest right, and the split value
// is the integer mean of the last left and the first right value. Throws std::bad_alloc.
void kd_build(KdTree& tree, const std::vector<KdEntry>& entries);

// Position in tree.entries of the entry nearest to `q` (red, green, blue) in squared
// distance; on equal distances the entry met first in the search order wins.
int kd_nearest(const KdTree& tree, const int q[3]);

} // namespace mv
