// OBJ meshes through tinyobjloader, keeping polygons as they are written (no triangulation).
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>

#include <tiny_obj_loader.h>

#include "model/mesh.h"

namespace vhost {

namespace {

// One line in the form file:line: problem (or file: problem when the loader names no line), from the
// first line of the loader's error text. Contract: tests match these error texts.
[[noreturn]] void Fail(const std::string &path, const std::string &loaderError) {
    std::string problem = loaderError.substr(0, loaderError.find('\n'));
    if (problem.empty()) problem = "not a readable OBJ file";
    std::smatch line;
    if (std::regex_search(problem, line, std::regex("line:? ([0-9]+)")))
        throw std::runtime_error(path + ":" + line[1].str() + ": " + problem);
    throw std::runtime_error(path + ": " + problem);
}

}  // namespace

MeshData LoadObj(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        Fail(path, std::filesystem::exists(path, error) ? "not a regular file" : "no such file");

    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    if (!reader.ParseFromFile(path, config)) Fail(path, reader.Error());

    const std::vector<tinyobj::real_t> &v = reader.GetAttrib().vertices;
    if (v.empty()) Fail(path, "no vertices");
    MeshData mesh;
    for (size_t i = 0; i + 2 < v.size(); i += 3) mesh.points.push_back(Vec3{v[i], v[i + 1], v[i + 2]});

    // The loader only warns about face indices past the vertices it read; a mesh cannot hold them.
    const int32_t pointCount = static_cast<int32_t>(mesh.points.size());
    for (const tinyobj::shape_t &shape : reader.GetShapes()) {
        // The loader keeps corner counts in a byte: a longer face wraps and its corners would be dealt
        // to the wrong faces.
        size_t total = 0;
        for (unsigned char corners : shape.mesh.num_face_vertices) total += corners;
        if (total != shape.mesh.indices.size()) Fail(path, "a face has more than 255 vertices");
        size_t next = 0;
        for (unsigned char corners : shape.mesh.num_face_vertices) {
            std::vector<int32_t> polygon;
            for (unsigned char c = 0; c < corners; ++c) {
                const int32_t index = shape.mesh.indices[next++].vertex_index;
                if (index < 0 || index >= pointCount)
                    Fail(path, "face " + std::to_string(mesh.polygons.size() + 1) + " uses vertex " +
                                   std::to_string(index + 1) + " but the file has " +
                                   std::to_string(pointCount) + " vertices");
                polygon.push_back(index);
            }
            mesh.polygons.push_back(std::move(polygon));
        }
    }
    return mesh;
}

}  // namespace vhost
