// Offset pieces: the piece filter of the one-offset step in its three sweeps (containment, small
// pieces near larger ones, slivers beside the previous lane) and the reordering, the removal of
// crossing pieces, and the largest distance of a loop's vertices from a chain. After a removal a
// sweep goes on at the same position, where the next piece now stands.
#include "pocket_lanes/offset_pieces.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNearShare = 0.75;
constexpr double kSmallWidthFactor = 3.0;
constexpr double kSmallDiscFactor = 1.5;
constexpr double kSliverFactor = 10.0;
constexpr int kSliverTries = 2;
constexpr double kNoMaximum = -1.0e10;
// A piece that may be a sliver on the part surface is searched for area the pocket needs on a
// lattice of this share of the offset, coarser where its box would take more rows than this.
constexpr double kNeededLatticeShare = 0.125;
constexpr double kNeededLatticeRows = 64.0;

// The first entry of each piece.
std::vector<int> firsts_of(int piece_count, const int* counts)
{
    std::vector<int> first(static_cast<std::size_t>(piece_count) + 1, 0);
    for (int i = 0; i < piece_count; ++i)
        first[static_cast<std::size_t>(i) + 1] = first[static_cast<std::size_t>(i)] + counts[i];
    return first;
}

pokarr piece_view(const piece_set& set, const std::vector<int>& first, int i)
{
    pokarr child;
    pokarr_child(*set.points, first[static_cast<std::size_t>(i)], set.counts[i], child);
    return child;
}

// Where the vertices of piece j lie against piece i: 1 one inside, 0 one outside first, 2 all on
// the boundary. Status 11 when a test cannot be made.
int vertices_against(const pokarr& inner, const pokarr& outer, int& status)
{
    for (int k = 0; k < inner.count; ++k) {
        if (pk_is_marker(inner.x[k])) {
            k += kArcRecordEntries - 2;  // the record's end point is the next vertex read
            continue;
        }
        int result = 0;
        pnt_in_pokarr(inner.x[k], inner.y[k], outer, result, status);
        if (status != 0) {
            status = kPiecesMemory;
            return 0;
        }
        if (result != kLoopOnBoundary) return result;
    }
    return kLoopOnBoundary;
}

// Sweep 1: a piece of the wanted kind holding a vertex of another piece of the wanted kind goes:
// of two such nested pieces one is a loop the raw offset forms where it folds over itself. A
// piece of the other kind inside it is a hole of the region it bounds (an island's offset closing
// round a bay), which leaves it a lane. Nor does a speck inside it (no larger than `small`, the
// small-piece area) remove it: a loop the offset over a surface makes of a few of its points
// near a summit would otherwise take the true loop round it, of any size, with it; the speck is
// left to the small-piece sweep.
void containment_sweep(int wanted_kind, double small, int& piece_count, const piece_set& set, int& status)
{
    if (piece_count < 2) return;  // a piece goes only for another piece
    for (int i = 0; i < piece_count;) {
        bool removed = false;
        if (set.kinds[i] == wanted_kind) {
            std::vector<int> first = firsts_of(piece_count, set.counts);
            const pokarr outer = piece_view(set, first, i);
            for (int j = 0; j < piece_count && !removed; ++j) {
                if (j == i || set.kinds[j] != wanted_kind || std::fabs(set.areas[j]) <= small) continue;
                const pokarr inner = piece_view(set, first, j);
                const int where = vertices_against(inner, outer, status);
                if (status != 0) return;
                removed = where == kLoopInside ||
                          (where == kLoopOnBoundary && std::fabs(set.areas[i]) < std::fabs(set.areas[j]));
            }
            if (removed) piece_remove(i, first[static_cast<std::size_t>(i)], set, piece_count);
        }
        if (!removed) ++i;
    }
}

