#include "model/channels.h"

#include <iterator>

namespace vhost {

int32_t ChannelWidth(int32_t channel) {
    switch (channel) {
    case KORRIN_CHANNEL_TOOL_POSITION:
    case KORRIN_CHANNEL_TOOL_ROTATION:
    case KORRIN_CHANNEL_POSITION:
    case KORRIN_CHANNEL_ROTATION:
        return 3;
    default:
        return 1;
    }
}

Channel3 ChannelStore::valueAt(KorrinItem object, int32_t channel, double time) const {
    auto o = objects.find(object);
    if (o == objects.end()) return {};
    auto a = o->second.animation.find(channel);
    if (a != o->second.animation.end() && !a->second.empty()) {
        const auto &times = a->second;
        auto after = times.lower_bound(time);
        if (after == times.begin()) return after->second;
        if (after == times.end()) return times.rbegin()->second;
        if (after->first == time) return after->second;
        auto before = std::prev(after);
        const double s = (time - before->first) / (after->first - before->first);
        Channel3 v;
        for (int i = 0; i < 3; ++i) v[i] = before->second[i] + s * (after->second[i] - before->second[i]);
        return v;
    }
    auto v = o->second.values.find(channel);
    return v == o->second.values.end() ? Channel3{} : v->second;
}

void ChannelStore::animate(KorrinItem object, int32_t channel, double time, const Channel3 &value) {
    objects[object].animation[channel][time] = value;
}

}  // namespace vhost
