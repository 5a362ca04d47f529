// The link over the triangulated part surfaces (surface_link_move) for the surface functions 34,
// 38 and 48, with the shrink of the tool for its test. Reads linnet_params (tolerance, offsets,
// level grid, minimum clearance, approach type and selectors), HEI8, the current tool of PRM9
// and the twirl words of the pocket entry.
#include "toolpath/approach_retract.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "nc_services/twirl_words.hpp"
#include "nc_services/unwind_guard.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/approach_seams.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/narrowed_mill.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned kLinkSurfaceKinds = 0xffffff2fu;
constexpr int kTwirlApproach = 2, kNearLimitOff = 1;
constexpr int kContactFound = 0, kContactFailed = -1, kHeightFound = 0;
// The tool is made this much smaller (diameter, corner radius) and the offsets this much larger
// for the link test, so that a link along a wall the tool just touches still passes.
constexpr float kDiameterShrink = 0.004f, kRadiusShrink = 0.002f, kOffsetGrowth = 0.002f;
// The contact segment reaches this far below and above the probe height.
constexpr float kProbeReach = 10.0f;
// 1.4142135 level steps: the diagonal of one level step, added to the near limit of W links.
constexpr float kDiagonal = 1.4142135f;
// The sampling walks at most this many steps; a longer link is sampled at its length / this.
constexpr int kMostSamples = 100000;

// The link's geometry and choices.
struct link_plan {
    bool near = true;
    bool w_function = false;  // 34 or 38
    float step = 0.0f;        // sampling step
    int feed = kFeedBase;
    float start_height = 0.0f;
    float probe_height = 0.0f;
};

// The first level at or above z on the grid T0, T0 - step, T0 - 2 step, ...; z above T0 kept.
float on_level_grid(float z, const linnet_params& p)
{
    if (!(p.level_step > 0.0f) || z >= p.top_level) return z;
    const float steps = std::floor((p.top_level - z) / p.level_step);
    return p.top_level - steps * p.level_step;
}

// 2 sqrt(r^2 - (r - t)^2), the chord a ball of radius r leaves at depth t; the depth is held
// within 0..r (beyond r the chord is the diameter), and a chord of no length gives way to t.
float near_step(float radius, float tolerance)
{
    const float depth = std::clamp(tolerance, 0.0f, radius);
    const float chord = 2.0f * std::sqrt(std::max(0.0f, radius * radius - (radius - depth) * (radius - depth)));
    return chord > 0.0f ? chord : tolerance;
}

// The highest surface height from the contact point every step towards P, and at P.
float highest_on_the_way(const point3& contact, const point3& target, float step, float start)
{
    const linnet_params& p = linnet_params_block;
    float highest = start;
    const auto sample = [&](const point3& at) {
        float normal[3], touched[3], height = 0.0f;
        int entity = 0, status = 0;
        surface_query_table().surface_height_at_point(0, at.data(), p.surface_tolerance, p.surface_offsets[0],
                                                      p.surface_offsets[1], normal, touched, height, entity, status);
        if (status == kHeightFound) highest = std::max(highest, height);
    };
    const float dx = target[0] - contact[0], dy = target[1] - contact[1];
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance > 0.0f) {
        // A step of no length would never reach P.
        const float walk = std::max(step > 0.0f ? step : distance, distance / kMostSamples);
        for (float along = walk; along < distance; along += walk)
            sample({contact[0] + dx * along / distance, contact[1] + dy * along / distance, contact[2]});
    }
    sample(target);
    return highest;
}

// Near or far, the sampling step and the feed of a link of length `length`.
link_plan plan_link(float length, int code)
{
    const linnet_params& p = linnet_params_block;
    link_plan plan;
    plan.w_function = code == 34 || code == 38;
    float diameter = link_tool_saved().diameter;
    if (eqval0(diameter) != 0) diameter = 5.0f * p.surface_tolerance;
    const float radius = diameter / 2.0f;
    float near_limit = 2.0f * diameter;
    if (!plan.w_function) {
        set_srf_kind_mask(kLinkSurfaceKinds);
        if (code == 48 && p.selector == kNearLimitOff) near_limit = 0.0f;
    } else {
        near_limit += kDiagonal * p.level_step;
    }
    plan.near = ltval(length, near_limit) != 0;
    if (plan.near) {
        plan.step = near_step(radius, p.surface_tolerance);
        plan.feed = kFeedBase;
    } else {
        plan.step = 5.0f * p.surface_tolerance;
        plan.feed = kFeedStored;
    }
    return plan;
}

// The probe and start heights of the height analysis.
void plan_heights(link_plan& plan, const retract_heights& h, const point3& target, const point3& here)
{
    const float higher = std::max(target[2], here[2]);
    if (!h.use_absolute) {
        plan.probe_height = higher;
        if (!plan.near && plan.w_function) plan.probe_height = on_level_grid(higher, linnet_params_block);
        plan.start_height = plan.near
                                ? plan.probe_height
                                : plan.probe_height + std::max(h.incremental, linnet_params_block.minimum_clearance);
    } else if (plan.near) {
        plan.probe_height = plan.start_height = higher;
    } else {
        plan.probe_height = plan.start_height = h.absolute;
    }
}

