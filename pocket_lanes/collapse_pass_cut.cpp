// The collapse pass cut once (collapse_pass_cut.hpp): the path's elements as pieces split where
// the two sides of a pass part, the cut from each turn and the shortest of them. The chain cut
// calls collapse_pass_cut_once for the first lane of a chain; stage 1 asks collapse_pass_turns
// where to enter.
#include "pocket_lanes/collapse_pass_cut.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/moves/box_grid.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// A vertex where the way out runs against the way in by more than this cosine turns back: the
// two sides of a loop of no width meet at its ends at a full half turn, and a sharper kink than
// this is no part of a pass that runs on.
constexpr double kTurnBackCosine = -0.9;
// The share of the pocket's tolerance within which the sides of a pass make one line.
constexpr double kNearShare = 0.5;
// Pieces of at most this many times `near` are passed over where a turn is looked for.
constexpr double kShortShare = 2.0;
// How far (times near) a stretch left out of the cut may reach on to a vertex of the rest.
constexpr double kJoinShare = 4.0;
// Points tested along each piece of the stretch to be left out: its ends and points between at
// most kSampleSpacing x near apart, at least kFewestSamples and at most kMostSamples spans.
constexpr double kSampleSpacing = 8.0;
constexpr int kFewestSamples = 4, kMostSamples = 64;
// Points tested against a cut's opening stand at most this share of the opening apart: on a lane
// of a few hundredths, points kSampleSpacing x near apart would each count for a third of it.
constexpr double kOpeningSamples = 16.0;
// Halvings of a span between two points tested whose answers differ: the place where a stretch
// run over begins or ends is found to 1/64 of the span.
constexpr int kTransitionHalvings = 6;
// The distance of a point to an arc, measured through its nearest point, may differ from its
// distance to the arc's circle by rounding of this share of the radius.
constexpr double kCircleRounding = 1.0e-9;
// An element of the cut path as the cut-once search handles it: ends, and for an arc its circle
// and way round; split and turned round freely.
struct piece {
    double sx = 0.0, sy = 0.0, ex = 0.0, ey = 0.0;
    bool arc = false;
    double cx = 0.0, cy = 0.0, r = 0.0;
    int dir = 1;
    double length = 0.0;
    double box[4] = {};
    int start = 0;  // the entry of its start in the path it was read from
};

void piece_measure(piece& p)
{
    p.box[0] = std::min(p.sx, p.ex), p.box[1] = std::min(p.sy, p.ey);
    p.box[2] = std::max(p.sx, p.ex), p.box[3] = std::max(p.sy, p.ey);
    if (!p.arc) {
        p.length = std::hypot(p.ex - p.sx, p.ey - p.sy);
        return;
    }
    double sweep = std::atan2(p.ey - p.cy, p.ex - p.cx) - std::atan2(p.sy - p.cy, p.sx - p.cx);
    if (p.dir < 0) sweep = -sweep;
    while (sweep < 0.0) sweep += 2.0 * std::numbers::pi;
    p.length = std::fabs(p.r) * sweep;
    const double r = std::fabs(p.r);
    // The arc's box (the whole circle's for ends together) grown by the rounding of points worked
    // out along it: the box is only a quick test before the distance.
    arc_box(p.cx, p.cy, r, p.dir, p.sx, p.sy, p.ex, p.ey, p.box[0], p.box[1], p.box[2], p.box[3]);
    const double grow = kCircleRounding * r;
    p.box[0] -= grow, p.box[1] -= grow, p.box[2] += grow, p.box[3] += grow;
}

bool pieces_of(const pokarr& path, std::vector<piece>& out)
{
    std::vector<chain_element> elements;
    chain_elements_of(path.x, path.y, path.count, elements);
    out.clear();
    for (const chain_element& e : elements) {
        piece p{path.x[e.start], path.y[e.start], path.x[e.end], path.y[e.end], e.arc, e.cx, e.cy, e.r, e.dir};
        piece_measure(p);
        p.start = e.start;
        out.push_back(p);
    }
    return out.size() >= 2;
}

piece reversed(const piece& p)
{
    piece q = p;
    std::swap(q.sx, q.ex), std::swap(q.sy, q.ey);
    q.dir = -p.dir;
    return q;
}

