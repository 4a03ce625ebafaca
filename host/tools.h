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
    KorrinItem eventHandle = 0;               // handle of the event being delivered (fxHandleMouseButton)
    std::map<int32_t, int32_t> interfaceUpdates;  // flag -> count
    int32_t deleteBrackets = 0;               // open fxObjectDeleteBegin brackets
    std::vector<KorrinItem> deleted;          // objects deleted, in order
    int32_t initActionCalls = 0;
};

// The driver: sets the handle's mouse state and calls the action's module with message 26 and
// events 512 (press), 256 (drag), 1024 (release); returns the callback's result.
int32_t Press(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
int32_t Drag(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
int32_t Release(Host &host, KorrinItem action, int32_t x, int32_t y, int32_t button);
// Sends the save event (32) to every action, writing into the scene file at path.
void SaveScene(Host &host, const std::string &path);
// Sends the destroy event (64) to the action.
int32_t DestroyAction(Host &host, KorrinItem action);

}  // namespace vhost
