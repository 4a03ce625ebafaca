// The screen-space pick and the box marks against the straightforward loops they replace (kept here
// as the oracle, reading through the host the way those loops did), compared bit for bit on cases
// built to break a shortcut: exact ties between targets and sides, points on the box's edges,
// polygons longer than the first corner read, points behind the eye, non-finite positions, every
// kind of view, meshes grown or shrunk after they were added, and points moved between calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "brush/side_codes.h"
#include "brush_scene.h"
#include "host_service.h"

namespace {

using brushtest::BrushScene;
using brushtest::Vec3;
using brushtest::ViewKind;

// ---- the oracle: the plain loops ----

int32_t PointCount(KorrinItem mesh) {
    int32_t n = 0;
    FX(fxMeshNumPoints)(mesh, &n, 0);
    return n;
}

int32_t PolygonCount(KorrinItem mesh) {
    int32_t n = 0;
    FX(fxMeshNumPolys)(mesh, &n, 0);
    return n;
}

// Count first, then the list.
std::vector<int32_t> Corners(KorrinItem mesh, int32_t polygon) {
    int32_t slot = 0, count = 0, flags = 0;
    FX(fxMeshPoly)(mesh, polygon, &slot, 1, &count, &flags, 0);
    if (count < 1) return {};
    std::vector<int32_t> corners(static_cast<size_t>(count));
    FX(fxMeshPoly)(mesh, polygon, corners.data(), count, &count, &flags, 0);
    if (count >= 0 && static_cast<size_t>(count) < corners.size()) corners.resize(static_cast<size_t>(count));
    return corners;
}

void Sub(const double *a, const double *b, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}
double Dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const double *v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
double Distance(const double *a, const double *b) {
    double d[3];
    Sub(a, b, d);
    return Length(d);
}

struct Nearest {
    double distance = -1.0;
    bool offer(double d) {
        if (!(distance > d || distance == -1.0)) return false;
        distance = d;
        return true;
    }
};

double SideDistance(const double *m, const double *a, const double *b) {
    double ab[3], am[3];
    Sub(b, a, ab);
    Sub(m, a, am);
    const double s = Dot(am, ab) / Dot(ab, ab);
    const double f[3] = {s * ab[0], s * ab[1], s * ab[2]};
    if (Dot(f, ab) <= 0.0) return Length(am);
    if (Length(ab) >= Length(f)) {
        const double foot[3] = {a[0] + f[0], a[1] + f[1], a[2] + f[2]};
        return Distance(m, foot);
    }
    return Distance(m, b);
}

struct PickResult {
    Nearest point, side, centre;
    uint32_t target = UINT32_MAX, pointIndex = UINT32_MAX;
    uint32_t edge[2] = {UINT32_MAX, UINT32_MAX};
    int32_t polygon = -1;
};

PickResult PlainScreenPick(const std::vector<KorrinItem> &targets, int32_t mouseX, int32_t mouseY) {
    const double mouse[3] = {static_cast<double>(mouseX), static_cast<double>(mouseY), 0.0};
    PickResult best;
    for (KorrinItem target : targets) {
        const int32_t n = PointCount(target);
        std::vector<double> screen(n > 0 ? static_cast<size_t>(n) * 3 : 0);
        for (int32_t i = 0; i < n; ++i) {
            double p[3] = {0.0, 0.0, 0.0};
            FX(fxMeshPoint)(target, i, p, KORRIN_POSITIONS_CURRENT);
            double *s = &screen[static_cast<size_t>(i) * 3];
            FX(fxWorldScreenConversion)(p, s, KORRIN_WORLD_TO_SCREEN);
            s[2] = 0.0;
            if (best.point.offer(Distance(s, mouse))) {
                best.pointIndex = static_cast<uint32_t>(i);
                best.target = target;
            }
        }
        const int32_t m = PolygonCount(target);
        for (int32_t p = 0; p < m; ++p) {
            const std::vector<int32_t> corners = Corners(target, p);
            const int32_t k = static_cast<int32_t>(corners.size());
            bool inRange = k > 0;
            for (int32_t c : corners) inRange = inRange && c >= 0 && c < n;
            if (!inRange) continue;
            double centre[3] = {0.0, 0.0, 0.0};
            for (int32_t j = 0; j < k; ++j) {
                const int32_t next = corners[static_cast<size_t>(j + 1 < k ? j + 1 : 0)];
                const double *a = &screen[static_cast<size_t>(corners[static_cast<size_t>(j)]) * 3];
                const double *b = &screen[static_cast<size_t>(next) * 3];
                if (best.side.offer(SideDistance(mouse, a, b))) {
                    best.edge[0] = static_cast<uint32_t>(corners[static_cast<size_t>(j)]);
                    best.edge[1] = static_cast<uint32_t>(next);
                }
                for (int i = 0; i < 3; ++i) centre[i] += a[i];
            }
            const double inverse = 1.0 / k;
            for (double &c : centre) c *= inverse;
            if (best.centre.offer(Distance(centre, mouse))) best.polygon = p;
        }
    }
    return best;
}

int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// The marks of the first `count` points of target for the box between corner and mouse.
std::vector<int32_t> PlainBoxMarks(KorrinItem target, int32_t count, const double *corner, int32_t mouseX,
                                   int32_t mouseY) {
    const int32_t cx = TruncateToInt(corner[0]), cy = TruncateToInt(corner[1]);
    const int32_t xl = mouseX > corner[0] ? cx : mouseX, xh = mouseX > corner[0] ? mouseX : cx;
    const int32_t yl = mouseY > corner[1] ? cy : mouseY, yh = mouseY > corner[1] ? mouseY : cy;
    std::vector<int32_t> marks(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        double p[3] = {0.0, 0.0, 0.0}, s[3] = {0.0, 0.0, 0.0};
        FX(fxMeshPoint)(target, i, p, KORRIN_POSITIONS_CURRENT);
        FX(fxWorldScreenConversion)(p, s, KORRIN_WORLD_TO_SCREEN);
        const int32_t sx = TruncateToInt(s[0]), sy = TruncateToInt(s[1]);
        marks[static_cast<size_t>(i)] = xl < sx && sx < xh && yl < sy && sy < yh ? 1 : 0;
    }
    return marks;
}

// ---- the scenes ----

// A polygon of `corners` corners around (cx, cy) in the plane z, radius r.
std::vector<Vec3> Ring(int32_t corners, double cx, double cy, double r, double z) {
    std::vector<Vec3> ring;
    for (int32_t i = 0; i < corners; ++i) {
        const double a = 2.0 * 3.141592653589793 * i / corners;
        ring.push_back({cx + r * std::cos(a), cy + r * std::sin(a), z});
    }
    return ring;
}

// Adds polygon `points` (as one new polygon of m) to mesh data.
void AddPolygon(vhost::MeshData &m, const std::vector<Vec3> &points) {
    std::vector<int32_t> corners;
    for (const Vec3 &p : points) {
        corners.push_back(static_cast<int32_t>(m.points.size()));
        m.points.push_back(p);
    }
    m.polygons.push_back(corners);
}

// Random triangles and quads of every size, some standing in the view direction and some reaching
// behind the eye (z near 10 is the eye in every view), with long rings among them.
vhost::MeshData Scatter(uint32_t seed, double spread) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-spread, spread), size(0.0, spread / 4.0), unit(0.0, 1.0);
    vhost::MeshData m;
    for (int32_t p = 0; p < 120; ++p) {
        const double cx = coordinate(random), cy = coordinate(random), r = size(random);
        const double pick = unit(random);
        if (pick < 0.1) {
            AddPolygon(m, Ring(17 + static_cast<int32_t>(unit(random) * 40), cx, cy, r, coordinate(random) * 0.1));
        } else {
            const int32_t k = pick < 0.55 ? 3 : 4;
            std::vector<Vec3> corners;
            for (int32_t c = 0; c < k; ++c) {
                // Depths from far in front to behind the eye.
                const double z = pick > 0.95 ? 10.0 + 5.0 * unit(random) : -5.0 * unit(random);
                corners.push_back({cx + r * (unit(random) - 0.5), cy + r * (unit(random) - 0.5), z});
            }
            AddPolygon(m, corners);
        }
    }
    // A point in no polygon, and one polygon whose corners repeat a point.
    m.points.push_back({0.25, -0.5, 0.0});
    m.polygons.push_back({0, 1, 0, 2});
    return m;
}

