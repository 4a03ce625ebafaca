// One object kept from a call to the next, so that the arrays inside it keep their capacity and a
// call on a large polygon spares the page faults of fresh memory. A call that finds it lent out
// (another thread has it) makes its own.
#pragma once

#include <atomic>
#include <memory>
#include <utility>

#include "geometry/spin_lock.h"

namespace vantic {

template <class T>
class ReusedObject {
public:
    ReusedObject() = default;
    ~ReusedObject() { delete kept_; }
    ReusedObject(const ReusedObject &) = delete;
    ReusedObject &operator=(const ReusedObject &) = delete;

    // Never null; throws std::bad_alloc when a new one cannot be made.
    std::unique_ptr<T> take() {
        {
            const SpinLockHold hold(locked_);
            if (kept_) return std::unique_ptr<T>(std::exchange(kept_, nullptr));
        }
        return std::make_unique<T>();
    }

    // Keeps the object for the next call, unless one is kept already.
    void giveBack(std::unique_ptr<T> object) {
        const SpinLockHold hold(locked_);
        if (!kept_) kept_ = object.release();
    }

private:
    std::atomic_flag locked_ = ATOMIC_FLAG_INIT;
    T *kept_ = nullptr;
};

}  // namespace vantic
