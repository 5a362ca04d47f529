// Crossings of two loops ordered along the first (LUPLUP), the plain search. Its steps:
//   1. Check the loops: every number finite.
//   2. Index B's elements (only those near an element of A can meet it).
//   3. Walk each element of A that reaches B along B, walking on after every crossing found;
//      each crossing becomes a row of the working table, placed on the following element when
//      it falls on an element's end, dropped when it repeats a row met from a neighbouring
//      element, and kept ordered along A.
//   4. Clean up (when the mode asks): pairs of rows that bound a piece A and B share are
//      classified and marked; in a self search a contact of the loop with itself nudges an
//      element and the search starts again from step 2.
//   5. Classify the rows at vertices: where B only touches A, B's element is negated.
//   6. In a self search, join the two rows of one touching contact.
//   7. Hand the rows to the caller's columns.
// The speed memos (loop_intersect_memos.hpp) take again what a restarted search found before
// and what the clean-up's first sweep found for its second; luplup_memos_block switches them,
// and with them off these steps alone make every row and mark.
#include "pocket_arrays/loop_intersect.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_intersect_memos.hpp"
#include "pocket_arrays/loop_intersect_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_nudge.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <utility>
#include <vector>

using namespace luplup;

luplup_memos luplup_memos_block;

namespace luplup {
luplup_work luplup_work_block;

// The index of B, rebuilt by every search; kept between calls only so that its lists keep
// their storage (a small loop's search then allocates nothing).
pk_elem_index luplup_index_block;
}  // namespace luplup

namespace {

constexpr const char* kTooManyText = "LUPLUP,TOO MANY INTERSECTION POINTS WITH ISLAND ";
constexpr const char* kNotFiniteText = "LUPLUP,LOOP HOLDS A NUMBER THAT IS NOT FINITE";
// Touching rows of a self search closer than this in x and y are one row.
constexpr double kMergeReach = 0.001;
// Rows a search's host array grows by when it outgrows what it holds, at the least; a larger
// array grows by half its rows, so that a search of many rows moves them a few times only.
constexpr int kRowGrowth = 1000;

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

}  // namespace

// ---- the walk of one element ---------------------------------------------------------------------

// Takes a row made by a walk into the table unless it repeats one; false when the table
// overflowed (count -1).
bool luplup::take_row(const loop_view& va, const loop_view& vb, const luplup_row& r, const luplup_columns& out,
                      bool* taken)
{
    const bool repeat = repeats_a_row(luplup_work_block, r, va, vb);
    if (taken != nullptr) *taken = !repeat;
    return repeat || insert_row(r, out);
}

