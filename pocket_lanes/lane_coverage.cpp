// The coverage test of a pocket's lanes on the surface grid, which the lane loop (offset_lanes)
// asks when its passes end: the points of the surface inside the pocket are sampled on a lattice
// and measured in space against the segments of the live lanes laid on the grid.
#include "pocket_lanes/lane_coverage.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The lattice of the sampled points: at most this share of the reach apart, so that a spot of
// surface left uncut is met by a point near its middle.
constexpr double kLatticeShare = 0.25;
// Segments are sorted into square buckets of the reach's size: a segment within reach of a point
// lies in the point's bucket or one of its eight neighbours.
constexpr int kBucketReach = 1;
// lan_on_grid: lane points as they are (pocket points, the grid's shift added inside), closed.
constexpr int kGridPlain = 0;
constexpr int kGridClosed = 1;

struct segment3 {
    double a[3], b[3];
};

// The 3-D distance from p to the segment.
double segment_distance(const double* p, const segment3& s)
{
    double d[3], w[3];
    double dd = 0.0, wd = 0.0;
    for (int k = 0; k < 3; ++k) {
        d[k] = s.b[k] - s.a[k];
        w[k] = p[k] - s.a[k];
        dd += d[k] * d[k];
        wd += w[k] * d[k];
    }
    const double t = dd > 0.0 ? std::clamp(wd / dd, 0.0, 1.0) : 0.0;
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += (w[k] - t * d[k]) * (w[k] - t * d[k]);
    return std::sqrt(sum);
}

// The height of the grid surface under (x, y) in grid coordinates; none off the grid or over no
// surface.
std::optional<double> grid_height(double x, double y)
{
    double height = 0.0;
    int status = 0;
    surface_grid_seam_table().grid_height_at(x, y, height, status);
    if (status != 0) return std::nullopt;
    return height;
}

// The segments of the lane, closed onto its first point as the tool runs it; false when it holds
// an arc record.
bool add_segments(const pokarr& loop, std::vector<segment3>& segments)
{
    for (int i = 0; i < loop.count; ++i)
        if (pk_is_marker(loop.x[i])) return false;
    for (int i = 0; i < loop.count; ++i) {
        const int j = i + 1 < loop.count ? i + 1 : 0;
        segments.push_back({{loop.x[i], loop.y[i], loop.z[i]}, {loop.x[j], loop.y[j], loop.z[j]}});
    }
    return true;
}

// The segments sorted into square buckets over a box, for the nearest segments of a point.
struct segment_buckets {
    double x0 = 0.0, y0 = 0.0, size = 1.0;
    int columns = 0, rows = 0;
    std::vector<std::vector<int>> cells;

    segment_buckets(const std::vector<segment3>& segments, const double* box, double reach)
        : x0(box[0]), y0(box[1]), size(reach)
    {
        columns = static_cast<int>((box[2] - box[0]) / size) + 1;
        rows = static_cast<int>((box[3] - box[1]) / size) + 1;
        cells.resize(static_cast<std::size_t>(columns * rows));
        for (int n = 0; n < static_cast<int>(segments.size()); ++n) {
            const segment3& s = segments[static_cast<std::size_t>(n)];
            const int c0 = column(std::min(s.a[0], s.b[0])), c1 = column(std::max(s.a[0], s.b[0]));
            const int r0 = row(std::min(s.a[1], s.b[1])), r1 = row(std::max(s.a[1], s.b[1]));
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c) cells[static_cast<std::size_t>(r * columns + c)].push_back(n);
        }
    }
    int column(double x) const { return std::clamp(static_cast<int>(std::floor((x - x0) / size)), 0, columns - 1); }
    int row(double y) const { return std::clamp(static_cast<int>(std::floor((y - y0) / size)), 0, rows - 1); }

    // Whether segment n lies within reach_of(n) of p; no reach exceeds the bucket size.
    template <typename reach_fn>
    bool near(const std::vector<segment3>& segments, const double* p, reach_fn reach_of) const
    {
        const int c = column(p[0]), r = row(p[1]);
        for (int rr = std::max(0, r - kBucketReach); rr <= std::min(rows - 1, r + kBucketReach); ++rr)
            for (int cc = std::max(0, c - kBucketReach); cc <= std::min(columns - 1, c + kBucketReach); ++cc)
                for (const int n : cells[static_cast<std::size_t>(rr * columns + cc)])
                    if (segment_distance(p, segments[static_cast<std::size_t>(n)]) <= reach_of(n)) return true;
        return false;
    }
};

// A lane of the table read as a loop of grid dimension; false when it cannot be read.
bool read_lane(int n, std::vector<std::unique_ptr<pokarr_work>>& loops)
{
    auto& work = loops.emplace_back(std::make_unique<pokarr_work>(lane_array_dimension()));
    int status = 0;
    lane_to_pokarr(n, work->a, status);
    return status == 0 && work->a.count >= 3;
}

// The contours' segments in plan (z 0), each with the band beside its contour that the contour's
// first lane leaves (its offset and the extra offset): the lanes start beyond it, so a point in it
// is not a point the offsets should have reached.
struct contour_bands {
    std::vector<segment3> segments;
    std::vector<double> band;

    // False when the loop holds an arc record.
    bool add(const pokarr& loop, double width)
    {
        for (int i = 0; i < loop.count; ++i)
            if (pk_is_marker(loop.x[i])) return false;
        for (int i = 0; i < loop.count; ++i) {
            const int j = i + 1 < loop.count ? i + 1 : 0;
            segments.push_back({{loop.x[i], loop.y[i], 0.0}, {loop.x[j], loop.y[j], 0.0}});
            band.push_back(width);
        }
        return true;
    }
    double widest() const { return band.empty() ? 0.0 : *std::max_element(band.begin(), band.end()); }
};

