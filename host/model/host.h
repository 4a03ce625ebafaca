// The simulated host: one object owns a scene, a registry, a message log and the data attachments.
// The services are plain C functions that act on the host current for the process: the newest Host
// object that is still alive. Tests make a fresh Host each.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "korrin_host_services.h"
#include "model/data_attachment.h"
#include "model/messages.h"
#include "model/registry.h"
#include "model/scene.h"

namespace vhost {

class Host {
public:
    Host();
    ~Host();
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    // The host current for the process; aborts when there is none.
    static Host &current();
    // The same, or null when there is none: the find-function may be called with no host alive.
    static Host *currentOrNull();

    // What the host tells a plug-in at entry: the interface version it speaks and its kind.
    int32_t version = KORRIN_INTERFACE_VERSION;
    uint64_t kind = KORRIN_HOST_KIND_SUPPORTED;

    // Makes the find-function answer null for this service name.
    void lack(const std::string &name) { lacking_.insert(name); }
    bool lacks(const std::string &name) const { return lacking_.count(name) != 0; }

    // Looks a registered function up by name and casts it to its public function type.
    template <class F>
    F *function(const char *name) const {
        const RegisteredFunction *f = registry.function(name);
        return f ? reinterpret_cast<F *>(f->address) : nullptr;
    }

    Registry registry;
    MessageLog messages;
    DataAttachments data;
    Scene scene;
    int32_t stubCalls = 0;  // calls of services the simulated host does not model
    std::vector<std::string> lookups;  // every name the find-function was asked for, in order

private:
    Host *previous_;
    std::set<std::string> lacking_;
};

}  // namespace vhost
