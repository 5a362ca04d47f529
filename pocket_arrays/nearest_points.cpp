// Nearest and farthest points of chains and pocket arrays, and the restart point of a pocket's
// first loop. Every element is measured from its start vertex and along its body; comparisons
// carry a 1e-6 slack so that a later element at the same distance wins (the restart point takes
// strictly nearer candidates only, so the earlier element wins there).
#include "pocket_arrays/nearest_points.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pk_vector.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/surface_offset_seams.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Slack of the distance comparisons.
constexpr double kDistanceSlack = 1.0e-6;
// A k below this on entry to pokarr_nearest_pnt asks for the surface-path distance.
constexpr int kSurfacePathMode = -1;
// lan_on_grid as surface_path_len asks it: the two points as they are, the path left open.
constexpr int kGridPlainMode = 0;
constexpr int kGridOpen = 0;

// From this parameter on, a candidate at the element's end is left to the next element.
constexpr double kEndParam = 0.999;
// A restart point farther than this from the loop is none.
constexpr double kRestartReach = 1.0e6;
// A restart point at a corner is moved to these parameters of the element.
constexpr double kCornerNearStart = 0.2;
constexpr double kCornerNearEnd = 0.8;

struct candidate {
    int k = 0;
    double t = 0.0;
    double x = 0.0, y = 0.0, z = 0.0;
    double distance = kNoDistance;
};

// The point of an element nearest to (px, py) with its parameter.
void measure_element(const double* x, const double* y, const chain_element& e, double px, double py, double& distance,
                     double& nx, double& ny, double& t)
{
    if (e.arc) {
        arc_dist_pnt(2, px, py, e.r, e.dir, e.cx, e.cy, x[e.start], y[e.start], x[e.end], y[e.end], distance, nx, ny,
                     t);
        return;
    }
    seg_dist2(2, px, py, x[e.start], y[e.start], x[e.end], y[e.end], distance, nx, ny);
    seg_param_of_pnt(x[e.start], y[e.start], x[e.end], y[e.end], nx, ny, t);
}

// What the distance floor may lie above the measured distance by rounding, and more: an element
// (or a block of them) is passed by only when its floor beats the best distance by this besides
// the slack.
constexpr double kFloorMargin = 1.0e-6;

// The foot of the perpendicular from p on the segment s..b (parameter clamped to the segment)
// with its distance: the host's dsdlpt (mode 2) with the same operations in the same order, so the
// same bits. Written out because the nearest-point search runs it for every line it measures.
template <int nd> double foot_on_segment(const double* p, const double* s, const double* b, double* foot)
{
    double along = 0.0, length2 = 0.0;
    for (int k = 0; k < nd; ++k) {
        const double d = b[k] - s[k];
        along += (p[k] - s[k]) * d;
        length2 += d * d;
    }
    double t = length2 > 0.0 ? along / length2 : 0.0;
    // fmax(0, fmin(1, t)) without the library calls, as they answer: a NaN goes to 1, and a -0
    // stays -0 (of two zeros, fmax answers its second argument).
    t = t < 1.0 ? t : 1.0;
    t = 0.0 > t ? 0.0 : t;
    double sum = 0.0;
    for (int k = 0; k < nd; ++k) {
        foot[k] = s[k] + t * (b[k] - s[k]);
        sum += (p[k] - foot[k]) * (p[k] - foot[k]);
    }
    return std::sqrt(sum);
}

// The previous-result rule: a candidate equal to the previous result is skipped.
bool is_previous(const candidate& previous, int k, double t, double distance)
{
    return previous.k > 0 && previous.k == k && eqvald(previous.t, t) && pk_eq_val(previous.distance, distance);
}

// The start vertex of element e in nd coordinates (z 0 in 2-D).
template <int nd> [[gnu::always_inline]] inline void start_of(const pokarr& array, const chain_element& e, double* s)
{
    s[0] = array.x[e.start];
    s[1] = array.y[e.start];
    s[2] = nd == 3 ? array.z[e.start] : 0.0;
}

