// TangentSpace and TangentPoint are read by separately built clients: their layouts are fixed. With
// 8-byte pointers (LP64 and LLP64 alike) every field sits at the offset below.
#include <cstddef>
#include <cstdint>

#include "vanticAPI.h"

#if UINTPTR_MAX == UINT64_MAX
static_assert(offsetof(TangentPoint, numPolys) == 0);
static_assert(offsetof(TangentPoint, corners) == 8);
static_assert(offsetof(TangentPoint, neighbours) == 16);
static_assert(offsetof(TangentPoint, numNeighbours) == 24);
static_assert(offsetof(TangentPoint, position) == 32);
static_assert(offsetof(TangentPoint, normal) == 56);
static_assert(offsetof(TangentPoint, refTri1) == 80);
static_assert(offsetof(TangentPoint, refTri2) == 92);
static_assert(offsetof(TangentPoint, refWeights1) == 104);
static_assert(offsetof(TangentPoint, refWeights2) == 128);
static_assert(offsetof(TangentPoint, matrix) == 152);
static_assert(sizeof(TangentPoint) == 280);
static_assert(offsetof(TangentSpace, objectId) == 0);
static_assert(offsetof(TangentSpace, passes) == 4);
static_assert(offsetof(TangentSpace, numPoints) == 8);
static_assert(offsetof(TangentSpace, points) == 16);
static_assert(sizeof(TangentSpace) == 24);
#endif
