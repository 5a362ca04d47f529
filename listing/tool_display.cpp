// The tool display (see the header).
#include "listing/tool_display.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "surfaces/tool_symbol.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/symbol_masters.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kQueryInstance = -1;
constexpr int kTraceStep = 0;
constexpr int kIndexPunch = 13;
constexpr int kNoDisplay = 2;
constexpr int kXorExecution = 1, kXorEditing = 2;
constexpr float kScale = 1.0f;
constexpr tool_vec kDefaultAxis{0.0f, 0.0f, 1.0f};
// Instances along one move stop at this count: a step far below the move's length would
// otherwise flood the screen and the host.
constexpr int kMostTraceSteps = 10000;
constexpr int kMostSplinePoints = 1000;

struct xor_state {
    int on = 0;
};

xor_state& tool_xor()
{
    static xor_state state;
    return state;
}

using matrix9 = std::array<float, 9>;

matrix9 macsys_matrix()
{
    matrix9 m{};
    for (int i = 0; i < 9; ++i) m[static_cast<std::size_t>(i)] = NPT1().real(tp_header_state::kMacsysMatrix + i);
    return m;
}

// The orientation of a tool along the axis: the frame whose z row is the axis, transposed so
// that its columns carry the tool's own axes into the machine. False for an axis of no length.
bool axis_orientation(const tool_vec& axis, matrix9& orientation)
{
    const float a[3] = {axis[0], axis[1], axis[2]};
    float frame[9];
    if (!tool_axis_frame(a, frame)) return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) orientation[static_cast<std::size_t>(r * 3 + c)] = frame[c * 3 + r];
    return true;
}

tool_vec to_machine(const tool_vec& point)
{
    tool_vec m{};
    mapw2m(point.data(), m.data());
    return m;
}

bool same(const tool_vec& a, const tool_vec& b) { return eqpt3(a.data(), b.data()) != 0; }

// The orientation turned about (0, 0, 1) by the index value (degrees) of a punch with indexing.
matrix9 indexed(const matrix9& m, float degrees)
{
    const float t = degrees * std::numbers::pi_v<float> / 180.0f, c = std::cos(t), s = std::sin(t);
    const matrix9 turn{c, -s, 0, s, c, 0, 0, 0, 1};
    matrix9 out{};
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            for (int k = 0; k < 3; ++k)
                out[static_cast<std::size_t>(r * 3 + col)] +=
                    turn[static_cast<std::size_t>(r * 3 + k)] * m[static_cast<std::size_t>(k * 3 + col)];
    return out;
}

matrix9 dsp8_orientation()
{
    matrix9 m{};
    for (int i = 0; i < 9; ++i) m[static_cast<std::size_t>(i)] = DSP8().real(tool_position_state::kOrientation + i);
    return m;
}

void set_dsp8_orientation(const matrix9& m)
{
    for (int i = 0; i < 9; ++i) DSP8().set_real(tool_position_state::kOrientation + i, m[static_cast<std::size_t>(i)]);
}

int current_instance() { return tm_inst_id(kQueryInstance); }

tool_vec current_position() { return DSP8().vec(tool_position_state::kPosition); }

void switch_xor(int on, int mode)
{
    if (tool_xor().on == on) return;
    tm_inst_delete();
    if (on != 0)
        EnableNCToolXOR(mode);
    else
        DisableNCToolXOR();
    draw_tool_at_current();
    tool_xor().on = on;
}

tool_vec lerp(const tool_vec& a, const tool_vec& b, float f)
{
    return {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
}

}  // namespace

void DISPT1(int tool_id, const tool_vec& point, const tool_vec& axis, int& instance)
{
    instance = -1;
    const tool_vec at = to_machine(point);
    matrix9 orientation = macsys_matrix();
    if (!same(axis, kDefaultAxis) && !axis_orientation(axis, orientation)) {
        eroutc("DISPT1,ERRORS IN CALCULATING TOOL ORIENTATION MATRIX", 0);
        orientation = macsys_matrix();
    }
    int master = -1;
    tool_get_symbol_master(tool_id, master);
    if (master <= 0) return;
    float o[9], p[3];
    std::copy(orientation.begin(), orientation.end(), o);
    std::copy(at.begin(), at.end(), p);
    int status = 0;
    tool_display_frame(instance, master, o, p, kScale, status);
    if (status != 0) instance = -1;
    if (instance > 0) edisp(instance, 1, status);
}

void draw_tool_default(int tool_id, const tool_vec& point, int& instance)
{
    DISPT1(tool_id, point, kDefaultAxis, instance);
}

