// Hatch-line clearing of one pocket level: the region in the hatch frame, the clearing engine,
// and the replay of the clearing point list at a level's Z.
#include "clearing/hatch/hatch_clearing.hpp"

#include "clearing/hatch/clear_markers.hpp"
#include "clearing/hatch/clear_region.hpp"
#include "clearing/hatch/contour_rings.hpp"
#include "clearing/hatch/hatch_segments.hpp"
#include "clearing/hatch/pass_linking.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/clean_region.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/way_region.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

#include <cmath>
#include <memory>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kCloseArray = 1;
constexpr int kRangeOnly = 1;
constexpr int kCountWord = 1;
constexpr int kPassLinking = 1;
constexpr int kPointsDimension = 1;
constexpr int kRapidOver = 3;  // STREND: rapid to the retract level and over the point
constexpr int kBaseFeed = 1, kStepFeed = 25;
// Procedure codes of the surface functions: their passes are approached at the level itself.
constexpr int kSurfaceCodeA = 34, kSurfaceCodeB = 38;
// A reference height at or below this is none.
constexpr double kNoHeight = -1.0e10;
// A way passing outside the region by no more than this runs along its boundary: the float
// rounding of the region's corners and of the points on it. Any more would let the tool into
// an island's offset.
constexpr double kOnBoundary = vantu::kRealTolerance;
constexpr point3 kToolAxis{0.0f, 0.0f, 1.0f};

// What every level of one replay shares.
struct level_replay {
    float z = 0.0f;  // the level's Z
    float z_step = 0.0f;
    float approach_value = 0.0f;     // code 16
    float approach_distance = 0.0f;  // code 16 + Z step, raised for the surface functions
    bool first_level = false;
    bool last_of_several = false;
    bool surface = false;
    float c = 1.0f, s = 0.0f;  // the hatch angle of code 44
    bool opened = false;       // the LAYER marker is written
    // The top of the material (the pocket's top Z, the first level lying a Z step below it): the
    // islands and the walls stand up to it.
    float top = 0.0f;
};

// A cut to the point: with the tool at the level, a move along the hatch lines at base feed, a
// step between lines at feed 25.
void cut_to(const level_replay& level, const point3& point, int& status)
{
    const auto at = DSP8().position();
    if (eqval(at[2], level.z)) {
        const float dx = point[0] - at[0], dy = point[1] - at[1];
        const float length = std::hypot(dx, dy);
        if (neval0(length)) {
            const float along = (dx * level.c + dy * level.s) / length;
            set_mch_change_mode(eqval(std::fabs(along), 1.0f) ? kBaseFeed : kStepFeed);
        }
    }
    PLINE_entry(kPointsDimension, point, kToolAxis, status);
    if (status == kGoOn) set_exec_disp_mode(0);
}

// The height of the way over to a pass start: the level above (the tool's own height when it
// comes down to the last of several levels), where the levels before have cleared the region.
// A way that leaves the region there would pass through an island or a wall: it goes at the top
// of the material instead.
float pass_start_height(const level_replay& level, const point3& point)
{
    const point3 at = DSP8().position();
    if (level.surface) return level.z;
    const float height = !level.opened && level.last_of_several ? at[2] : level.z + level.z_step;
    const double from[2] = {at[0], at[1]}, to[2] = {point[0], point[1]};
    return static_cast<float>(way_height(clear_block.region, from, to, height, level.top, kOnBoundary));
}

// A pass start: up and over the point, down onto it; the level's first one opens the LAYER.
void start_pass(level_replay& level, const point3& point, int& status)
{
    const float height = pass_start_height(level, point);
    pocket_strend({point[0], point[1], height}, kRapidOver, level.approach_value, status);
    if (status != kGoOn) return;
    PLNZUP(kPointsDimension, point, kToolAxis, level.approach_distance, status);
    if (status != kGoOn) return;
    if (!level.opened) {
        set_exec_disp_mode(0);
        clr_mrkr_start_move(kPointsDimension, level.z, status);
        if (status != kGoOn) return;
        level.opened = true;
    }
    set_mch_change_mode(kBaseFeed);
}

}  // namespace

void merge_ranges(int count, float* ranges, int& merged)
{
    merged = 0;
    if (ranges == nullptr || count < 1) return;
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && ranges[2 * j] < ranges[2 * (j - 1)]; --j) {
            std::swap(ranges[2 * j], ranges[2 * (j - 1)]);
            std::swap(ranges[2 * j + 1], ranges[2 * (j - 1) + 1]);
        }
    float low = ranges[0], high = ranges[1];
    for (int i = 1; i < count; ++i) {
        if (geval(high, ranges[2 * i])) {
            high = std::fmax(high, ranges[2 * i + 1]);
            continue;
        }
        ranges[2 * merged] = low;
        ranges[2 * merged + 1] = high;
        ++merged;
        low = ranges[2 * i];
        high = ranges[2 * i + 1];
    }
    ranges[2 * merged] = low;
    ranges[2 * merged + 1] = high;
    ++merged;
}

