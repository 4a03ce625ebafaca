// Services of the viewports, the active camera and the time.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddViewServices(ServiceMap &map);

}  // namespace vhost
