// Removal of short elements from closed offset loops and merging of arcs on one circle. An
// element is removed by deleting its start point (and its record): the previous element then
// ends where the removed one ended, and a previous arc is re-fitted to that point.
#include "pocket_arrays/pokarr_drop_short.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Planar tolerance: half the working tolerance, kept between a tenth of a micron-scale floor
// and a thousandth of the unit. Surface paths compare with the engine's value tolerance.
constexpr double kShortFloor = 0.0001;
constexpr double kShortCap = 0.001;
constexpr double kSurfaceShort = 1.0e-6;
// Merged arcs must turn by less than a half circle and keep a cosine of at least this.
constexpr double kMergeCosine = -0.9;

bool has_z(const pokarr& a) { return a.dimension >= 3 && a.z != nullptr; }

// drop_short_tolerance(), inlined into the pass that runs on every loop.
double short_tolerance()
{
    if (pocket_state_block.pocket_dimension != 2) return kSurfaceShort;
    const double w = pocket_work_block.working_tolerance;
    return std::max(std::min(0.5 * w, kShortCap), kShortFloor);
}

// Removes entries first .. first + n - 1, moving the tail down.
void remove_entries(pokarr& a, int first, int n)
{
    pokarr_shift_entries(a, first + n, first);
    a.count -= n;
}

// Removes the element at i (start entry i - 1, step entries): the short element of a loop.
[[gnu::always_inline]] inline void remove_short(pokarr& a, int i, int step)
{
    const int j = i + step;
    if (a.dimension == 2 && i > 4 && pk_is_marker(a.x[i - 4])) pokarr_join_arc(i - 5, j - 1, 0, a);
    if (i == 1 && pokarr_is_closed(a)) {
        if (a.dimension == 2 && a.count > 4 && pk_is_marker(a.x[a.count - 4])) pokarr_join_arc(a.count - 5, step, 0, a);
        a.x[a.count - 1] = a.x[step];
        a.y[a.count - 1] = a.y[step];
        if (has_z(a)) a.z[a.count - 1] = a.z[step];
    }
    if (i > a.count - step)
        a.count -= step;
    else
        remove_entries(a, i - 1, step);
}

// Where the pass over the elements from entry i has something to do: the first element that is
// short as judged after a long one (the running sum of a 2-D array starts from zero there), or
// the entry at which the pass ends (n, the count, or a broken trailing record). Long elements
// before it only reset the sum, so the pass may resume there with a sum of zero. walked counts
// the elements passed over. Inlined into the pass, which runs on every loop.
[[gnu::always_inline]] inline int first_short_element(const pokarr& a, int i, int n, double tol, int& walked)
{
    const bool with_z = has_z(a);
    const double tol2 = tol * tol;
    // The header is read once: the scan writes nothing but its own counter.
    const double* const x = a.x;
    const double* const y = a.y;
    int elements = 0;
    while (i < n) {
        const int j = i + (pk_is_marker(x[i]) ? kArcRecordEntries : 1);
        if (j - 1 >= n) break;
        ++elements;
        const double dx = std::fabs(x[i - 1] - x[j - 1]);
        const double dy = std::fabs(y[i - 1] - y[j - 1]);
        const bool long_element =
            dx >= tol || dy >= tol || (with_z ? std::fabs(a.z[i - 1] - a.z[j - 1]) >= tol : dx * dx + dy * dy >= tol2);
        if (!long_element) break;
        i = j;
    }
    walked = elements;
    return i;
}

// The first arc marker at or after entry i and before entry end; end when there is none.
int next_marker(const pokarr& a, int i, int end)
{
    while (i < end && !pk_is_marker(a.x[i])) ++i;
    return i;
}

