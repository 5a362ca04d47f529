// Cells of the surface grid: mapping, the cell record and its evaluation (see the header).
#include "clearing/surface_lanes/grid_cell.hpp"

#include "host/vantu_display.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>

grid_cells grid_cells_block;
grid_debug_switches grid_debug_block;

namespace {

constexpr char kUnableToMap[] = "[get_grid_index] UNABLE TO MAP POINT";
// A diagonal of a unit square is sqrt(2) long: the distance from the diagonal's line is
// |v - u| / sqrt(2) (rising) or |u + v - h| / sqrt(2) (falling).
constexpr double kSqrtHalf = 0.70710678118654752440;
// Step of grid_nudge_point: a thousandth of a millimetre cell would still move the point off a
// node or edge by far more than kGridOnLine.
constexpr double kNudgeStep = 1.0e-4;
// The debug display draws a corner without surface this far below the grid's base height.
constexpr float kHoleDrawDepth = 20.0f;

// The corners of triangle t of a cell of the kind, in the order of the evaluation's edges.
constexpr int kTriangleCorners[2][2][3] = {
    {{0, 1, 3}, {1, 2, 3}},  // falling diagonal (1 to 3): triangle 0, triangle 3
    {{0, 1, 2}, {0, 2, 3}},  // rising diagonal (0 to 2)
};

const int* triangle_corners(const grid_cell& cell, int triangle)
{
    return kTriangleCorners[cell.kind == kDiagonalRising ? 1 : 0][triangle == kTriangleFirst ? 0 : 1];
}

bool grid_has_cells(const surface_grid& g)
{
    return g.nx >= 2 && g.ny >= 2 && g.h > 0.0 && std::isfinite(g.h) &&
           g.heights.size() >= static_cast<std::size_t>(g.nx) * static_cast<std::size_t>(g.ny);
}

bool in_range(const surface_grid& g, int col, int row)
{
    return col >= 0 && row >= 0 && col <= g.nx - 2 && row <= g.ny - 2;
}

// The index of the cell holding the coordinate, kept within int range for far-off points.
int cell_of(double offset, double h, int nodes)
{
    const double q = std::floor(offset / h);
    if (!(q >= -1.0)) return -1;
    if (q > static_cast<double>(nodes)) return nodes;
    return static_cast<int>(q);
}

bool no_surface(float height) { return !(std::fabs(height) < kGridNoSurfaceHeight); }

// The diagonal kind and the triangles with surface of a cell with the given corners without
// surface (bits). With one such corner the diagonal leaves it alone in its triangle, so that the
// other triangle keeps the surface of the three corners that have one.
void choose_diagonal(grid_cell& cell)
{
    const auto& c = cell.corner;
    switch (cell.border) {
    case 0:
        cell.kind = std::fabs(c[2][2] - c[0][2]) <= std::fabs(c[3][2] - c[1][2]) ? kDiagonalRising : kDiagonalFalling;
        break;
    case 1 << 1:
    case 1 << 3: cell.kind = kDiagonalRising; break;
    case 1 << 0:
    case 1 << 2: cell.kind = kDiagonalFalling; break;
    default: cell.kind = kDiagonalRising; break;
    }
    cell.whole_bits = 0;
    for (int t : {kTriangleFirst, kTriangleSecond}) {
        const int* k = triangle_corners(cell, t);
        if ((cell.border & ((1 << k[0]) | (1 << k[1]) | (1 << k[2]))) == 0) cell.whole_bits |= grid_triangle_bits(t);
    }
}

void set_normal(double* normal, double a, double b, double h)
{
    normal[0] = a;
    normal[1] = b;
    normal[2] = h;
    double length = 0.0;
    int status = 0;
    v3untd(normal, length, status);
}

void compute_normals(grid_cell& cell, double h)
{
    const double z0 = cell.corner[0][2], z1 = cell.corner[1][2], z2 = cell.corner[2][2], z3 = cell.corner[3][2];
    if (cell.kind == kDiagonalRising) {
        set_normal(cell.normals + kTriangleFirst, z0 - z1, z1 - z2, h);
        set_normal(cell.normals + kTriangleSecond, z3 - z2, z0 - z3, h);
    } else {
        set_normal(cell.normals + kTriangleFirst, z0 - z1, z0 - z3, h);
        set_normal(cell.normals + kTriangleSecond, z3 - z2, z1 - z2, h);
    }
}

// Loads cell (col, row) into the record unless it holds it already for this grid.
void refresh(const surface_grid& g, int col, int row, grid_cell& cell)
{
    const int key = g.nx * row + col;
    if (cell.cache_key == key && cell.generation == g.generation) return;
    cell.cache_key = key;
    cell.generation = g.generation;
    cell.origin[0] = g.x0 + col * g.h;
    cell.origin[1] = g.y0 + row * g.h;
    const int nodes[4] = {key, key + 1, key + g.nx + 1, key + g.nx};
    const double local[4][2] = {{0.0, 0.0}, {g.h, 0.0}, {g.h, g.h}, {0.0, g.h}};
    cell.border = 0;
    double sum = 0.0;
    int known = 0;
    for (int k = 0; k < 4; ++k) {
        const float z = g.heights[static_cast<std::size_t>(nodes[k])];
        cell.corner[k][0] = local[k][0];
        cell.corner[k][1] = local[k][1];
        if (no_surface(z)) {
            cell.border |= 1 << k;
        } else {
            cell.corner[k][2] = z;
            sum += z;
            ++known;
        }
    }
    // A corner without surface is no part of any triangle that is evaluated; it takes the mean
    // of the others only so that the record holds no marker values.
    for (int k = 0; k < 4; ++k)
        if ((cell.border & (1 << k)) != 0) cell.corner[k][2] = known > 0 ? sum / known : 0.0;
    choose_diagonal(cell);
    compute_normals(cell, g.h);
}

// Distance of the local point from the cell's diagonal line.
double diagonal_gap(const grid_cell& cell, double u, double v, double h)
{
    return cell.kind == kDiagonalRising ? std::fabs(v - u) * kSqrtHalf : std::fabs(u + v - h) * kSqrtHalf;
}

// The triangle of a point on the diagonal: the side the direction leads to, else by the entry
// edge (the triangle on the side the walker came from).
int diagonal_triangle(const grid_cell& cell, int entry, const double* direction)
{
    if (direction != nullptr) {
        const double across = cell.kind == kDiagonalRising ? direction[1] - direction[0] : direction[0] + direction[1];
        if (across > 0.0) return kTriangleSecond;
        if (across < 0.0) return kTriangleFirst;
    }
    if (cell.kind == kDiagonalRising)
        return entry == kEntryBottom || entry == kEntryRight ? kTriangleFirst : kTriangleSecond;
    return entry == kEntryBottom || entry == kEntryLeft ? kTriangleFirst : kTriangleSecond;
}

// The triangle under the local point and its bits (both on the diagonal when the rule applies),
// restricted to the triangles with surface: -1 and bits 0 when none is left.
void locate(const grid_cell& cell, double u, double v, double h, bool diagonal_rule, int entry, const double* direction,
            int& triangle, int& bits)
{
    if (cell.kind == kDiagonalRising)
        triangle = u < v ? kTriangleSecond : kTriangleFirst;
    else
        triangle = h - u < v ? kTriangleSecond : kTriangleFirst;
    bits = grid_triangle_bits(triangle);
    if (diagonal_rule && diagonal_gap(cell, u, v, h) < kGridOnLine) {
        triangle = diagonal_triangle(cell, entry, direction);
        bits = kBitsBoth;
    }
    bits &= cell.whole_bits;
    if ((bits & grid_triangle_bits(triangle)) == 0)
        triangle = bits == 0 ? kNoTriangle : (bits == kBitsFirst ? kTriangleFirst : kTriangleSecond);
}

bool inside_region(const grid_cell& cell, int triangle, double u, double v, double h)
{
    if (cell.kind == kDiagonalRising) {
        if (triangle == kTriangleFirst) return 0.0 <= v && v <= u && u <= h;
        return 0.0 <= u && u <= v && v <= h;
    }
    if (triangle == kTriangleFirst) return u >= 0.0 && v >= 0.0 && u + v <= h;
    return u <= h && v <= h && u + v >= h;
}

// The nearest point of the cell's triangles with surface (modes 1 and 5).
void nearest_of_cell(int mode, const grid_cell& cell, const double* point, double h, int& triangle, double& distance,
                     double* nearest)
{
    const double local[3] = {point[0] - cell.origin[0], point[1] - cell.origin[1], point[2]};
    for (int t : {kTriangleFirst, kTriangleSecond}) {
        if ((cell.whole_bits & grid_triangle_bits(t)) == 0) continue;
        const int* k = triangle_corners(cell, t);
        double d = kGridFar, candidate[3] = {0.0, 0.0, 0.0};
        bool on_plane = false;
        if (mode == kEvalNearest) {
            grid_foot_on_plane(local, cell.corner[k[1]], grid_cell_normal(cell, t), d, candidate);
            on_plane = inside_region(cell, t, candidate[0], candidate[1], h);
        }
        if (!on_plane)
            grid_nearest_on_edges(local, cell.corner[k[0]], cell.corner[k[1]], cell.corner[k[2]], d, candidate);
        grid_clamp_local(candidate);
        if (d < distance) {
            distance = d;
            triangle = t;
            nearest[0] = candidate[0] + cell.origin[0];
            nearest[1] = candidate[1] + cell.origin[1];
            nearest[2] = candidate[2];
        }
    }
    if (distance >= kGridFar) triangle = kNoTriangle;
}

// Bits of the corner cell's triangles that hold the node shared with the cell evaluated: the
// node is corner 2 of the bottom-left cell, 1 of the top-left, 0 of the top-right, 3 of the
// bottom-right.
int corner_cell_bits(const grid_cell& cell, int shared_corner)
{
    int bits = 0;
    for (int t : {kTriangleFirst, kTriangleSecond}) {
        const int* k = triangle_corners(cell, t);
        if (k[0] == shared_corner || k[1] == shared_corner || k[2] == shared_corner) bits |= grid_triangle_bits(t);
    }
    return bits & cell.whole_bits;
}

void append_entry(int* list, int col, int row, int kind, int bits)
{
    const int at = list[0];
    list[at] = col;
    list[at + 1] = row;
    list[at + 2] = kind;
    list[at + 3] = bits;
    list[0] = at + 4;
}

// The cells across the edges and the corner the local point lies on (mode 2 and 4 lists).
void neighbour_list(const surface_grid& g, const double* point, int col, int row, const double* direction, double u,
                    double v, int* list)
{
    const double h = g.h;
    const bool v_in = v > -kGridOnLine && v<h + kGridOnLine, u_in = u> - kGridOnLine && u < h + kGridOnLine;
    const bool left = std::fabs(u) < kGridOnLine && v_in, right = std::fabs(u - h) < kGridOnLine && v_in;
    const bool bottom = std::fabs(v) < kGridOnLine && u_in, top = std::fabs(v - h) < kGridOnLine && u_in;
    struct corner_case {
        bool on;
        int dc, dr, shared;
    };
    const corner_case corners[4] = {
        {left && bottom, -1, -1, 2}, {left && top, -1, 1, 1}, {right && top, 1, 1, 0}, {right && bottom, 1, -1, 3}};
    grid_cell& scratch = grid_cells_block.scratch;
    int triangle = 0, bits[1] = {0};
    double distance = 0.0, nearest[3];
    for (const corner_case& k : corners) {
        if (!k.on) continue;
        if (in_range(g, col + k.dc, row + k.dr)) {
            grid_cell_eval(kEvalBits, point, col + k.dc, row + k.dr, kEntryNone, direction, scratch, triangle, distance,
                           nearest, bits);
            const int shared = corner_cell_bits(scratch, k.shared);
            if (shared != 0) append_entry(list, col + k.dc, row + k.dr, scratch.kind, shared);
        }
        break;
    }
    const corner_case edges[4] = {{left, -1, 0, 0}, {top, 0, 1, 0}, {right, 1, 0, 0}, {bottom, 0, -1, 0}};
    for (const corner_case& e : edges) {
        if (!e.on || !in_range(g, col + e.dc, row + e.dr)) continue;
        grid_cell_eval(kEvalBits, point, col + e.dc, row + e.dr, kEntryNone, direction, scratch, triangle, distance,
                       nearest, bits);
        if (triangle != kNoTriangle) append_entry(list, col + e.dc, row + e.dr, scratch.kind, bits[0]);
    }
}

}  // namespace

