// Lane projection onto the surface grid (see the header). A segment's two walkers aim at each
// other's last point; each walks the chord's part in the plane of its triangle, so the strings
// follow the surface. They have met when they stand on one triangle, or on two triangles across
// one edge or diagonal, where the chord's crossing joins the strings.
#include "clearing/surface_lanes/grid_projection.hpp"

#include "clearing/surface_lanes/grid_search.hpp"
#include "clearing/surface_lanes/lane_loop_cut.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_arrays/value_scope.hpp"
#include "surfaces/surface_grid.hpp"

#include <cmath>
#include <cstring>

lane_walkers lane_walkers_block;

namespace {

constexpr char kUnableToProject[] = "[lan_on_grid] UNABLE TO PROJECT SEGMENT";
constexpr char kNotFinite[] = "[lan_on_grid] LANE HOLDS A NUMBER THAT IS NOT FINITE";
// A walker whose chord runs within about five degrees of the upright (its XY part below this
// share of its length) has no way to aim along the surface.
constexpr double kBlockedAcross = 0.0894;
// Answers without progress in a row after which a walker passes through a corner, then gives up.
constexpr int kStuckLimit = 6;
// Steps per cell of chord length, and the slack of a short chord: a straight string crosses two
// triangles per cell at most, and each step moves one walker.
constexpr double kStepsPerCell = 4.0;
constexpr double kStepSlack = 10.0;
// Colours of the walkers' cells in the grid's debug display.
constexpr int kShownCellColour = 3;
// A segment failing this often, after as many splits, cannot be projected.
constexpr int kMostSplits = 100;
// Walkers meet when their last points are this close.
constexpr double kMeetDistance = 1.0e-6;
// A segment shorter than this (ten times the on-line tolerance, grid units) is not traced.
constexpr double kNegligibleSegment = 10.0 * kGridOnLine;
// A lane point lies on a straight string when it is this close to the chord of its neighbours.
constexpr double kStraightGap = 1.0e-9;
// Densification never divides one segment into more parts than this.
constexpr double kMostParts = 1.0e6;

using point6 = std::array<double, 6>;

bool cell_in_range(int col, int row)
{
    const surface_grid& g = surface_grid_block;
    return col >= 0 && row >= 0 && col <= g.nx - 2 && row <= g.ny - 2;
}

void node_point(int col, int row, double* p)
{
    const surface_grid& g = surface_grid_block;
    p[0] = g.x0 + col * g.h;
    p[1] = g.y0 + row * g.h;
    p[2] = g.heights[static_cast<std::size_t>(row) * g.nx + col];
}

grid_cell& record_of(int k) { return grid_cells_block.work[k]; }

void push(lane_walker& w, const double* p, const double* normal)
{
    w.points.push_back({p[0], p[1], p[2], normal[0], normal[1], normal[2]});
}

// ---- meeting ----------------------------------------------------------------------------------

struct list_entry {
    int col, row, kind, bits;
};
list_entry entry_of(const int* list, int e)
{
    return {list[1 + 4 * e], list[2 + 4 * e], list[3 + 4 * e], list[4 + 4 * e]};
}
int entries_of(const int* list) { return (list[0] - 1) / 4; }

// The triangle bits of a cell's triangle along one of its edges (dcol, drow towards the edge).
int edge_triangle_bits(int kind, int dcol, int drow)
{
    const bool bottom_or_right = drow < 0 || dcol > 0;
    if (kind == kDiagonalRising) return bottom_or_right ? kBitsFirst : kBitsSecond;
    const bool bottom_or_left = drow < 0 || dcol < 0;
    return bottom_or_left ? kBitsFirst : kBitsSecond;
}

// The two end nodes of the edge of cell (col, row) towards (dcol, drow), world points.
void edge_nodes(int col, int row, int dcol, int drow, double* a, double* b)
{
    const int c = col + (dcol > 0 ? 1 : 0), r = row + (drow > 0 ? 1 : 0);
    node_point(c, r, a);
    node_point(dcol != 0 ? c : c + 1, dcol != 0 ? r + 1 : r, b);
}

enum class meeting { none, met, moved };

// Whether the walkers stand on one triangle, on two triangles of one cell, or on two triangles
// across a cell edge; the chord's crossing of the diagonal or edge then joins walker 0's string.
meeting walkers_meet(lane_walkers& s)
{
    lane_walker& a = s.walker[0];
    lane_walker& b = s.walker[1];
    const double* p = a.points.back().data();
    const double* q = b.points.back().data();
    for (int i = 0; i < entries_of(a.list); ++i) {
        const list_entry ea = entry_of(a.list, i);
        for (int j = 0; j < entries_of(b.list); ++j) {
            const list_entry eb = entry_of(b.list, j);
            if (ea.col != eb.col || ea.row != eb.row) continue;
            if ((ea.bits & eb.bits) != 0) return meeting::met;
            if (i != 0) {  // walker 0 goes on in the shared cell
                a.col = ea.col;
                a.row = ea.row;
                a.entry = kEntryNone;
                a.evaluate = true;
                return meeting::moved;
            }
            const grid_cell& cell = record_of(0);
            double d0[3], d1[3], crossing[3];
            const int c0 = cell.kind == kDiagonalRising ? 0 : 1;
            node_point(a.col + (c0 == 0 ? 0 : 1), a.row, d0);
            node_point(a.col + (c0 == 0 ? 1 : 0), a.row + 1, d1);
            int found = 0;
            grid_edge_crossing(s.crossing_dimension, p, q, d0, d1, crossing, found);
            if (found != 0) push(a, crossing, grid_cell_normal(cell, a.triangle));
            return meeting::met;
        }
    }
    for (int i = 0; i < entries_of(a.list); ++i) {
        const list_entry ea = entry_of(a.list, i);
        for (int j = 0; j < entries_of(b.list); ++j) {
            const list_entry eb = entry_of(b.list, j);
            const int dc = eb.col - ea.col, dr = eb.row - ea.row;
            if (std::abs(dc) + std::abs(dr) != 1) continue;
            if ((ea.bits & edge_triangle_bits(ea.kind, dc, dr)) == 0) continue;
            if ((eb.bits & edge_triangle_bits(eb.kind, -dc, -dr)) == 0) continue;
            double e0[3], e1[3], crossing[3];
            edge_nodes(ea.col, ea.row, dc, dr, e0, e1);
            int found = 0;
            grid_edge_crossing(s.crossing_dimension, p, q, e0, e1, crossing, found);
            if (found == 0) continue;
            push(a, crossing, grid_cell_normal(record_of(0), a.triangle));
            return meeting::met;
        }
    }
    return meeting::none;
}

// ---- walking ----------------------------------------------------------------------------------

// Aims walker k along the chord (towards the other walker) in the plane of its triangle, over the
// chord's line in XY: both walkers keep to the upright plane through the segment's ends, so the
// string lies over the straight segment in XY however steep the surface. A walker is blocked
// when the chord runs within about five degrees of the upright.
void aim(lane_walker& w, int k, const double* chord)
{
    const double sign = k == 0 ? 1.0 : -1.0;
    const double* n = grid_cell_normal(record_of(k), w.triangle);
    const double across = std::hypot(chord[0], chord[1]);
    w.blocked = across <= kBlockedAcross;
    w.direction[0] = sign * chord[0];
    w.direction[1] = sign * chord[1];
    w.direction[2] = -(n[0] * w.direction[0] + n[1] * w.direction[1]) / n[2];
}

// How nearly walker k's direction runs along the chord.
double alignment(const lane_walker& w, int k, const double* chord)
{
    const double length = std::sqrt(v3dotd(w.direction, w.direction));
    return length > 0.0 ? (k == 0 ? 1.0 : -1.0) * v3dotd(w.direction, chord) / length : -1.0;
}

// Moves the walker into the cell beyond its step; false off the grid's cells.
bool step_cell(lane_walker& w, int dcol, int drow)
{
    if (!cell_in_range(w.col + dcol, w.row + drow)) return false;
    w.col += dcol;
    w.row += drow;
    w.entry = grid_entry_after_step(dcol, drow);
    w.evaluate = true;
    return true;
}

// The walker goes on in its cell's other triangle; false when that has no surface.
bool other_triangle(lane_walker& w, int k, const double* chord)
{
    int status = 0;
    grid_cell_eval_list(2, w.points.back().data(), w.col, w.row, w.entry, chord, record_of(k), w.triangle, w.list,
                        status);
    return status == 0;
}

// One step of walker k to the border of its triangle. A negative state when it cannot go on.
int step_walker(lane_walker& w, int k, const double* chord)
{
    const grid_cell& cell = record_of(k);
    double exit[3];
    int dcol = 0, drow = 0, status = 0;
    const int mode = w.stuck > kStuckLimit ? kExitThroughCorner : kExitPlain;
    grid_cell_exit(mode, cell, w.points.back().data(), w.direction, w.triangle, exit, dcol, drow, status);
    if (status < 0) return status;
    if (status == 1) {
        w.stuck = 0;
        push(w, exit, grid_cell_normal(cell, w.triangle));
    } else if (++w.stuck > kStuckLimit + 1) {
        return kSegmentFailed;
    }
    if (dcol != 0 || drow != 0) return step_cell(w, dcol, drow) ? kSegmentMet : kSegmentFailed;
    return other_triangle(w, k, chord) ? kSegmentMet : kSegmentFailed;
}

// Resets the walkers for a new segment from the start points in their buffers.
bool start_walkers(double length, int* ends)
{
    lane_walkers& s = lane_walkers_block;
    const double limit = kStepsPerCell * length / surface_grid_block.h + kStepSlack;
    s.step_limit = limit < 1.0e8 ? static_cast<int>(limit) : 100000000;
    s.steps = 0;
    s.moved_last = 0;
    for (lane_walker& w : s.walker) {
        int status = 0;
        get_grid_index(w.points.front().data(), w.col, w.row, status);
        if (status != 0) return false;
        w.entry = kEntryNone;
        w.evaluate = true;
        w.blocked = false;
        w.stuck = 0;
    }
    ends[0] = ends[1] = 0;
    return true;
}

// ---- the lane ---------------------------------------------------------------------------------

struct projection {
    int mode = kProjectPlain;
    bool onto = false;     // lane points brought onto the surface
    double spacing = 0.0;  // 0: none
    int dimension = 3;
    pokarr_work points{3};  // the lane in grid coordinates, growing with the splits
    pokarr_work result{3};
};

void point_of(const pokarr& a, int i, double* p)
{
    p[0] = a.x[i];
    p[1] = a.y[i];
    p[2] = a.z[i];
}

int add_point(const double* p, const double* normal, pokarr& a)
{
    int status = 0;
    pokarr_add_pnt_nrm(p, normal, a, status);
    return status == 0 ? 0 : kProjectNoArray;
}

// Brings lane point i onto the surface (nearest point within ten rings).
int bring_onto_surface(pokarr& a, int i)
{
    double p[3], distance = 0.0;
    point_of(a, i, p);
    int col = 0, row = 0, status = 0;
    grid_find_cell(kFindNearestFar, p, col, row, distance, status);
    if (status != 0) return status;
    a.x[i] = p[0];
    a.y[i] = p[1];
    a.z[i] = p[2];
    return 0;
}

// Whether the walker's start (a lane point inside one triangle) can be left out: a crossing lies
// nearer than the spacing and the string runs straight through the point, so leaving it out
// changes no geometry.
bool start_left_out(const projection& pr, const lane_walker& w, int end_flag, const double* before)
{
    if (pr.spacing <= 0.0 || end_flag == 0 || w.points.size() < 2 || before == nullptr) return false;
    const double* start = w.points[0].data();
    const double* next = w.points[1].data();
    if (distd(3, start, next) >= pr.spacing) return false;
    double nearest[3], parameter = 0.0, gap = 0.0;
    int status = 0;
    dsdlpt(2, 3, start, before, next, nearest, parameter, gap, status);
    return status == 0 && gap < kStraightGap;
}

// Appends the segment's two strings to the result: walker 0's from its start, then walker 1's
// reversed without its start (the next segment's first point) unless the segment is the last.
int append_strings(projection& pr, const int* ends, bool last)
{
    // The walkers' points after their starts lie on triangle borders at the surface's height
    // already: nothing to bring onto the surface.
    lane_walkers& s = lane_walkers_block;
    pokarr& r = pr.result.a;
    double before[3];
    const bool has_before = r.count > 0;
    if (has_before) point_of(r, r.count - 1, before);
    const lane_walker& a = s.walker[0];
    const lane_walker& b = s.walker[1];
    const std::size_t first = start_left_out(pr, a, ends[0], has_before ? before : nullptr) ? 1 : 0;
    for (std::size_t k = first; k < a.points.size(); ++k)
        if (add_point(a.points[k].data(), a.points[k].data() + 3, r) != 0) return kProjectNoArray;
    const std::size_t stop = last ? 0 : 1;
    for (std::size_t k = b.points.size(); k-- > stop;)
        if (add_point(b.points[k].data(), b.points[k].data() + 3, r) != 0) return kProjectNoArray;
    return 0;
}

// Splits the segment ending at point i at its middle, brought onto the surface. Status 1 when the
// middle has no surface.
int split_segment(pokarr& a, int i)
{
    double p[3], q[3], middle[3], surface[3], distance = 0.0;
    point_of(a, i - 1, p);
    point_of(a, i, q);
    for (int m = 0; m < 3; ++m) middle[m] = surface[m] = 0.5 * (p[m] + q[m]);
    int col = 0, row = 0, status = 0;
    grid_find_cell(kFindNearestEdges, surface, col, row, distance, status);
    if (status != 0) return 1;
    const double span = distd(3, p, q), to_p = distd(3, surface, p), to_q = distd(3, surface, q);
    if (!(to_p < span && to_q < span) || pk_is_zero(to_p) != 0 || pk_is_zero(to_q) != 0) {
        std::memcpy(surface, middle, sizeof middle);
        grid_find_cell(kFindVertical, surface, col, row, distance, status);
        if (status != 0) return 1;
    }
    const double* from = pokarr_normal(a, i - 1);
    const double normal[3] = {from[0], from[1], from[2]};  // the insertion may move the normals
    pokarr_insert_pnt_nrm(surface, normal, a, i, status);
    return status == 0 ? 0 : kProjectNoArray;
}

// Traces every segment of the lane into the result, splitting failing segments.
int project_segments(projection& pr)
{
    pokarr& a = pr.points.a;
    lane_walkers& s = lane_walkers_block;
    int fails = 0, split_end = -1;
    for (int i = 1; i < a.count;) {
        if (pr.onto) {
            const int status = bring_onto_surface(a, i);
            if (status != 0) return status;
        }
        double p[3], q[3];
        point_of(a, i - 1, p);
        point_of(a, i, q);
        const double* np = a.n != nullptr ? a.n + 3L * (i - 1) : kDefaultNormal;
        const double* nq = a.n != nullptr ? a.n + 3L * i : kDefaultNormal;
        for (lane_walker& w : s.walker) w.points.clear();
        push(s.walker[0], p, np);
        push(s.walker[1], q, nq);
        int ends[2] = {0, 0}, state = kSegmentStart;
        // A segment far shorter than any tolerance (two splits' middles snapped to one node) is
        // its own string: walkers standing on a node beside a hole may find no cell to step in.
        if (distd(3, p, q) < kNegligibleSegment)
            state = kSegmentMet;
        else
            lan_on_grid_segment(distd(3, p, q), ends, state);
        if (state == kSegmentEndOffGrid) return -1;
        if (state == kSegmentMet) {
            const int status = append_strings(pr, ends, i == a.count - 1);
            if (status != 0) return status;
            if (++i > split_end) fails = 0;
            continue;
        }
        if (++fails >= kMostSplits) {
            eroutc(kUnableToProject, 0);
            return -1;
        }
        const int status = split_segment(a, i);
        if (status != 0) return status;
        split_end = split_end < i ? i + 1 : split_end + 1;
    }
    return 0;
}

// Closes the result onto its first point: a last point within the point tolerance becomes the
// first exactly, otherwise the first is appended.
int close_result(pokarr& r)
{
    double first[3], last[3];
    point_of(r, 0, first);
    point_of(r, r.count - 1, last);
    const double difference[3] = {last[0] - first[0], last[1] - first[1], last[2] - first[2]};
    if (r.count > 1 && pk_is_zero_vec3(difference, nullptr) != 0) {
        r.x[r.count - 1] = first[0];
        r.y[r.count - 1] = first[1];
        r.z[r.count - 1] = first[2];
        return 0;
    }
    const double* normal = pokarr_normal(r, 0);
    const double copy[3] = {normal[0], normal[1], normal[2]};  // the append may move the normals
    return add_point(first, copy, r);
}

// Every segment of the result divided into n + 1 equal parts, n = trunc(length / spacing).
int densify(const pokarr& r, double spacing, pokarr& out)
{
    int status = 0;
    pokarr_reset(out, r.count, status);
    if (status != 0) return kProjectNoArray;
    for (int i = 0; i + 1 < r.count && status == 0; ++i) {
        double p[3], q[3], m[3];
        point_of(r, i, p);
        point_of(r, i + 1, q);
        const double* normal = pokarr_normal(r, i);
        const int parts = 1 + static_cast<int>(std::min(std::trunc(distd(3, p, q) / spacing), kMostParts));
        for (int k = 0; k < parts && status == 0; ++k) {
            const double f = static_cast<double>(k) / parts;
            for (int c = 0; c < 3; ++c) m[c] = p[c] + f * (q[c] - p[c]);
            pokarr_add_pnt_nrm(m, normal, out, status);
        }
    }
    double last[3];
    point_of(r, r.count - 1, last);
    if (status == 0) pokarr_add_pnt_nrm(last, pokarr_normal(r, r.count - 1), out, status);
    return status == 0 ? 0 : kProjectNoArray;
}

void shift_points(pokarr& a, double sign)
{
    const double* shift = surface_grid_block.shift;
    for (int i = 0; i < a.count; ++i) {
        a.x[i] += sign * shift[0];
        a.y[i] += sign * shift[1];
        a.z[i] += sign * shift[2];
    }
}

// The lane laid on the surface into pr.result (grid coordinates).
int project(projection& pr, pokarr& lane)
{
    pokarr& a = pr.points.a;
    int status = 0;
    pokarr_copy(lane, a, status);
    if (status == 0) pokarr_init_dyn(pr.dimension, lane.count, pr.result.a, status);
    if (status != 0) return kProjectNoArray;
    if (pr.mode != kProjectGridFrame) shift_points(a, 1.0);
    if (pr.onto) {
        status = bring_onto_surface(a, 0);
        if (status != 0) return status;
    }
    if (a.count == 1) {
        double p[3];
        point_of(a, 0, p);
        return add_point(p, pokarr_normal(a, 0), pr.result.a);
    }
    return project_segments(pr);
}

}  // namespace

