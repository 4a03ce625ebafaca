// Argument stream services on the open save or load (host/model/scene_file.h). A handle that names
// no open stream, a null key or a null output is refused with result 0 and nothing written that
// cannot be.
#include "services/scene_file_services.h"

#include <algorithm>
#include <cstring>

#include "model/host.h"
#include "model/scene_file.h"

namespace vhost {

namespace {

SceneFile &File() { return Host::current().scene.sceneFile; }

KorrinHandle FormatNew(KorrinHandle context, const char *name, int32_t) {
    SceneFile &file = File();
    if (file.mode != SceneFile::Mode::Saving || !file.stream(context) || !name) return 0;
    return file.open(name);
}

int32_t Save(KorrinHandle stream, const char *key, SceneValue value) {
    SceneBlock *block = File().stream(stream);
    if (!block || !key) return 0;
    value.key = key;
    block->put(std::move(value));
    return 1;
}

int32_t ArgSaveInt(KorrinHandle stream, const char *key, int32_t number, uint32_t) {
    SceneValue value;
    value.number = number;
    return Save(stream, key, std::move(value));
}

int32_t ArgSaveString(KorrinHandle stream, const char *key, const char *text, uint32_t) {
    if (!text) return 0;
    SceneValue value;
    value.isText = true;
    value.text = text;
    return Save(stream, key, std::move(value));
}

// The value of that key and kind in an open stream, or null.
const SceneValue *Load(KorrinHandle stream, const char *key, bool isText) {
    const SceneBlock *block = File().stream(stream);
    if (!block || !key) return nullptr;
    const SceneValue *value = block->find(key);
    return value && value->isText == isText ? value : nullptr;
}

int32_t ArgLoadInt(KorrinHandle stream, const char *key, int32_t *out) {
    if (!out) return 0;
    const SceneValue *value = Load(stream, key, false);
    *out = value ? value->number : 0;
    return value ? 1 : 0;
}

// maxLength counts the terminator: at most maxLength - 1 bytes are copied, and the copy always ends
// with one.
int32_t ArgLoadString(KorrinHandle stream, const char *key, char *buffer, int32_t maxLength) {
    if (!buffer || maxLength < 1) return 0;
    const SceneValue *value = Load(stream, key, true);
    const size_t length = value ? std::min(value->text.size(), static_cast<size_t>(maxLength) - 1) : 0;
    if (length) std::memcpy(buffer, value->text.data(), length);
    buffer[length] = '\0';
    return value ? 1 : 0;
}

}  // namespace

void AddSceneFileServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxFormatNew, FormatNew);
    VHOST_SERVICE(map, fxArgSaveInt, ArgSaveInt);
    VHOST_SERVICE(map, fxArgSaveString, ArgSaveString);
    VHOST_SERVICE(map, fxArgLoadInt, ArgLoadInt);
    VHOST_SERVICE(map, fxArgLoadString, ArgLoadString);
}

}  // namespace vhost
