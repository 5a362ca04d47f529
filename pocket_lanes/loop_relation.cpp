// Whether one pocket array lies inside another (pokarr_relation) and whether the pieces of an
// offset meet a loop (pieces_meet_loop). Points are located with pnt_in_pokarr; crossings come
// from the loop intersection.
#include "pocket_lanes/loop_relation.hpp"

#include "pocket/pocket_work.hpp"
#include "pocket_lanes/loop_inside.hpp"
#include "pocket_lanes/loop_intersect.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Columns of one crossing table of the loop intersection.
struct crossing_rows {
    pk_box_table boxes;
    int elem_a[kLuplupRows];
    int elem_b[kLuplupRows];
    double x[kLuplupRows], y[kLuplupRows], z_a[kLuplupRows], z_b[kLuplupRows];
    int count = 0;
};

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
    auto rows = std::make_unique_for_overwrite<crossing_rows>();
    pokarr_get_boxes(b, rows->boxes);
    luplup_pokarr(kHeightsOnBoth, a, b, rows->boxes, rows->elem_a, rows->elem_b, rows->x, rows->y,
                  rows->z_a, rows->z_b, rows->count, status);
    if (status < 0) return false;
    status = 0;
    const double reach = std::min(0.5 * width, pocket_work_block.tolerance);
    for (int i = 0; i < rows->count; ++i) {
        if (std::fabs(rows->z_b[i] - rows->z_a[i]) >= reach) {
            status = kRelationNoSurface;
            return false;
        }
    }
    return true;
}

}  // namespace

void pokarr_relation(pokarr& a, const pokarr& b, int side, double width, int& relation,
                     int& status)
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

void pieces_meet_loop(int piece_count, const int* counts, const pokarr& pieces, const pokarr& loop,
                      int& result, int& status)
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
