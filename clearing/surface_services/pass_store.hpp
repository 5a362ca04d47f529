// The pass store of the surface pass engine: the two most recent pass sets (one hatch line of the
// engine each), every pass a run of contact points with their unit surface normals. When a call
// brings a new set number the finished set is searched for clean-up places
// (pass_store_cleanup.hpp), which land in the clean-up grid (pass_store_grid.hpp). The touch
// strings of the pass engine call storps while the procedure stores its passes.
#pragma once

// A set holds at most this many passes; a call that would make more is refused.
inline constexpr int kPassStoreMostPasses = 50;
// Handle of an array that is not open.
inline constexpr int kPassStoreClosed = -1;

// One bank: the points of one set, pass after pass, each pass taking as many positions as its
// count. The arrays hold records of three floats (x, y, z); point i and normal i belong together.
struct pass_bank {
    int point_count = 0;
    int pass_count = 0;
    int pass_point_counts[kPassStoreMostPasses] = {};
    int points_handle = kPassStoreClosed;
    int normals_handle = kPassStoreClosed;
};

struct pass_store_state {
    int bank = 1;         // the bank of the set being filled; 1 before the first set
    int set_count = 0;    // sets opened so far; 0: not initialised
    int set_number = -1;  // set number of the set in the current bank
    pass_bank banks[2];
};

extern pass_store_state pass_store;

// A pass set as the detection reads it: points and normals three floats a point, pass after pass.
struct pass_set_view {
    const float* points = nullptr;
    const float* normals = nullptr;
    int pass_count = 0;
    const int* pass_point_counts = nullptr;
};

// The set held in bank 0 or 1 (null arrays while the bank is closed).
pass_set_view pass_bank_view(int bank);

// Keeps point_count points (pass_count passes of pass_point_counts points each, the counts summing
// to point_count) of the pass set set_number. A set number other than the stored one finishes the
// set in the current bank: it is searched for clean-up places (against the set before it too when
// link_flag is 0) and the new set goes into the other bank. A first point that continues the last
// stored pass (within one working diameter: the current mill's, 10 when there is none) lengthens
// that pass. Status 0, or negative with the store as it was: a bad count or negative set number
// (-1), more than kPassStoreMostPasses passes in the set (-1), a full clean-up list (-1), or the
// host's status when an array cannot be had. Reads the current tool (PRM9's tool id).
void storps(float tolerance, int set_number, const float* points, const float* normals, int pass_count,
            const int* pass_point_counts, int point_count, int link_flag, int& status);

// Sets the status to 0 (the store starts over by itself on the call after pass_store_close).
void pass_store_reset(int& status);

// Closes every array of both banks and puts the store back to its load state. Status 0, or the
// host's negative status of a close that failed (every handle is forgotten anyway).
void pass_store_close(int& status);
