#include "binding/host_table.h"

#include <string>

namespace vantic {

void *g_hostSlots[HostSlotCount] = {};
uint32_t g_loadedGroups = 0;
uint32_t g_currentGroup = 0;
char g_pluginName[256] = {};
KorrinFindFunction g_findFunction = nullptr;

namespace {

struct ServiceName {
    uint32_t group;
    const char *name;
};

constexpr ServiceName kServices[HostSlotCount] = {
#define VANTIC_SLOT_NAME(group, name) {group, #name},
    KORRIN_SERVICE_LIST(VANTIC_SLOT_NAME)
#undef VANTIC_SLOT_NAME
};

// The list is kept in binding order: the message group first, then 0x800 before 0x400.
constexpr uint32_t kBindingOrder[] = {0x200,  0x1,    0x2,    0x4,     0x8,     0x10,    0x20,
                                      0x80,   0x100,  0x800,  0x400,   0x4000,  0x8000,  0x10000,
                                      0x20000, 0x40000, 0x80000, 0x100000};

constexpr bool listFollowsBindingOrder() {
    size_t g = 0;
    for (size_t i = 0; i < HostSlotCount; ++i) {
        if (kServices[i].group == kBindingOrder[g]) continue;
        if (++g == sizeof kBindingOrder / sizeof kBindingOrder[0] || kServices[i].group != kBindingOrder[g])
            return false;
    }
    return g + 1 == sizeof kBindingOrder / sizeof kBindingOrder[0];
}
static_assert(HostSlotCount == 700, "the host offers 700 services");
static_assert(listFollowsBindingOrder(), "service list must be grouped in binding order");

int32_t reportMissing(const char *name) {
    auto *send = FX(fxMessageSend);
    if (!send) return 0;  // nothing to send the message with
    // Contract: hosts and their users read this text in the message log.
    const std::string text = std::string(name) + " could not be found!";
    send(0, g_pluginName, KORRIN_MESSAGE_MISSING_SERVICE, text.c_str(), nullptr);
    return 0;
}

}  // namespace

int32_t BindHostFunctions(uint32_t groupMask) {
    size_t i = 0;
    while (i < HostSlotCount) {
        const uint32_t group = kServices[i].group;
        size_t end = i;
        while (end < HostSlotCount && kServices[end].group == group) ++end;
        if ((groupMask & group) && !(g_loadedGroups & group)) {
            g_loadedGroups |= group;  // set before binding: a failed group is never retried
            g_currentGroup = group;
            for (size_t s = i; s < end; ++s) {
                g_hostSlots[s] = g_findFunction ? g_findFunction(kServices[s].name, g_currentGroup) : nullptr;
                if (!g_hostSlots[s]) return reportMissing(kServices[s].name);
            }
        }
        i = end;
    }
    return 1;
}

}  // namespace vantic
