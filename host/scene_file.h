// Scene files: argument streams written to a text file on disk and read back.
#pragma once

namespace vhost {

struct SceneFile {};

}  // namespace vhost
