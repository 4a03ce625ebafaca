// A polygon's active corners in the order of a z-order curve over their plane coordinates, so that
// the corners inside a small box are found by walking from one of them while their codes stay in
// range. A long box may span most of the curve; the walk then gives up and leaves it to the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/corner_index.h"

namespace vantic {

class ZOrderIndex {
public:
    // Plane coordinates (u, v) of n > 0 corners, two per corner, all finite; the index keeps the
    // pointer and any earlier polygon's arrays, so a rebuild allocates only for a larger one.
    void build(int32_t n, const double *uv);

    // Every corner, by code, and each corner's code.
    const int32_t *order() const { return order_.data(); }
    const uint32_t *codes() const { return codes_.data(); }

    // Every corner active again, as after construction.
    void reset();

    // Takes an active corner out of the curve.
    void remove(int32_t corner) {
        const int32_t before = previous(corner), after = next(corner);
        if (before >= 0) next_[static_cast<std::size_t>(before)] = after;
        if (after >= 0) previous_[static_cast<std::size_t>(after)] = before;
    }

    // The curve's position of a point: 15 bits of each coordinate over the corners' bounds,
    // interleaved. It never decreases as either coordinate grows, so a box's corners bound the codes
    // of every point inside it.
    uint32_t code(double u, double v) const;

    enum class Found { yes, no, gaveUp };

    // Whether visit(corner) is true for some active corner inside the box, `from` being an active
    // corner inside it and low, high the codes of the box's least and greatest corners; visits no
    // corner outside the box. Gives up after passing `steps` corners, or
    // at once when the box's codes span more of the curve than that many corners would evenly take.
    template <class Visit>
    Found any(int32_t from, const Box &box, uint32_t low, uint32_t high, int32_t steps, Visit &&visit) const {
        if (static_cast<double>(high - low) * static_cast<double>(codes_.size()) > steps * kCodes) return Found::gaveUp;
        for (int32_t k = next(from); k >= 0 && codes_[static_cast<std::size_t>(k)] <= high; k = next(k)) {
            if (--steps < 0) return Found::gaveUp;
            if (inBox(k, box) && visit(k)) return Found::yes;
        }
        for (int32_t k = previous(from); k >= 0 && codes_[static_cast<std::size_t>(k)] >= low; k = previous(k)) {
            if (--steps < 0) return Found::gaveUp;
            if (inBox(k, box) && visit(k)) return Found::yes;
        }
        return visit(from) ? Found::yes : Found::no;
    }

private:
    int32_t next(int32_t corner) const { return next_[static_cast<std::size_t>(corner)]; }
    int32_t previous(int32_t corner) const { return previous_[static_cast<std::size_t>(corner)]; }
    bool inBox(int32_t corner, const Box &box) const {
        return box.holdsEach(uv_[2 * static_cast<std::size_t>(corner)], uv_[2 * static_cast<std::size_t>(corner) + 1]);
    }

    static constexpr double kCodes = 1u << 30;

    const double *uv_ = nullptr;
    double u0_ = 0, v0_ = 0, scale_ = 0;
    std::vector<uint32_t> codes_;
    std::vector<int32_t> order_;  // corners by code
    std::vector<int32_t> next_, previous_;  // along the curve, -1 at its ends
};

}  // namespace vantic