// The band contour row n leaves: the offset of its level at the current Z and the extra offset.
double band_of_contour(int n)
{
    const pocket_work& w = pocket_work_block;
    const int level = lane_table_block.level[n];
    const int slot = n == 1 ? 1 : level;
    const double offset = slot >= 1 && slot <= kOffsetSlots ? std::fabs(w.offsets[slot]) : 0.0;
    return offset + std::fabs(w.extra_offset);
}

// The lattice of sampled points along one axis of the pocket: the centres of the grid's cells split
// evenly into squares no wider than the lattice share of the reach, from the first at or after
// `low` to the last before `high`. Tied to the cells rather than to the contour's box, the
// lattice samples every cell of the surface at the same places (where a cell is split in two,
// halfway between its middle and its edges), whatever the contour: a spot of surface left uncut
// a little beyond the reach is found or passed alike in every pocket over the same grid, and
// alike by a judge of the lanes that samples the grid's cells so. `origin` is the grid's node 0
// in pocket coordinates.
std::vector<double> lattice_along(double origin, double cell, double reach, double low, double high)
{
    const int split = std::max(1, static_cast<int>(std::ceil(cell / (kLatticeShare * reach))));
    const double spacing = cell / split;
    const double first = origin + 0.5 * spacing;
    std::vector<double> values;
    for (long k = static_cast<long>(std::ceil((low - first) / spacing));; ++k) {
        const double value = first + static_cast<double>(k) * spacing;
        if (!(value < high)) break;
        values.push_back(value);
    }
    return values;
}

// Whether the point of the lattice at (x, y) lies on the surface inside the region and outside
// every fence, beyond the contours' bands, farther than reach from every cover segment.
bool point_uncovered(double x, double y, inside_loop& region, std::vector<inside_loop>& fences,
                     const segment_buckets& buckets, const std::vector<segment3>& segments, double reach,
                     const segment_buckets& band_buckets, const contour_bands& bands)
{
    const surface_grid& g = surface_grid_block;
    const std::optional<double> z = grid_height(x + g.shift[0], y + g.shift[1]);
    if (!z) return false;
    int result = 0, status = 0;
    pnt_in_inside_loop(x, y, region, result, status);
    if (status != 0 || result != kLoopInside) return false;
    for (inside_loop& fence : fences) {
        pnt_in_inside_loop(x, y, fence, result, status);
        if (status != 0 || result != kLoopOutside) return false;
    }
    const double flat[3] = {x, y, 0.0};
    if (band_buckets.near(bands.segments, flat, [&bands](int n) { return bands.band[static_cast<std::size_t>(n)]; }))
        return false;
    const double p[3] = {x, y, *z - g.shift[2]};
    return !buckets.near(segments, p, [reach](int) { return reach; });
}

}  // namespace

bool pocket_leaves_uncovered(double reach)
{
    const surface_grid& g = surface_grid_block;
    const lane_table& lt = lane_table_block;
    const int contours = lt.island_count + 1;
    if (g.nx < 2 || g.ny < 2 || !(g.h > 0.0) || !(reach > 0.0) || contours > lt.count) return false;
    // The outer contour bounds the region, the island contours fence off what they hold, and every
    // live lane after them is cut.
    std::vector<std::unique_ptr<pokarr_work>> outer, islands, lanes;
    contour_bands bands;
    if (!read_lane(1, outer)) return false;
    if (!bands.add(outer.front()->a, band_of_contour(1))) return false;
    for (int n = 2; n <= contours; ++n) {
        if (lt.level[n] <= kLevelIsland) continue;
        if (!read_lane(n, islands) || !bands.add(islands.back()->a, band_of_contour(n))) return false;
    }
    std::vector<segment3> segments;
    for (int n = contours + 1; n <= lt.count; ++n) {
        if (lt.status[n] <= 0 || lt.level[n] == kLevelSeparator || lt.first[n + 1] <= lt.first[n]) continue;
        if (!read_lane(n, lanes)) return false;
        // A straight stretch of a lane runs over the surface as the tool runs it, laid on the grid
        // (a lane that cannot be laid is measured as it is).
        int status = 0;
        surface_grid_seam_table().lan_on_grid(kGridPlain, kGridClosed, lanes.back()->a, 0.0, status);
        if (!add_segments(lanes.back()->a, segments)) return false;
    }
    const pokarr& loop = outer.front()->a;
    double box[4] = {loop.x[0], loop.y[0], loop.x[0], loop.y[0]};
    for (int i = 1; i < loop.count; ++i) {
        box[0] = std::min(box[0], loop.x[i]), box[1] = std::min(box[1], loop.y[i]);
        box[2] = std::max(box[2], loop.x[i]), box[3] = std::max(box[3], loop.y[i]);
    }
    const segment_buckets buckets(segments, box, reach);
    const segment_buckets band_buckets(bands.segments, box, std::max(bands.widest(), reach));
    inside_loop region;
    inside_loop_make(loop, region);
    std::vector<inside_loop> fences(islands.size());
    for (std::size_t k = 0; k < islands.size(); ++k) inside_loop_make(islands[k]->a, fences[k]);
    const std::vector<double> columns = lattice_along(g.x0 - g.shift[0], g.h, reach, box[0], box[2]);
    for (const double y : lattice_along(g.y0 - g.shift[1], g.h, reach, box[1], box[3]))
        for (const double x : columns)
            if (point_uncovered(x, y, region, fences, buckets, segments, reach, band_buckets, bands)) return true;
    return false;
}
