#include "brush/mouse_ray.h"

#include "binding/host_table.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"

namespace vantic {

void PixelToWorld(double x, double y, double *world) {
    const double screen[3] = {x, y, 0.0};
    FX(fxWorldScreenConversion)(screen, world, KORRIN_SCREEN_TO_WORLD);
}

void EyeRayThrough(bool axisView, const double *eye, const double *view, const double *W, double *origin,
                   double *direction) {
    if (axisView) {
        geo::Copy(W, origin);
        geo::Copy(view, direction);
        return;
    }
    geo::Copy(eye, origin);
    geo::Sub(W, eye, direction);
    vantic_Normalize(direction);
}

PixelRay RayThroughPixel(int32_t viewType, int32_t x, int32_t y) {
    PixelRay ray{};
    GetCurrentViewRay(viewType, ray.eye, ray.view);
    double world[3];
    PixelToWorld(x, y, world);
    EyeRayThrough(IsAxisView(viewType), ray.eye, ray.view, world, ray.origin, ray.direction);
    return ray;
}

}  // namespace vantic
