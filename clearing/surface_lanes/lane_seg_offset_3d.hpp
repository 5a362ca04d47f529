// The offset of one lane segment over the surface grid, for the 3-D lane offset
// (lane_offset_3d.hpp): the segment is sampled, each sample walked across the surface at right
// angles to the segment by the offset distance, and where the surface folds between two samples
// (their walks' normals or directions part by more than about 1.8 degrees) the gap is bisected
// with further walks, at most 15 between two samples.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// The record of one walk (drop_lane_on_grid in its checked mode): start, end, the last
// triangle's unit normal and the last walking direction, twelve doubles in this order.
struct walk_record {
    double words[12] = {};
    double* start() { return words; }
    double* end() { return words + 3; }
    const double* start() const { return words; }
    const double* end() const { return words + 3; }
    const double* normal() const { return words + 6; }
    const double* direction() const { return words + 9; }
};

// Offsets the segment from p0.start() to p1.start() (its length given) by the distance over the
// surface, at right angles to the unit tangent (on the side of tangent x normal), and appends the
// offset points to path (dimension 3): one per sample and per refinement walk, in order along the
// segment. The first sample's end goes into p0.end(), the last's into p1.end(). Samples are
// spaced by surface_grid_block.settings.sampling_step, or when none is set by four cells, so that
// the bisections where the surface folds resolve a quarter of a cell. Status
// 0; -1 or -3 from a walk at once (-3: a start too steep across the tangent); 11 when the path
// cannot take a point. A walk answering -2 (no surface to run on) brings no point.
void lane_seg_offset_3d(walk_record& p0, walk_record& p1, const double* tangent, double length, double distance,
                        pokarr& path, int& status);
