// The registration table: every function the module offers, in registration order, with its
// result-type code (9: 32-bit int, 2: double, 14: pointer or nothing).
#include "registration.h"
#include "vanticAPI.h"

namespace vantic {

const RegistrationRow *RegistrationTable(int32_t *rowCount) {
    static const RegistrationRow rows[] = {
        {nullptr, 0, nullptr},  // placeholder removed as soon as the first subsystem registers
    };
    *rowCount = 0;
    return rows;
}

}  // namespace vantic
