// Restart of a closed loop at a point of one of its elements. The loop is copied into a work
// array from the split point on: the rest of the split element, the following elements, the
// elements before it (the loop's closing duplicate skipped), the first part of the split element,
// and the split point again. A small loop is rebuilt in its own block instead, from a copy of its
// entries.
#include "pocket_arrays/pokarr_restart.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_room.hpp"

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
    if (!pk_eq_val(a.x[i], reference.p[0]) || !pk_eq_val(pokarr_coordinate(a, i, 1), reference.p[1])) return false;
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
    return a.dimension == b.dimension && (a.y == nullptr) == (b.y == nullptr) && (a.z == nullptr) == (b.z == nullptr) &&
           (a.n == nullptr) == (b.n == nullptr);
}

// Entries the rebuilt loop may have beyond the old one: the split point twice and the first part
// of a split arc record.
constexpr int kRestartGrowth = 4;

// The array a restart is rebuilt into, and whether it is written directly: with the same blocks
// as the source and room for the whole rebuilt loop below its capacity, every append would only
// write the entries (pokarr_append and pokarr_add_xyz grow an array only when the new count
// reaches its capacity), so the writes are made in place. Otherwise they go through those.
struct restart_target {
    pokarr& array;
    bool direct;
};

// Whether the rebuilt loop from the source fits the target's blocks and room for direct writes.
bool writes_directly(const pokarr& source, const pokarr& target)
{
    return same_blocks(source, target) && target.count + source.count + kRestartGrowth < pokarr_capacity(target);
}

// Appends entries start .. start + n - 1 of the source to the target (no memory shared), as
// pokarr_append does: one copy per block, a range beyond the source refused with -1.
void append_run(const pokarr& source, int start, int n, restart_target& target, int& status)
{
    if (n < 1) return;
    if (!target.direct) {
        pokarr_append(n, source, start, target.array, status);
        return;
    }
    if (start < 0 || n > source.count - start) {
        status = -1;
        return;
    }
    status = 0;
    pokarr& to = target.array;
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(double);
    const int at = to.count;
    std::memcpy(to.x + at, source.x + start, bytes);
    if (to.y != nullptr) std::memcpy(to.y + at, source.y + start, bytes);
    if (to.z != nullptr) std::memcpy(to.z + at, source.z + start, bytes);
    if (to.n != nullptr) std::memcpy(to.n + 3L * at, source.n + 3L * start, 3 * bytes);
    to.count += n;
}

// Whether entries i and j lie at one place: every coordinate (a missing one reads zero) differs
// by zero within the tolerance.
bool same_place(const pokarr& a, int i, int j)
{
    for (int k = 0; k < 3; ++k)
        if (!pk_is_zero(std::fabs(pokarr_coordinate(a, i, k) - pokarr_coordinate(a, j, k)))) return false;
    return true;
}

// Appends one entry as pokarr_add_xyz does (the blocks the target has).
void append_entry(const full_entry& e, restart_target& target, int& status)
{
    if (!target.direct) {
        pokarr_add_xyz(e.p[0], &e.p[1], &e.p[2], e.normal, target.array, status);
        return;
    }
    status = 0;
    pokarr& to = target.array;
    const int at = to.count;
    to.x[at] = e.p[0];
    if (to.y != nullptr) to.y[at] = e.p[1];
    if (to.z != nullptr) to.z[at] = e.p[2];
    if (to.n != nullptr)
        for (int k = 0; k < 3; ++k) to.n[3L * at + k] = e.normal[k];
    ++to.count;
}

