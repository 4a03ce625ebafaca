// The three exports the host calls: the interface version, the entry with its handshake, the exit.
#include <cstring>

#include "binding/host_table.h"
#include "entry/registration.h"
#include "vanticAPI.h"

#if defined(_WIN32)
#define VANTIC_EXPORT extern "C" __declspec(dllexport)
#else
#define VANTIC_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
uint32_t g_groupMask = 0;
}  // namespace

VANTIC_EXPORT int32_t korrinAPI(void) { return KORRIN_INTERFACE_VERSION; }

VANTIC_EXPORT int32_t korrinEntry(char *nameBuffer, KorrinFindFunction findFunction, int32_t hostVersion,
                                  uint64_t hostKind) {
    g_groupMask = KORRIN_ALL_GROUPS;
    if ((hostKind & KORRIN_HOST_KIND_MASK) != KORRIN_HOST_KIND_SUPPORTED) return VANTIC_ENTRY_WRONG_KIND;
    if ((static_cast<uint32_t>(hostVersion) & KORRIN_HOST_VERSION_MASK) < KORRIN_HOST_VERSION_MIN)
        return VANTIC_ENTRY_OLD_VERSION;
    // Contract: the plug-in name the host lists and sends messages under.
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
