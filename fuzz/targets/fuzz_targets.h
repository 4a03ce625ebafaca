// The fuzz targets: one entry per reader of outside data, each taking any bytes. libFuzzer drives
// them (fuzz/libfuzzer_main.cpp); the replay test feeds them every input kept under fuzz/regressions/.
// An entry returns 0; a broken rule it checks itself stops the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vfuzz {

int SceneFile(const uint8_t *data, size_t size);       // scene files, and vector lists on their streams
int Expression(const uint8_t *data, size_t size);      // the host's expression language
int ObjMesh(const uint8_t *data, size_t size);         // OBJ meshes
int Session(const uint8_t *data, size_t size);         // sandbox session scripts; small ones are run
int Triangulate(const uint8_t *data, size_t size);     // the ear-cutting triangulator
int RbfCalls(const uint8_t *data, size_t size);        // RBF records driven by a byte stream
int TargetListCalls(const uint8_t *data, size_t size); // target lists driven by a byte stream

struct Target {
    const char *name;  // also its folder under fuzz/regressions/ and fuzz/corpus/
    int (*entry)(const uint8_t *, size_t);
};

inline constexpr Target kTargets[] = {
    {"scene_file", SceneFile}, {"expression", Expression},     {"obj_mesh", ObjMesh},
    {"session", Session},      {"triangulate", Triangulate},   {"rbf_calls", RbfCalls},
    {"target_list_calls", TargetListCalls},
};

}  // namespace vfuzz
