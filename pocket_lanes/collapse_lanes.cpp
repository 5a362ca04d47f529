// Collapse lanes: the pieces that the loop removal cut out of a branch lane's offset (noted by the
// one-offset step) and those the sharp corners of its new lanes leave, their parts inside the
// source, and the choice of those that become lanes because material in them would stand farther
// than half a step from every lane. The lane loop records them after each branch offset.
#include "pocket_lanes/collapse_lanes.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_horn_tail.hpp"
#include "pocket_lanes/collapse_loop_scans.hpp"
#include "pocket_lanes/collapse_part_lanes.hpp"
#include "pocket_lanes/collapse_whole_tail.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/loop_relation.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <memory>
#include <numbers>
#include <numeric>
#include <utility>
#include <vector>

collapse_pieces collapse_pieces_block;

namespace {

constexpr int kPlanar = 2;
// A piece is judged at points about its centre line, which may miss its deepest material by a
// little: it is kept when material stands farther than half a step plus this share of the
// tolerance, so that nothing is left farther than half a step plus the whole tolerance.
constexpr double kSampledShare = 0.5;
// The flattening of a width measure: a tenth of the width it is held against.
constexpr double kWidthChordShare = 0.1;
// Islands of this contour type are passed over by the island tests of the offsets, and here.
constexpr int kContourOpen = 2;

// A noted piece as a pocket array over the block's memory from its first entry (turned round in
// place when recorded).
struct noted_piece {
    pokarr a;
    noted_piece(std::size_t first, int count)
    {
        collapse_pieces& b = collapse_pieces_block;
        pokarr_init(kPlanar, a);
        int status = 0;
        pokarr_init_static(kPlanar, b.x.data() + first, b.y.data() + first, nullptr, nullptr, count, count, a, status);
    }
    ~noted_piece() { pokarr_free(a); }
    noted_piece(const noted_piece&) = delete;
    noted_piece& operator=(const noted_piece&) = delete;
};

// ---- distances --------------------------------------------------------------------------------

// An element of a loop with its box.
struct boxed_element {
    const pokarr* loop;
    boxed_chain_element b;
};

// Indexes given back by the loops of earlier calls, made again for other loops: their columns
// keep their room (a call makes a few indexes, and allocating their columns anew cost as much as
// filling them). Working room only: every index is made afresh before it is read.
std::vector<std::unique_ptr<pk_elem_index>> spare_indexes;
constexpr std::size_t kMostSpareIndexes = 16;

// A loop with the index of its elements' boxes, so that the elements near a piece are found
// without walking the whole loop for every piece. The index is built when a box first meets the
// loop's: most lanes of an offset stand far from every piece (and so it is held apart, leaving
// the loops of a call small to make and give back).
struct indexed_loop {
    const pokarr* loop = nullptr;
    double box[4] = {};  // with its arcs' circles
    std::unique_ptr<pk_elem_index> index;
    explicit indexed_loop(const pokarr* of) : loop(of) { collapse_loop_box(*of, box); }
    ~indexed_loop()
    {
        if (index && spare_indexes.size() < kMostSpareIndexes) spare_indexes.push_back(std::move(index));
    }
    indexed_loop(const indexed_loop&) = delete;
    indexed_loop& operator=(const indexed_loop&) = delete;
    pk_elem_index& made()
    {
        if (!index) {
            if (spare_indexes.empty()) {
                index = std::make_unique<pk_elem_index>();
            } else {
                index = std::move(spare_indexes.back());
                spare_indexes.pop_back();
            }
            pokarr_elem_index(loop->count, loop->x, loop->y, *index);
        }
        return *index;
    }
};

// A loop of at most this many entries (a collapse lane, a small island's lane) is walked whole:
// listing its few elements costs less than indexing it.
constexpr int kWalkedLoopEntries = 24;

// The elements of the loop whose boxes come within `reach` of the box (x min, y min, x max, y max),
// and with them, for a small loop, its other elements (the distance test passes over those by
// their boxes). A loop whose box stands farther off has none (its elements' boxes lie within its
// box).
void elements_near(indexed_loop& l, const double* box, double reach, std::vector<boxed_element>& out)
{
    const pokarr& loop = *l.loop;
    if (box[0] - reach > l.box[2] || box[2] + reach < l.box[0] || box[1] - reach > l.box[3] ||
        box[3] + reach < l.box[1])
        return;
    if (loop.count <= kWalkedLoopEntries) {
        for (int i = 1; i < loop.count;) {
            const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
            if (!e.valid) break;
            i = e.next;
            out.push_back({&loop, boxed_chain_element_of(loop.x, loop.y, e)});
        }
        return;
    }
    pk_elem_index& index = l.made();
    pk_elem_index_candidates(index, box[0] - reach, box[1] - reach, box[2] + reach, box[3] + reach, index.candidates);
    for (const int k : index.candidates) {
        const chain_element e = chain_element_at(loop.x, loop.y, loop.count, k);
        if (!e.valid) continue;
        out.push_back({&loop, boxed_chain_element_of(loop.x, loop.y, e)});
    }
}

// The squared distance of (px, py) from an element. On an arc the point's direction from the
// centre decides: within the arc's sweep the circle is nearest, else the nearer end. Squares only
// but for the circle: the witness points of every piece are measured against every element near
// them.
double element_distance2(const pokarr& loop, const chain_element& e, double px, double py)
{
    const double sx = loop.x[e.start], sy = loop.y[e.start], ex = loop.x[e.end], ey = loop.y[e.end];
    // A line, or an arc whose ends meet (a whole circle or none): the general nearest point.
    if (!e.arc || std::fabs(sx - ex) + std::fabs(sy - ey) < kPocketValueTolerance) {
        double nx = 0.0, ny = 0.0, t = 0.0;
        chain_element_nearest(loop.x, loop.y, e, px, py, nx, ny, t);
        return (px - nx) * (px - nx) + (py - ny) * (py - ny);
    }
    const double dx = px - e.cx, dy = py - e.cy;
    if (arc_sweep_holds(loop, e, dx, dy)) {
        const double off = std::sqrt(dx * dx + dy * dy) - std::fabs(e.r);
        return off * off;
    }
    return std::min((px - sx) * (px - sx) + (py - sy) * (py - sy), (px - ex) * (px - ex) + (py - ey) * (py - ey));
}

// Whether the element's box, and an arc's circle, lie farther than `reach` from (px, py): then
// the element does too.
bool element_beyond(const boxed_element& near, double px, double py, double reach)
{
    const double* box = near.b.box;
    const double bx = std::max(std::max(box[0] - px, 0.0), px - box[2]);
    const double by = std::max(std::max(box[1] - py, 0.0), py - box[3]);
    if (bx * bx + by * by > reach * reach) return true;
    const chain_element& e = near.b.e;
    if (!e.arc) return false;
    // The box holds the whole circle and passes many.
    const double r = std::fabs(e.r), dx = px - e.cx, dy = py - e.cy, d2 = dx * dx + dy * dy;
    return d2 > (r + reach) * (r + reach) || (r > reach && d2 < (r - reach) * (r - reach));
}

// Whether one of the elements comes within `reach` of (px, py). An element's box floors its
// distance, so most elements are passed over without measuring. The element found is moved to the
// front: the next point asked lies near this one, and mostly within reach of the same element.
bool near_within(std::vector<boxed_element>& elements, double px, double py, double reach)
{
    for (boxed_element& near : elements) {
        if (element_beyond(near, px, py, reach) || element_distance2(*near.loop, near.b.e, px, py) > reach * reach)
            continue;
        if (&near != &elements.front()) std::swap(near, elements.front());
        return true;
    }
    return false;
}

// Whether the material test searches a part wider than the reach for its deepest material besides
// the points about its centre line (holds_material): a thinner part holds its material about that
// line.
bool searched_deep(const pokarr& part, double reach) { return loop_hull_width(part, kWidthChordShare * reach) > reach; }

// The distance of (px, py) from the nearest of the elements, or `most` when none is nearer.
double near_distance(const std::vector<boxed_element>& elements, double px, double py, double most)
{
    double least = most;
    for (const boxed_element& near : elements)
        if (!element_beyond(near, px, py, least))
            least = std::min(least, std::sqrt(element_distance2(*near.loop, near.b.e, px, py)));
    return least;
}

// ---- the material a piece holds ----------------------------------------------------------------

// Points about the piece's centre line: the mean of its vertices, and the points at a quarter, a
// half and three quarters of every element moved into the piece by its mean half width (area
// over length). A piece that is a line laid out and back has no width: the points lie on it.
// `direction` is the piece's (1 counter-clockwise, -1 clockwise): the inside lies to the left of
// a counter-clockwise piece.
void witness_points(const pokarr& piece, int direction, double half_width, std::vector<double>& out)
{
    out.clear();
    double sum_x = 0.0, sum_y = 0.0;
    int vertices = 0;
    for (int i = 1; i < piece.count;) {
        const chain_element e = chain_element_at(piece.x, piece.y, piece.count, i);
        if (!e.valid) break;
        i = e.next;
        const double sx = piece.x[e.start], sy = piece.y[e.start], ex = piece.x[e.end], ey = piece.y[e.end];
        sum_x += sx, sum_y += sy, ++vertices;
        constexpr double kAlong[3] = {0.25, 0.5, 0.75};
        double arc_x[3], arc_y[3];
        if (e.arc) arc_pnts_by_vector(e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, kAlong, 3, arc_x, arc_y);
        for (int j = 0; j < 3; ++j) {
            const double t = kAlong[j];
            double mx = sx + t * (ex - sx), my = sy + t * (ey - sy), nx = -(ey - sy), ny = ex - sx;
            if (e.arc) {
                // An arc turning the piece's way has its centre inside.
                mx = arc_x[j], my = arc_y[j];
                nx = e.dir * (e.cx - mx), ny = e.dir * (e.cy - my);
            }
            // Coordinates of a pocket never come near over- or underflow: no need for hypot.
            const double length = std::sqrt(nx * nx + ny * ny);
            if (!(length > 0.0)) continue;
            const double scale = direction * half_width / length;
            out.push_back(mx + scale * nx);
            out.push_back(my + scale * ny);
        }
    }
    if (vertices > 0) {
        out.push_back(sum_x / vertices);
        out.push_back(sum_y / vertices);
    }
}

constexpr double kIslandBoxSlack = 100.0 * kPocketRangeSlack;

// Work lists of the pieces' tests, kept from one piece to the next and from one call to the next
// (their room is not allocated anew for every branch offset). Working room only: each is emptied
// before use. A call borrows the shared lists while no other call holds them, else it has its own.
struct piece_lists {
    std::vector<double> points;
    std::vector<boxed_element> near;
    std::vector<tail_corner> corners;
    bool lent = false;
};
piece_lists shared_piece_lists;

struct borrowed_lists {
    piece_lists own;
    piece_lists* lists;
    borrowed_lists() : lists(shared_piece_lists.lent ? &own : &shared_piece_lists)
    {
        lists->lent = true;
        lists->points.clear(), lists->near.clear(), lists->corners.clear();
    }
    ~borrowed_lists() { lists->lent = false; }
    borrowed_lists(const borrowed_lists&) = delete;
    borrowed_lists& operator=(const borrowed_lists&) = delete;
};

// The source and the lanes the offset made (the lanes from first_new on, and the collapse lanes
// as they are recorded), read and indexed when a piece first needs them.
struct measured_loops {
    const pokarr& source;
    int first_new = 0;
    bool ready = false;
    std::deque<pokarr_work> lanes;
    std::deque<indexed_loop> loops;
    borrowed_lists borrowed;
    std::vector<double>& points = borrowed.lists->points;
    std::vector<boxed_element>& near = borrowed.lists->near;
    // The collapse lanes recorded as detours of the source so far: their points (among `lanes`)
    // and boxes.
    struct detour {
        const pokarr* loop;
        double box[4];    // with its arcs' circles
        double tight[4];  // of its elements as they run, measured when a part first meets the box
        bool tight_made;
    };
    std::vector<detour> detours;
    // The corners where the lanes turn left (collapse_whole_tail.hpp), sorted, noted once when a
    // piece first needs them.
    std::vector<tail_corner>& corners = borrowed.lists->corners;
    bool corners_noted = false;
    const std::vector<tail_corner>& lane_corners(int& status)
    {
        if (corners_noted) return corners;
        corners_noted = true;
        const std::deque<indexed_loop>& all = get(status);
        for (std::size_t k = 1; k < all.size() && status == 0; ++k) whole_tail_corners_note(*all[k].loop, corners);
        whole_tail_corners_sort(corners);
        return corners;
    }
    // The current lane of each contour island (index k - 1 for island k; 0 none), found once.
    std::vector<int> islands;
    bool islands_found = false;
    // The source made ready for inside tests when a piece first needs it.
    inside_loop inside_source;
    bool inside_made = false;
    measured_loops(const pokarr& from, int first) : source(from), first_new(first) {}
    // The index of the source's elements (the first of `loops`), built when a piece first needs it.
    pk_elem_index& source_index()
    {
        if (loops.empty()) take(&source);
        return loops.front().made();
    }
    // Where a point lies against the source: a ray through the source's index tells inside from
    // outside, and a point within reach of the source's outline lies on it; where the ray passes
    // an end or a tangent the general inside test decides.
    int source_side(double px, double py, int& status)
    {
        const ray_side side = horn_tail_point_side(source, source_index(), px, py);
        if (side != ray_side::unsure)
            return side == ray_side::inside ? kLoopInside : side == ray_side::outside ? kLoopOutside : kLoopOnBoundary;
        int where = kLoopOutside;
        pnt_in_inside_loop(px, py, inside(), where, status);
        return where;
    }
    inside_loop& inside()
    {
        if (!inside_made) inside_loop_make(source, inside_source);
        inside_made = true;
        return inside_source;
    }
    void take(const pokarr* loop) { loops.emplace_back(loop); }
    void take_lane(int n, int& status)
    {
        lanes.emplace_back();
        lane_to_pokarr(n, lanes.back().a, status);
        if (status != 0) status = kEngineArrayFailed;
        take(&lanes.back().a);
    }
    std::deque<indexed_loop>& get(int& status)
    {
        if (ready) return loops;
        ready = true;
        source_index();
        for (int n = first_new; n <= lane_table_block.count && status == 0; ++n) take_lane(n, status);
        return loops;
    }
    // The island lanes the island tests of the offsets read: per contour island the newest lane
    // of its level, none when that is a closing lane; one backward walk of the table for all.
    const std::vector<int>& island_lanes()
    {
        if (islands_found) return islands;
        islands_found = true;
        collapse_island_lanes(lane_table_block, islands);
        return islands;
    }
    // The island lanes the island tests ask (open contours are no islands) with their boxes,
    // read once.
    struct island_lane {
        int lane;
        double box[4];
    };
    std::vector<island_lane> island_boxes;
    bool island_boxes_found = false;
    const std::vector<island_lane>& boxed_islands(int& status)
    {
        if (island_boxes_found) return island_boxes;
        island_boxes_found = true;
        const lane_table& lt = lane_table_block;
        pokarr_work points(lane_array_dimension());
        for (const int lane : island_lanes()) {
            if (lane == 0 || lt.contour_type[lane] == kContourOpen || status != 0) continue;
            island_boxes.push_back({lane, {}});
            pokarr_reset(points.a, 0, status);
            if (status == 0 && lt.box_index[lane] == -1) lane_to_pokarr(lane, points.a, status);
            if (status == 0) lane_box(lane, -1, points.a, island_boxes.back().box, status);
        }
        island_order.resize(island_boxes.size());
        std::iota(island_order.begin(), island_order.end(), 0);
        std::sort(island_order.begin(), island_order.end(), [&](int a, int b) {
            return island_boxes[std::size_t(a)].box[0] < island_boxes[std::size_t(b)].box[0];
        });
        for (const island_lane& i : island_boxes) island_width = std::max(island_width, i.box[2] - i.box[0]);
        return island_boxes;
    }
    // The islands (places in `island_boxes`) ordered by their boxes' left sides, and the widest
    // box's width: a box meets only islands whose left sides lie within that width left of it
    // (with a slack far above the rounding of the difference).
    std::vector<int> island_order;
    double island_width = 0.0;
    std::vector<int> island_candidates;
    // The places of the islands whose boxes meet the box, in the order of `island_boxes`.
    const std::vector<int>& islands_meeting(const double* box, int& status)
    {
        const std::vector<island_lane>& all = boxed_islands(status);
        island_candidates.clear();
        auto first = std::lower_bound(island_order.begin(), island_order.end(), box[0] - island_width - kIslandBoxSlack,
                                      [&](int k, double x) { return all[std::size_t(k)].box[0] < x; });
        for (; first != island_order.end() && all[std::size_t(*first)].box[0] <= box[2]; ++first)
            if (boxes_meet(all[std::size_t(*first)].box, box, 0.0)) island_candidates.push_back(*first);
        std::sort(island_candidates.begin(), island_candidates.end());
        return island_candidates;
    }
};

// The witness points of a piece (witness_points) into `points`; false when it has none or is too
// thick to hold material: the part a piece lies in is half as wide as the distance less the
// piece's half width, and a piece that thick holds no point farther than `reach` from its walls.
bool piece_witnesses(const pokarr& piece, double distance, double reach, std::vector<double>& points, int& status)
{
    double area = 0.0, length = 0.0;
    int direction = 0;
    pokarr copy = piece;
    pokarr_area_dir(copy, area, direction);
    pokarr_length(kPlanar, piece, nullptr, length, status);
    if (status != 0 || !(length > 0.0)) return false;
    const double half_width = area / length;
    if (!(half_width < distance - reach)) return false;
    witness_points(piece, direction, half_width, points);
    return !points.empty();
}

// Whether some point about the piece's centre line lies inside it (or on it) farther than `reach`
// from the source and from every new lane (`measured`).
bool holds_material(const pokarr& piece, measured_loops& measured, double distance, double reach, int& status)
{
    std::vector<double>& points = measured.points;
    if (!piece_witnesses(piece, distance, reach, points, status)) return false;
    double box[4] = {points[0], points[1], points[0], points[1]};
    for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
        box[0] = std::min(box[0], points[k]), box[1] = std::min(box[1], points[k + 1]);
        box[2] = std::max(box[2], points[k]), box[3] = std::max(box[3], points[k + 1]);
    }
    std::deque<indexed_loop>& loops = measured.get(status);
    if (status != 0) return false;
    std::vector<boxed_element>& near = measured.near;
    near.clear();
    for (indexed_loop& l : loops) elements_near(l, box, reach, near);
    inside_loop inside;
    bool inside_made = false;
    for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
        const double px = points[k], py = points[k + 1];
        if (near_within(near, px, py, reach)) continue;
        const ray_side side = horn_tail_point_side_in_loop(piece, px, py);
        if (side == ray_side::inside) return true;
        if (side == ray_side::outside) continue;
        // Near the piece's outline the general test decides (a point on it counts as inside).
        if (!inside_made) inside_loop_make(piece, inside);
        inside_made = true;
        int where = kLoopOutside;
        pnt_in_inside_loop(px, py, inside, where, status);
        if (status != 0) return false;
        if (where != kLoopOutside) return true;
    }
    // A part wider than the reach (where three walls meet about a point a little farther than
    // half a step from each, or a lens whose middle the points above miss) may hold its material
    // off every point about a centre line: a point inside it farther than half a step and the
    // tolerance from the source and the new lanes is sought. The part's depth lifted by that
    // distance (the least of the two passes it only inside the part) bounds the distance measured
    // from the elements near the part. A thinner part holds its material about its centre line.
    const pocket_work& w = pocket_work_block;
    const double depth = 0.5 * w.engine_step + w.tolerance, most = depth + w.tolerance;
    if (!searched_deep(piece, reach)) return false;
    const outline_distance inside_part(piece);
    double part_box[4];
    if (!inside_part.box(part_box)) return false;
    near.clear();
    for (indexed_loop& l : loops) elements_near(l, part_box, most, near);
    const auto measure = [&](double x, double y) {
        const double lifted = std::min(inside_part(x, y) + depth, most);
        return lifted > 0.0 ? near_distance(near, x, y, lifted) : lifted;
    };
    double x = 0.0, y = 0.0;
    return collapse_deep_point(part_box, depth, collapse_depth_cell(), measure, x, y);
}

