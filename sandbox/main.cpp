// vantic-sandbox: loads the module into a simulated host as the host application would.
#include <cstdio>
#include <string>

#include "plugin_host.h"

int main(int argc, char **argv) {
    const std::string command = argc > 1 ? argv[1] : "demo";
    if (command != "demo") {
        std::fprintf(stderr, "usage: vantic-sandbox demo\n");
        return 2;
    }
    vhost::PluginHost loaded;
    std::printf("handshake: korrinAPI = 0x%X, korrinEntry = %d\n", static_cast<unsigned>(loaded.module.api()),
                loaded.entryResult);
    std::printf("plug-in name: %s\n", loaded.module.nameBuffer);
    std::printf("registered functions (%zu):\n", loaded.host.registry.functions.size());
    for (const auto &f : loaded.host.registry.functions)
        std::printf("  %-40s %-8s code %d\n", f.name.c_str(), f.category.c_str(), f.resultType);
    std::printf("modules (%zu):\n", loaded.host.registry.modules.size());
    for (const auto &m : loaded.host.registry.modules)
        std::printf("  %s (type %d, flags 0x%X)\n", m.name.c_str(), m.type, static_cast<unsigned>(m.flags));
    for (const auto &m : loaded.host.messages.entries)
        std::printf("message: [%s] %s: %s\n", m.kind.c_str(), m.source.c_str(), m.text.c_str());
    loaded.module.exit();
    return loaded.entryResult == 0 ? 0 : 1;
}
