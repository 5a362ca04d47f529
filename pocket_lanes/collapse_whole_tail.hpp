// Whole horn tails told clear of material without clipping them or measuring them against every
// lane. Where a branch lane narrows into a horn whose walls meet at a tip T wider than a right
// angle, the loop removal cuts the tail of the walls' offsets out as a small triangle lying
// wholly inside the source: X (where the offsets meet, a corner of the new lane) and the feet
// A', B' of the tip on the offsets (|A'T| = |B'T| = the offset's distance). Most such tails hold
// no material; collapse_lanes_record asks here first and passes over those proven empty,
// measuring the rest in the general way.
#pragma once

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <vector>

// A corner of a new lane where the lane turns left from one element onto the next.
struct tail_corner {
    double x = 0.0, y = 0.0;
};

// Notes the corners of the closed lane where it turns left from one element onto the next (not
// where it runs on smoothly or turns right).
void whole_tail_corners_note(const pokarr& lane, std::vector<tail_corner>& corners);
// Orders the noted corners for the look-ups of whole_tail_find.
void whole_tail_corners_sort(std::vector<tail_corner>& corners);

// A whole tail found in the wedge of its source's tip: the source's two elements that meet at
// the tip (the one ending there first) and the lane corner at X.
struct whole_tail {
    const pokarr* source = nullptr;
    chain_element walls[2];
    tail_corner corner;
};

// Whether the piece may be a tail: three lines (the cheap test before the corners are noted).
bool whole_tail_candidate(const pokarr& piece);

// Whether the piece (running counter-clockwise) is a tail of three lines cut out at the offset
// distance lying wholly inside the source, in the wedge of a convex tip whose two elements (lines
// or arcs) are the only source elements near the tail and the tip, clear of both and of the tip,
// with a noted lane corner at X (`corners` sorted): the general clip would find no crossing and
// keep the piece whole. `source_index` is the source's element index (pokarr_elem_index).
bool whole_tail_find(const pokarr& source, pk_elem_index& source_index, const pokarr& piece, double distance,
                     const std::vector<tail_corner>& corners, whole_tail& tail);

// Whether every point (x, y pairs) lies within `reach` of a wall of the tail or of its lane
// corner, with a margin for rounding: the distances to the source and to the lanes are no
// larger, so no point holds material.
bool whole_tail_covers(const whole_tail& tail, const std::vector<double>& points, double reach);