// The point of element e's body nearest to p: its distance d, parameter et and point q; false
// when the element's floor lies beyond `within`, so that nothing of it could be taken. A line's
// parameter is measured only when d lies within `within` (et stays 0 otherwise).
template <int nd>
[[gnu::always_inline]] inline bool measure_body(const double* p, const pokarr& array, const chain_element& e,
                                                double within, double& d, double& et, double* q)
{
    const double* x = array.x;
    const double* y = array.y;
    if (chain_element_beyond(x, y, e, p[0], p[1], within)) return false;
    double s[3];
    start_of<nd>(array, e, s);
    if (e.arc) {
        arc_dist_pnt(2, p[0], p[1], e.r, e.dir, e.cx, e.cy, s[0], s[1], x[e.end], y[e.end], d, q[0], q[1], et);
        if (nd == 3) {
            q[2] = s[2] + et * (array.z[e.end] - s[2]);
            d = std::hypot(d, p[2] - q[2]);
        }
    } else {
        const double b[3] = {x[e.end], y[e.end], nd == 3 ? array.z[e.end] : 0.0};
        d = foot_on_segment<nd>(p, s, b, q);
        // The parameter only matters to a line near enough to be taken.
        if (d < within) seg_param_of_pnt_nd(nd, s, b, q, et);
    }
    return true;
}

// Whether a body point measured at parameter et is the element's end point, left to the next
// element.
[[gnu::always_inline]] inline bool left_to_next(const pokarr& array, const chain_element& e, double et, const double* q)
{
    const double end_point[2] = {array.x[e.end], array.y[e.end]};
    return et >= kEndParam && pk_eq_pnt2(q, end_point);
}

// One step of the search of pokarr_nearest_pnt: element e (number i) offers its start vertex,
// then its body, each taken when nearer than the best so far plus the slack.
template <int nd>
[[gnu::always_inline]] inline void take_element(const double* p, const pokarr& array, const chain_element& e, int i,
                                                const candidate& previous, candidate& best)
{
    double s[3];
    start_of<nd>(array, e, s);
    const double vd = pk_distance<nd>(p, s);
    if (vd < best.distance + kDistanceSlack && !is_previous(previous, i, 0.0, vd))
        best = {i, 0.0, s[0], s[1], s[2], vd};
    double d = 0.0, et = 0.0, q[3] = {0.0, 0.0, 0.0};
    if (!measure_body<nd>(p, array, e, best.distance + kDistanceSlack, d, et, q)) return;
    if (d < best.distance + kDistanceSlack && !left_to_next(array, e, et, q) && !is_previous(previous, i, et, d))
        best = {i, et, q[0], q[1], q[2], d};
}

// The search of pokarr_nearest_pnt over the array in nd coordinates (2 or 3; z read in 3 only),
// written once for both so that the arithmetic of every element runs unrolled.
template <int nd> candidate nearest_in(const double* point, const pokarr& array, const candidate& previous)
{
    candidate best;
    const double p[3] = {point[0], point[1], nd == 3 ? point[2] : 0.0};
    for (int i = 1; array.x != nullptr && array.y != nullptr && i < array.count && best.distance > 0.0;) {
        const chain_element e = chain_element_at(array.x, array.y, array.count, i);
        if (!e.valid) break;
        take_element<nd>(p, array, e, i, previous, best);
        i = e.next;
    }
    return best;
}

// ---- the search through an index ---------------------------------------------------------------

// Elements per block of an index: about the square root of their number, at least this many.
constexpr std::size_t kLeastBlock = 8;
// The half width of the box of a block that holds an arc without a circle: it holds any point.
constexpr double kNoBlockBox = 1.0e300;

// The plane distance from (px, py) to block b's box: no candidate of the block measures less
// (by more than kFloorMargin).
double block_floor(const pk_nearest_index& index, std::size_t b, double px, double py)
{
    const double* box = &index.box[4 * b];
    const double dx = std::max({box[0] - px, 0.0, px - box[2]});
    const double dy = std::max({box[1] - py, 0.0, py - box[3]});
    return std::sqrt(dx * dx + dy * dy);
}

