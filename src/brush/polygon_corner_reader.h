// A polygon's corners read from the host in as few calls as the polygon allows: one read into a
// fixed slot that fits most polygons, and a second into a longer array only when the host reports
// more corners than the slot holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"

namespace vantic {

class PolygonCornerReader {
public:
    // The polygon's corner point indices in polygon order, valid until the next read; empty when the
    // host reports none (an unknown mesh or polygon).
    std::span<const int32_t> read(KorrinItem mesh, int32_t polygon) {
        return ReadOnceOrTwice(slot_, longer_, [&](int32_t *buffer, int32_t capacity, int32_t *count) {
            int32_t flags = 0;
            meshPoly_(mesh, polygon, buffer, capacity, count, &flags, 0);
        });
    }

private:
    fxMeshPoly_fn *const meshPoly_ = FX(fxMeshPoly);
    int32_t slot_[kListFirstRead] = {};
    std::vector<int32_t> longer_;
};

}  // namespace vantic
