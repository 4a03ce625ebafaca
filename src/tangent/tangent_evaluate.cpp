#include "tangent/tangent_evaluate.h"

#include <cstdlib>
#include <utility>

#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "tangent/tangent_space.h"

namespace vantic {

namespace {

using geo::Copy;
using geo::Dot;

// The positions are worked on as packed arrays of x, y, z (pos + 3 * p), not in the point records:
// a point's neighbours then sit a few cache lines apart instead of a few records.
const double *At(const double *pos, uint32_t p) { return pos + 3 * static_cast<size_t>(p); }

// The records are read in order but lie 280 bytes apart, a page every 15 records: fetch ahead.
constexpr int32_t kAhead = 8;
void FetchAhead(const TangentSpace *space, int32_t p) {
#if defined(__GNUC__)
    if (p + kAhead < space->numPoints) __builtin_prefetch(&space->points[p + kAhead]);
#else
    (void)space;
    (void)p;
#endif
}

// The point's position averaged with its neighbours' when it has at least four; the factor is taken
// in single precision, as 1.0f / (c + 1).
void NeighbourAverage(const double *pos, const TangentPoint &point, const double *self, double *out) {
    const int32_t c = point.numNeighbours;
    Copy(self, out);
    if (c < 4) return;
    for (int32_t i = 0; i < c; ++i) {
        const double *q = At(pos, point.neighbours[i]);
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
// only the positions the pass started from. pos and next hold 3 * numPoints each; the result is in
// the records and in the array returned (pos or next).
double *LoadAndSmooth(TangentSpace *space, double *pos, double *next) {
    const int32_t n = space->numPoints;
    for (int32_t p = 0; p < n; ++p) {
        double *q = pos + 3 * static_cast<size_t>(p);
        if (space->passes >= 0) {
            q[0] = q[1] = q[2] = 0.0;
            FX(fxMeshPoint)(space->objectId, p, q, KORRIN_POSITIONS_CURRENT);
        } else {
            Copy(space->points[p].position, q);
        }
    }
    for (int32_t pass = 0; pass < space->passes; ++pass) {
        for (int32_t p = 0; p < n; ++p) {
            FetchAhead(space, p);
            NeighbourAverage(pos, space->points[p], pos + 3 * static_cast<size_t>(p), next + 3 * static_cast<size_t>(p));
        }
        std::swap(pos, next);
    }
    if (space->passes >= 0)
        for (int32_t p = 0; p < n; ++p) Copy(pos + 3 * static_cast<size_t>(p), space->points[p].position);
    return pos;
}

// The sum of (a - P) x (b - P) over the point's corner pairs; normalised, it is the point's normal.
void NormalSum(const double *pos, const TangentPoint &point, const double *self, double *sum) {
    sum[0] = sum[1] = sum[2] = 0.0;
    for (int32_t j = 0; j < point.numPolys; ++j) {
        double u[3], v[3], c[3];
        geo::Sub(At(pos, point.corners[2 * j]), self, u);
        geo::Sub(At(pos, point.corners[2 * j + 1]), self, v);
        geo::Cross(u, v, c);
        sum[0] = sum[0] + c[0];
        sum[1] = sum[1] + c[1];
        sum[2] = sum[2] + c[2];
    }
}

// w0 * position(i0) + w1 * position(i1) + w2 * position(i2).
void Probe(const double *pos, const uint32_t *triangle, const double *weights, double *out) {
    const double *a = At(pos, triangle[0]);
    const double *b = At(pos, triangle[1]);
    const double *c = At(pos, triangle[2]);
    for (int i = 0; i < 3; ++i) out[i] = weights[0] * a[i] + weights[1] * b[i] + weights[2] * c[i];
}

// The computed frame: tangent along the probes' difference in the normal's plane, then T x N, then N.
// A difference of zero length keeps the previous frame.
void ComputeFrame(const double *pos, TangentPoint &point) {
    double q1[3], q2[3], d[3];
    Probe(pos, point.refTri1, point.refWeights1, q1);
    Probe(pos, point.refTri2, point.refWeights2, q2);
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
    const size_t values = 3 * static_cast<size_t>(n > 0 ? n : 1);
    // Two position arrays, then the normal sums.
    double *scratch = static_cast<double *>(std::malloc(3 * values * sizeof(double)));
    if (!scratch) return false;
    const double *pos = LoadAndSmooth(space, scratch, scratch + values);
    double *sums = scratch + 2 * values;
    for (int32_t p = 0; p < n; ++p) {
        FetchAhead(space, p);
        NormalSum(pos, space->points[p], pos + 3 * static_cast<size_t>(p), sums + 3 * static_cast<size_t>(p));
    }
    const double frame = FX(fxFrameGet)();
    const KorrinItem matrixSource = 0u - static_cast<uint32_t>(space->passes < 0 ? space->passes : 0);
    for (int32_t p = 0; p < n; ++p) {
        TangentPoint &point = space->points[p];
        double *sum = sums + 3 * static_cast<size_t>(p);
        // A zero sum (no polygon, or all of them collapsed) keeps the point's normal and frame.
        const bool hasNormal = !(sum[0] == 0.0 && sum[1] == 0.0 && sum[2] == 0.0);
        if (hasNormal) {
            vantic_Normalize(sum);
            Copy(sum, point.normal);
        }
        if (space->passes > 0) {
            if (hasNormal && ReferencesInside(space, point)) ComputeFrame(pos, point);
        } else if (space->passes < 0) {
            FX(fxMatrixGet)(matrixSource, KORRIN_MATRIX_TANGENT, frame, point.matrix, 1);
        }
    }
    std::free(scratch);
    return true;
}

}  // namespace vantic

void vantic_TangentSpaceCalculate(TangentSpace *space) {
    if (space && (space->points || space->numPoints == 0)) vantic::EvaluateTangentSpace(space);
}
