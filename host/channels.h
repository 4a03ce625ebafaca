// Per-object channels, keyed values, option bits, key-edit brackets, world matrices and the time.
#pragma once

namespace vhost {

struct ChannelStore {};

}  // namespace vhost
