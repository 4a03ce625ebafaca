// A tree of boxes over a polygon's corners in coordinates of its plane, counting the corners still
// active in each leaf and the children still holding one under each node, so that a search for
// corners near an ear skips empty and distant parts at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantic {

// a * u + b * v + c over the polygon's plane coordinates.
struct Linear {
    double a, b, c;
    double at(double u, double v) const { return a * u + b * v + c; }
};

// The open wedge where both forms are positive: a region a search may skip.
struct Wedge {
    Linear f, g;
    bool holds(double u, double v) const { return f.at(u, v) > 0 && g.at(u, v) > 0; }
};

// A closed axis-aligned box in the same coordinates: a region a search may keep to.
struct Box {
    double u0, u1, v0, v1;
    bool holds(double u, double v) const { return u >= u0 && u <= u1 && v >= v0 && v <= v1; }
    // The same test with every comparison made, where a branch on each would often be mispredicted.
    bool holdsEach(double u, double v) const { return (u >= u0) & (u <= u1) & (v >= v0) & (v <= v1); }
};

class CornerIndex {
public:
    // Plane coordinates (u, v) of n corners, two per corner, their codes along a z-order curve, and
    // the corners sorted by code; the index keeps the pointers and any earlier polygon's arrays, so
    // a rebuild for the next one allocates only when it is larger.
    void build(int32_t n, const double *uv, const uint32_t *codes, const int32_t *order);

    // Every corner active again, as after construction.
    void reset();

    // Takes a corner out of every count on its way to the root.
    void remove(int32_t corner);

    // Whether visit(corner) is true for some active corner outside all three wedges and, if a box
    // is given, inside it; visits only corners under nodes whose box meets that box and no wedge
    // holds whole. The wedges are an ear's, whose three corners (the tip in the middle) are active,
    // inside the box and outside every wedge, so a node holding one of them is opened untested: the
    // tests would open it, and opening more nodes only shows visit more corners it rejects. With a
    // box, low and high are the curve codes of its least and greatest corners, which bound the code
    // of every point inside it, and the search starts at the lowest node around the tip whose codes
    // hold them strictly: no corner outside that node can lie in the box.
    template <class Visit>
    bool any(const int32_t (&ear)[3], const Box *box, uint32_t low, uint32_t high, const Wedge (&skip)[3],
             Visit &&visit) const {
        int32_t start = 0;
        if (box) {
            start = leafOf_[static_cast<std::size_t>(ear[1])];
            for (;;) {
                const Node &node = nodes_[static_cast<std::size_t>(start)];
                if (parent_[static_cast<std::size_t>(start)] < 0 || (node.lowCode < low && high < node.highCode)) break;
                start = parent_[static_cast<std::size_t>(start)];
            }
        }
        const int32_t at[3] = {entryOf_[static_cast<std::size_t>(ear[0])], entryOf_[static_cast<std::size_t>(ear[1])],
                               entryOf_[static_cast<std::size_t>(ear[2])]};
        return search(start, at, box, skip, visit);
    }

private:
    struct Node {
        double u0, u1, v0, v1;  // the box of the corners below
        int32_t begin, end;     // their range in order_
        int32_t left, right;    // children, -1 at a leaf
        uint32_t lowCode, highCode;  // the curve codes of the first and last corner below
    };

    int32_t split(int32_t begin, int32_t end, int32_t parent);

    static double lowest(const Node &node, const Linear &l) {
        return l.a * (l.a > 0 ? node.u0 : node.u1) + l.b * (l.b > 0 ? node.v0 : node.v1) + l.c;
    }
    static bool inside(const Node &node, const Wedge &w) { return lowest(node, w.f) > 0 && lowest(node, w.g) > 0; }

    static bool meets(const Node &node, const Box *box) {
        return !box || (node.u0 <= box->u1 && box->u0 <= node.u1 && node.v0 <= box->v1 && box->v0 <= node.v1);
    }

    // `kept` are the places in the leaf order of three corners that every test would keep.
    template <class Visit>
    bool search(int32_t start, const int32_t (&kept)[3], const Box *box, const Wedge (&skip)[3], Visit &visit) const {
        // Each split either drops the highest bit in which a run's 30-bit codes differ or halves a
        // run of equal codes, so no path is longer than 30 + 31 nodes, and the stack holds at most
        // one more entry than the path.
        auto holdsKept = [&](const Node &node) {
            return (node.begin <= kept[0] && kept[0] < node.end) || (node.begin <= kept[1] && kept[1] < node.end) ||
                   (node.begin <= kept[2] && kept[2] < node.end);
        };
        auto skipped = [&](int32_t index) {
            const Node &node = nodes_[static_cast<std::size_t>(index)];
            return active_[static_cast<std::size_t>(index)] == 0 ||
                   (!holdsKept(node) && (!meets(node, box) || inside(node, skip[2]) || inside(node, skip[0]) ||
                                         inside(node, skip[1])));
        };
        if (skipped(start)) return false;
        int32_t stack[64];
        int depth = 0;
        stack[depth++] = start;
        while (depth > 0) {
            const int32_t index = stack[--depth];
            const Node &node = nodes_[static_cast<std::size_t>(index)];
            if (node.left >= 0) {
                // Children are tested before they are kept, so the stack holds only nodes to open.
                if (!skipped(node.right)) stack[depth++] = node.right;
                if (!skipped(node.left)) stack[depth++] = node.left;
                continue;
            }
            const int32_t end = node.begin + active_[static_cast<std::size_t>(index)];
            for (int32_t i = node.begin; i < end; ++i) {
                const Entry &e = entries_[static_cast<std::size_t>(i)];
                if ((!box || box->holds(e.u, e.v)) && !skip[2].holds(e.u, e.v) && !skip[0].holds(e.u, e.v) &&
                    !skip[1].holds(e.u, e.v) && visit(e.corner))
                    return true;
            }
        }
        return false;
    }

    // A corner with its coordinates, stored in leaf order so that a leaf reads one block; a leaf's
    // active corners come first.
    struct Entry {
        double u, v;
        int32_t corner;
    };

    const double *uv_ = nullptr;
    const uint32_t *codes_ = nullptr;
    std::vector<int32_t> order_;  // corners, grouped by leaf
    std::vector<Entry> entries_;  // the same order
    std::vector<int32_t> entryOf_;
    std::vector<int32_t> leafOf_;
    std::vector<Node> nodes_;
    // Apart from the nodes, so that a removal's walk to the root reads little memory.
    std::vector<int32_t> parent_;  // -1 at the root
    // At a leaf its corners not yet removed; at a node its children that still hold one. Either is
    // zero exactly when every corner below is removed, and a removal walks up only as far as it
    // empties nodes.
    std::vector<int32_t> active_;
};

}  // namespace vantic
