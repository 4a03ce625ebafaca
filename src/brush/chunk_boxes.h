// The box around each run of kBoxChunk consecutive points, made while the points are still in cache
// after a read, so that a later pass that only wants the points near some centre can pass over a run
// whose box lies wholly beyond its reach without reading the run again.
#pragma once

#include <cstddef>

#include "geometry/vector_width.h"

namespace vantic {

constexpr size_t kBoxChunk = 128;

// The least and greatest x, y and z of a run's points. A coordinate that is not a number is left out
// (a run with none has low = +infinity and high = -infinity on that axis).
struct ChunkBox {
    double low[3], high[3];
};

// boxes[c] for points c * kBoxChunk on of the n points (x, y, z each) at xyz; the last box holds what
// is left when n is not a whole number of runs.
void BoxChunks(const double *xyz, size_t n, ChunkBox *boxes);

// The same at a given width, for tests; false (nothing written) when the processor lacks it.
bool BoxChunksWith(VectorWidth width, const double *xyz, size_t n, ChunkBox *boxes);

// Whether |P - centre| computed as fl(sqrt(fl(fl(d0 d0 + d1 d1) + d2 d2))) with d = fl(P - centre) is
// at least `reach` for every point of the box that has no coordinate that is not a number: the same
// formula on the box's gaps gives no more, as each rounding step is monotone. False when unsure
// (a gap or the reach not a number).
bool ChunkIsBeyond(const ChunkBox &box, const double *centre, double reach);

}  // namespace vantic