struct ViewCase {
    ViewKind view;
    int32_t viewType;  // what the brush takes for that view
};

class ScreenMeasures : public ::testing::TestWithParam<ViewCase> {
protected:
    ScreenMeasures() { b->viewType = GetParam().viewType; }

    // Every mouse position in a coarse raster over the screen and past its edges, plus the exact
    // pixels of the given targets' first points (mouse on a point, and distance ties).
    std::vector<std::array<int32_t, 2>> mice(const std::vector<KorrinItem> &targets) {
        std::vector<std::array<int32_t, 2>> out;
        for (int32_t y = -40; y <= 520; y += 37)
            for (int32_t x = -40; x <= 680; x += 41) out.push_back({x, y});
        for (KorrinItem t : targets)
            for (int32_t i = 0; i < PointCount(t) && i < 40; ++i) {
                const Vec3 s = brushtest::Project(scene.host, scene.mesh(t).current[static_cast<size_t>(i)]);
                out.push_back({TruncateToInt(s[0]), TruncateToInt(s[1])});
            }
        return out;
    }

    // The module's screen pick against the oracle at every mouse position.
    void comparePicks(const std::vector<KorrinItem> &targets, const std::string &what) {
        b->pickMode = 1;
        for (const auto &mouse : mice(targets)) {
            b->mouseX = mouse[0];
            b->mouseY = mouse[1];
            scene.rayCast();
            const PickResult want = PlainScreenPick(targets, mouse[0], mouse[1]);
            const std::string at = what + " at " + std::to_string(mouse[0]) + ", " + std::to_string(mouse[1]);
            ASSERT_EQ(b->hitTarget, want.target) << at;
            ASSERT_EQ(b->hitPoint, want.pointIndex) << at;
            ASSERT_EQ(b->hitEdge[0], want.edge[0]) << at;
            ASSERT_EQ(b->hitEdge[1], want.edge[1]) << at;
            ASSERT_EQ(b->hitPolygon, want.polygon) << at;
        }
    }

