// Construction and removal for the tree of boxes over a polygon's corners.
#include "geometry/corner_index.h"

#include <algorithm>
#include <bit>

namespace vantic {

namespace {

constexpr int32_t kLeafSize = 32;

}  // namespace

void CornerIndex::build(int32_t n, const double *uv, const uint32_t *codes, const int32_t *order) {
    const size_t count = static_cast<size_t>(n);
    uv_ = uv;
    codes_ = codes;
    order_.assign(order, order + count);
    entries_.resize(count);
    entryOf_.resize(count);
    leafOf_.resize(count);
    nodes_.clear();
    parent_.clear();
    active_.clear();
    split(0, n, -1);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t corner = order_[static_cast<size_t>(i)];
        entries_[static_cast<size_t>(i)] = Entry{uv[2 * corner], uv[2 * corner + 1], corner};
        entryOf_[static_cast<size_t>(corner)] = i;
    }
}

// A run of corners along the curve splits where the highest bit in which its codes differ turns
// to one: the two halves are then the run's corners in two halves of a quadtree cell, with no
// sort. A node's box is its children's together.
int32_t CornerIndex::split(int32_t begin, int32_t end, int32_t parent) {
    const int32_t index = static_cast<int32_t>(nodes_.size());
    const uint32_t lowCode = codes_[order_[static_cast<size_t>(begin)]];
    const uint32_t highCode = codes_[order_[static_cast<size_t>(end - 1)]];
    nodes_.push_back(Node{0, 0, 0, 0, begin, end, -1, -1, lowCode, highCode});
    parent_.push_back(parent);
    active_.push_back(end - begin);
    if (end - begin <= kLeafSize) {
        Node &leaf = nodes_.back();
        const size_t first = static_cast<size_t>(order_[static_cast<size_t>(begin)]);
        leaf.u0 = leaf.u1 = uv_[2 * first];
        leaf.v0 = leaf.v1 = uv_[2 * first + 1];
        for (int32_t i = begin; i < end; ++i) {
            const size_t corner = static_cast<size_t>(order_[static_cast<size_t>(i)]);
            const double u = uv_[2 * corner], v = uv_[2 * corner + 1];
            leaf.u0 = std::min(leaf.u0, u);
            leaf.u1 = std::max(leaf.u1, u);
            leaf.v0 = std::min(leaf.v0, v);
            leaf.v1 = std::max(leaf.v1, v);
            leafOf_[corner] = index;
        }
        return index;
    }
    int32_t middle = begin + (end - begin) / 2;  // corners of one code split in the middle
    if (lowCode != highCode) {
        const uint32_t bit = std::bit_floor(lowCode ^ highCode);
        const int32_t *first = order_.data() + begin, *last = order_.data() + end;
        middle = static_cast<int32_t>(
            std::partition_point(first, last, [this, bit](int32_t corner) { return (codes_[corner] & bit) == 0; }) -
            order_.data());
    }
    const int32_t left = split(begin, middle, index);
    const int32_t right = split(middle, end, index);
    Node &node = nodes_[static_cast<size_t>(index)];
    const Node &l = nodes_[static_cast<size_t>(left)], &r = nodes_[static_cast<size_t>(right)];
    node.left = left;
    node.right = right;
    active_[static_cast<size_t>(index)] = 2;  // each half holds a corner
    node.u0 = std::min(l.u0, r.u0);
    node.u1 = std::max(l.u1, r.u1);
    node.v0 = std::min(l.v0, r.v0);
    node.v1 = std::max(l.v1, r.v1);
    return index;
}

void CornerIndex::reset() {
    for (size_t i = 0; i < nodes_.size(); ++i) active_[i] = nodes_[i].left >= 0 ? 2 : nodes_[i].end - nodes_[i].begin;
}

// The corner's entry changes places with its leaf's last active one.
void CornerIndex::remove(int32_t corner) {
    const size_t leaf = static_cast<size_t>(leafOf_[static_cast<size_t>(corner)]);
    const int32_t position = entryOf_[static_cast<size_t>(corner)];
    const int32_t lastActive = nodes_[leaf].begin + active_[leaf] - 1;
    if (position > lastActive) return;
    std::swap(entries_[static_cast<size_t>(position)], entries_[static_cast<size_t>(lastActive)]);
    entryOf_[static_cast<size_t>(entries_[static_cast<size_t>(position)].corner)] = position;
    entryOf_[static_cast<size_t>(corner)] = lastActive;
    if (--active_[leaf] > 0) return;
    for (int32_t node = parent_[leaf]; node >= 0 && --active_[static_cast<size_t>(node)] == 0;
         node = parent_[static_cast<size_t>(node)]) {
    }
}

}  // namespace vantic