// Sweep 2: a small piece lying wholly within T1 of one point of a larger piece goes.
void small_piece_sweep(double near, double small, double reference, int& piece_count, const piece_set& set)
{
    if (piece_count < 2) return;  // a piece goes only for a larger one
    const int dimension = set.points->dimension;
    for (int i = 0; i < piece_count;) {
        bool removed = false;
        if (std::fabs(set.areas[i]) <= small) {
            std::vector<int> first = firsts_of(piece_count, set.counts);
            const pokarr piece = piece_view(set, first, i);
            const double start[3] = {piece.x[0], piece.y[0], pokarr_coordinate(piece, 0, 2)};
            for (int j = 0; j < piece_count && !removed; ++j) {
                if (j == i || !(std::fabs(set.areas[j]) > reference) ||
                    !(std::fabs(set.areas[j]) > std::fabs(set.areas[i])))
                    continue;
                const pokarr other = piece_view(set, first, j);
                int k = 0;
                double t = 0.0, q[3] = {0.0, 0.0, 0.0}, distance = kNoDistance;
                pokarr_nearest_pnt(dimension, start, other, k, t, q, distance);
                if (k == 0 || distance > near) continue;
                double far[3] = {0.0, 0.0, 0.0}, reach = 0.0;
                pokarr_farthest_pnt(dimension, q, piece, k, t, far, reach);
                removed = reach <= near;
            }
            if (removed) piece_remove(i, first[static_cast<std::size_t>(i)], set, piece_count);
        }
        if (!removed) ++i;
    }
}

// Whether the test line through the sliver's middle crosses it more than once (two segments or
// more). The line runs from the nearest point of the previous lane through the middle point to d
// beyond it.
bool crossed_twice(const pokarr& piece, const double* from, const double* middle, double d, int& status)
{
    const double dx = middle[0] - from[0], dy = middle[1] - from[1];
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) return false;
    const double p1[3] = {from[0], from[1], 0.0};
    const double p2[3] = {middle[0] + d * dx / length, middle[1] + d * dy / length, 0.0};
    // Room for the most points the flattening gives; only the points it writes are read, so the
    // room is not cleared (56 kB for every sliver tested).
    const auto flat = std::make_unique_for_overwrite<float[]>(2 * static_cast<std::size_t>(kFlatPointsMax));
    int points = 0;
    pokarr_to_float_pnts(piece.x, piece.y, piece.count, flat.get(), points, status);
    if (status != 0) {
        status = kPiecesMemory;
        return false;
    }
    std::vector<word> set(1 + 2 * static_cast<std::size_t>(points));
    set[0] = points;
    for (int k = 0; k < 2 * points; ++k)
        set[1 + static_cast<std::size_t>(k)] = real_to_word(flat[static_cast<std::size_t>(k)]);
    xy_output output;
    int count = 0, gouge = 0, close_status = 0;
    region_hatch().hatch_region(kHatchCrossings, nullptr, 0, set.data(), 1, p1, p2, count, output, gouge, status);
    xy_output_close(output, close_status);
    if (status != 0) {
        status = kPiecesMemory;
        return false;
    }
    return count / 2 > 1;
}

// Whether the walk's path crosses the piece more than once: more than one stretch of it inside
// the piece, measured in the plane against the piece's elements. A crossing at an element's end
// counts for the element that starts there only.
bool walk_crosses_twice(const pokarr& path, const pokarr& piece)
{
    int crossings = 0;
    for (int i = 0; i + 1 < path.count; ++i) {
        const double p1[2] = {path.x[i], path.y[i]}, p2[2] = {path.x[i + 1], path.y[i + 1]};
        for (int k = 0; k + 1 < piece.count; ++k) {
            const double q1[2] = {piece.x[k], piece.y[k]}, q2[2] = {piece.x[k + 1], piece.y[k + 1]};
            double at[2] = {0.0, 0.0};
            int met = 0;
            seg_seg_intersect(p1, p2, q1, q2, at, met);
            if (met == 1 && !(at[0] == q2[0] && at[1] == q2[1])) ++crossings;
        }
    }
    return crossings / 2 > 1;
}