void get_grid_index(const double* point, int& col, int& row, int& status)
{
    const surface_grid& g = surface_grid_block;
    status = 0;
    if (!grid_has_cells(g) || !std::isfinite(point[0]) || !std::isfinite(point[1])) {
        col = row = -1;
        if (grid_has_cells(g) || g.h > 0.0) {
            col = std::isfinite(point[0]) ? cell_of(point[0] - g.x0, g.h, g.nx) : -1;
            row = std::isfinite(point[1]) ? cell_of(point[1] - g.y0, g.h, g.ny) : -1;
        }
        status = -1;
    } else {
        col = cell_of(point[0] - g.x0, g.h, g.nx);
        row = cell_of(point[1] - g.y0, g.h, g.ny);
        if (!in_range(g, col, row)) status = -1;
    }
    if (status != 0) eroutc(kUnableToMap, 0);
}

void grid_cell_eval(int mode, const double* point, int col, int row, int entry, const double* direction,
                    grid_cell& cell, int& triangle, double& distance, double* nearest, int* list)
{
    const surface_grid& g = surface_grid_block;
    distance = kGridFar;
    triangle = kTriangleFirst;
    const bool listing = mode == kEvalList || mode == kEvalListKeepBits;
    if (listing) {
        list[1] = col;
        list[2] = row;
    }
    if (!grid_has_cells(g) || !in_range(g, col, row)) {
        triangle = kNoTriangle;
        if (listing) list[0] = 1;
        if (mode == kEvalBits) list[0] = 0;
        return;
    }
    refresh(g, col, row, cell);
    if (cell.whole_bits == 0) {
        triangle = kNoTriangle;
        if (listing) list[0] = 1;
        if (mode == kEvalBits) list[0] = 0;
        return;
    }
    if (mode == kEvalNearest || mode == kEvalNearestEdges) {
        nearest_of_cell(mode, cell, point, g.h, triangle, distance, nearest);
        return;
    }
    const double u = point[0] - cell.origin[0], v = point[1] - cell.origin[1];
    const bool diagonal_rule = mode == kEvalList || mode == kEvalBits || entry != kEntryNone;
    int bits = 0;
    locate(cell, u, v, g.h, diagonal_rule, entry, direction, triangle, bits);
    if (mode == kEvalBits) {
        list[0] = bits;
        return;
    }
    if (!listing) return;
    list[0] = 5;
    list[3] = cell.kind;
    if (mode == kEvalList) list[4] = bits;
    if (triangle != kNoTriangle) neighbour_list(g, point, col, row, direction, u, v, list);
}

