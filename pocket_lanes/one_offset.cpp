// One offset of one loop. The call runs through phases (one; two in the leftover mode) and,
// within each, stages (1 and the last; 1, 2 and the last in the arc-corner mode): stage 1 offsets
// the source and takes the pieces of the loop removal through the piece tests into P (or the
// leftover candidates Q), stage 2 of the arc-corner mode offsets every piece back by R, and the
// last stage records P as lanes. The leftover mode then works out, for every lane recorded, what
// part of Q the tool running along it misses, and records what remains as extra lanes.
#include "pocket_lanes/one_offset.hpp"

#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_arrays/value_scope.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/loop_reach.hpp"
#include "pocket_lanes/loop_relation.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "pocket_lanes/offset_pieces.hpp"
#include "pocket_lanes/restart_lane.hpp"
#include "pocket_lanes/scale_combine.hpp"
#include "pocket_lanes/scratch_cache.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr const char* kNotFiniteText = "[oneoff_pokarr] LOOP OR DISTANCE HOLDS A NUMBER THAT IS NOT FINITE";
constexpr const char* kNotLaidText = "[oneoff_pokarr] THE LANE CANNOT BE LAID ON THE SURFACE";
// Below this distance the pieces are taken without the crossing and inside tests.
constexpr double kSmallOffset = 0.013;
// Loop removal is retried this often, each time at (1 - 0.001 k) of the current distance.
constexpr int kRemovalRetries = 10;
constexpr double kRetryShrink = 0.001;
// The distance the common loops hand over as "a pocket filling itself": one ten-thousandth.
constexpr double kFillDistance = 0.0001;
constexpr double kIslandMinArea = 0.003;
// At a step finer than a tenth a branch's lane may be smaller than kOuterMinArea and still hold
// material farther than half a step from its source: the least area of a lane is then this share
// of the step's square (the two agree at a step of 0.1).
constexpr double kOuterMinStepShare = 0.1;
double outer_min_area(double step) { return std::min(kOuterMinArea, kOuterMinStepShare * step * step); }
constexpr double kIslandFirstPassFactor = 3.0;
constexpr double kLeftoverMinArea = 0.0001;
constexpr double kWidthFactor = 40.0;
constexpr double kJoinAreaFactor = 4.0;
constexpr int kKindPlain = 1;
constexpr int kKindTouching = 5;
constexpr int kKindUnmet = 2;
constexpr int kKindCovered = 1;
constexpr int kKindNear = 3;
constexpr int kKindFar = 4;
constexpr int kMachiningTouch = 29;
constexpr int kContourLeftover = 100;
constexpr int kContourLeftoverNoPieces = 101;
constexpr int kContourLeftoverOpposite = 102;
constexpr int kLuplupHeights = 102;
constexpr int kOffsetOnGrid = -3;
constexpr double kHeightZero = 1.0e-6;
constexpr double kNoHeight = 1.0e10;
constexpr double kParamMiddle = 0.5;
constexpr double kLocalTolFloor = 0.001;
constexpr double kLocalTolCap = 0.1;
constexpr double kLeftoverTolCap = 0.0001;
// Room for pieces a set starts with when its first piece comes.
constexpr std::size_t kFirstPieceRoom = 16;
// A piece needs this many entries (three points and the closing one) to be kept.
constexpr int kPieceMinEntries = 4;

// A work array that gives its block back on every path.
struct work_array {
    pokarr a;
    explicit work_array(int dimension = 2) { pokarr_init(dimension, a); }
    ~work_array() { pokarr_free(a); }
    work_array(const work_array&) = delete;
    work_array& operator=(const work_array&) = delete;
};

// The per-piece values of a set.
struct piece_columns {
    std::vector<int> counts, directions, kinds;
    std::vector<double> areas;
};

// A set of closed loops one after another with their counts, directions, kinds and areas.
struct piece_store {
    work_array points;
    int count = 0;
    // Per-piece values, grown with the pieces (a set rarely holds more than a few): every offset
    // makes three sets, and 7000 entries each cleared per call cost more than the offset of a
    // small loop. The filter reads and writes only the first `count` of them, so a set may take
    // columns kept from an earlier call (`kept`) whatever they hold beyond that.
    scratch_lease<piece_columns> columns;
    std::vector<int>& counts;
    std::vector<int>& directions;
    std::vector<int>& kinds;
    std::vector<double>& areas;
    piece_store(int dimension, scratch_cache<piece_columns>& kept)
        : points(dimension), columns(kept), counts(columns.get().counts), directions(columns.get().directions),
          kinds(columns.get().kinds), areas(columns.get().areas)
    {}
    void clear()
    {
        int status = 0;
        pokarr_reset(points.a, 0, status);
        count = 0;
    }
    // The filter's view: the directions are the kinds it compares, the kinds travel along.
    piece_set view() { return {&points.a, counts.data(), directions.data(), areas.data(), kinds.data()}; }
    int first_of(int i) const
    {
        int first = 0;
        for (int k = 0; k < i; ++k) first += counts[static_cast<std::size_t>(k)];
        return first;
    }
    pokarr piece(int i) const
    {
        pokarr child;
        pokarr_child(points.a, first_of(i), counts[static_cast<std::size_t>(i)], child);
        return child;
    }
    // Appends a piece; false when the set is full (the caller's status 11) or the append fails.
    bool add(const pokarr& p, int direction, double area, int kind)
    {
        if (count >= kPieceSetMax) return false;
        int status = 0;
        pokarr_append(p.count, p, 0, points.a, status);
        if (status != 0) return false;
        add_values(p.count, direction, area, kind);
        return true;
    }
    // Adds a piece the caller gives up: the first piece of an empty set takes the piece's block
    // instead of a copy of it (the caller's array is left with the set's empty one); the set's
    // own measures stay as an append leaves them.
    bool take(pokarr& p, int direction, double area, int kind)
    {
        pokarr& a = points.a;
        const bool same_layout =
            p.dimension == a.dimension && (p.z == nullptr) == (a.z == nullptr) && (p.n == nullptr) == (a.n == nullptr);
        if (count != 0 || a.count != 0 || !same_layout) return add(p, direction, area, kind);
        const double set_area = a.area;
        const int set_direction = a.direction, set_indicator = a.indicator, entries = p.count;
        int status = 0;
        pokarr_swap(p, a, status);
        if (status != 0) return add(p, direction, area, kind);
        a.area = set_area, a.direction = set_direction, a.indicator = set_indicator;
        add_values(entries, direction, area, kind);
        return true;
    }

private:
    void add_values(int entries, int direction, double area, int kind)
    {
        const std::size_t i = static_cast<std::size_t>(count++);
        if (i >= counts.size()) {
            const std::size_t room =
                std::min<std::size_t>(std::max<std::size_t>(2 * counts.size(), kFirstPieceRoom), kPieceSetMax);
            counts.resize(room), directions.resize(room), kinds.resize(room), areas.resize(room);
        }
        counts[i] = entries, directions[i] = direction, kinds[i] = kind, areas[i] = area;
    }
};

// The columns kept for the call's sets P, S and Q and the leftover step's next set.
scratch_cache<piece_columns>& kept_columns(int set)
{
    static scratch_cache<piece_columns> kept[4];
    return kept[set];
}

// What is known of a loop's points as they stand: that the short-element or the redundant-point
// removal (of a closed loop, without heights) would leave them unchanged. Each removal is a
// function of the points and of a few working values (settled_memo names them), so one that
// changed nothing changes nothing when it meets the same points again under the same values. Both
// removals take points out whenever they change a loop, so an unchanged count tells that nothing
// changed; any change forgets what was known.
struct settled {
    bool short_elements = false;
    bool redundant_points = false;
};

