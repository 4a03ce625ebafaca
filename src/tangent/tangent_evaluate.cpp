#include "tangent/tangent_evaluate.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "tangent/tangent_space.h"

// The records lie 280 bytes apart and hold 28 MB at 100k points, more than the caches: they are read
// once for the topology (into compact arrays that the smoothing and the normals walk) and once more
// for the results, in blocks. Unit vectors are taken as vantic_Normalize takes them (1 / sqrt of
// x x + y y + z z, then three products), but a block at a time, so that the square roots and
// divisions of neighbouring points overlap instead of waiting on each other.

namespace vantic {

namespace {

using geo::Copy;
using geo::Dot;

const double *At(const double *pos, uint32_t p) { return pos + 3 * static_cast<size_t>(p); }

// How far ahead the walks fetch: records (a page every 15) and the small per-point lists.
constexpr int32_t kRecordsAhead = 32;
constexpr int32_t kListsAhead = 16;

void Fetch(const void *address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Every line of a record, for writing: 280 bytes from anywhere in a line span five or six of them.
void FetchRecord(const TangentSpace *space, int32_t p) {
#if defined(__GNUC__)
    if (p >= space->numPoints) return;
    const char *record = reinterpret_cast<const char *>(&space->points[p]);
    for (size_t at = 0; at < sizeof(TangentPoint); at += 64) __builtin_prefetch(record + at, 1);
    __builtin_prefetch(record + sizeof(TangentPoint) - 1, 1);
#else
    (void)space;
    (void)p;
#endif
}

// What the passes need of a point's record, read once per evaluation.
struct Topology {
    const uint32_t *neighbours;
    const uint32_t *corners;
    int32_t numNeighbours;
    int32_t numPolys;
};

// The point's position averaged with its neighbours' when it has at least four; the factor is taken
// in single precision, as 1.0f / (c + 1).
void NeighbourAverage(const double *pos, const Topology &point, const double *self, double *out) {
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

// Loads the positions (passes >= 0; otherwise they are the records') and each point's topology, then
// smooths the positions passes times; every point of a pass sees only the positions the pass started
// from. pos and next hold 3 * numPoints each; the result is in the array returned (pos or next).
double *LoadAndSmooth(TangentSpace *space, double *pos, double *next, Topology *topology) {
    const int32_t n = space->numPoints;
    // A walk that only reads: many records are on their way at once.
    for (int32_t p = 0; p < n; ++p) {
        if (p + kRecordsAhead < n) {
            // The fields read end 28 bytes in; records 280 bytes apart start them anywhere in a line.
            const char *ahead = reinterpret_cast<const char *>(&space->points[p + kRecordsAhead]);
            Fetch(ahead);
            Fetch(ahead + offsetof(TangentPoint, numNeighbours));
        }
        const TangentPoint &point = space->points[p];
        topology[p] = {point.neighbours, point.corners, point.numNeighbours, point.numPolys};
    }
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
            if (p + kListsAhead < n) Fetch(topology[p + kListsAhead].neighbours);
            NeighbourAverage(pos, topology[p], pos + 3 * static_cast<size_t>(p), next + 3 * static_cast<size_t>(p));
        }
        std::swap(pos, next);
    }
    return pos;
}

// The sum of (a - P) x (b - P) over the point's corner pairs; normalised, it is the point's normal.
void NormalSum(const double *pos, const Topology &point, const double *self, double *sum) {
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

// 1 / |v|, as vantic_Normalize works it out.
double InverseLength(const double *v) { return 1 / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

void Scale(double *v, double s) {
    v[0] = v[0] * s;
    v[1] = v[1] * s;
    v[2] = v[2] * s;
}

// w0 * position(i0) + w1 * position(i1) + w2 * position(i2).
void Probe(const double *pos, const uint32_t *triangle, const double *weights, double *out) {
    const double *a = At(pos, triangle[0]);
    const double *b = At(pos, triangle[1]);
    const double *c = At(pos, triangle[2]);
    for (int i = 0; i < 3; ++i) out[i] = weights[0] * a[i] + weights[1] * b[i] + weights[2] * c[i];
}

// The tangent's direction: the probes' difference in the normal's plane. False when it is of zero
// length, which keeps the previous frame.
bool TangentDirection(const double *pos, const TangentPoint &point, double *d) {
    double q1[3], q2[3];
    Probe(pos, point.refTri1, point.refWeights1, q1);
    Probe(pos, point.refTri2, point.refWeights2, q2);
    geo::Sub(q1, q2, d);
    const double *n = point.normal;
    const double s = Dot(d, n) / Dot(n, n);
    for (int i = 0; i < 3; ++i) d[i] = d[i] - s * n[i];
    return Dot(d, d) != 0.0;
}

// The frame from the unit tangent t: T, then T x N, then N.
void WriteFrame(const double *t, TangentPoint &point) {
    const double *n = point.normal;
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

// Normals, positions and frames into the records of points [first, first + count). A normal is the
// sum over the point's corner pairs, normalised; a zero sum (no polygon, or all of them collapsed)
// keeps the point's normal and frame.
constexpr int32_t kBlock = 16;
void WriteBlock(TangentSpace *space, int32_t first, int32_t count, const double *pos, const Topology *topology,
                double frame) {
    const int32_t n = space->numPoints, passes = space->passes;
    double normals[kBlock][3], tangents[kBlock][3];
    bool hasNormal[kBlock], framed[kBlock];
    for (int32_t i = 0; i < count; ++i) {
        const int32_t p = first + i;
        if (p + kListsAhead < n) Fetch(topology[p + kListsAhead].corners);
        double *sum = normals[i];
        NormalSum(pos, topology[p], pos + 3 * static_cast<size_t>(p), sum);
        hasNormal[i] = !(sum[0] == 0.0 && sum[1] == 0.0 && sum[2] == 0.0);
    }
    for (int32_t i = 0; i < count; ++i)
        if (hasNormal[i]) Scale(normals[i], InverseLength(normals[i]));
    for (int32_t i = 0; i < count; ++i) {
        const int32_t p = first + i;
        FetchRecord(space, p + kRecordsAhead / 2);
        TangentPoint &point = space->points[p];
        if (passes >= 0) Copy(pos + 3 * static_cast<size_t>(p), point.position);
        if (hasNormal[i]) Copy(normals[i], point.normal);
        framed[i] = passes > 0 && hasNormal[i] && ReferencesInside(space, point) &&
                    TangentDirection(pos, point, tangents[i]);
        if (passes < 0) {
            const KorrinItem source = 0u - static_cast<uint32_t>(passes);
            FX(fxMatrixGet)(source, KORRIN_MATRIX_TANGENT, frame, point.matrix, 1);
        }
    }
    for (int32_t i = 0; i < count; ++i)
        if (framed[i]) Scale(tangents[i], InverseLength(tangents[i]));
    for (int32_t i = 0; i < count; ++i)
        if (framed[i]) WriteFrame(tangents[i], space->points[first + i]);
}

}  // namespace

bool EvaluateTangentSpace(TangentSpace *space) {
    const int32_t n = space->numPoints;
    const size_t count = static_cast<size_t>(n > 0 ? n : 1);
    const size_t values = 3 * count;
    double *scratch = static_cast<double *>(std::malloc(2 * values * sizeof(double)));  // two position arrays
    Topology *topology = static_cast<Topology *>(std::malloc(count * sizeof(Topology)));
    if (!scratch || !topology) {
        std::free(scratch);
        std::free(topology);
        return false;
    }
    const double *pos = LoadAndSmooth(space, scratch, scratch + values, topology);
    const double frame = FX(fxFrameGet)();
    for (int32_t first = 0; first < n; first += kBlock)
        WriteBlock(space, first, n - first < kBlock ? n - first : kBlock, pos, topology, frame);
    std::free(scratch);
    std::free(topology);
    return true;
}

}  // namespace vantic

void vantic_TangentSpaceCalculate(TangentSpace *space) {
    if (space && (space->points || space->numPoints == 0)) vantic::EvaluateTangentSpace(space);
}
