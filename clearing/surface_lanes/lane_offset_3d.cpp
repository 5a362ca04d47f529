// The 3-D lane offset: segment pieces over the grid, joined at crossings and touches, convex
// corners filled, the joined loop cleaned of spikes and laid onto the grid.
#include "clearing/surface_lanes/lane_offset_3d.hpp"

#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/grid_search.hpp"
#include "clearing/surface_lanes/grid_walk.hpp"
#include "clearing/surface_lanes/lane_excursion_cut.hpp"
#include "clearing/surface_lanes/lane_loop_cut.hpp"
#include "clearing/surface_lanes/lane_pieces_3d.hpp"
#include "clearing/surface_lanes/lane_seg_offset_3d.hpp"
#include "clearing/surface_lanes/lane_spike_clean.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr char kNotLaid[] = "[lane_offset_3d] THE OFFSET CANNOT BE LAID ON THE SURFACE";
// Largest static input: the work lists of the offset's callers hold 7000 points.
constexpr int kMaxStaticPoints = 7000;
// The join search reaches back over the points within this many offsets of the loop's end.
constexpr double kJoinReachFactor = 1.2;
// A piece shorter than this share of the offset (with the pieces dropped before it) may be
// dropped at a corner rather than joined by a fill.
constexpr double kShortPieceShare = 0.5;
// Walk modes of a corner fill, by the turn's sign; both walk plainly but end on their step limit
// as a failure.
constexpr int kCornerWalkInner = 2;
constexpr int kCornerWalkOuter = 3;
// lan_on_grid: the points as they are, or smoothed; the joined loop is laid down as a closed lane.
constexpr int kGridPlain = 0;
constexpr int kGridSmooth = 2;
constexpr int kGridOpen = 0;
// A corner fill of more points than this between two distinct vertices must come nearer the
// next piece somewhere on its way, or it is a detour and left out.
constexpr int kFillCheckedFrom = 4;
// A corner fill between two distinct vertices that comes nearer the stretch of the loop it goes
// round than this share of the offset has crossed over that stretch (walked from a chord across
// a wedge of the loop): it is a detour and left out. The share leaves room for a fill over a
// fold, whose points stand nearer in space than the offset walked over the surface.
constexpr double kFillOverLoopShare = 0.5;
// The share of the pocket's tolerance that a corner fill's chords may fall short of its arc.
constexpr double kFillShare = 0.5;
// At a concave corner the loop and the piece are run on for at most this many offsets to meet:
// their ends stand at most an offset's width apart across the corner.
constexpr double kConcaveReach = 2.0;
// A piece is swallowed at a concave corner when no point of it lies farther than this outside
// the loop's straight run (grid coordinates are millimetres: far below a cell).
constexpr double kSwallowedSlack = 1.0e-6;
// A segment shorter in XY than this share of the offset may be a step of the lane's jitter (a
// lane laid over a steep flank steps back and aside by a few hundredths where it crosses a grid
// line). Walked square to its own direction, such a step sends its offset off along the lane or
// the fall line, a spike that every further offset copies and widens; it is walked square to the
// lane's run instead, the chord over an offset either side.
constexpr double kJitterShare = 0.1;
// The input runs straight over a jitter step's stretch where none of its points stands farther
// than this share of the offset from the stretch's chord: round a corner the step keeps its own
// direction, which the corner's offset needs.
constexpr double kStraightShare = 0.05;
// A concave corner after a segment shorter in XY than this share of the offset (a step of the
// lane's jitter, or little longer) is filled round its vertex; after a longer one it is joined
// straight (see joined_straight). Chosen a little above kJitterShare over the random surfaces
// of the surface lanes suite: at the jitter share itself the straight joins of slightly longer
// steps left a ridge's flank uncut.
constexpr double kConcaveFillShare = 0.15;
// A step whose own direction keeps within about 26 degrees of its stretch's chord is walked as it
// is: its offset stands beside the run's.
constexpr double kJitterCosine = 0.9;

// The largest swallowtail cut out of the joined loop: its area in squared offsets, its path in
// offsets.
constexpr double kFoldAreaShare = 1.0;
constexpr double kLongestFold = 8.0;
// The least area of a loop of the offset's own sense that the joins keep for the loop removal, in
// squared offsets: smaller loops, where the pieces of a jagged input cross at its corners, lie
// within reach of the lanes beside them. Over the random surfaces of the surface lanes suite those
// that keep the offset reach a twelfth; the thin leg beyond a neck that left surface uncut, a
// sixth. Kept, the small ones only stir the loop removal's work.
constexpr double kKeptLoopAreaShare = 0.125;

struct point3 {
    double v[3] = {0.0, 0.0, 0.0};
};

