// Junction tests of the intersection search: the neighbouring element at a junction, and
// whether a junction or a point is already recorded in the crossing snapshot that the walks of
// the loop removal and the loop intersection take before each search.
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>
#include <cstdlib>

pk_snapshot pk_snapshot_block;

namespace {

bool marker_at(const double* x, int count, int i) { return i >= 0 && i < count && pk_is_marker(x[i]); }

// Ends of element e (false when it lies outside the array).
bool element_ends(const double* x, const double* y, int count, int e, double* start, double* end)
{
    if (e < 1 || e >= count || marker_at(x, count, e - 1)) return false;
    const int last = marker_at(x, count, e) ? e + 3 : e;
    if (last >= count) return false;
    start[0] = x[e - 1];
    start[1] = y[e - 1];
    end[0] = x[last];
    end[1] = y[last];
    return true;
}

bool snapshot_names(int record, int element)
{
    for (int c = 0; c < 4; ++c)
        if (std::abs(pk_snapshot_block.element[c][record]) == element) return true;
    return false;
}

// Number of the element before (side 2) or after (side 1) element e of a closed loop whose
// x values are given; element 1 follows the closing element.
int neighbour_number(int side, int e, const double* x, int count)
{
    if (side == 2) {
        if (e == 1) return marker_at(x, count, count - 4) ? count - 4 : count - 1;
        if (e < 5) return e - 1;
        return marker_at(x, count, e - 4) ? e - 4 : e - 1;
    }
    const int result = marker_at(x, count, e) ? e + 4 : e + 1;
    if (result > count) return 2;
    if (result == count) return 1;
    return result;
}

// Replaces the element by the neighbour found, clearing the flag, when another element is given
// and differs from it.
void take_neighbour(int result, int other, int& element, int& flag)
{
    if (other != -1 && other != result) {
        element = result;
        flag = 0;
    }
}

}  // namespace

int xy_elem_neighbour(int side, int& element, int& flag, int other, const double* x, const double* y, int count,
                      int /*own*/, int& kind, double* direction)
{
    const int result = neighbour_number(side, element, x, count);
    take_neighbour(result, other, element, flag);
    kind = marker_at(x, count, result) ? 1 : 0;
    double start[2], end[2];
    direction[0] = direction[1] = 0.0;
    if (x == nullptr || y == nullptr || !element_ends(x, y, count, result, start, end)) return result;
    if (kind == 1) {
        const double cx = x[result + 2], cy = y[result + 2];
        const int d = pk_arc_direction(y[result + 1]);
        const double* at = side == 1 ? start : end;
        seg_side_normal(2, at[0], at[1], 0.0, -d, 0.0, 0.0, cx, cy, direction[0], direction[1]);
    } else {
        const double length = std::hypot(end[0] - start[0], end[1] - start[1]);
        if (length > 0.0) {
            direction[0] = (end[0] - start[0]) / length;
            direction[1] = (end[1] - start[1]) / length;
        }
    }
    return result;
}

namespace {

// The junction test over the snapshot; z null compares in the plane, else in space (z of the
// point, the array and the snapshot).
void junction_known(const double* x, const double* y, const double* z, int count, int a, int b, const double* point,
                    int& result)
{
    result = 0;
    const pk_snapshot& s = pk_snapshot_block;
    if (s.count <= 0 || x == nullptr || y == nullptr || point == nullptr) return;
    auto same = [z](const double* p, const double* q) { return z != nullptr ? pk_eq_pnt(p, q) : pk_eq_pnt2(p, q); };
    // Each element stands with the neighbour it meets at the point.
    int names[2][2] = {{a, a}, {b, b}};
    for (int i = 0; i < 2; ++i) {
        double start[3] = {0, 0, 0}, end[3] = {0, 0, 0};
        const int e = names[i][0];
        if (!element_ends(x, y, count, e, start, end)) continue;
        if (z != nullptr) {
            start[2] = z[e - 1];
            end[2] = z[marker_at(x, count, e) ? e + 3 : e];
        }
        if (same(point, start))
            names[i][1] = neighbour_number(2, e, x, count);
        else if (same(point, end))
            names[i][1] = neighbour_number(1, e, x, count);
    }
    const int records = std::min(s.count, kSnapshotSize);
    for (int r = 0; r < records; ++r) {
        const double p[3] = {s.x[r], s.y[r], s.z[r]};
        if (!same(p, point)) continue;
        const bool has_a = snapshot_names(r, names[0][0]) || snapshot_names(r, names[0][1]);
        const bool has_b = snapshot_names(r, names[1][0]) || snapshot_names(r, names[1][1]);
        if (has_a && has_b) {
            result = 1;
            return;
        }
    }
}

}  // namespace

void xy_junction_known(const double* x, const double* y, int count, int a, int b, const double* point, int& result)
{
    junction_known(x, y, nullptr, count, a, b, point, result);
}

int pk_elem_neighbour(int side, int& element, int& flag, int other, const pokarr& array, int own, int& kind,
                      double* direction)
{
    direction[0] = direction[1] = direction[2] = 0.0;
    kind = 0;
    if (array.x == nullptr || array.y == nullptr || array.count < 2) return 0;
    // The plane twin finds the number, the kind and the direction of an arc's tangent.
    const int result =
        xy_elem_neighbour(side, element, flag, other, array.x, array.y, array.count, own, kind, direction);
    double start[2], end[2];
    if (kind == 1 || array.z == nullptr || !element_ends(array.x, array.y, array.count, result, start, end))
        return result;
    // A line's direction runs in space: end - start with z.
    const double d[3] = {end[0] - start[0], end[1] - start[1], array.z[result] - array.z[result - 1]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length > 0.0)
        for (int k = 0; k < 3; ++k) direction[k] = d[k] / length;
    return result;
}

void pk_junction_known(const pokarr& array, int a, int b, const double* point, int& result)
{
    junction_known(array.x, array.y, array.dimension >= 3 ? array.z : nullptr, array.count, a, b, point, result);
}

void pk_point_known(int mode, int /*a*/, int b, const double* point, int& result)
{
    result = 0;
    const pk_snapshot& s = pk_snapshot_block;
    const int records = std::min(s.count, kSnapshotSize);
    for (int r = 0; r < records; ++r) {
        if (std::abs(s.element[2][r]) != b && std::abs(s.element[3][r]) != b) continue;
        const double p[3] = {s.x[r], s.y[r], s.z[r]};
        const bool same = mode == 2 ? pk_eq_pnt2(p, point) != 0 : pk_eq_pnt(p, point) != 0;
        if (same) {
            result = 1;
            return;
        }
    }
}
