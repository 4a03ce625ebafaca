// Rbf and RbfMatrix are read by separately built clients: their layouts are fixed. With 8-byte
// pointers (LP64 and LLP64 alike) every field sits at the offset below.
#include <cstddef>
#include <cstdint>

#include "vanticAPI.h"

#if UINTPTR_MAX == UINT64_MAX
static_assert(offsetof(RbfMatrix, rows) == 0);
static_assert(offsetof(RbfMatrix, rowCount) == 8);
static_assert(offsetof(RbfMatrix, columnCount) == 12);
static_assert(sizeof(RbfMatrix) == 16);
static_assert(offsetof(Rbf, nodeCount) == 0);
static_assert(offsetof(Rbf, matrix) == 8);
static_assert(offsetof(Rbf, weights) == 16);
static_assert(sizeof(Rbf) == 24);
#endif
