// Registration of the module's functions and of the brush module with the host.
#pragma once

#include <cstdint>

namespace vantic {

// One row of the registration table. A row without a name stands for the module steps, and its
// function is then the module callback of "vanticBrush".
struct RegistrationRow {
    const char *name;
    int32_t resultType;
    void *function;
};

// The registration table, in registration order.
const RegistrationRow *RegistrationTable(int32_t *rowCount);

// Registers every row with fxFunctionRegister(name, VANTIC_CATEGORY, 0, function, code, 0), running
// the module steps where the table says.
void RegisterAll();

}  // namespace vantic

// A table row whose function is checked against the public function type of the same name; result
// is INT, DOUBLE or POINTER (the VANTIC_RESULT_ codes of the client header).
#define VANTIC_ROW(name, result) VANTIC_ROW_AS(name, result, name)
#define VANTIC_ROW_AS(name, result, function)                                                            \
    ::vantic::RegistrationRow {                                                                          \
        #name, VANTIC_RESULT_##result, reinterpret_cast<void *>(static_cast<name##_t *>(&function))     \
    }
#define VANTIC_MODULE_STEPS(callback)                                                                    \
    ::vantic::RegistrationRow {                                                                          \
        nullptr, 0, reinterpret_cast<void *>(static_cast<KorrinModuleCallback>(&callback))              \
    }
