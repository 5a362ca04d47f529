// TIMEBLK and its geometry helpers (see the header): parameters change the rate in force, motions
// are timed at it.
#include "edit/time/timeblk.hpp"

#include "host/vantu.hpp"
#include "host/vantu_nurbs_length.hpp"
#include "listing/read_spline.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kFeedParam = 1, kRapidFeedParam = 59, kToolParam = 100;
constexpr float kFastCode = -1.0f, kMaxFeedCode = -2.0f;
constexpr int kPlaneXY = 1, kPlaneXZ = 2;
// NURBS motions are measured to a thousandth of the length unit: at the slowest feeds that is
// well below a millisecond, so it never shows in a time given in seconds.
constexpr double kNurbsLengthTolerance = 1.0e-3;

struct block_cost {
    int where = kWhereList;
    int type = 0;
    int size = 0;
    double& time;
    double& milling_length;
    float& min_z;
};

// A FEED (fast_code: -1 is the fast rate) or RAP.FEED value: -2 the max-feed rate, below -2 a new
// max-feed rate, above 0 a feed rate. A FEED starts as feed at the last feed and a RAP.FEED as
// max-feed, so that a value that is no rate (0, another negative value, not a number) leaves the
// motions after it at that rate rather than at whatever went before (a rapid): the value is kept
// for the report's warning.
void set_rate(timeblk_state& s, float v, bool fast_code, int block_number, int prmtyp)
{
    s.kind = fast_code ? kTimeFeed : kTimeMaxFeed;
    s.rate = fast_code ? s.last_feed : s.max_feed;
    if (fast_code && eqval(v, kFastCode)) {
        s.kind = kTimeFast;
        s.rate = s.rapid;
    } else if (eqval(v, kMaxFeedCode)) {
        s.kind = kTimeMaxFeed;
        s.rate = s.max_feed;
    } else if (v < kMaxFeedCode && std::isfinite(v)) {
        s.kind = kTimeMaxFeed;
        s.max_feed = s.rate = -v;
    } else if (v > 0.0f && std::isfinite(v)) {
        s.kind = kTimeFeed;
        s.last_feed = s.rate = v;
    } else {
        s.refused = {block_number, prmtyp, v};
    }
}

int parameter(const block_cost& c, int& number, int& tool_id, int& status)
{
    tp_param_block b;
    tpread_param(c.where, b, status);
    number = b.number;
    if (status < 0) return kTimeNothing;
    timeblk_state& s = timeblk_rates();
    switch (b.prmtyp) {
    case kFeedParam: set_rate(s, b.real_value, true, b.number, b.prmtyp); break;
    case kRapidFeedParam: set_rate(s, b.real_value, false, b.number, b.prmtyp); break;
    case kToolParam:
        tool_id = b.int_value;
        if (!s.first_tool) return kTimeToolChange;
        s.first_tool = 0;
        return kTimeFirstTool;
    default: break;
    }
    return kTimeNothing;
}

// The time of a motion of that length at the rate in force; a feed motion adds to the milling
// length.
void add_motion(const block_cost& c, double length)
{
    timeblk_state& s = timeblk_rates();
    c.time += length / s.rate;
    if (s.kind == kTimeFeed) c.milling_length += length;
}

// One point of a line or string: the first point after a reset only sets the position (false).
bool straight_to(const block_cost& c, const point3& point)
{
    timeblk_state& s = timeblk_rates();
    const bool timed = !s.first_position;
    if (s.first_position) {
        s.first_position = 0;
    } else {
        float length = 0.0f;
        pt3_dist(s.last.data(), point.data(), length);
        add_motion(c, length);
        c.min_z = std::min({c.min_z, point[2], s.last[2]});
    }
    pt3_copy(point.data(), s.last.data());
    return timed;
}

int lines(const block_cost& c, int& number, int& status)
{
    tp_line_point p;
    tpread_lines(c.where, c.type, c.size, p, status);
    number = p.number;
    if (status < 0) return kTimeNothing;
    const bool string = c.type == 7 || c.type == 27 || c.type == 227;
    const int count = string ? std::clamp(p.points, 1, std::max(c.size, 1)) : 1;
    bool timed = false;
    for (int i = 0; i < count; ++i) {
        if (i > 0) tpread_lines(c.where, c.type, c.size, p, status);
        if (status < 0) return kTimeNothing;
        timed = straight_to(c, p.point) || timed;
    }
    return timed ? timeblk_rates().kind : kTimeNothing;
}

