#include "brush/chunk_boxes.h"

#include <cmath>

namespace vantic {

namespace {

using BoxFunction = void (*)(const double *, size_t, ChunkBox *);

// 24 lanes: a whole number of points (8) and of wide registers at every width, so lane l always holds
// axis l % 3 and the loop needs no shuffles. A lane keeps its value when the new one is not a number.
constexpr size_t kLanes = 24;

template <size_t Half>
[[gnu::always_inline]] inline void FoldHalves(double *low, double *high) {
    for (size_t l = 0; l < Half; ++l) {
        low[l] = low[l + Half] < low[l] ? low[l + Half] : low[l];
        high[l] = high[l + Half] > high[l] ? high[l + Half] : high[l];
    }
}

[[gnu::always_inline]] inline void BoxWholeRun(const double *p, ChunkBox &box) {
    double low[kLanes], high[kLanes];
    for (size_t l = 0; l < kLanes; ++l) {
        low[l] = HUGE_VAL;
        high[l] = -HUGE_VAL;
    }
    for (size_t j = 0; j < 3 * kBoxChunk; j += kLanes)
        for (size_t l = 0; l < kLanes; ++l) {
            const double v = p[j + l];
            low[l] = v < low[l] ? v : low[l];
            high[l] = v > high[l] ? v : high[l];
        }
    // Folded in halves, 24 lanes to 12, 6 and 3: each half is a multiple of 3 long, so folded lanes
    // share their axis. Fixed lengths, so that the lanes stay in registers.
    FoldHalves<12>(low, high);
    FoldHalves<6>(low, high);
    FoldHalves<3>(low, high);
    for (int c = 0; c < 3; ++c) {
        box.low[c] = low[c];
        box.high[c] = high[c];
    }
}

[[gnu::always_inline]] inline void Run(const double *xyz, size_t n, ChunkBox *boxes) {
    const size_t whole = n / kBoxChunk;
    for (size_t c = 0; c < whole; ++c) BoxWholeRun(xyz + 3 * kBoxChunk * c, boxes[c]);
    if (whole * kBoxChunk == n) return;
    ChunkBox &last = boxes[whole];
    for (int c = 0; c < 3; ++c) {
        last.low[c] = HUGE_VAL;
        last.high[c] = -HUGE_VAL;
    }
    for (size_t i = whole * kBoxChunk; i < n; ++i)
        for (int c = 0; c < 3; ++c) {
            const double v = xyz[3 * i + c];
            last.low[c] = v < last.low[c] ? v : last.low[c];
            last.high[c] = v > last.high[c] ? v : last.high[c];
        }
}

void RunBaseline(const double *xyz, size_t n, ChunkBox *boxes) { Run(xyz, n, boxes); }

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 void RunAvx2(const double *xyz, size_t n, ChunkBox *boxes) { Run(xyz, n, boxes); }

VANTIC_AT_AVX512 void RunAvx512(const double *xyz, size_t n, ChunkBox *boxes) { Run(xyz, n, boxes); }

constexpr WidthKernels<BoxFunction> kKernels{&RunBaseline, &RunAvx2, &RunAvx512};
#else
constexpr WidthKernels<BoxFunction> kKernels{&RunBaseline, nullptr, nullptr};
#endif

}  // namespace

void BoxChunks(const double *xyz, size_t n, ChunkBox *boxes) { kKernels.widest()(xyz, n, boxes); }

bool BoxChunksWith(VectorWidth width, const double *xyz, size_t n, ChunkBox *boxes) {
    if (!Runs(width)) return false;
    kKernels.at(width)(xyz, n, boxes);
    return true;
}

bool ChunkIsBeyond(const ChunkBox &box, const double *centre, double reach) {
    // Per axis, fl(low - C) > 0 means every point lies above C, and then fl(P - C) >= fl(low - C);
    // below alike. Otherwise the gap counts as 0.
    double gap[3];
    for (int c = 0; c < 3; ++c) {
        const double below = box.low[c] - centre[c], above = centre[c] - box.high[c];
        gap[c] = below > 0.0 ? below : (above > 0.0 ? above : 0.0);
    }
    return std::sqrt(gap[0] * gap[0] + gap[1] * gap[1] + gap[2] * gap[2]) >= reach;
}

}  // namespace vantic
