// The points that share a polygon with a point, in order of first appearance.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "binding/host_lists.h"
#include "geometry/mesh_queries.h"

int32_t *vantic_GetNeighbourPoints(KorrinItem mesh, int32_t point, int32_t *count) {
    if (!count) return nullptr;
    // Collect the distinct corners before allocating, so the array holds exactly what is filled even
    // when a polygon lists a corner (or the point itself) twice.
    std::vector<int32_t> neighbours;
    for (int32_t polygon : vantic::PointPolygons(mesh, point))
        for (int32_t corner : vantic::PolygonCorners(mesh, polygon))
            if (corner != point && std::find(neighbours.begin(), neighbours.end(), corner) == neighbours.end())
                neighbours.push_back(corner);
    if (neighbours.empty()) return nullptr;
    auto *result = static_cast<int32_t *>(std::calloc(neighbours.size(), sizeof(int32_t)));
    if (!result) return nullptr;  // out of memory: count is left as it was, like no neighbours
    std::copy(neighbours.begin(), neighbours.end(), result);
    *count = static_cast<int32_t>(neighbours.size());
    return result;
}