// The points of the last loop whose clean-up found a removal that leaves it unchanged, with what
// was found and the working values the removals read then. A raw offset hands what its clean-up
// found to a piece that comes out of the loop removal with its points, and a recorded piece to
// the next offset that starts from it as its source. Points are compared bit for bit and the
// working values must be the same, so a loop that merely comes along later (another pocket, a
// nested offset) learns only what holds for it. Plane loops (no heights, no normals) only.
class settled_memo {
public:
    void learn(const pokarr& loop, const settled& found)
    {
        if (!(found.short_elements || found.redundant_points) || loop.z != nullptr || loop.n != nullptr) return;
        values_ = current_values();
        dimension_ = loop.dimension;
        known_ = found;
        xy_.assign(loop.x, loop.x + loop.count);
        xy_.insert(xy_.end(), loop.y, loop.y + loop.count);
    }
    // What holds for the loop: what was learnt when it holds the same points under the same values.
    settled of(const pokarr& loop) const
    {
        const std::size_t count = static_cast<std::size_t>(loop.count);
        if (xy_.size() != 2 * count || count == 0 || loop.dimension != dimension_ || loop.z != nullptr ||
            loop.n != nullptr)
            return {};
        const std::size_t bytes = count * sizeof(double);
        if (std::memcmp(loop.x, xy_.data(), bytes) != 0 || std::memcmp(loop.y, xy_.data() + count, bytes) != 0 ||
            !(current_values() == values_))
            return {};
        return known_;
    }

private:
    // What the two removals read besides the points: the pocket's dimension, the working
    // tolerance and the tolerance (short elements), the side step and the extra offset
    // (redundant points).
    struct working_values {
        int dimension = 0;
        double working_tolerance = 0.0, tolerance = 0.0, side_step = 0.0, extra_offset = 0.0;
        bool operator==(const working_values&) const = default;
    };
    static working_values current_values()
    {
        const pocket_work& w = pocket_work_block;
        return {pocket_state_block.pocket_dimension, w.working_tolerance, w.tolerance, w.side_step, w.extra_offset};
    }
    working_values values_;
    int dimension_ = 0;  // of the loop learnt
    settled known_;
    std::vector<double> xy_;  // x then y of every entry
};

settled_memo& settled_loops()
{
    static settled_memo memo;
    return memo;
}

// Where a stage goes after its pieces.
enum class flow { go_on, restart_offset, restart_phase, done };

// What one call works with.
struct oneoff_call {
    const oneoff_request& rq;
    pokarr& source;
    int side = 1;
    int dimension = 2;
    bool leftover = false, arc_corner = false, small = false, end_restart = false, from_point = false;
    int retry = 0;
    int stages = 2;
    int phase = 2;  // 1 the leftover mode's first phase, 2 the last (or only) phase
    double d = 0.0, r = 0.0, distance = 0.0, requested = 0.0, t = 0.0;
    double min_area = 0.0, width = 0.0, limit = 0.0, source_area = 0.0;
    int wanted = 1;
    int retries = 0;
    int lanes_at_start = 0, branches_at_start = 0;
    int first_recorded = 0;
    bool recorded_any = false, wanted_recorded = false, p_had_pieces = false;
    int combine = 0;
    int branch_local = 0;
    piece_store p, s, q;
    // The source's elements in a grid for the distance test of the pieces, built at the first
    // piece tested (the source does not change after its clean-up).
    scratch_lease<loop_reach> source_reach;
    bool source_reach_built = false;
    // The source made ready for the inside tests of the pieces, at the first piece that needs
    // it: made afresh for every piece it would cost a pass over the source each, and an offset
    // of a noisy loop falls into as many pieces as the loop has folds.
    inside_loop source_inside;
    bool source_inside_made = false;
    // The source's elements in a grid for the crossing test of the pieces, so that each piece
    // meets only the elements near it: made once the first few pieces have each walked the
    // whole source (most calls test only a few, and for them the walks cost less than the grid).
    std::unique_ptr<crossing_search_loop> source_elems;
    bool source_elems_made = false;
    int source_walks = 0;
    int& status;
    oneoff_call(const oneoff_request& request, pokarr& loop, int& st)
        : rq(request), source(loop), dimension(loop.dimension), p(loop.dimension, kept_columns(0)),
          s(loop.dimension, kept_columns(1)), q(loop.dimension, kept_columns(2)), source_reach(kept_reach()), status(st)
    {}
    int& branches() { return rq.branch_count != nullptr ? *rq.branch_count : branch_local; }
    static scratch_cache<loop_reach>& kept_reach()
    {
        static scratch_cache<loop_reach> kept;
        return kept;
    }
};

// ---- clean-ups that remember what they found -----------------------------------------------------

// The removals, skipped where they are known to change nothing, and what they found.
void drop_short_settled(pokarr& loop, settled& known)
{
    if (known.short_elements) return;
    const int count = loop.count;
    pokarr_drop_short(loop);
    if (loop.count != count) known = {};
    known.short_elements = loop.count == count;
}

void drop_redundant_settled(pokarr& loop, settled& known)
{
    if (known.redundant_points) return;
    const int count = loop.count;
    int closed = 1;
    pokarr_drop_redundant(closed, 0, loop);
    if (loop.count != count) known = {};
    known.redundant_points = loop.count == count;
}

// The first arc tidying pass turns the records of short arcs into points in place, keeping the
// count: only a loop without arc records is sure to come through unchanged.
void tidy_short_arcs_settled(pokarr& loop, settled& known)
{
    bool arcs = false;
    for (int k = 0; k < loop.count && !arcs; ++k) arcs = pk_is_marker(loop.x[k]);
    pokarr_tidy_pass1(loop);
    if (arcs) known = {};
}

// The second drops the records of flat arcs, so it changes the count whenever it changes a loop.
void tidy_flat_arcs_settled(pokarr& loop, settled& known)
{
    const int count = loop.count;
    pokarr_tidy_pass2(loop);
    if (loop.count != count) known = {};
}

// Every step of the join clean-up either leaves a loop as it is or takes entries out of it (a
// joined arc always loses the line it absorbs), so an unchanged count tells that nothing changed.
void clean_joins_settled(int mode, double& w, pokarr& loop, settled& known)
{
    const int count = loop.count;
    pokarr_clean_joins(mode, 0, w, loop);
    if (loop.count != count) known = {};
}

// ---- steps 1 to 3: the source loop ---------------------------------------------------------------

// Drops short elements and answers whether the loop keeps three points.
bool keeps_three(pokarr& loop, settled& known)
{
    drop_short_settled(loop, known);
    return loop.count >= 3;
}

bool keeps_three(pokarr& loop)
{
    settled known;
    return keeps_three(loop, known);
}

// A loop on the surface grid restarted inside an element starts at a point of the element's
// chord, which stands above or below the surface where the element is long (a contour's side
// between its corners): the point is put onto the surface under it, so that the offset walks from
// the surface as from every other point. Left as it is off the grid or over no surface. Reads
// surface_grid_block.shift.
void lay_restart_point(pokarr& loop)
{
    if (loop.dimension < 3 || loop.z == nullptr || loop.count < 2) return;
    const double* shift = surface_grid_block.shift;
    double height = 0.0;
    int status = 0;
    surface_grid_seam_table().grid_height_at(loop.x[0] + shift[0], loop.y[0] + shift[1], height, status);
    if (status == 0) loop.z[0] = loop.z[loop.count - 1] = height - shift[2];
}

