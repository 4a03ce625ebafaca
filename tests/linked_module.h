// Tests of the module's internal routines link its objects directly. That copy of the module has
// its own host table: BindLinkedModule enters it once into the current simulated host.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "model/host.h"
#include "services/find_service.h"

extern "C" int32_t korrinEntry(char *nameBuffer, KorrinFindFunction findFunction, int32_t hostVersion,
                               uint64_t hostKind);

// Binds the linked copy's host table (first call) and registers its functions into host.
inline int32_t BindLinkedModule(vhost::Host &host) {
    char name[256] = {};
    return korrinEntry(name, &vhost::FindService, host.version, host.kind);
}
