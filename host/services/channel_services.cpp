// Channel values are read and written ChannelWidth(channel) doubles at a time, never more: callers
// pass a single double for the one-value channels. Unknown objects and null pointers give 0 and
// leave every output untouched.
#include "services/channel_services.h"

#include <algorithm>

#include "model/host.h"
#include "model/views.h"

namespace vhost {

namespace {

ObjectChannels *ChannelsOf(KorrinItem object) {
    Host &host = Host::current();
    if (!host.scene.items.exists(object)) return nullptr;
    return &host.scene.channels.objects[object];
}

void CopyChannel(int32_t channel, const double *from, double *to) {
    std::copy_n(from, ChannelWidth(channel), to);
}

int32_t ChannelsGet(KorrinItem object, int32_t channel, double time, double *values, int32_t) {
    if (!values || !ChannelsOf(object)) return 0;
    const Channel3 v = Host::current().scene.channels.valueAt(object, channel, time);
    CopyChannel(channel, v.data(), values);
    return 1;
}

// A set value holds at every time: it replaces the channel's animation.
int32_t ChannelsSet(KorrinItem object, int32_t channel, const double *values, uint32_t) {
    ObjectChannels *channels = values ? ChannelsOf(object) : nullptr;
    if (!channels) return 0;
    CopyChannel(channel, values, channels->values[channel].data());
    channels->animation.erase(channel);
    return 1;
}

int32_t ChannelOptionsSet(KorrinItem object, int32_t channel, uint32_t bits) {
    ObjectChannels *channels = ChannelsOf(object);
    if (!channels) return 0;
    channels->options[channel] |= bits;
    return 1;
}

int32_t ChannelOptionsClear(KorrinItem object, int32_t channel, uint32_t bits) {
    ObjectChannels *channels = ChannelsOf(object);
    if (!channels) return 0;
    channels->options[channel] &= ~bits;
    return 1;
}

int32_t KeyEditBegin(KorrinItem action, KorrinItem object, int32_t) {
    Host::current().scene.channels.keyEdits.emplace_back(action, object);
    return 1;
}

// A key never written reads as nothing: result 0.
int32_t KeyChannelsGet(KorrinItem object, int32_t key, int32_t channel, double *values, uint32_t) {
    ObjectChannels *channels = values ? ChannelsOf(object) : nullptr;
    if (!channels) return 0;
    auto k = channels->keys.find({key, channel});
    if (k == channels->keys.end()) return 0;
    CopyChannel(channel, k->second.data(), values);
    return 1;
}

int32_t KeyChannelsSet(KorrinItem object, int32_t key, int32_t channel, const double *values, uint32_t) {
    ObjectChannels *channels = values ? ChannelsOf(object) : nullptr;
    if (!channels) return 0;
    CopyChannel(channel, values, channels->keys[{key, channel}].data());
    return 1;
}

// Any id may be asked: KORRIN_MATRIX_TANGENT is fetched with a number that need not name an item.
int32_t MatrixGet(KorrinItem object, int32_t code, double time, double *matrix16, int32_t) {
    if (!matrix16) return 0;
    const std::array<double, 16> m = ObjectMatrix(Host::current(), object, code, time);
    std::copy(m.begin(), m.end(), matrix16);
    return 1;
}

}  // namespace

void AddChannelServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxChannelsGet, ChannelsGet);
    VHOST_SERVICE(map, fxChannelsSet, ChannelsSet);
    VHOST_SERVICE(map, fxChannelOptionsSet, ChannelOptionsSet);
    VHOST_SERVICE(map, fxChannelOptionsClear, ChannelOptionsClear);
    VHOST_SERVICE(map, fxKeyEditBegin, KeyEditBegin);
    VHOST_SERVICE(map, fxKeyChannelsGet, KeyChannelsGet);
    VHOST_SERVICE(map, fxKeyChannelsSet, KeyChannelsSet);
    VHOST_SERVICE(map, fxMatrixGet, MatrixGet);
}

}  // namespace vhost
