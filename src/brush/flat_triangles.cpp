#include "brush/flat_triangles.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace vantic {

namespace {

template <class T>
T *Allocate(size_t count) {
    return static_cast<T *>(std::malloc((count > 0 ? count : 1) * sizeof(T)));
}

// Triangles a walk over the polygon takes: none for a null list or a negative count.
int32_t TakenTriangles(const PolygonTriangles &polygon) {
    return polygon.triangles && polygon.triangleCount > 0 ? polygon.triangleCount : 0;
}

// Whether triangle k + 1 is (c, x, a) after triangle k's (a, b, c).
bool PairsWithNext(const int32_t *corners, int32_t k) {
    const int32_t *t = corners + 3 * static_cast<size_t>(k);
    return t[3] == t[2] && t[5] == t[0];
}

// Whether unit v is a pair whose offsets are each one above pair u's.
bool FollowsInStrip(uint64_t u, uint64_t v) {
    if (!UnitIsPair(u) || !UnitIsPair(v)) return false;
    for (int i = 0; i < 4; ++i)
        if (UnitOffset(v, i) != UnitOffset(u, i) + 1) return false;
    return true;
}

// Finds the strips of every block's units; without memory there are none, and every unit is walked
// alone.
void MakeStrips(FlatTriangles &flat) {
    const int32_t blocks = TriangleBlocks(flat);
    std::vector<NearStrip> strips;
    flat.blockStrips = Allocate<int32_t>(static_cast<size_t>(blocks) + 1);
    if (!flat.blockStrips) return;
    for (int32_t b = 0; b < blocks; ++b) {
        flat.blockStrips[b] = static_cast<int32_t>(strips.size());
        for (int32_t u = flat.blockUnits[b], end = flat.blockUnits[b + 1]; u < end;) {
            int32_t v = u + 1;
            while (v < end && FollowsInStrip(flat.nearUnits[v - 1], flat.nearUnits[v])) ++v;
            if (v - u >= kStripLeast && UnitIsPair(flat.nearUnits[u])) strips.push_back(NearStrip{u, v - u, flat.nearUnits[u]});
            u = v;
        }
    }
    flat.blockStrips[blocks] = static_cast<int32_t>(strips.size());
    flat.strips = Allocate<NearStrip>(strips.size());
    if (!flat.strips) {
        std::free(flat.blockStrips);
        flat.blockStrips = nullptr;
        return;
    }
    std::copy(strips.begin(), strips.end(), flat.strips);
}

// Fills nearUnits, blockUnits and blockLows where every block's corners fit offsets below kNoCorner;
// leaves them null otherwise (and without memory), and the walk reads the full corners.
void MakeNearUnits(FlatTriangles &flat) {
    if (flat.negativeCorners) return;
    const int32_t blocks = TriangleBlocks(flat);
    std::vector<int32_t> lows(static_cast<size_t>(blocks));
    size_t units = 0;
    for (int32_t b = 0; b < blocks; ++b) {
        const int32_t begin = b * kTriangleBlock, end = std::min(flat.triangleCount, (b + 1) * kTriangleBlock);
        const int32_t *first = flat.corners + 3 * static_cast<size_t>(begin);
        const int32_t *last = flat.corners + 3 * static_cast<size_t>(end);
        const auto [low, high] = std::minmax_element(first, last);
        if (*high - *low >= static_cast<int32_t>(kNoCorner)) return;
        lows[static_cast<size_t>(b)] = *low;
        for (int32_t k = begin; k < end; ++units) k += k + 1 < end && PairsWithNext(flat.corners, k) ? 2 : 1;
    }
    flat.nearUnits = Allocate<uint64_t>(units);
    flat.blockUnits = Allocate<int32_t>(static_cast<size_t>(blocks) + 1);
    flat.blockLows = Allocate<int32_t>(static_cast<size_t>(blocks));
    if (!flat.nearUnits || !flat.blockUnits || !flat.blockLows || units > std::numeric_limits<int32_t>::max()) {
        std::free(flat.nearUnits);
        std::free(flat.blockUnits);
        std::free(flat.blockLows);
        flat.nearUnits = nullptr;
        flat.blockUnits = nullptr;
        flat.blockLows = nullptr;
        return;
    }
    int32_t unit = 0;
    for (int32_t b = 0; b < blocks; ++b) {
        const int32_t begin = b * kTriangleBlock, end = std::min(flat.triangleCount, (b + 1) * kTriangleBlock);
        const int32_t low = lows[static_cast<size_t>(b)];
        flat.blockLows[b] = low;
        flat.blockUnits[b] = unit;
        auto offset = [&](int32_t k, int c) { return static_cast<uint64_t>(flat.corners[3 * static_cast<size_t>(k) + c] - low); };
        for (int32_t k = begin; k < end; ++unit) {
            const bool pair = k + 1 < end && PairsWithNext(flat.corners, k);
            const uint64_t fourth = pair ? offset(k + 1, 1) : kNoCorner;
            flat.nearUnits[unit] = offset(k, 0) | offset(k, 1) << 16 | offset(k, 2) << 32 | fourth << 48;
            k += pair ? 2 : 1;
        }
    }
    flat.blockUnits[blocks] = unit;
    MakeStrips(flat);
}

}  // namespace

