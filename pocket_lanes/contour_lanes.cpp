// The contours as the first lanes of a computation: read from the contour array, cleaned,
// refused when degenerate, laid on the surface grid in dimension 3, oriented, fitted
// while the auxiliary flag asks for it, and recorded.
#include "pocket_lanes/contour_lanes.hpp"

#include "pocket/lane_table.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_string_fit.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int kOpenContour = 3;
// A contour needs this many entries (a closed triangle and its closing point less one).
constexpr int kFewestPoints = 3;
constexpr int kCounterClockwise = 1, kClockwise = -1;
constexpr int kOuter = 1;
// Fitted strings may grow by two arc records where a wide arc is split.
constexpr int kFitSlack = 8;
constexpr int kCrossingTest = 100;
// Start of a box that no point has widened yet.
constexpr double kNoBox = 1.0e30;

int dimension() { return pocket_state_block.pocket_dimension; }

// Short elements and folded joins out, at the working tolerance.
void clean_contour(pokarr& loop, int open)
{
    pokarr_drop_short(loop);
    double w = pocket_work_block.working_tolerance;
    pokarr_clean_joins(kJoinsSharpOnly, open, w, loop);
}

// Whether a cleaned contour may stay: never below 3 entries; exactly 3 only for an open contour
// or an outer contour offset outward (negative).
bool contour_usable(int k, const pokarr& loop, int open, const double* offsets)
{
    if (loop.count < kFewestPoints) return false;
    if (loop.count > kFewestPoints) return true;
    return open != 0 || (k == kOuter && offsets[kOuterLevel] < 0.0);
}

void orient(int k, pokarr& loop)
{
    pokarr_area(loop);
    const int wanted = k == kOuter ? kCounterClockwise : kClockwise;
    if (loop.direction != wanted) pokarr_reverse(loop);
}

// The box of a loop's points (arc records' ends, not their centres): x and y low, then high.
std::array<double, 4> points_box(const pokarr& loop)
{
    std::array<double, 4> box{kNoBox, kNoBox, -kNoBox, -kNoBox};
    for (int i = 0; i < loop.count; ++i) {
        if (pk_is_marker(loop.x[i])) {
            i += kArcRecordEntries - 2;  // on to the record's end point
            continue;
        }
        box[0] = std::min(box[0], loop.x[i]), box[1] = std::min(box[1], loop.y[i]);
        box[2] = std::max(box[2], loop.x[i]), box[3] = std::max(box[3], loop.y[i]);
    }
    return box;
}

// An island that the cleaning leaves too few points to be a loop (a speck, a sliver folded flat)
// still stands where it was drawn: it becomes a circle that holds it, about its box's centre, its
// halves twice as long as the shortest element the cleaning keeps. Its offsets then keep the lanes
// off it as off any island, and one that leaves nothing to protect is ignored with the others
// (lanile). Planar islands only.
void speck_as_circle(const std::array<double, 4>& box, pokarr& loop, int& status)
{
    const double cx = 0.5 * (box[0] + box[2]), cy = 0.5 * (box[1] + box[3]);
    const double r = std::max(0.5 * std::hypot(box[2] - box[0], box[3] - box[1]), drop_short_tolerance());
    const double start[2] = {cx + r, cy};
    pokarr_reset(loop, 0, status);
    if (status == 0) pokarr_add_pnt(start, loop, status);
    if (status == 0) pokarr_add_arc(cx - r, cy, nullptr, cx, cy, r, kClockwise, loop, status);
    if (status == 0) pokarr_add_arc(cx + r, cy, nullptr, cx, cy, r, kClockwise, loop, status);
}

