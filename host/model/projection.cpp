// Screen/world conversion of the current view. Perspective and camera views are pinholes with the
// view's vertical field of view; axis views are orthographic. Either way a pixel's world point lies
// on the eye ray the module builds for the same view, so a pick through a pixel meets what is drawn
// there:
//  - perspective: eye D·u − M, looking along −u (views.h); the world point sits one unit in front
//    of the eye, on the ray through the pixel;
//  - camera: eye = channel 43 and frame = matrix 51 of the active camera at the calculation time;
//  - axis: the eye plane lies ±100000 along the axis on the eye's side, centred on the move
//    vector's two in-plane components; a pixel's world point lies on that plane, so everything in
//    the scene is in front of it. The scale is what the perspective view shows at its pivot
//    distance: D / focal world units per pixel, D = dolly·gridSize.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "model/host.h"
#include "model/views.h"

namespace vhost {

namespace {

struct Projection {
    Vec3 eye, right, up, forward;
    bool orthographic = false;
    double focal = 1.0;          // pixels per unit of sideways offset at depth 1
    double unitsPerPixel = 1.0;  // orthographic views only
    double centreX = 0.0, centreY = 0.0;
};

Vec3 Cross(const Vec3 &a, const Vec3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const Vec3 &a, const Vec3 &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Projection BuildProjection(const Host &host, const Viewport &view) {
    Projection p;
    p.centreX = view.width / 2.0;
    p.centreY = view.height / 2.0;
    p.focal = (view.height / 2.0) / std::tan(view.fieldOfView / 2.0);
    AxisView axis;
    if (AxisViewOf(view.type, axis)) {
        p.orthographic = true;
        p.eye = view.move;
        p.eye[axis.axis] = axis.eyeOffset;
        p.forward = axis.forward;
        p.up = axis.up;
        p.right = Cross(axis.forward, axis.up);
        p.unitsPerPixel = view.dolly * view.gridSize / p.focal;
    } else if (view.type == KORRIN_VIEW_CAMERA) {
        const KorrinItem camera = ActiveCamera(host);
        const double time = host.scene.channels.calcTime;
        const std::array<double, 16> m = ObjectMatrix(host, camera, KORRIN_MATRIX_WORLD, time);
        p.eye = host.scene.channels.valueAt(camera, KORRIN_CHANNEL_POSITION, time);
        p.right = {m[0], m[1], m[2]};
        p.up = {m[4], m[5], m[6]};
        p.forward = {-m[8], -m[9], -m[10]};
    } else {
        // Every other code is drawn as the orbiting perspective view, as the module treats it.
        const EyeFrame f = HeadingPitchBankFrame(view.rotate[0] * kDegreesToRadians,
                                                 view.rotate[1] * kDegreesToRadians, 0.0);
        p.eye = PerspectiveEye(view);
        p.right = f.right;
        p.up = f.up;
        p.forward = {-f.back[0], -f.back[1], -f.back[2]};
    }
    return p;
}

// Everything a perspective or axis view's projection is made from, compared bit for bit (so -0 and
// NaN inputs rebuild it exactly as before).
struct ViewInputs {
    int32_t type = 0, width = 0, height = 0;
    uint64_t values[9] = {};

    explicit ViewInputs(const Viewport &view) : type(view.type), width(view.width), height(view.height) {
        const double v[9] = {view.move[0],  view.move[1], view.move[2],    view.rotate[0],   view.rotate[1],
                             view.rotate[2], view.dolly,  view.gridSize, view.fieldOfView};
        for (int i = 0; i < 9; ++i) values[i] = std::bit_cast<uint64_t>(v[i]);
    }
    bool operator==(const ViewInputs &) const = default;
};

// The projection of the current view. Building it takes sines, cosines and a tangent, so a
// perspective or axis view keeps the last one until its inputs change; a camera view also depends on
// the camera's channels and is built every time.
const Projection &CurrentProjection(const Host &host) {
    const Viewport &view = host.scene.views.currentView();
    static thread_local Projection built;
    if (view.type == KORRIN_VIEW_CAMERA) {
        built = BuildProjection(host, view);
        return built;
    }
    static thread_local struct {
        bool valid = false;
        ViewInputs inputs{Viewport{}};
        Projection projection;
    } cache;
    const ViewInputs inputs(view);
    if (!cache.valid || !(cache.inputs == inputs)) {
        cache.projection = BuildProjection(host, view);
        cache.inputs = inputs;
        cache.valid = true;
    }
    return cache.projection;
}

// Keeps far-off and degenerate projections finite and inside the range of a 32-bit pixel.
double Pixel(double v) { return std::clamp(v, -1e9, 1e9); }

}  // namespace

void ScreenToWorld(const Host &host, const double screen[3], double world[3]) {
    const Projection &p = CurrentProjection(host);
    const double a = screen[0] - p.centreX;
    const double b = p.centreY - screen[1];
    const double depth = p.orthographic ? 0.0 : 1.0;
    const double scale = p.orthographic ? p.unitsPerPixel : 1.0 / p.focal;
    for (int i = 0; i < 3; ++i)
        world[i] = p.eye[i] + p.forward[i] * depth + p.right[i] * (a * scale) + p.up[i] * (b * scale);
}

void WorldToScreen(const Host &host, const double world[3], double screen[3]) {
    const Projection &p = CurrentProjection(host);
    const Vec3 d{world[0] - p.eye[0], world[1] - p.eye[1], world[2] - p.eye[2]};
    const double depth = Dot(d, p.forward);
    double scale = p.unitsPerPixel;
    if (!p.orthographic) {
        // A point on the eye plane has no pinhole image; it is pushed off to the screen's far edge.
        const double z = depth != 0.0 ? depth : 1e-300;
        scale = z / p.focal;
    }
    screen[0] = Pixel(p.centreX + Dot(d, p.right) / scale);
    screen[1] = Pixel(p.centreY - Dot(d, p.up) / scale);
    screen[2] = depth;
}

}  // namespace vhost
