#include "model/host.h"

#include <cstdio>
#include <cstdlib>

namespace vhost {

namespace {

Host *g_current = nullptr;

}  // namespace

Host::Host() : previous_(g_current) { g_current = this; }

Host::~Host() {
    if (g_current == this) g_current = previous_;
}

Host *Host::currentOrNull() { return g_current; }

Host &Host::current() {
    if (!g_current) {
        std::fprintf(stderr, "vhost: a host service was called with no Host alive\n");
        std::abort();
    }
    return *g_current;
}

}  // namespace vhost
