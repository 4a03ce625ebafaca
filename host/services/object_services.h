// Services of the host's objects: tool objects, the current object, selection, draw mode, names
// and deletion brackets.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddObjectServices(ServiceMap &map);

}  // namespace vhost
