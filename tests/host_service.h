// Host tests call a simulated service as a plug-in reaches it: by name, through its shared signature.
// FX(fxMeshPoint)(mesh, i, p, 1) mirrors how the module calls through its bound table.
#pragma once

#include "korrin_host_services.h"
#include "services/service_map.h"

#define FX(name) (*vhost::ServiceAs<name##_fn>(#name))
