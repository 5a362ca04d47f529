// One step of the contour trimming's motion walk (see the header). The motion is met with the
// contour as a polyline in the contour's plane; where it is cut, the crossing is taken on the
// motion itself (a line's height there, an arc's point found by halving its angle), so that both
// new blocks follow the old motion exactly.
#include "edit/trim/motion_walk.hpp"

#include "edit/editor/connect_tables.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/trim/block_polyline.hpp"
#include "edit/trim/motion_replace.hpp"
#include "edit/trim/nurbs_pieces.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_crossings.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_polygon.hpp"
#include "host/vantu_transforms.hpp"
#include "host/vantu_vector.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/arc_plane_axes.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr int kFailed = -1, kUnmoved = -2;
constexpr int kMethodAnyPlane = 2, kOperationDelete = 3;
constexpr int kInside = 1, kOnContour = 2, kOutside = 3;
constexpr int kSplitMarker = 13;
constexpr int kSaveMarker = 1, kReturnMarker = 2;
constexpr int kArcDivisions = 10, kVectorRoom = 50;
constexpr double kArcMostDivisions = 100000.0;
constexpr int kClosedPolygon = 2, kBreakToFirst = 1;
// Halvings of an arc's angle between two polyline vertices: far below single precision.
constexpr int kArcHalvings = 48;

using family = motion_family;

// The walk meets a block of no motion family as a line.
family family_of(int type)
{
    const family kind = motion_family_of(type);
    return kind == family::other ? family::line : kind;
}

// The contour in the plane the walk meets motions in.
struct contour_view {
    const double* points = nullptr;
    int count = 0;
    bool any_plane = false;
    const double* transform = nullptr;
};

contour_view walk_contour()
{
    const trim_state& w = trim_words();
    if (w.selection_method == kMethodAnyPlane) return {w.plane_contour, w.plane_vertices, true, w.plane_transform};
    return {w.contour, w.contour_vertices, false, nullptr};
}

void plane_xy(const contour_view& c, const point3& p, double* xy)
{
    double at[3] = {p[0], p[1], p[2]};
    if (c.any_plane) m3vc2d(c.transform, at, at);
    xy[0] = at[0];
    xy[1] = at[1];
}

// 1 inside, 2 on the contour, 3 outside.
int side_of(const contour_view& c, const point3& p)
{
    double xy[2];
    plane_xy(c, p, xy);
    int result = kOutside;
    inpold(kWalkSideTolerance, c.points, c.count, xy, result);
    if (result != kOutside) return result;
    int touch = 0;
    tchptpol(kClosedPolygon, kWalkTouchTolerance, xy, c.count, c.points, touch);
    return touch != 0 ? kOnContour : kOutside;
}

point3 middle(const point3& a, const point3& b) { return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2}; }

// The motion's polyline and what the step learns of it.
struct walk_pieces {
    std::vector<point3> points, vectors;
    std::vector<polyline_crossing> crossings;
    std::vector<point3> at;  // the crossings on the polyline, in three coordinates
    point3 end{}, end_vector{};
    tp_arc_block arc;
};

// The step's work storage: the vector work array, open for the step only.
struct vector_array_guard {
    int handle = -1;
    ~vector_array_guard()
    {
        int status = 0;
        if (handle >= 0) MM_CLOSE(handle, status);
        trim_words().vector_array = -1;
    }
};

// The divisions of an arc whose chords stay within kWalkArcSagitta of it.
int arc_divisions(const tp_arc_block& arc, const point3& start)
{
    const arc_plane_axes axes = arc_axes_of(arc.plane);
    const double radius = std::hypot(start[static_cast<std::size_t>(axes.first)] - arc.centre[0],
                                     start[static_cast<std::size_t>(axes.second)] - arc.centre[1]);
    if (radius <= kWalkArcSagitta) return kArcDivisions;
    const double step = 2.0 * std::acos(1.0 - kWalkArcSagitta / radius);
    const double needed = std::ceil(std::abs(static_cast<double>(arc.angle)) / step);
    return static_cast<int>(std::clamp(needed, static_cast<double>(kArcDivisions), kArcMostDivisions));
}