// The point at fraction t of the piece's length. On an arc the angle goes in proportion: a blend
// of the ends' radial directions does not, and on an arc of 154 degrees the point it gave at 0.99
// stood 1.2 degrees beyond 0.99 of the sweep (the end of a stretch split there, near the cut's
// entry, was taken for running over its opening).
void piece_point(const piece& p, double t, double& x, double& y)
{
    if (p.arc)
        arc_pnt_by_angle(std::fabs(p.r), p.dir, p.cx, p.cy, p.sx, p.sy, p.ex, p.ey, t, x, y);
    else
        x = p.sx + t * (p.ex - p.sx), y = p.sy + t * (p.ey - p.sy);
}

// The point (nx, ny) of the piece nearest (x, y): its distance and its place along the piece
// (t, from 0 at the start to 1 at the end; on an arc not in proportion to the length, so the
// point itself is answered for a split).
double piece_nearest(const piece& p, double x, double y, double& t, double& nx, double& ny)
{
    if (!p.arc) {
        const double dx = p.ex - p.sx, dy = p.ey - p.sy, l2 = dx * dx + dy * dy;
        t = l2 > 0.0 ? std::clamp(((x - p.sx) * dx + (y - p.sy) * dy) / l2, 0.0, 1.0) : 0.0;
        nx = p.sx + t * dx, ny = p.sy + t * dy;
        return std::hypot(x - nx, y - ny);
    }
    double distance = 0.0;
    arc_dist_pnt(2, x, y, p.r, p.dir, p.cx, p.cy, p.sx, p.sy, p.ex, p.ey, distance, nx, ny, t);
    return std::hypot(x - nx, y - ny);
}

// The two parts of the piece at (x, y), a point on it.
void split_piece(const piece& p, double x, double y, piece& a, piece& b)
{
    a = p, b = p;
    a.ex = x, a.ey = y, b.sx = x, b.sy = y;
    piece_measure(a), piece_measure(b);
}

// Splits the pieces where a vertex of the path lies on another piece's inside: where the two
// sides of a pass part (at the foot of a leg), both get a vertex, so that what the rest of the
// path runs over is made of whole pieces.
void split_at_vertices(std::vector<piece>& w, double near)
{
    std::vector<double> vx, vy;
    for (const piece& p : w) vx.push_back(p.sx), vy.push_back(p.sy);
    std::vector<piece> out;
    for (const piece& p : w) {
        struct split_point {
            double t, x, y;
        };
        std::vector<split_point> at;
        for (std::size_t k = 0; k < vx.size(); ++k) {
            if (vx[k] < p.box[0] - near || vx[k] > p.box[2] + near || vy[k] < p.box[1] - near ||
                vy[k] > p.box[3] + near)
                continue;
            split_point q{};
            if (piece_nearest(p, vx[k], vy[k], q.t, q.x, q.y) <= near && std::hypot(q.x - p.sx, q.y - p.sy) > near &&
                std::hypot(q.x - p.ex, q.y - p.ey) > near)
                at.push_back(q);
        }
        std::sort(at.begin(), at.end(), [](const split_point& a, const split_point& b) { return a.t < b.t; });
        piece rest = p;
        for (const split_point& q : at) {
            piece a, b;
            split_piece(rest, q.x, q.y, a, b);
            if (a.length > near && b.length > near) out.push_back(a), rest = b;
        }
        out.push_back(rest);
    }
    w.swap(out);
}

// The way the piece runs at (px, py), a point on it, as a unit vector.
void piece_direction(const piece& p, double px, double py, double& ux, double& uy)
{
    if (p.arc) {
        ux = -p.dir * (py - p.cy), uy = p.dir * (px - p.cx);
    } else {
        ux = p.ex - p.sx, uy = p.ey - p.sy;
    }
    const double length = std::hypot(ux, uy);
    if (length > 0.0) ux /= length, uy /= length;
}

// Whether the way out of the vertex between two pieces runs against the way in.
bool turns_back(const piece& in, const piece& out)
{
    double ix = 0.0, iy = 0.0, ox = 0.0, oy = 0.0;
    piece_direction(in, in.ex, in.ey, ix, iy);
    piece_direction(out, out.sx, out.sy, ox, oy);
    return ix * ox + iy * oy < kTurnBackCosine;
}

