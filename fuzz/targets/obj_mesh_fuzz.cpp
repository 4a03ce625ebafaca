// OBJ meshes from any bytes: either refused with one line, or a mesh whose every index is a point.
#include <stdexcept>
#include <string>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "model/mesh.h"

namespace vfuzz {

int ObjMesh(const uint8_t *data, size_t size) {
    const std::string path = "fuzz.obj";
    try {
        const vhost::MeshData mesh = vhost::ParseObj(std::string(reinterpret_cast<const char *>(data), size), path);
        for (const auto &polygon : mesh.polygons) {
            if (polygon.size() < 3) Broken("a face of fewer than 3 corners was taken");
            for (int32_t index : polygon)
                if (index < 0 || static_cast<size_t>(index) >= mesh.points.size()) Broken("an index outside the mesh");
        }
        for (const auto &p : mesh.points)
            for (double c : p)
                if (!(c >= -1e100 && c <= 1e100)) Broken("a coordinate outside the limit was taken");
    } catch (const std::runtime_error &e) {
        const std::string what = e.what();
        if (what.find('\n') != std::string::npos || what.compare(0, path.size(), path) != 0)
            Broken("an OBJ problem is not one line naming the file");
    }
    return 0;
}

}  // namespace vfuzz
