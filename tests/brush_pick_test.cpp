// Brush picking: the eye-ray pick against the targets' triangles, the screen-space pick, and the box
// marks, driven through the registered functions as a client calls them.
#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "brush_scene.h"

namespace {

using brushtest::BrushScene;
using brushtest::Unproject;
using brushtest::Vec3;
using brushtest::ViewKind;
using vhost::MeshData;

// In the axis view the centre pixel's eye ray runs exactly down the z axis: dyadic corner positions
// then give exact barycentric weights.
constexpr int32_t kCentreX = 320, kCentreY = 240;

// ---- the eye-ray pick ----

struct WeightCase {
    double w0, w1, w2;  // weights of the polygon's corners in polygon order
};

void PrintTo(const WeightCase &c, std::ostream *os) { *os << "(" << c.w0 << ", " << c.w1 << ", " << c.w2 << ")"; }

class HitPointAndEdge : public ::testing::TestWithParam<WeightCase> {};

// The point is the corner of largest weight; the edge runs to its heavier neighbour and is never
// c0-c2; ties go to the lower corner of the hit triangle.
TEST_P(HitPointAndEdge, FollowTheHeaviestCorner) {
    const WeightCase c = GetParam();
    BrushScene scene(ViewKind::Axis);
    // The polygon's corners a, b, c are points 2, 3, 1; the centre ray meets it at weights (w0, w1, w2).
    const Vec3 a{-8.0 * c.w1, -8.0 * c.w2, 0.0};
    MeshData mesh{{{50, 50, 50}, {a[0], a[1] + 8.0, 0.0}, a, {a[0] + 8.0, a[1], 0.0}}, {{2, 3, 1}}};
    const KorrinItem target = scene.addTarget("triangle", mesh);
    const std::map<uint32_t, double> weightOf{{2, c.w0}, {3, c.w1}, {1, c.w2}};

    Brush *b = scene.brush;
    b->mouseX = kCentreX;
    b->mouseY = kCentreY;
    b->viewType = -3;
    ASSERT_EQ(scene.rayCast(), 1);
    EXPECT_EQ(b->hitTarget, target);
    EXPECT_EQ(b->hitPolygon, 0);
    // Whatever corner the triangle starts with, the rule applies to its stored order.
    const uint32_t *t = b->hitTriangle;
    double w[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(weightOf.count(t[i])) << t[i];
        w[i] = weightOf.at(t[i]);
        EXPECT_EQ(b->hitBarycentric[i], w[i]) << i;
    }
    uint32_t point, edge1;
    if (w[0] >= w[1] && w[0] >= w[2]) {
        point = t[0];
        edge1 = t[1];
    } else if (w[1] >= w[2]) {
        point = t[1];
        edge1 = w[0] > w[2] ? t[0] : t[2];
    } else {
        point = t[2];
        edge1 = t[1];
    }
    EXPECT_EQ(b->hitPoint, point);
    EXPECT_EQ(b->hitEdge[0], point);
    EXPECT_EQ(b->hitEdge[1], edge1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b->hitPosition[i], 0.0) << i;
    EXPECT_EQ(b->hitDistance, 100000.0);
}

INSTANTIATE_TEST_SUITE_P(Weights, HitPointAndEdge,
                         ::testing::Values(WeightCase{0.5, 0.25, 0.25}, WeightCase{0.25, 0.5, 0.25},
                                           WeightCase{0.375, 0.5, 0.125}, WeightCase{0.125, 0.25, 0.625},
                                           WeightCase{0.375, 0.25, 0.375}, WeightCase{0.375, 0.375, 0.25},
                                           WeightCase{0.25, 0.375, 0.375}));

// One triangle of a stack pierced by the centre ray of the axis view (eye plane at z = 100000).
struct Layer {
    int32_t target;  // 0 or 1
    double z;        // t = 100000 - z
    bool front;      // wound counter-clockwise seen from the eye
};

struct StackCase {
    const char *name;
    std::vector<Layer> layers;
    int32_t target, polygon;  // expected; target -1 for a miss
};

void PrintTo(const StackCase &c, std::ostream *os) { *os << c.name; }

class NearestTriangle : public ::testing::TestWithParam<StackCase> {};

TEST_P(NearestTriangle, IsTakenInFrontFacingOrder) {
    const StackCase &c = GetParam();
    BrushScene scene(ViewKind::Axis);
    MeshData meshes[2];
    for (const Layer &l : c.layers) {
        MeshData &m = meshes[l.target];
        const int32_t first = static_cast<int32_t>(m.points.size());
        m.points.push_back({-4.0, -4.0, l.z});
        m.points.push_back({4.0, -4.0, l.z});
        m.points.push_back({0.0, 4.0, l.z});
        m.polygons.push_back(l.front ? std::vector<int32_t>{first, first + 1, first + 2}
                                     : std::vector<int32_t>{first, first + 2, first + 1});
    }
    KorrinItem ids[2] = {scene.addTarget("first", meshes[0]), 0};
    if (!meshes[1].points.empty()) ids[1] = scene.addTarget("second", meshes[1]);

    Brush *b = scene.brush;
    b->mouseX = kCentreX;
    b->mouseY = kCentreY;
    b->viewType = -3;
    b->hitBarycentric[0] = 0.125;  // kept by a miss
    const int32_t hit = scene.rayCast();
    if (c.target < 0) {
        EXPECT_EQ(hit, 0);
        EXPECT_EQ(b->hitTarget, 0u);
        EXPECT_EQ(b->hitBarycentric[0], 0.125);
        return;
    }
    ASSERT_EQ(hit, 1);
    EXPECT_EQ(b->hitTarget, ids[c.target]);
    EXPECT_EQ(b->hitPolygon, c.polygon);
    const double z = meshes[c.target].points[static_cast<size_t>(meshes[c.target].polygons[c.polygon][0])][2];
    EXPECT_EQ(b->hitDistance, 100000.0 - z);
    EXPECT_DOUBLE_EQ(b->hitPosition[2], z);
}

INSTANTIATE_TEST_SUITE_P(
    Stacks, NearestTriangle,
    ::testing::Values(StackCase{"NearFirst", {{0, 99998, true}, {0, 99995, true}}, 0, 0},
                      StackCase{"NearSecond", {{0, 99995, true}, {0, 99998, true}}, 0, 1},
                      StackCase{"EqualKeepsFirstPolygon", {{0, 7, true}, {0, 7, true}}, 0, 0},
                      StackCase{"EqualKeepsFirstTarget", {{1, 7, true}, {0, 7, true}}, 0, 0},
                      StackCase{"NearerBackFaceIgnored", {{0, 3, true}, {0, 9, false}}, 0, 0},
                      // The first hit is taken whatever its sign; a later one must be in front and nearer.
                      StackCase{"FirstHitBehindTheEyeStays", {{0, 100003, true}, {0, 7, true}}, 0, 0},
                      StackCase{"OnlyBackFacesMiss", {{0, 3, false}, {1, 9, false}}, -1, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RayCast, MissClearsTheHitButKeepsItsWeights) {
    BrushScene scene(ViewKind::Perspective);
    scene.addTarget("grid", vhost::MakeGrid(2, 2, 2.0, 2.0));
    Brush *b = scene.brush;
    b->viewType = 2;
    b->mouseX = 5;  // far off the grid
    b->mouseY = 5;
    b->hitTarget = 99;
    b->hitPolygon = 3;
    b->hitPoint = b->hitEdge[0] = b->hitEdge[1] = b->hitTriangle[0] = b->hitTriangle[1] = b->hitTriangle[2] = 4;
    b->hitPosition[0] = b->hitPosition[1] = b->hitPosition[2] = b->hitDistance = 1.5;
    b->hitBarycentric[0] = b->hitBarycentric[1] = b->hitBarycentric[2] = 0.25;
    EXPECT_EQ(scene.rayCast(), 0);
    EXPECT_EQ(b->hitTarget, 0u);
    EXPECT_EQ(b->hitPolygon, 0);
    EXPECT_EQ(b->hitPoint, 0u);
    for (uint32_t v : {b->hitEdge[0], b->hitEdge[1], b->hitTriangle[0], b->hitTriangle[1], b->hitTriangle[2]})
        EXPECT_EQ(v, 0u);
    for (double v : {b->hitPosition[0], b->hitPosition[1], b->hitPosition[2], b->hitDistance}) EXPECT_EQ(v, 0.0);
    for (double v : b->hitBarycentric) EXPECT_EQ(v, 0.25);
}

// ---- the screen-space pick ----

// A target built from screen positions in the axis view: each point is put under its pixel, at
// depth z.
MeshData ScreenMesh(const vhost::Host &host, const std::vector<std::array<double, 3>> &pixelsAndDepth,
                    std::vector<std::vector<int32_t>> polygons) {
    MeshData m;
    for (const auto &p : pixelsAndDepth) {
        Vec3 w = Unproject(host, p[0], p[1]);
        w[2] = p[2];
        m.points.push_back(w);
    }
    m.polygons = std::move(polygons);
    return m;
}

class ScreenPick : public ::testing::Test {
protected:
    ScreenPick() {
        b->pickMode = 1;
        b->viewType = -3;
        b->mouseX = 300;
        b->mouseY = 200;
    }
    BrushScene scene{ViewKind::Axis};
    Brush *b = scene.brush;
};

TEST_F(ScreenPick, NearestPointSideAndCentreAreSearchedApart) {
    // Target 1 holds only a point, the nearest one. Target 2: the first triangle's bottom side, if
    // extended, would pass 1 pixel from the mouse, but the side ends 20 pixels short of it; the
    // second triangle's left side passes 10 pixels away and its centre is the nearest.
    const KorrinItem lone = scene.addTarget("lone", ScreenMesh(scene.host, {{302, 201, -2.0}}, {}));
    scene.addTarget(
        "shapes", ScreenMesh(scene.host,
                             {{100, 199, 0}, {280, 199, 0}, {100, 100, 0}, {310, 190, 0}, {310, 250, 0}, {400, 250, 0}},
                             {{0, 1, 2}, {3, 4, 5}}));
    EXPECT_EQ(scene.rayCast(), 1);
    EXPECT_EQ(b->hitTarget, lone);
    EXPECT_EQ(b->hitPoint, 0u);
    EXPECT_EQ(b->hitEdge[0], 3u);
    EXPECT_EQ(b->hitEdge[1], 4u);
    EXPECT_EQ(b->hitPolygon, 1);
    EXPECT_EQ(b->hitDistance, 0.0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b->hitTriangle[i], 0u);
        EXPECT_EQ(b->hitBarycentric[i], 0.0);
    }
    // The eye ray through the mouse met with the plane through the nearest point facing the view.
    const Vec3 under = Unproject(scene.host, 300, 200);
    EXPECT_DOUBLE_EQ(b->hitPosition[0], under[0]);
    EXPECT_DOUBLE_EQ(b->hitPosition[1], under[1]);
    EXPECT_DOUBLE_EQ(b->hitPosition[2], -2.0);
}

TEST_F(ScreenPick, ClosingSideAndMouseOnAPoint) {
    // The nearest side is the closing one, from the last corner back to the first.
    scene.addTarget("quad", ScreenMesh(scene.host, {{250, 250, 0}, {350, 250, 0}, {350, 300, 0}, {250, 300, 0}},
                                       {{0, 1, 2, 3}}));
    b->mouseX = 240;
    b->mouseY = 270;
    scene.rayCast();
    EXPECT_EQ(b->hitEdge[0], 3u);
    EXPECT_EQ(b->hitEdge[1], 0u);
    EXPECT_EQ(b->hitPoint, 0u);
    EXPECT_EQ(b->hitPolygon, 0);
    b->mouseX = 350;
    b->mouseY = 300;
    scene.rayCast();
    EXPECT_EQ(b->hitPoint, 2u);
}

TEST_F(ScreenPick, SideWithCoincidentEndsMeasuresToThatPosition) {
    // The first polygon's side 0-1 runs along the view (both ends on one pixel, far away); its
    // distance must not poison the search, so the second polygon's nearby side wins.
    scene.addTarget("sides", ScreenMesh(scene.host,
                                        {{600, 400, 0}, {600, 400, -3}, {620, 450, 0}, {290, 150, 0}, {290, 250, 0},
                                         {200, 250, 0}},
                                        {{0, 1, 2}, {3, 4, 5}}));
    scene.rayCast();
    EXPECT_EQ(b->hitEdge[0], 3u);
    EXPECT_EQ(b->hitEdge[1], 4u);
    // Near its shared position it is measured to it: 5 pixels, the same as the two sides that
    // start or end there, and it comes first.
    b->mouseX = 597;
    b->mouseY = 396;
    scene.rayCast();
    EXPECT_EQ(b->hitEdge[0], 0u);
    EXPECT_EQ(b->hitEdge[1], 1u);
}

TEST_F(ScreenPick, NothingMeasuredLeavesEveryIndexAtMinusOne) {
    // No targets at all, then a target with points but no polygons.
    for (int round = 0; round < 2; ++round) {
        b->hitPolygon = 5;
        b->hitEdge[0] = b->hitEdge[1] = 5;
        EXPECT_EQ(scene.rayCast(), 1);
        EXPECT_EQ(b->hitPolygon, -1);
        EXPECT_EQ(b->hitEdge[0], UINT32_MAX);
        EXPECT_EQ(b->hitEdge[1], UINT32_MAX);
        if (round == 0) {
            EXPECT_EQ(b->hitTarget, UINT32_MAX);
            EXPECT_EQ(b->hitPoint, UINT32_MAX);
            // The plane runs through (0, 0, 0).
            EXPECT_EQ(b->hitPosition[2], 0.0);
            scene.addTarget("points", ScreenMesh(scene.host, {{10, 10, 0}, {20, 20, 0}}, {}));
        } else {
            EXPECT_EQ(b->hitPoint, 1u);
        }
    }
}

// ---- box marks ----

class BoxMarks : public ::testing::Test {
protected:
    BoxMarks() {
        b->mode = 8;
        b->pickMode = 0;
    }
    // Starts a box drag through the tool, so that the marks exist.
    void startBox() { ASSERT_EQ(scene.press(0, 0), 0) << "press"; }
    void drag() { scene.fn<vantic_BrushDragBoxSelection_t>("vantic_BrushDragBoxSelection")(b); }

    BrushScene scene{ViewKind::Axis};
    Brush *b = scene.brush;
};

TEST_F(BoxMarks, MarkPointsStrictlyInsideTheTruncatedBox) {
    // Screen positions and whether the box from corner (100.7, 50.2) to the mouse (200, 150) holds
    // them: pixels are truncated towards zero, and the bounds themselves are outside.
    const std::vector<std::pair<std::array<double, 2>, int32_t>> points = {
        {{101.3, 60}, 1},  {{100.9, 60}, 0},  {{200.25, 60}, 0}, {{150, 100}, 1},
        {{150, 50.5}, 0},  {{150, 149.5}, 1}, {{199.5, 51.5}, 1}, {{150, 150.5}, 0}, {{-150, 100}, 0}};
    std::vector<std::array<double, 3>> pixels;
    for (const auto &p : points) pixels.push_back({p.first[0], p.first[1], 0.0});
    scene.addTarget("points", ScreenMesh(scene.host, pixels, {}));
    startBox();
    // Either drag direction gives the same box.
    for (bool reversed : {false, true}) {
        b->anchor[0] = reversed ? 200.0 : 100.7;
        b->anchor[1] = reversed ? 150.0 : 50.2;
        b->mouseX = reversed ? 100 : 200;
        b->mouseY = reversed ? 50 : 150;
        drag();
        ASSERT_NE(b->boxSelection, nullptr);
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(b->boxSelection[0][i], points[i].second)
                << "point " << i << (reversed ? " reversed" : "");
        }
    }
    scene.release(0, 0);
}

TEST_F(BoxMarks, ZeroWidthBoxAndMissingMarks) {
    scene.addTarget("grid", vhost::MakeGrid(4, 4, 4.0, 4.0));
    // Without a box drag there are no marks to fill: nothing happens.
    b->anchor[0] = 0;
    b->anchor[1] = 0;
    b->mouseX = 640;
    b->mouseY = 480;
    drag();
    EXPECT_EQ(b->boxSelection, nullptr);

    startBox();
    b->anchor[0] = 320.0;
    b->anchor[1] = 0.0;
    b->mouseX = 320;
    b->mouseY = 480;
    drag();
    for (int32_t i = 0; i < 25; ++i) EXPECT_EQ(b->boxSelection[0][i], 0) << i;
    scene.release(0, 0);
}

TEST_F(BoxMarks, ClientMadeMarksAreFilledWithoutReadingOutsideThem) {
    // A client may set up the marks itself with plain calloc arrays, one per point, and no terminator.
    scene.addTarget("grid", vhost::MakeGrid(4, 4, 4.0, 4.0));
    auto **marks = static_cast<int32_t **>(std::calloc(1, sizeof(int32_t *)));
    marks[0] = static_cast<int32_t *>(std::calloc(25, sizeof(int32_t)));
    b->boxSelection = marks;
    b->anchor[0] = -1.0;
    b->anchor[1] = -1.0;
    b->mouseX = 10000;
    b->mouseY = 10000;
    drag();
    // The whole grid projects inside this box.
    for (int32_t i = 0; i < 25; ++i) EXPECT_EQ(marks[0][i], 1) << i;
    // Releasing the box ends it; the marks stay the client's to free.
    scene.release(0, 0);
    EXPECT_EQ(b->boxSelection, nullptr);
    EXPECT_EQ(marks[0][24], 1);
    std::free(marks[0]);
    std::free(marks);
}

}  // namespace
