// Loops sampled into chords and their least distance, crossings included (chord_loop.hpp).
#include "pocket_arrays/chord_loop.hpp"

#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_primitives.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Most chords one arc_points call gives.
constexpr int kChordsPerSampling = kArcPointsMax - 1;

void add(chord_loop& out, double px, double py)
{
    out.x.push_back(px), out.y.push_back(py);
    out.box[0] = std::min(out.box[0], px), out.box[1] = std::min(out.box[1], py);
    out.box[2] = std::max(out.box[2], px), out.box[3] = std::max(out.box[3], py);
}

// The arc of the record at entry i from (sx, sy): its points after the start, the end point
// last. An arc needing more chords than one sampling gives is cut into equal parts, each sampled
// on its own.
void add_arc(const pokarr& loop, int i, double sx, double sy, double chord, chord_loop& out)
{
    const double r = loop.x[i + 1], cx = loop.x[i + 2], cy = loop.y[i + 2];
    const double ex = loop.x[i + 3], ey = loop.y[i + 3];
    const int direction = pk_arc_direction(loop.y[i + 1]);
    double sweep = 0.0;
    arc_sweep(direction, cx, cy, sx, sy, ex, ey, sweep);
    const double half_turn = r > chord ? std::acos(1.0 - chord / r) : 0.0;
    const double needed = half_turn > 0.0 ? std::ceil(sweep / (2.0 * half_turn)) : 1.0;
    const int parts = std::max(1, static_cast<int>(std::ceil(needed / kChordsPerSampling)));
    const double start = std::atan2(sy - cy, sx - cx);
    double px = sx, py = sy;
    double ax[kArcPointsMax], ay[kArcPointsMax];
    for (int part = 1; part <= parts; ++part) {
        const double angle = start + direction * sweep * part / parts;
        const double qx = part == parts ? ex : cx + r * std::cos(angle);
        const double qy = part == parts ? ey : cy + r * std::sin(angle);
        int count = 0;
        arc_points(chord, r, direction, cx, cy, px, py, qx, qy, ax, ay, count);
        for (int k = 1; k < count; ++k) add(out, ax[k], ay[k]);
        px = qx, py = qy;
    }
}

double cross(double ax, double ay, double bx, double by, double px, double py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

bool opposite(double u, double v) { return (u < 0.0 && v > 0.0) || (u > 0.0 && v < 0.0); }

double point_segment(double px, double py, double ax, double ay, double bx, double by)
{
    double distance = 0.0, nx = 0.0, ny = 0.0;
    seg_dist2(2, px, py, ax, ay, bx, by, distance, nx, ny);
    return distance;
}

// Distance of the chords a0 a1 and b0 b1: 0 where each separates the other's ends, else the
// nearest end to the other chord.
double chord_distance(double a0x, double a0y, double a1x, double a1y, double b0x, double b0y, double b1x, double b1y)
{
    if (opposite(cross(a0x, a0y, a1x, a1y, b0x, b0y), cross(a0x, a0y, a1x, a1y, b1x, b1y)) &&
        opposite(cross(b0x, b0y, b1x, b1y, a0x, a0y), cross(b0x, b0y, b1x, b1y, a1x, a1y)))
        return 0.0;
    return std::min({point_segment(a0x, a0y, b0x, b0y, b1x, b1y), point_segment(a1x, a1y, b0x, b0y, b1x, b1y),
                     point_segment(b0x, b0y, a0x, a0y, a1x, a1y), point_segment(b1x, b1y, a0x, a0y, a1x, a1y)});
}

// The boxes of the loop's runs of kChordBlock chords (a run's last point is the next run's first).
void make_blocks(chord_loop& out)
{
    const std::size_t chords = out.x.empty() ? 0 : out.x.size() - 1;
    out.blocks.assign((chords + kChordBlock - 1) / kChordBlock, {1e300, 1e300, -1e300, -1e300});
    for (std::size_t i = 0; i < out.x.size(); ++i)
        for (const std::size_t j : {i / kChordBlock, i == 0 ? 0 : (i - 1) / kChordBlock}) {
            if (j >= out.blocks.size()) continue;
            std::array<double, 4>& b = out.blocks[j];
            b[0] = std::min(b[0], out.x[i]), b[1] = std::min(b[1], out.y[i]);
            b[2] = std::max(b[2], out.x[i]), b[3] = std::max(b[3], out.y[i]);
        }
}

}  // namespace

void chord_loop_make(const pokarr& loop, double chord, chord_loop& out)
{
    out = chord_loop{};
    for (int i = 0; i < loop.count; ++i) {
        if (!pk_is_marker(loop.x[i])) {
            add(out, loop.x[i], loop.y[i]);
            continue;
        }
        if (i >= 1 && i + 3 < loop.count) add_arc(loop, i, loop.x[i - 1], loop.y[i - 1], chord, out);
        i += kArcRecordEntries - 1;
    }
    make_blocks(out);
}

bool chord_boxes_apart(const double* a, const double* b, double margin)
{
    return a[0] > b[2] + margin || b[0] > a[2] + margin || a[1] > b[3] + margin || b[1] > a[3] + margin;
}

double chord_loop_distance(double reach, const chord_loop& a, const chord_loop& b)
{
    double best = kNoDistance;
    // A pair farther apart than reach or than the best so far cannot give a nearer one.
    for (std::size_t i = 0; i + 1 < a.x.size(); ++i) {
        // A run whose box lies that far apart holds only chords that do.
        if (i % kChordBlock == 0 && i / kChordBlock < a.blocks.size() &&
            chord_boxes_apart(a.blocks[i / kChordBlock].data(), b.box, std::min(reach, best))) {
            i += kChordBlock - 1;
            continue;
        }
        const double s[4] = {std::min(a.x[i], a.x[i + 1]), std::min(a.y[i], a.y[i + 1]), std::max(a.x[i], a.x[i + 1]),
                             std::max(a.y[i], a.y[i + 1])};
        if (chord_boxes_apart(s, b.box, std::min(reach, best))) continue;
        for (std::size_t k = 0; k + 1 < b.x.size(); ++k) {
            if (k % kChordBlock == 0 && k / kChordBlock < b.blocks.size() &&
                chord_boxes_apart(s, b.blocks[k / kChordBlock].data(), std::min(reach, best))) {
                k += kChordBlock - 1;
                continue;
            }
            // Chords whose boxes lie apart by more than that are passed by unmeasured: most pairs
            // of a long hole and an island are.
            const double t[4] = {std::min(b.x[k], b.x[k + 1]), std::min(b.y[k], b.y[k + 1]),
                                 std::max(b.x[k], b.x[k + 1]), std::max(b.y[k], b.y[k + 1])};
            if (chord_boxes_apart(s, t, std::min(reach, best))) continue;
            const double d =
                chord_distance(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[k], b.y[k], b.x[k + 1], b.y[k + 1]);
            if (d <= reach && d < best) best = d;
            if (best == 0.0) return best;
        }
    }
    return best;
}
