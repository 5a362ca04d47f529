// Copies and conversions of pocket arrays: whole copies between the flat dimension-1 layout
// (interleaved x, y or x, y, z per point) and the 2-D/3-D/normal layouts, range inserts and
// overwrites, removal of a range with a loop's closing point kept right, exchange with plain
// record lists, and thinning through the host.
//
// Counts and start indexes on a dimension-1 side are counted in doubles: n doubles of a flat list
// are n/2 points of a 2-D array and n/3 points of a 3-D one. Dimension 4 is never converted to or
// from dimension 1. Between dimensions 2 to 4 entries are copied one by one: z becomes 0.0 from a
// 2-D source, the normal (0, 0, 1) from a source without normals.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Whole copy: the destination gets the source's entries (converted), area, direction and
// indicator. An empty source empties the destination. Dimension 4 against dimension 1:
// "[pokarr_copy] UNABLE TO CONVERT 1D ARRAYS", status -1, destination emptied.
void pokarr_copy(const pokarr& source, pokarr& destination, int& status);
// Inserts n source entries from start into the destination at index (cut to 0 .. count),
// moving later entries up. start + n beyond the source: -1, nothing changed.
void pokarr_insert_pnts(int n, const pokarr& source, int start, pokarr& destination, int index, int& status);
// Overwrites destination entries from index (cut to 0 .. count) with n source entries from
// start; the destination grows when the range reaches its end.
void pokarr_copy_pnts(int n, const pokarr& source, int start, pokarr& destination, int index, int& status);
// pokarr_copy_pnts at the destination's count.
void pokarr_append(int n, const pokarr& source, int start, pokarr& destination, int& status);
// Clears the destination's cache and indicator, copies n source entries to its start and cuts
// it to them (the count in the destination's units).
void pokarr_replace(int n, const pokarr& source, int start, pokarr& destination, int& status);
// Moves entries from .. count - 1 of every block (x, y, z, normals) to start at entry `to`, as one
// block move each; the count is left to the caller. The clean-ups that take entries out of a loop
// one by one move its tail so.
void pokarr_shift_entries(pokarr& array, int from, int to);
// Removes entries start .. start + n - 1 (n cut at the end). With `closed` the array is a loop
// whose last entry repeats its first, and the closing point is kept right. A start at or
// beyond the count: "[pokarr_remove_pnts] Index is larger than array", -1.
void pokarr_remove_pnts(pokarr& array, int closed, int start, int n, int& status);

// Record lists: mode 2 records x, y (two doubles); modes 3 and 4 records x, y, z; mode 4 has a
// second list of one normal record (three doubles) per point.
// Fills the array (dimension 2 to 4) from count records; z 0.0 in mode 2, normals (0, 0, 1)
// unless mode 4 gives them (normals may be null then too).
void pokarr_from_records(int mode, const double* records, const double* normals, int count, pokarr& array, int& status);
// Writes the array's entries as records of the mode; count_out is the array's count. The lists
// have room for `capacity` records: an array with more entries is refused (-1, nothing written).
// normals is written in mode 4 only (may be null otherwise).
void pokarr_to_records(int mode, double* records, double* normals, int capacity, int& count_out, const pokarr& array,
                       int& status);

// Thins the points of a 2-D, 3-D or dimension-4 array through the host (dladstd) with the given
// tolerance, mode and extra value (mode 1: no kept chord longer than extra); the result goes to
// the destination, or back into the array when the destination is null. A dimension-1 array is
// refused: "[pokarr_dilul] UNABLE TO DILUL A ONE DIMENSIONAL ARRAY", -1.
void pokarr_dilul(pokarr& array, double tolerance, int mode, double extra, pokarr* destination, int& status);
