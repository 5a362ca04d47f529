// The handlers of the motion blocks: lines and string points (DIPB2), arcs (DIPB3), NURBS splines
// (DIPB5), the lathe drill (DIPB11), threads (DIPB13) and grooves (DIPB14).
#include "listing/block_handlers.hpp"

#include "host/vantu.hpp"
#include "listing/dspblk.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/read_spline.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/copy_transform.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using T = tool_position_state;

constexpr int kPunchMachine = 12, kIndexPunch = 13;
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
// A spline of the display has at most this many control points and order.
constexpr int kMostSimPoints = 1000;

bool punch_machine() { return NPT1().machine_type() == kPunchMachine || NPT1().machine_type() == kIndexPunch; }

tool_vec current() { return DSP8().vec(T::kPosition); }

void trace_to_current()
{
    const tool_position_state& d = DSP8();
    const std::array<tool_vec, 1> to{d.vec(T::kPosition)}, axis{d.vec(T::kAxis)};
    if (punch_machine())
        tool_trace_line(to, axis, to[0], axis[0], trace_step());
    else
        tool_trace_line(to, axis, d.vec(T::kPrevPosition), d.vec(T::kPrevAxis), trace_step());
}

// The coordinates of the arc plane: 1 x y, 2 x z, 3 y z.
struct plane_axes {
    int a = 0, b = 1;
};

plane_axes arc_plane(int plane)
{
    switch (plane) {
    case 1: return {0, 1};
    case 2: return {0, 2};
    case 3: return {1, 2};
    default: eroutc("WRONG CODE FOR ARC PLANE", 0); return {0, 1};
    }
}

point3 transformed(point3 p)
{
    if (TRS1().at(tp_transform_state::kActive) != 1) return p;
    const read_transformation t = current_read_transformation();
    xform_pnts(p.data(), nullptr, t.matrix, t.translation);
    return p;
}

void set_vector(int type, const point3& vector)
{
    if (type == 22 || type == 27 || type == 23) DSP8().set_vec(T::kAxis, vector);
    if (type == 222 || type == 227 || type == 223) DSP8().set_vec(T::kNormal, vector);
}

// The centre of the arc completed with the end point's third coordinate.
point3 arc_centre(const tp_arc_block& arc, const plane_axes& axes)
{
    point3 centre = arc.end;
    centre[static_cast<std::size_t>(axes.a)] = arc.centre[0];
    centre[static_cast<std::size_t>(axes.b)] = arc.centre[1];
    return centre;
}

// The arc of the simulation: the start vector turned about the centre step by step, one move
// per step short of the last (the end point is drawn by the handler).
void simulate_arc(const dip_context& c, const tp_arc_block& arc, const plane_axes& axes, int& status)
{
    const std::size_t a = static_cast<std::size_t>(axes.a), b = static_cast<std::size_t>(axes.b);
    const point3 start = DSP8().vec(T::kPosition), centre = arc_centre(arc, axes);
    const float da = start[a] - centre[a], db = start[b] - centre[b];
    float step = arc.delta;
    int steps = 1;
    setdel(arc.angle, step, steps);
    for (int k = 1; k < steps && status >= 0; ++k) {
        const float t = step * static_cast<float>(k), cs = std::cos(t), sn = std::sin(t);
        point3 p = start;
        p[a] = centre[a] + da * cs - db * sn;
        p[b] = centre[b] + da * sn + db * cs;
        DSP8().set_vec(T::kPosition, p);
        dsp_draw_move(c.source, c.mode, c.number, status);
    }
}

// The arc definition of the display file, drawn through TRS1 while it is active.
void define_arc(const tp_arc_block& arc, const plane_axes& axes)
{
    const std::size_t a = static_cast<std::size_t>(axes.a), b = static_cast<std::size_t>(axes.b);
    const point3 start = transformed(DSP8().vec(T::kPosition)), centre = transformed(arc_centre(arc, axes));
    const float da = start[a] - centre[a], db = start[b] - centre[b];
    float step = arc.delta;
    int steps = 1, status = 0;
    setdel_nc(arc.angle, step, steps);
    float start_angle = std::atan2(db, da);
    if (start_angle < 0.0f) start_angle += kTwoPi;
    const float plane_centre[2] = {centre[a], centre[b]};
    // A definition the host refuses (a radius of 0) leaves a straight block.
    ncd_update_arc_def(start_angle, arc.angle, step, plane_centre, start[2], std::hypot(da, db), status);
}

