// The offset search on surfaces (combcont), least version: the module carries no surfaces, so no
// sample point can be placed on them and the search answers its first trial offset. The offset
// search on surfaces completes it and replaces this file.
#pragma once

// Status of a memory failure of the search (the lane engine's code).
inline constexpr int kCombcontMemory = 11;

// The planar offset at which the samples (n points and their unit directions, x, y doubles in
// the part's frame) move by `target` over the surfaces, between `least` and `largest`, starting
// from `hint`. Without surfaces: result = hint when it is above 0 and not above target, else
// target, and never below least; status 0.
void combcont(double tolerance, int n, const double* points, const double* directions, double target,
              double least, double largest, double hint, double& result, int& status);