// The smallest distance any candidate of the array measures from p and the first element, in the
// search's order, whose start vertex or body measures it: blocks nearest first, a block passed by
// once its floor lies beyond the smallest distance found.
template <int nd>
void smallest_in(const double* p, const pokarr& array, const pk_nearest_index& index, double& smallest,
                 int& first_element)
{
    const std::size_t blocks = index.first.size() - 1;
    std::size_t nearest_block = 0;
    double nearest_floor = block_floor(index, 0, p[0], p[1]);
    for (std::size_t b = 1; b < blocks; ++b) {
        const double f = block_floor(index, b, p[0], p[1]);
        if (f < nearest_floor) nearest_floor = f, nearest_block = b;
    }
    smallest = kNoDistance;
    first_element = 0;
    const auto offer = [&smallest, &first_element](double d, int i) {
        if (d < smallest || (d == smallest && i < first_element)) smallest = d, first_element = i;
    };
    const auto measure_block = [&](std::size_t b) {
        for (int i = index.first[b]; i < index.first[b + 1];) {
            const chain_element e = chain_element_at(array.x, array.y, array.count, i);
            double s[3];
            start_of<nd>(array, e, s);
            offer(pk_distance<nd>(p, s), i);
            double d = 0.0, et = 0.0, q[3] = {0.0, 0.0, 0.0};
            if (measure_body<nd>(p, array, e, smallest + kDistanceSlack, d, et, q) && !left_to_next(array, e, et, q))
                offer(d, i);
            i = e.next;
        }
    };
    measure_block(nearest_block);
    for (std::size_t b = 0; b < blocks; ++b)
        if (b != nearest_block && block_floor(index, b, p[0], p[1]) <= smallest + kDistanceSlack + kFloorMargin)
            measure_block(b);
}

// The search of pokarr_nearest_pnt without a previous result through the index. Before the
// first element that measures the smallest distance the plain search always ends holding that
// element's candidate, whatever it held before: from there on it is run as it is, passing by the
// blocks whose floor lies beyond the best distance plus the slack (none of their candidates could
// be taken, so the best does not change over them).
template <int nd> candidate nearest_indexed_in(const double* point, const pokarr& array, const pk_nearest_index& index)
{
    const candidate none;
    if (index.first.size() < 2) return none;
    const double p[3] = {point[0], point[1], nd == 3 ? point[2] : 0.0};
    double smallest = kNoDistance;
    int from = 0;
    smallest_in<nd>(p, array, index, smallest, from);
    // Nothing measured within reach of "nothing found yet": the plain search decides.
    if (from == 0 || !(smallest < kNoDistance)) return nearest_in<nd>(point, array, none);
    const std::size_t blocks = index.first.size() - 1;
    std::size_t b = 0;
    while (index.first[b + 1] <= from) ++b;
    candidate best;
    for (int i = from; b < blocks && best.distance > 0.0; ++b) {
        const bool passed_by =
            i == index.first[b] && block_floor(index, b, p[0], p[1]) > best.distance + kDistanceSlack + kFloorMargin;
        for (; !passed_by && i < index.first[b + 1] && best.distance > 0.0;) {
            const chain_element e = chain_element_at(array.x, array.y, array.count, i);
            take_element<nd>(p, array, e, i, none, best);
            i = e.next;
        }
        i = index.first[b + 1];
    }
    return best;
}

}  // namespace

// The floor is the plane distance from (px, py) as the measures give it at least: for a line, the
// distance to its box (compared squared, which the margin keeps as sure); for an arc, the nearest
// of its circle and its two ends (the measure answers one of these, or the radius for a point at
// the centre).
bool chain_element_beyond(const double* x, const double* y, const chain_element& e, double px, double py,
                          double distance)
{
    const double bound = distance + kFloorMargin;
    const double sx = x[e.start], sy = y[e.start], ex = x[e.end], ey = y[e.end];
    if (!e.arc) {
        const double dx = std::max({std::min(sx, ex) - px, 0.0, px - std::max(sx, ex)});
        const double dy = std::max({std::min(sy, ey) - py, 0.0, py - std::max(sy, ey)});
        return dx * dx + dy * dy > bound * bound;
    }
    if (!(e.r > 0.0)) return false;
    const auto length = [](double dx, double dy) { return std::sqrt(dx * dx + dy * dy); };
    const double to_circle = std::fabs(length(px - e.cx, py - e.cy) - e.r);
    return std::min({to_circle, length(px - sx, py - sy), length(px - ex, py - ey)}) > bound;
}

