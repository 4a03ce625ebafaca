#include "brush/box_marks.h"

#include <cstdlib>

#include "brush/point_arrays.h"
#include "frame/host_lists.h"

namespace vantic {

int32_t **NewBoxMarks(const Brush &brush) {
    const int32_t count = brush.targetCount > 0 ? brush.targetCount : 0;
    auto **marks = static_cast<int32_t **>(std::calloc(static_cast<size_t>(count) + 1, sizeof(int32_t *)));
    if (!marks) return nullptr;
    for (int32_t t = 0; t < count; ++t) {
        marks[t] = NewPointFlags(MeshPointCount(brush.targetIds[t]));
        if (!marks[t]) {
            FreeBoxMarks(marks);
            return nullptr;
        }
    }
    return marks;
}

void FreeBoxMarks(int32_t **marks) {
    if (!marks) return;
    for (int32_t **entry = marks; *entry; ++entry) FreePointArray(*entry);
    std::free(marks);
}

int32_t BoxMarkTargets(const Brush &brush) {
    int32_t t = 0;
    if (brush.boxSelection)
        while (t < brush.targetCount && brush.boxSelection[t]) ++t;
    return t;
}

}  // namespace vantic
