// Scene files: argument streams written to a text file on disk and read back.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;

// One named block of values in a scene file, in the order written.
struct SceneBlock {
    std::string name;
    std::vector<std::pair<std::string, std::string>> ints;     // key, decimal text
    std::vector<std::pair<std::string, std::string>> strings;  // key, exact bytes
};

struct SceneFile {
    // Open streams by handle: what a save or load in progress reads and writes.
    std::map<KorrinHandle, SceneBlock> open;
    KorrinHandle nextHandle = 1;
};

// A save: BeginSave returns a stream handle to pass to client functions (or the context for
// fxFormatNew); EndSave writes every block opened since to the file (host/scene_file.cpp).
KorrinHandle BeginSave(Host &host, const std::string &path);
void EndSave(Host &host);
// A load: reads the file; the handle reads the block of that name (fxArgLoad*).
KorrinHandle BeginLoad(Host &host, const std::string &path, const std::string &block);
void EndLoad(Host &host);

}  // namespace vhost