void TOLMOV(int instance, const tool_vec& point, const tool_vec& axis, int mode)
{
    tool_position_state& d = DSP8();
    if (!same(axis, d.vec(tool_position_state::kInstanceAxis))) {
        matrix9 orientation{};
        if (same(axis, kDefaultAxis))
            set_dsp8_orientation(macsys_matrix());
        else if (axis_orientation(axis, orientation))
            set_dsp8_orientation(orientation);
        else
            eroutc("TOLMOV,ERRORS IN CALCULATING TOOL ORIENTATION MATRIX", 0);
    }
    matrix9 orientation = dsp8_orientation();
    if (NPT1().machine_type() == kIndexPunch)
        orientation = indexed(orientation, d.real(tool_position_state::kIndexValue));
    const tool_vec at = to_machine(point);
    if (instance > 0 && TLER().at(tool_display_state::kMode) < kNoDisplay) {
        int status = 0;
        figmvx(instance, orientation.data(), at.data(), kScale, mode, status);
    }
    d.set_vec(tool_position_state::kInstancePoint, point);
    d.set_vec(tool_position_state::kInstanceAxis, axis);
}

void draw_tool_at_current()
{
    int instance = -1;
    draw_tool_default(PRM9().words[machine_params::kToolId], current_position(), instance);
    if (instance > 0) tm_inst_id(instance);
}

void tool_xor_on() { switch_xor(1, kXorExecution); }
void tool_xor_on_edit() { switch_xor(1, kXorEditing); }
void tool_xor_off() { switch_xor(0, 0); }
int tool_xor_state() { return tool_xor().on; }

void tool_trace_line(std::span<const tool_vec> points, std::span<const tool_vec> axes, const tool_vec& start,
                     const tool_vec& start_axis, float step)
{
    const int instance = current_instance();
    if (!(step > 0.0f) || instance <= 0) return;
    tool_vec from = start, from_axis = start_axis;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const tool_vec& to = points[i];
        const tool_vec to_axis = i < axes.size() ? axes[i] : kDefaultAxis;
        const float length = std::hypot(to[0] - from[0], to[1] - from[1], to[2] - from[2]);
        const int n = std::clamp(static_cast<int>(length / step - 0.01f), 0, kMostTraceSteps);
        for (int k = 1; k <= n; ++k) {
            const float f = static_cast<float>(k) / static_cast<float>(n + 1);
            TOLMOV(instance, lerp(from, to, f), lerp(from_axis, to_axis, f), kTraceStep);
        }
        TOLMOV(instance, to, to_axis, kTraceStep);
        from = to;
        from_axis = to_axis;
    }
}

void tool_trace_arc(const tool_vec& centre, const tool_vec& axis, const tool_vec& u, const tool_vec& v, float angle,
                    float step)
{
    const int instance = current_instance();
    if (!(step > 0.0f) || instance <= 0) return;
    const float radius = std::hypot(u[0], u[1], u[2]);
    const float x = std::fabs(radius * angle / step);
    if (!(x > 1.0f)) return;
    const int n = std::min(static_cast<int>(x + 0.99f), kMostTraceSteps);
    if (n <= 1) return;
    for (int k = 1; k <= n; ++k) {
        const float t = angle * static_cast<float>(k) / static_cast<float>(n), c = std::cos(t), s = std::sin(t);
        const tool_vec p{centre[0] + u[0] * c + v[0] * s, centre[1] + u[1] * c + v[1] * s,
                         centre[2] + u[2] * c + v[2] * s};
        TOLMOV(instance, p, axis, kTraceStep);
    }
}

void tool_trace_spline(int order, int count, const float* points, const float* knots, float step)
{
    if (!(step > 0.0f) || current_instance() <= 0) return;
    int curve = 0, status = 0;
    evbcre_bsp(-1, 3, order, count, knots, points, curve, status);
    if (status != 0) return;
    double t0 = 0.0, t1 = 0.0;
    curve_limits(curve, t0, t1, status);
    float tolerance = 0.0f;
    srfdds(tolerance);
    std::vector<double> xyz(3 * kMostSplinePoints);
    int n = 0;
    if (status == 0) crvpld2(curve, t0, t1, tolerance, 3, kMostSplinePoints, xyz.data(), n, status);
    evbfre(curve);
    if (status != 0 || n < 1) return;
    std::vector<tool_vec> trail;
    for (int i = 0; i < n; ++i)
        trail.push_back(
            {static_cast<float>(xyz[3 * i]), static_cast<float>(xyz[3 * i + 1]), static_cast<float>(xyz[3 * i + 2])});
    tool_trace_line(std::span(trail).subspan(1), {}, trail.front(), kDefaultAxis, step);
}