void grid_cell_eval_list(int mode, const double* point, int& col, int& row, int entry, const double* direction,
                         grid_cell& cell, int& triangle, int* list, int& status)
{
    status = 0;
    double distance = 0.0, nearest[3];
    if (mode == 2) {
        const int other = kTriangleSecond - triangle;
        if (!cell_in_range(col, row) || (cell.whole_bits & grid_triangle_bits(other)) == 0) {
            status = -1;
            return;
        }
        int located = 0;
        list[0] = 5;
        list[4] = kBitsBoth & cell.whole_bits;
        grid_cell_eval(kEvalListKeepBits, point, col, row, entry, direction, cell, located, distance, nearest, list);
        triangle = other;
        return;
    }
    grid_cell_eval(kEvalList, point, col, row, entry, direction, cell, triangle, distance, nearest, list);
    if (triangle != kNoTriangle) return;
    // A point on the border of a cell without surface there may lie on a neighbour's surface.
    const double h = surface_grid_block.h;
    for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr) {
            const int c = col + dc, r = row + dr;
            if ((dc == 0 && dr == 0) || !cell_in_range(c, r)) continue;
            const double u = point[0] - (surface_grid_block.x0 + c * h), v = point[1] - (surface_grid_block.y0 + r * h);
            if (u < -kGridOnLine || v < -kGridOnLine || u > h + kGridOnLine || v > h + kGridOnLine) continue;
            grid_cell_eval(kEvalList, point, c, r, entry, direction, cell, triangle, distance, nearest, list);
            if (triangle == kNoTriangle) continue;
            col = c;
            row = r;
            return;
        }
    status = -1;
}

