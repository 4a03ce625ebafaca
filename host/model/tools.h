// Armatures, handles (mouse state), actions bound to modules, procedural tool objects, deletion
// brackets, interface updates, and the driver that sends mouse and module events to an action.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;

struct Handle {
    KorrinItem armature = 0, parent = 0;
    std::string icon, activeIcon;
    double pixelLow = 0, pixelHigh = 0;
    int32_t posType = 0, hAlign = 0, vAlign = 0;
    std::array<double, 3> position{};
    int32_t mouseButton = 0;
    int32_t curX = 0, curY = 0, prevX = 0, prevY = 0;
};

struct Action {
    KorrinItem handle = 0;
    int32_t moduleType = 0;
    std::string module;  // name of the registered module that receives its events
};

struct ToolStore {
    std::set<KorrinItem> armatures;
    std::map<KorrinItem, Handle> handles;
    std::map<KorrinItem, Action> actions;
    std::map<KorrinItem, std::string> toolTypes;  // tool object -> the type it was created with
    KorrinItem eventHandle = 0;               // handle of the event being delivered (fxHandleMouseButton)
    std::map<int32_t, int32_t> interfaceUpdates;  // flag -> count
    int32_t deleteBrackets = 0;               // open fxObjectDeleteBegin brackets
    std::vector<KorrinItem> deleted;          // objects deleted, in order
    int32_t initActionCalls = 0;
};

// ---- the item model behind the services (host/model/tools.cpp); every id may be unknown ----

// A procedural tool object named after `name`, made unique with " (2)", " (3)", ...
KorrinItem CreateToolObject(Host &host, const std::string &type, const std::string &name);
// Removes a mesh, effect, camera or tool object with its per-kind state and records it in
// ToolStore::deleted; false (and nothing changed) for an unknown id or an item that is no object.
bool DeleteObject(Host &host, KorrinItem object);
bool IsObject(const Host &host, KorrinItem item);

KorrinItem CreateArmature(Host &host, const std::string &name);
// Removes the armature and every handle on it.
bool DeleteArmature(Host &host, KorrinItem armature);
// 0 when the armature does not exist.
KorrinItem CreateHandle(Host &host, const std::string &name, KorrinItem armature, KorrinItem parent);
Handle *FindHandle(Host &host, KorrinItem handle);
// 0 when the handle does not exist. The module is looked up by name only when an event is sent.
KorrinItem CreateAction(Host &host, KorrinItem handle, int32_t moduleType, const std::string &module);
Action *FindAction(Host &host, KorrinItem action);

// ---- the driver (host/model/event_driver.cpp) ----

// Calls the action's module with (context, action, message, parameter) and returns its result. An
// unknown action or a module that is not registered: a host message and 0.
int32_t SendModuleMessage(Host &host, KorrinItem action, int32_t message, int64_t parameter,
                          KorrinHandle context = 0);
// Sets the handle's mouse state (previous = the last current position, current = (x, y), the
// button) and calls the action's module with KORRIN_MODULE_MESSAGE_ACTION_EVENT and the event
// KORRIN_EVENT_PRESS, KORRIN_EVENT_DRAG or KORRIN_EVENT_RELEASE; returns the callback's result. An
// action without a handle: a host message and 0.
int32_t Press(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
int32_t Drag(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
int32_t Release(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
// Sends KORRIN_EVENT_SAVE to every action, writing into the scene file at path.
void SaveScene(Host &host, const std::string &path);
// Sends KORRIN_EVENT_DESTROY to the action, then removes the action; returns the callback's result.
int32_t DestroyAction(Host &host, KorrinItem action);

}  // namespace vhost
