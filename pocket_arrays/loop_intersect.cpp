// Crossings of two loops ordered along the first (LUPLUP). Each element of A is searched against
// B through B's box table (elem_pair_intersect), walking on along B after every crossing found;
// every crossing becomes a row of the working table, moved to the following element when it
// falls on an element's end, dropped when it repeats a row met from a neighbouring element, and
// kept ordered along A. The clean-up classifies the rows at vertices: where B only touches A,
// B's element is negated (a touching point, which the common-loop search passes over).
#include "pocket_arrays/loop_intersect.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/changed_entries.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_nudge.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr const char* kTooManyText = "LUPLUP,TOO MANY INTERSECTION POINTS WITH ISLAND ";
constexpr const char* kNotFiniteText = "LUPLUP,LOOP HOLDS A NUMBER THAT IS NOT FINITE";
// Touching rows of a self search closer than this in x and y are one row.
constexpr double kMergeReach = 0.001;
constexpr int kStatusOverflow = -1;
constexpr int kNotOpen = -1;
// Rows a search's host array grows by when it outgrows what it holds, at the least; a larger
// array grows by half its rows, so that a search of many rows moves them a few times only.
constexpr int kRowGrowth = 1000;

// One row of the working table.
struct luplup_row {
    int a = 0, b = 0;  // elements of A and B (the end entry of a line, an arc's marker)
    double x = 0.0, y = 0.0;
    double pos_a = 0.0;              // distance from A's element's start, or arc parameter
    int vertex_a = 0, vertex_b = 0;  // the point lies at a vertex of the element
    int contact = 0;                 // a touching contact reported by the element search
    int walk = 0;                    // the element of A whose walk found it
    double a_in[2] = {0, 0}, a_out[2] = {0, 0}, b_in[2] = {0, 0}, b_out[2] = {0, 0};
    int coincidence = 0;  // A and B run on together at the row
    int far_end = 0;      // the row was found as the second end of a shared piece
};

// The working table of LUPLUP; rows are kept ordered along A. A search works in the kept rows; one
// whose columns grow moves its rows into a host dynamic array when it outgrows them, and gives the
// array back when it ends (give_back_rows).
struct luplup_work {
    int count = 0;
    int capacity = kLuplupSelfRows;  // rows that `rows` holds
    int spill = kNotOpen;            // the host array holding the rows of a larger search
    luplup_row* rows = kept;
    luplup_row kept[kLuplupSelfRows];
};
luplup_work luplup_work_block;

// Room for one more row of the search. Columns of a fixed size take as many rows as they hold;
// growing columns take every row, the kept rows moving into a host array grown a step at a time.
// False when there is no room.
bool room_for_row(luplup_work& w, const luplup_columns& out)
{
    if (out.grow == nullptr) return w.count < std::min(out.capacity, w.capacity);
    if (w.count < w.capacity) return true;
    void* base = nullptr;
    int status = 0;
    if (w.spill == kNotOpen) {
        MM_OPEN_ARRAY(sizeof(luplup_row), w.capacity + kRowGrowth, w.spill, base, status);
        if (status != 0) {
            w.spill = kNotOpen;
            return false;
        }
        std::copy(w.rows, w.rows + w.count, static_cast<luplup_row*>(base));
    } else {
        MM_RESIZE_ARRAY(w.spill, std::max(kRowGrowth, w.capacity / 2), base, status);
        if (status != 0) return false;
    }
    w.rows = static_cast<luplup_row*>(base);
    w.capacity = MM_CUR_N_ENTRIES(w.spill);
    return true;
}

// Back to the kept rows once a search ends.
void give_back_rows(luplup_work& w)
{
    if (w.spill != kNotOpen) {
        int status = 0;
        MM_CLOSE(w.spill, status);
        w.spill = kNotOpen;
    }
    w.rows = w.kept;
    w.capacity = kLuplupSelfRows;
}

struct mode_digits {
    bool first_only, self;
    int units;
};

mode_digits digits_of(int mode)
{
    mode_digits d{false, false, 0};
    if (mode >= kLuplupFirstOnly) d.first_only = true, mode %= kLuplupFirstOnly;
    if (mode >= kLuplupSelf) d.self = true, mode %= kLuplupSelf;
    d.units = mode;
    return d;
}

// ---- elements of a loop -----------------------------------------------------------------------

// A loop read element by element. A view lives for one search: its loop changes only between
// searches (a nudge), so the last element is read once.
struct loop_view {
    const pokarr& p;
    int last_element;
    explicit loop_view(const pokarr& loop) : p(loop), last_element(last_of(loop)) {}
    static int last_of(const pokarr& loop)
    {
        const int n = loop.count;
        return n - 4 >= 1 && pk_is_marker(loop.x[n - 4]) ? n - 4 : n - 1;
    }
    chain_element at(int e) const { return chain_element_at(p.x, p.y, p.count, e); }
    // The last element: the one that ends at the loop's last entry.
    int last() const { return last_element; }
    // The element after the one c describes, element 1 after the last one.
    int next_of(const chain_element& c) const { return !c.valid || c.next >= p.count ? 1 : c.next; }
    // The element after e, element 1 after the last one.
    int next(int e) const { return next_of(at(e)); }
    // The element before e, the last element before element 1.
    int previous(int e) const
    {
        if (e <= 1) return last();
        return e - 4 >= 1 && pk_is_marker(p.x[e - 4]) ? e - 4 : e - 1;
    }
    bool neighbours(int e, int f) const { return e == f || next(e) == f || next(f) == e; }
    void start(int e, double* q) const { start_of(at(e), q); }
    void end(int e, double* q) const { end_of(at(e), q); }
    void start_of(const chain_element& c, double* q) const { q[0] = p.x[c.start], q[1] = p.y[c.start]; }
    void end_of(const chain_element& c, double* q) const { q[0] = p.x[c.end], q[1] = p.y[c.end]; }
    // Unit direction of element e at point q (on it).
    void direction(int e, const double* q, double* d) const { direction_of(at(e), q, d); }
    // The same for the element c describes (built once by a caller that reads it several times).
    void direction_of(const chain_element& c, const double* q, double* d) const
    {
        d[0] = d[1] = 0.0;
        if (!c.valid) return;
        if (c.arc) {
            const double rx = q[0] - c.cx, ry = q[1] - c.cy;
            d[0] = -c.dir * ry, d[1] = c.dir * rx;
        } else {
            d[0] = p.x[c.end] - p.x[c.start], d[1] = p.y[c.end] - p.y[c.start];
        }
        const double l = std::hypot(d[0], d[1]);
        if (l > 0.0) d[0] /= l, d[1] /= l;
    }
    void direction_at_start(int e, double* d) const
    {
        const chain_element c = at(e);
        double q[2];
        start_of(c, q);
        direction_of(c, q, d);
    }
    void direction_at_end(int e, double* d) const
    {
        const chain_element c = at(e);
        double q[2];
        end_of(c, q);
        direction_of(c, q, d);
    }
    // Distance from the start for a line, the arc parameter for an arc.
    double position_of(const chain_element& c, const double* q) const
    {
        if (!c.arc) return std::hypot(q[0] - p.x[c.start], q[1] - p.y[c.start]);
        double t = 0.0;
        arc_param_of_pnt(c.r, c.dir, c.cx, c.cy, p.x[c.start], p.y[c.start], p.x[c.end], p.y[c.end], q[0], q[1], t);
        return t;
    }
};

// ---- recording of one crossing ----------------------------------------------------------------

// Where a crossing lies on one loop: the element it is placed on (a point at the element's end
// moves to the start of the following element, unless `stay_at_last_end` holds for the last
// element) and whether it lies at a vertex; with the element the search reported, read once.
struct placement {
    int e = 0;                 // the element the point is placed on
    int vertex = 0;            // the point lies at a vertex
    bool at_last_end = false;  // kept at the end of the last element
    int reported = 0;          // the element the search reported, and what was read of it
    chain_element c;
    double s[2] = {0.0, 0.0}, t[2] = {0.0, 0.0};
};

placement locate(const loop_view& v, int e, const double* q, bool stay_at_last_end)
{
    // Every field set once (a row is placed twice for every crossing found).
    placement pl{.e = e, .reported = e, .c = v.at(e)};
    const chain_element& c = pl.c;
    pl.s[0] = v.p.x[c.start], pl.s[1] = v.p.y[c.start];
    pl.t[0] = v.p.x[c.end], pl.t[1] = v.p.y[c.end];
    if (pk_eq_pnt2(q, pl.t)) {
        pl.vertex = 1;
        if (stay_at_last_end && e == v.last())
            pl.at_last_end = true;
        else
            pl.e = v.next_of(pl.c);
    } else if (pk_eq_pnt2(q, pl.s)) {
        pl.vertex = 1;
    }
    return pl;
}

