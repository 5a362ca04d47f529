// Services of the pocket moves that the point mover calls, least versions in the places the
// lead arcs, the move containment, the entry bookkeeping and the point-string support complete:
// the lead arc written plainly (no lift, no surface variant), the used-entry-point query of an
// empty list, the cutter-compensation slot, and a containment test, a string merge and a twirl
// link that refuse. The second share of the pocket lanes replaces this file.
#pragma once

#include "pocket_lanes/entry_bookkeeping.hpp"

#include "pocket_lanes/lead_arcs.hpp"

// Two sets of point strings (points three floats each; normals and words parallel, may be null;
// a point count per string). Capacities: points in reals, strings.
struct point_string_set {
    float* points = nullptr;
    float* normals = nullptr;
    int* words = nullptr;
    int* counts = nullptr;
    int string_count = 0;
    int point_capacity = 0;
    int string_capacity = 0;
};
// Puts the second set in front of the first: refused here (status -1, nothing changed).
void MRGGST(int join_mode, int data_kind, point_string_set& first, point_string_set& second, int& status);

// The twirl link between the kept link points: nothing is written here; the work flags are
// cleared.
void twirl_spline_points(const pocket_link_words& link);
