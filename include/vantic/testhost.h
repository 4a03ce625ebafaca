/** @file vantic/testhost.h
 * @brief A headless host for testing client plug-ins against the real module.
 *
 * A test host loads the built module (`libvanticAPI.so`, `vanticAPI.dll`) with the platform loader
 * and enters it exactly as the host application does, so a client's code runs against the same
 * registered functions it meets in production. It holds a small scene (meshes, named views, a
 * camera), delivers mouse events to a brush's action, and lets a test read what the module did: the
 * host's messages, its point selection and the data attached to items.
 *
 * Rules that hold for every function here:
 * - One test host at a time: services act on the newest test host still alive. Create it, use it,
 *   destroy it, all on one thread.
 * - Item ids (meshes, cameras, actions) are the host's 32-bit ids, the same the module's functions
 *   take; 0 is none.
 * - Functions that make something answer 0 or null on failure and leave a line saying why for
 *   vtesthost_LastError().
 * - Valid C99 and C++; the header includes only `<stdint.h>`.
 */
#ifndef VANTIC_TESTHOST_H
#define VANTIC_TESTHOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/** @defgroup testhost Test host
 * @brief A headless host that loads the module, for client authors' tests.
 * @{ */

/** @brief A test host with the module loaded and entered. Opaque; made by vtesthost_Create(). */
typedef struct VanticTestHost VanticTestHost;

/** @brief A registered function as the registry hands it out: cast it to its function type
 * (`vantic_<Name>_t *`) before calling it. */
typedef void (*VanticTestFunction)(void);

/** @brief One entry of the host's message log. The texts belong to the host and stay valid until
 * the host is destroyed. */
typedef struct VanticTestMessage {
    uint32_t item;      /**< the item the message is about; 0 for none */
    int32_t code;       /**< the sender's code, e.g. 256 for an error of a module routine */
    const char *source; /**< the sender: "vanticAPI", "Brush.c", ... or "host" for the host's own */
    const char *text;   /**< the message itself */
    const char *kind;   /**< the message kind the sender chose, e.g. "Error"; "Host" for the host's own */
} VanticTestMessage;

/** @name Lifetime
 * @{ */

/** @brief Starts a host and loads the module at @p modulePath.
 *
 * The module is entered with the host's interface version and kind; whatever korrinEntry answers is
 * kept for vtesthost_EntryResult(). Release the host with vtesthost_Destroy().
 * @param modulePath the module's file; the CMake package names it as `$<TARGET_FILE:vantic::module>`
 *        and `${VANTIC_MODULE_PATH}`.
 * @return the host, or null when the file cannot be loaded or lacks the module's exports (see
 *         vtesthost_LastError()). */
VanticTestHost *vtesthost_Create(const char *modulePath);

/** @brief What korrinEntry answered at creation: `VANTIC_ENTRY_LOADED` (0) when the module bound
 * itself and registered its functions. */
int32_t vtesthost_EntryResult(const VanticTestHost *host);

/** @brief Unloads the module and releases the host with its scene. Null is ignored. Records the
 * client made (brushes, lists) must be deleted before, while their functions are still loaded. */
void vtesthost_Destroy(VanticTestHost *host);

/** @brief Why the last failing call failed, as one line; "" when nothing failed yet. Owned by the
 * library, valid until the next call that fails. */
const char *vtesthost_LastError(void);

/** @} */

/** @name The registry
 * @{ */

/** @brief The function the module registered under @p name, or null when there is none. */
VanticTestFunction vtesthost_Function(const VanticTestHost *host, const char *name);

/** @brief How many functions are registered. */
int32_t vtesthost_FunctionCount(const VanticTestHost *host);

/** @} */

/** @name Meshes
 * Each call adds one mesh object under @p name and answers its item id, or 0 when the data is
 * invalid. Generated meshes use quads wound counter-clockwise seen from outside.
 * @{ */

/** @brief A mesh read from a Wavefront OBJ file (its faces become the polygons). */
uint32_t vtesthost_AddObj(VanticTestHost *host, const char *name, const char *path);

/** @brief A grid of @p columns x @p rows quads in the xy-plane, centred on the origin, facing +z.
 * Point (i, j) is j·(columns + 1) + i, x growing with i and y with j; quad (i, j) is j·columns + i. */
uint32_t vtesthost_AddGrid(VanticTestHost *host, const char *name, int32_t columns, int32_t rows, double width,
                           double height);

/** @brief A cube of edge @p size centred on the origin: points 0-3 at z = -size/2, 4-7 at +size/2. */
uint32_t vtesthost_AddCube(VanticTestHost *host, const char *name, double size);

/** @brief A sphere around the origin with poles on ±y: point 0 the top pole, then rings - 1 circles
 * of @p segments points from the top down, then the bottom pole. */
uint32_t vtesthost_AddSphere(VanticTestHost *host, const char *name, double radius, int32_t segments,
                             int32_t rings);

/** @brief An open tube along y: rings + 1 circles of @p segments points from y = -height/2 up. */
uint32_t vtesthost_AddTube(VanticTestHost *host, const char *name, double radius, double height,
                           int32_t segments, int32_t rings);

/** @brief A mesh from raw arrays.
 * @param host the test host
 * @param name the mesh object's name
 * @param points @p pointCount points, three doubles each
 * @param pointCount how many points
 * @param polygonCount how many polygons
 * @param cornerCounts @p polygonCount corner counts, one per polygon
 * @param corners the point indices of every polygon's corners, polygon after polygon, in winding
 *        order (as many as the corner counts add up to)
 * @return the mesh's id, or 0 for a negative count or a corner that is no point of the mesh. */
uint32_t vtesthost_AddMesh(VanticTestHost *host, const char *name, const double *points, int32_t pointCount,
                           const int32_t *cornerCounts, int32_t polygonCount, const int32_t *corners);

/** @brief The number of points of a mesh; -1 when @p mesh is no mesh. */
int32_t vtesthost_PointCount(const VanticTestHost *host, uint32_t mesh);

/** @brief A point's current position into @p position (three doubles); 0 when there is no such
 * point, 1 otherwise. */
int32_t vtesthost_PointPosition(const VanticTestHost *host, uint32_t mesh, int32_t point, double *position);

/** @} */

/** @name Views
 * The view calls act on the current view. A fresh host has the views "Perspective" (current),
 * "Top", "Bottom", "Front", "Back", "Left", "Right" and "Camera", each 640 x 480 pixels.
 * @{ */

/** @brief Makes the view called @p name current; an unknown name adds a copy of the current view
 * under that name. */
void vtesthost_UseView(VanticTestHost *host, const char *name);

/** @brief The view type: 0 camera, 2 perspective, ±3 / ±4 / ±5 the axis views along z / y / x. */
void vtesthost_SetViewType(VanticTestHost *host, int32_t type);

/** @brief The view's move: its orbit pivot is the point (-x, -y, -z). */
void vtesthost_MoveView(VanticTestHost *host, double x, double y, double z);

/** @brief The view's rotation, heading and pitch in degrees (bank is ignored by the host's views). */
void vtesthost_RotateView(VanticTestHost *host, double heading, double pitch, double bank);

/** @brief The eye's distance from the pivot, in grid units (see vtesthost_SetGridSize()). */
void vtesthost_DollyView(VanticTestHost *host, double dolly);

/** @brief The size of a grid unit in world units; the eye sits dolly x grid size from the pivot. */
void vtesthost_SetGridSize(VanticTestHost *host, double gridSize);

/** @brief The view's size in pixels; y grows downwards. Sizes below 1 are ignored. */
void vtesthost_SetPixelSize(VanticTestHost *host, int32_t width, int32_t height);

/** @brief Adds a camera and makes it the one the camera view looks through.
 * @param host the test host
 * @param name the camera object's name
 * @param position three doubles
 * @param headingPitchBank three angles in degrees; the camera looks along -z when all are 0
 * @return the camera's item id, or 0 when @p name is null. */
uint32_t vtesthost_AddCamera(VanticTestHost *host, const char *name, const double *position,
                             const double *headingPitchBank);

/** @brief Where a world point shows in the current view: (x, y) in pixels and its depth along the
 * viewing direction, into @p screen. Use it to aim mouse events at a point of a mesh. */
void vtesthost_WorldToScreen(const VanticTestHost *host, const double *world, double *screen);

/** @} */

/** @name Mouse events
 * Each sets the mouse on the action's handle and calls the module registered for the action, as the
 * host does for a press, a drag and a release; the answer is the module's. For a brush, the action
 * is what vantic_CreateBrush answered. An action the host does not know: a host message and 0.
 * @{ */

int32_t vtesthost_Press(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button);   /**< @brief a button goes down at (x, y) */
int32_t vtesthost_Drag(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button);    /**< @brief the mouse moves to (x, y) with the button down */
int32_t vtesthost_Release(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button); /**< @brief the button comes up at (x, y) */

/** @} */

/** @name What the module did
 * @{ */

/** @brief How many messages the host has logged: the module's (fxMessageSend) and its own. */
int32_t vtesthost_MessageCount(const VanticTestHost *host);

/** @brief Message @p index (0 the oldest) into @p message; 0 when there is no such message. */
int32_t vtesthost_Message(const VanticTestHost *host, int32_t index, VanticTestMessage *message);

/** @brief 1 when the host shows @p point of @p mesh selected, 0 when not, -1 when there is no such
 * point. A brush shows its selection here after vantic_BrushUpdateSelection. */
int32_t vtesthost_PointSelected(const VanticTestHost *host, uint32_t mesh, int32_t point);

/** @brief The pointer attached to @p item under @p key and @p dataId, or null. A brush hangs on its
 * action under its client's key; target lists and tangent spaces under "VanticAPIpointerDataKey". */
void *vtesthost_AttachedData(const VanticTestHost *host, uint32_t item, const char *key, uint32_t dataId);

/** @} */

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* VANTIC_TESTHOST_H */