// The position along the element of the point placed by locate: at a vertex the start of the
// element it lies on. Only A's is measured: it orders the table; nothing reads one along B.
double position(const loop_view& v, const placement& pl, const double* q)
{
    return pl.vertex ? 0.0 : v.position_of(pl.c, q);
}

// The directions before and after the point placed by locate; only a row that is kept needs them.
void measure(const loop_view& v, const placement& pl, const double* q, double* in, double* out)
{
    const chain_element& c = pl.c;
    if (pl.at_last_end) {
        v.direction_of(c, pl.t, in);
        v.direction_at_start(v.next_of(c), out);
        return;
    }
    if (pl.vertex) {
        // The element read is one of the two at the vertex: its end or start is reused.
        const int before = v.previous(pl.e);
        if (before == pl.reported)
            v.direction_of(c, pl.t, in);
        else
            v.direction_at_end(before, in);
        if (pl.e == pl.reported)
            v.direction_of(c, pl.s, out);
        else
            v.direction_at_start(pl.e, out);
        return;
    }
    v.direction_of(c, q, in);
    out[0] = in[0], out[1] = in[1];
}

// The rows whose element of A lies from `from` to `to`: an index range of the table, which is
// ordered by A's element.
struct row_range {
    int first, last;  // rows first .. last - 1
};
// The first row of the table from `begin` to `end` for which `above` is false (it holds for a
// leading part of them): sought back from the end in steps that double, then halved. The search
// asks for the rows of the elements it is walking, which were taken last and stand at the end.
template <typename Above>
const luplup_row* last_part_from_end(const luplup_row* begin, const luplup_row* end, Above above)
{
    std::ptrdiff_t step = 1;
    const luplup_row* low = end;
    while (low - begin > step && !above(low[-step])) low -= step, step *= 2;
    return std::partition_point(low - begin > step ? low - step : begin, low, above);
}

// Tables this large are searched from the end by a walking search.
constexpr int kRowsSoughtFromEnd = 1024;

[[gnu::always_inline]] inline row_range rows_between(const luplup_work& w, int from, int to, bool near_end = false)
{
    const luplup_row* begin = w.rows;
    const luplup_row* end = w.rows + w.count;
    const auto before_from = [from](const luplup_row& o) { return o.a < from; };
    const auto up_to = [to](const luplup_row& o) { return o.a <= to; };
    if (near_end && w.count >= kRowsSoughtFromEnd) {
        const luplup_row* last = last_part_from_end(begin, end, up_to);
        const luplup_row* first = last_part_from_end(begin, last, before_from);
        return {static_cast<int>(first - begin), static_cast<int>(last - begin)};
    }
    const luplup_row* first = std::partition_point(begin, end, before_from);
    const luplup_row* last = std::partition_point(first, end, up_to);
    return {static_cast<int>(first - begin), static_cast<int>(last - begin)};
}

// The rows on element e of A and on the elements up to an arc record's width before and after
// it (every element a neighbour test can pair with e), and at the loop's ends those on the
// element across the closing point: at most three ranges, in table order. `near_end`: the rows
// of e stand near the table's end.
struct near_rows {
    row_range ranges[3];
    int count = 0;
};
[[gnu::always_inline]] inline near_rows rows_near(const luplup_work& w, const loop_view& va, int e, bool near_end = false)
{
    near_rows n;
    const int last = va.last();
    if (e == last) n.ranges[n.count++] = rows_between(w, 1, 1);
    n.ranges[n.count++] = rows_between(w, e - kArcRecordEntries, e + kArcRecordEntries, near_end);
    if (e == 1) n.ranges[n.count++] = rows_between(w, last, last);
    return n;
}

// Whether the row repeats a recorded row met from a neighbouring element.
bool repeats_a_row(const luplup_work& w, const luplup_row& r, const loop_view& va, const loop_view& vb)
{
    const double p[2] = {r.x, r.y};
    const near_rows near = rows_near(w, va, r.a, true);
    for (int k = 0; k < near.count; ++k)
        for (int i = near.ranges[k].first; i < near.ranges[k].last; ++i) {
            const luplup_row& o = w.rows[i];
            const double q[2] = {o.x, o.y};
            if (pk_eq_pnt2(p, q) && va.neighbours(r.a, o.a) && vb.neighbours(r.b, o.b)) return true;
        }
    return false;
}

// Inserts the row keeping the table ordered by A's element and the position along it.
void insert_ordered(luplup_work& w, const luplup_row& r)
{
    int at = w.count;
    while (at > 0 && (w.rows[at - 1].a > r.a || (w.rows[at - 1].a == r.a && w.rows[at - 1].pos_a > r.pos_a))) {
        w.rows[at] = w.rows[at - 1];
        --at;
    }
    w.rows[at] = r;
    ++w.count;
}

// Whether a crossing of a loop searched against itself, placed on both, is only the shared
// vertex of neighbouring elements (no crossing); it is dropped before a row is built.
bool neighbours_meet(const loop_view& va, const loop_view& vb, const placement& on_a, const placement& on_b)
{
    const int a = on_a.e, b = on_b.e;
    if (b == va.previous(a) || (b == vb.last() && a == 1)) return true;
    return (on_a.vertex || on_b.vertex) && va.neighbours(a, b);
}

// Fills the row of a crossing at q placed on both loops into r, a row fresh from its
// initialisers (the marks stay clear).
void make_row(const loop_view& va, const loop_view& vb, const placement& on_a, const placement& on_b, const double* q,
              int contact, luplup_row& r)
{
    r.x = q[0], r.y = q[1], r.contact = contact;
    r.a = on_a.e, r.vertex_a = on_a.vertex;
    r.b = on_b.e, r.vertex_b = on_b.vertex;
    r.pos_a = position(va, on_a, q);
    measure(va, on_a, q, r.a_in, r.a_out);
    measure(vb, on_b, q, r.b_in, r.b_out);
}

// ---- the search -------------------------------------------------------------------------------

// The rows the walks of a kept search made, each walk's together (kept apart from the walks'
// memos, so that a search after a nudge reads them in turn): the rows in the order found (before
// the repeats test, which reads the table); of each, whether it was taken into the table the last
// time (not a repeat); and the walk's rows in table order (by A's element and the position along
// it, found order among equals), as numbers within the walk: the order a replay inserts them in.
struct walk_rows {
    std::vector<luplup_row> rows;
    std::vector<char> taken;
    std::vector<int> in_table_order;
    void clear()
    {
        rows.clear();
        taken.clear();
        in_table_order.clear();
    }
};

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

// Takes a row made by a walk into the table unless it repeats one; false when the table
// overflowed (count -1).
bool insert_row(const luplup_row& r, const luplup_columns& out);
bool take_row(const loop_view& va, const loop_view& vb, const luplup_row& r, const luplup_columns& out,
              bool* taken = nullptr)
{
    const bool repeat = repeats_a_row(luplup_work_block, r, va, vb);
    if (taken != nullptr) *taken = !repeat;
    return repeat || insert_row(r, out);
}

// Inserts a row found no repeat; false when the table overflowed (count -1).
bool insert_row(const luplup_row& r, const luplup_columns& out)
{
    luplup_work& w = luplup_work_block;
    if (!room_for_row(w, out)) {
        // Columns that cannot grow are full; growing ones failed, as the host has said.
        int pocket_mode = 0;
        get_pocket_mode(pocket_mode);
        if (pocket_mode == 0 && out.grow == nullptr) eroutc(kTooManyText, 0);
        w.count = kStatusOverflow;
        return false;
    }
    insert_ordered(w, r);
    return true;
}

