// The scene a host owns: its items and the per-kind state of each area.
#pragma once

#include "channels.h"
#include "items.h"
#include "mesh.h"
#include "scene_file.h"
#include "tools.h"
#include "views.h"

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
