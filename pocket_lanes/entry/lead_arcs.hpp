// Lead arcs at lane ends: the arc tangent to the lane that the tool runs along into or out of a
// lane, written as motions (choose_drpar picks the plain writer sdrpar or the surface writer
// pdrpar), and the clip of a lead where the tool would touch the part (lead_clip_to_part). The
// lane-start and lead-out moves of the drawing and the lane output write their arcs through
// choose_drpar; the lead-point computations and the corner check call the clip.
#pragma once

// Status of a lead arc whose shorter sweep turns against the requested direction.
inline constexpr int kIllegalArc = -1;
// Status of lead_clip_to_part when no part of the lead remains.
inline constexpr int kNoLeadLeft = 1;
// Step angles below this (radians, the single-precision value) are taken as it.
inline constexpr double kSmallestLeadStep = 9.999999747378752e-05;
// Arc steps the clip tests at most.
inline constexpr int kClipStepsMost = 10;

// The largest step of a lead arc for the chord tolerance: 2 acos(1 - tolerance / radius), the
// cosine clamped to [-1, 1] (a radius at or below half the tolerance steps by a whole turn), at
// least kSmallestLeadStep; 0 for a radius not above 0. pdrpar and lead_clip_to_part step by it.
double lead_step_angle(double tolerance, double radius);

// The lead arc from S to E about C (x, y doubles) in the direction's sense (positive:
// counter-clockwise seen from above): pdrpar while pocket_state.surface_flag is set, else
// sdrpar, with the same arguments.
void choose_drpar(int mode, double radius, double direction, const double* centre, const double* start,
                  const double* end, int& status);

// The plain lead arc at pocket_state.current_z. Unless the mode is 1 or 11, an approach move
// first (entry_point_2d, dimension 2, from the approach target to S, with the current Z raised by
// the lead height and the lead height 0 for its duration); the target is S, or, for modes above
// 10 without a lead height, pocket_state.entry_shift per cent of the chord from S towards E. Then
// one arc motion of the sweep of at most half a turn (feed mode 4 with the rapid-lead flag, 25
// with the percentage-feed flag, else 1), or, with a lead height, the lifted arc as ten lines
// (the first at rapid, the others at feed mode 3). S equal to E writes no arc. An arc whose
// shorter sweep turns against the direction: "[sdrpar] ILLEGAL ARC!!", kIllegalArc (a half turn
// turns either way). The radius is not read. Reads pocket_work.tolerance and lead_height.
void sdrpar(int mode, double radius, double direction, const double* centre, const double* start, const double* end,
            int& status);

// The surface lead arc: stepped by 2 acos(1 - tolerance / radius) (at least kSmallestLeadStep;
// a radius not above 0 steps nothing), each step a surface entry move (entry_point_srf,
// dimension 2) at the current Z, the first with the caller's mode, the others with mode 1, or 3
// after a step that left the tool farther than max(4 x side step, 4 x tool radius) from the
// new point. Same refusal as sdrpar with "[pdrpar] ILLEGAL ARC!!"; a centre on S or E: -1. Reads
// pocket_work (tolerance, side_step, tool_radius).
void pdrpar(int mode, double radius, double direction, const double* centre, const double* start, const double* end,
            int& status);

// Cuts the lead short where the tool, moved along it just above the current Z, touches the part
// (tool_project_point: status 0, -1 and -2 block). An arc (direction +1 or -1) is probed from
// midpoint to midpoint of at most kClipStepsMost steps: a block at the first step leaves no lead
// (status kNoLeadLeft, E = S), a later one ends the lead at the last free midpoint. A straight
// lead (direction 0) blocked at the contact O ends 95 % of the way from S to O (no lead when O is
// the probe's start or the tool cannot move). clipped becomes 1 when the lead was shortened.
// Status 0, kNoLeadLeft, or -1 for a lead without direction. Reads pocket_work.tolerance.
void lead_clip_to_part(int direction, double radius, const double* centre, const double* start, double* end,
                       int& clipped, int& status);
