// The lanes between a branch lane's source and an island's first lane that a merge with the
// island's second offset takes away. The second offset stands a fraction of a step outside the
// island's first lane; a branch lane running between the two is cut off there by the merge, so
// the lanes standing beside that stretch are the branch lane's source and the island's first lane,
// which may be up to a step and that fraction apart. Where they stand farther apart than a step
// (and the tolerance) the part of the second offset's region that reaches beyond the branch lane
// (a lens bounded by the second offset and the branch lane) is kept as a lane: its sides stand
// within a step of the source and the fraction of the island's lane. Where the branch lane runs
// into the island's first lane, only the lens's parts outside that lane are kept. A branch lane
// that ends inside the second offset ran between the two all round: its parts outside the island's
// first lane are kept where its source stands that far from the first lane (at corners).
#include "pocket_lanes/lane_merge.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_measures.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// The lens is sampled at points this share of the step apart at most.
constexpr double kSampleShare = 0.25;
// A whole turn: an arc's sweep is measured in it.
constexpr double kFullTurn = 2.0 * std::numbers::pi;
// Island lanes of more entries than this are indexed before their distances are measured.
constexpr int kIndexedEntries = 64;
// A merged second offset leads through its links to the first lanes; a chain of links longer than
// this is not followed (a damaged table).
constexpr int kMostLinkDepth = 64;

// A loop running counter-clockwise (a copy of the lane's points turned round if need be).
void ccw_lane(int lane, pokarr& loop, int& status)
{
    lane_to_pokarr(lane, loop, status);
    if (status != 0) return;
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(loop, area, direction);
    if (direction < 0) pokarr_reverse(loop);
}

// The first lanes under second offset x: a second offset made from one first lane links to it
// alone; a merged one links to the two lanes it was merged from.
void first_lanes_under(int x, int depth, std::vector<int>& out)
{
    const lane_table& lt = lane_table_block;
    if (depth > kMostLinkDepth || x < 1 || x > lt.count) return;
    if (lt.link2[x] != 0) {
        first_lanes_under(lt.link1[x], depth + 1, out);
        first_lanes_under(lt.link2[x], depth + 1, out);
        return;
    }
    const int first = lt.link1[x];
    if (first >= 1 && first <= lt.count && lt.level[first] == lt.level[x]) out.push_back(first);
}

// The island lanes with the index of their elements, so that the elements near a point are found
// without walking the whole lane for every point.
struct island_lanes {
    std::deque<pokarr_work> loops;
    std::deque<pk_elem_index> indexes;
};

// The distance of (x, y) from the island lanes when it is below `reach` (kNoClearance otherwise),
// with the nearest point of them.
struct island_distance {
    double e = kNoClearance;
    double nx = 0.0, ny = 0.0;
};
island_distance distance_to(island_lanes& islands, double x, double y, double reach)
{
    island_distance best;
    for (std::size_t i = 0; i < islands.loops.size(); ++i) {
        const pokarr& l = islands.loops[i].a;
        pk_elem_index& index = islands.indexes[i];
        // A short lane is measured whole; an element alone is a chain of its own entries.
        const auto measure = [&](int first, int count) {
            int nearest = 0;
            double t = 0.0, nx = 0.0, ny = 0.0, d = kNoClearance;
            nearest_on_xy_chain(x, y, l.x + first, l.y + first, count, nearest, t, nx, ny, d);
            if (nearest > 0 && d < best.e) best = {d, nx, ny};
        };
        if (index.count == 0) {
            measure(0, l.count);
            continue;
        }
        pk_elem_index_candidates(index, x - reach, y - reach, x + reach, y + reach, index.candidates);
        for (const int k : index.candidates) {
            const chain_element e = chain_element_at(l.x, l.y, l.count, k);
            if (e.valid) measure(e.start, e.end - e.start + 1);
        }
    }
    if (!(best.e < reach)) best.e = kNoClearance;
    return best;
}

