// The example client plug-in, written in C, finds the module's functions through the host's registry
// and uses a brush, as a separately built client would.
#include <gtest/gtest.h>

#include "brush_client.h"
#include "loading/plugin_host.h"
#include "model/mesh.h"

namespace {

vhost::Host *g_host = nullptr;

RegisteredFunction Lookup(const char *name) {
    const vhost::RegisteredFunction *f = g_host->registry.function(name);
    return f ? reinterpret_cast<RegisteredFunction>(f->address) : nullptr;
}

TEST(ExampleClient, PaintsASelectionThroughTheRegistry) {
    vhost::PluginHost loaded;
    ASSERT_EQ(loaded.entryResult, 0);
    g_host = &loaded.host;
    // A 2 x 2 grid of quads: 9 points; polygon 0 has 4 corners, point 8 is the far corner.
    const KorrinItem mesh = vhost::AddMesh(loaded.host, "grid", vhost::MakeGrid(2, 2, 2.0, 2.0));
    ClientOutcome outcome{};
    ASSERT_EQ(RunBrushClient(&Lookup, mesh, 9, 8, &outcome), 0);
    EXPECT_NE(outcome.brushAction, 0);
    EXPECT_EQ(outcome.targetOrder, 0);
    EXPECT_EQ(outcome.selectedPoints, 5);  // the four corners of polygon 0 and the far corner
    EXPECT_DOUBLE_EQ(outcome.normal[0], 0.6);
    EXPECT_DOUBLE_EQ(outcome.normal[2], 0.8);
    EXPECT_EQ(outcome.deleted, 1);
    // What the client pushed is in the host; deleting the brush cleared it again.
    const vhost::Mesh *m = loaded.host.scene.meshes.find(mesh);
    ASSERT_NE(m, nullptr);
    for (uint8_t s : m->selected) EXPECT_EQ(s, 0);
    g_host = nullptr;
}

TEST(ExampleClient, ReportsAMissingFunction) {
    vhost::Host host;  // nothing loaded: the registry is empty
    g_host = &host;
    ClientOutcome outcome{};
    EXPECT_EQ(RunBrushClient(&Lookup, 1, 0, 0, &outcome), 1);
    g_host = nullptr;
}

}  // namespace
