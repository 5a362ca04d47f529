// Collapse lanes. Where the offset of a branch lane by the step loses a part of the region that is
// less than two steps wide (a narrow leg, a neck, the last of a shrinking region), the offsets of
// the part's two walls pass each other, and the loop removal cuts the part out as a piece that
// runs the wrong way round about the part's centre line (a line laid out and back where the part
// is exactly two steps wide). Without a lane there, material would stand up to a step from the
// last lanes of both walls; the same holds behind a lane's corner sharper than a right angle,
// where the source's sides stand more than a step apart. The one-offset step notes the pieces of
// every branch offset; after the offset the lane loop keeps as lanes those in which material
// would stand farther than half a step from every lane.
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/one_offset.hpp"

#include <vector>

// The pieces that the loop removal cut out of the last raw offset of a branch lane.
struct collapse_pieces {
    std::vector<double> x, y;  // the pieces' entries one after another, arc records included
    std::vector<int> counts;   // entries of each piece
    double distance = 0.0;     // the distance of the offset that cut them out
};
extern collapse_pieces collapse_pieces_block;

// Forgets the pieces noted so far (a new raw offset of the branch lane begins).
void collapse_pieces_clear();
// Notes a piece cut out of a raw offset made at the distance.
void collapse_piece_note(const pokarr& piece, double distance);

// Records as lanes the noted pieces, and the pieces cut off behind the new lanes' corners between
// lines sharper than a right angle, that hold material farther than half the engine's step plus
// half the pocket's tolerance from the source loop and from every lane the offset made (the lanes
// from first_new on), that lie inside the source and meet no island; the largest first, so that
// a smaller one whose material a larger one clears is left out. Each is turned to run
// counter-clockwise and recorded with status `pass`, parent and first link the source lane and
// the offset's distance; the first keeps the source's level when the offset made no lane, every
// other opens a new branch (branch_count raised). `recorded` answers how many. Status 0, 11 when
// a lane or a test cannot be read, or the code of lane_add. Nothing on pass 1 (the offset of the
// contour). Reads pocket_work (engine_step, tolerance) and the island lanes.
void collapse_lanes_record(const pokarr& source, int source_lane, int first_new, int pass, int level,
                           int& branch_count, int& status);

// The lane at half the engine's step plus the pocket's tolerance inside a branch lane whose offset
// gave no lane (its walls' offsets met in a point or a line, or what they cut out was kept by
// none): every point inside that lane lies within half a step of it, every point outside it
// within half a step and the tolerance of the source. Nothing when the loop's area leaves no room
// for a disc of that radius. The request is the branch offset's; the lane, if any, is recorded as the offset records
// its lanes. Answers the offset's result (0 when a lane was recorded, 1 when the source holds no
// such material).
int collapse_half_step(const oneoff_request& request, pokarr& loop);
