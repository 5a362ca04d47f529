// The working table of the loop search (LUPLUP) and what the search's steps share with its
// speed memos: the rows, the mode digits, a loop read element by element, the rows near an
// element. Read by loop_intersect.cpp (the plain search) and the memo files beside it only.
#pragma once

#include "host/tolerance.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// The search's own names, hidden: called within the module only, and inlined where the compiler
// sees fit.
#pragma GCC visibility push(hidden)
namespace luplup {

constexpr int kStatusOverflow = -1;
constexpr int kNotOpen = -1;

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
extern luplup_work luplup_work_block;

struct mode_digits {
    bool first_only, self;
    int units;
};

inline mode_digits digits_of(int mode)
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
inline constexpr int kRowsSoughtFromEnd = 1024;

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
[[gnu::always_inline]] inline near_rows rows_near(const luplup_work& w, const loop_view& va, int e,
                                                  bool near_end = false)
{
    near_rows n;
    const int last = va.last();
    if (e == last) n.ranges[n.count++] = rows_between(w, 1, 1);
    n.ranges[n.count++] = rows_between(w, e - kArcRecordEntries, e + kArcRecordEntries, near_end);
    if (e == 1) n.ranges[n.count++] = rows_between(w, last, last);
    return n;
}

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

// Rows the search takes and the walk that finds them (loop_intersect.cpp).
bool insert_row(const luplup_row& r, const luplup_columns& out);
bool take_row(const loop_view& va, const loop_view& vb, const luplup_row& r, const luplup_columns& out,
              bool* taken = nullptr);
bool walk_element(const loop_view& va, const loop_view& vb, const mode_digits& md, const pk_box_table& boxes,
                  pk_elem_index& index, int a, const luplup_columns& out, int& found_total, walk_rows* kept);
int next_reaching(const pokarr& a, const pk_elem_index& index, int e, bool own_index);
// The index of B the last search built.
extern pk_elem_index luplup_index_block;

}  // namespace luplup
#pragma GCC visibility pop