point3 at(const pokarr& a, int i) { return {{a.x[i], a.y[i], a.z[i]}}; }

// Whether the offset is a contour's first, which keeps its distance in XY (the walls stand upright
// over the contours): its joins reach, and its pieces are judged near the input, in XY. Reads
// pocket_work (contour_offset_in_plane).
bool in_plane() { return pocket_work_block.contour_offset_in_plane != 0; }

bool same_point(const point3& p, const point3& q) { return p.v[0] == q.v[0] && p.v[1] == q.v[1] && p.v[2] == q.v[2]; }

double distance_of(const point3& p, const point3& q) { return distd(3, p.v, q.v); }

// One usable segment of the input with its offset piece.
struct segment_piece {
    point3 start, end;
    int end_index = 0;                      // of the end point in the input
    double direction[3] = {0.0, 0.0, 0.0};  // unit, reversed for a left offset
    pokarr piece;
    point3 first() const { return at(piece, 0); }
    point3 last() const { return at(piece, piece.count - 1); }
};

// The state of one call.
struct offset_run {
    explicit offset_run(const pokarr& loop_in) : input(loop_in) {}
    const pokarr& input;
    int side = 1;
    double offset = 0.0;
    double reach2 = 0.0;   // squared join reach
    double spacing = 0.0;  // of repeated points in the appends
    int next_input = 1;    // the input point that ends the next segment
    int search_start = 0;  // where the join search of the current piece starts
    double dropped = 0.0;  // summed length of the pieces dropped at corners
    pokarr loop;           // the joined loop
    pokarr corner;         // the fill of one corner
    join_loops kept;       // the loops of the offset's own sense that no join cuts out
    int status = 0;
};

bool failed(offset_run& run, int status)
{
    if (status == 0) return false;
    run.status = status;
    return true;
}

double piece_length(offset_run& run, const pokarr& piece)
{
    double total = 0.0;
    int status = 0;
    pokarr_length(3, piece, nullptr, total, status);
    if (status != 0) run.status = kOffset3dFailed;
    return total;
}

// Lays a piece or a corner's fill onto the grid. One that cannot be laid down (its string runs
// into a hole of the grid, or cannot be traced round a hole's corner) is left out as an empty
// piece is: the joins of its neighbours bridge it. False when it is left out, with run.status set
// when an array failed.
bool laid_down(offset_run& run, pokarr& piece)
{
    int status = 0;
    lan_on_grid(kGridPlain, kGridOpen, piece, 0.0, status);
    if (status == kProjectNoArray) run.status = kOffset3dFailed;
    return status == 0;
}

// The distance in space from p to the segment from a to b.
double distance_to_segment(const point3& p, const point3& a, const point3& b)
{
    double ab[3], ap[3];
    v3subd(b.v, a.v, ab);
    v3subd(p.v, a.v, ap);
    const double length2 = v3dotd(ab, ab);
    const double t = length2 > 0.0 ? std::clamp(v3dotd(ap, ab) / length2, 0.0, 1.0) : 0.0;
    const point3 foot = {{a.v[0] + t * ab[0], a.v[1] + t * ab[1], a.v[2] + t * ab[2]}};
    return distance_of(p, foot);
}

// The input points from point i on over the arc length `along` (signed: back before it when
// negative), the last one cut at that length: the loop wrapped round when closed, held at its
// ends when open.
void stretch_from(const pokarr& input, int i, double along, std::vector<point3>& points)
{
    const int n = input.count;
    const bool closed = n > 2 && same_point(at(input, 0), at(input, n - 1));
    const int step = along >= 0.0 ? 1 : -1;
    double left = std::fabs(along);
    point3 p = at(input, i);
    // Each point is passed at most once: a loop shorter than the stretch ends where it started.
    for (int k = 1; k < n; ++k) {
        int j = i + step;
        if (closed) j = j < 0 ? n - 2 : (j > n - 1 ? 1 : j);
        if (j < 0 || j > n - 1) return;
        const point3 q = at(input, j);
        const double d = distance_of(p, q);
        if (d >= left) {
            const double t = d > 0.0 ? left / d : 0.0;
            points.push_back(
                {{p.v[0] + t * (q.v[0] - p.v[0]), p.v[1] + t * (q.v[1] - p.v[1]), p.v[2] + t * (q.v[2] - p.v[2])}});
            return;
        }
        points.push_back(q);
        left -= d;
        p = q;
        i = j;
    }
}

