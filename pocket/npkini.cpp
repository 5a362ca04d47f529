// NPKINI: the pocket state and working values of one region from the parameter block and the
// region's contours. The execute callback calls it once per region.
#include "pocket/npkini.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_entr.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/pocket_tool_radius.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>
#include <cmath>

namespace {

using P = drelan_params;

constexpr int kHatching = 1, kLanes = 2;
constexpr int kContourOnly = 3;
constexpr int kEntryPoints = 2;
constexpr int kReversed = 2;
constexpr int kDrawPath = 1;
constexpr int kPlanar = 2;
constexpr int kEntryShift = 10;
constexpr int kOneOffset = 1, kFullPocket = 99;
constexpr double kDegreesToRadians = 3.141592653589793 * 0.005555555555555556;
constexpr double kNoRampAngle = 90.0;
// The clean offset of offset pocketing: three tolerances, at most this.
constexpr double kCleanOffsetMost = 0.01;
constexpr double kCleanOffsetTolerances = 3.0;
// A level count is a small number in practice; the clamp only keeps a wild Z step from
// overflowing the integer.
constexpr double kMostLevels = 1.0e6;

int multi_offset_of(const P& p)
{
    const int method = p.at(P::kMethod), passes = p.at(P::kPasses), option = p.at(P::kOffsetOption);
    if (method == kHatching) return 1;
    return (passes == kContourOnly && option == 2) || (method == kLanes && passes != kContourOnly && option == 1) ? 1
                                                                                                                  : 0;
}

// Offset and taper of contour `id` moved from the reference Z to the top Z along its draft.
void contour_slot(const P& p, int id, int slot)
{
    const contour_table& t = contour_table_block;
    const float draft = t.gathered_draft[static_cast<std::size_t>(id)];
    const double taper = eqval0(draft) ? 0.0 : std::tan(draft * kDegreesToRadians);
    pocket_work_block.taper[slot] = taper;
    pocket_work_block.offsets[slot] = (static_cast<double>(p.real(P::kReferenceZ)) - p.real(P::kTopZ)) * taper +
                                      t.gathered_offset[static_cast<std::size_t>(id)];
}

int level_count_of(const P& p)
{
    const float step = p.real(P::kZStep);
    if (eqval0(step)) return 1;
    const double levels = (static_cast<double>(p.real(P::kTopZ)) - p.real(P::kBottomZ)) / step + 0.9999;
    // A step that does not go down gives no level below the top: one level, never none.
    return static_cast<int>(std::clamp(levels, 1.0, kMostLevels));
}

void fill_state(const P& p, int multi_offset)
{
    pocket_state& s = pocket_state_block;
    const int method = p.at(P::kMethod), passes = p.at(P::kPasses);
    s.multi_offset = multi_offset;
    s.second_stage = method == kHatching ? 0 : p.at(P::kEntryMode) == kEntryPoints ? 1 : 0;
    s.working_tolerance =
        method == kHatching ? 0.0 : std::min(kCleanOffsetTolerances * p.real(P::kTolerance), kCleanOffsetMost);
    const bool reversed = p.at(P::kCutDirection) == kReversed;
    s.direction_sign = (multi_offset != 0) != reversed ? 1 : -1;
    s.single_offset = method == kLanes && passes != kContourOnly && p.at(P::kSingleOffset) == 1 ? 1 : 0;
    s.offsets_mode = method == kHatching || passes == kContourOnly ? kOneOffset : kFullPocket;
    s.z_step = p.real(P::kZStep);
    s.first_level_z = static_cast<double>(p.real(P::kTopZ)) - s.z_step;
    s.final_depth = p.real(P::kBottomZ);
    s.clear_height = p.real(P::kClearHeight);
    s.approach_height = s.clear_height + s.z_step;
    s.level_count = level_count_of(p);
    s.approach_clearance = p.real(P::kApproachValue);
    s.approach_length = p.real(P::kApproachLength);
    s.retract_length = p.real(P::kRetractLength);
    s.approach_kind = p.at(P::kApproachKind);
    s.entry_shift = kEntryShift;
    s.cut_direction = reversed ? -1 : 1;
    s.ramp_angle = p.real(P::kRampAngle);
    s.ramp_flag = neval(p.real(P::kRampAngle), static_cast<float>(kNoRampAngle)) ? 1 : 0;
    s.drawing_mode = kDrawPath;
    s.lead_mode = 0;
    s.pocket_dimension = kPlanar;
}

void fill_work(const P& p)
{
    pocket_work& w = pocket_work_block;
    const bool lanes = p.at(P::kMethod) == kLanes && p.at(P::kPasses) != kContourOnly;
    w.corner_arcs = p.at(P::kLaneOptionA) - 1;
    w.lane_option_b = lanes ? p.at(P::kLaneOptionB) - 1 : 1;
    w.end_point_mode = p.at(P::kStartMode) - 1;
    w.restart_point[0] = p.real(P::kStartPoint);
    w.restart_point[1] = p.real(P::kStartPoint + 1);
    w.restart_point[2] = 0.0;
}

}  // namespace

void NPKINI(int island_count, int* island_ids, int& status)
{
    int entries = 0;
    nc_entr_reset(entries);
    if (island_count > kMostIslands || island_count < 0 || island_ids == nullptr) {
        eroutc("NPKINI, TOO MANY CONTOURS", 0);
        status = -1;
        return;
    }
    const int outer = pocket_words_block.outer_contour;
    const auto in_table = [](int id) { return id >= 1 && id <= kMaxContours; };
    if (!in_table(outer) || !std::all_of(island_ids, island_ids + island_count, in_table)) {
        eroutc("NPKINI, WRONG CONTOUR NUMBER", 0);
        status = -1;
        return;
    }
    status = 0;
    const P& p = drelan_params_current;
    pocket_state& s = pocket_state_block;
    pocket_work& w = pocket_work_block;
    s.reverse_islands = 1;
    const int multi_offset = multi_offset_of(p);
    w.side_step = p.real(P::kSideStep);
    w.tolerance = p.real(P::kTolerance);
    w.extra_offset = 0.0;
    w.lanes_extra_offset = 0.0;
    set_pocket_tool_radius();
    s.surface_flag = 0;
    s.draft_present = contour_table_block.draft_present;
    island_ids[island_count] = outer;
    for (int k = 0; k <= island_count; ++k)
        contour_slot(p, island_ids[k], k == island_count ? kOuterSlot : kIslandSlotBase + k);
    fill_state(p, multi_offset);
    fill_work(p);
}
