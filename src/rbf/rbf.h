// Radial basis interpolation: the client fills a kernel matrix, the module solves for one weight per
// node with an LU decomposition, and the client sums value * weight over the nodes.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

Rbf *vantic_CreateRbf(int32_t n);
void vantic_DeleteRbf(Rbf *rbf);
void vantic_RbfSetDist(Rbf *rbf, int32_t i, int32_t j, double value);
void vantic_RbfSolve(Rbf *rbf);
double vantic_RbfInterpolate(const Rbf *rbf, int32_t i, double value);
