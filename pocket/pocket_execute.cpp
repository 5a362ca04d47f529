// The execute callback of the pocket: the regions in cutting order, each prepared (NPKINI, the
// pocket arrays) and cut level by level from the top Z down to the final depth by offset lanes or
// hatch lines, optionally followed by a pass along the contours; then the engine's memory is
// released, also in clean-up mode after an interrupt. Reads and writes drelan_params_current
// (code 30 during the run, code 221), pocket_state and pocket_work; sets machining_type().
#include "pocket/pocket_callbacks.hpp"

#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/contour_crossings.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/n0_lvls.hpp"
#include "pocket/npkini.hpp"
#include "pocket/param_limits.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket/region_table.hpp"
#include "pocket_arrays/loop_tree.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "surfaces/nuv_pairs.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_to_current_pos.hpp"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using P = drelan_params;

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kRun = 1;
constexpr int kHatching = 1, kLanes = 2;
constexpr int kPocketOnly = 1, kPocketAndContour = 2, kContourOnly = 3;
constexpr int kNoEntryPoints = 1, kEntryPoints = 2;
constexpr int kHatchMachiningType = 1, kLanesMachiningType = 9;
constexpr int kNotCleared = 17;
constexpr int kNoEntryFound = -1;
constexpr int kOneOffset = 1, kContourPassLanes = -11;
constexpr int kOpenStart = 2;
constexpr int kPointsOnly = 1;
constexpr int kRapid = 4;
// The marker pair of a region: 1 opens, 2 closes, bracket id 1.
constexpr int kRegionMarker = 1;
// clrcls closes the clearing point list's array.
constexpr int kCloseHatch = 1;

// What one run carries from region to region.
struct execute_run {
    int saved_entry_mode = kNoEntryPoints;  // code 30 on entry, given back at the end
    int per_level_lanes = 0;                // 1: the lanes are computed at every level
    std::array<int, kRegionContoursMax + 1> first_curves{};
};

// The region being cut.
struct region_run {
    int number = 0;
    int outer = 0;
    int island_count = 0;
    std::vector<int> islands = std::vector<int>(kRegionContoursMax + 1, 0);
    int first_pass = 1;
    int hatch_cleared = 0;  // the clearing point list was released: the next level rebuilds it
    int kept_ramp_flag = 0;
    int marker_open = 0;
    double previous_z = 0.0;
};

P& params() { return drelan_params_current; }

// The offset slots a region uses: the outer contour and one per island.
template <class Change> void for_each_slot(const region_run& r, Change change)
{
    change(pocket_work_block.offsets[kOuterSlot], pocket_work_block.taper[kOuterSlot]);
    for (int k = 0; k < r.island_count; ++k)
        change(pocket_work_block.offsets[kIslandSlotBase + k], pocket_work_block.taper[kIslandSlotBase + k]);
}

int per_level_lanes_of(const P& p)
{
    if (p.at(P::kLeadMode) != 1) return 1;
    return p.at(P::kPasses) == kPocketAndContour && (p.at(P::kMethod) == kLanes || p.real(P::kExtraOffset) != 0.0f) ? 1
                                                                                                                    : 0;
}

// The lanes of the region, with the extra offset of code 225 added to every offset for the time
// of the computation (kept in pocket_work.lanes_extra_offset for the drawing). Status kFailed for
// a failed or impossible computation.
void compute_lanes(const region_run& r, int& status)
{
    const P& p = params();
    const double extra = p.real(P::kExtraOffset);
    const bool with_extra = extra != 0.0 && p.at(P::kPasses) != kContourOnly;
    if (with_extra) for_each_slot(r, [extra](double& offset, double) { offset += extra; });
    pocket_work_block.lanes_extra_offset = with_extra ? extra : 0.0;
    pocket_engine().cmtpk_clean(0, status);
    if (with_extra) for_each_slot(r, [extra](double& offset, double) { offset -= extra; });
    if (status < 0 || status == kNotCleared) status = kFailed;
}

// The entry point of the region: from the start of the path (offset lanes) or the region's
// reference point, the nearest entry point inside the region decides the entry mode.
void search_entry(region_run& r, int& status)
{
    P& p = params();
    pocket_state& s = pocket_state_block;
    const bool lanes = p.at(P::kMethod) == kLanes;
    if (lanes)
        pocket_engine().drawpk_find_start(status);
    else
        region_ref_point(r.number, s.region_ref_point);
    if (status < 0) return;
    const double* reference = lanes ? s.path_start : s.region_ref_point;
    double found[3] = {0.0, 0.0, 0.0};
    int result = 0;
    get_entry_point_polg(p.at(P::kEntrySearch), r.outer, r.island_count, r.islands.data(), reference, found, result);
    if (result == kNoEntryFound) {
        p.at(P::kEntryMode) = kNoEntryPoints;
        s.second_stage = 0;
        return;
    }
    std::copy(found, found + 3, s.entry_data);
    p.at(P::kEntryMode) = kEntryPoints;
    s.second_stage = 1;
    if (result == kGoOn) s.entry_found = 1;
}

