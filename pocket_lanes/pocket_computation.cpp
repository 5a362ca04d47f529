// The pocket computation driver: the options saved and put back round the cleaning passes and
// the touch-point run, the sizing of the main arrays and the retries of the lane engine, the one
// message per engine code, and the computation for other callers.
#include "pocket_lanes/pocket_computation.hpp"

#include "cutter/touch_point_flags.hpp"
#include "host/vantu.hpp"
#include "nc_services/coord_in_display_units.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/clean_region.hpp"
#include "pocket/contour_box.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/pocket_driver_setup.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_engine.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

pocket_run_words pocket_run_block;

namespace {

constexpr int kFailed = -1;
constexpr int kRegionRefused = 2;
constexpr int kPlanar = 2;
constexpr int kOneOffset = 1;
constexpr int kOpenContour = 3;
constexpr int kEndPointRequired = 1, kEndPointWanted = 2;
constexpr int kOuterLeftOut = 10, kFinalOnly = 20;
constexpr int kTouchMachining = 13;
// Polygon buffers of the clean region: the first pass and the touch-point run.
constexpr int kTouchRegionBuffer = 1, kFirstPassBuffer = 5;
constexpr int kCurrentBuffer = 1, kSelectBuffer = 2;
// The size estimate: 12 entries per contour and step across the pocket, rounded up to a power
// of ten; an offsets-mode-1 pocket needs 10 per contour.
constexpr double kEntriesPerStep = 12.0;
constexpr std::int64_t kOneOffsetEntries = 10;
constexpr std::int64_t kContourShare = 100, kContourFloor = 4;
constexpr std::int64_t kRetryGrowth = 4;
constexpr int kFirstOutputUnset = 50000;
constexpr int kCallerPointLimit = 7000;
constexpr int kPathTooLong = -11;
// Host messages of a pocket too small for a caller's minimum value.
constexpr int kPocketMessages = 331, kTooSmallAtZ = 41, kTooSmallOneOffset = 50;

int pocket_mode() { return pocket_mode_word; }

// The options the computation changes and puts back. Of the offsets table only the slots
// offsets_plus moves are kept: nothing else writes the table while the computation runs (the
// engine works on its own copy), so putting those slots back restores the whole table without
// copying its 26,667 values three times a call.
struct saved_options {
    int dimension, multi_offset, end_point_mode, direction_sign, offsets_mode;
    double minimum_value, clean_offset;

