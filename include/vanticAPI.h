/* vanticAPI: the client header.
 *
 * Client plug-ins look the module's functions up in the host's function registry by name (category
 * "General") and call them through the function types declared here. Records created by a function
 * belong to the caller until handed to the matching Delete or Free function. Valid C99 and C++.
 * All layouts are fixed: 32-bit ints, 64-bit words and doubles in the order given, natural alignment. */
#ifndef VANTIC_API_H
#define VANTIC_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Result-type codes the functions are registered with. */
#define VANTIC_RESULT_INT 9     /* a 32-bit signed int */
#define VANTIC_RESULT_DOUBLE 2  /* a double */
#define VANTIC_RESULT_POINTER 14 /* a pointer, or no result */

/* Results of korrinEntry. */
#define VANTIC_ENTRY_LOADED 0
#define VANTIC_ENTRY_OLD_VERSION 1
#define VANTIC_ENTRY_BINDING_FAILED 4
#define VANTIC_ENTRY_WRONG_KIND 5

/* The category every function is registered under. */
#define VANTIC_CATEGORY "General"

/* ======================================================================================== */
/* Geometry: vectors are double[3]; barycentric weights (wa, wb, wc) follow the corners a, b, c. */
/* ======================================================================================== */

/* Ray tests: d need not be unit length, t is in multiples of d (hit = o + t d). A face is hit from the
 * front when n . d < 0; cull != 0 accepts front faces only. Mesh handles are host item ids. */
typedef void vantic_Normalize_t(double *v);
typedef void vantic_ComputeNormal_t(const double *p0, const double *p1, const double *p2, double *normal);
typedef void vantic_ComputeBestFitNormal_t(const double *points, int32_t count, double *normal);
/* 1 inside (edges included), 0 outside (weights still written), -1 degenerate (weights 0). */
typedef int32_t vantic_BarycentricCoordinates_t(const double *p, const double *a, const double *b,
                                                const double *c, const double *n, double *weights);
typedef double *vantic_BarycentricToWorld_t(const double *weights, const double *a, const double *b,
                                            const double *c, double *out);
/* Writes the foot of p on the plane (q, n) to out (which may be p); returns the distance. */
typedef double vantic_PointOnPlane_t(const double *p, const double *n, const double *q, double *out);
typedef int32_t vantic_RayIntersectPlane_t(const double *o, const double *d, const double *n, const double *q,
                                           double *t, double *hit, int32_t cull);
/* Hits only with t > 0; writes *t even on a miss. */
typedef int32_t vantic_RayIntersectTriangle_t(const double *o, const double *d, const double *a,
                                              const double *b, const double *c, double *t, double *weights,
                                              int32_t cull);
/* Hits at any t; writes nothing on a miss; |det| below 1e-6 is a miss. */
typedef int32_t vantic_RayIntersectTriangle2_t(const double *o, const double *d, const double *a,
                                               const double *b, const double *c, double *t, double *weights,
                                               int32_t cull);

/* Mesh queries. The ray casts report the nearest hit in front of o, or 0 with *t = -1.0. */
typedef int32_t vantic_RayIntersectPolygon_t(const double *o, const double *d, uint32_t mesh, int32_t poly,
                                             double *t, int32_t *points, double *weights, int32_t cull);
typedef int32_t vantic_RayIntersectTarget_t(const double *o, const double *d, uint32_t mesh, double *t,
                                            int32_t *poly, int32_t *points, double *weights, int32_t cull);
/* The points sharing a polygon with point, in order of first appearance; the caller frees the array.
 * Null (count untouched) when there are none. */
typedef int32_t *vantic_GetNeighbourPoints_t(uint32_t mesh, int32_t point, int32_t *count);
typedef int32_t vantic_EffectTargetCount_t(uint32_t effect);
/* The point of triangle (a, b, c) nearest to p, its weights, and its distance from p. */
typedef double vantic_PointOnTri_t(const double *p, const double *a, const double *b, const double *c,
                                   double *closest, double *weights);

/* View queries: the current viewport's eye position and unit viewing direction; (0, 0, 0) in views
 * other than the camera and perspective views. */
