#include "services/view_services.h"

#include <string>

#include "model/host.h"
#include "model/views.h"

namespace vhost {

namespace {

// KORRIN_SCREEN_TO_WORLD: screen (x, y, ·) -> world point; KORRIN_WORLD_TO_SCREEN: world point ->
// screen (x, y, depth).
int32_t WorldScreenConversion(const double *in, double *out, int32_t mode) {
    Host &host = Host::current();
    if (!in || !out) return 0;
    if (mode == KORRIN_SCREEN_TO_WORLD) {
        ScreenToWorld(host, in, out);
    } else if (mode == KORRIN_WORLD_TO_SCREEN) {
        WorldToScreen(host, in, out);
    } else {
        // Contract: tests match "mode <n>" in this message.
        host.messages.host("fxWorldScreenConversion: unknown mode " + std::to_string(mode));
        return 0;
    }
    return 1;
}

KorrinItem ObjectGetActiveCamera() { return ActiveCamera(Host::current()); }

double FrameGet() { return Host::current().scene.channels.frame; }

double FrameCalcGet() { return Host::current().scene.channels.calcTime; }

}  // namespace

void AddViewServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxWorldScreenConversion, WorldScreenConversion);
    VHOST_SERVICE(map, fxObjectGetActiveCamera, ObjectGetActiveCamera);
    VHOST_SERVICE(map, fxFrameGet, FrameGet);
    VHOST_SERVICE(map, fxFrameCalcGet, FrameCalcGet);
}

}  // namespace vhost
