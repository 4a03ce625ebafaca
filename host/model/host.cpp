#include "model/host.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "korrin_service_names.h"
#include "services/service_map.h"

namespace vhost {

namespace {

Host *g_current = nullptr;

// Every service name the host knows, with its group.
const std::unordered_map<std::string, uint32_t> &KnownServices() {
    static const std::unordered_map<std::string, uint32_t> known = {
#define VHOST_KNOWN(group, name) {#name, group},
        KORRIN_SERVICE_LIST(VHOST_KNOWN)
#undef VHOST_KNOWN
    };
    return known;
}

// What every service the simulated host does not model resolves to: it only logs its call.
int64_t UnmodelledService() {
    Host &host = Host::current();
    ++host.stubCalls;
    host.messages.host("unmodelled host service called");
    return 0;
}

}  // namespace

Host::Host() : previous_(g_current) { g_current = this; }

Host::~Host() {
    if (g_current == this) g_current = previous_;
}

Host &Host::current() {
    if (!g_current) {
        std::fprintf(stderr, "vhost: a host service was called with no Host alive\n");
        std::abort();
    }
    return *g_current;
}

void *FindService(const char *name, uint32_t group) {
    if (!name) return nullptr;
    if (g_current) g_current->lookups.emplace_back(name);
    auto known = KnownServices().find(name);
    if (known == KnownServices().end() || known->second != group) return nullptr;
    if (g_current && g_current->lacks(name)) return nullptr;
    if (void *service = ImplementedServices().find(name)) return service;
    return reinterpret_cast<void *>(&UnmodelledService);
}

}  // namespace vhost
