// Z-level change of single motions (see the header).
#include "edit/trim/motion_z_level.hpp"

#include "edit/editor/list_utilities.hpp"
#include "edit/trim/block_polyline.hpp"
#include "edit/trim/motion_replace.hpp"
#include "edit/trim/nurbs_pieces.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_vector.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr int kFailed = -1, kUnmoved = -2;
constexpr int kHidden = 2;
constexpr int kAdd = 1, kSet = 0;
constexpr int kClearWarningGroup = 317, kClearWarningNumber = 31;
constexpr int kBreakToFirst = 1;
// Vectors of a motion's polyline: the work array starts with this many and grows as needed.
constexpr int kVectorRoom = 50;
constexpr float kRapidFeed = -1.0f, kStoredFeed = -2.0f;

using family = motion_family;

// A rapid (-1.0) or stored-feed (-2.0 or less) motion: not cutting.
bool non_feed(float feed) { return feed == kRapidFeed || feed <= kStoredFeed; }

// The strict crossing test of BLK BELOW Z PLN: one end above the plane, the other below.
bool crosses(float before, float after, float plane)
{
    return (gtval(after, plane) && ltval(before, plane)) || (ltval(after, plane) && gtval(before, plane));
}

float clear_z() { return trim_words().clear + NPT1().real(tp_header_state::kMacsysOrigin + 2); }

// The polyline of the motion at the list position from the point before it.
std::vector<point3> motion_points(const point3& point, const point3& direction, int& status)
{
    int handle = -1, capacity = kVectorRoom, count = 0;
    void* base = nullptr;
    MM_OPEN_ARRAY(sizeof(point3), capacity, handle, base, status);
    if (status < 0) return {};
    point3 end{}, end_vector{};
    tp_arc_block arc;
    float* points = block_polyline(point, direction, handle, capacity, 1, count, end, end_vector, arc, status);
    int closed = 0;
    MM_CLOSE(handle, closed);
    std::vector<point3> out;
    for (int i = 0; points && i < count; ++i) out.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
    DM_FREE(points, 0);
    return out;
}

// Whether the polyline passes from one side of the plane to the other. Points on the plane are
// passed over, so a curve that meets the plane at one of its vertices on the way through still
// crosses it.
bool polyline_crosses(const std::vector<point3>& points, float plane)
{
    int side = 0;
    for (const point3& p : points) {
        const int here = gtval(p[2], plane) ? 1 : ltval(p[2], plane) ? -1 : 0;
        if (here != 0 && side != 0 && here != side) return true;
        if (here != 0) side = here;
    }
    return false;
}

// One block on; at the list's last block the list stays there (the motion was done).
void one_block_on(int& status)
{
    tp_list_jump(1, status);
    if (status > 0 || status == kUnmoved) status = 0;
}

// The line rule of BLK BELOW Z PLN.
void line_below_plane(const point3& end, const point3& end_direction, const point3& point, const point3& direction,
                      int type, int dimension, float plane, int& split, int& number, float& end_z, int& status)
{
    if (!crosses(point[2], end[2], plane)) {
        if (gtval(plane, end[2])) {
            const float lift = non_feed(trim_words().current_feed) ? trim_words().del_z_up : 0.0f;
            end_z = plane + lift;
            set_motion_z(kSet, end_z, status);
        }
        if (status >= 0) one_block_on(status);
        return;
    }
    point3 crossing{0.0f, 0.0f, plane}, crossing_direction{};
    float t = 1.0f;
    plane_crossing_point(point, end, crossing, t);
    int blend = 0;
    v3btpn(direction.data(), end_direction.data(), t, crossing_direction.data(), blend);
    LSP2().set_vec(move_writer_state::kLastPoint, point);
    split_motion_at_plane(end, end_direction, crossing, crossing_direction, plane, type, dimension, status);
    if (status < 0) return;
    split = 1;
    if (gtval(plane, end_z)) end_z = plane;
    get_tp_blkno(number);
    --number;
}