void restart_at_longest(pokarr& loop, int& status)
{
    int longest = -1;
    pokarr_longest_elem(loop, longest);
    double x = 0.0, y = 0.0;
    if (longest >= 1) pokarr_restart_at(loop, longest, kRestartAtParam, kParamMiddle, x, y, status);
    if (longest >= 1 && status == 0) lay_restart_point(loop);
}

// Restarts the loop at its point nearest the restart point; false when none can be placed.
bool restart_at_restart_point(pokarr& loop, bool store, int& status)
{
    pocket_work& pw = pocket_work_block;
    int k = 0;
    double t = 0.0, x = 0.0, y = 0.0;
    restart_pnt_on_loop(pw.tolerance, loop.x, loop.y, loop.count, k, t, x, y, status);
    if (status != 0) return false;
    if (eqvald(t, 1.0) || eqvl0d(t)) t = kParamMiddle;
    if (store) {
        pw.restart_point[0] = x, pw.restart_point[1] = y;
        pw.restart_param = t;
    }
    pokarr_restart_at(loop, k, kRestartAtParam, t, x, y, status);
    if (status == 0) lay_restart_point(loop);
    return true;
}

// Steps 1 to 3. False with the status set when the call ends.
bool prepare_source(oneoff_call& c)
{
    pokarr& loop = c.source;
    const oneoff_request& rq = c.rq;
    const pocket_work& pw = pocket_work_block;
    const bool degenerate_outer = loop.count == 3 && rq.pass == 1 && rq.inward != 0;
    if (!degenerate_outer && rq.collection != kOneoffOpenContour) {
        // The source is often the piece the last offset recorded: what its clean-up found holds.
        settled known = settled_loops().of(loop);
        drop_short_settled(loop, known);
        if (loop.count > 2) drop_redundant_settled(loop, known);
        double w = pw.working_tolerance;
        if (rq.pass == 1) pokarr_clean_joins(kJoinsSharpOnly, 1, w, loop);
    }
    if (loop.count < 3) {
        c.status = kOneoffNoOffset;
        return false;
    }
    c.end_restart = pw.end_point_mode >= 1 && ((rq.island_mark == 0 && rq.level == 1) ||
                                               (rq.island_mark > 0 && pw.island_stage == 1 && pw.full_pocket == 0));
    int status = 0;
    if (c.end_restart && rq.pass > 1) {
        double x = 0.0, y = 0.0;
        pokarr_restart_at(loop, 1, kRestartAtParam, pw.restart_param, x, y, status);
        if (status == 0) lay_restart_point(loop);
    } else if (c.end_restart) {
        if (!restart_at_restart_point(loop, rq.island_mark == 0, status)) {
            c.status = kOneoffNoRestart;
            return false;
        }
        c.from_point = true;
    } else {
        restart_at_longest(loop, status);
    }
    if (status != 0) {
        c.status = kOneoffMemory;
        return false;
    }
    if (!keeps_three(loop)) {
        c.status = kOneoffNoOffset;
        return false;
    }
    return true;
}

// ---- the distance of a phase ---------------------------------------------------------------------

void phase_distance(oneoff_call& c)
{
    const oneoff_request& rq = c.rq;
    if (pk_is_zero(c.d) && !c.arc_corner) {
        c.distance = 0.0;
        return;
    }
    double distance = c.d;
    if (c.combine != 0 && !pk_is_zero(c.d) && c.dimension == 2) {
        const double hint = rq.source_offset > 0.0 ? std::min(c.d, rq.source_offset) : c.d;
        int status = 0;
        scale_and_combine(rq.direction_sign, pocket_work_block.tolerance, rq.first_offset, c.source.x, c.source.y,
                          c.source.count, c.d, pocket_work_block.combine_floor, c.d, hint, distance, status);
        if (status != 0) distance = c.d;
        if (c.retry != 0 && levald(distance, rq.first_offset)) c.retry = 0;
    }
    if (c.leftover && c.phase == 1) {
        c.requested = distance;
        c.distance = rq.retry == 1 && rq.pass > 1 ? rq.first_offset : distance;
        return;
    }
    c.distance = (c.leftover ? c.requested : distance) + (c.arc_corner ? c.r : 0.0);
}

// ---- the raw offset and its clean-up --------------------------------------------------------------

// The raw offset starts at the offset of the source's start, which lies inside an element: the
// offsets of its two halves run on one line through that point. The corner rule trims the
// element as a whole, so a mitre point at either end may lie beyond the start's offset: the loop
// would then run out to it and straight back, a spike of no width that the loop removal does
// not cut (it overlaps itself without crossing). The start then moves to the middle of what the
// trimmed element keeps, between the points before and after it.
void start_on_trimmed_element(pokarr& raw)
{
    const int n = raw.count;
    if (raw.dimension != 2 || n < 4 || pk_is_marker(raw.x[1]) || pk_is_marker(raw.x[n - 4])) return;
    const double sx = raw.x[0], sy = raw.y[0];
    const double ax = sx - raw.x[n - 2], ay = sy - raw.y[n - 2];  // into the start
    const double bx = raw.x[1] - sx, by = raw.y[1] - sy;          // out of it
    if (ax * bx + ay * by >= 0.0) return;
    const double mx = 0.5 * (raw.x[n - 2] + raw.x[1]), my = 0.5 * (raw.y[n - 2] + raw.y[1]);
    raw.x[0] = raw.x[n - 1] = mx;
    raw.y[0] = raw.y[n - 1] = my;
}

// Whether the call makes the first offset of a contour (outer or island): the contours are the
// first rows of the lane table.
bool offsets_contour(const oneoff_request& rq)
{
    return rq.collection == kOneoffRecord && rq.source_lane >= 1 && rq.source_lane <= lane_table_block.island_count + 1;
}

