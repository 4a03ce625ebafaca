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

/** @addtogroup codes
 * @{ */

/** @brief The major version of this interface. Contract: a new minor adds functions or codes and
 * keeps every layout; a new major may change them. */
#define VANTIC_VERSION_MAJOR 1
/** @brief The minor version of this interface. */
#define VANTIC_VERSION_MINOR 0
/** @brief The patch version of this interface. */
#define VANTIC_VERSION_PATCH 0

/* Result-type codes the functions are registered with. */
#define VANTIC_RESULT_INT 9     /**< @brief Result type: a 32-bit signed int. */
#define VANTIC_RESULT_DOUBLE 2  /**< @brief Result type: a double. */
#define VANTIC_RESULT_POINTER 14 /**< @brief Result type: a pointer, or no result. */

/* Results of korrinEntry. */
#define VANTIC_ENTRY_LOADED 0 /**< @brief korrinEntry: the module bound itself and registered its functions. */
#define VANTIC_ENTRY_OLD_VERSION 1 /**< @brief korrinEntry: the host's interface version is too old. */
#define VANTIC_ENTRY_BINDING_FAILED 4 /**< @brief korrinEntry: a host service the module needs is missing. */
#define VANTIC_ENTRY_WRONG_KIND 5 /**< @brief korrinEntry: the host is of a kind the module does not serve. */

/** @brief The category every function is registered under. */
#define VANTIC_CATEGORY "General"

/** @} */

/* ======================================================================================== */
/* Geometry: vectors are double[3]; barycentric weights (wa, wb, wc) follow the corners a, b, c. */
/* ======================================================================================== */

/** @addtogroup geometry
 * @{ */

/* Ray tests: d need not be unit length, t is in multiples of d (hit = o + t d). A face is hit from the
 * front when n . d < 0; cull != 0 accepts front faces only. Mesh handles are host item ids. */

/** @brief Scales the vector v to unit length in place. */
typedef void vantic_Normalize_t(double *v);
/** @brief The normal (p1 - p0) x (p2 - p1) of the triangle (p0, p1, p2), scaled to unit length, into normal. */
typedef void vantic_ComputeNormal_t(const double *p0, const double *p1, const double *p2, double *normal);
/** @brief The Newell normal of the closed polygon through count points (3 doubles each), scaled to
 * unit length, into normal. */
typedef void vantic_ComputeBestFitNormal_t(const double *points, int32_t count, double *normal);
/** @brief The barycentric weights of p on the triangle (a, b, c) with normal n, into weights.
 * @return 1 inside (edges included), 0 outside (weights still written), -1 degenerate (weights 0). */
typedef int32_t vantic_BarycentricCoordinates_t(const double *p, const double *a, const double *b,
                                                const double *c, const double *n, double *weights);
/** @brief The point wa a + wb b + wc c, into out.
 * @return out. */
typedef double *vantic_BarycentricToWorld_t(const double *weights, const double *a, const double *b,
                                            const double *c, double *out);
/** @brief Writes the foot of p on the plane (q, n) to out (which may be p).
 * @return the distance of p from the plane. */
typedef double vantic_PointOnPlane_t(const double *p, const double *n, const double *q, double *out);
/** @brief The ray o + t d against the plane through q with normal n: *t and the hit point.
 * @return 1 hit, 0 miss (d parallel to the plane, or a back face with cull != 0). */
typedef int32_t vantic_RayIntersectPlane_t(const double *o, const double *d, const double *n, const double *q,
                                           double *t, double *hit, int32_t cull);
/** @brief The ray o + t d against the triangle (a, b, c): *t and the hit's barycentric weights.
 * Hits only with t > 0; writes *t even on a miss.
 * @return 1 hit, 0 miss. */
typedef int32_t vantic_RayIntersectTriangle_t(const double *o, const double *d, const double *a,
                                              const double *b, const double *c, double *t, double *weights,
                                              int32_t cull);
/** @brief The ray o + t d against the triangle (a, b, c), hitting at any t; writes nothing on a miss.
 * A ray (nearly) parallel to the triangle misses: |det| below 1e-6, and below 1e-6 |d| |(b - a) x (c - a)|
 * when that product is under 1 (small triangles and short rays keep their head-on hits).
 * @return 1 hit, 0 miss. */
