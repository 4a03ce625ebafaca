// Reads the rings of the shared polygon collection: lines `polygon NAME TRIANGLES RINGS`, then per
// ring `ring N` and N lines `x y` (the first ring of a polygon is its outer ring, the rest holes).
#pragma once

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vantic::testdata {

struct Ring {
    std::string name;  // the polygon's name, and the ring's number after a colon for holes
    std::vector<std::array<double, 2>> points;
};

// The collection is kept in the repository (data/); VANTIC_POLYGON_DATA names another copy.
inline std::string PolygonDataPath(const std::string &sourceDir) {
    const char *path = std::getenv("VANTIC_POLYGON_DATA");
    return path ? path : sourceDir + "/data/polygons.txt";
}

// Every ring of the file, or none when it cannot be read.
inline std::vector<Ring> ReadRings(const std::string &path) {
    std::ifstream in(path);
    std::vector<Ring> rings;
    std::string word, name;
    int ringNumber = 0;
    while (in >> word) {
        if (word == "polygon") {
            int triangles = 0, ringCount = 0;
            in >> name >> triangles >> ringCount;
            ringNumber = 0;
        } else if (word == "ring") {
            size_t n = 0;
            in >> n;
            Ring ring{ringNumber == 0 ? name : name + ":" + std::to_string(ringNumber), {}};
            ring.points.resize(n);
            for (auto &p : ring.points) in >> p[0] >> p[1];
            if (!in) return {};
            rings.push_back(std::move(ring));
            ++ringNumber;
        } else {
            return {};
        }
    }
    return rings;
}

}  // namespace vantic::testdata
