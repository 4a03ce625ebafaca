// OBJ meshes through tinyobjloader, keeping polygons as they are written (no triangulation).
//
// The text is checked line by line before the library sees it: only vertex positions and faces reach
// it, every number and index is read and range-checked from the text itself, and every problem names
// the file and the line. Statements a mesh does not use (normals, texture coordinates, curves,
// materials...) are dropped, so none of the library's converters ever runs on them.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <tiny_obj_loader.h>

#include "model/mesh.h"

namespace vhost {

namespace {

// Contract: the largest coordinate a mesh file may hold. Far beyond any scene, yet squares and
// cross products of coordinate differences stay finite.
constexpr double kCoordinateLimit = 1e100;
// The loader keeps corner counts in a byte.
constexpr size_t kMaxCorners = 255;

[[noreturn]] void FailAt(const std::string &path, size_t line, const std::string &problem) {
    throw std::runtime_error(path + ":" + std::to_string(line) + ": " + problem);
}

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

std::vector<std::string> Words(const std::string &line) {
    std::vector<std::string> words;
    std::istringstream in(line.substr(0, line.find('#')));
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// A decimal number as OBJ writes them; hexadecimal, "inf" and "nan" are refused.
bool ReadCoordinate(const std::string &word, double &value) {
    if (word.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
    char *end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value) && std::fabs(value) <= kCoordinateLimit;
}

// The vertex part of a face corner ("7", "7/2", "7//3", "-1/..."), as an integer: false when it is
// not one or does not fit 64 bits.
bool ReadIndex(const std::string &corner, int64_t &index) {
    const std::string text = corner.substr(0, corner.find('/'));
    if (text.empty() || text.find_first_not_of("0123456789+-") != std::string::npos) return false;
    char *end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || end != text.c_str() + text.size()) return false;
    index = value;
    return true;
}

// The text the loader gets: one line per line of the file, so its line numbers stay the file's, with
// vertices and faces only and every face index made absolute. vertexLines gets each vertex's line.
std::string CheckedText(const std::string &path, const std::string &text, std::vector<size_t> &vertexLines) {
    std::vector<std::string> lines;
    {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    int64_t vertexTotal = 0;
    for (const std::string &line : lines) {
        const std::vector<std::string> words = Words(line);
        if (!words.empty() && words[0] == "v") ++vertexTotal;
    }

    std::string checked;
    int64_t vertices = 0, faces = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t lineNumber = i + 1;
        const std::vector<std::string> words = Words(lines[i]);
        if (!words.empty() && words[0] == "v") {
            if (words.size() < 4) FailAt(path, lineNumber, "a vertex needs 3 coordinates");
            for (size_t k = 1; k <= 3; ++k) {
                double value = 0;
                if (!ReadCoordinate(words[k], value))
                    FailAt(path, lineNumber, "coordinate '" + words[k] + "' is not a finite number within 1e100");
            }
            ++vertices;
            vertexLines.push_back(lineNumber);
            checked += "v " + words[1] + " " + words[2] + " " + words[3];
        } else if (!words.empty() && words[0] == "f") {
            ++faces;
            const size_t corners = words.size() - 1;
            if (corners < 3) FailAt(path, lineNumber, "face " + std::to_string(faces) + " has fewer than 3 corners");
            if (corners > kMaxCorners) FailAt(path, lineNumber, "a face has more than 255 vertices");
            checked += "f";
            for (size_t k = 1; k < words.size(); ++k) {
                int64_t index = 0;
                if (!ReadIndex(words[k], index))
                    FailAt(path, lineNumber, "face " + std::to_string(faces) + ": '" + words[k] + "' is not a vertex index");
                // Negative indices count back from the last vertex read so far.
                const int64_t absolute = index < 0 ? vertices + index + 1 : index;
                if (index == 0 || absolute < 1 || absolute > vertexTotal)
                    FailAt(path, lineNumber,
                           "face " + std::to_string(faces) + " uses vertex " + words[k].substr(0, words[k].find('/')) +
                               " but the file has " + std::to_string(vertexTotal) + " vertices");
                // Appended in two steps: GCC 12 at -O3 warns falsely on " " + std::to_string(...).
                checked += ' ';
                checked += std::to_string(absolute);
            }
        }
        checked += '\n';
    }
    return checked;
}

}  // namespace

MeshData LoadObj(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        Fail(path, std::filesystem::exists(path, error) ? "not a regular file" : "no such file");
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path, "cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    return ParseObj(text.str(), path);
}

MeshData ParseObj(const std::string &text, const std::string &path) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    std::vector<size_t> vertexLines;
    if (!reader.ParseFromString(CheckedText(path, text, vertexLines), "", config)) Fail(path, reader.Error());

    const std::vector<tinyobj::real_t> &v = reader.GetAttrib().vertices;
    if (v.empty()) Fail(path, "no vertices");
    MeshData mesh;
    for (size_t i = 0; i + 2 < v.size(); i += 3) {
        // The loader's own reading can differ from the text's value: "0.e30808" is 0 to strtod but
        // 0 * 10^30808, not a number, to the loader.
        for (size_t k = 0; k < 3; ++k)
            if (!(std::fabs(v[i + k]) <= kCoordinateLimit))
                FailAt(path, i / 3 < vertexLines.size() ? vertexLines[i / 3] : 0,
                       "coordinate " + std::to_string(k + 1) + " is not a finite number within 1e100");
        mesh.points.push_back(Vec3{v[i], v[i + 1], v[i + 2]});
    }

    // Every index was checked against the text; these checks hold the loader to what it was given.
    const int32_t pointCount = static_cast<int32_t>(mesh.points.size());
    for (const tinyobj::shape_t &shape : reader.GetShapes()) {
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
