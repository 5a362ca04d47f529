// Offset of a closed contour of lines and arcs lying in a plane parallel to XY, or to the XY of
// the work plane (dfcof2), and the release of the offset's curves (dfcgnr). The trimming tool
// offsets its contour by the tool radius with them (host/vantu_contour_define.hpp).
//
// The offset is built in the plane: each element is moved sideways by the distance (a line
// parallel to itself, an arc about its centre), a corner the moved elements no longer meet at is
// closed by an arc of radius |distance| about the corner, the moved loop is cut wherever it
// crosses itself, the pieces that come nearer the contour than |distance| are dropped, and what
// is left is joined back into loops.
#include "host/control/curve_sets.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contour_define.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
// The largest gap between the end of one curve and the start of the next that the offset takes
// as a corner of a closed contour: ten times the host's single-precision tolerance, above the
// gaps a chaining at its default tolerance leaves.
constexpr double kCornerGap = 10.0 * vantu::kRealTolerance;
// Pieces shorter than this (relative to the contour's size) are points where two cuts meet.
constexpr double kPieceRelative = 1.0e-10;

// The curve sets dfcof2 made and dfcgnr may release.
std::set<int>& offset_sets()
{
    static std::set<int> sets;
    return sets;
}
void reset_offsets() { offset_sets().clear(); }
const bool contour_offset_registered =
    vantu::register_component({"contour_offsets", reset_offsets, nullptr, nullptr, nullptr});

struct xy {
    double x = 0.0, y = 0.0;
};
xy operator+(xy a, xy b) { return {a.x + b.x, a.y + b.y}; }
xy operator-(xy a, xy b) { return {a.x - b.x, a.y - b.y}; }
xy operator*(double s, xy a) { return {s * a.x, s * a.y}; }
double cross(xy a, xy b) { return a.x * b.y - a.y * b.x; }
double dot(xy a, xy b) { return a.x * b.x + a.y * b.y; }
double length(xy a) { return std::hypot(a.x, a.y); }
xy direction(double angle) { return {std::cos(angle), std::sin(angle)}; }

// A line from a to b, or an arc about centre of radius r from angle a0 sweeping sweep (positive
// counter-clockwise); a and b are the ends of either.
struct element {
    bool arc = false;
    xy a, b, centre;
    double r = 0.0, a0 = 0.0, sweep = 0.0;
};

element make_line(xy a, xy b) { return {false, a, b, {}, 0.0, 0.0, 0.0}; }
element make_arc(xy centre, double r, double a0, double sweep)
{
    return {true, centre + r * direction(a0), centre + r * direction(a0 + sweep), centre, r, a0, sweep};
}

xy point_at(const element& e, double t)
{
    return e.arc ? e.centre + e.r * direction(e.a0 + t * e.sweep) : e.a + t * (e.b - e.a);
}

// Unit tangents at the start and the end, in the direction of travel.
xy tangent(const element& e, double t)
{
    if (!e.arc) return (1.0 / length(e.b - e.a)) * (e.b - e.a);
    const xy radial = direction(e.a0 + t * e.sweep);
    return e.sweep > 0.0 ? xy{-radial.y, radial.x} : xy{radial.y, -radial.x};
}

// The parameter (0 to 1) of a point known to lie on the arc's circle, or nothing when it lies
// outside the arc's sweep by more than slack (a fraction of the sweep).
std::optional<double> arc_parameter(const element& e, xy p, double slack)
{
    double delta = std::atan2(p.y - e.centre.y, p.x - e.centre.x) - e.a0;
    if (e.sweep < 0.0) delta = -delta;
    delta = std::fmod(delta, 2.0 * kPi);
    if (delta < 0.0) delta += 2.0 * kPi;
    const double sweep = std::abs(e.sweep);
    double t = delta / sweep;
    if (t > 1.0 + slack && (2.0 * kPi - delta) / sweep <= slack) t = 0.0;  // just before the start
    if (t > 1.0 + slack) return std::nullopt;
    return std::clamp(t, 0.0, 1.0);
}

double distance_to(const element& e, xy p)
{
    if (!e.arc) {
        const xy along = e.b - e.a;
        const double t = std::clamp(dot(p - e.a, along) / dot(along, along), 0.0, 1.0);
        return length(p - (e.a + t * along));
    }
    const double to_ends = std::min(length(p - e.a), length(p - e.b));
    if (length(p - e.centre) == 0.0) return e.r;
    if (arc_parameter(e, p, 0.0)) return std::min(to_ends, std::abs(length(p - e.centre) - e.r));
    return to_ends;
}