int arc(const block_cost& c, int& number, int& status)
{
    tp_arc_block b;
    tpread_arc(c.where, c.type, b, status);
    number = b.number;
    if (status < 0) return kTimeNothing;
    const float c1 = b.centre[0], c2 = b.centre[1];
    point3 centre{c1, c2, b.end[2]};
    if (b.plane == kPlaneXY) {
        c.min_z = std::min(c.min_z, b.end[2]);
    } else {
        const bool xz = b.plane == kPlaneXZ;
        centre = xz ? point3{c1, b.end[1], c2} : point3{b.end[0], c1, c2};
        const float end[2] = {xz ? b.end[0] : b.end[1], b.end[2]};
        arc_min_z(b.centre.data(), end, b.angle, c.min_z);
    }
    float radius = 0.0f;
    pt3_dist(b.end.data(), centre.data(), radius);
    add_motion(c, std::abs(static_cast<double>(radius) * b.angle));
    pt3_copy(b.end.data(), timeblk_rates().last.data());
    return timeblk_rates().kind;
}

int nurbs(const block_cost& c, int& number, int& status)
{
    spline_words s;
    read_spline(c.where, s, number, status);
    if (status < 0) return kTimeNothing;
    const std::vector<double> knots(s.knots.begin(), s.knots.end()), points(s.points.begin(), s.points.end());
    double length = 0.0;
    nb_lng(nurbs_record{s.order, s.count, knots.data(), points.data()}, kNurbsLengthTolerance, length, status);
    if (status < 0) return kTimeNothing;
    add_motion(c, std::abs(length));
    pt3_copy(s.points.data() + 3 * (s.count - 1), timeblk_rates().last.data());
    return timeblk_rates().kind;
}

int home(const block_cost& c, int& number, int& status)
{
    tp_home_block b;
    tpread_home(c.where, b, status);
    number = b.number;
    if (status < 0) return kTimeNothing;
    pt3_copy(b.first.data(), timeblk_rates().last.data());
    pt3_copy(b.second.data(), timeblk_rates().home.data());
    return kTimeNothing;
}

int by_type(const block_cost& c, int& number, int& tool_id, int& status)
{
    switch (c.type) {
    case 1: return parameter(c, number, tool_id, status);
    case 2:
    case 22:
    case 222:
    case 7:
    case 27:
    case 227: return lines(c, number, status);
    case 3:
    case 23:
    case 223: return arc(c, number, status);
    case 5:
    case 25:
    case 225: return nurbs(c, number, status);
    case 6: return home(c, number, status);
    default:
        if (c.where == kWhereEntity) TPSKIP(kWhereEntity, c.size - 1, status);
        return kTimeNothing;
    }
}

}  // namespace

timeblk_state& timeblk_rates()
{
    static timeblk_state state;
    return state;
}

void pt3_copy(const float* source, float* target) { std::copy_n(source, 3, target); }

void pt3_dist(const float* a, const float* b, float& distance)
{
    const double dx = double(b[0]) - a[0], dy = double(b[1]) - a[1], dz = double(b[2]) - a[2];
    distance = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void arc_min_z(const float* centre, const float* end, float angle, float& min_z)
{
    const double dh = double(end[0]) - centre[0], dz = double(end[1]) - centre[1];
    const double radius = std::hypot(dh, dz);
    const double end_angle = std::atan2(dz, dh), start_angle = end_angle - angle;
    const double start_z = centre[1] + radius * std::sin(start_angle);
    // The sweep from the start reaches the circle's bottom (-pi/2) after `to_bottom` radians.
    constexpr double kTurn = 2.0 * std::numbers::pi;
    const double towards = angle >= 0.0f ? -0.5 * std::numbers::pi - start_angle : start_angle + 0.5 * std::numbers::pi;
    const double to_bottom = towards - kTurn * std::floor(towards / kTurn);
    double lowest = std::min(start_z, double(end[1]));
    if (to_bottom <= std::abs(double(angle))) lowest = centre[1] - radius;
    min_z = std::min(min_z, static_cast<float>(lowest));
}

int TIMEBLK(int where, int& block_number, double& time, int& tool_id, double& milling_length, float& min_z, int& status)
{
    status = 0;
    if (time == kTimeReset) {
        timeblk_rates() = timeblk_state{};
        tool_id = -1;
    }
    time = 0.0;
    block_cost c{where, 0, 0, time, milling_length, min_z};
    int block_class = 0;
    tp_block_head_read(where, c.size, c.type, block_class, status);
    int kind = kTimeNothing;
    if (status >= 0) kind = by_type(c, block_number, tool_id, status);
    if (status >= 0) return kind;
    erou1c("TIMEBLK - ERROR IN BLOCK. BTYPE =", c.type);
    return kTimeNothing;
}
