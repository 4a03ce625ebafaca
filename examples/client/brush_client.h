/* An example client plug-in written in C: it finds the module's functions through the host's
 * registry and paints a selection with a brush. */
#ifndef BRUSH_CLIENT_H
#define BRUSH_CLIENT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The host's registry lookup: the function registered under a name, or null. It answers a generic
 * function pointer, which C converts to the function's own type. */
typedef void (*RegisteredFunction)(void);
typedef RegisteredFunction (*RegistryLookup)(const char *name);

/* What the client did, for its caller to check. */
typedef struct ClientOutcome {
    int32_t brushAction;     /* the brush's action item, 0 when none was made */
    int32_t targetOrder;     /* the mesh's position among the brush's targets */
    int32_t selectedPoints;  /* points selected after painting a polygon and a point */
    double normal[3];        /* a unit normal the client computed with the module */
    int32_t deleted;         /* what vantic_DeleteBrush answered */
} ClientOutcome;

/* Makes a brush on mesh (of pointCount points), selects polygon 0 and point `point`, reads the selection back, deletes
 * the brush. Returns 0 on success, or the number of the step that found a function missing. */
int32_t RunBrushClient(RegistryLookup lookup, uint32_t mesh, int32_t pointCount, int32_t point,
                       ClientOutcome *outcome);

#ifdef __cplusplus
}
#endif

#endif
