// Host items: one id space from 1 upward for objects, armatures, handles and actions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

enum class ItemKind { Mesh, Effect, Camera, Tool, Armature, Handle, Action };

struct Item {
    KorrinItem id = 0;
    ItemKind kind = ItemKind::Mesh;
    std::string name;
    KorrinItem parent = 0;
    bool selected = false;
    std::string drawMode;
    int32_t proceduralType = 0;  // set by the expression ProceduralTypeSet(name, value)
};

class Items {
public:
    KorrinItem add(ItemKind kind, const std::string &name);
    Item *find(KorrinItem id);
    const Item *find(KorrinItem id) const;
    bool exists(KorrinItem id) const { return find(id) != nullptr; }
    Item *findByName(const std::string &name);
    void remove(KorrinItem id);
    std::vector<KorrinItem> ofKind(ItemKind kind) const;

    KorrinItem current = 0;  // the current object

private:
    // Ids count up from 1 and are never reused, so item id lives at index id - 1 (null once removed):
    // every service looks its item up, and this keeps that to one index.
    std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace vhost
