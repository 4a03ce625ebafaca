/* vanticAPI: the client header.
 *
 * Client plug-ins look the module's functions up in the host's function registry by name (category
 * "General") and call them through the function types declared here. Records created by a function
 * belong to the caller until handed to the matching Delete or Free function. Valid C99 and C++.
 * All layouts are fixed: 32-bit ints, 64-bit words and doubles in the order given, natural alignment.
 *
 * Null pointers: a function given a null record, array, text or out-pointer does nothing, writes
 * through none of its out-pointers, and returns its failure value: 0 for an int result,
 * -1 from vantic_BarycentricCoordinates, vantic_BrushFindTargetOrder and vantic_FindTargetOrder,
 * 0.0 for a double result, null for a pointer result. vantic_LoadVectorList still sets a non-null
 * *count to 0, and vantic_SaveVectorList stores a null array as an empty list. Where a null pointer has a meaning of its own (the free and delete functions, the
 * record argument of vantic_DeleteTangentSpace, the target list's callbacks and user data), that
 * meaning holds. */
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

/* Brush tool modes (Brush.mode); any other value makes the tool do nothing. */
#define VANTIC_MODE_WEIGHTS 0
#define VANTIC_MODE_VIEW_PLANE_DRAG 1
#define VANTIC_MODE_SURFACE_DRAG 2
#define VANTIC_MODE_SELECT_POINTS 3
#define VANTIC_MODE_SELECT_EDGES 4
#define VANTIC_MODE_SELECT_EDGE_LOOPS 5
#define VANTIC_MODE_SELECT_POLYGONS 6
#define VANTIC_MODE_SELECT_BY_WEIGHTS 7
#define VANTIC_MODE_BOX_SELECTION 8

/* Brush.pickMode: the eye ray against the triangle meshes, or (any other value) the screen-space pick. */
#define VANTIC_PICK_RAY_CAST 0
#define VANTIC_PICK_SCREEN 1
/* Brush.weightMode: straight world distance, or (any other value) through connected polygons only. */
#define VANTIC_WEIGHTS_DISTANCE 0
#define VANTIC_WEIGHTS_CONNECTED 1

/* What the tool does with the host's mouse button codes (Brush.mouseButton). */
#define VANTIC_BUTTON_PAINT 0  /* select or paint */
#define VANTIC_BUTTON_RESIZE 1 /* resize the brush on drags; deselect in the box selection */
#define VANTIC_BUTTON_ERASE 2  /* deselect */

/* The brush record. Clients read and write its fields directly; created by vantic_CreateBrush,
 * released by vantic_DeleteBrush. Per-target arrays have targetCount entries. A client may put arrays
 * of its own in place of the module's (each per-point array with one entry per point of its target)
 * and may change targetCount: the module visits no more targets than it added, touches no more
 * points than it made room for, and frees only the arrays it made; a client's arrays stay the
 * client's to free, box marks included. */
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

/* Record and targets. */
typedef int32_t vantic_CreateBrush_t(const char *key, int32_t dataId); /* the brush's action id, or 0 */
typedef Brush *vantic_FetchBrush_t(uint32_t action, const char *key, int32_t dataId);
typedef int32_t vantic_DeleteBrush_t(uint32_t action, const char *key, int32_t dataId); /* 1 deleted, 0 none */
typedef void vantic_BrushAddTarget_t(Brush *brush, uint32_t targetId);
typedef void vantic_BrushRemoveTarget_t(Brush *brush, uint32_t targetId);
typedef int32_t vantic_BrushFindTargetOrder_t(Brush *brush, uint32_t targetId); /* index, or -1 */

