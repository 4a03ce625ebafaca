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
        const int32_t points = MeshPointCount(brush.targetIds[t]);
        const int32_t selected = brush.selection ? PointArrayLength(brush.selection[t]) : 0;
        const int32_t length = points > selected ? points : selected;
        marks[t] = static_cast<int32_t *>(std::calloc(length > 0 ? static_cast<size_t>(length) : 1, sizeof(int32_t)));
        if (!marks[t]) {
            FreeBoxMarks(marks, t);
            return nullptr;
        }
    }
    return marks;
}

void FreeBoxMarks(int32_t **marks, int32_t targetCount) {
    if (!marks) return;
    for (int32_t t = 0; t < targetCount && marks[t]; ++t) std::free(marks[t]);
    std::free(marks);
}

int32_t BoxMarkTargets(const Brush &brush) {
    int32_t t = 0;
    if (brush.boxSelection)
        while (t < brush.targetCount && brush.boxSelection[t]) ++t;
    return t;
}

int32_t BoxMarkCount(const Brush &brush, int32_t t) {
    return PointLoopCount(brush.selection ? brush.selection[t] : nullptr, MeshPointCount(brush.targetIds[t]));
}

}  // namespace vantic