// Whether the closed path turns back where piece k starts. Pieces no longer than kShortShare x
// near between the way in and piece k are passed over: a detour put in at the point of the path
// nearest its vertex joins it by such a piece, and the half turn is then spread over two or three
// vertices. A short piece itself starts no turn.
bool turn_at(const std::vector<piece>& w, std::size_t k, double near)
{
    const double shortest = kShortShare * near;
    if (!(w[k].length > shortest)) return false;
    for (std::size_t back = 1; back < w.size(); ++back) {
        const piece& in = w[(k + w.size() - back) % w.size()];
        if (in.length > shortest) return turns_back(in, w[k]);
    }
    return false;
}

// The vertices of the closed path where it turns back.
std::size_t turn_count(const std::vector<piece>& w, double near)
{
    std::size_t turns = 0;
    for (std::size_t k = 0; k < w.size(); ++k)
        if (turn_at(w, k, near)) ++turns;
    return turns;
}

// Whether the point lies off an arc piece's circle by more than `near` (and the rounding of the
// distance to the arc): no point of the arc is then within `near` of it. The box of an arc holds
// its whole circle, so that most points the box lets by are decided here, without the arc's
// nearest point.
bool off_circle(const piece& p, double x, double y, double near)
{
    if (!p.arc) return false;
    const double r = std::fabs(p.r);
    return std::fabs(std::hypot(x - p.cx, y - p.cy) - r) > near + kCircleRounding * std::max(r, near);
}

// How many spans the points tested along a piece make: one every `spacing`, within
// kFewestSamples and kMostSamples.
int sample_spans(const piece& p, double spacing)
{
    const double spans = std::ceil(p.length / spacing);
    return std::clamp(std::isfinite(spans) ? static_cast<int>(std::min(spans, 1.0e6)) : kMostSamples, kFewestSamples,
                      kMostSamples);
}

// Whether piece q runs within `near` of the point; (nx, ny) its point nearest it when it does.
bool piece_near(const piece& q, double x, double y, double near, double& nx, double& ny)
{
    if (x < q.box[0] - near || x > q.box[2] + near || y < q.box[1] - near || y > q.box[3] + near) return false;
    if (off_circle(q, x, y, near)) return false;
    double t = 0.0;
    return piece_nearest(q, x, y, t, nx, ny) <= near;
}

bool piece_near(const piece& q, double x, double y, double near)
{
    double nx = 0.0, ny = 0.0;
    return piece_near(q, x, y, near, nx, ny);
}

// Which pieces of a path run within `near` of the points tested along each of its pieces, worked
// out a point at a time as they are first asked about and kept: the cuts from every turn and
// from every entry of the same path ask it of the same points over other stretches. `path` is
// the path as split, in its own order; the cut search may take it turned round to start
// elsewhere, each piece `offset` places on (run_over).
// For the cut search turned round by one offset it also keeps, per piece, how far its points have
// been asked and the lowest, over those points, of the highest place (turned round) of a piece
// near the point: whether the rest of the path from a place on runs over the piece is then read
// from what was asked before, and a piece is asked further only as far as a later question needs.
struct pass_over {
    std::size_t asked = 0;  // points asked, from the first
    long lowest = 0;        // over them, the lowest of the highest near place (-1: a point near none)
};
struct pass_reach {
    const std::vector<piece>* path = nullptr;
    double near = 0.0;
    std::vector<int> spans;                                     // per piece, as sample_spans
    std::vector<std::vector<std::vector<std::uint32_t>>> rows;  // [piece][point] -> near pieces
    std::size_t over_offset = 0;                                // the offset `over` was asked for
    std::vector<pass_over> over;                                // per piece of the path
    // A long path's pieces, their boxes widened by `near`, in a grid made at the first point
    // asked: a point then meets only the pieces whose boxes hold it.
    std::unique_ptr<box_grid> grid;
    std::vector<int> met;  // scratch: the pieces a point meets
};