typedef int32_t vantic_RayIntersectTriangle2_t(const double *o, const double *d, const double *a,
                                               const double *b, const double *c, double *t, double *weights,
                                               int32_t cull);

/** @} */

/** @addtogroup meshes
 * @{ */

/* Mesh queries. The ray casts report the nearest hit in front of o, or 0 with *t = -1.0. */

/** @brief The ray o + t d against polygon poly of a mesh: *t, the corners of the triangle hit into
 * points (3) and its weights (3).
 * @return 1 hit; 0 miss, with *t = -1.0. */
typedef int32_t vantic_RayIntersectPolygon_t(const double *o, const double *d, uint32_t mesh, int32_t poly,
                                             double *t, int32_t *points, double *weights, int32_t cull);
/** @brief The ray o + t d against every polygon of a mesh, the nearest hit in front of o: *t, the
 * polygon, the corners of the triangle hit (3) and its weights (3).
 * @return 1 hit; 0 miss, with *t = -1.0. */
typedef int32_t vantic_RayIntersectTarget_t(const double *o, const double *d, uint32_t mesh, double *t,
                                            int32_t *poly, int32_t *points, double *weights, int32_t cull);
/** @brief The points sharing a polygon with point, in order of first appearance; the caller frees the array.
 * Null (count untouched) when there are none.
 * @return a malloc'd array of *count point indices, the caller's, released with free. */
typedef int32_t *vantic_GetNeighbourPoints_t(uint32_t mesh, int32_t point, int32_t *count);
/** @brief How many targets the host effect has; 0 for no effect. */
typedef int32_t vantic_EffectTargetCount_t(uint32_t effect);
/** @brief The point of triangle (a, b, c) nearest to p, its weights, and its distance from p.
 * @return the distance from p to closest. */
typedef double vantic_PointOnTri_t(const double *p, const double *a, const double *b, const double *c,
                                   double *closest, double *weights);

/** @} */

/** @addtogroup views
 * @{ */

/** @brief The current viewport's eye position, into origin; (0, 0, 0) in views other than the
 * camera and perspective views. */
typedef void vantic_GetViewOrigin_t(double *origin);
/** @brief The current viewport's unit viewing direction, into direction; (0, 0, 0) in views other
 * than the camera and perspective views. */
typedef void vantic_GetViewDirection_t(double *direction);

/** @} */

/* ======================================================================================== */
/* Triangulation records                                                                     */
/* ======================================================================================== */

/** @addtogroup triangulation
 * @{ */

/** @brief One triangle: three mesh point indices, wound like its polygon. */
typedef struct Triangle {
    int32_t corners[3]; /**< the mesh point indices of the corners */
} Triangle;

/** @brief The triangles of one host polygon; triangles is null when the polygon has fewer than 3 corners. */
typedef struct PolygonTriangles {
    int32_t triangleCount; /**< how many triangles the polygon has */
    Triangle *triangles;   /**< triangleCount triangles, owned by the TriangleMesh */
} PolygonTriangles;

/** @brief The triangles of every polygon of a mesh, in polygon index order. Released with vantic_FreeMesh. */
typedef struct TriangleMesh {
    int32_t polygonCount;       /**< how many polygons the mesh has */
    PolygonTriangles *polygons; /**< polygonCount entries, in polygon index order */
} TriangleMesh;

/** @brief The triangles of one polygon (count of them in *count); null for an index outside the mesh (count
 * untouched) or a polygon of fewer than 3 corners (count 0). Released with vantic_FreeTriangle.
 * selector 0 cuts the mesh's base positions, 1 its current (deformed) positions. */
typedef Triangle *vantic_TriangulatePolyId_t(uint32_t mesh, int32_t poly, int32_t *count, int32_t selector);
/** @brief The triangles of every polygon of a mesh (selector as for vantic_TriangulatePolyId_t).
 * Null for a mesh without polygons.
 * @return a record the caller owns, released with vantic_FreeMesh. */