// The raw offset of `from` by the distance to the side into `work`, cleaned. False with the call's
// status set when it ends.
bool raw_offset(oneoff_call& c, pokarr& from, double distance, int side, pokarr& work, bool first_stage)
{
    int status = 0;
    c.small = distance < kSmallOffset;
    const int offset_side = c.rq.inward != 0 ? -side : side;
    pokarr_reset(work, std::min(3 * from.count, kPokarrMaxEntries), status);
    if (pk_is_zero(distance)) {
        pokarr_copy(from, work, status);
    } else {
        // A contour's first offset on the surface is measured in the plane: the walls of the
        // contours stand upright over plane curves, and the first lane keeps its offset from them
        // in XY however steeply the surface falls towards them (pocket_work.contour_offset_in_plane).
        const value_scope<int> in_plane(pocket_work_block.contour_offset_in_plane,
                                        first_stage && c.dimension != 2 && offsets_contour(c.rq) ? 1 : 0);
        lane_offset_2d3d(offset_side, 1, distance, from, work, status);
        if (status == kOffsetOnGrid) {
            // The source is laid on the grid and offset again without the steepness check. A
            // projection that fails (a lane off the grid, a segment that cannot be traced) is said
            // and passed up; no array gives 11; a failing segment whose middle has no surface
            // gives no offset, since the retry would run on a source that is not on the surface.
            surface_grid_seam_table().lan_on_grid(0, 0, from, 0.0, status);
            if (&from == &c.source) c.source_reach_built = c.source_inside_made = c.source_elems_made = false;
            if (status < 0) {
                eroutc(kNotLaidText, 0);
                c.status = status;
                return false;
            }
            if (status != 0) {
                c.status = status == kOneoffNoOffset ? kOneoffNoOffset : kOneoffMemory;
                return false;
            }
            surface_grid_seam_table().grid_drop_check_set(0);
            pokarr_reset(work, std::min(3 * from.count, kPokarrMaxEntries), status);
            lane_offset_2d3d(offset_side, 1, distance, from, work, status);
        }
        if (status == 0) start_on_trimmed_element(work);
    }
    // A failed offset has said why on the error channel: its status goes up as it is.
    if (status < 0 || status > 1) {
        c.status = status == kOneoffNoRestart ? kOneoffNoOffset : status;
        return false;
    }
    if (status != 0 || work.count < 3) {
        c.status = kOneoffNoOffset;
        return false;
    }
    settled known;
    if (c.dimension == 2) {
        pokarr_tidy_pass2(work);
        pokarr_split_big_arcs(work, status);
        if (status != 0) {
            c.status = kOneoffMemory;
            return false;
        }
        if (!keeps_three(work, known)) {
            c.status = kOneoffNoOffset;
            return false;
        }
        drop_redundant_settled(work, known);
        if (work.count < 3) {
            c.status = kOneoffNoOffset;
            return false;
        }
    }
    if (c.from_point && first_stage && c.rq.pass == 1) {
        known = {};  // the loop starts elsewhere
        if (!restart_at_restart_point(work, false, status)) {
            c.status = kOneoffNoRestart;
            return false;
        }
    }
    if (c.dimension == 2) {
        double w = pocket_work_block.working_tolerance;
        clean_joins_settled(kJoinsSharpOnly, w, work, known);
        if (c.rq.pass > 1) {
            tidy_short_arcs_settled(work, known);
            drop_short_settled(work, known);
        }
    }
    if (work.count < 3) {
        c.status = kOneoffNoOffset;
        return false;
    }
    settled_loops().learn(work, known);
    return true;
}

// ---- the tests of a piece ------------------------------------------------------------------------

// The crossings of the source and the piece in 3-D: the row of the smallest height difference
// decides, through the surface drop. Answers validity; a failed drop ends the call.
bool valid_on_surface(oneoff_call& c, pokarr& source, const int* elem_a, const double* x, const double* y,
                      const double* z_a, const double* z_b, int rows, bool& ended)
{
    double smallest = kNoHeight;
    int deciding = -1;
    bool positive = false;
    for (int i = 0; i < rows; ++i) {
        const double dz = z_b[i] - z_a[i];
        if (std::fabs(dz) < smallest) {
            smallest = std::fabs(dz);
            deciding = i;
            positive = dz > 0.0;
            if (smallest < kHeightZero) return false;
        } else if ((dz > 0.0) != positive) {
            return false;
        }
    }
    if (deciding < 0) return true;
    const int e = std::abs(elem_a[deciding]);
    double direction[3] = {0.0, 0.0, 0.0};
    for (int k = 0; k < 3; ++k)
        direction[k] = c.wanted * (pokarr_coordinate(source, e, k) - pokarr_coordinate(source, e - 1, k));
    int status = 0;
    double length = 0.0;
    v3untd(direction, length, status);
    if (status != 0) {
        c.status = status;
        ended = true;
        return false;
    }
    // Half the smaller positive of the source lane's offset and the distance (the offset when
    // neither is positive).
    const double offset = c.rq.source_offset, distance = c.distance;
    double step = offset;
    if (offset > 0.0 && distance > 0.0)
        step = std::min(offset, distance);
    else if (distance > 0.0)
        step = distance;
    const double height = z_a[deciding];
    double point[6] = {x[deciding], y[deciding], height, 0.0, 0.0, 0.0};
    surface_grid_seam_table().drop_lane_on_grid(0, point, direction, 0.5 * step, nullptr, status);
    if (status < 0) {
        c.status = status;
        ended = true;
        return false;
    }
    const bool up = point[5] > height;
    const bool valid = c.wanted == 1 ? up != positive : up == positive;
    return c.rq.inward != 0 ? !valid : valid;
}

// The distance the vertices of a planar piece must keep from the call's source: the offset
// distance less the tolerance, or less the raw offset's own accuracy where that is larger (at
// large distances its corner rule alone puts vertices a few thousandths nearer); 0 when the call
// asks none (not planar, no distance). Reads pocket_work.tolerance and working_tolerance.
double least_from_source(const oneoff_call& c)
{
    if (c.dimension != 2 || c.distance <= 0.0) return 0.0;
    const pocket_work& w = pocket_work_block;
    const double least = c.distance - std::max({w.tolerance, w.working_tolerance, raw_offset_accuracy(c.distance)});
    return least > 0.0 ? least : 0.0;
}

// Whether a vertex of the planar piece, or the middle of one of its elements, lies nearer the
// call's source loop than least_from_source. Such a piece is no part of the offset: a loop the raw
// offset forms where it folds over itself (a swallowtail, of either direction) or where the loop
// is narrower than twice the distance, or the remains of an arc shrunk through its centre; a true
// offset keeps every point at the distance. The vertices alone do not tell: where two offset arcs
// of a concave corner cross, the lens between them has both its vertices at the distance and its
// middles nearer (islands packed close leave such a lens at every neck of their merged lane). Kept
// inline in the source test, which asks it in two places for every piece (most pieces need only a
// few vertices).
[[gnu::always_inline]] inline bool piece_nears_source(oneoff_call& c, const pokarr& piece)
{
    const double least = least_from_source(c);
    if (!(least > 0.0)) return false;
    loop_reach& reach = c.source_reach.get();
    if (!c.source_reach_built) loop_reach_build(c.source, reach);
    c.source_reach_built = true;
    for (int k = 0; k < piece.count; k += k + 1 < piece.count && pk_is_marker(piece.x[k + 1]) ? kArcRecordEntries : 1)
        if (loop_reach_nearer(reach, piece.x[k], piece.y[k], least)) return true;
    for (int i = 1; i < piece.count;) {
        const chain_element e = chain_element_at(piece.x, piece.y, piece.count, i);
        if (!e.valid) break;
        const double sx = piece.x[e.start], sy = piece.y[e.start], ex = piece.x[e.end], ey = piece.y[e.end];
        double mx = 0.5 * (sx + ex), my = 0.5 * (sy + ey);
        if (e.arc) arc_pnt_by_angle(e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, 0.5, mx, my);
        if (loop_reach_nearer(reach, mx, my, least)) return true;
        i = e.next;
    }
    return false;
}

// Whether a planar piece none of whose vertices comes nearer the call's source than
// least_from_source keeps clear of the source: when no point of an element lies farther than half
// that from the element's nearer end (nor from the first point, for the closing gap), every point
// of the piece keeps at least half of it from the source, far beyond the tolerance of the crossing
// search, which then finds nothing. The source must be closed and end on a whole element, so that
// the nearness test met every element the search would.
bool piece_clear_of_source(const oneoff_call& c, const pokarr& piece)
{
    // Half the least distance must stand this far above the crossing search's tolerance.
    constexpr double kClearSlack = 1000.0 * kPocketValueTolerance;
    const pokarr& s = c.source;
    const double half = 0.5 * least_from_source(c);
    if (!(half > kClearSlack) || piece.dimension != 2 || piece.count < 2 || s.count < 3) return false;
    const int n = s.count;
    if (s.x[0] != s.x[n - 1] || s.y[0] != s.y[n - 1]) return false;
    for (int k = n - 3; k < n; ++k)
        if (pk_is_marker(s.x[k])) return false;
    for (int i = 1; i < piece.count;) {
        const chain_element e = chain_element_at(piece.x, piece.y, piece.count, i);
        if (!e.valid || !(chain_element_reach(piece.x, piece.y, e) <= half)) return false;
        i = e.next;
    }
    const chain_element closing{.valid = true, .start = piece.count - 1, .end = 0};
    return chain_element_reach(piece.x, piece.y, closing) <= half;
}

