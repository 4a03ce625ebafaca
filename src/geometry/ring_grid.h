// Uniform grids over a ring's corners in plane coordinates, for the stalled-ring finisher: one of the
// corners that can block an ear (they come and go as the ring is cut), one of the ring's edges.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/corner_index.h"

namespace vantic {

// Cells over a box. A coordinate's column (row) never decreases as the coordinate grows, so the cells
// of a box hold every item whose point or box meets it: a search there misses nothing a scan of
// every item would find. Coordinates outside the box, infinite or not a number fall in border cells.
class GridFrame {
public:
    // About `cells` cells, shaped like the box.
    void fit(const Box &bounds, size_t cells);
    int32_t columns() const { return columns_; }
    int32_t rows() const { return rows_; }
    int32_t column(double u) const { return Clamp((u - u0_) * uScale_, columns_); }
    int32_t row(double v) const { return Clamp((v - v0_) * vScale_, rows_); }
    int32_t cell(int32_t column, int32_t row) const { return row * columns_ + column; }

private:
    static int32_t Clamp(double t, int32_t count) {
        if (!(t > 0)) return 0;
        return t >= count ? count - 1 : static_cast<int32_t>(t);
    }
    double u0_ = 0, v0_ = 0, uScale_ = 0, vScale_ = 0;
    int32_t columns_ = 1, rows_ = 1;
};

// Points that are added and removed, each under a small number below the count given to reset.
class PointGrid {
public:
    void reset(const GridFrame &frame, size_t items);
    void add(int32_t item, double u, double v);
    void remove(int32_t item);
    const std::vector<int32_t> &cell(int32_t column, int32_t row) const {
        return cells_[static_cast<size_t>(frame_.cell(column, row))];
    }
    // Every item, in no particular order.
    const std::vector<int32_t> &all() const { return list_; }
    const GridFrame &frame() const { return frame_; }

private:
    GridFrame frame_;
    std::vector<std::vector<int32_t>> cells_;
    std::vector<int32_t> cellOf_, slot_, listSlot_;  // where each item is, -1 when absent
    std::vector<int32_t> list_;
};

// Boxes fixed once built, each listed in every cell it meets.
class BoxGrid {
public:
    // Cells over `bounds`, which hold every box.
    void build(const Box &bounds, const std::vector<Box> &boxes);
    const GridFrame &frame() const { return frame_; }
    // The items of one cell: [begin, end) into items().
    int32_t begin(int32_t column, int32_t row) const { return start_[static_cast<size_t>(frame_.cell(column, row))]; }
    int32_t end(int32_t column, int32_t row) const { return start_[static_cast<size_t>(frame_.cell(column, row)) + 1]; }
    const std::vector<int32_t> &items() const { return items_; }

private:
    GridFrame frame_;
    std::vector<int32_t> start_, items_;
};

}  // namespace vantic