// Reads, cleans and checks contour k into the loop; false ends arrinp with the status set.
bool read_contour(int k, contour_input& in, pokarr& loop, const double* offsets, int& status)
{
    const pkcont_tables& t = pkcont_tables_block;
    const int entries = std::max(0, t.first[k + 1] - t.first[k]);
    pokmain_get_contour_pnts(entries, t.first[k], loop, status);
    if (status != 0) {
        status = k == kOuter ? kEngineTooManyPoints : kEngineIslandPoints;
        return false;
    }
    const std::array<double, 4> box = points_box(loop);
    clean_contour(loop, in.open[k]);
    if (k != kOuter && in.open[k] == 0 && dimension() == 2 && loop.count < kFewestPoints && box[0] <= box[2]) {
        speck_as_circle(box, loop, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
    }
    if (dimension() == 3 && loop.count >= kFewestPoints) {
        surface_grid_seam_table().lan_on_grid(0, 0, loop, pocket_work_block.engine_step, status);
        if (status != 0) {
            status = status == kEngineArrayFailed ? kEngineArrayFailed : kEngineNoGrid;
            return false;
        }
        clean_contour(loop, in.open[k]);
    }
    if (!contour_usable(k, loop, in.open[k], offsets)) {
        if (k == kOuter) {
            status = kEngineDegenerate;
            return false;
        }
        in.kept[static_cast<std::size_t>(k)] = 0;
        return true;
    }
    orient(k, loop);
    return true;
}

// The x, y list of the first `used` entries of the loop.
std::vector<double> xy_list(const pokarr& loop, int used)
{
    std::vector<double> xy(2 * static_cast<std::size_t>(used + kFitSlack), 0.0);
    for (int i = 0; i < used; ++i) {
        xy[2 * static_cast<std::size_t>(i)] = loop.x[i];
        xy[2 * static_cast<std::size_t>(i) + 1] = loop.y[i];
    }
    return xy;
}

// The loop rebuilt from a fitted list; an open contour goes back the way it came.
void loop_from_list(const std::vector<double>& xy, int count, int open, pokarr& loop, int& status)
{
    pokarr_reset(loop, count, status);
    for (int i = 0; i < count && status == 0; ++i) {
        const double point[2] = {xy[2 * static_cast<std::size_t>(i)], xy[2 * static_cast<std::size_t>(i) + 1]};
        pokarr_add_pnt(point, loop, status);
    }
    if (status != 0 || open == 0 || count < 2) return;
    pokarr_work back(2);
    pokarr_copy(loop, back.a, status);
    if (status != 0) return;
    pokarr_reverse(back.a);
    pokarr_append(back.a.count - 1, back.a, 1, loop, status);
}

bool tested_pair(int k, int j, const contour_input& in)
{
    return k == kOuter || j == kOuter || (in.open[k] != 0 && in.open[j] != 0);
}

}  // namespace

