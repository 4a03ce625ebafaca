// Memory for the per-call point arrays (positions, plane coordinates) of the pick and the weights,
// handed back when the call ends and lent again to the next one. Only the memory is reused: every
// call writes what it reads, so no position outlives its call. On a large mesh this spares each call
// the page faults of tens of megabytes of fresh memory.
#pragma once

#include <cstddef>

namespace vantic {

// count doubles, not zeroed; null when out of memory.
double *TakeScratch(size_t count);
// Gives back a block TakeScratch made (null is ignored).
void GiveBackScratch(double *block);

// A block held for one scope; null when out of memory.
class ScratchHold {
public:
    explicit ScratchHold(size_t count) : block(TakeScratch(count)) {}
    ~ScratchHold() { GiveBackScratch(block); }
    ScratchHold(const ScratchHold &) = delete;
    ScratchHold &operator=(const ScratchHold &) = delete;

    double *const block;
};

}  // namespace vantic
