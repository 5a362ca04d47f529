// Sideways nudge of one straight element of a loop. Both end points of the element move by the
// nudge distance to its right; where an arc adjoins, the moved point is inserted next to the
// arc's end, the arc is re-fitted to it and the old point removed, so the arc stays joined.
#include "pocket_arrays/pokarr_nudge.hpp"

#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"

#include <cmath>

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

}  // namespace

void pokarr_nudge_elem(pokarr& loop, int i, int j, int& status)
{
    status = 0;
    if (loop.dimension != 2 && loop.kind >= 0) {
        status = kNudgeNotMoved;
        return;
    }
    const bool i_line = is_line_end(loop, i), j_line = is_line_end(loop, j);
    if (!i_line && !j_line) {
        status = kNudgeBothArcs;
        return;
    }
    int e = i_line ? i : j;
    if (i_line && j_line && arcs_next_to(loop, j) < arcs_next_to(loop, i)) e = j;

    const double dx = loop.x[e] - loop.x[e - 1], dy = loop.y[e] - loop.y[e - 1];
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) {
        status = kNudgeNotMoved;
        return;
    }
    const double nx = kNudgeDistance * dy / length, ny = -kNudgeDistance * dx / length;
    const double start[2] = {loop.x[e - 1] + nx, loop.y[e - 1] + ny};
    const double end[2] = {loop.x[e] + nx, loop.y[e] + ny};

    // The end point first, so the start's index stays valid.
    if (arc_after(loop, e)) {
        insert_at(loop, e, end[0], end[1], status);  // new end at e, arc start now e + 1
        if (status < 0) return;
        pokarr_join_arc(e + 1, e, 1, loop);
        remove_at(loop, e + 1, status);
        if (status < 0) return;
    } else {
        set_point(loop, e, end[0], end[1]);
    }
    if (arc_before(loop, e)) {
        insert_at(loop, e, start[0], start[1], status);  // new start at e, old one at e - 1
        if (status < 0) return;
        pokarr_join_arc(e - 5, e, 0, loop);
        remove_at(loop, e - 1, status);
        if (status < 0) return;
    } else {
        set_point(loop, e - 1, start[0], start[1]);
    }
    double w = pocket_work_block.working_tolerance;
    pokarr_clean_joins(kJoinsSharpOnly, 0, w, loop);
}