void arrinp_fit_contours(int fit_switch, contour_input& in, int& status)
{
    status = 0;
    const double tolerance = pocket_work_block.working_tolerance;
    std::vector<std::unique_ptr<pokarr_work>> saved(static_cast<std::size_t>(in.count) + 1);
    for (int k = 1; k <= in.count; ++k) {
        if (in.kept[static_cast<std::size_t>(k)] == 0) continue;
        pokarr& loop = in.loops[k].a;
        pokarr_split_big_arcs(loop, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        const int used = in.open[k] != 0 ? (loop.count - 1) / 2 + 1 : loop.count;
        std::vector<double> xy = xy_list(loop, used);
        int counts[1] = {used};
        int changed = 1;
        lane_string_fit(tolerance, xy.data(), 1, counts, used + kFitSlack, fit_switch, changed, status);
        if (status == kFitNoRoom) status = 0;  // an arc too wide to split stays whole
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        if (changed != 0) continue;
        auto& keep = saved[static_cast<std::size_t>(k)];
        keep = std::make_unique<pokarr_work>(2);
        pokarr_copy(loop, keep->a, status);
        if (status == 0) loop_from_list(xy, std::clamp(counts[0], 0, used + kFitSlack), in.open[k], loop, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        if (loop.count >= kFewestPoints) continue;
        if (k == kOuter) {
            status = kEngineDegenerate;
            return;
        }
        in.kept[static_cast<std::size_t>(k)] = 0;
    }
    // A fitted contour that now crosses another gets its points back; every restore can make
    // another crossing disappear or appear, so the test runs again until nothing is restored.
    for (bool restored = true; restored;) {
        restored = false;
        for (int k = 1; k <= in.count && !restored; ++k) {
            if (saved[static_cast<std::size_t>(k)] == nullptr || in.kept[static_cast<std::size_t>(k)] == 0) continue;
            for (int j = 1; j <= in.count && !restored; ++j) {
                if (j == k || in.kept[static_cast<std::size_t>(j)] == 0 || !tested_pair(k, j, in)) continue;
                int crossing = 0;
                pokarr_intersect_test(kCrossingTest, in.loops[k].a, in.loops[j].a, crossing);
                if (crossing == 0) continue;
                pokarr_copy(saved[static_cast<std::size_t>(k)]->a, in.loops[k].a, status);
                if (status != 0) {
                    status = kEngineArrayFailed;
                    return;
                }
                saved[static_cast<std::size_t>(k)].reset();
                restored = true;
            }
        }
    }
}

namespace {

// Records contour k (its loop) as its lane: level 1 for the outer contour, the next island level
// for an island; a dropped island leaves no gap, so the later islands and their offsets move down.
void record_contour_from(int k, const contour_input& in, const pokarr& loop, double* offsets, int& island, int& status)
{
    lane_table& lt = lane_table_block;
    const pkcont_tables& t = pkcont_tables_block;
    if (in.kept[static_cast<std::size_t>(k)] == 0) {
        if (in.open[static_cast<std::size_t>(k)] == 0 && lt.island_count > 0) --lt.island_count;
        return;
    }
    int level = kOuterLevel;
    if (k != kOuter) {
        level = kIslandLevelBase + ++island;
        offsets[level] = offsets[kIslandLevelBase + k - 1];
    }
    lane_add(0, level, 0, 0, 0, 0.0, t.type[k], loop, status);
}

}  // namespace

void arrinp(double* offsets, int& status)
{
    status = 0;
    const pkcont_tables& t = pkcont_tables_block;
    lane_table_reset();
    const int count = t.count;
    if (count < 1 || count > kContourMax) {
        status = kEngineDegenerate;
        return;
    }
    const int half = pocket_box_block.half_size;
    const int points = t.first[count + 1] - 1;
    // The contours are read from the contour array (POKCPY's copy of it at the start of the main
    // array is recorded over). Their lanes keep to half the room, the rest being the offsets'.
    if (points > half) {
        status = kEngineArraysSmall;
        return;
    }
    const int dim = dimension();
    int aux = 0;
    pk_aux_flag_get(aux);
    // Fitting compares the contours with each other: they are all read first. Otherwise each
    // contour is recorded as soon as it is read, and one work array serves them all.
    const bool fit = dim == 2 && aux != 0;
    contour_input in;
    in.count = count;
    in.loops = std::make_unique<pokarr_work[]>(fit ? static_cast<std::size_t>(count) + 1 : 1);
    in.kept.assign(static_cast<std::size_t>(count) + 1, 1);
    in.open.assign(static_cast<std::size_t>(count) + 1, 0);
    long entries = 0;
    int island = 0;
    for (int k = 1; k <= count; ++k) {
        pokarr_work& work = in.loops[fit ? k : 0];
        pokarr_free(work.a);
        pokarr_init(dim, work.a);
        in.open[static_cast<std::size_t>(k)] = t.type[k] == kOpenContour ? 1 : 0;
        if (!read_contour(k, in, work.a, offsets, status)) return;
        if (in.kept[static_cast<std::size_t>(k)] != 0) entries += work.a.count * (dim == 4 ? 2L : 1L);
        if (entries > half) {
            status = kEngineArraysSmall;
            return;
        }
        if (fit) continue;
        record_contour_from(k, in, work.a, offsets, island, status);
        if (status != 0) return;
    }
    if (!fit) return;
    arrinp_fit_contours(1, in, status);
    for (int k = 1; k <= count && status == 0; ++k) record_contour_from(k, in, in.loops[k].a, offsets, island, status);
}