// Whether the island lane lies beyond the source: its first vertex off the source's boundary lies
// outside it. A branch lane that met an island was merged with it, and the island lies beyond
// the merged lane, whose boundary runs along the island's lane there.
bool beyond_source(const pokarr& island, measured_loops& measured, int& status)
{
    for (int i = 1; i < island.count;) {
        const chain_element e = chain_element_at(island.x, island.y, island.count, i);
        if (!e.valid) break;
        i = e.next;
        const int where = measured.source_side(island.x[e.end], island.y[e.end], status);
        if (status != 0) return false;
        if (where != kLoopOnBoundary) return where == kLoopOutside;
    }
    return true;
}

// Where the loop lies against another, by the middles of its elements (two parts of one source
// share their vertices where they run along it and where the raw offset crossed itself).
int middles_against(const pokarr& loop, const pokarr& other, int& status)
{
    inside_loop inside;
    inside_loop_make(other, inside);
    return middles_against_loop(loop, inside, status);
}

// How a piece meets the island lanes: not at all, crossing or touching one, or holding one or
// lying in one.
enum class island_meeting { none, crosses, holds };

// How an island's current lane meets the piece: crosses it, holds its first point, or lies in it;
// `island` then holds that lane. Islands whose boxes miss the piece's are passed over; open
// contours are no islands. The piece lies inside its source and may run along it (a part cut out
// of a swallowtail, the piece behind a sharp corner, which reaches the source's sides), and so
// along the islands merged into the source, which lie beyond it: only the islands inside the
// source are asked.
island_meeting meets_island(pokarr& piece, measured_loops& measured, pokarr& island, int& status)
{
    double box[4];
    collapse_loop_box(piece, box);
    const std::vector<int>& near = measured.islands_meeting(box, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return island_meeting::none;
    }
    for (const int k : near) {
        const int lane = measured.island_boxes[std::size_t(k)].lane;
        pokarr_reset(island, 0, status);
        if (status == 0) lane_to_pokarr(lane, island, status);
        if (status == 0 && beyond_source(island, measured, status)) continue;
        int crossing = 0, inside = kLoopOutside, holds = kLoopOutside;
        if (status == 0) pokarr_intersect_test(kLuplupFirstOnly, island, piece, crossing);
        if (status == 0 && crossing == 0) pnt_in_pokarr(piece.x[0], piece.y[0], island, inside, status);
        if (status == 0 && crossing == 0 && inside == kLoopOutside)
            pnt_in_pokarr(island.x[0], island.y[0], piece, holds, status);
        // A piece that only touches the lane (a part left by cutting that lane out runs along
        // it) lies in it or holds it as the middles of its elements say.
        // Two loops cross an even number of times: an odd count is a touch along a stretch that
        // the search saw cross at one end only (a vertex a hair across the lane), and no cut
        // could follow it.
        const int proper = status == 0 && crossing > 0 ? comlup_crossings(piece, island) : 0;
        const bool crosses = proper > 0 && proper % 2 == 0;
        if (status == 0 && crossing > 0 && !crosses) {
            inside = middles_against(piece, island, status);
            if (status == 0 && inside != kLoopInside) holds = middles_against(island, piece, status);
        }
        if (status != 0 || crossing < 0 || proper < 0) {
            status = kEngineArrayFailed;
            return island_meeting::none;
        }
        if (crosses) return island_meeting::crosses;
        if (crossing > 0) {
            if (inside == kLoopInside || holds == kLoopInside) return island_meeting::holds;
            continue;
        }
        if (inside != kLoopOutside || holds != kLoopOutside) return island_meeting::holds;
    }
    return island_meeting::none;
}