// The surface under a pocket point, in pocket coordinates; none off the grid or over no surface.
// Reads surface_grid_block.shift.
std::optional<double> surface_height(double x, double y)
{
    const double* shift = surface_grid_block.shift;
    double height = 0.0;
    int status = 0;
    surface_grid_seam_table().grid_height_at(x + shift[0], y + shift[1], height, status);
    if (status != 0) return std::nullopt;
    return height - shift[2];
}

// The spacing of the lattice on which holds_needed_area looks inside a piece of box `box`: in the
// plane the box's own rows, so that a small piece the offset leaves where the region closes is
// still met; on the part surface, where every point reads the grid, at least a share of the
// offset.
double needed_lattice_spacing(const double* box, double d)
{
    const double rows = std::max(box[2] - box[0], box[3] - box[1]) / kNeededLatticeRows;
    return pocket_state_block.pocket_dimension == 2 ? rows : std::max(kNeededLatticeShare * d, rows);
}

// Whether the piece holds area the pocket needs: a point inside it (on the part surface, the
// surface under it), on a lattice over its box, that lies farther than the offset (by more than
// the tolerance) from the previous lane, whose cut therefore does not reach it. A piece that
// remains where the region closes, with walls bent in between its corners, and a ring round a
// summit whose offset came out jagged cross the test line twice and more, yet what lies inside
// them is needed; a sliver's inside lies within the offset of the previous lane. On the surface
// the space distance is never longer than the one over the surface that the offset measures, so
// no sliver is kept for it. Reads pocket_work.tolerance.
bool holds_needed_area(const pokarr& piece, const pokarr& previous, double d, int& status)
{
    const bool planar = pocket_state_block.pocket_dimension == 2;
    double box[4] = {};
    pokarr_box(piece, box);
    const double spacing = needed_lattice_spacing(box, d);
    if (!(spacing > 0.0)) return false;
    const double limit = d + pocket_work_block.tolerance;
    for (double y = box[1] + 0.5 * spacing; y < box[3]; y += spacing)
        for (double x = box[0] + 0.5 * spacing; x < box[2]; x += spacing) {
            int where = 0;
            pnt_in_pokarr(x, y, piece, where, status);
            if (status != 0) {
                status = kPiecesMemory;
                return false;
            }
            if (where != kLoopInside) continue;
            const std::optional<double> z = planar ? std::optional<double>(0.0) : surface_height(x, y);
            if (!z) continue;
            const double point[3] = {x, y, *z};
            int k = 0;
            double t = 0.0, nearest[3] = {0.0, 0.0, 0.0}, distance = kNoDistance;
            pokarr_nearest_pnt(planar ? 2 : 3, point, previous, k, t, nearest, distance);
            if (k != 0 && distance > limit) return true;
        }
    return false;
}

// The same test on the part surface: the test line is dropped onto the surface grid from the
// nearest point through the middle point to d beyond it, and the walk is to cross the piece
// twice. A drop that fails gives kPiecesSurfaceDrop.
bool crossed_twice_on_surface(const pokarr& piece, const double* from, const double* middle, double d, int& status)
{
    double across[3] = {middle[0] - from[0], middle[1] - from[1], 0.0};
    double length = 0.0;
    int unit = 0;
    v3untd(across, length, unit);
    if (unit != 0) return false;
    // The walk runs at right angles to its tangent, on the side of tangent x normal: the tangent
    // of a walk along `across` on a surface facing up is up x across.
    const double tangent[3] = {-across[1], across[0], 0.0};
    double record[6] = {from[0], from[1], from[2], 0.0, 0.0, 0.0};
    pokarr_work path(3);
    surface_grid_seam_table().drop_lane_on_grid(0, record, tangent, length + d, &path.a, status);
    if (status < 0) {
        status = kPiecesSurfaceDrop;
        return false;
    }
    status = 0;
    return walk_crosses_twice(path.a, piece);
}

