// A brush session: the view, the targets, the brush settings and the mouse events to replay.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sandbox {

// A script or mesh problem, already worded as the one line the user sees.
struct SessionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ViewSettings {
    std::string name = "Perspective";
    std::optional<int32_t> type;  // the named view's own type when absent
    std::array<double, 3> move{};
    std::array<double, 3> rotate{};
    double dolly = 1.0;
    double gridSize = 1.0;
    std::array<int32_t, 2> pixelSize{640, 480};
    // Camera view only: where the camera stands and how it is turned (heading, pitch, bank in degrees).
    std::array<double, 3> cameraPosition{0.0, 0.0, 5.0};
    std::array<double, 3> cameraRotation{};
};

struct TargetSettings {
    std::string name;
    std::string obj;        // an OBJ file, relative to the script's folder; or else a generator:
    std::string generator;  // "grid", "cube", "sphere", "tube"
    int32_t columns = 8, rows = 8, segments = 16, rings = 8;
    double width = 2.0, height = 2.0, size = 1.0, radius = 1.0;
    std::array<double, 3> offset{};  // moves every point
};

// Contract: the most undo slots a script may ask for; each holds a copy of every weight and flag.
constexpr int32_t kMaxUndoLevels = 1000;
// Contract: the largest size or offset a script may give a target, as for mesh files.
constexpr double kMaxTargetExtent = 1e100;

struct BrushSettings {
    int32_t mode = 0;
    int32_t pickMode = 0;
    int32_t weightMode = 0;
    double radius = 60.0;
    double falloff = 1.0;
    int32_t undoLevels = 8;  // 1 to kMaxUndoLevels
};

enum class EventKind { Press, Drag, Release, Undo, Save };

struct SessionEvent {
    EventKind kind = EventKind::Press;
    int32_t x = 0, y = 0;
    int32_t button = 0;
    std::string file;  // Save: the scene file's name inside the output folder
};

struct Session {
    std::string source = "<built-in>";  // the script's path, for messages
    std::string folder = ".";           // where relative mesh paths are looked up
    ViewSettings view;
    std::vector<TargetSettings> targets;
    BrushSettings brush;
    std::vector<SessionEvent> events;
    bool pictureEachEvent = false;
};

// Reads a session script; every problem is a SessionError naming the file and, where known, the line.
// Every value is range-checked here, before anything runs.
Session LoadSession(const std::string &path);
// The same for script text already read; path names it in messages and places its relative files.
Session ParseSession(const std::string &text, const std::string &path);
// The built-in session `demo` runs: weight painting on a sphere seen in perspective.
Session DemoSession();

}  // namespace sandbox
