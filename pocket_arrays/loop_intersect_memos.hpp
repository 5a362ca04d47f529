// The speed memos of the loop search (LUPLUP), apart from its plain steps in loop_intersect.cpp:
// what a restarted self search takes again from the search before a nudge (its walks,
// loop_intersect_walks.cpp; the rows its first sweep passed, loop_intersect_sweep_memo.cpp), the
// partners the first sweep of a clean-up found for the second, and the straight elements read once
// for the partner search. Each leaves every row and mark as the plain steps make them;
// luplup_memos_block switches them.
#pragma once

#include "pocket_arrays/loop_intersect_table.hpp"

#include <algorithm>
#include <cstddef>
#include <vector>

// The search's own names, hidden: called within the module only, and inlined where the compiler
// sees fit.
#pragma GCC visibility push(hidden)
namespace luplup {

// A self search of a loop of fewer entries walks every element again after a nudge and checks
// every row again in its first sweep: keeping what the search before found would cost about what
// doing it again does.
inline constexpr int kKeptWalksEntries = 1000;

// ---- the walks of a restarted self search (loop_intersect_walks.cpp) --------------------------

// The entries that count as moved after a nudge: a range [first, last] of the loop's distinct
// entries 0 .. n - 2 (entry n - 1 repeats entry 0). The range may run on across the closing
// point: first below 0 or last beyond n - 2 then stand for the entries there.
struct moved_range {
    int first = 0, last = -1;
};

// Starts a search: its walks kept for its restarts (`keep`) or not, none kept yet.
void start_kept_walks(bool keep);
// Whether the search keeps its walks.
bool walks_kept();
// Whether the entries the last nudge moved are known, and if so which (moved).
bool kept_walks_moved(moved_range& moved);
// One search of A (= B, searched against itself) into the working table with the walks kept:
// those a nudge did not touch taken again from the search before. False when it overflowed.
bool search_keeping_walks(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
                          const luplup_columns& out, int& found_total, pk_box_table* regroup_into);

// ---- what the first sweep of a restarted self search proved (loop_intersect_sweep_memo.cpp) ---

// Entries around an element that a check of a row on it may read: its record, and those of the
// elements before and after it.
inline constexpr int kReadReach = 3 * kArcRecordEntries;

// What the first sweep of a self search's clean-up proved before a nudge restarted the search.
// That sweep only reads (it marks nothing until the second), and the check of a row reads the
// rows beside it, the rows on the elements of A near its own, the rows on its element of B, and
// the loop's entries near the elements of all these. A row whose check reads the same rows at the
// same places, none of them near what the nudge moved, passes again as it passed before: the
// sweep after a restart checks only the rows near the nudge and those from the row that nudged on.
struct first_sweep_memo {
    bool kept = false;               // a self search of one large loop
    std::vector<luplup_row> before;  // the table of the search before the restart
    int passed = 0;                  // rows [0, passed) of it passed the first sweep
    std::vector<int> per_b_before;   // rows of that table on each element of B
    // Of the table now: rows per element of B (and of them before `prefix`); the elements of B
    // that a row on an element of A near what moved stands on; of the rows before `prefix`, those
    // that read moved entries before each row.
    std::vector<int> per_b, per_b_prefix;
    // The rows of each element of B chained in table order, made while counting them: the first
    // row on each element (read only for an element that holds a row), and each row's next row
    // on its element (-1 after the last).
    std::vector<int> first_on_b, next_on_b;
    // The column of elements of B they were counted from (while per_b holds the counts).
    std::vector<int> counted_b;
    std::vector<char> b_of_a_near_moved;
    std::vector<int> near_moved_before;
    // The elements within reach of what moved: low .. low + span, or a turn of the ring (`ring`
    // elements) before or after (none when span < 0).
    int low = 0, span = -1, ring = 0;
    int prefix = 0;  // the rows the table shares with the one before, at the same places
    int limit = 0;   // rows before it may be passed over

    // Rows per element of B of the table (elements 0 .. elements - 1), and their chains, from the
    // column of its rows' elements of B; false when a row's element lies outside them. After a
    // restart only the rows up to the last one whose element differs from the table counted before
    // are counted again: a nudge changes rows near one place, and the table mostly keeps its count.
    bool count_per_b(const luplup_work& w, const int* elem_b, int elements);

    // The rows of the column before the run at its end that holds the same elements as the column
    // counted.
    int rows_before_same(const int* elem_b, int count) const;

    // Takes the counted rows before `from` out of the counts and chains: each element's first row
    // becomes its first from `from` on, the one its last row before `from` chained to.
    void uncount(int from);

    // Counts and chains the rows before `to`, read from the last back onto those counted after
    // them; false when a row's element lies outside the elements.
    bool count_rows(const int* elem_b, int to, int elements);

