#include "brush/point_arrays.h"

#include <cstdlib>

namespace vantic {

namespace {

// 16 bytes keep the doubles that follow aligned.
struct alignas(16) Header {
    int32_t length;
};
static_assert(sizeof(Header) == 16);

void *NewArray(int32_t count, size_t elementSize) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    auto *header = static_cast<Header *>(std::calloc(1, sizeof(Header) + n * elementSize));
    if (!header) return nullptr;
    header->length = static_cast<int32_t>(n);
    return header + 1;
}

}  // namespace

int32_t *NewPointFlags(int32_t count) { return static_cast<int32_t *>(NewArray(count, sizeof(int32_t))); }

double *NewPointWeights(int32_t count) { return static_cast<double *>(NewArray(count, sizeof(double))); }

int32_t PointArrayLength(const void *array) {
    return array ? (static_cast<const Header *>(array) - 1)->length : 0;
}

void FreePointArray(void *array) {
    if (array) std::free(static_cast<Header *>(array) - 1);
}

}  // namespace vantic