// The motion's polyline from the list position; an arc in as many chords as keep its polyline
// within kWalkArcSagitta of it (the motion is read again when it needs more than the first read
// made).
void read_pieces(const point3& previous, const point3& previous_direction, int handle, walk_pieces& w, int& status)
{
    int capacity = kVectorRoom, count = 0, divisions = kArcDivisions;
    float* points = nullptr;
    for (int round = 0; round < 2; ++round) {
        w.arc = tp_arc_block{};
        points = block_polyline(previous, previous_direction, handle, capacity, divisions, count, w.end, w.end_vector,
                                w.arc, status);
        if (!points || w.arc.angle == 0.0f || arc_divisions(w.arc, previous) <= divisions) break;
        divisions = arc_divisions(w.arc, previous);
        DM_FREE(points, 0);
        points = nullptr;
    }
    if (!points) {
        if (status >= 0) status = kFailed;
        return;
    }
    const auto* vectors = static_cast<const float*>(mmcptr(handle));
    for (int i = 0; i < count; ++i) {
        w.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
        w.vectors.push_back({vectors[3 * i], vectors[3 * i + 1], vectors[3 * i + 2]});
    }
    DM_FREE(points, 0);
}

void find_crossings(const contour_view& c, walk_pieces& w, int& status)
{
    std::vector<double> xy(2 * w.points.size());
    for (std::size_t i = 0; i < w.points.size(); ++i) plane_xy(c, w.points[i], &xy[2 * i]);
    w.crossings.assign(kInd2poMost, polyline_crossing{});
    int count = 0, found = 0;
    ind2po(xy.data(), static_cast<int>(w.points.size()), c.points, c.count, kInd2poMost, w.crossings.data(), count,
           found);
    if (found < 0) {
        status = kFailed;
        return;
    }
    w.crossings.resize(static_cast<std::size_t>(count));
    for (const polyline_crossing& x : w.crossings) {
        const point3& a = w.points[static_cast<std::size_t>(x.segment - 1)];
        const point3& b = w.points[static_cast<std::size_t>(x.segment)];
        const auto t = static_cast<float>(x.along);
        w.at.push_back({a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])});
    }
}

// One block on; -2 at the end of the list.
void one_block_on(int& status)
{
    tp_list_jump(1, status);
    if (status > 0) status = 0;
}

bool mark(int mode, int marker, int& status)
{
    int answer = 0;
    lmark(mode, marker, answer);
    if (answer < 0) status = kFailed;
    return status >= 0;
}

// The machine-parameter slots emptied while the two pieces of a cut motion are written: the
// pieces run where the motion ran, under the parameters in force there, so no parameter block
// may come between them (the slots' copies of what was written last are no record of what is in
// force at this place of the path). The slots are given back on every way out.
struct pieces_without_parameters {
    mch_slot_table kept = mch_slots();
    pieces_without_parameters()
    {
        int status = 0;
        mch_status_clear(status);
    }
    pieces_without_parameters(const pieces_without_parameters&) = delete;
    pieces_without_parameters& operator=(const pieces_without_parameters&) = delete;
    ~pieces_without_parameters() { mch_slots() = kept; }
};

// The test points before and after crossing k: the middles between the crossing and its
// neighbours along the polyline (the crossing next to it on its segment, else the segment's end,
// passing over points that coincide with it). An arc's chords stay within kWalkArcSagitta of it, so
// their middles stand on the arc's side of the contour.
void test_points(const walk_pieces& w, std::size_t k, point3& before, point3& after)
{
    const point3& x = w.at[k];
    const int segment = w.crossings[k].segment;
    point3 back{}, ahead{};
    if (k > 0 && w.crossings[k - 1].segment == segment && pts_differ(w.at[k - 1], x) != 0) {
        back = w.at[k - 1];
    } else {
        auto v = static_cast<std::size_t>(segment - 1);
        while (v > 0 && pts_differ(w.points[v], x) == 0) --v;
        back = w.points[v];
    }
    if (k + 1 < w.crossings.size() && w.crossings[k + 1].segment == segment && pts_differ(w.at[k + 1], x) != 0) {
        ahead = w.at[k + 1];
    } else {
        auto v = static_cast<std::size_t>(segment);
        while (v + 1 < w.points.size() && pts_differ(w.points[v], x) == 0) ++v;
        ahead = w.points[v];
    }
    before = middle(back, x);
    after = middle(x, ahead);
}

