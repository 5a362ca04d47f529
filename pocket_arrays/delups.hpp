// Loop removal of raw offset curves (DELUPS): a self-crossing loop is cut at its crossings into
// simple closed loops, built all at once on the first call of a series and handed out one per
// call. The one-offset step of the lane engine keeps the loops it wants by direction and area.
// Loops of dimension 3 (lanes on surfaces) are walked element by element (delups_3d, delups).
#pragma once

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

// Status words of DELUPS.
inline constexpr int kDelupsSearchFailed = 1;
inline constexpr int kDelupsWalkFailed = 2;
inline constexpr int kDelupsArrayFailed = 11;

// Records of the crossing table and loops of the result list.
inline constexpr int kDelupsTableSize = 7000;
// Fraction factor that keeps a crossing's position below the next element number.
inline constexpr double kDelupsFractionScale = 0.9999;

// State of the loop removal: one series at a time.
struct delups_state {
    int state_word = 1;          // 1 idle, 3 while the 3-D path runs
    int result_count = 0;        // loops built
    int cursor = 0;              // next loop to hand out
    int dump_switch = 0;         // writes the crossing table before the loops are built
    pokarr results[kDelupsTableSize];
    // The crossing table: element of A (ingo) and the second element (ingo1), the point, the
    // fractions on both elements (side codes in the 3-D walk), used marks, heights.
    int records = 0;
    int ingo[kDelupsTableSize];
    int ingo1[kDelupsTableSize];
    double xing[kDelupsTableSize];
    double ying[kDelupsTableSize];
    double zing[kDelupsTableSize];
    double z2ing[kDelupsTableSize];
    double u1[kDelupsTableSize];
    double u2[kDelupsTableSize];
    int used1[kDelupsTableSize];
    int used2[kDelupsTableSize];
    int hits[kCkintrMax];
};
extern delups_state delups_block;

// First call (count 0): builds the loops of A and moves the first into B; count answers the
// number of loops minus one. Later calls with count above 0 move the next loop into B (count
// answers the same). Status 0; 1 the crossing search failed; 2 a loop could not be closed (B
// empty, count -1, every loop freed); 11 a pocket-array operation failed (loops freed). A loop
// without crossings comes back as a copy with count 0. Reads pocket_state.pocket_dimension.
void DELUPS(pokarr& a, pokarr& b, int& count, int& status);
// Frees the loops not handed out and empties the result list.
void delups_clear();
// The next crossing along the walk of loop k from element e at record r on side s (1: on ingo,
// 0: on ingo1): record out (-1 none on loop 0), its side, and its element (-999 for none).
void delups_next_cross(int k, const int* ingo, const int* ingo1, int records, const double* u1,
                       const double* u2, const int* used2, const int* used1, int e, int& next_element,
                       int& record, int& side);
// The 3-D path of DELUPS, same protocol.
void delups_3d(pokarr& a, pokarr& b, int& count, int& status);
// Walks one loop of the 3-D array A from element start_element at the start point (x, y, z and
// z2) into loop, entering the crossings it meets into the table. Status 0; 1 the table is full
// or A has no z; 2 a crossing was met again away from the loop's start; 11 a pocket-array
// operation failed.
void delups(int start_element, int end_element, const double* start, double start_z2, pokarr& a,
            const pk_box_table& boxes, pokarr& loop, int& status);
