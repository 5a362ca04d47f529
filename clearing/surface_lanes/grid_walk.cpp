// Walking a lane point across the surface grid (see the header). The walk starts on the triangle
// under the point whose plane holds most of the tangent and runs over triangle after triangle in
// the upright plane through the point square to the tangent's part in XY, so that offsets of a
// lane never slide along it however steep the surface.
#include "clearing/surface_lanes/grid_walk.hpp"

#include "clearing/surface_lanes/grid_search.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "surfaces/surface_grid.hpp"

#include <cmath>
#include <cstring>

grid_walk_state grid_walk_block;

namespace {

// |tangent . N| up to which a start triangle needs no better one among those touching the point.
constexpr double kGoodStart = 0.01;
// |tangent . N| above which a checked start is too steep: the sine of about five degrees.
constexpr double kSteepStart = 0.08715;
// Answers without progress in a row that end the walk.
constexpr int kHistoryLimit = 7;
// Steps into another cell per ten cells of distance (plus kStepSlack): a straight walk crosses at
// most sqrt(2) cells per cell length of its XY run, which is never longer than the distance.
constexpr double kStepsPerTenCells = 25.0;
constexpr double kStepSlack = 10.0;
// Colour of a walked step in the grid's debug display.
constexpr int kShownStepColour = 2;
// Tries to bring a start over a cell without surface onto the nearest surface.
constexpr int kStartTries = 3;

// How a walk ended: at the distance, by a limit, where the grid or its surface ends (or a path
// failed), or refused at its start (steep start, tangent along the normal).
constexpr char kNotFinite[] = "[drop_lane_on_grid] POINT, DIRECTION OR DISTANCE IS NOT FINITE";

bool finite_input(const double* record, const double* tangent, double distance)
{
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(record[k]) || !std::isfinite(tangent[k])) return false;
    return std::isfinite(distance);
}

enum class walk_end { reached, limit, stopped, refused };

struct walk {
    int mode = 0;
    pokarr* path = nullptr;
    const double* shift = nullptr;
    double point[3] = {0.0, 0.0, 0.0};  // grid coordinates
    double end[3] = {0.0, 0.0, 0.0};
    int col = 0, row = 0, triangle = 0, entry = kEntryNone;
    int list[kCellListWords] = {};
    double normal[3] = {0.0, 0.0, 1.0};
    double across[2] = {0.0, 0.0};  // unit XY direction of the walk, square to the tangent's XY part
    double direction[3] = {0.0, 0.0, 0.0};
    double walked = 0.0;
    int history_key[kHistoryLimit] = {}, history_triangle[kHistoryLimit] = {};
    int history = 0;
};

// Appends a grid point to the path in pocket coordinates.
void append(const walk& w, const double* grid_point, int& status)
{
    if (w.path == nullptr) return;
    const double p[3] = {grid_point[0] - w.shift[0], grid_point[1] - w.shift[1], grid_point[2] - w.shift[2]};
    if (w.path->dimension == 4)
        pokarr_add_pnt_nrm(p, nullptr, *w.path, status);
    else
        pokarr_add_pnt(p, *w.path, status);
    if (status != 0) status = -1;
}

// The start cell's triangle under the point; over a cell without surface the point is first
// brought onto the nearest surface. False when no surface is found.
bool start_cell(walk& w, const double* tangent)
{
    grid_cell& cell = grid_cells_block.work[0];
    for (int k = 0; k < kStartTries; ++k) {
        double distance = 0.0, nearest[3];
        grid_cell_eval(kEvalList, w.point, w.col, w.row, w.entry, tangent, cell, w.triangle, distance, nearest, w.list);
        if (w.triangle != kNoTriangle) return true;
        int status = 0;
        grid_find_cell(kFindNearest, w.point, w.col, w.row, distance, status);
        if (status != 0) return false;
    }
    return false;
}

