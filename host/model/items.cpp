#include "model/items.h"

namespace vhost {

KorrinItem Items::add(ItemKind kind, const std::string &name) {
    const KorrinItem id = next_++;
    Item item;
    item.id = id;
    item.kind = kind;
    item.name = name;
    items_[id] = item;
    return id;
}

Item *Items::find(KorrinItem id) {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

const Item *Items::find(KorrinItem id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

Item *Items::findByName(const std::string &name) {
    for (auto &[id, item] : items_)
        if (item.name == name) return &item;
    return nullptr;
}

void Items::remove(KorrinItem id) {
    items_.erase(id);
    if (current == id) current = 0;
}

std::vector<KorrinItem> Items::ofKind(ItemKind kind) const {
    std::vector<KorrinItem> ids;
    for (const auto &[id, item] : items_)
        if (item.kind == kind) ids.push_back(id);
    return ids;
}

}  // namespace vhost
