// The triangulator on convex, star and random polygons of 16 to 4096 corners at two sizes, and on
// every ring of the shared polygon collection. With --rings_out=FILE it also writes those rings, so
// that bench/earcut_peer.py can time the peer ear cutter on exactly the same corners.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../tests/polygon_data.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"

namespace {

struct Subject {
    std::string name;
    std::vector<std::array<double, 2>> ring;
};

std::vector<std::array<double, 2>> Generated(const std::string &family, int n, double radius, std::mt19937 &rng) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> angles(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) angles[static_cast<size_t>(i)] = 2 * M_PI * i / n;
    if (family == "random") {  // random angles and radii: star-shaped around the centre, irregular
        for (double &a : angles) a = 2 * M_PI * unit(rng);
        std::sort(angles.begin(), angles.end());
    }
    std::vector<std::array<double, 2>> ring;
    for (int i = 0; i < n; ++i) {
        double r = radius;
        if (family == "star" && i % 2 == 1) r = 0.6 * radius;
        if (family == "random") r = radius * (0.2 + 0.8 * unit(rng));
        ring.push_back({r * std::cos(angles[static_cast<size_t>(i)]), r * std::sin(angles[static_cast<size_t>(i)])});
    }
    return ring;
}

double TriangleArea(const std::vector<double> &p, const Triangle &t) {
    const double *a = &p[3 * static_cast<size_t>(t.corners[0])], *b = &p[3 * static_cast<size_t>(t.corners[1])],
                 *c = &p[3 * static_cast<size_t>(t.corners[2])];
    return std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])) / 2;
}

// The best-fit normal as the mesh triangulation computes it, then the ear cutter; counters give the
// triangles and the share of the ring's area they cover.
void Triangulation(benchmark::State &state, const Subject &subject) {
    const int32_t n = static_cast<int32_t>(subject.ring.size());
    std::vector<double> points;
    for (const auto &p : subject.ring) points.insert(points.end(), {p[0], p[1], 0.0});
    std::vector<Triangle> out(static_cast<size_t>(std::max(n - 2, 1)));
    int32_t count = 0;
    for (auto _ : state) {
        double normal[3];
        vantic_ComputeBestFitNormal(points.data(), n, normal);
        count = vantic::Triangulate(n, points.data(), normal, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    double area = 0, covered = 0;
    for (int32_t i = 0; i < n; ++i) {
        const auto &p = subject.ring[static_cast<size_t>(i)], &q = subject.ring[static_cast<size_t>((i + 1) % n)];
        area += (p[0] * q[1] - p[1] * q[0]) / 2;
    }
    for (int32_t i = 0; i < count; ++i) covered += TriangleArea(points, out[static_cast<size_t>(i)]);
    state.counters["corners"] = n;
    state.counters["triangles"] = count;
    state.counters["coverage"] = area != 0 ? covered / std::fabs(area) : 0;
}

std::vector<Subject> Subjects() {
    std::vector<Subject> subjects;
    std::mt19937 rng(1000);
    for (const char *family : {"convex", "star", "random"})
        for (double radius : {1000.0, 1.0})
            for (int n = 16; n <= 4096; n *= 4)
                subjects.push_back({std::string(family) + "/r" + std::to_string(int(radius)) + "/" + std::to_string(n),
                                    Generated(family, n, radius, rng)});
    for (auto &ring : vantic::testdata::ReadRings(vantic::testdata::PolygonDataPath(VANTIC_SOURCE_DIR)))
        subjects.push_back({"ring/" + ring.name, std::move(ring.points)});
    return subjects;
}

// One subject per line: its benchmark name, corner count, then x y pairs in full precision.
bool WriteRings(const std::string &path, const std::vector<Subject> &subjects) {
    std::FILE *file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    for (const Subject &s : subjects) {
        std::fprintf(file, "Triangulate/%s %zu", s.name.c_str(), s.ring.size());
        for (const auto &p : s.ring) std::fprintf(file, " %.17g %.17g", p[0], p[1]);
        std::fprintf(file, "\n");
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char **argv) {
    static const std::vector<Subject> subjects = Subjects();
    const char *flag = "--rings_out=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
            if (!WriteRings(argv[i] + std::strlen(flag), subjects)) {
                std::fprintf(stderr, "cannot write %s\n", argv[i] + std::strlen(flag));
                return 1;
            }
            for (int k = i; k + 1 < argc; ++k) argv[k] = argv[k + 1];
            --argc;
            break;
        }
    for (const Subject &s : subjects)
        benchmark::RegisterBenchmark(("Triangulate/" + s.name).c_str(),
                                     [&s](benchmark::State &state) { Triangulation(state, s); })
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(s.ring.size() >= 256 ? 0.1 : 0.02);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
