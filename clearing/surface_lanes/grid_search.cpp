// Grid search and cell crossing (see the header).
#include "clearing/surface_lanes/grid_search.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Above this distance the search has found nothing yet.
constexpr double kNothingFound = 1.0e7;
constexpr int kRingsFar = 10;
// A start within this distance of a cell corner passes through it when asked to break a run of
// answers without progress: ten times the on-line tolerance, still far below a cell.
constexpr double kCornerReach = 10.0 * kGridOnLine;

// [dcol + 1][drow + 1]
constexpr int kEntryAfterStep[3][3] = {
    {kEntryNone, kEntryRight, kEntryNone},
    {kEntryTop, kEntryNone, kEntryBottom},
    {kEntryNone, kEntryLeft, kEntryNone},
};

void vertical_drop(double* point, int col, int row, double& distance, int& status)
{
    grid_cell& cell = grid_cells_block.work[0];
    int triangle = 0;
    double unused = 0.0, nearest[3];
    grid_cell_eval(kEvalLocate, point, col, row, kEntryNone, nullptr, cell, triangle, unused, nearest, nullptr);
    if (triangle == kNoTriangle || pk_is_zero(grid_cell_normal(cell, triangle)[2])) {
        status = -1;
        return;
    }
    const double u = point[0] - cell.origin[0], v = point[1] - cell.origin[1];
    const double surface[3] = {point[0], point[1], grid_triangle_height(cell, triangle, u, v)};
    distance = distd(3, point, surface);
    point[2] = surface[2];
}

// The nearest surface point over the point's cell and, while nothing is found, the rings of
// cells around it.
void nearest_search(int mode, double* point, int& col, int& row, double& distance, int& status)
{
    const surface_grid& g = surface_grid_block;
    const int eval = mode == kFindNearestEdges ? kEvalNearestEdges : kEvalNearest;
    const int rings = mode == kFindNearestFar ? kRingsFar : 1;
    int triangle = 0;
    double best[3] = {point[0], point[1], point[2]};
    grid_cell_eval(eval, point, col, row, kEntryNone, nullptr, grid_cells_block.work[0], triangle, distance, best,
                   nullptr);
    const int home_col = col, home_row = row;
    bool close_enough = distance <= kGridOnLine;
    for (int k = 1; k <= rings && !close_enough; ++k) {
        for (int i = -k; i <= k && !close_enough; ++i) {
            for (int j = -k; j <= k && !close_enough; ++j) {
                if (std::abs(i) != k && std::abs(j) != k) continue;
                const int c = home_col + i, r = home_row + j;
                if (c < 0 || r < 0 || c > g.nx - 2 || r > g.ny - 2) continue;
                double d = kGridFar, candidate[3];
                grid_cell_eval(eval, point, c, r, kEntryNone, nullptr, grid_cells_block.work[1], triangle, d, candidate,
                               nullptr);
                if (d >= distance) continue;
                distance = d;
                col = c;
                row = r;
                for (int m = 0; m < 3; ++m) best[m] = candidate[m];
                close_enough = distance < kGridOnLine;
            }
        }
        if (distance <= kNothingFound) break;
    }
    if (distance >= kNothingFound) {
        status = -1;
        return;
    }
    for (int m = 0; m < 3; ++m) point[m] = best[m];
}

struct edge_exit {
    double s = 0.0;    // distance along the direction to the exit
    int a = 0, b = 0;  // the corners of the edge left through
    bool found = false;
};

// The edge of the triangle through which the walk from (u, v) along the unit direction leaves
// first: each edge the direction leaves through (its inward normal against the direction) is
// reached after its distance over the rate of leaving; a start outside an edge counts as on it.
edge_exit first_exit(const grid_cell& cell, int triangle, double u, double v, const double* d)
{
    const int corners_rising[2][3] = {{0, 1, 2}, {0, 2, 3}};
    const int corners_falling[2][3] = {{0, 1, 3}, {1, 2, 3}};
    const int* k = (cell.kind == kDiagonalRising ? corners_rising : corners_falling)[triangle == 0 ? 0 : 1];
    edge_exit best;
    for (int e = 0; e < 3; ++e) {
        const double* a = cell.corner[k[e]];
        const double* b = cell.corner[k[(e + 1) % 3]];
        const double* c = cell.corner[k[(e + 2) % 3]];
        double nx = a[1] - b[1], ny = b[0] - a[0];
        const double length = std::hypot(nx, ny);
        nx /= length;
        ny /= length;
        if (nx * (c[0] - a[0]) + ny * (c[1] - a[1]) < 0.0) {
            nx = -nx;
            ny = -ny;
        }
        const double rate = nx * d[0] + ny * d[1];
        if (rate >= 0.0) continue;
        const double gap = nx * (u - a[0]) + ny * (v - a[1]);
        const double s = gap < kGridOnLine ? 0.0 : gap / -rate;
        if (!best.found || s < best.s) best = {s, k[e], k[(e + 1) % 3], true};
    }
    return best;
}

