// Crossings of a polyline with a closed contour polygon (ind2po) and the angle of a point about a
// centre in a principal plane (angpnt): the motion walk of trimming splits motions with them
// (host/vantu_crossings.hpp).
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_crossings.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct xy {
    double x, y;
};
xy at(const double* points, int i) { return {points[2 * i], points[2 * i + 1]}; }
double cross(xy a, xy b) { return a.x * b.y - a.y * b.x; }
xy minus(xy a, xy b) { return {a.x - b.x, a.y - b.y}; }
double length(xy a) { return std::hypot(a.x, a.y); }

// The contour's points without a closing point that repeats the first one.
int open_count(const double* contour, int count)
{
    const xy first = at(contour, 0), last = at(contour, count - 1);
    return count > 1 && length(minus(first, last)) <= vantu::kDoubleTolerance ? count - 1 : count;
}

// The crossing of segments a-b and c-d, ends within kDoubleTolerance of the other segment
// included; false for parallel segments or segments without length.
bool segment_crossing(xy a, xy b, xy c, xy d, double& t, double& u)
{
    const xy r = minus(b, a), s = minus(d, c);
    const double lr = length(r), ls = length(s);
    if (lr <= vantu::kDoubleTolerance || ls <= vantu::kDoubleTolerance) return false;
    const double denominator = cross(r, s);
    if (std::abs(denominator) <= vantu::kDoubleParallelSine * lr * ls) return false;
    const xy ca = minus(c, a);
    t = cross(ca, s) / denominator;
    u = cross(ca, r) / denominator;
    const double slack_t = vantu::kDoubleTolerance / lr, slack_u = vantu::kDoubleTolerance / ls;
    if (t < -slack_t || t > 1.0 + slack_t || u < -slack_u || u > 1.0 + slack_u) return false;
    t = std::clamp(t, 0.0, 1.0);
    u = std::clamp(u, 0.0, 1.0);
    return true;
}

bool boxes_apart(xy a, xy b, xy c, xy d)
{
    const double slack = vantu::kDoubleTolerance;
    return std::max(a.x, b.x) + slack < std::min(c.x, d.x) || std::max(c.x, d.x) + slack < std::min(a.x, b.x) ||
           std::max(a.y, b.y) + slack < std::min(c.y, d.y) || std::max(c.y, d.y) + slack < std::min(a.y, b.y);
}

}  // namespace

void ind2po(const double* line, int line_count, const double* contour, int contour_count, int room,
            polyline_crossing* crossings, int& count, int& status)
{
    count = 0;
    status = -1;
    if (line != nullptr && contour != nullptr && line_count >= 2 && contour_count >= 3 && room >= 0 &&
        (crossings != nullptr || room == 0)) {
        const int corners = open_count(contour, contour_count);
        std::vector<polyline_crossing> found;
        for (int i = 0; i + 1 < line_count && corners >= 3; ++i) {
            const xy a = at(line, i), b = at(line, i + 1);
            for (int j = 0; j < corners; ++j) {
                const xy c = at(contour, j), d = at(contour, (j + 1) % corners);
                double t = 0.0, u = 0.0;
                if (boxes_apart(a, b, c, d) || !segment_crossing(a, b, c, d, t, u)) continue;
                found.push_back({{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}, i + 1, t, j + 1, u});
            }
        }
        std::sort(found.begin(), found.end(), [](const polyline_crossing& p, const polyline_crossing& q) {
            return p.segment != q.segment ? p.segment < q.segment : p.along < q.along;
        });
        // A crossing at a vertex of either list is met by both segments there: keep it once.
        const auto same = [](const polyline_crossing& p, const polyline_crossing& q) {
            return std::hypot(p.point[0] - q.point[0], p.point[1] - q.point[1]) <= vantu::kDoubleTolerance;
        };
        found.erase(std::unique(found.begin(), found.end(), same), found.end());
        const int most = std::min(room, kInd2poMost);
        count = std::min(static_cast<int>(found.size()), most);
        std::copy_n(found.begin(), count, crossings);
        status = static_cast<int>(found.size()) > most ? 1 : 0;
    }
    vantu::trace_call("ind2po", std::to_string(line_count) + "," + std::to_string(contour_count), status);
}

void angpnt(int plane, const double* centre, const double* point, double& angle, int& status)
{
    angle = 0.0;
    status = -1;
    const int first = plane == kAngpntYZ ? 1 : 0, second = plane == kAngpntXY ? 1 : 2;
    if (plane >= kAngpntXY && plane <= kAngpntYZ) {
        const double u = point[first] - centre[first], v = point[second] - centre[second];
        if (std::hypot(u, v) > vantu::kDoubleTolerance) {
            angle = std::atan2(v, u);
            if (angle < 0.0) angle += 2.0 * std::numbers::pi;
            status = 0;
        }
    }
    vantu::trace_call("angpnt", std::to_string(plane), status);
}
