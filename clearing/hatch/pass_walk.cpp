// The pass linker: each segment cut from the end where the tool arrives, so that consecutive
// segments run in alternating directions; from the end of one segment the tool follows the
// contour to the next live end, starting a new pass where the way back over cut segments is long
// or leaves the contour.
#include "clearing/hatch/pass_linking.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/surface_pass_seams.hpp"
#include "host/vantu.hpp"
#include "nc_services/clear_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/prog_line.hpp"
#include "toolpath/machine_table.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kDone = 1;
constexpr int kProgressTotalUp = 3;
// A gap in ordinate of this many side steps between the end reached and the last cut end before
// the next live one always starts a new pass.
constexpr float kNewPassSteps = 3.0f;

int reversed(int d) { return d == 1 ? -1 : 1; }

struct pass_walk {
    const hatch_contours& contours;
    int d;
    hatch_end* start;                // E0
    hatch_end* link_from = nullptr;  // L: the end the last link started from
    int regions = 0;                 // contours with live ends
    int bound = 0;                   // most steps of any walk over one ring
    std::vector<char> visited;
    int gap_warned = 0;  // the warning on passes too far apart is given once a walk
};

// Appends an end; a live one is used up, lowering its contour's ring size and, at 0, the count
// of contours to do.
int emit(pass_walk& w, hatch_end& e, float code)
{
    if (clr_walk_append(e.x, e.y, code) != kGoOn) return kFailed;
    if (e.live == 0) return kGoOn;
    e.live = 0;
    contour_ring* r = ring_of(e.contour);
    if (--r->ring_size == 0) --w.regions;
    return kGoOn;
}

// The contour to go on with: the highest-numbered one with live ends that was visited, else the
// highest-numbered one with live ends; 0 when none is left.
int clr_next_region(const pass_walk& w)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int k = w.contours.count; k >= 1; --k)
            if (contour_has_edges(k) > 0 && (pass == 1 || w.visited[static_cast<std::size_t>(k)] != 0)) return k;
    return 0;
}

// The ordinates met on the way from a to b round their contour in direction d: a, b and the
// vertices passed.
template <class F> void for_each_way_point(const pass_walk& w, const hatch_end& a, const hatch_end& b, int d, F f)
{
    const int k = a.contour;
    f(a.x, a.y);
    for_each_walk_vertex(w.contours.size(k), a.segment, b.segment, d, [&](int v) {
        f(w.contours.x(k, v), w.contours.y(k, v));
        return true;
    });
    f(b.x, b.y);
}

// Highest minus lowest ordinate on the way from a to b in direction d.
float contour_span(const pass_walk& w, const hatch_end& a, const hatch_end& b, int d)
{
    float low = a.y, high = a.y;
    for_each_way_point(w, a, b, d, [&](float, float y) {
        low = std::min(low, y);
        high = std::max(high, y);
    });
    return high - low;
}

// Length of the way from a to b in direction d: the straight distance on one segment.
float contour_link_length(const pass_walk& w, const hatch_end& a, const hatch_end& b, int d)
{
    double length = 0.0;
    float last[2] = {a.x, a.y};
    for_each_way_point(w, a, b, d, [&](float x, float y) {
        const float here[2] = {x, y};
        length += dist2_c(last, here);
        last[0] = x;
        last[1] = y;
    });
    return static_cast<float>(length);
}

// The turns of the walk direction at the end reached (C): a link after a link starting on
// another hatch line, or at an end of the other pairing mark, turns back.
void edge_turns(pass_walk& w, const hatch_end& c)
{
    const hatch_end* l = w.link_from;
    if (l == w.start || l == nullptr) return;
    if (ends_on_other_lines(*l, c)) w.d = reversed(w.d);
    if (l->mark != c.mark) w.d = reversed(w.d);  // edge_other_line
}

// From C, the next live end N in the walk direction and the last cut end J passed before it.
int walk_to_live(pass_walk& w, hatch_end* c, hatch_end*& n, hatch_end*& j)
{
    j = nullptr;
    n = c;
    if (c->live != 0) return kGoOn;
    hatch_end* ahead = edge_step(c, w.d);
    const contour_ring* r = ring_of(c->contour);
    if (c == r->last && c->previous->live != 0 && ahead->live != 0 && c->previous != ahead) w.d = reversed(w.d);
    if (edge_step(c, w.d)->live == 0) w.d = reversed(w.d);
    hatch_end* e = edge_step(c, w.d);
    for (int steps = 0; e->live == 0; ++steps) {
        if (e == c || steps > w.bound) return kFailed;
        j = e;
        e = edge_step(e, w.d);
    }
    n = e;
    return kGoOn;
}

// Under the surface clearing, a link along the contour from the segment just cut (ending at C) to
// the next one (starting at N) whose hatch lines stand more than the tool diameter apart leaves a
// strip between the two passes that neither cuts: the user is told once a walk. A new pass
// started elsewhere is no such neighbour and is not judged, nor are the lines through the origin
// of the clearing mode 3, whose distance changes along them.
void warn_passes_apart(pass_walk& w, const hatch_end& c, const hatch_end& n)
{
    if (machining_type() != kSurfaceClearing || clear_mode() == kClearModeSurface || w.gap_warned != 0) return;
    float diameter = 0.0f;
    mill_service_table().tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    if (diameter <= 0.0f || std::fabs(n.y - c.y) <= diameter) return;
    userrc("WARNING: DISTANCE BETWEEN TWO CONSECUTIVE PASSES > TOOL DIAMETER");
    w.gap_warned = 1;
}

