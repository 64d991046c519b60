#include "color_reducer.h"

#include "core/error.h"
#include "core/progress.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace mv {
namespace {

constexpr int kLevels = 6;
constexpr int kCells = 1 << 15;
constexpr int kLevelStart[kLevels] = {0, 1, 9, 73, 585, 4681};
constexpr int kNodeCount = 37449;

// Bits 7..3 of a sample spread into the 15-bit cell index (first pixel byte at bit 0 of
// each octal digit, second at bit 1, third at bit 2), and the squares v * v for
// v = -255..255. Built once and kept.
struct ReduceTables {
    std::uint16_t spread[3][256];
    int squares[511];
};

const ReduceTables& reduce_tables()
{
    static const ReduceTables tables = [] {
        ReduceTables t{};
        for (int v = 0; v < 256; v++) {
            int s = 0;
            for (int b = 7; b >= 3; b--)
                if (v >> b & 1)
                    s |= 1 << (3 * (b - 3));
            for (int c = 0; c < 3; c++)
                t.spread[c][v] = std::uint16_t(s << c);
        }
        for (int v = -255; v <= 255; v++)
            t.squares[v + 255] = v * v;
        return t;
    }();
    return tables;
}

inline int square(int v) { return reduce_tables().squares[v + 255]; }

// The centre of a cell, per pixel byte: its five bits of that sample * 8 + 4.
void cell_centre(int cell, int centre[3])
{
    for (int c = 0; c < 3; c++) {
        int v = 0;
        for (int j = 0; j < 5; j++)
            v |= (cell >> (3 * j + c) & 1) << j;
        centre[c] = v * 8 + 4;
    }
}

struct Node {
    std::uint64_t sum[3] = {0, 0, 0}; // per pixel byte
    std::uint64_t count = 0;          // pixels of its own
    std::uint64_t subtree = 0;        // pixels of its own and below
    std::uint8_t children = 0;        // bit k: child k still in the tree
    std::uint8_t index = 0;           // palette index
};

struct Leaf {
    int level;
    int index;
};

// Per-pass progress; nothing at all (not even the wait cursor) when not wanted.
class PassProgress {
public:
    PassProgress(bool show, const Image& src, std::string_view title)
    {
        if (show)
            scope_.emplace(src.pixels(), 0, src.height - 1, title, true);
    }
    int update(int y) { return scope_ ? scope_->update(y) : 0; }

private:
    std::optional<ProgressScope> scope_;
};

// The pixel bytes of a row as 8-bit samples (48-bit rows narrowed) into `out`.
void row_bytes8(const Image& src, int y, std::uint8_t* out)
{
    const int n = src.width * 3;
    if (src.type == IMAGE_COLOR) {
        std::memcpy(out, src.row(y), std::size_t(n));
        return;
    }
    const std::uint16_t* p = src.row16(y);
    const std::uint8_t* narrow = value_tables().narrow16;
    for (int i = 0; i < n; i++)
        out[i] = narrow[p[i]];
}

class Reducer {
public:
    Reducer(const Image& src, bool show_progress)
        : src_(src), show_(show_progress), nodes_(kNodeCount), cells_(kCells, 0),
          line_(std::size_t(src.width) * 3)
    {
    }

    int count_cells();
    void build_tree();
    void merge(int max_leaves);
    void make_palette(Palette& palette);
    int map_plain(Image& index);
    int map_dithered(Image& index);

private:
    Node& node(int level, int index) { return nodes_[kLevelStart[level] + index]; }
    std::uint64_t weight(const Leaf& l) { return node(l.level, l.index).subtree; }
    void sift_down(std::size_t i);
    void assign(int level, int index, Palette& palette);
    void nearest_in(int level, int index, const int centre[3], int& best, int& best_dist);
    int nearest_in_palette(const int centre[3]);

