// Codes and order of the z-order index of a polygon's corners.
#include "geometry/zorder_index.h"

#include <algorithm>
#include <array>

namespace vantic {

namespace {

constexpr int kBits = 15;
constexpr double kCells = (1 << kBits) - 1;
constexpr int kDigitBits = 8;

// Each byte spread to the even bits of 16.
constexpr std::array<uint16_t, 256> SpreadBytes() {
    std::array<uint16_t, 256> table{};
    for (uint32_t x = 0; x < 256; ++x) {
        uint32_t spread = 0;
        for (int bit = 0; bit < 8; ++bit) spread |= ((x >> bit) & 1u) << (2 * bit);
        table[x] = static_cast<uint16_t>(spread);
    }
    return table;
}
constexpr std::array<uint16_t, 256> kSpreadBytes = SpreadBytes();
static_assert(kSpreadBytes[0xFF] == 0x5555 && kSpreadBytes[0xA6] == 0x4414);

// The 15 low bits of x spread to the even bits, a byte at a time.
uint32_t Spread(uint32_t x) { return kSpreadBytes[x & 0xFFu] | static_cast<uint32_t>(kSpreadBytes[x >> 8]) << 16; }

// A coordinate's cell: monotone in x, since a rounded difference and product are.
uint32_t Cell(double x, double low, double scale) {
    const double cell = (x - low) * scale;
    if (!(cell > 0)) return 0;
    return cell >= kCells ? static_cast<uint32_t>(kCells) : static_cast<uint32_t>(cell);
}

}  // namespace

uint32_t ZOrderIndex::code(double u, double v) const { return Spread(Cell(u, u0_, scale_)) | Spread(Cell(v, v0_, scale_)) << 1; }

void ZOrderIndex::build(int32_t n, const double *uv) {
    const size_t count = static_cast<size_t>(n);
    uv_ = uv;
    codes_.resize(count);
    order_.resize(count);
    next_.resize(count);
    previous_.resize(count);
    double u1 = uv[0], v1 = uv[1];
    u0_ = u1;
    v0_ = v1;
    for (int32_t i = 1; i < n; ++i) {
        u0_ = std::min(u0_, uv[2 * i]);
        u1 = std::max(u1, uv[2 * i]);
        v0_ = std::min(v0_, uv[2 * i + 1]);
        v1 = std::max(v1, uv[2 * i + 1]);
    }
    const double size = std::max(u1 - u0_, v1 - v0_);
    scale_ = size > 0 ? kCells / size : 0;
    for (int32_t i = 0; i < n; ++i) codes_[static_cast<size_t>(i)] = code(uv[2 * i], uv[2 * i + 1]);

    // Corners by code: a least-significant-digit radix sort, through next_ as the spare buffer.
    for (int32_t i = 0; i < n; ++i) order_[static_cast<size_t>(i)] = i;
    int32_t *from = order_.data(), *to = next_.data();
    for (int shift = 0; shift < 2 * kBits; shift += kDigitBits) {
        std::array<int32_t, (1 << kDigitBits) + 1> start{};
        for (int32_t i = 0; i < n; ++i) ++start[((codes_[static_cast<size_t>(i)] >> shift) & 0xFFu) + 1];
        for (size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
        for (int32_t i = 0; i < n; ++i) {
            const int32_t corner = from[i];
            to[start[(codes_[static_cast<size_t>(corner)] >> shift) & 0xFFu]++] = corner;
        }
        std::swap(from, to);
    }
    if (from != order_.data()) std::copy_n(from, n, order_.data());
    reset();
}

void ZOrderIndex::reset() {
    const size_t n = order_.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t corner = static_cast<size_t>(order_[i]);
        previous_[corner] = i == 0 ? -1 : order_[i - 1];
        next_[corner] = i + 1 == n ? -1 : order_[i + 1];
    }
}

}  // namespace vantic
