// Scene files from any bytes, then every vector list the loaded streams name, read by the module.
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "model/scene_file.h"
#include "vanticAPI.h"
#include "vectorlist/vector_list.h"

namespace vfuzz {

int SceneFile(const uint8_t *data, size_t size) {
    vhost::Host &host = LinkedHost();
    const std::string path = WriteTemporary(data, size, ".scene");
    KorrinHandle own = 0;
    try {
        own = vhost::BeginLoad(host, path);
    } catch (const std::runtime_error &) {
        return 0;  // a malformed file is refused with one message: that is the reader's job done
    }
    // Every stream: the file's own and each block's; every key "name_0" names a vector list.
    std::vector<KorrinHandle> handles{own};
    for (const auto &[handle, index] : host.scene.sceneFile.streams)
        if (handle != own) handles.push_back(handle);
    for (KorrinHandle handle : handles) {
        const vhost::SceneBlock *block = host.scene.sceneFile.stream(handle);
        if (!block) continue;
        std::vector<std::string> names;
        for (const vhost::SceneValue &value : block->values)
            if (value.key.size() > 2 && value.key.compare(value.key.size() - 2, 2, "_0") == 0)
                names.push_back(value.key.substr(0, value.key.size() - 2));
        for (const std::string &name : names) {
            int32_t count = -1;
            double *vectors = vantic_LoadVectorList(name.c_str(), &count, handle);
            if (count < 0 || (count == 0) != (vectors == nullptr)) Broken("a loaded list and its count disagree");
            std::free(vectors);
        }
    }
    vhost::EndLoad(host);
    return 0;
}

}  // namespace vfuzz
