// Services that evaluate host expressions for plug-ins.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddExpressionServices(ServiceMap &map);

}  // namespace vhost