typedef TriangleMesh *vantic_TriangulateTarget_t(uint32_t mesh, int32_t selector);
/** @brief Releases a TriangleMesh with every array in it. */
typedef void vantic_FreeMesh_t(TriangleMesh *mesh);
/** @brief Null-safe free of a triangle array. */
typedef void vantic_FreeTriangle_t(void *block);

/** @} */

/* ======================================================================================== */
/* Brush                                                                                     */
/* ======================================================================================== */

/** @addtogroup brush
 * @{ */

struct Brush;
/** @brief Undo hook: stores or restores the client's snapshot in a slot of the undo ring. */
typedef void (*BrushUndoHook)(struct Brush *brush, uint64_t userData, int32_t slot);

/* Brush tool modes (Brush.mode); any other value makes the tool do nothing. */
#define VANTIC_MODE_WEIGHTS 0 /**< @brief Brush.mode: paint falloff weights. */
#define VANTIC_MODE_VIEW_PLANE_DRAG 1 /**< @brief Brush.mode: drag the anchor on the view plane. */
#define VANTIC_MODE_SURFACE_DRAG 2 /**< @brief Brush.mode: drag the anchor over the targets' surface. */
#define VANTIC_MODE_SELECT_POINTS 3 /**< @brief Brush.mode: select the points under the mouse. */
#define VANTIC_MODE_SELECT_EDGES 4 /**< @brief Brush.mode: select the edges under the mouse. */
#define VANTIC_MODE_SELECT_EDGE_LOOPS 5 /**< @brief Brush.mode: select the edge loops under the mouse. */
#define VANTIC_MODE_SELECT_POLYGONS 6 /**< @brief Brush.mode: select the polygons under the mouse. */
#define VANTIC_MODE_SELECT_BY_WEIGHTS 7 /**< @brief Brush.mode: select the points the weights reach. */
#define VANTIC_MODE_BOX_SELECTION 8 /**< @brief Brush.mode: select the points inside a dragged box. */

/* Brush.pickMode: the eye ray against the triangle meshes, or (any other value) the screen-space pick. */
#define VANTIC_PICK_RAY_CAST 0 /**< @brief Brush.pickMode: the eye ray against the triangle meshes. */
#define VANTIC_PICK_SCREEN 1 /**< @brief Brush.pickMode (and any value but 0): the screen-space pick. */
/* Brush.weightMode: straight world distance, or (any other value) through connected polygons only. */
#define VANTIC_WEIGHTS_DISTANCE 0 /**< @brief Brush.weightMode: weights by straight world distance. */
#define VANTIC_WEIGHTS_CONNECTED 1 /**< @brief Brush.weightMode (and any value but 0): through connected polygons only. */

/* What the tool does with the host's mouse button codes (Brush.mouseButton). */
#define VANTIC_BUTTON_PAINT 0  /**< @brief Brush.mouseButton: select or paint. */
#define VANTIC_BUTTON_RESIZE 1 /**< @brief Brush.mouseButton: resize the brush on drags; deselect in the box selection. */
#define VANTIC_BUTTON_ERASE 2  /**< @brief Brush.mouseButton: deselect. */

/** @brief The brush record. Clients read and write its fields directly; created by vantic_CreateBrush,
 * released by vantic_DeleteBrush. Per-target arrays have targetCount entries. A client may put arrays
 * of its own in place of the module's (each per-point array with one entry per point of its target)
 * and may change targetCount: the module visits no more targets than it added, touches no more
 * points than it made room for, and frees only the arrays it made; a client's arrays stay the
 * client's to free, box marks included. */
