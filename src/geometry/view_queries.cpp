// The current viewport's eye, read through host expressions (view name, type, orbit values) or, for
// the camera view, from the active camera's channels and matrix.
#include "geometry/view_queries.h"

#include <cmath>
#include <cstdio>

#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"

using namespace vantic::geo;

namespace {

constexpr double kDegreesToRadians = 0.0174532925199;
// How far along its axis an axis view's eye stands, so every target lies in front of it.
constexpr double kAxisEyeDistance = 100000.0;

constexpr int32_t kViewNameSize = 256;
// Room for the longest name (255 characters) inside the longest text, GetViewGridSize("...").
constexpr int kExpressionSize = kViewNameSize + 32;

struct ViewName {
    char text[kViewNameSize] = {};
};

ViewName CurrentViewName() {
    ViewName name;
    // Contract: every expression text here is one the host's evaluator knows by name.
    FX(fxExpComputeString)("GetCurrentView()", name.text, kViewNameSize);
    name.text[kViewNameSize - 1] = '\0';  // a host that fills the whole buffer leaves no terminator
    return name;
}

// The text function("name").
struct Expression {
    char text[kExpressionSize];
    Expression(const char *function, const ViewName &name) {
        std::snprintf(text, sizeof text, "%s(\"%s\")", function, name.text);
    }
};

// The named view's type; 2 (perspective) when the host writes nothing.
int32_t ViewType(const ViewName &name) {
    int32_t type = KORRIN_VIEW_PERSPECTIVE;
    FX(fxExpComputeInt)(Expression("GetViewType", name).text, &type);
    return type;
}

void ReadVector(const char *function, const ViewName &name, double *out) {
    Set(out, 0, 0, 0);
    FX(fxExpComputeVecd3)(Expression(function, name).text, out);
}

double ReadDouble(const char *function, const ViewName &name) {
    double value = 0;
    FX(fxExpComputeDouble)(Expression(function, name).text, &value);
    return value;
}

// The unit axis from the orbit pivot to the eye, for a heading and pitch in degrees.
void OrbitAxis(const double *rotate, double *u) {
    const double h = rotate[0] * kDegreesToRadians;
    const double p = rotate[1] * kDegreesToRadians;
    Set(u, std::sin(h) * std::cos(p), -std::sin(p), std::cos(h) * std::cos(p));
}

void OrbitDirection(const double *u, double *direction) {
    Set(direction, -u[0], -u[1], -u[2]);
    vantic_Normalize(direction);
}

// A perspective view's eye: D u - M with D = dolly x grid size; its direction when asked for.
void OrbitRay(const ViewName &name, double *origin, double *direction) {
    double move[3], rotate[3], u[3];
    ReadVector("GetViewMove", name, move);
    ReadVector("GetViewRotate", name, rotate);
    const double dolly = ReadDouble("GetViewDolly", name);
    const double gridSize = ReadDouble("GetViewGridSize", name);
    OrbitAxis(rotate, u);
    if (direction) OrbitDirection(u, direction);
    const double distance = dolly * gridSize;
    for (int i = 0; i < 3; ++i) origin[i] = distance * u[i] - move[i];
}

void CameraOrigin(double *origin) {
    const KorrinItem camera = FX(fxObjectGetActiveCamera)();
    FX(fxChannelsGet)(camera, KORRIN_CHANNEL_POSITION, FX(fxFrameCalcGet)(), origin, 0);
}

void CameraDirection(double *direction) {
    const KorrinItem camera = FX(fxObjectGetActiveCamera)();
    double m[16] = {};
    FX(fxMatrixGet)(camera, KORRIN_MATRIX_WORLD, FX(fxFrameCalcGet)(), m, 0);
    Set(direction, -m[8], -m[9], -m[10]);
}

// An axis view looks along one coordinate axis from far out on one side, centred on the move vector.
// Code 3 stands on -z looking towards +z; codes 4 and 5 stand on +y and +x; negative codes swap sides.
void AxisRay(int32_t viewType, const ViewName &name, double *origin, double *direction) {
    int axis;
    double eyeSide;
    switch (viewType) {
        case KORRIN_VIEW_AXIS_Z: axis = 2, eyeSide = -1; break;
        case -KORRIN_VIEW_AXIS_Z: axis = 2, eyeSide = 1; break;
        case KORRIN_VIEW_AXIS_Y: axis = 1, eyeSide = 1; break;
        case -KORRIN_VIEW_AXIS_Y: axis = 1, eyeSide = -1; break;
        case KORRIN_VIEW_AXIS_X: axis = 0, eyeSide = 1; break;
        case -KORRIN_VIEW_AXIS_X: axis = 0, eyeSide = -1; break;
        default: return;
    }
    ReadVector("GetViewMove", name, origin);
    Set(direction, 0, 0, 0);
    origin[axis] = eyeSide * kAxisEyeDistance;
    direction[axis] = -eyeSide;
}

}  // namespace

int32_t vantic::GetCurrentViewType() {
    int32_t type = KORRIN_VIEW_PERSPECTIVE;
    FX(fxExpComputeInt)("GetViewType(GetCurrentView())", &type);
    return type;
}

void vantic_GetViewOrigin(double *origin) {
    if (!origin) return;
    Set(origin, 0, 0, 0);
    const ViewName name = CurrentViewName();
    const int32_t type = ViewType(name);
    if (type == KORRIN_VIEW_CAMERA) CameraOrigin(origin);
    else if (type == KORRIN_VIEW_PERSPECTIVE) OrbitRay(name, origin, nullptr);
}

void vantic_GetViewDirection(double *direction) {
    if (!direction) return;
    Set(direction, 0, 0, 0);
    const ViewName name = CurrentViewName();
    const int32_t type = ViewType(name);
    if (type == KORRIN_VIEW_CAMERA) {
        CameraDirection(direction);
    } else if (type == KORRIN_VIEW_PERSPECTIVE) {
        double rotate[3], u[3];
        ReadVector("GetViewRotate", name, rotate);
        OrbitAxis(rotate, u);
        OrbitDirection(u, direction);
    }
}

void vantic::GetCurrentViewRay(int32_t viewType, double *origin, double *direction) {
    Set(origin, 0, 0, 0);
    const ViewName name = CurrentViewName();
    if (viewType == KORRIN_VIEW_CAMERA) {
        CameraOrigin(origin);
        CameraDirection(direction);
    } else if (viewType == KORRIN_VIEW_PERSPECTIVE) {
        OrbitRay(name, origin, direction);
    } else {
        AxisRay(viewType, name, origin, direction);  // other codes: origin (0, 0, 0), direction untouched
    }
}
