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
