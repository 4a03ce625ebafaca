// Box marks: which projected points of every target lie strictly inside the rectangle between the
// box corner (anchor x, y) and the mouse.
#include <cmath>
#include <cstdint>

#include "brush/box_marks.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "frame/host_lists.h"
#include "frame/host_table.h"

namespace {

// Truncation towards zero to an int. Values an int cannot hold (a point behind the eye projects
// anywhere, and a client may call this with a world anchor) saturate instead of being undefined;
// a non-number becomes 0.
int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

struct Span {
    int32_t low, high;
};

// The corner is truncated; the mouse is already whole pixels.
Span Between(double corner, int32_t mouse) {
    const int32_t c = TruncateToInt(corner);
    return mouse > corner ? Span{c, mouse} : Span{mouse, c};
}

}  // namespace

void vantic_BrushDragBoxSelection(Brush *brush) {
    // Outside a box drag there are no marks to fill.
    const int32_t targets = vantic::BoxMarkTargets(*brush);
    const Span x = Between(brush->anchor[0], brush->mouseX);
    const Span y = Between(brush->anchor[1], brush->mouseY);
    for (int32_t t = 0; t < targets; ++t) {
        const KorrinItem target = brush->targetIds[t];
        int32_t *marks = brush->boxSelection[t];
        const int32_t n = vantic::BoxMarkCount(*brush, t);
        for (int32_t i = 0; i < n; ++i) {
            double p[3], s[3];
            FX(fxMeshPoint)(target, i, p, 1);
            FX(fxWorldScreenConversion)(p, s, 0);
            const int32_t sx = TruncateToInt(s[0]), sy = TruncateToInt(s[1]);
            marks[i] = x.low < sx && sx < x.high && y.low < sy && sy < y.high ? 1 : 0;
        }
    }
}
