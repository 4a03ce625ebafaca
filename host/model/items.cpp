#include "model/items.h"

namespace vhost {

KorrinItem Items::add(ItemKind kind, const std::string &name) {
    auto item = std::make_unique<Item>();
    item->id = static_cast<KorrinItem>(items_.size() + 1);
    item->kind = kind;
    item->name = name;
    items_.push_back(std::move(item));
    return items_.back()->id;
}

Item *Items::find(KorrinItem id) {
    return id >= 1 && id <= items_.size() ? items_[id - 1].get() : nullptr;
}

const Item *Items::find(KorrinItem id) const {
    return id >= 1 && id <= items_.size() ? items_[id - 1].get() : nullptr;
}

Item *Items::findByName(const std::string &name) {
    for (const auto &item : items_)
        if (item && item->name == name) return item.get();
    return nullptr;
}

void Items::remove(KorrinItem id) {
    if (id >= 1 && id <= items_.size()) items_[id - 1].reset();
    if (current == id) current = 0;
}

std::vector<KorrinItem> Items::ofKind(ItemKind kind) const {
    std::vector<KorrinItem> ids;
    for (const auto &item : items_)
        if (item && item->kind == kind) ids.push_back(item->id);
    return ids;
}

}  // namespace vhost
