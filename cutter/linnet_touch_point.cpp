// linnet_touch_point (see the header). The move is walked station by station: the cutter (grown
// by the stock) is lowered at each station; the next station lies a step further on, the step
// halved while the cutter's height between the two, checked at stations close enough to tell it
// everywhere, strays from the straight line between them by more than the tolerance, or while
// one of them finds the surfaces and the other does not
// (so a string ends within the smallest step, the tolerance, of where the surfaces end); below the
// smallest a step is halved only while the chord dips into the part. The step starts at half
// the cutter's radius and doubles back after each station. The strings are written into the
// caller's arrays as they grow, so a capacity that runs out leaves the last string open.
#include "cutter/linnet_touch_point.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/stock_cutter.hpp"
#include "cutter/tool_push.hpp"
#include "host/vantu_messages.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFailed = -1;
// The largest step, as a share of the cutter's radius: a surface that the cutter can touch lies
// under it over a stretch of the move of about its diameter.
constexpr double kStepOfRadius = 0.5;
// A step is the smallest when it is within the rounding of its share of the move from it.
constexpr double kStepRounding = 1.0 + 1.0e-9;
// The tool's height is checked at stations between two string points (drop_station_spacing: it
// rises at most half the tolerance above them between two), the string's chord standing at most
// this share of the tolerance below it there, so that it dips no deeper than the tolerance; above
// the tool's height (cutting air) it may stand the whole tolerance.
constexpr double kDipShare = 0.5;
// A contact normal whose z is at most this in size stands upright: it tells no slope of the
// tool's height (a unit vector's component).
constexpr double kUprightNormal = 1.0e-3;
// The smallest step, as a share of the move, when the tolerance sets none.
constexpr double kFinestShare = 1.0 / (1 << 20);

// The smallest steps of a move (lengths): below finest a step is halved only while its chord
// dips into the part, below least never (the touch-point mode's cap on points holds both at
// its own smallest step).
struct step_limits {
    double finest = 0.0;
    double least = 0.0;
};

// The straight line between two string points: its height at distance x along the move from
// the first.
struct chord {
    double start, rise;  // rise per unit along the move
    double at(double x) const { return start + rise * x; }
};

// One station: its parameter along the move and, when the cutter found the surfaces, the tip and
// the contact normal.
struct station {
    double t = 0.0;
    bool found = false;
    float tip[3] = {};
    float normal[3] = {};
};

// The caller's arrays and what has been written into them.
struct touch_strings {
    float* points;
    float* normals;
    float* values;
    int* counts;
    int point_capacity;
    int string_capacity;
    int strings = 0;
    int total = 0;
    bool open = false;  // the last string goes on

    // Appends the station to the open string, or to a new one; false when a capacity ran out.
    bool add(const station& s)
    {
        if (total == point_capacity || (!open && strings == string_capacity)) return false;
        if (!open) {
            counts[strings++] = 0;
            open = true;
        }
        std::copy(s.tip, s.tip + 3, points + 3L * total);
        if (normals != nullptr) std::copy(s.normal, s.normal + 3, normals + 3L * total);
        if (values != nullptr) values[total] = static_cast<float>(s.t);
        ++counts[strings - 1];
        ++total;
        return true;
    }
};

// The walk of one move.
class touch_walk {
public:
    touch_walk(const float* start, const float* end, float tolerance, float stock)
        : start_(start), end_(end), tolerance_(tolerance), stock_(stock),
          length_(std::hypot(static_cast<double>(end[0]) - start[0], static_cast<double>(end[1]) - start[1])),
          spacing_(drop_station_spacing(tolerance, stock))
    {}

    double length() const { return length_; }

    // The cutter lowered at parameter t; false when it could not be lowered.
    bool drop(double t, station& s) const
    {
        const float at[3] = {static_cast<float>(start_[0] + t * (end_[0] - start_[0])),
                             static_cast<float>(start_[1] + t * (end_[1] - start_[1])), start_[2]};
        float contact[3];
        int status = 0;
        s.t = t;
        stock_drop("linnet_touch_point", at, stock_, s.tip, s.normal, contact, status);
        s.found = status == kStockFound;
        return status >= 0;
    }

    // Whether the step from a to b (of length h) must be halved; false when a drop failed too. A
    // step of the smallest length (finest) is halved further, down to `least`, only while its
    // chord dips below the tool's height: where the height rises steeply (at the rim of a hole,
    // over a fold) such a chord would cut the part deeper than the tolerance.
    bool too_long(const station& a, const station& b, double h, const step_limits& limits, bool& failed) const
    {
        if (h <= limits.least * kStepRounding) return false;
        const bool smallest = h <= limits.finest * kStepRounding;
        if (a.found != b.found) return !smallest;
        if (!a.found) return false;
        const double rise = static_cast<double>(b.tip[2]) - a.tip[2];
        const double along = std::hypot(h, rise);
        const int parts = std::max(2, static_cast<int>(std::ceil(along / std::max(spacing_, limits.finest))));
        const chord line{a.tip[2], rise / h};
        station previous = a;
        double previous_at = 0.0;
        for (int k = 1; k <= parts; ++k) {
            const double share = static_cast<double>(k) / parts;
            station between = b;
            if (k < parts && !drop(a.t + share * (b.t - a.t), between)) {
                failed = true;
                return false;
            }
            if (!between.found) {
                if (smallest) continue;
                return true;
            }
            const double at = share * h;
            const double above = between.tip[2] - line.at(at);
            if (above > kDipShare * tolerance_) return true;
            if (!smallest &&
                (-above > tolerance_ || air_between(previous, previous_at, between, at, line) > tolerance_))
                return true;
            previous = between;
            previous_at = at;
        }
        return false;
    }