// The walk direction of a jitter step: the chord of the input from an offset before its start
// to an offset after its end, signed for the side as the segment's own, where the input runs
// straight along that chord but for its jitter. At a corner, or where the chord has no length,
// the segment keeps its own direction.
void run_direction(const offset_run& run, segment_piece& s)
{
    std::vector<point3> back, ahead;
    stretch_from(run.input, s.end_index - 1, -run.offset, back);
    stretch_from(run.input, s.end_index, run.offset, ahead);
    const point3 before = back.empty() ? s.start : back.back();
    const point3 after = ahead.empty() ? s.end : ahead.back();
    const double straight = kStraightShare * run.offset;
    for (const std::vector<point3>* stretch : {&back, &ahead})
        for (const point3& p : *stretch)
            if (distance_to_segment(p, before, after) > straight) return;
    if (distance_to_segment(s.start, before, after) > straight || distance_to_segment(s.end, before, after) > straight)
        return;
    double chord[3], length = 0.0;
    int unit = 0;
    v3subd(run.side >= 0 ? after.v : before.v, run.side >= 0 ? before.v : after.v, chord);
    v3untd(chord, length, unit);
    if (unit == 0 && v3dotd(chord, s.direction) < kJitterCosine) std::copy(chord, chord + 3, s.direction);
}

// The next usable segment of the input with its piece laid onto the grid; false when none is
// left or the run failed (run.status then set).
bool next_segment(offset_run& run, segment_piece& s)
{
    while (run.status == 0 && run.next_input < run.input.count) {
        const int i = run.next_input++;
        s.end_index = i;
        s.start = at(run.input, i - 1);
        s.end = at(run.input, i);
        double length = 0.0;
        int unit = 0;
        v3subd(run.side >= 0 ? s.end.v : s.start.v, run.side >= 0 ? s.start.v : s.end.v, s.direction);
        v3untd(s.direction, length, unit);
        // A repeated input point, or one straight above the last: no direction across in XY,
        // the corner with the next segment stands for it.
        const double across = std::hypot(s.end.v[0] - s.start.v[0], s.end.v[1] - s.start.v[1]);
        if (unit != 0 || pk_is_zero(across) != 0) continue;
        if (across < kJitterShare * run.offset) run_direction(run, s);
        int status = 0;
        s.piece.count = 0;
        walk_record p0, p1;
        std::copy(s.start.v, s.start.v + 3, p0.start());
        std::copy(s.end.v, s.end.v + 3, p1.start());
        lane_seg_offset_3d(p0, p1, s.direction, length, run.offset, s.piece, status);
        if (failed(run, status)) return false;
        if (s.piece.count == 0) continue;
        if (!laid_down(run, s.piece)) {
            if (run.status != 0) return false;
            continue;
        }
        lane_piece_unloop(s.piece);
        if (s.piece.count > 0) return true;
    }
    return false;
}

// The turn from one direction to the next, signed for the offset's side: its sine's size, the
// sign choosing the corner walk.
double signed_turn(const double* from, const double* to, int side)
{
    double cross[3];
    v3crsd(from, to, cross);
    const double size = std::sqrt(v3dotd(cross, cross)) * (side >= 0 ? 1.0 : -1.0);
    return cross[2] >= 0.0 ? -size : size;
}

bool append_piece(offset_run& run, const pokarr& piece, int from)
{
    int status = 0;
    lane_piece_append(piece, from, run.spacing, run.loop, status);
    return !failed(run, status);
}

// Whether b crosses a from index `from` on, or touches it.
bool meets(pokarr& a, const pokarr& b, int from)
{
    int index = 0;
    if (lane_join_search(kJoinLook, a, b, from, index) != 0) return true;
    int ae = 0, be = 0, kind = kNoApproach;
    double at_a = 0.0, at_b = 0.0, d = 0.0, nearest[3] = {0.0, 0.0, 0.0};
    pokarr_min_dist(0.0, a, std::max(from, 1), a.count, b, 1, b.count, ae, at_a, be, at_b, d, nearest, kind);
    return kind != kNoApproach;
}

// Whether a piece too short to join by a fill is dropped at this corner: the next piece meets
// the loop, or it bridges the short piece's gaps on the other side of the corner.
bool short_piece_dropped(offset_run& run, const segment_piece& prev, segment_piece& cur, segment_piece& next,
                         double length, double turn)
{
    if (meets(run.loop, next.piece, run.search_start)) return true;
    const double g1 = distance_of(prev.last(), cur.first());
    const double g2 = distance_of(cur.last(), next.first());
    if (!(length < g1) || same_point(cur.last(), next.first()) || !(g2 > length)) return false;
    if (!(distance_of(prev.last(), next.first()) < g1 + g2 + length)) return false;
    if (meets(cur.piece, next.piece, 0)) return false;
    return signed_turn(cur.direction, next.direction, run.side) * turn < 0.0;
}