// A NURBS move crossing the plane: cut at its first passage into two NURBS moves, both made
// before the block is deleted. The list ends on the second piece, which the walk meets next, and
// the point becomes the cut. False when the curve does not pass the plane after all.
bool split_nurbs_at_plane(float plane, point3& point, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    nurbs_curve curve;
    if (status >= 0) nurbs_read_curve(size, curve, status);
    double t = 0.0, cut[3] = {};
    int found = kFailed;
    if (status >= 0) FIND_PNT_ON_SPLINE_BY_Z(curve, plane, curve.t0, curve.t1, t, cut, found);
    nurbs_piece first, second;
    if (found == 0) nurbs_make_piece(curve, curve.t0, t, first, status);
    if (found == 0 && status >= 0) nurbs_make_piece(curve, t, curve.t1, second, status);
    nurbs_release(curve);
    if (status < 0 || found != 0) return false;
    LSP2().set_vec(move_writer_state::kLastPoint, point);
    replace_by_two([&](int& s) { nurbs_write_piece(first, s); }, [&](int& s) { nurbs_write_piece(second, s); }, status);
    point = {static_cast<float>(cut[0]), static_cast<float>(cut[1]), static_cast<float>(cut[2])};
    return true;
}

// The NURBS and string rule of BLK BELOW Z PLN: the whole motion goes to the plane when it ends
// at or below it; a string crossing the plane is broken for the line rule, a NURBS move cut at it.
void curve_below_plane(const point3& end, point3& point, const point3& direction, family kind, float plane,
                       bool& broken, float& end_z, int& status)
{
    const std::vector<point3> points = motion_points(point, direction, status);
    if (status < 0) return;
    if (polyline_crosses(points, plane)) {
        if (kind == family::string) BRKSTR(kBreakToFirst, status);
        broken = kind == family::string || split_nurbs_at_plane(plane, point, status);
        if (broken || status < 0) return;
    }
    if (geval(plane, end[2])) {
        end_z = plane;
        set_motion_z(kSet, plane, status);
    }
    if (status >= 0) one_block_on(status);
}

void below_plane(const point3& end, const point3& end_direction, point3& point, const point3& direction, int type,
                 int dimension, float plane, int& split, int& number, bool& broken, float& end_z, int& status)
{
    switch (motion_family_of(type)) {
    case family::line:
        line_below_plane(end, end_direction, point, direction, type, dimension, plane, split, number, end_z, status);
        return;
    case family::arc: {
        tp_arc_block arc;
        tpread_arc(kWhereList, type, arc, status);
        if (status >= 0 && arc.plane == 1 && gtval(plane, end[2])) {
            end_z = plane;
            set_motion_z(kSet, plane, status);
        }
        break;
    }
    case family::nurbs:
    case family::string:
        curve_below_plane(end, point, direction, motion_family_of(type), plane, broken, end_z, status);
        return;
    case family::other: break;
    }
    if (status >= 0) one_block_on(status);
}

// MOVE BY DELTA Z: the increment stops at clear Z.
void move_by_delta_z(const point3& end, float& end_z, int& status)
{
    trim_state& words = trim_words();
    float increment = words.delta_z;
    if (end[2] + increment > clear_z()) {
        increment = clear_z() - end[2];
        if (words.clear_warning != 0) {
            msg_mdls(kClearWarningGroup, kClearWarningNumber);
            words.clear_warning = 0;
        }
    }
    end_z = end[2] + increment;
    set_motion_z(kAdd, increment, status);
    if (status >= 0) one_block_on(status);
}

// Reads the body of the block at the list position (the words behind its type word).
std::vector<word> block_body(int size, int& status)
{
    std::vector<word> body(static_cast<std::size_t>(size > 1 ? size - 1 : 0));
    if (!body.empty()) tpget(kWhereList, static_cast<int>(body.size()), kTypeInteger, body.data(), status);
    return body;
}

