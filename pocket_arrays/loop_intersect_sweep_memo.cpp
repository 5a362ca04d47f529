// What the first sweep of a restarted self search's clean-up proved before the nudge: the rows it
// may pass over after the restart, and the rows of each element of B counted and chained while
// the table is unchanged. A speed memo of the loop search (loop_intersect_memos.hpp).
#include "pocket_arrays/loop_intersect_memos.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

namespace luplup {

first_sweep_memo first_sweep_block;
straight_memo straight_memo_block;
first_partners first_partners_block;

namespace {

// A table of fewer rows than a loop's entries over this is sorted by element of B (counting the
// rows of every element would cost more).
constexpr int kFewRows = 8;

// Rows of the table kept past those that passed the first sweep, for the next search to find the
// rows it shares with it: a row past the last one passed is never passed over, and only rows near
// it read the shared rows beyond; a shorter shared stretch only has more rows checked in full.
constexpr int kRememberedBeyond = 1024;

// Whether two doubles hold the same bits.
bool same_bits(double u, double v) { return std::bit_cast<std::uint64_t>(u) == std::bit_cast<std::uint64_t>(v); }

// Whether two rows hold the same values, bit for bit.
bool same_row(const luplup_row& p, const luplup_row& q)
{
    const auto same = [](const double* u, const double* v, int n) {
        for (int k = 0; k < n; ++k)
            if (!same_bits(u[k], v[k])) return false;
        return true;
    };
    return p.a == q.a && p.b == q.b && same(&p.x, &q.x, 1) && same(&p.y, &q.y, 1) && same(&p.pos_a, &q.pos_a, 1) &&
           p.vertex_a == q.vertex_a && p.vertex_b == q.vertex_b && p.contact == q.contact && same(p.a_in, q.a_in, 2) &&
           same(p.a_out, q.a_out, 2) && same(p.b_in, q.b_in, 2) && same(p.b_out, q.b_out, 2) &&
           p.coincidence == q.coincidence && p.far_end == q.far_end;
}

}  // namespace

// Rows per element of B of the table (elements 0 .. elements - 1), and their chains, from the
// column of its rows' elements of B; false when a row's element lies outside them. After a
// restart only the rows up to the last one whose element differs from the table counted before
// are counted again: a nudge changes rows near one place, and the table mostly keeps its count.
bool first_sweep_memo::count_per_b(const luplup_work& w, const int* elem_b, int elements)
{
    const std::size_t rows = static_cast<std::size_t>(w.count);
    int from = w.count;
    if (per_b.size() == static_cast<std::size_t>(elements) && counted_b.size() == rows) {
        from = rows_before_same(elem_b, w.count);
        uncount(from);
    } else {
        per_b.assign(static_cast<std::size_t>(elements), 0);
        if (first_on_b.size() < per_b.size()) first_on_b.resize(per_b.size());
        next_on_b.resize(rows);
        counted_b.resize(rows);
    }
    if (!count_rows(elem_b, from, elements)) {
        per_b.clear();
        return false;
    }
    std::copy(elem_b, elem_b + from, counted_b.begin());
    return true;
}

// The rows of the column before the run at its end that holds the same elements as the column
// counted.
int first_sweep_memo::rows_before_same(const int* elem_b, int count) const
{
    const int* counted = counted_b.data();
    constexpr int kBlock = 64;  // compared a block at a time: most of the column is the same
    int from = count;
    while (from > 0) {
        const int block = std::min(from, kBlock);
        const std::size_t bytes = sizeof(int) * static_cast<std::size_t>(block);
        if (std::memcmp(elem_b + from - block, counted + from - block, bytes) != 0) break;
        from -= block;
    }
    while (from > 0 && elem_b[from - 1] == counted[from - 1]) --from;
    return from;
}

// Takes the counted rows before `from` out of the counts and chains: each element's first row
// becomes its first from `from` on, the one its last row before `from` chained to.
void first_sweep_memo::uncount(int from)
{
    int* counts = per_b.data();
    int* first = first_on_b.data();
    const int* next = next_on_b.data();
    const int* counted = counted_b.data();
    for (int i = 0; i < from; ++i) {
        const int b = counted[i];
        --counts[b];
        first[b] = next[i];
    }
}

// Counts and chains the rows before `to`, read from the last back onto those counted after
// them; false when a row's element lies outside the elements.
bool first_sweep_memo::count_rows(const int* elem_b, int to, int elements)
{
    // Read through plain pointers: a store of a count could otherwise change the table's count.
    int* counts = per_b.data();
    int* first = first_on_b.data();
    int* next = next_on_b.data();
    for (int i = to - 1; i >= 0; --i) {
        const int b = elem_b[i];
        if (static_cast<unsigned>(b) >= static_cast<unsigned>(elements)) return false;
        const int later = counts[b], after = first[b];  // both read before any store
        counts[b] = later + 1;
        first[b] = i;
        next[i] = later > 0 ? after : -1;
    }
    return true;
}

// What the sweep may pass over in the table now, after a nudge moved the entries `moved` of a
// loop of n entries (known: the count is the same and what moved is known). `elem_b` holds
// the elements of B of the table's rows (the caller's column, not yet marked).
void first_sweep_memo::prepare(const luplup_work& w, const int* elem_b, int n, bool known, const moved_range& moved)
{
    limit = prefix = 0;
    // A search of a small loop, or of few rows, orders them by a sort and restarts in full.
    if (!kept || kFewRows * w.count < n) {
        per_b.clear();
        return;
    }
    if (!count_per_b(w, elem_b, n + 1)) return;
    if (!known || passed == 0 || per_b_before.size() != per_b.size()) return;
    ring = n - 1;
    low = moved.first - kReadReach, span = moved.last + kReadReach - low;
    const int shared = std::min(w.count, static_cast<int>(before.size()));
    while (prefix < shared && same_row(w.rows[prefix], before[static_cast<std::size_t>(prefix)])) ++prefix;
    per_b_prefix.assign(per_b.size(), 0);
    for (int i = 0; i < prefix; ++i) ++per_b_prefix[static_cast<std::size_t>(w.rows[i].b)];
    // Only rows before the prefix may be passed over, and they read no row after it: the rest
    // of the table is asked only for the elements of B its rows near what moved stand on
    // (rows of A's elements near it stand together, the table being ordered along A).
    near_moved_before.assign(static_cast<std::size_t>(prefix) + 1, 0);
    for (int i = 0; i < prefix; ++i) {
        const luplup_row& r = w.rows[i];
        near_moved_before[static_cast<std::size_t>(i) + 1] =
            near_moved_before[static_cast<std::size_t>(i)] + (reads_moved(r) ? 1 : 0);
    }
    b_of_a_near_moved.assign(per_b.size(), 0);
    if (span >= 0)
        for (const int shift : {-ring, 0, ring}) {
            const row_range rows = rows_between(w, low + shift, low + span + shift);
            for (int i = rows.first; i < rows.last; ++i) b_of_a_near_moved[static_cast<std::size_t>(w.rows[i].b)] = 1;
        }
    limit = std::min(prefix, passed);
}

// Starts a search: kept or not, nothing known yet.
void first_sweep_memo::start(bool keep)
{
    kept = keep;
    passed = 0;
    per_b.clear();
}

// Keeps the table and the rows [0, passed_rows) that passed the first sweep.
void first_sweep_memo::remember(const luplup_work& w, int passed_rows)
{
    if (!kept) return;
    before.assign(w.rows, w.rows + std::min(w.count, passed_rows + kRememberedBeyond));
    per_b_before = per_b;
    passed = passed_rows;
}

}  // namespace luplup