void trace_arc(const tp_arc_block& arc, const plane_axes& axes)
{
    const tool_position_state& d = DSP8();
    if (punch_machine()) {
        const std::array<tool_vec, 1> to{d.vec(T::kPosition)}, axis{d.vec(T::kAxis)};
        return tool_trace_line(to, axis, to[0], axis[0], trace_step());
    }
    const point3 start = d.vec(T::kPrevPosition), centre = arc_centre(arc, axes);
    point3 u{}, v{};
    u[static_cast<std::size_t>(axes.a)] = start[static_cast<std::size_t>(axes.a)] - arc.centre[0];
    u[static_cast<std::size_t>(axes.b)] = start[static_cast<std::size_t>(axes.b)] - arc.centre[1];
    v[static_cast<std::size_t>(axes.a)] = -u[static_cast<std::size_t>(axes.b)];
    v[static_cast<std::size_t>(axes.b)] = u[static_cast<std::size_t>(axes.a)];
    tool_trace_arc(centre, d.vec(T::kAxis), u, v, arc.angle, trace_step());
}

// The spline's points in the simulation: the host's polyline of the spline through crvpld2.
void simulate_spline(const dip_context& c, const spline_words& s, int& status)
{
    int curve = 0, made = 0;
    evbcre_bsp(-1, 3, s.order, s.count, s.knots.data(), s.points.data(), curve, made);
    if (made != 0) return;
    double t0 = 0.0, t1 = 0.0;
    int limits = 0, count = 0;
    curve_limits(curve, t0, t1, limits);
    float tolerance = 0.0f;
    srfdds(tolerance);
    std::vector<double> xyz(3 * kMostSimPoints);
    if (limits == 0) crvpld2(curve, t0, t1, tolerance, 3, kMostSimPoints, xyz.data(), count, limits);
    evbfre(curve);
    for (int i = 1; i < count && limits == 0 && status >= 0; ++i) {
        DSP8().set_vec(T::kPosition, {static_cast<float>(xyz[3 * i]), static_cast<float>(xyz[3 * i + 1]),
                                      static_cast<float>(xyz[3 * i + 2])});
        dsp_draw_move(c.source, c.mode, c.number, status);
    }
}

}  // namespace

float trace_step()
{
    float diameter = 0.0f;
    tool_get_diameter(DSM4().at(modal_values::kTool), diameter);
    return diameter / 2.0f;
}

void shift_current_to_previous()
{
    tool_position_state& d = DSP8();
    move_writer_state& w = LSP2();
    w.set_vec(move_writer_state::kLastPoint, d.vec(T::kPosition));
    w.set_vec(move_writer_state::kLastDirection, d.vec(T::kAxis));
    w.set_vec(move_writer_state::kLastNormal, d.vec(T::kNormal));
    d.set_vec(T::kPrevPosition, d.vec(T::kPosition));
    d.set_vec(T::kPrevAxis, d.vec(T::kAxis));
}

void DIPB2(const dip_context& c, const point3& point, const point3& vector, int& status)
{
    status = 0;
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return dsp_close_figure();
    DSP8().set_vec(T::kPosition, point);
    set_vector(c.type, vector);
    dsp_draw_move(c.source, c.mode, c.number, status);
    if (status < 0) return;
    if (c.tool_update) trace_to_current();
    dsp_close_figure();
}

