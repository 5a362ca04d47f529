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

// Chain records: the module holds a contour as a record of 8-byte entries, one per curve of its
// curve set; entry k is (set, k) in two words. A record is what the pocket preparation reads as
// a curve set, so a contour table can keep several records one after another in one buffer.
inline constexpr int kChainEntryWords = 2;

// Writes the chain record of curve set `set` (one entry per curve) into record, which has room
// for `room` entries; length answers the number of entries. Status 0; -1 for a set that does
// not exist; -2 when the room is too small (nothing written, length answers the room needed).
void dfdgrc(int set, int room, int* record, int& length, int& status);
// Length (entries) of the chain record that begins at `entry`. Status 0; -1 (length 0) when the
// entry is no first entry of a record of an existing set.
void dfcgld(const int* entry, int& length, int& status);
// The polygon of the chain record that begins at `entry`: the points of its curves one after
// the other (crvpld2 within the chord tolerance), a curve's first point left out where it
// repeats the previous curve's last one, the closing point kept. Mode 1 writes x, y pairs of
// floats. room counts points; count answers the number written, -2 when more than room points
// are needed (nothing written), 0 when the record gives no polygon (a bad entry, mode or
// tolerance, or a curve that cannot be evaluated).
void dfcpol(const int* entry, int mode, float tolerance, int room, float* points, int& count);

// Number of curves of curve set `set`; status -1 (count 0) for a set that does not exist.
void dfdgnc(int set, int& count, int& status);
// Curve k (1-based) of the set: its entity id and data (start parameter, end parameter,
// orientation value). Status -1 for a set or k that does not exist.
void dfdget(int set, int k, int& entity, double* data, int& status);
