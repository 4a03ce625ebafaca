// A target's triangles as one flat index buffer, made once when the target is added, beside the
// TriangleMesh record clients read (which it mirrors and never replaces): the pick walks it without
// chasing a pointer per polygon, and reads only the points it names.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// Triangles per block of blockBounds: few enough that a block's points stay in cache between being
// read and being used.
constexpr int32_t kTriangleBlock = 2048;

// The fourth offset of a unit that holds one triangle.
constexpr uint32_t kNoCorner = 0xffff;

// The fewest units a strip holds: shorter runs are walked unit by unit.
constexpr int32_t kStripLeast = 16;

// The offsets of a unit, and whether it holds two triangles.
inline uint32_t UnitOffset(uint64_t unit, int i) { return static_cast<uint32_t>(unit >> (16 * i)) & 0xffff; }
inline bool UnitIsPair(uint64_t unit) { return UnitOffset(unit, 3) != kNoCorner; }

// A run of at least kStripLeast units of two triangles each, every offset one above the unit
// before's (a row of a grid's quads): units [first, first + count), the first of which is `unit`, so
// that the walk need not load it.
struct NearStrip {
    int32_t first, count;
    uint64_t unit;
};

struct FlatTriangles {
    int32_t *corners;        // 3 per triangle: polygons in index order, each polygon's triangles in order
    int32_t *polygonStarts;  // polygonCount + 1 entries: polygon j owns triangles [starts[j], starts[j + 1])
    int32_t *usedPoints;     // every non-negative corner index once, ascending
    int32_t *blockBounds;    // per block of kTriangleBlock triangles: one past the largest corner index in
                             // it and every block before (0 for none), so points can be read block by block
    // The same corners as offsets from their block's smallest (blockLows), in units of four offsets
    // that the walk reads at once: a triangle (a, b, c) and the next one when that is (c, x, a), as a
    // quad is cut, as (a, b, c, x); any other triangle alone, as (a, b, c, kNoCorner). Units never span
    // two blocks; block b's are [blockUnits[b], blockUnits[b + 1]). Null when some corner is negative
    // or some block spans kNoCorner points or more.
    uint64_t *nearUnits;
    int32_t *blockUnits;
    int32_t *blockLows;
    // Strips among them (see NearStrip); block b's are [blockStrips[b], blockStrips[b + 1]). Null
    // with nearUnits.
    NearStrip *strips;
    int32_t *blockStrips;
    int32_t triangleCount;
    int32_t polygonCount;
    int32_t usedCount;
    int32_t cornerBound;     // one past the largest corner index; 0 without triangles
    int32_t negativeCorners; // 1 when some corner index is negative (a client's mesh may hold anything)
    int32_t windowSpan;      // the most points a block and the blocks after it reach below its bound:
                             // max over blocks of blockBounds[b] - (smallest non-negative corner from b on)
};

// The triangles of mesh (null: none) in the order a walk over its polygons meets them. False, with
// nothing allocated, when out of memory.
bool BuildFlatTriangles(const TriangleMesh *mesh, FlatTriangles &out);
void FreeFlatTriangles(FlatTriangles &flat);

// How many blocks of kTriangleBlock hold the triangles.
int32_t TriangleBlocks(const FlatTriangles &flat);

// The polygon that owns triangle k (0 <= k < triangleCount).
int32_t PolygonOfTriangle(const FlatTriangles &flat, int32_t k);

}  // namespace vantic
