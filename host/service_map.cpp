#include "service_map.h"

#include "core_services.h"
#include "object_services.h"
#include "tool_services.h"

namespace vhost {

const ServiceMap &ImplementedServices() {
    static const ServiceMap map = [] {
        ServiceMap m;
        AddCoreServices(m);
        AddObjectServices(m);
        AddToolServices(m);
        return m;
    }();
    return map;
}

}  // namespace vhost
