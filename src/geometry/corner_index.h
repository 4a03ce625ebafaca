// A k-d tree of a polygon's corners in coordinates of its plane, counting the corners still active
// under each node, so that a search for corners near an ear skips empty and distant parts at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantic {

// The half-plane a * u + b * v + c >= 0 of the polygon's plane coordinates.
struct HalfPlane {
    double a, b, c;
    bool holds(double u, double v) const { return a * u + b * v + c >= 0; }
};

class CornerIndex {
public:
    // Plane coordinates (u, v) of n corners, two per corner.
    CornerIndex(int32_t n, const double *uv);

    // Takes a corner out of every count on its way to the root.
    void remove(int32_t corner);

    // Whether visit(corner) is true for some active corner in all three half-planes; visits only
    // corners under nodes whose box reaches into all three.
    template <class Visit>
    bool any(const HalfPlane (&region)[3], Visit &&visit) const {
        return any(0, region, visit);
    }

private:
    struct Node {
        double u0, u1, v0, v1;  // the box of the corners below
        int32_t begin, end;     // their range in order_
        int32_t left, right;    // children, -1 at a leaf
        int32_t parent;
        int32_t active;  // corners below not yet removed
    };

    int32_t build(int32_t begin, int32_t end, int32_t parent);

    // Whether the box may hold a point of the half-plane.
    static bool reaches(const Node &node, const HalfPlane &h) {
        return h.a * (h.a > 0 ? node.u1 : node.u0) + h.b * (h.b > 0 ? node.v1 : node.v0) + h.c >= 0;
    }

    template <class Visit>
    bool any(int32_t index, const HalfPlane (&region)[3], Visit &visit) const {
        const Node &node = nodes_[static_cast<std::size_t>(index)];
        if (node.active == 0 || !reaches(node, region[0]) || !reaches(node, region[1]) || !reaches(node, region[2]))
            return false;
        if (node.left < 0) {
            for (int32_t i = node.begin; i < node.end; ++i) {
                const Entry &e = entries_[static_cast<std::size_t>(i)];
                if (e.active && region[0].holds(e.u, e.v) && region[1].holds(e.u, e.v) && region[2].holds(e.u, e.v) &&
                    visit(e.corner))
                    return true;
            }
            return false;
        }
        return any(node.left, region, visit) || any(node.right, region, visit);
    }

    // A corner with its coordinates, stored in leaf order so that a leaf reads one block.
    struct Entry {
        double u, v;
        int32_t corner;
        int32_t active;
    };

    const double *uv_;
    std::vector<int32_t> order_;  // corners, grouped by leaf
    std::vector<Entry> entries_;  // the same order
    std::vector<int32_t> entryOf_;
    std::vector<int32_t> leafOf_;
    std::vector<Node> nodes_;
};

}  // namespace vantic
