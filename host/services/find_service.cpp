#include "services/find_service.h"

#include <string>
#include <unordered_map>

#include "korrin_service_names.h"
#include "model/host.h"
#include "services/service_map.h"

namespace vhost {

namespace {

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

void *FindService(const char *name, uint32_t group) {
    if (!name) return nullptr;
    Host *host = Host::currentOrNull();
    if (host) host->lookups.emplace_back(name);
    auto known = KnownServices().find(name);
    if (known == KnownServices().end() || known->second != group) return nullptr;
    if (host && host->lacks(name)) return nullptr;
    if (void *service = ImplementedServices().find(name)) return service;
    return reinterpret_cast<void *>(&UnmodelledService);
}

}  // namespace vhost