// Whether the fill comes nearer the current piece's start somewhere on its way.
bool fill_approaches(const pokarr& fill, const point3& target)
{
    for (int k = 1; k + 1 < fill.count; ++k)
        if (distance_of(at(fill, k), target) < distance_of(at(fill, k - 1), target)) return true;
    return false;
}

// Whether a point of the fill comes nearer the input's stretch from the previous segment's end to
// the current segment's start than the share of the offset.
bool fill_over_loop(const offset_run& run, const segment_piece& prev, const segment_piece& cur)
{
    const double least = kFillOverLoopShare * run.offset;
    for (int k = 0; k < run.corner.count; ++k)
        for (int i = prev.end_index; i < cur.end_index - 1; ++i)
            if (distance_to_segment(at(run.corner, k), at(run.input, i), at(run.input, i + 1)) < least) return true;
    return false;
}

// The arc length of one step of a corner fill: the set step, or the longest over which the
// chord of an arc of the offset's radius falls short of the arc by no more than half the
// pocket's tolerance, the other half left to the lane's later clean-ups (none without a
// tolerance). Reads pocket_work.tolerance.
double fill_step_length(double offset)
{
    const double set = surface_grid_block.settings.corner_fill_step;
    if (set > 0.0) return set;
    const double tolerance = kFillShare * pocket_work_block.tolerance;
    if (!(tolerance > 0.0) || !(offset > tolerance)) return 0.0;
    return 2.0 * offset * std::acos(1.0 - tolerance / offset);
}

// The turn in XY from the one direction's XY part to the other's, signed (counter-clockwise
// positive): the walks of a corner fill go square to their direction's XY part, so the points they
// reach stand round the corner by this angle.
double turn_in_plane(const double* from, const double* to)
{
    return std::atan2(from[0] * to[1] - from[1] * to[0], from[0] * to[0] + from[1] * to[1]);
}

// The number of walks of a corner fill beyond the first: the turn and the vertices' gap per step,
// one without a step. A contour's first offset counts the turn in XY where that is the larger.
int fill_steps(const double* from, const double* to, double turn, double gap, double offset)
{
    const double step = fill_step_length(offset);
    if (!(step > 0.0)) return 1;
    const double in_space = std::fabs(std::atan2(turn, v3dotd(from, to)));
    const double angle = in_plane() ? std::max(in_space, std::fabs(turn_in_plane(from, to))) : in_space;
    const double count = std::ceil((angle + gap) * offset / step);
    return count >= 1.0 && count < kPokarrMaxEntries ? static_cast<int>(count) : 1;
}

// The direction of the walk at the share t of a corner fill: the blend of the two directions. In a
// contour's first offset its XY part is turned from the one direction's towards the other's by
// that share of the turn in XY, its length and height interpolated: a plain blend turns unevenly
// in XY where the directions climb differently (on a steep flank its XY part swings through most
// of the turn within a few of the walks), and the fill's chords between the far-apart points come
// nearer the contour than the offset.
void fill_direction(const double* from, const double* to, double t, double* direction)
{
    if (!in_plane()) {
        for (int c = 0; c < 3; ++c) direction[c] = (1.0 - t) * from[c] + t * to[c];
        return;
    }
    const double angle = std::atan2(from[1], from[0]) + t * turn_in_plane(from, to);
    const double across = (1.0 - t) * std::hypot(from[0], from[1]) + t * std::hypot(to[0], to[1]);
    direction[0] = across * std::cos(angle);
    direction[1] = across * std::sin(angle);
    direction[2] = (1.0 - t) * from[2] + t * to[2];
}