// Whether the piece is a sliver beside the previous lane: the test line through the middle of its
// walls (or a quarter along them) crosses it twice, and it holds no area the pocket needs.
bool is_sliver(const pokarr& piece, const pokarr& previous, double d, double reach, int& status)
{
    const bool planar = pocket_state_block.pocket_dimension == 2;
    for (int attempt = 0; attempt < kSliverTries && piece.count > 1; ++attempt) {
        int index = std::max(1, attempt == 0 ? piece.count / 2 : piece.count / 4);
        double middle[3] = {0.0, 0.0, 0.0};
        pokarr_pnt_at_param(piece, index, 0.5, middle);
        int k = 0;
        double t = 0.0, nearest[3] = {0.0, 0.0, 0.0}, distance = kNoDistance;
        pokarr_nearest_pnt(2, middle, previous, k, t, nearest, distance);
        if (k == 0 || !(distance < reach)) return false;
        const bool crossed = planar ? crossed_twice(piece, nearest, middle, d, status)
                                    : crossed_twice_on_surface(piece, nearest, middle, d, status);
        if (status != 0) return false;
        if (crossed) return !holds_needed_area(piece, previous, d, status) && status == 0;
    }
    return false;
}

// Sweep 3: slivers beside the previous lane.
void sliver_sweep(const pokarr& previous, double d, double sliver, double reach, int& piece_count, const piece_set& set,
                  int& status)
{
    for (int i = 0; i < piece_count;) {
        bool removed = false;
        if (std::fabs(set.areas[i]) <= sliver && previous.count > 1) {
            std::vector<int> first = firsts_of(piece_count, set.counts);
            removed = is_sliver(piece_view(set, first, i), previous, d, reach, status);
            if (status != 0) return;
            if (removed) piece_remove(i, first[static_cast<std::size_t>(i)], set, piece_count);
        }
        if (!removed) ++i;
    }
}

}  // namespace

void piece_remove(int index, int first, const piece_set& set, int& piece_count)
{
    if (index < 0 || index >= piece_count) return;
    int status = 0;
    if (index == piece_count - 1) {
        set.points->count = first;
    } else {
        pokarr_remove_pnts(*set.points, 0, first, set.counts[index], status);
    }
    for (int k = index; k + 1 < piece_count; ++k) {
        set.counts[k] = set.counts[k + 1];
        set.kinds[k] = set.kinds[k + 1];
        set.areas[k] = set.areas[k + 1];
        set.extra[k] = set.extra[k + 1];
    }
    --piece_count;
}

void pieces_reorder(int order_flag, int piece_count, const piece_set& set, int& status)
{
    status = 0;
    if (piece_count > kPiecesMax) {
        status = kPiecesMemory;
        return;
    }
    if (piece_count < 2) return;
    int largest = 0;
    for (int i = 1; i < piece_count; ++i)
        if (std::fabs(set.areas[i]) > std::fabs(set.areas[largest])) largest = i;
    const int kind = set.kinds[largest];
    std::vector<int> order;
    if (order_flag == 0) {
        order.push_back(largest);
        for (int i = 0; i < piece_count; ++i)
            if (i != largest && set.kinds[i] == kind) order.push_back(i);
        for (int i = 0; i < piece_count; ++i)
            if (set.kinds[i] != kind) order.push_back(i);
    } else {
        for (int i = 0; i < piece_count; ++i)
            if (set.kinds[i] != kind) order.push_back(i);
        for (int i = 0; i < piece_count; ++i)
            if (set.kinds[i] == kind) order.push_back(i);
    }
    const std::vector<int> first = firsts_of(piece_count, set.counts);
    pokarr rebuilt;
    pokarr_init(set.points->dimension, rebuilt);
    for (const int i : order) {
        pokarr_append(set.counts[i], *set.points, first[static_cast<std::size_t>(i)], rebuilt, status);
        if (status != 0) {
            pokarr_free(rebuilt);
            status = kPiecesMemory;
            return;
        }
    }
    pokarr_replace(rebuilt.count, rebuilt, 0, *set.points, status);
    pokarr_free(rebuilt);
    if (status != 0) {
        status = kPiecesMemory;
        return;
    }
    const std::vector<int> counts(set.counts, set.counts + piece_count), kinds(set.kinds, set.kinds + piece_count),
        extra(set.extra, set.extra + piece_count);
    const std::vector<double> areas(set.areas, set.areas + piece_count);
    for (int k = 0; k < piece_count; ++k) {
        const std::size_t i = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
        set.counts[k] = counts[i], set.kinds[k] = kinds[i], set.areas[k] = areas[i], set.extra[k] = extra[i];
    }
}

