// Linear moves (PLINE and its entries): the zero-length skip, the pending machine parameters,
// the split of three-axis moves, the first move with tool direction, the blocks and LSP2.
#include "toolpath/motion_writers.hpp"

#include "toolpath/block_writers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_common.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kDirectionLine = 22;
constexpr int kShow = 1;
using W = move_writer_state;

point3 to_floats(const std::array<double, 3>& v)
{
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

}  // namespace

void PLINE(int dimension, const point3& point, const point3& vector, int display, int& status)
{
    status = 0;
    display = checked_display("PLINE, WRONG MODE", display);
    const bool first_rule = first_move_machine();
    const int type = motion_block_type(dimension, motion_kind::line);
    if (repeats_last_move(type, point, vector)) return;
    LSP2().at(W::kLastPointValid) = 1;
    PUTMCH(status);
    if (status < 0) return;
    std::array<point3, 2> points{};
    const int count = move_points(point, points);
    int first = 0, break_flag = 0;
    if (LSP2().at(W::kFirstMovePending) != 0) {
        LSP2().at(W::kFirstMovePending) = 0;
        if (first_rule && type != kDirectionLine) {
            put_line_block(kWhereListNumbered, kDirectionLine, 0, points[0], kDefaultDirection, status);
            if (status >= 0) show_written(display, break_flag, status);
            // A plain line to that point would repeat it: the move with direction stands for it.
            if (type == 2) first = 1;
        }
    }
    for (int i = first; i < count && status >= 0; ++i) {
        put_line_block(kWhereListNumbered, type, 0, points[static_cast<std::size_t>(i)], vector, status);
        if (status >= 0) show_written(display, break_flag, status);
    }
    if (status < 0) return;
    remember_move(type, point, vector);
    answer_break(break_flag);
}

void PLINE_entry(int dimension, const point3& point, const point3& vector, int& status)
{
    PLINE(entry_dimension(dimension), point, vector, kShow, status);
}

void PLINE_pts(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction, int& status)
{
    PLINE_entry(dimension, to_floats(point), to_floats(direction), status);
}