// Whether every element of the island lanes that distance_to would measure lies beyond `distance`
// of (x, y): then the distance it answers is not below `distance` either.
bool islands_beyond(island_lanes& islands, double x, double y, double distance, double reach)
{
    for (std::size_t i = 0; i < islands.loops.size(); ++i) {
        const pokarr& l = islands.loops[i].a;
        pk_elem_index& index = islands.indexes[i];
        if (index.count == 0) {
            for (int k = 1; k < l.count;) {
                const chain_element e = chain_element_at(l.x, l.y, l.count, k);
                if (!e.valid) break;
                if (!chain_element_beyond(l.x, l.y, e, x, y, distance)) return false;
                k = e.next;
            }
            continue;
        }
        pk_elem_index_candidates(index, x - reach, y - reach, x + reach, y + reach, index.candidates);
        for (const int k : index.candidates) {
            const chain_element e = chain_element_at(l.x, l.y, l.count, k);
            if (e.valid && !chain_element_beyond(l.x, l.y, e, x, y, distance)) return false;
        }
    }
    return true;
}

// Points along the lens, at most `spacing` apart, each with its distance from the island lanes
// and the nearest point of them; a point no nearer than `near` may get kNoClearance instead.
struct lens_point {
    double x, y, e, nx, ny;
};
void lens_points(const pokarr& lens, island_lanes& islands, double spacing, double reach, double near,
                 std::vector<lens_point>& out)
{
    for (int i = 1; i < lens.count;) {
        const chain_element c = chain_element_at(lens.x, lens.y, lens.count, i);
        if (!c.valid) break;
        i = c.next;
        const double sx = lens.x[c.start], sy = lens.y[c.start], ex = lens.x[c.end], ey = lens.y[c.end];
        double span = std::hypot(ex - sx, ey - sy);
        if (c.arc) {
            const double turn = std::atan2(ey - c.cy, ex - c.cx) - std::atan2(sy - c.cy, sx - c.cx);
            span = std::fabs(c.r) * std::fmod(c.dir * turn + 2.0 * kFullTurn, kFullTurn);
        }
        const int parts = std::max(1, static_cast<int>(std::ceil(span / spacing)));
        for (int p = 0; p < parts; ++p) {
            const double t = static_cast<double>(p) / parts;
            double x = sx + t * (ex - sx), y = sy + t * (ey - sy);
            if (c.arc) arc_pnt_by_vector(c.r, c.dir, c.cx, c.cy, sx, sy, ex, ey, t, x, y);
            const island_distance d =
                islands_beyond(islands, x, y, near, reach) ? island_distance{} : distance_to(islands, x, y, reach);
            out.push_back({x, y, d.e, d.nx, d.ny});
        }
    }
}

