// The point mover of the pocket path and the lane output: every motion of a pocket goes through
// pocket_approach, which writes what a move kind means (a feed move, a move with a lead-height
// profile, a full approach from the clearance level down to the level) through the motion
// output, records the procedure's first entry point and brackets lead-ins with markers.
// lane_end_link writes a whole lane through it; the lead-height profiles are made here too. The
// pocket drawing, the lead moves, the ramp entry, the region hatching and the walk round a
// polygon call them.
#pragma once

#include <array>

// Move kinds: 1 feed move to the to-point; 2 to the from-point, then to the to-point; 3 approach
// to the from-point from the clearance level, then to the to-point. 11 to 19: the kind less 10
// with the lead-height profile and the lead-in start marker (5/9); 21 and above: the kind less
// 20 with the lead-height profile. 4 to 10 and 20 write nothing.
inline constexpr int kApproachFeed = 1;
inline constexpr int kApproachFromTo = 2;
inline constexpr int kApproachFull = 3;
inline constexpr int kApproachLeadIn = 10;
inline constexpr int kApproachProfile = 20;

// Module words of the point mover, all 0 at load.
struct point_mover_words {
    // Entry-point pending: the next approach of the first level is the procedure's entry point
    // (set by the drawing per level, and from the stored entry-point request).
    int entry_pending = 0;
    // Level-start marker: the next approach writes the level's start marker 2/3 (nothing in
    // the module sets it).
    int level_start_marker = 0;
    // Level drawn (the tool-in-pocket flag): set once a move into the level was written; the
    // drawing clears it per level, the lead-point checks read it.
    int level_drawn = 0;
};
point_mover_words& point_mover();

// Writes the move of the kind from `from` to `to` (x, y, z doubles; below dimension 3 both take
// pocket_state.current_z): entry_point_srf when pocket_state.surface_flag is set, else
// entry_point_2d. Status 0, or the first negative status of the motion output, the marker
// writer or the entry list.
void pocket_approach(int kind, int dimension, const double* from, const double* to, int& status);

// STREND (toolpath/approach_retract.hpp) towards `p` with the retract mode and the height h, as
// the pocket's entries and wire approaches call it. With the clearance plane off, STREND climbs
// to p.z + h before it moves across, except where the tool stands at the clearance height: it
// takes that height for the plane and moves across at it, and that may be the height of a level
// (the clearance height of a part that sets none is 0). There the tool climbs to p.z + h first,
// in the feed of the retract mode (1: feed mode 27, else rapid), so that no link runs through
// material at the level; standing at p.z + h, it moves across at that height. Reads HEI8
// (clearance height and plane flag), the execution display mode, the NC function code and DSP8.
// Status 0 or the motion output's.
void pocket_strend(const std::array<double, 3>& p, int retract_mode, double h, int& status);

// The point mover of the planar pocket. An approach (kind 3) crosses over to its from-point at
// the approach clearance above the level, or at the top of the material where that lies below it
// and the way would leave the drawing's link region (link_region.hpp). Reads pocket_state
// (current_z, first_level_z, z_step, approach_clearance, lead_mode, direction_sign,
// level_counter, offsets_mode, the feed flags), pocket_work (lead_height, lead_rise,
// stored_approach_height, tolerance), the link region, HEI8 (incremental and further heights),
// the NC function code, the machining type, curve_approx_common's wire-approach flag, the twirl
// words, DSP8 and the stored entry-point request.
void entry_point_2d(int kind, int dimension, const double* from, const double* to, int& status);

// The point mover of surface pockets (single precision inside): the path between the points is
// laid over the surfaces, joined to the tool position or linked (motion-link mode 1), and written
// through the UP/DOWN buffers. Reads the pocket drawing words, curve_approx_common, the link
// words, pocket_work.tool_radius and DSP8.
void entry_point_srf(int kind, int dimension, const double* from, const double* to, int& status);

// Writes a lane: `count` slots of (x, y) doubles with arcs as records (marker, radius and
// direction, centre, end point) and, in dimensions 3 and 4, one z per slot (z_values may be
// null: the current Z). The first element moves with `kind`, every later one with kind 1; arcs
// go through choose_drpar. A connection lane (approach_only set) writes one move of the kind
// from its first point to its first point. With more than one point, pocket_state.last_position
// becomes the last point written, and in motion-link mode 1 a set link-source flag sets the link
// flag. chain_flag (the drawing's new-chain flag) is not read. Status 0 or the first failure.
void lane_end_link(int approach_only, int kind, int chain_flag, int count, const double* points, const double* z_values,
                   int dimension, int& status);

// At most this many points in a lead-height profile.
inline constexpr int kLeadPiecesMost = 10;
using lead_pieces = std::array<std::array<double, 3>, kLeadPiecesMost>;

// The lead-height line: 10 points from `from` to `to` (3 when they share x and y), point i of
// n + 1 at ((n - i) from + i to) / n in x and y and at
// z = to.z + (1 - sqrt(1 - ((n - i) / n)^2)) x pocket_work.lead_height: the z falls from
// to.z + lead height to to.z along a quarter circle. Status 0.
void lead_height_line(const double* from, const double* to, int& count, lead_pieces& pieces, int& status);

// The same profile along the arc from `start` (x, y) about `centre` (x, y, z) through `angle`
// (radians, signed) in 9 steps (2 when start and end coincide), z from end.z (x, y, z): rising
// (t = i / steps) for kinds up to 10, falling ((steps - i) / steps) above, so that a lead-in
// comes down onto the lane. Status 0.
void lead_height_arc(int kind, const double* centre, const double* start, const double* end, double angle, int& count,
                     lead_pieces& pieces, int& status);