    BrushScene scene{GetParam().view};
    Brush *b = scene.brush;
};

TEST_P(ScreenMeasures, ScreenPickMatchesThePlainLoop) {
    // Two identical targets (every distance ties, so the first target must keep every best), then
    // scattered polygons at a small and a large scale on screen.
    const vhost::MeshData grid = vhost::MakeGrid(6, 6, 6.0, 6.0);
    std::vector<KorrinItem> targets = {scene.addTarget("grid", grid), scene.addTarget("twin", grid)};
    comparePicks(targets, "twins");
    targets.push_back(scene.addTarget("small", Scatter(7, 1.5)));
    targets.push_back(scene.addTarget("large", Scatter(11, 40.0)));
    comparePicks(targets, "scattered");

    // Points moved between calls: the next pick sees them where they are now.
    for (Vec3 &p : scene.mesh(targets[2]).current) p = {p[1] * 0.5, p[0] * 2.0, p[2]};
    comparePicks(targets, "moved");

    // Meshes that grew and shrank after they were added: points the polygons no longer reach, and
    // polygons whose corners are no points any more.
    vhost::Mesh &grown = scene.mesh(targets[0]);
    for (int32_t i = 0; i < 30; ++i) grown.current.push_back({0.1 * i, -0.2 * i, 0.0});
    grown.base = grown.current;
    grown.polygons.push_back({49, 50, 51});
    grown.rebuild();
    vhost::Mesh &shrunk = scene.mesh(targets[3]);
    shrunk.base.resize(shrunk.base.size() / 2);
    shrunk.current.resize(shrunk.base.size());
    comparePicks(targets, "resized");

    // Non-finite positions: the search must still measure exactly as the plain loop does.
    shrunk.current[3] = {std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0};
    shrunk.current[10] = {std::numeric_limits<double>::infinity(), 1.0, 0.0};
    comparePicks(targets, "non-finite");
}