// Walks element a of A along B, recording every crossing. Answers false when the search has to
// stop (first-only mode with a row, or the table overflowed: count -1).
bool walk_element(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
                  pk_elem_index& index, int a, const luplup_columns& out, int& found_total, walk_rows* kept)
{
    luplup_work& w = luplup_work_block;
    // A self search passes over B's elements up to a: past the last one none is left.
    if (md.self && a >= index.last_element) return true;
    const chain_element e = va.at(a);
    // A loop searched against itself (its own entries).
    const bool own_loop = md.self && va.p.x == vb.p.x && va.p.y == vb.p.y && va.p.count == vb.p.count;
    double previous[2];
    va.start(a, previous);
    // The walk starts at B's first element and goes on along B from every crossing found.
    int found_element = 1;
    // The first search of the element starts the walk (mode 0): a crossing at the element's start
    // is one like any other there, also on B's last element, whose end the walk would otherwise
    // take for a crossing already met. The searches after a crossing continue the walk (-3).
    const int self_mode = md.self ? kLuplupSelf : 0;
    const double absent[2] = {kDirectionAbsent, 0.0};
    int last_element = -1;
    double last_point[2] = {0.0, 0.0};
    // The walk never goes back along B, so each search starts at the group of the last crossing.
    int first_group = 1;
    // What stays the same along the element's searches; each sets the rest.
    pk_walk_search ws;
    ws.kind = e.arc ? 1 : 0;
    ws.cx = e.cx, ws.cy = e.cy, ws.radius = e.r, ws.direction = e.dir;
    ws.sx = va.p.x[e.start], ws.sy = va.p.y[e.start], ws.ex = va.p.x[e.end], ws.ey = va.p.y[e.end];
    ws.direction_at = absent;
    ws.own_x = va.p.x, ws.own_y = va.p.y, ws.x = vb.p.x, ws.y = vb.p.y, ws.count = vb.p.count;
    ws.closing = vb.last(), ws.after_closing = 1;
    for (int guard = 0; guard < 2 * vb.p.count + 8; ++guard) {
        const bool continues = last_element >= 0;
        // The element reaches B: next_reaching passed it only so.
        ws.mode = self_mode + (continues ? kOwnWalkContinues : 0);
        ws.own = continues ? kOwnWalkContinues : kOwnWalk;
        ws.first_group = first_group;
        ws.previous_x = previous[0], ws.previous_y = previous[1];
        ws.found_element = found_element, ws.found_group = a;
        ws.crossing_x = ws.crossing_y = 0.0;
        // Standing at a pair the search before spent, with no candidate after it, a continuing
        // walk finds nothing: the search would answer so at once.
        if (continues && elem_walk_spent(index, ws)) return true;
        elem_walk_intersect_indexed(index, boxes, ws);
        const int found = ws.found;
        if (found == kSearchNone) return true;
        found_element = ws.found_element;
        const double q[2] = {ws.crossing_x, ws.crossing_y};
        first_group = std::max(1, ws.found_group);
        if (found_element == last_element && pk_eq_pnt2(q, last_point)) return true;
        last_element = found_element;
        last_point[0] = q[0], last_point[1] = q[1];
        previous[0] = q[0], previous[1] = q[1];
        if (md.first_only && w.count >= 1) return false;
        // A loop's next element met exactly at the shared vertex: both placements would put the
        // point at that vertex, on neighbours (neighbours_meet), so it is passed over unplaced.
        if (own_loop && found_element == e.next && q[0] == va.p.x[e.end] && q[1] == va.p.y[e.end]) continue;
        const placement on_a = locate(va, a, q, false);
        const placement on_b = locate(vb, found_element, q, md.self);
        if (md.self && neighbours_meet(va, vb, on_a, on_b)) continue;
        luplup_row r;
        make_row(va, vb, on_a, on_b, q, found == kSearchEndContact ? 1 : 0, r);
        r.walk = a;
        ++found_total;
        bool taken = false;
        if (!take_row(va, vb, r, out, &taken)) return false;
        if (kept != nullptr) kept->rows.push_back(r), kept->taken.push_back(taken ? 1 : 0);
        if (md.first_only) return false;
    }
    return true;
}

// ---- what a restarted self search keeps of its first sweep ---------------------------------------

// The entries that count as moved after a nudge: a range [first, last] of the loop's distinct
// entries 0 .. n - 2 (entry n - 1 repeats entry 0). The range may run on across the closing
// point: first below 0 or last beyond n - 2 then stand for the entries there.
struct moved_range {
    int first = 0, last = -1;
};

// A table of fewer rows than a loop's entries over this is sorted by element of B (counting the
// rows of every element would cost more).
constexpr int kFewRows = 8;

// Rows of the table kept past those that passed the first sweep, for the next search to find the
// rows it shares with it: a row past the last one passed is never passed over, and only rows near
// it read the shared rows beyond; a shorter shared stretch only has more rows checked in full.
constexpr int kRememberedBeyond = 1024;

// Entries around an element that a check of a row on it may read: its record, and those of the
// elements before and after it.
constexpr int kReadReach = 3 * kArcRecordEntries;

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
    bool count_per_b(const luplup_work& w, const int* elem_b, int elements)
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
    int rows_before_same(const int* elem_b, int count) const
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
    void uncount(int from)
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
    bool count_rows(const int* elem_b, int to, int elements)
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
    void prepare(const luplup_work& w, const int* elem_b, int n, bool known, const moved_range& moved)
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
                for (int i = rows.first; i < rows.last; ++i)
                    b_of_a_near_moved[static_cast<std::size_t>(w.rows[i].b)] = 1;
            }
        limit = std::min(prefix, passed);
    }

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

    // Keeps the table and the rows [0, passed_rows) that passed the first sweep.
    void remember(const luplup_work& w, int passed_rows)
    {
        if (!kept) return;
        before.assign(w.rows, w.rows + std::min(w.count, passed_rows + kRememberedBeyond));
        per_b_before = per_b;
        passed = passed_rows;
    }
};

// ---- clean-up ---------------------------------------------------------------------------------

// A straight element of a loop read once for the points tested against it (an arc, a broken
// record or a line without length holds none).
struct straight_line {
    bool line = false;
    double sx = 0.0, sy = 0.0, dx = 0.0, dy = 0.0, length = 0.0;
    straight_line() = default;
    straight_line(const loop_view& v, int e)
    {
        const chain_element c = v.at(e);
        if (!c.valid || c.arc) return;
        sx = v.p.x[c.start], sy = v.p.y[c.start];
        dx = v.p.x[c.end] - sx, dy = v.p.y[c.end] - sy;
        length = std::hypot(dx, dy);
        line = length > 0.0;
    }
    // Whether point p lies on the element (the along bound stretched by `stretch`): within the
    // host's double tolerance across it, and along it from its start to the stretched end. The
    // tests are eqvl0d, gevl0d and levald written out, as the partner search asks them millions
    // of times.
    bool holds(const double* p, double stretch) const
    {
        if (!line) return false;
        constexpr double tolerance = vantu::kDoubleTolerance;
        const double across = (dx * (p[1] - sy) - dy * (p[0] - sx)) / length;
        if (!(std::fabs(across) <= tolerance)) return false;
        const double along = (dx * (p[0] - sx) + dy * (p[1] - sy)) / length;
        return !(along < -tolerance) && !(along > stretch * length + tolerance);
    }
};

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
    unsigned next()
    {
        if (++last == 0) {
            for (slot& s : slots) s.clean_up = 0;
            last = 1;
        }
        return last;
    }
};
straight_memo straight_memo_block;

bool same_direction(const double* u, const double* v) { return eqvald(u[0], v[0]) && eqvald(u[1], v[1]); }

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
first_partners first_partners_block;

enum class outcome { go_on, restart, failed };

// Puts the ranges of rows near an element in table order, joining those that overlap (on a loop of
// a few elements) and leaving out the empty ones; answers how many remain.
int in_table_order(near_rows& near)
{
    row_range* r = near.ranges;
    for (int k = 1; k < near.count; ++k)
        for (int m = k; m > 0 && r[m].first < r[m - 1].first; --m) std::swap(r[m], r[m - 1]);
    int kept = 0;
    for (int k = 0; k < near.count; ++k) {
        if (r[k].first >= r[k].last) continue;
        if (kept > 0 && r[k].first <= r[kept - 1].last)
            r[kept - 1].last = std::max(r[kept - 1].last, r[k].last);
        else
            r[kept++] = r[k];
    }
    return kept;
}

// The clean-up of one search: the caller's element columns carry its marks (a negative element
// of A: a row used up as the far end of a shared piece; of B: a touching point).
struct cleanup {
    pokarr& a;
    const loop_view& va;
    const loop_view& vb;
    const mode_digits& md;
    luplup_work& w;
    int* elem_a;
    int* elem_b;
    int& restarts_left;
    // The rows ordered by B's element (a self search whose rows were not counted by element), and
    // each row's next row on its element in table order (-1 after the last).
    std::vector<int>& by_b;
    std::vector<int>& candidates;
    first_sweep_memo& first_sweep;
    // This clean-up's number in straight_memo_block (a new one for every clean-up and after a
    // nudge, which moves the loop's entries).
    mutable unsigned clean_up = straight_memo_block.next();

