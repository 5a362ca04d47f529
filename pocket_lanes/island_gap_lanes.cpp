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
// first lane are kept where its source stands that far from the first lane (at corners). Where
// the merge took away a corner of the branch lane, the island's lane beyond it is walked for
// material left between it and the source, and a lane is laid along the middle there.
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
#include "pocket_lanes/collapse_loop_scans.hpp"
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

// Lanes (the island's, the source, the merge's) with the index of their elements, so that the
// elements near a point are found without walking the whole lane for every point.
struct indexed_lanes {
    std::deque<pokarr_work> loops;
    std::deque<pk_elem_index> indexes;
};

// The distance of (x, y) from the island lanes when it is below `reach` (kNoClearance otherwise),
// with the nearest point of them.
struct island_distance {
    double e = kNoClearance;
    double nx = 0.0, ny = 0.0;
};
island_distance distance_to(indexed_lanes& islands, double x, double y, double reach)
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
bool islands_beyond(indexed_lanes& islands, double x, double y, double distance, double reach)
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

// Calls visit(x, y) at points along the loop at most `spacing` apart: every element's start and
// the points dividing it evenly.
template <class Visit> void walk_samples(const pokarr& loop, double spacing, Visit&& visit)
{
    for (int i = 1; i < loop.count;) {
        const chain_element c = chain_element_at(loop.x, loop.y, loop.count, i);
        if (!c.valid) break;
        i = c.next;
        const double sx = loop.x[c.start], sy = loop.y[c.start], ex = loop.x[c.end], ey = loop.y[c.end];
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
            visit(x, y);
        }
    }
}