// Copies entries first .. last (inclusive) into the target: arc records whole, an ordinary
// point skipped when it equals the entry that ended the target when the pass began. The
// entries kept between two skipped points go in as one run (the same entries in the same order as
// one by one; a failed append fails the whole restart either way).
void copy_pass(const pokarr& array, int first, int last, restart_target& target, int& status)
{
    if (target.array.count < 1) return;
    const full_entry reference = entry_of(target.array, target.array.count - 1);
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

// Writes the restarted loop into the target: the split point p, the entries from the element at
// index on, those before it (the closing duplicate skipped), the first part of a split arc, and p
// again (unless it doubles the entry before it).
void rebuild(const pokarr& array, int index, double t, const full_entry& p, restart_target& target, int& status)
{
    append_entry(p, target, status);
    if (status >= 0) copy_pass(array, index, array.count - 1, target, status);
    if (status >= 0 && index != 1) copy_pass(array, 1, index - 1, target, status);
    if (status >= 0 && pk_is_marker(array.x[index]) && t > 0.0 && !pk_is_zero(t))
        append_run(array, index, kArcRecordEntries - 1, target, status);
    if (status >= 0) append_entry(p, target, status);
    pokarr& to = target.array;
    if (status >= 0 && to.count >= 2 && same_place(to, to.count - 2, to.count - 1)) --to.count;
}

// Loops up to this many entries restart in place, over a copy of their entries on the stack.
constexpr int kInPlaceEntries = 64;

// Whether the restart may rebuild the array in its own block: a dynamic array (the rebuilt loop
// would be moved into one) that is small and has room below its capacity for the rebuilt loop.
// (The capacity test of a dynamic array is pokarr_has_room's, read inline.)
bool restarts_in_place(const pokarr& array)
{
    return array.kind >= 0 && array.count <= kInPlaceEntries && pokarr_has_room(array, array.count + kRestartGrowth);
}

// The restart in the array's own block: the loop is rebuilt from a copy of its entries, and gets
// what moving a new work array into it would give (no cached area, direction or indicator). A
// failed rebuild puts the copy back.
void rebuild_in_place(pokarr& array, int index, double t, const full_entry& p, int& status)
{
    const int n = array.count;
    double copy[kInPlaceEntries * 6];
    double* const x = copy;
    double* const y = array.y != nullptr ? copy + kInPlaceEntries : nullptr;
    double* const z = array.z != nullptr ? copy + 2 * kInPlaceEntries : nullptr;
    double* const normals = array.n != nullptr ? copy + 3 * kInPlaceEntries : nullptr;
    const auto keep = [n](double* to, const double* from, int width) {
        if (to != nullptr) std::memcpy(to, from, static_cast<std::size_t>(width) * n * sizeof(double));
    };
    keep(x, array.x, 1);
    keep(y, array.y, 1);
    keep(z, array.z, 1);
    keep(normals, array.n, 3);
    // The copy seen as a static array of the array's dimension and count.
    pokarr source = array;
    source.x = x, source.y = y, source.z = z, source.n = normals;
    source.kind = kPokarrStatic;
    source.room = n;
    array.count = 0;
    // The array has the blocks of the copy and room for the rebuilt loop (restarts_in_place).
    restart_target target{array, true};
    rebuild(source, index, t, p, target, status);
    if (status < 0) {
        keep(array.x, x, 1);
        keep(array.y, y, 1);
        keep(array.z, z, 1);
        keep(array.n, normals, 3);
        array.count = n;
        return;
    }
    array.area = 0.0;
    array.direction = 0;
    array.indicator = 0;
}

// The split point of mode 0 or 1 on the element at index.
void split_point(const pokarr& array, int index, int mode, double t, double& x, double& y)
{
    const bool arc = pk_is_marker(array.x[index]);
    if (!arc) {
        if (mode == kRestartAtParam)
            seg_pnt_at_param(array.x[index - 1], array.y[index - 1], array.x[index], array.y[index], t, x, y);
        return;
    }
    const double r = array.x[index + 1];
    const int d = pk_arc_direction(array.y[index + 1]);
    const double cx = array.x[index + 2], cy = array.y[index + 2];
    if (mode == kRestartAtParam) {
        arc_pnt_by_vector(r, d, cx, cy, array.x[index - 1], array.y[index - 1], array.x[index + 3], array.y[index + 3],
                          t, x, y);
        return;
    }
    const double length = std::hypot(x - cx, y - cy);
    if (length > 0.0) {
        x = cx + r * (x - cx) / length;
        y = cy + r * (y - cy) / length;
    }
}

}  // namespace

void pokarr_restart_at(pokarr& array, int index, int mode, double t, double& x, double& y, int& status)
{
    status = 0;
    if (array.dimension < 2 || array.dimension > 4 || !names_element(array, index)) {
        status = kRestartFailed;
        return;
    }
    // A loop rebuilt in place needs no work array; otherwise the work array comes first, so that a
    // restart refused for want of one leaves x and y as they were.
    const bool in_place = restarts_in_place(array);
    pokarr work;
    if (!in_place) {
        pokarr_init_dyn(array.dimension, array.count + kRestartGrowth, work, status);
        if (status < 0) {
            status = kRestartFailed;
            return;
        }
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
        const double end[3] = {array.x[index + 3], array.y[index + 3], pokarr_coordinate(array, index + 3, 2)};
        if (pk_eq_pnt(p.p, end)) {
            // The arc's own end: start at the next element so that no empty arc is left; after
            // the last element that is the first.
            index = index + kArcRecordEntries >= array.count ? 1 : index + kArcRecordEntries;
            t = 0.0;
        }
    }
    if (in_place) {
        rebuild_in_place(array, index, t, p, status);
    } else {
        restart_target target{work, writes_directly(array, work)};
        rebuild(array, index, t, p, target, status);
        if (status >= 0) pokarr_move(work, array, status);
        pokarr_free(work);
    }
    if (status < 0) status = kRestartFailed;
}
