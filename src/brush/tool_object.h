// The brush's tool object: the procedural host object that draws the brush, and the channels the
// brush writes on it.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"

namespace vantic {

// The tool channel that carries the undo slot number as a key. The host gives this one-value channel
// no meaning of its own; saved scenes hold the brush's keys on it.
constexpr int32_t kUndoSlotChannel = 15;

// Keys the channel and sets its current value as a value the brush owns (KORRIN_CHANNEL_OWNED). A
// one-value channel reads values[0] only.
void SetToolChannel(KorrinItem tool, int32_t channel, const double *values);

}  // namespace vantic