    saved_options()
    {
        const pocket_state& s = pocket_state_block;
        const pocket_work& w = pocket_work_block;
        dimension = s.pocket_dimension;
        multi_offset = s.multi_offset;
        end_point_mode = w.end_point_mode;
        direction_sign = s.direction_sign;
        offsets_mode = s.offsets_mode;
        minimum_value = s.minimum_value;
        clean_offset = s.working_tolerance;
    }
    void put_back() const
    {
        pocket_state& s = pocket_state_block;
        pocket_work& w = pocket_work_block;
        s.pocket_dimension = dimension;
        s.multi_offset = multi_offset;
        w.end_point_mode = end_point_mode;
        s.direction_sign = direction_sign;
        s.offsets_mode = offsets_mode;
        s.minimum_value = minimum_value;
        s.working_tolerance = clean_offset;
        put_back_offsets();
    }
    // The contours' offsets by level moved by `add` (the outer contour's only with `outer`),
    // from the saved values.
    void offsets_plus(double add, bool outer) const
    {
        put_back_offsets();
        pocket_work& w = pocket_work_block;
        const int islands = std::clamp(pkcont_tables_block.count - 1, 0, kOffsetSlots - kIslandLevelBase);
        moved_outer = w.offsets[kOuterSlot];
        moved_islands.assign(w.offsets + kIslandLevelBase + 1, w.offsets + kIslandLevelBase + 1 + islands);
        if (outer) w.offsets[kOuterSlot] += add;
        for (int k = 1; k <= islands; ++k) w.offsets[kIslandLevelBase + k] += add;
        moved = true;
    }

private:
    // The slots offsets_plus moved, with their saved values.
    mutable bool moved = false;
    mutable double moved_outer = 0.0;
    mutable std::vector<double> moved_islands;
    void put_back_offsets() const
    {
        if (!moved) return;
        pocket_work& w = pocket_work_block;
        w.offsets[kOuterSlot] = moved_outer;
        std::copy(moved_islands.begin(), moved_islands.end(), w.offsets + kIslandLevelBase + 1);
        moved = false;
    }
};

// The single-offset options of the touch-point run and the cleaning passes.
void single_offset_options()
{
    pocket_state& s = pocket_state_block;
    s.direction_sign = -s.direction_sign;
    s.multi_offset = 1;
    s.offsets_mode = kOneOffset;
    pocket_work_block.end_point_mode = 0;
}

void region_not_cleaned()
{
    if (pocket_mode() == 0) userrc("THE CONTOURS AREA CAN NOT BE CLEANED WITH THESE OFFSETS AND RADIUS PARAMETERS");
}

// The clean region into polygon buffer `buffer` (-1: the current one).
void clean_region_into(int buffer, int& status)
{
    const float offset = static_cast<float>(pocket_state_block.working_tolerance);
    if (buffer < 0) {
        build_clean_region(offset, status);
        return;
    }
    int previous = 0;
    polbuf_select(kCurrentBuffer, previous, status);
    if (status != 0) return;
    int chosen = buffer;
    polbuf_select(kSelectBuffer, chosen, status);
    if (status != 0) return;
    build_clean_region(offset, status);
    int back = 0;
    polbuf_select(kSelectBuffer, previous, back);
    if (status == 0 && back != 0) status = back;
}

// The touch-point run: one offset widened by the extra offset, then its region.
void touch_point_run(const saved_options& saved, int& status)
{
    single_offset_options();
    saved.offsets_plus(pocket_work_block.extra_offset, true);
    cmtpk1(0, status);
    saved.put_back();
    pocket_state_block.pocket_dimension = kPlanar;
    if (status == kEngineNoLane) return;
    if (status != 0 && status != kEngineEndPointNote) {
        status = kFailed;
        return;
    }
    clean_region_into(kTouchRegionBuffer, status);
    if (status < 0 || status == kRegionRefused) return;
    if (status == 1) {
        region_not_cleaned();
        status = kEngineNoLane;
        return;
    }
    status = 0;
}

bool cleaning_wanted(bool outer_left_out)
{
    const pocket_state& s = pocket_state_block;
    int check = 0;
    get_contour_check_flag(check);
    return (check == 1 && (s.offset_method[0] != 0 || s.offset_method[1] != 0)) || s.ramp_flag != 0 ||
           machining_type() == kTouchMachining || outer_left_out;
}

// The cleaning passes; answers true when the final computation follows.
bool cleaning_passes(const saved_options& saved, bool outer_left_out, int& status)
{
    pocket_state& s = pocket_state_block;
    bool extra_pass = false;
    for (int cycle = 0; cycle < 2; ++cycle) {
        single_offset_options();
        s.minimum_value = 0.0;
        bool new_cycle = false;
        for (int p = 0; !new_cycle; ++p) {
            if (p > 1) {
                const double clean_offset = s.working_tolerance;
                saved.put_back();
                s.pocket_dimension = kPlanar;
                s.working_tolerance = clean_offset;
                return status != kRegionRefused;
            }
            if (extra_pass && p == 0) ++p;
            if (p > 0) {
                saved.offsets_plus(s.working_tolerance, !outer_left_out);
                s.minimum_value = saved.minimum_value;
            }
            cmtpk1(0, status);
            if (status == kEngineNoLane) {
                if (extra_pass || p == 0) return false;
                s.working_tolerance = 0.0;
                extra_pass = new_cycle = true;
                continue;
            }
            if (status != 0 && status != kEngineEndPointNote) {
                status = kFailed;
                return false;
            }
            clean_region_into(p == 0 ? kFirstPassBuffer : -1, status);
            if (status < 0) return false;
            if (status == 1) {
                if (extra_pass || p == 0) {
                    region_not_cleaned();
                    status = kEngineNoLane;
                    return false;
                }
                s.working_tolerance = 0.0;
                extra_pass = new_cycle = true;
            }
        }
    }
    return true;
}

}  // namespace

std::int64_t cmtpk1_size_estimate(int contours, int contour_points)
{
    const pocket_state& s = pocket_state_block;
    const pocket_work& w = pocket_work_block;
    const std::int64_t limit = pokmain_size_limit();
    const std::int64_t n = contours;
    std::int64_t size = pocket_box_block.main_size;
    if (s.offsets_mode == kOneOffset) {
        std::int64_t one = n * kOneOffsetEntries;
        if (s.pocket_dimension != kPlanar && w.extra_offset > 0.0)
            one = static_cast<std::int64_t>(std::min(
                static_cast<double>(limit), pocket_frame_block.size / w.extra_offset * static_cast<double>(one)));
        size = std::max(size, one);
    } else {
        double e = pocket_frame_block.size / w.side_step * static_cast<double>(n) * kEntriesPerStep;
        std::int64_t power = 10;
        while (e > 10.0 && power < limit) {
            e *= 0.1;
            power *= 10;
        }
        size = std::max(size, power);
    }
    const std::int64_t points = contour_points;
    if (size < points) size = kContourShare * points;
    if (size < kContourFloor * points) size = kContourFloor * points;
    return std::clamp<std::int64_t>(size, 1, limit);
}

