// Crossings of two loops ordered along the first (LUPLUP), with the marks of touching points,
// and the tests built on it: any crossing at all, a loop crossing itself, the crossing table
// ordered along the second loop. The common loops, the tests of a new offset against the
// previous lanes and islands, and the connection tests call it through luplup_pokarr.
#pragma once

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Rows of the crossing table: without and with the tens flag of the mode (a loop against
// itself). The caller's columns must hold luplup_capacity(mode) rows.
inline constexpr int kLuplupRows = 740;
inline constexpr int kLuplupSelfRows = 6990;
int luplup_capacity(int mode);

// Mode digits: hundreds stop at the first crossing; tens search a loop against itself; a units
// digit asks for the clean-up (marks of touching points), 2 or more for heights in 3-D, 4 for
// the height on A as the difference of the two heights.
inline constexpr int kLuplupFirstOnly = 100;
inline constexpr int kLuplupSelf = 10;

// Finds every point where loop A meets loop B (B may be A, with the tens flag), ordered along
// A: element of A, element of B (negative: a touching point), x, y. count -1 when the table
// overflowed ("LUPLUP,TOO MANY INTERSECTION POINTS WITH ISLAND " in pocket mode 0), a nudge
// failed or a loop holds a number that is not finite ("LUPLUP,LOOP HOLDS A NUMBER THAT IS NOT
// FINITE"); result 1 when crossings were found and all dropped again. In a search of a loop
// against itself (pass the same array as A and B) elements at self-contacts and shared pieces
// are nudged and the search starts again, at most kLuplupRestarts times. Of b_boxes only the
// groups are read (pokarr_get_groups is enough).
inline constexpr int kLuplupRestarts = 50;
// The speed memos of the search, each on unless switched off (the tests switch them off to
// compare): with every one off the plain steps alone make every row and mark, and with any on
// the rows, marks and nudges come out the same, bit for bit.
struct luplup_memos {
    bool walks = true;        // a restarted self search takes again the walks a nudge left alone
    bool first_sweep = true;  // ... and passes over the rows its first sweep passed before
    bool partners = true;     // a self search's second sweep asks the partners its first found
    bool lines = true;        // the partner search reads each straight element once
};
extern luplup_memos luplup_memos_block;
void LUPLUP(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, int* elem_a, int* elem_b, double* x,
            double* y, int& count, int& result);

struct luplup_near;

// The columns a search writes its rows to. They hold `capacity` rows; with `grow` set the search
// keeps every row it finds, however many: grow(rows, columns) makes room for that many (the
// columns may move, and grow points them at their new place) and answers false when it cannot.
struct luplup_columns {
    int* elem_a;
    int* elem_b;
    double* x;
    double* y;
    int capacity;
    bool (*grow)(int rows, luplup_columns& columns);
    const luplup_near* near = nullptr;  // what the caller knows of A (A not B), or nothing
};
// LUPLUP into the given columns: with growing columns a search never overflows (count -1 then
// means the growth failed).
void luplup_into(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, luplup_columns& out, int& count,
                 int& result);

// LUPLUP with heights in 3-D (units digit 2 or more; with 4 the height on A is the difference).
// Status 0; the result code of LUPLUP when not 0; -1 when the table overflowed (never "no
// crossing").
void luplup_pokarr(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, int* elem_a, int* elem_b,
                   double* x, double* y, double* z_a, double* z_b, int& count, int& status);

// What a caller that searches one loop A against many small loops B knows of A: the elements a
// search against a B within `box` may walk. A search walks only the elements of A whose box
// (an arc's with its circle), widened by twice the element index's margin, meets the box of B's
// elements; the list holds (the first entries of) at least those for every B within `box`, in
// increasing order. A must stay as it was when the list was made.
struct luplup_near {
    double box[4] = {};  // x min, y min, x max, y max
    const std::vector<int>* elements = nullptr;
    int count = 0;        // A's entries
    bool finite = false;  // every number of A is finite
};
// luplup_pokarr with what is known of A (A not B): the same rows and status, with only the
// listed elements of A looked at when B's elements lie within the list's box.
void luplup_pokarr_near(int mode, pokarr& a, const luplup_near& near, const pokarr& b, const pk_box_table& b_boxes,
                        int* elem_a, int* elem_b, double* x, double* y, double* z_a, double* z_b, int& count,
                        int& status);

// Status 1 when A and B meet, 0 when not; a failure of the search is a negative status.
void pokarr_intersect_test(int mode, pokarr& a, const pokarr& b, int& status);

// Status 1 when the loop of n points (x, y) crosses itself, 0 when not, negative on failure.
void xy_self_intersect(double* x, double* y, int n, int& status);

// Copies the rows with absolute element indices ordered along B: by B's element, then by the
// position on it (squared distance from the element's start, or the arc parameter); equal keys
// keep their order.
void isect_sort_on_b(int count, const int* elem_a, const int* elem_b, const double* x, const double* y, const pokarr& b,
                     int* sorted_a, int* sorted_b, double* sorted_x, double* sorted_y);

// 1-based index of the last row in which the two tables differ (absolute elements, or x or y
// beyond the host's zero tolerance); 0 when they agree.
int isect_lists_differ(int count, const int* a1, const int* b1, const double* x1, const double* y1, const int* a2,
                       const int* b2, const double* x2, const double* y2);

// Junction of curve B with curve A at a point, from their incoming and outgoing directions:
// result 1 when B only touches A, 0 when it crosses (or the test cannot decide). An odd mode
// checks that each direction has a length ("[chkjunc] UNABLE TO CALCULATE 2D PROJECTION").
void chkjunc(int mode, const double* a_in, const double* a_out, const double* b_in, const double* b_out, int& result);

// Angular order about the reversed reference direction: 1 when angle b lies strictly after a.
void angle_after(double reference, double a, double b, int& flag);
// Whether the direction pairs (d1, d2) and (d3, d4) interleave about a point: 1 when exactly one
// of "d3 after d1" and "d4 after d2" holds.
void junction_crosses(const double* d1, const double* d2, const double* d3, const double* d4, const double* reference,
                      int& result);
