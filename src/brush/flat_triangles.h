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

struct FlatTriangles {
    int32_t *corners;        // 3 per triangle: polygons in index order, each polygon's triangles in order
    int32_t *polygonStarts;  // polygonCount + 1 entries: polygon j owns triangles [starts[j], starts[j + 1])
    int32_t *usedPoints;     // every non-negative corner index once, ascending
    int32_t *blockBounds;    // per block of kTriangleBlock triangles: one past the largest corner index in
                             // it and every block before (0 for none), so points can be read block by block
    // The same corners as offsets from their block's smallest (blockLows), half the bytes to walk; null
    // when some corner is negative or some block spans 65,536 points or more. One entry more than the
    // corners, so that a triangle's three can be read as four.
    uint16_t *nearCorners;
    int32_t *blockLows;
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