// Whether a piece that does not cross the source lies inside it: its first arc middle or vertex off
// the source's boundary decides (a piece lying wholly on the boundary holds nothing). A piece cut
// out where the walls stand a step apart has arcs touching the opposite walls at their middles:
// its vertices, where the walls' offsets cross, stand off them.
bool uncrossed_piece_inside(const pokarr& piece, measured_loops& measured, int& status)
{
    const auto decided = [&](double px, double py, bool& inside) {
        const int where = measured.source_side(px, py, status);
        inside = where == kLoopInside;
        return status != 0 || where != kLoopOnBoundary;
    };
    for (int i = 1; i < piece.count;) {
        const chain_element e = chain_element_at(piece.x, piece.y, piece.count, i);
        if (!e.valid) break;
        i = e.next;
        const double ex = piece.x[e.end], ey = piece.y[e.end];
        double mx = ex, my = ey;
        bool inside = false;
        if (e.arc) arc_pnt_by_vector(e.r, e.dir, e.cx, e.cy, piece.x[e.start], piece.y[e.start], ex, ey, 0.5, mx, my);
        if (decided(mx, my, inside) || (e.arc && decided(ex, ey, inside))) return status == 0 && inside;
    }
    return false;
}

// Whether every point of the piece's box lies within `reach` of the source or of a new lane: no
// part of the piece can then hold material. The crumbs the loop removal leaves along the source
// are passed over at the cost of a few distances.
bool near_measured(const pokarr& piece, measured_loops& measured, double reach, int& status)
{
    double box[4];
    collapse_loop_box(piece, box);
    const double half = 0.5 * std::hypot(box[2] - box[0], box[3] - box[1]);
    if (!(half < reach)) return false;
    std::deque<indexed_loop>& loops = measured.get(status);
    if (status != 0) return false;
    // Loop by loop, the source first: most crumbs lie along it, and the lanes after need no look.
    std::vector<boxed_element>& near = measured.near;
    for (indexed_loop& l : loops) {
        near.clear();
        elements_near(l, box, reach, near);
        if (near_within(near, 0.5 * (box[0] + box[2]), 0.5 * (box[1] + box[3]), reach - half)) return true;
    }
    return false;
}

