#include "brush/scratch_blocks.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "geometry/spin_lock.h"

namespace vantic {

namespace {

// A block's capacity sits in the slot before the memory handed out.
constexpr size_t kHeader = 1;

size_t CapacityOf(double *block) {
    size_t capacity;
    static_assert(sizeof capacity <= sizeof(double));
    std::memcpy(&capacity, block - kHeader, sizeof capacity);
    return capacity;
}

// The blocks given back, at most kKept; freed when the module is unloaded.
class Pool {
public:
    ~Pool() {
        for (int i = 0; i < count_; ++i) std::free(blocks_[i] - kHeader);
    }

    // The smallest block that holds count, so that the arrays of one call each find theirs.
    double *take(size_t count) {
        int best = -1;
        for (int i = 0; i < count_; ++i)
            if (CapacityOf(blocks_[i]) >= count && (best < 0 || CapacityOf(blocks_[i]) < CapacityOf(blocks_[best])))
                best = i;
        if (best < 0) return nullptr;
        double *block = blocks_[best];
        blocks_[best] = blocks_[--count_];
        return block;
    }

    void keep(double *block) {
        if (count_ == kKept) {
            // Drop the smallest: large meshes are where the memory matters.
            int smallest = 0;
            for (int i = 1; i < count_; ++i)
                if (CapacityOf(blocks_[i]) < CapacityOf(blocks_[smallest])) smallest = i;
            if (CapacityOf(blocks_[smallest]) >= CapacityOf(block)) return std::free(block - kHeader);
            std::free(blocks_[smallest] - kHeader);
            blocks_[smallest] = block;
            return;
        }
        blocks_[count_++] = block;
    }

private:
    static constexpr int kKept = 4;
    double *blocks_[kKept] = {};
    int count_ = 0;
};

Pool &ThePool() {
    static Pool pool;
    return pool;
}

// Clients may pick on different brushes from different threads: the pool is shared, so it is locked.
std::atomic_flag poolLocked = ATOMIC_FLAG_INIT;

}  // namespace

double *TakeScratch(size_t count) {
    {
        const SpinLockHold hold(poolLocked);
        if (double *block = ThePool().take(count)) return block;
    }
    if (count > (static_cast<size_t>(-1) / sizeof(double)) - kHeader) return nullptr;
    auto *memory = static_cast<double *>(std::malloc((count + kHeader) * sizeof(double)));
    if (!memory) return nullptr;
    std::memcpy(memory, &count, sizeof count);
    return memory + kHeader;
}

void GiveBackScratch(double *block) {
    if (!block) return;
    const SpinLockHold hold(poolLocked);
    ThePool().keep(block);
}

}  // namespace vantic