// The piece's boxes and the crossing rows of the source test (about 57 kB), kept from one test
// to the next so that a test does not allocate them: the test never runs inside itself, and it
// reads only what it has filled (luplup_pokarr fills the rows it counts).
struct source_test_rows {
    pk_box_table boxes;
    int elem_a[kLuplupRows], elem_b[kLuplupRows];
    double x[kLuplupRows], y[kLuplupRows], z_a[kLuplupRows], z_b[kLuplupRows];
};

source_test_rows& kept_source_test_rows()
{
    static const std::unique_ptr<source_test_rows> rows = std::make_unique_for_overwrite<source_test_rows>();
    return *rows;
}

// Pieces tested against the call's source by a walk over all of it before its grid is made.
constexpr int kSourceWalks = 4;

// crossing_search_finds_none of the source against the piece: by the walk for the first pieces
// of the call's source (and for any other source), from the grid of its elements after them.
bool source_crossing_none(oneoff_call& c, const pokarr& source, const pokarr& piece)
{
    if (&source != &c.source || c.source_walks < kSourceWalks) {
        if (&source == &c.source) ++c.source_walks;
        return crossing_search_finds_none(source, piece);
    }
    if (!c.source_elems) c.source_elems = std::make_unique<crossing_search_loop>();
    if (!c.source_elems_made) crossing_search_loop_make(source, *c.source_elems);
    c.source_elems_made = true;
    return crossing_search_finds_none(*c.source_elems, piece);
}

// Whether every number of the source is finite: known once its elements are in their grid.
bool source_finite(const oneoff_call& c, const pokarr& source)
{
    return &source == &c.source && c.source_elems_made ? c.source_elems->finite : pokarr_finite(source);
}

// The piece against its source loop.
bool valid_against_source(oneoff_call& c, pokarr& source, pokarr& piece, bool& ended)
{
    if (c.small) return true;
    source_test_rows* r = &kept_source_test_rows();
    int count = 0, status = 0;
    // A search whose answer is known to be no crossing is not run (nor the piece's boxes made).
    const bool none_found = source_crossing_none(c, source, piece);  // true only for finite loops
    // A planar piece that comes nearer the source than the offset fails whatever the search
    // finds, and the search of two finite loops only answers (it reports a loop that is not
    // finite): asked first, the nearness spares the search the loops the removal leaves round the
    // folds of a spiky source, as big as the source and near it from their first point.
    // (The grid of a loop that is not finite would not be sound: the source is checked first.)
    const bool near_first = !none_found && source.dimension == 2 && source_finite(c, source);
    const bool nears = near_first && piece_nears_source(c, piece);
    if (nears && pokarr_finite(piece)) return false;
    // Every vertex keeps its distance: a piece of short elements then keeps clear of the source.
    const bool clear = near_first && !nears && &source == &c.source && piece_clear_of_source(c, piece);
    if (!none_found && !clear) {
        pokarr_get_boxes(piece, r->boxes);
        // Once the source's elements are in their grid, the search looks only at those near the piece.
        luplup_near near;
        if (&source == &c.source && c.source_elems_made && crossing_search_near(*c.source_elems, piece, near))
            luplup_pokarr_near(kLuplupHeights, source, near, piece, r->boxes, r->elem_a, r->elem_b, r->x, r->y, r->z_a,
                               r->z_b, count, status);
        else
            luplup_pokarr(kLuplupHeights, source, piece, r->boxes, r->elem_a, r->elem_b, r->x, r->y, r->z_a, r->z_b,
                          count, status);
    }
    if (status < 0) return false;
    if (count > 0 && source.dimension == 2) return false;
    if (count > 0) return valid_on_surface(c, source, r->elem_a, r->x, r->y, r->z_a, r->z_b, count, ended);
    bool valid = true;
    // The call's source is made ready once: a search that found no crossing has found it finite,
    // and the checks of inside_loop_make answer alike for a finite loop.
    inside_loop other;
    inside_loop& inside_source = &source == &c.source ? c.source_inside : other;
    if (&inside_source == &other || !c.source_inside_made) inside_loop_make(source, inside_source);
    if (&source == &c.source) c.source_inside_made = true;
    // An arc record counts as one point: from the point before its marker the test steps to the
    // arc's end point.
    for (int k = 0; k < piece.count; k += k + 1 < piece.count && pk_is_marker(piece.x[k + 1]) ? kArcRecordEntries : 1) {
        int result = 0;
        pnt_in_inside_loop(piece.x[k], piece.y[k], inside_source, result, status);
        if (status != 0) return false;
        if (result == kLoopOnBoundary) continue;
        valid = !((result == kLoopOutside && c.wanted == 1) || (result == kLoopInside && c.wanted == -1));
        break;
    }
    if (c.rq.inward != 0) valid = !valid;
    // Asked first, the nearness came out false, or the search failed (the piece not finite).
    return valid && (near_first || !piece_nears_source(c, piece));
}

// An opposite piece must lie in a live lane and in no island.
bool opposite_piece_placed(oneoff_call& c, pokarr& piece, int stage, bool& ended)
{
    int result = -1, status = 0;
    loop_in_lanes(c.branches(), piece, result, status);
    if (status != 0) {
        c.status = kOneoffMemory;
        ended = true;
        return false;
    }
    if (result == 0) return false;
    const int collection = c.rq.collection;
    if (collection != kOneoffCollect && collection != kOneoffCollectLeftover ? true : stage == 1) {
        loop_in_island_cross_first(piece, 0, 0, result, status);
        if (status != 0) {
            c.status = status;
            ended = true;
            return false;
        }
        if (result == kLoopInside) return false;
    }
    return true;
}

// Whether a piece of this direction is a hole of the first inward offset of the outer contour.
bool is_hole(const oneoff_call& c, int direction)
{
    return c.rq.pass == 1 && c.rq.island_mark == 0 && c.rq.inward != 0 && direction < 0;
}

void record_piece(oneoff_call& c, pokarr& piece, int direction);

// Whether the pieces of this stage are looked at for collapse lanes: the last phase's first stage
// of a recorded offset of a branch lane after the first pass. The lane loop decides which of
// them become lanes.
bool collapse_stage(const oneoff_call& c, int stage)
{
    const oneoff_request& rq = c.rq;
    return rq.collection == kOneoffRecord && rq.island_mark == 0 && rq.pass > 1 && stage == 1 && c.phase == 2 &&
           !c.arc_corner && c.dimension == 2;
}

// A piece the loop removal cut out where the region collapsed runs the wrong way round, or is too
// small to be a lane (a part exactly two steps wide gives a line laid out and back).
bool collapse_piece(const oneoff_call& c, double area, int direction)
{
    return direction != c.wanted || !(area > c.min_area);
}

