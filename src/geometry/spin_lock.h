// A lock held for a few instructions around memory kept between calls, which clients may make from
// several threads. A spin lock: the Windows build has no std::mutex.
#pragma once

#include <atomic>

namespace vantic {

class SpinLockHold {
public:
    explicit SpinLockHold(std::atomic_flag &flag) : flag_(flag) {
        while (flag_.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~SpinLockHold() { flag_.clear(std::memory_order_release); }
    SpinLockHold(const SpinLockHold &) = delete;
    SpinLockHold &operator=(const SpinLockHold &) = delete;

private:
    std::atomic_flag &flag_;
};

}  // namespace vantic
