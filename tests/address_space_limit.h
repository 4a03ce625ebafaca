// Leaves a process (a death test's child) room for only so many more bytes of address space, so
// that a large allocation fails there as it would on a full machine.
#pragma once

#if !defined(_WIN32)
#include <sys/resource.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

inline void LimitAddressSpace(size_t bytes) {
    size_t pages = 0;
    FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm || std::fscanf(statm, "%zu", &pages) != 1) std::_Exit(2);
    std::fclose(statm);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = pages * 4096 + bytes;
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
}
#endif

// For a test that needs `new` to throw when the address space runs out: AddressSanitizer reports
// the failed allocation and stops instead, so there the test skips itself. Use inside the test body.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_WHERE_NEW_CANNOT_THROW() GTEST_SKIP() << "AddressSanitizer reports a failed new instead of throwing"
#else
#define SKIP_WHERE_NEW_CANNOT_THROW() static_cast<void>(0)
#endif
