#include "model/views.h"

#include <cmath>
#include <cstdlib>

namespace vhost {

namespace {

Viewport Named(const char *name, int32_t type) {
    Viewport v;
    v.name = name;
    v.type = type;
    return v;
}

}  // namespace

// Axis views are named after where their eye sits: "Back" has its eye at −z (type 3), "Top" at +y
// (type 4), "Right" at +x (type 5); the negative types are the opposite sides.
// Contract: the module, sessions and tests name views by these texts.
ViewStore::ViewStore()
    : viewports{Named("Perspective", KORRIN_VIEW_PERSPECTIVE),
                Named("Top", KORRIN_VIEW_AXIS_Y),
                Named("Bottom", -KORRIN_VIEW_AXIS_Y),
                Named("Front", -KORRIN_VIEW_AXIS_Z),
                Named("Back", KORRIN_VIEW_AXIS_Z),
                Named("Left", -KORRIN_VIEW_AXIS_X),
                Named("Right", KORRIN_VIEW_AXIS_X),
                Named("Camera", KORRIN_VIEW_CAMERA)} {}

Viewport *ViewStore::find(const std::string &name) {
    for (Viewport &v : viewports)
        if (v.name == name) return &v;
    return nullptr;
}

const Viewport *ViewStore::find(const std::string &name) const {
    return const_cast<ViewStore *>(this)->find(name);
}

Viewport &ViewStore::currentView() {
    // A store emptied by hand still answers with a default perspective view.
    if (viewports.empty()) viewports.push_back(Named("Perspective", KORRIN_VIEW_PERSPECTIVE));
    Viewport *v = find(current);
    return v ? *v : viewports.front();
}

const Viewport &ViewStore::currentView() const {
    static const Viewport fallback = Named("Perspective", KORRIN_VIEW_PERSPECTIVE);
    const Viewport *v = find(current);
    if (v) return *v;
    return viewports.empty() ? fallback : viewports.front();
}

EyeFrame HeadingPitchBankFrame(double heading, double pitch, double bank) {
    const double sh = std::sin(heading), ch = std::cos(heading);
    const double sp = std::sin(pitch), cp = std::cos(pitch);
    const double sb = std::sin(bank), cb = std::cos(bank);
    const Vec3 back{sh * cp, -sp, ch * cp};
    const Vec3 right{ch, 0.0, -sh};
    const Vec3 up{sp * sh, cp, sp * ch};  // back × right, written out
    EyeFrame f;
    f.back = back;
    for (int i = 0; i < 3; ++i) {
        f.right[i] = cb * right[i] + sb * up[i];
        f.up[i] = cb * up[i] - sb * right[i];
    }
    return f;
}

Vec3 PerspectiveEye(const Viewport &view) {
    const Vec3 u = HeadingPitchBankFrame(view.rotate[0] * kDegreesToRadians,
                                         view.rotate[1] * kDegreesToRadians, 0.0)
                       .back;
    const double d = view.dolly * view.gridSize;
    return {d * u[0] - view.move[0], d * u[1] - view.move[1], d * u[2] - view.move[2]};
}

bool AxisViewOf(int32_t type, AxisView &out) {
    const int32_t magnitude = std::abs(type);
    if (magnitude < KORRIN_VIEW_AXIS_Z || magnitude > KORRIN_VIEW_AXIS_X) return false;
    const double side = (magnitude == KORRIN_VIEW_AXIS_Z ? -1.0 : 1.0) * (type < 0 ? -1.0 : 1.0);
    out.axis = KORRIN_VIEW_AXIS_X - magnitude;  // 3 -> z, 4 -> y, 5 -> x
    out.eyeOffset = side * 100000.0;
    out.forward = {0.0, 0.0, 0.0};
    out.forward[out.axis] = -side;
    out.up = {0.0, 1.0, 0.0};
    if (out.axis == 1) out.up = {0.0, 0.0, -side};
    return true;
}

}  // namespace vhost
