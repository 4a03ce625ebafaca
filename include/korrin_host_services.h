/* The C signature of every host service the module calls, and of the two routines the host and the
 * module hand each other (the find-function and the module callback).
 *
 * The module includes this to call through its bound table; the simulated host includes it to define
 * the services with exactly these types, so the two sides cannot drift apart. Fixed-width types only:
 * the layout is the same under LP64 and LLP64. Each typedef is a function type; a slot holds a pointer
 * to one. Results the module never tests are still declared, so the host can report success. */
#ifndef KORRIN_HOST_SERVICES_H
#define KORRIN_HOST_SERVICES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Item ids name host objects, actions, handles and armatures; 0 is none. */
typedef uint32_t KorrinItem;
/* Opaque 64-bit host values: a module context, a scene-file argument stream or format. */
typedef uint64_t KorrinHandle;

/* find(name, group) -> service address or null. */
typedef void *(*KorrinFindFunction)(const char *name, uint32_t group);
/* Module callback: (context, action, message, parameter) -> result. */
typedef int32_t (*KorrinModuleCallback)(KorrinHandle context, KorrinItem action, int32_t message,
                                        int64_t parameter);

/* ---- protocol numbers ----
 * Every code the host and the module exchange, named once here so both sides use the same value.
 * Contract: these are the host's own numbers; changing one breaks every host and stored scene. */

/* korrinEntry handshake: the interface version korrinAPI answers, and what the module accepts of the
 * host's kind (low nibble) and version. */
#define KORRIN_INTERFACE_VERSION 0x103000
#define KORRIN_HOST_KIND_MASK 0xF
#define KORRIN_HOST_KIND_SUPPORTED 2
#define KORRIN_HOST_VERSION_MASK 0xF00000
#define KORRIN_HOST_VERSION_MIN 0x100000
/* The group mask the module binds with at entry: every group. */
#define KORRIN_ALL_GROUPS 0x7FFFFFFF

/* fxMessageSend codes: an error of a module routine, and a host service missing at binding. */
#define KORRIN_MESSAGE_ERROR 256
#define KORRIN_MESSAGE_MISSING_SERVICE 0x500

/* Modules: the module type of an interactive module (fxModuleRegister) and its registration flags;
 * the module type an action is created with (fxActionCreate). */
#define KORRIN_MODULE_TYPE_INTERACTIVE 14
#define KORRIN_MODULE_REGISTER_FLAGS 0x100000
#define KORRIN_ACTION_MODULE_TYPE 2

/* Module messages (fxModuleAccess, the callback's message) and their sub-codes (its parameter). */
#define KORRIN_MODULE_MESSAGE_ACTION_EVENT 26 /* parameter: one of the action events below */
#define KORRIN_MODULE_MESSAGE_ACTION_INIT 30
#define KORRIN_ACTION_INIT_SUBCODE 256        /* the sub-code of message 30 that asks for fxInitAction */
#define KORRIN_ALL_SUBCODES (-1)              /* fxModuleAccess: every sub-code of the message */

/* Action events, the parameter of message 26. */
#define KORRIN_EVENT_SAVE 32
#define KORRIN_EVENT_DESTROY 64
#define KORRIN_EVENT_DRAG 256
#define KORRIN_EVENT_PRESS 512
#define KORRIN_EVENT_RELEASE 1024

/* fxInterfaceUpdate flags: redraw the viewports; redraw the point selection. */
#define KORRIN_UPDATE_VIEWPORTS 34
#define KORRIN_UPDATE_SELECTION 2

/* Channel codes. 35 and 36 are a tool object's position and rotation (heading, pitch, bank), 43 and
 * 44 an object's position and rotation: these four hold three doubles, every other channel one.
 * 12 and 14 are a tool object's two in-plane sizes. */
#define KORRIN_CHANNEL_TOOL_SIZE_U 12
#define KORRIN_CHANNEL_TOOL_SIZE_V 14
#define KORRIN_CHANNEL_TOOL_POSITION 35
#define KORRIN_CHANNEL_TOOL_ROTATION 36
#define KORRIN_CHANNEL_POSITION 43
#define KORRIN_CHANNEL_ROTATION 44
/* The channel-call flag that keys and sets a channel as an animated value the caller owns. */
#define KORRIN_CHANNEL_OWNED 0x80000000u

/* fxMatrixGet codes: an object's world matrix; the matrix tangent frames fetch. */
#define KORRIN_MATRIX_WORLD 51
#define KORRIN_MATRIX_TANGENT 50

/* fxMeshPoint selectors: the mesh's base positions; its current (deformed) positions. */
#define KORRIN_POSITIONS_BASE 0
#define KORRIN_POSITIONS_CURRENT 1