// Fills the corner from the end vertex of the previous segment to the start vertex of the
// current one with walks whose direction turns from the one segment's to the other's, and
// joins the fill to the loop. False when the run ends.
bool fill_corner(offset_run& run, const segment_piece& prev, const segment_piece& cur, double turn)
{
    int status = 0;
    pokarr_reset(run.corner, 2, status);
    if (failed(run, status == 0 ? 0 : kOffset3dFailed)) return false;
    const int mode = turn < 0.0 ? kCornerWalkInner : kCornerWalkOuter;
    const bool distinct = !same_point(prev.end, cur.start);
    const int n = fill_steps(prev.direction, cur.direction, turn, distance_of(prev.end, cur.start), run.offset);
    const double* shift = surface_grid_block.shift;
    for (int k = 0; k <= n; ++k) {
        const double t = static_cast<double>(k) / n;
        double record[6], direction[3], length = 0.0;
        for (int c = 0; c < 3; ++c) record[c] = prev.end.v[c] + t * (cur.start.v[c] - prev.end.v[c]);
        fill_direction(prev.direction, cur.direction, t, direction);
        if (distinct && k > 0 && k < n) {
            double on_grid[3] = {record[0] + shift[0], record[1] + shift[1], record[2] + shift[2]};
            int col = 0, row = 0, found = 0;
            double gap = 0.0;
            grid_find_cell(kFindNearest, on_grid, col, row, gap, found);
            if (found == 0)
                for (int c = 0; c < 3; ++c) record[c] = on_grid[c] - shift[c];
        }
        int unit = 0;
        v3untd(direction, length, unit);
        if (unit != 0) continue;  // a turn back: no direction half way
        int walked = 0;
        drop_lane_on_grid(mode, record, direction, run.offset, nullptr, walked);
        if (walked == kOffset3dStopped || walked == -1) {
            run.status = walked;
            return false;
        }
        if (walked != 0) continue;  // the walk found no way across: no point from it
        pokarr_add_pnt(record + 3, run.corner, status);
        if (failed(run, status == 0 ? 0 : kOffset3dFailed)) return false;
    }
    if (distinct && run.corner.count > kFillCheckedFrom &&
        (!fill_approaches(run.corner, cur.first()) || fill_over_loop(run, prev, cur)))
        run.corner.count = 0;
    if (run.corner.count == 0) return true;
    if (!laid_down(run, run.corner)) return run.status == 0;
    int from = 0;
    lane_join_search(kJoinCut, run.loop, run.corner, run.search_start, from);
    return append_piece(run, run.corner, from);
}

// Where the ray from `from` along the unit XY direction `along` first meets a segment of the
// array from index `first` on within `reach`: the segment's index and the meeting point (its
// height interpolated along the segment, which need not lie on the surface). False when it meets
// none.
bool ray_meets(const point3& from, const double* along, const pokarr& a, int first, double reach, int& segment,
               point3& meeting)
{
    double nearest = reach;
    bool found = false;
    for (int k = std::max(first, 0); k + 1 < a.count; ++k) {
        const double px = a.x[k] - from.v[0], py = a.y[k] - from.v[1];
        const double qx = a.x[k + 1] - a.x[k], qy = a.y[k + 1] - a.y[k];
        const double det = along[0] * -qy + along[1] * qx;
        if (pk_is_zero(det) != 0) continue;
        const double s = (px * -qy + py * qx) / det;             // along the ray
        const double t = (along[0] * py - along[1] * px) / det;  // along the segment
        if (s < 0.0 || s >= nearest || t < 0.0 || t > 1.0) continue;
        nearest = s;
        segment = k;
        meeting = {{a.x[k] + t * qx, a.y[k] + t * qy, a.z[k] + t * (a.z[k + 1] - a.z[k])}};
        found = true;
    }
    return found;
}

// Puts the point onto the grid surface straight above or below it; false where there is none.
bool onto_surface(point3& p)
{
    const double* shift = surface_grid_block.shift;
    double q[3] = {p.v[0] + shift[0], p.v[1] + shift[1], p.v[2] + shift[2]}, gap = 0.0;
    int col = 0, row = 0, status = 0;
    grid_find_cell(kFindVertical, q, col, row, gap, status);
    if (status != 0) return false;
    p.v[2] = q[2] - shift[2];
    return true;
}

// The unit XY direction of travel along a segment and its XY length; false without one.
bool travel_of(const segment_piece& s, double* unit, double& length)
{
    unit[0] = s.end.v[0] - s.start.v[0];
    unit[1] = s.end.v[1] - s.start.v[1];
    int status = 0;
    v2untd(unit, length, status);
    return status == 0;
}

// How a concave corner that the piece neither crosses nor touches is joined.
enum class concave_join { met, swallowed, none };

// Whether every point of the piece lies in the band between the previous segment and the loop's
// straight run beside it (behind the segment's end, not before its start): nearer the segment
// than the offset. `side` is 1 when the offset lies to the right of the travel.
bool swallowed(const segment_piece& prev, const pokarr& piece, const point3& end, const double* ahead, double length,
               int side)
{
    for (int k = 0; k < piece.count; ++k) {
        const double ex = piece.x[k] - end.v[0], ey = piece.y[k] - end.v[1];
        const double vx = piece.x[k] - prev.end.v[0], vy = piece.y[k] - prev.end.v[1];
        const double towards_segment = side * (ahead[0] * ey - ahead[1] * ex);
        const double along = vx * ahead[0] + vy * ahead[1];
        if (towards_segment < -kSwallowedSlack || along > kSwallowedSlack || along < -length) return false;
    }
    return true;
}

