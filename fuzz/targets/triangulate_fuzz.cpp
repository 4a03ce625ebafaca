// The triangulator from corner coordinates: at most n - 2 triangles, every corner one of the n.
#include <vector>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"

namespace vfuzz {

int Triangulate(const uint8_t *data, size_t size) {
    Bytes in(data, size);
    const int32_t n = 3 + in.byte() % 62;
    // Small whole coordinates give ties, collinear runs and repeated corners; raw doubles give
    // everything else, infinities and NaN included.
    const bool raw = in.byte() & 1;
    std::vector<double> points(3 * static_cast<size_t>(n));
    for (double &c : points) c = raw ? in.raw<double>() : static_cast<double>(static_cast<int8_t>(in.byte()) % 8);
    double normal[3];
    vantic_ComputeBestFitNormal(points.data(), n, normal);
    for (int32_t i = 1; i < n; ++i) vantic_PointOnPlane(&points[3 * i], normal, points.data(), &points[3 * i]);
    std::vector<Triangle> triangles(static_cast<size_t>(n - 2));
    const int32_t k = vantic::Triangulate(n, points.data(), normal, triangles.data());
    if (k < 0 || k > n - 2) Broken("more triangles than n - 2");
    for (int32_t t = 0; t < k; ++t)
        for (int32_t corner : triangles[static_cast<size_t>(t)].corners)
            if (corner < 0 || corner >= n) Broken("a triangle corner outside the polygon");
    return 0;
}

}  // namespace vfuzz
