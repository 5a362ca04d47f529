// The walks of a self search kept for its restarts: a nudge moves a few entries of the loop, and
// the search after it takes again the rows of every walk that reads none of them, from the search
// before, instead of walking. A speed memo of the loop search (loop_intersect_memos.hpp): the
// rows, their order and the index's memory left for the next walk are those walking makes.
#include "pocket_arrays/loop_intersect_memos.hpp"

#include "pocket_arrays/changed_entries.hpp"
#include "pocket_arrays/pocket_prepare.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace luplup {
namespace {

// What the walk of one element of a self search found, kept while a nudge of the loop restarts
// the search: its rows (a stretch of walk_rows), and the index's memory of the last pair as the
// walk found and left it (walk_state). A walk is a function of the loop's entries near its
// element and near the elements it meets, and of that memory; where neither has changed the
// search after a nudge takes the rows again instead of walking.
struct walk_memo {
    bool valid = false;
    bool ordered = false;  // its rows' table order is known (every position finite)
    // Whether the spent pair and the pair memo it found and left are valid: a replay reads the
    // memory itself only to compare two valid ones.
    bool spent_before = false, pair_before = false, spent_after = false, pair_after = false;
    int first = 0, rows = 0;  // its rows in walk_rows
    int taken = 0;            // of them, those taken into the table the last time
    // Counts the times it was walked; and the walk (element, and its count then) whose memory
    // left was found to be the one this walk started from: that walk not walked again since,
    // it still is.
    unsigned walked = 0;
    int starts_after = -1;
    unsigned starts_after_walked = 0;
};
// The index's memory of the last pair as a kept walk found it and as it left it.
struct walk_state {
    pk_spent_pair spent_before, spent_after;
    pk_pair_memo pair_before, pair_after;
};

bool same_spent(const pk_spent_pair& p, const pk_spent_pair& q)
{
    if (p.valid != q.valid) return false;
    if (!p.valid) return true;  // an invalid pair is never read
    return p.shared_vertex == q.shared_vertex && p.element == q.element && p.own_kind == q.own_kind &&
           std::equal(p.own, p.own + 4, q.own) && std::equal(p.own_arc, p.own_arc + 4, q.own_arc) &&
           std::equal(p.other, p.other + 4, q.other) && std::equal(p.other_arc, p.other_arc + 4, q.other_arc) &&
           p.x == q.x && p.y == q.y && p.nothing_after == q.nothing_after;
}
bool same_pair(const pk_pair_memo& p, const pk_pair_memo& q)
{
    if (p.valid != q.valid) return false;
    if (!p.valid) return true;
    return std::equal(p.key, p.key + pk_pair_memo::kKeyWords, q.key) && p.status == q.status && p.count == q.count &&
           std::equal(&p.points[0][0], &p.points[0][0] + 6, &q.points[0][0]);
}

// The same, answered inline for an element of a loop searched in its own index whose start entry
// is no marker (nearly every one): it is listed, so it is the next one.
[[gnu::always_inline]] inline int next_reaching_fast(const pokarr& a, const pk_elem_index& index, int e, bool own_index)
{
    if (own_index && e >= 1 && e + 3 < a.count && !pk_is_marker(a.x[e - 1])) return e;
    return next_reaching(a, index, e, own_index);
}

// The walks of a self search kept for its restarts after nudges (walk_memo), one per element of
// the loop, with the entries as they were when they were walked.
struct walk_memos {
    bool kept = false;  // walks are kept (a self search of one loop)
    std::vector<walk_memo> walks;
    std::vector<walk_state> states;  // of each walk, kept apart: most replays never read them
    walk_rows rows;                  // what they made (a walk made again adds its rows at the end)
    std::size_t compacted_rows = 0;  // the rows held when first filled or last compacted
    std::vector<double> x, y;        // the entries the walks were made on
    // What the last nudge moved (known: the loop kept its count and what moved is near one place).
    bool moved_known = false;
    moved_range moved;
    // The searches since the walks were first kept, and of each element the last that walked it
    // or took its rows (-1 none).
    int pass = 0;
    std::vector<int> pass_of;
    // The index of the loop is the one the last search built for the entries x, y; the groups
    // of its box table after a nudge are those of the loop as it was then.
    bool indexed = false;
    bool grouped = false;
    // The element of the replayed walk whose spent pair and pair memo stand for the index's own
    // (-1: the index holds them): a replay leaves them in its memo instead of copying them over.
    int left_by = -1;
    // The table the last search made (`table_kept`: it ran to its end) stays in the working rows
    // through the clean-up, which only marks rows (coincidence, far_end): the search after a nudge
    // builds its table over it and moves the rows of the walks it repeats down in one step.
    bool table_kept = false;
    bool table_ordered = false;  // every row of it has a finite position: it is ordered
    int table_count = 0;
    const luplup_row* table_rows = nullptr;  // where it stands
};

// Whether the walk of element e would start from the memory of the last pair it was walked from,
// the memory a replay left counting as the index's own: the memories compared (starts_as_walked
// has answered when the walk that left it is known to have left that one).
[[gnu::noinline]] bool same_memory_as_walked(const pk_elem_index& index, walk_memos& memos, int e)
{
    walk_memo& m = memos.walks[static_cast<std::size_t>(e)];
    const int by = memos.left_by;
    const bool spent_now = by >= 0 ? memos.walks[static_cast<std::size_t>(by)].spent_after : index.last_spent.valid;
    const bool pair_now = by >= 0 ? memos.walks[static_cast<std::size_t>(by)].pair_after : index.last_pair.valid;
    if (m.spent_before != spent_now || m.pair_before != pair_now) return false;
    if (!spent_now && !pair_now) return true;
    const walk_state& kept = memos.states[static_cast<std::size_t>(e)];
    const walk_state* left = by >= 0 ? &memos.states[static_cast<std::size_t>(by)] : nullptr;
    if (spent_now && !same_spent(kept.spent_before, left != nullptr ? left->spent_after : index.last_spent))
        return false;
    if (pair_now && !same_pair(kept.pair_before, left != nullptr ? left->pair_after : index.last_pair)) return false;
    if (by >= 0) m.starts_after = by, m.starts_after_walked = memos.walks[static_cast<std::size_t>(by)].walked;
    return true;
}

// The same, inlined into the walks' loop: the walk that left the memory was found before to have
// left the one e started from and has not been walked again since (most replays), or else the
// memories compared.
[[gnu::always_inline]] inline bool starts_as_walked(const pk_elem_index& index, walk_memos& memos, int e)
{
    const walk_memo& m = memos.walks[static_cast<std::size_t>(e)];
    const int by = memos.left_by;
    if (by >= 0 && m.starts_after == by && memos.walks[static_cast<std::size_t>(by)].walked == m.starts_after_walked)
        return true;
    return same_memory_as_walked(index, memos, e);
}

// Gives the index the spent pair and pair memo a replay left in its memo.
void settle_left_by(pk_elem_index& index, walk_memos& memos)
{
    if (memos.left_by < 0) return;
    const walk_state& left = memos.states[static_cast<std::size_t>(memos.left_by)];
    index.last_spent = left.spent_after;
    index.last_pair = left.pair_after;
    memos.left_by = -1;
}

// A row taken from a walk is tested against the rows near it: those of its element of A and of
// the elements up to an arc record's width on either side, which came from the walks of the
// elements up to this many before its walk (a walk's rows lie on its element or the next).
constexpr int kReplayReach = 3 * kArcRecordEntries;

// The rows of a walk's memo in table order: a stable insertion sort by A's element and the
// position along it, as insert_ordered places them. Not known when a position is not finite:
// those rows keep the order found.
void order_in_table(walk_memo& m, walk_rows& kept)
{
    const std::size_t first = static_cast<std::size_t>(m.first);
    const luplup_row* rows = kept.rows.data() + first;
    std::vector<int>& order = kept.in_table_order;
    order.resize(first + static_cast<std::size_t>(m.rows));
    int* in_order = order.data() + first;
    m.ordered = std::all_of(rows, rows + m.rows, [](const luplup_row& r) { return std::isfinite(r.pos_a); });
    if (!m.ordered) return;
    const auto after = [rows](int p, int q) {
        return rows[p].a > rows[q].a || (rows[p].a == rows[q].a && rows[p].pos_a > rows[q].pos_a);
    };
    for (int k = 0; k < m.rows; ++k) {
        in_order[k] = k;
        for (int at = k; at > 0 && after(in_order[at - 1], in_order[at]); --at)
            std::swap(in_order[at - 1], in_order[at]);
    }
}

// Inserts the rows a memo's walk took, in table order; false when the table overflowed. A row
// not before the table's last, with room for it, goes straight to the end, where insert_row
// would put it.
bool insert_taken_in_order(const walk_memo& m, const walk_rows& kept, const luplup_columns& out)
{
    luplup_work& w = luplup_work_block;
    const int room = out.grow == nullptr ? std::min(out.capacity, w.capacity) : w.capacity;
    const std::size_t first = static_cast<std::size_t>(m.first);
    const luplup_row* rows = kept.rows.data() + first;
    const char* taken = kept.taken.data() + first;
    const int* in_order = kept.in_table_order.data() + first;
    // The table's count and its last row's place held here (the rows may alias the table's own
    // fields), read again after a row inserted elsewhere.
    int count = w.count;
    int last_a = count > 0 ? w.rows[count - 1].a : 0;
    double last_pos = count > 0 ? w.rows[count - 1].pos_a : 0.0;
    for (int i = 0; i < m.rows; ++i) {
        const int k = in_order[i];
        if (taken[k] == 0) continue;
        const luplup_row& r = rows[k];
        if (count < room && (count == 0 || last_a < r.a || (last_a == r.a && !(last_pos > r.pos_a)))) {
            w.rows[count++] = r;
            last_a = r.a, last_pos = r.pos_a;
            continue;
        }
        w.count = count;
        if (!insert_row(r, out)) return false;
        count = w.count;
        last_a = w.rows[count - 1].a, last_pos = w.rows[count - 1].pos_a;
    }
    w.count = count;
    return true;
}

// Inserts the rows a memo's walk took: in table order when it is known (each then lands at the
// table's end or near it, and the table comes out as inserting them in the order found makes it),
// else in the order found. False when the table overflowed.
bool insert_taken(const walk_memo& m, const walk_rows& kept, const luplup_columns& out)
{
    if (m.ordered) return insert_taken_in_order(m, kept, out);
    for (int k = m.first; k < m.first + m.rows; ++k)
        if (kept.taken[static_cast<std::size_t>(k)] != 0 && !insert_row(kept.rows[static_cast<std::size_t>(k)], out))
            return false;
    return true;
}

// One walk of a search that keeps them: taken from its memo when it holds, else walked and kept.
// `settled`: the walks that placed rows near this one's took the same rows as in the search
// before, so its rows are taken or found repeats as they were then. `changed` answers whether the
// rows it took may differ from those it took in the search before.
bool walk_or_replay(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
                    pk_elem_index& index, int e, const luplup_columns& out, int& found_total, walk_memos& memos,
                    bool settled, bool& changed)
{
    changed = true;
    walk_memo* m = &memos.walks[static_cast<std::size_t>(e)];
    walk_rows& kept = memos.rows;
    if (m->valid && starts_as_walked(index, memos, e)) {
        found_total += m->rows;
        memos.left_by = e;
        if (settled) {
            changed = false;
            return insert_taken(*m, kept, out);
        }
        bool same = true;
        m->taken = 0;
        for (int k = m->first; k < m->first + m->rows; ++k) {
            char& was_taken = kept.taken[static_cast<std::size_t>(k)];
            bool taken = false;
            if (!take_row(va, vb, kept.rows[static_cast<std::size_t>(k)], out, &taken)) return false;
            same = same && (was_taken != 0) == taken;
            was_taken = taken ? 1 : 0;
            m->taken += taken ? 1 : 0;
        }
        changed = !same;
        return true;
    }
    settle_left_by(index, memos);
    m->valid = false;
    m->first = static_cast<int>(kept.rows.size());
    walk_state& state = memos.states[static_cast<std::size_t>(e)];
    state.spent_before = index.last_spent;
    state.pair_before = index.last_pair;
    if (!walk_element(va, vb, md, boxes, index, e, out, found_total, &kept)) return false;
    m->rows = static_cast<int>(kept.rows.size()) - m->first;
    m->taken = static_cast<int>(std::count(kept.taken.begin() + m->first, kept.taken.end(), 1));
    order_in_table(*m, kept);
    state.spent_after = index.last_spent;
    state.pair_after = index.last_pair;
    m->spent_before = state.spent_before.valid, m->pair_before = state.pair_before.valid;
    m->spent_after = state.spent_after.valid, m->pair_after = state.pair_after.valid;
    ++m->walked;
    m->starts_after = -1;
    m->valid = true;
    return true;
}

// Entries this far around those a nudge moved count as moved: a walk reads the entries of the
// elements next to its own and to those it meets (directions at their ends).
constexpr int kMovedReach = 8;

// The entries that count as moved after a nudge, as a range of the loop's distinct entries
// (moved_range). Answers false when nothing moved.
bool moved_entries(const pokarr& loop, const walk_memos& memos, moved_range& moved)
{
    const int n = loop.count, ring = n - 1;
    std::vector<int> at;  // the moved entries, on the ring
    pk_each_changed_entry(n, loop.x, loop.y, memos.x.data(), memos.y.data(), [&](int k) {
        const int place = k == ring ? 0 : k;
        if (at.empty() || at.back() != place) at.push_back(place);
        return true;
    });
    if (at.empty()) return false;
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    // The moved entries lie within the ring less its widest gap between two of them.
    const std::size_t m = at.size();
    int widest = at.front() + ring - at.back();
    moved = {at.front(), at.back()};
    for (std::size_t i = 0; i + 1 < m; ++i)
        if (at[i + 1] - at[i] > widest) widest = at[i + 1] - at[i], moved = {at[i + 1], at[i] + ring};
    moved.first -= kMovedReach, moved.last += kMovedReach;
    return true;
}

// Forgets the walks that may read the entries from `first` to `last` (within the loop): the walks
// of their elements and of every element near them, before or after the nudge. A walk reads the
// elements it meets, and only those within the index's margin of its own change what it finds,
// so a line of the range forgets the walks of the elements listed in the cells along it (before
// and after): the box of a long line lying across the grid takes in many more. An arc of the
// range forgets those near the box of its circle, and the point ending an arc those near it.
void forget_walks_near(const pokarr& loop, pk_elem_index& index, walk_memos& memos, int first, int last)
{
    const int n = loop.count;
    std::vector<int>& near = index.candidates;
    const auto forget = [&memos](int e) { memos.walks[static_cast<std::size_t>(e)].valid = false; };
    for (int k = std::max(1, first); k <= last; ++k) {
        const bool arc = pk_is_marker(loop.x[k]) && k + 2 < n;
        // Entries inside an arc record hold no point (the record is taken at its marker); the
        // point after it ends the arc, and a line ends at any other point.
        if (!arc && ((k >= 1 && pk_is_marker(loop.x[k - 1])) || (k >= 2 && pk_is_marker(loop.x[k - 2])))) continue;
        const bool arc_end = !arc && k >= 3 && pk_is_marker(loop.x[k - 3]);
        double box[4] = {1.0e300, 1.0e300, -1.0e300, -1.0e300};
        for (int side = 0; side < 2; ++side) {
            const double* x = side == 0 ? loop.x : memos.x.data();
            const double* y = side == 0 ? loop.y : memos.y.data();
            const double reach = arc ? std::fabs(x[k + 1]) : 0.0;
            const double px = arc ? x[k + 2] : x[k], py = arc ? y[k + 2] : y[k];
            if (!arc && !arc_end) {
                pk_elem_index_line_candidates(index, x[k - 1], y[k - 1], px, py, near);
                std::for_each(near.begin(), near.end(), forget);
                continue;
            }
            box[0] = std::min(box[0], px - reach), box[1] = std::min(box[1], py - reach);
            box[2] = std::max(box[2], px + reach), box[3] = std::max(box[3], py + reach);
        }
        if (arc || arc_end) {
            pk_elem_index_candidates(index, box[0], box[1], box[2], box[3], near);
            std::for_each(near.begin(), near.end(), forget);
        }
        if (arc) k += 2;
    }
    for (int e = std::max(1, first - kArcRecordEntries); e <= std::min(n - 1, last + kArcRecordEntries); ++e) forget(e);
}

// Drops the rows of forgotten walks from the kept rows once they have grown to twice what they
// held when last compacted (or first filled): a walk made again adds its rows at the end, so
// restarts that forget many walks would otherwise let them grow without end.
void compact_kept_rows(walk_memos& memos)
{
    walk_rows& kept = memos.rows;
    if (memos.compacted_rows == 0) memos.compacted_rows = kept.rows.size();
    if (kept.rows.size() <= 2 * memos.compacted_rows + 4096) return;
    std::size_t live = 0;
    for (const walk_memo& m : memos.walks)
        if (m.valid) live += static_cast<std::size_t>(m.rows);
    if (kept.rows.size() <= 2 * live + 4096) {
        memos.compacted_rows = kept.rows.size();
        return;
    }
    walk_rows compact;
    compact.rows.reserve(live), compact.taken.reserve(live), compact.in_table_order.reserve(live);
    for (walk_memo& m : memos.walks) {
        if (!m.valid) continue;
        const auto from = static_cast<std::ptrdiff_t>(m.first), to = from + m.rows;
        m.first = static_cast<int>(compact.rows.size());
        compact.rows.insert(compact.rows.end(), kept.rows.begin() + from, kept.rows.begin() + to);
        compact.taken.insert(compact.taken.end(), kept.taken.begin() + from, kept.taken.begin() + to);
        compact.in_table_order.insert(compact.in_table_order.end(), kept.in_table_order.begin() + from,
                                      kept.in_table_order.begin() + to);
    }
    std::swap(kept, compact);
    memos.compacted_rows = kept.rows.size();
}

// After a nudge: forgets the walks that may read what it moved, the entries of `memos` being
// those before it and the loop's those after it (every walk when the loop's entry count changed
// or what moved reaches round most of the loop). What moved near the closing point is taken on
// both sides of it: the walks there read across it. The index is the loop's new one.
void forget_moved_walks(const pokarr& loop, pk_elem_index& index, walk_memos& memos)
{
    const int n = loop.count, ring = n - 1;
    auto forget_all = [&memos] {
        for (walk_memo& m : memos.walks) m.valid = false;
    };
    memos.moved_known = false;
    if (memos.x.size() != static_cast<std::size_t>(n) || memos.walks.size() != static_cast<std::size_t>(n) + 1) {
        forget_all();
        return;
    }
    moved_range& moved = memos.moved;
    if (!moved_entries(loop, memos, moved)) {
        moved = {};
        memos.moved_known = true;
        return;
    }
    if (moved.last - moved.first + 2 * kArcRecordEntries >= ring) {
        forget_all();
        return;
    }
    memos.moved_known = true;
    if (moved.first >= 1 && moved.last < ring) {
        forget_walks_near(loop, index, memos, moved.first, moved.last);
        return;
    }
    // Across the closing point: the entries up to the end and from the start.
    const int tail = moved.first >= 1 ? moved.first : moved.first + ring;
    const int head = moved.first >= 1 ? moved.last - ring : moved.last;
    forget_walks_near(loop, index, memos, tail, n - 1);
    forget_walks_near(loop, index, memos, 0, head);
}

// Calls f for every entry in what the last nudge moved (memos.moved, known): the range stands for
// places on the ring of `ring` distinct entries, place 0 also for the closing entry.
template <typename F> void for_each_moved(const walk_memos& memos, int ring, F f)
{
    for (int p = memos.moved.first; p <= memos.moved.last; ++p) {
        const int k = (p % ring + ring) % ring;
        f(k);
        if (k == 0) f(ring);
    }
}

// The memos take the loop's entries the walks are made on: after a nudge whose moved entries are
// known, only those (the rest hold the same bits), else all of them.
void remember_entries(const pokarr& loop, walk_memos& memos)
{
    const int n = loop.count, ring = n - 1;
    if (!memos.moved_known || memos.x.size() != static_cast<std::size_t>(n)) {
        memos.x.assign(loop.x, loop.x + n);
        memos.y.assign(loop.y, loop.y + n);
        return;
    }
    for_each_moved(memos, ring, [&](int k) {
        memos.x[static_cast<std::size_t>(k)] = loop.x[k];
        memos.y[static_cast<std::size_t>(k)] = loop.y[k];
    });
}

// The groups of the loop's box table for a search after a nudge (`groups` being those of the
// search before when memos.grouped holds). They depend only on the loop's entry count and on
// where its arc markers stand, so a kept search keeps them when no moved entry turned into a
// marker or out of one. Before the memos take the loop's entries.
void regroup(const pokarr& loop, walk_memos& memos, pk_box_table& groups)
{
    if (memos.grouped && memos.moved_known) {
        bool same = true;
        for_each_moved(memos, loop.count - 1, [&](int k) {
            same = same && pk_is_marker(loop.x[k]) == pk_is_marker(memos.x[static_cast<std::size_t>(k)]);
        });
        if (same) return;
    }
    pokarr_get_groups(loop, groups);
    memos.grouped = memos.kept;
}

// A stretch of walks that repeat those of the search before, each from its memo as it stood then
// and into the table as it stood then at their rows: the first walks of a search up to the first
// one that may differ, or settled walks (walk_or_replay) after it. Their rows are those the table
// of the search before holds from them, taken in one step where the stretch ends.
struct repeated_walks {
    int first = 0;  // its first element (0: none open)
    int rows = 0;   // the rows its walks take
    bool open() const { return first > 0; }
};

// Whether the walk of element e joins the repeated walks: the search before walked e too, its memo
// holds and starts from what the index remembers, and either every walk before it repeated one
// of that search (`from_first`) or it is settled with its rows' table order known.
bool repeats_search_before(const pk_elem_index& index, walk_memos& memos, int e, bool from_first, bool settled)
{
    const walk_memo& m = memos.walks[static_cast<std::size_t>(e)];
    return memos.pass_of[static_cast<std::size_t>(e)] == memos.pass - 1 && m.valid &&
           (from_first || (settled && m.ordered)) && starts_as_walked(index, memos, e);
}

// The first element from `from` to `to` (exclusive) that the search before walked, or `to`.
int first_walked_before(const walk_memos& memos, int from, int to)
{
    const int end = std::min(to, static_cast<int>(memos.pass_of.size()));
    while (from < end && memos.pass_of[static_cast<std::size_t>(from)] != memos.pass - 1) ++from;
    return from < end ? from : to;
}

// Whether row p comes after row q in the table's order (insert_ordered places a row after every
// row not after it).
bool row_after(const luplup_row& p, const luplup_row& q) { return p.a > q.a || (p.a == q.a && p.pos_a > q.pos_a); }

// Appends the rows the table of the search before holds from the walks of the elements from
// `from` up to `to` (exclusive), `rows` of them, when that is where inserting them walk by walk
// puts them: that table ordered (every position finite), the rows one stretch of it past the rows
// of this search, the first not before the table's last. The table grows only at its end, so its
// rows past the count are still those of the search before. False otherwise. That table is
// ordered by A's element, and a walk's rows lie on its element or the next: the stretch starts
// where the rows on `from` do.
bool append_rows_of(const walk_memos& memos, int from, int to, int rows)
{
    luplup_work& w = luplup_work_block;
    if (rows == 0) return true;
    if (!memos.table_ordered || memos.table_rows != w.rows) return false;
    const auto walked_between = [from, to](const luplup_row& r) {
        return static_cast<unsigned>(r.walk - from) < static_cast<unsigned>(to - from);
    };
    luplup_row* const end = w.rows + memos.table_count;
    luplup_row* first = std::partition_point(w.rows + w.count, end, [from](const luplup_row& r) { return r.a < from; });
    first = std::find_if(first, end, walked_between);
    if (end - first < rows || (w.count > 0 && row_after(w.rows[w.count - 1], *first))) return false;
    // Rows as a walk makes them, the clean-up's marks clear (on rows of the old table only).
    for (luplup_row* r = first; r != first + rows; ++r) {
        if (!walked_between(*r)) return false;
        r->coincidence = 0, r->far_end = 0;
    }
    luplup_row* const to_rows = w.rows + w.count;
    if (first != to_rows) std::copy(first, first + rows, to_rows);
    w.count += rows;
    return true;
}

// Ends the repeated walks before element `to`: their rows taken in one step, or else walk by walk
// as a settled replay takes them. False when the table overflowed. The stretch holds every element
// from its first up to `to` that this search walked (any other walk ends it).
bool end_repeated(walk_memos& memos, repeated_walks& walks, int to, const luplup_columns& out)
{
    if (!walks.open()) return true;
    const int from = walks.first;
    walks.first = 0;
    if (append_rows_of(memos, from, to, walks.rows)) return true;
    const int end = std::min(to, static_cast<int>(memos.pass_of.size()));
    for (int e = from; e < end; ++e)
        if (memos.pass_of[static_cast<std::size_t>(e)] == memos.pass &&
            !insert_taken(memos.walks[static_cast<std::size_t>(e)], memos.rows, out))
            return false;
    return true;
}

// What the walks of a search that keeps them carry from one walk to the next.
struct walk_pass {
    // The last element (in the walk's order) whose walk may have taken other rows than in the
    // search before: walked afresh, its rows taken otherwise, or walked in one search only.
    static constexpr int kNoChange = std::numeric_limits<int>::min() / 2;
    int changed_at = kNoChange;
    repeated_walks repeated;
    bool all_repeated = true;  // every walk so far repeated one of the search before
    bool ordered = true;       // every walk's rows have finite positions
    int passed = 1;            // the element after the last one walked
};

// Goes on from element e, the next after a walk that joined the repeated walks, along the walks
// that join them as the common case does: each right after the walk before (nothing passed over),
// walked by the search before, its memo valid and starting from what the index remembers, and
// settled with its rows' order known unless every walk so far repeated. Answers the first element
// that does not so join (0 at A's end), for walk_kept to take in full; the walks passed only
// count their rows, as walk_kept counts them. Most walks of a restart are of this kind, all but
// those near the nudge. The running values are held here (the stores to pass_of might otherwise
// be taken to change them).
int run_repeated(const loop_view& va, const pk_elem_index& index, bool own_index, walk_memos& memos, walk_pass& pass,
                 int e, int& found_total)
{
    const int last = va.last();
    int* const pass_of = memos.pass_of.data();
    const walk_memo* const walks = memos.walks.data();
    const int now = memos.pass, before = now - 1;
    const int size = static_cast<int>(memos.pass_of.size());
    const bool all_repeated = pass.all_repeated;
    const int settled_from = pass.changed_at + kReplayReach;
    int passed = pass.passed, rows = pass.repeated.rows, found = found_total;
    bool ordered = pass.ordered;
    while (e == passed && e < size && pass_of[e] == before) {
        const walk_memo& m = walks[e];
        const bool settled = m.ordered && e > settled_from && e > kReplayReach && e < last - kReplayReach;
        if (!m.valid || !(all_repeated || settled) || !starts_as_walked(index, memos, e)) break;
        rows += m.taken;
        found += m.rows;
        pass_of[e] = now;
        ordered = ordered && m.ordered;
        memos.left_by = e;
        passed = va.at(e).next;
        e = next_reaching_fast(va.p, index, passed, own_index);
    }
    pass.passed = passed, pass.repeated.rows = rows, pass.ordered = ordered;
    found_total = found;
    return e;
}

// The walks of a search that keeps them, in order from the element `first` on. Walks that repeat
// those of the search before (repeated_walks) only count their rows; the table takes them where
// the stretch ends. The table made is kept for the search after a nudge.
[[gnu::noinline]] void walk_kept(const loop_view& va, const loop_view& vb, const mode_digits& md,
                                 const pk_box_table& boxes, pk_elem_index& index, bool own_index, int first,
                                 const luplup_columns& out, int& found_total, walk_memos& memos)
{
    const int last = va.last();
    std::vector<int>& pass_of = memos.pass_of;
    luplup_work& w = luplup_work_block;
    const bool table_kept = memos.table_kept;
    memos.table_kept = false;
    walk_pass pass;
    repeated_walks& repeated = pass.repeated;
    // The index holds what the last walk left on every way out (the memos may move after).
    struct settled_on_exit {
        pk_elem_index& index;
        walk_memos& memos;
        ~settled_on_exit() { settle_left_by(index, memos); }
    } on_exit{index, memos};
    for (int e = first; e > 0;) {
        const int after = va.at(e).next;
        int first_skipped = e;  // the first element passed over that the search before walked
        for (int skipped = pass.passed; skipped < e; ++skipped)
            if (pass_of[static_cast<std::size_t>(skipped)] == memos.pass - 1)
                pass.changed_at = skipped, first_skipped = std::min(first_skipped, skipped), pass.all_repeated = false;
        const bool settled = e - pass.changed_at > kReplayReach && e > kReplayReach && e < last - kReplayReach &&
                             pass_of[static_cast<std::size_t>(e)] == memos.pass - 1;
        const bool repeats = table_kept && repeats_search_before(index, memos, e, pass.all_repeated, settled);
        pass.all_repeated = pass.all_repeated && repeats;
        if (repeated.open() && (first_skipped < e || !repeats) && !end_repeated(memos, repeated, first_skipped, out))
            return;
        if (repeats) {
            const walk_memo& m = memos.walks[static_cast<std::size_t>(e)];
            if (!repeated.open()) repeated.first = e, repeated.rows = 0;
            repeated.rows += m.taken;
            found_total += m.rows;
            memos.left_by = e;
        } else {
            bool changed = true;
            if (!walk_or_replay(va, vb, md, boxes, index, e, out, found_total, memos, settled, changed)) return;
            if (changed) pass.changed_at = e;
        }
        pass_of[static_cast<std::size_t>(e)] = memos.pass;
        pass.ordered = pass.ordered && memos.walks[static_cast<std::size_t>(e)].ordered;
        pass.passed = after;
        e = next_reaching_fast(va.p, index, after, own_index);
        if (repeats) e = run_repeated(va, index, own_index, memos, pass, e, found_total);
    }
    const int beyond = first_walked_before(memos, pass.passed, std::numeric_limits<int>::max());
    if (!end_repeated(memos, repeated, beyond, out)) return;
    memos.table_kept = true;
    memos.table_count = w.count;
    memos.table_rows = w.rows;
    memos.table_ordered = pass.ordered;
}

// The walks of the search now.
walk_memos walk_memos_block;

}  // namespace

