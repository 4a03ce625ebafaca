// The drawn brush: the tool object is placed under the mouse, sized to the radius and turned to
// face the view, through its channels 35 (centre), 12 and 14 (size) and 36 (heading, pitch, bank).
#include <cmath>

#include "brush/brush.h"
#include "brush/mouse_ray.h"
#include "geometry/vec3_ops.h"
#include "brush/world_radius.h"
#include "frame/host_table.h"
#include "geometry/vector_primitives.h"

namespace {

// Keys the channel and sets its current value. Three doubles always pass, so a host that reads a
// full vector for a one-value channel reads no further than the caller's array.
void SetToolChannel(KorrinItem tool, int32_t channel, const double *values) {
    FX(fxKeyChannelsSet)(tool, 0, channel, values, 0x80000000u);
    FX(fxChannelsSet)(tool, channel, values, 0x80000000u);
}

}  // namespace

void BrushUpdateDisplay(Brush *brush) {
    const vantic::BrushSpan span = vantic::MeasureBrushSpan(*brush);
    const bool axis = vantic::IsAxisView(brush->viewType);
    double centre[3];
    double size = 0.0;
    bool sized = true;
    if (axis) {
        for (int i = 0; i < 3; ++i) centre[i] = span.mouse[i] + 500.0 * span.view[i];
        size = vantic::geo::Distance(span.mouse, span.rim);
    } else {
        double out[3];
        vantic::geo::Sub(span.mouse, span.eye, out);
        vantic_Normalize(out);
        for (int i = 0; i < 3; ++i) centre[i] = span.mouse[i] + 0.1 * out[i];
        double toRim[3], rimOnPlane[3], t = 0.0;
        vantic::geo::Sub(span.rim, span.eye, toRim);
        vantic_Normalize(toRim);
        // Without an intersection (a degenerate view) the drawn size stays what it was.
        sized = vantic_RayIntersectPlane(span.eye, toRim, span.view, centre, &t, rimOnPlane, 0) != 0;
        if (sized) size = vantic::geo::Distance(rimOnPlane, centre);
    }

    const double sign = axis ? -1.0 : 1.0;
    const double facing[3] = {sign * span.view[0], sign * span.view[1], sign * span.view[2]};
    const double heading = std::atan2(facing[0], facing[2]);
    const double pitch = std::atan2(facing[1], std::cos(heading) * facing[2] + std::sin(heading) * facing[0]);
    const double sizeChannel[3] = {size, 0.0, 0.0};
    const double rotation[3] = {heading, 1.5707963267910001 - pitch, 0.0};

    SetToolChannel(brush->toolObject, 35, centre);
    if (sized) {
        SetToolChannel(brush->toolObject, 12, sizeChannel);
        SetToolChannel(brush->toolObject, 14, sizeChannel);
    }
    SetToolChannel(brush->toolObject, 36, rotation);
}
