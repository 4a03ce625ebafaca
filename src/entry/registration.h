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

namespace vantic {

// A function as the host and clients call it. Clients are often written in C, and an exception
// (memory running out deep inside a call) must not unwind into their frames: it ends the call with
// the function's failure result instead, 0 or null.
template <auto F>
struct Guarded;
template <class R, class... A, R (*F)(A...)>
struct Guarded<F> {
    static R call(A... args) noexcept {
        try {
            return F(args...);
        } catch (...) {
            return R();
        }
    }
};

}  // namespace vantic

// A table row whose function is checked against the public function type of the same name; result
// is INT, DOUBLE or POINTER (the VANTIC_RESULT_ codes of the client header). Rows are guarded; a
// NOTHROW row, for arithmetic that allocates nothing, is registered as it is, without the extra call.
#define VANTIC_ROW(name, result) VANTIC_ROW_AS(name, result, name)
#define VANTIC_ROW_AS(name, result, function)                                                            \
    ::vantic::RegistrationRow {                                                                          \
        #name, VANTIC_RESULT_##result,                                                                   \
            reinterpret_cast<void *>(static_cast<name##_t *>(&::vantic::Guarded<&function>::call))      \
    }
#define VANTIC_ROW_NOTHROW(name, result)                                                                 \
    ::vantic::RegistrationRow {                                                                          \
        #name, VANTIC_RESULT_##result, reinterpret_cast<void *>(static_cast<name##_t *>(&name))         \
    }
#define VANTIC_MODULE_STEPS(callback)                                                                    \
    ::vantic::RegistrationRow {                                                                          \
        nullptr, 0, reinterpret_cast<void *>(static_cast<KorrinModuleCallback>(&::vantic::Guarded<&callback>::call)) \
    }