typedef void vantic_GetViewOrigin_t(double *origin);
typedef void vantic_GetViewDirection_t(double *direction);

/* ======================================================================================== */
/* Triangulation records                                                                     */
/* ======================================================================================== */

/* One triangle: three mesh point indices, wound like its polygon. */
typedef struct Triangle {
    int32_t corners[3];
} Triangle;

/* The triangles of one host polygon; triangles is null when the polygon has fewer than 3 corners. */
typedef struct PolygonTriangles {
    int32_t triangleCount;
    Triangle *triangles;
} PolygonTriangles;

/* The triangles of every polygon of a mesh, in polygon index order. Released with vantic_FreeMesh. */
typedef struct TriangleMesh {
    int32_t polygonCount;
    PolygonTriangles *polygons;
} TriangleMesh;

/* selector 0: the mesh's base positions; 1: its current (deformed) positions. */
/* The triangles of one polygon (count of them in *count); null for an index outside the mesh (count
 * untouched) or a polygon of fewer than 3 corners (count 0). Released with vantic_FreeTriangle. */
typedef Triangle *vantic_TriangulatePolyId_t(uint32_t mesh, int32_t poly, int32_t *count, int32_t selector);
/* Null for a mesh without polygons. */
typedef TriangleMesh *vantic_TriangulateTarget_t(uint32_t mesh, int32_t selector);
typedef void vantic_FreeMesh_t(TriangleMesh *mesh);
/* Null-safe free of a triangle array. */
typedef void vantic_FreeTriangle_t(void *block);

/* ======================================================================================== */
/* Brush                                                                                     */
/* ======================================================================================== */

struct Brush;
/* Undo hook: stores or restores the client's snapshot in a slot of the undo ring. */
typedef void (*BrushUndoHook)(struct Brush *brush, uint64_t userData, int32_t slot);

/* The brush record. Clients read and write its fields directly; created by vantic_CreateBrush,
 * released by vantic_DeleteBrush. Per-target arrays have targetCount entries. */
typedef struct Brush {
    int32_t mode;       /* tool mode 0..8: 0 weights, 1 view-plane drag, 2 surface drag, 3 point, 4 edge,
                           5 edge loop, 6 polygon, 7 selection by weights, 8 box selection */
    int32_t pickMode;   /* 0: ray cast against the triangle meshes; non-zero: screen-space pick */
    int32_t weightMode; /* 0: straight distance; non-zero: connected polygons only */
    double radius;      /* brush radius in viewport pixels */
    double falloff;     /* fraction of the radius over which a weight falls from 1 to 0 */
    int32_t targetCount;
    uint32_t *targetIds;    /* host object ids, in order of addition */
    int32_t **selection;    /* per target, one flag per point */
    double **weights;       /* per target, one weight per point */
    int32_t mouseX, mouseY; /* viewport pixels at the last tool event */
    int32_t mouseButton;    /* 0 select/paint, 1 resize, 2 deselect */
    uint32_t hitTarget;     /* 0: nothing hit */
    int32_t hitPolygon;
    uint32_t hitTriangle[3];
    uint32_t hitEdge[2];
    uint32_t hitPoint;
    double hitBarycentric[3];
    double hitPosition[3];
    double hitDistance;
    double anchor[3];
    double delta[3];
    int32_t **boxSelection;      /* per target, one in-box flag per point, only during a box drag */
    TriangleMesh **targetMeshes; /* per target, may hold null entries */
    uint32_t toolObject;
    int32_t undoIndex;
    BrushUndoHook undoStore;
    BrushUndoHook undoRestore;
    uint64_t undoUserData;
    int32_t undoLevels;
    uint32_t reserved[3];
    uint32_t action;
    uint32_t handle;
    uint32_t armature;
    int32_t viewType;
} Brush;

/* ======================================================================================== */
/* Target lists                                                                              */
/* ======================================================================================== */

/* ======================================================================================== */
/* Tangent spaces                                                                            */
/* ======================================================================================== */

/* ======================================================================================== */
/* RBF interpolation                                                                         */
/* ======================================================================================== */

/* ======================================================================================== */
/* Vector lists                                                                              */
/* ======================================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* VANTIC_API_H */
