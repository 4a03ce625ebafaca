// The three exports the host calls: the interface version, the entry with its handshake, the exit.
#include <cstring>

#include "host_table.h"
#include "registration.h"
#include "vanticAPI.h"

#if defined(_WIN32)
#define VANTIC_EXPORT extern "C" __declspec(dllexport)
#else
#define VANTIC_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
constexpr int32_t kInterfaceVersion = 0x103000;
uint32_t g_groupMask = 0;
}  // namespace

VANTIC_EXPORT int32_t korrinAPI(void) { return kInterfaceVersion; }

VANTIC_EXPORT int32_t korrinEntry(char *nameBuffer, KorrinFindFunction findFunction, int32_t hostVersion,
                                  uint64_t hostKind) {
    g_groupMask = 0x7FFFFFFF;
    if ((hostKind & 0xF) != 2) return VANTIC_ENTRY_WRONG_KIND;
    if ((static_cast<uint32_t>(hostVersion) & 0xF00000) < 0x100000) return VANTIC_ENTRY_OLD_VERSION;
    std::strncpy(nameBuffer, "vanticAPI", 255);
    const size_t nameLength = strnlen(nameBuffer, sizeof vantic::g_pluginName - 1);
    std::memcpy(vantic::g_pluginName, nameBuffer, nameLength);
    vantic::g_pluginName[nameLength] = 0;
    vantic::g_findFunction = findFunction;
    if (!vantic::BindHostFunctions(g_groupMask)) return VANTIC_ENTRY_BINDING_FAILED;
    vantic::RegisterAll();
    return VANTIC_ENTRY_LOADED;
}

VANTIC_EXPORT void korrinExit(void) {}

#if defined(_WIN32)
#include <windows.h>
// The runtime initialises itself; the module only declines per-thread notifications.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
#endif