// ---- crossings of two elements: the parameter pairs ----------------------------------------------

struct meeting {
    double s, t;
};

void line_line(const element& p, const element& q, double slack, std::vector<meeting>& out)
{
    const xy r = p.b - p.a, s = q.b - q.a;
    const double denominator = cross(r, s);
    if (std::abs(denominator) <= vantu::kDoubleParallelSine * length(r) * length(s)) return;
    const double t = cross(q.a - p.a, s) / denominator, u = cross(q.a - p.a, r) / denominator;
    if (t >= -slack && t <= 1.0 + slack && u >= -slack && u <= 1.0 + slack)
        out.push_back({std::clamp(t, 0.0, 1.0), std::clamp(u, 0.0, 1.0)});
}

// The points of the circle of arc q on the line through p: parameters on p's line.
void line_arc(const element& p, const element& q, double slack, std::vector<meeting>& out, bool swapped)
{
    const xy d = p.b - p.a, f = p.a - q.centre;
    const double a = dot(d, d), b = 2.0 * dot(f, d), c = dot(f, f) - q.r * q.r;
    double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) {
        if (disc < -slack * b * b - slack) return;
        disc = 0.0;
    }
    const double root = std::sqrt(disc);
    for (double t : {(-b - root) / (2.0 * a), (-b + root) / (2.0 * a)}) {
        if (t < -slack || t > 1.0 + slack) continue;
        t = std::clamp(t, 0.0, 1.0);
        if (const auto u = arc_parameter(q, point_at(p, t), slack))
            out.push_back(swapped ? meeting{*u, t} : meeting{t, *u});
        if (root == 0.0) break;
    }
}

void arc_arc(const element& p, const element& q, double slack, std::vector<meeting>& out)
{
    const xy between = q.centre - p.centre;
    const double d = length(between);
    if (d <= vantu::kDoubleTolerance * 1.0e-3 || d > p.r + q.r + slack * d || d < std::abs(p.r - q.r) - slack * d)
        return;
    const double along = (p.r * p.r - q.r * q.r + d * d) / (2.0 * d);
    const double h = std::sqrt(std::max(0.0, p.r * p.r - along * along));
    const xy base = p.centre + (along / d) * between, side{-between.y / d, between.x / d};
    for (double sign : {-1.0, 1.0}) {
        const xy point = base + (sign * h) * side;
        const auto s = arc_parameter(p, point, slack), t = arc_parameter(q, point, slack);
        if (s && t) out.push_back({*s, *t});
        if (h == 0.0) break;
    }
}

std::vector<meeting> crossings(const element& p, const element& q, double slack)
{
    std::vector<meeting> out;
    if (!p.arc && !q.arc)
        line_line(p, q, slack, out);
    else if (!p.arc)
        line_arc(p, q, slack, out, false);
    else if (!q.arc)
        line_arc(q, p, slack, out, true);
    else
        arc_arc(p, q, slack, out);
    return out;
}

// ---- the contour --------------------------------------------------------------------------------

struct contour {
    std::vector<element> elements;
    double z = 0.0;
    double size = 0.0;  // the larger side of its box
};