void grid_edge_crossing(int dimension, const double* p, const double* q, const double* a, const double* b,
                        double* crossing, int& found)
{
    double fp[3], fq[3], tp = 0.0, tq = 0.0, ep = 0.0, eq = 0.0;
    int status = 0;
    dsdlpt(1, dimension, p, a, b, fp, tp, ep, status);
    if (status == 0) dsdlpt(1, dimension, q, a, b, fq, tq, eq, status);
    if (status != 0 || ep <= kGridOnLine || eq <= kGridOnLine) return;
    const double w = ep / (ep + eq);
    double c[3], t = tp + (tq - tp) * w;
    if (dimension == 2) {
        for (int m = 0; m < 3; ++m) c[m] = a[m] + t * (b[m] - a[m]);
    } else {
        const double gap[3] = {fq[0] - fp[0], fq[1] - fp[1], fq[2] - fp[2]};
        const bool apart = std::sqrt(v3dotd(gap, gap)) > kGridOnLine;
        for (int m = 0; m < 3; ++m) c[m] = apart ? fp[m] + gap[m] * w : fp[m];
        if (!apart) t = tp;
    }
    if (t < 0.0 || t > 1.0) {
        const double* end = t < 0.0 ? a : b;
        const double miss[3] = {c[0] - end[0], c[1] - end[1], c[2] - end[2]};
        if (pk_is_zero_vec3(miss, nullptr) == 0) return;
        std::memcpy(c, end, sizeof c);
    }
    std::memcpy(crossing, c, sizeof c);
    found = 1;
}

