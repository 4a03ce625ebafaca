// Where the current view's eye is and where it looks: the registered pair through the loaded module,
// the internal view type and eye ray through the linked module.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "geometry/view_queries.h"
#include "linked_module.h"
#include "loading/plugin_host.h"
#include "model/channels.h"
#include "model/host.h"
#include "model/views.h"
#include "vanticAPI.h"

namespace {

using V3 = std::array<double, 3>;

void ExpectNear(const V3 &actual, const V3 &expected, double tolerance, const std::string &what = "") {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " component " << i;
}

struct Orbit {
    V3 move, rotate;
    double dolly, gridSize;
    V3 origin, direction;
    const char *what;
};

// Worked from the orbit: pivot -move, eye at distance dolly x grid along u = (sin h cos p, -sin p,
// cos h cos p), looking along -u.
const Orbit kOrbits[] = {
    {{0, 0, 0}, {0, 0, 0}, 2, 5, {0, 0, 10}, {0, 0, -1}, "straight on"},
    {{0, 0, 0}, {90, 0, 0}, 2, 5, {10, 0, 0}, {-1, 0, 0}, "heading 90"},
    {{0, 0, 0}, {0, 90, 0}, 2, 5, {0, -10, 0}, {0, 1, 0}, "pitch 90: the eye goes to -y"},
    {{1, 2, 3}, {0, 0, 0}, 1, 1, {-1, -2, -2}, {0, 0, -1}, "moved pivot"},
    {{0, 0, 0}, {45, 0, 77}, 1, 2, {std::sqrt(2.0), 0, std::sqrt(2.0)}, {-std::sqrt(0.5), 0, -std::sqrt(0.5)},
     "heading 45, the third rotation plays no part"},
};

// The degree factor is 0.0174532925199, a hair under pi/180: a right angle leaves about 4e-11.
constexpr double kTolerance = 1e-9;

vhost::Viewport &UseView(vhost::Host &host, const std::string &name) {
    host.scene.views.current = name;
    vhost::Viewport *view = host.scene.views.find(name);
    if (!view) {
        host.scene.views.viewports.push_back(vhost::Viewport{});
        view = &host.scene.views.viewports.back();
        view->name = name;
    }
    return *view;
}

void SetOrbit(vhost::Viewport &view, const Orbit &o) {
    view.type = 2;
    view.move = o.move;
    view.rotate = o.rotate;
    view.dolly = o.dolly;
    view.gridSize = o.gridSize;
}

// A camera that moves from (0, 0, 0) to (4, 8, 12) and turns its heading from 0 to pi over times 0 to
// 4, with the calculation time at 2 and the frame at 0: at the calculation time it stands at
// (2, 4, 6) looking along -x; at frame 0 it would look along -z.
void AddMovingCamera(vhost::Host &host) {
    const KorrinItem camera = vhost::AddCamera(host, "Cam", {0, 0, 0}, {0, 0, 0});
    host.scene.views.activeCamera = camera;
    host.scene.channels.animate(camera, 43, 0, {0, 0, 0});
    host.scene.channels.animate(camera, 43, 4, {4, 8, 12});
    host.scene.channels.animate(camera, 44, 0, {0, 0, 0});
    host.scene.channels.animate(camera, 44, 4, {std::numbers::pi, 0, 0});
    host.scene.channels.frame = 0;
    host.scene.channels.calcTime = 2;
    UseView(host, "Camera").type = 0;
}
const V3 kCameraOrigin{2, 4, 6}, kCameraDirection{-1, 0, 0};

class RegisteredViewQueries : public ::testing::Test {
protected:
    V3 origin() {
        V3 o{9, 9, 9};
        loaded.function<vantic_GetViewOrigin_t>("vantic_GetViewOrigin")(o.data());
        return o;
    }
    V3 direction() {
        V3 d{9, 9, 9};
        loaded.function<vantic_GetViewDirection_t>("vantic_GetViewDirection")(d.data());
        return d;
    }
    vhost::PluginHost loaded;
    vhost::Host &host = loaded.host;
};

TEST_F(RegisteredViewQueries, PerspectiveOrbits) {
    for (const Orbit &o : kOrbits) {
        SetOrbit(UseView(host, "Perspective"), o);
        ExpectNear(origin(), o.origin, kTolerance, o.what);
        ExpectNear(direction(), o.direction, kTolerance, o.what);
    }
    EXPECT_TRUE(host.messages.entries.empty());
}

TEST_F(RegisteredViewQueries, CameraViewReadsTheCameraAtTheCalculationTime) {
    AddMovingCamera(host);
    ExpectNear(origin(), kCameraOrigin, 1e-12);
    ExpectNear(direction(), kCameraDirection, 1e-12);
}

TEST_F(RegisteredViewQueries, AxisAndUnknownViewTypesGiveZero) {
    for (int32_t type : {3, -3, 4, -4, 5, -5, 1, 6}) {
        vhost::Viewport &view = UseView(host, "Top");
        view.type = type;
        view.move = {1, 2, 3};
        ExpectNear(origin(), {0, 0, 0}, 0, "type " + std::to_string(type));
        ExpectNear(direction(), {0, 0, 0}, 0, "type " + std::to_string(type));
    }
}

// The longest view name the host can give (255 characters) must survive into every expression,
// GetViewGridSize("...") being the longest; a cut text would lose the grid size.
TEST_F(RegisteredViewQueries, LongestViewNameStillReachesEveryExpression) {
    const std::string name(255, 'v');
    SetOrbit(UseView(host, name), kOrbits[3]);
    UseView(host, name).gridSize = 2;
    ExpectNear(origin(), {-1, -2, -1}, kTolerance);
    EXPECT_TRUE(host.messages.entries.empty()) << host.messages.entries.front().text;
}

// When the host cannot tell the view type, the pair works as in a perspective view: with no orbit
// values either, it looks straight down -z from (0, 0, 0).
TEST_F(RegisteredViewQueries, UnreadableViewTypeFallsBackToPerspective) {
    host.scene.views.current = "No such view";
    ExpectNear(origin(), {0, 0, 0}, 0);
    ExpectNear(direction(), {0, 0, -1}, 0);
    EXPECT_FALSE(host.messages.entries.empty());
}

class LinkedViewQueries : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(BindLinkedModule(host), VANTIC_ENTRY_LOADED); }
    void ray(int32_t type, V3 &origin, V3 &direction) { vantic::GetCurrentViewRay(type, origin.data(), direction.data()); }
    vhost::Host host;
};

