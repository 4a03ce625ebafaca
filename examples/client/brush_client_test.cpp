// The example client plug-in, written in C, finds the module's functions through the host's registry
// and uses a brush, tested the way a client author tests theirs: through the public test host.
#include <gtest/gtest.h>

#include "brush_client.h"
#include "vantic/testhost.h"

namespace {

VanticTestHost *g_host = nullptr;

RegisteredFunction Lookup(const char *name) { return vtesthost_Function(g_host, name); }

RegisteredFunction LookupNothing(const char *) { return nullptr; }

class ExampleClient : public ::testing::Test {
protected:
    void SetUp() override {
        host = vtesthost_Create(VANTIC_MODULE);
        ASSERT_NE(host, nullptr) << vtesthost_LastError();
        ASSERT_EQ(vtesthost_EntryResult(host), 0);
        g_host = host;
    }
    void TearDown() override {
        vtesthost_Destroy(host);
        g_host = nullptr;
    }
    VanticTestHost *host = nullptr;
};

TEST_F(ExampleClient, PaintsASelectionThroughTheRegistry) {
    // A 2 x 2 grid of quads: 9 points; polygon 0 has 4 corners, point 8 is the far corner.
    const uint32_t mesh = vtesthost_AddGrid(host, "grid", 2, 2, 2.0, 2.0);
    ASSERT_NE(mesh, 0u) << vtesthost_LastError();
    ClientOutcome outcome{};
    ASSERT_EQ(RunBrushClient(&Lookup, mesh, 9, 8, &outcome), 0);
    EXPECT_NE(outcome.brushAction, 0);
    EXPECT_EQ(outcome.targetOrder, 0);
    EXPECT_EQ(outcome.selectedPoints, 5);  // the four corners of polygon 0 and the far corner
    EXPECT_DOUBLE_EQ(outcome.normal[0], 0.6);
    EXPECT_DOUBLE_EQ(outcome.normal[2], 0.8);
    EXPECT_EQ(outcome.deleted, 1);
    // What the client pushed is in the host; deleting the brush cleared it again.
    for (int32_t p = 0; p < 9; ++p) EXPECT_EQ(vtesthost_PointSelected(host, mesh, p), 0) << "point " << p;
    EXPECT_EQ(vtesthost_AttachedData(host, static_cast<uint32_t>(outcome.brushAction), "ExampleClientBrush", 7),
              nullptr);
}

TEST(ExampleClientAlone, ReportsAMissingFunction) {
    ClientOutcome outcome{};
    EXPECT_EQ(RunBrushClient(&LookupNothing, 1, 0, 0, &outcome), 1);
}

}  // namespace