pass_reach reach_of(const std::vector<piece>& path, double near)
{
    pass_reach r;
    r.path = &path;
    r.near = near;
    r.spans.resize(path.size());
    for (std::size_t k = 0; k < path.size(); ++k) r.spans[k] = sample_spans(path[k], kSampleSpacing * near);
    r.rows.resize(path.size());
    return r;
}

// Paths of at least this many pieces get their grid.
constexpr std::size_t kGridFromPieces = 32;

// The pieces of the path that may run within `near` of (x, y), in increasing order: every piece
// whose box widened by `near` holds the point is among them.
const std::vector<int>& pieces_about(pass_reach& r, double x, double y)
{
    const std::vector<piece>& w = *r.path;
    if (w.size() < kGridFromPieces) {
        r.met.resize(w.size());
        for (std::size_t k = 0; k < w.size(); ++k) r.met[k] = static_cast<int>(k);
        return r.met;
    }
    if (r.grid == nullptr) {
        std::vector<std::array<double, 4>> boxes;
        for (const piece& p : w)
            boxes.push_back({p.box[0] - r.near, p.box[1] - r.near, p.box[2] + r.near, p.box[3] + r.near});
        r.grid = std::make_unique<box_grid>();
        box_grid_build(boxes, *r.grid);
    }
    const double box[4] = {x, y, x, y};
    box_grid_candidates(*r.grid, box, r.met);
    return r.met;
}

// The pieces near point j (of spans + 1, ends included) tested along piece g of the path.
const std::vector<std::uint32_t>& near_pieces(pass_reach& r, std::size_t g, std::size_t j)
{
    auto& row = r.rows[g];
    const std::vector<piece>& w = *r.path;
    while (row.size() <= j) {
        double x = 0.0, y = 0.0;
        piece_point(w[g], static_cast<double>(row.size()) / r.spans[g], x, y);
        std::vector<std::uint32_t>& point = row.emplace_back();
        for (const int k : pieces_about(r, x, y))
            if (piece_near(w[static_cast<std::size_t>(k)], x, y, r.near))
                point.push_back(static_cast<std::uint32_t>(k));
    }
    return row[j];
}

// The highest place, in the path turned `offset` places round, of the pieces near point j of
// piece g; -1 when no piece is near it.
long highest_near(pass_reach& r, std::size_t offset, std::size_t g, std::size_t j)
{
    const std::size_t n = r.path->size();
    long highest = -1;
    for (const std::uint32_t q : near_pieces(r, g, j))
        highest = std::max(highest, static_cast<long>((q + n - offset % n) % n));
    return highest;
}

// Whether every point tested along piece p of the path turned `offset` places round (piece p is
// piece p + offset of reach's path) lies within `near` of one of its pieces from `from` on.
bool run_over(pass_reach& reach, std::size_t offset, std::size_t p, std::size_t from)
{
    const std::size_t n = reach.path->size();
    if (reach.over.size() != n || reach.over_offset != offset) reach.over.assign(n, {}), reach.over_offset = offset;
    const std::size_t g = (p + offset) % n;
    pass_over& o = reach.over[g];
    const long least = static_cast<long>(from);
    const std::size_t points = static_cast<std::size_t>(reach.spans[g]) + 1;
    for (; o.asked < points && (o.asked == 0 || o.lowest >= least); ++o.asked) {
        const long highest = highest_near(reach, offset, g, o.asked);
        o.lowest = o.asked == 0 ? highest : std::min(o.lowest, highest);
    }
    return o.lowest >= least;
}

// Whether the vertex before piece k of the path turned `offset` places round is the foot of a
// pass, where its sides part: the piece before it is run over by the path from k on, piece k by
// none after it. A path entered at a pass's turn runs along one side from the entry and comes back
// along the other at its end; cut from the foot, the side it begins with is left out.
bool foot_at(pass_reach& reach, std::size_t offset, std::size_t k)
{
    return k >= 1 && k + 1 < reach.path->size() && run_over(reach, offset, k - 1, k) &&
           !run_over(reach, offset, k, k + 1);
}