void grid_foot_on_plane(const double* point, const double* corner, const double* normal, double& distance, double* foot)
{
    double d[3] = {point[0] - corner[0], point[1] - corner[1], point[2] - corner[2]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length == 0.0) {
        distance = 0.0;
        for (int k = 0; k < 3; ++k) foot[k] = point[k];
        return;
    }
    for (double& c : d) c /= length;
    const double s = -(d[0] * normal[0] + d[1] * normal[1] + d[2] * normal[2]);
    for (int k = 0; k < 3; ++k) foot[k] = corner[k] + length * (d[k] + s * normal[k]);
    distance = std::fabs(s) * length;
}

void grid_nearest_on_edges(const double* point, const double* a, const double* b, const double* c, double& distance,
                           double* nearest)
{
    const double* edges[3][2] = {{a, b}, {b, c}, {c, a}};
    distance = kGridFar;
    for (const auto& e : edges) {
        double candidate[3], parameter = 0.0, d = 0.0;
        int status = 0;
        dsdlpt(2, 3, point, e[0], e[1], candidate, parameter, d, status);
        if (status == 0 && d < distance) {
            distance = d;
            for (int k = 0; k < 3; ++k) nearest[k] = candidate[k];
        }
    }
}

void grid_clamp_local(double* point)
{
    const double h = surface_grid_block.h;
    for (int k = 0; k < 2; ++k) point[k] = point[k] < 0.0 ? 0.0 : (point[k] > h ? h : point[k]);
}

