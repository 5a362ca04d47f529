// Loop removal of a planar raw offset: the crossings of the loop with itself (the common-loop
// table in its crossings mode), their positions as element plus fraction, and the walk that
// builds every simple loop at once: loop 0 from the loop's head to its tail, each further loop
// from the first crossing still open on a side. The loops wait in the result list and are
// handed out one per call.
#include "pocket_arrays/delups.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/crossing_table.hpp"
#include "pocket_arrays/loop_plain.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_room.hpp"
#include "pocket_arrays/pokarr_run.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_arrays/pokarr_work.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <type_traits>
#include <vector>

delups_rows& delups_fixed_rows()
{
    static delups_rows rows;
    return rows;
}

delups_state delups_block;

namespace {

constexpr const char* kReentryText = "[DELUPS] We shouldnt be meeting like this!";
constexpr int kIdle = 1;
constexpr int kRunning3d = 3;
// "No crossing" of the walk: a position beyond every element, and the element of none.
constexpr double kNoPosition = 1.0e25;
constexpr double kNoPositionLimit = 1.0e20;
constexpr int kNoElement = -999;
constexpr int kSideFirst = 1;   // arrived on ingo1, leaves along ingo
constexpr int kSideSecond = 0;  // arrived on ingo, leaves along ingo1
constexpr int kDumpFile = 0;

// Every column of the table that a series' host array holds, in its order: the doubles first,
// so that each column starts aligned for its type. The result list stays in the fixed rows: only
// the 3-D walk fills it, and its table never grows beyond them.
template <typename Visit> void each_column(delups_columns& c, Visit visit)
{
    visit(c.xing), visit(c.ying), visit(c.zing), visit(c.z2ing), visit(c.u1), visit(c.u2);
    visit(c.ingo), visit(c.ingo1), visit(c.used1), visit(c.used2);
    visit(c.order1), visit(c.order2), visit(c.open1), visit(c.open2);
}

// Bytes of one row across every column.
std::size_t row_bytes()
{
    std::size_t bytes = 0;
    delups_columns c;
    each_column(c, [&bytes](auto* column) { bytes += sizeof(*column); });
    return bytes;
}

// Gives back a series' host array: the columns are the fixed rows again.
void release_spill()
{
    delups_state& s = delups_block;
    if (s.spill == -1) return;
    int status = 0;
    MM_CLOSE(s.spill, status);
    s.spill = -1;
    static_cast<delups_columns&>(s) = delups_columns{};
}

// The columns of the self search (the crossing table's first four), one row short of the result
// list: a table of n crossings makes n + 1 loops.
luplup_columns search_columns()
{
    const delups_state& s = delups_block;
    return {s.ingo, s.ingo1, s.xing, s.ying, s.capacity - 1, nullptr};
}

// The growth of the search's columns: room for the rows and the loop one more than them.
bool grow_search_columns(int rows, luplup_columns& columns)
{
    if (!delups_table_room(rows + 1)) return false;
    columns = search_columns();
    columns.grow = grow_search_columns;
    return true;
}

// The planar loops of a series, one after another: x and y of every entry, and where each loop
// starts. A noisy loop falls into thousands of loops held until they are handed out; kept here
// (and from one series to the next) they take no block of the pool each, and a caller that
// keeps its B array gets them without a block either.
struct planar_loops {
    std::vector<double> x, y;
    std::vector<std::size_t> first{0};  // first entry of each loop, and the end of the last
    bool held = false;                  // a series is being handed out from here
    std::vector<double> at[2];          // the walk's positions of the first and the second sides
    std::vector<int> places[2];         // the walk's lookups of the first and the second sides
    // The end angles of the arcs the crossings lie on, by the entry of the arc's marker (not a
    // number until measured): the crossings of a loop crowd onto few elements each.
    std::vector<arc_end_angles> arc_ends;

