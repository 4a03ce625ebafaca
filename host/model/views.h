// Named viewports, the current view, the active camera and the screen/world projection.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;
using Vec3 = std::array<double, 3>;

// View-type codes: 0 camera view, 2 perspective, ±3 / ±4 / ±5 axis views along z / y / x.
struct Viewport {
    std::string name;
    int32_t type = KORRIN_VIEW_PERSPECTIVE;
    std::array<double, 3> move{};    // the orbit pivot is -move
    std::array<double, 3> rotate{};  // heading, pitch, (unused) in degrees
    double dolly = 1.0;
    double gridSize = 1.0;
    int32_t width = 640, height = 480;  // pixels; y grows downwards
    double fieldOfView = 0.8;           // vertical, radians, for perspective and camera views
};

struct ViewStore {
    std::vector<Viewport> viewports;  // a fresh host has "Perspective", "Top", "Bottom", "Front",
                                      // "Back", "Left", "Right" and "Camera"
    std::string current = "Perspective";  // Contract: what GetCurrentView answers in a fresh host.
    KorrinItem activeCamera = 0;
    ViewStore();
    Viewport *find(const std::string &name);
    const Viewport *find(const std::string &name) const;
    // The viewport named by `current`; the first viewport when that name is unknown.
    Viewport &currentView();
    const Viewport &currentView() const;
};

// View rotations are turned into radians with this factor, the same one the module uses, so that the
// host's eye and the module's eye agree bit for bit.
constexpr double kDegreesToRadians = 0.0174532925199;

// The frame of a heading/pitch/bank rotation (radians). `back` is u = (sin h·cos p, −sin p,
// cos h·cos p): the eye sits along it from its pivot and looks along −u. Without bank, right is
// (cos h, 0, −sin h), level whatever the pitch, and up = back × right (so right × up = back); the
// bank turns right and up about back: right' = cos b·right + sin b·up, up' = cos b·up − sin b·right.
struct EyeFrame {
    Vec3 right, up, back;
};
EyeFrame HeadingPitchBankFrame(double heading, double pitch, double bank);

// The eye of a perspective view: D·u − M with D = dolly·gridSize and u the back axis of its
// heading and pitch, computed per component in that order.
Vec3 PerspectiveEye(const Viewport &view);

// An axis view (type ±3, ±4, ±5) looks along one world axis from ±100000 on it; false for others.
// The eye's side: +100000 for types 4 and 5, −100000 for type 3, the opposite for negative types.
// Up is +y, except in the views along y, whose up is −z (type 4) or +z (type −4); right = forward × up.
struct AxisView {
    int32_t axis;        // 0 x, 1 y, 2 z
    double eyeOffset;    // ±100000
    Vec3 forward, up;
};
bool AxisViewOf(int32_t type, AxisView &out);

// A camera object; its position is channel 43 and its rotation (heading, pitch, bank in radians)
// channel 44, and matrix 51 is built from both at the asked time (host/model/camera.cpp).
KorrinItem AddCamera(Host &host, const std::string &name, const std::array<double, 3> &position,
                     const std::array<double, 3> &headingPitchBank);
// The camera the camera view looks through (fxObjectGetActiveCamera): 0 when none is active or the
// active one no longer exists.
KorrinItem ActiveCamera(const Host &host);
// Matrix 51 of a camera at a time, row by row: rows 0, 1, 2 are right, up and back of its rotation
// (it looks along −row 2), row 3 its position, the last column (0, 0, 0, 1). Item 0 or an item
// without channels gives the identity.
std::array<double, 16> CameraWorldMatrix(const Host &host, KorrinItem camera, double time);
// The matrix an object answers for a code at a time (fxMatrixGet): code 51 of a camera is its world
// matrix; any other (object, code) the one stored in ChannelStore::matrices, else the identity.
std::array<double, 16> ObjectMatrix(const Host &host, KorrinItem object, int32_t code, double time);

// The projection the host uses for the current view (host/model/projection.cpp); the same code
// answers fxWorldScreenConversion and draws the sandbox pictures.
// screen (x, y, ·) in pixels -> a world point on the eye ray through that pixel.
void ScreenToWorld(const Host &host, const double screen[3], double world[3]);
// world point -> (x, y, depth along the viewing direction).
void WorldToScreen(const Host &host, const double world[3], double screen[3]);

}  // namespace vhost