// The elements of a chain record's curves in their direction of travel, in the coordinates of
// the work plane when one is set; status as dfcof2.
int read_contour(const int* record, contour& c)
{
    const vantu::record_info info = vantu::record_at(record);
    if (info.kind != vantu::record_kind::chain) return kOffsetNotContour;
    const auto plane = vantu::contour_work_plane();
    double low[2] = {1e300, 1e300}, high[2] = {-1e300, -1e300};
    for (int k = 1; k <= info.length; ++k) {
        int entity = 0, status = 0;
        double data[3];
        dfdget(record, k, entity, data, status);
        const vantu::entity* e = status == 0 ? vantu::find_entity(entity) : nullptr;
        const auto g = e ? vantu::decode_curve(*e) : std::nullopt;
        if (!g || (g->kind != vantu::curve_kind::line && g->kind != vantu::curve_kind::arc)) return kOffsetNotContour;
        // Three points of the curve in its direction of travel, and a fourth for the flatness of an arc.
        double p[4][3];
        const double ts[4] = {data[0], (data[0] + data[1]) / 2.0, data[1], (3.0 * data[0] + data[1]) / 4.0};
        for (int i = 0; i < 4; ++i) {
            evcrvd(entity, ts[i], p[i], nullptr, status);
            if (status != 0) return kOffsetNotContour;
            if (plane) {
                const vantu::point3 local = vantu::into_frame(plane->frame, {p[i][0], p[i][1], p[i][2]});
                std::copy(local.begin(), local.end(), p[i]);
            }
        }
        if (k == 1) c.z = p[0][2];
        for (const auto& q : p) {
            if (std::abs(q[2] - c.z) > kCornerGap) return kOffsetNotFlat;
            for (int i = 0; i < 2; ++i) {
                low[i] = std::min(low[i], q[i]);
                high[i] = std::max(high[i], q[i]);
            }
        }
        const xy a{p[0][0], p[0][1]}, m{p[1][0], p[1][1]}, b{p[2][0], p[2][1]}, q{p[3][0], p[3][1]};
        if (g->kind == vantu::curve_kind::line) {
            if (length(b - a) > vantu::kDoubleTolerance) c.elements.push_back(make_line(a, b));
            continue;
        }
        // The arc's sense from three of its points (the first half of it turns less than half
        // round); it sweeps what its parameters do.
        const double turn = cross(q - a, m - q);
        const double sweep = std::abs(data[1] - data[0]);
        // The arc's centre carried from the system its record is written in to the one the
        // contour is read in.
        vantu::point3 centre3 = g->centre;
        if (g->placed) centre3 = vantu::out_of_frame(*g->placed, centre3);
        if (plane) centre3 = vantu::into_frame(plane->frame, centre3);
        const xy centre{centre3[0], centre3[1]};
        const double radius = length(a - centre);
        if (std::abs(length(m - centre) - radius) > kCornerGap || std::abs(length(q - centre) - radius) > kCornerGap)
            return kOffsetNotFlat;  // tilted out of XY
        if (sweep <= vantu::kDoubleTolerance / std::max(radius, 1.0)) continue;
        const double sense = turn >= 0.0 ? 1.0 : -1.0;
        c.elements.push_back(make_arc(centre, radius, std::atan2(a.y - centre.y, a.x - centre.x), sense * sweep));
    }
    const std::size_t n = c.elements.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (length(c.elements[i].b - c.elements[(i + 1) % n].a) > kCornerGap) return kOffsetNotClosed;
    }
    c.size = std::max(high[0] - low[0], high[1] - low[1]);
    return n == 0 ? kOffsetNotContour : 0;
}

// ---- the raw offset ------------------------------------------------------------------------------

// The element moved by distance to the left of its travel; nothing when an arc shrinks to a point.
std::optional<element> moved(const element& e, double distance)
{
    if (!e.arc) {
        const xy t = tangent(e, 0.0), left{-t.y, t.x};
        return make_line(e.a + distance * left, e.b + distance * left);
    }
    // The left of a counter-clockwise arc is its centre's side.
    const double r = e.sweep > 0.0 ? e.r - distance : e.r + distance;
    if (std::abs(r) <= vantu::kDoubleTolerance) return std::nullopt;
    // A radius below zero puts the arc's points beyond the centre: the same arc turned half round.
    return r > 0.0 ? make_arc(e.centre, r, e.a0, e.sweep) : make_arc(e.centre, -r, e.a0 + kPi, e.sweep);
}

// The part of an element between the parameters t0 < t1.
element part_of(const element& e, double t0, double t1)
{
    return e.arc ? make_arc(e.centre, e.r, e.a0 + t0 * e.sweep, (t1 - t0) * e.sweep)
                 : make_line(point_at(e, t0), point_at(e, t1));
}

// How a corner of the moved loop is closed.
struct corner_join {
    bool trimmed = false;  // the moved elements are cut back to their crossing near the corner
    double end = 1.0;      // then the parameter of the crossing on the element before
    double start = 0.0;    // and on the element after
};

// At a corner the offset's side turns towards, the two moved elements overlap: their crossing
// nearest the corner, when they have one.
corner_join trim_at_corner(const element& before, const element& after, xy corner)
{
    corner_join best;
    double nearest = 1e300;
    for (const meeting& m : crossings(before, after, 1.0e-9)) {
        const double d = length(point_at(before, m.s) - corner);
        if (d < nearest) {
            nearest = d;
            best = {true, m.s, m.t};
        }
    }
    return best;
}

