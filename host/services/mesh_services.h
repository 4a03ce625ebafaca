// The mesh, point-selection and effect services of the simulated host.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddMeshServices(ServiceMap &map);

}  // namespace vhost
