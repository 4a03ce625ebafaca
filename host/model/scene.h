// The scene a host owns: its items and the per-kind state of each area.
#pragma once

#include "model/channels.h"
#include "model/items.h"
#include "model/mesh.h"
#include "model/scene_file.h"
#include "model/tools.h"
#include "model/views.h"

namespace vhost {

struct Scene {
    Items items;
    MeshStore meshes;
    ViewStore views;
    ChannelStore channels;
    ToolStore tools;
    SceneFile sceneFile;
};

}  // namespace vhost