// The pass along the contours after the pocket of a level.
void contour_pass(const region_run& r, const execute_run& run, int& status)
{
    P& p = params();
    pocket_state& s = pocket_state_block;
    const int offsets_mode = s.offsets_mode;
    s.ramp_flag = 0;
    if (run.per_level_lanes) {
        s.offsets_mode = p.at(P::kLeadMode) == 1 ? kOneOffset : kContourPassLanes;
        compute_lanes(r, status);
    }
    if (status == kGoOn) {
        p.at(P::kEntryMode) = kNoEntryPoints;
        s.lead_mode = p.at(P::kLeadMode) - 1;
        s.offsets_mode = kOneOffset;
        pocket_engine().drawpk(0, 0, status);
    }
    s.lead_mode = 0;
    s.ramp_flag = r.kept_ramp_flag;
    // The pocket lanes of the next level are computed with the region's own offsets mode.
    s.offsets_mode = offsets_mode;
}

// One level: offsets moved along the drafts, lanes, entry search, hatch build, the cut and the
// contour pass. Status 0, or the failure that ends the region (marker failures: marker_failed).
void cut_level(region_run& r, const execute_run& run, int& status, bool& marker_failed)
{
    P& p = params();
    pocket_state& s = pocket_state_block;
    const int method = p.at(P::kMethod), passes = p.at(P::kPasses);
    const bool first_level = s.level_counter == 1;
    if (r.first_pass) {
        const double drop = r.previous_z - s.current_z;
        for_each_slot(r, [drop](double& offset, double taper) { offset += drop * taper; });
    }
    r.previous_z = s.current_z;
    if (r.first_pass || run.per_level_lanes) {
        if (first_level) s.second_stage = run.saved_entry_mode != kNoEntryPoints ? 1 : 0;
        compute_lanes(r, status);
        if (status != kGoOn) return;
    }
    const bool search = first_level && run.saved_entry_mode != kNoEntryPoints;
    if (search) search_entry(r, status);
    if (status < 0) return;
    if (method == kHatching && (r.first_pass || search || r.hatch_cleared)) {
        pocket_engine().tkpolg(p.real(P::kHatchAngle), p.real(P::kHatchAngle2), p.at(P::kHatchSign),
                               p.at(P::kHatchLink), p.at(P::kHatchOption), status);
        if (status < 0) return;
        r.hatch_cleared = 0;
    }
    r.first_pass = s.draft_present;
    if (first_level) {
        tp_mrkr_write(kMarkerOpen, kRegionMarker, kMarkerOpen, 0.0f, 0, status);
        if (status < 0) {
            marker_failed = true;
            return;
        }
        r.marker_open = 1;
    }
    if (passes != kContourOnly) {
        if (method == kHatching) {
            pocket_engine().clear_passes_out(p.real(P::kHatchAngle), p.real(P::kClearHeight), passes, status);
            if (status >= 0 && (s.draft_present || run.per_level_lanes)) {
                pocket_engine().clrcls(kCloseHatch, status);
                r.hatch_cleared = 1;
            }
        } else {
            pocket_engine().drawpk(0, 0, status);
        }
        if (status < 0) return;
    }
    if (passes != kPocketOnly) contour_pass(r, run, status);
}

// The whole region; status 0 or its first failure. marker_failed stops the run.
void cut_region(region_run& r, const execute_run& run, int& status, bool& marker_failed)
{
    pocket_state& s = pocket_state_block;
    region_contours(r.number, r.outer, r.island_count, r.islands.data());
    pocket_words_block.outer_contour = r.outer;
    NPKINI(r.island_count, r.islands.data(), status);
    if (status < 0) return;
    r.kept_ramp_flag = s.ramp_flag;

    const contour_table& t = contour_table_block;
    const int numbers = std::clamp(t.gathered_count, 0, kMaxContours) + 1;
    std::vector<int> types(static_cast<std::size_t>(numbers), 0), sets(static_cast<std::size_t>(numbers), 0);
    for (int j = 1; j < numbers; ++j) {
        types[static_cast<std::size_t>(j)] = t.gathered_part_stock[static_cast<std::size_t>(j)];
        const int entry = run.first_curves[static_cast<std::size_t>(j - 1)];
        if (entry >= 0 && entry < contour_entries())
            sets[static_cast<std::size_t>(j)] =
                contour_buffers_block.gathered[static_cast<std::size_t>(kChainEntryWords * entry)];
    }
    pocket_prepare(r.outer, r.island_count, r.islands.data(), {types.data(), sets.data(), numbers}, status);
    if (status < 0) return;

    s.current_z = s.first_level_z;
    r.previous_z = params().real(P::kTopZ);
    s.level_counter = 1;
    r.first_pass = 1;
    for (;;) {
        cut_level(r, run, status, marker_failed);
        if (status != kGoOn) return;
        if (pocket_work_block.end_point_mode == kOpenStart) pocket_work_block.end_point_mode = 0;
        if (++s.level_counter > s.level_count) return;
        s.current_z = s.level_counter == s.level_count ? s.final_depth : s.current_z - s.z_step;
    }
}

