// Whether a closed planar loop of lines plainly does not cross itself. The loop removal calls
// loop_plainly_simple() before its self search: the checks here are far from the search's
// tolerances, so a loop they pass is one the search would find no crossing on.
#include "pocket_arrays/loop_plain.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

namespace {

// The clearance between elements: a hundred times the engine's point and value tolerance
// (1e-6), and five times the stretch of 2e-6 of an element's length with which the search's
// intersections still count a point beyond an end as lying at it.
constexpr double kPlainClearance = 1.0e-4;
constexpr double kPlainClearancePerLength = 1.0e-5;
// Neighbours nearer parallel than this sine are left to the search: its near-parallel rule
// starts at a sine of 8e-5.
constexpr double kPlainNeighbourSine = 1.0e-2;
// Band places and pairs of elements whose boxes come near each other, per element, before the
// answer is left to the search: a loop whose elements crowd each other (or one far longer than
// the rest) is one the search may as well walk.
constexpr int kPlainNearPairsPerElement = 8;
constexpr int kPlainNearPairsFloor = 16;
// Loops of up to this many elements (the offsets of plain pockets) are checked pair by pair from
// an array on the stack: setting up the bands would cost more than all their pairs.
constexpr int kPlainFewElements = 16;

struct segment {
    double sx, sy, ex, ey, length;
};

double squared_distance_to(const segment& s, double px, double py)
{
    const double dx = s.ex - s.sx, dy = s.ey - s.sy;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - s.sx) * dx + (py - s.sy) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = s.sx + t * dx - px, qy = s.sy + t * dy - py;
    return qx * qx + qy * qy;
}

double orientation(const segment& s, double px, double py)
{
    return (s.ex - s.sx) * (py - s.sy) - (s.ey - s.sy) * (px - s.sx);
}

// Whether two segments that share no vertex lie farther apart than the clearance: they do not
// both straddle each other's line (a zero counts as straddling), so they cannot cross, and every
// end lies beyond the clearance from the other segment.
bool apart(const segment& a, const segment& b, double clearance2)
{
    const double o1 = orientation(a, b.sx, b.sy), o2 = orientation(a, b.ex, b.ey);
    const double o3 = orientation(b, a.sx, a.sy), o4 = orientation(b, a.ex, a.ey);
    if (!(o1 * o2 > 0.0) && !(o3 * o4 > 0.0)) return false;
    return squared_distance_to(b, a.sx, a.sy) > clearance2 && squared_distance_to(b, a.ex, a.ey) > clearance2 &&
           squared_distance_to(a, b.sx, b.sy) > clearance2 && squared_distance_to(a, b.ex, b.ey) > clearance2;
}

// Whether neighbours a and b (a ends where b starts, both longer than the clearance) meet only at
// their shared vertex: at a clear angle, each far end beyond the clearance from the other.
bool neighbours_plain(const segment& a, const segment& b, double clearance2)
{
    const double ax = a.ex - a.sx, ay = a.ey - a.sy, bx = b.ex - b.sx, by = b.ey - b.sy;
    const double sine = (ax * by - ay * bx) / (a.length * b.length);
    if (!(std::fabs(sine) > kPlainNeighbourSine)) return false;
    // Turning by at most a right angle, each element's nearest point to the other's far end is
    // the shared vertex, as far from that end as the other element is long.
    if (ax * bx + ay * by >= 0.0) return true;
    return squared_distance_to(b, a.sx, a.sy) > clearance2 && squared_distance_to(a, b.ex, b.ey) > clearance2;
}

// Whether the loop is a closed finite loop of lines. Most loops that are not hold an arc record
// early on: the scan reads the entries only, so that such a loop costs the check next to nothing.
bool closed_lines(const pokarr& loop)
{
    const int n = loop.count;
    if (loop.dimension != 2 || loop.x == nullptr || loop.y == nullptr || n < 4) return false;
    if (loop.x[0] != loop.x[n - 1] || loop.y[0] != loop.y[n - 1]) return false;
    for (int k = 1; k < n; ++k)
        if (pk_is_marker(loop.x[k]) || !std::isfinite(loop.x[k]) || !std::isfinite(loop.y[k])) return false;
    return true;
}

// The elements of a closed loop of lines as segments (element k of the loop at k - 1); answers
// the longest length.
double segments_of(const pokarr& loop, std::span<segment> out)
{
    double longest = 0.0;
    for (int k = 1; k < loop.count; ++k) {
        const double dx = loop.x[k] - loop.x[k - 1], dy = loop.y[k] - loop.y[k - 1];
        segment& e = out[static_cast<std::size_t>(k - 1)];
        e = {loop.x[k - 1], loop.y[k - 1], loop.x[k], loop.y[k], std::sqrt(dx * dx + dy * dy)};
        longest = std::max(longest, e.length);
    }
    return longest;
}

// An element's box and the first and last bands it reaches (its box widened by the clearance).
struct element_box {
    double xmin, xmax, ymin, ymax;
    int first_band, last_band;
};

// An element's place in a band, ordered by band and then by the left end of its box.
struct band_entry {
    int band, element;
    double xmin;
};

// Work arrays kept from call to call: the check runs once per offset.
struct plain_scratch {
    std::vector<segment> segments;
    std::vector<element_box> boxes;
    std::vector<band_entry> entries;
};

plain_scratch& scratch()
{
    static plain_scratch kept;
    return kept;
}