// The side the polyline goes on on after crossing k: that of its first piece off the contour up to
// the next crossing (on the contour when there is none). A crossing at a shallow angle leaves the
// polyline near the contour for a while: a test point next to the crossing would stand on it.
int side_after(const contour_view& c, const walk_pieces& w, std::size_t k)
{
    point3 from = w.at[k];
    const auto next =
        k + 1 < w.crossings.size() ? static_cast<std::size_t>(w.crossings[k + 1].segment) : w.points.size();
    for (auto v = static_cast<std::size_t>(w.crossings[k].segment); v <= next && v < w.points.size(); ++v) {
        const point3& to = v == next && k + 1 < w.crossings.size() ? w.at[k + 1] : w.points[v];
        if (pts_differ(from, to) != 0) {
            const int side = side_of(c, middle(from, to));
            if (side != kOnContour) return side;
        }
        from = to;
    }
    return kOnContour;
}

// The point of the arc at the crossing: the arc's angle is halved between the two vertices of
// the crossing's segment until its point changes side against the contour's segment.
point3 arc_crossing(const contour_view& c, const walk_pieces& w, const polyline_crossing& x, float& part)
{
    const arc_plane_axes axes = arc_axes_of(w.arc.plane);
    const auto a = static_cast<std::size_t>(axes.first), b = static_cast<std::size_t>(axes.second);
    const point3& start = w.points.front();
    const double ra = start[a] - w.arc.centre[0], rb = start[b] - w.arc.centre[1];
    const int steps = static_cast<int>(w.points.size()) - 1;
    const double step = static_cast<double>(w.arc.angle) / steps;
    auto point_at = [&](double angle) {
        point3 p = w.end;
        p[a] = static_cast<float>(w.arc.centre[0] + ra * std::cos(angle) - rb * std::sin(angle));
        p[b] = static_cast<float>(w.arc.centre[1] + ra * std::sin(angle) + rb * std::cos(angle));
        return p;
    };
    const int edge = x.contour_segment - 1, next = x.contour_segment % c.count;
    const double* e0 = &c.points[2 * edge];
    const double* e1 = &c.points[2 * next];
    auto side = [&](double angle) {
        double xy[2];
        plane_xy(c, point_at(angle), xy);
        return (e1[0] - e0[0]) * (xy[1] - e0[1]) - (e1[1] - e0[1]) * (xy[0] - e0[0]);
    };
    double low = step * (x.segment - 1), high = step * x.segment;
    const bool low_side = side(low) > 0;
    for (int i = 0; i < kArcHalvings; ++i) {
        const double half = (low + high) / 2;
        ((side(half) > 0) == low_side ? low : high) = half;
    }
    part = static_cast<float>((low + high) / 2);
    return point_at(part);
}

struct step_result {
    int first = 0, second = 0, number = 0, boundary = 0;
};

// The motion replaced by its two pieces through the crossing x (written by the two writers) in
// the feed in force; the block numbers and the range's marker 10 follow the flags.
template <class First, class Second>
void replace_by_pieces(First write_first, Second write_second, const point3& x, step_result& r, int& status)
{
    const ncd_address address{2, list_cursor().cursor_proc_blkno, r.number};
    ncd_delete_blocks(kCurrentDisplayFile, address, address, status);
    status = 0;
    auto first = [&](int& s) {
        if (r.first != 0) get_tp_blkno(r.number);
        write_first(s);
        if (s >= 0 && r.second != 0) {
            if (trim_words().current_feed > 0.0f)
                for (int i = 0; i < 3; ++i) trim_words().crossing_point[i] = x[static_cast<std::size_t>(i)];
            get_tp_blkno(r.number);
        }
    };
    const pieces_without_parameters quiet;
    replace_by_two(first, write_second, status);
    ncd_connect_toolpath(kCurrentDisplayFile);
}

