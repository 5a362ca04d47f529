// The check plane of the surface strings: a plane held in PLN1 at which srflin stops a string.
// NXTSTP clips each new segment of a string against it; the engine reads the plane result srflin
// hands back (1 a string was stopped at the plane, 2 the last segment ran parallel to it).
#pragma once

inline constexpr int kPlaneNone = 0, kPlaneCrossed = 1, kPlaneParallel = 2;
// plane_clip's mode that records the plane that stopped a string in PLN1.
inline constexpr int kPlaneClipRecord = 1;

// Whether PLN1 holds a check plane: a plane id of -1 is none, and so is 0, the id of a block that
// was never restored (entity ids are positive).
bool check_plane_defined();

// Clips the segment first..second of two tool points at the check plane P . X + d + P . O = 0
// (P the plane's unit normal, d its offset, O its point). Result 0 when no plane is defined, 2 when
// the segment runs parallel to the plane; 1 when it crosses it (t from 0 to 1, each end widened
// by a ten-thousandth): second moves to the crossing, pair[1] to t pair[1] + (1 - t) pair[0] (the
// value pair[0] at first and pair[1] at second, interpolated alike), and in mode 1 the plane's
// normal and id are recorded in PLN1 as the plane that stopped the string. Otherwise nothing moves.
void plane_clip(int mode, const float* first, float* pair, float* second, int& result);
