// Services of armatures, handles, actions and interface updates. The mouse state lives on the
// handle; fxHandleMouseButton has no handle argument, so it answers for the event being delivered.
#include "services/tool_services.h"

#include "model/host.h"
#include "model/tools.h"

namespace vhost {

namespace {

std::string Text(const char *s) { return s ? s : ""; }

// Runs use on the handle when it exists: 1 then, else 0.
template <class Use>
int32_t WithHandle(KorrinItem handle, Use use) {
    Handle *h = FindHandle(Host::current(), handle);
    if (!h) return 0;
    use(*h);
    return 1;
}

KorrinItem ArmatureCreate(const char *name, int32_t) { return CreateArmature(Host::current(), Text(name)); }

int32_t ArmatureDelete(KorrinItem armature, int32_t) { return DeleteArmature(Host::current(), armature) ? 1 : 0; }

KorrinItem HandleCreate(const char *name, KorrinItem armature, KorrinItem parent, int32_t) {
    return CreateHandle(Host::current(), Text(name), armature, parent);
}

KorrinItem HandleArmature(KorrinItem handle, int32_t) {
    const Handle *h = FindHandle(Host::current(), handle);
    return h ? h->armature : 0;
}

int32_t HandleIconSet(KorrinItem handle, int32_t, const char *icon, int32_t) {
    return WithHandle(handle, [&](Handle &h) { h.icon = Text(icon); });
}

int32_t HandleIconActiveSet(KorrinItem handle, int32_t, const char *icon, int32_t) {
    return WithHandle(handle, [&](Handle &h) { h.activeIcon = Text(icon); });
}

int32_t HandleSetPixelSize(KorrinItem handle, double low, double high, int32_t) {
    return WithHandle(handle, [&](Handle &h) {
        h.pixelLow = low;
        h.pixelHigh = high;
    });
}

int32_t HandlePosTypeSet(KorrinItem handle, int32_t type, int32_t) {
    return WithHandle(handle, [&](Handle &h) { h.posType = type; });
}

int32_t HandleHAlignSet(KorrinItem handle, int32_t align, int32_t) {
    return WithHandle(handle, [&](Handle &h) { h.hAlign = align; });
}

int32_t HandleVAlignSet(KorrinItem handle, int32_t align, int32_t) {
    return WithHandle(handle, [&](Handle &h) { h.vAlign = align; });
}

int32_t HandlePosSet(KorrinItem handle, const double *position, int32_t) {
    if (!position) return 0;
    return WithHandle(handle, [&](Handle &h) { h.position = {position[0], position[1], position[2]}; });
}

// 0 when no event is being delivered.
int32_t HandleMouseButton(int32_t) {
    Host &host = Host::current();
    const Handle *h = FindHandle(host, host.scene.tools.eventHandle);
    return h ? h->mouseButton : 0;
}

int32_t HandleMouseCurPos(KorrinItem handle, int32_t *x, int32_t *y, int32_t) {
    return WithHandle(handle, [&](const Handle &h) {
        if (x) *x = h.curX;
        if (y) *y = h.curY;
    });
}

int32_t HandleMousePrevPos(KorrinItem handle, int32_t *x, int32_t *y, int32_t) {
    return WithHandle(handle, [&](const Handle &h) {
        if (x) *x = h.prevX;
        if (y) *y = h.prevY;
    });
}

int32_t InitAction(int32_t) {
    ++Host::current().scene.tools.initActionCalls;
    return 1;
}

KorrinItem ActionCreate(KorrinItem handle, int32_t moduleType, int32_t, const char *module, int32_t) {
    return CreateAction(Host::current(), handle, moduleType, Text(module));
}

// 0 once the handle is gone (its armature was deleted).
KorrinItem ActionHandle(KorrinItem action, int32_t) {
    Host &host = Host::current();
    const Action *a = FindAction(host, action);
    return a && FindHandle(host, a->handle) ? a->handle : 0;
}

int32_t InterfaceUpdate(int32_t flags, int32_t) {
    ++Host::current().scene.tools.interfaceUpdates[flags];
    return 1;
}

}  // namespace

void AddToolServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxArmatureCreate, ArmatureCreate);
    VHOST_SERVICE(map, fxArmatureDelete, ArmatureDelete);
    VHOST_SERVICE(map, fxHandleCreate, HandleCreate);
    VHOST_SERVICE(map, fxHandleArmature, HandleArmature);
    VHOST_SERVICE(map, fxHandleIconSet, HandleIconSet);
    VHOST_SERVICE(map, fxHandleIconActiveSet, HandleIconActiveSet);
    VHOST_SERVICE(map, fxHandleSetPixelSize, HandleSetPixelSize);
    VHOST_SERVICE(map, fxHandlePosTypeSet, HandlePosTypeSet);
    VHOST_SERVICE(map, fxHandleHAlignSet, HandleHAlignSet);
    VHOST_SERVICE(map, fxHandleVAlignSet, HandleVAlignSet);
    VHOST_SERVICE(map, fxHandlePosSet, HandlePosSet);
    VHOST_SERVICE(map, fxHandleMouseButton, HandleMouseButton);
    VHOST_SERVICE(map, fxHandleMouseCurPos, HandleMouseCurPos);
    VHOST_SERVICE(map, fxHandleMousePrevPos, HandleMousePrevPos);
    VHOST_SERVICE(map, fxInitAction, InitAction);
    VHOST_SERVICE(map, fxActionCreate, ActionCreate);
    VHOST_SERVICE(map, fxActionHandle, ActionHandle);
    VHOST_SERVICE(map, fxInterfaceUpdate, InterfaceUpdate);
}

}  // namespace vhost