// End of a region: the ramp flag back, the marker closed, the hatch state cleared.
void end_region(const region_run& r, int& status, bool& marker_failed)
{
    pocket_state_block.ramp_flag = r.kept_ramp_flag;
    if (r.marker_open) {
        int closed = 0;
        tp_mrkr_write(kMarkerClose, kRegionMarker, kMarkerClose, 0.0f, 0, closed);
        if (closed < 0) {
            marker_failed = true;
            if (status == kGoOn) status = closed;
        }
    }
    int cleared = 0;
    pocket_engine().clrcls(kCloseHatch, cleared);
}

// From the second region on the tool leaves the region it has finished as a link leaves a chain:
// move_to_current_pos takes it up to the clearance plane when the plane is on. With the plane off
// it would stand at the region's last level, and the next region's first approach may cross from
// there at that height through the material between the regions: it climbs straight up to the
// height at which the entries come in above the first level (reads pocket_state.first_level_z
// and approach_height, HEI8's clearance-plane flag, DSP8). Status 0 or the motion output's.
void leave_region(int& status)
{
    move_to_current_pos(kPointsOnly, status);
    if (status != kGoOn || HEI8().at(heights_state::kClearancePlane) != 0) return;
    const pocket_state& s = pocket_state_block;
    const point3 tool = DSP8().position();
    const float link = static_cast<float>(s.first_level_z + s.approach_height);
    if (tool[2] >= link) return;
    set_mch_change_mode(kRapid);
    PLINE_entry(kPointsOnly, {tool[0], tool[1], link}, kDefaultDirection, status);
}

void run_regions(int& status)
{
    P& p = params();
    nuv_reset();
    machining_type() = p.at(P::kMethod) == kHatching ? kHatchMachiningType : kLanesMachiningType;
    if (p.at(P::kMethod) != kLanes && p.at(P::kRegionOrder) == kOrderNone) p.at(P::kRegionOrder) = kOrderKeep;
    region_order(p.at(P::kRegionOrder));
    if (p.at(P::kRegionOrder) == kOrderKeep) p.at(P::kRegionOrder) = kOrderNone;
    execute_run run;
    contour_first_curves_copy(run.first_curves.data());
    run.saved_entry_mode = p.at(P::kEntryMode);
    run.per_level_lanes = per_level_lanes_of(p);

    const int regions = std::min(p.at(P::kRegionCount), region_count());
    bool marker_failed = false;
    for (int i = 1; i <= regions && !marker_failed; ++i) {
        if (i > 1) {
            int moved = 0;
            leave_region(moved);
            if (moved != kGoOn) continue;
        }
        region_run r;
        r.number = i;
        int region_status = kGoOn;
        cut_region(r, run, region_status, marker_failed);
        end_region(r, region_status, marker_failed);
        // The first failing region decides the run's status; the later ones still run.
        if (status == kGoOn && region_status < 0) status = region_status;
    }
    if (!marker_failed) {
        int moved = 0;
        move_to_current_pos(kPointsOnly, moved);
    }
    p.at(P::kEntryMode) = run.saved_entry_mode;
}

// The releases that end every call; the first failure becomes the status unless one came before.
void release_engine(int& status)
{
    const auto keep = [&status](int released) {
        if (status == kGoOn && released < 0) status = released;
    };
    int released = 0;
    pocket_engine().clrcls(kCloseHatch, released);
    keep(released);
    if (loop_table_block.handle >= 0 || node_arrays_block.handle >= 0 || node_arrays_block.copy_handle >= 0) {
        release_loop(released);
        keep(released);
        node_release(released);
        keep(released);
        copy_node_release(released);
        keep(released);
    }
    n0_lvls_release(released);
    keep(released);
    nc_entr_rel(released);
    keep(released);
    elnuv(released);
    keep(released);
    pkdm_rel_all();
}

}  // namespace

void execute_drelan(int& mode, int& status)
{
    status = kGoOn;
    if (mode == kRun) {
        // A block whose values lie beyond the page's limits is not cut with, nor contours that
        // cross: both are refused before anything is cut.
        param_limits_check(status);
        if (status == kGoOn) contour_crossings_check(status);
        if (status == kGoOn) run_regions(status);
    } else {
        params().at(P::kEntryMode) = kNoEntryPoints;
    }
    release_engine(status);
}
