// Services of the host's objects. Tool objects live in the item space like every other object;
// deleting outside a deletion bracket still deletes but is logged, since the real host expects the
// bracket around every deletion.
#include "services/object_services.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/host.h"
#include "model/tools.h"

namespace vhost {

namespace {

KorrinItem ToolCreate(const char *type, const char *name, int32_t, int32_t) {
    const std::string base = name && *name ? name : "Tool";
    return CreateToolObject(Host::current(), type ? type : "", base);
}

KorrinItem ObjectCurrent(int32_t) { return Host::current().scene.items.current; }

// 0 is accepted: it leaves no object current, as before the first object was made current.
int32_t ObjectSetCurrent(KorrinItem object, int32_t) {
    Host &host = Host::current();
    if (object != 0 && !IsObject(host, object)) return 0;
    host.scene.items.current = object;
    return 1;
}

int32_t ObjectDeselectAll(int32_t) {
    Items &items = Host::current().scene.items;
    for (ItemKind kind : {ItemKind::Mesh, ItemKind::Effect, ItemKind::Camera, ItemKind::Tool})
        for (KorrinItem id : items.ofKind(kind)) items.find(id)->selected = false;
    return 1;
}

int32_t ObjectDrawModeSet(KorrinItem object, const char *mode, int32_t) {
    Host &host = Host::current();
    if (!mode || !IsObject(host, object)) return 0;
    host.scene.items.find(object)->drawMode = mode;
    return 1;
}

// Copies at most size - 1 bytes and always terminates; an unknown item gives the empty name.
int32_t ObjectGetName(KorrinItem object, char *buffer, int32_t size, int32_t) {
    if (!buffer || size < 1) return 0;
    const Item *item = Host::current().scene.items.find(object);
    const std::string name = item ? item->name : "";
    const size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return item ? 1 : 0;
}

int32_t ObjectDeleteBegin(KorrinItem, int32_t) {
    ++Host::current().scene.tools.deleteBrackets;
    return 1;
}

int32_t ObjectDelete(KorrinItem object, int32_t) {
    Host &host = Host::current();
    if (host.scene.tools.deleteBrackets == 0)
        host.messages.host("fxObjectDelete of item " + std::to_string(object) +
                           " outside fxObjectDeleteBegin/fxObjectDeleteEnd");
    if (DeleteObject(host, object)) return 1;
    host.messages.host("fxObjectDelete: item " + std::to_string(object) + " is no object");
    return 0;
}

int32_t ObjectDeleteEnd(KorrinItem, int32_t) {
    Host &host = Host::current();
    if (host.scene.tools.deleteBrackets == 0) {
        host.messages.host("fxObjectDeleteEnd without fxObjectDeleteBegin");
        return 0;
    }
    --host.scene.tools.deleteBrackets;
    return 1;
}

}  // namespace

void AddObjectServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxToolCreate, ToolCreate);
    VHOST_SERVICE(map, fxObjectCurrent, ObjectCurrent);
    VHOST_SERVICE(map, fxObjectSetCurrent, ObjectSetCurrent);
    VHOST_SERVICE(map, fxObjectDeselectAll, ObjectDeselectAll);
    VHOST_SERVICE(map, fxObjectDrawModeSet, ObjectDrawModeSet);
    VHOST_SERVICE(map, fxObjectGetName, ObjectGetName);
    VHOST_SERVICE(map, fxObjectDeleteBegin, ObjectDeleteBegin);
    VHOST_SERVICE(map, fxObjectDelete, ObjectDelete);
    VHOST_SERVICE(map, fxObjectDeleteEnd, ObjectDeleteEnd);
}

}  // namespace vhost