void grid_nudge_point(double* point, const double* target)
{
    double d[3] = {target[0] - point[0], target[1] - point[1], target[2] - point[2]};
    double length = 0.0;
    int status = 0;
    v3untd(d, length, status);
    if (status != 0) return;
    for (int k = 0; k < 3; ++k) point[k] += kNudgeStep * d[k];
}

double grid_triangle_height(const grid_cell& cell, int triangle, double u, double v)
{
    const double* n = grid_cell_normal(cell, triangle);
    const double* c = cell.corner[triangle_corners(cell, triangle)[1]];
    return c[2] - (n[0] * (u - c[0]) + n[1] * (v - c[1])) / n[2];
}

void grid_height_at(double x, double y, double& height, int& status)
{
    const surface_grid& g = surface_grid_block;
    status = -1;
    if (!grid_has_cells(g)) return;
    const double u = (x - g.x0) / g.h, v = (y - g.y0) / g.h;
    if (!(u >= 0.0 && v >= 0.0 && u <= g.nx - 1 && v <= g.ny - 1)) return;
    const int col = std::min(static_cast<int>(u), g.nx - 2), row = std::min(static_cast<int>(v), g.ny - 2);
    const double point[3] = {x, y, 0.0};
    grid_cell& cell = grid_cells_block.scratch;
    int triangle = kNoTriangle;
    double unused = 0.0, nearest[3];
    grid_cell_eval(kEvalLocate, point, col, row, kEntryNone, nullptr, cell, triangle, unused, nearest, nullptr);
    if (triangle == kNoTriangle || pk_is_zero(grid_cell_normal(cell, triangle)[2])) return;
    height = grid_triangle_height(cell, triangle, x - cell.origin[0], y - cell.origin[1]);
    status = 0;
}