    // A nudge of a self search: 0 starts the search again, a failure ends it; a nudge that moved
    // nothing (or no restarts left) lets the clean-up go on, so it cannot restart without end.
    outcome nudge(int i, int j) const
    {
        if (!md.self || restarts_left <= 0) return outcome::go_on;
        int status = 0;
        clean_up = straight_memo_block.next();
        pokarr_nudge_elem(a, std::abs(i), std::abs(j), status);
        if (status < 0) return outcome::failed;
        if (status != 0) return outcome::go_on;
        --restarts_left;
        return outcome::restart;
    }

    int width(int e) const { return va.at(e).arc ? kArcRecordEntries : 1; }

    // Row i of a partner search, read once for the rows asked after it: its elements and whether
    // it stands at a vertex of A (copied: the search writes to the table, so a reference would be
    // read again for every row asked), its point, the width of its element of A, the element
    // before the vertex it stands at (0: none), and the straight elements that may hold its point
    // (its own of A and of B, that one before the vertex), each read when first asked and holding
    // no line where the point lies off it: a partner's point is tested against them only.
    enum row_line { own_a, own_b, before_vertex };
    struct row_elements {
        int a, b, vertex_a;
    };
    struct searched_row {
        row_elements r;
        double p[2];
        int width;
        int previous;
        double stretch_b;
        straight_line lines[3] = {};
        bool read[3] = {false, false, false};
    };
    searched_row searched(int i) const
    {
        const luplup_row& r = w.rows[i];
        return {{r.a, r.b, r.vertex_a}, {r.x, r.y}, width(r.a), r.vertex_a ? va.previous(r.a) : 0, stretch_on_b(r.b)};
    }
    [[gnu::always_inline]] const straight_line& line_of(searched_row& s, row_line k) const
    {
        if (!s.read[k]) {
            s.read[k] = true;
            const int e = k == own_a ? s.r.a : k == own_b ? s.r.b : s.previous;
            const double stretch = k == own_b ? s.stretch_b : 1.0;
            if (k == own_b || e > 0) {
                const straight_line& line = straight_of(k == own_b ? vb : va, e);
                if (line.holds(s.p, stretch)) s.lines[k] = line;
            }
        }
        return s.lines[k];
    }

    // Whether row j stands on an element of A next to row i's (or on the same one). The width of
    // an element is 1 or an arc record's: only an element that far before i's can end at it.
    [[gnu::always_inline]] bool a_neighbours(const searched_row& s, int j) const
    {
        const luplup_row& rj = w.rows[j];
        const int ei = s.r.a, ej = rj.a;
        if (ei == ej || ei + s.width == ej) return true;
        const int gap = ei - ej;
        if ((gap == 1 || gap == kArcRecordEntries) && width(ej) == gap) return true;
        const int last = va.last();
        if ((ei == last && ej == 1) || (ej == last && ei == 1)) return true;
        return (s.r.vertex_a && gap == 2) || (rj.vertex_a && gap == -2);
    }

    // The straight element e of a loop, read once for the partner search of one row and the rows
    // after it, which ask for a few neighbouring elements again and again (straight_memo_block).
    [[gnu::always_inline]] const straight_line& straight_of(const loop_view& v, int e) const
    {
        straight_memo::slot& m = straight_memo_block.slots[static_cast<unsigned>(e) % straight_memo::kSlots];
        if (m.clean_up != clean_up || m.loop != &v.p || m.element != e) m = {clean_up, &v.p, e, straight_line(v, e)};
        return m.line;
    }

    // Whether point p is an end of the straight element e (its far end stretched as on_straight
    // stretches it).
    static bool at_an_end(const loop_view& v, int e, const double* p, double stretch)
    {
        const chain_element c = v.at(e);
        const double sx = v.p.x[c.start], sy = v.p.y[c.start];
        const double start[2] = {sx, sy};
        const double end[2] = {sx + stretch * (v.p.x[c.end] - sx), sy + stretch * (v.p.y[c.end] - sy)};
        return pk_eq_pnt2(p, start) || pk_eq_pnt2(p, end);
    }

    // Whether the straight element e of loop v holds both points (the one likelier off it first).
    [[gnu::always_inline]] bool holds_both(const loop_view& v, int e, const double* first, const double* second,
                                           double stretch) const
    {
        const straight_line& line = straight_of(v, e);
        return line.holds(first, stretch) && line.holds(second, stretch);
    }

    // Which of the elements of A that rows i and j may share hold both points (ea: the rows' own
    // and the one before the vertex a row stands at; one asked twice is asked once), and whether
    // one does. Row i's elements already hold its point or hold nothing; on row j's, the point of
    // row i is the one likelier off it: it is tested first.
    [[gnu::always_inline]] bool both_on_a(searched_row& s, const luplup_row& rj, const double* pj, int (&ea)[3],
                                          bool (&on)[3]) const
    {
        ea[0] = s.r.a, ea[1] = rj.a;
        ea[2] = s.r.vertex_a ? s.previous : rj.vertex_a ? va.previous(rj.a) : 0;
        on[0] = line_of(s, own_a).holds(pj, 1.0);
        on[1] = ea[1] > 0 && ea[1] != ea[0] && holds_both(va, ea[1], s.p, pj, 1.0);
        on[2] = ea[2] > 0 && ea[2] != ea[0] && ea[2] != ea[1] &&
                (s.r.vertex_a ? line_of(s, before_vertex).holds(pj, 1.0) : holds_both(va, ea[2], pj, s.p, 1.0));
        return on[0] || on[1] || on[2];
    }

    // The same for the elements of B: the rows' own (the far end of the last one stretched as the
    // search stretches it).
    [[gnu::always_inline]] bool both_on_b(searched_row& s, const luplup_row& rj, const double* pj,
                                          bool (&on)[2]) const
    {
        on[0] = line_of(s, own_b).holds(pj, s.stretch_b);
        on[1] = rj.b != s.r.b && holds_both(vb, rj.b, s.p, pj, stretch_on_b(rj.b));
        return on[0] || on[1];
    }
    double stretch_on_b(int e) const { return e == vb.last() ? 2.0 : 1.0; }

    // Whether rows i and j bound a piece that an element of A and an element of B share. Both
    // points lie on both elements; and since two straight elements share a stretch of one line
    // only from an end of one of them to an end of one of them, each point is such an end. Where
    // three elements cross within the tolerance of each other, two of the crossings lie on both
    // lines as well, away from every end: they stay crossings.
    [[gnu::always_inline]] bool shared_piece(searched_row& s, int j) const
    {
        const luplup_row& rj = w.rows[j];
        const double pj[2] = {rj.x, rj.y};
        int ea[3];
        bool on_a[3], on_b[2];
        // Most pairs share an element of one loop only: the other loop's test is asked first.
        const bool a_first = s.r.b == rj.b;
        if (a_first && !both_on_a(s, rj, pj, ea, on_a)) return false;
        if (!both_on_b(s, rj, pj, on_b)) return false;
        if (!a_first && !both_on_a(s, rj, pj, ea, on_a)) return false;
        const int eb[2] = {s.r.b, rj.b};
        return ends_shared(s.p, pj, ea, on_a, eb, on_b);
    }

    // Whether an element of A and one of B that hold both points have each point at an end of
    // one of them.
    [[gnu::noinline]] bool ends_shared(const double* pi, const double* pj, const int (&ea)[3], const bool (&on_a)[3],
                                       const int (&eb)[2], const bool (&on_b)[2]) const
    {
        for (int n = 0; n < 3; ++n)
            for (int m = 0; m < 2 && on_a[n]; ++m) {
                if (!on_b[m]) continue;
                const double stretch = stretch_on_b(eb[m]);
                const bool ends = (at_an_end(va, ea[n], pi, 1.0) || at_an_end(vb, eb[m], pi, stretch)) &&
                                  (at_an_end(va, ea[n], pj, 1.0) || at_an_end(vb, eb[m], pj, stretch));
                if (ends) return true;
            }
        return false;
    }