void nearest_on_xy_chain(double px, double py, const double* x, const double* y, int n, int& k, double& t,
                         double& nearest_x, double& nearest_y, double& distance)
{
    candidate previous;
    if (k > 0) previous = {k, t, 0.0, 0.0, 0.0, distance};
    candidate best;
    for (int i = 1; x != nullptr && y != nullptr && i < n;) {
        const chain_element e = chain_element_at(x, y, n, i);
        if (!e.valid) break;
        const double vd = std::hypot(px - x[e.start], py - y[e.start]);
        if (vd < best.distance + kDistanceSlack && !is_previous(previous, i, 0.0, vd))
            best = {i, 0.0, x[e.start], y[e.start], 0.0, vd};
        double d = 0.0, nx = 0.0, ny = 0.0, et = 0.0;
        measure_element(x, y, e, px, py, d, nx, ny, et);
        const double end_point[2] = {x[e.end], y[e.end]}, near_point[2] = {nx, ny};
        const bool at_end = et >= kEndParam && pk_eq_pnt2(near_point, end_point);
        if (d < best.distance + kDistanceSlack && !at_end && !is_previous(previous, i, et, d))
            best = {i, et, nx, ny, 0.0, d};
        i = e.next;
    }
    nearest_x = best.x;
    nearest_y = best.y;
    if (previous.k > 0 && best.distance > previous.distance + kDistanceSlack) best = previous;
    k = best.k;
    t = best.t;
    distance = best.distance;
}

void pokarr_nearest_pnt(int dimension, const double* point, const pokarr& array, int& k, double& t, double* nearest,
                        double& distance)
{
    const int nd = dimension == 2 || array.dimension == 2 || array.z == nullptr ? 2 : 3;
    const bool surface_path = k < kSurfacePathMode && nd == 3;
    const double limit = distance;
    candidate previous;
    if (k > 0) previous = {k, t, 0.0, 0.0, 0.0, distance};
    candidate best = nd == 3 ? nearest_in<3>(point, array, previous) : nearest_in<2>(point, array, previous);
    nearest[0] = best.x;
    nearest[1] = best.y;
    nearest[2] = nd == 3 ? best.z : 0.0;
    if (previous.k > 0 && best.distance > previous.distance + kDistanceSlack) best = previous;
    k = best.k;
    t = best.t;
    distance = best.distance;
    // The connection is measured to the nearest point found, the point the distance belongs to.
    if (surface_path && best.k > 0 && distance < limit + kDistanceSlack) surface_path_len(point, nearest, distance);
}

void pokarr_nearest_index(const pokarr& array, pk_nearest_index& index)
{
    index.first.clear();
    index.box.clear();
    if (array.x == nullptr || array.y == nullptr) return;
    std::vector<chain_element> elements;
    chain_elements_of(array.x, array.y, array.count, elements);
    if (elements.empty()) return;
    const std::size_t n = elements.size();
    const std::size_t size =
        std::max<std::size_t>(kLeastBlock, static_cast<std::size_t>(std::sqrt(static_cast<double>(n))));
    for (std::size_t from = 0; from < n; from += size) {
        index.first.push_back(elements[from].start + 1);
        double box[4] = {kNoDistance, kNoDistance, -kNoDistance, -kNoDistance};
        for (std::size_t j = from; j < std::min(n, from + size); ++j) {
            const chain_element& e = elements[j];
            const boxed_chain_element b = boxed_chain_element_of(array.x, array.y, e);
            // An arc whose radius gives no circle has no box: its block is never passed by.
            const bool boxed = !e.arc || e.r > 0.0;
            box[0] = boxed ? std::min(box[0], b.box[0]) : -kNoBlockBox;
            box[1] = boxed ? std::min(box[1], b.box[1]) : -kNoBlockBox;
            box[2] = boxed ? std::max(box[2], b.box[2]) : kNoBlockBox;
            box[3] = boxed ? std::max(box[3], b.box[3]) : kNoBlockBox;
        }
        index.box.insert(index.box.end(), box, box + 4);
    }
    index.first.push_back(elements.back().next);
}

