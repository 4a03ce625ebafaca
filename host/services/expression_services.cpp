// Each service takes the expression's value only in its own kind (an integer also serves where a
// number is asked); any failure is a host message, result 0 and an untouched output.
#include "services/expression_services.h"

#include <algorithm>
#include <cstring>

#include "model/expressions.h"
#include "model/host.h"

namespace vhost {

namespace {

std::optional<ExpressionValue> Evaluate(const char *text) {
    Host &host = Host::current();
    if (text) return EvaluateExpression(host, text);
    host.messages.host("expression: no text");
    return std::nullopt;
}

// The value of text when it is of kind T, else a host message and nothing.
template <class T>
std::optional<T> ValueOf(const char *text, const char *wanted) {
    const std::optional<ExpressionValue> value = Evaluate(text);
    if (!value) return std::nullopt;
    if (const T *v = std::get_if<T>(&*value)) return *v;
    if constexpr (std::is_same_v<T, double>)
        if (const int32_t *i = std::get_if<int32_t>(&*value)) return static_cast<double>(*i);
    // Contract: tests match "gives <kind>, not <wanted>" in this message.
    Host::current().messages.host(std::string("expression \"") + text + "\" gives " + KindName(*value) + ", not " + wanted);
    return std::nullopt;
}

int32_t ExpressionCompute(const char *text, int32_t) { return Evaluate(text) ? 1 : 0; }

int32_t ExpComputeInt(const char *text, int32_t *out) {
    if (!out) return 0;
    const auto v = ValueOf<int32_t>(text, "an integer");
    if (!v) return 0;
    *out = *v;
    return 1;
}

int32_t ExpComputeDouble(const char *text, double *out) {
    if (!out) return 0;
    const auto v = ValueOf<double>(text, "a number");
    if (!v) return 0;
    *out = *v;
    return 1;
}

int32_t ExpComputeVecd3(const char *text, double *out3) {
    if (!out3) return 0;
    const auto v = ValueOf<std::array<double, 3>>(text, "a vector");
    if (!v) return 0;
    std::copy(v->begin(), v->end(), out3);
    return 1;
}

// Writes at most size − 1 characters and the terminator; a longer value is cut.
int32_t ExpComputeString(const char *text, char *out, int32_t size) {
    if (!out || size < 1) return 0;
    const auto v = ValueOf<std::string>(text, "a string");
    if (!v) return 0;
    const size_t n = std::min(v->size(), static_cast<size_t>(size) - 1);
    std::memcpy(out, v->data(), n);
    out[n] = '\0';
    return 1;
}

}  // namespace

void AddExpressionServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxExpressionCompute, ExpressionCompute);
    VHOST_SERVICE(map, fxExpComputeInt, ExpComputeInt);
    VHOST_SERVICE(map, fxExpComputeDouble, ExpComputeDouble);
    VHOST_SERVICE(map, fxExpComputeVecd3, ExpComputeVecd3);
    VHOST_SERVICE(map, fxExpComputeString, ExpComputeString);
}

}  // namespace vhost
