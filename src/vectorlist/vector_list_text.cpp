#include "vectorlist/vector_list_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

namespace vantic {

namespace {

// printf's "%f" of a finite double written by to_chars: exact, ties to even, no locale.
char *WriteFixedSlow(char *out, char *limit, double v) {
    return std::to_chars(out, limit, v, std::chars_format::fixed, 6).ptr;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char *WriteUnsigned(char *out, uint64_t value) {
    char digits[20];
    char *p = digits + sizeof digits;
    while (value >= 100) {
        const size_t pair = static_cast<size_t>(value % 100) * 2;
        value /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (value >= 10) {
        *--p = kDigitPairs[2 * value + 1];
        *--p = kDigitPairs[2 * value];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    const size_t length = static_cast<size_t>(digits + sizeof digits - p);
    std::memcpy(out, p, length);
    return out + length;
}

// [-]integer.dddddd
char *WriteParts(char *out, bool negative, uint64_t integer, uint64_t decimals) {
    if (negative) *out++ = '-';
    out = WriteUnsigned(out, integer);
    *out++ = '.';
    const size_t high = static_cast<size_t>(decimals / 10000), middle = static_cast<size_t>(decimals / 100 % 100),
                 low = static_cast<size_t>(decimals % 100);
    const char six[6] = {kDigitPairs[2 * high], kDigitPairs[2 * high + 1], kDigitPairs[2 * middle],
                         kDigitPairs[2 * middle + 1], kDigitPairs[2 * low], kDigitPairs[2 * low + 1]};
    std::memcpy(out, six, sizeof six);
    return out + sizeof six;
}

// The integer part and the six decimals of |v| < 2^53 in double arithmetic, when that is exact:
// a - trunc(a) is exact, and its product with 10^6 lies within 2^-34 of the true one, so rounding it
// to the nearest whole number rounds the true product alike unless it lies within 2^-30 of a half.
// False, with nothing written, for those (ties among them), which take the exact way.
bool QuickParts(double a, uint64_t *integer, uint64_t *decimals) {
    if (!(a < 0x1p53)) return false;
    const uint64_t whole = static_cast<uint64_t>(a);
    const double scaled = (a - static_cast<double>(whole)) * 1e6;
    uint64_t six = static_cast<uint64_t>(scaled);
    const double rest = scaled - static_cast<double>(six);
    if (std::fabs(rest - 0.5) <= 0x1p-30) return false;
    if (rest > 0.5) ++six;
    *integer = whole;
    *decimals = six;
    if (six == 1000000) {
        *decimals = 0;
        ++*integer;
    }
    return true;
}

// The same text as WriteFixedSlow, worked out on the binary value: v = m * 2^e exactly, so the
// integer part is m >> -e and the six decimals are (fraction * 10^6) / 2^-e, rounded half to even on
// the exact remainder. Values of 2^63 and above go the slow way.
char *WriteFixed(char *out, char *limit, double v) {
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t m = bits & ((uint64_t{1} << 52) - 1);
    int e = -1074;
    if (biased != 0) {
        m |= uint64_t{1} << 52;
        e = biased - 1075;
    }
    if (e > 10) return WriteFixedSlow(out, limit, v);
    uint64_t quickInteger, quickDecimals;
    if (QuickParts(std::fabs(v), &quickInteger, &quickDecimals))
        return WriteParts(out, (bits >> 63) != 0, quickInteger, quickDecimals);
    uint64_t integer = 0, decimals = 0;
    if (e >= 0) {
        integer = m << e;
    } else {
        const int shift = -e;
        integer = shift < 64 ? m >> shift : 0;
        const uint64_t fraction = shift < 64 ? m & ((uint64_t{1} << shift) - 1) : m;
        // fraction * 10^6 < 2^73: from 74 bits of shift on, the decimals are below half a unit.
        if (shift < 74) {
            const unsigned __int128 scaled = static_cast<unsigned __int128>(fraction) * 1000000u;
            const unsigned __int128 quotient = scaled >> shift;
            const unsigned __int128 remainder = scaled - (quotient << shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
            decimals = static_cast<uint64_t>(quotient);
            if (remainder > half || (remainder == half && (decimals & 1) != 0)) ++decimals;
            if (decimals == 1000000) {
                decimals = 0;
                ++integer;
            }
        }
    }
    return WriteParts(out, (bits >> 63) != 0, integer, decimals);
}

// "%f/" of one non-zero component.
char *WriteNumber(char *out, char *limit, double v) {
    if (std::isnan(v)) {
        std::memcpy(out, "nan/", 4);
        return out + 4;
    }
    if (std::isinf(v)) {
        if (v < 0) *out++ = '-';
        std::memcpy(out, "inf/", 4);
        return out + 4;
    }
    out = WriteFixed(out, limit, v);
    *out++ = '/';
    return out;
}

// The smallest doubles whose "%f" text has 2, 3, ... 19 digits before the point (index 1 to 18): the
// text of 9.9999995 already reads 10.000000. Each is pinned with the writer itself, from the nearest
// double to 99...9.9999995, so that it cannot disagree with what is written.
struct DigitThresholds {
    double at[19] = {};
    DigitThresholds() {
        for (int k = 1; k < 19; ++k) {
            const std::string text = std::string(static_cast<size_t>(k), '9') + ".9999995";
            double d = 0.0;
            std::from_chars(text.data(), text.data() + text.size(), d);
            if (IntegerDigits(d) > k) {
                while (IntegerDigits(std::nextafter(d, 0.0)) > k) d = std::nextafter(d, 0.0);
            } else {
                while (IntegerDigits(d) <= k) d = std::nextafter(d, HUGE_VAL);
            }
            at[k] = d;
        }
    }
    static int IntegerDigits(double v) {
        char text[kVectorListNumberMax];
        const char *end = WriteFixed(text, text + sizeof text, v);
        return static_cast<int>(std::find(static_cast<const char *>(text), end, '.') - text);
    }
};

// The length of "%f/" of one non-zero component, worked out without writing it.
size_t NumberLength(double v) {
    if (std::isnan(v)) return 4;
    if (std::isinf(v)) return v < 0 ? 5 : 4;
    const size_t sign = v < 0 ? 1 : 0;
    const double a = std::fabs(v);
    if (a >= 0x1p63) {
        char text[kVectorListNumberMax];
        return sign + static_cast<size_t>(WriteFixedSlow(text, text + sizeof text, a) - text) + 1;
    }
    static const DigitThresholds thresholds;
    int digits = 1;
    while (digits < 19 && a >= thresholds.at[digits]) ++digits;
    return sign + static_cast<size_t>(digits) + 8;  // ".dddddd/"
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

// Exact powers of ten as doubles.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A number of the form [-]digits[.digits] with at most 15 digits, read as the written form is: with
// the digits N < 2^53 and the decimals f <= 22, N and 10^f are exact doubles and their quotient is
// the correctly rounded value, as from_chars gives it. False, with nothing read, for any other form;
// on success *stop is the first character after the number.
bool ReadShortDecimal(const char *p, const char *end, double *value, const char **stop) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    uint64_t digits = 0;
    int count = 0, decimals = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p, ++count) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    if (p < end && *p == '.')
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p, ++count, ++decimals)
            digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    if (count == 0 || count > 15) return false;
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    *value = negative ? -magnitude : magnitude;
    *stop = p;
    return true;
}

bool IsSeparator(char c) { return c == '/' || c == 'z' || c == 'Z'; }

}  // namespace

char *WriteVectorListText(char *out, const char *limit, const double *vectors, int32_t count, int32_t *next,
                          bool *anyNonZero) {
    int32_t i = *next;
    for (; i < count && static_cast<size_t>(limit - out) >= kVectorTextMax; ++i) {
        const double *v = vectors + 3 * static_cast<size_t>(i);
        if (v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0) {
            *out++ = 'Z';
            continue;
        }
        *anyNonZero = true;
        for (int axis = 0; axis < 3; ++axis) {
            if (v[axis] == 0.0)
                *out++ = 'z';
            else
                out = WriteNumber(out, out + kVectorListNumberMax + 1, v[axis]);
        }
    }
    *next = i;
    return out;
}

int64_t VectorListTextLength(const double *vectors, int32_t count, bool *anyNonZero) {
    int64_t length = 0;
    for (int32_t i = 0; i < count; ++i) {
        const double *v = vectors + 3 * static_cast<size_t>(i);
        if (v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0) {
            length += 1;
            continue;
        }
        *anyNonZero = true;
        for (int axis = 0; axis < 3; ++axis) length += v[axis] == 0.0 ? 1 : static_cast<int64_t>(NumberLength(v[axis]));
    }
    return length;
}

bool AppendVectorListText(std::string &text, const double *vectors, int32_t count) {
    bool anyNonZero = false;
    // Written into a block on the stack and appended a block at a time.
    char block[16384];
    int32_t next = 0;
    while (next < count) {
        const int32_t first = next;
        const char *end = WriteVectorListText(block, block + sizeof block, vectors, count, &next, &anyNonZero);
        // After the first block, room for the whole text at the length per vector so far (and an eighth
        // more): the text then grows without being copied again and again.
        if (first == 0 && next < count) {
            const size_t perVector = static_cast<size_t>(end - block) / static_cast<size_t>(next);
            try {
                text.reserve(text.size() + perVector * static_cast<size_t>(count) / 8 * 9);
            } catch (const std::bad_alloc &) {
                // only a guess: the text may still fit as it grows
            }
        }
        text.append(block, static_cast<size_t>(end - block));
    }
    return anyNonZero;
}

int32_t VectorListTextCount(std::string_view text) {
    int64_t components = 0;
    // Branch-free, so that the count over a long text runs in vector registers.
    for (char c : text) components += (c == '/') + (c == 'z') + 3 * (c == 'Z');
    const int64_t vectors = components / 3;
    return vectors > INT32_MAX ? INT32_MAX : static_cast<int32_t>(vectors);
}

void ParseVectorListText(std::string_view text, double *out, int32_t count) {
    const int64_t limit = 3 * static_cast<int64_t>(count);
    int64_t component = 0;
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        if (*p == 'Z') {
            component += 3;
            ++p;
            continue;
        }
        if (*p == 'z') {
            component += 1;
            ++p;
            continue;
        }
        // A number runs to the next separator; only one ended by "/" is stored.
        double value;
        const char *stop;
        if (ReadShortDecimal(p, end, &value, &stop) && stop < end && *stop == '/') {
            if (component < limit) out[component] = value;
            component += 1;
            p = stop + 1;
            continue;
        }
        const char *t = p;
        while (t < end && !IsSeparator(*t)) ++t;
        if (t == end) break;  // an unended number at the end of the text is dropped
        if (*t == '/') {
            // The reader keeps the first kVectorListNumberMax characters of a number.
            char number[kVectorListNumberMax + 1];
            const size_t length = std::min(static_cast<size_t>(t - p), kVectorListNumberMax);
            std::memcpy(number, p, length);
            number[length] = 0;
            if (component < limit) out[component] = ReadNumberPrefix(number, number + length);
            component += 1;
            ++t;
        }
        p = t;  // a "z" or "Z" ends the number without storing it, and counts itself
    }
}

}  // namespace vantic