/* fxWorldScreenConversion modes. */
#define KORRIN_WORLD_TO_SCREEN 0
#define KORRIN_SCREEN_TO_WORLD 1

/* View-type codes: the camera view, the perspective view, and the axis views (+-3 along z, +-4
 * along y, +-5 along x; the sign picks the side the eye stands on). */
#define KORRIN_VIEW_CAMERA 0
#define KORRIN_VIEW_PERSPECTIVE 2
#define KORRIN_VIEW_AXIS_Z 3
#define KORRIN_VIEW_AXIS_Y 4
#define KORRIN_VIEW_AXIS_X 5

/* fxArgSaveInt / fxArgSaveString flags. */
#define KORRIN_ARG_SAVE_FLAGS 0x10000000u

/* ---- messages (group 0x200) ---- */
typedef int32_t fxMessageSend_fn(KorrinItem item, const char *source, int32_t code, const char *text,
                                 const char *kind);

/* ---- objects (group 0x1) ---- */
typedef int32_t fxObjectDeleteBegin_fn(KorrinItem action, int32_t flags);
typedef int32_t fxObjectDelete_fn(KorrinItem object, int32_t flags);
typedef int32_t fxObjectDeleteEnd_fn(KorrinItem action, int32_t flags);
typedef int32_t fxObjectGetName_fn(KorrinItem object, char *buffer, int32_t size, int32_t flags);
typedef KorrinItem fxToolCreate_fn(const char *type, const char *name, int32_t a, int32_t b);
typedef KorrinItem fxObjectCurrent_fn(int32_t flags);
typedef int32_t fxObjectSetCurrent_fn(KorrinItem object, int32_t flags);
typedef int32_t fxObjectDeselectAll_fn(int32_t flags);
typedef int32_t fxObjectDrawModeSet_fn(KorrinItem object, const char *mode, int32_t flags);
typedef KorrinItem fxObjectGetActiveCamera_fn(void);

/* ---- meshes (group 0x2) ---- */
typedef int32_t fxMeshNumPoints_fn(KorrinItem mesh, int32_t *count, int32_t flags);
typedef int32_t fxMeshNumPolys_fn(KorrinItem mesh, int32_t *count, int32_t flags);
/* Fills up to capacity corner point indices in polygon order; always reports the full count. */
typedef int32_t fxMeshPoly_fn(KorrinItem mesh, int32_t polygon, int32_t *corners, int32_t capacity,
                              int32_t *cornerCount, int32_t *flagsOut, int32_t flags);
/* selector 0: base positions; 1: current (deformed) positions. */
typedef int32_t fxMeshPoint_fn(KorrinItem mesh, int32_t point, double *position, int32_t selector);
typedef int32_t fxMeshPointNormal_fn(KorrinItem mesh, int32_t point, double *normal, int32_t flags);
/* Fills up to capacity polygon indices (ascending); always reports the full count. */
typedef int32_t fxMeshPointPolys_fn(KorrinItem mesh, int32_t point, int32_t *polygons, int32_t capacity,
                                    int32_t *polygonCount, int32_t flags);
/* mode 1: screen (x, y, 0) in pixels -> world point; mode 0: world point -> screen (x, y, depth). */
typedef int32_t fxWorldScreenConversion_fn(const double *in, double *out, int32_t mode);
typedef int32_t fxPointSelect_Set_fn(KorrinItem mesh, int32_t point);
typedef int32_t fxPointSelect_Clear_fn(KorrinItem mesh, int32_t point);
typedef int32_t fxPointSelect_ClearAll_fn(KorrinItem mesh);

/* ---- channels, keys, matrices (group 0x4) ---- */
typedef int32_t fxChannelsGet_fn(KorrinItem object, int32_t channel, double time, double *values,
                                 int32_t flags);
typedef int32_t fxChannelsSet_fn(KorrinItem object, int32_t channel, const double *values, uint32_t flags);
typedef int32_t fxChannelOptionsSet_fn(KorrinItem object, int32_t channel, uint32_t bits);
typedef int32_t fxChannelOptionsClear_fn(KorrinItem object, int32_t channel, uint32_t bits);
typedef int32_t fxKeyEditBegin_fn(KorrinItem action, KorrinItem object, int32_t flags);
typedef int32_t fxKeyChannelsGet_fn(KorrinItem object, int32_t key, int32_t channel, double *values,
                                    uint32_t flags);
typedef int32_t fxKeyChannelsSet_fn(KorrinItem object, int32_t key, int32_t channel, const double *values,
                                    uint32_t flags);
/* code 51: world matrix of an object; code 50: the matrix the tangent frames may fetch. */
typedef int32_t fxMatrixGet_fn(KorrinItem object, int32_t code, double time, double *matrix16,
                               int32_t flags);