// Whether the lens holds a point off the second offset farther than twice the tolerance from the
// island lanes whose material lies farther than a step from every end of the second offset's
// side: there the source and the island lane stand more than a step and twice the tolerance
// apart. Within a step of such an end the merged lane's corner stands beside it. The material
// left stands midway between the island lane and the source, half a step and more off the lens
// point: it is that middle that is measured against the ends (a lens point within a step of an
// end may have its material beyond the step).
// A lens cut from a whole branch lane (corners_beside false: no merged lane turns beside it) is
// not held against its own corners, which no lane cuts.
bool lens_leaves_gap(const pokarr& lens, island_lanes& islands, double second_distance, bool corners_beside)
{
    const pocket_work& pw = pocket_work_block;
    const double step = pw.engine_step, floor = 2.0 * pw.tolerance;
    const double on_second = second_distance - pw.tolerance;
    // A lens whose box has a diagonal below the step holds no point a step from its corners.
    double box[4] = {kNoClearance, kNoClearance, -kNoClearance, -kNoClearance};
    for (int i = 0; i < lens.count; i += i + 1 < lens.count && pk_is_marker(lens.x[i + 1]) ? kArcRecordEntries : 1)
        box[0] = std::min(box[0], lens.x[i]), box[1] = std::min(box[1], lens.y[i]),
        box[2] = std::max(box[2], lens.x[i]), box[3] = std::max(box[3], lens.y[i]);
    if (corners_beside && std::hypot(box[2] - box[0], box[3] - box[1]) < step) return false;
    std::vector<lens_point> points, ends;
    const double spacing = kSampleShare * step;
    // Only whether a point lies nearer than on_second is read of a point that does not.
    lens_points(lens, islands, spacing, second_distance, on_second, points);
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const lens_point& a = points[i];
        const lens_point& b = points[(i + 1) % n];
        if ((a.e < on_second) != (b.e < on_second)) ends.push_back(a.e < on_second ? a : b);
    }
    // The middle between the island lane and the source, which stands a step beyond the lens
    // point: (step + e) / 2 off the island lane's nearest point, through the lens point. The
    // samples stand up to a spacing apart and an end is the last sample before the side leaves
    // the second offset, so the farthest middle and the true end may lie up to a spacing farther
    // apart than any pair of samples: the test allows that much, or a short gap between two
    // samples would be missed.
    const double far = step - spacing;
    const auto far_from_ends = [&](const lens_point& p) {
        const double scale = 0.5 * (step + p.e) / p.e;
        const double mx = p.nx + scale * (p.x - p.nx), my = p.ny + scale * (p.y - p.ny);
        return std::all_of(ends.begin(), ends.end(),
                           [&](const lens_point& q) { return std::hypot(mx - q.x, my - q.y) > far; });
    };
    // A lens that crosses no island lane lies wholly inside or outside each: one point tells.
    const auto outside = [&](const lens_point& p) {
        return std::none_of(islands.loops.begin(), islands.loops.end(), [&](const pokarr_work& island) {
            int inside = 0, status = 0;
            pnt_in_pokarr(p.x, p.y, island.a, inside, status);
            return status != 0 || inside > 0;
        });
    };
    return std::any_of(points.begin(), points.end(), [&](const lens_point& p) {
        return p.e < on_second && p.e > floor && far_from_ends(p) && outside(p);
    });
}

// Where the lanes of the gaps beside lane L go: the pass, and the parent they hang under.
struct gap_lane_place {
    int lane_l, parent, pass;
};

// Loop buffers given back by earlier calls, lent again: a buffer's columns are large, and a fresh
// one is zero-filled whole. Working room only: a lent buffer holds no loop (its counts beyond its
// loops are never read).
std::vector<std::unique_ptr<loop_buffer>> spare_buffers;
constexpr std::size_t kMostSpareBuffers = 8;

// A buffer for the time of one use, emptied and given back at its end.
class lent_buffer {
public:
    lent_buffer()
    {
        if (spare_buffers.empty()) {
            buffer_ = std::make_unique<loop_buffer>();
            return;
        }
        buffer_ = std::move(spare_buffers.back());
        spare_buffers.pop_back();
    }
    ~lent_buffer()
    {
        loop_buffer_clear(*buffer_);
        if (spare_buffers.size() < kMostSpareBuffers) spare_buffers.push_back(std::move(buffer_));
    }
    lent_buffer(const lent_buffer&) = delete;
    lent_buffer& operator=(const lent_buffer&) = delete;
    loop_buffer& get() { return *buffer_; }

private:
    std::unique_ptr<loop_buffer> buffer_;
};

// The parts of the loops outside island lane `from` on: a part crossing an island lane gives way
// to its parts outside it.
bool outside_islands(loop_buffer& parts, island_lanes& islands, std::size_t from, loop_buffer& out)
{
    pokarr_work part;
    for (int k = 1, first = 0; k <= parts.loops; first += parts.counts[k++]) {
        int status = 0;
        pokarr_replace(parts.counts[k], parts.points, first, part.a, status);
        if (status != 0) return false;
        std::size_t i = from;
        int crossings = 0;
        for (; i < islands.loops.size(); ++i) {
            crossings = comlup_crossings(part.a, islands.loops[i].a);
            if (crossings != 0) break;
        }
        if (crossings < 0) return false;
        if (i == islands.loops.size()) {
            loop_buffer_add(out, part.a, 1, status);
            if (status != 0) return false;
            continue;
        }
        lent_buffer rest;
        pokarr_work island;
        pokarr_copy(islands.loops[i].a, island.a, status);
        const bool cut = status == 0 && comlup_outside_loops(part.a, island.a, rest.get(), crossings);
        if (!cut || !outside_islands(rest.get(), islands, i + 1, out)) return false;
    }
    return true;
}