// The box of a loop's elements as they run (an arc's own box, not its circle's).
void tight_box(const pokarr& loop, double* box)
{
    box[0] = box[1] = 1.0e300, box[2] = box[3] = -1.0e300;
    for (int i = 1; i < loop.count;) {
        const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
        if (!e.valid) break;
        i = e.next;
        double b[4] = {std::min(loop.x[e.start], loop.x[e.end]), std::min(loop.y[e.start], loop.y[e.end]),
                       std::max(loop.x[e.start], loop.x[e.end]), std::max(loop.y[e.start], loop.y[e.end])};
        // An arc reaches its circle's extreme in a direction that lies within its sweep (a closed
        // arc, a whole circle, in every direction).
        const bool closed = std::fabs(loop.x[e.start] - loop.x[e.end]) + std::fabs(loop.y[e.start] - loop.y[e.end]) <
                            kPocketValueTolerance;
        const double r = std::fabs(e.r);
        for (const auto& [dx, dy] : {std::pair{1.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {0.0, -1.0}}) {
            if (!e.arc || !(closed || arc_sweep_holds(loop, e, dx, dy))) continue;
            b[0] = std::min(b[0], e.cx + r * dx), b[1] = std::min(b[1], e.cy + r * dy);
            b[2] = std::max(b[2], e.cx + r * dx), b[3] = std::max(b[3], e.cy + r * dy);
        }
        box[0] = std::min(box[0], b[0]), box[1] = std::min(box[1], b[1]);
        box[2] = std::max(box[2], b[2]), box[3] = std::max(box[3], b[3]);
    }
}

// Boxes of loops this far apart are taken to meet: the crossing search counts touches within a
// micron, a hundred times that keeps clear of its rule.
constexpr double kDetourBoxSlack = 100.0 * kPocketRangeSlack;

// Whether a vertex or the middle of an element of the chain lies inside the loop, off its
// boundary. Such a point of one loop's boundary inside another puts some area inside both; loops
// that share stretches of their boundaries (parts cut from one source) may do so without a
// crossing and without either lying inside the other whole.
bool boundary_point_inside(const pokarr& chain, inside_loop& loop, int& status)
{
    std::vector<chain_element> elements;
    chain_elements_of(chain.x, chain.y, chain.count, elements);
    for (const chain_element& e : elements) {
        const double sx = chain.x[e.start], sy = chain.y[e.start], ex = chain.x[e.end], ey = chain.y[e.end];
        double mx = 0.5 * (sx + ex), my = 0.5 * (sy + ey);
        if (e.arc) arc_pnt_by_vector(e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, 0.5, mx, my);
        for (const auto& [x, y] : {std::pair{ex, ey}, std::pair{mx, my}}) {
            int result = kLoopOnBoundary;
            pnt_in_inside_loop(x, y, loop, result, status);
            if (status != 0 || result == kLoopInside) return status == 0;
        }
    }
    return false;
}

// Whether two loops that do not cross have area in common: one lies in the other, or they share
// stretches of their boundaries and some point of one boundary lies inside the other.
bool loops_share_area(const pokarr& a, const pokarr& b, int& status)
{
    inside_loop in_a, in_b;
    inside_loop_make(b, in_b);
    if (boundary_point_inside(a, in_b, status) || status != 0) return status == 0;
    inside_loop_make(a, in_a);
    return boundary_point_inside(b, in_a, status) && status == 0;
}

// Whether the part crosses a detour of the source recorded before or shares area with one: the
// source's cut, which goes round its detours, would then cross itself.
bool overlaps_detour(pokarr& part, measured_loops& measured, int& status)
{
    if (measured.detours.empty()) return false;
    double box[4], tight[4];
    collapse_loop_box(part, box);
    bool tight_made = false;
    for (measured_loops::detour& d : measured.detours) {
        if (!boxes_meet(d.box, box, 0.0)) continue;
        if (!tight_made) tight_box(part, tight);
        if (!d.tight_made) tight_box(*d.loop, d.tight);
        tight_made = d.tight_made = true;
        // Loops whose elements' boxes stand apart neither cross nor nest (the circles' boxes
        // above meet far more often).
        if (!boxes_meet(d.tight, tight, kDetourBoxSlack)) continue;
        if (comlup_crossings(part, *d.loop) != 0) return true;
        const bool shared = loops_share_area(part, *d.loop, status);
        if (status != 0 || shared) return shared;
    }
    return false;
}

// Loops handed from the clip to the tests. One buffer serves every call (its count columns are
// large: clearing them for each branch offset cost more than the clip); given back on every path.
// Between the pieces of one call it keeps its points' block, emptied.
loop_buffer parts_buffer;
struct piece_parts {
    loop_buffer* buffer = &parts_buffer;
    piece_parts() { loop_buffer_clear(parts_buffer); }
    ~piece_parts() { loop_buffer_clear(parts_buffer); }
    piece_parts(const piece_parts&) = delete;
    piece_parts& operator=(const piece_parts&) = delete;
};

// Empties the buffer for the next piece, keeping its points' block.
void parts_restart(loop_buffer& parts, int& status)
{
    parts.loops = 0;
    if (parts.points.kind != kPokarrEmpty) pokarr_reset(parts.points, 0, status);
    if (status != 0) status = kEngineArrayFailed;
}

// The parts of the piece (running counter-clockwise) that lie inside the source, into `parts`;
// the piece itself is not copied there when it lies inside (`whole`). Where a lane
// narrows into a horn (a crescent's end, a cusp round an island, a sharp corner), the walls'
// offsets pass each other and the loop removal cuts out the swallowtail between them, which runs
// along the horn's middle and on past its end, out of the source where the walls stand less than
// a step apart: its part inside the source holds every point of the horn farther than half a
// step from the walls. A piece that cannot be cut is left out. A piece that does not cross the
// source is a part only when it lies inside and holds material (`whole` then): the material is
// measured first, as most such pieces hold none and the inside test costs more.
void parts_inside_source(pokarr& piece, measured_loops& measured, double distance, double reach, loop_buffer& parts,
                         bool& whole, int& status)
{
    whole = false;
    parts_restart(parts, status);
    if (status != 0) return;
    int crossings = 0;
    const bool direct =
        horn_tail_inside_loops(measured.source, measured.source_index(), piece, parts, crossings, status);
    if (status != 0) return;
    pokarr source = measured.source;  // the crossing search reads it only
    if (!direct && !comlup_inside_loops(source, piece, parts, crossings)) {
        loop_buffer_clear(parts);
        return;
    }
    if (crossings > 0 || !holds_material(piece, measured, distance, reach, status) || status != 0) return;
    whole = uncrossed_piece_inside(piece, measured, status);
}

// A lane corner between two lines sharper than a right angle: beyond it the sides of the source
// the lane was offset from stand more than a step apart, and material there may stand farther
// than half a step from both lanes. The offset's mitre point closes such a corner without a
// piece to cut out, so the piece is made here: the triangle between the corner and the points
// where the lane's sides, carried on past the corner, meet the source's sides (the lane's sides
// moved out by the distance). Corners of arcs leave their pieces in the loop removal.
bool corner_piece(const pokarr& lane, const chain_element& in, const chain_element& out, double distance, double reach)
{
    // Corners up to a right angle leave at most step / (1 + sin 45 deg): the corner rule of the
    // offsets, not a collapse. A right angle with its rounding counts as one.
    constexpr double kRightAngleSine = 0.70710678118654752 * (1.0 - 1.0e-6);
    if (in.arc || out.arc) return false;
    const double cx = lane.x[in.end], cy = lane.y[in.end];
    double ax = cx - lane.x[in.start], ay = cy - lane.y[in.start];
    double bx = lane.x[out.end] - cx, by = lane.y[out.end] - cy;
    // Only a left turn of more than a right angle can pass the test below.
    if (!(ax * by - ay * bx > 0.0) || !(ax * bx + ay * by < 0.0)) return false;
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    if (!(la > 0.0) || !(lb > 0.0)) return false;
    ax /= la, ay /= la, bx /= lb, by /= lb;
    const double turn = ax * by - ay * bx, along = ax * bx + ay * by;
    if (!(turn > 0.0)) return false;
    // The sine of half the inner angle, the cosine of half the turn (the turn is pi less the
    // inner angle): sqrt((1 + cos turn) / 2).
    const double sine = std::sqrt(0.5 * (1.0 + along));
    if (!(sine < kRightAngleSine) || !(distance / (1.0 + sine) > reach)) return false;
    // Where the line from p along u meets the line through q along v, ahead of p.
    auto meet = [](double px, double py, double ux, double uy, double qx, double qy, double vx, double vy, double& x,
                   double& y) {
        const double det = ux * vy - uy * vx;
        if (std::fabs(det) < kPocketValueTolerance) return false;
        const double u = ((qx - px) * vy - (qy - py) * vx) / det;
        x = px + u * ux, y = py + u * uy;
        return u > 0.0;
    };
    double x[4] = {cx, 0.0, 0.0, cx}, y[4] = {cy, 0.0, 0.0, cy};
    if (!meet(cx, cy, ax, ay, cx + distance * by, cy - distance * bx, bx, by, x[1], y[1]) ||
        !meet(cx, cy, -bx, -by, cx + distance * ay, cy - distance * ax, ax, ay, x[2], y[2]))
        return false;
    pokarr piece;
    pokarr_init(kPlanar, piece);
    int status = 0;
    pokarr_init_static(kPlanar, x, y, nullptr, nullptr, 4, 4, piece, status);
    if (status == 0) collapse_piece_note(piece, distance);
    pokarr_free(piece);
    return status == 0;
}

// The pieces behind every corner of the lane: where each element ends and the next (the first
// after the last: the lane is closed) starts. The corners that left a piece go to `noted`.
void corner_pieces(const pokarr& lane, double distance, double reach, std::vector<double>& noted)
{
    const chain_element first = chain_element_at(lane.x, lane.y, lane.count, 1);
    if (!first.valid) return;
    for (chain_element in = first;;) {
        const chain_element next = chain_element_at(lane.x, lane.y, lane.count, in.next);
        if (corner_piece(lane, in, next.valid ? next : first, distance, reach)) {
            noted.push_back(lane.x[in.end]);
            noted.push_back(lane.y[in.end]);
        }
        if (!next.valid) return;
        in = next;
    }
}

// The pieces behind the source's corners between lines sharper than a right angle whose new
// corner no lane has. The offset of such a corner has its corner where the offsets of its sides
// meet, the corner's distance over the sine of half its angle inside; where a third wall's offset
// passes through that point too, the region collapses into it, the pieces cut out meet there and
// no lane turns that corner, though the material behind it stands as far from the lanes as
// behind a lane's corner. The piece is made as for a lane with that corner (`noted`: the corners
// whose pieces the new lanes left).
void source_corner_pieces(const pokarr& source, double distance, double reach, const std::vector<double>& noted)
{
    const double same = pocket_work_block.tolerance;
    const chain_element first = chain_element_at(source.x, source.y, source.count, 1);
    if (!first.valid) return;
    for (chain_element in = first;;) {
        const chain_element next = chain_element_at(source.x, source.y, source.count, in.next);
        const chain_element& out = next.valid ? next : first;
        const double cx = source.x[in.end], cy = source.y[in.end];
        double ax = cx - source.x[in.start], ay = cy - source.y[in.start];
        double bx = source.x[out.end] - cx, by = source.y[out.end] - cy;
        const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
        // Only a left turn of more than a right angle leaves a piece (corner_piece tests it).
        if (!in.arc && !out.arc && la > 0.0 && lb > 0.0 && ax * by - ay * bx > 0.0 && ax * bx + ay * by < 0.0) {
            ax /= la, ay /= la, bx /= lb, by /= lb;
            const double sine = std::sqrt(0.5 * (1.0 + ax * bx + ay * by));
            const double ux = bx - ax, uy = by - ay, lu = std::hypot(ux, uy);
            const double mx = cx + distance / sine * ux / lu, my = cy + distance / sine * uy / lu;
            bool turned = false;
            for (std::size_t k = 0; k + 1 < noted.size() && !turned; k += 2)
                turned = std::hypot(noted[k] - mx, noted[k + 1] - my) < same;
            // A lane through the new corner along the source's sides.
            double x[3] = {mx - ax, mx, mx + bx}, y[3] = {my - ay, my, my + by};
            const chain_element lane_in = chain_element_at(x, y, 3, 1), lane_out = chain_element_at(x, y, 3, 2);
            pokarr lane;
            pokarr_init(kPlanar, lane);
            int status = 0;
            pokarr_init_static(kPlanar, x, y, nullptr, nullptr, 3, 3, lane, status);
            if (!turned && status == 0) corner_piece(lane, lane_in, lane_out, distance, reach);
            pokarr_free(lane);
        }
        if (!next.valid) return;
        in = next;
    }
}

// Whether the piece is a whole tail of three lines that holds no material
// (collapse_whole_tail.hpp): the clip would keep it whole and the measure find every witness
// point within reach of its walls or of its lane corner, so neither need run. A tail the measure
// would search deeper is left to it.
bool clear_whole_tail(const pokarr& piece, measured_loops& measured, double distance, double reach, int& status)
{
    whole_tail tail;
    if (!whole_tail_candidate(piece)) return false;
    const std::vector<tail_corner>& corners = measured.lane_corners(status);
    if (status != 0 || !whole_tail_find(measured.source, measured.source_index(), piece, distance, corners, tail))
        return false;
    std::vector<double>& points = measured.points;
    const bool may_hold = piece_witnesses(piece, distance, reach, points, status);
    return status == 0 && (!may_hold || (whole_tail_covers(tail, points, reach) && !searched_deep(piece, reach)));
}

// What the parts of one branch offset are recorded with.
struct part_record {
    measured_loops& measured;
    int source_lane, pass, level;
    int& branch_count;
    bool level_taken;  // a lane of the pass stands on the source's level
    double distance, reach;
    int status = 0;
};

// A part is cut by at most this many island lanes in turn; one cut by more is left out.
constexpr int kMostIslandCuts = 3;
// The loops left of a part by each cut.
loop_buffer island_cut_buffers[kMostIslandCuts];

// Records the part as a lane when it holds material and meets no island lane. A part that crosses
// an island's lane (the lane stands inside the source, apart from it) gives way to its parts
// outside that lane, each taken in turn (`cuts` made so far): the material beside the island
// still needs its lane. A part touching an island lane without crossing it meets none. A part cut out of the source
// (not `whole`) shares a point with it and is cut within the source's cut unless it meets such a part recorded before;
// a part left by an island cut may no longer touch the source and is a chain of its own.
void take_part(part_record& r, pokarr& part, bool whole, int cuts)
{
    // The material the part held outside the island lane cut out of it lies in the parts left:
    // the points a test would take about their new outline may miss it. A whole piece was
    // measured before it was placed.
    if ((cuts == 0 && !whole && !holds_material(part, r.measured, r.distance, r.reach, r.status)) || r.status != 0)
        return;
    pokarr_work island;
    const island_meeting met = meets_island(part, r.measured, island.a, r.status);
    if (r.status != 0 || met == island_meeting::holds) return;
    if (met == island_meeting::crosses) {
        if (cuts >= kMostIslandCuts) return;
        loop_buffer& rest = island_cut_buffers[cuts];
        loop_buffer_clear(rest);
        int crossings = 0;
        // The cut takes both loops counter-clockwise; an island's lane runs the other way round
        // (its region lies outside it), and cut as it stands it would leave the part and the
        // island's region together.
        double island_area = 0.0;
        int island_direction = 0;
        pokarr_area_dir(island.a, island_area, island_direction);
        if (island_direction < 0) pokarr_reverse(island.a);
        const bool cut = comlup_outside_loops(part, island.a, rest, crossings) && crossings > 0;
        pokarr_work left;
        for (int k = 1, first = 0; cut && k <= rest.loops && r.status == 0; first += rest.counts[k++]) {
            pokarr_replace(rest.counts[k], rest.points, first, left.a, r.status);
            if (r.status != 0)
                r.status = kEngineArrayFailed;
            else
                take_part(r, left.a, whole, cuts + 1);
        }
        loop_buffer_clear(rest);
        return;
    }
    const lane_table& lt = lane_table_block;
    if (whole || cuts > 0 || overlaps_detour(part, r.measured, r.status)) {
        const int lane_level = r.level_taken ? ++r.branch_count : r.level;
        r.level_taken = true;
        lane_add(r.pass, lane_level, r.source_lane, r.source_lane, 0, r.distance, kContourCollapse, part, r.status);
    } else if (r.status == 0) {
        // A part cut out of the source shares a point with it: the source's cut goes round it
        // (collapse_detours.hpp).
        lane_add(0, r.level, r.source_lane, r.source_lane, 0, r.distance, kContourCollapse, part, r.status);
    }
    if (r.status == 0) r.measured.take_lane(lt.count, r.status);
    if (r.status == 0 && lt.status[lt.count] == 0) {
        const indexed_loop& taken = r.measured.loops.back();
        r.measured.detours.push_back({taken.loop, {taken.box[0], taken.box[1], taken.box[2], taken.box[3]}, {}, false});
    }
}

// The pieces of an offset by the step that may hold points farther than half a step and the
// tolerance from the half-step lane. That lane stands half a step and the tolerance inside the
// source, the pieces a step inside it: only a piece holding a point twice the tolerance inside
// it, and so wider than four times the tolerance, holds such points. Reads pocket_work.tolerance.
collapse_pieces spots_beyond_half_step(const collapse_pieces& pieces)
{
    const double least_width = 4.0 * pocket_work_block.tolerance;
    collapse_pieces wide;
    wide.distance = pieces.distance;
    std::vector<double> x, y;
    std::size_t first = 0;
    for (const int count : pieces.counts) {
        const auto from = static_cast<std::ptrdiff_t>(first);
        first += static_cast<std::size_t>(count);
        x.assign(pieces.x.begin() + from, pieces.x.begin() + from + count);
        y.assign(pieces.y.begin() + from, pieces.y.begin() + from + count);
        pokarr piece;
        pokarr_init(kPlanar, piece);
        int status = 0;
        pokarr_init_static(kPlanar, x.data(), y.data(), nullptr, nullptr, count, count, piece, status);
        const bool wide_enough = status == 0 && loop_hull_width(piece, kWidthChordShare * least_width) > least_width;
        pokarr_free(piece);
        if (!wide_enough) continue;
        wide.x.insert(wide.x.end(), x.begin(), x.end());
        wide.y.insert(wide.y.end(), y.begin(), y.end());
        wide.counts.push_back(count);
    }
    return wide;
}

// Whether a live lane of the pass recorded from first_new on stands on the level.
bool pass_lane_on_level(int level, int pass, int first_new)
{
    const lane_table& lt = lane_table_block;
    for (int n = first_new; n <= lt.count; ++n)
        if (lt.status[n] == pass && lt.level[n] == level) return true;
    return false;
}

// Carries the branch on through a kept lane of the half-step offset when none of them stands on
// the source's level: the lane recorded there was retired and those kept are spots recorded beside
// it on levels of their own. The first of them takes the source's level (the level it leaves holds
// no lane and is passed over); otherwise the branch would hold no lane of the pass, never close,
// and its source would stand in no chain of the cut.
void keep_branch_level(int level, int pass, int first_new)
{
    lane_table& lt = lane_table_block;
    if (pass_lane_on_level(level, pass, first_new)) return;
    for (int n = first_new; n <= lt.count; ++n) {
        if (lt.status[n] != pass) continue;
        lt.level[n] = level;
        return;
    }
}

// Records the parts of a half-step lane that crosses an island lane lying outside that lane, as a
// collapse part crossing one gives way to its parts: each part is cut round, along the island's
// lane where the half-step lane crossed it, so that the material the half-step lane was to cut
// away from the island is still cut. Answers whether a part was recorded.
bool keep_parts_outside_islands(const oneoff_request& half, int first_new, pokarr& lane, measured_loops& measured,
                                int& status)
{
    const lane_table& lt = lane_table_block;
    const int before = lt.count;
    // The lanes recorded so far are measured before the parts join them.
    measured.get(status);
    if (status != 0) return false;
    const pocket_work& w = pocket_work_block;
    const double reach = 0.5 * w.engine_step + kSampledShare * w.tolerance;
    const bool level_taken = pass_lane_on_level(half.level, half.pass, first_new);
    part_record r{measured,           half.source_lane, half.pass,     half.level,
                  *half.branch_count, level_taken,      half.distance, reach};
    take_part(r, lane, true, 0);
    status = r.status;
    return status == 0 && lt.count > before;
}

}  // namespace

