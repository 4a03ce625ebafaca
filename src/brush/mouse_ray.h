// The eye ray through a viewport pixel, as picking, the brush weights and the tool's drags cast it.
#pragma once

#include <cstdint>

namespace vantic {

// A code of magnitude above 2 is an axis view; every other code is treated as a perspective view.
// (Compared rather than abs(): INT32_MIN has no magnitude in an int.)
inline bool IsAxisView(int32_t viewType) { return viewType > 2 || viewType < -2; }

// The host's world point under pixel (x, y).
void PixelToWorld(double x, double y, double *world);

// The ray through a pixel's world point W: in an axis view it starts at W and runs along the view
// direction; otherwise it starts at the eye and runs through W, normalised.
void EyeRayThrough(bool axisView, const double *eye, const double *view, const double *W, double *origin,
                   double *direction);

struct PixelRay {
    double eye[3];        // eye origin of the view type
    double view[3];       // unit viewing direction; (0, 0, 0) for a code the view ray does not act on
    double origin[3];     // the ray through the pixel
    double direction[3];
};

// For a stored view type: its eye and direction, then the world point of pixel (x, y) and the ray.
PixelRay RayThroughPixel(int32_t viewType, int32_t x, int32_t y);

}  // namespace vantic
