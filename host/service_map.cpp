#include "service_map.h"

#include "core_services.h"

namespace vhost {

const ServiceMap &ImplementedServices() {
    static const ServiceMap map = [] {
        ServiceMap m;
        AddCoreServices(m);
        return m;
    }();
    return map;
}

}  // namespace vhost
