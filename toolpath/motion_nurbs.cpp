// NURBS moves (put_nurbs_move): the values and control points handed over in double precision
// are written as one type-5 block.
#include "toolpath/motion_writers.hpp"

#include "host/vantu_messages.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_common.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_words.hpp"

#include <vector>

namespace {
constexpr int kFailed = -1;
constexpr int kShow = 1;
constexpr int kNurbsType = 5;
using W = move_writer_state;
}  // namespace

void put_nurbs_move(int caller, int display, int k, int n, const double* values, const double* points, int& status)
{
    (void)caller;
    status = 0;
    if (k < 0 || n < 1 || !values || !points) {
        eroutc("put_nurbs_move, ERRORS IN DATA", 0);
        status = kFailed;
        return;
    }
    LSP2().at(W::kLastPointValid) = 1;
    PUTMCH(status);
    if (status < 0) return;
    const std::vector<float> value_floats(values, values + k + n);
    const std::vector<float> point_floats(points, points + 3 * n);
    put_nurbs_block(kWhereListNumbered, 0, k, n, value_floats.data(), point_floats.data(), status);
    int break_flag = 0;
    if (status >= 0) show_written(display, break_flag, status);
    if (status < 0) return;
    const float* last = point_floats.data() + 3 * (n - 1);
    remember_move(kNurbsType, {last[0], last[1], last[2]}, kDefaultDirection);
    answer_break(break_flag);
}

void nurbs_move_entry(int caller, int k, int n, const double* values, const double* points, int& status)
{
    put_nurbs_move(caller, kShow, k, n, values, points, status);
}