// The distance the offset keeps from its input: the offset less the pocket's tolerance (or the
// working tolerance where that is larger). Reads pocket_work (tolerance, working tolerance).
double least_from_input(const offset_run& run)
{
    const pocket_work& w = pocket_work_block;
    return run.offset - std::max(w.tolerance, w.working_tolerance);
}

// Whether every point of the piece lies nearer the input in XY than least_from_input, as the
// excursion cut judges nearness for a contour's first offset: such a piece is no part of the
// offset. At a concave corner after steps shorter than the offset (where the input crosses grid
// lines just before its vertex) the piece of the next segment lies behind several steps, beyond
// the band of the last one.
bool piece_near_input(offset_run& run, const pokarr& piece)
{
    const double least = least_from_input(run);
    std::vector<int> points(static_cast<std::size_t>(piece.count));
    for (int k = 0; k < piece.count; ++k) points[static_cast<std::size_t>(k)] = k;
    int status = 0;
    const int near = lane_points_near_source(run.input, least, piece, points, status);
    if (status != 0) run.status = kOffset3dFailed;
    return status == 0 && piece.count > 0 && near == piece.count;
}

// Joins the piece at a concave corner that it neither crosses nor touches: the offsets of the
// segments stand at different distances in XY where the surface's slope differs, so that one
// ends short of the other. The loop runs on straight from its end until it meets the piece, or
// the piece is run back from its start until it meets the loop; the piece goes on from the
// meeting (`from`: the piece index to append from). A piece lying wholly in the band between the
// previous segment and the loop is nearer that segment than the offset, and one lying wholly
// nearer the input (a contour's first offset, judged in XY) is no part of the offset: it is
// swallowed, and the loop's run meets a later piece. A fill round the vertex would come nearer
// the segments than the offset. run.status set when the run ends.
concave_join join_concave(offset_run& run, const segment_piece& prev, segment_piece& cur, int& from)
{
    const double reach = kConcaveReach * run.offset;
    double ahead[2], back[2], length = 0.0, unused = 0.0;
    if (!travel_of(prev, ahead, length) || !travel_of(cur, back, unused)) return concave_join::none;
    back[0] = -back[0], back[1] = -back[1];
    const point3 end = at(run.loop, run.loop.count - 1);
    int segment = 0;
    point3 meeting;
    if (ray_meets(end, ahead, cur.piece, 0, reach, segment, meeting) && onto_surface(meeting)) {
        cur.piece.x[segment] = meeting.v[0];
        cur.piece.y[segment] = meeting.v[1];
        cur.piece.z[segment] = meeting.v[2];
        from = segment;
        return concave_join::met;
    }
    if (ray_meets(cur.first(), back, run.loop, run.search_start, reach, segment, meeting) &&
        !lane_join_keeps_loop(run.loop, segment, cur.piece, 0, meeting.v, run.kept) && onto_surface(meeting)) {
        run.loop.count = segment + 1;
        int status = 0;
        pokarr_add_pnt(meeting.v, run.loop, status);
        if (status != 0) run.status = kOffset3dFailed;
        from = 0;
        return concave_join::met;
    }
    return swallowed(prev, cur.piece, end, ahead, length, run.side >= 0 ? 1 : -1) ||
                   (in_plane() && piece_near_input(run, cur.piece))
               ? concave_join::swallowed
               : concave_join::none;
}

// Whether a concave corner that neither the rays nor a crossing within the join reach could join
// is joined straight from the loop's end to the piece: wherever the piece's segment is longer in
// XY than kConcaveFillShare of the offset. A fill round the vertex of a concave corner walks back
// over ground that the two pieces' offsets already hold. Where the piece crosses a stretch of the
// loop farther back than the join reach (the offset of a narrow neck of the region, a convex arc
// round an island that the neck pinches off), the fill would run back across the piece and cut
// it short of that crossing, leaving the loop's far side joined to the piece by a chord; the
// straight join closes a loop that the loop removal cuts away, as in the plane. Where the pieces
// merely miss each other (on a steep flank the offset's reach in XY changes with the direction of
// the walk, so that the piece of a segment turned a few degrees stands a tenth nearer the source
// than the loop), the fill fans out from the loop towards the source and back: a spike that every
// further offset copies and widens until the lanes stop short of the pocket's middle. Jitter
// steps keep their fill, which holds the loop to its side.
bool joined_straight(const offset_run& run, const segment_piece& cur, double turn)
{
    return turn >= 0.0 &&
           std::hypot(cur.end.v[0] - cur.start.v[0], cur.end.v[1] - cur.start.v[1]) >= kConcaveFillShare * run.offset;
}

