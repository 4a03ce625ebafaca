// The Brush record is read and written by separately built clients: its layout is fixed. With 8-byte
// pointers (LP64 and LLP64 alike, as no field is a long) every field sits at the offset below.
#include <cstddef>
#include <cstdint>

#include "vanticAPI.h"

#if UINTPTR_MAX == UINT64_MAX
#define VANTIC_AT(field, offset) static_assert(offsetof(Brush, field) == (offset), #field)
VANTIC_AT(mode, 0);
VANTIC_AT(pickMode, 4);
VANTIC_AT(weightMode, 8);
VANTIC_AT(radius, 16);
VANTIC_AT(falloff, 24);
VANTIC_AT(targetCount, 32);
VANTIC_AT(targetIds, 40);
VANTIC_AT(selection, 48);
VANTIC_AT(weights, 56);
VANTIC_AT(mouseX, 64);
VANTIC_AT(mouseY, 68);
VANTIC_AT(mouseButton, 72);
VANTIC_AT(hitTarget, 76);
VANTIC_AT(hitPolygon, 80);
VANTIC_AT(hitTriangle, 84);
VANTIC_AT(hitEdge, 96);
VANTIC_AT(hitPoint, 104);
VANTIC_AT(hitBarycentric, 112);
VANTIC_AT(hitPosition, 136);
VANTIC_AT(hitDistance, 160);
VANTIC_AT(anchor, 168);
VANTIC_AT(delta, 192);
VANTIC_AT(boxSelection, 216);
VANTIC_AT(targetMeshes, 224);
VANTIC_AT(toolObject, 232);
VANTIC_AT(undoIndex, 236);
VANTIC_AT(undoStore, 240);
VANTIC_AT(undoRestore, 248);
VANTIC_AT(undoUserData, 256);
VANTIC_AT(undoLevels, 264);
VANTIC_AT(reserved, 268);
VANTIC_AT(action, 280);
VANTIC_AT(handle, 284);
VANTIC_AT(armature, 288);
VANTIC_AT(viewType, 292);
static_assert(sizeof(Brush) == 296);
static_assert(sizeof(BrushUndoHook) == 8);
#undef VANTIC_AT
#endif

// The fixed-size arrays hold exactly their count of 32-bit words.
static_assert(sizeof(Brush::hitTriangle) == 12 && sizeof(Brush::hitEdge) == 8 && sizeof(Brush::reserved) == 12);
