// The crossing table of two loops. cre_comlups_array finds the crossings (LUPLUP), orders a copy
// along B and links every row along A to its place along B; in its crossings modes it keeps only
// the crossings, each crossing of a loop with itself once. The lane engine's common loops walk the
// linked table; the loop removal reads a loop's table against itself.
#include "pocket_arrays/crossing_table.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

constexpr const char* kDimensionsText = "[cre_comlups_array] DIMENSIONS OF ARRAYS DIFFER";
constexpr const char* kNoLinkText = "COMLUP,PROBLEMS IN FINDING COMMON LOOP.";
constexpr int kNoLink = -9999;
constexpr int kPlanOnly = 10000;
constexpr int kLuplupLinked = 3;
constexpr int kFailed = -1;

// Position of a crossing on element e of a loop: distance from the start for a line, the arc
// parameter for an arc (its end angles kept in `arc_ends`, loop_arc_param).
double position_on(const pokarr& a, int e, double x, double y, std::vector<arc_end_angles>& arc_ends)
{
    if (e + 3 < a.count && pk_is_marker(a.x[e])) return loop_arc_param(a, e, x, y, arc_ends);
    return std::hypot(x - a.x[e - 1], y - a.y[e - 1]);
}

// A crossing of a loop with itself: its earlier and later elements, the point, and its position
// on the earlier element.
struct crossing_row {
    int a, b;
    double x, y, position;
};

// Sorts the rows stably by `before`, whose first key is the earlier element: a counting pass by
// element, then each element's rows by insertion (by std::stable_sort where one holds many). A
// stable sort has one outcome, so the order is std::stable_sort's; a loop's crossings spread over
// its elements a few to each, and this costs little more than a pass. std::stable_sort sorts a
// small table, and rows whose elements spread over far more numbers than there are rows.
template <class Before> void sort_by_element(std::vector<crossing_row>& rows, Before before)
{
    constexpr std::size_t kFewRows = 256, kFewOnElement = 32;
    static std::vector<crossing_row> sorted;
    static std::vector<std::size_t> first;
    if (rows.size() < kFewRows) {
        std::stable_sort(rows.begin(), rows.end(), before);
        return;
    }
    const auto [low, high] = std::minmax_element(
        rows.begin(), rows.end(), [](const crossing_row& p, const crossing_row& q) { return p.a < q.a; });
    const long span = static_cast<long>(high->a) - low->a;
    if (span > 4 * static_cast<long>(rows.size()) + 16) {
        std::stable_sort(rows.begin(), rows.end(), before);
        return;
    }
    const int base = low->a;
    first.assign(static_cast<std::size_t>(span) + 2, 0);
    for (const crossing_row& r : rows) ++first[static_cast<std::size_t>(r.a - base) + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    sorted.resize(rows.size());
    for (const crossing_row& r : rows) sorted[first[static_cast<std::size_t>(r.a - base)]++] = r;
    // Each element's rows now end where the next element's begin.
    for (std::size_t e = 0, start = 0; e + 1 < first.size(); start = first[e], ++e) {
        const auto from = sorted.begin() + static_cast<long>(start), to = sorted.begin() + static_cast<long>(first[e]);
        if (to - from > static_cast<long>(kFewOnElement)) {
            std::stable_sort(from, to, before);
            continue;
        }
        for (auto i = from + 1; i < to; ++i)
            for (auto at = i; at > from && before(*at, *(at - 1)); --at) std::iter_swap(at, at - 1);
    }
    rows.swap(sorted);
}

// A loop searched against itself meets every crossing from both of its elements: each crossing
// is kept once, as a row on the earlier element, and the rows are ordered along the loop again.
void crossings_once(const pokarr& a, int& count, const comlups_columns& t)
{
    using row = crossing_row;
    std::vector<row> rows;
    rows.reserve(static_cast<std::size_t>(count));
    static std::vector<arc_end_angles> arc_ends;
    loop_arc_angles_reset(a.count, arc_ends);
    for (int i = 0; i < count; ++i) {
        row r{std::min(t.elem_a[i], t.elem_b[i]), std::max(t.elem_a[i], t.elem_b[i]), t.x[i], t.y[i], 0.0};
        r.position = position_on(a, r.a, r.x, r.y, arc_ends);
        rows.push_back(r);
    }
    // Sorted by pair, the two rows of one crossing fall into one run.
    sort_by_element(rows, [](const row& p, const row& q) {
        if (p.a != q.a) return p.a < q.a;
        return p.b != q.b ? p.b < q.b : p.position < q.position;
    });
    auto along = [](const row& p, const row& q) {
        if (p.a != q.a) return p.a < q.a;
        return p.position != q.position ? p.position < q.position : p.b < q.b;
    };
    std::vector<row> once;
    for (const row& r : rows) {
        const double p[2] = {r.x, r.y};
        bool seen = false;
        for (auto k = once.rbegin(); k != once.rend() && k->a == r.a && k->b == r.b && !seen; ++k) {
            const double q[2] = {k->x, k->y};
            seen = pk_eq_pnt2(p, q) != 0;
        }
        if (!seen) once.push_back(r);
    }
    sort_by_element(once, along);
    rows.swap(once);
    count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i) {
        t.elem_a[i] = rows[static_cast<std::size_t>(i)].a;
        t.elem_b[i] = rows[static_cast<std::size_t>(i)].b;
        t.x[i] = rows[static_cast<std::size_t>(i)].x;
        t.y[i] = rows[static_cast<std::size_t>(i)].y;
    }
}

