// Re-evaluating a tangent space from the host's current point positions.
#pragma once

#include "vanticAPI.h"

namespace vantic {

// Loads and smooths the positions, recomputes the normals and the frames (by the passes field).
// False, with the record untouched, when its scratch array cannot be had.
bool EvaluateTangentSpace(TangentSpace *space);

}  // namespace vantic