void pokarr_nearest_pnt_indexed(int dimension, const double* point, const pokarr& array, const pk_nearest_index& index,
                                int& k, double& t, double* nearest, double& distance)
{
    const int nd = dimension == 2 || array.dimension == 2 || array.z == nullptr ? 2 : 3;
    const candidate best =
        nd == 3 ? nearest_indexed_in<3>(point, array, index) : nearest_indexed_in<2>(point, array, index);
    nearest[0] = best.x;
    nearest[1] = best.y;
    nearest[2] = nd == 3 ? best.z : 0.0;
    k = best.k;
    t = best.t;
    distance = best.distance;
}

bool pokarr_nearest_beyond(const double* point, const pk_nearest_index& index, double distance)
{
    if (index.first.size() < 2 || index.first.back() <= index.first.front()) return false;
    for (std::size_t b = 0; b + 1 < index.first.size(); ++b)
        if (!(block_floor(index, b, point[0], point[1]) > distance + kFloorMargin)) return false;
    return true;
}

void pokarr_farthest_pnt(int dimension, const double* point, const pokarr& array, int& k, double& t, double* farthest,
                         double& distance)
{
    const int nd = dimension == 2 || array.dimension == 2 || array.z == nullptr ? 2 : 3;
    k = 0;
    t = 0.0;
    distance = -kNoDistance;
    const double p[3] = {point[0], point[1], nd == 3 ? point[2] : 0.0};
    for (int i = 0; array.x != nullptr && i < array.count; ++i) {
        if (pk_is_marker(array.x[i])) {
            i += kArcRecordEntries - 2;  // the record's last entry (the end point) is a vertex
            continue;
        }
        const double q[3] = {array.x[i], array.y[i], nd == 3 ? array.z[i] : 0.0};
        const double d = distd(nd, p, q);
        if (gtvald(d, distance)) {
            distance = d;
            k = i + 1;
            for (int c = 0; c < 3; ++c) farthest[c] = q[c];
        }
    }
    if (nd == 3 && k > 0) surface_path_len(p, farthest, distance);
}

void surface_path_len(const double* from, const double* to, double& distance)
{
    if (pk_is_zero_vec3(from, to) != 0) {
        distance = 0.0;
        return;
    }
    pokarr path;
    pokarr_init(3, path);
    int status = 0;
    pokarr_add_pnt(from, path, status);
    if (status >= 0) pokarr_add_pnt(to, path, status);
    if (status >= 0)
        surface_offset_seam_table().lan_on_grid(kGridPlainMode, kGridOpen, path,
                                                0.5 * pocket_work_block.working_tolerance, status);
    if (status == 0 && path.count >= 2) {
        double length = 0.0;
        for (int i = 1; i < path.count; ++i) {
            const double a[3] = {path.x[i - 1], path.y[i - 1], path.z[i - 1]};
            const double b[3] = {path.x[i], path.y[i], path.z[i]};
            length += distd(3, a, b);
        }
        distance = length;
    }
    pokarr_free(path);
}

int lane_start_dir(const double* x, const double* y, int n, int element, double* dir_in, double* dir_out)
{
    const chain_element e = chain_element_at(x, y, n, element);
    if (!e.valid) return 2;
    // The element before: the one that ends at e.start, the chain's last for the first.
    int before = element - 1;
    if (element == 1) {
        before = n - 1;
    }
    if (before >= 4 && pk_is_marker(x[before - 3])) before -= 3;
    const chain_element b = chain_element_at(x, y, n, before);
    if (!b.valid) return 2;
    auto direction = [&](const chain_element& c, bool at_end, double* d) {
        const int at = at_end ? c.end : c.start;
        if (c.arc) {
            const double rx = x[at] - c.cx, ry = y[at] - c.cy;
            d[0] = -c.dir * ry;
            d[1] = c.dir * rx;
        } else {
            d[0] = x[c.end] - x[c.start];
            d[1] = y[c.end] - y[c.start];
        }
        double length = 0.0;
        int status = 0;
        v2untd(d, length, status);
        return status == 0;
    };
    const bool ok_out = direction(e, false, dir_out);
    const bool ok_in = direction(b, true, dir_in);
    if (!ok_out || !ok_in) return 2;
    return eqvald(dir_in[0], dir_out[0]) && eqvald(dir_in[1], dir_out[1]) ? 1 : 2;
}

