// The region test of the surface pass loop's links: may the tool travel straight from the last
// point of one string to the first point of the next without leaving the clearing region (the
// polygons of the current polygon buffer)?
#pragma once

#include "pocket_lanes/moves/region_containment.hpp"

// The crossings of the line through A and B with the polygons (polygon_count packed in words
// words) and the spans of A and B among them, as ZCLRLN finds them with no widening: span k lies
// between crossings k and k + 1, odd spans inside. span_a_out -1 when A and B coincide, no even
// set of crossings was found within 0.10 to either side, or more than 2,000 crossings were met
// ("ZCLRLN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"); count 0 and both spans 0 when nothing is
// crossed.
void zclrln_srf(const word* polygons, int polygon_count, int words, const float* a, const float* b,
                int& crossing_count_out, line_crossings& crossings_out, int& span_a_out, int& span_b_out);

// 1 when the straight move from A to B (plane points) stays inside the region of the current
// polygon buffer: no crossing at all, or both points in the same inside span; 0 otherwise, also
// when the buffer or the crossing search fails. The points are put into the buffer's frame first
// (its 8-byte value is the origin, its pair the direction).
int link_inside_region(const float* a, const float* b);
