// Services of channels, keys, key-edit brackets and object matrices.
#pragma once

#include "services/service_map.h"

namespace vhost {

void AddChannelServices(ServiceMap &map);

}  // namespace vhost
