// The brush's own selection through the loaded module, and its push into the host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

using vhost::MakeGrid;

constexpr const char *kKey = "SelectionTestKey";

class BrushSelection : public ::testing::Test {
public:
    template <class F>
    F *Fn(const char *name) {
        return plugin.function<F>(name);
    }

    vhost::PluginHost plugin;
    vhost::Host &host = plugin.host;
    KorrinItem action = Fn<vantic_CreateBrush_t>("vantic_CreateBrush")(kKey, 0);
    Brush *brush = Fn<vantic_FetchBrush_t>("vantic_FetchBrush")(action, kKey, 0);

    vantic_BrushSelectVertex_t *selectVertex = Fn<vantic_BrushSelectVertex_t>("vantic_BrushSelectVertex");
    vantic_BrushDeselectVertex_t *deselectVertex = Fn<vantic_BrushDeselectVertex_t>("vantic_BrushDeselectVertex");
    vantic_BrushSelectEdge_t *selectEdge = Fn<vantic_BrushSelectEdge_t>("vantic_BrushSelectEdge");
    vantic_BrushDeselectEdge_t *deselectEdge = Fn<vantic_BrushDeselectEdge_t>("vantic_BrushDeselectEdge");
    vantic_BrushSelectPolygon_t *selectPolygon = Fn<vantic_BrushSelectPolygon_t>("vantic_BrushSelectPolygon");
    vantic_BrushDeselectPolygon_t *deselectPolygon =
        Fn<vantic_BrushDeselectPolygon_t>("vantic_BrushDeselectPolygon");
    vantic_BrushSelectTarget_t *selectTarget = Fn<vantic_BrushSelectTarget_t>("vantic_BrushSelectTarget");
    vantic_BrushDeselectTarget_t *deselectTarget = Fn<vantic_BrushDeselectTarget_t>("vantic_BrushDeselectTarget");
    vantic_BrushSelectAll_t *selectAll = Fn<vantic_BrushSelectAll_t>("vantic_BrushSelectAll");
    vantic_BrushDeselectAll_t *deselectAll = Fn<vantic_BrushDeselectAll_t>("vantic_BrushDeselectAll");
    vantic_BrushInverSelection_t *invert = Fn<vantic_BrushInverSelection_t>("vantic_BrushInverSelection");
    vantic_BrushSetSelection_t *setSelection = Fn<vantic_BrushSetSelection_t>("vantic_BrushSetSelection");
    vantic_BrushGetSelection_t *getSelection = Fn<vantic_BrushGetSelection_t>("vantic_BrushGetSelection");
    vantic_BrushUpdateSelection_t *updateSelection =
        Fn<vantic_BrushUpdateSelection_t>("vantic_BrushUpdateSelection");

    void TearDown() override { Fn<vantic_DeleteBrush_t>("vantic_DeleteBrush")(action, kKey, 0); }

    KorrinItem Target(const vhost::MeshData &data) {
        const KorrinItem id = vhost::AddMesh(host, "target", data);
        Fn<vantic_BrushAddTarget_t>("vantic_BrushAddTarget")(brush, id);
        return id;
    }
    // The brush's selection of a target, through the client's bulk read.
    std::vector<int32_t> Selection(KorrinItem target) {
        int32_t *copy = getSelection(brush, target);
        if (!copy) return {};
        std::vector<int32_t> flags(copy, copy + host.scene.meshes.find(target)->base.size());
        std::free(copy);
        return flags;
    }
    std::vector<uint8_t> &HostSelection(KorrinItem mesh) { return host.scene.meshes.find(mesh)->selected; }
};

std::vector<int32_t> FlagsOf(size_t n, const std::set<int32_t> &selected) {
    std::vector<int32_t> flags(n, 0);
    for (int32_t p : selected) flags[static_cast<size_t>(p)] = 1;
    return flags;
}

// Point and edge operations on a 2 x 1 grid of six points, from nothing or everything selected.
struct RangeCase {
    std::string name;
    bool startSelected;
    std::function<void(BrushSelection &, KorrinItem)> apply;
    std::set<int32_t> expected;
};