void lan_on_grid_segment(double length, int* ends, int& state)
{
    lane_walkers& s = lane_walkers_block;
    if (state == kSegmentStart && !start_walkers(length, ends)) {
        state = kSegmentEndOffGrid;
        return;
    }
    state = kSegmentFailed;
    lane_walker& a = s.walker[0];
    lane_walker& b = s.walker[1];
    for (;;) {
        double chord[3], gap = 0.0;
        for (int m = 0; m < 3; ++m) chord[m] = b.points.back()[m] - a.points.back()[m];
        int status = 0;
        v3untd(chord, gap, status);
        if (status != 0 || gap < kMeetDistance) {
            lane_walker& last = s.walker[s.moved_last];
            if (last.points.size() > 1) last.points.pop_back();
            state = kSegmentMet;
            return;
        }
        if (++s.steps > s.step_limit) return;
        for (int k = 0; k < 2; ++k) {
            lane_walker& w = s.walker[k];
            if (!w.evaluate) continue;
            const double towards[3] = {k == 0 ? chord[0] : -chord[0], k == 0 ? chord[1] : -chord[1], 0.0};
            grid_cell_eval_list(1, w.points.back().data(), w.col, w.row, w.entry, towards, record_of(k), w.triangle,
                                w.list, status);
            if (status != 0) return;
            grid_show_cell(record_of(k), kShownCellColour + k);
            w.evaluate = false;
            if (s.steps == 1) ends[k] = w.list[0] == 5 && w.list[4] != kBitsBoth ? 1 : 0;
        }
        const meeting m = walkers_meet(s);
        if (m == meeting::moved) continue;
        if (m == meeting::met) {
            if (a.points.size() == 1 && b.points.size() == 1) ends[0] = ends[1] = 0;
            state = kSegmentMet;
            return;
        }
        aim(a, 0, chord);
        aim(b, 1, chord);
        if (a.blocked && b.blocked) return;
        // The walkers take turns, so that both close in; the one more nearly along the chord
        // starts. A blocked walker leaves the steps to the other.
        int k = s.steps == 1 ? (alignment(a, 0, chord) >= alignment(b, 1, chord) ? 0 : 1) : 1 - s.moved_last;
        if (s.walker[k].blocked) k = 1 - k;
        const int stepped = step_walker(s.walker[k], k, chord);
        if (stepped < 0) return;
        s.moved_last = k;
    }
}

