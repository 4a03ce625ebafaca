// The driver: what the host does when the user works with an action (mouse press, drag, release)
// and when the scene is saved or the action destroyed. Every event reaches the module registered
// under the action's module name.
#include <string>
#include <vector>

#include "model/host.h"
#include "model/scene_file.h"
#include "model/tools.h"

namespace vhost {

namespace {

int32_t MouseEvent(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button, int64_t event) {
    const Action *a = FindAction(host, action);
    Handle *handle = a ? FindHandle(host, a->handle) : nullptr;
    if (!handle) {
        host.messages.host("mouse event for action " + std::to_string(action) + ", which has no handle");
        return 0;
    }
    handle->prevX = handle->curX;
    handle->prevY = handle->curY;
    handle->curX = x;
    handle->curY = y;
    handle->mouseButton = button;
    // fxHandleMouseButton answers for this handle while the module handles the event.
    const KorrinItem outer = host.scene.tools.eventHandle;
    host.scene.tools.eventHandle = a->handle;
    const int32_t result = SendModuleMessage(host, action, KORRIN_MODULE_MESSAGE_ACTION_EVENT, event);
    host.scene.tools.eventHandle = outer;
    return result;
}

}  // namespace

int32_t SendModuleMessage(Host &host, KorrinItem action, int32_t message, int64_t parameter,
                          KorrinHandle context) {
    const Action *a = FindAction(host, action);
    if (!a) {
        host.messages.host("no action " + std::to_string(action));
        return 0;
    }
    const RegisteredModule *module = host.registry.module(a->module);
    if (!module || !module->callback) {
        host.messages.host("action " + std::to_string(action) + ": module \"" + a->module +
                           "\" is not registered");
        return 0;
    }
    // Copied: the callback may register more and move the registry's storage.
    const KorrinModuleCallback callback = module->callback;
    return callback(context, action, message, parameter);
}

int32_t Press(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button) {
    return MouseEvent(host, action, x, y, button, KORRIN_EVENT_PRESS);
}

int32_t Drag(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button) {
    return MouseEvent(host, action, x, y, button, KORRIN_EVENT_DRAG);
}

int32_t Release(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button) {
    return MouseEvent(host, action, x, y, button, KORRIN_EVENT_RELEASE);
}

void SaveScene(Host &host, const std::string &path) {
    const KorrinHandle context = BeginSave(host, path);
    // Ids first: a module may create or remove actions while it saves.
    std::vector<KorrinItem> actions;
    for (const auto &[id, action] : host.scene.tools.actions) actions.push_back(id);
    for (KorrinItem id : actions)
        if (FindAction(host, id))
            SendModuleMessage(host, id, KORRIN_MODULE_MESSAGE_ACTION_EVENT, KORRIN_EVENT_SAVE, context);
    EndSave(host);
}

int32_t DestroyAction(Host &host, KorrinItem action) {
    if (!FindAction(host, action)) {
        host.messages.host("no action " + std::to_string(action));
        return 0;
    }
    const int32_t result =
        SendModuleMessage(host, action, KORRIN_MODULE_MESSAGE_ACTION_EVENT, KORRIN_EVENT_DESTROY);
    host.scene.tools.actions.erase(action);
    host.scene.items.remove(action);
    return result;
}

}  // namespace vhost
