#include "tangent/tangent_topology.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdlib>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "tangent/probe_triangle.h"

namespace vantic {

using geo::Dot;

PolygonTable ReadPolygons(KorrinItem mesh) {
    PolygonTable table;
    const int32_t count = MeshPolygonCount(mesh);
    table.offsets.reserve(static_cast<size_t>(count > 0 ? count : 0) + 1);
    table.offsets.push_back(0);
    table.corners.reserve(4 * table.offsets.capacity());  // quads, mostly: one growth at most
    std::vector<int32_t> corners;
    for (int32_t q = 0; q < count; ++q) {
        ReadPolygonCorners(mesh, q, corners);
        table.corners.insert(table.corners.end(), corners.begin(), corners.end());
        table.offsets.push_back(table.corners.size());
    }
    return table;
}

bool BuildCorners(const TangentSpace *space, int32_t p, const PolygonTable &table, std::vector<int32_t> &polygons) {
    TangentPoint &point = space->points[p];
    ReadPointPolygons(space->objectId, p, polygons);
    const int32_t k = static_cast<int32_t>(polygons.size());
    if (k == 0) return true;
    point.corners = static_cast<uint32_t *>(std::calloc(2 * static_cast<size_t>(k), sizeof(uint32_t)));
    if (!point.corners) return false;
    point.numPolys = k;
    auto inside = [space](int32_t q) { return q >= 0 && q < space->numPoints; };
    const size_t known = table.offsets.size() - 1;
    std::vector<int32_t> unlisted;
    for (int32_t j = 0; j < k; ++j) {
        const int32_t polygon = polygons[static_cast<size_t>(j)];
        const int32_t *c;
        int32_t m;
        if (polygon >= 0 && static_cast<size_t>(polygon) < known) {
            c = table.corners.data() + table.offsets[static_cast<size_t>(polygon)];
            m = static_cast<int32_t>(table.offsets[static_cast<size_t>(polygon) + 1] -
                                     table.offsets[static_cast<size_t>(polygon)]);
        } else {
            // A polygon the count did not cover: asked for on its own, as the host answers it.
            unlisted = PolygonCorners(space->objectId, polygon);
            c = unlisted.data();
            m = static_cast<int32_t>(unlisted.size());
        }
        for (int32_t r = 0; r < m; ++r) {
            if (c[r] != p) continue;
            const int32_t following = c[r + 1 == m ? 0 : r + 1];
            const int32_t preceding = c[r == 0 ? m - 1 : r - 1];
            if (!inside(following) || !inside(preceding)) continue;
            point.corners[2 * j] = static_cast<uint32_t>(following);
            point.corners[2 * j + 1] = static_cast<uint32_t>(preceding);
        }
    }
    return true;
}

bool BuildNeighbours(TangentPoint *point) {
    std::free(point->neighbours);
    point->neighbours = nullptr;
    point->numNeighbours = 0;
    const size_t slots = 2 * static_cast<size_t>(point->numPolys);
    if (slots == 0) return true;
    // On the stack for the usual few polygons around a point.
    uint32_t onStack[32];
    std::vector<uint32_t> onHeap;
    if (slots > std::size(onStack)) onHeap.resize(slots);
    uint32_t *const found = onHeap.empty() ? onStack : onHeap.data();
    size_t count = 0;
    auto listed = [&](uint32_t q) { return std::find(found, found + count, q) != found + count; };
    for (int32_t j = 0; j < point->numPolys; ++j) {
        const uint32_t a = point->corners[2 * j], b = point->corners[2 * j + 1];
        // one look for both, before either is added
        const bool hasA = listed(a), hasB = listed(b);
        if (!hasA) found[count++] = a;
        if (!hasB) found[count++] = b;
    }
    point->neighbours = static_cast<uint32_t *>(std::malloc(count * sizeof(uint32_t)));
    if (!point->neighbours) return false;
    for (size_t i = 0; i < count; ++i) point->neighbours[i] = found[i];
    point->numNeighbours = static_cast<int32_t>(count);
    return true;
}

void ProbeAxis(const double *n, double *axis) {
    const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    int which;  // 0: X, 1: Y, 2: Z
    if (ay > ax)
        which = az > ax ? 0 : 2;
    else
        which = az > ay ? 1 : 2;
    for (int i = 0; i < 3; ++i) axis[i] = i == which ? 1.0 : 0.0;
}

std::vector<double> BasePositions(const TangentSpace *space) {
    std::vector<double> base(3 * static_cast<size_t>(space->numPoints > 0 ? space->numPoints : 0));
    for (int32_t p = 0; p < space->numPoints; ++p)
        FX(fxMeshPoint)(space->objectId, p, base.data() + 3 * static_cast<size_t>(p), KORRIN_POSITIONS_BASE);
    return base;
}

void ChooseReferenceTriangles(const TangentSpace *space, int32_t p, const double *base) {
    TangentPoint &point = space->points[p];
    auto at = [base](uint32_t q) { return base + 3 * static_cast<size_t>(q); };
    double n[3] = {0, 0, 0}, axis[3];
    FX(fxMeshPointNormal)(space->objectId, p, n, 0);
    const double *position = at(static_cast<uint32_t>(p));
    ProbeAxis(n, axis);
    const double s = Dot(axis, n) / Dot(n, n);
    double probe1[3], probe2[3];
    for (int i = 0; i < 3; ++i) {
        const double d = axis[i] - s * n[i];
        probe1[i] = position[i] + d;
        probe2[i] = position[i] - d;
    }
    const uint32_t self = static_cast<uint32_t>(p);
    for (int i = 0; i < 3; ++i) {
        point.refTri1[i] = point.refTri2[i] = i == 0 ? self : 0;
        point.refWeights1[i] = point.refWeights2[i] = 0.0;
    }
    // The best distance so far for each probe and its square. A square no smaller than the best's
    // has a root no smaller than the best, so only a smaller square is rooted and compared.
    double best[2] = {0.0, 0.0}, bestSquare[2] = {0.0, 0.0};
    uint32_t *const refTri[2] = {point.refTri1, point.refTri2};
    double *const refWeights[2] = {point.refWeights1, point.refWeights2};
    const double *const probes[2] = {probe1, probe2};
    for (int32_t j = 0; j < point.numPolys; ++j) {
        const uint32_t a = point.corners[2 * j], b = point.corners[2 * j + 1];
        ProbeTriangle triangle;
        PrepareProbeTriangle(position, at(a), at(b), &triangle);
        for (int k = 0; k < 2; ++k) {
            double w[3];
            const double square = ProbeSquaredDistance(triangle, probes[k], w);
            if (j != 0 && !(square < bestSquare[k])) continue;
            const double distance = std::sqrt(square);
            // on equal distances the earlier polygon stays
            if (j != 0 && !(distance < best[k])) continue;
            best[k] = distance;
            bestSquare[k] = square;
            refTri[k][1] = a;
            refTri[k][2] = b;
            geo::Copy(w, refWeights[k]);
        }
    }
}

}  // namespace vantic