void restart_pnt_on_loop(double corner_reach, const double* x, const double* y, int n, int& k, double& t,
                         double& point_x, double& point_y, int& status)
{
    status = 0;
    k = 0;
    t = 0.0;
    const double* origin = pocket_frame_block.origin;
    const double px = pocket_work_block.restart_point[0] - origin[0];
    const double py = pocket_work_block.restart_point[1] - origin[1];
    if (x == nullptr || y == nullptr || n < 2) {
        status = kNoRestartPoint;
        return;
    }
    double best = kNoDistance;
    chain_element chosen;
    for (int i = 1; i < n;) {
        const chain_element e = chain_element_at(x, y, n, i);
        if (!e.valid) break;
        double d = 0.0, nx = 0.0, ny = 0.0, et = 0.0;
        measure_element(x, y, e, px, py, d, nx, ny, et);
        if (d < best) {
            best = d;
            k = i;
            t = et;
            point_x = nx;
            point_y = ny;
            chosen = e;
        }
        i = e.next;
    }
    if (k == 0 || best > kRestartReach) {
        status = kNoRestartPoint;
        return;
    }
    const bool at_start = eqvl0d(t) != 0;
    const bool at_end = eqvald(t, 1.0) != 0;
    if (at_start || at_end) {
        int vertex_element = k;
        if (at_end) vertex_element = chosen.next < n ? chosen.next : 1;
        double din[2], dout[2];
        if (lane_start_dir(x, y, n, vertex_element, din, dout) == 2) {
            const double to_end = std::hypot(point_x - x[chosen.end], point_y - y[chosen.end]);
            const double to_start = std::hypot(point_x - x[chosen.start], point_y - y[chosen.start]);
            double moved = t;
            if (t > kCornerNearEnd && to_end < corner_reach) moved = kCornerNearEnd;
            if (t < kCornerNearStart && to_start < corner_reach) moved = kCornerNearStart;
            if (moved != t) {
                t = moved;
                if (chosen.arc)
                    arc_pnt_by_vector(chosen.r, chosen.dir, chosen.cx, chosen.cy, x[chosen.start], y[chosen.start],
                                      x[chosen.end], y[chosen.end], t, point_x, point_y);
                else
                    seg_pnt_at_param(x[chosen.start], y[chosen.start], x[chosen.end], y[chosen.end], t, point_x,
                                     point_y);
            }
        }
    }
    point_x += origin[0];
    point_y += origin[1];
}

namespace {

// An element's box (an arc's from arc_box) widened by the reach on every side.
void reach_box_of(const double* x, const double* y, const chain_element& e, double reach, double* box)
{
    if (e.arc) {
        arc_box(e.cx, e.cy, e.r, e.dir, x[e.start], y[e.start], x[e.end], y[e.end], box[0], box[1], box[2], box[3]);
    } else {
        box[0] = std::fmin(x[e.start], x[e.end]);
        box[1] = std::fmin(y[e.start], y[e.end]);
        box[2] = std::fmax(x[e.start], x[e.end]);
        box[3] = std::fmax(y[e.start], y[e.end]);
    }
    box[0] -= reach, box[1] -= reach, box[2] += reach, box[3] += reach;
}

// A chain's elements with their widened boxes, sorted into the cells of a grid over their extent
// when there are many, so that an element of the other chain meets only the elements of the
// cells its box spans instead of all of them. Every element whose box the tolerant overlap test
// could find meeting a box lies in a cell that box spans: the cells take each element's box
// widened by the comparisons' tolerance, and a box beyond their extent by more than it meets none.
struct element_cells {
    std::vector<chain_element> elements;
    std::vector<std::array<double, 4>> boxes;
    double extent[4] = {0.0, 0.0, 0.0, 0.0};  // the box of every element's box
    bool bounded = false;                     // the extent holds every box (finite boxes)
    double x0 = 0.0, y0 = 0.0, width = 0.0, height = 0.0;
    int across = 0, up = 0;
    std::vector<std::vector<int>> cells;  // row by row; empty: every element is a candidate