// Sub-steps 1 to 7 for one piece of a stage; false when the call ends. A piece of an early stage
// that is kept may be taken into its set: the caller's array then holds no piece.
bool test_piece(oneoff_call& c, pokarr& source, pokarr& piece, int stage, double area, int direction)
{
    const bool last = stage == c.stages;
    const bool opposite = direction != c.wanted;
    if (opposite && c.rq.island_mark == 0 && !is_hole(c, direction)) return true;
    if (!(area > c.min_area)) return true;
    bool valid = true, ended = false;
    int kind = kKindPlain;
    if (!last) {
        valid = valid_against_source(c, source, piece, ended);
        if (ended) return false;
        if (!valid) {
            if (IsNcDebug()) {
                erou1c("[oneoff_pokarr] LANE: ", lane_table_block.count);
                erou1c("OFFSET ", c.p.count);
                eroutc(" INTERSECTS PREVIOUS OFFSET", 0);
            }
            if (machining_type() == kMachiningTouch && !(c.rq.island_mark != 0 && c.rq.pass == 1)) {
                valid = true;
                if (c.dimension != 2) kind = kKindTouching;
            }
        }
        if (valid && opposite && (c.rq.pass > 1 || c.rq.island_mark == 1)) {
            valid = opposite_piece_placed(c, piece, stage, ended);
            if (ended) return false;
        }
        if (area > kJoinAreaFactor * pocket_work_block.tolerance) {
            double w = pocket_work_block.working_tolerance;
            pokarr_clean_joins(kJoinsStrict, 0, w, piece);
        }
    }
    // A piece of the offset's direction that comes nearer the source than the offset (the walls'
    // offsets passed each other all round, as where a square closes) is one cut out too.
    if (!valid && collapse_stage(c, stage)) collapse_piece_note(piece, c.distance);
    if (!valid || piece.count < kPieceMinEntries) return true;
    if (last) {
        record_piece(c, piece, direction);
        return c.status == 0 || c.status == kOneoffNoOffset;
    }
    piece_store& target = c.leftover && c.phase == 1 ? c.q : c.p;
    if (!target.take(piece, direction, area, c.leftover && c.phase == 1 ? kKindUnmet : kind)) {
        c.status = kOneoffMemory;
        return false;
    }
    return true;
}

// ---- the pieces of one raw offset ---------------------------------------------------------------

// Cleans a piece handed out by the loop removal and answers its area and direction; `known` is
// what is known of the piece as it comes.
void clean_piece(const oneoff_call& c, pokarr& piece, settled known, double& area, int& direction)
{
    drop_short_settled(piece, known);
    if (c.dimension == 2) {
        drop_redundant_settled(piece, known);
        if (c.rq.pass > 1) {
            tidy_short_arcs_settled(piece, known);
            tidy_flat_arcs_settled(piece, known);
            drop_short_settled(piece, known);
            drop_redundant_settled(piece, known);
        }
    }
    settled_loops().learn(piece, known);
    pokarr_area_dir(piece, area, direction);
}

// The pieces of the raw offset through the loop removal into the tests. restart_offset when the
// removal failed and the offset is retried.
flow take_pieces(oneoff_call& c, pokarr& source, pokarr& raw, int stage)
{
    const bool collapse = collapse_stage(c, stage);
    if (collapse) collapse_pieces_clear();
    work_array piece(c.dimension);
    int n = 0, status = 0;
    for (int taken = 0; taken <= n; ++taken) {
        DELUPS(raw, piece.a, n, status);
        if (status == kDelupsArrayFailed && (pk_is_zero(c.distance) || c.retries >= kRemovalRetries)) {
            delups_clear();
            c.status = kOneoffMemory;
            return flow::done;
        }
        if (status == kDelupsSearchFailed) {
            delups_clear();
            c.status = kOneoffRemovalFailed;
            return flow::done;
        }
        if (status != 0) {
            delups_clear();
            ++c.retries;
            if (IsNcDebug()) {
                erou1c("[oneoff_pokarr] DELUPS HAS FAILED ", c.retries);
                eroutc(" TIMES", 0);
            }
            if (pk_is_zero(c.distance) || c.retries >= kRemovalRetries) {
                c.status = kOneoffRemovalFailed;
                return flow::done;
            }
            return flow::restart_offset;
        }
        if (stage == 1 && taken == 0 && n > raw.count && 2.0 * c.limit > c.source_area) n = 0;
        // A raw offset without crossings comes back whole, and what its clean-up found holds.
        const settled known = settled_loops().of(piece.a);
        double area = 0.0;
        int direction = 0;
        clean_piece(c, piece.a, known, area, direction);
        if (collapse && collapse_piece(c, area, direction)) collapse_piece_note(piece.a, c.distance);
        if (c.rq.pass == 1 && c.rq.inward != 0 && taken == 0 && c.source.count == 3 && direction < 0) {
            pokarr_reverse(piece.a);
            direction = 1;
        }
        if (!test_piece(c, source, piece.a, stage, area, direction)) {
            delups_clear();
            return flow::done;
        }
    }
    delups_clear();
    return flow::go_on;
}

// ---- recording ------------------------------------------------------------------------------------

void swept_boundary_update(oneoff_call& c, pokarr& recorded, int parent);

void record_piece(oneoff_call& c, pokarr& piece, int direction)
{
    const oneoff_request& rq = c.rq;
    lane_table& lt = lane_table_block;
    int lane_status = rq.pass, parent = rq.source_lane, level = rq.level;
    const bool opposite = direction != c.wanted;
    const bool new_island = is_hole(c, direction);
    if (new_island) {
        // The next island level of the engine: islands stay numbered without gaps, so the lane
        // loop, which offsets the levels up to the engine's island count, finds it.
        level = kLevelIsland + pocket_box_block.island_count + 1;
        parent = 0;
        lane_status = 0;
    } else {
        if ((opposite && rq.island_mark != 0) || (!opposite && c.wanted_recorded)) level = ++c.branches();
        if (opposite) lane_status = parent = 1;
    }
    if (!opposite) c.wanted_recorded = true;
    int status = 0;
    if (rq.collection == kOneoffRecord || rq.collection == kOneoffOpenContour) {
        lane_add(lane_status, level, parent, rq.source_lane, 0, c.distance, 0, piece, status);
        if (status != 0) {
            c.status = status;
            return;
        }
        if (c.first_recorded == 0) c.first_recorded = lt.count;
        if (opposite && !new_island) lt.group[lt.count] = rq.source_lane;
        if (new_island) ++pocket_box_block.island_count;
    } else {
        loop_buffer_add(collected_loops_block, piece, direction, status);
        if (status != 0) {
            c.status = kOneoffMemory;
            return;
        }
    }
    c.recorded_any = true;
    if (c.leftover && c.phase == 2) swept_boundary_update(c, piece, parent);
}

// ---- the leftover mode --------------------------------------------------------------------------

// Whether some piece of P has its first point off the loop's boundary inside it, or all its
// points on the boundary.
bool p_piece_inside(oneoff_call& c, const pokarr& loop)
{
    inside_loop inside;
    inside_loop_make(loop, inside);
    for (int i = 0; i < c.p.count; ++i) {
        const pokarr piece = c.p.piece(i);
        int result = kLoopOnBoundary, status = 0;
        for (int k = 0; k < piece.count && result == kLoopOnBoundary; ++k) {
            if (pk_is_marker(piece.x[k])) {
                k += kArcRecordEntries - 2;
                continue;
            }
            pnt_in_inside_loop(piece.x[k], piece.y[k], inside, result, status);
            if (status != 0) return false;
        }
        if (result != kLoopOutside) return true;
    }
    return false;
}

