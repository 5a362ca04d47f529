// The shared steps of the motion writers.
#include "toolpath/motion_common.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/move_writer_state.hpp"

namespace {

constexpr int kShow = 1, kNoShow = 2;
using W = move_writer_state;

}  // namespace

int checked_display(const char* message, int display)
{
    if (display == kShow || display == kNoShow) return display;
    eroutc(message, 0);
    return kShow;
}

bool carries_direction(int type) { return type == 22 || type == 23 || type == 27; }
bool carries_normal(int type) { return type == 222 || type == 223 || type == 227; }

bool first_move_machine()
{
    const int m = NPT1().machine_type();
    return m == 25 || m == 26 || (m >= 61 && m <= 79);
}

bool repeats_last_move(int type, const point3& point, const point3& vector)
{
    const move_writer_state& s = LSP2();
    if (s.at(W::kLastPointValid) != 1) return false;
    const point3 last = s.vec(W::kLastPoint);
    for (int i = 0; i < 3; ++i)
        if (eqval0(point[static_cast<std::size_t>(i)] - last[static_cast<std::size_t>(i)]) == 0) return false;
    if (carries_direction(type)) return eqpt3(vector.data(), s.vec(W::kLastDirection).data()) != 0;
    if (carries_normal(type)) return eqpt3(vector.data(), s.vec(W::kLastNormal).data()) != 0;
    return true;
}

int move_points(const point3& point, std::array<point3, 2>& points)
{
    points[0] = point;
    const int m = NPT1().machine_type();
    const point3 last = LSP2().vec(W::kLastPoint);
    // Before any point is known there is no corner to go through.
    if (!(m == 12 || m == 13 || m == 22 || m == 31) || !LSP2().last_point_known()) return 1;
    const float dx = point[0] - last[0], dy = point[1] - last[1], dz = point[2] - last[2];
    if (eqval0(dx) != 0 || eqval0(dy) != 0 || eqval0(dz) != 0) return 1;
    points[0] = dz > 0.0f ? point3{last[0], last[1], point[2]} : point3{point[0], point[1], last[2]};
    points[1] = point;
    return 2;
}

void remember_move(int type, const point3& point, const point3& vector)
{
    move_writer_state& s = LSP2();
    const point3 direction = carries_direction(type) ? vector : kDefaultDirection;
    s.set_vec(W::kLastPoint, point);
    s.set_vec(W::kLastDirection, direction);
    s.set_vec(W::kLastNormal, carries_normal(type) ? vector : kDefaultDirection);
    for (int i = 0; i < 3; ++i) {
        DSP8().set_real(tool_position_state::kPosition + i, point[static_cast<std::size_t>(i)]);
        DSP8().set_real(tool_position_state::kAxis + i, direction[static_cast<std::size_t>(i)]);
    }
}

void show_written(int display, int& break_flag, int& status)
{
    if (display != kShow) return;
    int shown_break = 0;
    display_service_table().DISPLB(kShow, shown_break, status);
    if (shown_break != 0) break_flag = 1;
}

void answer_break(int break_flag)
{
    if (break_flag != 0) exec_break_menu();
}
