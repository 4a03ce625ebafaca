// The host's find-function: how a plug-in reaches every service the host offers.
#pragma once

#include <cstdint>

namespace vhost {

// Handed to korrinEntry. A known name asked in its own group gives the modelled service, or a stub
// that only counts and logs its call; an unknown name, a wrong group or a lacked service gives null.
// Every name asked is recorded in Host::lookups of the current host, when there is one.
void *FindService(const char *name, uint32_t group);

}  // namespace vhost
