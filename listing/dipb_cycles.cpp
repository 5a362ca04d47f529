// The handlers of the cycle blocks (30 to 36), the transformation (40) and the drill cycle at a
// drill location (DIPB31).
#include "listing/block_handlers.hpp"

#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "surfaces/tool_symbol.hpp"
#include "toolpath/read_transform.hpp"

#include <cstring>
#include <vector>

namespace {

using T = tool_position_state;
using C = cycle_state;

constexpr int kRetractToInitial = 2, kFiveAxis = 26;
constexpr float kRapid = -1.0f;

// The frame of the drill direction: rows x, y, z with z along the direction.
struct drill_frame {
    float m[9] = {};

    point3 local(const point3& p) const
    {
        return {m[0] * p[0] + m[1] * p[1] + m[2] * p[2], m[3] * p[0] + m[4] * p[1] + m[5] * p[2],
                m[6] * p[0] + m[7] * p[1] + m[8] * p[2]};
    }
    point3 world(const point3& q) const
    {
        return {m[0] * q[0] + m[3] * q[1] + m[6] * q[2], m[1] * q[0] + m[4] * q[1] + m[7] * q[2],
                m[2] * q[0] + m[5] * q[1] + m[8] * q[2]};
    }
};

// The strokes of one cycle, drawn one by one and kept for the tool trace.
struct stroke_run {
    const dip_context& c;
    const drill_frame& frame;
    std::vector<tool_vec> ends;
    int status = 0;

    void stroke(const point3& local_end, bool rapid)
    {
        if (status < 0) return;
        const point3 p = frame.world(local_end);
        DSP8().set_vec(T::kPosition, p);
        dsp_draw_drill(c.source, c.mode, rapid ? 1 : 0, c.number, status);
        ends.push_back(p);
    }
};

}  // namespace

void DIPB30(const dip_context& c, const tp_cycle_block& b, int& status)
{
    (void)c;
    cycle_state& g = GCY4();
    g.at(C::kActive) = 1;
    std::memcpy(&g.at(C::kCycleId), b.name.data(), 4);
    g.set_real(C::kSurfaceStep, b.real2);
    g.set_real(C::kDepth, b.real1);
    g.set_real(C::kClear, b.real3);
    g.at(C::kRetractMode) = b.value2;
    g.set_real(C::kInitialLevel, b.real4);
    g.set_real(C::kCurrentLevel, b.real4);
    status = 0;
}

void DIPB32(const dip_context& c, const tp_z_pair_block& b, int& status)
{
    (void)c;
    GCY4().set_real(C::kInitialLevel, b.first);
    status = 0;
}

void DIPB33(const dip_context& c, float step, int& status)
{
    (void)c;
    cycle_state& g = GCY4();
    g.set_real(C::kCurrentLevel, g.real(C::kCurrentLevel) - step);
    g.set_real(C::kSurfaceStep, step);
    status = 0;
}

void DIPB34(const dip_context& c, const tp_retract_mode_block& b, int& status)
{
    (void)c;
    // The first mode value the block holds (the old mode, as written).
    GCY4().at(C::kRetractMode) = b.old_mode;
    status = 0;
}

void DIPB35(const dip_context& c, const tp_cycle_block& b, int& status)
{
    (void)c;
    (void)b;
    GCY4().at(C::kActive) = 0;
    status = 0;
}

void DIPB36(const dip_context& c, const tp_z_pair_block& b, int& status)
{
    (void)c;
    GCY4().set_real(C::kDepth, b.first);
    status = 0;
}

void DIPB40(const dip_context& c, const tp_transform_block& b, int& status)
{
    (void)c;
    read_transformation_set(b.matrix.data(), b.translation.data());
    status = 0;
}

void DIPB31(const dip_context& c, const tp_drill_loc_block& b, int& status)
{
    status = 0;
    tool_position_state& d = DSP8();
    const tool_vec trace_start = d.vec(T::kPosition), trace_axis = d.vec(T::kAxis);
    drill_frame frame;
    const float direction[3] = {b.direction[0], b.direction[1], b.direction[2]};
    if (!tool_axis_frame(direction, frame.m)) {
        eroutc("DIPB31, THE DIRECTION VECTOR IS ZEROED", 0);
        status = -1;
        return;
    }
    const point3 p = frame.local(b.point), from = frame.local(trace_start);
    cycle_state& g = GCY4();
    const bool turned = eqpt3(b.direction.data(), trace_axis.data()) == 0;
    if (turned) g.set_real(C::kCurrentLevel, g.real(C::kInitialLevel));
    d.set_vec(T::kAxis, b.direction);
    const float clear = g.real(C::kClear) + p[2], level = g.real(C::kCurrentLevel) + p[2];
    const bool simulate = is_sim_source(c.source);
    if (simulate) mrm_feed(kRapid);
    dsp_register_block(c.source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;

    stroke_run run{c, frame, {}};
    float z = from[2];
    if (z < clear) {
        run.stroke({from[0], from[1], clear}, true);
        z = clear;
    }
    if (simulate && turned) mrm_ijk(b.direction.data());
    const bool to_initial = g.at(C::kRetractMode) == kRetractToInitial;
    if (to_initial && NPT1().machine_type() == kFiveAxis) z = level;
    if (z > clear) run.stroke({p[0], p[1], z}, true);
    run.stroke({p[0], p[1], clear}, true);
    if (simulate) mrm_feed(DSM4().real(modal_values::kFeed));
    run.stroke({p[0], p[1], p[2] - g.real(C::kDepth)}, false);
    run.stroke({p[0], p[1], clear}, false);
    if (simulate) mrm_feed(kRapid);
    if (to_initial) run.stroke({p[0], p[1], level}, true);
    status = run.status;
    if (status < 0) return;
    ncd_flush_blocks();
    if (c.tool_update) {
        const std::vector<tool_vec> axes(run.ends.size(), b.direction);
        tool_trace_line(run.ends, axes, trace_start, trace_axis, trace_step());
    }
}
