// The host's function and module registry, filled by the plug-ins it loads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

struct RegisteredFunction {
    std::string name;
    std::string category;
    int32_t flags = 0;
    void *address = nullptr;
    int32_t resultType = 0;
};

struct RegisteredModule {
    int32_t type = 0;
    std::string name;
    KorrinModuleCallback callback = nullptr;
    uint32_t flags = 0;
    std::string description;
    // (message, sub-code); the sub-code KORRIN_ALL_SUBCODES accepts every one
    std::vector<std::pair<int32_t, int64_t>> accepted;
    size_t functionsBefore = 0;  // how many functions were registered before the module
};

struct Registry {
    std::vector<RegisteredFunction> functions;  // in registration order
    std::vector<RegisteredModule> modules;
    // Description and accepted messages given before the module itself is registered.
    std::string pendingDescription;
    std::vector<std::pair<int32_t, int64_t>> pendingAccess;

    const RegisteredFunction *function(std::string_view name) const;
    const RegisteredModule *module(std::string_view name) const;
};

}  // namespace vhost
