// Named viewports, the current view, the active camera and the screen/world projection.
#pragma once

namespace vhost {

struct ViewStore {};

}  // namespace vhost
