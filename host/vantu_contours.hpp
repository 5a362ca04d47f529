// The host's directory names and the curve sets of contours, as the pocket preparation and the
// pocket debug dumps see them.
//   cad_name: code 20 names the directory of the debug files (the runner's output folder).
//   Curve sets: each contour of a pocket is a numbered set of curves; each curve is an entity
//   with its start and end parameter and its orientation value in the contour.
#pragma once

#include <string>

// Code of the debug-file directory.
inline constexpr int kCadNameDebugDirectory = 20;

// The directory of a code (no trailing separator; "." for the current directory). Status 0, or
// -1 for an unknown code.
void cad_name(int code, std::string& directory, int& status);

// Number of curves of curve set `set`; status -1 (count 0) for a set that does not exist.
void dfdgnc(int set, int& count, int& status);
// Curve k (1-based) of the set: its entity id and data (start parameter, end parameter,
// orientation value). Status -1 for a set or k that does not exist.
void dfdget(int set, int k, int& entity, double* data, int& status);