    // The elements that may meet `box`, in the chain's order.
    void candidates(const double* box, std::vector<int>& out) const
    {
        out.clear();
        const double tolerance = vantu::kDoubleTolerance;
        if (bounded && (box[0] - tolerance > extent[2] || box[2] + tolerance < extent[0] ||
                        box[1] - tolerance > extent[3] || box[3] + tolerance < extent[1]))
            return;
        if (cells.empty()) {
            for (std::size_t k = 0; k < elements.size(); ++k) out.push_back(static_cast<int>(k));
            return;
        }
        const int first_column = cell_of(box[0] - tolerance, x0, width, across);
        const int last_column = cell_of(box[2] + tolerance, x0, width, across);
        const int first_row = cell_of(box[1] - tolerance, y0, height, up);
        const int last_row = cell_of(box[3] + tolerance, y0, height, up);
        for (int row = first_row; row <= last_row; ++row)
            for (int column = first_column; column <= last_column; ++column) {
                const std::vector<int>& cell = cells[static_cast<std::size_t>(row * across + column)];
                out.insert(out.end(), cell.begin(), cell.end());
            }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }
    static int cell_of(double v, double origin, double size, int count)
    {
        const double at = (v - origin) / size;
        if (!(at > 0.0)) return 0;
        return at >= count - 1 ? count - 1 : static_cast<int>(at);
    }
};

// Chains of fewer elements are scanned whole; a grid has about one cell for this many elements.
constexpr std::size_t kLeastCellElements = 64;
constexpr std::size_t kElementsPerCell = 4;

// The elements of the chain whose widened boxes meet `within` (all of them for nullptr), in the
// chain's order: an element whose box misses a box that holds every box of the other chain meets
// none of those boxes either.
element_cells element_cells_of(const double* x, const double* y, int count, double reach, const double* within)
{
    element_cells a;
    std::vector<chain_element> elements;
    chain_elements_of(x, y, count, elements);
    bool finite = true;
    for (const chain_element& e : elements) {
        std::array<double, 4> box{};
        reach_box_of(x, y, e, reach, box.data());
        if (within != nullptr &&
            !pk_box_overlap2(box[0], box[1], box[2], box[3], within[0], within[1], within[2], within[3]))
            continue;
        a.elements.push_back(e);
        finite =
            finite && std::isfinite(box[0]) && std::isfinite(box[1]) && std::isfinite(box[2]) && std::isfinite(box[3]);
        for (int k = 0; k < 2; ++k) {
            a.extent[k] = a.boxes.empty() ? box[k] : std::min(a.extent[k], box[k]);
            a.extent[k + 2] = a.boxes.empty() ? box[k + 2] : std::max(a.extent[k + 2], box[k + 2]);
        }
        a.boxes.push_back(box);
    }
    a.bounded = finite && !a.boxes.empty();
    const double tolerance = vantu::kDoubleTolerance;
    const double wide = a.extent[2] - a.extent[0], tall = a.extent[3] - a.extent[1];
    if (a.elements.size() < kLeastCellElements || !a.bounded || !(wide > 0.0) || !(tall > 0.0)) return a;
    // Square cells as near as the extent allows, about kElementsPerCell elements to a cell.
    const double cells = static_cast<double>(a.elements.size() / kElementsPerCell);
    a.across = std::clamp(static_cast<int>(std::sqrt(cells * wide / tall)), 1, static_cast<int>(cells));
    a.up = std::max(1, static_cast<int>(cells) / a.across);
    a.x0 = a.extent[0], a.y0 = a.extent[1];
    a.width = wide / a.across, a.height = tall / a.up;
    if (!(a.width > 0.0) || !(a.height > 0.0)) return a;
    a.cells.resize(static_cast<std::size_t>(a.across) * static_cast<std::size_t>(a.up));
    for (std::size_t k = 0; k < a.boxes.size(); ++k) {
        const std::array<double, 4>& b = a.boxes[k];
        const int first_column = element_cells::cell_of(b[0] - tolerance, a.x0, a.width, a.across);
        const int last_column = element_cells::cell_of(b[2] + tolerance, a.x0, a.width, a.across);
        const int first_row = element_cells::cell_of(b[1] - tolerance, a.y0, a.height, a.up);
        const int last_row = element_cells::cell_of(b[3] + tolerance, a.y0, a.height, a.up);
        for (int row = first_row; row <= last_row; ++row)
            for (int column = first_column; column <= last_column; ++column)
                a.cells[static_cast<std::size_t>(row * a.across + column)].push_back(static_cast<int>(k));
    }
    return a;
}

}  // namespace

