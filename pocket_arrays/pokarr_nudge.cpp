// Sideways nudge of one straight element of a loop. Both end points of the element move by the
// nudge distance to its right; where an arc adjoins, the moved point is inserted next to the
// arc's end, the arc is re-fitted to it and the old point removed, so the arc stays joined.
// The join clean-up that follows runs over the whole loop only where it must: a nudge of the loop
// the last one left clean, far from the loop's ends, is cleaned by looking at the elements round
// what it moved.
#include "pocket_arrays/pokarr_nudge.hpp"

#include "pocket_arrays/changed_entries.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"

#include <cmath>
#include <vector>

namespace {

bool is_line_end(const pokarr& a, int e)
{
    return e >= 1 && e < a.count && !pk_is_marker(a.x[e]) && !(e >= 3 && pk_is_marker(a.x[e - 3])) &&
           !(e >= 2 && pk_is_marker(a.x[e - 2])) && !(e >= 1 && pk_is_marker(a.x[e - 1]));
}

// Whether the element ending at entry e - 1 (before the line) is an arc, and the one starting
// at entry e (after it).
bool arc_before(const pokarr& a, int e) { return e - 4 >= 1 && pk_is_marker(a.x[e - 4]); }
bool arc_after(const pokarr& a, int e) { return e + 1 < a.count && pk_is_marker(a.x[e + 1]); }

int arcs_next_to(const pokarr& a, int e) { return (arc_before(a, e) ? 1 : 0) + (arc_after(a, e) ? 1 : 0); }

void set_point(pokarr& a, int k, double x, double y)
{
    a.x[k] = x;
    a.y[k] = y;
    // The first and last points of a closed loop are one point.
    if (k == 0 && a.count > 1) a.x[a.count - 1] = x, a.y[a.count - 1] = y;
    if (k == a.count - 1 && a.count > 1) a.x[0] = x, a.y[0] = y;
}

void insert_at(pokarr& a, int index, double x, double y, int& status)
{
    const double p[3] = {x, y, a.z != nullptr ? a.z[index > 0 ? index - 1 : 0] : 0.0};
    pokarr_insert_pnt(p, a, index, status);
}

void remove_at(pokarr& a, int index, int& status) { pokarr_remove_pnts(a, 0, index, 1, status); }

// ---- the loop the last nudge left clean --------------------------------------------------------

// The entries a nudge of the element ending at entry e may write lie this near e: the element's
// two points and the records of the arcs either side (all within e - 4 to e + 4).
constexpr int kNudgeReach = 8;

// Whether the elements from entry k, where one starts, to entry end, where one ends, hold markers
// only where arc records have them: no point, radius or centre reads as one. The points of such a
// run are exactly the entries with no marker at them or one or two entries before them.
bool plain_layout(const pokarr& a, int k, int end)
{
    while (k < end) {
        if (pk_is_marker(a.x[k])) return false;
        if (!pk_is_marker(a.x[k + 1])) {
            ++k;
            continue;
        }
        if (k + kArcRecordEntries > end || pk_is_marker(a.x[k + 2]) || pk_is_marker(a.x[k + 3])) return false;
        k += kArcRecordEntries;
    }
    return k == end && !pk_is_marker(a.x[end]);
}

// The last loop whose clean-up found nothing to do (pokarr_clean_joins_untouched), of plain layout,
// with what the clean-up read besides it.
struct clean_loop {
    std::vector<double> x, y;
    double w = 0.0;
    int pocket_dimension = 0;
    bool known = false;