// Joins the current piece to the loop: at its crossing with the loop, where it touches the
// loop, across a filled convex corner or a concave one run on to its meeting (or joined
// straight), or not at all (a short piece dropped at a corner). Returns whether the piece was joined; run.status tells
// whether the run goes on.
bool join_piece(offset_run& run, const segment_piece& prev, segment_piece& cur, segment_piece* next)
{
    int start = 0;
    // The join reach is measured as the offset is: in XY for a contour's first offset, where on a
    // steep flank the pieces' crossing lies within an offset in XY but farther in space.
    lane_join_start(in_plane() ? 2 : 3, run.loop, run.reach2, start);
    run.search_start = start;
    int from = 0;
    bool crossed = lane_join_search(kJoinCut, run.loop, cur.piece, start, from, run.kept) != 0;
    if (!crossed && !same_point(cur.first(), prev.last())) {
        int ae = 0, be = 0, kind = kNoApproach;
        double at_a = 0.0, at_b = 0.0, d = 0.0, nearest[3] = {0.0, 0.0, 0.0};
        pokarr_min_dist(0.0, run.loop, std::max(start, 1), run.loop.count, cur.piece, 1, cur.piece.count, ae, at_a, be,
                        at_b, d, nearest, kind);
        if (kind == kNoApproach) {
            const double turn = signed_turn(prev.direction, cur.direction, run.side);
            const double length = piece_length(run, cur.piece);
            if (run.status != 0) return false;
            const bool fill = next == nullptr || length + run.dropped >= kShortPieceShare * run.offset;
            if (!fill && short_piece_dropped(run, prev, cur, *next, length, turn)) {
                run.dropped += length;
                return false;
            }
            // The turn is negative at a convex corner (the offset's side outside the turn).
            const concave_join how = turn >= 0.0 ? join_concave(run, prev, cur, from) : concave_join::none;
            if (run.status != 0 || how == concave_join::swallowed) return false;
            if (how == concave_join::none && !joined_straight(run, cur, turn) && !fill_corner(run, prev, cur, turn))
                return false;
        } else {
            // Touching: the loop ends at the touch and the piece goes on from there.
            run.loop.count = std::max(ae, 1);
            if (kind == 1 || kind == 2) {
                int status = 0;
                pokarr_add_pnt(nearest, run.loop, status);
                if (failed(run, status == 0 ? 0 : kOffset3dFailed)) return false;
            } else if (kind == 3 || kind == 4) {
                cur.piece.x[be - 1] = nearest[0];
                cur.piece.y[be - 1] = nearest[1];
                cur.piece.z[be - 1] = nearest[2];
            }
            from = be - 1;
        }
        int again = 0;
        if (lane_join_search(kJoinCut, run.loop, cur.piece, run.search_start, again, run.kept) != 0) from = again;
    }
    return append_piece(run, cur.piece, from);
}

// Lays the joined loop down: spikes cleaned, projected closed onto the grid, and cut free of its
// small loops as a lane the tool runs is. A small loop of the joined offset (where it stepped back
// on itself near a summit) would otherwise reach the lane engine as a piece of its own inside the
// true loop, and the engine's containment sweep, which of two nested pieces drops the outer as
// the fold of a raw offset, would drop the true loop and leave the summit uncut.
void finish_loop(offset_run& run)
{
    int status = 0;
    lane_spike_clean(run.loop, pocket_work_block.working_tolerance, surface_grid_block.settings.spike_length, 0.0,
                     run.offset, status);
    if (failed(run, status)) return;
    if (run.loop.count > 0) lan_on_grid(kGridSmooth, kProjectClosedLane, run.loop, 0.0, status);
    failed(run, status);
}

// Cuts out the stretches of the laid loop that come back across the input, nearer it than the
// offset less the tolerance, and lays the loop down again where it cut. Reads pocket_work
// (tolerance, working tolerance).
void cut_excursions(offset_run& run)
{
    const double least = least_from_input(run);
    int cut = 0, status = 0;
    lane_excursion_cut(run.input, least, run.loop, cut, status);
    if (failed(run, status)) return;
    // A swallowtail that the joined loop kept (a walk that overshot a concave bend and came back
    // across itself) runs against the loop's sense, and may be too long for the small-loop cut.
    // It spans no more than the offset's square, its path no longer than the way out and back of
    // a long excursion, and every point of it lies nearer the input than the offset over the
    // surface: a reversed way elsewhere is a hole the offset ran round, or a stretch running back
    // along the loop, which the lane engine resolves.
    const auto near_input = [&](const std::vector<int>& points) {
        int near_status = 0;
        const int near = lane_points_near_source(run.input, least, run.loop, points, near_status);
        if (near_status != 0) status = near_status;
        return near_status == 0 && near == static_cast<int>(points.size());
    };
    int folds = 0;
    lane_folds_cut(
        run.loop, {kFoldAreaShare * run.offset * run.offset, kLongestFold * run.offset, near_input, run.offset - least},
        folds);
    if (failed(run, status)) return;
    if (cut + folds == 0) return;
    lan_on_grid(kGridPlain, kGridOpen, run.loop, 0.0, status);
    failed(run, status);
}