// The step out of the cell of a walk leaving the local point (u, v) along the direction: across
// every cell border the point lies on and the direction leaves through.
void step_out(double u, double v, double h, const double* d, int& dcol, int& drow)
{
    dcol = drow = 0;
    if (std::fabs(u - h) < kGridOnLine && d[0] > 0.0) dcol = 1;
    if (std::fabs(u) < kGridOnLine && d[0] < 0.0) dcol = -1;
    if (std::fabs(v - h) < kGridOnLine && d[1] > 0.0) drow = 1;
    if (std::fabs(v) < kGridOnLine && d[1] < 0.0) drow = -1;
}

// Snaps the local point onto a corner of the cell within reach.
void snap_to_corner(const grid_cell& cell, double& u, double& v)
{
    for (const auto& c : cell.corner)
        if (std::hypot(u - c[0], v - c[1]) < kCornerReach) {
            u = c[0];
            v = c[1];
            return;
        }
}

}  // namespace

int grid_entry_after_step(int dcol, int drow)
{
    if (dcol < -1 || dcol > 1 || drow < -1 || drow > 1) return kEntryNone;
    return kEntryAfterStep[dcol + 1][drow + 1];
}

void grid_find_cell(int mode, double* point, int& col, int& row, double& distance, int& status)
{
    distance = kGridFar;
    get_grid_index(point, col, row, status);
    if (status != 0) return;
    if (mode == kFindVertical)
        vertical_drop(point, col, row, distance, status);
    else
        nearest_search(mode, point, col, row, distance, status);
}

void grid_cell_exit(int mode, const grid_cell& cell, const double* point, const double* direction, int triangle,
                    double* exit, int& dcol, int& drow, int& status)
{
    double d[2] = {direction[0], direction[1]}, length = 0.0;
    v2untd(d, length, status);
    if (status != 0) return;
    const double h = surface_grid_block.h;
    double u = point[0] - cell.origin[0], v = point[1] - cell.origin[1];
    if (mode == kExitThroughCorner) snap_to_corner(cell, u, v);
    const edge_exit e = first_exit(cell, triangle, u, v, d);
    if (!e.found) {  // a triangle is closed: only a zero direction leaves through no edge
        status = -1;
        return;
    }
    // The exit is put exactly on the edge left through, its height interpolated along it, so
    // that the neighbour across the edge finds it on its own border at the same height.
    const double* a = cell.corner[e.a];
    const double* b = cell.corner[e.b];
    const double eu = u + e.s * d[0] - a[0], ev = v + e.s * d[1] - a[1];
    const double bu = b[0] - a[0], bv = b[1] - a[1];
    const double edge = std::hypot(bu, bv);
    double t = std::clamp((eu * bu + ev * bv) / (edge * edge), 0.0, 1.0);
    if (t * edge < kGridOnLine) t = 0.0;
    if ((1.0 - t) * edge < kGridOnLine) t = 1.0;
    const double lu = t == 1.0 ? b[0] : a[0] + t * bu, lv = t == 1.0 ? b[1] : a[1] + t * bv;
    exit[0] = cell.origin[0] + lu;
    exit[1] = cell.origin[1] + lv;
    exit[2] = t == 1.0 ? b[2] : a[2] + t * (b[2] - a[2]);
    step_out(lu, lv, h, d, dcol, drow);
    const double difference[3] = {exit[0] - point[0], exit[1] - point[1], exit[2] - point[2]};
    status = pk_is_zero_vec3(difference, nullptr) != 0 ? 0 : 1;
}
