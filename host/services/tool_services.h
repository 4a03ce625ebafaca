// Services of armatures, handles (with the mouse state of the event being delivered), actions and
// interface updates.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddToolServices(ServiceMap &map);

}  // namespace vhost
