// The point mover of the pocket path (pocket_approach), least version: the plain feed moves of
// kinds 1 and 2 that the region hatching and the walk round a polygon write. The approach from
// the clearance level, the lead-height profiles, the markers and the entry-point record come with
// the lane output, which replaces this file.
#pragma once

// Move kinds: 1 feed move to the to-point, 2 to the from-point and then to the to-point; 11 to
// 19 and 21 and above are the kind less 10 or 20.
inline constexpr int kApproachFeed = 1;
inline constexpr int kApproachFromTo = 2;
inline constexpr int kApproachFull = 3;

// Writes the move of the kind (from and to: x, y, z doubles; below dimension 3 both take
// pocket_state.current_z). Kind 3 writes the moves of kind 2 (no approach from the clearance
// level yet); kinds 4 to 10 and 20 write nothing. Status 0, or the motion output's failure.
void pocket_approach(int kind, int dimension, const double* from, const double* to, int& status);