void xy_chain_min_dist(double reach, const double* ax, const double* ay, int a_count, const double* bx,
                       const double* by, int b_count, int& b_element, double& t, double& nearest_x, double& nearest_y,
                       double& distance, int& status)
{
    status = 0;
    b_element = 0;
    t = 0.0;
    distance = kNoDistance;
    if (ax == nullptr || ay == nullptr || bx == nullptr || by == nullptr) return;
    // B's elements with their widened boxes, and the box that holds them all: A's elements that
    // miss it are left out of the search at once.
    std::vector<std::pair<int, std::array<double, 4>>> b_boxes;
    double b_extent[4] = {0.0, 0.0, 0.0, 0.0};
    bool b_finite = true;
    for (int j = 1; j < b_count;) {
        const chain_element eb = chain_element_at(bx, by, b_count, j);
        if (!eb.valid) break;
        std::array<double, 4> bb{};
        reach_box_of(bx, by, eb, reach, bb.data());
        b_finite =
            b_finite && std::isfinite(bb[0]) && std::isfinite(bb[1]) && std::isfinite(bb[2]) && std::isfinite(bb[3]);
        for (int k = 0; k < 2; ++k) {
            b_extent[k] = b_boxes.empty() ? bb[k] : std::min(b_extent[k], bb[k]);
            b_extent[k + 2] = b_boxes.empty() ? bb[k + 2] : std::max(b_extent[k + 2], bb[k + 2]);
        }
        b_boxes.emplace_back(j, bb);
        j = eb.next;
    }
    if (b_boxes.empty()) return;
    const element_cells a = element_cells_of(ax, ay, a_count, reach, b_finite ? b_extent : nullptr);
    std::vector<int> candidates;
    for (const auto& [j, b_box] : b_boxes) {
        const chain_element eb = chain_element_at(bx, by, b_count, j);
        const double* bb = b_box.data();
        // A's elements in their order, as a scan of every one of them meets them.
        a.candidates(bb, candidates);
        for (const int k : candidates) {
            const chain_element& ea = a.elements[static_cast<std::size_t>(k)];
            const double* ab = a.boxes[static_cast<std::size_t>(k)].data();
            if (pk_box_overlap2(ab[0], ab[1], ab[2], ab[3], bb[0], bb[1], bb[2], bb[3])) {
                const double px = ax[ea.start], py = ay[ea.start];
                const double vd = std::hypot(px - bx[eb.start], py - by[eb.start]);
                if (levald(vd, distance)) {
                    distance = vd, b_element = j, t = 0.0;
                    nearest_x = bx[eb.start], nearest_y = by[eb.start];
                }
                double d = 0.0, nx = 0.0, ny = 0.0, et = 0.0;
                measure_element(bx, by, eb, px, py, d, nx, ny, et);
                if (levald(d, distance)) {
                    distance = d, b_element = j, t = et;
                    nearest_x = nx, nearest_y = ny;
                }
            }
        }
    }
}