    // The series' loops go; a store that held a very large series gives its memory back.
    void clear()
    {
        static constexpr std::size_t kKeptEntries = std::size_t{1} << 16;
        if (x.capacity() > kKeptEntries) x = {}, y = {};
        if (at[0].capacity() > kKeptEntries) at[0] = {}, at[1] = {}, places[0] = {}, places[1] = {};
        if (arc_ends.capacity() > kKeptEntries) arc_ends = {};
        x.clear(), y.clear();
        first.assign(1, 0);
        held = false;
    }
    void add(const pokarr& loop)
    {
        x.insert(x.end(), loop.x, loop.x + loop.count);
        y.insert(y.end(), loop.y, loop.y + loop.count);
        first.push_back(x.size());
    }
    // Loop k as a static array over the store.
    pokarr view(int k)
    {
        const std::size_t start = first[static_cast<std::size_t>(k)];
        const int n = static_cast<int>(first[static_cast<std::size_t>(k) + 1] - start);
        pokarr loop;
        int status = 0;
        pokarr_init_static(2, x.data() + start, y.data() + start, nullptr, nullptr, n, n, loop, status);
        return loop;
    }
};

planar_loops planar_loops_block;

// Copies loop k of the store into b as a move of the loop's own array would leave it: b of the
// loop's dimension with its entries and no cached area (a static b takes a copy either way).
void copy_out(int k, pokarr& b, int& status)
{
    const pokarr loop = planar_loops_block.view(k);
    if (b.kind >= 0 && b.dimension == loop.dimension && pokarr_has_room(b, loop.count)) {
        // Nearly every call: B's block holds the loop, which is copied in as pokarr_copy would.
        const std::size_t bytes = static_cast<std::size_t>(loop.count) * sizeof(double);
        std::memcpy(b.x, loop.x, bytes);
        std::memcpy(b.y, loop.y, bytes);
        b.count = loop.count;
        b.area = 0.0, b.direction = 0, b.indicator = 0;
        status = 0;
        return;
    }
    if (b.kind != kPokarrStatic && (b.kind == kPokarrChild || b.dimension != loop.dimension)) {
        pokarr_free(b);
        pokarr_init(loop.dimension, b);
    }
    pokarr_copy(loop, b, status);
}

// Hands the loop at the cursor to b (b emptied when none is left); count answers the number of
// loops minus one.
void hand_out(pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    count = s.result_count - 1;
    if (s.cursor >= s.result_count) {
        pokarr_reset(b, 0, status);
        return;
    }
    copy_out(s.cursor, b, status);
    ++s.cursor;
    if (status != 0) status = kDelupsArrayFailed;
}

// Fraction of the crossing (x, y) on element e of a: clamped to 0..1 and scaled below 1. The end
// angles of a's arcs are kept in `arc_ends` (loop_arc_param).
double fraction_on(const pokarr& a, int e, double x, double y, std::vector<arc_end_angles>& arc_ends)
{
    double t = 0.0;
    if (pk_is_marker(a.x[e]))
        t = loop_arc_param(a, e, x, y, arc_ends);
    else
        seg_param_of_pnt(a.x[e - 1], a.y[e - 1], a.x[e], a.y[e], x, y, t);
    return std::clamp(t, 0.0, 1.0) * kDelupsFractionScale;
}

// One side of every record in the walk's order: the records by the position of that side along
// A (element plus fraction; at one position the lower record first), and the places that may
// still be open. A side leaves the walk for good once it is used or its record falls below the
// first record the walk searches from, so a place found closed is closed for the rest of the
// series (the next open place is found by halving the links).
struct side_order {
    const int* element;      // ingo (first sides) or ingo1 (second sides)
    const double* fraction;  // u1 or u2
    const int* used;         // the mark that uses this side: used2 for first sides, used1 for second
    int* order;
    int* open;
    int count;
    std::vector<double>& at;  // the position of each place, for the search along them
    // Three columns of `count` each: the place of every record, and for every place the first
    // place beyond its position in this order and in the other side's. The walk always leaves a
    // crossing at the position of one of its sides, so these answer the searches from there;
    // empty when a position is not a number (the searches then halve as ever).
    std::vector<int>& places;