// Inserts a row found no repeat; false when the table overflowed (count -1).
bool luplup::insert_row(const luplup_row& r, const luplup_columns& out)
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
bool luplup::walk_element(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
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

namespace {

// ---- the clean-up --------------------------------------------------------------------------------

bool same_direction(const double* u, const double* v) { return eqvald(u[0], v[0]) && eqvald(u[1], v[1]); }

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
    // The memos switched on, and whether the first sweep's partners are kept for the second (a
    // self search).
    const luplup_memos memos = luplup_memos_block;
    const bool partners_kept = md.self && memos.partners;
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
        return straight_memo_block.line(v, e, clean_up, memos.lines);
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
    [[gnu::always_inline]] bool both_on_b(searched_row& s, const luplup_row& rj, const double* pj, bool (&on)[2]) const
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
    [[gnu::always_inline]] bool ends_search(searched_row& s, int i, int j, int sweep, outcome& o, asked& found) const
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
        if (!partners_kept) return false;
        const row_range of_j = first_partners_block.of[static_cast<std::size_t>(j)];
        return of_j.first >= 0 && of_j.first == of_j.last && !(s.r.vertex_a && w.rows[j].vertex_a);
    }

    // Whether rows i and j share a piece (shared_piece). A self search's row j searched in full
    // in the first sweep asked row i the same (i is among its candidates when j is among i's, by A
    // or by B) and kept i when they do; the answer is the same from either end, save where both
    // rows stand at a vertex of A: each end then also tries the element before its own vertex.
    [[gnu::always_inline]] bool shares_piece(searched_row& s, int i, int j, bool by_a) const
    {
        if (partners_kept && !(s.r.vertex_a && w.rows[j].vertex_a)) {
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
        if (partners_kept && sweep == 1 && known.of[static_cast<std::size_t>(i)].first >= 0)
            return ask_known_partners(i, known.of[static_cast<std::size_t>(i)]);
        const bool record = partners_kept && sweep == 0;
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
            if (partners_kept) first_partners_block.start(w.count);
        }
        const bool may_pass = md.self && first_sweep.limit > 0;
        for (int sweep = 0; sweep < passes; ++sweep)
            for (int i = 0; i < w.count; ++i) {
                if (may_pass && sweep == 0 &&
                    first_sweep.passed_before(w, va, i, [this](int row) { return rows_round(row); }))
                    continue;
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

// ---- touching contacts ---------------------------------------------------------------------------

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

// ---- the search ----------------------------------------------------------------------------------

// The rebuilt groups of B after a nudge (the search reads no group box).
pk_box_table luplup_boxes_block;

// Whether element e of A (a line, or a whole arc record) may meet an element of B. Inlined: the
// scan asks it for nearly every element of A.
[[gnu::always_inline]] inline bool element_reaches(const pokarr& a, const pk_elem_index& index, int e)
{
    const double* x = a.x;
    const double* y = a.y;
    if (!pk_is_marker(x[e])) return pk_elem_index_reaches(index, 0, 0.0, 0.0, 0.0, x[e - 1], y[e - 1], x[e], y[e]);
    return pk_elem_index_reaches(index, 1, x[e + 2], y[e + 2], x[e + 1], x[e - 1], y[e - 1], x[e + 3], y[e + 3]);
}

}  // namespace

// The first element of A from e on that may meet an element of B (pk_elem_index_reaches), or 0
// when none does before A's end or a broken element: the walks of the elements passed over would
// end at once. Nearly all elements of a large loop lie far from B, so the scan reads the entries
// directly instead of building every element. When the index is A's own (`own_index`), an
// element whose start entry is no marker is in it: the box of its ends lies in its listed box, so
// in the index's box, and in the box holding the element, which therefore reaches.
// Kept out of line, as the compiler kept it when the search had no other way to its elements:
// inlined, it crowds the clean-up's steps out of the search.
[[gnu::noinline]] int luplup::next_reaching(const pokarr& a, const pk_elem_index& index, int e, bool own_index)
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

namespace {

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

// One search of A against B into the working table; false when it overflowed. A
// self search that keeps its walks takes them from the search before where it can.
[[gnu::always_inline]] inline bool search_all(const loop_view& va, const loop_view& vb, const mode_digits& md,
                                              const pk_box_table& boxes, const luplup_columns& out, int& found_total,
                                              pk_box_table* regroup_into)
{
    if (walks_kept()) return search_keeping_walks(va, vb, md, boxes, out, found_total, regroup_into);
    luplup_work& w = luplup_work_block;
    w.count = 0;
    found_total = 0;
    // Every element of A meets only the elements of B near it, a line only those along it.
    pk_elem_index& index = luplup_index_block;
    pokarr_elem_index_along(vb.p.count, vb.p.x, vb.p.y, index);
    const bool own_index = &va.p == &vb.p;
    if (regroup_into != nullptr) pokarr_get_groups(vb.p, *regroup_into);
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
    // 1. A loop searched against itself is checked once; one the caller found finite is not.
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
    // A self search of one large loop keeps what its restarts after nudges may take again.
    const bool large_self = md.self && !md.first_only && &a == &b && a.count >= kKeptWalksEntries;
    start_kept_walks(large_self && luplup_memos_block.walks);
    first_sweep_memo& first_sweep = first_sweep_block;
    first_sweep.start(large_self && luplup_memos_block.first_sweep);
    for (;;) {
        const loop_view va{a}, vb{b};
        // 2, 3. Growing columns make room for every row the search found (they may move).
        if (!search_all(va, vb, md, *boxes, out, found_total, regroup_into) ||
            (w.count > out.capacity && !(out.grow != nullptr && out.grow(w.count, out)))) {
            count = kStatusOverflow;
            w.count = 0;
            return;
        }
        elements_out(w, out.elem_a, out.elem_b);
        if (md.units == 0 && !md.self) break;
        if (md.self) {
            moved_range moved;
            const bool known = kept_walks_moved(moved);
            first_sweep.prepare(w, out.elem_b, b.count, known, moved);
        }
        // 4, 5. The clean-up's sweeps, then the rows at vertices.
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
            // 6.
            if (md.self) merge_touching_rows(w, out.elem_b);
            break;
        }
        // A restart from the first sweep keeps what it proved; one from later forgets it.
        first_sweep.remember(w, nudged_at < w.count ? nudged_at : 0);
        regroup_into = &luplup_boxes_block;
        boxes = regroup_into;
    }
    // 7.
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
