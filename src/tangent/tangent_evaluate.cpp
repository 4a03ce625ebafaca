#include "tangent/tangent_evaluate.h"

#include <cstdlib>

#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "tangent/tangent_space.h"

namespace vantic {

namespace {

using geo::Copy;
using geo::Dot;

const double *PositionOf(const TangentSpace *space, uint32_t p) { return space->points[p].position; }

// The point's position averaged with its neighbours' when it has at least four; the factor is taken
// in single precision, as 1.0f / (c + 1).
void NeighbourAverage(const TangentSpace *space, const TangentPoint &point, double *out) {
    const int32_t c = point.numNeighbours;
    Copy(point.position, out);
    if (c < 4) return;
    for (int32_t i = 0; i < c; ++i) {
        const double *q = PositionOf(space, point.neighbours[i]);
        out[0] = out[0] + q[0];
        out[1] = out[1] + q[1];
        out[2] = out[2] + q[2];
    }
    const double f = static_cast<double>(1.0f / static_cast<float>(c + 1));
    out[0] = out[0] * f;
    out[1] = out[1] * f;
    out[2] = out[2] * f;
}

// Loads the positions (passes >= 0), then smooths them passes times; every point of a pass sees
// only the positions the pass started from.
void LoadAndSmooth(TangentSpace *space, double *scratch) {
    const int32_t n = space->numPoints;
    if (space->passes >= 0) {
        for (int32_t p = 0; p < n; ++p) {
            double *q = scratch + 3 * static_cast<size_t>(p);
            q[0] = q[1] = q[2] = 0.0;
            FX(fxMeshPoint)(space->objectId, p, q, KORRIN_POSITIONS_CURRENT);
        }
        for (int32_t p = 0; p < n; ++p) Copy(scratch + 3 * static_cast<size_t>(p), space->points[p].position);
    }
    for (int32_t pass = 0; pass < space->passes; ++pass) {
        for (int32_t p = 0; p < n; ++p)
            NeighbourAverage(space, space->points[p], scratch + 3 * static_cast<size_t>(p));
        for (int32_t p = 0; p < n; ++p) Copy(scratch + 3 * static_cast<size_t>(p), space->points[p].position);
    }
}

// The sum of (a - P) x (b - P) over the point's corner pairs, normalised. False when the sum is the
// zero vector (no polygon, or all of them collapsed): the point then keeps its normal and frame.
bool ComputeNormal(const TangentSpace *space, const TangentPoint &point, double *normal) {
    double sum[3] = {0.0, 0.0, 0.0};
    for (int32_t j = 0; j < point.numPolys; ++j) {
        double u[3], v[3], c[3];
        geo::Sub(PositionOf(space, point.corners[2 * j]), point.position, u);
        geo::Sub(PositionOf(space, point.corners[2 * j + 1]), point.position, v);
        geo::Cross(u, v, c);
        sum[0] = sum[0] + c[0];
        sum[1] = sum[1] + c[1];
        sum[2] = sum[2] + c[2];
    }
    if (sum[0] == 0.0 && sum[1] == 0.0 && sum[2] == 0.0) return false;
    vantic_Normalize(sum);
    Copy(sum, normal);
    return true;
}

// w0 * position(i0) + w1 * position(i1) + w2 * position(i2).
void Probe(const TangentSpace *space, const uint32_t *triangle, const double *weights, double *out) {
    const double *a = PositionOf(space, triangle[0]);
    const double *b = PositionOf(space, triangle[1]);
    const double *c = PositionOf(space, triangle[2]);
    for (int i = 0; i < 3; ++i) out[i] = weights[0] * a[i] + weights[1] * b[i] + weights[2] * c[i];
}

// The computed frame: tangent along the probes' difference in the normal's plane, then T x N, then N.
// A difference of zero length keeps the previous frame.
void ComputeFrame(const TangentSpace *space, TangentPoint &point) {
    double q1[3], q2[3], d[3];
    Probe(space, point.refTri1, point.refWeights1, q1);
    Probe(space, point.refTri2, point.refWeights2, q2);
    geo::Sub(q1, q2, d);
    const double *n = point.normal;
    const double s = Dot(d, n) / Dot(n, n);
    for (int i = 0; i < 3; ++i) d[i] = d[i] - s * n[i];
    if (Dot(d, d) == 0.0) return;
    vantic_Normalize(d);
    const double *t = d;
    const double b[3] = {t[1] * n[2] - t[2] * n[1], t[2] * n[0] - t[0] * n[2], t[0] * n[1] - t[1] * n[0]};
    double *m = point.matrix;
    const double rows[4][4] = {
        {t[0], t[1], t[2], 0.0}, {b[0], b[1], b[2], 0.0}, {n[0], n[1], n[2], 0.0}, {0.0, 0.0, 0.0, 1.0}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[4 * r + c] = rows[r][c];
}

bool ReferencesInside(const TangentSpace *space, const TangentPoint &point) {
    const uint32_t n = static_cast<uint32_t>(space->numPoints);
    for (int i = 0; i < 3; ++i)
        if (point.refTri1[i] >= n || point.refTri2[i] >= n) return false;
    return true;
}

}  // namespace

bool EvaluateTangentSpace(TangentSpace *space) {
    const int32_t n = space->numPoints;
    double *scratch = static_cast<double *>(std::malloc(3 * static_cast<size_t>(n > 0 ? n : 1) * sizeof(double)));
    if (!scratch) return false;
    LoadAndSmooth(space, scratch);
    std::free(scratch);
    const double frame = FX(fxFrameGet)();
    const KorrinItem matrixSource = 0u - static_cast<uint32_t>(space->passes < 0 ? space->passes : 0);
    for (int32_t p = 0; p < n; ++p) {
        TangentPoint &point = space->points[p];
        const bool hasNormal = ComputeNormal(space, point, point.normal);
        if (space->passes > 0) {
            if (hasNormal && ReferencesInside(space, point)) ComputeFrame(space, point);
        } else if (space->passes < 0) {
            FX(fxMatrixGet)(matrixSource, KORRIN_MATRIX_TANGENT, frame, point.matrix, 1);
        }
    }
    return true;
}

}  // namespace vantic

void vantic_TangentSpaceCalculate(TangentSpace *space) {
    if (space && (space->points || space->numPoints == 0)) vantic::EvaluateTangentSpace(space);
}
