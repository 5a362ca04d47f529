// Restart of a closed loop at a point of one of its elements. The loop is copied into a work
// array from the split point on: the rest of the split element, the following elements, the
// elements before it (the loop's closing duplicate skipped), the first part of the split element,
// and the split point again.
#include "pocket_arrays/pokarr_restart.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr_convert.hpp"

#include <cmath>
#include <cstring>

namespace {

// From this parameter on, a split at an arc's end point is a split at the next element's start.
constexpr double kArcEndParam = 0.999;

// Whether index names an element of the array: the end entry of a line or the marker of a
// complete arc record, reached by walking the elements from the first.
bool names_element(const pokarr& array, int index)
{
    for (int i = 1; i < array.count;) {
        const bool arc = pk_is_marker(array.x[i]);
        if (i == index) return !arc || i + 3 < array.count;
        i += arc ? kArcRecordEntries : 1;
    }
    return false;
}

// One entry of any dimension: coordinates and normal.
struct full_entry {
    double p[3] = {0.0, 0.0, 0.0};
    double normal[3] = {0.0, 0.0, 1.0};
};

full_entry entry_of(const pokarr& a, int i)
{
    full_entry e;
    for (int k = 0; k < 3; ++k) e.p[k] = pokarr_coordinate(a, i, k);
    const double* n = pokarr_normal(a, i);
    for (int k = 0; k < 3; ++k) e.normal[k] = n[k];
    return e;
}

// Whether entry i of the array equals the reference coordinate by coordinate in the array's
// dimension (normals too in dimension 4), read in place: the pass asks it of every entry.
bool entry_is(const pokarr& a, int i, const full_entry& reference)
{
    if (!pk_eq_val(a.x[i], reference.p[0]) || !pk_eq_val(pokarr_coordinate(a, i, 1), reference.p[1]))
        return false;
    if (a.dimension >= 3 && !pk_eq_val(pokarr_coordinate(a, i, 2), reference.p[2])) return false;
    if (a.dimension == 4) {
        const double* n = pokarr_normal(a, i);
        for (int k = 0; k < 3; ++k)
            if (!pk_eq_val(n[k], reference.normal[k])) return false;
    }
    return true;
}

// Whether two arrays carry the same blocks, so that a run copies block by block.
bool same_blocks(const pokarr& a, const pokarr& b)
{
    return a.dimension == b.dimension && (a.y == nullptr) == (b.y == nullptr) &&
           (a.z == nullptr) == (b.z == nullptr) && (a.n == nullptr) == (b.n == nullptr);
}

// Appends entries start .. start + n - 1 of the array to the work array. The work array is the
// restart's own (no memory shared with the array); where it has the room and the same blocks the
// run is one copy per block, which is what pokarr_append writes; otherwise pokarr_append runs.
void append_run(const pokarr& array, int start, int n, pokarr& target, int& status)
{
    if (n < 1) return;
    if (!same_blocks(array, target) || start < 0 || start + n > array.count ||
        target.count + n >= pokarr_capacity(target)) {
        pokarr_append(n, array, start, target, status);
        return;
    }
    status = 0;
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(double);
    const int at = target.count;
    std::memcpy(target.x + at, array.x + start, bytes);
    if (target.y != nullptr) std::memcpy(target.y + at, array.y + start, bytes);
    if (target.z != nullptr) std::memcpy(target.z + at, array.z + start, bytes);
    if (target.n != nullptr) std::memcpy(target.n + 3L * at, array.n + 3L * start, 3 * bytes);
    target.count += n;
}

// Whether entries i and j lie at one place: every coordinate (a missing one reads zero) differs
// by zero within the tolerance.
bool same_place(const pokarr& a, int i, int j)
{
    for (int k = 0; k < 3; ++k)
        if (!pk_is_zero(std::fabs(pokarr_coordinate(a, i, k) - pokarr_coordinate(a, j, k)))) return false;
    return true;
}

void append_entry(const full_entry& e, pokarr& target, int& status)
{
    pokarr_add_xyz(e.p[0], &e.p[1], &e.p[2], e.normal, target, status);
}

// Copies entries first .. last (inclusive) into the work array: arc records whole, an ordinary
// point skipped when it equals the entry that ended the work array when the pass began. The
// entries kept between two skipped points go in as one run (the same entries in the same order as
// one by one; a failed append fails the whole restart either way).
void copy_pass(const pokarr& array, int first, int last, pokarr& target, int& status)
{
    if (target.count < 1) return;
    const full_entry reference = entry_of(target, target.count - 1);
    int run = first, e = first;
    while (e <= last) {
        if (pk_is_marker(array.x[e])) {
            e += kArcRecordEntries;
            continue;
        }
        if (entry_is(array, e, reference)) {
            append_run(array, run, e - run, target, status);
            if (status < 0) return;
            run = e + 1;
        }
        ++e;
    }
    // An arc record that starts at `last` or before goes in whole: the run ends where the walk did.
    append_run(array, run, e - run, target, status);
}

// The split point of mode 0 or 1 on the element at index.
void split_point(const pokarr& array, int index, int mode, double t, double& x, double& y)
{
    const bool arc = pk_is_marker(array.x[index]);
    if (!arc) {
        if (mode == kRestartAtParam)
            seg_pnt_at_param(array.x[index - 1], array.y[index - 1], array.x[index],
                             array.y[index], t, x, y);
        return;
    }
    const double r = array.x[index + 1];
    const int d = pk_arc_direction(array.y[index + 1]);
    const double cx = array.x[index + 2], cy = array.y[index + 2];
    if (mode == kRestartAtParam) {
        arc_pnt_by_vector(r, d, cx, cy, array.x[index - 1], array.y[index - 1],
                          array.x[index + 3], array.y[index + 3], t, x, y);
        return;
    }
    const double length = std::hypot(x - cx, y - cy);
    if (length > 0.0) {
        x = cx + r * (x - cx) / length;
        y = cy + r * (y - cy) / length;
    }
}

}  // namespace

