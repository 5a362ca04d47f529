// Lanes where a collapse leaves material farther than half a step from every lane. A collapse
// part is cut along its outline only, which leaves nothing where the part is narrower than a step
// and the tolerance. Where three walls meet about a point standing about a step from each, the
// part the loop removal cuts out of the offset is as wide as the step, and its middle stands
// farther than half a step from its outline: such a part gets the lane at half a step inside it,
// as a branch lane whose offset gave nothing does. And where the walls meet about a point
// standing a little more than half a step from each, the half-step offset leaves there a loop too
// small for a lane: it is kept all the same. The lane loop asks here after the collapse lanes of
// each branch offset, the half-step lane after its offset.
#pragma once

#include "pocket_arrays/nearest_points.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/one_offset.hpp"

#include <functional>

// The lanes at half the engine's step plus the pocket's tolerance inside every collapse lane from
// lane `first` to lane `last` that leaves room for them, each on a branch of its own
// (`branch`.branch_count raised), with the branch's source lane as parent and the branch
// offset's pass. Answers 0, or the first result of an offset other than "nothing made" (1 and
// 13), which the caller judges as it judges the branch offset's; 11 when a lane cannot be read.
int collapse_part_lanes(const oneoff_request& branch, int first, int last);

// A measure of points that changes no faster than the distance between them (a distance from a
// loop, or the least of such distances).
using point_measure = std::function<double(double x, double y)>;

// The distance of points from a loop's outline, negative outside the loop, through an index of the
// loop's elements (the loop is read, not copied: it outlives the measure).
class outline_distance {
public:
    explicit outline_distance(const pokarr& loop);
    // The loop's box (x min, y min, x max, y max; an arc by its circle); false for a loop without
    // elements.
    bool box(double* out) const;
    double operator()(double x, double y) const;

private:
    const pokarr& loop_;
    pk_nearest_index index_;
};

// A point of the box where the measure exceeds `depth`, into x and y: cells of the box are split,
// the one whose measure may reach highest first, until one's centre exceeds it, or every cell left
// is smaller than `cell` across or cannot reach it. False when the box holds no such point; a
// search that runs out of cells answers the centre of the cell it stopped at (true), so that an
// undecided part gets its lane.
bool collapse_deep_point(const double* box, double depth, double cell, const point_measure& measure, double& x,
                         double& y);
// The size of cell the searches for material in collapse parts stop at: a quarter of the pocket's
// tolerance (reads pocket_work.tolerance).
double collapse_depth_cell();
// A point of the part (a loop) standing farther than `depth` from its outline, into x and y; false
// when the part holds none (collapse_deep_point with cells of collapse_depth_cell).
bool collapse_part_deep_point(const pokarr& part, double depth, double& x, double& y);

// After the half-step offset `half` of `source` (the lanes it made from lane `first_new` on,
// `result` its result), the pieces of the wanted direction that an offset of `source` by
// `half`.distance cut out as too small for a lane (`pieces`, collapse_lanes.hpp) that are no
// crumbs (lane_measures.hpp) and lie inside the source at that distance from it (less the
// tolerance) are recorded as lanes as the offset records its own (contour type kContourCollapse).
// Answers 0 when the offset or this step made a lane, `result` otherwise, or the code of lane_add.
int collapse_half_step_spots(const oneoff_request& half, const collapse_pieces& pieces, const pokarr& source,
                             int first_new, int result);
