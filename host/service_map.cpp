#include "service_map.h"

#include "channel_services.h"
#include "core_services.h"
#include "expression_services.h"
#include "mesh_services.h"
#include "object_services.h"
#include "scene_file_services.h"
#include "tool_services.h"
#include "view_services.h"

namespace vhost {

const ServiceMap &ImplementedServices() {
    static const ServiceMap map = [] {
        ServiceMap m;
        AddCoreServices(m);
        AddObjectServices(m);
        AddToolServices(m);
        AddMeshServices(m);
        AddSceneFileServices(m);
        AddViewServices(m);
        AddChannelServices(m);
        AddExpressionServices(m);
        return m;
    }();
    return map;
}

}  // namespace vhost