/* Selection: the brush's own per-point flags; vantic_BrushUpdateSelection pushes them into the host. */
typedef void vantic_BrushSelectVertex_t(Brush *brush, uint32_t target, int32_t point);
typedef void vantic_BrushDeselectVertex_t(Brush *brush, uint32_t target, int32_t point);
typedef void vantic_BrushSelectEdge_t(Brush *brush, uint32_t target, const int32_t *edge);
typedef void vantic_BrushDeselectEdge_t(Brush *brush, uint32_t target, const int32_t *edge);
typedef void vantic_BrushSelectPolygon_t(Brush *brush, uint32_t target, int32_t polygon);
typedef void vantic_BrushDeselectPolygon_t(Brush *brush, uint32_t target, int32_t polygon);
typedef void vantic_BrushSelectTarget_t(Brush *brush, uint32_t target);
typedef void vantic_BrushDeselectTarget_t(Brush *brush, uint32_t target);
typedef void vantic_BrushSelectAll_t(Brush *brush);
typedef void vantic_BrushDeselectAll_t(Brush *brush);
typedef void vantic_BrushInverSelection_t(Brush *brush);
typedef void vantic_BrushSetSelection_t(Brush *brush, uint32_t target, const int32_t *values);
/* A calloc'd copy of the target's flags (release it with free), or null when the target is not on the brush. */
typedef int32_t *vantic_BrushGetSelection_t(Brush *brush, uint32_t target);
typedef void vantic_BrushUpdateSelection_t(Brush *brush);

/* Picking and weights. */
typedef int32_t vantic_BrushRayCast_t(Brush *brush); /* 1 hit, 0 miss */
typedef void vantic_BrushDragBoxSelection_t(Brush *brush);
typedef void vantic_BrushCalculateWeights_t(Brush *brush);

/* Undo. */
typedef void vantic_BrushCheckUndo_t(Brush *brush);

/* ======================================================================================== */
/* Target lists                                                                              */
/* ======================================================================================== */

/* Element callbacks. The list hands over the base of a whole data block and an element index; the
 * element lives at block + index * datasize. Results are ignored. */
typedef int32_t (*TargetListElementCallback)(void *block, int32_t index, uint32_t targetId, void *userData);
typedef int32_t (*TargetListCopyCallback)(void *sourceBlock, int32_t sourceIndex, void *destinationBlock,
                                          int32_t destinationIndex, void *userData);

/* The targets of one host effect in the effect's order, with one block of client data per target.
 * When the list rebuilds its arrays the copy callback moves each surviving element (a shallow copy:
 * the old block is then released with free, without the free callback); the free callback runs once
 * per target that leaves the list. */
typedef struct TargetList {
    int32_t numtargets;
    uint32_t *targetid;  /* numtargets host target ids; null until the first target */
    void *targetdata;    /* numtargets * datasize bytes; null until the first target */
    TargetListElementCallback initdata;
    TargetListElementCallback freedata;
    TargetListCopyCallback copydata;
    uint64_t datasize;
    uint32_t objectid; /* the effect the list belongs to and hangs on */
    uint32_t dataid;   /* its data id under the key "VanticAPIpointerDataKey" */
    void *userdata;    /* passed to every callback */
} TargetList;

/* fill 1: start with the effect's targets (each initialised); any other value: start empty. */
typedef TargetList *vantic_CreateTargetList_t(uint32_t objectid, uint32_t dataid, int32_t fill,
                                              TargetListElementCallback initdata,
                                              TargetListElementCallback freedata,
                                              TargetListCopyCallback copydata, uint64_t datasize,
                                              void *userdata);
typedef int32_t vantic_DeleteTargetList_t(TargetList *list);
typedef TargetList *vantic_FetchTargetList_t(uint32_t objectid, uint32_t dataid);
/* Add, remove and update return 0 when an array could not be allocated; the list is then unchanged. */
typedef int32_t vantic_TargetListAddTarget_t(TargetList *list, uint32_t targetId);
typedef int32_t vantic_TargetListRemoveTarget_t(TargetList *list, uint32_t targetId); /* 0: not in the list */
/* Appends newId, then removes oldId; 1 unless the addition failed. */
typedef int32_t vantic_TargetListReplaceTarget_t(TargetList *list, uint32_t newId, uint32_t oldId);
typedef int32_t vantic_TargetListSwitchTargetOrder_t(TargetList *list, uint32_t a, uint32_t b);
typedef int32_t vantic_FindTargetOrder_t(const TargetList *list, uint32_t targetId); /* index, or -1 */
/* Drops targets the effect no longer has, appends its new ones, then takes the effect's order. */
typedef int32_t vantic_TargetListEffectUpdate_t(TargetList *list);