// Copies n entries from `from` to `to` (below it) in every block the array has: a few one by one
// (the pass moves a point or two between removals more often than a long run).
constexpr int kCopiedOneByOne = 8;
[[gnu::always_inline]] inline void copy_entries(pokarr& a, int from, int to, int n)
{
    if (n <= kCopiedOneByOne && a.z == nullptr && a.n == nullptr) {
        for (int k = 0; k < n; ++k) a.x[to + k] = a.x[from + k];
        if (a.y != nullptr)
            for (int k = 0; k < n; ++k) a.y[to + k] = a.y[from + k];
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(double);
    std::memmove(a.x + to, a.x + from, bytes);
    if (a.y != nullptr) std::memmove(a.y + to, a.y + from, bytes);
    if (a.z != nullptr) std::memmove(a.z + to, a.z + from, bytes);
    if (a.n != nullptr) std::memmove(a.n + 3L * to, a.n + 3L * from, 3 * bytes);
}

// A loop that the pass takes entries out of, read as one run of entries but held in three parts:
// the entries before `gap` are done, those from `moved` to `next` are done but not yet moved down
// onto the gap, and those from `next` on are still to be read. Taking a short element out then
// moves only the entries done since the last one taken out, where deleting its entries would move
// the whole tail (a loop that loses thousands of elements would be moved as often).
struct split_loop {
    pokarr& a;
    int gap, moved, next;
    // The run's count.
    int count() const { return a.count - (moved - gap); }
    // Where the last done entry stands.
    int last_done() const { return next > moved ? next - 1 : gap - 1; }
    // Moves the done entries down onto the gap: the entries before `gap` are all done.
    void settle()
    {
        if (moved != gap && next != moved) copy_entries(a, moved, gap, next - moved);
        gap += next - moved;
        moved = next;
    }
    // Moves the tail down as well: the array is the run again.
    void close()
    {
        settle();
        if (next == gap) return;
        pokarr_shift_entries(a, next, gap);
        a.count -= next - gap;
        moved = next = gap;
    }
    // The element whose record starts the tail (its start point the last done entry) is kept.
    void keep(int step) { next += step; }
    // The element is taken out: its end point becomes the last done entry.
    void drop(int step)
    {
        settle();
        copy_entries(a, next + step - 1, gap - 1, 1);
        next += step;
        moved = next;
    }
};

// Whether the element from entry `start` to entry `end` is long, adding its squared length to
// the running sum of the short ones before it (a 2-D array).
[[gnu::always_inline]] inline bool long_element(const pokarr& a, int start, int end, double tol, double& sum)
{
    const double dx = std::fabs(a.x[start] - a.x[end]);
    const double dy = std::fabs(a.y[start] - a.y[end]);
    if (dx >= tol || dy >= tol) return true;
    if (has_z(a)) return std::fabs(a.z[start] - a.z[end]) >= tol;
    sum += dx * dx + dy * dy;
    return sum >= tol * tol;
}

// A pass deletes the entries it takes out, moving the tail down each time, until the tails it
// has moved add up to the loop's entries and to this many: then it holds the loop split. A small
// loop, or one that loses a few elements or loses them near its end, moves little and costs least
// deleted in place; one that loses thousands would move its whole tail as often.
constexpr long kMovesBeforeSplit = 32768;

// Whether a pass that has moved this many entries holds the rest of the loop split.
bool time_to_split(long moved, int count) { return moved > std::max<long>(count, kMovesBeforeSplit); }

// The rest of the pass from entry i with the loop held split (split_loop).
void drop_short_split(pokarr& array, int i, double tol, double sum)
{
    split_loop run{array, i, i, i};
    while (i < run.count()) {
        const int at = run.next;  // the entry of the element's record, i in the run
        const int step = pk_is_marker(array.x[at]) ? kArcRecordEntries : 1;
        const int j = i + step;
        if (j - 1 >= run.count()) break;  // a broken trailing record is left alone
        if (long_element(array, run.last_done(), at + step - 1, tol, sum)) {
            sum = 0.0;
            run.keep(step);
            i = j;
            continue;
        }
        run.settle();  // the entries before i stand in place
        if (i == 1 || i > run.count() - step) {
            run.close();
            remove_short(array, i, step);
            continue;
        }
        // An arc before it is re-fitted to the element's end point where that stands: the re-fit
        // reads the arc, the records after the end point and the loop's first and last entries,
        // which all stand as in the run.
        if (array.dimension == 2 && i > 4 && pk_is_marker(array.x[i - 4]))
            pokarr_join_arc(i - 5, at + step - 1, 0, array);
        run.drop(step);
    }
    run.close();
}

// Whether the arc with its marker at entry i and the arc whose record starts at entry `second`
// (the entries after the first arc's end point, wherever they stand) lie on one circle and
// together turn by less than a half circle.
[[gnu::always_inline]] inline bool arcs_merge(const pokarr& array, int i, int second)
{
    // The centres (in the plane) are compared first, inline: arcs that meet seldom share one.
    const double c1[2] = {array.x[i + 2], array.y[i + 2]};
    const double c2[2] = {array.x[second + 2], array.y[second + 2]};
    if (!pk_eq_pnt2(c1, c2)) return false;
    const double r = array.x[i + 1];
    const double d = array.y[i + 1];
    const double r2 = r * r;
    if (nevldd(r, array.x[second + 1]) || nevldd(d, array.y[second + 1]) || !(r2 > 0.0)) return false;
    // The ends are read only now: read before the calls above, they would be read (and kept
    // across the calls) for every pair of arcs.
    const double a[2] = {array.x[i - 1] - c1[0], array.y[i - 1] - c1[1]};
    const double b[2] = {array.x[second + 3] - c1[0], array.y[second + 3] - c1[1]};
    return !levl0d((a[0] * b[1] - a[1] * b[0]) * d / r2) && (a[0] * b[0] + a[1] * b[1]) / r2 >= kMergeCosine;
}

// The first arc marker from entry i on whose arc merges with the arc after it (its record
// ending before entry end), or end.
int first_merging_arc(const pokarr& array, int i, int end)
{
    for (i = next_marker(array, i, end); i + 2 * kArcRecordEntries - 1 < end; i = next_marker(array, i + 1, end))
        if (pk_is_marker(array.x[i + kArcRecordEntries]) && arcs_merge(array, i, i + kArcRecordEntries)) return i;
    return end;
}

// The rest of the merge from the arc whose marker is at entry i, which merges with the arc after
// it, with the loop held split (split_loop, kMovesBeforeSplit): the done entries end at the
// current arc's end point.
void merge_arcs_split(pokarr& array, int i)
{
    split_loop run{array, i + kArcRecordEntries, i + kArcRecordEntries, i + kArcRecordEntries};
    for (;;) {
        const int n = run.count();
        // The unread entries stand from run.next on: entry k of the run at run.next + k - (i + 4).
        if (i + 2 * kArcRecordEntries - 1 >= n) break;  // no second record fits: nothing more merges
        run.settle();
        const int second = run.next;
        if (pk_is_marker(array.x[second]) && arcs_merge(array, i, second)) {
            run.drop(kArcRecordEntries);  // the second arc's end point ends the first
            continue;
        }
        int k = i + kArcRecordEntries;
        while (k < n - 1 && !pk_is_marker(array.x[second + k - (i + kArcRecordEntries)])) ++k;
        if (k + 2 * kArcRecordEntries - 1 >= n) break;  // no record after it fits
        run.keep(k - i);
        i = k;
    }
    run.close();
}

// The pass from entry i, the first that may be short, on; ends with the arc merge. Kept out of
// line: most loops lose nothing and have no arcs, and return before it.
[[gnu::noinline]] void drop_short_from(pokarr& array, int i, double tol)
{
    double sum = 0.0;
    for (long moved = 0; i < array.count;) {
        const int step = pk_is_marker(array.x[i]) ? kArcRecordEntries : 1;
        const int j = i + step;
        if (j - 1 >= array.count) break;  // a broken trailing record is left alone
        const double sum_before = sum;
        if (long_element(array, i - 1, j - 1, tol, sum)) {
            sum = 0.0;
            i = j;
            continue;
        }
        if (time_to_split(moved, array.count)) {
            drop_short_split(array, i, tol, sum_before);  // which weighs this element again
            break;
        }
        moved += array.count - i;
        remove_short(array, i, step);
    }
    pokarr_merge_arcs(array);
}

}  // namespace

