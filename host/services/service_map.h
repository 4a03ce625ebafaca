// The services the simulated host answers for, by name. Every area of the host adds its own.
#pragma once

#include <stdexcept>
#include <string>
#include <unordered_map>

#include "korrin_host_services.h"

namespace vhost {

class ServiceMap {
public:
    void add(const std::string &name, void *address) { services_[name] = address; }
    void *find(const std::string &name) const {
        auto it = services_.find(name);
        return it == services_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::string, void *> services_;
};

// Every implemented service, built once.
const ServiceMap &ImplementedServices();

// A service as a plug-in reaches it: by name, as its shared signature. Throws when it is not modelled.
template <class Fn>
Fn *ServiceAs(const char *name) {
    void *address = ImplementedServices().find(name);
    if (!address) throw std::runtime_error(std::string("service not implemented: ") + name);
    return reinterpret_cast<Fn *>(address);
}

}  // namespace vhost

// Adds a service after checking its definition against the shared signature.
#define VHOST_SERVICE(map, name, function) \
    (map).add(#name, reinterpret_cast<void *>(static_cast<name##_fn *>(&(function))))
