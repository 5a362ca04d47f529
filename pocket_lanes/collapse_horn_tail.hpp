// The part of a small collapse piece inside its source, built from the piece's few crossings
// with the source elements near it. Most pieces the loop removal cuts out of a branch offset are
// the tail of a horn: three elements (the two walls' offsets and the chord joining them) that
// cross the source twice, where the horn's walls stand less than a step apart, or not at all.
// Their part inside the source is then a run of the source and a run of the piece, found from a
// handful of element pairs instead of the general crossing search of the whole source against
// the piece. collapse_lanes_record asks here first and clips in the general way what is left.
#pragma once

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/common_loops.hpp"

// A piece of more elements goes to the general clip.
inline constexpr int kHornTailMostElements = 6;

// What comlup_inside_loops(source, piece, out, crossings) gives, for a piece running
// counter-clockwise inside or across a counter-clockwise source: true when it was decided here
// (`out` holds the part, if any; `crossings` the piece's crossings with the source, 0 or 2),
// false when the general clip must decide: the piece has more elements, crosses the source
// other than twice on two elements of each, or comes near touching it (a crossing or a vertex
// within reach of the other loop's elements, a crossing nearly tangent), where the crossing
// search snaps points to vertices and drops touches. `source_index` is the source's element index
// (pokarr_elem_index), built once for many pieces. Status 11 when an append fails.
bool horn_tail_inside_loops(const pokarr& source, pk_elem_index& source_index, const pokarr& piece, loop_buffer& out,
                            int& crossings, int& status);

// Where a point lies against a loop, told by the crossings of a ray from it towards +x: inside,
// outside, near the loop (within reach of an element), or unsure (an element's end or a tangent
// comes within reach of the ray), where the general inside test must decide.
enum class ray_side { outside, inside, near, unsure };
// The ray against the source elements its index finds along the ray. A piece that does not cross
// its source lies inside it or outside as one of its points does.
ray_side horn_tail_point_side(const pokarr& source, pk_elem_index& source_index, double px, double py);
// The same over every element of a small loop, without an index.
ray_side horn_tail_point_side_in_loop(const pokarr& loop, double px, double py);

// Whether two boxes (x min, y min, x max, y max) meet within reach: pk_box_overlap_nd in two
// dimensions, inlined for the tests that run for every pair of nearby elements.
inline bool boxes_meet(const double* a, const double* b, double reach)
{
    return !(a[2] + reach < b[0]) && !(b[2] + reach < a[0]) && !(a[3] + reach < b[1]) && !(b[3] + reach < a[1]);
}

// Whether the direction (wx, wy) from the centre of arc e of the loop lies within the arc's sweep
// (told by cross products with the directions of its ends, without angles).
inline bool arc_sweep_holds(const pokarr& loop, const chain_element& e, double wx, double wy)
{
    // The arc turned to run counter-clockwise from a to b.
    const bool ccw = e.dir > 0;
    const int a = ccw ? e.start : e.end, b = ccw ? e.end : e.start;
    const double ax = loop.x[a] - e.cx, ay = loop.y[a] - e.cy, bx = loop.x[b] - e.cx, by = loop.y[b] - e.cy;
    const bool after_a = ax * wy - ay * wx >= 0.0, before_b = wx * by - wy * bx >= 0.0;
    return ax * by - ay * bx >= 0.0 ? after_a && before_b : after_a || before_b;
}