// The moved elements and what joins them, in order round the loop: where the offset's side lies
// outside a corner, an arc of radius |distance| about it; inside a corner, the two elements cut
// back to their crossing, or (when they do not cross) two lines through the corner, which the
// choice of pieces drops again.
std::vector<element> raw_offset(const contour& c, double distance)
{
    const std::size_t n = c.elements.size();
    std::vector<std::optional<element>> moves;
    for (const element& e : c.elements) moves.push_back(moved(e, distance));
    std::vector<corner_join> joins(n);  // joins[i]: the corner after element i
    std::vector<double> first(n, 0.0), last(n, 1.0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = (i + 1) % n;
        const xy t0 = tangent(c.elements[i], 1.0), t1 = tangent(c.elements[k], 0.0);
        if (cross(t0, t1) * distance > 0.0 && moves[i] && moves[k] && i != k) {
            joins[i] = trim_at_corner(*moves[i], *moves[k], c.elements[k].a);
            last[i] = joins[i].end;
            first[k] = joins[i].start;
        }
    }
    // An element the crossings at both its corners would cut away stays whole, and its corners
    // are joined through the corner instead.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (first[i] < last[i]) continue;
            const std::size_t before = (i + n - 1) % n, after = (i + 1) % n;
            joins[before].trimmed = joins[i].trimmed = false;
            first[i] = 0.0;
            last[i] = 1.0;
            last[before] = 1.0;
            first[after] = 0.0;
            changed = true;
        }
    }
    std::vector<element> raw;
    for (std::size_t i = 0; i < n; ++i) {
        const element& e = c.elements[i];
        const element& next = c.elements[(i + 1) % n];
        if (moves[i]) raw.push_back(part_of(*moves[i], first[i], last[i]));
        if (joins[i].trimmed) continue;
        const xy corner = next.a;
        const xy t0 = tangent(e, 1.0), t1 = tangent(next, 0.0);
        const double turn = std::atan2(cross(t0, t1), dot(t0, t1));
        const xy end = corner + distance * xy{-t0.y, t0.x}, start = corner + distance * xy{-t1.y, t1.x};
        if (length(end - start) <= vantu::kDoubleTolerance * 1.0e-3) continue;
        if (turn * distance < 0.0) {
            const xy from = end - corner;
            raw.push_back(make_arc(corner, std::abs(distance), std::atan2(from.y, from.x), turn));
        } else {
            raw.push_back(make_line(end, corner));
            raw.push_back(make_line(corner, start));
        }
    }
    return raw;
}

// ---- cutting, choosing and joining ---------------------------------------------------------------

// The raw elements cut at every crossing with each other, keeping the pieces whose middle lies
// |distance| from the contour.
std::vector<element> kept_pieces(const contour& c, const std::vector<element>& raw, double distance)
{
    const double slack = 1.0e-9;
    std::vector<std::vector<double>> cuts(raw.size(), std::vector<double>{0.0, 1.0});
    for (std::size_t i = 0; i < raw.size(); ++i) {
        for (std::size_t j = i + 1; j < raw.size(); ++j) {
            for (const meeting& m : crossings(raw[i], raw[j], slack)) {
                cuts[i].push_back(m.s);
                cuts[j].push_back(m.t);
            }
        }
    }
    const double keep = std::abs(distance) * (1.0 - 1.0e-7) - kPieceRelative * c.size;
    std::vector<element> pieces;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        std::vector<double>& t = cuts[i];
        std::sort(t.begin(), t.end());
        for (std::size_t k = 0; k + 1 < t.size(); ++k) {
            const element& e = raw[i];
            const element piece = part_of(e, t[k], t[k + 1]);
            if (length(piece.b - piece.a) <= kPieceRelative * c.size && !(piece.arc && std::abs(piece.sweep) > kPi))
                continue;
            const xy middle = point_at(piece, 0.5);
            double nearest = 1e300;
            for (const element& source : c.elements) nearest = std::min(nearest, distance_to(source, middle));
            if (nearest >= keep) pieces.push_back(piece);
        }
    }
    return pieces;
}

// Joins the pieces end to start into closed loops; false when a piece finds no continuation.
bool join_loops(const std::vector<element>& pieces, double gap, std::vector<std::vector<element>>& loops)
{
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first]) continue;
        std::vector<element> loop{pieces[first]};
        used[first] = true;
        while (length(loop.back().b - loop.front().a) > gap) {
            std::size_t best = pieces.size();
            double best_gap = gap;
            for (std::size_t k = 0; k < pieces.size(); ++k) {
                const double g = length(pieces[k].a - loop.back().b);
                if (!used[k] && g <= best_gap) {
                    best = k;
                    best_gap = g;
                }
            }
            if (best == pieces.size()) return false;
            used[best] = true;
            loop.push_back(pieces[best]);
        }
        loops.push_back(std::move(loop));
    }
    return true;
}

// ---- the new curves ------------------------------------------------------------------------------

