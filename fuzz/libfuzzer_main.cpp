// The libFuzzer entry of one target, chosen at build time.
#include <cstdio>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // The RBF solve prints its row permutation on every success: keep the fuzzer's output readable.
    if (!std::freopen("/dev/null", "w", stdout)) return 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return vfuzz::VANTIC_FUZZ_ENTRY(data, size); }
