#include "vectorlist/vector_list_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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

bool IsDigit(char c, bool hex) {
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// The power of the base at which a number's first non-zero digit sits, exponent included: tells an
// overflowing text (a non-negative power) from an underflowing one. Exponent digits saturate.
int64_t LeadingPower(const char *p, const char *end, bool hex) {
    int64_t power = 0;
    bool seenNonZero = false, afterPoint = false;
    for (; p != end; ++p) {
        if (*p == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!IsDigit(*p, hex)) break;
        if (!seenNonZero) {
            if (afterPoint) --power;
            seenNonZero = *p != '0';
        } else if (!afterPoint) {
            ++power;
        }
    }
    if (hex) power *= 4;
    if (p != end && (*p == (hex ? 'p' : 'e') || *p == (hex ? 'P' : 'E'))) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+')) ++p;
        int64_t exponent = 0;
        for (; p != end && IsDigit(*p, false); ++p)
            if (exponent < INT32_MAX) exponent = exponent * 10 + (*p - '0');
        power += negative ? -exponent : exponent;
    }
    return power;
}

// What C's atof reads from the text, the same on every platform: leading white space, a sign, then the
// longest decimal, hexadecimal ("0x"), infinity or not-a-number prefix; 0 when there is none.
// Locale-free, as the written form is.
double ReadNumberPrefix(const char *p, const char *end) {
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    if (p == end || *p == '-') return 0.0;  // from_chars would take a second sign
    const bool hex = end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
                     (IsDigit(p[2], true) || (p[2] == '.' && end - p > 3 && IsDigit(p[3], true)));
    if (hex) p += 2;
    double value = 0.0;
    const std::from_chars_result r =
        std::from_chars(p, end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        value = LeadingPower(p, end, hex) >= 0 ? HUGE_VAL : 0.0;
    else if (r.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
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
            if (component < limit) out[component] = ReadNumberPrefix(number, number + length);
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
