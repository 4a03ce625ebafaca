// Each area of the simulated host adds the services it answers for to the map.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddCoreServices(ServiceMap &map);

}  // namespace vhost
