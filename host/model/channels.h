// Per-object channels, keyed values, option bits, key-edit brackets, world matrices and the time.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

using Channel3 = std::array<double, 3>;

// Channel codes the host treats as 3-vectors: 35 and 36 (a tool's position and rotation), 43 and 44
// (an object's position and rotation). Every other channel holds one double: the services read and
// write only that many, since callers pass a pointer to a single double for them.
int32_t ChannelWidth(int32_t channel);

struct ObjectChannels {
    std::map<int32_t, Channel3> values;                 // channel code -> current value
    std::map<int32_t, std::map<double, Channel3>> animation;  // channel code -> time -> value (linear)
    std::map<std::pair<int32_t, int32_t>, Channel3> keys;     // (key, channel code) -> keyed value
    std::map<int32_t, uint32_t> options;                // channel code -> option bits
};

struct ChannelStore {
    std::map<KorrinItem, ObjectChannels> objects;
    std::map<std::pair<KorrinItem, int32_t>, std::array<double, 16>> matrices;  // fixed matrices by code
    std::vector<std::pair<KorrinItem, KorrinItem>> keyEdits;  // (action, object) of each fxKeyEditBegin
    double frame = 0.0;     // fxFrameGet
    double calcTime = 0.0;  // fxFrameCalcGet
    double fps = 24.0;

    // A channel's value at a time: the animation when it has one, else the current value.
    // Between two animation times the value is interpolated linearly; outside them it holds the
    // nearest one. A channel never written reads (0, 0, 0).
    Channel3 valueAt(KorrinItem object, int32_t channel, double time) const;
    // Adds an animation value of a channel at a time (the channel becomes animated).
    void animate(KorrinItem object, int32_t channel, double time, const Channel3 &value);
};

}  // namespace vhost