// Keeps the rows whose element of B is positive (crossings), compacted in order.
void keep_crossings(int& count, const comlups_columns& t)
{
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (t.elem_b[i] <= 0) continue;
        t.elem_a[kept] = t.elem_a[i], t.elem_b[kept] = t.elem_b[i];
        t.x[kept] = t.x[i], t.y[kept] = t.y[i];
        if (t.z_a != nullptr) t.z_a[kept] = t.z_a[i];
        if (t.z_b != nullptr) t.z_b[kept] = t.z_b[i];
        ++kept;
    }
    count = kept;
}

// Work columns of the linking: the rows ordered along B.
struct sorted_rows {
    int a[kComlupsRows], b[kComlupsRows];
    double x[kComlupsRows], y[kComlupsRows];
};

// Links every row along A to its place along B (1-based; negative for a touching row; -9999
// when none); in 3-D, rows crossing in plan only are marked and turned into touching pairs.
void link_rows(const pokarr& b, int count, const comlups_columns& t, double threshold, sorted_rows& s, int* link)
{
    isect_sort_on_b(count, t.elem_a, t.elem_b, t.x, t.y, b, s.a, s.b, s.x, s.y);
    for (int i = 0; i < count; ++i) {
        link[i] = kNoLink;
        for (int j = 0; j < count; ++j) {
            if (s.a[j] != std::abs(t.elem_a[i]) || s.b[j] != std::abs(t.elem_b[i])) continue;
            if (!pk_is_zero(s.x[j] - t.x[i]) || !pk_is_zero(s.y[j] - t.y[i])) continue;
            link[i] = t.elem_b[i] < 0 ? -(j + 1) : j + 1;
            break;
        }
    }
    if (b.dimension == 2 || t.z_a == nullptr || t.z_b == nullptr) return;
    for (int i = 0; i < count; ++i)
        if (link[i] > 0 && t.elem_b[i] > 0 && std::fabs(t.z_a[i] - t.z_b[i]) >= threshold) link[i] += kPlanOnly;
    for (int i = 0; i < count; ++i) {
        const int j = (i + 1) % count;
        if (j == i || link[i] < kPlanOnly || link[j] < kPlanOnly) continue;
        t.elem_b[i] = -t.elem_b[i], t.elem_b[j] = -t.elem_b[j];
        link[i] -= kPlanOnly, link[j] -= kPlanOnly;
    }
    for (int i = 0; i < count; ++i)
        if (link[i] > kPlanOnly) link[i] -= kPlanOnly;
}

// Removes the touching rows (negative element of B) from every column; links above a removed
// one come down by one.
void drop_touching(int& count, const comlups_columns& t, int* link)
{
    for (int i = count - 1; i >= 0; --i) {
        if (t.elem_b[i] > 0) continue;
        const int removed = std::abs(link[i]);
        for (int k = i; k + 1 < count; ++k) {
            t.elem_a[k] = t.elem_a[k + 1], t.elem_b[k] = t.elem_b[k + 1];
            t.x[k] = t.x[k + 1], t.y[k] = t.y[k + 1], link[k] = link[k + 1];
            if (t.z_a != nullptr) t.z_a[k] = t.z_a[k + 1];
            if (t.z_b != nullptr) t.z_b[k] = t.z_b[k + 1];
        }
        --count;
        for (int k = 0; k < count; ++k)
            if (removed != std::abs(kNoLink) && std::abs(link[k]) > removed && link[k] != kNoLink)
                link[k] += link[k] > 0 ? -1 : 1;
    }
}

// The crossings of A with B searched as a loop against itself, each once and ordered along A,
// into the columns; count -1 when the search failed.
void crossings_only(pokarr& a, const pokarr& b, const pk_box_table& groups, luplup_columns& out, int& count)
{
    int result = 0;
    luplup_into(kLuplupSelf, a, b, groups, out, count, result);
    if (count < 1) return;
    const comlups_columns table{out.elem_a, out.elem_b, out.x, out.y, nullptr, nullptr, nullptr, nullptr};
    keep_crossings(count, table);
    if (&a == &b || (a.x == b.x && a.count == b.count)) crossings_once(a, count, table);
}

// The search reads only the groups of B's table, never their boxes.
const pk_box_table& groups_of(const pokarr& b)
{
    static pk_box_table groups;
    pokarr_get_groups(b, groups);
    return groups;
}

}  // namespace

void cre_comlups_self(pokarr& a, luplup_columns& columns, int& count)
{
    crossings_only(a, a, groups_of(a), columns, count);
}

void cre_comlups_array(int mode, pokarr& a, const pokarr& b, double distance, int& count, const comlups_columns& table)
{
    const double threshold = std::min(0.5 * distance, pocket_work_block.tolerance);
    count = kFailed;
    if (a.dimension != b.dimension) {
        eroutc(kDimensionsText, 0);
        return;
    }
    const pk_box_table& groups = groups_of(b);
    if (mode >= kComlupsCrossings) {
        luplup_columns out{table.elem_a, table.elem_b, table.x, table.y, kComlupsRows, nullptr};
        crossings_only(a, b, groups, out, count);
        return;
    }
    int status = 0;
    luplup_pokarr(kLuplupLinked, a, b, groups, table.elem_a, table.elem_b, table.x, table.y, table.z_a, table.z_b,
                  count, status);
    if (status < 0) count = kFailed;
    if (count < 1) return;
    static sorted_rows sorted;
    static int link[kComlupsRows];
    for (int pass = 0; pass < 2; ++pass) {
        link_rows(b, count, table, threshold, sorted, link);
        drop_touching(count, table, link);
    }
    for (int i = 0; i < count; ++i) {
        if (table.used != nullptr) table.used[i] = 0;
        if (table.link != nullptr) table.link[i] = link[i];
        if (link[i] != kNoLink) continue;
        int pocket_mode = 0;
        get_pocket_mode(pocket_mode);
        if (pocket_mode == 0) eroutc(kNoLinkText, 0);
        count = kFailed;
        return;
    }
}
