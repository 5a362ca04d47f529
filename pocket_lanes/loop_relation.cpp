// Whether one pocket array lies inside another (pokarr_relation), whether the pieces of an
// offset meet a loop (pieces_meet_loop), and whether the crossing search of two loops surely
// finds nothing (crossing_search_finds_none, which lets the one offset skip it). Points are
// located with pnt_in_pokarr; crossings come from the loop intersection.
#include "pocket_lanes/loop_relation.hpp"

#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kHeightsOnBoth = 102;
// Result of pieces_meet_loop for a piece that crosses the loop.
constexpr int kPieceCrosses = 2;

// Whether entry i of the array is part of an arc record after its marker (marker, radius,
// centre): those are not points.
bool in_arc_record(const pokarr& array, int i)
{
    for (int back = 0; back < 3 && i - back >= 0; ++back)
        if (pk_is_marker(array.x[i - back])) return true;
    return false;
}

// On surfaces: a crossing where B runs clearly above or below A would decide by the surface
// walk. Answers false with the status set when the decision needs it.
bool heights_allow_plane_test(pokarr& a, const pokarr& b, double width, int& status)
{
    const auto rows = loop_crossings(kHeightsOnBoth, a, b, status);
    if (status < 0) return false;
    const double reach = std::min(0.5 * width, pocket_work_block.tolerance);
    for (int i = 0; i < rows->count; ++i) {
        if (std::fabs(rows->z_b[i] - rows->z_a[i]) >= reach) {
            status = kRelationNoSurface;
            return false;
        }
    }
    return true;
}

// A box holding the box of every element of the loop as the search's element index takes it (the
// ends of each element and, for an arc, its whole circle, which holds the arc's box); false for
// a loop of fewer than two entries. Every element starts where the one before it ends (the first
// at entry 0), so the ends are entry 0 and each element's end entry.
bool elements_box(const pokarr& loop, double* box)
{
    if (loop.count < 2) return false;
    box[0] = box[2] = loop.x[0];
    box[1] = box[3] = loop.y[0];
    const auto grow = [box](double x, double y) {
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
    };
    for (int k = 1; k < loop.count; ++k) {
        if (pk_is_marker(loop.x[k]) && k + 3 < loop.count) {
            const double r = std::fabs(loop.x[k + 1]), cx = loop.x[k + 2], cy = loop.y[k + 2];
            grow(cx - r, cy - r);
            grow(cx + r, cy + r);
            k += 3;
        }
        grow(loop.x[k], loop.y[k]);
    }
    return true;
}

// The reach of the search's element index: an element box widened by it that meets a box may
// give the search a row there.
constexpr double kSearchReach = 2.0 * kElemIndexMargin;

// The box h of element e of the loop as the crossing search walks it (see elements_box and the
// walk of crossing_search_finds_none); answers the entries the element takes, or 0 at a broken
// arc record, where the search's walk ends.
int walked_element_box(const double* x, const double* y, int count, int e, double* h)
{
    const bool arc = pk_is_marker(x[e]);
    if (arc && e + 3 >= count) return 0;
    elem_holding_box(arc ? 1 : 0, arc ? x[e + 2] : 0.0, arc ? y[e + 2] : 0.0, arc ? x[e + 1] : 0.0, x[e - 1], y[e - 1],
                     arc ? x[e + 3] : x[e], arc ? y[e + 3] : y[e], h);
    return arc ? kArcRecordEntries : 1;
}

// Whether a widened element box meets the box (x min, y min, x max, y max); a number that is
// not finite meets.
bool boxes_meet(const std::array<double, 4>& e, const double* box)
{
    return !(e[2] < box[0] || e[0] > box[2] || e[3] < box[1] || e[1] > box[3]);
}

bool planar_loop(const pokarr& loop)
{
    return loop.x != nullptr && loop.y != nullptr && loop.dimension >= 2 && loop.count >= 2;
}

}  // namespace

std::unique_ptr<crossing_rows> loop_crossings(int mode, pokarr& a, const pokarr& b, int& status)
{
    auto rows = std::make_unique_for_overwrite<crossing_rows>();
    pokarr_get_boxes(b, rows->boxes);
    luplup_pokarr(mode, a, b, rows->boxes, rows->elem_a, rows->elem_b, rows->x, rows->y, rows->z_a, rows->z_b,
                  rows->count, status);
    if (status > 0) status = 0;
    return rows;
}