/* ---- interface (group 0x8) ---- */
typedef int32_t fxInterfaceUpdate_fn(int32_t flags, int32_t reserved);

/* ---- effects (group 0x10) ---- */
typedef KorrinItem fxEffectTargetFirst_fn(KorrinItem effect, int32_t flags);
typedef KorrinItem fxEffectTargetNext_fn(KorrinItem effect, KorrinItem target, int32_t flags);

/* ---- function registry (group 0x80) ---- */
typedef int32_t fxFunctionRegister_fn(const char *name, const char *category, int32_t flags, void *function,
                                      int32_t resultType, int32_t reserved);

/* ---- expressions (group 0x100) ---- */
typedef int32_t fxExpressionCompute_fn(const char *text, int32_t flags);
typedef int32_t fxExpComputeInt_fn(const char *text, int32_t *out);
typedef int32_t fxExpComputeDouble_fn(const char *text, double *out);
typedef int32_t fxExpComputeVecd3_fn(const char *text, double *out3);
typedef int32_t fxExpComputeString_fn(const char *text, char *out, int32_t size);

/* ---- keyed data attachment (group 0x800) ---- */
typedef int32_t fxDataSet_fn(KorrinItem item, const char *key, uint32_t dataId, void *data);
typedef void *fxDataGet_fn(KorrinItem item, const char *key, uint32_t dataId);
typedef int32_t fxDataFree_fn(KorrinItem item, const char *key, uint32_t dataId);

/* ---- scene-file argument streams (group 0x400) ---- */
typedef KorrinHandle fxFormatNew_fn(KorrinHandle context, const char *name, int32_t flags);
typedef int32_t fxArgSaveInt_fn(KorrinHandle stream, const char *key, int32_t value, uint32_t flags);
typedef int32_t fxArgSaveString_fn(KorrinHandle stream, const char *key, const char *value, uint32_t flags);
typedef int32_t fxArgLoadInt_fn(KorrinHandle stream, const char *key, int32_t *value);
typedef int32_t fxArgLoadString_fn(KorrinHandle stream, const char *key, char *buffer, int32_t maxLength);

/* ---- time (group 0x4000) ---- */
typedef double fxFrameGet_fn(void);
typedef double fxFrameCalcGet_fn(void);

/* ---- modules (group 0x8000) ---- */
typedef int32_t fxModuleDescription_fn(const char *text, int32_t flags);
typedef int32_t fxModuleAccess_fn(int32_t message, int64_t subCode, int32_t flags);
typedef int32_t fxModuleRegister_fn(int32_t moduleType, const char *name, KorrinModuleCallback callback,
                                    uint32_t flags);

/* ---- armatures and handles (group 0x80000) ---- */
typedef KorrinItem fxArmatureCreate_fn(const char *name, int32_t flags);
typedef int32_t fxArmatureDelete_fn(KorrinItem armature, int32_t flags);
typedef KorrinItem fxHandleCreate_fn(const char *name, KorrinItem armature, KorrinItem parent, int32_t flags);
typedef KorrinItem fxHandleArmature_fn(KorrinItem handle, int32_t flags);
typedef int32_t fxHandleIconSet_fn(KorrinItem handle, int32_t which, const char *icon, int32_t flags);
typedef int32_t fxHandleIconActiveSet_fn(KorrinItem handle, int32_t which, const char *icon, int32_t flags);
typedef int32_t fxHandleSetPixelSize_fn(KorrinItem handle, double low, double high, int32_t flags);
typedef int32_t fxHandlePosTypeSet_fn(KorrinItem handle, int32_t type, int32_t flags);
typedef int32_t fxHandleHAlignSet_fn(KorrinItem handle, int32_t align, int32_t flags);
typedef int32_t fxHandleVAlignSet_fn(KorrinItem handle, int32_t align, int32_t flags);
typedef int32_t fxHandlePosSet_fn(KorrinItem handle, const double *position, int32_t flags);
typedef int32_t fxHandleMouseButton_fn(int32_t flags);
typedef int32_t fxHandleMouseCurPos_fn(KorrinItem handle, int32_t *x, int32_t *y, int32_t flags);
typedef int32_t fxHandleMousePrevPos_fn(KorrinItem handle, int32_t *x, int32_t *y, int32_t flags);

/* ---- actions (group 0x100000) ---- */
typedef int32_t fxInitAction_fn(int32_t flags);
typedef KorrinItem fxActionCreate_fn(KorrinItem handle, int32_t moduleType, int32_t flags, const char *module,
                                     int32_t reserved);
typedef KorrinItem fxActionHandle_fn(KorrinItem action, int32_t flags);

#ifdef __cplusplus
}
#endif

#endif
