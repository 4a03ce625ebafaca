// RBF records driven by a byte stream: create, set kernel values, solve, interpolate, delete.
#include <cmath>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "rbf/rbf.h"

namespace vfuzz {

int RbfCalls(const uint8_t *data, size_t size) {
    Bytes in(data, size);
    Rbf *rbf = nullptr;
    while (!in.empty()) {
        const uint8_t op = in.byte();
        switch (op % 5) {
            case 0:
                vantic_DeleteRbf(rbf);
                // Mostly small orders; now and then one outside the accepted range.
                rbf = vantic_CreateRbf(op & 0x80 ? (in.byte() & 1 ? -1 - in.byte() : 65537 + in.byte()) : in.byte() % 12);
                break;
            case 1: {
                const int32_t i = static_cast<int8_t>(in.byte()), j = static_cast<int8_t>(in.byte());
                vantic_RbfSetDist(rbf, i, j, op & 0x80 ? in.raw<double>() : in.byte() / 16.0);
                break;
            }
            case 2: vantic_RbfSolve(rbf); break;
            case 3: {
                const double value = vantic_RbfInterpolate(rbf, static_cast<int8_t>(in.byte()), 1.0);
                if (rbf && rbf->weights == nullptr && value != 0.0) Broken("a value without weights");
                break;
            }
            default:
                if (rbf && rbf->nodeCount < 0) Broken("a negative node count");
                break;
        }
    }
    vantic_DeleteRbf(rbf);
    return 0;
}

}  // namespace vfuzz