// One link from the end just cut (C) to the next entry: 0 with the entry, kDone when no contour
// is left to go on with, or -1.
int clr_link_step(pass_walk& w, hatch_end* c, hatch_end*& entry)
{
    const clear_state& b = clear_block;
    bool changed = false;
    if (contour_has_edges(c->contour) == 0) {
        w.visited[static_cast<std::size_t>(c->contour)] = 1;
        const int k = clr_next_region(w);
        if (k == 0) return kDone;
        c = ring_of(k)->entry;
        w.d = ring_of(k)->walk_direction;
        changed = true;
        if (c == nullptr) return kFailed;
    } else {
        edge_turns(w, *c);
    }
    hatch_end* n = nullptr;
    hatch_end* j = nullptr;
    if (walk_to_live(w, c, n, j) != kGoOn) return kFailed;
    hatch_end* link_start = c;
    if (j != nullptr) {
        bool new_pass = changed || std::fabs(j->y - c->y) >= kNewPassSteps * b.side_step;
        if (!new_pass) {
            const int way =
                contour_span(w, *j, *c, reversed(w.d)) <= contour_span(w, *j, *c, w.d) ? w.d : reversed(w.d);
            new_pass = contour_link_length(w, *j, *c, way) > 2.0f * b.tool_size;
            if (!new_pass) w.d = way;
        }
        if (new_pass) {
            link_start = j;
            if (emit(w, *j, kPassStart) != kGoOn) return kFailed;
        }
    } else if (changed && emit(w, *c, kPassStart) != kGoOn) {
        // Another contour is never reached by a cut: the tool is brought down onto it.
        return kFailed;
    }
    if (link_start == c) warn_passes_apart(w, *c, *n);
    w.link_from = link_start;
    entry = n;
    ring_of(n->contour)->walk_direction = w.d;
    return walk_contour_points(w.contours, link_start->segment, n->segment, w.d, n->contour);
}

// Cuts the segment from the entry to its partner; the partner is where the tool stands after.
int clr_emit_edge(pass_walk& w, hatch_end& entry)
{
    hatch_end* partner = entry.partner;
    if (partner == nullptr) return kFailed;
    if (emit(w, entry, kCutPoint) != kGoOn || emit(w, *partner, kCutPoint) != kGoOn) return kFailed;
    w.visited[static_cast<std::size_t>(entry.contour)] = 1;
    w.visited[static_cast<std::size_t>(partner->contour)] = 1;
    clr_emit_edge_count();
    return kGoOn;
}

int clr_walk_passes(const hatch_contours& contours, hatch_end& start)
{
    pass_walk w{contours, clear_block.direction, &start, &start, 0, 0, {}, 0};
    w.visited.assign(static_cast<std::size_t>(contours.count) + 1, 0);
    int ends = 0;
    for (int k = 1; k <= contours.count; ++k) {
        const int size = contour_has_edges(k);
        ends += size;
        if (size > 0) ++w.regions;
    }
    w.bound = ends;
    hatch_end* entry = &start;
    if (start.partner == nullptr) {
        // The start point lies between ends: along the contour to the next end.
        entry = edge_step(&start, w.d);
        if (emit(w, start, kCutPoint) != kGoOn) return kFailed;
        prog_count_set(kProgressTotalUp, 0);
        if (entry == &start || entry->partner == nullptr || entry->live == 0) {
            if (w.regions == 0) return kGoOn;
            const int linked = clr_link_step(w, &start, entry);
            if (linked != kGoOn) return linked == kDone ? kGoOn : kFailed;
        } else if (walk_contour_points(contours, start.segment, entry->segment, w.d, start.contour) != kGoOn) {
            return kFailed;
        }
    }
    // Every round uses up two ends.
    for (int round = 0; round <= ends; ++round) {
        if (clr_emit_edge(w, *entry) != kGoOn) return kFailed;
        if (w.regions == 0) return kGoOn;
        const int linked = clr_link_step(w, entry->partner, entry);
        if (linked == kDone) return kGoOn;
        if (linked != kGoOn) return kFailed;
    }
    return kFailed;
}

}  // namespace

// The angle of a hatch end seen from the frame's origin: the arctangent of y / x, on the axes 0 or
// pi (y = 0) and pi/2 or 3 pi/2 (x = 0) by the sign of the other coordinate.
static float end_angle(const hatch_end& e)
{
    constexpr float pi = std::numbers::pi_v<float>;
    if (eqval0(e.y)) return e.x < 0.0f ? pi : 0.0f;
    if (eqval0(e.x)) return e.y < 0.0f ? 1.5f * pi : 0.5f * pi;
    return std::atan(e.y / e.x);
}

bool ends_on_other_lines(const hatch_end& a, const hatch_end& b)
{
    if (machining_type() == kSurfaceClearing && clear_mode() == kClearModeSurface)
        return eqval(end_angle(a), end_angle(b)) == 0;
    return neval(a.y, b.y) != 0;
}

int clr_link_passes(const hatch_contours& contours, float low, float high, hatch_points& points)
{
    return clr_link_walk(kPassLinker, contours, low, high, points, clr_walk_passes);
}
