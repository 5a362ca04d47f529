// The pocket main arrays: the bulk point store of all lanes (its host arrays opened only as far
// as its entries are reached) and the contour point array that the input preparation fills, both host
// dynamic arrays of points relative to the pocket origin (16-byte x, y entries in mode 0, 24-byte
// x, y, z entries in mode 1). Arcs are four entries as in the pocket array. Indexes are 1-based.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Mode of the stored entries.
inline constexpr int kPokmainUndefined = -1;
inline constexpr int kPokmain2d = 0;
inline constexpr int kPokmain3d = 1;

// Growth steps in entries.
inline constexpr int kPokmainStep = 7000;
inline constexpr int kContourStep = 5000;
// POKCPY refuses more reallocations than this.
inline constexpr int kPokcpyMaxReallocations = 10;
// pokmain_grow's status for a failed growth.
inline constexpr int kPokmainGrowFailed = 15;

// The main array is a run of host arrays (chunks) of kMainChunkEntries entries each, the last
// one possibly shorter: a chunk never moves once full, so the store grows without copying what it
// holds and without an old and a new copy alive at once. 65536 entries are 1 MB in mode 0.
inline constexpr int kMainChunkShift = 16;
inline constexpr int kMainChunkEntries = 1 << kMainChunkShift;

struct pokmain_state {
    int mode = kPokmainUndefined;
    std::vector<int> main_handles;     // host arrays of the chunks, in order
    std::vector<double*> main_chunks;  // their base addresses
    int main_capacity = 0;             // entries the engine may use (the room it asked for)
    int main_open = 0;                 // entries the chunks have: opened as the engine reaches them
    std::vector<double> run_copy;      // scratch: a run of entries across a chunk's end, copied whole
    int contour_handle = -1;
    double* contour_base = nullptr;
    int contour_capacity = 0;
    double origin[3] = {0.0, 0.0, 0.0};
};
extern pokmain_state pokmain_block;

// Doubles per entry of the current mode (2 or 3; 0 when undefined).
int pokmain_entry_doubles();

// Every routine that reads or writes entries first sets an undefined mode with pokinitdim, which
// reads pocket_state.pocket_dimension: 2 gives mode 0, 3 and 4 mode 1; any other dimension is
// refused ("[pokinitdim] UNABLE TO OPEN POCKET ARRAYS - DIMENSIONS NOT DEFINED", status -1).
void pokinitdim(int& status);
// Most entries the main array may have in the current mode (in mode 0 when the mode is not set).
int pokmain_size_limit();
void PokAllocMainArray(int& n, int keep, int& status);
void pokmain_grow(int n, int& status);
void POKCPT(const double* point, int& index, int& status);
void POKCAR(double radius, double direction, int& index, int& status);
void pokmain_get_cpt(int index, double& x, double& y);
void POKCPY(int n, int reallocations, int contour_points, int& status);
void POKREL(int close, int& status);
void pokmain_set_origin(double x, double y, double z, int& capacity);
void pokmain_dup_pnts(int n, int start, int& status);
void pokmain_put_pnts(const pokarr& array, int first, int& status);
// In a pocket of dimension 4 (reads pocket_state.pocket_dimension) a range of n entries holds
// n / 2 points followed by their normals; pokmain_get_pnts gives the points with their normals,
// pokmain_reverse reverses the points with their normals.
void pokmain_get_pnts(int n, int first, pokarr& array, int& status);
void pokmain_reverse(int n, int first, int& status);
// The same from the contour array, which the input preparation filled and POKCPY copied into the
// main array's first entries: the lane engine reads the contours from it while it records its
// first lanes over that copy.
void pokmain_get_contour_pnts(int n, int first, pokarr& array, int& status);
// Entries first .. end - 1 into the array, absolute; reversed (arcs kept valid) when forward is 0.
void pokmain_to_arr(int forward, int first, int end, pokarr& array, int& status);
// The same range as an interleaved x, y list, absolute. The list is resized to 2 (end - first).
void pokmain_get_xy(int forward, int first, int end, double* list, int room, int& status);
// The same range as an x, y list and one z per entry (absolute: stored z + origin z in mode 1,
// origin z in mode 0); in a pocket with normals only the points (half the range). room is the
// number of entries the lists hold. Reads pocket_state.pocket_dimension.
void pokmain_get_xyz(int forward, int first, int end, double* list, double* z_list, int room, int& status);
// pokmain_get_pnts (relative) into plain x, y lists of room entries; more than room is refused.
void pokmain_get_2d(int n, int first, double* x, double* y, int room, int& status);
