// The point mover of surface pockets: the path between the two points is laid over the surfaces
// (the line net, or the stored loops of the pocket entry), joined in front to the tool position
// where the straight way stays in the region, linked to the last path in motion-link mode 1, and
// written through the UP/DOWN buffers. Only a pocket whose surface flag is set comes here.
#include "pocket_lanes/moves/pocket_approach.hpp"

#include "cutter/linnet_touch_point.hpp"
#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/loop_path.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/warn_at_point.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/segment_interpolate.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/region_containment.hpp"
#include "pocket_lanes/moves/string_merge.hpp"
#include "pocket_lanes/moves/twirl_spline.hpp"
#include "surfaces/surface_select_least.hpp"
#include "toolpath/milling_statement.hpp"
#include "toolpath/updown_buffers.hpp"

#include <cmath>
#include <vector>

namespace {

constexpr int kMotionLinkFlag = 1;
constexpr int kPartSurfaces = 0;
constexpr int kRaisedPhase = 1;  // drawing phases above it raise the path
constexpr int kLineNetMode = 1;
constexpr int kPointsOnly = 1;
constexpr int kJoinAtTool = 1;
constexpr int kPointsData = 0;
constexpr int kSurfaceDimension = 3;
constexpr const char* kEntryPointPrefix = "ENTRY POINT:";

using path = std::vector<point3>;

point3 narrowed(const double* p, int dimension)
{
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), dimension == 2 ? 0.0f : static_cast<float>(p[2])};
}

// The path from a to b: the two points when they lie within the link tolerance, else laid over
// the surfaces (along the stored loops when the pocket entry asks for them).
path lay_path(const point3& a, const point3& b, bool along_loops, int& status)
{
    const float tolerance = proc_geometry().curve_approx.link_tolerance;
    path run;
    if (dist2(a.data(), b.data()) > tolerance) {
        std::vector<float> located(3 * kTouchPointsMost, 0.0f);
        int count = 0;
        if (along_loops) {
            std::vector<int> ids(kTouchPointsMost, 0);
            int strings = 0;
            path_along_loop(a.data(), b.data(), tolerance, kTouchPointsMost, located.data(), strings, count, ids.data(),
                            status);
        } else {
            linnet_set_params(kLineNetMode, a.data(), b.data(), 1, tolerance, 0.0f);
            std::vector<int> string_counts(kTouchStringsMost, 0);
            int strings = 0;
            linnet_touch_point(kTouchPartSurfaces, kTouchPointMode, a.data(), b.data(), tolerance, 0.0f, 0.0f,
                               kTouchPointsMost, located.data(), nullptr, nullptr, strings, kTouchStringsMost,
                               string_counts.data(), count, status);
        }
        if (status < 0) return run;
        for (int i = 0; i < count && i < kTouchPointsMost; ++i)
            run.push_back({located[3 * static_cast<std::size_t>(i)], located[3 * static_cast<std::size_t>(i) + 1],
                           located[3 * static_cast<std::size_t>(i) + 2]});
    }
    status = 0;
    if (run.size() < 2) run = {a, b};
    return run;
}

// Puts the approach run in front of the path when the straight way from the tool stays in the
// region; answers whether it did.
bool join_approach(const point3& tool, path& run, bool along_loops)
{
    if (segment_in_region(tool.data(), run.front().data()) != 1) return false;
    int status = 0;
    const path approach = lay_path(tool, run.front(), along_loops, status);
    if (status < 0) return false;
    std::vector<float> first(3 * (run.size() + approach.size()), 0.0f), second(3 * approach.size(), 0.0f);
    for (std::size_t i = 0; i < run.size(); ++i)
        for (std::size_t k = 0; k < 3; ++k) first[3 * i + k] = run[i][k];
    for (std::size_t i = 0; i < approach.size(); ++i)
        for (std::size_t k = 0; k < 3; ++k) second[3 * i + k] = approach[i][k];
    int first_counts[2] = {static_cast<int>(run.size()), 0};
    int second_counts[1] = {static_cast<int>(approach.size())};
    point_string_set a, b;
    a.points = first.data();
    a.counts = first_counts;
    a.string_count = 1;
    a.point_capacity = static_cast<int>(first.size());
    a.string_capacity = 2;
    b.points = second.data();
    b.counts = second_counts;
    b.string_count = 1;
    b.point_capacity = static_cast<int>(second.size());
    b.string_capacity = 1;
    MRGGST(kJoinAtTool, kPointsData, a, b, status);
    if (status != 0) return false;
    path merged;
    int total = 0;
    for (int s = 0; s < a.string_count && s < 2; ++s) total += first_counts[s];
    for (int i = 0; i < total && 3 * static_cast<std::size_t>(i) + 2 < first.size(); ++i)
        merged.push_back({first[3 * static_cast<std::size_t>(i)], first[3 * static_cast<std::size_t>(i) + 1],
                          first[3 * static_cast<std::size_t>(i) + 2]});
    run = merged;
    return true;
}

