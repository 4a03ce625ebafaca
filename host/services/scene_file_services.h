// The scene-file argument stream services of the simulated host.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddSceneFileServices(ServiceMap &map);

}  // namespace vhost
