// A polygon's corners read from the host in as few calls as the polygon allows: one read into a
// fixed slot that fits most polygons, and a second into a longer array only when the host reports
// more corners than the slot holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "binding/host_table.h"

namespace vantic {

class PolygonCornerReader {
public:
    // The polygon's corner point indices in polygon order, valid until the next read; empty when the
    // host reports none (an unknown mesh or polygon).
    std::span<const int32_t> read(KorrinItem mesh, int32_t polygon) {
        int32_t count = 0, flags = 0;
        meshPoly_(mesh, polygon, slot_, kSlot, &count, &flags, 0);
        if (count >= 1 && count <= kSlot) return {slot_, static_cast<size_t>(count)};
        return count < 1 ? std::span<const int32_t>{} : readLonger(mesh, polygon, count);
    }

private:
    std::span<const int32_t> readLonger(KorrinItem mesh, int32_t polygon, int32_t count);

    static constexpr int32_t kSlot = 16;
    fxMeshPoly_fn *const meshPoly_ = FX(fxMeshPoly);
    int32_t slot_[kSlot] = {};
    std::vector<int32_t> longer_;
};

}  // namespace vantic
