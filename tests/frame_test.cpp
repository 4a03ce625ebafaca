// The module frame: handshake, name copy, host table binding and registration, seen from the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host.h"
#include "module_loader.h"
#include "plugin_host.h"
#include "vanticAPI.h"

namespace {

using vhost::Host;
using vhost::LoadedModule;

TEST(Frame, InterfaceVersion) {
    LoadedModule module;
    EXPECT_EQ(module.api(), 0x103000);
}

struct Refusal {
    int32_t version;
    uint64_t kind;
    int32_t expected;
};

void PrintTo(const Refusal &r, std::ostream *os) {
    *os << "version 0x" << std::hex << r.version << " kind 0x" << r.kind;
}

class Handshake : public ::testing::TestWithParam<Refusal> {};

TEST_P(Handshake, RefusesBeforeTouchingAnything) {
    Host host;
    host.version = GetParam().version;
    host.kind = GetParam().kind;
    LoadedModule module(true);
    std::memset(module.nameBuffer, 'x', sizeof module.nameBuffer);
    EXPECT_EQ(module.entry(host), GetParam().expected);
    for (char c : module.nameBuffer) ASSERT_EQ(c, 'x');
    EXPECT_TRUE(host.registry.functions.empty());
    EXPECT_TRUE(host.messages.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(KindAndVersion, Handshake,
                         ::testing::Values(Refusal{0x103000, 3, VANTIC_ENTRY_WRONG_KIND},
                                           Refusal{0x103000, 0, VANTIC_ENTRY_WRONG_KIND},
                                           Refusal{0x0FFFFF, 2, VANTIC_ENTRY_OLD_VERSION},
                                           Refusal{0x1000000, 2, VANTIC_ENTRY_OLD_VERSION},
                                           // the kind is tested first
                                           Refusal{0x0FFFFF, 3, VANTIC_ENTRY_WRONG_KIND}));

TEST(Frame, AcceptsKindAndVersionVariants) {
    for (auto [version, kind] : {std::pair<int32_t, uint64_t>{0x100000, 2}, {0x103000, 0x12}, {0x1103000, 2}}) {
        Host host;
        host.version = version;
        host.kind = kind;
        LoadedModule module(true);
        std::memset(module.nameBuffer, 'x', sizeof module.nameBuffer);
        EXPECT_EQ(module.entry(host), VANTIC_ENTRY_LOADED) << std::hex << version << " " << kind;
        EXPECT_STREQ(module.nameBuffer, "vanticAPI");
        // a bounded copy of 255: the text, then zeros up to the 255th byte, the 256th untouched
        for (int i = 9; i < 255; ++i) ASSERT_EQ(module.nameBuffer[i], 0) << i;
        EXPECT_EQ(module.nameBuffer[255], 'x');
    }
}

TEST(Frame, MissingServiceStopsBindingWithOneMessage) {
    Host host;
    host.lack("fxMeshPointWeight");
    LoadedModule module(true);
    EXPECT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    ASSERT_EQ(host.messages.entries.size(), 1u);
    const auto &m = host.messages.entries[0];
    EXPECT_EQ(m.text, "fxMeshPointWeight could not be found!");
    EXPECT_EQ(m.code, 0x500);
    EXPECT_EQ(m.source, "vanticAPI");
    EXPECT_EQ(m.item, 0u);
    EXPECT_EQ(m.kind, "");
    EXPECT_TRUE(host.registry.functions.empty());
    EXPECT_TRUE(host.registry.modules.empty());
    EXPECT_EQ(host.stubCalls, 0);
}

TEST(Frame, MissingProgressServiceIsReportedWithTheMessageService) {
    Host host;
    host.lack("fxMessageProgress");
    LoadedModule module(true);
    EXPECT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    ASSERT_EQ(host.messages.entries.size(), 1u);
    EXPECT_EQ(host.messages.entries[0].text, "fxMessageProgress could not be found!");
}

TEST(Frame, MissingMessageServiceFailsSilently) {
    Host host;
    host.lack("fxMessageSend");
    LoadedModule module(true);
    EXPECT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    EXPECT_TRUE(host.messages.entries.empty());
    EXPECT_TRUE(host.registry.functions.empty());
}

TEST(Frame, AttemptedGroupsAreNotRetried) {
    // Failing at fxMeshPointWeight, the 8th name of group 0x2: the message group (2 names), group
    // 0x1 (61) and the first 8 names of group 0x2 were looked up, nothing after.
    Host host;
    host.lack("fxMeshPointWeight");
    LoadedModule module(true);
    ASSERT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    ASSERT_EQ(host.lookups.size(), 2u + 61u + 8u);
    EXPECT_EQ(host.lookups.back(), "fxMeshPointWeight");
    // A second entry binds only the groups never attempted: it starts at group 0x4.
    Host second;
    EXPECT_EQ(module.entry(second), VANTIC_ENTRY_LOADED);
    ASSERT_EQ(second.lookups.size(), 700u - 2u - 61u - 18u);
    EXPECT_EQ(second.lookups.front(), "fxMotionNumKeys");
    EXPECT_TRUE(second.messages.entries.empty());
}

TEST(Frame, SecondBindingOfBoundGroupsDoesNothing) {
    Host host;
    LoadedModule module(true);
    ASSERT_EQ(module.entry(host), VANTIC_ENTRY_LOADED);
    EXPECT_EQ(host.lookups.size(), 700u);
    Host second;
    second.lack("fxMeshPoint");  // would fail if it were looked up again
    EXPECT_EQ(module.entry(second), VANTIC_ENTRY_LOADED);
    EXPECT_TRUE(second.lookups.empty());
    EXPECT_TRUE(second.messages.entries.empty());
    EXPECT_EQ(second.registry.functions.size(), host.registry.functions.size());
}

TEST(Frame, EntryRegistersUnderGeneralInOrder) {
    vhost::PluginHost loaded;
    ASSERT_EQ(loaded.entryResult, VANTIC_ENTRY_LOADED);
    for (const auto &f : loaded.host.registry.functions) {
        EXPECT_EQ(f.category, "General") << f.name;
        EXPECT_EQ(f.flags, 0) << f.name;
        EXPECT_NE(f.address, nullptr) << f.name;
        EXPECT_TRUE(f.resultType == 9 || f.resultType == 2 || f.resultType == 14) << f.name;
        EXPECT_EQ(f.name.rfind("vantic_", 0), 0u) << f.name;
    }
    EXPECT_TRUE(loaded.host.messages.entries.empty());
    EXPECT_EQ(loaded.host.stubCalls, 0);
    loaded.module.exit();
}

}  // namespace
