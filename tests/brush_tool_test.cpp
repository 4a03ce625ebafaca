// The interactive brush tool, driven end to end: the host's mouse events on the brush's action reach
// the loaded module's "vanticBrush" callback, and the outcome is read from the Brush fields and the
// host scene, as a client and a user would see them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "brush_scene.h"
#include "model/scene_file.h"

namespace {

using brushtest::BrushScene;
using brushtest::Distance;
using brushtest::Project;
using brushtest::Unproject;
using brushtest::Vec3;
using brushtest::ViewKind;
using vhost::MeshData;

constexpr int32_t kPaint = 0, kResize = 1, kErase = 2;

struct Pixel {
    int32_t x, y;
};

// An 8 x 8 grid of unit quads in the xy-plane, facing the eye of every view kind (all look along -z
// from 10 units away), as the brush's only target.
class GridStroke : public ::testing::Test {
protected:
    explicit GridStroke(ViewKind view = ViewKind::Perspective) : scene(view) {
        grid = scene.addTarget("grid", data);
        b->viewType = 99;  // set from the view at every press
    }

    Pixel pixelOf(const Vec3 &world) const {
        const Vec3 s = Project(scene.host, world);
        return {static_cast<int32_t>(std::lround(s[0])), static_cast<int32_t>(std::lround(s[1]))};
    }
    Vec3 centreOf(int32_t polygon) const {
        Vec3 c{};
        for (int32_t corner : data.polygons[static_cast<size_t>(polygon)])
            for (int i = 0; i < 3; ++i) c[i] += 0.25 * data.points[static_cast<size_t>(corner)][i];
        return c;
    }
    Pixel pixelOfPolygon(int32_t polygon) const { return pixelOf(centreOf(polygon)); }

    size_t points() const { return data.points.size(); }
    std::vector<double> weights() const { return scene.weights(0, points()); }
    std::set<int32_t> selected() const {
        std::set<int32_t> s;
        for (size_t i = 0; i < points(); ++i)
            if (b->selection[0][i]) s.insert(static_cast<int32_t>(i));
        return s;
    }
    std::set<int32_t> hostSelected() {
        std::set<int32_t> s;
        const std::vector<uint8_t> &flags = scene.mesh(grid).selected;
        for (size_t i = 0; i < flags.size(); ++i)
            if (flags[i]) s.insert(static_cast<int32_t>(i));
        return s;
    }
    int32_t updates(int32_t flag) { return scene.host.scene.tools.interfaceUpdates[flag]; }
    vhost::Channel3 toolChannel(int32_t code) {
        return scene.host.scene.channels.objects[b->toolObject].values[code];
    }

    // The weights a brush of radius pixels at pixel m gives the grid's points, with falloff 1: on a
    // plane facing the view, world distances are proportional to screen distances.
    std::vector<double> screenWeights(Pixel m) const {
        std::vector<double> w;
        for (const Vec3 &p : data.points) {
            const Vec3 s = Project(scene.host, p);
            const double d = std::hypot(s[0] - m.x, s[1] - m.y) / b->radius;
            w.push_back(d < 1.0 ? 1.0 - d : 0.0);
        }
        return w;
    }
    void expectScreenWeights(Pixel m) const {
        const std::vector<double> expected = screenWeights(m), actual = weights();
        int32_t covered = 0;
        for (size_t i = 0; i < points(); ++i) {
            EXPECT_NEAR(actual[i], expected[i], 1e-6) << "point " << i;
            covered += actual[i] > 0.0;
        }
        EXPECT_GT(covered, 2);
    }

