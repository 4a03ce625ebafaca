// Per-target point arrays (selection flags, weights, box marks) remember their own length in a hidden
// header in front of the data, so every per-point loop can be bounded by the array itself: the host
// mesh may have grown since the array was made. Clients see plain int32_t* / double* arrays.
#pragma once

#include <cstdint>

namespace vantic {

// Zero-filled array of count elements, or null when the allocation fails.
int32_t *NewPointFlags(int32_t count);
double *NewPointWeights(int32_t count);
// Length the array was made with; 0 for null.
int32_t PointArrayLength(const void *array);
// Releases an array made above; null is fine.
void FreePointArray(void *array);

// The number of entries a per-point loop may touch: the host's current count, bounded by the array.
inline int32_t PointLoopCount(const void *array, int32_t hostCount) {
    const int32_t length = PointArrayLength(array);
    return hostCount < length ? (hostCount < 0 ? 0 : hostCount) : length;
}

}  // namespace vantic