void lan_on_grid(int mode, int close, pokarr& lane, double spacing, int& status)
{
    if (lane.count == 0) return;
    if ((lane.dimension != 3 && lane.dimension != 4) || lane.z == nullptr) {
        status = -1;
        return;
    }
    if (!pokarr_finite(lane)) {  // a walker could never meet a point that is no number
        eroutc(kNotFinite, 0);
        status = -1;
        return;
    }
    projection pr;
    pr.mode = mode == kProjectOntoSurface || mode == kProjectGridFrame ? mode : kProjectPlain;
    pr.onto = pr.mode != kProjectPlain;
    pr.spacing = spacing > 0.0 && std::isfinite(spacing) ? spacing : 0.0;
    pr.dimension = lane.dimension;
    pokarr_init(lane.dimension, pr.points.a);
    pokarr_init(lane.dimension, pr.result.a);
    const bool densifying = pr.mode == kProjectGridFrame && pr.spacing > surface_grid_block.settings.densify_threshold;
    const bool plan_course = pr.onto || pocket_work_block.contour_offset_in_plane != 0;
    const value_scope<int> crossings(lane_walkers_block.crossing_dimension, plan_course ? 2 : 3);
    int result = project(pr, lane);
    pokarr& r = pr.result.a;
    if (result == 0 && close != 0 && r.count > 0) result = close_result(r);
    // A lane the tool runs as one loop must not cross itself where the walks step back across a
    // grid line: its small loops are cut out, those within the grid's reach (the tool the
    // projection is set up with lays other lanes, not this one).
    if (result == 0 && close == kProjectClosedLane) lane_loops_cut(r, grid_loop_reach());
    pokarr_work dense(lane.dimension);
    if (result == 0 && densifying && r.count >= 2) result = densify(r, pr.spacing, dense.a);
    pokarr& out = dense.a.count > 0 ? dense.a : r;
    if (result != 0) {
        status = result;
        return;
    }
    if (pr.mode != kProjectGridFrame) shift_points(out, -1.0);
    pokarr_move(out, lane, result);
    status = result == 0 ? 0 : kProjectNoArray;
}
