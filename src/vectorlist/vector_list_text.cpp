#include "vectorlist/vector_list_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vantic {

namespace {

// "%f/" of one non-zero component; to_chars with six fixed decimals is printf's "%f" without the
// locale's decimal separator.
void AppendNumber(std::string &text, double v) {
    if (std::isnan(v)) {
        text += "nan/";
        return;
    }
    if (std::isinf(v)) {
        text += v < 0 ? "-inf/" : "inf/";
        return;
    }
    char buffer[kVectorListNumberMax + 8];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
    text.append(buffer, r.ptr);
    text += '/';
}

// atof of the number text; the locale-free parse gives the same value whenever it reads the whole text.
double ToNumber(const char *number, size_t length) {
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(number, number + length, value);
    if (r.ec == std::errc() && r.ptr == number + length) return value;
    return std::atof(number);
}

}  // namespace

bool AppendVectorListText(std::string &text, const double *vectors, int32_t count) {
    bool anyNonZero = false;
    for (int32_t i = 0; i < count; ++i) {
        const double *v = vectors + 3 * static_cast<size_t>(i);
        if (v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0) {
            text += 'Z';
            continue;
        }
        anyNonZero = true;
        for (int axis = 0; axis < 3; ++axis) {
            if (v[axis] == 0.0)
                text += 'z';
            else
                AppendNumber(text, v[axis]);
        }
    }
    return anyNonZero;
}

int32_t VectorListTextCount(std::string_view text) {
    int64_t components = 0;
    for (char c : text) {
        if (c == '/' || c == 'z')
            components += 1;
        else if (c == 'Z')
            components += 3;
    }
    const int64_t vectors = components / 3;
    return vectors > INT32_MAX ? INT32_MAX : static_cast<int32_t>(vectors);
}

void ParseVectorListText(std::string_view text, double *out, int32_t count) {
    const int64_t limit = 3 * static_cast<int64_t>(count);
    int64_t component = 0;
    char number[kVectorListNumberMax + 1];
    size_t length = 0;
    for (char c : text) {
        if (c == '/') {
            number[length] = 0;
            if (component < limit) out[component] = ToNumber(number, length);
            length = 0;
            component += 1;
        } else if (c == 'Z') {
            length = 0;
            component += 3;
        } else if (c == 'z') {
            length = 0;
            component += 1;
        } else if (length < kVectorListNumberMax) {
            number[length++] = c;
        }
    }
}

}  // namespace vantic