namespace {

// The contour rows into the first lanes, and the counts of the lane table and the pocket box.
void lanes_from_contours(int rows)
{
    const pkcont_tables& t = pkcont_tables_block;
    lane_table& lt = lane_table_block;
    int closed = 0;
    for (int i = 1; i <= rows && i <= kLaneRows; ++i) {
        lt.level[i] = t.level[i];
        lt.status[i] = t.status[i];
        lt.first[i] = t.first[i];
        lt.parent[i] = t.parent[i];
        lt.contour_type[i] = t.type[i];
        if (i < rows && t.type[i] != kOpenContour) ++closed;
    }
    lt.count = closed;
    lt.island_count = std::max(0, closed - 1);
    pocket_box_block.island_count = lt.island_count;
    lt.stock_islands = t.stock_islands;
    lt.outer_type = t.outer_type;
    pocket_box_block.first_output_lane = kFirstOutputUnset;
}

void report_too_small()
{
    pocket_run_words& r = pocket_run_block;
    if (r.too_small_reported != 0) return;
    r.too_small_reported = 1;
    const pocket_state& s = pocket_state_block;
    if (IsNcDebug() != 0 && pocket_mode() == 0) {
        eroutc("[cmtpk1] POCKET IS TOO SMALL", 0);
    } else if (s.minimum_value <= 0.0) {
        if (pocket_mode() == 0) userrc("WARNING: POCKET WAS TOO SMALL TO BE CALCULATED");
    } else {
        const double z[] = {coord_in_display_units(2, static_cast<float>(s.current_z))};
        msg_mdls(kPocketMessages, r.saved_offsets_mode == kOneOffset ? kTooSmallOneOffset : kTooSmallAtZ, {}, z);
    }
}

// The one message of an engine code; the status it leaves.
int report(int code)
{
    const bool procedure = pocket_mode() == 0;
    switch (code) {
    case kEngineTooManyPoints:
    case kEngineWorkTables: eroutc("[cmtpk1] TOO MANY POINTS IN POCKET", 0); break;
    case kEngineIslandPoints: eroutc("[cmtpk1] TOO MANY POINTS IN ISLAND", 0); break;
    case kEngineTableFull: eroutc("[cmtpk1] TOO MANY LOOPS", 0); break;
    case kEngineArrayFailed: eroutc("[cmtpk1] TOO MANY POINTS IN LOOP COMPUTATION", 0); break;
    case 12:
        if (procedure) userrc("CANNOT HANDLE GIVEN END POINT");
        break;
    case kEngineEndLoopSmall:
        if (procedure) eroutc("[cmtpk1] END LOOP TOO SMALL", 0);
        break;
    case kEngineOuterInIsland:
        if (procedure) userrc("THE POCKET OUTER CONTOUR CONTAINED WITHIN THE ISLAND CONTOUR");
        return kEngineNoLane;
    case kEngineDegenerate:
        if (procedure) eroutc("[cmtpk1] DEGENRATED POCKET-CONTOUR CONTAINS 3 POINTS ONLY.", 0);
        break;
    case kEngineNoLane: report_too_small(); break;
    case 18: eroutc("[cmtpk1] UNABLE TO DO 3D OFFSET - SURFACES DO NOT COVER INITIAL CONTOUR", 0); break;
    case 19: eroutc("[cmtpk1] UNABLE TO DO 3D OFFSET - HOLES IN SURFACES", 0); break;
    case 20: eroutc("[cmtpk1] UNABLE TO DO 3D OFFSET - OFFSET DIRECTION IS NORMAL TO SURFACE", 0); break;
    case kEngineNoGrid: eroutc("[cmtpk1] UNABLE TO MAP 3D REGION", 0); break;
    case kEngineCannotLink: eroutc("[cmtpk1] CANNOT MOVE BETWEEN LOOPS", 0); break;
    case kEngineUncovered: break;  // the lane loop has said which part is left
    default:
        // A negative code comes from a routine that has said on the error channel why it failed.
        if (code > 0) erou1c("[cmtpk1] CMTPKT ERROR ", code);
        break;
    }
    return code;
}

void empty_path(int& path_count, int* string_points)
{
    if (string_points != nullptr && path_count > 0) string_points[0] = 0;
    path_count = 0;
}

}  // namespace

lane_engine_run& pocket_lane_engine()
{
    static lane_engine_run engine = rrpock;
    return engine;
}