void pokarr_restart_at(pokarr& array, int index, int mode, double t, double& x, double& y,
                       int& status)
{
    status = 0;
    if (array.dimension < 2 || array.dimension > 4 || !names_element(array, index)) {
        status = kRestartFailed;
        return;
    }
    pokarr work;
    pokarr_init_dyn(array.dimension, array.count + 4, work, status);
    if (status < 0) {
        status = kRestartFailed;
        return;
    }
    split_point(array, index, mode, t, x, y);
    full_entry p;
    p.p[0] = x;
    p.p[1] = y;
    if (array.dimension >= 3) {
        int vertical = 0;
        pokarr_elem_ends(array, index, p.p, p.normal, vertical);
    }
    if (pk_is_marker(array.x[index]) && t >= kArcEndParam) {
        const double end[3] = {array.x[index + 3], array.y[index + 3],
                               pokarr_coordinate(array, index + 3, 2)};
        if (pk_eq_pnt(p.p, end)) {
            // The arc's own end: start at the next element so that no empty arc is left; after
            // the last element that is the first.
            index = index + kArcRecordEntries >= array.count ? 1 : index + kArcRecordEntries;
            t = 0.0;
        }
    }
    append_entry(p, work, status);
    if (status >= 0) copy_pass(array, index, array.count - 1, work, status);
    if (status >= 0 && index != 1) copy_pass(array, 1, index - 1, work, status);
    if (status >= 0 && pk_is_marker(array.x[index]) && t > 0.0 && !pk_is_zero(t))
        append_run(array, index, kArcRecordEntries - 1, work, status);
    if (status >= 0) append_entry(p, work, status);
    if (status >= 0 && work.count >= 2 && same_place(work, work.count - 2, work.count - 1)) --work.count;
    if (status >= 0) pokarr_move(work, array, status);
    pokarr_free(work);
    if (status < 0) status = kRestartFailed;
}
