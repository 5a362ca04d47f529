// Small loops of a lane laid on the part surfaces, cut out before its moves are checked.
#include "clearing/surface_lanes/lane_loop_cut.hpp"

#include <algorithm>

namespace {

// Twice the signed area of the triangle a, b, c in XY.
float turn_of(const lane_pnt& a, const lane_pnt& b, const lane_pnt& c)
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Whether the segments a-b and c-d cross in XY (touching is not crossing).
bool cross_xy(const lane_pnt& a, const lane_pnt& b, const lane_pnt& c, const lane_pnt& d)
{
    return turn_of(a, b, c) * turn_of(a, b, d) < 0.0f && turn_of(c, d, a) * turn_of(c, d, b) < 0.0f;
}

// The string as the tool runs it. A closed string (its last point on its first) runs on from its
// start again, so that a loop may begin before its seam and end after it: its points are then
// indexed past the end, modulo the points that differ (`period`).
struct lane_string {
    lane_pnt* points;
    lane_pnt* normals;
    int count;
    bool closed;

    int period() const { return closed ? count - 1 : count; }
    const lane_pnt& at(int k) const { return points[k % period()]; }
    // The segments a loop can start with: each of a closed string, up to the third last of an open one.
    int starts() const { return closed ? period() : count - 3; }
    // Whether segment j (from `first` on) may end a loop from `first`: it must exist and, on a
    // closed string, not come round to the segment before `first`, which meets it at a point.
    bool may_end(int first, int j) const { return closed ? j - first <= period() - 2 : j + 1 < count; }
};

// A loop: the segments that cross (the second as lane_string indexes it) and the length in XY
// of the path between them.
struct lane_loop {
    int first = 0, last = 0;
    float along = 0.0f;
};

// The loop that starts with the segment from `first` and ends with a segment crossing it within
// the reach along the string; last equal to first when there is none. Neighbouring segments
// share a point and are not searched.
lane_loop loop_from(const lane_string& s, int first, float reach)
{
    lane_loop loop{first, first, 0.0f};
    for (int j = first + 2; s.may_end(first, j); ++j) {
        loop.along += lane_dist_xy(s.at(j - 1), s.at(j));
        if (loop.along > reach) break;
        if (cross_xy(s.at(first), s.at(first + 1), s.at(j), s.at(j + 1))) {
            loop.last = j;
            return loop;
        }
    }
    loop.last = first;
    return loop;
}

// Of the two ways round a closed string between the crossing segments, the shorter is the loop:
// the other way, from the loop's last segment over the seam back to its first, when that is.
lane_loop shorter_way(const lane_string& s, const lane_loop& loop)
{
    if (!s.closed) return loop;
    float round = 0.0f;
    for (int k = 0; k < s.period(); ++k) round += lane_dist_xy(s.at(k), s.at(k + 1));
    const float ends =
        lane_dist_xy(s.at(loop.first), s.at(loop.first + 1)) + lane_dist_xy(s.at(loop.last), s.at(loop.last + 1));
    const float other = round - loop.along - ends;
    if (!(other < loop.along)) return loop;
    const int first = loop.last % s.period(), back = loop.first % s.period();
    return {first, back > first ? back : back + s.period(), other};
}

// Removes the entries first to last (inclusive) of the array of `count`.
void erase(lane_pnt* entries, int count, int first, int last)
{
    if (entries != nullptr) std::copy(entries + last + 1, entries + count, entries + first);
}

// Cuts the loop whose points first + 1 to last go (indexed as lane_string does), so that the move
// from point first runs to the point after last. A loop across a closed string's seam takes the
// seam with it: the string then starts at the point after the loop and closes on it again.
void cut_loop(lane_string& s, int first, int last)
{
    if (last < s.count - 1 || !s.closed) {
        erase(s.points, s.count, first + 1, last);
        erase(s.normals, s.count, first + 1, last);
        s.count -= last - first;
        return;
    }
    // The loop runs from point first + 1 over the seam (the last point, a copy of the first) to
    // point `wrapped` of the start.
    const int wrapped = last - s.period();
    for (lane_pnt* entries : {s.points, s.normals}) {
        if (entries == nullptr) continue;
        std::copy(entries + wrapped + 1, entries + first + 1, entries);
        entries[first - wrapped] = entries[0];
    }
    s.count = first - wrapped + 1;
}

}  // namespace

void lane_loops_cut(lane_pnt* points, lane_pnt* normals, int& count, float reach)
{
    const bool closed = count >= 2 && points[0] == points[count - 1];
    lane_string s{points, normals, count, closed};
    for (int i = 0; i < s.starts();) {
        const lane_loop found = loop_from(s, i, reach);
        if (found.last == i) {
            ++i;
            continue;
        }
        // The segment from i is searched again; after a cut across the seam the string starts anew.
        const lane_loop loop = shorter_way(s, found);
        const bool across_seam = s.closed && loop.last >= s.count - 1;
        cut_loop(s, loop.first, loop.last);
        if (across_seam) i = 0;
    }
    count = s.count;
}
