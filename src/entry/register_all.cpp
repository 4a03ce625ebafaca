#include "binding/host_table.h"
#include "entry/registration.h"
#include "vanticAPI.h"

namespace vantic {

namespace {

// Contract: the module's name and description are what the host lists and clients create actions by.
void RunModuleSteps(void *callback) {
    FX(fxModuleDescription)("vanticBrush for other plugins like tessarine or morvalite", 0);
    FX(fxModuleAccess)(KORRIN_MODULE_MESSAGE_ACTION_EVENT, KORRIN_ALL_SUBCODES, 0);
    FX(fxModuleAccess)(KORRIN_MODULE_MESSAGE_ACTION_INIT, KORRIN_ACTION_INIT_SUBCODE, 0);
    FX(fxModuleRegister)(KORRIN_MODULE_TYPE_INTERACTIVE, "vanticBrush", reinterpret_cast<KorrinModuleCallback>(callback),
                         KORRIN_MODULE_REGISTER_FLAGS);
}

}  // namespace

void RegisterAll() {
    int32_t count = 0;
    const RegistrationRow *rows = RegistrationTable(&count);
    for (int32_t i = 0; i < count; ++i) {
        if (!rows[i].name)
            RunModuleSteps(rows[i].function);
        else
            FX(fxFunctionRegister)(rows[i].name, VANTIC_CATEGORY, 0, rows[i].function, rows[i].resultType, 0);
    }
}

}  // namespace vantic
