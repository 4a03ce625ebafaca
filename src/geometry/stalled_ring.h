// The ring an ear cutter left uncut, finished by plain ear clipping and splitting.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// The n corners (positions, in order) with their plane's unit normal, and the count triangles the ear
// cutter wrote to out, each with the corner it cut off in the middle. The ring of corners it left
// (one of each run of corners at one position) is cut further with exact orientation tests, an ear
// being blocked only by a reflex corner inside it or on its sides; where that stalls, the ring is
// split along a diagonal inside it and both parts are cut on. Returns the new count, at most n - 2.
int32_t FinishStalledRing(int32_t n, const double *points, const double *normal, Triangle *out, int32_t count);

}  // namespace vantic
