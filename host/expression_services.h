// Services that evaluate host expressions for plug-ins.
#pragma once

#include "service_map.h"

namespace vhost {

void AddExpressionServices(ServiceMap &map);

}  // namespace vhost