    MeshData data = vhost::MakeGrid(8, 8, 8.0, 8.0);
    BrushScene scene;
    Brush *b = scene.brush;
    KorrinItem grid = 0;
};

// ---- in every view kind ----

class EveryView : public GridStroke, public ::testing::WithParamInterface<ViewKind> {
protected:
    EveryView() : GridStroke(GetParam()) {}
};

TEST_P(EveryView, PressPicksThePolygonDrawnAtThePixelAndWeightsAroundIt) {
    b->mode = 0;
    for (int32_t polygon : {0, 9, 27, 36, 45, 63}) {
        const Pixel m = pixelOfPolygon(polygon);
        ASSERT_EQ(scene.press(m.x, m.y), 0);
        EXPECT_EQ(b->mouseX, m.x);
        EXPECT_EQ(b->hitTarget, grid) << polygon;
        EXPECT_EQ(b->hitPolygon, polygon);
        const std::vector<int32_t> &corners = data.polygons[static_cast<size_t>(polygon)];
        for (uint32_t c : b->hitTriangle)
            EXPECT_NE(std::find(corners.begin(), corners.end(), static_cast<int32_t>(c)), corners.end());
        // The hit lies on the grid under the pixel; the anchor follows it.
        const Vec3 hit{b->hitPosition[0], b->hitPosition[1], b->hitPosition[2]};
        const Vec3 s = Project(scene.host, hit);
        EXPECT_NEAR(s[0], m.x, 1e-6);
        EXPECT_NEAR(s[1], m.y, 1e-6);
        EXPECT_NEAR(hit[2], 0.0, 1e-9);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(b->anchor[i], b->hitPosition[i]);
        expectScreenWeights(m);
        scene.release(m.x, m.y);
    }
    EXPECT_EQ(b->viewType, scene.host.scene.views.currentView().type);
}

// The drawn brush: centred under the mouse (500 units down the view in an axis view, 0.1 in front of
// the mouse's world point otherwise), as wide as the radius spans there, turned to face the view.
TEST_P(EveryView, DrawnBrushSitsUnderTheMouse) {
    b->mode = 0;
    const Pixel m{350, 200};
    scene.press(m.x, m.y);
    const vhost::Channel3 centre = toolChannel(35);
    const vhost::Viewport &view = scene.host.scene.views.currentView();
    const double focal = (view.height / 2.0) / std::tan(view.fieldOfView / 2.0);
    const Vec3 under = Unproject(scene.host, m.x, m.y);
    double depth = 0.0;
    if (GetParam() == ViewKind::Axis) {
        EXPECT_NEAR(centre[0], under[0], 1e-9);
        EXPECT_NEAR(centre[1], under[1], 1e-9);
        EXPECT_NEAR(centre[2], under[2] - 500.0, 1e-9);
        depth = view.dolly * view.gridSize;  // the axis views' scale
    } else {
        const Vec3 s = Project(scene.host, {centre[0], centre[1], centre[2]});
        EXPECT_NEAR(s[0], m.x, 1e-6);
        EXPECT_NEAR(s[1], m.y, 1e-6);
        EXPECT_NEAR(Distance({centre[0], centre[1], centre[2]}, under), 0.1, 1e-12);
        depth = 10.0 - centre[2];  // the eye is at z = 10, looking along -z
    }
    EXPECT_NEAR(toolChannel(12)[0], b->radius * depth / focal, 1e-9);
    EXPECT_EQ(toolChannel(14)[0], toolChannel(12)[0]);
    const vhost::Channel3 rotation = toolChannel(36);
    EXPECT_NEAR(std::abs(rotation[0]), GetParam() == ViewKind::Axis ? 0.0 : std::numbers::pi, 1e-15);
    EXPECT_EQ(rotation[1], 1.5707963267910001);
    EXPECT_EQ(rotation[2], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Views, EveryView,
                         ::testing::Values(ViewKind::Perspective, ViewKind::Axis, ViewKind::Camera),
                         [](const auto &info) { return std::string(brushtest::Name(info.param)); });

// ---- the painting and dragging modes ----

TEST_F(GridStroke, WeightBrushStroke) {
    b->mode = 0;
    const Pixel a = pixelOfPolygon(27), c = pixelOfPolygon(29);
    scene.press(a.x, a.y);
    const int32_t redraws = updates(34);
    scene.drag(c.x, c.y);
    EXPECT_EQ(b->hitPolygon, 29);
    expectScreenWeights(c);
    EXPECT_EQ(updates(34), redraws + 1);

    // Button 1 resizes by a quarter of the horizontal movement, without limit, and picks nothing.
    for (auto [x, radius] : {std::pair{c.x + 40, 110.0}, {c.x, 100.0}, {c.x - 800, -100.0}}) {
        scene.drag(x, c.y + 7, kResize);
        EXPECT_EQ(b->radius, radius);
        EXPECT_EQ(b->mouseX, c.x) << "resizing does not move the brush's mouse";
    }
    b->radius = 100.0;

    // Over empty space the hit is cleared and the weights stay.
    const std::vector<double> before = weights();
    scene.drag(2, 2);
    EXPECT_EQ(b->hitTarget, 0u);
    EXPECT_EQ(weights(), before);
    scene.press(a.x, a.y);
    scene.release(a.x, a.y);
    EXPECT_EQ(b->hitTarget, 0u);
    EXPECT_EQ(b->hitPosition[0], 0.0);
}

TEST_F(GridStroke, ViewPlaneDrag) {
    b->mode = 1;
    const Pixel a = pixelOfPolygon(27);
    scene.press(a.x, a.y);
    const Vec3 pressed{b->hitPosition[0], b->hitPosition[1], b->hitPosition[2]};
    EXPECT_EQ(b->anchor[0], pressed[0]);
    EXPECT_EQ(b->delta[0], 0.0);
    expectScreenWeights(a);
    const std::vector<double> pressWeights = weights();

    // The anchor moves across the plane through the pressed point that faces the view (z = const),
    // even off the grid; the drag computes no weights.
    Vec3 previous = pressed;
    for (Pixel p : {Pixel{a.x + 30, a.y - 20}, Pixel{5, 5}}) {
        scene.drag(p.x, p.y);
        const Vec3 anchor{b->anchor[0], b->anchor[1], b->anchor[2]};
        const Vec3 s = Project(scene.host, anchor);
        EXPECT_NEAR(s[0], p.x, 1e-6);
        EXPECT_NEAR(s[1], p.y, 1e-6);
        EXPECT_NEAR(anchor[2], pressed[2], 1e-9);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(b->delta[i], anchor[i] - previous[i], 1e-12);
        previous = anchor;
    }
    EXPECT_EQ(weights(), pressWeights);
    scene.release(5, 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b->anchor[i], 0.0);
        EXPECT_EQ(b->delta[i], 0.0);
    }
    EXPECT_EQ(b->hitTarget, 0u);
}

TEST_F(GridStroke, SurfaceDrag) {
    b->mode = 2;
    // A press beside the grid does nothing, not even a redraw.
    const int32_t redraws = updates(34);
    scene.press(2, 2);
    EXPECT_EQ(updates(34), redraws);

    const Pixel a = pixelOfPolygon(27), c = pixelOfPolygon(30);
    scene.press(a.x, a.y);
    const Vec3 pressed{b->hitPosition[0], b->hitPosition[1], b->hitPosition[2]};

    // Over the grid: the hit keeps the press, the anchor follows the surface, the weights too.
    scene.drag(c.x, c.y);
    EXPECT_EQ(b->hitTarget, grid);
    EXPECT_EQ(b->hitPosition[0], pressed[0]);
    EXPECT_EQ(b->hitPolygon, 30) << "the polygon is this event's pick";
    const Vec3 s = Project(scene.host, {b->anchor[0], b->anchor[1], b->anchor[2]});
    EXPECT_NEAR(s[0], c.x, 1e-6);
    EXPECT_NEAR(b->anchor[2], 0.0, 1e-9);
    for (double d : b->delta) EXPECT_NEAR(d, 0.0, 1e-9);
    expectScreenWeights(c);

    // Off the grid the anchor slides on the view plane and the step is in delta; the weights stay.
    const std::vector<double> before = weights();
    const Vec3 last{b->anchor[0], b->anchor[1], b->anchor[2]};
    scene.drag(5, 5);
    const Vec3 anchor{b->anchor[0], b->anchor[1], b->anchor[2]};
    const Vec3 off = Project(scene.host, anchor);
    EXPECT_NEAR(off[0], 5.0, 1e-6);
    EXPECT_NEAR(anchor[2], last[2], 1e-9);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(b->delta[i], anchor[i] - last[i], 1e-12);
    EXPECT_GT(std::abs(b->delta[0]), 1.0);
    EXPECT_EQ(weights(), before);
    EXPECT_EQ(b->hitTarget, grid);
    EXPECT_EQ(b->hitPosition[0], pressed[0]);

    // A resizing drag over the grid keeps its new pick.
    scene.drag(c.x, c.y, kResize);
    EXPECT_NE(b->hitPosition[0], pressed[0]);
    EXPECT_NE(b->radius, 100.0);
    scene.release(c.x, c.y);
    EXPECT_EQ(b->hitTarget, 0u);
}

TEST_F(GridStroke, SelectionByWeights) {
    b->mode = 7;
    const Pixel a = pixelOfPolygon(36);
    const int32_t redraws = updates(34);
    scene.press(a.x, a.y, kResize);  // only moves the drawn brush
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(updates(34), redraws);
    EXPECT_NE(toolChannel(35)[0], 0.0);

    scene.press(a.x, a.y, kPaint);
    std::set<int32_t> covered;
    const std::vector<double> w = weights();
    for (size_t i = 0; i < points(); ++i)
        if (w[i] > 1e-7) covered.insert(static_cast<int32_t>(i));
    EXPECT_GT(covered.size(), 2u);
    EXPECT_EQ(selected(), covered);
    EXPECT_EQ(hostSelected(), covered);
    scene.release(a.x, a.y);
    EXPECT_EQ(b->hitTarget, 0u);

    scene.press(a.x, a.y, kErase);
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(hostSelected().empty());
}

// ---- the selection modes ----

struct SelectionCase {
    int32_t mode;
    int32_t pickMode;
    const char *name;
};

class SelectionPaint : public GridStroke, public ::testing::WithParamInterface<SelectionCase> {};

// What the picked element covers on the 8 x 8 grid (point (i, j) is 9j + i).
std::set<int32_t> Element(const Brush &b) {
    const int32_t e0 = static_cast<int32_t>(b.hitEdge[0]), e1 = static_cast<int32_t>(b.hitEdge[1]);
    switch (b.mode) {
        case 3: return {static_cast<int32_t>(b.hitPoint)};
        case 4: return {e0, e1};
        case 5: {
            // A side of an inner quad: the loop runs along its row or column from border to border.
            std::set<int32_t> loop;
            for (int32_t k = 0; k < 9; ++k) loop.insert(e0 / 9 == e1 / 9 ? 9 * (e0 / 9) + k : 9 * k + e0 % 9);
            return loop;
        }
        case 6: {
            const int32_t i = b.hitPolygon % 8, j = b.hitPolygon / 8;
            return {9 * j + i, 9 * j + i + 1, 9 * (j + 1) + i, 9 * (j + 1) + i + 1};
        }
    }
    return {};
}

TEST_P(SelectionPaint, PaintsAndErasesThePickedElement) {
    b->mode = GetParam().mode;
    b->pickMode = GetParam().pickMode;
    // The middle of the side between points (3, 4) and (4, 4) of polygons 27 and 35, inside 35.
    const Pixel a = pixelOf({-0.5, 0.1, 0.0});
    scene.mesh(grid).selected[80] = 1;  // a host-only selection, replaced by the brush's own

    scene.press(a.x, a.y, kResize);
    EXPECT_TRUE(selected().empty()) << "button 1 selects nothing";
    EXPECT_EQ(hostSelected(), std::set<int32_t>{80});

    scene.press(a.x, a.y, kPaint);
    ASSERT_EQ(b->hitTarget, grid);
    const std::set<int32_t> element = Element(*b);
    EXPECT_GE(element.size(), 1u);
    EXPECT_EQ(selected(), element);
    EXPECT_EQ(hostSelected(), element);
    const int32_t selectionRedraws = updates(2);
    scene.release(a.x, a.y);
    EXPECT_EQ(updates(2), selectionRedraws) << "release does nothing in the selection modes";
    EXPECT_EQ(b->hitTarget, grid) << "and keeps the hit";

    scene.press(a.x, a.y, kErase);
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(hostSelected().empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, SelectionPaint,
                         ::testing::Values(SelectionCase{3, 0, "PointRay"}, SelectionCase{3, 1, "PointScreen"},
                                           SelectionCase{4, 0, "EdgeRay"}, SelectionCase{4, 1, "EdgeScreen"},
                                           SelectionCase{5, 1, "EdgeLoopScreen"}, SelectionCase{6, 0, "PolygonRay"},
                                           SelectionCase{6, 1, "PolygonScreen"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(GridStroke, PointPaintingDragAndMiss) {
    b->mode = 3;
    b->pickMode = 1;
    const Pixel a = pixelOf(data.points[30]), c = pixelOf(data.points[42]);
    scene.press(a.x, a.y);
    scene.drag(c.x, c.y);
    EXPECT_EQ(selected(), (std::set<int32_t>{30, 42}));
    // A miss of the ray pick only pushes the brush selection into the host.
    b->pickMode = 0;
    scene.mesh(grid).selected[0] = 1;
    scene.drag(2, 2);
    EXPECT_EQ(hostSelected(), (std::set<int32_t>{30, 42}));
}

TEST(SelectionPaintWithoutPolygons, ScreenPickLeavesNoEdgeOrPolygonToSelect) {
    BrushScene scene;
    MeshData points{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}};
    scene.addTarget("points", points);
    Brush *b = scene.brush;
    b->pickMode = 1;
    for (int32_t mode : {4, 5, 6}) {
        b->mode = mode;
        scene.press(320, 240);
        EXPECT_EQ(b->hitPolygon, -1);
        for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(b->selection[0][i], 0) << mode;
    }
}

// ---- box selection ----

class BoxSelection : public GridStroke {
protected:
    // The points whose projection, truncated, lies strictly inside the box between two pixels.
    std::set<int32_t> inside(Pixel from, Pixel to) const {
        std::set<int32_t> s;
        for (size_t i = 0; i < points(); ++i) {
            const Vec3 p = Project(scene.host, data.points[i]);
            const int32_t x = static_cast<int32_t>(p[0]), y = static_cast<int32_t>(p[1]);
            if (std::min(from.x, to.x) < x && x < std::max(from.x, to.x) && std::min(from.y, to.y) < y &&
                y < std::max(from.y, to.y))
                s.insert(static_cast<int32_t>(i));
        }
        return s;
    }
    int32_t boxDrawing() { return scene.host.scene.items.find(b->toolObject)->proceduralType; }
};

TEST_F(BoxSelection, PressDragReleaseSelectsTheLastBox) {
    b->mode = 8;
    const Pixel from = pixelOf({-2.3, 2.6, 0}), mid = pixelOf({0.5, 0.5, 0}), to = pixelOf({1.6, -1.2, 0});
    scene.press(from.x, from.y);
    ASSERT_NE(b->boxSelection, nullptr);
    EXPECT_EQ(boxDrawing(), 1);
    EXPECT_EQ(b->anchor[0], from.x);
    scene.drag(mid.x, mid.y);
    scene.drag(to.x, to.y);
    const std::set<int32_t> box = inside(from, to);
    EXPECT_GT(box.size(), 4u);
    EXPECT_TRUE(selected().empty()) << "the drag only previews in the host";
    EXPECT_EQ(hostSelected(), box);
    // The release applies the last drag's marks wherever it happens.
    scene.release(630, 470);
    EXPECT_EQ(selected(), box);
    EXPECT_EQ(hostSelected(), box);
    EXPECT_EQ(b->boxSelection, nullptr);
    EXPECT_EQ(boxDrawing(), 0);
}

TEST_F(BoxSelection, ButtonsOneAndTwoDeselect) {
    b->mode = 8;
    scene.fn<vantic_BrushSelectAll_t>("vantic_BrushSelectAll")(b);
    std::set<int32_t> all;
    for (int32_t i = 0; i < static_cast<int32_t>(points()); ++i) all.insert(i);
    const Pixel from = pixelOf({-2.3, 2.6, 0}), to = pixelOf({1.6, -1.2, 0});
    std::set<int32_t> remaining = all;
    for (int32_t button : {kResize, kErase}) {
        scene.press(from.x, from.y, button);
        scene.drag(to.x, to.y, button);
        std::set<int32_t> preview = all;
        for (int32_t p : inside(from, to)) preview.erase(p);
        EXPECT_EQ(hostSelected(), preview) << button;
        scene.release(to.x, to.y, button);
        for (int32_t p : inside(from, to)) remaining.erase(p);
        EXPECT_EQ(selected(), remaining) << button;
    }
    EXPECT_LT(remaining.size(), all.size());
}

TEST_F(BoxSelection, SecondPressStartsTheBoxAgain) {
    // A press without a release (a lost mouse-up) must neither keep nor leak the first box.
    b->mode = 8;
    const Pixel first = pixelOf({-3.5, -3.5, 0}), from = pixelOf({0.5, 0.5, 0}), to = pixelOf({2.5, 2.5, 0});
    scene.press(first.x, first.y);
    scene.drag(to.x, to.y);
    scene.press(from.x, from.y);
    scene.drag(to.x, to.y);
    scene.release(to.x, to.y);
    EXPECT_EQ(selected(), inside(from, to));
    EXPECT_EQ(inside(from, to).size(), 4u);
}

TEST_F(BoxSelection, DragOrReleaseWithoutPressChangesNothing) {
    b->mode = 8;
    b->mouseX = 17;
    const int32_t redraws = updates(34);
    for (int32_t event = 0; event < 2; ++event) {
        if (event == 0)
            scene.drag(400, 400);
        else
            scene.release(400, 400);
        EXPECT_EQ(b->mouseX, 17);
        EXPECT_TRUE(selected().empty());
        EXPECT_TRUE(hostSelected().empty());
        EXPECT_EQ(updates(34), redraws);
        EXPECT_EQ(boxDrawing(), 0);
    }
}

// ---- targets that change under the tool ----

TEST_F(GridStroke, MeshGrownAfterTheTargetWasAdded) {
    // The host grid gains a row of quads above its top border after the brush took its arrays.
    vhost::Mesh &mesh = scene.mesh(grid);
    for (int32_t i = 0; i <= 8; ++i) {
        mesh.base.push_back({-4.0 + i, 5.0, 0.0});
        mesh.current.push_back(mesh.base.back());
    }
    for (int32_t i = 0; i < 8; ++i) mesh.polygons.push_back({72 + i, 73 + i, 82 + i, 81 + i});
    mesh.rebuild();
    // Only the entries made when the target was added are touched.
    brushtest::ClientArray<double> clientWeights(b->weights, 0, points(), -9.0);
    brushtest::ClientArray<int32_t> clientFlags(b->selection, 0, points(), -9);
    const Pixel top = pixelOf({0.5, 3.8, 0.0}), corner = pixelOf({-4.5, 5.5, 0.0}), far = pixelOf({4.5, 2.5, 0.0});
    b->radius = 400.0;
    for (int32_t mode : {0, 7, 8}) {
        b->mode = mode;
        for (int32_t weightMode : {0, 1}) {
            b->weightMode = weightMode;
            scene.press(top.x, top.y);
            if (mode == 8) {
                scene.drag(far.x, far.y);
                // A target added during the drag has no marks, and is given none.
                scene.addTarget("late", vhost::MakeGrid(1, 1, 1.0, 1.0));
                scene.drag(corner.x, corner.y);
            }
            scene.release(mode == 8 ? corner.x : top.x, mode == 8 ? corner.y : top.y);
        }
    }
    EXPECT_TRUE(clientWeights.guardsKept());
    EXPECT_TRUE(clientFlags.guardsKept());
    EXPECT_GT(weights()[76], 0.0);
    EXPECT_EQ(b->selection[0][76], 1);
    EXPECT_EQ(b->selection[1][0], 0);
}

// ---- undo, save, destroy and the module messages ----

int32_t g_stored = 0;
void CountStore(Brush *, uint64_t, int32_t) { ++g_stored; }

struct UndoCase {
    int32_t mode, button, stored;
};

TEST_F(GridStroke, PressStoresAnUndoStepOnlyWhenAStrokeStarts) {
    const std::vector<UndoCase> cases = {{0, kPaint, 1}, {1, kPaint, 1}, {2, kPaint, 1}, {2, kErase, 1},
                                         {0, kResize, 0}, {3, kPaint, 0}, {7, kPaint, 0}, {8, kPaint, 0},
                                         {9, kPaint, 0}, {-1, kPaint, 0}};
    b->undoStore = &CountStore;
    b->undoLevels = 3;
    const Pixel a = pixelOfPolygon(27);
    for (const UndoCase &c : cases) {
        g_stored = 0;
        b->mode = c.mode;
        scene.press(a.x, a.y, c.button);
        scene.drag(a.x + 3, a.y, c.button);
        scene.release(a.x + 3, a.y, c.button);
        EXPECT_EQ(g_stored, c.stored) << "mode " << c.mode << " button " << c.button;
    }
}

TEST_F(GridStroke, ModeOutsideTheToolDoesNothing) {
    b->mode = 9;
    const Pixel a = pixelOfPolygon(27);
    const int32_t redraws = updates(34);
    EXPECT_EQ(scene.press(a.x, a.y), 0);
    EXPECT_EQ(scene.drag(a.x + 9, a.y), 0);
    EXPECT_EQ(scene.release(a.x, a.y), 0);
    EXPECT_EQ(b->mouseX, 0);
    EXPECT_EQ(b->hitTarget, 0u);
    EXPECT_EQ(updates(34), redraws);
}

TEST_F(GridStroke, SaveWritesTheActionBlockIntoTheSceneFile) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("brush_tool_save_" + std::to_string(getpid()) + ".scene")).string();
    vhost::SaveScene(scene.host, path);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_NE(text.str().find("BrushActionInfo"), std::string::npos);

    vhost::BeginLoad(scene.host, path);
    const std::vector<KorrinHandle> blocks = vhost::LoadedBlocks(scene.host, "BrushActionInfo");
    ASSERT_EQ(blocks.size(), 1u);
    const vhost::SceneBlock *block = scene.host.scene.sceneFile.stream(blocks[0]);
    ASSERT_EQ(block->values.size(), 1u);
    EXPECT_EQ(block->values[0].key, "JumpingThroughHoops");
    EXPECT_FALSE(block->values[0].isText);
    EXPECT_EQ(block->values[0].number, 7175);
    vhost::EndLoad(scene.host);
    std::filesystem::remove(path);
}

TEST_F(GridStroke, ActionWithoutItsAttachmentIgnoresEvents) {
    void *attachment = scene.host.data.get(scene.action, "BrushPointerUsedToAttachData", 0);
    ASSERT_NE(attachment, nullptr);
    // Detached, not freed: it holds the arrays the module made, which deleting the brush frees.
    scene.host.data.free(scene.action, "BrushPointerUsedToAttachData", 0);
    b->mode = 0;
    const Pixel a = pixelOfPolygon(27);
    EXPECT_EQ(scene.press(a.x, a.y), 1);
    EXPECT_EQ(b->hitTarget, 0u);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("brush_tool_bare_" + std::to_string(getpid()) + ".scene")).string();
    vhost::SaveScene(scene.host, path);
    vhost::BeginLoad(scene.host, path);
    EXPECT_TRUE(vhost::LoadedBlocks(scene.host, "BrushActionInfo").empty());
    vhost::EndLoad(scene.host);
    std::filesystem::remove(path);
    scene.host.data.set(scene.action, "BrushPointerUsedToAttachData", 0, attachment);
}

TEST_F(GridStroke, DestroyDeletesTheArmatureAndLeavesTheBrushToItsClient) {
    const KorrinItem armature = b->armature;
    ASSERT_TRUE(scene.host.scene.tools.armatures.count(armature));
    EXPECT_EQ(vhost::DestroyAction(scene.host, scene.action), 0);
    EXPECT_FALSE(scene.host.scene.tools.armatures.count(armature));
    EXPECT_FALSE(scene.host.scene.tools.handles.count(b->handle));
    EXPECT_EQ(scene.fn<vantic_FetchBrush_t>("vantic_FetchBrush")(scene.action, BrushScene::kKey, BrushScene::kDataId), b);
}

TEST_F(GridStroke, ModuleMessages) {
    EXPECT_EQ(vhost::SendModuleMessage(scene.host, scene.action, 30, 256), 0);
    EXPECT_EQ(scene.host.scene.tools.initActionCalls, 1);
    EXPECT_EQ(vhost::SendModuleMessage(scene.host, scene.action, 30, 255), 0);
    EXPECT_EQ(vhost::SendModuleMessage(scene.host, scene.action, 27, 512), 0);
    EXPECT_EQ(scene.host.scene.tools.initActionCalls, 1);
}

}  // namespace