    // The tool's height rises along the move by this much per unit at s (from its contact normal,
    // which is the normal of the surface the tip runs on); false where the normal stands upright.
    bool slope(const station& s, double& rise) const
    {
        const double n_along = (static_cast<double>(s.normal[0]) * (end_[0] - start_[0]) +
                                static_cast<double>(s.normal[1]) * (end_[1] - start_[1])) /
                               length_;
        if (!(std::fabs(s.normal[2]) > kUprightNormal)) return false;
        rise = -n_along / s.normal[2];
        return true;
    }

    // How far the chord may stand above the tool's height between two checked stations p (at
    // distance x0 along the move from the step's start) and q (at x1): where the height bends
    // upwards between them (a fold, or the contact passing from one face to the next), it runs
    // above the tangents of the two stations, which meet below the chord; 0 where it bends
    // downwards (the dip checks hold that side).
    double air_between(const station& p, double x0, const station& q, double x1, const chord& line) const
    {
        double g0 = 0.0, g1 = 0.0;
        if (!slope(p, g0) || !slope(q, g1) || !(g1 > g0)) return 0.0;
        const double x = (q.tip[2] - p.tip[2] - g1 * x1 + g0 * x0) / (g0 - g1);
        if (!(x > x0 && x < x1)) return 0.0;
        return line.at(x) - (p.tip[2] + g0 * (x - x0));
    }

    // The station after a: the step h (a share of the move) halved while too long; h is left at
    // the step taken. False when a drop failed.
    bool next(const station& a, const step_limits& limits, double& h, station& b) const
    {
        for (;;) {
            const double t = h >= 1.0 - a.t ? 1.0 : a.t + h;
            h = t - a.t;
            bool failed = false;
            if (!drop(t, b)) return false;
            const bool halve = too_long(a, b, h * length_, limits, failed);
            if (failed) return false;
            if (!halve) return true;
            h = std::max(0.5 * h, limits.least / length_);
        }
    }

private:
    const float* start_;
    const float* end_;
    float tolerance_;
    float stock_;
    double length_;
    double spacing_;  // of the stations checked between two string points
};

bool refused(int point_capacity, const float* points, int string_capacity, const int* point_counts)
{
    return point_capacity < 1 || string_capacity < 1 || points == nullptr || point_counts == nullptr;
}

}  // namespace

void linnet_touch_point(int /*context*/, int mode, const float* start, const float* end, float tolerance, float stock,
                        float /*check_stock*/, int point_capacity, float* points, float* normals, float* values,
                        int& string_count, int string_capacity, int* point_counts, int& total, int& status)
{
    string_count = total = 0;
    status = kTouchDone;
    if (!tri_model_held()) return;
    located_cutter cutter{};
    if (refused(point_capacity, points, string_capacity, point_counts)) {
        eroutc("linnet_touch_point, WRONG ARGUMENTS", 0);
        status = kFailed;
        return;
    }
    if (!located_cutter_get("linnet_touch_point", cutter)) {
        status = kFailed;
        return;
    }
    const bool touch_mode = mode == kTouchPointMode;
    touch_strings out{points,
                      normals,
                      values,
                      point_counts,
                      touch_mode ? std::min(point_capacity, kTouchPointsMost) : point_capacity,
                      string_capacity};
    const touch_walk walk(start, end, tolerance, stock);
    const double length = walk.length();
    step_limits limits;
    limits.least = length * kFinestShare;
    limits.finest = std::max(limits.least, static_cast<double>(tolerance));
    // In touch-point mode no step is shorter, so at most kTouchPointsBetween + 1 steps reach the end.
    if (touch_mode) limits.finest = limits.least = std::max(limits.finest, length / kTouchPointsBetween);
    const double widest = std::max(kStepOfRadius * cutter.radius, limits.finest);

    station a;
    bool sound = walk.drop(0.0, a);
    bool room = !sound || !a.found || out.add(a);
    const bool moves = length > kShortestMove;
    double h = moves ? widest / length : 1.0;
    while (sound && room && moves && a.t < 1.0) {
        station b;
        sound = walk.next(a, limits, h, b);
        if (!sound) break;
        if (b.found)
            room = out.add(b);
        else
            out.open = false;
        a = b;
        h = std::min(2.0 * h, widest / length);
    }
    string_count = out.strings;
    total = out.total;
    status = !sound ? kFailed : room ? kTouchDone : kTouchOpen;
}
