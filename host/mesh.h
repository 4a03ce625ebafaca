// Meshes (two position sets, polygons, point-to-polygon lists, normals, point selection) and effects with ordered targets.
#pragma once

namespace vhost {

struct MeshStore {};

}  // namespace vhost