// A new curve entity of the element at height z, with its data in the curve set (start and end
// parameter, orientation value); 0 when the store has no id left. In a work plane the entity is
// placed in its UCS ("RP"), so that its record is written in the plane's coordinates.
int store_curve(const element& e, double z, vantu::control::curve_in_set& in_set)
{
    vantu::curve_geometry g;
    if (e.arc) {
        // Arcs are stored counter-clockwise about +Z; a clockwise piece runs its arc backwards.
        const double low = e.sweep > 0.0 ? e.a0 : e.a0 + e.sweep;
        g.kind = vantu::curve_kind::arc;
        g.centre = {e.centre.x, e.centre.y, z};
        g.normal = {0.0, 0.0, 1.0};
        g.radius = e.r;
        g.start_deg = low * 180.0 / kPi;
        g.end_deg = (low + std::abs(e.sweep)) * 180.0 / kPi;
        const double t0 = g.start_deg * kPi / 180.0, t1 = g.end_deg * kPi / 180.0;
        in_set = e.sweep > 0.0 ? vantu::control::curve_in_set{0, t0, t1, 1.0}
                               : vantu::control::curve_in_set{0, t1, t0, -1.0};
    } else {
        g.kind = vantu::curve_kind::line;
        g.start = {e.a.x, e.a.y, z};
        g.end = {e.b.x, e.b.y, z};
        in_set = {0, 0.0, length(e.b - e.a), 1.0};
    }
    if (vantu::store().next_id > INT_MAX) return 0;
    vantu::entity stored;
    stored.id = static_cast<int>(vantu::store().next_id);
    vantu::encode_curve(g, stored);
    if (const auto plane = vantu::contour_work_plane()) stored.attributes["RP"] = plane->ucs;
    if (!vantu::insert_entity(std::move(stored))) return 0;
    in_set.entity = static_cast<int>(vantu::store().next_id) - 1;
    return in_set.entity;
}

void release_set(int set)
{
    int count = 0, status = 0;
    dfdgnc(set, count, status);
    for (int k = 1; k <= count; ++k) {
        int entity = 0;
        double data[3];
        dfdget(set, k, entity, data, status);
        if (status == 0) edelet(entity, status);
    }
    vantu::remove_curve_set(set);
    offset_sets().erase(set);
}

// The loop as a new curve set and its chain record; status as dfcof2.
int store_loop(const std::vector<element>& loop, double z, int room, int* out, int& length_out)
{
    if (static_cast<long>(loop.size()) > room || out == nullptr) return kRecordNoRoom;
    const int set = vantu::unused_curve_set();
    std::vector<vantu::control::curve_in_set> curves;
    for (const element& e : loop) {
        vantu::control::curve_in_set c{};
        if (store_curve(e, z, c) == 0) {
            for (const auto& made : curves) {
                int s = 0;
                edelet(made.entity, s);
            }
            return kRecordNoRoom;
        }
        curves.push_back(c);
    }
    vantu::control::define_curve_set(set, std::move(curves));
    offset_sets().insert(set);
    int status = 0;
    dfdgrc(set, room, out, length_out, status);
    if (status != 0) release_set(set);
    return status;
}

int offset_contour(const int* record, double distance, int room, int* out, int& length_out)
{
    if (!std::isfinite(distance)) return kOffsetBadDistance;
    contour c;
    if (const int status = read_contour(record, c); status != 0) return status;
    const std::vector<element> pieces = kept_pieces(c, raw_offset(c, distance), distance);
    std::vector<std::vector<element>> loops;
    if (!join_loops(pieces, std::max(vantu::kDoubleTolerance, kPieceRelative * 1.0e3 * c.size), loops))
        return kOffsetSplits;
    if (loops.empty()) return 0;
    if (loops.size() > 1) return kOffsetSplits;
    return store_loop(loops.front(), c.z, room, out, length_out);
}

}  // namespace

void dfcof2(const int* record, double distance, int room, int* out, int& length, int& status)
{
    length = 0;
    status = record == nullptr ? kOffsetNotContour : offset_contour(record, distance, room, out, length);
    vantu::trace_call("dfcof2", std::to_string(distance), status);
}

void dfcgnr(const int* record, int& status)
{
    const vantu::record_info info = record ? vantu::record_at(record) : vantu::record_info{};
    status = info.kind == vantu::record_kind::chain && offset_sets().count(info.id) ? 0 : -1;
    if (status == 0) release_set(info.id);
    vantu::trace_call("dfcgnr", "", status);
}
