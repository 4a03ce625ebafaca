// The host function table: one pointer-sized slot per host service, filled once by BindHostFunctions
// during korrinEntry. Module code calls a service as FX(fxMeshPoint)(mesh, i, p, 1).
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "korrin_service_names.h"

namespace vantic {

enum HostSlot : int32_t {
#define VANTIC_SLOT_ENUM(group, name) HostSlot_##name,
    KORRIN_SERVICE_LIST(VANTIC_SLOT_ENUM)
#undef VANTIC_SLOT_ENUM
    HostSlotCount
};

extern void *g_hostSlots[HostSlotCount];
extern uint32_t g_loadedGroups;
extern uint32_t g_currentGroup;
extern char g_pluginName[256];
extern KorrinFindFunction g_findFunction;

// 1 when every requested group not attempted before is bound completely; 0 on the first missing name.
int32_t BindHostFunctions(uint32_t groupMask);

}  // namespace vantic

#define FX(name) (reinterpret_cast<name##_fn *>(::vantic::g_hostSlots[::vantic::HostSlot_##name]))
