// The region linker: every segment cut from its end 1 to its end 2, the segments of one contour
// one after the other, a new pass for each; the next segment's start is the nearest live end 1
// round the contour, reached along the contour from the last used end before it (contour-link
// word 1) or directly.
#include "clearing/hatch/pass_linking.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "nc_services/prog_line.hpp"

#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kDone = 1;
constexpr int kProgressTotalUp = 3;
constexpr int kLinkAlongContour = 1;

int reversed(int d) { return d == 1 ? -1 : 1; }

struct region_walk {
    const hatch_contours& contours;
    int d;
    int regions = 0;  // contours with segments still to cut
    std::vector<char> visited;
    int bound = 0;  // most steps of any walk over one ring
};

int append(const hatch_end& e, float code) { return clr_walk_append(e.x, e.y, code); }

// From `from` (itself first) in direction d, the nearest live end 1 and the steps to it.
hatch_end* nearest_start_end(hatch_end* from, int d, int bound, int& steps)
{
    hatch_end* e = from;
    for (steps = 0; e != nullptr && steps <= bound; ++steps) {
        if (e->live != 0 && e->start_flag == 1) return e;
        e = edge_step(e, d);
        if (e == from) return nullptr;
    }
    return nullptr;
}

// One way round the ring from `from`: the first live end 1, the live ends passed before it and
// the last used end passed (at first `from`).
struct way_round {
    hatch_end* target = nullptr;
    hatch_end* last_used = nullptr;
    int live_passed = 0;
};

way_round walk_way(hatch_end* from, int d, int bound)
{
    way_round w;
    w.last_used = from;
    hatch_end* e = edge_step(from, d);
    for (int steps = 0; e != nullptr && e != from && steps <= bound; ++steps, e = edge_step(e, d)) {
        if (e->live != 0 && e->start_flag == 1) {
            w.target = e;
            return w;
        }
        if (e->live != 0)
            ++w.live_passed;
        else
            w.last_used = e;
    }
    return w;
}

// The next segment start on from's contour: the way with fewer live ends passed (ties to d); a
// reversed way reverses d. Null when the ring holds none, or more live ends were passed than it
// holds.
hatch_end* clr_next_edge(region_walk& w, hatch_end* from, hatch_end*& last_used)
{
    const way_round ahead = walk_way(from, w.d, w.bound), back = walk_way(from, reversed(w.d), w.bound);
    const bool take_back = back.target != nullptr && (ahead.target == nullptr || back.live_passed < ahead.live_passed);
    const way_round& chosen = take_back ? back : ahead;
    if (chosen.target == nullptr || chosen.live_passed > contour_has_edges(from->contour)) return nullptr;
    if (take_back) w.d = reversed(w.d);
    last_used = chosen.last_used;
    return chosen.target;
}

// The contour to go on with: the highest-numbered one with segments left that was visited, else
// the highest-numbered one with segments left; 0 when none has any.
int clr_next_region(const region_walk& w)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int k = w.contours.count; k >= 1; --k) {
            const contour_ring* r = ring_of(k);
            if (r != nullptr && r->start_count > 0 && (pass == 1 || w.visited[static_cast<std::size_t>(k)] != 0))
                return k;
        }
    return 0;
}

// Cuts the segment of the current end: its end 1 with the current code, its end 2 with code 1.
int clr_emit_edge(region_walk& w, hatch_end& current, float code)
{
    hatch_end* partner = current.partner;
    if (partner == nullptr) return kFailed;
    if (append(current, code) != kGoOn || append(*partner, kCutPoint) != kGoOn) return kFailed;
    current.live = partner->live = 0;
    w.visited[static_cast<std::size_t>(current.contour)] = 1;
    w.visited[static_cast<std::size_t>(partner->contour)] = 1;
    --ring_of(current.contour)->start_count;
    clr_emit_edge_count();
    return kGoOn;
}

