// The neighbouring path points at the two ends of a gap in the tool path: the point before the
// from end and the point after the to end, which give the direction a surface retract leaves in
// and a surface approach arrives in.
#include "edit/trim/reconnect_gap.hpp"

#include "edit/trim/trim_state.hpp"
#include "host/vantu_list.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cstddef>

namespace {

constexpr int kSideMarker = 19;
constexpr int kMarkSet = 1;
constexpr int kFound = 1, kNotFound = 0;

// Words of one point of a string or line block: 4 for types 2 and 7, 7 for the others.
int point_words(int type) { return type == 2 || type == 7 ? 4 : 7; }

// A NURBS block after its type word: block number, order, the control-point count n, then n
// groups of a knot and a control point (x, y, z). The from end takes the last control point; the
// to end the second (the first is the to point itself), or the only one.
bool read_nurbs_point(bool from_end, point3& point, int& status)
{
    word head[3] = {};
    tpget(kWhereList, 3, kTypeInteger, head, status);
    const int n = head[2];
    if (status < 0 || n < 1) return false;
    const int skip = from_end ? 4 * n - 3 : n >= 2 ? 5 : 1;
    TPSKIP(kWhereList, skip, status);
    word xyz[3] = {};
    if (status >= 0) tpget(kWhereList, 3, kTypeReal, xyz, status);
    if (status < 0) return false;
    point = {word_to_real(xyz[0]), word_to_real(xyz[1]), word_to_real(xyz[2])};
    return true;
}

// A line or string block: its first point; the from end reads on to the second-to-last point of
// a string of three or more.
bool read_string_point(bool from_end, int type, int size, point3& point, int& status)
{
    tp_line_point p;
    tpread_lines(kWhereList, type, size, p, status);
    if (status >= 0 && from_end && p.points > 2) {
        TPSKIP(kWhereList, (p.points - 3) * point_words(type), status);
        if (status >= 0) tpread_lines(kWhereList, type, size, p, status);
    }
    if (status < 0) return false;
    point = p.point;
    return true;
}

// Reads the neighbour from the motion block whose head was just read; false for a block that
// gives none (the search goes on).
bool read_side(bool from_end, int type, int size, const point3& end_point, point3& neighbour, int& status)
{
    switch (type) {
    case 2:
    case 22:
    case 222:
    case 7:
    case 27:
    case 227: return read_string_point(from_end, type, size, neighbour, status);
    case 3:
    case 23:
    case 223: {
        tp_arc_block arc;
        tpread_arc(kWhereList, type, arc, status);
        if (status < 0) return false;
        neighbour = arc_tangent_point(arc.plane, from_end ? end_point : arc.end, arc.centre, arc.angle);
        return true;
    }
    case 5:
    case 25:
    case 225: return read_nurbs_point(from_end, neighbour, status);
    default: return false;
    }
}

int search_side(bool from_end, const point3& point, point3& neighbour)
{
    int status = 0;
    if (from_end) {
        int number = 0, type = 0;
        float end[3] = {}, direction[3] = {};
        trim_read_motion(-1, number, type, end, direction, status);
    }
    int lines = 0;
    llines(lines);
    // One block per round: the level is walked within as many rounds as it has lines.
    for (int round = 0; round <= lines && status >= 0; ++round) {
        tp_list_jump(from_end ? -1 : 1, status);
        if (status < 0) return kNotFound;
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status >= 0 && read_side(from_end, type, size, point, neighbour, status)) return kFound;
    }
    return kNotFound;
}

}  // namespace

point3 arc_tangent_point(int plane, const point3& end, const std::array<float, 2>& centre, float angle)
{
    // The arc plane's two axes: 1 x, y; 2 x, z; 3 y, z.
    const std::size_t u = plane == 3 ? 1 : 0, v = plane == 1 ? 1 : 2;
    const float ru = end[u] - centre[0], rv = end[v] - centre[1];
    point3 out = end;
    out[u] += angle > 0.0f ? -rv : rv;
    out[v] += angle > 0.0f ? ru : -ru;
    return out;
}

int gap_side_point(int start, point3 point, point3& neighbour)
{
    int marked = 0;
    lmark(kMarkSet, kSideMarker, marked);
    if (marked < 1) return kNotFound;
    const int found = search_side(start == 1, point, neighbour);
    int back = 0;
    tp_list_top_mark(kSideMarker, back);
    return back < 0 ? kNotFound : found;
}

gap_ends gap_ends_at(point3 from, point3 to)
{
    gap_ends ends;
    ends.from = from;
    ends.to = to;
    ends.start_found = gap_side_point(1, from, ends.before);
    ends.end_found = gap_side_point(0, to, ends.after);
    return ends;
}