// The vertex of pieces [from, to) (from .. to: the start of each and the end of the last) within
// `near` of the point, as an index from `from`; -1 when none.
int vertex_near(const std::vector<piece>& w, std::size_t from, std::size_t to, double x, double y, double near)
{
    for (std::size_t k = from; k <= to; ++k) {
        const double vx = k < to ? w[k].sx : w[to - 1].ex, vy = k < to ? w[k].sy : w[to - 1].ey;
        // A vertex farther along x or y than `near` is farther in all: the distance is not needed.
        if (std::fabs(vx - x) > near || std::fabs(vy - y) > near) continue;
        if (std::hypot(vx - x, vy - y) <= near) return static_cast<int>(k - from);
    }
    return -1;
}

// The length of pieces [from, to).
double length_of(const std::vector<piece>& w, std::size_t from, std::size_t to)
{
    double length = 0.0;
    for (std::size_t k = from; k < to; ++k) length += w[k].length;
    return length;
}

// The cut that starts at the turn before piece `split` and runs the rest of the path R (pieces
// split on) to its end, where the link to the parent starts. Each stretch of the pieces before the
// turn that R does not run over is gone along between the vertices of R where it starts and ends,
// and the cut comes back by the shorter way: along R (the stretch then gone along from whichever
// of the two the cut reaches first), or back along the stretch itself, from where it starts (a
// stretch hanging off R's end, the entry, has no other way back that is not R once more).
// detours_from_turn finds the stretches, walk_cut lays the cut out.
struct detour {
    std::size_t first, last;  // the pieces gone along (before the turn)
    int from, to;             // the vertices of R where they start and end
};

// The stretches the cut from the turn before piece `split` goes along; false when one does not
// start and end on vertices of R.
bool detours_from_turn(const std::vector<piece>& w, std::size_t split, double near, pass_reach& reach,
                       std::size_t offset, std::vector<detour>& detours)
{
    detours.clear();
    for (std::size_t k = 0; k < split; ++k) {
        if (run_over(reach, offset, k, split)) continue;
        if (!detours.empty() && detours.back().last + 1 == k)
            detours.back().last = k;
        else
            detours.push_back({k, k, -1, -1});
    }
    // A stretch that does not end on a vertex of R takes in the short pieces after it (run over
    // by R, so cut anyway) up to one that does: where a detour joins the lane, the lane's piece is
    // split at the detour's vertices and at the point it joins, a few thousandths apart. The same
    // before its start.
    const double join_reach = kJoinShare * near;
    for (detour& d : detours) {
        d.from = vertex_near(w, split, w.size(), w[d.first].sx, w[d.first].sy, near);
        for (double taken = 0.0; d.from < 0 && d.first > 0 && taken + w[d.first - 1].length <= join_reach;) {
            taken += w[--d.first].length;
            d.from = vertex_near(w, split, w.size(), w[d.first].sx, w[d.first].sy, near);
        }
        d.to = vertex_near(w, split, w.size(), w[d.last].ex, w[d.last].ey, near);
        for (double taken = 0.0; d.to < 0 && d.last + 1 < split && taken + w[d.last + 1].length <= join_reach;) {
            taken += w[++d.last].length;
            d.to = vertex_near(w, split, w.size(), w[d.last].ex, w[d.last].ey, near);
        }
        if (d.from < 0 || d.to < 0) return false;
    }
    return true;
}

// The pieces of the cut from the turn before piece `split` with its detours, in order, each
// handed to `take`. R's stretch between the ends of a detour that comes back along R is cut twice:
// after the detour, not once before it, where the cut may just have begun and would run over
// its opening again.
template <typename Take>
void walk_cut(const std::vector<piece>& w, std::size_t split, const std::vector<detour>& detours, Take take)
{
    const std::size_t rest = w.size() - split;
    // Pieces [from, to) the other way: the last first, each turned round.
    const auto backwards = [&w, &take](std::size_t from, std::size_t to) {
        for (std::size_t k = to; k-- > from;) take(reversed(w[k]));
    };
    for (std::size_t v = 0; v <= rest; ++v) {
        for (const detour& d : detours) {
            if (d.from != static_cast<int>(v) && d.to != static_cast<int>(v)) continue;
            const std::size_t low = split + static_cast<std::size_t>(std::min(d.from, d.to));
            const std::size_t high = split + static_cast<std::size_t>(std::max(d.from, d.to));
            if (length_of(w, d.first, d.last + 1) < length_of(w, low, high)) {
                // Back along the stretch itself, from where it starts.
                if (d.from != static_cast<int>(v)) continue;
                for (std::size_t k = d.first; k <= d.last; ++k) take(w[k]);
                backwards(d.first, d.last + 1);
                continue;
            }
            if (split + v != low) continue;
            if (d.from <= d.to) {
                for (std::size_t k = d.first; k <= d.last; ++k) take(w[k]);
            } else {
                backwards(d.first, d.last + 1);
            }
            backwards(low, high);
        }
        if (v < rest) take(w[split + v]);
    }
}

