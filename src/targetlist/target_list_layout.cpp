// TargetList is read and written by separately built clients: its layout is fixed. With 8-byte
// pointers (LP64 and LLP64 alike) every field sits at the offset below.
#include <cstddef>
#include <cstdint>

#include "vanticAPI.h"

#if UINTPTR_MAX == UINT64_MAX
static_assert(offsetof(TargetList, numtargets) == 0);
static_assert(offsetof(TargetList, targetid) == 8);
static_assert(offsetof(TargetList, targetdata) == 16);
static_assert(offsetof(TargetList, initdata) == 24);
static_assert(offsetof(TargetList, freedata) == 32);
static_assert(offsetof(TargetList, copydata) == 40);
static_assert(offsetof(TargetList, datasize) == 48);
static_assert(offsetof(TargetList, objectid) == 56);
static_assert(offsetof(TargetList, dataid) == 60);
static_assert(offsetof(TargetList, userdata) == 64);
static_assert(sizeof(TargetList) == 72);
#endif