// Indices (in the body) of the Z words a rewrite changes.
std::vector<std::size_t> z_words(int type, const std::vector<word>& body)
{
    std::vector<std::size_t> at;
    switch (motion_family_of(type)) {
    case family::line: at = {3}; break;
    case family::arc:
        if (body.size() > 1 && body[1] != 1) at.push_back(5);
        at.push_back(8);
        break;
    case family::string: {
        const std::size_t group = type == 7 ? 4 : 7;
        for (std::size_t i = 3; i < body.size(); i += group) at.push_back(i);
        break;
    }
    case family::nurbs: {
        const int n = body.size() > 2 ? body[2] : 0;
        for (int i = 0; i < n; ++i) at.push_back(6 + 4 * static_cast<std::size_t>(i));
        break;
    }
    case family::other: break;
    }
    return at;
}

}  // namespace

void plane_crossing_point(const point3& p1, const point3& p2, point3& p3, float& t)
{
    if (p1[2] != p2[2]) {
        const float fraction = (p1[2] - p3[2]) / (p1[2] - p2[2]);
        p3[0] = p1[0] - fraction * (p1[0] - p2[0]);
        p3[1] = p1[1] - fraction * (p1[1] - p2[1]);
    }
    const double dx = static_cast<double>(p2[0]) - p1[0], dy = static_cast<double>(p2[1]) - p1[1];
    t = 1.0f;
    if (std::fabs(dx) <= std::fabs(dy) && nev0dd(dy))
        t = static_cast<float>((p3[1] - p1[1]) / dy);
    else if (std::fabs(dx) > std::fabs(dy) && nev0dd(dx))
        t = static_cast<float>((p3[0] - p1[0]) / dx);
}

void rewrite_motion_z(int add, int type, int size, float value, int& status)
{
    status = 0;
    std::vector<word> body = block_body(size, status);
    if (status < 0) return;
    const std::vector<std::size_t> at = z_words(type, body);
    if (at.empty()) return;
    for (std::size_t i : at) {
        if (i >= body.size()) {
            status = kFailed;
            return;
        }
        body[i] = real_to_word(add == kAdd ? word_to_real(body[i]) + value : value);
    }
    TPSKIP(kWhereList, -static_cast<int>(body.size()), status);
    if (status >= 0) TPCHNG(static_cast<int>(body.size()), kTypeInteger, body.data(), status);
    if (status > 0) status = 0;
}

void set_motion_z(int add, float value, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0) rewrite_motion_z(add, type, size, value, status);
}

void split_motion_at_plane(const point3& end, const point3& end_direction, const point3& crossing,
                           const point3& crossing_direction, float z_plane, int type, int dimension, int& status)
{
    if (status < 0) return;
    if (motion_family_of(type) == family::string) {
        BRKSTR(kBreakToFirst, status);
        return;
    }
    point3 last = end;
    if (gtval(z_plane, last[2])) last[2] = z_plane;
    replace_by_two([&](int& s) { PLINE(dimension, crossing, crossing_direction, kHidden, s); },
                   [&](int& s) { PLINE(dimension, last, end_direction, kHidden, s); }, status);
}

void move_motion_to_plane(const point3& end, const point3& end_direction, point3& point, point3& direction, int mode,
                          int dimension, float z_plane, int& split, int& number, int& status)
{
    status = 0;
    split = 0;
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status < 0) return;
    bool broken = false;
    float end_z = end[2];
    if (mode == kMoveByDeltaZ)
        move_by_delta_z(end, end_z, status);
    else if (mode == kAllOnPlane) {
        const float lift = non_feed(trim_words().current_feed) ? kNonFeedPlaneLift : 0.0f;
        if (motion_family_of(type) != family::other) end_z = z_plane + lift;
        rewrite_motion_z(kSet, type, size, z_plane + lift, status);
        if (status >= 0) one_block_on(status);
    } else
        below_plane(end, end_direction, point, direction, type, dimension, z_plane, split, number, broken, end_z,
                    status);
    if (status < 0 || broken) return;
    point = end;
    point[2] = end_z;
    direction = end_direction;
}
