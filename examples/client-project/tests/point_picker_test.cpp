// The client's code against the real module in the headless test host.
#include <gtest/gtest.h>

#include <vantic/testhost.h>
#include <vanticAPI.h>

#include "point_picker.h"

namespace {

VanticTestHost *g_host = nullptr;

ClientFunction Lookup(const char *name) { return vtesthost_Function(g_host, name); }

class PointPicker : public ::testing::Test {
protected:
    void SetUp() override {
        g_host = vtesthost_Create(VANTIC_MODULE);
        ASSERT_NE(g_host, nullptr) << vtesthost_LastError();
        ASSERT_EQ(vtesthost_EntryResult(g_host), VANTIC_ENTRY_LOADED);
        vtesthost_DollyView(g_host, 10.0);  // the perspective eye on +z, 10 units from the origin
    }
    void TearDown() override { vtesthost_Destroy(g_host); }

    // Where a point of a mesh shows in the view, rounded to the pixel the mouse clicks.
    void Aim(uint32_t mesh, int32_t point, int32_t &x, int32_t &y) {
        double world[3], screen[3];
        ASSERT_EQ(vtesthost_PointPosition(g_host, mesh, point, world), 1);
        vtesthost_WorldToScreen(g_host, world, screen);
        x = static_cast<int32_t>(screen[0] + 0.5);
        y = static_cast<int32_t>(screen[1] + 0.5);
    }
};

TEST_F(PointPicker, SelectsThePointUnderAClickAndDeselectsWithTheEraseButton) {
    const uint32_t grid = vtesthost_AddGrid(g_host, "grid", 4, 4, 4.0, 4.0);
    ASSERT_NE(grid, 0u) << vtesthost_LastError();
    const uint32_t action = StartPointPicker(&Lookup, grid);
    ASSERT_NE(action, 0u);

    int32_t x = 0, y = 0;
    Aim(grid, 6, x, y);  // an inner point: (1, 1) of the 5 x 5 points
    vtesthost_Press(g_host, action, x, y, VANTIC_BUTTON_PAINT);
    vtesthost_Release(g_host, action, x, y, VANTIC_BUTTON_PAINT);
    for (int32_t p = 0; p < vtesthost_PointCount(g_host, grid); ++p)
        EXPECT_EQ(vtesthost_PointSelected(g_host, grid, p), p == 6 ? 1 : 0) << "point " << p;

    vtesthost_Press(g_host, action, x, y, VANTIC_BUTTON_ERASE);
    vtesthost_Release(g_host, action, x, y, VANTIC_BUTTON_ERASE);
    EXPECT_EQ(vtesthost_PointSelected(g_host, grid, 6), 0);

    EXPECT_EQ(StopPointPicker(&Lookup, action), 1);
    EXPECT_EQ(StopPointPicker(&Lookup, action), 0);  // nothing left to delete
}

TEST_F(PointPicker, AClickBesideTheMeshSelectsNothing) {
    const uint32_t grid = vtesthost_AddGrid(g_host, "grid", 2, 2, 1.0, 1.0);
    const uint32_t action = StartPointPicker(&Lookup, grid);
    ASSERT_NE(action, 0u);
    vtesthost_Press(g_host, action, 5, 5, VANTIC_BUTTON_PAINT);  // a corner of the view, far off the grid
    vtesthost_Release(g_host, action, 5, 5, VANTIC_BUTTON_PAINT);
    for (int32_t p = 0; p < vtesthost_PointCount(g_host, grid); ++p) EXPECT_EQ(vtesthost_PointSelected(g_host, grid, p), 0);
    EXPECT_EQ(StopPointPicker(&Lookup, action), 1);
}

TEST_F(PointPicker, CountsTheTrianglesOfEachKindOfMesh) {
    // A quad is two triangles, a triangle one, a pentagon three.
    const double pentagon[] = {0, 0, 0, 2, 0, 0, 3, 1, 0, 1, 2, 0, -1, 1, 0};
    const int32_t pentagonCorners[] = {0, 1, 2, 3, 4};
    const int32_t pentagonCount[] = {5};
    const struct {
        const char *what;
        uint32_t mesh;
        int32_t triangles;
    } cases[] = {
        {"grid 3 x 2", vtesthost_AddGrid(g_host, "grid", 3, 2, 1.0, 1.0), 12},
        {"cube", vtesthost_AddCube(g_host, "cube", 1.0), 12},
        {"sphere", vtesthost_AddSphere(g_host, "sphere", 1.0, 6, 3), 6 + 6 + 2 * 6},
        {"pentagon", vtesthost_AddMesh(g_host, "pentagon", pentagon, 5, pentagonCount, 1, pentagonCorners), 3},
    };
    for (const auto &c : cases) {
        ASSERT_NE(c.mesh, 0u) << c.what << ": " << vtesthost_LastError();
        EXPECT_EQ(CountTriangles(&Lookup, c.mesh), c.triangles) << c.what;
    }
    EXPECT_EQ(CountTriangles(&Lookup, 999), -1);  // no such mesh
}

}  // namespace
