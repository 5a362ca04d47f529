// The moves of a lane laid on the part surfaces kept out of them: lane_on_srf hands its string
// here last. Its points are places where the tool touches the surfaces, but the straight move
// between two of them may cut in where the surfaces rise between (over a crest, across a fold
// that the projection's halving or the refinement's thinning passed over).
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"

// Checks every move of the string (`count` points in the host array behind `points`, their
// surface normals in `normals`: a normal of (0, 0, 0) is unknown). The normals at a move's ends
// bend the tool's path over it as a cubic would; where that bulges above the move by more than a
// quarter of the lane tolerance (or a normal is unknown) the tool is dropped where the cubic
// stands highest (at the middle without normals), and where it stands higher than the move by
// more than half the lane tolerance, measured along its contact normal (as deep as the tool
// would cut), the dropped point goes in between and both halves are checked again, down to a
// sixty-fourth of the move. The arrays grow as needed and count follows. Status 0, or the host's
// when an array cannot grow (the string is left as it was). Reads the lane tolerance of the
// triangle model and, through the drop, linnet_params and the triangle model.
void lane_chords_clear(lane_point_array& points, lane_point_array* normals, int& count, int& status);
