// Host mesh lists of varying length. The host fills a list up to the capacity it is given and always
// reports the full count, so a list is read with room for most lists at once, and read again with
// exactly its count only when it is longer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "korrin_host_services.h"

namespace vantic {

// Lists this long or shorter (most polygons' corners, most points' polygons) come in one read.
constexpr int32_t kListFirstRead = 16;

// The second read of a list longer than the first read held: into longer, with exactly the count
// the first reported. Out of line, so that the first read stays small where it is inlined.
template <class Read>
[[gnu::noinline]] std::span<const int32_t> ReadAgain(std::vector<int32_t> &longer, int32_t reported, Read &read) {
    longer.resize(static_cast<size_t>(reported));
    int32_t count = 0;
    read(longer.data(), reported, &count);
    // A host that reports fewer entries on the second read than on the first: keep only what it filled.
    return {longer.data(), static_cast<size_t>(count >= 0 && count < reported ? count : reported)};
}

// read(buffer, capacity, &count) fills up to capacity entries and reports the full count. The list is
// read into slot (kListFirstRead entries), and only a longer one again, into longer with exactly its
// count. Returns the entries: in slot or in longer; empty when the host reports none.
template <class Read>
std::span<const int32_t> ReadOnceOrTwice(int32_t *slot, std::vector<int32_t> &longer, Read &&read) {
    int32_t count = 0;
    read(slot, kListFirstRead, &count);
    if (count <= kListFirstRead) [[likely]]
        return {slot, count > 0 ? static_cast<size_t>(count) : 0};
    return ReadAgain(longer, count, read);
}

int32_t MeshPointCount(KorrinItem mesh);
int32_t MeshPolygonCount(KorrinItem mesh);
// The polygon's corner point indices in polygon order.
std::vector<int32_t> PolygonCorners(KorrinItem mesh, int32_t polygon);
// The polygons that use the point, in the host's order.
std::vector<int32_t> PointPolygons(KorrinItem mesh, int32_t point);
// The same into a list the caller keeps, so that walks over every polygon or point reuse one buffer.
// Throws std::bad_alloc when out of memory.
void ReadPolygonCorners(KorrinItem mesh, int32_t polygon, std::vector<int32_t> &corners);
void ReadPointPolygons(KorrinItem mesh, int32_t point, std::vector<int32_t> &polygons);

}  // namespace vantic
