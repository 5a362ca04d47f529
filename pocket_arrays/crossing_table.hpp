// The crossing table of two loops (cre_comlups_array): the crossings of A with B, each row
// linked to its place along B, or in the crossings modes only the crossings, each crossing of a
// loop with itself once. The lane engine's common loops walk the linked table; the loop removal
// reads a loop's table against itself (cre_comlups_self).
#pragma once

#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pokarr.hpp"

// Modes of cre_comlups_array: 0 the linked table of two loops; 10 or more only the crossings
// (rows whose element of B is positive), each crossing of a loop with itself once.
inline constexpr int kComlupsLinked = 0;
inline constexpr int kComlupsCrossings = 10;
inline constexpr int kComlupsSelf = 11;

// Columns of the crossing table. The caller's columns hold kComlupsRows rows.
inline constexpr int kComlupsRows = 6990;
struct comlups_columns {
    int* elem_a;
    int* elem_b;
    double* x;
    double* y;
    int* used;    // may be null in modes 10 and above
    int* link;    // may be null in modes 10 and above
    double* z_a;  // heights (3-D); may be null
    double* z_b;
};

// Fills the table of A against B and answers its row count, -1 on failure: different
// dimensions ("[cre_comlups_array] DIMENSIONS OF ARRAYS DIFFER"), a failed search, or a row
// without a link ("COMLUP,PROBLEMS IN FINDING COMMON LOOP." in pocket mode 0). In modes 10 and
// above the rows are ordered along A; a loop searched against itself (the same array) gives
// each crossing once, with its element of A the earlier along the loop. Reads
// pocket_work.tolerance.
void cre_comlups_array(int mode, pokarr& a, const pokarr& b, double distance, int& count, const comlups_columns& table);
// Mode 11 of cre_comlups_array (A against itself) into columns that may grow (luplup_into): the
// loop removal's table, which keeps every crossing however many there are.
void cre_comlups_self(pokarr& a, luplup_columns& columns, int& count);