void collapse_pieces_clear()
{
    collapse_pieces& b = collapse_pieces_block;
    b.x.clear();
    b.y.clear();
    b.counts.clear();
    b.distance = 0.0;
}

void collapse_piece_note(const pokarr& piece, double distance)
{
    collapse_pieces& b = collapse_pieces_block;
    if (piece.dimension != kPlanar || piece.count < 2) return;
    b.x.insert(b.x.end(), piece.x, piece.x + piece.count);
    b.y.insert(b.y.end(), piece.y, piece.y + piece.count);
    b.counts.push_back(piece.count);
    b.distance = distance;
}

void collapse_lanes_record(const pokarr& source, int source_lane, int first_new, int pass, int level, int& branch_count,
                           int& status)
{
    status = 0;
    const collapse_pieces& b = collapse_pieces_block;
    const lane_table& lt = lane_table_block;
    // The first pass offsets the contour: what it leaves lies outside the region.
    if (pass < 2 || source.dimension != kPlanar || (b.counts.empty() && first_new > lt.count)) return;
    bool level_taken = false;
    for (int n = first_new; n <= lt.count && !level_taken; ++n)
        level_taken = lt.status[n] == pass && lt.level[n] == level;
    const pocket_work& w = pocket_work_block;
    const double reach = 0.5 * w.engine_step + kSampledShare * w.tolerance;
    // The pieces the sharp corners of the new lanes leave, noted with the offset's own.
    pokarr_work lane(lane_array_dimension());
    std::vector<double> noted;
    for (int n = first_new; n <= lt.count; ++n) {
        lane_to_pokarr(n, lane.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        corner_pieces(lane.a, lt.offset[n], reach, noted);
    }
    if (b.counts.empty()) return;
    // A source running clockwise is a hole's lane: the region lies outside it, and its pieces are
    // no collapse.
    pokarr measured_source = source;  // the direction is cached in the header measured
    double source_area = 0.0;
    int source_direction = 0;
    pokarr_area_dir(measured_source, source_area, source_direction);
    if (source_direction != 1) return;
    source_corner_pieces(source, b.distance, reach, noted);
    measured_loops measured(source, first_new);
    // The largest first: the material a smaller piece holds may lie within reach of it.
    const std::size_t count = b.counts.size();
    std::vector<int> order(count), directions(count);
    std::vector<double> areas(count);
    std::vector<std::size_t> firsts(count, 0);
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) firsts[i] = firsts[i - 1] + static_cast<std::size_t>(b.counts[i - 1]);
        noted_piece piece(firsts[i], b.counts[i]);
        pokarr_area_dir(piece.a, areas[i], directions[i]);
    }
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return areas[static_cast<std::size_t>(x)] > areas[static_cast<std::size_t>(y)];
    });
    piece_parts parts;
    pokarr_work part;
    part_record r{measured, source_lane, pass, level, branch_count, level_taken, b.distance, reach};
    for (const int i : order) {
        if (status != 0) break;
        const std::size_t at = static_cast<std::size_t>(i);
        noted_piece piece(firsts[at], b.counts[at]);
        if (near_measured(piece.a, measured, reach, status) || status != 0) continue;
        if (directions[at] < 0) pokarr_reverse(piece.a);
        if (clear_whole_tail(piece.a, measured, b.distance, reach, status) || status != 0) continue;
        bool whole = false;
        parts_inside_source(piece.a, measured, b.distance, reach, *parts.buffer, whole, status);
        // The parts the clip left, then the piece when it lies inside whole.
        auto take = [&](int entries, const pokarr& from, int first) {
            pokarr_replace(entries, from, first, part.a, status);
            if (status != 0) {
                status = kEngineArrayFailed;
                return;
            }
            take_part(r, part.a, whole, 0);
            status = r.status;
        };
        for (int k = 1, first = 0; k <= parts.buffer->loops && status == 0; first += parts.buffer->counts[k++])
            take(parts.buffer->counts[k], parts.buffer->points, first);
        if (whole && status == 0) take(piece.a.count, piece.a, 0);
    }
}

