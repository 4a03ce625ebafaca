// The module's own record of the per-target arrays it made for a brush, with their lengths. It lives
// in the brush's attachment, where clients never reach: the Brush record shows plain int32_t* and
// double* arrays, and a client may put arrays of its own in their place or change targetCount. Every
// loop is bounded by this record, and only the arrays recorded here are ever freed.
#pragma once

#include <cstdint>

#include "brush/flat_triangles.h"
#include "korrin_host_services.h"
#include "vanticAPI.h"

namespace vantic {

// What the module made for one target.
struct TargetArrays {
    int32_t *flags;     // selection flags, length entries
    double *weights;    // weights, length entries
    TriangleMesh *mesh; // the triangulation, may be null
    FlatTriangles triangles; // mesh as a flat buffer; polygonStarts null when it could not be made
    int32_t *boxMarks;  // box marks during a box drag, boxLength entries
    int32_t length;
    int32_t boxLength;
};

// What the module made for one brush: the outer arrays it put into the record and one entry per target.
struct BrushArrays {
    int32_t count;          // targets the module added and has not removed
    TargetArrays *targets;  // count entries
    uint32_t *ids;
    int32_t **selection;
    double **weights;
    TriangleMesh **meshes;
    int32_t **boxSelection; // during a box drag
};

// The brush's own record; null for a record the module did not create (or could not attach to).
BrushArrays *OwnArrays(const Brush *brush);

// How many targets a loop may visit: targetCount, bounded by the module's own count.
int32_t ReachableTargets(const Brush *brush, const BrushArrays *own);

// The target's position among the reachable targets, or -1.
int32_t TargetOrder(const Brush *brush, const BrushArrays *own, KorrinItem target);

// How many points of target t a per-point loop may touch: the host's current count, bounded by the
// arrays the module made when the target was added (a mesh may have grown since).
int32_t TargetPointCount(const BrushArrays &own, int32_t t, KorrinItem target);
// The same bound for a host count already read: the smaller of it and the length, never negative.
int32_t BoundedPointCount(int32_t length, int32_t hostCount);

// Zero-filled array of count elements (at least one allocated), or null when the allocation fails.
int32_t *NewPointFlags(int32_t count);
double *NewPointWeights(int32_t count);

// Appends one target's record; false (nothing changed) when out of memory.
bool AppendTargetArrays(BrushArrays &own, const TargetArrays &entry);
// Frees target k's arrays, mesh and flat triangles and drops its record.
void RemoveTargetArrays(BrushArrays &own, int32_t k);
// Frees the box marks of every target and the outer box array.
void FreeOwnBoxMarks(BrushArrays &own);
// Frees everything the module made for the brush.
void FreeBrushArrays(BrushArrays &own);

}  // namespace vantic
