// A picture of the viewport: the targets drawn with the host's own projection, weights as a colour
// ramp, selected points marked, the brush circle at the mouse and the box of a box selection.
#pragma once

#include <string>

#include "session_run.h"

namespace sandbox {

// Writes a PNG of the run's viewport as it stands; throws SessionError when the file cannot be written.
void WritePicture(const SessionRun &run, int32_t mouseX, int32_t mouseY, const std::string &path);

}  // namespace sandbox
