#include "views.h"

namespace vhost {

ViewStore::ViewStore() {}

}  // namespace vhost