    double position(int place) const { return at[static_cast<std::size_t>(place)]; }
    int place_of(int record) const { return places[static_cast<std::size_t>(record)]; }
    int beyond(int place) const { return places[static_cast<std::size_t>(count + place)]; }
    int across(int place) const { return places[static_cast<std::size_t>(2 * count + place)]; }
    void sort()
    {
        std::iota(order, order + count, 0);
        const auto before = [this](int p, int q) {
            const double a = element[p] + fraction[p], b = element[q] + fraction[q];
            return a != b ? a < b : p < q;
        };
        // The records come ordered along the first loop: its sides are mostly in order already.
        if (!std::is_sorted(order, order + count, before) && !sort_by_element(before))
            std::sort(order, order + count, before);
        std::iota(open, open + count + 1, 0);
        at.resize(static_cast<std::size_t>(count));
        for (int place = 0; place < count; ++place) {
            const int m = order[place];
            at[static_cast<std::size_t>(place)] = element[m] + fraction[m];
        }
    }
    // Sorts the order by the whole elements of the positions (buckets, records in order within
    // each) and each bucket's few records by insertion: the order std::sort gives, as the
    // positions' whole parts rise with them. False, the order untouched, when the positions are
    // not finite, spread over many more elements than records, or crowd into one element.
    static constexpr int kFewInBucket = 64;
    template <class Before> bool sort_by_element(Before before)
    {
        static std::vector<int> first;
        double low = 0.0, high = 0.0;
        for (int m = 0; m < count; ++m) {
            const double p = element[m] + fraction[m];
            if (!std::isfinite(p)) return false;
            low = m == 0 ? p : std::min(low, p), high = m == 0 ? p : std::max(high, p);
        }
        const double span = std::floor(high) - std::floor(low);
        if (!(span <= 4.0 * count + 16.0)) return false;
        const auto bucket = [this, base = std::floor(low)](int m) {
            return static_cast<std::size_t>(std::floor(element[m] + fraction[m]) - base);
        };
        first.assign(static_cast<std::size_t>(span) + 2, 0);
        for (int m = 0; m < count; ++m) ++first[bucket(m) + 1];
        if (*std::max_element(first.begin(), first.end()) > kFewInBucket) return false;
        std::partial_sum(first.begin(), first.end(), first.begin());
        for (int m = 0; m < count; ++m) order[first[bucket(m)]++] = m;
        // Each bucket now ends where the next began: sort it in place.
        for (std::size_t b = 0, start = 0; b + 1 < first.size(); start = static_cast<std::size_t>(first[b]), ++b)
            for (std::size_t i = start + 1; i < static_cast<std::size_t>(first[b]); ++i)
                for (std::size_t at = i; at > start && before(order[at], order[at - 1]); --at)
                    std::swap(order[at], order[at - 1]);
        return true;
    }
    // Fills `places` from the positions of both orders, each rising along its places.
    void look_up(const side_order& other)
    {
        places.clear();
        const auto finite = [](const std::vector<double>& v) {
            return std::all_of(v.begin(), v.end(), [](double p) { return std::isfinite(p); });
        };
        if (!finite(at) || !finite(other.at)) return;
        places.resize(3 * static_cast<std::size_t>(count));
        int* const place_of = places.data();
        int* const beyond = place_of + count;
        int* const across = beyond + count;
        for (int place = 0; place < count; ++place) place_of[order[place]] = place;
        for (int place = count - 1; place >= 0; --place)
            beyond[place] = place + 1 < count && position(place + 1) == position(place) ? beyond[place + 1] : place + 1;
        for (int place = 0, q = 0; place < count; ++place) {
            while (q < other.count && other.position(q) <= position(place)) ++q;
            across[place] = q;
        }
    }
    // The first place whose position is beyond p.
    int upper_bound(double p) const
    {
        int place = 0;
        for (int n = count; n > 0;) {
            const int half = n / 2;
            if (position(place + half) <= p) {
                place += half + 1;
                n -= half + 1;
            } else {
                n = half;
            }
        }
        return place;
    }
    int next_open(int place)
    {
        while (place < count && open[place] != place) {
            open[place] = open[open[place]];
            place = open[place];
        }
        return place;
    }
    // The first place from `place` on whose record is open on this side and not below `low`,
    // passing over record `skip`; `count` when there is none.
    int first_open_from(int place, int low, int skip)
    {
        for (place = next_open(place); place < count; place = next_open(place + 1)) {
            const int m = order[place];
            if (used[m] != 0 || m < low) {
                open[place] = place + 1;
                continue;
            }
            if (m != skip) return place;
        }
        return count;
    }
};

// The first and the second sides of the table in the walk's order.
struct walk_order {
    side_order first, second;
};

// The sides in order; `at` holds their positions (first sides, then second).
walk_order order_sides(std::vector<double> (&at)[2], std::vector<int> (&places)[2])
{
    delups_state& s = delups_block;
    walk_order o{{s.ingo, s.u1, s.used2, s.order1, s.open1, s.records, at[0], places[0]},
                 {s.ingo1, s.u2, s.used1, s.order2, s.open2, s.records, at[1], places[1]}};
    o.first.sort();
    o.second.sort();
    o.first.look_up(o.second);
    o.second.look_up(o.first);
    return o;
}

// The crossing delups_next_cross answers, found through the walk's order: the nearest open side
// beyond the walk's position; at one position the lower record, and of one record its first side.
void next_crossing(walk_order& o, int k, int e, int& next_element, int& record, int& side)
{
    const delups_state& s = delups_block;
    const int r = record, from = side;
    const double current = e + (from == kSideFirst ? s.u1[r] : s.u2[r]);
    const int low = k == 0 ? 0 : std::max(0, k - 1);
    // Leaving record r along its side, the walk stands at that side's own position.
    const side_order& own = from == kSideFirst ? o.first : o.second;
    int from_p = 0, from_q = 0;
    if (!own.places.empty() && e == own.element[r]) {
        const int place = own.place_of(r);
        from_p = from == kSideFirst ? own.beyond(place) : own.across(place);
        from_q = from == kSideFirst ? own.across(place) : own.beyond(place);
    } else {
        from_p = o.first.upper_bound(current);
        from_q = o.second.upper_bound(current);
    }
    const int p = o.first.first_open_from(from_p, low, from == kSideFirst ? r : -1);
    const int q = o.second.first_open_from(from_q, low, from == kSideSecond ? r : -1);
    const bool has_p = p < o.first.count, has_q = q < o.second.count;
    if (!has_p && !has_q) {
        record = k == 0 ? -1 : r;
        next_element = kNoElement;
        return;
    }
    const double at_p = has_p ? o.first.position(p) : kNoPosition, at_q = has_q ? o.second.position(q) : kNoPosition;
    const bool first_side = has_p && (!has_q || at_p < at_q || (at_p == at_q && o.first.order[p] <= o.second.order[q]));
    record = first_side ? o.first.order[p] : o.second.order[q];
    side = first_side ? kSideSecond : kSideFirst;
    next_element = static_cast<int>(first_side ? at_p : at_q);
}

// Outcome of one loop's walk.
enum class walk_end { closed, no_crossing, failed };

// Walks loop k from record start leaving on `side` until it closes.
walk_end walk_loop(pokarr& a, walk_order& order, int k, int start, int side, pokarr& loop, int& status)
{
    delups_state& s = delups_block;
    int e = side == kSideSecond ? s.ingo1[start] : s.ingo[start];
    int r = start;
    const int bound = 2 * s.records + 2;
    for (int steps = 0;; ++steps) {
        if (steps > bound) return walk_end::no_crossing;
        int n = 0, c = 0, next_side = side;
        next_crossing(order, k, e, n, r, next_side);
        c = r;
        if (k == 0 && c == -1) {
            pokarr_append(a.count - e, a, e, loop, status);
            if (status != 0) return walk_end::failed;
            s.used2[0] = 1;
            return walk_end::closed;
        }
        if (n < 0) return walk_end::no_crossing;
        const double p[2] = {s.xing[c], s.ying[c]};
        pokarr_append_run(a, e, n, false, p, loop, status);
        if (status != 0) return walk_end::failed;
        if (next_side == kSideFirst) {
            e = s.ingo[c];
            s.used1[c] = 1;
        } else {
            e = s.ingo1[c];
            s.used2[c] = 1;
        }
        side = next_side;
        if (k > 0 && c == start) return walk_end::closed;
    }
}

// Builds every loop of a from the crossing table into the store, walking each in b (whose
// entries the first loop replaces) where b is a pool array of a's dimension other than a, else
// in a work array.
void build_loops(pokarr& a, pokarr& b, int& status)
{
    delups_state& s = delups_block;
    planar_loops& kept = planar_loops_block;
    kept.held = true;
    pokarr_work work(a.dimension);
    const bool in_b = &b != &a && (b.kind >= 0 || b.kind == kPokarrEmpty) && b.dimension == a.dimension;
    walk_order order = order_sides(kept.at, kept.places);
    // Sides are only ever marked used, so every record the search for a start passed over stays
    // used on both sides: the next loop's search goes on from where the last one stopped.
    int searched = 0;
    for (int k = 0; k <= s.records && k < s.capacity; ++k) {
        int start = 0, side = kSideSecond;
        if (k > 0) {
            start = std::max(k - 1, searched);
            while (start < s.records && s.used1[start] && s.used2[start]) ++start;
            searched = start;
            if (start >= s.records) return;
            side = s.used2[start] == 0 ? kSideSecond : kSideFirst;
        }
        // The walk array (a pool array or empty) starts each loop empty, its block kept.
        pokarr& loop = in_b ? b : work.a;
        loop.count = 0;
        loop.area = 0.0, loop.direction = 0, loop.indicator = 0;
        ++s.result_count;
        // Loop 0 begins with the head of a, its arc cut at the first crossing.
        const double p[2] = {s.xing[start], s.ying[start]};
        if (k == 0)
            pokarr_append_run(a, 0, s.ingo[0], false, p, loop, status);
        else
            pokarr_add_pnt(p, loop, status);
        if (status != 0) {
            status = kDelupsArrayFailed;
            return;
        }
        const walk_end end = walk_loop(a, order, k, start, side, loop, status);
        if (end == walk_end::failed) {
            status = kDelupsArrayFailed;
            return;
        }
        if (end == walk_end::no_crossing) {
            status = kDelupsWalkFailed;
            return;
        }
        kept.add(loop);
    }
}

// The crossing table of a against itself with every position; false when the search failed
// (status 1 set) or found no crossing (b then holds a copy of a).
bool fill_table(pokarr& a, pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    luplup_columns columns = search_columns();
    columns.grow = grow_search_columns;
    int rows = 0;
    // A loop whose elements plainly keep apart has no crossing to search for.
    if (!loop_plainly_simple(a)) cre_comlups_self(a, columns, rows);
    if (rows < 0) {
        status = kDelupsSearchFailed;
        return false;
    }
    s.records = rows;
    if (rows == 0) {
        pokarr_copy(a, b, status);
        if (status != 0) {
            status = kDelupsArrayFailed;
            delups_clear();
        }
        count = 0;
        return false;
    }
    std::vector<arc_end_angles>& arc_ends = planar_loops_block.arc_ends;
    loop_arc_angles_reset(a.count, arc_ends);
    for (int m = 0; m < rows; ++m) {
        s.used1[m] = s.used2[m] = 0;
        s.u1[m] = fraction_on(a, s.ingo[m], s.xing[m], s.ying[m], arc_ends);
        s.u2[m] = fraction_on(a, s.ingo1[m], s.xing[m], s.ying[m], arc_ends);
    }
    if (s.dump_switch != 0) pkingo_dump(kDumpFile, rows, s.ingo, s.ingo1, s.xing, s.ying, s.u1, s.u2);
    return true;
}

}  // namespace

