// Scale and combine: the samples of a planar loop with the direction in which the offset moves
// each, thinned and filled in, handed to the contour combination (combcont) that chooses the
// next offset distance. One branch of the one-offset step calls it.
#pragma once

// Modes: keep the lane direction, reverse it, the reversed bisector of the two directions at a
// vertex.
inline constexpr int kCombineKeep = 0;
inline constexpr int kCombineReverse = 1;
inline constexpr int kCombineBisector = 2;

// Most samples handed to combcont.
inline constexpr int kCombineSamplesMax = 7000;
// Status when the samples would pass kCombineSamplesMax (the chain cannot be cut) or combcont
// fails for memory.
inline constexpr int kCombineFailed = -1;

// Samples the loop x, y of n entries, and calls combcont(tolerance, samples, r, least, largest,
// hint, result). Status 0; the failure of a direction; kCombineFailed. Reads
// pocket_work.tolerance and pocket_frame.origin.
void scale_and_combine(int mode, double tolerance, double tool_radius, const double* x, const double* y, int n,
                       double r, double least, double largest, double hint, double& result, int& status);