// Points along the lens, at most `spacing` apart, each with its distance from the island lanes
// and the nearest point of them; a point no nearer than `near` may get kNoClearance instead.
struct lens_point {
    double x, y, e, nx, ny;
};
void lens_points(const pokarr& lens, indexed_lanes& islands, double spacing, double reach, double near,
                 std::vector<lens_point>& out)
{
    walk_samples(lens, spacing, [&](double x, double y) {
        const island_distance d =
            islands_beyond(islands, x, y, near, reach) ? island_distance{} : distance_to(islands, x, y, reach);
        out.push_back({x, y, d.e, d.nx, d.ny});
    });
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
bool lens_leaves_gap(const pokarr& lens, indexed_lanes& islands, double second_distance, bool corners_beside)
{
    const pocket_work& pw = pocket_work_block;
    const double step = pw.engine_step, floor = 2.0 * pw.tolerance;
    const double on_second = second_distance - pw.tolerance;
    // A lens whose box has a diagonal below the step holds no point a step from its corners.
    double box[4];
    pokarr_box(lens, box);
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
    // A part of a whole branch lane has no side on the second offset: its corners may reach the
    // second offset (where the branch lane's corner touches it) and its points there stand the
    // farthest of all from the island lanes.
    if (!corners_beside)
        return std::any_of(points.begin(), points.end(),
                           [&](const lens_point& p) { return p.e > floor && outside(p); });
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
bool outside_islands(loop_buffer& parts, indexed_lanes& islands, std::size_t from, loop_buffer& out)
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

// Lane n, counter-clockwise, appended to the lanes and indexed when long. False (status 11) when it
// cannot be read.
bool read_indexed(int n, indexed_lanes& lanes, int& status)
{
    lanes.loops.emplace_back();
    pokarr& l = lanes.loops.back().a;
    ccw_lane(n, l, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    lanes.indexes.emplace_back();
    if (l.count > kIndexedEntries) pokarr_elem_index(l.count, l.x, l.y, lanes.indexes.back());
    return true;
}

// The first lanes under second offset J, counter-clockwise, each indexed when long. False (status
// 11) when a lane cannot be read; true with none when J leads to no first lane.
bool read_first_lanes(int lane_j, indexed_lanes& islands, int& status)
{
    std::vector<int> first_lanes;
    first_lanes_under(lane_j, 0, first_lanes);
    return std::all_of(first_lanes.begin(), first_lanes.end(), [&](int n) { return read_indexed(n, islands, status); });
}

// The parts of the lenses outside the island lanes that leave a gap become lanes of the pass on
// new branches: collapse lanes with the parent and first link given and second link L.
void add_gap_parts(loop_buffer& lenses, indexed_lanes& islands, double second_distance, bool corners_beside,
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

// ---- gaps beside the island lane's turns ------------------------------------------------------
// Where L turned inside the second offset (a corner of L cut away by the merge, beside a corner of
// its source), the material there stood within a corner's scallop of L. Without L the lanes
// beside it are the source and the island's lane, whose rounded turn stands farther from the
// source's corner than a step, and the lens of the second offset, running along the island's lane,
// holds no point midway between them. The island's lane beyond L is walked instead: where the
// material half a step out from it stands farther than half a step from the source and from every
// lane the merge made, a lane is laid along the middle between the island's lane and those lanes.

// The island lane is walked at points this share of the step apart.
constexpr double kRayShare = 0.125;
// The middle along a normal is found to this share of the step.
constexpr double kMiddleShare = 1.0 / 1024.0;

// A point of the island's lane with its outward normal; `beyond` when it lies beyond L, `gap` when
// the material half a step out along the normal stands farther than half a step from every lane
// beside it as well.
struct island_ray {
    double x, y, nx, ny;
    bool beyond = false;
    bool gap = false;
};

// The lanes round a merge: the island's first lanes with their inside tests, the lenses (which
// hold the island lanes' stretches beyond L) with theirs, and the lanes that cover material beside
// them: the source, the merge's lanes and the live lanes of other islands near the lenses, read
// only when a point beside the island's lane asks for them.
struct merge_lanes {
    int source = 0, first_new = 0, level_j = 0;
    std::vector<int> first_lanes;  // the island's first lanes under J
    double box[4] = {};            // the box where the island's lanes are walked
    indexed_lanes islands;
    // The loops that tell where the island's lanes lie beyond L: inside a lens, or (L wholly inside
    // J) outside L itself.
    std::deque<pokarr_work> lenses;
    bool beyond_inside = true;
    // The inside tests read the loops above.
    std::deque<inside_loop> inside_islands, inside_lenses;
    indexed_lanes covering;
    bool covering_read = false;
};

// Where (x, y) lies against a prepared loop (kLoopOutside also when the test fails).
int side_of(double x, double y, inside_loop& loop)
{
    int result = kLoopOutside, status = 0;
    pnt_in_inside_loop(x, y, loop, result, status);
    return status == 0 ? result : kLoopOutside;
}

bool inside_any(std::deque<inside_loop>& loops, double x, double y)
{
    return std::any_of(loops.begin(), loops.end(), [&](inside_loop& l) { return side_of(x, y, l) != kLoopOutside; });
}

// Appends lane n to the covering lanes when its box comes near the box `near`. False with status 11
// when it cannot be read.
bool cover_when_near(merge_lanes& m, int n, const double* near, int& status)
{
    if (lane_box_known_apart(near, n)) return true;
    pokarr_work lane;
    double box[4];
    lane_to_pokarr(n, lane.a, status);
    if (status == 0) lane_box(n, -1, lane.a, box, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    if (box[0] > near[2] || box[2] < near[0] || box[1] > near[3] || box[3] < near[1]) return true;
    return read_indexed(n, m.covering, status);
}

// Reads the covering lanes: the source, the merge's lanes, the collapse lanes made since the
// source that are live and the live lanes of other islands, near the lenses.
// False with status 11 when a lane cannot be read.
bool read_covering(merge_lanes& m, int& status)
{
    const lane_table& lt = lane_table_block;
    m.covering_read = true;
    if (!read_indexed(m.source, m.covering, status)) return false;
    for (int n = m.first_new; n <= lt.count; ++n)
        if (!read_indexed(n, m.covering, status)) return false;
    const double reach = pocket_work_block.engine_step;
    const double near[4] = {m.box[0] - reach, m.box[1] - reach, m.box[2] + reach, m.box[3] + reach};
    for (int n = m.source + 1; n < m.first_new; ++n)
        if (lt.contour_type[n] == kContourCollapse && lane_live(n) && !cover_when_near(m, n, near, status))
            return false;
    std::vector<int> others;
    collapse_island_lanes(lt, others);
    for (const int n : others) {
        // J's level holds J, which the merge took away; the first lanes under J are the islands'.
        if (n < 1 || !lane_live(n) || lt.level[n] == m.level_j ||
            std::find(m.first_lanes.begin(), m.first_lanes.end(), n) != m.first_lanes.end())
            continue;
        if (!cover_when_near(m, n, near, status)) return false;
    }
    return true;
}

// The distance of (x, y) from the covering lanes when it is below `reach` (kNoClearance
// otherwise); 0 when they cannot be read (status 11).
double covering_distance(merge_lanes& m, double x, double y, double reach, int& status)
{
    if (!m.covering_read && !read_covering(m, status)) return 0.0;
    return distance_to(m.covering, x, y, reach).e;
}

// Reads the island's first lanes under J with their inside tests. False with status 11 when a
// lane cannot be read.
bool read_island_lanes(int lane_j, merge_lanes& m, int& status)
{
    m.level_j = lane_table_block.level[lane_j];
    first_lanes_under(lane_j, 0, m.first_lanes);
    for (const int n : m.first_lanes)
        if (!read_indexed(n, m.islands, status)) return false;
    for (const pokarr_work& island : m.islands.loops) inside_loop_make_many(island.a, m.inside_islands.emplace_back());
    return true;
}

// Reads the island's first lanes under J and the lenses, with their inside tests. False with
// status 11 when a lane or a lens cannot be read.
bool read_merge_lanes(const loop_buffer& lenses, int lane_j, merge_lanes& m, int& status)
{
    pokarr_box(lenses.points, m.box);
    if (!read_island_lanes(lane_j, m, status)) return false;
    for (int k = 1, first = 0; k <= lenses.loops; first += lenses.counts[k++]) {
        pokarr& lens = m.lenses.emplace_back().a;
        pokarr_replace(lenses.counts[k], lenses.points, first, lens, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
        inside_loop_make(lens, m.inside_lenses.emplace_back());
    }
    return true;
}

// The points of the island's lanes inside the lenses' box with their outward normals, in the
// order of the lanes, each marked when it lies inside a lens (beyond L); every other point (and the
// end of a lane) is a ray of no normal, which breaks the runs.
void island_rays(merge_lanes& m, double spacing, std::vector<island_ray>& rays)
{
    const double* box = m.box;
    for (const pokarr_work& island : m.islands.loops) {
        std::vector<std::pair<double, double>> at;
        walk_samples(island.a, spacing, [&](double x, double y) { at.emplace_back(x, y); });
        const std::size_t n = at.size();
        for (std::size_t i = 0; i < n && n >= 3; ++i) {
            const auto [x, y] = at[i];
            if (x < box[0] - spacing || x > box[2] + spacing || y < box[1] - spacing || y > box[3] + spacing) {
                rays.push_back({x, y, 0.0, 0.0});
                continue;
            }
            // The lane runs counter-clockwise: its outward normal is its direction turned right.
            const double tx = at[(i + 1) % n].first - at[(i + n - 1) % n].first;
            const double ty = at[(i + 1) % n].second - at[(i + n - 1) % n].second;
            const double length = std::hypot(tx, ty);
            if (length > 0.0)
                rays.push_back({x, y, ty / length, -tx / length, inside_any(m.inside_lenses, x, y) == m.beyond_inside});
            else
                rays.push_back({x, y, 0.0, 0.0});
        }
        rays.push_back({0.0, 0.0, 0.0, 0.0});
    }
}

// Whether the material `reach` out along the ray stands farther than `reach` from every covering
// lane and no nearer than half a step to another stretch of the island's lanes (the normal of a
// sampled turn is a chord's: the ray's own foot may stand a little nearer). The island's lane lies
// inside the source, so such a point does too.
bool ray_leaves_gap(merge_lanes& m, const island_ray& r, double reach, double step, int& status)
{
    if (!r.beyond) return false;
    const double x = r.x + reach * r.nx, y = r.y + reach * r.ny;
    return distance_to(m.islands, x, y, reach).e >= 0.5 * step && covering_distance(m, x, y, reach, status) >= reach;
}

// The middle along the ray between the island's lane and the nearest covering lane, within a
// step; false when no covering lane stands within a step along it. The distance to the covering
// lanes less the distance along the ray falls all the way: no covering lane crosses the ray before
// the middle. A middle inside an island lane (where the ray turns back into it) is refused too.
bool ray_middle(merge_lanes& m, const island_ray& r, double step, double& x, double& y, int& status)
{
    if (r.nx == 0.0 && r.ny == 0.0) return false;
    const auto beyond = [&](double t) {
        return covering_distance(m, r.x + t * r.nx, r.y + t * r.ny, 2.0 * step, status) > t;
    };
    double low = 0.0, high = step;
    if (beyond(high)) return false;
    while (high - low > kMiddleShare * step) {
        const double t = 0.5 * (low + high);
        (beyond(t) ? low : high) = t;
    }
    x = r.x + low * r.nx, y = r.y + low * r.ny;
    return status == 0 && !inside_any(m.inside_islands, x, y);
}

// The lane of the run of gap rays from `first` to `last`: the middles of those rays and of one ray
// either side, out and back. False when a middle of the run is missing.
bool run_lane(merge_lanes& m, const std::vector<island_ray>& rays, std::size_t first, std::size_t last, double step,
              pokarr& lane, int& status)
{
    std::vector<std::pair<double, double>> middles;
    const std::size_t from = first > 0 ? first - 1 : first, to = std::min(last + 1, rays.size() - 1);
    for (std::size_t k = from; k <= to && status == 0; ++k) {
        double x = 0.0, y = 0.0;
        if (ray_middle(m, rays[k], step, x, y, status))
            middles.emplace_back(x, y);
        else if (k >= first && k <= last)
            return false;
    }
    if (status != 0 || middles.size() < 2) return false;
    for (std::size_t k = 0; k < 2 * middles.size() - 1 && status == 0; ++k) {
        const auto& [x, y] = middles[k < middles.size() ? k : 2 * middles.size() - 2 - k];
        const double point[2] = {x, y};
        pokarr_add_pnt(point, lane, status);
    }
    if (status != 0) status = kEngineArrayFailed;
    return status == 0;
}

// Lays a lane along the middle of each run of the island's lanes beyond L where the material half
// a step out is left (see above).
void lay_turn_gap_lanes(merge_lanes& m, const gap_lane_place& place, int& branch_count, int& status)
{
    const pocket_work& pw = pocket_work_block;
    const double step = pw.engine_step, reach = 0.5 * step + 0.5 * pw.tolerance;
    std::vector<island_ray> rays;
    island_rays(m, kRayShare * step, rays);
    for (std::size_t k = 0; k < rays.size() && status == 0; ++k)
        rays[k].gap = ray_leaves_gap(m, rays[k], reach, step, status);
    for (std::size_t k = 0; k < rays.size() && status == 0; ++k) {
        if (!rays[k].gap) continue;
        std::size_t last = k;
        while (last + 1 < rays.size() && rays[last + 1].gap) ++last;
        pokarr_work lane;
        if (run_lane(m, rays, k, last, step, lane.a, status))
            lane_add(place.pass, ++branch_count, place.parent, place.parent, place.lane_l,
                     lane_table_block.offset[place.lane_l], kContourCollapse, lane.a, status);
        k = last;
    }
}

// The lanes of the island's turns beyond L that the merge left without one (see above).
void add_turn_gap_lanes(const loop_buffer& lenses, int lane_j, int first_new, const gap_lane_place& place,
                        int& branch_count, int& status)
{
    merge_lanes m;
    m.source = place.parent;
    m.first_new = first_new;
    if (read_merge_lanes(lenses, lane_j, m, status)) lay_turn_gap_lanes(m, place, branch_count, status);
}

// The same where L ended wholly inside J: the island's lanes lie beyond L wherever they run
// outside it, and L's sides, inside the island's lanes but for its corners, leave the source
// beside them. Beyond its corners the source's square sides stand off the island lane's round
// turn more than a step (a round island at the middle of a square pass): that material is left
// unless a lane is laid along the middle. The lanes added from first_new on (L's corner parts)
// count as covering.
void add_inside_turn_gap_lanes(const pokarr& loop_l, int lane_j, int first_new, const gap_lane_place& place,
                               int& branch_count, int& status)
{
    merge_lanes m;
    m.source = place.parent;
    m.first_new = first_new;
    m.beyond_inside = false;
    if (!read_island_lanes(lane_j, m, status)) return;
    pokarr_box(loop_l, m.box);
    for (const pokarr_work& island : m.islands.loops) {
        double box[4];
        pokarr_box(island.a, box);
        m.box[0] = std::min(m.box[0], box[0]), m.box[1] = std::min(m.box[1], box[1]);
        m.box[2] = std::max(m.box[2], box[2]), m.box[3] = std::max(m.box[3], box[3]);
    }
    pokarr& l = m.lenses.emplace_back().a;
    pokarr_copy(loop_l, l, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    inside_loop_make(l, m.inside_lenses.emplace_back());
    lay_turn_gap_lanes(m, place, branch_count, status);
}

}  // namespace

void keep_island_gap_lanes(int lane_l, int lane_j, int parent, int first_new, int pass, int& branch_count, int& status)
{
    status = 0;
    loop_buffer& lenses = dropped_loops_block.loops;
    indexed_lanes islands;
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
    // On pass 1 the source is the contour: the material beside it is the wall's, not a lane's.
    if (status == 0 && pass >= 2)
        add_turn_gap_lanes(lenses, lane_j, first_new, {lane_l, parent, pass}, branch_count, status);
}

void keep_island_corner_lanes(int lane_l, int lane_j, int parent, int pass, int& branch_count, int& status)
{
    status = 0;
    indexed_lanes islands;
    if (!read_first_lanes(lane_j, islands, status) || islands.loops.empty()) return;
    lent_buffer whole;
    pokarr_work loop_l;
    ccw_lane(lane_l, loop_l.a, status);
    if (status == 0) loop_buffer_add(whole.get(), loop_l.a, 1, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    const int first_new = lane_table_block.count + 1;
    add_gap_parts(whole.get(), islands, lane_table_block.offset[lane_j], false, {lane_l, parent, pass}, branch_count,
                  status);
    if (status == 0)
        add_inside_turn_gap_lanes(loop_l.a, lane_j, first_new, {lane_l, parent, pass}, branch_count, status);
}