// The pieces as a chain of entries: the first start, then each end (with its arc record).
void write_pieces(const std::vector<piece>& cut, pokarr& out, int& status)
{
    const double first[2] = {cut.front().sx, cut.front().sy};
    pokarr_add_pnt(first, out, status);
    for (const piece& p : cut) {
        if (status != 0) return;
        if (p.arc) {
            pokarr_add_arc(p.ex, p.ey, nullptr, p.cx, p.cy, p.r, p.dir, out, status);
        } else {
            const double end[2] = {p.ex, p.ey};
            pokarr_add_pnt(end, out, status);
        }
    }
}

// The cut's stretch from `from` to `to` along it: a piece across either bound is split there, so
// that a long piece is not taken whole on either side of it.
std::vector<piece> stretch_of(const std::vector<piece>& cut, double from, double to)
{
    std::vector<piece> out;
    double along = 0.0;
    for (std::size_t k = 0; k < cut.size() && along < to; along += cut[k++].length) {
        if (along + cut[k].length <= from) continue;
        piece p = cut[k], other;
        double x = 0.0, y = 0.0;
        if (along + cut[k].length > to) {
            piece_point(cut[k], (to - along) / cut[k].length, x, y);
            split_piece(cut[k], x, y, p, other);
        }
        if (along < from) {
            const piece whole = p;
            piece_point(cut[k], (from - along) / cut[k].length, x, y);
            split_piece(whole, x, y, other, p);
        }
        out.push_back(p);
    }
    return out;
}

// Whether a piece of the opening runs within `near` of (x, y), where the cut runs the way (ux, uy);
// with `back_only`, only one that runs back against it there.
bool opening_near(const std::vector<piece>& head, double x, double y, double ux, double uy, double near, bool back_only)
{
    return std::any_of(head.begin(), head.end(), [&](const piece& q) {
        double nx = 0.0, ny = 0.0, vx = 0.0, vy = 0.0;
        if (!piece_near(q, x, y, near, nx, ny)) return false;
        if (!back_only) return true;
        piece_direction(q, nx, ny, vx, vy);
        return ux * vx + uy * vy < kTurnBackCosine;
    });
}

// Whether the point at t along the tested piece lies within `near` of the opening `head`,
// running back against it only with `back_only`.
bool over_opening_at(const piece& tested, double t, const std::vector<piece>& head, double near, bool back_only)
{
    double x = 0.0, y = 0.0, ux = 0.0, uy = 0.0;
    piece_point(tested, t, x, y);
    if (back_only) piece_direction(tested, x, y, ux, uy);
    return opening_near(head, x, y, ux, uy, near, back_only);
}

