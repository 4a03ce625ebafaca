// The steps the brush tool's mode handlers share.
#pragma once

#include "vanticAPI.h"

namespace vantic {

class PointSnapshot;

// mouseX, mouseY = the handle's current mouse position.
void ReadMouse(Brush *brush);
// radius += a quarter of the horizontal mouse movement since the previous event; not clamped.
void Resize(Brush *brush);
// Moves the drawn brush under the mouse and asks the views to redraw.
void Redraw(Brush *brush);
// Pushes the brush selection into the host and asks for a selection redraw.
void SelectionRedraw(Brush *brush);
bool Pick(Brush *brush);
// The pick and the weights of one event on one snapshot of the points, made by the handler once every
// client callback of the event has run and dropped when the event ends.
bool Pick(Brush *brush, PointSnapshot &points);
void Weigh(Brush *brush, PointSnapshot &points);
// anchor = hitPosition, delta = 0.
void Grab(Brush *brush);
// Moves the anchor to where the ray through the mouse meets the plane through q facing the view;
// delta takes the step. Without an intersection the anchor stays and delta is 0.
void MoveAnchorOnViewPlane(Brush *brush, const double *q);

}  // namespace vantic