    // What the sweep may pass over in the table now, after a nudge moved the entries `moved` of a
    // loop of n entries (known: the count is the same and what moved is known). `elem_b` holds
    // the elements of B of the table's rows (the caller's column, not yet marked).
    void prepare(const luplup_work& w, const int* elem_b, int n, bool known, const moved_range& moved);

    // Whether element e lies within reach of what moved (each a single unsigned compare).
    bool near(int e) const
    {
        const auto within = [this](int f) { return static_cast<unsigned>(f - low) <= static_cast<unsigned>(span); };
        return span >= 0 && (within(e) || within(e - ring) || within(e + ring));
    }
    // Whether the check of row r reads entries near what moved through its own elements.
    bool reads_moved(const luplup_row& r) const { return near(r.a) || near(r.b); }
    // Whether some row on element b of B reads entries near what moved (b holds a row).
    bool b_near_moved(int b) const { return near(b) || b_of_a_near_moved[static_cast<std::size_t>(b)] != 0; }

    // Whether the first sweep may pass over row i: it passed before a restart, and its check
    // reads the same rows at the same places, none near what the nudge moved. `round(i)`: the
    // rows on row i's element of A and those up to an arc record's width from it.
    template <class Round> bool passed_before(const luplup_work& w, const loop_view& va, int i, Round round) const
    {
        if (i < 1 || i >= limit || i + 1 >= prefix) return false;
        const luplup_row& r = w.rows[i];
        // Rows near the closing point read the rows at the table's other end.
        if (r.a <= kReadReach || r.a >= va.last() - kReadReach) return false;
        const row_range near_rows = round(i);
        if (near_rows.last >= prefix) return false;
        const int first = std::min(i - 1, near_rows.first), last = std::max(i + 1, near_rows.last - 1);
        const std::size_t b = static_cast<std::size_t>(r.b);
        return near_moved_before[static_cast<std::size_t>(last) + 1] ==
                   near_moved_before[static_cast<std::size_t>(first)] &&
               !b_near_moved(r.b) && per_b[b] == per_b_prefix[b] && per_b_before[b] == per_b_prefix[b];
    }

    // Starts a search: kept or not, nothing known yet.
    void start(bool keep);

    // Keeps the table and the rows [0, passed_rows) that passed the first sweep.
    void remember(const luplup_work& w, int passed_rows);
};
extern first_sweep_memo first_sweep_block;

// ---- memos of one clean-up ---------------------------------------------------------------------

// The straight elements the clean-ups read last, by element (slot: the element's low bits), each
// with the clean-up that read it and the loop: a slot read by another clean-up (or before a
// nudge) holds nothing for this one.
struct straight_memo {
    static constexpr int kSlots = 256;
    struct slot {
        unsigned clean_up = 0;
        const pokarr* loop = nullptr;
        int element = 0;
        straight_line line;
    };
    slot slots[kSlots];
    unsigned last = 0;  // the number of the last clean-up
    // The straight element e of loop v for clean-up `clean_up`: read again unless its slot holds
    // it (always read again when the memo is off: `keep` false).
    [[gnu::always_inline]] const straight_line& line(const loop_view& v, int e, unsigned clean_up, bool keep)
    {
        slot& m = slots[static_cast<unsigned>(e) % kSlots];
        if (!keep || m.clean_up != clean_up || m.loop != &v.p || m.element != e)
            m = {clean_up, &v.p, e, straight_line(v, e)};
        return m.line;
    }
    unsigned next()
    {
        if (++last == 0) {
            for (slot& s : slots) s.clean_up = 0;
            last = 1;
        }
        return last;
    }
};
extern straight_memo straight_memo_block;

// The partners each row found in the first sweep of a self search's clean-up: the rows beside it
// and near it on A that share a piece with it, in the order the second sweep asks them, and (as
// ~row, which the second sweep passes over) those on its element of B. Between the sweeps nothing
// moves (a nudge that moves the loop restarts the search) and the first sweep marks nothing, so
// the second sweep asks only these of a row the first one searched in full; and a row searched
// later reads here what a row searched before it found of the two sharing a piece.
struct first_partners {
    std::vector<int> rows;
    std::vector<row_range> of;  // of each row of the table, its partners in `rows` (first -1: none known)
    int written = 0;            // rows of `of` before this one may hold partners

    // No partners known, for a table of `count` rows (a restart's clean-up searches a few rows:
    // only those written are cleared).
    void start(int count)
    {
        rows.clear();
        std::fill(of.begin(), of.begin() + std::min(written, static_cast<int>(of.size())), row_range{-1, -1});
        of.resize(static_cast<std::size_t>(count), row_range{-1, -1});
        written = 0;
    }
    void record(int i, int first)
    {
        of[static_cast<std::size_t>(i)] = {first, static_cast<int>(rows.size())};
        written = std::max(written, i + 1);
    }
};
extern first_partners first_partners_block;

}  // namespace luplup
#pragma GCC visibility pop
