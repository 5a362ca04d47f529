// Whether a straight move stays inside the region of the current polygon buffer: a line is laid
// through both points, its crossings with the polygons are found and sorted, and the move stays
// inside when both points fall into the same inside interval. The surface variant of the point
// mover asks it before it joins the tool position to a path.
#pragma once

#include "host/words.hpp"

#include <array>

// Most crossings of one line.
inline constexpr int kLineCrossingsMost = 2000;
using line_crossings = std::array<float, 2 * kLineCrossingsMost>;

// 1 when the move from a to b (x, y single precision) stays inside one inside interval of the
// region of the current polygon buffer, the crossings widened by 1.5 x
// pocket_state.working_tolerance (the clean offset); 0 otherwise, also when the polygon buffer
// fails or the points coincide.
int segment_in_region(const float* a, const float* b);

// The crossings of the line through `first` and `second` with the polygons (`polygon_count`
// polygons packed in `words` words: a count, then x, y pairs), x along the line and y across it
// in the line's frame, sorted by x, and the intervals of the two points: 0 before the first
// crossing, i between crossings i and i + 1, count + 1 after the last; an odd i lies inside. A
// line through a vertex meets each polygon once there; when the count is odd the line is moved
// across by 0.01, up to ten times to either side. The inside intervals are widened by the
// tolerance at both ends. first_interval -1 when no even set of crossings was found or more than
// kLineCrossingsMost crossings were met ("ZCLRLN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH");
// both 0 when the points coincide or nothing was crossed.
void ZCLRLN(const word* polygons, int polygon_count, int words, float tolerance, const float* first,
            const float* second, int& crossing_count, line_crossings& crossings, int& first_interval,
            int& second_interval);
