#include "model/registry.h"

namespace vhost {

const RegisteredFunction *Registry::function(std::string_view name) const {
    for (const auto &f : functions)
        if (f.name == name) return &f;
    return nullptr;
}

const RegisteredModule *Registry::module(std::string_view name) const {
    for (const auto &m : modules)
        if (m.name == name) return &m;
    return nullptr;
}

}  // namespace vhost
