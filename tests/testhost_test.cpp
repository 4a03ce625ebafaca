// The public test host, used only through its header, as a client author's test uses it.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "vantic/testhost.h"
#include "vanticAPI.h"

namespace {

class TestHost : public ::testing::Test {
protected:
    void SetUp() override {
        host = vtesthost_Create(VANTIC_MODULE);
        ASSERT_NE(host, nullptr) << vtesthost_LastError();
        ASSERT_EQ(vtesthost_EntryResult(host), VANTIC_ENTRY_LOADED);
    }
    void TearDown() override { vtesthost_Destroy(host); }

    template <class F>
    F *fn(const char *name) {
        return reinterpret_cast<F *>(vtesthost_Function(host, name));
    }
    std::array<double, 3> screen(double x, double y, double z) {
        const double world[3] = {x, y, z};
        std::array<double, 3> s{};
        vtesthost_WorldToScreen(host, world, s.data());
        return s;
    }
    VanticTestHost *host = nullptr;
};

TEST(TestHostCreate, FailsWithAReasonForAMissingModule) {
    EXPECT_EQ(vtesthost_Create(nullptr), nullptr);
    EXPECT_EQ(vtesthost_Create("/nonexistent/libvanticAPI.so"), nullptr);
    EXPECT_NE(std::string(vtesthost_LastError()).find("/nonexistent/libvanticAPI.so"), std::string::npos);
    vtesthost_Destroy(nullptr);  // ignored
}

TEST_F(TestHost, LooksRegisteredFunctionsUpByName) {
    EXPECT_EQ(vtesthost_FunctionCount(host), 66);
    EXPECT_EQ(vtesthost_Function(host, "vantic_NoSuchFunction"), nullptr);
    EXPECT_EQ(vtesthost_Function(host, nullptr), nullptr);
    auto *normalize = fn<vantic_Normalize_t>("vantic_Normalize");
    ASSERT_NE(normalize, nullptr);
    double v[3] = {0.0, 3.0, 4.0};
    normalize(v);
    EXPECT_DOUBLE_EQ(v[1], 0.6);
    EXPECT_DOUBLE_EQ(v[2], 0.8);
}

TEST_F(TestHost, AddsMeshesAndRefusesDataItCannotHold) {
    const double square[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const int32_t quad[] = {0, 1, 2, 3}, four[] = {4}, outOfRange[] = {0, 1, 4}, three[] = {3}, negative[] = {-1};
    const uint32_t made = vtesthost_AddMesh(host, "square", square, 4, four, 1, quad);
    ASSERT_NE(made, 0u) << vtesthost_LastError();
    EXPECT_EQ(vtesthost_PointCount(host, made), 4);
    double p[3] = {};
    EXPECT_EQ(vtesthost_PointPosition(host, made, 2, p), 1);
    EXPECT_EQ(p[0], 1.0);
    EXPECT_EQ(p[1], 1.0);
    EXPECT_EQ(vtesthost_PointPosition(host, made, 4, p), 0);
    const uint32_t cube = vtesthost_AddObj(host, "cube", VANTIC_SOURCE_DIR "/examples/meshes/cube.obj");
    ASSERT_NE(cube, 0u) << vtesthost_LastError();
    EXPECT_EQ(vtesthost_PointCount(host, cube), 8);

    const struct {
        const char *what;
        std::function<uint32_t()> add;
        const char *reason;  // a piece of what vtesthost_LastError says
    } refused[] = {
        {"a corner past the points", [&] { return vtesthost_AddMesh(host, "bad", square, 4, three, 1, outOfRange); }, "point 4"},
        {"a negative corner count", [&] { return vtesthost_AddMesh(host, "bad", square, 4, negative, 1, quad); }, "negative"},
        {"a negative point count", [&] { return vtesthost_AddMesh(host, "bad", square, -1, four, 1, quad); }, "negative"},
        {"a missing OBJ file", [&] { return vtesthost_AddObj(host, "bad", "/nonexistent.obj"); }, "/nonexistent.obj"},
        {"a grid without columns", [&] { return vtesthost_AddGrid(host, "bad", 0, 2, 1.0, 1.0); }, "column"},
    };
    for (const auto &r : refused) {
        EXPECT_EQ(r.add(), 0u) << r.what;
        EXPECT_NE(std::string(vtesthost_LastError()).find(r.reason), std::string::npos) << r.what << ": " << vtesthost_LastError();
    }
    EXPECT_EQ(vtesthost_PointCount(host, 999), -1);
}

TEST_F(TestHost, ViewSettingsReachTheProjection) {
    // A fresh perspective view looks at the origin from its dolly: the origin is the view's centre.
    auto c = screen(0, 0, 0);
    EXPECT_NEAR(c[0], 320.0, 1e-9);
    EXPECT_NEAR(c[1], 240.0, 1e-9);
    vtesthost_SetPixelSize(host, 800, 600);
    vtesthost_SetPixelSize(host, 0, 600);  // ignored
    c = screen(0, 0, 0);
    EXPECT_NEAR(c[0], 400.0, 1e-9);
    EXPECT_NEAR(c[1], 300.0, 1e-9);

    // The pivot is -move: moving the view by -1 in x centres the point (1, 0, 0).
    vtesthost_DollyView(host, 10.0);
    const double nearOffset = screen(1, 0, 0)[0] - 400.0;
    vtesthost_DollyView(host, 20.0);
    EXPECT_NEAR(screen(1, 0, 0)[0] - 400.0, nearOffset / 2.0, 1e-6);  // twice as far, half as large
    vtesthost_SetGridSize(host, 0.5);
    EXPECT_NEAR(screen(1, 0, 0)[0] - 400.0, nearOffset, 1e-6);  // the eye sits dolly x grid size away
    vtesthost_MoveView(host, -1.0, 0.0, 0.0);
    EXPECT_NEAR(screen(1, 0, 0)[0], 400.0, 1e-9);
    vtesthost_RotateView(host, 90.0, 0.0, 0.0);  // looking along -x now: x no longer moves across
    EXPECT_NEAR(screen(5, 0, 0)[0], 400.0, 1e-6);

    // A new name copies the current view; the camera view looks through the added camera.
    vtesthost_UseView(host, "Mine");
    EXPECT_NEAR(screen(1, 0, 0)[0], 400.0, 1e-9);
    vtesthost_UseView(host, "Camera");
    const double position[3] = {2.0, 0.0, 10.0}, straight[3] = {0.0, 0.0, 0.0};
    ASSERT_NE(vtesthost_AddCamera(host, "cam", position, straight), 0u);
    vtesthost_SetViewType(host, 0);
    c = screen(2, 0, 0);
    EXPECT_NEAR(c[0], 320.0, 1e-6);  // the camera view is 640 x 480
    EXPECT_NEAR(c[1], 240.0, 1e-6);
    EXPECT_EQ(vtesthost_AddCamera(host, nullptr, position, straight), 0u);
}

TEST_F(TestHost, ShowsMessagesAndAttachedDataAndKeepsMessageTextsValid) {
    const uint32_t mesh = vtesthost_AddGrid(host, "grid", 1, 1, 1.0, 1.0);
    auto *create = fn<vantic_CreateTargetList_t>("vantic_CreateTargetList");
    TargetList *list = create(mesh, 3, 0, nullptr, nullptr, nullptr, 4, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(vtesthost_AttachedData(host, mesh, "VanticAPIpointerDataKey", 3), list);
    EXPECT_EQ(vtesthost_AttachedData(host, mesh, "VanticAPIpointerDataKey", 4), nullptr);
    EXPECT_EQ(vtesthost_AttachedData(host, mesh, nullptr, 3), nullptr);

    // A mesh is no effect: the update fails with the module's message about the mesh.
    EXPECT_EQ(fn<vantic_TargetListEffectUpdate_t>("vantic_TargetListEffectUpdate")(list), 0);
    ASSERT_EQ(vtesthost_MessageCount(host), 1);
    VanticTestMessage first{};
    ASSERT_EQ(vtesthost_Message(host, 0, &first), 1);
    EXPECT_EQ(first.item, mesh);
    EXPECT_STREQ(first.text, "Couldn't fxTargetListEffectUpdate()");
    EXPECT_STREQ(first.source, "TargetList.c");
    const char *text = first.text, *source = first.source;  // a short text lives inside its record

    // Many more messages (the host's own, about an unknown action) must not move the first one's texts.
    for (int i = 0; i < 100; ++i) EXPECT_EQ(vtesthost_Press(host, 999, 0, 0, 0), 0);
    ASSERT_EQ(vtesthost_MessageCount(host), 101);
    VanticTestMessage last{};
    ASSERT_EQ(vtesthost_Message(host, 100, &last), 1);
    EXPECT_STREQ(last.source, "host");
    EXPECT_STREQ(last.kind, "Host");
    EXPECT_STREQ(last.text, "mouse event for action 999, which has no handle");
    EXPECT_STREQ(text, "Couldn't fxTargetListEffectUpdate()");
    EXPECT_STREQ(source, "TargetList.c");
    EXPECT_EQ(vtesthost_Message(host, 101, &last), 0);
    EXPECT_EQ(vtesthost_Message(host, -1, &last), 0);

    fn<vantic_DeleteTargetList_t>("vantic_DeleteTargetList")(list);
}

}  // namespace