// Among the triangles touching the start point, the one whose normal is most nearly at right
// angles to the tangent: the other triangle of the cell when the point is on its diagonal, then
// the neighbour list's cells from the last back to the second. Returns s = -(tangent . N).
double best_start_triangle(walk& w, const double* tangent)
{
    grid_cell& cell = grid_cells_block.work[0];
    grid_cell& other = grid_cells_block.work[1];
    double s = -v3dotd(tangent, grid_cell_normal(cell, w.triangle));
    if (std::fabs(s) <= kGoodStart) return s;
    if (w.list[4] == kBitsBoth) {
        const int t = kTriangleSecond - w.triangle;
        const double st = -v3dotd(tangent, grid_cell_normal(cell, t));
        if (std::fabs(st) < std::fabs(s)) {
            s = st;
            w.triangle = t;
        }
    }
    for (int e = (w.list[0] - 1) / 4 - 1; e >= 1 && std::fabs(s) > kGoodStart; --e) {
        const int* entry = w.list + 1 + 4 * e;
        int t = 0;
        double unused = 0.0, nearest[3];
        grid_cell_eval(kEvalLocate, w.point, entry[0], entry[1], kEntryNone, nullptr, other, t, unused, nearest,
                       nullptr);
        for (int candidate : {kTriangleFirst, kTriangleSecond}) {
            if ((entry[3] & grid_triangle_bits(candidate)) == 0) continue;
            const double sc = -v3dotd(tangent, grid_cell_normal(other, candidate));
            if (std::fabs(sc) >= std::fabs(s)) continue;
            s = sc;
            cell = other;
            w.col = entry[0];
            w.row = entry[1];
            w.triangle = candidate;
        }
    }
    return s;
}

// The walk's XY direction: the tangent's XY part turned a right angle to the side of tangent x N
// (N upward). False with v2untd's status for a tangent without an XY part.
bool set_across(walk& w, const double* tangent, int& status)
{
    w.across[0] = tangent[1];
    w.across[1] = -tangent[0];
    double length = 0.0;
    v2untd(w.across, length, status);
    return status == 0;
}

// The walking direction in the current triangle: the unit vector of its plane over w.across.
// Triangles of the grid are never upright (N's z is above 0).
void lift_across(walk& w)
{
    const double* n = w.normal;
    w.direction[0] = w.across[0];
    w.direction[1] = w.across[1];
    w.direction[2] = -(n[0] * w.across[0] + n[1] * w.across[1]) / n[2];
    double length = 0.0;
    int status = 0;
    v3untd(w.direction, length, status);
}

// Puts the point on the plane of the current triangle straight above or below it: a start off
// the surface (the chord of a coarse lane) walks its distance along the surface all the same.
void onto_triangle(walk& w, const grid_cell& cell)
{
    const double* n = w.normal;
    const int reference = w.triangle == kTriangleSecond && cell.kind == kDiagonalFalling ? 2 : 0;
    const double* c = cell.corner[reference];
    const double du = w.point[0] - cell.origin[0] - c[0], dv = w.point[1] - cell.origin[1] - c[1];
    w.point[2] = c[2] - (n[0] * du + n[1] * dv) / n[2];
}

void remember(walk& w, const grid_cell& cell)
{
    w.history_key[w.history] = cell.cache_key;
    w.history_triangle[w.history] = w.triangle;
    ++w.history;
}

// The exit mode: a walk that keeps coming back to the same triangle without progress passes
// through a corner.
int exit_mode(const walk& w, const grid_cell& cell)
{
    if (w.history < 2) return kExitPlain;
    const int k = w.history - 2;
    return w.history_key[k] == cell.cache_key && w.history_triangle[k] == w.triangle ? kExitThroughCorner : kExitPlain;
}

