// The simulated host's viewports, projection, cameras, channels, keys, matrices and time, reached
// through the services as the module reaches them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/view_queries.h"
#include "korrin_host_services.h"
#include "linked_module.h"
#include "model/host.h"
#include "model/views.h"
#include "services/service_map.h"
#include "vanticAPI.h"
#include "host_service.h"

namespace {

using namespace vhost;

constexpr double kPi = 3.14159265358979323846;

Vec3 Sub(const Vec3 &a, const Vec3 &b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec3 &a, const Vec3 &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const Vec3 &a) { return std::sqrt(Dot(a, a)); }
Vec3 Scaled(const Vec3 &a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
Vec3 Cross(const Vec3 &a, const Vec3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec3 ToScreen(const Vec3 &world) {
    Vec3 s{};
    EXPECT_EQ(FX(fxWorldScreenConversion)(world.data(), s.data(), 0), 1);
    return s;
}

Vec3 ToWorld(double x, double y) {
    const Vec3 screen{x, y, 0.0};
    Vec3 w{};
    EXPECT_EQ(FX(fxWorldScreenConversion)(screen.data(), w.data(), 1), 1);
    return w;
}

#define EXPECT_VEC_NEAR(a, b, tol)                      \
    do {                                                \
        for (int i_ = 0; i_ < 3; ++i_) EXPECT_NEAR((a)[i_], (b)[i_], tol) << "component " << i_; \
    } while (0)

// ---- the eye ray the module builds for a view, written out independently ----

// How the module casts through a pixel: from the eye through the pixel's world point
// (perspective and camera views), or from the pixel's world point along the axis (axis views).
struct EyeRay {
    bool fromPixelPoint;  // axis view
    Vec3 origin;          // perspective and camera: the eye
    Vec3 direction;       // the viewing direction
    int axis = -1;        // axis views: the axis and the eye's coordinate on it
    double eyePlane = 0.0;
};

EyeRay PerspectiveRay(const Viewport &v) {
    const double h = v.rotate[0] * 0.0174532925199, p = v.rotate[1] * 0.0174532925199;
    const Vec3 u{std::sin(h) * std::cos(p), -std::sin(p), std::cos(h) * std::cos(p)};
    const double d = v.dolly * v.gridSize;
    return {false, {d * u[0] - v.move[0], d * u[1] - v.move[1], d * u[2] - v.move[2]}, Scaled(u, -1.0)};
}

EyeRay AxisRay(int32_t type, const Viewport &v) {
    // type -> (axis, eye coordinate); the eye looks towards the other side.
    struct Row {
        int32_t type;
        int axis;
        double eye;
    };
    static const Row rows[] = {{3, 2, -100000.0}, {-3, 2, 100000.0}, {4, 1, 100000.0},
                               {-4, 1, -100000.0}, {5, 0, 100000.0}, {-5, 0, -100000.0}};
    for (const Row &r : rows)
        if (r.type == type) {
            EyeRay ray{true, v.move, {0.0, 0.0, 0.0}, r.axis, r.eye};
            ray.origin[r.axis] = r.eye;
            ray.direction[r.axis] = r.eye > 0 ? -1.0 : 1.0;
            return ray;
        }
    throw std::logic_error("not an axis type");
}

EyeRay CameraRay(KorrinItem camera, double time) {
    Vec3 position{};
    std::array<double, 16> m{};
    EXPECT_EQ(FX(fxChannelsGet)(camera, 43, time, position.data(), 0), 1);
    EXPECT_EQ(FX(fxMatrixGet)(camera, 51, time, m.data(), 0), 1);
    return {false, position, {-m[8], -m[9], -m[10]}};
}

// ---- every kind of view: a point in front of the eye lies on the ray through its pixel ----

struct ViewCase {
    const char *label;
    std::function<EyeRay(Host &)> setUp;  // configures the current view, returns its eye ray
    Vec3 lookAt;                          // where the sample points cluster
};

void PrintTo(const ViewCase &c, std::ostream *os) { *os << c.label; }

Viewport &Current(Host &host, const char *name) {
    host.scene.views.current = name;
    return *host.scene.views.find(name);
}

EyeRay Perspective(Host &host, Vec3 move, Vec3 rotate, double dolly, double grid) {
    Viewport &v = Current(host, "Perspective");
    v.move = move;
    v.rotate = rotate;
    v.dolly = dolly;
    v.gridSize = grid;
    return PerspectiveRay(v);
}

EyeRay Axis(Host &host, const char *name, Vec3 move) {
    Viewport &v = Current(host, name);
    v.move = move;
    v.dolly = 3.0;
    v.gridSize = 2.0;
    return AxisRay(v.type, v);
}

// A camera that moves and turns over time; the view is read at calculation time 5, never frame 0.
EyeRay AnimatedCamera(Host &host) {
    const KorrinItem camera = AddCamera(host, "Cam", {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0});
    host.scene.channels.animate(camera, 43, 0.0, {0.0, 1.0, 12.0});
    host.scene.channels.animate(camera, 43, 10.0, {4.0, 1.0, 8.0});
    host.scene.channels.animate(camera, 44, 0.0, {0.1, -0.3, 0.0});
    host.scene.channels.animate(camera, 44, 10.0, {0.5, 0.1, 0.8});
    host.scene.channels.calcTime = 5.0;
    Current(host, "Camera");
    return CameraRay(camera, 5.0);
}

const ViewCase kViews[] = {
    {"perspective front", [](Host &h) { return Perspective(h, {0, 0, 0}, {0, 0, 0}, 2.0, 5.0); }, {0, 0, 0}},
    {"perspective turned and moved",
     [](Host &h) { return Perspective(h, {1, 2, 3}, {35, 20, 0}, 4.0, 2.5); }, {-1, -2, -3}},
    {"perspective from below", [](Host &h) { return Perspective(h, {0, 0, 0}, {-120, -60, 7}, 2.0, 5.0); },
     {0, 0, 0}},
    {"perspective straight down", [](Host &h) { return Perspective(h, {0, 0, 0}, {30, -90, 0}, 2.0, 5.0); },
     {0, 0, 0}},
    {"back (3)", [](Host &h) { return Axis(h, "Back", {1, 2, 3}); }, {1, 2, 0}},
    {"front (-3)", [](Host &h) { return Axis(h, "Front", {1, 2, 3}); }, {1, 2, 0}},
    {"top (4)", [](Host &h) { return Axis(h, "Top", {1, 2, 3}); }, {1, 0, 3}},
    {"bottom (-4)", [](Host &h) { return Axis(h, "Bottom", {1, 2, 3}); }, {1, 0, 3}},
    {"right (5)", [](Host &h) { return Axis(h, "Right", {1, 2, 3}); }, {0, 2, 3}},
    {"left (-5)", [](Host &h) { return Axis(h, "Left", {1, 2, 3}); }, {0, 2, 3}},
    {"animated camera", AnimatedCamera, {2.0, 1.0, 0.0}},
};

class EveryView : public ::testing::TestWithParam<ViewCase> {};

TEST_P(EveryView, PointInFrontLiesOnTheEyeRayThroughItsPixel) {
    Host host;
    const EyeRay ray = GetParam().setUp(host);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> offset(-4.0, 4.0);
    int tested = 0;
    for (int n = 0; n < 200; ++n) {
        Vec3 p = GetParam().lookAt;
        for (double &c : p) c += offset(rng);
        const Vec3 fromEye = Sub(p, ray.origin);
        if (!ray.fromPixelPoint && Dot(fromEye, ray.direction) < 0.5) continue;  // behind or at the eye
        ++tested;
        const Vec3 s = ToScreen(p);
        const Vec3 w = ToWorld(s[0], s[1]);
        // the module's ray through that pixel
        const Vec3 start = ray.fromPixelPoint ? w : ray.origin;
        Vec3 along = ray.direction;
        if (!ray.fromPixelPoint) {
            along = Sub(w, ray.origin);
            along = Scaled(along, 1.0 / Length(along));
        }
        const Vec3 toPoint = Sub(p, start);
        const double t = Dot(toPoint, along);
        EXPECT_GT(t, 0.0) << "the point must lie in front of the ray's start";
        EXPECT_LT(Length(Sub(toPoint, Scaled(along, t))), 1e-9 * (1.0 + t)) << "point off the ray";
        if (ray.fromPixelPoint) {
            EXPECT_EQ(w[ray.axis], ray.eyePlane) << "axis views put the pixel's point on the eye plane";
            EXPECT_NEAR(s[2], p[ray.axis] * ray.direction[ray.axis] - ray.eyePlane * ray.direction[ray.axis], 1e-6);
        } else {
            EXPECT_NEAR(s[2], Dot(fromEye, ray.direction), 1e-9 * Length(fromEye)) << "depth along the view";
        }
    }
    EXPECT_GT(tested, 20);
}

TEST_P(EveryView, PixelToWorldToPixelRoundTrips) {
    Host host;
    GetParam().setUp(host);
    const Viewport &view = host.scene.views.currentView();
    for (int y = 0; y <= view.height; y += view.height / 6)
        for (int x = 0; x <= view.width; x += view.width / 8) {
            const Vec3 s = ToScreen(ToWorld(x, y));
            EXPECT_NEAR(s[0], x, 1e-6);
            EXPECT_NEAR(s[1], y, 1e-6);
        }
}

TEST_P(EveryView, ViewCentreLooksAlongTheEyeDirection) {
    Host host;
    const EyeRay ray = GetParam().setUp(host);
    const Viewport &view = host.scene.views.currentView();
    const Vec3 w = ToWorld(view.width / 2.0, view.height / 2.0);
    if (ray.fromPixelPoint) {
        EXPECT_VEC_NEAR(w, ray.origin, 1e-9);  // the module's axis eye: the move vector on the eye plane
    } else {
        const Vec3 along = Sub(w, ray.origin);
        EXPECT_VEC_NEAR(Scaled(along, 1.0 / Length(along)), ray.direction, 1e-12);
    }
}

// The module itself, reading the view through expressions, channels and matrices, stands where the
// rays above start.
TEST_P(EveryView, ModuleEyeRayIsTheOneProjectedThrough) {
    Host host;
    const EyeRay ray = GetParam().setUp(host);
    ASSERT_EQ(BindLinkedModule(host), VANTIC_ENTRY_LOADED);
    Vec3 origin{}, direction{};
    vantic::GetCurrentViewRay(vantic::GetCurrentViewType(), origin.data(), direction.data());
    EXPECT_EQ(origin, ray.origin);
    EXPECT_VEC_NEAR(direction, ray.direction, 1e-15);
    EXPECT_TRUE(host.messages.entries.empty()) << host.messages.entries.front().text;
}

INSTANTIATE_TEST_SUITE_P(Views, EveryView, ::testing::ValuesIn(kViews));

// ---- the picture is not mirrored: what lies right and up of the eye is drawn right and up ----

struct Orientation {
    const char *view;
    Vec3 rotate;             // perspective only
    std::array<int, 3> dx;   // sign of the pixel x change for a step along +x, +y, +z
    std::array<int, 3> dy;   // sign of the pixel y change (down is positive)
};

int Sign(double v) { return std::fabs(v) < 1e-9 ? 0 : (v > 0 ? 1 : -1); }

TEST(Projection, AxisAndPerspectiveViewsAreSeenFromTheEyesSide) {
    // Derived by standing at each eye: Front looks from +z down −z with +x to the right and +y up;
    // Back looks from −z, so +x runs left; Top looks down from +y with −z up the screen; Bottom
    // looks up from −y with +z up; Right looks from +x, so +z runs left; Left from −x, +z right.
    const Orientation cases[] = {
        {"Front", {}, {1, 0, 0}, {0, -1, 0}},
        {"Back", {}, {-1, 0, 0}, {0, -1, 0}},
        {"Top", {}, {1, 0, 0}, {0, 0, 1}},
        {"Bottom", {}, {1, 0, 0}, {0, 0, -1}},
        {"Right", {}, {0, 0, -1}, {0, -1, 0}},
        {"Left", {}, {0, 0, 1}, {0, -1, 0}},
        {"Perspective", {0, 0, 0}, {1, 0, 0}, {0, -1, 0}},   // eye on +z, like Front
        {"Perspective", {90, 0, 0}, {0, 0, -1}, {0, -1, 0}},  // eye on +x, like Right
    };
    for (const Orientation &c : cases) {
        Host host;
        Viewport &v = Current(host, c.view);
        v.rotate = c.rotate;
        v.dolly = 4.0;
        const Vec3 centre = ToScreen({0, 0, 0});
        for (int axis = 0; axis < 3; ++axis) {
            Vec3 p{0, 0, 0};
            p[axis] = 0.5;
            const Vec3 s = ToScreen(p);
            EXPECT_EQ(Sign(s[0] - centre[0]), c.dx[axis]) << c.view << " " << c.rotate[0] << " axis " << axis;
            EXPECT_EQ(Sign(s[1] - centre[1]), c.dy[axis]) << c.view << " " << c.rotate[0] << " axis " << axis;
        }
    }
}

TEST(Projection, AxisViewShowsWhatThePerspectiveViewShowsAtItsPivot) {
    Host host;
    for (Viewport &v : host.scene.views.viewports) {
        v.dolly = 2.0;
        v.gridSize = 5.0;
    }
    // At the pivot, 10 units from the eye, one unit sideways is focal / 10 pixels.
    const double focal = 240.0 / std::tan(0.4);
    const Vec3 p{1.0, 0.5, 0.0};
    for (const char *name : {"Perspective", "Front"}) {
        host.scene.views.current = name;
        const Vec3 s = ToScreen(p);
        EXPECT_NEAR(s[0], 320.0 + focal / 10.0, 1e-9) << name;
        EXPECT_NEAR(s[1], 240.0 - 0.5 * focal / 10.0, 1e-9) << name;
    }
}

TEST(Projection, PointOnTheEyePlaneStaysFinite) {
    Host host;
    Perspective(host, {0, 0, 0}, {0, 0, 0}, 2.0, 5.0);  // eye at (0, 0, 10)
    for (const Vec3 &p : {Vec3{0, 0, 10}, Vec3{3, -1, 10}}) {
        const Vec3 s = ToScreen(p);
        EXPECT_TRUE(std::isfinite(s[0]) && std::isfinite(s[1]));
        EXPECT_LE(std::fabs(s[0]), 1e9);
        EXPECT_LE(std::fabs(s[1]), 1e9);
    }
}

TEST(Projection, UnknownModeAndNullPointersAreRefused) {
    Host host;
    const Vec3 in{1, 2, 3};
    Vec3 out{7, 7, 7};
    EXPECT_EQ(FX(fxWorldScreenConversion)(in.data(), out.data(), 2), 0);
    EXPECT_EQ(out, (Vec3{7, 7, 7}));
    ASSERT_EQ(host.messages.entries.size(), 1u);
    EXPECT_NE(host.messages.entries[0].text.find("mode 2"), std::string::npos);
    EXPECT_EQ(FX(fxWorldScreenConversion)(nullptr, out.data(), 1), 0);
    EXPECT_EQ(FX(fxWorldScreenConversion)(in.data(), nullptr, 0), 0);
}

// ---- cameras ----

TEST(Camera, MatrixAndPositionAreReadAtTheAskedTime) {
    Host host;
    const KorrinItem camera = AddCamera(host, "Cam", {0, 0, 0}, {0, 0, 0});
    host.scene.channels.animate(camera, 43, 0.0, {0.0, 0.0, 10.0});
    host.scene.channels.animate(camera, 43, 10.0, {10.0, 0.0, 10.0});
    host.scene.channels.animate(camera, 44, 0.0, {0.0, 0.0, 0.0});
    host.scene.channels.animate(camera, 44, 10.0, {kPi, 0.0, 0.0});
    EXPECT_EQ(FX(fxObjectGetActiveCamera)(), camera);

    // halfway: heading π/2, so the camera looks along −x with right = −z
    Vec3 position{};
    std::array<double, 16> m{};
    EXPECT_EQ(FX(fxChannelsGet)(camera, 43, 5.0, position.data(), 0), 1);
    EXPECT_EQ(FX(fxMatrixGet)(camera, 51, 5.0, m.data(), 0), 1);
    EXPECT_VEC_NEAR(position, (Vec3{5, 0, 10}), 1e-12);
    const std::array<double, 16> expected{0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 5, 0, 10, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-12) << i;

    // the camera view reads the calculation time, not the frame
    host.scene.channels.frame = 0.0;
    host.scene.channels.calcTime = 5.0;
    host.scene.views.current = "Camera";
    const Viewport &view = host.scene.views.currentView();
    EXPECT_VEC_NEAR(ToWorld(view.width / 2.0, view.height / 2.0), (Vec3{4, 0, 10}), 1e-9);
}

TEST(Camera, FrameIsRightHandedForAnyRotation) {
    Host host;
    // bank a quarter turn: right becomes the old up, up the old left
    const std::array<double, 16> banked = CameraWorldMatrix(
        host, AddCamera(host, "Banked", {1, 2, 3}, {0.0, 0.0, kPi / 2}), 0.0);
    EXPECT_VEC_NEAR((Vec3{banked[0], banked[1], banked[2]}), (Vec3{0, 1, 0}), 1e-12);
    EXPECT_VEC_NEAR((Vec3{banked[4], banked[5], banked[6]}), (Vec3{-1, 0, 0}), 1e-12);
    EXPECT_VEC_NEAR((Vec3{banked[12], banked[13], banked[14]}), (Vec3{1, 2, 3}), 0.0);

    std::mt19937 rng(3);
    std::uniform_real_distribution<double> angle(-4.0, 4.0);
    for (int n = 0; n < 50; ++n) {
        const KorrinItem c = AddCamera(host, "C", {0, 0, 0}, {angle(rng), angle(rng), angle(rng)});
        const std::array<double, 16> m = CameraWorldMatrix(host, c, 0.0);
        const Vec3 right{m[0], m[1], m[2]}, up{m[4], m[5], m[6]}, back{m[8], m[9], m[10]};
        EXPECT_NEAR(Length(right), 1.0, 1e-12);
        EXPECT_NEAR(Length(up), 1.0, 1e-12);
        EXPECT_NEAR(Dot(right, up), 0.0, 1e-12);
        EXPECT_VEC_NEAR(Cross(right, up), back, 1e-12);
        EXPECT_EQ(m[3], 0.0);
        EXPECT_EQ(m[7], 0.0);
        EXPECT_EQ(m[11], 0.0);
        EXPECT_EQ(m[15], 1.0);
    }
}

TEST(Camera, FirstCameraIsActiveUntilItIsRemoved) {
    Host host;
    EXPECT_EQ(FX(fxObjectGetActiveCamera)(), 0u);
    const KorrinItem first = AddCamera(host, "A", {}, {});
    AddCamera(host, "B", {}, {});
    EXPECT_EQ(FX(fxObjectGetActiveCamera)(), first);
    host.scene.items.remove(first);
    EXPECT_EQ(FX(fxObjectGetActiveCamera)(), 0u);
}

// ---- channels and keys ----

struct Width {
    int32_t channel;
    int32_t width;
};

// Callers pass a single double for one-value channels: nothing past it may be read or written.
TEST(Channels, ServicesTouchOnlyTheChannelsWidth) {
    const Width widths[] = {{12, 1}, {14, 1}, {15, 1}, {0, 1}, {35, 3}, {36, 3}, {43, 3}, {44, 3}};
    for (const Width &w : widths) {
        Host host;
        const KorrinItem object = host.scene.items.add(ItemKind::Tool, "Tool");
        const double in[3] = {7.0, 8.0, 9.0};
        ASSERT_EQ(FX(fxChannelsSet)(object, w.channel, in, 0x80000000u), 1);
        ASSERT_EQ(FX(fxKeyChannelsSet)(object, 0, w.channel, in, 0x80000000u), 1);
        const Channel3 stored = host.scene.channels.objects[object].values[w.channel];
        const Channel3 keyed = host.scene.channels.objects[object].keys[{0, w.channel}];
        const Channel3 expected = w.width == 3 ? Channel3{7, 8, 9} : Channel3{7, 0, 0};
        EXPECT_EQ(stored, expected) << "channel " << w.channel;
        EXPECT_EQ(keyed, expected) << "channel " << w.channel;

        const double sentinel = -1.5;
        const Channel3 untouchedTail = w.width == 3 ? Channel3{7, 8, 9} : Channel3{7, sentinel, sentinel};
        Channel3 out{sentinel, sentinel, sentinel};
        EXPECT_EQ(FX(fxChannelsGet)(object, w.channel, 0.0, out.data(), 0), 1);
        EXPECT_EQ(out, untouchedTail) << "channel " << w.channel;
        out = {sentinel, sentinel, sentinel};
        EXPECT_EQ(FX(fxKeyChannelsGet)(object, 0, w.channel, out.data(), 0), 1);
        EXPECT_EQ(out, untouchedTail) << "channel " << w.channel;
    }
}

TEST(Channels, AnimationInterpolatesAndASetValueReplacesIt) {
    Host host;
    const KorrinItem object = host.scene.items.add(ItemKind::Mesh, "M");
    host.scene.channels.animate(object, 43, 2.0, {0.0, 10.0, -4.0});
    host.scene.channels.animate(object, 43, 6.0, {8.0, 10.0, 4.0});
    struct Sample {
        double time;
        Vec3 value;
    };
    const Sample samples[] = {{0.0, {0, 10, -4}}, {2.0, {0, 10, -4}}, {3.0, {2, 10, -2}},
                              {6.0, {8, 10, 4}},  {9.0, {8, 10, 4}}};
    for (const Sample &s : samples) {
        Vec3 out{};
        FX(fxChannelsGet)(object, 43, s.time, out.data(), 0);
        EXPECT_EQ(out, s.value) << "time " << s.time;
    }
    const double set[3] = {1, 2, 3};
    FX(fxChannelsSet)(object, 43, set, 0);
    for (double time : {0.0, 3.0, 9.0}) {
        Vec3 out{};
        FX(fxChannelsGet)(object, 43, time, out.data(), 0);
        EXPECT_EQ(out, (Vec3{1, 2, 3})) << "time " << time;
    }
}

TEST(Channels, UnknownObjectsAndMissingKeysLeaveOutputsAlone) {
    Host host;
    const KorrinItem object = host.scene.items.add(ItemKind::Tool, "Tool");
    const KorrinItem unknown = object + 100;
    const double in[3] = {1, 2, 3};
    Channel3 out{5, 5, 5};
    EXPECT_EQ(FX(fxChannelsGet)(unknown, 43, 0.0, out.data(), 0), 0);
    EXPECT_EQ(FX(fxChannelsSet)(unknown, 43, in, 0), 0);
    EXPECT_EQ(FX(fxKeyChannelsSet)(unknown, 0, 43, in, 0), 0);
    EXPECT_EQ(FX(fxKeyChannelsGet)(unknown, 0, 43, out.data(), 0), 0);
    EXPECT_EQ(FX(fxKeyChannelsGet)(object, 0, 15, out.data(), 0), 0);  // never keyed
    EXPECT_EQ(FX(fxChannelOptionsSet)(unknown, 3, 1), 0);
    EXPECT_EQ(FX(fxChannelsGet)(object, 43, 0.0, nullptr, 0), 0);
    EXPECT_EQ(FX(fxChannelsSet)(object, 43, nullptr, 0), 0);
    EXPECT_EQ(out, (Channel3{5, 5, 5}));
    EXPECT_EQ(host.scene.channels.objects.count(unknown), 0u);

    // a channel never written reads zero
    EXPECT_EQ(FX(fxChannelsGet)(object, 43, 0.0, out.data(), 0), 1);
    EXPECT_EQ(out, (Channel3{0, 0, 0}));
}

TEST(Channels, OptionBitsAndKeyEditBrackets) {
    Host host;
    const KorrinItem object = host.scene.items.add(ItemKind::Tool, "Tool");
    FX(fxChannelOptionsSet)(object, 4, 1 | 2 | 8);
    FX(fxChannelOptionsClear)(object, 4, 2);
    FX(fxChannelOptionsClear)(object, 5, 2);
    FX(fxChannelOptionsSet)(object, 5, 1);
    EXPECT_EQ(host.scene.channels.objects[object].options[4], 9u);
    EXPECT_EQ(host.scene.channels.objects[object].options[5], 1u);

    FX(fxKeyEditBegin)(70, object, 0);
    FX(fxKeyEditBegin)(71, object, 0);
    const std::vector<std::pair<KorrinItem, KorrinItem>> brackets{{70, object}, {71, object}};
    EXPECT_EQ(host.scene.channels.keyEdits, brackets);
}

// ---- matrices and time ----

TEST(Matrices, StoredMatricesElseIdentity) {
    Host host;
    const KorrinItem mesh = host.scene.items.add(ItemKind::Mesh, "M");
    std::array<double, 16> stored{};
    for (int i = 0; i < 16; ++i) stored[i] = i + 0.5;
    host.scene.channels.matrices[{3, 50}] = stored;  // an id that names no item
    const std::array<double, 16> identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    struct Ask {
        KorrinItem object;
        int32_t code;
        std::array<double, 16> expected;
    };
    for (const Ask &a : {Ask{3, 50, stored}, Ask{3, 51, identity}, Ask{9, 50, identity}, Ask{mesh, 51, identity}}) {
        std::array<double, 16> m{};
        EXPECT_EQ(FX(fxMatrixGet)(a.object, a.code, 0.0, m.data(), 1), 1);
        EXPECT_EQ(m, a.expected) << a.object << " " << a.code;
    }
    EXPECT_EQ(FX(fxMatrixGet)(3, 50, 0.0, nullptr, 1), 0);
}

TEST(Time, FrameAndCalculationTimeAreSeparate) {
    Host host;
    host.scene.channels.frame = 12.0;
    host.scene.channels.calcTime = 12.5;
    EXPECT_EQ(FX(fxFrameGet)(), 12.0);
    EXPECT_EQ(FX(fxFrameCalcGet)(), 12.5);
}

}  // namespace
