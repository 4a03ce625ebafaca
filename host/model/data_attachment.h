// Keyed data attachment: a pointer hangs on an item under a key text and a data id.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "korrin_host_services.h"

namespace vhost {

class DataAttachments {
public:
    void set(KorrinItem item, const std::string &key, uint32_t dataId, void *data) { data_[{item, key, dataId}] = data; }
    void *get(KorrinItem item, const std::string &key, uint32_t dataId) const {
        auto it = data_.find({item, key, dataId});
        return it == data_.end() ? nullptr : it->second;
    }
    // Detaches only; the data belongs to whoever attached it.
    void free(KorrinItem item, const std::string &key, uint32_t dataId) { data_.erase({item, key, dataId}); }
    size_t size() const { return data_.size(); }

private:
    std::map<std::tuple<KorrinItem, std::string, uint32_t>, void *> data_;
};

}  // namespace vhost