// A NURBS move cut where it crosses the contour's edge of crossing k, both pieces made before
// the block is deleted. False when the curve does not cross the edge near the polyline's crossing.
bool cut_nurbs(const contour_view& c, const walk_pieces& w, std::size_t k, point3& x, step_result& r, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    nurbs_curve curve;
    if (status >= 0) nurbs_read_curve(size, curve, status);
    const polyline_crossing& crossing = w.crossings[k];
    // The curve is searched from the vertex before the crossing's segment to the one after it, so
    // that a crossing on a vertex of the polyline lies inside the bracket.
    const auto segment = static_cast<std::size_t>(crossing.segment);
    const std::size_t from = segment > 1 ? segment - 2 : 0, to = std::min(segment + 1, w.points.size() - 1);
    double t0 = 0.0, t1 = 0.0, t = 0.0, cut[3] = {};
    if (status >= 0) t0 = nurbs_parameter_near(curve, w.points[from].data(), status);
    if (status >= 0) t1 = nurbs_parameter_near(curve, w.points[to].data(), status);
    const int edge = crossing.contour_segment - 1, next = crossing.contour_segment % c.count;
    int found = kFailed;
    if (status >= 0)
        FIND_INTERSECTION_SPLINE_WITH_LINE(curve, &c.points[2 * edge], &c.points[2 * next], c.transform, t0, t1, t, cut,
                                           found);
    nurbs_piece first, second;
    if (found == 0) nurbs_make_piece(curve, curve.t0, t, first, status);
    if (found == 0 && status >= 0) nurbs_make_piece(curve, t, curve.t1, second, status);
    nurbs_release(curve);
    if (status < 0 || found != 0) return false;
    x = {static_cast<float>(cut[0]), static_cast<float>(cut[1]), static_cast<float>(cut[2])};
    replace_by_pieces([&](int& s) { nurbs_write_piece(first, s); }, [&](int& s) { nurbs_write_piece(second, s); }, x, r,
                      status);
    return true;
}

// A change of side at crossing k: the motion is cut there.
void cut_motion(const contour_view& c, int type, const walk_pieces& w, std::size_t k, const point3& previous,
                const point3& previous_direction, point3& current, point3& current_direction, step_result& r,
                int& status)
{
    const family kind = family_of(type);
    point3 x = w.at[k];
    if (kind == family::nurbs) {
        r.boundary = r.number;
        if (!cut_nurbs(c, w, k, x, r, status)) {
            if (status >= 0) one_block_on(status);
            return;
        }
        for (int i = 0; i < 3; ++i) trim_words().crossing_point[i] = x[static_cast<std::size_t>(i)];
        current = x;
        current_direction = kDefaultDirection;
        return;
    }
    if (kind == family::string) {
        // The segment holding the crossing becomes a line that the next step meets as a motion.
        const int segment = w.crossings[k].segment;
        BRKSTR(kBreakToFirst, status);
        if (status >= 0 && segment > 1) tp_list_jump(segment - 1, status);
        if (status > 0) status = 0;
        current = w.points[static_cast<std::size_t>(segment - 1)];
        current_direction = w.vectors[static_cast<std::size_t>(segment - 1)];
        r.second = r.first;
        return;
    }
    if (pts_differ(x, previous) == 0 || pts_differ(x, w.end) == 0) {
        one_block_on(status);
        return;
    }
    r.boundary = r.number;
    float part = 0.0f;
    double t = w.crossings[k].along;
    if (kind == family::arc)
        x = arc_crossing(c, w, w.crossings[k], part);
    else if (!c.any_plane)
        seg_z_at_point(previous, w.end, x, t);
    point3 x_vector{};
    int blend = 0;
    v3btpn(previous_direction.data(), w.end_vector.data(), static_cast<float>(t), x_vector.data(), blend);
    const int dimension = motion_dimension_kind(type);
    const std::array<float, 2> centre = w.arc.centre;
    if (kind == family::line)
        replace_by_pieces([&](int& s) { PLINE_entry(dimension, x, x_vector, s); },
                          [&](int& s) { PLINE_entry(dimension, w.end, w.end_vector, s); }, x, r, status);
    else
        replace_by_pieces(
            [&](int& s) { arc_move_tol01(dimension, w.arc.plane, part, centre, x, x_vector, s); },
            [&](int& s) { arc_move_tol01(dimension, w.arc.plane, w.arc.angle - part, centre, w.end, w.end_vector, s); },
            x, r, status);
    for (int i = 0; i < 3; ++i) trim_words().crossing_point[i] = x[static_cast<std::size_t>(i)];
    current = x;
    current_direction = x_vector;
}

