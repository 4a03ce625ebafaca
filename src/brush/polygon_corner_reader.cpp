#include "brush/polygon_corner_reader.h"

namespace vantic {

std::span<const int32_t> PolygonCornerReader::readLonger(KorrinItem mesh, int32_t polygon, int32_t count) {
    longer_.resize(static_cast<size_t>(count));
    int32_t filled = count, flags = 0;
    meshPoly_(mesh, polygon, longer_.data(), count, &filled, &flags, 0);
    // A host that reports fewer corners on the second read: keep only what it filled.
    const int32_t kept = filled >= 0 && filled < count ? filled : count;
    return {longer_.data(), static_cast<size_t>(kept)};
}

}  // namespace vantic
