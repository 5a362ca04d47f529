// Splitting of arcs of half a turn or more: the area and the parameter formulas of the engine
// hold only below half a turn, so such arcs are cut into quarter turns first.
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"


namespace {

// An arc is split when the sine of its sweep is negative beyond the zero tolerance, or nearly
// zero with the cosine near -1 (a sweep of about half a turn).
constexpr double kHalfTurnSine = 0.035;
constexpr double kHalfTurnCosine = -0.99;

bool half_turn_or_more(const pokarr& a, int marker)
{
    const double r = a.x[marker + 1];
    const int d = pk_arc_direction(a.y[marker + 1]);
    const double cx = a.x[marker + 2];
    const double cy = a.y[marker + 2];
    const double ax = a.x[marker - 1] - cx;
    const double ay = a.y[marker - 1] - cy;
    const double bx = a.x[marker + 3] - cx;
    const double by = a.y[marker + 3] - cy;
    const double sine = d * (ax * by - ay * bx) / (r * r);
    const double cosine = (ax * bx + ay * by) / (r * r);
    return sine < -kPocketValueTolerance ||
           (sine < kHalfTurnSine && cosine < kHalfTurnCosine);
}

// Ends the arc at `marker` a quarter turn after its start and inserts the rest as a new record.
void split_off_quarter(pokarr& a, int marker, int& status)
{
    const double r = a.x[marker + 1];
    const int d = pk_arc_direction(a.y[marker + 1]);
    const double cx = a.x[marker + 2];
    const double cy = a.y[marker + 2];
    const double ex = a.x[marker + 3];
    const double ey = a.y[marker + 3];
    const double ax = a.x[marker - 1] - cx;
    const double ay = a.y[marker - 1] - cy;
    a.x[marker + 3] = cx + d * -ay;
    a.y[marker + 3] = cy + d * ax;
    const double rest[kArcRecordEntries][2] = {
        {kArcMarker, 0.0}, {r, static_cast<double>(d)}, {cx, cy}, {ex, ey}};
    for (int k = 0; k < kArcRecordEntries && status == 0; ++k) {
        const double point[3] = {rest[k][0], rest[k][1], 0.0};
        pokarr_insert_pnt(point, a, marker + 4 + k, status);
    }
}

}  // namespace

void pokarr_split_big_arcs(pokarr& array, int& status)
{
    status = 0;
    if (array.dimension != 2 || array.count <= 3) return;
    int i = 1;
    while (i < array.count - 3) {
        if (!pk_is_marker(array.x[i])) {
            ++i;
            continue;
        }
        if (!half_turn_or_more(array, i)) {
            i += kArcRecordEntries;
            continue;
        }
        // The quarter arc now at i is examined again and passes; the rest follows at i + 4.
        split_off_quarter(array, i, status);
        if (status != 0) return;
    }
}