// Every element longer than the clearance, each two neighbours meeting plainly.
bool elements_plain(std::span<const segment> s, double clearance)
{
    const std::size_t m = s.size();
    for (std::size_t i = 0; i < m; ++i) {
        const segment& e = s[i];
        if (!(e.length > clearance)) return false;
        if (!neighbours_plain(e, s[(i + 1) % m], clearance * clearance)) return false;
    }
    return true;
}

// Whether the boxes of two segments come within the clearance of each other.
bool boxes_near(const segment& a, const segment& b, double clearance)
{
    return std::min(b.sx, b.ex) <= std::max(a.sx, a.ex) + clearance &&
           std::min(a.sx, a.ex) <= std::max(b.sx, b.ex) + clearance &&
           std::min(b.sy, b.ey) <= std::max(a.sy, a.ey) + clearance &&
           std::min(a.sy, a.ey) <= std::max(b.sy, b.ey) + clearance;
}

// Whether every two elements of a small loop that are not neighbours lie apart.
bool few_pairs_apart(std::span<const segment> s, double clearance)
{
    const std::size_t m = s.size();
    for (std::size_t i = 0; i + 2 < m; ++i)
        for (std::size_t j = i + 2; j < m && !(i == 0 && j == m - 1); ++j)
            if (boxes_near(s[i], s[j], clearance) && !apart(s[i], s[j], clearance * clearance)) return false;
    return true;
}

// The elements in horizontal bands about as high as an element is long on average, each listed in
// every band its widened box reaches, ordered within a band by the left ends of their boxes. False
// when the listing would outgrow the bound (elements far longer than the average).
bool list_in_bands(plain_scratch& w, double clearance, int bound)
{
    const std::vector<segment>& s = w.segments;
    const int m = static_cast<int>(s.size());
    double low = s[0].sy, high = s[0].sy, length = 0.0;
    for (const segment& e : s) {
        low = std::min(low, std::min(e.sy, e.ey)), high = std::max(high, std::max(e.sy, e.ey));
        length += e.length;
    }
    const double height = std::max(length, high - low) / m;
    const auto band_of = [&](double y) {
        return static_cast<int>(std::clamp(std::floor((y - low) / height), 0.0, static_cast<double>(m - 1)));
    };
    w.boxes.resize(s.size());
    w.entries.clear();
    for (int i = 0; i < m; ++i) {
        const segment& e = s[static_cast<std::size_t>(i)];
        element_box& b = w.boxes[static_cast<std::size_t>(i)];
        b = {std::min(e.sx, e.ex), std::max(e.sx, e.ex), std::min(e.sy, e.ey), std::max(e.sy, e.ey), 0, 0};
        b.first_band = band_of(b.ymin - clearance), b.last_band = band_of(b.ymax + clearance);
        if (static_cast<int>(w.entries.size()) + b.last_band - b.first_band >= bound) return false;
        for (int band = b.first_band; band <= b.last_band; ++band) w.entries.push_back({band, i, b.xmin});
    }
    std::sort(w.entries.begin(), w.entries.end(), [](const band_entry& p, const band_entry& q) {
        if (p.band != q.band) return p.band < q.band;
        return p.xmin != q.xmin ? p.xmin < q.xmin : p.element < q.element;
    });
    return true;
}

// Whether every two elements that are not neighbours lie apart: a sweep along each band measures
// the pairs whose boxes come within the clearance, each pair in the first band holding both.
bool pairs_apart(const plain_scratch& w, double clearance, int budget)
{
    const int m = static_cast<int>(w.segments.size());
    const std::vector<band_entry>& list = w.entries;
    const std::size_t count = list.size();
    for (std::size_t u = 0; u < count; ++u) {
        const int i = list[u].element, band = list[u].band;
        const element_box& a = w.boxes[static_cast<std::size_t>(i)];
        for (std::size_t v = u + 1; v < count && list[v].band == band && list[v].xmin <= a.xmax + clearance; ++v) {
            const int j = list[v].element;
            const int gap = std::abs(i - j);
            if (gap == 1 || gap == m - 1) continue;
            const element_box& b = w.boxes[static_cast<std::size_t>(j)];
            if (band != std::max(a.first_band, b.first_band)) continue;
            if (--budget < 0) return false;
            if (b.ymin > a.ymax + clearance || a.ymin > b.ymax + clearance) continue;
            if (!apart(w.segments[static_cast<std::size_t>(i)], w.segments[static_cast<std::size_t>(j)],
                       clearance * clearance))
                return false;
        }
    }
    return true;
}

}  // namespace

bool loop_plainly_simple(const pokarr& loop)
{
    if (!closed_lines(loop)) return false;
    const std::size_t m = static_cast<std::size_t>(loop.count - 1);
    std::array<segment, kPlainFewElements> few;
    if (m <= few.size()) {
        const std::span<segment> s(few.data(), m);
        const double clearance = kPlainClearance + kPlainClearancePerLength * segments_of(loop, s);
        return elements_plain(s, clearance) && few_pairs_apart(s, clearance);
    }
    plain_scratch& w = scratch();
    w.segments.resize(m);
    const double clearance = kPlainClearance + kPlainClearancePerLength * segments_of(loop, w.segments);
    const int bound = kPlainNearPairsPerElement * static_cast<int>(m) + kPlainNearPairsFloor;
    return elements_plain(w.segments, clearance) && list_in_bands(w, clearance, bound) &&
           pairs_apart(w, clearance, bound);
}