    // Classifies the shared piece between rows i and j and marks them. false: the candidate
    // does not end the partner search.
    [[gnu::noinline]] outcome classify(int i, int j, bool by_b, int sweep, bool& ended) const
    {
        ended = false;
        const luplup_row& ri = w.rows[i];
        const luplup_row& rj = w.rows[j];
        double piece[2] = {rj.x - ri.x, rj.y - ri.y};
        double length = 0.0;
        int status = 0;
        v2untd(piece, length, status);
        if (status != 0) {
            // Two rows at one point of a shared piece: break it apart.
            const outcome o = by_b ? nudge(ri.a, rj.a) : nudge(elem_b[i], elem_b[j]);
            return o;
        }
        if (md.self && sweep == 0) return outcome::go_on;
        ended = true;
        const double dot_i = ri.a_out[0] * piece[0] + ri.a_out[1] * piece[1];
        const double dot_j = rj.a_out[0] * piece[0] + rj.a_out[1] * piece[1];
        const bool i_ref = std::fabs(dot_i) > std::fabs(dot_j);
        const double* ref = i_ref ? ri.a_out : rj.a_out;
        const bool forward = (i_ref ? dot_i : dot_j) > 0.0;
        const luplup_row& f = forward ? ri : rj;
        const luplup_row& s = forward ? rj : ri;
        const double along[2] = {forward ? piece[0] : -piece[0], forward ? piece[1] : -piece[1]};
        const bool all_along =
            same_direction(f.b_in, f.b_out) && same_direction(s.b_in, s.b_out) && same_direction(f.b_in, along);
        const bool against =
            eqvl0d(f.b_in[0] * piece[1] - f.b_in[1] * piece[0]) && same_direction(f.b_in, s.b_out) && !all_along;
        const double* d1 = f.a_in;
        const double* d2 = s.a_out;
        double d3[2], d4[2];
        if (against) {
            d3[0] = -f.b_out[0], d3[1] = -f.b_out[1];
            d4[0] = -s.b_in[0], d4[1] = -s.b_in[1];
        } else {
            d3[0] = f.b_in[0], d3[1] = f.b_in[1];
            d4[0] = s.b_out[0], d4[1] = s.b_out[1];
        }
        int crossing = 0;
        junction_crosses(d1, d2, d3, d4, ref, crossing);
        const bool run_on = same_direction(d2, d4) || same_direction(d1, d3);
        if (run_on) {
            const outcome o = against ? nudge(elem_b[j], elem_b[i]) : nudge(elem_b[i], elem_b[j]);
            if (o != outcome::go_on) return o;
            w.rows[i].coincidence = w.rows[j].coincidence = 1;
        }
        mark(i, j, crossing != 0, run_on);
        return outcome::go_on;
    }

    void mark(int i, int j, bool crossing, bool run_on) const
    {
        if (crossing && elem_a[i] > 0 && elem_a[j] > 0) {
            elem_b[i] = -std::abs(elem_b[i]);
            elem_b[j] = -std::abs(elem_b[j]);
            return;
        }
        if (elem_a[i] <= 0 && elem_a[j] > 0) std::swap(i, j);
        if (elem_a[i] <= 0) return;
        if (elem_b[i] > 0) elem_b[i] = -elem_b[i];
        w.rows[j].far_end = 1;
        if (!run_on && elem_a[j] > 0) elem_a[j] = -elem_a[j];
    }

    // Self-contact of row i with the row after it: the element there is nudged.
    outcome self_contact(int i) const
    {
        const int n = i + 1 < w.count ? i + 1 : 0;
        const luplup_row& ri = w.rows[i];
        const luplup_row& rn = w.rows[n];
        const double pi[2] = {ri.x, ri.y}, pn[2] = {rn.x, rn.y};
        int e = 0;
        if (pk_eq_pnt2(pi, pn))
            e = ri.b != rn.b && ri.b != rn.a ? ri.b : rn.b;
        else if (ri.b == va.next(ri.a))
            e = ri.b;
        if (e <= 0 || va.at(e).arc) return outcome::go_on;
        return nudge(e, e);
    }

    // The rows on row i's element of A and on the elements up to an arc record's width before and
    // after it, read outward from row i (the table is ordered along A). The rows round a row on
    // the same element as the row before it are that row's: read outward from it, the same rows
    // pass (the clean-up writes no element of the table), so the last answer is kept.
    mutable int round_of = -1;
    mutable row_range round{0, 0};
    row_range rows_round(int i) const
    {
        const int e = w.rows[i].a;
        if (round_of == i || (i > 0 && round_of == i - 1 && w.rows[i - 1].a == e)) {
            round_of = i;
            return round;
        }
        int first = i, end = i + 1;
        while (first > 0 && w.rows[first - 1].a >= e - kArcRecordEntries) --first;
        while (end < w.count && w.rows[end].a <= e + kArcRecordEntries) ++end;
        round_of = i, round = {first, end};
        return round;
    }

    // The ranges of rows_near for row i's element of A: the one round row i, and those across
    // the closing point.
    near_rows rows_near_row(int i) const
    {
        const int e = w.rows[i].a, last = va.last();
        near_rows near;
        if (e == last) near.ranges[near.count++] = rows_between(w, 1, 1);
        near.ranges[near.count++] = rows_round(i);
        if (e == 1) near.ranges[near.count++] = rows_between(w, last, last);
        return near;
    }

    // The rows on element b of B (one that holds a row) in table order: the first of them and
    // each one's next (-1 after the last), from the chains made when the rows were counted by
    // element, else from by_b.
    struct row_chain {
        int row;
        const int* next;
    };
    [[gnu::always_inline]] row_chain rows_on_b(int b) const
    {
        const first_sweep_memo& m = first_sweep;
        if (!m.per_b.empty()) return {m.first_on_b[static_cast<std::size_t>(b)], m.next_on_b.data()};
        const auto first =
            std::lower_bound(by_b.begin(), by_b.end(), b, [this](int row, int value) { return w.rows[row].b < value; });
        return {first != by_b.end() && w.rows[*first].b == b ? *first : -1, candidates.data()};
    }

    // Asks `ask` of each row a partner of row i may be (neighbours on A, and in the first sweep of a
    // self search the rows on the same element of B) in table order, each once, until it answers
    // true; answers whether it did. The rows of B's element are merged into the ranges of A's
    // neighbours as they are read.
    template <class Ask> [[gnu::always_inline]] bool any_candidate(int i, int sweep, Ask ask) const
    {
        near_rows near = rows_near_row(i);
        const int ranges = in_table_order(near);
        row_chain on_b{-1, nullptr};
        if (md.self && sweep == 0) on_b = rows_on_b(w.rows[i].b);
        int& j = on_b.row;
        for (int k = 0; k < ranges; ++k) {
            const row_range r = near.ranges[k];
            for (; j >= 0 && j < r.first; j = on_b.next[j])
                if (ask(j)) return true;
            while (j >= 0 && j < r.last) j = on_b.next[j];  // read with the range
            for (int t = r.first; t < r.last; ++t)
                if (ask(t)) return true;
        }
        for (; j >= 0; j = on_b.next[j])
            if (ask(j)) return true;
        return false;
    }

    // What asking a row for a partner found: none, or a partner by A (a row on a neighbouring
    // element) or by B (a row on the same element of B, asked in the first sweep only).
    enum class asked { none, by_a, by_b };

    // Asks row j for a partner of row i: answers whether the search of row i ends (with o), and
    // in `found` what j is.
    [[gnu::always_inline]] bool ends_search(searched_row& s, int i, int j, int sweep, outcome& o,
                                            asked& found) const
    {
        found = asked::none;
        if (j == i || kept_no_partner(s, j)) return false;
        const bool by_a = a_neighbours(s, j);
        const bool by_b = !by_a && md.self && sweep == 0 && s.r.b == w.rows[j].b;
        if ((!by_a && !by_b) || !shares_piece(s, i, j, by_a)) return false;
        found = by_a ? asked::by_a : asked::by_b;
        bool ended = false;
        o = classify(i, j, by_b, sweep, ended);
        return o != outcome::go_on || ended;
    }

    // Whether row j, searched in full in a self search's first sweep, kept no partner: it shares a
    // piece with no row (shares_piece), so it is not asked further; save where both rows stand at a
    // vertex of A, as there each end also tries an element of its own.
    [[gnu::always_inline]] bool kept_no_partner(const searched_row& s, int j) const
    {
        if (!md.self) return false;
        const row_range of_j = first_partners_block.of[static_cast<std::size_t>(j)];
        return of_j.first >= 0 && of_j.first == of_j.last && !(s.r.vertex_a && w.rows[j].vertex_a);
    }

