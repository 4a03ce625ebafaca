// What the brush radius in pixels spans in the world, measured at the mouse: shared by the weights
// (the world radius at the hit) and the drawn brush (its size on screen).
#pragma once

#include "vanticAPI.h"

namespace vantic {

struct BrushSpan {
    double mouse[3];  // world point of the mouse pixel
    double rim[3];    // world point `radius` pixels below it
    double eye[3];    // eye origin and viewing direction of the brush's view type
    double view[3];
};

BrushSpan MeasureBrushSpan(const Brush &brush);

// The length the radius spans on the plane through hitPosition that faces the view.
double BrushWorldRadius(const Brush &brush);

}  // namespace vantic
