#include "brush/world_radius.h"

#include <initializer_list>

#include "brush/mouse_ray.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"

namespace vantic {

namespace {

// Moves p onto the plane through q with normal n along the ray (from, direction); a ray parallel to
// the plane leaves p as it was.
void OntoPlane(const double *from, const double *direction, const double *n, const double *q, double *p) {
    double t = 0.0, hit[3];
    if (vantic_RayIntersectPlane(from, direction, n, q, &t, hit, 0)) geo::Copy(hit, p);
}

}  // namespace

BrushSpan MeasureBrushSpan(const Brush &brush) {
    BrushSpan span{};
    PixelToWorld(brush.mouseX, brush.mouseY, span.mouse);
    PixelToWorld(brush.mouseX, brush.mouseY + brush.radius, span.rim);
    GetCurrentViewRay(brush.viewType, span.eye, span.view);
    return span;
}

double BrushWorldRadius(const Brush &brush) {
    BrushSpan span = MeasureBrushSpan(brush);
    for (double *p : {span.mouse, span.rim}) {
        if (IsAxisView(brush.viewType)) {
            const double from[3] = {p[0], p[1], p[2]};
            OntoPlane(from, span.view, span.view, brush.hitPosition, p);
        } else {
            double direction[3];
            geo::Sub(p, span.eye, direction);
            vantic_Normalize(direction);
            OntoPlane(span.eye, direction, span.view, brush.hitPosition, p);
        }
    }
    return geo::Distance(span.mouse, span.rim);
}

}  // namespace vantic