typedef struct Brush {
    int32_t mode;       /**< tool mode 0..8: 0 weights, 1 view-plane drag, 2 surface drag, 3 point, 4 edge,
                           5 edge loop, 6 polygon, 7 selection by weights, 8 box selection */
    int32_t pickMode;   /**< 0: ray cast against the triangle meshes; non-zero: screen-space pick */
    int32_t weightMode; /**< 0: straight distance; non-zero: connected polygons only */
    double radius;      /**< brush radius in viewport pixels */
    double falloff;     /**< fraction of the radius over which a weight falls from 1 to 0 */
    int32_t targetCount;    /**< how many targets the brush has */
    uint32_t *targetIds;    /**< host object ids, in order of addition */
    int32_t **selection;    /**< per target, one flag per point */
    double **weights;       /**< per target, one weight per point */
    int32_t mouseX, mouseY; /**< mouseY: the mouse's y in viewport pixels at the last tool event (y grows downwards) */
    int32_t mouseButton;    /**< 0 select/paint, 1 resize, 2 deselect */
    uint32_t hitTarget;     /**< the target the last pick hit; 0: nothing hit */
    int32_t hitPolygon;     /**< the polygon hit */
    uint32_t hitTriangle[3]; /**< the corners of the triangle hit */
    uint32_t hitEdge[2];    /**< from hitPoint to the heavier of the other two corners (never corner 0 to 2) */
    uint32_t hitPoint;      /**< the corner of hitTriangle with the largest weight */
    double hitBarycentric[3]; /**< the hit's weights on hitTriangle */
    double hitPosition[3];  /**< the hit in world space */
    double hitDistance;     /**< the hit's distance along the eye ray */
    double anchor[3];       /**< where a drag started (box selection: its first corner in pixels) */
    double delta[3];        /**< how far a drag has moved the anchor */
    int32_t **boxSelection;      /**< per target, one in-box flag per point, only during a box drag */
    TriangleMesh **targetMeshes; /**< per target, may hold null entries */
    uint32_t toolObject;    /**< the host object that draws the brush */
    int32_t undoIndex;      /**< the slot of the undo ring in use */
    BrushUndoHook undoStore;   /**< called to store the client's state in a slot before a stroke; may be null */
    BrushUndoHook undoRestore; /**< called to restore a slot when the host undoes a stroke; may be null */
    uint64_t undoUserData;  /**< passed to the undo hooks */
    int32_t undoLevels;     /**< how many slots the undo ring has */
    uint32_t reserved[3];   /**< unused, zero */
    uint32_t action;        /**< the host action that receives the tool's mouse events */
    uint32_t handle;        /**< the handle the action is bound to */
    uint32_t armature;      /**< the armature that holds the handle */
    int32_t viewType;       /**< the view type the brush works in, taken at each stroke */
} Brush;

/* Record and targets. */
/** @brief Makes a brush with its host items and hangs it on its action under key and dataId.
 * @return the brush's action id, or 0 when out of memory (with an error message). Fetch the record
 * with vantic_FetchBrush; release it with vantic_DeleteBrush. */
typedef int32_t vantic_CreateBrush_t(const char *key, int32_t dataId);
/** @brief The brush hanging on action under key and dataId, or null. The record stays the module's
 * until vantic_DeleteBrush. */
typedef Brush *vantic_FetchBrush_t(uint32_t action, const char *key, int32_t dataId);
/** @brief Releases the brush hanging on action, its arrays and its host items, and clears its
 * targets' host selection.
 * @return 1 deleted, 0 when no brush hangs there. */
typedef int32_t vantic_DeleteBrush_t(uint32_t action, const char *key, int32_t dataId);
/** @brief Adds a mesh to the brush's targets (once), with its per-point arrays and triangle mesh.
 * An allocation failure leaves the brush as it was. */
typedef void vantic_BrushAddTarget_t(Brush *brush, uint32_t targetId);
/** @brief Removes a target and releases its arrays; an id that is no target does nothing. */
typedef void vantic_BrushRemoveTarget_t(Brush *brush, uint32_t targetId);
/** @brief The index of a target among the brush's targets.
 * @return the index, or -1 when it is no target. */
typedef int32_t vantic_BrushFindTargetOrder_t(Brush *brush, uint32_t targetId);