    const Image& src_;
    bool show_;
    std::vector<Node> nodes_;
    std::vector<std::uint64_t> cells_; // pixels per level-5 cell
    std::vector<Leaf> heap_;
    std::vector<std::uint8_t> line_;
    const Palette* palette_ = nullptr;
};

int Reducer::count_cells()
{
    const ReduceTables& t = reduce_tables();
    PassProgress progress(show_, src_, "Color Reduction -- Pass 1");
    for (int y = 0; y < src_.height; y++) {
        row_bytes8(src_, y, line_.data());
        const std::uint8_t* p = line_.data();
        for (int x = 0; x < src_.width; x++, p += 3)
            cells_[t.spread[0][p[0]] | t.spread[1][p[1]] | t.spread[2][p[2]]]++;
        if (int rc = progress.update(y))
            return rc;
    }
    return kOk;
}

// Every occupied cell becomes a leaf holding its pixels at the cell centre; the counts go up
// to its ancestors, which learn the child, and the leaves are heaped.
void Reducer::build_tree()
{
    for (int cell = 0; cell < kCells; cell++) {
        const std::uint64_t n = cells_[cell];
        if (n == 0)
            continue;
        int centre[3];
        cell_centre(cell, centre);
        Node& leaf = node(5, cell);
        leaf.count = leaf.subtree = n;
        for (int c = 0; c < 3; c++)
            leaf.sum[c] = n * std::uint64_t(centre[c]);
        for (int level = 0; level < 5; level++) {
            Node& a = node(level, cell >> (3 * (5 - level)));
            a.subtree += n;
            a.children |= std::uint8_t(1 << (cell >> (3 * (4 - level)) & 7));
        }
        heap_.push_back({5, cell});
    }
    for (std::size_t i = heap_.size(); i-- > 0;)
        sift_down(i);
}

// Smallest subtree count on top; the left child wins a tie, and the walk stops when the
// parent is not larger than the smaller child.
void Reducer::sift_down(std::size_t i)
{
    const std::size_t n = heap_.size();
    for (;;) {
        std::size_t child = 2 * i + 1;
        if (child >= n)
            return;
        if (child + 1 < n && weight(heap_[child + 1]) < weight(heap_[child]))
            child++;
        if (weight(heap_[i]) <= weight(heap_[child]))
            return;
        std::swap(heap_[i], heap_[child]);
        i = child;
    }
}

// Folds the smallest leaf into its parent until at most `max_leaves` remain.
void Reducer::merge(int max_leaves)
{
    while (heap_.size() > std::size_t(max_leaves)) {
        const Leaf top = heap_[0];
        if (top.level == 0)
            break;
        const Leaf up{top.level - 1, top.index >> 3};
        Node& child = node(top.level, top.index);
        Node& parent = node(up.level, up.index);
        if (parent.count > 0) {
            heap_[0] = heap_.back();
            heap_.pop_back();
        } else {
            heap_[0] = up;
        }
        parent.count += child.count;
        for (int c = 0; c < 3; c++)
            parent.sum[c] += child.sum[c];
        parent.children &= std::uint8_t(~(1 << (top.index & 7)));
        child.count = 0;
        sift_down(0);
    }
}

// Depth first from the root, children 7 down to 0 before the node itself.
void Reducer::assign(int level, int index, Palette& palette)
{
    Node& n = node(level, index);
    for (int k = 7; k >= 0; k--)
        if (n.children >> k & 1)
            assign(level + 1, index * 8 + k, palette);
    if (n.count == 0 || palette.size >= kPaletteMax)
        return;
    n.index = std::uint8_t(palette.size);
    std::uint8_t* rgb = palette.colors[palette.size++];
    for (int c = 0; c < 3; c++)
        rgb[2 - c] = std::uint8_t((n.sum[c] + n.count / 2) / n.count);
}

void Reducer::make_palette(Palette& palette)
{
    palette = Palette{};
    assign(0, 0, palette);
    palette_ = &palette;
}

void Reducer::nearest_in(int level, int index, const int centre[3], int& best, int& best_dist)
{
    const Node& n = node(level, index);
    for (int k = 7; k >= 0; k--)
        if (n.children >> k & 1)
            nearest_in(level + 1, index * 8 + k, centre, best, best_dist);
    if (n.count == 0)
        return;
    const std::uint8_t* rgb = palette_->colors[n.index];
    const int d = square(rgb[2] - centre[0]) + square(rgb[1] - centre[1]) +
                  square(rgb[0] - centre[2]);
    if (d < best_dist) {
        best_dist = d;
        best = n.index;
    }
}

// Each occupied cell descends the reduced tree along its path as far as it goes and takes
// the nearest colour of the branch reached; the pixels then take their cell's index.
int Reducer::map_plain(Image& index)
{
    std::vector<std::uint8_t> cell_index(kCells, 0);
    for (int cell = 0; cell < kCells; cell++) {
        if (cells_[cell] == 0)
            continue;
        int level = 0, at = 0;
        while (level < 5) {
            const int child = cell >> (3 * (4 - level)) & 7;
            if (!(node(level, at).children >> child & 1))
                break;
            at = at * 8 + child;
            level++;
        }
        int centre[3];
        cell_centre(cell, centre);
        int best = 0, best_dist = 0x7FFFFFFF;
        nearest_in(level, at, centre, best, best_dist);
        cell_index[cell] = std::uint8_t(best);
    }
    const ReduceTables& t = reduce_tables();
    PassProgress progress(show_, src_, "Color Reduction -- Pass 2");
    for (int y = 0; y < src_.height; y++) {
        row_bytes8(src_, y, line_.data());
        const std::uint8_t* p = line_.data();
        std::uint8_t* out = index.row(y);
        for (int x = 0; x < src_.width; x++, p += 3)
            out[x] = cell_index[t.spread[0][p[0]] | t.spread[1][p[1]] | t.spread[2][p[2]]];
        if (int rc = progress.update(y))
            return rc;
    }
    return kOk;
}

// The whole palette searched for the colour nearest to a 5-5-5 cell centre.
int Reducer::nearest_in_palette(const int centre[3])
{
    int best = 0, best_dist = 200000;
    for (int i = 0; i < palette_->size; i++) {
        const std::uint8_t* rgb = palette_->colors[i];
        const int d = square(rgb[2] - centre[0]) + square(rgb[1] - centre[1]) +
                      square(rgb[0] - centre[2]);
        if (d < best_dist) {
            best_dist = d;
            best = i;
        }
    }
    return best;
}

// Serpentine Floyd-Steinberg error diffusion; errors per sample in sixteenths, each new
// error clamped to -20..20, nearest entries cached per 5-5-5 cell.
int Reducer::map_dithered(Image& index)
{
    const int w = src_.width;
    std::vector<std::int16_t> cache(kCells, -1);
    std::vector<int> cur(std::size_t(w + 2) * 3, 0), next(std::size_t(w + 2) * 3, 0);
    PassProgress progress(show_, src_, "Color Reduction -- Pass 2");
    for (int y = 0; y < src_.height; y++) {
        row_bytes8(src_, y, line_.data());
        std::uint8_t* out = index.row(y);
        const int dir = (y & 1) ? -1 : 1;
        int x = (y & 1) ? w - 1 : 0;
        for (int i = 0; i < w; i++, x += dir) {
            const std::uint8_t* p = &line_[std::size_t(x) * 3];
            int* e_here = &cur[std::size_t(x + 1) * 3];
            int v[3];
            for (int c = 0; c < 3; c++)
                v[c] = std::clamp(p[c] + ((e_here[c] + 8) >> 4), 0, 255);
            const int key = (v[2] >> 3) << 10 | (v[1] >> 3) << 5 | (v[0] >> 3);
            if (cache[key] < 0) {
                const int centre[3] = {(v[0] >> 3) * 8 + 4, (v[1] >> 3) * 8 + 4,
                                       (v[2] >> 3) * 8 + 4};
                cache[key] = std::int16_t(nearest_in_palette(centre));
            }
            const int k = cache[key];
            out[x] = std::uint8_t(k);
            const std::uint8_t* rgb = palette_->colors[k];
            int* e_next = &cur[std::size_t(x + 1 + dir) * 3];
            int* below = &next[std::size_t(x + 1) * 3];
            for (int c = 0; c < 3; c++) {
                const int e = std::clamp(v[c] - rgb[2 - c], -20, 20);
                e_next[c] += 7 * e;
                below[c - 3 * dir] += 3 * e;
                below[c] += 5 * e;
                below[c + 3 * dir] += e;
            }
        }
        std::swap(cur, next);
        std::fill(next.begin(), next.end(), 0);
        if (int rc = progress.update(y))
            return rc;
    }
    return kOk;
}

int reduce(const Image& src, Image* index, int max_colors, bool dither, Palette& palette,
           bool show_progress)
{
    Reducer reducer(src, show_progress);
    if (int rc = reducer.count_cells())
        return rc;
    reducer.build_tree();
    reducer.merge(std::clamp(max_colors, 1, kPaletteMax));
    reducer.make_palette(palette);
    if (!index)
        return kOk;
    if (int rc = image_alloc(*index, IMAGE_GRAY, src.width, src.height, src.resolution))
        return rc;
    for (int y = 0; y < src.height; y++)
        std::memset(index->row(y), 0, std::size_t(index->row_bytes));
    return dither ? reducer.map_dithered(*index) : reducer.map_plain(*index);
}

} // namespace

int color_reduce(const Image& src, Image* index, int max_colors, bool dither, Palette& palette,
                 bool show_progress)
{
    palette = Palette{};
    if (index)
        image_free(*index);
    if (src.type != IMAGE_COLOR && src.type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (src.empty())
        return kOk;
    int rc;
    try {
        rc = reduce(src, index, max_colors, dither, palette, show_progress);
    } catch (const std::bad_alloc&) {
        rc = kOutOfMemory;
    }
    if (rc != kOk) {
        palette = Palette{};
        if (index)
            image_free(*index);
    }
    return rc;
}

} // namespace mv