// The side of the motion at the list position for the run along the contour: the side of its
// first piece (between its start, its crossings with the contour and its polyline's vertices)
// that does not lie on the contour; on the contour when none does. A string is met point by point:
// its first line now.
bool run_motion_side(const contour_view& c, const point3& start, const point3& start_direction, int handle, int& side,
                     point3& end, point3& end_direction, int& type, int& number, int& status)
{
    point3 read_end{}, read_direction{};
    trim_read_motion(1, number, type, read_end.data(), read_direction.data(), status);
    if (status < 0) return false;
    walk_pieces w;
    read_pieces(start, start_direction, handle, w, status);
    if (status >= 0 && family_of(type) == family::string) {
        w.points.resize(2);
        w.vectors.resize(2);
        w.end = w.points[1];
        w.end_vector = w.vectors[1];
    }
    if (status >= 0) find_crossings(c, w, status);
    if (status < 0) return false;
    end = w.end;
    end_direction = w.end_vector;
    side = kOnContour;
    point3 from = w.points.front();
    std::size_t k = 0;
    for (std::size_t i = 1; i < w.points.size() && side == kOnContour; ++i) {
        for (; k < w.crossings.size() && static_cast<std::size_t>(w.crossings[k].segment) == i; ++k) {
            if (pts_differ(from, w.at[k]) != 0) side = side_of(c, middle(from, w.at[k]));
            from = w.at[k];
            if (side != kOnContour) return true;
        }
        if (pts_differ(from, w.points[i]) != 0) side = side_of(c, middle(from, w.points[i]));
        from = w.points[i];
    }
    return true;
}

// The motion runs along the contour: the motions after it are read while their test points stay
// on it; the first that leaves it says on which side the path goes on. Without a change of side
// the walk goes on from the first motion on the contour. With one, the list stays on the motion
// that leaves the contour and the run lies on the side the walk came from: a range the run opens
// begins at that motion (the motions along the contour are no part of it), a range it closes ends
// at the motion that came onto the contour.
void run_along_contour(const contour_view& c, int start_side, int handle, point3& current, point3& current_direction,
                       step_result& r, int& status)
{
    one_block_on(status);
    if (status < 0) return;
    int lines = 0;
    llines(lines);
    mark(kSaveMarker, kSplitMarker, status);
    // The run reads ahead; the feed in force is put back when the walk goes on from its start.
    const float feed = trim_words().current_feed;
    point3 start = current, start_direction = current_direction;
    int leaving = 0;
    for (int round = 0; status >= 0 && round <= lines; ++round) {
        point3 end{}, end_direction{};
        int type = 0, number = 0, side = kOnContour;
        if (!run_motion_side(c, start, start_direction, handle, side, end, end_direction, type, number, status)) break;
        if (round == 0)
            for (int i = 0; i < 3; ++i) trim_words().crossing_point[i] = start[static_cast<std::size_t>(i)];
        if (side != kOnContour) {
            r.second = (side == kInside) == (start_side != 0) ? 1 : 0;
            leaving = number;
            break;
        }
        if (family_of(type) == family::string) BRKSTR(kBreakToFirst, status);
        if (status >= 0) one_block_on(status);
        start = end;
        start_direction = end_direction;
    }
    if (status < 0) return;
    if (r.first == r.second) {
        // No change of side: the walk goes on from the motion after the first one on the contour.
        mark(kReturnMarker, kSplitMarker, status);
        trim_words().current_feed = feed;
        return;
    }
    if (r.second != 0 && leaving != 0) r.number = leaving;
    r.boundary = r.number;
    current = start;
    current_direction = start_direction;
}