    // Whether rows i and j share a piece (shared_piece). A self search's row j searched in full
    // in the first sweep asked row i the same (i is among its candidates when j is among i's, by A
    // or by B) and kept i when they do; the answer is the same from either end, save where both
    // rows stand at a vertex of A: each end then also tries the element before its own vertex.
    [[gnu::always_inline]] bool shares_piece(searched_row& s, int i, int j, bool by_a) const
    {
        if (md.self && !(s.r.vertex_a && w.rows[j].vertex_a)) {
            const first_partners& known = first_partners_block;
            const row_range of_j = known.of[static_cast<std::size_t>(j)];
            if (of_j.first >= 0) {
                const int* found = known.rows.data();
                return std::find(found + of_j.first, found + of_j.last, by_a ? i : ~i) != found + of_j.last;
            }
        }
        return shared_piece(s, j);
    }

    [[gnu::always_inline]] outcome partner_search(int i, int sweep) const
    {
        first_partners& known = first_partners_block;
        if (md.self && sweep == 1 && known.of[static_cast<std::size_t>(i)].first >= 0)
            return ask_known_partners(i, known.of[static_cast<std::size_t>(i)]);
        const bool record = md.self && sweep == 0;
        const int first_known = static_cast<int>(known.rows.size());
        searched_row s = searched(i);
        // A row beside i found no partner is not asked again: until the search of row i ends, it
        // marks nothing and moves nothing, so the answer stays.
        int no_partner[2] = {-1, -1};
        outcome o = outcome::go_on;
        // Asks row j (`beside`: which of the two rows beside i it is, -1 for neither).
        const auto ends = [&](int j, int beside) __attribute__((always_inline))
        {
            if (beside < 0 && (j == no_partner[0] || j == no_partner[1])) return false;
            asked found = asked::none;
            if (ends_search(s, i, j, sweep, o, found)) return true;
            if (beside >= 0 && found == asked::none) no_partner[beside] = j;
            if (record && found != asked::none) known.rows.push_back(found == asked::by_a ? j : ~j);
            return false;
        };
        // The two rows beside i first, then every row that can be a partner in table order.
        if (ends(i > 0 ? i - 1 : w.count - 1, 0) || ends(i + 1 < w.count ? i + 1 : 0, 1) ||
            any_candidate(
                i, sweep, [&ends](int j) __attribute__((always_inline)) { return ends(j, -1); }))
            return o;
        if (record) known.record(i, first_known);
        return outcome::go_on;
    }

    // The second sweep's search of row i among the partners the first sweep found for it.
    outcome ask_known_partners(int i, row_range partners) const
    {
        for (int k = partners.first; k < partners.last; ++k) {
            const int j = first_partners_block.rows[static_cast<std::size_t>(k)];
            if (j < 0) continue;  // a partner on the element of B, which the second sweep does not ask
            bool ended = false;
            const outcome o = classify(i, j, false, 1, ended);
            if (o != outcome::go_on || ended) return o;
        }
        return outcome::go_on;
    }

    // Whether the first sweep may pass over row i: it passed before a restart, and its check
    // reads the same rows at the same places, none near what the nudge moved.
    bool passed_before(int i) const
    {
        const first_sweep_memo& m = first_sweep;
        if (i < 1 || i >= m.limit || i + 1 >= m.prefix) return false;
        const luplup_row& r = w.rows[i];
        // Rows near the closing point read the rows at the table's other end.
        if (r.a <= kReadReach || r.a >= va.last() - kReadReach) return false;
        const row_range near = rows_round(i);
        if (near.last >= m.prefix) return false;
        const int first = std::min(i - 1, near.first), last = std::max(i + 1, near.last - 1);
        const std::size_t b = static_cast<std::size_t>(r.b);
        return m.near_moved_before[static_cast<std::size_t>(last) + 1] == m.near_moved_before[static_cast<std::size_t>(first)] &&
               !m.b_near_moved(r.b) && m.per_b[b] == m.per_b_prefix[b] && m.per_b_before[b] == m.per_b_prefix[b];
    }

    // The rows of each element of B chained in table order. Rows counted by element were chained
    // while counted; others are ordered by their element (by_b, the rows of one element in
    // table order) and chained from that order.
    [[gnu::always_inline]] void order_by_b() const
    {
        if (!first_sweep.per_b.empty()) return;
        const std::size_t n = static_cast<std::size_t>(w.count);
        by_b.resize(n);
        std::iota(by_b.begin(), by_b.end(), 0);
        std::stable_sort(by_b.begin(), by_b.end(), [this](int p, int q) { return w.rows[p].b < w.rows[q].b; });
        candidates.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            const bool same = k + 1 < n && w.rows[by_b[k + 1]].b == w.rows[by_b[k]].b;
            candidates[static_cast<std::size_t>(by_b[k])] = same ? by_b[k + 1] : -1;
        }
    }

    // The sweeps; `nudged_at` answers the row of the first sweep that restarted the search (the
    // table's count when none did).
    outcome sweeps(int& nudged_at) const
    {
        nudged_at = w.count;
        const int passes = md.self ? 2 : 1;
        if (md.self) {
            order_by_b();
            first_partners_block.start(w.count);
        }
        const bool may_pass = md.self && first_sweep.limit > 0;
        for (int sweep = 0; sweep < passes; ++sweep)
            for (int i = 0; i < w.count; ++i) {
                if (may_pass && sweep == 0 && passed_before(i)) continue;
                if (md.self && sweep == 0 && w.count > 1) {
                    const outcome o = self_contact(i);
                    if (o != outcome::go_on) {
                        nudged_at = i;
                        return o;
                    }
                }
                const outcome o = partner_search(i, sweep);
                if (o != outcome::go_on) {
                    if (sweep == 0) nudged_at = i;
                    return o;
                }
            }
        return outcome::go_on;
    }

    // Junction classification of the rows at vertices: touching rows get a negative element of
    // B; rows where A and B run on together are marked (and nudged in a self search).
    outcome junctions() const
    {
        for (int i = 0; i < w.count; ++i) {
            luplup_row& r = w.rows[i];
            if (!(r.vertex_a || r.vertex_b) || elem_b[i] < 0) continue;
            const double* a_dirs[2] = {r.a_in, r.a_out};
            const double* b_dirs[2] = {r.b_in, r.b_out};
            bool together = false;
            for (const double* u : a_dirs)
                for (const double* v : b_dirs) together = together || same_direction(u, v);
            if (together) {
                if (!r.far_end) {
                    const outcome o = nudge(elem_b[i], elem_b[i]);
                    if (o != outcome::go_on) return o;
                }
                r.coincidence = 1;
            }
            int touching = 0;
            chkjunc(2, r.a_in, r.a_out, r.b_in, r.b_out, touching);
            if (touching == 1) elem_b[i] = -std::abs(elem_b[i]);
        }
        if (md.units == 0) return outcome::go_on;
        int positive = 0;
        for (int i = 0; i < w.count; ++i) positive += elem_b[i] > 0 ? 1 : 0;
        if (positive % 2 == 0) return outcome::go_on;
        // Crossings of closed loops come in pairs: an odd count marks a run-on point as touching.
        for (int i = 0; i < w.count; ++i)
            if (w.rows[i].coincidence && elem_b[i] > 0) {
                elem_b[i] = -elem_b[i];
                break;
            }
        return outcome::go_on;
    }
};

// Self search: two successive rows of one touching contact become one row.
void merge_touching_rows(luplup_work& w, int* elem_b)
{
    for (int i = 0; w.count > 1 && i < w.count; ++i) {
        const int j = i + 1 < w.count ? i + 1 : 0;
        luplup_row& p = w.rows[i];
        luplup_row& q = w.rows[j];
        if (elem_b[i] <= 0 || elem_b[j] <= 0 || !(p.contact || q.contact)) continue;
        const bool shared = p.b == q.b || p.a == q.a || p.a == q.b || p.b == q.a;
        if (!shared || std::fabs(p.x - q.x) > kMergeReach || std::fabs(p.y - q.y) > kMergeReach) continue;
        p.a = std::min(p.a, q.a);
        p.b = std::max(p.b, q.b);
        elem_b[i] = p.b;
        for (int k = j; k + 1 < w.count; ++k) {
            w.rows[k] = w.rows[k + 1];
            elem_b[k] = elem_b[k + 1];
        }
        --w.count;
        if (j < i) --i;
    }
}