// Where the candidate's points lie against the swept boundary: the first point off it decides.
int candidate_against(const pokarr& candidate, const pokarr& swept)
{
    inside_loop inside;
    inside_loop_make(swept, inside);
    for (int k = 0; k < candidate.count; ++k) {
        if (pk_is_marker(candidate.x[k])) {
            k += kArcRecordEntries - 2;
            continue;
        }
        int result = 0, status = 0;
        pnt_in_inside_loop(candidate.x[k], candidate.y[k], inside, result, status);
        if (status != 0) return kLoopOutside;
        if (result != kLoopOnBoundary) return result;
    }
    return kLoopOnBoundary;
}

// The swept boundary of the recorded piece: the piece offset by t + first offset to the other
// side, its first loop of the wanted direction (any for islands) larger than the piece,
// reversed. False when there is none.
bool swept_boundary(oneoff_call& c, pokarr& recorded, pokarr& swept)
{
    work_array piece(c.dimension), raw(c.dimension);
    int status = 0;
    pokarr_copy(recorded, piece.a, status);
    if (status == 0) restart_at_longest(piece.a, status);
    if (status != 0) return false;
    pocket_work& pw = pocket_work_block;
    const int corner_arcs = pw.corner_arcs;
    pw.corner_arcs = 1;
    pokarr_reset(raw.a, std::min(3 * piece.a.count, kPokarrMaxEntries), status);
    if (status == 0) lane_offset_2d3d(-c.side, 1, c.t + c.rq.first_offset, piece.a, raw.a, status);
    pw.corner_arcs = corner_arcs;
    if (status != 0 || raw.a.count < 3) return false;
    start_on_trimmed_element(raw.a);
    pokarr_drop_short(raw.a);
    pokarr_tidy_pass1(raw.a);
    pokarr_drop_short(raw.a);
    double recorded_area = 0.0;
    int recorded_direction = 0;
    pokarr_area_dir(recorded, recorded_area, recorded_direction);
    int n = 0;
    for (int taken = 0; taken <= n; ++taken) {
        DELUPS(raw.a, swept, n, status);
        if (status != 0) break;
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(swept, area, direction);
        if ((c.rq.island_mark != 0 || direction == c.wanted) && area > recorded_area) {
            delups_clear();
            pokarr_reverse(swept);
            return true;
        }
    }
    delups_clear();
    return false;
}

// After a lane is recorded, the leftover candidates Q are cut by the area its tool
// sweeps; what they keep becomes the new Q.
void swept_boundary_update(oneoff_call& c, pokarr& recorded, int parent)
{
    work_array swept(c.dimension), candidate(c.dimension), loop(c.dimension);
    if (!swept_boundary(c, recorded, swept.a)) {
        c.q.clear();
        return;
    }
    piece_store next(c.dimension, kept_columns(3));
    pocket_work& pw = pocket_work_block;
    for (int i = 0; i < c.q.count; ++i) {
        const pokarr q = c.q.piece(i);
        int status = 0;
        pokarr_copy(q, candidate.a, status);
        if (status != 0) continue;
        loop_buffer_clear(pending_loops_block);
        const double tolerance = pw.tolerance;
        pw.tolerance = std::min(c.t, kLeftoverTolCap);
        int levels = c.branches(), largest = 0, lanes = 0, result = 0;
        comlup_pokarr(1, candidate.a, swept.a, parent, c.distance, c.rq.pass, parent, 0, 0, 0, levels, largest, lanes,
                      result);
        pw.tolerance = tolerance;
        const std::size_t k = static_cast<std::size_t>(i);
        if (result == kLaneTableFull || result == kComlupMemory || result == kComlupLaneRefused) continue;
        if (result == kComlupRecorded) {
            const loop_buffer& pending = pending_loops_block;
            int first = 0;
            for (int m = 1; m <= pending.loops; ++m) {
                pokarr_replace(pending.counts[m], pending.points, first, loop.a, status);
                first += pending.counts[m];
                if (status != 0) break;
                int kind = kKindCovered;
                if (!p_piece_inside(c, loop.a)) {
                    double value = 0.0;
                    int far = 0;
                    loop_dist_exceeds(recorded.x, recorded.y, recorded.count, loop.a.x, loop.a.y, loop.a.count,
                                      2.0 * c.t + c.rq.first_offset, value, far);
                    kind = far != 0 ? kKindFar : kKindNear;
                }
                double area = 0.0;
                int direction = 0;
                pokarr_area_dir(loop.a, area, direction);
                next.add(loop.a, direction, area, kind);
            }
            continue;
        }
        int kind = c.q.kinds[k];
        if (result == kComlupClosedNoneKept || result == kComlupNothingCollected ||
            candidate_against(q, swept.a) != kLoopOutside)
            kind = kKindCovered;
        next.add(q, c.q.directions[k], c.q.areas[k], kind);
    }
    loop_buffer_clear(pending_loops_block);
    c.q.clear();
    for (int i = 0; i < next.count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        c.q.add(next.piece(i), next.directions[k], next.areas[k], next.kinds[k]);
    }
}

// The candidates still unmet or reaching far become lanes at the first offset.
void leftover_lanes(oneoff_call& c)
{
    const oneoff_request& rq = c.rq;
    lane_table& lt = lane_table_block;
    for (int i = 0; i < c.q.count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (c.q.kinds[k] != kKindUnmet && c.q.kinds[k] != kKindFar) continue;
        const pokarr candidate = c.q.piece(i);
        int result = 0, status = 0;
        loop_in_island_cross_first(candidate, 0, 0, result, status);
        if (status != 0) {
            c.status = status;
            return;
        }
        if (result != 0) continue;
        pieces_meet_loop(c.p.count, c.p.counts.data(), c.p.points.a, candidate, result, status);
        if (status != 0 || result != 0) continue;
        if (!gtvald(c.q.areas[k], std::min(kLeftoverMinArea, c.min_area))) continue;
        if (rq.retry == 2 && (rq.collection == kOneoffCollect || rq.collection == kOneoffCollectLeftover)) {
            loop_buffer_add(collected_loops_block, candidate, c.q.directions[k], status);
            if (status != 0) {
                c.status = kOneoffMemory;
                return;
            }
            c.recorded_any = true;
            continue;
        }
        const bool opposite = c.q.directions[k] != c.wanted;
        int lane_status = rq.pass, parent = rq.source_lane, link = rq.source_lane, level = rq.level;
        if ((opposite && rq.island_mark != 0) || (!opposite && c.wanted_recorded)) level = ++c.branches();
        if (!opposite) c.wanted_recorded = true;
        if (opposite) lane_status = parent = link = 1;
        const int contour = lane_status == 1 ? kContourLeftoverOpposite
                                             : (c.p_had_pieces ? kContourLeftover : kContourLeftoverNoPieces);
        lane_add(lane_status, level, parent, link, 0, rq.first_offset, contour, candidate, status);
        if (status != 0) {
            c.status = status;
            return;
        }
        if (opposite) lt.group[lt.count] = rq.source_lane;
        c.recorded_any = true;
    }
}

// ---- steps 4 to 8: phases and stages -------------------------------------------------------------

// Resets the offset for a retry or a new start: P, Q and the pending loops emptied.
void empty_sets(oneoff_call& c)
{
    c.p.clear();
    c.q.clear();
    loop_buffer_clear(pending_loops_block);
}

