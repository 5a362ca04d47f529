// The common start of the pass linkers: the start line, the start hatch point and the reference
// point; the contour walk between two ends; under the surface clearing, the hand-over of every
// finished pass to the surface pass engine; and the passes put in their cutting order at the end.
#include "clearing/hatch/pass_linking.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_segments.hpp"
#include "clearing/hatch/pass_order.hpp"
#include "clearing/hatch/surface_pass_seams.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/prog_line.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kForward = 1;
constexpr int kProgressDone = 4;
// A hatch point this many tolerances from the reference stands on it.
constexpr float kAtReference = 1.1f;

bool has_ends(const hatch_points& p, int i) { return contour_has_edges(p.contour[i]) > 0; }

float distance_to(const hatch_points& p, int i, const float* r)
{
    const float point[2] = {p.x[i], p.y[i]};
    return dist2_c(point, r);
}

// Mode 1 of the start choice: the first point, then every nearer one whose contour has ends.
int nearest_with_ends(const hatch_points& p, int count, const float* r)
{
    int start = 0;
    float best = distance_to(p, 0, r);
    for (int i = 1; i < count; ++i) {
        const float d = distance_to(p, i, r);
        if (d >= best) continue;
        best = d;
        if (has_ends(p, i)) start = i;
    }
    return start;
}

// The start line: from the start ordinate, 0.001 at a time towards the range's other end, the
// first line with a crossing. Its ordinate, or false when none lies between the range ends.
bool find_start_line(int linker, const hatch_contours& c, float low, float high, hatch_points& p, int& count, double& y)
{
    const clear_state& b = clear_block;
    double step = kHatchSearchStep;
    if (linker == kRegionLinker) {
        if (y >= high) step = -step;
        y = std::clamp(y, static_cast<double>(low), static_cast<double>(high));
    } else if (geval(static_cast<float>(y), high)) {
        y = high;
        step = -step;
    } else if (leval(static_cast<float>(y), low)) {
        y = low;
    }
    for (; y >= low && y <= high; y += step) {
        NCRLIN(c.list, c.count, static_cast<float>(y), b.direction, count, p);
        if (count > kHatchPointsMost) {
            eroutc(kHatchBufferMessage, 0);
            return false;
        }
        if (count > 0) return true;
    }
    return false;
}

}  // namespace

void clr_pick_start(const hatch_points& points, int count, float y, const float* r, int& start, int& at_reference)
{
    const clear_state& b = clear_block;
    start = 0;
    at_reference = 0;
    if (count < 1) return;
    const float first = std::fabs(points.x[0]), last = std::fabs(points.x[count - 1]), at = std::fabs(r[0]);
    const bool on_line = b.previous_end_valid == 0 || (eqval(y, r[1]) && first <= at && at <= last);
    if (on_line) {
        const float near = kAtReference * b.tolerance;
        for (int i = 0; i < count; ++i) {
            const float gap = std::fabs(points.x[i] - r[0]);
            const bool beyond = b.direction == kForward ? points.x[i] > r[0] : points.x[i] < r[0];
            if (gap < near) at_reference = 1;
            if ((gap < near || beyond) && has_ends(points, i)) {
                start = i;
                return;
            }
        }
        at_reference = 0;
    }
    start = nearest_with_ends(points, count, r);
}

void clr_pick_nearest(const hatch_points& points, int count, const float* r, int& start, int& on_reference)
{
    start = 0;
    on_reference = 0;
    for (int i = 0; i < count; ++i) {
        const float point[2] = {points.x[i], points.y[i]};
        if (!eqpt2(point, r)) continue;
        if (!has_ends(points, i)) break;
        start = i;
        on_reference = 1;
        return;
    }
    if (count > 0) start = nearest_with_ends(points, count, r);
}

int clr_link_start(int linker, const hatch_contours& contours, float low, float high, hatch_points& points,
                   hatch_end*& start)
{
    if (clr_points_open() != kGoOn) return kFailed;
    clear_state& b = clear_block;
    double y = b.previous_end_valid != 0 ? static_cast<double>(b.previous_end[1]) : static_cast<double>(low);
    if (b.previous_end_valid == 0) b.previous_end[1] = low;
    int count = 0;
    if (!find_start_line(linker, contours, low, high, points, count, y)) return kFailed;
    pair_hatch_points(count, points);
    if (b.previous_end_valid == 0) {
        b.previous_end[0] = points.x[0];
        b.previous_end[1] = points.y[0];
    }
    const float* r = b.previous_end;
    int s = 0, on_reference = 0;
    if (linker == kRegionLinker)
        clr_pick_start(points, count, static_cast<float>(y), r, s, on_reference);
    else
        clr_pick_nearest(points, count, r, s, on_reference);
    const float start_point[2] = {points.x[s], points.y[s]};
    if (on_reference == 0 && !eqpt2(start_point, r) && clr_walk_append(r[0], r[1], kPassStart) != kGoOn) return kFailed;
    int same = 0;
    if (insert_start_edge(contours, points.contour[s], points.x[s], points.y[s], points.segment[s], points.mark[s],
                          start, same) != kGoOn)
        return kFailed;
    close_edge_rings(b.direction);
    return kGoOn;
}

int clr_link_walk(int linker, const hatch_contours& contours, float low, float high, hatch_points& points,
                  hatch_walk walk)
{
    hatch_end* start = nullptr;
    if (clr_link_start(linker, contours, low, high, points, start) != kGoOn || start == nullptr) return kFailed;
    int walked = walk(contours, *start);
    if (walked == kGoOn && clr_pass_finished() != kGoOn) walked = kFailed;
    if (walked == kGoOn && clr_order_passes() != kGoOn) walked = kFailed;
    prog_reset_text();
    return walked;
}

int walk_contour_points(const hatch_contours& contours, int from, int to, int direction, int contour)
{
    if (from == to || contour == 0) return kGoOn;
    const int n = contours.size(contour);
    if (from < 1 || from > n || to < 1 || to > n) return kFailed;
    const bool walked = for_each_walk_vertex(n, from, to, direction, [&](int v) {
        return clr_add_point(contours.x(contour, v), contours.y(contour, v), kCutPoint) == kGoOn;
    });
    return walked ? kGoOn : kFailed;
}

int clr_pass_finished()
{
    clear_state& b = clear_block;
    if (machining_type() != kSurfaceClearing || b.pass_head == nullptr) return kGoOn;
    const clearing_point* head = b.pass_head;
    b.pass_head = nullptr;
    return surface_pass_seam_table().surface_pass_run(head, b.surface_passes) == 0 ? kGoOn : kFailed;
}

int clr_walk_append(float x, float y, float code)
{
    if (code == kPassStart && clr_pass_finished() != kGoOn) return kFailed;
    return clr_add_point(x, y, code);
}

void clr_emit_edge_count()
{
    prog_count_set(kProgressDone, 0);
    prog_percent(kActivityComputing);
}
