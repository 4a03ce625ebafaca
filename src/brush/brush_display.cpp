// The drawn brush: the tool object is placed under the mouse, sized to the radius and turned to
// face the view, through its position, size and rotation channels.
#include <cmath>

#include "brush/brush.h"
#include "brush/mouse_ray.h"
#include "brush/tool_object.h"
#include "brush/world_radius.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"

void vantic::BrushUpdateDisplay(Brush *brush) {
    const BrushSpan span = MeasureBrushSpan(*brush);
    const bool axis = IsAxisView(brush->viewType);
    double centre[3];
    double size = 0.0;
    bool sized = true;
    if (axis) {
        for (int i = 0; i < 3; ++i) centre[i] = span.mouse[i] + 500.0 * span.view[i];
        size = geo::Distance(span.mouse, span.rim);
    } else {
        double out[3];
        geo::Sub(span.mouse, span.eye, out);
        vantic_Normalize(out);
        for (int i = 0; i < 3; ++i) centre[i] = span.mouse[i] + 0.1 * out[i];
        double toRim[3], rimOnPlane[3], t = 0.0;
        geo::Sub(span.rim, span.eye, toRim);
        vantic_Normalize(toRim);
        // Without an intersection (a degenerate view) the drawn size stays what it was.
        sized = vantic_RayIntersectPlane(span.eye, toRim, span.view, centre, &t, rimOnPlane, 0) != 0;
        if (sized) size = geo::Distance(rimOnPlane, centre);
    }

    const double sign = axis ? -1.0 : 1.0;
    const double facing[3] = {sign * span.view[0], sign * span.view[1], sign * span.view[2]};
    const double heading = std::atan2(facing[0], facing[2]);
    const double pitch = std::atan2(facing[1], std::cos(heading) * facing[2] + std::sin(heading) * facing[0]);
    // Three doubles pass even for the one-value size channels, so a host that reads a full vector
    // reads no further than this array.
    const double sizeChannel[3] = {size, 0.0, 0.0};
    // Not M_PI_2: this literal (about 4e-12 short of it) is the quarter turn the drawn brush has
    // always been tilted by, and the rotation channel must keep that value to the last bit.
    const double rotation[3] = {heading, 1.5707963267910001 - pitch, 0.0};

    SetToolChannel(brush->toolObject, KORRIN_CHANNEL_TOOL_POSITION, centre);
    if (sized) {
        SetToolChannel(brush->toolObject, KORRIN_CHANNEL_TOOL_SIZE_U, sizeChannel);
        SetToolChannel(brush->toolObject, KORRIN_CHANNEL_TOOL_SIZE_V, sizeChannel);
    }
    SetToolChannel(brush->toolObject, KORRIN_CHANNEL_TOOL_ROTATION, rotation);
}
