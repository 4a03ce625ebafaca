// The registration table: every function the module offers, in registration order, with its
// result-type code (9: 32-bit int, 2: double, 14: pointer or nothing).
#include <vector>

#include "registration.h"
#include "vanticAPI.h"

namespace vantic {

const RegistrationRow *RegistrationTable(int32_t *rowCount) {
    static const std::vector<RegistrationRow> rows = {
        // geometry, view queries, mesh queries, triangulation

        // tangent spaces

        // the brush module steps, then the brush

        // target lists

        // vector lists

        // RBF interpolation
    };
    *rowCount = static_cast<int32_t>(rows.size());
    return rows.data();
}

}  // namespace vantic
