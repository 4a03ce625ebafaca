#include "host_table.h"
#include "registration.h"
#include "vanticAPI.h"

namespace vantic {

namespace {

void RunModuleSteps(void *callback) {
    FX(fxModuleDescription)("vanticBrush for other plugins like tessarine or morvalite", 0);
    FX(fxModuleAccess)(26, -1, 0);  // every sub-code of message 26
    FX(fxModuleAccess)(30, 256, 0);
    FX(fxModuleRegister)(14, "vanticBrush", reinterpret_cast<KorrinModuleCallback>(callback), 0x100000);
}

}  // namespace

void RegisterAll() {
    int32_t count = 0;
    const RegistrationRow *rows = RegistrationTable(&count);
    for (int32_t i = 0; i < count; ++i) {
        if (!rows[i].name)
            RunModuleSteps(rows[i].function);
        else
            FX(fxFunctionRegister)(rows[i].name, "General", 0, rows[i].function, rows[i].resultType, 0);
    }
}

}  // namespace vantic
