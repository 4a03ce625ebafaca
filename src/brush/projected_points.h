// The pass the screen-space measures share: every point of a target fetched (current positions) and
// projected to the screen once. Nothing is kept past the call that runs it: clients move points
// between calls, and the host gives no sign that they did.
#pragma once

#include <cstdint>

#include "binding/host_table.h"

namespace vantic {

// Calls visit(i, world, screen) for points 0 .. n - 1 of target in order. A read or conversion the
// host refuses leaves zeros.
template <class Visit>
void ForEachProjectedPoint(KorrinItem target, int32_t n, Visit &&visit) {
    auto *const meshPoint = FX(fxMeshPoint);
    auto *const toScreen = FX(fxWorldScreenConversion);
    for (int32_t i = 0; i < n; ++i) {
        double world[3] = {0.0, 0.0, 0.0}, screen[3] = {0.0, 0.0, 0.0};
        meshPoint(target, i, world, KORRIN_POSITIONS_CURRENT);
        toScreen(world, screen, KORRIN_WORLD_TO_SCREEN);
        visit(i, world, screen);
    }
}

}  // namespace vantic
