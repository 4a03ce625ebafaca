#include "geometry/ring_grid.h"

#include <algorithm>
#include <cmath>

namespace vantic {

void GridFrame::fit(const Box &bounds, size_t cells) {
    u0_ = bounds.u0;
    v0_ = bounds.v0;
    uScale_ = vScale_ = 0;
    columns_ = rows_ = 1;
    const double width = bounds.u1 - bounds.u0, height = bounds.v1 - bounds.v0, wanted = static_cast<double>(cells);
    if (cells < 2 || !std::isfinite(u0_) || !std::isfinite(v0_) || !std::isfinite(width) || !std::isfinite(height)) return;
    double columns = 1, rows = 1;
    if (width > 0 && height > 0) {
        columns = std::clamp(std::round(std::sqrt(wanted * (width / height))), 1.0, wanted);
        rows = std::clamp(std::round(wanted / columns), 1.0, wanted);
    } else if (width > 0) {
        columns = wanted;
    } else if (height > 0) {
        rows = wanted;
    }
    if (width > 0 && std::isfinite(columns / width)) {
        columns_ = static_cast<int32_t>(columns);
        uScale_ = columns / width;
    }
    if (height > 0 && std::isfinite(rows / height)) {
        rows_ = static_cast<int32_t>(rows);
        vScale_ = rows / height;
    }
}

void PointGrid::reset(const GridFrame &frame, size_t items) {
    frame_ = frame;
    const size_t cells = static_cast<size_t>(frame.columns()) * static_cast<size_t>(frame.rows());
    if (cells_.size() < cells) cells_.resize(cells);
    for (size_t k = 0; k < cells; ++k) cells_[k].clear();
    cellOf_.assign(items, -1);
    slot_.assign(items, -1);
    listSlot_.assign(items, -1);
    list_.clear();
}

void PointGrid::add(int32_t item, double u, double v) {
    listSlot_[static_cast<size_t>(item)] = static_cast<int32_t>(list_.size());
    list_.push_back(item);
    const int32_t cell = frame_.cell(frame_.column(u), frame_.row(v));
    std::vector<int32_t> &members = cells_[static_cast<size_t>(cell)];
    cellOf_[static_cast<size_t>(item)] = cell;
    slot_[static_cast<size_t>(item)] = static_cast<int32_t>(members.size());
    members.push_back(item);
}

void PointGrid::remove(int32_t item) {
    const int32_t cell = cellOf_[static_cast<size_t>(item)];
    if (cell < 0) return;
    const int32_t listSlot = listSlot_[static_cast<size_t>(item)];
    list_[static_cast<size_t>(listSlot)] = list_.back();
    listSlot_[static_cast<size_t>(list_.back())] = listSlot;
    list_.pop_back();
    std::vector<int32_t> &members = cells_[static_cast<size_t>(cell)];
    const int32_t slot = slot_[static_cast<size_t>(item)];
    const int32_t last = members.back();
    members[static_cast<size_t>(slot)] = last;
    slot_[static_cast<size_t>(last)] = slot;
    members.pop_back();
    cellOf_[static_cast<size_t>(item)] = -1;
    slot_[static_cast<size_t>(item)] = -1;
}

void BoxGrid::build(const Box &bounds, const std::vector<Box> &boxes) {
    // Long boxes lie in many cells: fewer cells when listing them all would take more than a few
    // entries per box, so that a ring of long edges costs no more than a scan of its edges.
    GridFrame frame;
    for (size_t cells = boxes.size();; cells /= 4) {
        frame.fit(bounds, cells);
        size_t entries = 0;
        for (const Box &b : boxes)
            entries += static_cast<size_t>(std::max(0, frame.column(b.u1) - frame.column(b.u0) + 1)) *
                       static_cast<size_t>(std::max(0, frame.row(b.v1) - frame.row(b.v0) + 1));
        if (entries <= 4 * boxes.size() || cells < 2) break;
    }
    frame_ = frame;
    const size_t cells = static_cast<size_t>(frame.columns()) * static_cast<size_t>(frame.rows());
    start_.assign(cells + 1, 0);
    // Count, then place: each box in the cells from its low corner's to its high corner's.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t k = 0; k < boxes.size(); ++k) {
            const Box &b = boxes[k];
            const int32_t c0 = frame.column(b.u0), c1 = frame.column(b.u1), r0 = frame.row(b.v0), r1 = frame.row(b.v1);
            for (int32_t r = r0; r <= r1; ++r)
                for (int32_t c = c0; c <= c1; ++c) {
                    const size_t cell = static_cast<size_t>(frame.cell(c, r));
                    if (pass == 0)
                        ++start_[cell + 1];
                    else
                        items_[static_cast<size_t>(start_[cell]++)] = static_cast<int32_t>(k);
                }
        }
        if (pass == 0) {
            for (size_t cell = 0; cell < cells; ++cell) start_[cell + 1] += start_[cell];
            items_.resize(static_cast<size_t>(start_[cells]));
        } else {
            // Placing moved each start to the next cell's; shift them back.
            for (size_t cell = cells; cell > 0; --cell) start_[cell] = start_[cell - 1];
            start_[0] = 0;
        }
    }
}

}  // namespace vantic