    bool is_point(int k) const
    {
        return k >= 2 && !pk_is_marker(x[k]) && !pk_is_marker(x[k - 1]) && !pk_is_marker(x[k - 2]);
    }
    // The nearest point below entry k and above it; -1 when there is none within an element.
    int point_before(int k) const
    {
        for (int m = k - 1; m >= k - kArcRecordEntries; --m)
            if (is_point(m)) return m;
        return -1;
    }
    int point_after(int k) const
    {
        const int count = static_cast<int>(x.size());
        for (int m = k + 1; m <= k + kArcRecordEntries && m < count; ++m)
            if (is_point(m)) return m;
        return -1;
    }
    // Whether the loop holds these entries from `first` up to `end`.
    bool same(const pokarr& a, int first, int end) const
    {
        return pk_entries_same(a.x, a.y, x.data(), y.data(), first, end);
    }
};

clean_loop& last_clean()
{
    static clean_loop kept;
    return kept;
}

bool plain_2d(const pokarr& a) { return a.dimension == 2 && a.z == nullptr && a.n == nullptr; }

// Whether the clean-up at tolerance w leaves the loop, nudged at the element ending at entry e,
// as it is: the loop is the last clean one but for the entries a nudge writes, and nothing is
// to be done among the elements from the point before the point before them to the point after
// the point after them. Every test of the clean-up reads one element or two neighbours, the
// layout is the clean loop's outside those points, so every test that reads a moved entry is
// among those made here, and every other one reads what it read in the clean loop. The clean
// loop is updated.
bool clean_after_nudge(const pokarr& loop, int e, double w)
{
    clean_loop& c = last_clean();
    const int lo = e - kNudgeReach, hi = e + kNudgeReach;
    if (!c.known || !plain_2d(loop) || static_cast<std::size_t>(loop.count) != c.x.size() || w != c.w ||
        pocket_state_block.pocket_dimension != c.pocket_dimension || lo < 1 || hi > loop.count - 2 ||
        !c.same(loop, 0, lo) || !c.same(loop, hi + 1, loop.count))
        return false;
    const int before = c.point_before(lo), after = c.point_after(hi);
    const int from = before < 0 ? -1 : c.point_before(before), to = after < 0 ? -1 : c.point_after(after);
    // The loop's first and last elements and the join between them stand outside.
    if (from < 2 || to < 0 || to > loop.count - 2) return false;
    if (!plain_layout(loop, from, to) || !pokarr_clean_joins_idle_between(kJoinsSharpOnly, w, loop, from, to))
        return false;
    std::copy(loop.x + lo, loop.x + hi + 1, c.x.begin() + lo);
    std::copy(loop.y + lo, loop.y + hi + 1, c.y.begin() + lo);
    return true;
}

// The join clean-up of the whole loop, kept as the last clean loop when it found nothing to do.
void clean_whole(pokarr& loop, double w)
{
    clean_loop& c = last_clean();
    c.known = pokarr_clean_joins_untouched(kJoinsSharpOnly, 0, w, loop) && plain_2d(loop) &&
              plain_layout(loop, 0, loop.count - 1);
    if (!c.known) return;
    c.x.assign(loop.x, loop.x + loop.count);
    c.y.assign(loop.y, loop.y + loop.count);
    c.w = w;
    c.pocket_dimension = pocket_state_block.pocket_dimension;
}

}  // namespace

int pokarr_nudge_move(pokarr& loop, int i, int j, int& status)
{
    status = 0;
    if (loop.dimension != 2 && loop.kind >= 0) {
        status = kNudgeNotMoved;
        return -1;
    }
    const bool i_line = is_line_end(loop, i), j_line = is_line_end(loop, j);
    if (!i_line && !j_line) {
        status = kNudgeBothArcs;
        return -1;
    }
    int e = i_line ? i : j;
    if (i_line && j_line && arcs_next_to(loop, j) < arcs_next_to(loop, i)) e = j;

    const double dx = loop.x[e] - loop.x[e - 1], dy = loop.y[e] - loop.y[e - 1];
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) {
        status = kNudgeNotMoved;
        return -1;
    }
    const double nx = kNudgeDistance * dy / length, ny = -kNudgeDistance * dx / length;
    const double start[2] = {loop.x[e - 1] + nx, loop.y[e - 1] + ny};
    const double end[2] = {loop.x[e] + nx, loop.y[e] + ny};

    // The end point first, so the start's index stays valid.
    if (arc_after(loop, e)) {
        insert_at(loop, e, end[0], end[1], status);  // new end at e, arc start now e + 1
        if (status < 0) return -1;
        pokarr_join_arc(e + 1, e, 1, loop);
        remove_at(loop, e + 1, status);
        if (status < 0) return -1;
    } else {
        set_point(loop, e, end[0], end[1]);
    }
    if (arc_before(loop, e)) {
        insert_at(loop, e, start[0], start[1], status);  // new start at e, old one at e - 1
        if (status < 0) return -1;
        pokarr_join_arc(e - 5, e, 0, loop);
        remove_at(loop, e - 1, status);
        if (status < 0) return -1;
    } else {
        set_point(loop, e - 1, start[0], start[1]);
    }
    return e;
}

void pokarr_nudge_elem(pokarr& loop, int i, int j, int& status)
{
    const int e = pokarr_nudge_move(loop, i, j, status);
    if (e < 0) return;
    const double w = pocket_work_block.working_tolerance;
    if (!clean_after_nudge(loop, e, w)) clean_whole(loop, w);
}