// Adds to `over` the length of the stretch that lies within `near` of the opening `head` (whose
// box, widened by twice `near` against rounding of the points, is `box`), running back against
// it only with `back_only`; stops once `over` passes `most`. The points tested stand `spacing`
// apart (see sample_spans); where the answer changes between two of them, the place it changes
// is narrowed down by kTransitionHalvings halvings, so that a stretch run over is measured to a
// small share of the spacing, and a cut that runs over a little more than half its opening is not
// taken for one that runs over a little less.
void add_run_over(const std::vector<piece>& stretch, const std::vector<piece>& head, const double box[4], double near,
                  double spacing, bool back_only, double most, double& over)
{
    const double clear = 2.0 * near;
    for (const piece& tested : stretch) {
        const double* b = tested.box;
        if (b[0] > box[2] + clear || b[2] < box[0] - clear || b[1] > box[3] + clear || b[3] < box[1] - clear) continue;
        const int spans = sample_spans(tested, spacing);
        bool before = over_opening_at(tested, 0.0, head, near, back_only);
        for (int j = 1; j <= spans; ++j) {
            const double from = static_cast<double>(j - 1) / spans, to = static_cast<double>(j) / spans;
            const bool after = over_opening_at(tested, to, head, near, back_only);
            double share = before ? to - from : 0.0;
            if (before != after) {
                // The place between the two points where the answer changes.
                double low = from, high = to;
                for (int h = 0; h < kTransitionHalvings; ++h) {
                    const double middle = 0.5 * (low + high);
                    (over_opening_at(tested, middle, head, near, back_only) == before ? low : high) = middle;
                }
                const double change = 0.5 * (low + high);
                share = before ? change - from : to - change;
            }
            over += tested.length * share;
            if (over > most) return;
            before = after;
        }
    }
}

// Whether the cut runs back over its opening further on for more than half the opening's
// length, counted as often as it comes back: the opening is the pocket's step, a quarter of the
// cut at most. Entered from above where it begins, such a cut would cut that stretch twice. For
// kJoinShare x near past the opening the cut may still be turning: there only what runs back
// against the opening counts, not what runs on beside it. So too over the last kJoinShare x near
// of a cut that closes where it began, which runs on into its opening there. A cut of a few
// hundredths is all turns, and is judged by them alone.
bool runs_over_opening(const std::vector<piece>& cut, double near)
{
    double whole = 0.0;
    for (const piece& p : cut) whole += p.length;
    const double step = pocket_work_block.engine_step;
    const double opening = step > 0.0 ? std::min(step, 0.25 * whole) : 0.25 * whole;
    const std::vector<piece> head = stretch_of(cut, 0.0, opening);
    if (head.empty()) return false;
    // The box of the opening: a piece whose box keeps clear of it by more than `near` (twice that,
    // against rounding of the points tested) has no point near the opening.
    double box[4] = {head[0].box[0], head[0].box[1], head[0].box[2], head[0].box[3]};
    for (const piece& q : head)
        box[0] = std::min(box[0], q.box[0]), box[1] = std::min(box[1], q.box[1]), box[2] = std::max(box[2], q.box[2]),
        box[3] = std::max(box[3], q.box[3]);
    const bool closes = std::hypot(cut.back().ex - cut.front().sx, cut.back().ey - cut.front().sy) <= near;
    const double from = opening + kJoinShare * near, to = closes ? whole - kJoinShare * near : whole;
    const double most = 0.5 * opening;
    const double spacing = std::min(kSampleSpacing * near, opening / kOpeningSamples);
    double over = 0.0;
    add_run_over(stretch_of(cut, from, to), head, box, near, spacing, false, most, over);
    add_run_over(stretch_of(cut, opening, std::min(from, whole)), head, box, near, spacing, true, most, over);
    if (closes) add_run_over(stretch_of(cut, std::max(from, to), whole), head, box, near, spacing, true, most, over);
    return over > most;
}

// The shortest cut of the closed path that ends where it starts (the entry): from each turn the
// path makes and each foot of a pass (foot_at), as detours_from_turn and walk_cut make it, those that do not run back
// over their opening (runs_over_opening) before all others; w is the path split (split_at_vertices). Answers the length
// it saves against the whole path and the cut in `best` (`clean` when it does not run back over its opening), or 0 and
// nothing when no cut is shorter by more than `near`. With `any_clean` it stops at the first clean cut: enough to know
// that there is one.
double shortest_cut(const std::vector<piece>& w, double near, pass_reach& reach, std::size_t offset, bool any_clean,
                    std::vector<piece>& best, bool& clean)
{
    best.clear();
    clean = false;
    double whole = 0.0;
    for (const piece& p : w) whole += p.length;
    double best_length = whole;
    std::vector<piece> made;
    std::vector<detour> detours;
    for (std::size_t split = 1; split < w.size(); ++split) {
        if (!(turn_at(w, split, near) || foot_at(reach, offset, split)) ||
            !detours_from_turn(w, split, near, reach, offset, detours))
            continue;
        // The cut's length first, summed in its order: its pieces are laid out only for a cut
        // that may take the best one's place.
        double length = 0.0;
        walk_cut(w, split, detours, [&length](const piece& p) { length += p.length; });
        if (!(length < whole - near)) continue;
        // Once a clean cut is found, only a shorter one can take its place: the test of the
        // opening is paid only then.
        if (clean && !(length < best_length)) continue;
        made.clear();
        walk_cut(w, split, detours, [&made](const piece& p) { made.push_back(p); });
        const bool made_clean = !runs_over_opening(made, near);
        if ((made_clean && !clean) || (made_clean == clean && length < best_length))
            best.swap(made), best_length = length, clean = made_clean;
        if (clean && any_clean) break;
    }
    return best.empty() ? 0.0 : whole - best_length;
}

