// A host with the module loaded and entered: what every client (test, sandbox) starts from.
#pragma once

#include <stdexcept>
#include <string>

#include "loading/module_loader.h"
#include "model/host.h"

namespace vhost {

class PluginHost {
public:
    PluginHost() : entryResult(module.entry(host)) {}

    // The registered function of that name as its public function type; throws when it is missing.
    template <class F>
    F *function(const char *name) const {
        F *f = host.function<F>(name);
        if (!f) throw std::runtime_error(std::string("no registered function ") + name);
        return f;
    }

    Host host;
    LoadedModule module;
    int32_t entryResult;
};

}  // namespace vhost
