/* A small client of the vanticAPI module: an interactive point picker on one mesh, and a triangle
 * count. It takes the host's registry lookup, so the same code runs in the host and in a test host. */
#ifndef POINT_PICKER_H
#define POINT_PICKER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The function registered under a name, or null. */
typedef void (*ClientFunction)(void);
typedef ClientFunction (*ClientLookup)(const char *name);

/* Starts a brush that selects the point under the mouse on mesh; answers the brush's action, which
 * the host sends mouse events to, or 0 when the module lacks a function or refuses. */
uint32_t StartPointPicker(ClientLookup lookup, uint32_t mesh);

/* Ends the picker; 1 when a picker was deleted. */
int32_t StopPointPicker(ClientLookup lookup, uint32_t action);

/* The number of triangles the module cuts mesh into; -1 when it cannot. */
int32_t CountTriangles(ClientLookup lookup, uint32_t mesh);

#ifdef __cplusplus
}
#endif

#endif