// The path's pieces split where the sides of a pass part; false for a path of more elements than
// `most` allows, or that turns back not at all or more often (no pass along a centre line: a lane
// round close teeth turns back at each).
bool pass_pieces_of(const pokarr& path, double near, const pass_limits& most, std::vector<piece>& w)
{
    if (!pieces_of(path, w) || w.size() > most.elements) return false;
    const std::size_t turns = turn_count(w, near);
    if (turns == 0 || turns > most.turns) return false;
    split_at_vertices(w, near);
    return true;
}

}  // namespace

double collapse_pass_near() { return kNearShare * pocket_work_block.tolerance; }

double collapse_pass_cut_once(pokarr& path, double near, int& status)
{
    status = 0;
    std::vector<piece> w, best;
    if (!pass_pieces_of(path, near, kDetourPassLimits, w)) return 0.0;
    bool clean = false;
    pass_reach reach = reach_of(w, near);
    const double saved = shortest_cut(w, near, reach, 0, false, best, clean);
    // A shorter cut that runs back over its opening does not take the place of a path that does
    // not: stage 1 took the entry for one cut once (collapse_pass_cut_clean), and entered from
    // above the cut would run that stretch twice.
    if (best.empty() || (!clean && !runs_over_opening(w, near))) return 0.0;
    pokarr_work cut(path.dimension);
    write_pieces(best, cut.a, status);
    if (status == 0) pokarr_move(cut.a, path, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return 0.0;
    }
    return saved;
}

bool collapse_pass_cuts_once(const pokarr& path, double near)
{
    std::vector<piece> w, best;
    if (!pass_pieces_of(path, near, kDetourPassLimits, w)) return false;
    bool clean = false;
    pass_reach reach = reach_of(w, near);
    shortest_cut(w, near, reach, 0, true, best, clean);
    return !best.empty() && clean;
}

bool collapse_pass_cut_clean(const pokarr& path, double near)
{
    std::vector<piece> w;
    if (!pieces_of(path, w) || !runs_over_opening(w, near)) return true;
    return collapse_pass_cuts_once(path, near);
}

void collapse_pass_turns(const pokarr& loop, double near, const pass_limits& most, const std::vector<int>& also,
                         std::vector<int>& turns)
{
    turns.clear();
    std::vector<piece> w, best, from_turn;
    if (!pass_pieces_of(loop, near, most, w)) return;
    std::vector<std::pair<double, int>> saved;
    pass_reach reach = reach_of(w, near);
    for (std::size_t k = 0; k < w.size(); ++k) {
        // An entry starts a piece of the loop as read; the split leaves such a start first.
        if (k > 0 && w[k - 1].start == w[k].start) continue;
        if (!turn_at(w, k, near) && std::find(also.begin(), also.end(), w[k].start) == also.end()) continue;
        from_turn.assign(w.begin() + static_cast<std::ptrdiff_t>(k), w.end());
        from_turn.insert(from_turn.end(), w.begin(), w.begin() + static_cast<std::ptrdiff_t>(k));
        bool clean = false;
        const double s = shortest_cut(from_turn, near, reach, k, false, best, clean);
        if (!best.empty() && clean) saved.emplace_back(-s, w[k].start);
    }
    std::sort(saved.begin(), saved.end());
    for (const auto& [s, vertex] : saved) turns.push_back(vertex);
}
