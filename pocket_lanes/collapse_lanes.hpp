// Collapse lanes. Where the offset of a branch lane by the step loses a part of the region that is
// less than two steps wide (a narrow leg, a neck, a horn: a crescent's end, a cusp where a lane
// wraps round an island, a sharp corner), the offsets of the part's two walls pass each other, and
// the loop removal cuts the part out as a piece that runs the wrong way round about the part's
// centre line (a line laid out and back where the part is exactly two steps wide); in a horn it
// runs on past the horn's end, out of the source. Without a lane there, material would stand up
// to a step from the last lanes of both walls; the same holds behind a lane's corner sharper than
// a right angle, where the source's sides stand more than a step apart. The one-offset step notes
// the pieces of every branch offset; after the offset the lane loop keeps as lanes their parts
// inside the source in which material would stand farther than half a step from every lane.
// Collapse lanes carry the contour type kContourCollapse: no pass offsets them, no merge takes
// them.
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

// Records as lanes the parts inside the source of the noted pieces, and of the pieces cut off
// behind the new lanes' corners between lines sharper than a right angle, that hold material
// farther than half the engine's step plus half the pocket's tolerance from the source loop and
// from every lane the offset made (the lanes from first_new on) and meet no island; the largest
// piece first, so that a smaller one whose material a larger one clears is left out. Each runs
// counter-clockwise, with parent and first link the source lane and the offset's distance. A part
// cut out of a piece reaching beyond the source shares a point with the source: it gets status 0
// on the source's level and is cut within the source's cut (collapse_detours.hpp), unless it meets
// such a part recorded before. Every other part gets status `pass`: the first keeps the source's
// level when the offset made no lane on it, every other opens a new branch (branch_count raised).
// Status 0, 11 when a lane or a test cannot be read, or the code of lane_add. Nothing on pass 1
// (the offset of the contour) nor for a source running clockwise (a hole's lane). Reads
// pocket_work (engine_step, tolerance, working_tolerance) and the island lanes.
void collapse_lanes_record(const pokarr& source, int source_lane, int first_new, int pass, int level, int& branch_count,
                           int& status);

// The lane at half the engine's step plus the pocket's tolerance inside a branch lane whose offset
// gave no lane (its walls' offsets met in a point or a line, or passed each other all along):
// every point inside that lane lies within half a step of it, every point outside it within half
// a step and the tolerance of the source. Nothing when the loop's area leaves no room for a disc
// of that radius. The request is the branch offset's; the lanes, if any, are recorded as the
// offset records its lanes, as collapse lanes. A lane that meets an island lane inside the loop
// (it would run round the island nearer than its offset) is retired with status 0, as a merged
// lane is. Answers the offset's result (0 when a lane was recorded and kept, 1 when the source
// holds no such material or every lane was retired). `step_pieces`, when given, are the pieces
// that the loop's offset by the step cut out: its spots too small for a lane, where the loop is a
// little wider than two steps, are recorded after the half-step lane as that lane's own spots.
int collapse_half_step(const oneoff_request& request, pokarr& loop, const collapse_pieces* step_pieces);