// The rebuilt groups of B after a nudge (the search reads no group box).
pk_box_table luplup_boxes_block;

// The index of B, rebuilt by every search; kept between calls only so that its lists keep
// their storage (a small loop's search then allocates nothing).
pk_elem_index luplup_index_block;

// Whether element e of A (a line, or a whole arc record) may meet an element of B. Inlined: the
// scan asks it for nearly every element of A.
[[gnu::always_inline]] inline bool element_reaches(const pokarr& a, const pk_elem_index& index, int e)
{
    const double* x = a.x;
    const double* y = a.y;
    if (!pk_is_marker(x[e])) return pk_elem_index_reaches(index, 0, 0.0, 0.0, 0.0, x[e - 1], y[e - 1], x[e], y[e]);
    return pk_elem_index_reaches(index, 1, x[e + 2], y[e + 2], x[e + 1], x[e - 1], y[e - 1], x[e + 3], y[e + 3]);
}

// The first element of A from e on that may meet an element of B (pk_elem_index_reaches), or 0
// when none does before A's end or a broken element: the walks of the elements passed over would
// end at once. Nearly all elements of a large loop lie far from B, so the scan reads the entries
// directly instead of building every element. When the index is A's own (`own_index`), an
// element whose start entry is no marker is in it: the box of its ends lies in its listed box, so
// in the index's box, and in the box holding the element, which therefore reaches.
// Kept out of line, as the compiler kept it when the search had no other way to its elements:
// inlined, it crowds the clean-up's steps out of the search.
[[gnu::noinline]] int next_reaching(const pokarr& a, const pk_elem_index& index, int e, bool own_index)
{
    const double* x = a.x;
    while (e >= 1 && e < a.count) {
        const bool listed = own_index && !pk_is_marker(x[e - 1]);
        if (!pk_is_marker(x[e])) {
            if (listed || element_reaches(a, index, e)) return e;
            ++e;
            continue;
        }
        if (e + 3 >= a.count) return 0;
        if (listed || element_reaches(a, index, e)) return e;
        e += kArcRecordEntries;
    }
    return 0;
}

// The same, answered inline for an element of a loop searched in its own index whose start entry
// is no marker (nearly every one): it is listed, so it is the next one.
[[gnu::always_inline]] inline int next_reaching_fast(const pokarr& a, const pk_elem_index& index, int e, bool own_index)
{
    if (own_index && e >= 1 && e + 3 < a.count && !pk_is_marker(a.x[e - 1])) return e;
    return next_reaching(a, index, e, own_index);
}

// The elements of A a search walks, in order: those next_reaching finds, taken from the
// caller's list when it holds them (B's index box within the list's box), else by its scan.
struct reaching_order {
    const pokarr& a;
    const pk_elem_index& index;
    bool own_index;
    const std::vector<int>* listed = nullptr;
    std::size_t at = 0;  // the next place of the list to look at

    reaching_order(const pokarr& loop, const pk_elem_index& b_index, bool own, const luplup_near* near)
        : a(loop), index(b_index), own_index(own)
    {
        const double* b = index.box;
        if (near != nullptr && !own && near->count == a.count && b[0] >= near->box[0] && b[1] >= near->box[1] &&
            b[2] <= near->box[2] && b[3] <= near->box[3])
            listed = near->elements;
    }
    // The first element from e on that reaches B, or 0. The list skips only elements that do not
    // reach, and ends before a broken record, where the scan would end too.
    int next(int e)
    {
        if (listed == nullptr) return next_reaching(a, index, e, own_index);
        const std::vector<int>& list = *listed;
        while (at < list.size() && list[at] < e) ++at;
        for (; at < list.size(); ++at)
            if (element_reaches(a, index, list[at])) return list[at];
        return 0;
    }
};

// The walks of a self search kept for its restarts after nudges (walk_memo), one per element of
// the loop, with the entries as they were when they were walked.
struct walk_memos {
    bool kept = false;  // walks are kept (a self search of one loop)
    std::vector<walk_memo> walks;
    std::vector<walk_state> states;  // of each walk, kept apart: most replays never read them
    walk_rows rows;  // what they made (a walk made again adds its rows at the end)
    std::size_t compacted_rows = 0;  // the rows held when first filled or last compacted
    std::vector<double> x, y;  // the entries the walks were made on
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
        for (int at = k; at > 0 && after(in_order[at - 1], in_order[at]); --at) std::swap(in_order[at - 1], in_order[at]);
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

// A self search of a loop of fewer entries walks every element again after a nudge: keeping its
// walks would cost about what walking them does.
constexpr int kKeptWalksEntries = 1000;

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
template <typename F>
void for_each_moved(const walk_memos& memos, int ring, F f)
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

// One search of A against B into the working table; false when it overflowed.
[[gnu::always_inline]] inline bool search_all(const loop_view& va, const loop_view& vb, const mode_digits& md,
                                              const pk_box_table& boxes, const luplup_columns& out, int& found_total,
                                              walk_memos& memos, pk_box_table* regroup_into)
{
    luplup_work& w = luplup_work_block;
    // The table of the search before serves only as the clean-up left it: the same rows, marked.
    memos.table_kept = memos.table_kept && w.count == memos.table_count && w.rows == memos.table_rows;
    w.count = 0;
    found_total = 0;
    // Every element of A meets only the elements of B near it, a line only those along it. A
    // restart of a search that keeps its walks patches the index of the search before (built for
    // the entries the memos hold) where a nudge moved a few entries.
    pk_elem_index& index = luplup_index_block;
    const bool patched = memos.kept && memos.indexed && memos.x.size() == static_cast<std::size_t>(vb.p.count) &&
                         pokarr_elem_index_patch(vb.p.count, vb.p.x, vb.p.y, memos.x.data(), memos.y.data(), index);
    if (!patched) pokarr_elem_index_along(vb.p.count, vb.p.x, vb.p.y, index);
    memos.indexed = memos.kept;
    const bool own_index = &va.p == &vb.p;
    if (regroup_into != nullptr && !memos.kept) pokarr_get_groups(vb.p, *regroup_into);
    if (memos.kept) {
        const std::size_t elements = static_cast<std::size_t>(va.p.count) + 1;
        forget_moved_walks(va.p, index, memos);
        if (memos.walks.size() != elements) memos.pass_of.assign(elements, -1);
        memos.walks.resize(elements);
        memos.states.resize(elements);
        compact_kept_rows(memos);
        if (regroup_into != nullptr) regroup(va.p, memos, *regroup_into);
        remember_entries(va.p, memos);
        ++memos.pass;
        walk_kept(va, vb, md, boxes, index, own_index, next_reaching(va.p, index, 1, own_index), out, found_total,
                  memos);
        return w.count >= 0;
    }
    reaching_order order(va.p, index, own_index, out.near);
    for (int from = 1;;) {
        const int e = order.next(from);
        if (e <= 0) break;
        from = va.at(e).next;
        if (!walk_element(va, vb, md, boxes, index, e, out, found_total, nullptr)) break;
    }
    return w.count >= 0;
}

// The elements of the table's rows into the columns. The table's count and rows are read once:
// a store through the columns might otherwise be taken to change them.
void elements_out(const luplup_work& w, int* elem_a, int* elem_b)
{
    const luplup_row* rows = w.rows;
    const int count = w.count;
    for (int i = 0; i < count; ++i) elem_a[i] = rows[i].a, elem_b[i] = rows[i].b;
}

// The table's rows into the columns once the clean-up is done: the element of A and the point of
// each (the clean-up has written the element of B, signed), read as elements_out reads them.
void points_out(const luplup_work& w, const luplup_columns& out)
{
    const luplup_row* rows = w.rows;
    const int count = w.count;
    int* elem_a = out.elem_a;
    double *x = out.x, *y = out.y;
    for (int i = 0; i < count; ++i) elem_a[i] = rows[i].a, x[i] = rows[i].x, y[i] = rows[i].y;
}

}  // namespace

bool luplup_walks_kept = true;

int luplup_capacity(int mode) { return digits_of(mode).self ? kLuplupSelfRows : kLuplupRows; }