// Stage 2 of the arc-corner mode: every piece of S offset back by R.
flow back_offset_stage(oneoff_call& c)
{
    c.s.clear();
    for (int i = 0; i < c.p.count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        c.s.add(c.p.piece(i), c.p.directions[k], c.p.areas[k], c.p.kinds[k]);
    }
    c.p.clear();
    c.distance = c.d;
    work_array piece(c.dimension), raw(c.dimension);
    for (int i = 0; i < c.s.count; ++i) {
        int status = 0;
        pokarr_copy(c.s.piece(i), piece.a, status);
        if (status == 0) restart_at_longest(piece.a, status);
        if (status != 0) {
            c.status = kOneoffMemory;
            return flow::done;
        }
        const bool small = c.d < kSmallOffset;
        if (!raw_offset(c, piece.a, c.r, -c.side, raw.a, false)) return flow::done;
        c.small = small;
        // The back offset's pieces are tested against the call's source loop.
        const flow f = take_pieces(c, c.source, raw.a, 2);
        if (f != flow::go_on) return f;
    }
    return flow::go_on;
}

// The filter of a stage's pieces.
bool filter_stage(oneoff_call& c, const pokarr& previous, double distance)
{
    piece_store& set = c.leftover && c.phase == 1 ? c.q : c.p;
    const int order_flag = c.rq.pass == 1 && c.rq.island_mark == 0 && c.rq.inward != 0 ? 1 : 0;
    int status = 0;
    offset_pieces_filter(order_flag, previous, c.width, c.limit, distance, c.rq.first_offset, c.wanted, set.count,
                         set.view(), status);
    if (status != 0) c.status = status == kPiecesSurfaceDrop ? status : kOneoffMemory;
    return status == 0;
}

// The last stage: P recorded piece by piece.
bool record_stage(oneoff_call& c)
{
    c.p_had_pieces = c.p.count > 0;
    c.first_recorded = 0;
    for (int i = 0; i < c.p.count; ++i) {
        // The last stage only reads its pieces, and nothing adds to P meanwhile: each piece is
        // recorded from its place in P, measured afresh as a copy would be.
        pokarr piece = c.p.piece(i);
        piece.area = 0.0;
        piece.direction = 0;
        piece.indicator = 0;
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(piece, area, direction);
        if (!test_piece(c, c.source, piece, c.stages, area, direction)) return false;
    }
    return true;
}

// One phase from its distance to its last stage; answers how the call goes on.
flow run_phase(oneoff_call& c, bool new_distance)
{
    if (new_distance) phase_distance(c);
    work_array raw(c.dimension);
    if (!raw_offset(c, c.source, c.distance, c.side, raw.a, true)) return flow::done;
    const flow f = take_pieces(c, c.source, raw.a, 1);
    if (f != flow::go_on) return f;
    if (!filter_stage(c, c.source, c.distance)) return flow::done;
    if (c.leftover && c.phase == 1) {
        lane_table_block.count = c.lanes_at_start;
        c.branches() = c.branches_at_start;
        c.combine = 0;
        c.phase = 2;
        return flow::restart_phase;
    }
    if (c.arc_corner) {
        if (c.leftover && c.p.count == 0 && c.rq.pass == 1) {
            c.status = kOneoffNoOffset;
            return flow::done;
        }
        const flow back = back_offset_stage(c);
        if (back != flow::go_on) return back;
        if (c.s.count > 0 && !filter_stage(c, c.s.piece(c.s.count - 1), c.r)) return flow::done;
        if (c.p.count >= 2) {
            int status = 0;
            pieces_uncross(c.p.count, c.p.view(), c.rq.pass, c.retry, status);
            if (status == kPiecesMemory) {
                c.status = kOneoffMemory;
                return flow::done;
            }
            if (status == kPiecesCross) {
                c.arc_corner = false;
                c.stages = 2;
                empty_sets(c);
                c.retries = 0;
                c.phase = c.leftover ? 1 : 2;
                return flow::restart_phase;
            }
        }
    }
    if (!record_stage(c)) return flow::done;
    if (c.leftover) leftover_lanes(c);
    return flow::done;
}

// Fixes the working values of the call.
void set_up(oneoff_call& c)
{
    const oneoff_request& rq = c.rq;
    const pocket_work& pw = pocket_work_block;
    c.side = rq.direction_word == -1 ? -rq.side : rq.side;
    c.d = rq.distance;
    c.r = pw.reoffset_distance;
    c.retry = rq.retry;
    c.combine = rq.combine;
    c.arc_corner = pw.corner_arcs != 0 && !pk_is_zero(c.r);
    c.stages = c.arc_corner ? 3 : 2;
    c.leftover = rq.retry == 2 || (rq.retry == 1 && (rq.pass == 1 || !pk_is_zero(c.d)));
    c.phase = c.leftover ? 1 : 2;
    c.t = std::clamp(std::min(0.5 * pw.tolerance, c.d / 1000.0), kLocalTolFloor, kLocalTolCap);
    int direction = 0;
    pokarr_area_dir(c.source, c.source_area, direction);
    c.min_area = rq.island_mark == 0 ? outer_min_area(pw.engine_step)
                                     : (rq.pass == 1 ? kIslandFirstPassFactor * kIslandMinArea : kIslandMinArea);
    if (c.dimension == 2 && !c.arc_corner && (pk_eq_val(c.d, kFillDistance) || pk_is_zero(c.d)))
        c.min_area = std::max(c.min_area, 0.5 * c.source_area);
    c.width = std::max(kWidthFactor * c.min_area, rq.first_offset * rq.first_offset);
    c.limit = std::min(pw.reach_squared[0], pw.reach_squared[1]);
    c.wanted = rq.island_mark == 0 ? 1 : -1;
    c.lanes_at_start = lane_table_block.count;
    c.branches_at_start = c.branches();
}

}  // namespace

void oneoff_pokarr(const oneoff_request& request, pokarr& loop, int& status)
{
    status = 0;
    // The clean-up passes would drop a vertex that is not a number before any test could see it.
    if (!pokarr_finite(loop) || !std::isfinite(request.distance)) {
        eroutc(kNotFiniteText, 0);
        status = kOneoffRefused;
        return;
    }
    oneoff_call c(request, loop, status);
    if (request.direction_word == -1) pokarr_reverse(loop);
    if (!prepare_source(c)) return;
    set_up(c);
    loop_buffer_clear(pending_loops_block);
    surface_grid_seam_table().grid_drop_check_set(1);
    bool new_distance = true;
    for (int round = 0; round <= 4 * (kRemovalRetries + 2); ++round) {
        const flow f = run_phase(c, new_distance);
        if (f == flow::done) break;
        if (f == flow::restart_offset) {
            // Loop removal failed: the offset is made again a little nearer, from stage 1 of the
            // first phase.
            empty_sets(c);
            const double shrink = 1.0 - kRetryShrink * c.retries;
            if (c.leftover) {
                c.d *= shrink;
                c.phase = 1;
                new_distance = true;
            } else {
                c.distance *= shrink;
                new_distance = false;
            }
            continue;
        }
        new_distance = true;
    }
    loop_buffer_clear(pending_loops_block);
    if (status != 0) return;
    if (!c.recorded_any) {
        status = kOneoffNoOffset;
        return;
    }
    const lane_table& lt = lane_table_block;
    if (pocket_work_block.end_point_mode >= 1 && c.first_recorded > 0) {
        int nearest_status = 0;
        nearest_lane_to_restart(c.first_recorded, lt.count, nearest_status);
        if (nearest_status != 0) status = kOneoffMemory;
    }
}
