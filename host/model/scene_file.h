// Scene files: argument streams written to a text file on disk and read back.
//
// A save or load has one stream of its own (the handle BeginSave and BeginLoad return: a client may
// write into it directly, and it is also the context for fxFormatNew) and any number of named blocks,
// each with its own stream handle. Blocks are not nested: fxFormatNew on any stream of the save
// appends a block to the file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;

// One keyed value: an int32 or a text of any bytes but zero.
struct SceneValue {
    std::string key;
    bool isText = false;
    int32_t number = 0;
    std::string text;
};

// One named block of values in the order first written; writing a key again replaces its value.
struct SceneBlock {
    std::string name;  // empty for the save's own stream
    std::vector<SceneValue> values;
    std::unordered_map<std::string, size_t> index;  // key -> position in values, so big saves stay linear
    const SceneValue *find(const std::string &key) const;
    void put(SceneValue value);
};

struct SceneFile {
    enum class Mode { Idle, Saving, Loading };
    Mode mode = Mode::Idle;
    std::string path;
    std::vector<SceneBlock> blocks;           // blocks[0]: the save's or load's own stream
    std::map<KorrinHandle, size_t> streams;   // open stream handle -> index into blocks
    // Handles start above 32 bits, so a caller that narrows one loses it, and they are never reused, so
    // a handle kept from an earlier save names nothing.
    KorrinHandle nextHandle = 0x100000001ull;

    // The block an open stream handle reads and writes; null for any other handle.
    SceneBlock *stream(KorrinHandle handle);
    // Opens a new stream on a new block of that name and returns its handle.
    KorrinHandle open(const std::string &name);
};

// A new BeginSave or BeginLoad drops any save or load still open, unwritten.
// A save: BeginSave returns the save's own stream handle; EndSave writes the stream and every block
// opened since to the file (host/model/scene_file.cpp) and closes every handle. EndSave throws
// std::runtime_error naming the file when it cannot be written; without a save in progress it does
// nothing.
KorrinHandle BeginSave(Host &host, const std::string &path);
void EndSave(Host &host);
// A load: reads the whole file, throwing std::runtime_error naming the file (and the line) when it is
// missing or malformed. With an empty block name it returns the handle of the file's own stream,
// otherwise that of the first block of that name (0 when there is none). LoadedBlocks lists the
// handles of every block of a name in file order. EndLoad closes every handle.
KorrinHandle BeginLoad(Host &host, const std::string &path, const std::string &block = "");
std::vector<KorrinHandle> LoadedBlocks(Host &host, const std::string &name);
void EndLoad(Host &host);

}  // namespace vhost