bool BuildFlatTriangles(const TriangleMesh *mesh, FlatTriangles &out) {
    out = FlatTriangles{};
    const int32_t polygons = mesh && mesh->polygons && mesh->polygonCount > 0 ? mesh->polygonCount : 0;
    int64_t triangles = 0;
    for (int32_t j = 0; j < polygons; ++j) triangles += TakenTriangles(mesh->polygons[j]);
    // Triangle indices are 32-bit; three corners each must fit in a size_t on every platform.
    if (triangles > std::numeric_limits<int32_t>::max() / 3) return false;

    FlatTriangles flat{};
    flat.corners = Allocate<int32_t>(static_cast<size_t>(triangles) * 3);
    flat.polygonStarts = Allocate<int32_t>(static_cast<size_t>(polygons) + 1);
    if (!flat.corners || !flat.polygonStarts) {
        FreeFlatTriangles(flat);
        return false;
    }
    int32_t k = 0, largest = -1;
    for (int32_t j = 0; j < polygons; ++j) {
        flat.polygonStarts[j] = k;
        const PolygonTriangles &polygon = mesh->polygons[j];
        for (int32_t i = 0; i < TakenTriangles(polygon); ++i, ++k)
            for (int c = 0; c < 3; ++c) {
                const int32_t corner = polygon.triangles[i].corners[c];
                flat.corners[3 * k + c] = corner;
                largest = std::max(largest, corner);
                if (corner < 0) flat.negativeCorners = 1;
            }
    }
    flat.polygonStarts[polygons] = k;
    flat.triangleCount = k;
    flat.polygonCount = polygons;
    if (largest == std::numeric_limits<int32_t>::max()) {
        // One past it has no int32_t; no mesh holds that many points, and the record can still be walked.
        FreeFlatTriangles(flat);
        return false;
    }
    flat.cornerBound = largest + 1;

    flat.blockBounds = Allocate<int32_t>(static_cast<size_t>(TriangleBlocks(flat)));
    if (!flat.blockBounds) {
        FreeFlatTriangles(flat);
        return false;
    }
    for (int32_t b = 0, bound = 0; b < TriangleBlocks(flat); ++b) {
        const int32_t last = std::min(k, (b + 1) * kTriangleBlock);
        for (int32_t c = 3 * b * kTriangleBlock; c < 3 * last; ++c) bound = std::max(bound, flat.corners[c] + 1);
        flat.blockBounds[b] = bound;
    }
    for (int32_t b = TriangleBlocks(flat) - 1, lowest = std::numeric_limits<int32_t>::max(); b >= 0; --b) {
        const int32_t last = std::min(k, (b + 1) * kTriangleBlock);
        for (int32_t c = 3 * b * kTriangleBlock; c < 3 * last; ++c)
            if (flat.corners[c] >= 0) lowest = std::min(lowest, flat.corners[c]);
        if (lowest < flat.blockBounds[b]) flat.windowSpan = std::max(flat.windowSpan, flat.blockBounds[b] - lowest);
    }

    MakeNearUnits(flat);

    // The used points: a mark per index up to the largest, then the marked ones in order.
    auto *marks = static_cast<unsigned char *>(std::calloc(static_cast<size_t>(flat.cornerBound) + 1, 1));
    flat.usedPoints = Allocate<int32_t>(static_cast<size_t>(flat.cornerBound));
    if (!marks || !flat.usedPoints) {
        std::free(marks);
        FreeFlatTriangles(flat);
        return false;
    }
    for (int64_t c = 0; c < int64_t{3} * k; ++c)
        if (flat.corners[c] >= 0) marks[flat.corners[c]] = 1;
    for (int32_t p = 0; p < flat.cornerBound; ++p)
        if (marks[p]) flat.usedPoints[flat.usedCount++] = p;
    std::free(marks);
    out = flat;
    return true;
}

void FreeFlatTriangles(FlatTriangles &flat) {
    std::free(flat.corners);
    std::free(flat.polygonStarts);
    std::free(flat.usedPoints);
    std::free(flat.blockBounds);
    std::free(flat.nearUnits);
    std::free(flat.blockUnits);
    std::free(flat.blockLows);
    std::free(flat.strips);
    std::free(flat.blockStrips);
    flat = FlatTriangles{};
}

int32_t TriangleBlocks(const FlatTriangles &flat) {
    return flat.triangleCount / kTriangleBlock + (flat.triangleCount % kTriangleBlock != 0);
}

int32_t PolygonOfTriangle(const FlatTriangles &flat, int32_t k) {
    const int32_t *begin = flat.polygonStarts, *end = begin + flat.polygonCount + 1;
    return static_cast<int32_t>(std::upper_bound(begin, end, k) - begin) - 1;
}

}  // namespace vantic