TEST_F(BrushSelection, PointsAndEdgesOnlyInsideTheMesh) {
    const std::set<int32_t> all = {0, 1, 2, 3, 4, 5};
    const int32_t lastEdge[2] = {4, 5}, pastEnd[2] = {0, 6}, negative[2] = {-1, 2}, apart[2] = {0, 5};
    const std::vector<RangeCase> cases = {
        {"last point", false, [](auto &f, KorrinItem t) { f.selectVertex(f.brush, t, 5); }, {5}},
        {"point past the end", false, [](auto &f, KorrinItem t) { f.selectVertex(f.brush, t, 6); }, {}},
        {"negative point", false, [](auto &f, KorrinItem t) { f.selectVertex(f.brush, t, -1); }, {}},
        {"point of another mesh", false, [](auto &f, KorrinItem t) { f.selectVertex(f.brush, t + 100, 1); }, {}},
        {"edge", false, [&](auto &f, KorrinItem t) { f.selectEdge(f.brush, t, lastEdge); }, {4, 5}},
        {"edge past the end", false, [&](auto &f, KorrinItem t) { f.selectEdge(f.brush, t, pastEnd); }, {}},
        {"negative edge", false, [&](auto &f, KorrinItem t) { f.selectEdge(f.brush, t, negative); }, {}},
        {"points that are no edge", false, [&](auto &f, KorrinItem t) { f.selectEdge(f.brush, t, apart); }, {0, 5}},
        {"null edge", false, [](auto &f, KorrinItem t) { f.selectEdge(f.brush, t, nullptr); }, {}},
        {"deselect last point", true, [](auto &f, KorrinItem t) { f.deselectVertex(f.brush, t, 5); }, {0, 1, 2, 3, 4}},
        {"deselect past the end", true, [](auto &f, KorrinItem t) { f.deselectVertex(f.brush, t, 6); }, all},
        {"deselect edge", true, [&](auto &f, KorrinItem t) { f.deselectEdge(f.brush, t, lastEdge); }, {0, 1, 2, 3}},
        {"deselect edge past the end", true, [&](auto &f, KorrinItem t) { f.deselectEdge(f.brush, t, pastEnd); }, all},
    };
    for (const RangeCase &c : cases) {
        const KorrinItem target = Target(MakeGrid(2, 1, 1.0, 1.0));
        if (c.startSelected) selectTarget(brush, target);
        c.apply(*this, target);
        EXPECT_EQ(Selection(target), FlagsOf(6, c.expected)) << c.name;
    }
}