/* Selection: the brush's own per-point flags; vantic_BrushUpdateSelection pushes them into the host. */
/** @brief Selects one point of a target; a target not on the brush or a point outside it does nothing. */
typedef void vantic_BrushSelectVertex_t(Brush *brush, uint32_t target, int32_t point);
/** @brief Deselects one point of a target; a target not on the brush or a point outside it does nothing. */
typedef void vantic_BrushDeselectVertex_t(Brush *brush, uint32_t target, int32_t point);
/** @brief Selects both ends of an edge (two point indices); an end outside the mesh does nothing. */
typedef void vantic_BrushSelectEdge_t(Brush *brush, uint32_t target, const int32_t *edge);
/** @brief Deselects both ends of an edge (two point indices); an end outside the mesh does nothing. */
typedef void vantic_BrushDeselectEdge_t(Brush *brush, uint32_t target, const int32_t *edge);
/** @brief Selects every corner of a polygon; an index outside the mesh does nothing. */
typedef void vantic_BrushSelectPolygon_t(Brush *brush, uint32_t target, int32_t polygon);
/** @brief Deselects every corner of a polygon; an index outside the mesh does nothing. */
typedef void vantic_BrushDeselectPolygon_t(Brush *brush, uint32_t target, int32_t polygon);
/** @brief Selects every point of a target. */
typedef void vantic_BrushSelectTarget_t(Brush *brush, uint32_t target);
/** @brief Deselects every point of a target. */
typedef void vantic_BrushDeselectTarget_t(Brush *brush, uint32_t target);
/** @brief Selects every point of every target. */
typedef void vantic_BrushSelectAll_t(Brush *brush);
/** @brief Deselects every point of every target. */
typedef void vantic_BrushDeselectAll_t(Brush *brush);
/** @brief Inverts every flag of every target. */
typedef void vantic_BrushInverSelection_t(Brush *brush);
/** @brief Copies one flag per point of the target from values (the caller's); null values or a
 * target not on the brush does nothing. */
typedef void vantic_BrushSetSelection_t(Brush *brush, uint32_t target, const int32_t *values);
/** @brief A calloc'd copy of the target's flags (release it with free), or null when the target is not on the brush. */
typedef int32_t *vantic_BrushGetSelection_t(Brush *brush, uint32_t target);
/** @brief Pushes the brush's flags into the host's point selection of every target. */
typedef void vantic_BrushUpdateSelection_t(Brush *brush);

/* Picking and weights. */
/** @brief Picks under (Brush.mouseX, Brush.mouseY) by Brush.pickMode and fills the hit fields.
 * @return 1 hit, 0 miss (hitTarget 0). The screen-space pick always answers 1. */
typedef int32_t vantic_BrushRayCast_t(Brush *brush);
/** @brief Marks the points inside the box from the anchor to the mouse in Brush.boxSelection;
 * outside a box drag there is nothing to mark. */
typedef void vantic_BrushDragBoxSelection_t(Brush *brush);
/** @brief Writes a falloff weight for every point of every target around the last hit; nothing
 * when the last pick hit nothing. */
typedef void vantic_BrushCalculateWeights_t(Brush *brush);

/* Undo. */
/** @brief Compares the host's undo key with Brush.undoIndex and, when the host stepped back, steps
 * the ring back and calls Brush.undoRestore with that slot. */
typedef void vantic_BrushCheckUndo_t(Brush *brush);

/** @} */

/* ======================================================================================== */
/* Target lists                                                                              */
/* ======================================================================================== */

/** @addtogroup targetlists
 * @{ */

/** @brief Element callback (init, free): the element lives at block + index * datasize; the result
 * is ignored. */
typedef int32_t (*TargetListElementCallback)(void *block, int32_t index, uint32_t targetId, void *userData);
/** @brief Copy callback: moves the element at sourceBlock + sourceIndex * datasize to
 * destinationBlock + destinationIndex * datasize; the result is ignored. */
typedef int32_t (*TargetListCopyCallback)(void *sourceBlock, int32_t sourceIndex, void *destinationBlock,
                                          int32_t destinationIndex, void *userData);

/** @brief The targets of one host effect in the effect's order, with one block of client data per target.
 * When the list rebuilds its arrays the copy callback moves each surviving element (a shallow copy:
 * the old block is then released with free, without the free callback); the free callback runs once
 * per target that leaves the list. */
typedef struct TargetList {
    int32_t numtargets;  /**< how many targets the list holds */
    uint32_t *targetid;  /**< numtargets host target ids; null until the first target */
    void *targetdata;    /**< numtargets * datasize bytes; null until the first target */
    TargetListElementCallback initdata; /**< called for each element a new target brings; may be null */
    TargetListElementCallback freedata; /**< called for each element whose target leaves; may be null */
    TargetListCopyCallback copydata;    /**< called to move each surviving element; null: nothing is copied */
    uint64_t datasize;   /**< the size of one element, in bytes */
    uint32_t objectid; /**< the effect the list belongs to and hangs on */
    uint32_t dataid;   /**< its data id under the key "VanticAPIpointerDataKey" */
    void *userdata;    /**< passed to every callback */
} TargetList;