// A motion that starts on the contour (crossings 0 .. k - 1 lie at its start) and whose first
// piece lies on the side the walk does not follow changes side at its start: the step ends there
// (closing the range at the motion before, or opening one at this motion). The first piece runs
// to crossing k (its test point before that crossing), or to the motion's end.
bool changes_at_start(const contour_view& c, const walk_pieces& w, std::size_t k, family kind, int start_side,
                      int before_number, step_result& r)
{
    const int walk = trim_words().walk_direction;
    point3 piece = w.end, after{};
    if (k < w.crossings.size())
        test_points(w, k, piece, after);
    else if (kind == family::line || kind == family::string)
        piece = middle(w.points.front(), w.end);
    else
        piece = w.points[1];
    const int piece_side = side_of(c, piece);
    if (!((piece_side == kInside && walk == kOutside) || (piece_side == kOutside && walk == kInside))) return false;
    r.second = (walk == kOutside && start_side != 0) || (walk == kInside && start_side == 0) ? 1 : 0;
    if (r.second == 0) r.number = before_number;
    r.boundary = r.number;
    return true;
}

}  // namespace

int contour_side(const point3& p) { return side_of(walk_contour(), p); }

void motion_cut_at_contour(const point3& from, const point3& from_direction, std::vector<point3>& points,
                           std::vector<point3>& vectors, int& status)
{
    points.clear();
    vectors.clear();
    vector_array_guard array;
    void* base = nullptr;
    MM_OPEN_ARRAY(sizeof(point3), kVectorRoom, array.handle, base, status);
    if (status < 0) {
        array.handle = -1;
        eroutc("get_next_movment, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
        return;
    }
    walk_pieces w;
    read_pieces(from, from_direction, array.handle, w, status);
    if (status >= 0) find_crossings(walk_contour(), w, status);
    if (status < 0) return;
    std::size_t k = 0;
    for (std::size_t i = 0; i < w.points.size(); ++i) {
        for (; i > 0 && k < w.crossings.size() && static_cast<std::size_t>(w.crossings[k].segment) == i; ++k) {
            point3 vector{};
            int blended = 0;
            v3btpn(w.vectors[i - 1].data(), w.vectors[i].data(), static_cast<float>(w.crossings[k].along),
                   vector.data(), blended);
            points.push_back(w.at[k]);
            vectors.push_back(vector);
        }
        points.push_back(w.points[i]);
        vectors.push_back(w.vectors[i]);
    }
}

int pts_differ(const point3& a, const point3& b)
{
    const float sum = std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
    return sum > kWalkSamePoint ? 1 : 0;
}

void seg_z_at_point(const point3& a, const point3& b, point3& q, double& t)
{
    const double dx = static_cast<double>(b[0]) - a[0], dy = static_cast<double>(b[1]) - a[1],
                 dz = static_cast<double>(b[2]) - a[2];
    t = 1.0;
    if (std::fabs(dy) >= std::fabs(dx)) {
        if (nev0dd(dy)) t = (q[1] - a[1]) / dy;
    } else if (nev0dd(dx)) {
        t = (q[0] - a[0]) / dx;
    }
    q[2] = static_cast<float>(t * dz + a[2]);
}

void get_next_movment(point3& current, point3& previous, point3& current_direction, point3& previous_direction,
                      int start_side, int& boundary_block, int& first_flag, int& second_flag, int& type, int& number,
                      int& contour_segment, double& contour_along, int& kind, int& status)
{
    status = 0;
    trim_state& words = trim_words();
    previous = current;
    previous_direction = current_direction;
    LSP2().set_vec(move_writer_state::kLastPoint, current);
    DSP8().set_vec(tool_position_state::kPosition, current);
    trim_read_motion(1, number, type, current.data(), current_direction.data(), status);
    if (status < 0) return;
    if (words.current_feed < 0.0f && words.last_non_feed_block != -1) words.last_non_feed_block = number;
    // The point before the motion: that of the motion before it, or where the walk stood when
    // none lies before it (PRVPNT then answers 1).
    int before_number = 0;
    point3 before_point{}, before_direction{};
    PRVPNT(0, before_point, before_direction, before_number, status);
    if (status < 0) return;
    if (status == 0) {
        previous = before_point;
        previous_direction = before_direction;
    } else {
        before_number = 0;
    }
    vector_array_guard vectors;
    void* base = nullptr;
    status = 0;
    MM_OPEN_ARRAY(sizeof(point3), kVectorRoom, vectors.handle, base, status);
    if (status < 0) {
        vectors.handle = -1;
        eroutc("get_next_movment, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
        return;
    }
    words.vector_array = vectors.handle;
    walk_pieces w;
    read_pieces(previous, previous_direction, vectors.handle, w, status);
    kind = motion_dimension_kind(type);
    const contour_view contour = walk_contour();
    if (status >= 0) find_crossings(contour, w, status);
    if (status < 0) return;
    // A rapid that passes over the contour and back (an even number of crossings between its ends)
    // is left whole during DELETE MOTIONS. Crossings at its ends are no passage: a rapid that
    // leaves the contour or comes onto it is met at them like any motion, its first piece (up to
    // the first passage) deciding a change of side at its start.
    const bool non_feed = words.current_feed < 0.0f;
    const auto passages = std::count_if(w.at.begin(), w.at.end(), [&](const point3& x) {
        return pts_differ(x, previous) != 0 && pts_differ(x, w.end) != 0;
    });
    std::size_t k = 0;
    step_result r{first_flag, 0, number, boundary_block};
    while (k < w.crossings.size() && pts_differ(w.at[k], previous) == 0) ++k;
    if (k > 0 && changes_at_start(contour, w, k, family_of(type), start_side, before_number, r)) {
        current = previous;
        current_direction = previous_direction;
        number = r.number;
        boundary_block = r.boundary;
        second_flag = r.second;
        return;
    }
    if (words.operation == kOperationDelete && non_feed && passages > 0 && passages % 2 == 0) {
        w.crossings.clear();
        k = 0;
    }
    if (k == w.crossings.size()) {
        first_flag = second_flag = 0;
        one_block_on(status);
        return;
    }
    // The crossings after the start in order: a piece along the contour inside the motion and a
    // touch (the same side before and after) change nothing; the first change of side cuts the
    // motion. A motion that runs along the contour to its end is judged by the path after it.
    const family shape = family_of(type);
    const bool inside_start = start_side != 0;
    const int walk = words.walk_direction;
    int before_side = kOnContour, after_side = kOnContour;
    bool along_to_end = false;
    for (; k < w.crossings.size(); ++k) {
        point3 before{}, after{};
        test_points(w, k, before, after);
        before_side = side_of(contour, before);
        after_side = side_of(contour, after);
        if (after_side == kOnContour) after_side = side_after(contour, w, k);
        if (before_side == kOnContour && walk == kInside) before_side = kInside;
        r.first = (before_side == kInside) == inside_start ? 1 : 0;
        if ((!inside_start && walk == kInside) || (inside_start && walk == kOutside)) r.first = 0;
        if (after_side == kOnContour) {
            const bool last_piece = shape == family::string || k + 1 == w.crossings.size() ||
                                    (k + 2 == w.crossings.size() && pts_differ(w.at[k + 1], w.end) == 0);
            if (!last_piece) continue;
            along_to_end = true;
            break;
        }
        r.second = (after_side == kInside) == inside_start ? 1 : 0;
        if (r.first != r.second) break;
    }
    const std::size_t acted = std::min(k, w.crossings.size() - 1);
    contour_segment = w.crossings[acted].contour_segment;
    contour_along = w.crossings[acted].contour_along;
    if (along_to_end) {
        if (shape == family::string) {
            // The run starts after the string's first point.
            BRKSTR(kBreakToFirst, status);
            current = w.points[1];
            current_direction = w.vectors[1];
        }
        if (status >= 0) run_along_contour(contour, start_side, vectors.handle, current, current_direction, r, status);
    } else if (k < w.crossings.size()) {
        cut_motion(contour, type, w, k, previous, previous_direction, current, current_direction, r, status);
    } else if (shape == family::string) {
        BRKSTR(kBreakToFirst, status);
        current = w.points[1];
        current_direction = w.vectors[1];
        if (status >= 0) one_block_on(status);
    } else {
        one_block_on(status);
    }
    first_flag = r.first;
    second_flag = r.second;
    number = r.number;
    boundary_block = r.boundary;
}