TEST_F(BrushSelection, PolygonsSelectEveryCorner) {
    vhost::MeshData shapes;
    for (int i = 0; i < 13; ++i) shapes.points.push_back({0.1 * i, 0.01 * i * i, 0.0});
    shapes.polygons = {{0, 1, 2, 3, 4, 5}, {6, 7, 8}, {9, 10, 11, 12}};
    const KorrinItem target = Target(shapes);
    const KorrinItem stranger = vhost::AddMesh(host, "not a target", shapes);

    selectPolygon(brush, target, 3);   // one past the last polygon
    selectPolygon(brush, target, -1);
    selectPolygon(brush, stranger, 0);
    EXPECT_EQ(Selection(target), FlagsOf(13, {}));

    selectPolygon(brush, target, 0);
    EXPECT_EQ(Selection(target), FlagsOf(13, {0, 1, 2, 3, 4, 5}));
    selectPolygon(brush, target, 1);
    selectPolygon(brush, target, 2);
    EXPECT_EQ(Selection(target), FlagsOf(13, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    deselectPolygon(brush, target, 0);
    deselectPolygon(brush, target, 2);
    EXPECT_EQ(Selection(target), FlagsOf(13, {6, 7, 8}));
}

TEST_F(BrushSelection, DeselectingAQuadDeselectsThePointsItShares) {
    // Quads {0, 1, 4, 3} and {1, 2, 5, 4} share the edge (1, 4).
    const KorrinItem target = Target(MakeGrid(2, 1, 1.0, 1.0));
    selectPolygon(brush, target, 0);
    selectPolygon(brush, target, 1);
    deselectPolygon(brush, target, 0);
    EXPECT_EQ(Selection(target), FlagsOf(6, {2, 5}));
}

TEST_F(BrushSelection, WholeTargetsAndAllTargets) {
    const KorrinItem a = Target(MakeGrid(1, 1, 1.0, 1.0)), b = Target(MakeGrid(2, 1, 1.0, 1.0));
    const std::vector<int32_t> noneA(4, 0), allA(4, 1), noneB(6, 0), allB(6, 1);

    selectTarget(brush, a + b + 1);  // not on the brush
    selectTarget(brush, a);
    EXPECT_EQ(Selection(a), allA);
    EXPECT_EQ(Selection(b), noneB);
    selectAll(brush);
    EXPECT_EQ(Selection(b), allB);
    deselectTarget(brush, b);
    EXPECT_EQ(Selection(a), allA);
    EXPECT_EQ(Selection(b), noneB);
    selectAll(brush);
    deselectAll(brush);
    EXPECT_EQ(Selection(a), noneA);
    EXPECT_EQ(Selection(b), noneB);
}

TEST_F(BrushSelection, SetStoresValuesAsGivenInversionMakesThemFlags) {
    const KorrinItem a = Target(MakeGrid(1, 1, 1.0, 1.0)), b = Target(MakeGrid(1, 1, 1.0, 1.0));
    const int32_t values[4] = {5, 0, -2, 1};
    setSelection(brush, a, values);
    setSelection(brush, b, nullptr);
    setSelection(brush, a + b + 1, values);
    EXPECT_EQ(Selection(a), (std::vector<int32_t>{5, 0, -2, 1}));
    EXPECT_EQ(Selection(b), std::vector<int32_t>(4, 0));
    invert(brush);
    EXPECT_EQ(Selection(a), (std::vector<int32_t>{0, 1, 0, 0}));
    EXPECT_EQ(Selection(b), std::vector<int32_t>(4, 1));
    invert(brush);
    EXPECT_EQ(Selection(a), (std::vector<int32_t>{1, 0, 1, 1}));
}

TEST_F(BrushSelection, GetSelectionIsTheClientsOwnCopy) {
    const KorrinItem target = Target(MakeGrid(1, 1, 1.0, 1.0));
    vhost::MeshData nothing;
    const KorrinItem empty = Target(nothing);
    EXPECT_EQ(getSelection(brush, target + empty + 1), nullptr);

    selectVertex(brush, target, 2);
    int32_t *copy = getSelection(brush, target);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[2], 1);
    copy[0] = 1;
    std::free(copy);  // a plain allocation of the C runtime
    EXPECT_EQ(Selection(target), FlagsOf(4, {2}));

    int32_t *none = getSelection(brush, empty);
    EXPECT_NE(none, nullptr);  // a target without points still answers, with an empty array
    std::free(none);
}

TEST_F(BrushSelection, UpdatePutsExactlyTheBrushSelectionIntoTheHost) {
    const KorrinItem bystander = vhost::AddMesh(host, "bystander", MakeGrid(1, 1, 1.0, 1.0));
    HostSelection(bystander) = {1, 0, 1, 0};
    updateSelection(brush);  // no targets: nothing is touched
    EXPECT_EQ(HostSelection(bystander), (std::vector<uint8_t>{1, 0, 1, 0}));

    const KorrinItem a = Target(MakeGrid(1, 1, 1.0, 1.0)), b = Target(MakeGrid(2, 1, 1.0, 1.0));
    HostSelection(a) = {1, 1, 0, 0};
    HostSelection(b) = {1, 1, 1, 1, 1, 1};
    selectVertex(brush, a, 3);
    const int32_t values[6] = {0, 7, 0, 0, 0, 1};
    setSelection(brush, b, values);
    updateSelection(brush);
    EXPECT_EQ(HostSelection(a), (std::vector<uint8_t>{0, 0, 0, 1}));
    EXPECT_EQ(HostSelection(b), (std::vector<uint8_t>{0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(HostSelection(bystander), (std::vector<uint8_t>{1, 0, 1, 0}));
}

// The host mesh gains points after it became a target: the flags cover only the points it had then.
TEST_F(BrushSelection, MeshGrownAfterItWasAddedIsNeverReadOrWrittenPastTheFlags) {
    const KorrinItem target = Target(MakeGrid(2, 2, 1.0, 1.0));  // 9 points
    vhost::Mesh &mesh = *host.scene.meshes.find(target);
    const vhost::MeshData grown = MakeGrid(2, 3, 1.0, 1.0);     // the same 9 points, then 3 more on top
    mesh.base = grown.points;
    mesh.polygons = grown.polygons;
    mesh.rebuild();
    ASSERT_EQ(mesh.base.size(), 12u);

    selectVertex(brush, target, 10);
    const int32_t newEdge[2] = {7, 10};
    selectEdge(brush, target, newEdge);
    EXPECT_EQ(Selection(target), std::vector<int32_t>(12, 0));

    selectPolygon(brush, target, 3);  // {4, 5, 8, 7}
    selectPolygon(brush, target, 5);  // {7, 8, 11, 10}: half of it in the new row
    EXPECT_EQ(Selection(target), FlagsOf(12, {4, 5, 7, 8}));

    selectAll(brush);
    EXPECT_EQ(Selection(target), FlagsOf(12, {0, 1, 2, 3, 4, 5, 6, 7, 8}));
    invert(brush);
    invert(brush);
    const std::vector<int32_t> values(12, 1);
    setSelection(brush, target, values.data());
    EXPECT_EQ(Selection(target), FlagsOf(12, {0, 1, 2, 3, 4, 5, 6, 7, 8}));

    updateSelection(brush);
    EXPECT_EQ(mesh.selected, (std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}));
    deselectTarget(brush, target);
    EXPECT_EQ(Selection(target), std::vector<int32_t>(12, 0));
}

}  // namespace
