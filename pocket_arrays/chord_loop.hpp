// Loops as closed polylines, their arcs sampled into chords by the kernel's arc sampling, and the
// least distance of two such loops, crossings included: the hole test of the lane engine asks
// whether an island comes nearer a hole lane than its offset.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <array>
#include <cstddef>
#include <vector>

// Chords a block of a sampled loop holds.
inline constexpr std::size_t kChordBlock = 32;

// A loop's vertices, each arc between them sampled into chords that keep within the chord
// tolerance of it; box holds every point (x min, y min, x max, y max), blocks the box of each run
// of kChordBlock chords in turn, so that a search passes by a run at once.
struct chord_loop {
    std::vector<double> x, y;
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    std::vector<std::array<double, 4>> blocks;
};

// The loop sampled at the chord tolerance: each arc by arc_points (loop_inside.hpp), in parts
// where it needs more chords than one sampling gives, so that no chord leaves the tolerance.
void chord_loop_make(const pokarr& loop, double chord, chord_loop& out);

// Whether two boxes (x min, y min, x max, y max) lie farther apart than margin along x or y.
bool chord_boxes_apart(const double* a, const double* b, double margin);

// The least distance of two sampled loops within reach: 0 where a chord of one crosses a chord of
// the other, else the nearest approach of a point of one to a chord of the other; kNoDistance
// (nearest_points.hpp) when nothing comes within reach. True of the loops themselves within the
// two chord tolerances.
double chord_loop_distance(double reach, const chord_loop& a, const chord_loop& b);