void luplup_into(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, luplup_columns& out, int& count,
                 int& result)
{
    const mode_digits md = digits_of(mode);
    luplup_work& w = luplup_work_block;
    // A search that outgrew the kept rows gives its host array back on every way out.
    struct rows_given_back {
        luplup_work& w;
        ~rows_given_back() { give_back_rows(w); }
    } given_back{w};
    w.count = 0;
    count = 0;
    result = 0;
    if (a.x == nullptr || a.y == nullptr || b.x == nullptr || b.y == nullptr || a.count < 2 || b.count < 2 ||
        a.dimension < 2 || b.dimension < 2)
        return;
    // A loop searched against itself is checked once; one the caller found finite is not.
    const luplup_near* near = out.near;
    const bool a_finite = near != nullptr && near->finite && near->count == a.count ? true : pokarr_finite(a);
    if (!a_finite || (&b != &a && !pokarr_finite(b))) {
        eroutc(kNotFiniteText, 0);
        count = kStatusOverflow;
        return;
    }
    int restarts_left = kLuplupRestarts;
    std::vector<int> by_b, candidates;
    const pk_box_table* boxes = &b_boxes;
    // After a nudge the search groups B's box table afresh, as far as the nudge changed it.
    pk_box_table* regroup_into = nullptr;
    int found_total = 0;
    // A self search of one large loop keeps its walks for the restarts after nudges.
    static walk_memos memos;
    memos.kept = md.self && !md.first_only && &a == &b && a.count >= kKeptWalksEntries && luplup_walks_kept;
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
    // It also keeps what the first sweep of its clean-up proved.
    static first_sweep_memo first_sweep;
    first_sweep.kept = memos.kept;
    first_sweep.passed = 0;
    first_sweep.per_b.clear();
    for (;;) {
        const loop_view va{a}, vb{b};
        // Growing columns make room for every row the search found (they may move).
        if (!search_all(va, vb, md, *boxes, out, found_total, memos, regroup_into) ||
            (w.count > out.capacity && !(out.grow != nullptr && out.grow(w.count, out)))) {
            count = kStatusOverflow;
            w.count = 0;
            return;
        }
        elements_out(w, out.elem_a, out.elem_b);
        if (md.units == 0 && !md.self) break;
        if (md.self) first_sweep.prepare(w, out.elem_b, b.count, memos.moved_known, memos.moved);
        const cleanup c{a, va, vb, md, w, out.elem_a, out.elem_b, restarts_left, by_b, candidates, first_sweep};
        int nudged_at = 0;
        outcome o = c.sweeps(nudged_at);
        if (o == outcome::go_on) o = c.junctions();
        if (o == outcome::failed) {
            count = kStatusOverflow;
            w.count = 0;
            return;
        }
        if (o == outcome::go_on) {
            if (md.self) merge_touching_rows(w, out.elem_b);
            break;
        }
        // A restart from the first sweep keeps what it proved; one from later forgets it.
        first_sweep.remember(w, nudged_at < w.count ? nudged_at : 0);
        regroup_into = &luplup_boxes_block;
        boxes = regroup_into;
    }
    points_out(w, out);
    count = w.count;
    if (count == 0 && found_total > 0) result = 1;
}

void LUPLUP(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, int* elem_a, int* elem_b, double* x,
            double* y, int& count, int& result)
{
    luplup_columns out{elem_a, elem_b, x, y, luplup_capacity(mode), nullptr};
    luplup_into(mode, a, b, b_boxes, out, count, result);
}

namespace {

// The status of luplup_pokarr after its search, and the heights of its rows (inlined into both
// entries, as it was into the one before).
[[gnu::always_inline]] inline void heights_of_rows(int mode, const pokarr& a, const pokarr& b, const int* elem_a,
                                                   const int* elem_b, const double* x, const double* y, double* z_a,
                                                   double* z_b, int count, int result, int& status)
{
    status = 0;
    if (count < 0) {
        status = kStatusOverflow;
        return;
    }
    const int units = digits_of(mode).units;
    if (units > 1 && count > 0 && a.dimension != 2 && z_a != nullptr && z_b != nullptr) {
        for (int i = 0; i < count; ++i) {
            double pa[3] = {x[i], y[i], 0.0}, pb[3] = {x[i], y[i], 0.0}, normal[3];
            int vertical = 0;
            pokarr_elem_ends(a, std::abs(elem_a[i]), pa, normal, vertical);
            pokarr_elem_ends(b, std::abs(elem_b[i]), pb, normal, vertical);
            z_a[i] = units == 4 ? pa[2] - pb[2] : pa[2];
            z_b[i] = pb[2];
        }
    }
    if (result != 0) status = result;
}

}  // namespace

void luplup_pokarr(int mode, pokarr& a, const pokarr& b, const pk_box_table& b_boxes, int* elem_a, int* elem_b,
                   double* x, double* y, double* z_a, double* z_b, int& count, int& status)
{
    int result = 0;
    LUPLUP(mode, a, b, b_boxes, elem_a, elem_b, x, y, count, result);
    heights_of_rows(mode, a, b, elem_a, elem_b, x, y, z_a, z_b, count, result, status);
}

void luplup_pokarr_near(int mode, pokarr& a, const luplup_near& near, const pokarr& b, const pk_box_table& b_boxes,
                        int* elem_a, int* elem_b, double* x, double* y, double* z_a, double* z_b, int& count,
                        int& status)
{
    int result = 0;
    luplup_columns out{elem_a, elem_b, x, y, luplup_capacity(mode), nullptr, &b == &a ? nullptr : &near};
    luplup_into(mode, a, b, b_boxes, out, count, result);
    heights_of_rows(mode, a, b, elem_a, elem_b, x, y, z_a, z_b, count, result, status);
}

void pokarr_intersect_test(int mode, pokarr& a, const pokarr& b, int& status)
{
    static pk_box_table boxes;
    static int elem_a[kLuplupSelfRows], elem_b[kLuplupSelfRows];
    static double x[kLuplupSelfRows], y[kLuplupSelfRows], z_a[kLuplupSelfRows], z_b[kLuplupSelfRows];
    pokarr_get_groups(b, boxes);
    int count = 0;
    luplup_pokarr(mode, a, b, boxes, elem_a, elem_b, x, y, z_a, z_b, count, status);
    if (status < 0) return;
    status = count > 0 ? 1 : 0;
}

void xy_self_intersect(double* x, double* y, int n, int& status)
{
    status = 0;
    pokarr loop;
    pokarr_init_static(2, x, y, nullptr, nullptr, n, n, loop, status);
    if (status < 0) return;
    pokarr_intersect_test(kLuplupFirstOnly + kLuplupSelf + 1, loop, loop, status);
}

void isect_sort_on_b(int count, const int* elem_a, const int* elem_b, const double* x, const double* y, const pokarr& b,
                     int* sorted_a, int* sorted_b, double* sorted_x, double* sorted_y)
{
    const loop_view vb{b};
    auto key = [&](int e, double px, double py) {
        const chain_element c = vb.at(e);
        if (!c.valid) return 0.0;
        if (c.arc) {
            double t = 0.0, tx = 0.0, ty = 0.0;
            arc_param_tangent(c.dir, c.cx, c.cy, b.x[c.start], b.y[c.start], b.x[c.end], b.y[c.end], px, py, t, tx, ty);
            return t;
        }
        const double dx = px - b.x[c.start], dy = py - b.y[c.start];
        return dx * dx + dy * dy;
    };
    for (int i = 0; i < count; ++i) {
        const int ea = std::abs(elem_a[i]), eb = std::abs(elem_b[i]);
        const double k = key(eb, x[i], y[i]);
        int at = i;
        while (at > 0 && (sorted_b[at - 1] > eb ||
                          (sorted_b[at - 1] == eb && key(sorted_b[at - 1], sorted_x[at - 1], sorted_y[at - 1]) > k))) {
            sorted_a[at] = sorted_a[at - 1], sorted_b[at] = sorted_b[at - 1];
            sorted_x[at] = sorted_x[at - 1], sorted_y[at] = sorted_y[at - 1];
            --at;
        }
        sorted_a[at] = ea, sorted_b[at] = eb, sorted_x[at] = x[i], sorted_y[at] = y[i];
    }
}

int isect_lists_differ(int count, const int* a1, const int* b1, const double* x1, const double* y1, const int* a2,
                       const int* b2, const double* x2, const double* y2)
{
    int last = 0;
    for (int i = 0; i < count; ++i)
        if (std::abs(a1[i]) != std::abs(a2[i]) || std::abs(b1[i]) != std::abs(b2[i]) || nevl0d(x1[i] - x2[i]) ||
            nevl0d(y1[i] - y2[i]))
            last = i + 1;
    return last;
}
