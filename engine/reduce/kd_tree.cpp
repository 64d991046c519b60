#include "kd_tree.h"

#include <algorithm>
#include <utility>

namespace mv {
namespace {

// Sorts entries[first, first + m) on `axis` by exchange: every position takes the smallest
// of the positions after it in turn.
void exchange_sort(std::vector<KdEntry>& e, int first, int m, int axis)
{
    for (int i = first; i < first + m - 1; ++i)
        for (int j = i + 1; j < first + m; ++j)
            if (e[j].color[axis] < e[i].color[axis])
                std::swap(e[i], e[j]);
}

// The channel with the largest range over the run; later channels win ties.
int widest_axis(const std::vector<KdEntry>& e, int first, int m)
{
    int best = 0, best_range = -1;
    for (int axis = 0; axis < 3; ++axis) {
        int lo = 255, hi = 0;
        for (int i = first; i < first + m; ++i) {
            lo = std::min<int>(lo, e[i].color[axis]);
            hi = std::max<int>(hi, e[i].color[axis]);
        }
        if (hi - lo >= best_range) {
            best_range = hi - lo;
            best = axis;
        }
    }
    return best;
}

int build(KdTree& t, int first, int m)
{
    const int id = int(t.nodes.size());
    t.nodes.emplace_back();
    if (m <= kKdLeafSize) {
        t.nodes[id].first = first;
        t.nodes[id].count = m;
        return id;
    }
    const int axis = widest_axis(t.entries, first, m);
    exchange_sort(t.entries, first, m, axis);
    const int left_count = (m + 1) / 2;
    const int split = (t.entries[first + left_count - 1].color[axis] +
                       t.entries[first + left_count].color[axis]) / 2;
    const int left = build(t, first, left_count);
    const int right = build(t, first + left_count, m - left_count);
    KdNode& n = t.nodes[id];
    n.axis = axis;
    n.split = split;
    n.left = left;
    n.right = right;
    return id;
}

void search(const KdTree& t, int id, const int q[3], int& best, int& bound)
{
    const KdNode& n = t.nodes[id];
    if (n.axis < 0) {
        for (int i = n.first; i < n.first + n.count; ++i) {
            const std::uint8_t* c = t.entries[i].color;
            int d = 0, axis = 0;
            for (; axis < 3; ++axis) {
                const int diff = q[axis] - c[axis];
                d += diff * diff;
                if (d >= bound)
                    break;
            }
            if (axis == 3) {
                bound = d;
                best = i;
            }
        }
        return;
    }
    const int d = q[n.axis] - n.split;
    const int near = d > 0 ? n.right : n.left;
    const int far = d > 0 ? n.left : n.right;
    search(t, near, q, best, bound);
    if (d * d < bound)
        search(t, far, q, best, bound);
}

} // namespace

void kd_build(KdTree& tree, const std::vector<KdEntry>& entries)
{
    tree.entries = entries;
    tree.nodes.clear();
    tree.nodes.reserve(entries.size() * 2 + 1);
    build(tree, 0, int(tree.entries.size()));
}

int kd_nearest(const KdTree& tree, const int q[3])
{
    int best = 0;
    int bound = 3 * 255 * 255 + 1;
    search(tree, 0, q, best, bound);
    return best;
}

} // namespace mv
