// Construction and removal for the k-d tree of a polygon's corners.
#include "geometry/corner_index.h"

#include <algorithm>

namespace vantic {

namespace {

constexpr int32_t kLeafSize = 16;

}  // namespace

CornerIndex::CornerIndex(int32_t n, const double *uv)
    : uv_(uv), order_(static_cast<size_t>(n)), entries_(static_cast<size_t>(n)), entryOf_(static_cast<size_t>(n)),
      leafOf_(static_cast<size_t>(n)) {
    for (int32_t i = 0; i < n; ++i) order_[static_cast<size_t>(i)] = i;
    nodes_.reserve(static_cast<size_t>(4 * (n / kLeafSize + 1)));
    build(0, n, -1);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t corner = order_[static_cast<size_t>(i)];
        entries_[static_cast<size_t>(i)] = Entry{uv[2 * corner], uv[2 * corner + 1], corner, 1};
        entryOf_[static_cast<size_t>(corner)] = i;
    }
}

int32_t CornerIndex::build(int32_t begin, int32_t end, int32_t parent) {
    const int32_t index = static_cast<int32_t>(nodes_.size());
    Node node{uv_[2 * order_[static_cast<size_t>(begin)]], 0, uv_[2 * order_[static_cast<size_t>(begin)] + 1], 0,
              begin, end, -1, -1, parent, end - begin};
    node.u1 = node.u0;
    node.v1 = node.v0;
    for (int32_t i = begin; i < end; ++i) {
        const double u = uv_[2 * order_[static_cast<size_t>(i)]], v = uv_[2 * order_[static_cast<size_t>(i)] + 1];
        node.u0 = std::min(node.u0, u);
        node.u1 = std::max(node.u1, u);
        node.v0 = std::min(node.v0, v);
        node.v1 = std::max(node.v1, v);
    }
    nodes_.push_back(node);
    if (end - begin <= kLeafSize) {
        for (int32_t i = begin; i < end; ++i) leafOf_[static_cast<size_t>(order_[static_cast<size_t>(i)])] = index;
        return index;
    }
    // Split the wider side at the median.
    const int axis = node.u1 - node.u0 >= node.v1 - node.v0 ? 0 : 1;
    const int32_t middle = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + middle, order_.begin() + end,
                     [this, axis](int32_t x, int32_t y) { return uv_[2 * x + axis] < uv_[2 * y + axis]; });
    const int32_t left = build(begin, middle, index);
    const int32_t right = build(middle, end, index);
    nodes_[static_cast<size_t>(index)].left = left;
    nodes_[static_cast<size_t>(index)].right = right;
    return index;
}

void CornerIndex::reset() {
    for (Entry &entry : entries_) entry.active = 1;
    for (Node &node : nodes_) node.active = node.end - node.begin;
}

void CornerIndex::remove(int32_t corner) {
    Entry &entry = entries_[static_cast<size_t>(entryOf_[static_cast<size_t>(corner)])];
    if (!entry.active) return;
    entry.active = 0;
    for (int32_t node = leafOf_[static_cast<size_t>(corner)]; node >= 0; node = nodes_[static_cast<size_t>(node)].parent)
        --nodes_[static_cast<size_t>(node)].active;
}

}  // namespace vantic