// The passes of the walk from the start triangle on. status: the first failure (negative) or 0.
walk_end run(walk& w, const double* tangent, double distance, int& status)
{
    const surface_grid& g = surface_grid_block;
    grid_cell& cell = grid_cells_block.work[0];
    const double limit = kStepsPerTenCells * distance / (10.0 * g.h) + kStepSlack;
    double steps = 0.0, passes = 0.0;
    bool first = true, evaluate = false;
    for (;;) {
        // Every pass either makes progress or is remembered (at most kHistoryLimit in a row), and a
        // straight walk crosses at most two triangles per cell: more passes than this can only be
        // a walk going round.
        if (++passes > (kHistoryLimit + 2) * limit) return walk_end::limit;
        if (evaluate) {
            double unused = 0.0, nearest[3];
            grid_cell_eval(kEvalLocate, w.point, w.col, w.row, w.entry, w.direction, cell, w.triangle, unused, nearest,
                           nullptr);
            if (w.triangle == kNoTriangle) return walk_end::stopped;  // over a hole
            evaluate = false;
        } else if (!first) {
            w.triangle = kTriangleSecond - w.triangle;
            if ((cell.whole_bits & grid_triangle_bits(w.triangle)) == 0) return walk_end::stopped;
        }
        std::memcpy(w.normal, grid_cell_normal(cell, w.triangle), sizeof w.normal);
        if (first) {
            const double s = best_start_triangle(w, tangent);
            std::memcpy(w.normal, grid_cell_normal(cell, w.triangle), sizeof w.normal);
            if (w.mode == kDropChecked && std::fabs(s) > kSteepStart && grid_walk_block.check != 0) {
                grid_walk_block.check = 0;
                status = kDropSteepStart;
                return walk_end::refused;
            }
            if (!set_across(w, tangent, status)) return walk_end::refused;
            onto_triangle(w, cell);
        }
        lift_across(w);
        double exit[3];
        int dcol = 0, drow = 0, answer = 0;
        grid_cell_exit(exit_mode(w, cell), cell, w.point, w.direction, w.triangle, exit, dcol, drow, answer);
        if (answer < 0) return walk_end::stopped;
        if (answer == 0 && !first) {
            remember(w, cell);
        } else {
            w.history = 0;
            const double step = distd(pocket_work_block.contour_offset_in_plane != 0 ? 2 : 3, w.point, exit);
            w.walked += step;
            if (w.walked > distance) {
                const double f = step > 0.0 ? (w.walked - distance) / step : 0.0;
                for (int m = 0; m < 3; ++m) w.end[m] = f * w.point[m] + (1.0 - f) * exit[m];
                return walk_end::reached;
            }
            grid_show_segment(w.point, exit, kShownStepColour);
            append(w, exit, status);
            if (status != 0) return walk_end::stopped;
            std::memcpy(w.point, exit, sizeof exit);
            if (dcol != 0 || drow != 0) steps += 1.0;
        }
        first = false;
        if (dcol != 0 || drow != 0) {
            if (w.col + dcol < 0 || w.row + drow < 0 || w.col + dcol > g.nx - 2 || w.row + drow > g.ny - 2)
                return walk_end::stopped;  // the grid ends here
            w.col += dcol;
            w.row += drow;
            w.entry = grid_entry_after_step(dcol, drow);
            evaluate = true;
        }
        if (steps > limit || w.history >= kHistoryLimit) return walk_end::limit;
    }
}

}  // namespace

void grid_drop_check_set(int value) { grid_walk_block.check = value; }

void drop_lane_on_grid(int mode, double* record, const double* tangent, double distance, pokarr* path, int& status)
{
    status = 0;
    const surface_grid& g = surface_grid_block;
    if (!finite_input(record, tangent, distance)) {  // no walk could end
        eroutc(kNotFinite, 0);
        status = -1;
        return;
    }
    walk w;
    w.mode = mode;
    w.path = path;
    w.shift = g.shift;
    const int path_start = path != nullptr ? path->count : 0;
    if (path != nullptr) {
        const double start[3] = {record[0] + g.shift[0], record[1] + g.shift[1], record[2] + g.shift[2]};
        append(w, start, status);
        if (status != 0) return;
    }
    for (int m = 0; m < 3; ++m) w.point[m] = record[m] + g.shift[m];
    get_grid_index(w.point, w.col, w.row, status);
    if (status != 0) return;
    walk_end how = walk_end::stopped;
    if (start_cell(w, tangent)) how = run(w, tangent, distance, status);
    if (how == walk_end::refused) {
        if (status == kDropSteepStart && path != nullptr) path->count = path_start;
        return;
    }
    if (how != walk_end::reached) std::memcpy(w.end, w.point, sizeof w.end);
    if (how == walk_end::limit && mode != kDropPlain) status = -1;
    for (int m = 0; m < 3; ++m) record[3 + m] = w.end[m] - g.shift[m];
    if (mode == kDropChecked) {
        std::memcpy(record + 6, w.normal, sizeof w.normal);
        std::memcpy(record + 9, w.direction, sizeof w.direction);
    }
    if (status == 0) append(w, w.end, status);
}