TEST_P(ScreenMeasures, BoxMarksMatchThePlainLoop) {
    const KorrinItem grid = scene.addTarget("grid", vhost::MakeGrid(12, 12, 8.0, 8.0));
    const KorrinItem scattered = scene.addTarget("scattered", Scatter(3, 6.0));
    const std::vector<KorrinItem> targets = {grid, scattered};
    b->mode = 8;
    ASSERT_EQ(scene.press(0, 0), 0);
    const auto drag = scene.fn<vantic_BrushDragBoxSelection_t>("vantic_BrushDragBoxSelection");
    // The marks were made at the press: a target that grows later keeps its first length.
    const std::vector<int32_t> counts = {PointCount(grid), PointCount(scattered)};
    vhost::Mesh &grown = scene.mesh(scattered);
    grown.current.push_back({0.0, 0.0, 0.0});
    grown.base = grown.current;
    grown.rebuild();

    // Boxes whose corners sit exactly on the truncated pixels of points (so those points lie on the
    // box's edges), in both drag directions, and boxes with fractional corners.
    std::vector<std::array<double, 4>> boxes;
    for (int32_t i = 0; i + 20 < counts[0]; i += 23) {
        const Vec3 a = brushtest::Project(scene.host, scene.mesh(grid).current[static_cast<size_t>(i)]);
        const Vec3 c = brushtest::Project(scene.host, scene.mesh(grid).current[static_cast<size_t>(i + 20)]);
        boxes.push_back({std::trunc(a[0]), std::trunc(a[1]), std::trunc(c[0]), std::trunc(c[1])});
        boxes.push_back({std::trunc(c[0]) + 0.5, std::trunc(c[1]) - 0.25, std::trunc(a[0]), std::trunc(a[1])});
    }
    boxes.push_back({-1e12, -1e12, 1e9, 1e9});
    boxes.push_back({320.0, 0.0, 320.0, 480.0});
    for (const auto &box : boxes) {
        b->anchor[0] = box[0];
        b->anchor[1] = box[1];
        b->mouseX = static_cast<int32_t>(box[2]);
        b->mouseY = static_cast<int32_t>(box[3]);
        drag(b);
        for (size_t t = 0; t < targets.size(); ++t) {
            const std::vector<int32_t> want = PlainBoxMarks(targets[t], counts[t], b->anchor, b->mouseX, b->mouseY);
            const std::vector<int32_t> got(b->boxSelection[t], b->boxSelection[t] + counts[t]);
            ASSERT_EQ(got, want) << "target " << t << ", box " << box[0] << ", " << box[1] << " to " << box[2]
                                 << ", " << box[3];
        }
    }
    scene.release(0, 0);
}

INSTANTIATE_TEST_SUITE_P(Views, ScreenMeasures,
                         ::testing::Values(ViewCase{ViewKind::Perspective, KORRIN_VIEW_PERSPECTIVE}, ViewCase{ViewKind::Axis, -3},
                                           ViewCase{ViewKind::Camera, KORRIN_VIEW_CAMERA}),
                         [](const auto &info) { return std::string(brushtest::Name(info.param.view)); });

}  // namespace

// The side codes at every width against the test written out point by point: points exactly at the
// square's sides and an ulp either way, on the mouse, infinite or not numbers, for squares of no
// width, of subnormal width and without end, and counts that leave every width a tail.
TEST(SideCodes, EveryWidthCodesAsThePointByPointTest) {
    const double mouse[3] = {320.25, -17.5, 0.0};
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    for (double half : {0.0, 1.0, 2.5, 0x1p-1060, inf}) {
        std::vector<double> offsets = {0.0, -0.0, half, -half, 3 * half + 1, -(3 * half + 1), inf, -inf, nan};
        for (double h : {half, -half}) offsets.insert(offsets.end(), {std::nextafter(h, inf), std::nextafter(h, -inf)});
        std::vector<double> xs, ys;
        for (double dx : offsets)
            for (double dy : offsets) {
                xs.push_back(mouse[0] + dx);
                ys.push_back(mouse[1] + dy);
            }
        for (size_t n : {xs.size(), xs.size() - 1, size_t{3}, size_t{0}}) {
            std::vector<uint8_t> expected(n);
            for (size_t i = 0; i < n; ++i) {
                unsigned code = 0;
                if (mouse[0] - xs[i] > half) code |= 1;
                if (xs[i] - mouse[0] > half) code |= 2;
                if (mouse[1] - ys[i] > half) code |= 4;
                if (ys[i] - mouse[1] > half) code |= 8;
                expected[i] = static_cast<uint8_t>(code);
            }
            for (auto width :
                 {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2, vantic::VectorWidth::kAvx512}) {
                std::vector<uint8_t> got(n, 0xff);
                if (!vantic::SideCodesWith(width, xs.data(), ys.data(), n, mouse, half, got.data())) continue;
                EXPECT_EQ(got, expected) << "half " << half << " n " << n << " width " << static_cast<int>(width);
            }
        }
    }
}