void delups_clear()
{
    delups_state& s = delups_block;
    planar_loops& kept = planar_loops_block;
    if (kept.held) {
        kept.clear();
    } else {
        for (int k = std::max(0, s.cursor); k < s.result_count && k < s.capacity; ++k) pokarr_free(s.results[k]);
    }
    s.result_count = 0;
    s.cursor = 0;
    release_spill();
}

bool delups_table_room(int rows)
{
    delups_state& s = delups_block;
    if (rows <= s.capacity) return true;
    const int capacity = (rows + kDelupsGrowth - 1) / kDelupsGrowth * kDelupsGrowth;
    int handle = -1, status = 0;
    void* base = nullptr;
    MM_OPEN_ARRAY(static_cast<int>(row_bytes()), capacity, handle, base, status);
    if (status != 0) return false;
    // Each column moves to its place in the new array with what it holds.
    auto* place = static_cast<unsigned char*>(base);
    each_column(s, [&](auto*& column) {
        using row = std::remove_reference_t<decltype(*column)>;
        auto* moved = reinterpret_cast<row*>(place);
        std::copy(column, column + s.capacity, moved);
        column = moved;
        place += sizeof(row) * static_cast<std::size_t>(capacity);
    });
    if (s.spill != -1) MM_CLOSE(s.spill, status);
    s.spill = handle;
    s.capacity = capacity;
    return true;
}

