#include "services/service_map.h"

#include "services/channel_services.h"
#include "services/core_services.h"
#include "services/expression_services.h"
#include "services/mesh_services.h"
#include "services/object_services.h"
#include "services/scene_file_services.h"
#include "services/tool_services.h"
#include "services/view_services.h"

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