/** @brief Makes a target list for an effect and hangs it on the effect under dataId.
 * fill 1: start with the effect's targets (each initialised); any other value: start empty.
 * @return the list, released with vantic_DeleteTargetList; null when out of memory (with a message). */
typedef TargetList *vantic_CreateTargetList_t(uint32_t objectid, uint32_t dataid, int32_t fill,
                                              TargetListElementCallback initdata,
                                              TargetListElementCallback freedata,
                                              TargetListCopyCallback copydata, uint64_t datasize,
                                              void *userdata);
/** @brief Detaches the list, runs the free callback on every element and releases the list.
 * @return 1 released, 0 for a null list. */
typedef int32_t vantic_DeleteTargetList_t(TargetList *list);
/** @brief The list hanging on the effect under dataid; null, with a message, when there is none. */
typedef TargetList *vantic_FetchTargetList_t(uint32_t objectid, uint32_t dataid);
/** @brief Appends a target with a new element.
 * Add, remove and update return 0 when an array could not be allocated; the list is then unchanged. */
typedef int32_t vantic_TargetListAddTarget_t(TargetList *list, uint32_t targetId);
/** @brief Removes a target with its element.
 * @return 1 removed; 0 when it is not in the list, or out of memory (the list unchanged). */
typedef int32_t vantic_TargetListRemoveTarget_t(TargetList *list, uint32_t targetId);
/** @brief Appends newId, then removes oldId; 1 unless the addition failed. */
typedef int32_t vantic_TargetListReplaceTarget_t(TargetList *list, uint32_t newId, uint32_t oldId);
/** @brief Swaps the places of two targets with their elements.
 * @return 1 swapped; 0, with a message, when either is not in the list, both are the same, or out
 * of memory. */
typedef int32_t vantic_TargetListSwitchTargetOrder_t(TargetList *list, uint32_t a, uint32_t b);
/** @brief The index of a target in the list.
 * @return the index, or -1 when it is not in the list. */
typedef int32_t vantic_FindTargetOrder_t(const TargetList *list, uint32_t targetId);
/** @brief Drops targets the effect no longer has, appends its new ones, then takes the effect's order.
 * @return 1 done; 0 when the effect has no targets (the list left as it is, with a message) or out
 * of memory. */
typedef int32_t vantic_TargetListEffectUpdate_t(TargetList *list);

/** @} */

/* ======================================================================================== */
/* Tangent spaces                                                                            */
/* ======================================================================================== */

/** @addtogroup tangents
 * @{ */

/** @brief One point of a tangent space. */
typedef struct TangentPoint {
    int32_t numPolys;     /**< how many polygons use the point */
    uint32_t *corners;    /**< per polygon around the point: the following, then the preceding corner */
    uint32_t *neighbours; /**< the distinct points of corners, in order of first appearance */
    int32_t numNeighbours; /**< how many entries neighbours has */
    double position[3]; /**< current smoothed position */
    double normal[3];   /**< current unit normal */
    uint32_t refTri1[3]; /**< this point and the two corners of the triangle that carries probe 1 */
    uint32_t refTri2[3]; /**< this point and the two corners of the triangle that carries probe 2 */
    double refWeights1[3]; /**< barycentric coordinates of probe 1 on refTri1 */
    double refWeights2[3]; /**< barycentric coordinates of probe 2 on refTri2 */
    double matrix[16]; /**< rows: tangent, T x N, normal, (0, 0, 0, 1) */
} TangentPoint;

/** @brief An orthonormal frame per point of a mesh. passes > 0: smoothing passes, computed frames; 0: positions
 * loaded, frames kept; < 0: frames fetched from the host. */
