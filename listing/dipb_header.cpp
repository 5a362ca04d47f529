// The handlers of the blocks that set the tool path's frame: the header (DIPBT0), the home
// definition (DIPB6), the MACSYS rotation (DIPB9) and the rotation axes (DIPB10), with the
// rotation-axes symbol of a 5-axis table (rotax_display).
#include "listing/block_handlers.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/tool_display.hpp"
#include "listing/work_view.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/setmod.hpp"
#include "toolpath/tp_sublist.hpp"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using T = tool_position_state;
using H = tp_header_state;

constexpr int kUcsParameter = 55, kPrmUcsWord = 17;
constexpr int kNoUserAttributes = 10, kThreeAttributes = 3;
constexpr int kProcFont = 4;
constexpr float kAxisSymbolSize = 1.5f;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};

// The source the header handlers register with: 1 to 3 as given, 8 and 9 less 7, 10 as 1.
int register_source(int source) { return source == kNoUserAttributes ? kSourceEntity : reader_source(source); }

void set_point(int first, const point3& p)
{
    for (int i = 0; i < 3; ++i) NPT1().set_real(first + i, p[static_cast<std::size_t>(i)]);
}

point3 npt1_point(int first) { return {NPT1().real(first), NPT1().real(first + 1), NPT1().real(first + 2)}; }

void header_to_npt1(const tp_header_block& h)
{
    tp_header_state& n = NPT1();
    std::memcpy(&n.at(H::kMacsysName), h.macsys_name.data(), 8);
    n.at(H::kMachineType) = h.value1;
    set_point(H::kMacsysOrigin, h.point1);
    set_point(H::kHomePoint, h.point2);
    set_npt1_matrix(h.matrix);
    n.set_real(H::kDepth, h.real1);
    n.at(H::kView) = h.value2;
    n.at(H::kUcsId) = h.value3;
    n.at(H::kFurther) = h.value5;
}

// Everything that follows the current position after a header: axis, normal, the previous
// position and axis, the move writer's last values, the tool instance's last point and axis.
void settle_at_current()
{
    tool_position_state& d = DSP8();
    const point3 at = d.vec(T::kPosition);
    d.set_vec(T::kAxis, kUp);
    d.set_vec(T::kNormal, kUp);
    d.set_vec(T::kPrevPosition, at);
    d.set_vec(T::kPrevAxis, kUp);
    d.set_vec(T::kInstancePoint, at);
    d.set_vec(T::kInstanceAxis, kUp);
    const view_matrix m = npt1_matrix();
    for (int i = 0; i < 9; ++i) d.set_real(T::kOrientation + i, m[static_cast<std::size_t>(i)]);
    move_writer_state& w = LSP2();
    w.set_vec(move_writer_state::kLastPoint, at);
    w.set_vec(move_writer_state::kLastDirection, kUp);
    w.set_vec(move_writer_state::kLastNormal, kUp);
    w.at(move_writer_state::kFirstMovePending) = 1;
}

void draw_tool_here()
{
    int instance = -1;
    draw_tool_default(DSM4().at(modal_values::kTool), DSP8().vec(T::kPosition), instance);
    if (instance > 0) tm_inst_id(instance);
}

// The point turned about the axis (1 x, 2 y, other z) through the centre by the angle (radians).
point3 turned(const point3& p, const point3& centre, int axis, float angle)
{
    const int a = axis == 1 ? 1 : axis == 2 ? 2 : 0, b = axis == 1 ? 2 : axis == 2 ? 0 : 1;
    const float c = std::cos(angle), s = std::sin(angle);
    point3 out = p;
    const float da = p[static_cast<std::size_t>(a)] - centre[static_cast<std::size_t>(a)];
    const float db = p[static_cast<std::size_t>(b)] - centre[static_cast<std::size_t>(b)];
    out[static_cast<std::size_t>(a)] = centre[static_cast<std::size_t>(a)] + da * c - db * s;
    out[static_cast<std::size_t>(b)] = centre[static_cast<std::size_t>(b)] + da * s + db * c;
    return out;
}

void reset_planes()
{
    plane_state& p = PLN1();
    p.at(plane_state::kCount) = 0;
    for (int word : {plane_state::kFirstEntity, plane_state::kSecondEntity, plane_state::kThirdEntity}) p.at(word) = -1;
    const float plane[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < 4; ++i) p.set_real(plane_state::kPlane + i, plane[i]);
}

// The MACSYS rotation drawn as the arc the tool turns through about the block's centre.
void draw_turn(const dip_context& c, const tp_macsys_rot_block& b, const point3& from, float angle)
{
    const float radius = std::hypot(from[0] - b.point[0], from[1] - b.point[1]);
    dsp_arc arc;
    arc.centre = {b.point[0], b.point[1], from[2]};
    arc.radius = radius;
    arc.start = std::atan2(from[1] - b.point[1], from[0] - b.point[0]);
    arc.sweep = angle;
    dsp_draw_arc(c.source, c.mode, arc);
}

}  // namespace

