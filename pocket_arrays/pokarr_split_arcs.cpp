// Splitting of arcs of half a turn or more: the area and the parameter formulas of the engine
// hold only below half a turn, so such arcs are cut into quarter turns first.
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cstring>

namespace {

// An arc is split when the sine of its sweep is negative beyond the zero tolerance, or nearly
// zero with the cosine near -1 (a sweep of about half a turn).
constexpr double kHalfTurnSine = 0.035;
constexpr double kHalfTurnCosine = -0.99;

// An arc record as stored, read before its entries are overwritten.
struct arc_record {
    double marker_x, marker_y, radius, direction, cx, cy, ex, ey;
};

[[gnu::always_inline]] inline arc_record read_record(const pokarr& a, int marker)
{
    return {a.x[marker],     a.y[marker],     a.x[marker + 1], a.y[marker + 1],
            a.x[marker + 2], a.y[marker + 2], a.x[marker + 3], a.y[marker + 3]};
}

// Whether the arc from (sx, sy) along the record sweeps half a turn or more; if so, q receives the
// end of its first quarter turn.
[[gnu::always_inline]] inline bool half_turn_or_more(double sx, double sy, const arc_record& arc, double* q)
{
    const double r = arc.radius;
    const int d = pk_arc_direction(arc.direction);
    const double ax = sx - arc.cx;
    const double ay = sy - arc.cy;
    const double bx = arc.ex - arc.cx;
    const double by = arc.ey - arc.cy;
    const double sine = d * (ax * by - ay * bx) / (r * r);
    const double cosine = (ax * bx + ay * by) / (r * r);
    q[0] = arc.cx + d * -ay;
    q[1] = arc.cy + d * ax;
    return sine < -kPocketValueTolerance || (sine < kHalfTurnSine && cosine < kHalfTurnCosine);
}

// The quarter turns an arc from (sx, sy) splits into, beyond the first.
int extra_quarters(double sx, double sy, const arc_record& arc)
{
    int extra = 0;
    double q[2];
    while (half_turn_or_more(sx, sy, arc, q)) {
        sx = q[0], sy = q[1];
        ++extra;
    }
    return extra;
}

void write_entry(pokarr& a, int i, double x, double y)
{
    a.x[i] = x;
    a.y[i] = y;
}

// Writes one record of the arc ending at (ex, ey). The arc's first record keeps its marker and
// direction entries as they were; the others are written anew (marker, direction +1 or -1).
void write_record(pokarr& a, int out, const arc_record& arc, bool first, double ex, double ey)
{
    write_entry(a, out, first ? arc.marker_x : kArcMarker, first ? arc.marker_y : 0.0);
    write_entry(a, out + 1, arc.radius, first ? arc.direction : pk_arc_direction(arc.direction));
    write_entry(a, out + 2, arc.cx, arc.cy);
    write_entry(a, out + 3, ex, ey);
}

// Writes the arc from the entry before `out` as quarter turns from `out` on; answers the entry
// after them.
int write_quarters(pokarr& a, int out, const arc_record& arc)
{
    for (bool first = true;; first = false) {
        double q[2];
        const bool split = half_turn_or_more(a.x[out - 1], a.y[out - 1], arc, q);
        write_record(a, out, arc, first, split ? q[0] : arc.ex, split ? q[1] : arc.ey);
        out += kArcRecordEntries;
        if (!split) return out;
    }
}

// The entries the split adds: the arc records met walking from entry 1, each split in turn.
int entries_added(const pokarr& a)
{
    int added = 0;
    for (int i = 1; i < a.count - 3;) {
        if (!pk_is_marker(a.x[i])) {
            ++i;
            continue;
        }
        added += kArcRecordEntries * extra_quarters(a.x[i - 1], a.y[i - 1], read_record(a, i));
        i += kArcRecordEntries;
    }
    return added;
}

}  // namespace

// The split entries are counted first and the array grown once; the entries then move up by that
// count and are written back in order from the front, each record read before its place is
// overwritten (the output never overtakes the input).
void pokarr_split_big_arcs(pokarr& array, int& status)
{
    status = 0;
    if (array.dimension != 2 || array.count <= 3) return;
    const int added = entries_added(array);
    if (added == 0) return;
    const int n = array.count;
    pokarr_grow(array, n + added, status);
    if (status != 0) return;
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(double);
    std::memmove(array.x + added, array.x, bytes);
    std::memmove(array.y + added, array.y, bytes);
    write_entry(array, 0, array.x[added], array.y[added]);
    int out = 1;
    int i = 1;
    for (; i < n - 3; ++i) {
        const int in = i + added;
        if (!pk_is_marker(array.x[in])) {
            write_entry(array, out++, array.x[in], array.y[in]);
            continue;
        }
        out = write_quarters(array, out, read_record(array, in));
        i += kArcRecordEntries - 1;
    }
    for (; i < n; ++i) write_entry(array, out++, array.x[i + added], array.y[i + added]);
    array.count = n + added;
}
