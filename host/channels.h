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
    Channel3 valueAt(KorrinItem object, int32_t channel, double time) const;
};

}  // namespace vhost
