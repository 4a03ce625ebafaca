// The item model behind the object, armature, handle and action services.
#include "model/tools.h"

#include <algorithm>

#include "model/host.h"

namespace vhost {

namespace {

// Contract: the " (n)" suffix reaches the module and tests through fxObjectGetName and expressions.
std::string UniqueName(Items &items, const std::string &name) {
    if (!items.findByName(name)) return name;
    for (int n = 2;; ++n) {
        std::string candidate = name + " (" + std::to_string(n) + ")";
        if (!items.findByName(candidate)) return candidate;
    }
}

}  // namespace

KorrinItem CreateToolObject(Host &host, const std::string &type, const std::string &name) {
    Items &items = host.scene.items;
    const KorrinItem id = items.add(ItemKind::Tool, UniqueName(items, name));
    host.scene.tools.toolTypes[id] = type;
    return id;
}

bool IsObject(const Host &host, KorrinItem item) {
    const Item *found = host.scene.items.find(item);
    if (!found) return false;
    switch (found->kind) {
    case ItemKind::Mesh:
    case ItemKind::Effect:
    case ItemKind::Camera:
    case ItemKind::Tool:
        return true;
    default:
        return false;
    }
}

bool DeleteObject(Host &host, KorrinItem object) {
    if (!IsObject(host, object)) return false;
    Scene &scene = host.scene;
    scene.items.remove(object);
    scene.meshes.meshes.erase(object);
    scene.meshes.effects.erase(object);
    // A deleted object is no longer anyone's target.
    for (auto &[id, effect] : scene.meshes.effects) std::erase(effect.targets, object);
    scene.channels.objects.erase(object);
    scene.tools.toolTypes.erase(object);
    if (scene.views.activeCamera == object) scene.views.activeCamera = 0;
    scene.tools.deleted.push_back(object);
    return true;
}

KorrinItem CreateArmature(Host &host, const std::string &name) {
    const KorrinItem id = host.scene.items.add(ItemKind::Armature, name);
    host.scene.tools.armatures.insert(id);
    return id;
}

bool DeleteArmature(Host &host, KorrinItem armature) {
    ToolStore &tools = host.scene.tools;
    if (!tools.armatures.erase(armature)) return false;
    host.scene.items.remove(armature);
    for (auto it = tools.handles.begin(); it != tools.handles.end();) {
        if (it->second.armature == armature) {
            host.scene.items.remove(it->first);
            it = tools.handles.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

KorrinItem CreateHandle(Host &host, const std::string &name, KorrinItem armature, KorrinItem parent) {
    if (!host.scene.tools.armatures.count(armature)) return 0;
    const KorrinItem id = host.scene.items.add(ItemKind::Handle, name);
    host.scene.items.find(id)->parent = parent;
    Handle handle;
    handle.armature = armature;
    handle.parent = parent;
    host.scene.tools.handles[id] = handle;
    return id;
}

Handle *FindHandle(Host &host, KorrinItem handle) {
    auto it = host.scene.tools.handles.find(handle);
    return it == host.scene.tools.handles.end() ? nullptr : &it->second;
}

KorrinItem CreateAction(Host &host, KorrinItem handle, int32_t moduleType, const std::string &module) {
    if (!FindHandle(host, handle)) return 0;
    const KorrinItem id = host.scene.items.add(ItemKind::Action, module);
    host.scene.tools.actions[id] = Action{handle, moduleType, module};
    return id;
}

Action *FindAction(Host &host, KorrinItem action) {
    auto it = host.scene.tools.actions.find(action);
    return it == host.scene.tools.actions.end() ? nullptr : &it->second;
}

}  // namespace vhost