void pieces_uncross(int& piece_count, const piece_set& set, int level, int mode, int& status)
{
    status = 0;
    for (bool again = true; again && piece_count >= 2;) {
        again = false;
        const std::vector<int> first = firsts_of(piece_count, set.counts);
        for (int i = 0; i < piece_count && !again; ++i) {
            pokarr a = piece_view(set, first, i);
            for (int j = i + 1; j < piece_count && !again; ++j) {
                const pokarr b = piece_view(set, first, j);
                int crossing = 0;
                pokarr_intersect_test(kLuplupFirstOnly, a, b, crossing);
                if (crossing < 0) {
                    status = kPiecesMemory;
                    return;
                }
                if (crossing == 0) continue;
                if (level > 1 && mode != 0) {
                    status = kPiecesCross;
                    return;
                }
                const int smaller = std::fabs(set.areas[j]) >= std::fabs(set.areas[i]) ? i : j;
                piece_remove(smaller, first[static_cast<std::size_t>(smaller)], set, piece_count);
                again = true;
            }
        }
    }
}

void loop_dist_exceeds(const double* chain_x, const double* chain_y, int chain_count, const double* x, const double* y,
                       int count, double limit, double& value, int& flag)
{
    value = kNoMaximum;
    flag = 0;
    for (int i = 0; i + 1 < count;) {
        int k = 0;
        double t = 0.0, nx = 0.0, ny = 0.0, distance = kNoDistance;
        nearest_on_xy_chain(x[i], y[i], chain_x, chain_y, chain_count, k, t, nx, ny, distance);
        if (k > 0) value = std::max(value, distance);
        if (!levald(value, limit)) {
            flag = 1;
            return;
        }
        i += i + 1 < count && pk_is_marker(x[i + 1]) ? kArcRecordEntries : 1;
    }
}

void offset_pieces_filter(int order_flag, const pokarr& previous, double width, double area_limit, double d,
                          double tool_radius, int wanted_kind, int& piece_count, const piece_set& set, int& status)
{
    status = 0;
    if (piece_count > kPiecesMax) {
        status = kPiecesMemory;
        return;
    }
    double largest = 0.0;
    for (int i = 0; i < piece_count; ++i) largest = std::max(largest, std::fabs(set.areas[i]));
    const pocket_work& pw = pocket_work_block;
    const double near = kNearShare * d;
    const double radius = std::min(tool_radius, d);
    const double small =
        std::min(std::max(kSmallWidthFactor * width, kSmallDiscFactor * kPi * radius * radius), 0.5 * largest);
    const double reference = std::min(area_limit, largest / 3.0);
    const double sliver = kSliverFactor * std::max(0.5 * d * d, pw.engine_step * pw.engine_step);
    const double reach = pocket_state_block.pocket_dimension == 2 ? d : (1.0 - pw.surface_reduction) * d;
    containment_sweep(wanted_kind, small, piece_count, set, status);
    if (status != 0) return;
    small_piece_sweep(near, small, reference, piece_count, set);
    sliver_sweep(previous, d, sliver, reach, piece_count, set, status);
    if (status != 0) return;
    pieces_reorder(order_flag, piece_count, set, status);
}
