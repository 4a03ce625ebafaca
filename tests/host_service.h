// Host tests call a simulated service as a plug-in reaches it: by name, through its shared signature.
// FX(fxMeshPoint)(mesh, i, p, 1) mirrors how the module calls through its bound table.
#pragma once

#include <stdexcept>
#include <string>

#include "korrin_host_services.h"
#include "service_map.h"

template <class Fn>
Fn *Service(const char *name) {
    void *address = vhost::ImplementedServices().find(name);
    if (!address) throw std::runtime_error(std::string("service not implemented: ") + name);
    return reinterpret_cast<Fn *>(address);
}
#define FX(name) (*Service<name##_fn>(#name))
