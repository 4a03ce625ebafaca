#include "brush/side_codes.h"

namespace vantic {

// Out of line, so that the loop is vectorised on its own.
void SideCodes(const double *xs, const double *ys, size_t n, const double *mouse, double half, uint8_t *codes) {
    const double mx = mouse[0], my = mouse[1];
    for (size_t i = 0; i < n; ++i) {
        const double x = xs[i], y = ys[i];
        codes[i] = static_cast<uint8_t>(static_cast<unsigned>(mx - x > half) | static_cast<unsigned>(x - mx > half) << 1 |
                                        static_cast<unsigned>(my - y > half) << 2 |
                                        static_cast<unsigned>(y - my > half) << 3);
    }
}

}  // namespace vantic
