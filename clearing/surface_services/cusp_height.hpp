// The cusp left between two neighbouring cutter positions of the surface pass walk: the height of
// the material ridge that stands between the two cutter profiles, blended between the ball cusp
// and the corner cusp by how far the step runs across the pass direction.
#pragma once

// Status -1 with the height of a position too far away.
inline constexpr float kCuspTooFar = 1000.0f;

// The cusp between positions a and b (tool tips, three floats) of a cutter of diameter D and corner
// radius r; t1 and t2 are the cutter type codes of the two positions (1 ball), direction the unit
// 2-D pass direction. Status 0 (height 0 for the same point); -1 with kCuspTooFar when the
// positions lie farther apart in the plane than the diameter.
void cusp_height(float diameter, float corner, int t1, int t2, const float* a, const float* b, const float* direction,
                 float& height, int& status);
