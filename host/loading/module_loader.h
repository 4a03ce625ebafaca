// Loads the built module with the platform loader and drives its three exports, as the host
// application does.
#pragma once

#include <cstdint>
#include <string>

#include "model/host.h"

namespace vhost {

class LoadedModule {
public:
    // privateCopy loads a copy of the library file, so the module's process-wide state (its bound
    // host table) starts fresh; otherwise the platform loader shares one instance per process.
    explicit LoadedModule(bool privateCopy = false, const std::string &path = VANTIC_MODULE_PATH);
    ~LoadedModule();
    LoadedModule(const LoadedModule &) = delete;
    LoadedModule &operator=(const LoadedModule &) = delete;

    int32_t api() const;
    // Calls korrinEntry with the host's version and kind; the plug-in name lands in nameBuffer.
    int32_t entry(Host &host);
    void exit() const;

    char nameBuffer[256] = {};

private:
    void *symbol(const char *name) const;
    void *library_ = nullptr;
    std::string copyPath_;
};

}  // namespace vhost