void start_kept_walks(bool keep)
{
    walk_memos& memos = walk_memos_block;
    memos.kept = keep;
    memos.walks.clear();
    memos.rows.clear();
    memos.compacted_rows = 0;
    memos.x.clear();
    memos.y.clear();
    memos.moved_known = false;
    memos.indexed = false;
    memos.grouped = false;
    memos.pass = 0;
    memos.pass_of.clear();
    memos.table_kept = false;
}

bool walks_kept() { return walk_memos_block.kept; }

bool kept_walks_moved(moved_range& moved)
{
    moved = walk_memos_block.moved;
    return walk_memos_block.moved_known;
}

bool search_keeping_walks(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
                          const luplup_columns& out, int& found_total, pk_box_table* regroup_into)
{
    walk_memos& memos = walk_memos_block;
    luplup_work& w = luplup_work_block;
    // The table of the search before serves only as the clean-up left it: the same rows, marked.
    memos.table_kept = memos.table_kept && w.count == memos.table_count && w.rows == memos.table_rows;
    w.count = 0;
    found_total = 0;
    // A restart patches the index of the search before (built for the entries the memos hold)
    // where a nudge moved a few entries.
    pk_elem_index& index = luplup_index_block;
    const bool patched = memos.indexed && memos.x.size() == static_cast<std::size_t>(vb.p.count) &&
                         pokarr_elem_index_patch(vb.p.count, vb.p.x, vb.p.y, memos.x.data(), memos.y.data(), index);
    if (!patched) pokarr_elem_index_along(vb.p.count, vb.p.x, vb.p.y, index);
    memos.indexed = true;
    const bool own_index = &va.p == &vb.p;
    const std::size_t elements = static_cast<std::size_t>(va.p.count) + 1;
    forget_moved_walks(va.p, index, memos);
    if (memos.walks.size() != elements) memos.pass_of.assign(elements, -1);
    memos.walks.resize(elements);
    memos.states.resize(elements);
    compact_kept_rows(memos);
    if (regroup_into != nullptr) regroup(va.p, memos, *regroup_into);
    remember_entries(va.p, memos);
    ++memos.pass;
    walk_kept(va, vb, md, boxes, index, own_index, next_reaching(va.p, index, 1, own_index), out, found_total, memos);
    return w.count >= 0;
}

}  // namespace luplup
