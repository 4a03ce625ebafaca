// Armatures, handles (mouse state), actions bound to modules, deletion brackets and interface updates.
#pragma once

namespace vhost {

struct ToolStore {};

}  // namespace vhost