// The loops of the offset's own sense (its input's) that the joins keep for the loop removal: a
// crossing of a piece with the loop behind it that closes such a loop is where the region the
// offset walks round narrows below twice the offset (a leg of the region beyond a neck). Every
// point of such a loop keeps the offset from the input and it holds surface farther than that, as
// the pieces the loop removal makes in the plane do; the joins cut out the loops that run against
// the sense (overshoots at concave corners) and those that come nearer the input (where the
// pieces of a jagged input cross), as before, and those smaller than kKeptLoopAreaShare, unasked.
// Reads pocket_work (tolerance, working tolerance).
join_loops kept_loops(offset_run& run)
{
    double area = 0.0;
    int direction = 0;
    xy_area_dir(run.input.x, run.input.y, run.input.count, area, direction);
    const auto holds_offset = [&run](const pokarr& result, int first, const pokarr& piece, int last) {
        const double least = least_from_input(run);
        std::vector<int> points;
        for (int k = first; k < result.count; ++k) points.push_back(k);
        int status = 0;
        if (!points.empty() && lane_points_near_source(run.input, least, result, points, status) != 0) return false;
        points.clear();
        for (int k = 0; k <= last && k < piece.count; ++k) points.push_back(k);
        if (status == 0 && !points.empty() && lane_points_near_source(run.input, least, piece, points, status) != 0)
            return false;
        return status == 0;
    };
    return {direction, kKeptLoopAreaShare * run.offset * run.offset, holds_offset};
}

void copy_out(offset_run& run, pokarr& output)
{
    output.count = 0;
    for (int i = 0; i < run.loop.count && run.status == 0; ++i) {
        int status = 0;
        pokarr_add_xyz(run.loop.x[i], &run.loop.y[i], &run.loop.z[i], nullptr, output, status);
        if (status != 0) run.status = kOffset3dFailed;
    }
}

bool refused(const pokarr& input)
{
    return input.kind == kPokarrEmpty || (input.kind == kPokarrStatic && input.count > kMaxStaticPoints) ||
           input.dimension < 3 || input.z == nullptr;
}

}  // namespace

void lane_offset_3d(int side, double distance, const pokarr& input, pokarr& output, int& status)
{
    if (refused(input)) {
        status = kOffset3dFailed;
        return;
    }
    offset_run run(input);
    run.side = side;
    run.offset = distance;
    run.reach2 = kJoinReachFactor * kJoinReachFactor * distance * distance;
    run.spacing = surface_grid_block.settings.append_spacing;
    run.kept = kept_loops(run);
    pokarr_init(3, run.loop);
    pokarr_init(3, run.corner);
    segment_piece prev, cur, next;
    for (segment_piece* s : {&prev, &cur, &next}) pokarr_init(3, s->piece);

    if (next_segment(run, prev) && append_piece(run, prev.piece, 0)) {
        bool have_current = next_segment(run, cur);
        while (have_current && run.status == 0) {
            const bool have_next = next_segment(run, next);
            if (run.status != 0) break;
            const bool joined = join_piece(run, prev, cur, have_next ? &next : nullptr);
            if (run.status != 0) break;
            if (joined) {
                prev.start = cur.start, prev.end = cur.end, prev.end_index = cur.end_index;
                std::copy(cur.direction, cur.direction + 3, prev.direction);
                std::swap(prev.piece, cur.piece);
            }
            if (!have_next) break;
            std::swap(cur.piece, next.piece);
            cur.start = next.start, cur.end = next.end, cur.end_index = next.end_index;
            std::copy(next.direction, next.direction + 3, cur.direction);
        }
    }
    if (run.status == 0) finish_loop(run);
    if (run.status == 0) cut_excursions(run);
    if (run.status == 0) copy_out(run, output);
    // A grid routine that failed (a segment that cannot be walked or laid, a hole in its way)
    // leaves part of the pocket without a lane: the run says so rather than end as if full.
    if ((run.status < 0 && run.status != kOffset3dStopped) || run.status == kOffset3dNone) {
        eroutc(kNotLaid, 0);
        run.status = kOffset3dNotLaid;
    }
    if (run.status != 0) output.count = 0;
    status = run.status;
    for (pokarr* a : {&run.loop, &run.corner, &prev.piece, &cur.piece, &next.piece}) pokarr_free(*a);
}