TEST_F(LinkedViewQueries, ViewTypeOfTheCurrentView) {
    for (const char *name : {"Perspective", "Top", "Bottom", "Front", "Back", "Left", "Right", "Camera"}) {
        host.scene.views.current = name;
        EXPECT_EQ(vantic::GetCurrentViewType(), host.scene.views.find(name)->type) << name;
    }
    host.scene.views.current = "No such view";
    EXPECT_EQ(vantic::GetCurrentViewType(), 2);
}

TEST_F(LinkedViewQueries, PerspectiveAndCameraRays) {
    for (const Orbit &o : kOrbits) {
        SetOrbit(UseView(host, "Perspective"), o);
        V3 origin{9, 9, 9}, direction{9, 9, 9};
        ray(2, origin, direction);
        ExpectNear(origin, o.origin, kTolerance, o.what);
        ExpectNear(direction, o.direction, kTolerance, o.what);
    }
    AddMovingCamera(host);
    V3 origin{9, 9, 9}, direction{9, 9, 9};
    ray(0, origin, direction);
    ExpectNear(origin, kCameraOrigin, 1e-12, "camera");
    ExpectNear(direction, kCameraDirection, 1e-12, "camera");
}

TEST_F(LinkedViewQueries, AxisRaysStandFarOutOnTheEyesSide) {
    const double far = 100000.0;
    const struct {
        int32_t type;
        V3 origin, direction;
    } cases[] = {
        {3, {1, 2, -far}, {0, 0, 1}},  {-3, {1, 2, far}, {0, 0, -1}}, {4, {1, far, 3}, {0, -1, 0}},
        {-4, {1, -far, 3}, {0, 1, 0}}, {5, {far, 2, 3}, {-1, 0, 0}},  {-5, {-far, 2, 3}, {1, 0, 0}},
    };
    vhost::Viewport &view = UseView(host, "Front");
    view.move = {1, 2, 3};
    view.rotate = {30, 40, 0};  // plays no part in an axis view
    for (const auto &c : cases) {
        view.type = c.type;
        V3 origin{9, 9, 9}, direction{9, 9, 9};
        ray(c.type, origin, direction);
        ExpectNear(origin, c.origin, 0, "type " + std::to_string(c.type));
        ExpectNear(direction, c.direction, 0, "type " + std::to_string(c.type));
    }
}

