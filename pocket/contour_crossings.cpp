// The crossing check of the pocket's contours. Each gathered contour becomes a polygon (chords
// within the contour tolerance); one sweep over the pieces of all polygons, sorted by their
// smallest x, finds the pieces that meet: non-neighbouring pieces of one contour that touch make
// it cross itself; pieces of two contours that cross, or that touch where one contour lies partly
// inside and partly outside the other, make the two cross. Islands of one region may overlap
// (the lane engine takes them together); every other crossing is refused.
#include "pocket/contour_crossings.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "nc_services/msg_window.hpp"
#include "pocket/contour_polygon.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
// Points of one contour closer than this are one point, and two pieces of it that are not
// neighbours touch when they come this near: the host's single-precision tolerance, the scale
// of the float points of the host's polygons.
constexpr double kSelfContact = vantu::kRealTolerance;

struct point {
    double x = 0.0, y = 0.0;
};
using polygon = std::vector<point>;

// One piece (segment) of a contour polygon, from corner `index` to the next.
struct piece {
    point a, b;
    int contour = 0;  // from 0
    int index = 0;
    double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
};

using contour_pair = std::pair<int, int>;  // the lower contour first

struct findings {
    std::set<int> itself;             // contours crossing themselves
    std::set<contour_pair> crossing;  // pairs whose boundaries cross
    std::set<contour_pair> touching;  // pairs whose pieces meet without crossing
};

double distance(point p, point q) { return std::hypot(p.x - q.x, p.y - q.y); }

// The polygon of one record without repeated points (the closing point included).
polygon polygon_of(const int* record, float tolerance, std::vector<float>& scratch)
{
    const int count = contour_polygon(record, tolerance, scratch);
    polygon p;
    for (int i = 0; i < count; ++i) {
        const point q{scratch[2 * static_cast<std::size_t>(i)], scratch[2 * static_cast<std::size_t>(i) + 1]};
        if (p.empty() || distance(q, p.back()) > kSelfContact) p.push_back(q);
    }
    while (p.size() > 1 && distance(p.front(), p.back()) <= kSelfContact) p.pop_back();
    return p;
}

std::vector<polygon> gathered_polygons(float tolerance)
{
    const contour_table& t = contour_table_block;
    std::vector<polygon> polygons;
    std::vector<float> scratch;
    int entry = 1;
    for (int j = 1; j <= std::clamp(t.gathered_count, 0, kMaxContours); ++j) {
        const int* record = buffer_entry(contour_buffers_block.gathered, entry);
        const int length = record ? record_length(record) : 0;
        if (length < 1) break;
        polygons.push_back(polygon_of(record, tolerance, scratch));
        entry += length;
    }
    return polygons;
}

// Twice the signed area of the triangle o, a, b: positive when b lies left of o to a.
double turn(point o, point a, point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

double point_piece_distance(point p, point a, point b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
    const double t = length > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Whether p and q lie farther than the tolerance on opposite sides of the line through a and b.
bool opposite_sides(point a, point b, point p, point q, double tolerance)
{
    const double length = distance(a, b);
    if (length <= 0.0) return false;
    const double dp = turn(a, b, p) / length, dq = turn(a, b, q) / length;
    return (dp > tolerance && dq < -tolerance) || (dp < -tolerance && dq > tolerance);
}

// Whether two pieces cross at a point inside both, each one's ends beyond the tolerance on
// either side of the other.
bool cross_properly(const piece& s, const piece& t, double tolerance)
{
    return opposite_sides(s.a, s.b, t.a, t.b, tolerance) && opposite_sides(t.a, t.b, s.a, s.b, tolerance);
}

double piece_distance(const piece& s, const piece& t)
{
    if (cross_properly(s, t, 0.0)) return 0.0;
    return std::min({point_piece_distance(s.a, t.a, t.b), point_piece_distance(s.b, t.a, t.b),
                     point_piece_distance(t.a, s.a, s.b), point_piece_distance(t.b, s.a, s.b)});
}

std::vector<piece> pieces_of(const std::vector<polygon>& polygons)
{
    std::vector<piece> pieces;
    for (std::size_t c = 0; c < polygons.size(); ++c) {
        const polygon& p = polygons[c];
        if (p.size() < 3) continue;  // no loop: the lane engine refuses it with its own message
        for (std::size_t i = 0; i < p.size(); ++i) {
            const point a = p[i], b = p[(i + 1) % p.size()];
            pieces.push_back({a, b, static_cast<int>(c), static_cast<int>(i), std::min(a.x, b.x), std::max(a.x, b.x),
                              std::min(a.y, b.y), std::max(a.y, b.y)});
        }
    }
    std::sort(pieces.begin(), pieces.end(), [](const piece& s, const piece& t) { return s.xmin < t.xmin; });
    return pieces;
}

bool neighbours(const piece& s, const piece& t, std::size_t corners)
{
    const auto apart = static_cast<std::size_t>(std::abs(s.index - t.index));
    return apart == 1 || apart + 1 == corners;
}

// What two pieces that come near each other tell.
void pieces_meet(const piece& s, const piece& t, const std::vector<polygon>& polygons, double tolerance, findings& f)
{
    if (s.contour == t.contour) {
        if (neighbours(s, t, polygons[static_cast<std::size_t>(s.contour)].size())) return;
        if (piece_distance(s, t) <= kSelfContact) f.itself.insert(s.contour);
        return;
    }
    const contour_pair pair = std::minmax(s.contour, t.contour);
    if (f.crossing.count(pair) != 0) return;
    if (cross_properly(s, t, tolerance))
        f.crossing.insert(pair);
    else if (piece_distance(s, t) <= tolerance)
        f.touching.insert(pair);
}

findings sweep(const std::vector<polygon>& polygons, double tolerance)
{
    findings f;
    const std::vector<piece> pieces = pieces_of(polygons);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const piece& s = pieces[i];
        for (std::size_t j = i + 1; j < pieces.size() && pieces[j].xmin <= s.xmax + tolerance; ++j) {
            const piece& t = pieces[j];
            if (t.ymin > s.ymax + tolerance || s.ymin > t.ymax + tolerance) continue;
            pieces_meet(s, t, polygons, tolerance, f);
        }
    }
    return f;
}

bool inside(point p, const polygon& poly)
{
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const point a = poly[i], b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
    }
    return in;
}