// A link point at p with the direction from tail to head.
link_point link_at(const point3& p, const point3& tail, const point3& head)
{
    link_point l;
    for (std::size_t k = 0; k < 3; ++k) {
        l.point[k] = p[k];
        l.direction[k] = static_cast<double>(head[k]) - tail[k];
    }
    return l;
}

}  // namespace

void entry_point_srf(int kind, int dimension, const double* from, const double* to, int& status)
{
    status = 0;
    int entry_value = 0, entry_param = 0, phase = 0, surfaces = 0, select_status = 0;
    pk_entry_value_gs(1, entry_value);
    pk_entry_param_gs(1, entry_param);
    pk_draw_phase_get(phase);
    nc_surf_select_buf(kSurfaceCountGet, kPartSurfaces, surfaces, select_status);
    const bool along_loops = entry_value != 0 && entry_param != 0;
    const point3 a = narrowed(from, dimension), b = narrowed(to, dimension);
    path run = lay_path(a, b, along_loops, status);
    if (status < 0) return;

    const curve_approx_words& ca = proc_geometry().curve_approx;
    pocket_link_words& links = pocket_links();
    point_mover_words& w = point_mover();
    int move_kind = kind;
    if (ca.motion_link_mode == kMotionLinkFlag) {
        if (links.link != 0) {
            links.to = link_at(run.front(), run.front(), run.size() > 1 ? run[1] : run.front());
            links.to_kept = 1;
        } else {
            reset_work_flags();
        }
        move_kind = kApproachFeed;
    } else {
        if (phase > kRaisedPhase)
            for (point3& p : run) p[2] += 2.0f * ca.link_tolerance;
        float shift = 0.0f;
        get_motion_zshift(shift);
        const point3 tool = DSP8().position();
        const point3 start = {run.front()[0], run.front()[1], run.front()[2] + shift};
        if (eqpt3(tool.data(), start.data()) != 0) {
            move_kind = kApproachFeed;
        } else if (eqpt2(tool.data(), start.data()) != 0) {
            move_kind = kApproachFull;
        } else if ((dist2(tool.data(), start.data()) > 4.0 * pocket_work_block.tool_radius || w.level_drawn != 0) &&
                   join_approach(tool, run, along_loops)) {
            move_kind = kApproachFeed;
        }
    }
    if (dimension == kSurfaceDimension) {
        const double da[3] = {from[0], from[1], from[2]}, db[3] = {to[0], to[1], to[2]};
        for (point3& p : run) {
            const double xy[2] = {p[0], p[1]};
            double z = 0.0;
            int vertical = 0;
            segment_interpolate_d(da, db, nullptr, nullptr, xy, z, nullptr, vertical);
            p[2] = static_cast<float>(z);
        }
    }
    if (ca.motion_link_mode == kMotionLinkFlag && links.from_kept != 0 && links.to_kept != 0)
        twirl_spline_points(links);

    const std::vector<point3> directions(run.size(), point3{0.0f, 0.0f, 1.0f});
    const int counts[1] = {static_cast<int>(run.size())};
    milling_statement statement;
    statement.dimension = kPointsOnly;
    statement.approach = move_kind == kApproachFull ? 1 : 0;
    statement.points = run.data();
    statement.directions = directions.data();
    statement.strings = 1;
    statement.counts = counts;
    updown_motion(statement, status);
    if (status < 0) return;
    if (ca.motion_link_mode == kMotionLinkFlag) {
        links.from = link_at(run.back(), run.size() > 1 ? run[run.size() - 2] : run.back(), run.back());
        links.from_kept = 1;
        links.link_source = 1;
    }
    if (w.entry_pending != 0) {
        warn_at_point(kEntryPointPrefix, run.front().data(), "");
        w.entry_pending = 0;
        int cleared = 0;
        entpnt_flag_gs(2, cleared);
        set_exec_disp_mode(kExecDisplayNormal);
    }
    w.level_drawn = 1;
    status = 0;
}
