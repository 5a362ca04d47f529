// The pieces of the 3-D lane offset (lane_offset_3d.hpp): each segment of a loop on the surface
// is offset into a piece of its own, and the pieces are joined into one loop. Here: the append
// of a piece to the joined loop (repeated points and straight runs left out), the search of the
// crossing where a piece joins the loop and of the index the search starts from, and the
// removal of small loops from a piece. All work on 3-dimensional pocket arrays (x, y, z read;
// a normal block is neither read nor written).
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <functional>

// Status of a pocket array that could not take the points.
inline constexpr int kPieceArrayFailed = 11;

// Appends the piece's points from `start` on to the result, leaving out a point that repeats
// the last point kept (every coordinate within 1e-6), a point whose summed squared steps from
// the last point kept stay below the squared spacing, and a point in the middle of a straight
// run (unit directions before and after it parallel within 5e-4 and pointing the same way).
// Status 0, or 11 when the result cannot grow (nothing appended then).
void lane_piece_append(const pokarr& piece, int start, double spacing, pokarr& result, int& status);

// Looks for the first crossing of the piece with the result: the result's segments (point k to
// k + 1) from `start` to its last, each against the piece's segments from its last back to its
// first (elem_dist3 on boxes). The result's last segment meeting the piece's first at their
// shared end point is no crossing. Found: returns 1 and gives in piece_index the piece point
// after the crossing (where the piece goes on); in mode 1 the result is cut at the crossing: it
// ends at the crossing point (a crossing at a segment's start ends it at that point). Returns 0
// and changes nothing when there is none.
inline constexpr int kJoinLook = 0;
inline constexpr int kJoinCut = 1;
// The loops a join keeps: a crossing that closes a loop (the result from the crossing to its end,
// the piece up to the crossing) running in `sense` in XY (1 counter-clockwise, -1 clockwise),
// larger than least_area and, when holds_offset is given, whose points it finds all at the offset
// from the input (the result's from `first` on, the piece's up to `last`) is no join, and the
// search goes on past it. With sense 0 every crossing joins.
struct join_loops {
    int sense = 0;
    double least_area = 0.0;
    std::function<bool(const pokarr& result, int first, const pokarr& piece, int last)> holds_offset;
};
int lane_join_search(int mode, pokarr& result, const pokarr& piece, int start, int& piece_index,
                     const join_loops& kept = {});
// Whether a join where result segment k meets piece segment j at `crossing` would cut out a loop
// that `kept` keeps.
bool lane_join_keeps_loop(const pokarr& result, int k, const pokarr& piece, int j, const double* crossing,
                          const join_loops& kept);

// Where the join search starts: the segment ending at the earliest result point within the join
// reach (squared: reach2) of the result's last point, looking back along the result over at most
// four reaches of arc length (a crossing farther back, such as the loop's own start, is no join).
// Distances and lengths in XY (dimension 2: an offset that keeps its distance in XY) or in space
// (3). 0 for a result of fewer than two points.
void lane_join_start(int dimension, const pokarr& result, double reach2, int& index);

// Removes small loops from a piece of at least four points: each segment i is tested against
// the segments up to 20 further on (not its neighbour); at a crossing the points between are
// cut away and the crossing joins the two; where segment j starts on segment i (running along
// it) the points between go; a segment without length loses its end point. Segment i is tested again after each
// cut.
void lane_piece_unloop(pokarr& piece);