int collapse_half_step(const oneoff_request& request, pokarr& loop, const collapse_pieces* step_pieces)
{
    const pocket_work& w = pocket_work_block;
    oneoff_request half = request;
    half.distance = 0.5 * w.engine_step + w.tolerance;
    // Material that far from the loop needs a disc of that radius inside it.
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(loop, area, direction);
    if (!(area > std::numbers::pi * half.distance * half.distance)) return kOneoffNoOffset;
    half.combine = 0;
    half.retry = 0;
    half.inward = 0;
    int result = 0;
    lane_table& lt = lane_table_block;
    const int first_new = lt.count + 1;
    oneoff_pokarr(half, loop, result);
    // What this offset cut out lies within half a step of its lanes, and so does what they hold,
    // but for the spots too small for a lane.
    if (result == 0 || result == kOneoffNoOffset)
        result = collapse_half_step_spots(half, collapse_pieces_block, loop, first_new, result);
    // A loop a little wider than two of these distances holds points farther than half a step
    // from the half-step lane: the offset by the step left them as spots too small for a lane.
    if ((result == 0 || result == kOneoffNoOffset) && step_pieces != nullptr) {
        oneoff_request step = half;
        step.distance = step_pieces->distance;
        result = collapse_half_step_spots(step, spots_beyond_half_step(*step_pieces), loop, first_new, result);
    }
    collapse_pieces_clear();
    if (result != 0) return result;
    // An island lane inside the loop leaves the lane at half a step running round the island
    // nearer than its offset: such a lane is retired as a merged lane is (status 0), and the
    // branch closes when nothing is left. Where the lane crosses the island's lane, its parts
    // outside that lane take its place; the island's lane cuts what lies about the island.
    measured_loops measured(loop, first_new);
    pokarr_work lane(lane_array_dimension());
    bool kept = false;
    const int last = lt.count;
    for (int n = first_new; n <= last; ++n) {
        lt.contour_type[n] = kContourCollapse;
        if (lt.status[n] != half.pass) continue;
        int status = 0;
        lane_to_pokarr(n, lane.a, status);
        pokarr_work island;
        const island_meeting met =
            status == 0 ? meets_island(lane.a, measured, island.a, status) : island_meeting::none;
        if (status != 0) return kEngineArrayFailed;
        if (met == island_meeting::none) {
            kept = true;
            continue;
        }
        lt.status[n] = 0, lt.contour_type[n] = 0;
        if (met == island_meeting::crosses && keep_parts_outside_islands(half, first_new, lane.a, measured, status))
            kept = true;
        if (status != 0) return kEngineArrayFailed;
    }
    if (kept) keep_branch_level(half.level, half.pass, first_new);
    return kept ? result : kOneoffNoOffset;
}
