// Named viewports, the current view, the active camera and the screen/world projection.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;

// View-type codes: 0 camera view, 2 perspective, ±3 / ±4 / ±5 axis views along z / y / x.
struct Viewport {
    std::string name;
    int32_t type = 2;
    std::array<double, 3> move{};    // the orbit pivot is -move
    std::array<double, 3> rotate{};  // heading, pitch, (unused) in degrees
    double dolly = 1.0;
    double gridSize = 1.0;
    int32_t width = 640, height = 480;  // pixels; y grows downwards
    double fieldOfView = 0.8;           // vertical, radians, for perspective and camera views
};

struct ViewStore {
    std::vector<Viewport> viewports;  // a fresh host has "Perspective", "Top", "Bottom", "Front",
                                      // "Back", "Left", "Right" and "Camera"
    std::string current = "Perspective";
    KorrinItem activeCamera = 0;
    ViewStore();
    Viewport *find(const std::string &name);
    Viewport &currentView();
};

// A camera object; its position is channel 43 and its rotation (heading, pitch, bank in radians)
// channel 44, and matrix 51 is built from both at the asked time (host/camera.cpp).
KorrinItem AddCamera(Host &host, const std::string &name, const std::array<double, 3> &position,
                     const std::array<double, 3> &headingPitchBank);

// The projection the host uses for the current view (host/projection.cpp); the same code answers
// fxWorldScreenConversion and draws the sandbox pictures.
// screen (x, y, ·) in pixels -> a world point on the eye ray through that pixel.
void ScreenToWorld(const Host &host, const double screen[3], double world[3]);
// world point -> (x, y, depth along the viewing direction).
void WorldToScreen(const Host &host, const double world[3], double screen[3]);

}  // namespace vhost