typedef struct TangentSpace {
    uint32_t objectId;    /**< the mesh the space belongs to and hangs on */
    int32_t passes;       /**< smoothing passes (see above) */
    int32_t numPoints;    /**< how many points the mesh had at creation */
    TangentPoint *points; /**< numPoints points, owned by the record */
} TangentSpace;

/** @brief Creates, evaluates once and attaches under "VanticAPIpointerDataKey" and dataId; null when out of memory.
 * The record is the caller's, released with vantic_DeleteTangentSpace. */
typedef TangentSpace *vantic_CreateTangentSpace_t(uint32_t objectId, uint32_t dataId);
/** @brief The space hanging on the object under dataId, or null. */
typedef TangentSpace *vantic_FetchTangentSpace_t(uint32_t objectId, uint32_t dataId);
/** @brief Detaches what hangs on the object and releases space, or the attached record when space is null. */
typedef void vantic_DeleteTangentSpace_t(uint32_t objectId, uint32_t dataId, TangentSpace *space);
/** @brief Evaluates the space again: normals from the mesh, then frames computed (passes > 0) or
 * fetched from the host (passes < 0). */
typedef void vantic_TangentSpaceCalculate_t(TangentSpace *space);
/** @brief Copies the point's 16 matrix entries, row by row; an index outside the record writes nothing. */
typedef void vantic_TangentGetMatrix_t(const TangentSpace *space, int32_t point, double *matrix);

/** @} */

/* ======================================================================================== */
/* RBF interpolation                                                                         */
/* ======================================================================================== */

/** @addtogroup rbf
 * @{ */

/** @brief A square matrix of separately allocated rows: rows[i][j] is entry (i, j). */
typedef struct RbfMatrix {
    double **rows;       /**< rowCount rows of columnCount entries, owned by the record */
    int32_t rowCount;    /**< how many rows */
    int32_t columnCount; /**< how many columns */
} RbfMatrix;

/** @brief Kernel values A[i][j] set by the client (1.0 until set); the solve finds weights w with
 * sum over i of A[i][r] * w[i] = 1 for every node r, and leaves the LU factors in the matrix. */
typedef struct Rbf {
    int32_t nodeCount; /**< how many nodes */
    RbfMatrix *matrix; /**< the kernel matrix, nodeCount x nodeCount */
    double *weights;   /**< nodeCount weights, written by vantic_RbfSolve */
} Rbf;

/** @brief Makes an RBF of n nodes, released with vantic_DeleteRbf.
 * Null for n < 0, for n above 65536 or when out of memory. */
typedef Rbf *vantic_CreateRbf_t(int32_t n);
/** @brief Releases the record with its matrix and weights; null is ignored. */
typedef void vantic_DeleteRbf_t(Rbf *rbf);
/** @brief Sets kernel value A[i][j]; indices outside the matrix do nothing. */
typedef void vantic_RbfSetDist_t(Rbf *rbf, int32_t i, int32_t j, double value);
/** @brief Solves for the weights.
 * Prints the "Row permutation: " line on success; a singular system leaves the weights as they were. */
typedef void vantic_RbfSolve_t(Rbf *rbf);
/** @brief value * weights[i]; 0.0 for a node index outside the record. */
typedef double vantic_RbfInterpolate_t(const Rbf *rbf, int32_t i, double value);

/** @} */

/* ======================================================================================== */
/* Vector lists                                                                              */
/* ======================================================================================== */

/** @addtogroup vectorlists
 * @{ */

/** @brief Writes count vectors (3 doubles each) into the host's scene-file argument stream, under the
 * keys name_0 (text length) and name_1, name_2, ... (chunks of the text). A null name writes nothing. */
typedef void vantic_SaveVectorList_t(const char *name, const double *vectors, int32_t count, uint64_t stream);
/** @brief A calloc'd array of *count vectors, or null with *count 0 when nothing was stored.
 * A missing chunk reads as empty; 1024 missing chunks in a row end the text.
 * The array is the caller's, released with vantic_DeleteVectorList. */
typedef double *vantic_LoadVectorList_t(const char *name, int32_t *count, uint64_t stream);
/** @brief Releases an array vantic_LoadVectorList answered; null is ignored. */
typedef void vantic_DeleteVectorList_t(void *list);

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* VANTIC_API_H */