bool crossing_search_finds_none(const pokarr& a, const pokarr& b)
{
    double box[4];
    if (!planar_loop(a) || !planar_loop(b) || !elements_box(b, box)) return false;
    // The finiteness checks come last, before every true answer: a box that reaches b answers
    // false without them, and the walk only compares, so its answer is the same.
    const auto both_finite = [&a, &b] { return pokarr_finite(a) && pokarr_finite(b); };
    constexpr double reach = kSearchReach;
    const double* x = a.x;
    const double* y = a.y;
    for (int e = 1; e < a.count;) {
        const bool arc = pk_is_marker(x[e]);
        if (arc && e + 3 >= a.count) return both_finite();  // the search's walk ends at a broken record
        double h[4];
        elem_holding_box(arc ? 1 : 0, arc ? x[e + 2] : 0.0, arc ? y[e + 2] : 0.0, arc ? x[e + 1] : 0.0, x[e - 1],
                         y[e - 1], arc ? x[e + 3] : x[e], arc ? y[e + 3] : y[e], h);
        if (!(h[2] + reach < box[0] || h[0] - reach > box[2] || h[3] + reach < box[1] || h[1] - reach > box[3]))
            return false;
        e += arc ? kArcRecordEntries : 1;
    }
    return both_finite();
}

void crossing_search_loop_make(const pokarr& a, crossing_search_loop& prepared)
{
    prepared.planar = planar_loop(a);
    prepared.finite = prepared.planar && pokarr_finite(a);
    prepared.count = a.count;
    prepared.boxes.clear();
    prepared.starts.clear();
    if (prepared.planar) {
        for (int e = 1, step = 0; e < a.count; e += step) {
            double h[4];
            step = walked_element_box(a.x, a.y, a.count, e, h);
            if (step == 0) break;
            prepared.boxes.push_back(
                {h[0] - kSearchReach, h[1] - kSearchReach, h[2] + kSearchReach, h[3] + kSearchReach});
            prepared.starts.push_back(e);
        }
    }
    box_grid_build(prepared.boxes, prepared.grid);
}

bool crossing_search_finds_none(crossing_search_loop& a, const pokarr& b)
{
    double box[4];
    if (!a.planar || !planar_loop(b) || !elements_box(b, box)) return false;
    // Every element box that meets b's box is among the grid's candidates; the test on each is
    // the walk's own.
    box_grid_candidates(a.grid, box, a.met);
    for (const int k : a.met)
        if (boxes_meet(a.boxes[static_cast<std::size_t>(k)], box)) return false;
    return a.finite && pokarr_finite(b);
}

bool crossing_search_near(crossing_search_loop& a, const pokarr& b, luplup_near& near)
{
    if (!a.planar || !planar_loop(b) || !elements_box(b, near.box)) return false;
    box_grid_candidates(a.grid, near.box, a.met);
    a.near.clear();
    for (const int k : a.met) {
        const std::size_t i = static_cast<std::size_t>(k);
        if (boxes_meet(a.boxes[i], near.box)) a.near.push_back(a.starts[i]);
    }
    near.elements = &a.near;
    near.count = a.count;
    near.finite = a.finite;
    return true;
}

void crossing_test_near(int mode, pokarr& a, crossing_search_loop& prepared, const pokarr& b, int& status)
{
    luplup_near near;
    if (!crossing_search_near(prepared, b, near)) {
        pokarr_intersect_test(mode, a, b, status);
        return;
    }
    if (prepared.rows == nullptr) prepared.rows = std::make_unique<crossing_rows>();
    crossing_rows* rows = prepared.rows.get();
    pokarr_get_groups(b, rows->boxes);
    luplup_pokarr_near(mode, a, near, b, rows->boxes, rows->elem_a, rows->elem_b, rows->x, rows->y, rows->z_a,
                       rows->z_b, rows->count, status);
    if (status < 0) return;
    status = rows->count > 0 ? 1 : 0;
}

void pokarr_relation(pokarr& a, const pokarr& b, int side, double width, int& relation, int& status)
{
    (void)side;  // the side orients the surface walk only
    status = 0;
    relation = kRelationUndecided;
    if (a.dimension != 2 && !heights_allow_plane_test(a, b, width, status)) return;
    inside_loop loop_a;
    inside_loop_make(a, loop_a);
    for (int i = 0; i < b.count && relation == kRelationUndecided && status == 0; ++i) {
        if (in_arc_record(b, i)) continue;
        pnt_in_inside_loop(b.x[i], b.y[i], loop_a, relation, status);
    }
}

void pieces_meet_loop(int piece_count, const int* counts, const pokarr& pieces, const pokarr& loop, int& result,
                      int& status)
{
    result = 0;
    status = 0;
    int start = 0;
    for (int p = 0; p < piece_count; ++p) {
        const int n = counts[p];
        if (n < 1 || n > pieces.count - start) {
            status = -1;
            return;
        }
        pokarr piece;
        pokarr_child(pieces, start, n, piece);
        start += n;
        int inside = 0;
        pnt_in_pokarr(piece.x[0], piece.y[0], loop, inside, status);
        if (status != 0) return;
        if (inside != kLoopOutside) {
            result = inside;
            return;
        }
        if (n < 2) continue;
        int crossing = 0;
        pokarr_intersect_test(kLuplupFirstOnly, piece, loop, crossing);
        if (crossing < 0) {
            status = crossing;
            return;
        }
        if (crossing > 0) {
            result = kPieceCrosses;
            return;
        }
    }
}