double drop_short_tolerance() { return short_tolerance(); }

bool pokarr_drop_short_idle_between(const pokarr& array, int from, int to)
{
    if (array.dimension < 2 || from < 0 || to >= array.count || from >= to) return false;
    int walked = 0;
    if (first_short_element(array, from + 1, to + 1, short_tolerance(), walked) != to + 1) return false;
    return array.dimension != 2 || first_merging_arc(array, from + 1, to + 1) == to + 1;
}

void pokarr_drop_short(pokarr& array)
{
    if (array.dimension < 2 || array.count < 2) {
        if (array.dimension == 2) pokarr_merge_arcs(array);
        return;
    }
    const double tol = short_tolerance();
    int walked = 0;
    const int i = first_short_element(array, 1, array.count, tol, walked);
    // A loop that loses no element and whose count - 1 elements are all lines (the scan stepped
    // over every entry) has no arcs to merge.
    if (i >= array.count && walked == array.count - 1) return;
    drop_short_from(array, i, tol);
}

void xy_drop_short(double* x, double* y, int& count)
{
    if (x == nullptr || y == nullptr || count < 1) return;
    pokarr a;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, count, count, a, status);
    if (status < 0) return;
    pokarr_drop_short(a);
    count = a.count;
}

void pokarr_merge_arcs(pokarr& array)
{
    if (array.dimension != 2 || array.count - 1 <= 1) return;
    int i = next_marker(array, 1, array.count - 1);
    for (long moved = 0; i < array.count - 1;) {
        const int second = i + kArcRecordEntries;
        if (second + 3 >= array.count || !pk_is_marker(array.x[second]) || !arcs_merge(array, i, second)) {
            i = next_marker(array, i + kArcRecordEntries, array.count - 1);
            continue;
        }
        if (time_to_split(moved, array.count)) {
            merge_arcs_split(array, i);
            return;
        }
        moved += array.count - i;
        // One record from the first arc's start to the second arc's end; its marker stays at i.
        remove_entries(array, i + 3, kArcRecordEntries);
    }
}