// The height the link climbs to; false when the contact query failed.
bool link_height(link_plan& plan, const retract_heights& h, const point3& target, const point3& here, float& height)
{
    const float probe = plan.probe_height;
    const point3 from{here[0], here[1], probe - kProbeReach}, to{target[0], target[1], probe + kProbeReach};
    point3 contact{}, normal{0.0f, 0.0f, 1.0f};
    int status = 0;
    surface_query_table().tool_contact_point(from.data(), to.data(), probe, contact.data(), normal.data(), status);
    if (status == kContactFailed) return false;
    if (status != kContactFound || eqpt2(contact.data(), target.data()) != 0) {
        height = plan.start_height;
        if (h.use_absolute && plan.near && eqval(height, h.absolute) != 0) plan.feed = kFeedStored;
        return true;
    }
    const float highest = highest_on_the_way(contact, target, plan.step, plan.start_height);
    const float higher = std::max(target[2], here[2]);
    height = std::max(highest, higher);
    if (!plan.near && plan.w_function) height = on_level_grid(height, linnet_params_block);
    if (!h.use_absolute) {
        if (!plan.near || !ltval(highest, higher)) {
            height += std::max(h.incremental, linnet_params_block.minimum_clearance);
            plan.feed = kFeedStored;
        }
    } else {
        height = std::max(height, h.absolute);
        plan.feed = kFeedStored;
    }
    return true;
}

// A twirl approach replaces the link when the twirl spline was made.
bool twirl_made(const link_plan& plan)
{
    set_mch_change_mode(plan.feed);
    twirl_requested_set(1);
    twirl_made_set(0);
    int status = 0;
    double length = 0.0;
    approach_seams().twirl_spline_show(linnet_params_block.twirl_spline_selector, length, status);
    return status == 0 && twirl_made_get() == 1;
}

// Up to the link height at the current XY and across above P; the twirl words are cleared
// after the first move.
void link_moves(int dimension, const point3& target, const point3& direction, float height, int feed, int& status)
{
    set_mch_change_mode(feed);
    const point3 here = current_position();
    const bool climb = neval(here[2], height) != 0;
    if (climb) {
        move_to(dimension, with_z(here, height), direction, status);
        twirl_flags_reset();
        if (status < 0) return;
    }
    if (eqpt2(here.data(), target.data()) != 0) return;
    move_to(dimension, {target[0], target[1], height}, direction, status);
    if (!climb) twirl_flags_reset();
}

}  // namespace

link_tool_save& link_tool_saved()
{
    static link_tool_save saved;
    return saved;
}

void link_tool_shrink(narrowed_mill& tool)
{
    link_tool_save& s = link_tool_saved();
    if (s.shrunk != 0) return;
    linnet_params& p = linnet_params_block;
    s.offsets[0] = p.surface_offsets[0];
    s.offsets[1] = p.surface_offsets[1];
    tool.narrow(std::max(0.0f, s.diameter - kDiameterShrink), std::max(0.0f, s.corner_radius - kRadiusShrink));
    p.surface_offsets[0] += kOffsetGrowth;
    p.surface_offsets[1] += kOffsetGrowth;
    s.shrunk = 1;
}

void link_tool_restore()
{
    link_tool_save& s = link_tool_saved();
    if (s.shrunk == 0) return;
    linnet_params_block.surface_offsets[0] = s.offsets[0];
    linnet_params_block.surface_offsets[1] = s.offsets[1];
    s.shrunk = 0;
}

void surface_link_move(int dimension, const point3& point, const point3& direction, int& status)
{
    status = 0;
    link_tool_save& saved = link_tool_saved();
    // The tool and the surface offsets go back on every way out, the stop of an execution
    // included; the offsets first, then the tool (the guards unwind in reverse order).
    narrowed_mill tool;
    const give_back restore([] { link_tool_restore(); });
    if (saved.shrunk == 0) {
        saved.diameter = std::max(tool.diameter(), 0.0f);
        saved.corner_radius = std::max(tool.corner(), 0.0f);
        saved.offsets[0] = linnet_params_block.surface_offsets[0];
        saved.offsets[1] = linnet_params_block.surface_offsets[1];
    }
    unsigned mask = kAllSurfaceKinds;
    get_srf_kind_mask(mask);
    const retract_heights h = read_heights();
    const point3 here = current_position();
    const float dx = point[0] - here[0], dy = point[1] - here[1], dz = point[2] - here[2];
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    link_plan plan;
    float height = std::max(point[2], here[2]);
    bool projected = false, moves = true;
    if (eqval0(length) == 0) {
        plan = plan_link(length, nc_function_code());
        link_tool_shrink(tool);
        if (plan.near && plan.w_function && linnet_params_block.approach_type == kTwirlApproach && twirl_made(plan)) {
            moves = false;
        } else {
            plan_heights(plan, h, point, here);
            int switched = 0;
            srf_state_2_to_4(switched);
            projected = true;
            if (!link_height(plan, h, point, here, height)) {
                status = -1;
                moves = false;
            }
        }
    }
    if (moves) {
        height = std::min(height, std::max(h.clearance, h.absolute));
        link_moves(dimension, point, direction, height, plan.feed, status);
    }
    int switched = 0;
    if (projected) srf_state_4_to_2(switched);
    set_srf_kind_mask(mask);
}