void delups_next_cross(int k, const int* ingo, const int* ingo1, int records, const double* u1, const double* u2,
                       const int* used2, const int* used1, int e, int& next_element, int& record, int& side)
{
    const int r = record, s = side;
    const double current = e + (s == kSideFirst ? u1[r] : u2[r]);
    double best = kNoPosition;
    int result = k == 0 ? -1 : r, result_side = s;
    for (int m = k == 0 ? 0 : std::max(0, k - 1); m < records; ++m) {
        if (used1[m] && used2[m]) continue;
        const double p1 = ingo[m] + u1[m];
        if (!used2[m] && p1 > current && p1 < best && !(s == kSideFirst && m == r)) {
            best = p1;
            result = m;
            result_side = kSideSecond;
        }
        const double p2 = ingo1[m] + u2[m];
        if (!used1[m] && p2 > current && p2 < best && !(s == kSideSecond && m == r)) {
            best = p2;
            result = m;
            result_side = kSideFirst;
        }
    }
    record = result;
    side = result_side;
    next_element = best >= kNoPositionLimit ? kNoElement : static_cast<int>(best);
}

void DELUPS(pokarr& a, pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    status = 0;
    if (s.state_word != kIdle) eroutc(kReentryText, 0);
    if (a.dimension != 2) {
        s.state_word = kRunning3d;
        delups_3d(a, b, count, status);
        s.state_word = kIdle;
        return;
    }
    if (count > 0 && s.cursor > 0) {
        hand_out(b, count, status);
        return;
    }
    // A new series gives back what an earlier one left.
    delups_clear();
    if (!fill_table(a, b, count, status)) return;
    build_loops(a, b, status);
    if (status == kDelupsArrayFailed) {
        // B may hold part of a loop the walk could not finish.
        delups_clear();
        int ignored = 0;
        pokarr_reset(b, 0, ignored);
        return;
    }
    if (status == kDelupsWalkFailed) {
        delups_clear();
        int ignored = 0;
        hand_out(b, count, ignored);
        return;
    }
    hand_out(b, count, status);
}