void DIPB3(const dip_context& c, const tp_arc_block& arc, int& status)
{
    status = 0;
    const plane_axes axes = arc_plane(arc.plane);
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;
    if (is_sim_source(c.source))
        simulate_arc(c, arc, axes, status);
    else if (c.mode == kDisplayDraw)
        define_arc(arc, axes);
    if (status < 0) return;
    DSP8().set_vec(T::kPosition, arc.end);
    set_vector(c.type, arc.direction);
    dsp_draw_move(c.source, c.mode, c.number, status);
    if (status < 0) return;
    if (c.tool_update) trace_arc(arc, axes);
    dsp_close_figure();
}

void DIPB5(dip_context& c, int& status)
{
    status = 0;
    const int where = c.source == 4 ? kWhereList : c.source == 5 ? kWhereEntity : reader_source(c.source);
    spline_words s;
    read_spline(where, s, c.number, status);
    if (status < 0) return;
    const dip_context& own = c;
    dsp_register_block(own.source, own.mode, own.number);
    if (own.mode == kDisplayRemove) return;
    // Each point goes through the copy transformation for the host and becomes the position; the
    // host's spline takes the points drawn (through TRS1 while it is active).
    const display_copy& copy = display_copy_transform();
    std::vector<float> shown = s.points;
    for (int i = 0; i < s.count; ++i) {
        point3 p{s.points[3 * i], s.points[3 * i + 1], s.points[3 * i + 2]};
        xform_pnts(p.data(), nullptr, copy.matrix, copy.translation);
        DSP8().set_vec(T::kPosition, p);
        const point3 drawn = transformed(p);
        std::copy(drawn.begin(), drawn.end(), shown.begin() + 3 * i);
    }
    int accepted = -1;
    if (own.mode == kDisplayDraw || is_sim_source(own.source))
        ncd_update_spline_def(s.order, s.count, s.knots.data(), shown.data(), accepted);
    if (accepted == 0 && is_sim_source(own.source))
        simulate_spline(own, s, status);
    else if (accepted == 0)
        dsp_draw_move(own.source, own.mode, own.number, status);
    if (status >= 0 && own.tool_update) tool_trace_spline(s.order, s.count, shown.data(), s.knots.data(), trace_step());
}

void DIPB11(const dip_context& c, const tp_lathe_drill_block& block, int& status)
{
    status = 0;
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;
    const point3 start = current();
    const point3 bottom{block.point[0] - block.real1, block.point[1], block.point[2]};
    const std::array<tool_vec, 2> strokes{bottom, start};
    for (const point3& p : strokes) {
        DSP8().set_vec(T::kPosition, p);
        dsp_draw_move(c.source, c.mode, c.number, status);
        if (status < 0) return;
    }
    if (c.tool_update) {
        float diameter = 0.0f;
        tool_get_drill_diameter(DSM4().at(modal_values::kTool), diameter);
        const std::array<tool_vec, 2> axes{DSP8().vec(T::kAxis), DSP8().vec(T::kAxis)};
        tool_trace_line(strokes, axes, start, DSP8().vec(T::kAxis), diameter / 2.0f);
    }
    dsp_close_figure();
}

void DIPB13(const dip_context& c, const tp_thread_block& block, int& status)
{
    status = 0;
    dsp_register_block(c.source, c.mode, c.number);
    DSP8().set_vec(T::kPosition, block.end);
    dsp_draw_move(c.source, c.mode, c.number, status);
    dsp_close_figure();
}

void DIPB14(const dip_context& c, const tp_groove_block& block, int& status)
{
    status = 0;
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;
    for (const point3& p : {block.end, block.start}) {
        DSP8().set_vec(T::kPosition, p);
        dsp_draw_move(c.source, c.mode, c.number, status);
        if (status < 0) return;
    }
    tool_position_state& d = DSP8();
    if (c.tool_update) {
        const std::array<tool_vec, 1> to{block.end}, axis{d.vec(T::kAxis)};
        tool_trace_line(to, axis, d.vec(T::kPrevPosition), d.vec(T::kPrevAxis), block.reals[1]);
        d.set_vec(T::kPrevPosition, d.vec(T::kPosition));
    }
    const int instance = tm_inst_id(-1);
    if (c.source == kSourceWritten && instance > 0) TOLMOV(instance, block.end, d.vec(T::kAxis), 1);
    dsp_close_figure();
}