int clear_engine(const word* polygons, const float* ranges, int m, int n)
{
    if (polygons == nullptr || ranges == nullptr || m < 1 || n < 1) return kFailed;
    auto points = std::make_unique<hatch_points>();
    const hatch_contours contours = hatch_contours_of(polygons, n);
    // A stop of the execution leaves through here: the segment and edge arrays go back.
    const unwind_only release([] {
        int status = 0;
        CLSLNS(status);
        clrels(0, status);
    });
    int result = kGoOn;
    for (int r = 0; r < m && result == kGoOn; ++r)
        result = clr_hatch_lines(r == 0, r == m - 1, polygons, ranges[2 * r], ranges[2 * r + 1], n, *points);
    if (result == kGoOn) result = clr_build_edges(contours, clear_block.segment_head);
    if (result == kGoOn) {
        const float low = ranges[0], high = ranges[2 * m - 1];
        result = clear_block.linking_mode == kPassLinking ? clr_link_passes(contours, low, high, *points)
                                                          : clr_link_regions(contours, low, high, *points);
    }
    int closed = 0;
    CLSLNS(closed);
    return result == kGoOn && closed == 0 ? kGoOn : kFailed;
}

void tkpolg(float angle, float second_angle, int direction, int linking_mode, int contour_link, int& status)
{
    clrcls(kCloseArray, status);
    if (status != kGoOn) return;
    build_clean_region(static_cast<float>(pocket_work_block.tolerance), status);
    if (status < 0) return;
    int n = 0;
    polbuf_get_npol(n, status);
    if (status != kGoOn) return;
    if (n < 1) {
        eroutc("tkpolg, AREA TOO SMALL TO MACHINE WITH THIS TOOL AND PARAMETERS", 0);
        status = kFailed;
        return;
    }
    auto* ranges = static_cast<float*>(DM_ALLOC(sizeof(float) * 2 * static_cast<std::size_t>(n)));
    if (ranges == nullptr) {
        eroutc("tkpolg, DYNAMIC MEMORY ERROR", 0);
        status = kFailed;
        return;
    }
    const give_back free_ranges([ranges] { DM_FREE(ranges, 0); });
    const float t = angle + second_angle, c = std::cos(t), s = std::sin(t);
    polbuf_set_pair(c, s, status);
    if (status != kGoOn) return;
    const float side_step = static_cast<float>(pocket_work_block.side_step);
    for (int i = 1; i <= n; ++i) {
        word* polygon = polbuf_get_ptr(kCountWord, i, status);
        if (polygon == nullptr || status != kGoOn) return;
        clr_region_add(polygon);
        clr_hatch_range(c, s, 1, kRangeOnly, nullptr, side_step, polygon, ranges[2 * (i - 1)], ranges[2 * (i - 1) + 1]);
    }
    int m = 0;
    merge_ranges(n, ranges, m);

    // The previous level's end point stands in the hatch frame while the engine runs.
    pocket_state& ps = pocket_state_block;
    const double kept[2] = {ps.entry_data[0], ps.entry_data[1]};
    const give_back restore([&ps, kept] {
        ps.entry_data[0] = kept[0];
        ps.entry_data[1] = kept[1];
    });
    float previous[2] = {0.0f, 0.0f};
    if (ps.entry_found != 0) {
        hatch_turn(c, s, static_cast<float>(kept[0]), static_cast<float>(kept[1]), previous[0], previous[1]);
        ps.entry_data[0] = previous[0];
        ps.entry_data[1] = previous[1];
    }
    set_clear_params(direction, linking_mode, side_step, static_cast<float>(pocket_work_block.tolerance), c, s,
                     previous, ps.entry_found, contour_link);
    const word* first = polbuf_get_ptr(kCountWord, 1, status);
    if (status != kGoOn) return;
    if (clear_engine(first, ranges, m, n) != kGoOn) {
        eroutc("tkpolg, CLRCRE PROBLEMS", 0);
        int closed = 0;
        clrcls(kCloseArray, closed);
        status = kFailed;
        return;
    }
    status = kGoOn;
}

void clear_passes_out(float angle, float approach_value, int /*pass_flag*/, int& status)
{
    status = kGoOn;
    if (clr_points_are_open() == 0 || clear_block.point_head == nullptr) {
        eroutc("clear_passes_out, NO CLEARING POINTS", 0);
        status = kFailed;
        return;
    }
    const pocket_state& ps = pocket_state_block;
    level_replay level;
    level.z = static_cast<float>(ps.current_z);
    level.z_step = static_cast<float>(ps.z_step);
    level.approach_value = approach_value;
    level.approach_distance = static_cast<float>(ps.approach_height);
    level.first_level = ps.level_counter == 1;
    level.last_of_several = ps.level_count > 1 && ps.level_counter == ps.level_count;
    const int code = nu_sgcd_get_code();
    level.surface = code == kSurfaceCodeA || code == kSurfaceCodeB;
    const double h = clear_block.reference_height;
    if (level.surface && h > kNoHeight)
        level.approach_distance = static_cast<float>(h - level.z + level.approach_distance);
    level.c = std::cos(angle);
    level.s = std::sin(angle);
    level.top = static_cast<float>(ps.first_level_z + ps.z_step);

    clr_point_rewind();
    while (clr_point_end() == 0 && status == kGoOn) {
        float code_of_point = 0.0f, x = 0.0f, y = 0.0f;
        clr_point_next(code_of_point, x, y);
        const point3 point{x, y, level.z};
        const bool pass_start =
            code_of_point == kPassStart || (code_of_point == kLaterLevelStart && !level.first_level);
        if (pass_start)
            start_pass(level, point, status);
        else
            cut_to(level, point, status);
    }
    if (status == kGoOn && level.opened) clr_mrkr_end(status);
}
