// Arcs (PCIRC) and the delta angle from a chord tolerance (arc_move_tol and its forms).
#include "toolpath/motion_writers.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_common.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kDirectionArc = 23, kDirectionLine = 22;
constexpr int kShow = 1;
constexpr float kChordTolerance01 = 0.1f;
constexpr float kLargestDelta = 36.0f * std::numbers::pi_v<float> / 180.0f;
using W = move_writer_state;

point3 current_position()
{
    const tool_position_state& d = DSP8();
    return {d.real(tool_position_state::kPosition), d.real(tool_position_state::kPosition + 1),
            d.real(tool_position_state::kPosition + 2)};
}

// The end point's two coordinates in the arc plane.
std::array<float, 2> in_plane(int plane, const point3& p)
{
    if (plane == 2) return {p[0], p[2]};
    if (plane == 3) return {p[1], p[2]};
    return {p[0], p[1]};
}

}  // namespace

void PCIRC(int dimension, int plane, float angle, float delta, const std::array<float, 2>& centre, const point3& end,
           const point3& vector, int display, int& status)
{
    status = 0;
    display = checked_display("PCIRC, WRONG MODE", display);
    PUTMCH(status);
    if (status < 0) return;
    const int type = motion_block_type(dimension, motion_kind::arc);
    int break_flag = 0;
    if (LSP2().at(W::kFirstMovePending) != 0) {
        LSP2().at(W::kFirstMovePending) = 0;
        if (first_move_machine() && type != kDirectionArc) {
            put_line_block(kWhereListNumbered, kDirectionLine, 0, current_position(), kDefaultDirection, status);
            if (status >= 0) show_written(display, break_flag, status);
            if (status < 0) return;
        }
    }
    tp_arc_block arc{0, plane, angle, delta, centre, end, vector};
    put_arc_block(kWhereListNumbered, type, arc, status);
    if (status >= 0) show_written(display, break_flag, status);
    if (status < 0) return;
    remember_move(type, end, vector);
    answer_break(break_flag);
}

float arc_delta_angle(float tolerance, float radius, float angle)
{
    // A tolerance above twice the radius (or a negative one) leaves arccos's range: the argument
    // is clamped so the angle stays a number.
    const float cosine = std::clamp(1.0f - tolerance / radius, -1.0f, 1.0f);
    float delta = 2.0f * std::acos(cosine);
    if (delta == 0.0f) delta = angle;
    return std::min(delta, kLargestDelta);
}

void arc_move_tol(int dimension, float tolerance, int plane, float angle, const std::array<float, 2>& centre,
                  const point3& end, const point3& vector, int& status)
{
    status = 0;
    const std::array<float, 2> e = in_plane(plane, end);
    const float radius = std::hypot(e[0] - centre[0], e[1] - centre[1]);
    if (eqval0(angle) != 0 || eqval0(radius) != 0) return;
    PCIRC(dimension, plane, angle, arc_delta_angle(tolerance, radius, angle), centre, end, vector, kShow, status);
}

void arc_move_tol01(int dimension, int plane, float angle, const std::array<float, 2>& centre, const point3& end,
                    const point3& vector, int& status)
{
    arc_move_tol(dimension, kChordTolerance01, plane, angle, centre, end, vector, status);
}

void arc_move_d(int dimension, double tolerance, int plane, double angle, const std::array<double, 3>& centre,
                const std::array<double, 3>& end, const std::array<double, 3>& direction, int& status)
{
    const point3 c{static_cast<float>(centre[0]), static_cast<float>(centre[1]), static_cast<float>(centre[2])};
    const point3 e{static_cast<float>(end[0]), static_cast<float>(end[1]), static_cast<float>(end[2])};
    const point3 d{static_cast<float>(direction[0]), static_cast<float>(direction[1]),
                   static_cast<float>(direction[2])};
    arc_move_tol(dimension, static_cast<float>(tolerance), plane, static_cast<float>(angle), in_plane(plane, c), e, d,
                 status);
}