/* ======================================================================================== */
/* Tangent spaces                                                                            */
/* ======================================================================================== */

/* One point of a tangent space. */
typedef struct TangentPoint {
    int32_t numPolys;
    uint32_t *corners;    /* per polygon around the point: the following, then the preceding corner */
    uint32_t *neighbours; /* the distinct points of corners, in order of first appearance */
    int32_t numNeighbours;
    double position[3]; /* current smoothed position */
    double normal[3];   /* current unit normal */
    uint32_t refTri1[3]; /* this point and the two corners of the triangle that carries probe 1 */
    uint32_t refTri2[3];
    double refWeights1[3]; /* barycentric coordinates of probe 1 on refTri1 */
    double refWeights2[3];
    double matrix[16]; /* rows: tangent, T x N, normal, (0, 0, 0, 1) */
} TangentPoint;

/* An orthonormal frame per point of a mesh. passes > 0: smoothing passes, computed frames; 0: positions
 * loaded, frames kept; < 0: frames fetched from the host. */
typedef struct TangentSpace {
    uint32_t objectId;
    int32_t passes;
    int32_t numPoints;
    TangentPoint *points;
} TangentSpace;

/* Creates, evaluates once and attaches under "VanticAPIpointerDataKey" and dataId; null when out of memory. */
typedef TangentSpace *vantic_CreateTangentSpace_t(uint32_t objectId, uint32_t dataId);
typedef TangentSpace *vantic_FetchTangentSpace_t(uint32_t objectId, uint32_t dataId);
/* Detaches what hangs on the object and releases space, or the attached record when space is null. */
typedef void vantic_DeleteTangentSpace_t(uint32_t objectId, uint32_t dataId, TangentSpace *space);
typedef void vantic_TangentSpaceCalculate_t(TangentSpace *space);
/* Copies the point's 16 matrix entries, row by row; an index outside the record writes nothing. */
typedef void vantic_TangentGetMatrix_t(const TangentSpace *space, int32_t point, double *matrix);

/* ======================================================================================== */
/* RBF interpolation                                                                         */
/* ======================================================================================== */

/* A square matrix of separately allocated rows: rows[i][j] is entry (i, j). */
typedef struct RbfMatrix {
    double **rows;
    int32_t rowCount;
    int32_t columnCount;
} RbfMatrix;

/* Kernel values A[i][j] set by the client (1.0 until set); the solve finds weights w with
 * sum over i of A[i][r] * w[i] = 1 for every node r, and leaves the LU factors in the matrix. */
typedef struct Rbf {
    int32_t nodeCount;
    RbfMatrix *matrix;
    double *weights;
} Rbf;

/* Null for n < 0, for n above 65536 or when out of memory. */
typedef Rbf *vantic_CreateRbf_t(int32_t n);
typedef void vantic_DeleteRbf_t(Rbf *rbf);
typedef void vantic_RbfSetDist_t(Rbf *rbf, int32_t i, int32_t j, double value);
/* Prints the "Row permutation: " line on success; a singular system leaves the weights as they were. */
typedef void vantic_RbfSolve_t(Rbf *rbf);
/* value * weights[i]; 0.0 for a node index outside the record. */
typedef double vantic_RbfInterpolate_t(const Rbf *rbf, int32_t i, double value);

/* ======================================================================================== */
/* Vector lists                                                                              */
/* ======================================================================================== */

/* Lists of count vectors (3 doubles each) in the host's scene-file argument stream, under the keys
 * name_0 (text length) and name_1, name_2, ... (chunks of the text). */
typedef void vantic_SaveVectorList_t(const char *name, const double *vectors, int32_t count, uint64_t stream);
/* A calloc'd array of *count vectors, or null with *count 0 when nothing was stored. A missing chunk
 * reads as empty; 1024 missing chunks in a row end the text. */
typedef double *vantic_LoadVectorList_t(const char *name, int32_t *count, uint64_t stream);
typedef void vantic_DeleteVectorList_t(void *list);

#ifdef __cplusplus
}
#endif

#endif /* VANTIC_API_H */