void cmtpk1(int mode, int& status)
{
    static_cast<void>(mode);
    status = 0;
    pocket_state& s = pocket_state_block;
    pocket_work& w = pocket_work_block;
    const pkcont_tables& t = pkcont_tables_block;
    const int rows = std::clamp(t.count + 1, 1, kContourRows);
    const int contour_points = std::max(0, t.first[rows] - 1);
    s.island_link = 0;
    if (w.side_step == 0.0) w.side_step = w.tolerance;
    std::int64_t size = cmtpk1_size_estimate(rows, contour_points);
    for (int retry = 1;; ++retry) {
        const double minimum = s.minimum_value;
        const int second_stage = s.second_stage != 0 ? 1 : 0;
        pkdm_rel_all();
        POKCPY(static_cast<int>(size), retry, contour_points, status);
        if (status != 0) return;
        pocket_box_block.main_size = pokmain_block.main_capacity;
        pocket_box_block.half_size = static_cast<int>(size / 2);
        lanes_from_contours(rows);
        pocket_lane_engine()(w.extra_offset, w.offsets, w.side_step, s.offsets_mode, s.direction_sign, second_stage,
                             w.tolerance, minimum, status);
        if (status == 0 || status == kEngineEndPointNote) return;
        if (status == kEngineArraysSmall) {
            size = std::min<std::int64_t>(size * kRetryGrowth, pokmain_size_limit());
            continue;
        }
        if (status == kEngineEndPoint) {
            if (w.end_point_mode == kEndPointWanted) {
                status = 0;
                w.end_point_mode = 0;
                continue;
            }
            if (w.end_point_mode == kEndPointRequired && pocket_mode() == 0) userrc("ILLEGAL END POINT FOR POCKET");
            return;
        }
        status = report(status);
        return;
    }
}

void cmtpk_clean(int mode, int& status)
{
    status = 0;
    const saved_options saved;
    give_back put_back([&saved] { saved.put_back(); });
    pocket_run_block.saved_offsets_mode = saved.offsets_mode;
    pocket_run_block.too_small_reported = 0;
    pocket_state_block.pocket_dimension = kPlanar;
    const bool final_only = mode >= kFinalOnly;
    const bool outer_left_out = mode >= kOuterLeftOut && mode < kFinalOnly;
    pocket_mode_word = final_only ? mode - kFinalOnly : outer_left_out ? mode - kOuterLeftOut : mode;

    if (touch_point_flag_get(kTouchPointTemporary) != 0) {
        touch_point_run(saved, status);
        if (status != 0) return;
    }
    if (!final_only && cleaning_wanted(outer_left_out)) {
        if (!cleaning_passes(saved, outer_left_out, status)) return;
        if (status == kRegionRefused) return;
    }
    const double clean_offset = pocket_state_block.working_tolerance;
    saved.put_back();
    pocket_state_block.working_tolerance = clean_offset;
    cmtpk1(mode, status);
    if (status != 0 && status != kEngineNoLane && status != kEngineEndPointNote) status = kFailed;
}

void pocket_run_for_caller_n(int direction_switch, int minimum_flag, float minimum_value, float tolerance,
                             int contour_count, const int* point_counts, const float* points, const float* offsets,
                             int& path_count, int* string_points, float* path, int point_limit, int& status)
{
    status = 0;
    if (pokmain_block.main_capacity > 0) {
        eroutc("pocket_run_for_caller, POCKET ARRAYS IN USE", 0);
        empty_path(path_count, string_points);
        status = kFailed;
        return;
    }
    if (contour_count < 1 || contour_count > kContourMax || point_counts == nullptr || points == nullptr) {
        empty_path(path_count, string_points);
        status = kFailed;
        return;
    }
    save_restore_pocket(1);
    give_back restore([] {
        save_restore_pocket(2);
        pkdm_rel_all();
        int released = 0;
        POKREL(1, released);
    });
    init_pocket_globals(direction_switch, minimum_flag, minimum_value, tolerance, contour_count, offsets, status);
    long first_point = 0;
    for (int k = 0; k < contour_count && status == 0; ++k) {
        contour_box(k == 0 ? 1 : 0, point_counts[k], points + 2 * first_point, status);
        first_point += std::max(0, point_counts[k]);
    }
    if (status != 0) {
        empty_path(path_count, string_points);
        status = kFailed;
        return;
    }
    constexpr int kCallerFinal = kFinalOnly + 1;
    cmtpk_clean(kCallerFinal, status);
    if (status == 0 || status == kEngineEndPointNote) {
        pocket_path_collect(tolerance, point_limit, path, path_count, string_points, status);
        if (status > 0) {
            empty_path(path_count, string_points);
            status = 0;
        }
        return;
    }
    empty_path(path_count, string_points);
    status = status == kEngineNoLane ? 0 : kFailed;
}

void pocket_run_for_caller(int direction_switch, int minimum_flag, float minimum_value, float tolerance,
                           int contour_count, const int* point_counts, const float* points, const float* offsets,
                           int& path_count, int* string_points, float* path, int& status)
{
    pocket_run_for_caller_n(direction_switch, minimum_flag, minimum_value, tolerance, contour_count, point_counts,
                            points, offsets, path_count, string_points, path, kCallerPointLimit, status);
    if (status == kPathTooLong) status = kFailed;
}
