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

// Records of the crossing table and loops of the result list that a series holds in the fixed
// rows; a planar series of more crossings moves the table into a host dynamic array of its own,
// grown a thousand rows at a time and given back when the series ends (delups_clear). Its loops
// are not in the result list (delups.cpp keeps them); the 3-D walk's table never grows.
inline constexpr int kDelupsTableSize = 7000;
inline constexpr int kDelupsGrowth = 1000;
// Fraction factor that keeps a crossing's position below the next element number.
inline constexpr double kDelupsFractionScale = 0.9999;

// The fixed rows of the crossing table and the result list.
struct delups_rows {
    pokarr results[kDelupsTableSize];
    double xing[kDelupsTableSize];
    double ying[kDelupsTableSize];
    double zing[kDelupsTableSize];
    double z2ing[kDelupsTableSize];
    double u1[kDelupsTableSize];
    double u2[kDelupsTableSize];
    int ingo[kDelupsTableSize];
    int ingo1[kDelupsTableSize];
    int used1[kDelupsTableSize];
    int used2[kDelupsTableSize];
    int order1[kDelupsTableSize];
    int order2[kDelupsTableSize];
    int open1[kDelupsTableSize];
    int open2[kDelupsTableSize];
};
delups_rows& delups_fixed_rows();

// The columns of the crossing table and the result list: the fixed rows, or the host array of a
// series that outgrew them.
struct delups_columns {
    int capacity = kDelupsTableSize;                // rows of every column of the crossing table
    pokarr* results = delups_fixed_rows().results;  // the 3-D walk's loops; always the fixed rows
    // The crossing table: element of A (ingo) and the second element (ingo1), the point, the
    // fractions on both elements (side codes in the 3-D walk), used marks, heights.
    int* ingo = delups_fixed_rows().ingo;
    int* ingo1 = delups_fixed_rows().ingo1;
    double* xing = delups_fixed_rows().xing;
    double* ying = delups_fixed_rows().ying;
    double* zing = delups_fixed_rows().zing;
    double* z2ing = delups_fixed_rows().z2ing;
    double* u1 = delups_fixed_rows().u1;
    double* u2 = delups_fixed_rows().u2;
    int* used1 = delups_fixed_rows().used1;
    int* used2 = delups_fixed_rows().used2;
    // The walk's order of the crossings along A: the records by the position of their first side
    // (order1) and of their second (order2), and for each place the next place that may still be
    // open (open1, open2; place `records` is the end, a table holds a row more than its records).
    int* order1 = delups_fixed_rows().order1;
    int* order2 = delups_fixed_rows().order2;
    int* open1 = delups_fixed_rows().open1;
    int* open2 = delups_fixed_rows().open2;
};

// State of the loop removal: one series at a time.
struct delups_state : delups_columns {
    int state_word = 1;    // 1 idle, 3 while the 3-D path runs
    int result_count = 0;  // loops built
    int cursor = 0;        // next loop to hand out
    int dump_switch = 0;   // writes the crossing table before the loops are built
    int spill = -1;        // host array of the columns beyond the fixed rows; -1 when not open
    int records = 0;       // rows of the crossing table
    // 1 while the 3-D path walks a loop of the surface grid meeting crossings in plan (set by the
    // lane loop's second try of a surface offset that gave nothing; see delups_3d.cpp)
    int crossings_in_plan = 0;
    int hits[kCkintrMax];
};
extern delups_state delups_block;

// First call (count 0): builds the loops of A and hands the first to B; count answers the
// number of loops minus one. Later calls with count above 0 hand the next loop to B (count
// answers the same). B takes each loop as a planar pool array (a static B takes a copy), its own
// block kept where it has room. Status 0; 1 the crossing search failed; 2 a loop could not be
// closed (B empty, count -1, every loop freed); 11 a pocket-array operation failed (loops freed,
// B emptied). A loop without crossings comes back as a copy with count 0. Reads
// pocket_state.pocket_dimension.
void DELUPS(pokarr& a, pokarr& b, int& count, int& status);
// Frees the loops not handed out, empties the result list and gives back a series' host array.
void delups_clear();
// Makes the columns hold `rows` rows, moving them into a larger host array (kept content) when
// they do not. False when the array cannot be had (the columns stay as they are).
bool delups_table_room(int rows);
// The next crossing along the walk of loop k from element e at record r on side s (1: on ingo,
// 0: on ingo1): record out (-1 none on loop 0), its side, and its element (-999 for none). The
// walk of DELUPS finds the same crossing through the table's order of the sides along A.
void delups_next_cross(int k, const int* ingo, const int* ingo1, int records, const double* u1, const double* u2,
                       const int* used2, const int* used1, int e, int& next_element, int& record, int& side);
// The 3-D path of DELUPS, same protocol.
void delups_3d(pokarr& a, pokarr& b, int& count, int& status);
// Walks one loop of the 3-D array A from element start_element at the start point (x, y, z and
// z2) into loop, entering the crossings it meets into the table. Status 0; 1 the table is full
// or A has no z; 2 a crossing was met again away from the loop's start; 11 a pocket-array
// operation failed.
void delups(int start_element, int end_element, const double* start, double start_z2, pokarr& a,
            const pk_box_table& boxes, pokarr& loop, int& status);