// The first move: from the start along the contour to the nearer end 1 (forward or back).
// Answers the target, null when the start's ring holds none.
hatch_end* clr_walk_first(region_walk& w, hatch_end& start, int& status)
{
    int ahead_steps = 0, back_steps = 0;
    hatch_end* ahead = nearest_start_end(&start, w.d, w.bound, ahead_steps);
    hatch_end* back = nearest_start_end(&start, reversed(w.d), w.bound, back_steps);
    hatch_end* target = ahead;
    if (back != nullptr && (ahead == nullptr || back_steps < ahead_steps)) {
        w.d = reversed(w.d);
        target = back;
    }
    status = append(start, kCutPoint);
    prog_count_set(kProgressTotalUp, 0);
    if (status == kGoOn && target != nullptr)
        status = walk_contour_points(w.contours, start.segment, target->segment, w.d, start.contour);
    if (target != &start) start.live = 0;
    return target;
}

// The link from the end just left to the next segment start on the same ring, or on the next
// contour to go on with. 0 with the next start and its code, kDone, or -1.
int link_next(region_walk& w, hatch_end* from, hatch_end*& next, float& code)
{
    const contour_ring* r = ring_of(from->contour);
    if (r->start_count == 0) {
        if (--w.regions <= 0) return kDone;
        const int k = clr_next_region(w);
        if (k == 0) return kDone;
        const contour_ring* nr = ring_of(k);
        w.d = nr->walk_direction;
        from = nr->entry;
        if (from == nullptr) return kFailed;
        if (from->live != 0) {
            next = from;
            code = kPassStart;
            if (clear_block.contour_link == kLinkAlongContour) return kGoOn;
            // Every pass start stands twice without contour links, this one too.
            code = kCutPoint;
            return append(*next, kPassStart);
        }
    }
    hatch_end* last_used = nullptr;
    next = clr_next_edge(w, from, last_used);
    if (next == nullptr) return kFailed;
    code = kCutPoint;
    if (clear_block.contour_link == kLinkAlongContour) {
        if (append(*last_used, kPassStart) != kGoOn) return kFailed;
        return walk_contour_points(w.contours, last_used->segment, next->segment, w.d, next->contour);
    }
    return append(*next, kPassStart);
}

int clr_walk_regions(const hatch_contours& contours, hatch_end& start)
{
    region_walk w{contours, clear_block.direction, 0, {}, 0};
    w.visited.assign(static_cast<std::size_t>(contours.count) + 1, 0);
    int ends = 0;
    for (int k = 1; k <= contours.count; ++k) {
        contour_ring* r = ring_of(k);
        ends += r->ring_size;
        if (r->start_count <= 0) continue;
        ++w.regions;
        int steps = 0;
        r->entry = nearest_start_end(r->entry, w.d, r->ring_size, steps);
    }
    w.bound = ends;
    int status = kGoOn;
    hatch_end* current = clr_walk_first(w, start, status);
    if (status != kGoOn) return kFailed;
    // A start on an existing segment start cuts that segment first as a pass of its own.
    float code = current == &start ? kPassStart : kCutPoint;
    if (current == nullptr) {
        // The start's contour has no segment starts: go on with the next contour.
        const int k = clr_next_region(w);
        if (k == 0) return kGoOn;
        w.d = ring_of(k)->walk_direction;
        current = ring_of(k)->entry;
        code = kPassStart;
    }
    // Every round cuts one segment; there are no more rounds than ends.
    for (int round = 0; round <= ends && current != nullptr; ++round) {
        if (clr_emit_edge(w, *current, code) != kGoOn) return kFailed;
        const int linked = link_next(w, current, current, code);
        if (linked == kDone) return kGoOn;
        if (linked != kGoOn) return kFailed;
    }
    return kFailed;
}

}  // namespace

int clr_link_regions(const hatch_contours& contours, float low, float high, hatch_points& points)
{
    return clr_link_walk(kRegionLinker, contours, low, high, points, clr_walk_regions);
}