void grid_show_cell(const grid_cell& cell, int colour)
{
    if (grid_debug_block.show_cells == 0) return;
    int status = 0;
    figopa(-1, colour, status);
    float p[5][3];
    for (int k = 0; k < 5; ++k) {
        const int c = k % 4;
        p[k][0] = static_cast<float>(cell.origin[0] + cell.corner[c][0]);
        p[k][1] = static_cast<float>(cell.origin[1] + cell.corner[c][1]);
        p[k][2] = (cell.border & (1 << c)) != 0 ? surface_grid_block.base_height - kHoleDrawDepth
                                                : static_cast<float>(cell.corner[c][2]);
    }
    moveto(p[0]);
    for (int k = 1; k < 5; ++k) drawto(p[k]);
    moveto(cell.kind == kDiagonalRising ? p[0] : p[1]);
    drawto(cell.kind == kDiagonalRising ? p[2] : p[3]);
    figcls(-1);
}

void grid_show_segment(const double* a, const double* b, int colour)
{
    if (grid_debug_block.show_segments == 0) return;
    int status = 0;
    figopa(-1, colour, status);
    const float from[3] = {static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2])};
    const float to[3] = {static_cast<float>(b[0]), static_cast<float>(b[1]), static_cast<float>(b[2])};
    moveto(from);
    drawto(to);
    figcls(-1);
}