TEST_F(LinkedViewQueries, OtherCodesClearTheOriginAndKeepTheCallersDirection) {
    UseView(host, "Perspective").move = {1, 2, 3};
    for (int32_t type : {1, -1, -2, 6, -6}) {
        V3 origin{9, 9, 9}, direction{7, 8, 9};
        ray(type, origin, direction);
        ExpectNear(origin, {0, 0, 0}, 0, "type " + std::to_string(type));
        ExpectNear(direction, {7, 8, 9}, 0, "type " + std::to_string(type));
    }
}

// The host's screen conversion and the module's eye ray agree: a world point in front of the eye maps
// to a pixel whose world point lies on the pick ray through that pixel (from the eye through the
// pixel's point in perspective and camera views, from the pixel's point along the view direction in
// axis views).
TEST_F(LinkedViewQueries, PixelsOfWorldPointsLieOnTheEyeRay) {
    AddMovingCamera(host);
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> coord(-3, 3);
    const struct {
        const char *view;
        int32_t type;
    } views[] = {{"Perspective", 2}, {"Camera", 0}, {"Back", 3},  {"Front", -3}, {"Top", 4},
                 {"Bottom", -4},     {"Right", 5},  {"Left", -5}};
    for (const auto &v : views) {
        vhost::Viewport &view = UseView(host, v.view);
        view.type = v.type;
        view.move = {0.5, -0.25, 0.75};
        view.rotate = {30, -20, 0};
        view.dolly = 4;
        view.gridSize = 5;
        V3 origin, direction{0, 0, 0};
        ray(v.type, origin, direction);
        int checked = 0;
        for (int i = 0; i < 50; ++i) {
            // Points around the pivot (or the camera's line of sight), all in front of the eye.
            V3 point{coord(rng), coord(rng), coord(rng)};
            if (v.type == 0)
                for (int k = 0; k < 3; ++k) point[k] += kCameraOrigin[k] + 10 * kCameraDirection[k];
            double screen[3], world[3];
            vhost::WorldToScreen(host, point.data(), screen);
            ASSERT_GT(screen[2], 0) << v.view;
            vhost::ScreenToWorld(host, screen, world);
            const bool axis = v.type != 0 && v.type != 2;
            V3 along{}, toPoint{};
            for (int k = 0; k < 3; ++k) {
                along[k] = axis ? direction[k] : world[k] - origin[k];
                toPoint[k] = point[k] - (axis ? world[k] : origin[k]);
            }
            // In front of the eye, and off the ray by no more than rounding.
            const double dot = along[0] * toPoint[0] + along[1] * toPoint[1] + along[2] * toPoint[2];
            EXPECT_GT(dot, 0) << v.view << " point " << i;
            const V3 off{toPoint[1] * along[2] - toPoint[2] * along[1], toPoint[2] * along[0] - toPoint[0] * along[2],
                         toPoint[0] * along[1] - toPoint[1] * along[0]};
            const double alongLength = std::sqrt(along[0] * along[0] + along[1] * along[1] + along[2] * along[2]);
            const double distance = std::sqrt(off[0] * off[0] + off[1] * off[1] + off[2] * off[2]) / alongLength;
            EXPECT_LT(distance, 1e-8) << v.view << " point " << i;
            ++checked;
        }
        EXPECT_EQ(checked, 50);
    }
}

}  // namespace