void DIPBT0(const dip_context& c, const tp_header_block& h, int& status)
{
    status = 0;
    const int source = register_source(c.source);
    if (c.source != kNoUserAttributes && source != kSourceEntity) symbols_off();
    if (source != kSourceWritten) header_to_npt1(h);
    if (source == kSourceEntity) {
        int aside = 0, back = 0;
        eginfo(aside);
        setuap(kThreeAttributes, h.value2, h.real1);
        if (aside == 1) esinfo(back);
    }
    PRM9().words[kPrmUcsWord] = h.value3;
    SETMOD(kUcsParameter, h.value3, 0.0f);
    DSP8().set_vec(T::kPosition, h.point2);
    int view = h.value2;
    gsvnum(2, view);
    if (source != kSourceWritten && c.source != kNoUserAttributes) {
        work_view_take(h.value2, h.real1);
        store_view_matrix(h.matrix);
        if (source != kSourceEntity) {
            store_machine_frame(h.matrix, h.point1);
            symbols_on();
        }
    }
    BLSK().words[1] = 0;
    BLSK().words[2] = 0;
    dspblk_init_state(source);
    dsp_register_block(source, c.mode, c.number);
    dsp_draw_move(source, c.mode, c.number, status);
    dsp_close_figure();
    if (is_sim_source(c.source)) {
        char name[9] = {};
        std::memcpy(name, h.macsys_name.data(), 8);
        mrm_tptype(h.value1, name);
    }
    settle_at_current();
    dsp_set_attrs(source, c.mode, kProcFont, -1, -1);
}

void DIPB6(const dip_context& c, const tp_home_block& home, int& status)
{
    status = 0;
    set_point(H::kHomePoint, home.first);
    DSP8().set_vec(T::kPosition, home.first);
    heights_state& heights = HEI8();
    for (int word : {heights_state::kClearance, heights_state::kAbsolute, heights_state::kFurtherHeight})
        heights.set_real(word, home.first[2]);
    if (!c.tool_update) return;
    tm_inst_delete();
    draw_tool_here();
}

void DIPB9(const dip_context& c, const tp_macsys_rot_block& b, int& status)
{
    status = 0;
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;
    tool_position_state& d = DSP8();
    const point3 from = d.vec(T::kPosition);
    d.set_vec(T::kPosition, b.end);
    d.set_vec(T::kAxis, kUp);
    d.set_vec(T::kNormal, kUp);
    reset_planes();
    const int axis = b.axes == 3 ? 1 : b.axes == 4 ? 2 : b.axes;
    const float angle = b.angle * std::numbers::pi_v<float> / 180.0f;
    set_point(H::kMacsysOrigin, turned(npt1_point(H::kMacsysOrigin), b.point, axis, angle));
    set_point(H::kHomePoint, turned(npt1_point(H::kHomePoint), b.point, axis, angle));
    work_view_take(NPT1().at(H::kView), NPT1().real(H::kDepth));
    draw_turn(c, b, from, angle);
    if (c.source == kSourceWritten) tm_inst_delete();
    work_view_take(b.value2, b.real2);
    tp_header_state& n = NPT1();
    n.at(H::kView) = b.value2;
    n.set_real(H::kDepth, b.real2);
    view_matrix m{};
    int found = 0;
    trget(b.value2, m.data(), found);
    if (found == 0) {
        const view_matrix t{m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
        set_npt1_matrix(t);
        store_view_matrix(t);
        store_machine_frame(t, npt1_point(H::kMacsysOrigin));
    }
    if (c.tool_update) draw_tool_here();
    if (c.source != kSourceEntity) symbols_on();
    float home_z = n.real(H::kHomePoint + 2);
    if (std::fabs(home_z) <= vantu::kRealTolerance) {
        home_z = 0.0f;
        n.set_real(H::kHomePoint + 2, home_z);
    }
    heights_state& heights = HEI8();
    for (int word : {heights_state::kClearance, heights_state::kAbsolute, heights_state::kFurtherHeight})
        heights.set_real(word, home_z);
}

void DIPB10(const dip_context& c, const tp_rotaxes_block& b, int& status)
{
    (void)c;
    rotation_axes_state& r = RAXN();
    r.at(rotation_axes_state::kKind) = b.kind;
    for (int i = 0; i < 3; ++i) {
        r.set_real(rotation_axes_state::kFirstPoint + i, b.first[static_cast<std::size_t>(i)]);
        r.set_real(rotation_axes_state::kSecondPoint + i, b.second[static_cast<std::size_t>(i)]);
    }
    r.at(rotation_axes_state::kValue) = b.value;
    r.set_real(rotation_axes_state::kReal, b.real);
    mdputc("RAXN", rotation_axes_state::kWords, r.words.data(), status);
    status = 0;
}

void rotax_display(const point3& origin, const std::array<float, 9>& matrix)
{
    float machine[3];
    mapw2m(origin.data(), machine);
    const float axis[3] = {matrix[2], matrix[5], matrix[8]};
    updax(machine, axis, kAxisSymbolSize);
}