double boundary_distance(point p, const polygon& poly)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < poly.size(); ++i)
        nearest = std::min(nearest, point_piece_distance(p, poly[i], poly[(i + 1) % poly.size()]));
    return nearest;
}

// Corners and piece middles of a that lie beyond the tolerance inside and outside b.
struct sides {
    int inside = 0, outside = 0;
};
sides sides_of(const polygon& a, const polygon& b, double tolerance)
{
    sides s;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const point next = a[(i + 1) % a.size()];
        for (const point p : {a[i], point{0.5 * (a[i].x + next.x), 0.5 * (a[i].y + next.y)}}) {
            if (boundary_distance(p, b) <= tolerance) continue;
            (inside(p, b) ? s.inside : s.outside) += 1;
        }
    }
    return s;
}

bool partly_inside(const polygon& a, const polygon& b, double tolerance)
{
    const sides s = sides_of(a, b, tolerance);
    return s.inside > 0 && s.outside > 0;
}

// The contours that hold contour c wholly (none of its points beyond the tolerance outside),
// worked out once per contour.
const std::set<int>& holders(int c, const std::vector<polygon>& polygons, const findings& f, double tolerance,
                             std::map<int, std::set<int>>& known)
{
    const auto found = known.find(c);
    if (found != known.end()) return found->second;
    std::set<int>& held_by = known[c];
    for (int other = 0; other < static_cast<int>(polygons.size()); ++other) {
        const polygon& holder = polygons[static_cast<std::size_t>(other)];
        if (other == c || holder.size() < 3 || f.crossing.count(std::minmax(c, other)) != 0) continue;
        if (sides_of(polygons[static_cast<std::size_t>(c)], holder, tolerance).outside == 0) held_by.insert(other);
    }
    return held_by;
}

// Islands of one region (held by the same contours, an odd number of them) may overlap: the
// lane engine takes them together.
bool islands_of_one_region(const contour_pair& pair, const std::vector<polygon>& polygons, const findings& f,
                           double tolerance, std::map<int, std::set<int>>& known)
{
    const std::set<int>& first = holders(pair.first, polygons, f, tolerance, known);
    return first.size() % 2 == 1 && first == holders(pair.second, polygons, f, tolerance, known);
}

void report(const std::string& text) { msg_window(kMsgWindowAdd, kMsgError, static_cast<int>(text.size()), text); }

}  // namespace

void contour_crossings_check(int& status)
{
    status = kGoOn;
    const float tolerance = std::max(drelan_params_current.real(drelan_params::kTolerance), vantu::kRealTolerance);
    const std::vector<polygon> polygons = gathered_polygons(tolerance);
    findings f = sweep(polygons, tolerance);
    for (const contour_pair& pair : f.touching) {
        const polygon& a = polygons[static_cast<std::size_t>(pair.first)];
        const polygon& b = polygons[static_cast<std::size_t>(pair.second)];
        if (partly_inside(a, b, tolerance) || partly_inside(b, a, tolerance)) f.crossing.insert(pair);
    }
    for (const int c : f.itself) {
        report("CONTOUR " + std::to_string(c + 1) + " CROSSES ITSELF");
        status = kFailed;
    }
    std::map<int, std::set<int>> known;
    for (const contour_pair& pair : f.crossing) {
        if (islands_of_one_region(pair, polygons, f, tolerance, known)) continue;
        report("CONTOURS " + std::to_string(pair.first + 1) + " AND " + std::to_string(pair.second + 1) +
               " CROSS EACH OTHER");
        status = kFailed;
    }
}
