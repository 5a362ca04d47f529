// The part of a small collapse piece inside its source, built from the piece's few crossings
// with the source elements near it. Most pieces the loop removal cuts out of a branch offset are
// the tail of a horn: three elements (the two walls' offsets and the chord joining them) that
// cross the source twice, where the horn's walls stand less than a step apart, or not at all.
// Their part inside the source is then a run of the source and a run of the piece, found from a
// handful of element pairs instead of the general crossing search of the whole source against
// the piece. collapse_lanes_record asks here first and clips in the general way what is left.
#pragma once

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
bool horn_tail_inside_loops(const pokarr& source, pk_elem_index& source_index, const pokarr& piece,
                            loop_buffer& out, int& crossings, int& status);