// The first lanes under second offset J, counter-clockwise, each indexed when long. False (status
// 11) when a lane cannot be read; true with none when J leads to no first lane.
bool read_first_lanes(int lane_j, island_lanes& islands, int& status)
{
    std::vector<int> first_lanes;
    first_lanes_under(lane_j, 0, first_lanes);
    for (const int n : first_lanes) {
        islands.loops.emplace_back();
        pokarr& l = islands.loops.back().a;
        ccw_lane(n, l, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
        islands.indexes.emplace_back();
        if (l.count > kIndexedEntries) pokarr_elem_index(l.count, l.x, l.y, islands.indexes.back());
    }
    return true;
}

// The parts of the lenses outside the island lanes that leave a gap become lanes of the pass on
// new branches: collapse lanes with the parent and first link given and second link L.
void add_gap_parts(loop_buffer& lenses, island_lanes& islands, double second_distance, bool corners_beside,
                   const gap_lane_place& place, int& branch_count, int& status)
{
    const lane_table& lt = lane_table_block;
    lent_buffer lent_parts;
    loop_buffer& parts = lent_parts.get();
    if (!outside_islands(lenses, islands, 0, parts)) status = kEngineArrayFailed;
    pokarr_work lens;
    for (int k = 1, first = 0; k <= parts.loops && status == 0; first += parts.counts[k++]) {
        pokarr_replace(parts.counts[k], parts.points, first, lens.a, status);
        if (status != 0)
            status = kEngineArrayFailed;
        else if (lens_leaves_gap(lens.a, islands, second_distance, corners_beside))
            lane_add(place.pass, ++branch_count, place.parent, place.parent, place.lane_l, lt.offset[place.lane_l],
                     kContourCollapse, lens.a, status);
    }
}

}  // namespace

void keep_island_gap_lanes(int lane_l, int lane_j, int parent, int pass, int& branch_count, int& status)
{
    status = 0;
    loop_buffer& lenses = dropped_loops_block.loops;
    island_lanes islands;
    if (lenses.loops == 0 || !read_first_lanes(lane_j, islands, status) || islands.loops.empty()) return;
    const double second_distance = lane_table_block.offset[lane_j];
    // Most lenses lie along the island's lane all their length: those are passed over before any
    // crossing search (the buffers are made only for a lens that is not).
    std::optional<lent_buffer> gapped;
    pokarr_work lens;
    for (int k = 1, first = 0; k <= lenses.loops && status == 0; first += lenses.counts[k++]) {
        pokarr_replace(lenses.counts[k], lenses.points, first, lens.a, status);
        if (status == 0 && lens_leaves_gap(lens.a, islands, second_distance, true)) {
            if (!gapped) gapped.emplace();
            loop_buffer_add(gapped->get(), lens.a, 1, status);
        }
        if (status != 0) status = kEngineArrayFailed;
    }
    if (gapped && status == 0)
        add_gap_parts(gapped->get(), islands, second_distance, true, {lane_l, parent, pass}, branch_count, status);
}

void keep_island_corner_lanes(int lane_l, int lane_j, int parent, int pass, int& branch_count, int& status)
{
    status = 0;
    island_lanes islands;
    if (!read_first_lanes(lane_j, islands, status) || islands.loops.empty()) return;
    lent_buffer whole;
    pokarr_work loop_l;
    ccw_lane(lane_l, loop_l.a, status);
    if (status == 0) loop_buffer_add(whole.get(), loop_l.a, 1, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    add_gap_parts(whole.get(), islands, lane_table_block.offset[lane_j], false, {lane_l, parent, pass}, branch_count,
                  status);
}
