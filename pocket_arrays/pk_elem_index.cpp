// Spatial index over the elements of a pocket array: a uniform grid of a few cells per element,
// each cell listing the elements whose box reaches into it (or, built along the lines, the lines
// in the cells along them). The loop intersection builds one for the searched loop so
// that every element of the other loop meets only its neighbours there.
#include "host/tolerance.hpp"
#include "pocket_arrays/changed_entries.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

// Cells per element of the grid: a search lists every element of the cells it meets, and along
// long elements packed side by side (the spikes of a star) one cell per element holds several
// that come nowhere near the searched one; smaller cells list fewer of them, until the cells
// themselves, and the listings of each element in them, cost more.
constexpr double kCellsPerElement = 5.0;
// An element whose box spans more cells than this is a candidate of every search instead (a line
// listed along it: more cells along it); both come to 64 cells of one per element.
constexpr long kWideCells = 320;
constexpr long kWideTracedCells = 143;
// A line whose box spans at most this many cells is listed in all of them: its box holds little
// more than the line, and the walk along it would cost more than it spares.
constexpr long kTracedCells = 4;
// An array of at most this many elements gets no grid: all of them are kept aside, since testing
// their boxes costs less than building and querying cells.
constexpr std::size_t kFewElements = 16;
constexpr double kGridMargin = kElemIndexMargin;

// The box of the element whose record starts at entry k (a line ending there, or an arc record);
// answers whether it is an arc. Inlined, as it was into the build: it runs for every element.
[[gnu::always_inline]] inline bool element_box(int count, const double* x, const double* y, int k, double* b)
{
    const bool arc = pk_is_marker(x[k]) && k + 3 < count;
    const int end = arc ? k + 3 : k;
    b[0] = std::min(x[k - 1], x[end]), b[1] = std::min(y[k - 1], y[end]);
    b[2] = std::max(x[k - 1], x[end]), b[3] = std::max(y[k - 1], y[end]);
    if (arc)
        arc_box(x[k + 2], y[k + 2], x[k + 1], pk_arc_direction(y[k + 1]), x[k - 1], y[k - 1], x[end], y[end], b[0],
                b[1], b[2], b[3]);
    return arc;
}

// Lists every element of the array with its box, in element order, as kept aside: an array of a
// few elements keeps them all there, a larger one keeps there only those the grid cannot hold.
void list_elements(int count, const double* x, const double* y, pk_elem_index& index)
{
    for (int k = 1; k < count;) {
        double b[4];
        const bool arc = element_box(count, x, y, k, b);
        if (!pk_is_marker(x[k - 1])) {
            index.wide.push_back(k);
            index.wide_boxes.insert(index.wide_boxes.end(), b, b + 4);
            index.last_element = k;
        }
        k = arc ? k + 4 : k + 1;
    }
}

// Empties the index for a new array; its lists keep their storage, so that an owner building
// one index after another (the loop intersection, at every search) allocates nothing.
void reset_index(int count, pk_elem_index& index)
{
    index.count = count;
    index.box[0] = index.box[1] = 1.0e300;
    index.box[2] = index.box[3] = -1.0e300;
    index.x0 = index.y0 = 0.0;
    index.cell = 1.0;
    index.columns = index.rows = 0;
    index.first.clear();
    index.elements.clear();
    index.wide.clear();
    index.wide_boxes.clear();
    index.seen.clear();
    index.last_element = 0;
    index.query = 0;
    index.candidates.clear();
    index.visit_listed = false;
    // Only a valid crossing is ever read.
    index.last_spent.valid = false;
    index.last_pair.valid = false;
}

// The cell range a box covers, clamped to the grid; false when it misses the grid.
bool cell_range(const pk_elem_index& index, double xmin, double ymin, double xmax, double ymax, int& c0, int& r0,
                int& c1, int& r1)
{
    const double left = (xmin - kGridMargin - index.x0) / index.cell;
    const double bottom = (ymin - kGridMargin - index.y0) / index.cell;
    const double right = (xmax + kGridMargin - index.x0) / index.cell;
    const double top = (ymax + kGridMargin - index.y0) / index.cell;
    if (!(right >= 0.0 && top >= 0.0 && left < index.columns && bottom < index.rows)) return false;
    // The cell of a side is its floor clamped to the grid. Below the grid it is cell 0, and at or
    // above 0 the floor is the truncation: the conversion alone gives it (a floor costs a
    // dozen instructions without the processor's rounding instruction).
    c0 = left > 0.0 ? static_cast<int>(left) : 0;
    r0 = bottom > 0.0 ? static_cast<int>(bottom) : 0;
    c1 = static_cast<int>(std::min(index.columns - 1.0, right));
    r1 = static_cast<int>(std::min(index.rows - 1.0, top));
    return true;
}

// The cells along the line from (sx, sy) to (ex, ey) widened by the margin, within the cell
// range of its box (c0, r0, c1, r1): row by row, the columns the part of the line in the row's
// band (widened by the margin) reaches, handed to cells(row, first column, last column). A
// point of the line within the margin of a cell lies in that band and within the margin of
// those columns, so every cell the widened line meets is handed out. A level line, one within a
// row or a column, or one of a box of a few cells covers its box's cells.
template <class Cells>
void line_cells(const pk_elem_index& index, double sx, double sy, double ex, double ey, int c0, int r0, int c1, int r1,
                Cells&& cells)
{
    const double dx = ex - sx, dy = ey - sy;
    const bool whole_rows =
        dy == 0.0 || c0 == c1 || r0 == r1 || static_cast<long>(c1 - c0 + 1) * (r1 - r0 + 1) <= kTracedCells;
    for (int r = r0; r <= r1; ++r) {
        if (whole_rows) {
            cells(r, c0, c1);
            continue;
        }
        const double low = index.y0 + r * index.cell - kGridMargin, high = low + index.cell + 2.0 * kGridMargin;
        const double t_low = (low - sy) / dy, t_high = (high - sy) / dy;
        const double t0 = std::max(0.0, std::min(t_low, t_high)), t1 = std::min(1.0, std::max(t_low, t_high));
        const double xa = sx + dx * t0, xb = sx + dx * t1;
        const double left = (std::min(xa, xb) - kGridMargin - index.x0) / index.cell;
        const double right = (std::max(xa, xb) + kGridMargin - index.x0) / index.cell;
        // Clamped before the conversion, as the cell range is; a part off the range gives none.
        if (!(right >= c0 && left < c1 + 1.0)) continue;
        cells(r, left > c0 ? static_cast<int>(left) : c0, right < c1 ? static_cast<int>(right) : c1);
    }
}

// Whether element entry k of the array (its end entry) is a line.
bool is_line(const double* x, int count, int k) { return !(pk_is_marker(x[k]) && k + 3 < count); }

// The first of the increasing elements first .. last - 1 that is not below `lowest`, where the
// first is below it and the last one not: halving without branches, as the cells are short and
// the halves fall either way.
const int* first_from(const int* first, const int* last, int lowest)
{
    const int* below = first;  // the last one known to be below
    for (auto n = static_cast<std::size_t>(last - first); n > 1;) {
        const std::size_t half = n / 2;
        below = below[half] < lowest ? below + half : below;
        n -= half;
    }
    return below + 1;
}

// Lists the grid's elements from `lowest` on in the cells r, c0 .. c1 not yet listed by this
// query. A cell lists its elements in increasing order, so those below `lowest` (about half of
// what a walk of a loop along itself meets) are passed over at once.
void list_row(pk_elem_index& index, int r, int c0, int c1, int lowest, std::vector<int>& candidates)
{
    const int* first = index.first.data() + static_cast<long>(r) * index.columns;
    const int* elements = index.elements.data();
    int* seen = index.seen.data();
    const int query = index.query;
    auto list = [&](int e) {
        if (seen[e] == query) return;
        seen[e] = query;
        candidates.push_back(e);
    };
    // Two at a time: most elements read were listed already, and the loop costs what the test does.
    auto list_run = [&](const int* k, const int* end) {
        for (; k + 1 < end; k += 2) list(k[0]), list(k[1]);
        if (k != end) list(*k);
    };
    // Elements are numbered from 1: from there on, the row's cells are one run of the lists.
    if (lowest <= 1) return list_run(elements + first[c0], elements + first[c1 + 1]);
    for (int c = c0; c <= c1; ++c) {
        const int* k = elements + first[c];
        const int* end = elements + first[c + 1];
        if (k != end && *k < lowest) k = end[-1] < lowest ? end : first_from(k, end, lowest);
        list_run(k, end);
    }
}

// A new query number marks the elements listed by this query, so none is listed twice.
void new_query(pk_elem_index& index)
{
    if (index.query == std::numeric_limits<int>::max()) {
        std::fill(index.seen.begin(), index.seen.end(), 0);
        index.query = 0;
    }
    ++index.query;
}

// The elements from `lowest` on kept aside whose boxes meet the box: they come in element order
// already.
void list_aside(const pk_elem_index& index, double xmin, double ymin, double xmax, double ymax, int lowest,
                std::vector<int>& candidates)
{
    candidates.clear();
    const auto& wide = index.wide;
    const std::size_t from =
        wide.empty() || wide.front() >= lowest ? 0 : std::lower_bound(wide.begin(), wide.end(), lowest) - wide.begin();
    for (std::size_t i = from; i < wide.size(); ++i)
        if (pk_elem_index_aside_meets(index, i, xmin, ymin, xmax, ymax)) candidates.push_back(wide[i]);
}

// Lists of more elements than this are put in order through bits over their span of element
// numbers, fewer by comparisons.
constexpr std::size_t kFewListed = 24;
// The widest span of element numbers put in order through bits.
constexpr int kSpanWords = 32;

// Puts in order a list of distinct elements by a bit for each number of their span: the cells
// along a long line, or those of a box, list neighbouring elements, whose numbers span little more
// than their count, and a pass over the span costs less than a sort. False, the list untouched,
// when the span is too wide.
bool order_by_bits(int* first, int* last)
{
    const auto [low, high] = std::minmax_element(first, last);
    const int base = *low, words = (*high - base) / 64 + 1;
    if (words > kSpanWords) return false;
    std::uint64_t bits[kSpanWords];
    std::fill(bits, bits + words, 0);
    for (const int* k = first; k != last; ++k) {
        const auto at = static_cast<unsigned>(*k - base);
        bits[at / 64] |= std::uint64_t{1} << (at % 64);
    }
    for (int w = 0; w < words; ++w)
        for (std::uint64_t word = bits[w]; word != 0; word &= word - 1)
            *first++ = base + 64 * w + std::countr_zero(word);
    return true;
}

// Puts the candidates in increasing order: those kept aside and the grid's, distinct (an element is
// kept aside or listed in cells, never both, and the grid's are listed once). Inlined: most lists
// are short and sorted at once.
[[gnu::always_inline]] inline void order_listed(std::vector<int>& candidates)
{
    const bool many = candidates.size() > kFewListed;
    if (!many || !order_by_bits(candidates.data(), candidates.data() + candidates.size()))
        std::sort(candidates.begin(), candidates.end());
}

// Cells listed element after element by a build, written through a pointer: a line lists a
// cell or two in each row it crosses, and a push_back per cell cost as much as finding it.
struct placed_cells {
    std::unique_ptr<int[]> cells;
    std::size_t size = 0, capacity = 0;
    void reserve(std::size_t n)
    {
        if (n <= capacity) return;
        auto grown = std::make_unique_for_overwrite<int[]>(n);
        std::copy(cells.get(), cells.get() + size, grown.get());
        cells = std::move(grown);
        capacity = n;
    }
    // Where the next n cells go; the list grows by n.
    int* append(std::size_t n)
    {
        if (size + n > capacity) reserve(std::max(2 * capacity, size + n));
        size += n;
        return cells.get() + size - n;
    }
};

// Appends to `placed` the cells the element at entry k with box b is listed in: those of its box,
// or for a line of an index built along the lines those along it. False, nothing appended, when it
// spans too many cells and is kept aside (inlined as element_box: it runs for every element).
[[gnu::always_inline]] inline bool place_element(const pk_elem_index& index, int count, const double* x,
                                                 const double* y, int k, const double* b, placed_cells& placed)
{
    int c0 = 0, r0 = 0, c1 = -1, r1 = -1;
    cell_range(index, b[0], b[1], b[2], b[3], c0, r0, c1, r1);
    const long spanned = static_cast<long>(c1 - c0 + 1) * (r1 - r0 + 1);
    const std::size_t from = placed.size;
    auto row = [&](int r, int first, int last) {
        int* out = placed.append(static_cast<std::size_t>(last - first + 1));
        for (int c = first; c <= last; ++c) *out++ = r * index.columns + c;
    };
    if (index.along_lines && spanned > kTracedCells && is_line(x, count, k)) {
        line_cells(index, x[k - 1], y[k - 1], x[k], y[k], c0, r0, c1, r1, row);
        if (placed.size - from <= static_cast<std::size_t>(kWideTracedCells)) return true;
        placed.size = from;
        return false;
    }
    if (spanned > kWideCells) return false;
    for (int r = r0; r <= r1; ++r) row(r, c0, c1);
    return true;
}

void build_index(int count, const double* x, const double* y, bool along, pk_elem_index& index)
{
    reset_index(count, index);
    index.along_lines = along;
    if (x == nullptr || y == nullptr || count < 2) return;
    list_elements(count, x, y, index);
    const std::size_t n_boxes = index.wide.size();
    if (n_boxes == 0) return;
    const double* all = index.wide_boxes.data();
    double xmin = all[0], ymin = all[1], xmax = all[2], ymax = all[3];
    for (std::size_t i = 0; i < n_boxes; ++i) {
        const double* b = all + 4 * i;
        xmin = std::min(xmin, b[0]), ymin = std::min(ymin, b[1]);
        xmax = std::max(xmax, b[2]), ymax = std::max(ymax, b[3]);
    }
    index.box[0] = xmin, index.box[1] = ymin, index.box[2] = xmax, index.box[3] = ymax;
    if (n_boxes <= kFewElements) return;
    // About kCellsPerElement cells per element; a flat box gets one row or column.
    const double width = xmax - xmin, height = ymax - ymin, n = static_cast<double>(n_boxes);
    double cell = std::sqrt(width * height / (kCellsPerElement * n));
    cell = std::max({cell, (width + height) / n, kGridMargin});
    index.x0 = xmin;
    index.y0 = ymin;
    index.cell = cell;
    index.columns = static_cast<int>(std::min(width / cell + 1.0, 4.0 * n + 16.0));
    index.rows = static_cast<int>(std::min(height / cell + 1.0, 4.0 * n + 16.0));
    const long cells = static_cast<long>(index.columns) * index.rows;
    // The cells of each element are found once, element after element; counted per cell, they
    // give where each cell's list starts, and placed in element order, each cell's increasing list.
    placed_cells placed;
    placed.reserve(4 * n_boxes);
    std::vector<int> ends(n_boxes);  // where each element's cells end in `placed`; -1 kept aside
    for (std::size_t i = 0; i < n_boxes; ++i) {
        const bool in_cells = place_element(index, count, x, y, index.wide[i], all + 4 * i, placed);
        ends[i] = in_cells ? static_cast<int>(placed.size) : -1;
    }
    const int* listed = placed.cells.get();
    index.first.assign(cells + 1, 0);
    for (std::size_t i = 0; i < placed.size; ++i) ++index.first[listed[i] + 1];
    for (long c = 0; c < cells; ++c) index.first[c + 1] += index.first[c];
    index.elements.resize(index.first[cells]);
    std::vector<int> at(index.first.begin(), index.first.end() - 1);
    int from = 0;
    std::size_t kept = 0;  // the elements kept aside so far, moved to the front in element order
    for (std::size_t i = 0; i < n_boxes; ++i) {
        const int k = index.wide[i];
        if (ends[i] < 0) {
            index.wide[kept] = k;
            std::copy(index.wide_boxes.begin() + 4 * i, index.wide_boxes.begin() + 4 * i + 4,
                      index.wide_boxes.begin() + 4 * kept);
            ++kept;
            continue;
        }
        for (; from < ends[i]; ++from) index.elements[at[listed[from]]++] = k;
    }
    index.wide.resize(kept);
    index.wide_boxes.resize(4 * kept);
    index.seen.assign(count + 1, 0);
}

// One listing of an element changed by a patch: the element leaves (or joins) a cell.
struct cell_change {
    long cell;
    int element;
    bool joins;
};

// Entries that may change between two builds for an index to be patched instead of rebuilt: more
// and the whole build costs about what the patch does.
constexpr std::size_t kPatchedEntries = 256;

// The listings of an element in the index built for the given entries: its cells, or none when
// it is kept aside (answered true, with its box).
bool listings_of(const pk_elem_index& index, int count, const double* x, const double* y, int k, double* b,
                 std::vector<int>& cells)
{
    static placed_cells placed;
    placed.size = 0;
    cells.clear();
    element_box(count, x, y, k, b);
    if (!place_element(index, count, x, y, k, b, placed)) return true;
    cells.assign(placed.cells.get(), placed.cells.get() + placed.size);
    std::sort(cells.begin(), cells.end());
    return false;
}

// Whether a box lies strictly inside the index's box: an element whose box touches it may hold
// the index's box where it is, and moving it may move the grid.
bool strictly_inside(const pk_elem_index& index, const double* b)
{
    return b[0] > index.box[0] && b[1] > index.box[1] && b[2] < index.box[2] && b[3] < index.box[3];
}

// An element kept aside before a patch or after it (with its new box).
struct aside_move {
    int element;
    bool was_aside, is_aside;
    double box[4];
};

// Moves the element out of the elements kept aside and in again with its new box, as it was and
// is kept there, keeping them in element order.
void move_aside(pk_elem_index& index, const aside_move& m)
{
    const auto at = std::lower_bound(index.wide.begin(), index.wide.end(), m.element) - index.wide.begin();
    const auto boxes = index.wide_boxes.begin() + 4 * at;
    if (m.was_aside) {
        index.wide.erase(index.wide.begin() + at);
        index.wide_boxes.erase(boxes, boxes + 4);
    }
    if (m.is_aside) {
        index.wide.insert(index.wide.begin() + at, m.element);
        index.wide_boxes.insert(index.wide_boxes.begin() + 4 * at, m.box, m.box + 4);
    }
}

// Rewrites the cell lists with the changes (ordered by cell): cells without one are copied as
// they stand, the others without the elements that leave and with those that join.
void apply_changes(pk_elem_index& index, const std::vector<cell_change>& changes)
{
    static std::vector<int> old_first, elements;
    old_first = index.first;
    elements.clear();
    elements.reserve(index.elements.size() + changes.size());
    const long cells = static_cast<long>(index.first.size()) - 1;
    const int* from = index.elements.data();
    long done = 0;  // cells before this one are written
    auto copy_until = [&](long cell) {
        elements.insert(elements.end(), from + old_first[done], from + old_first[cell]);
        const int shift = static_cast<int>(elements.size()) - old_first[cell];
        for (long c = done + 1; c <= cell; ++c) index.first[c] = old_first[c] + shift;
        done = cell;
    };
    for (std::size_t i = 0; i < changes.size();) {
        const long cell = changes[i].cell;
        copy_until(cell);
        std::size_t j = i;
        while (j < changes.size() && changes[j].cell == cell) ++j;
        const auto first = changes.begin() + static_cast<std::ptrdiff_t>(i);
        const auto last = changes.begin() + static_cast<std::ptrdiff_t>(j);
        // The cell keeps its elements in increasing order: those that join (in element order) go
        // in among those that stay, none of which joins.
        std::size_t c = i;
        const auto joins_below = [&](int limit) {
            for (; c < j && changes[c].element < limit; ++c)
                if (changes[c].joins) elements.push_back(changes[c].element);
        };
        for (int e = old_first[cell]; e < old_first[cell + 1]; ++e) {
            const auto leaves = [&](const cell_change& change) { return !change.joins && change.element == from[e]; };
            if (!std::none_of(first, last, leaves)) continue;
            joins_below(from[e]);
            elements.push_back(from[e]);
        }
        joins_below(std::numeric_limits<int>::max());
        index.first[cell + 1] = static_cast<int>(elements.size());
        done = cell + 1;
        i = j;
    }
    copy_until(cells);
    index.elements.swap(elements);
}

// The index as reset_index leaves it for its first search, but for the query number: the marks
// of earlier queries stay below the next one, so they need no clearing.
void forget_queries(pk_elem_index& index)
{
    index.candidates.clear();
    index.visit_listed = false;
    index.last_spent.valid = false;
    index.last_pair.valid = false;
}

}  // namespace

bool pokarr_elem_index_patch(int count, const double* x, const double* y, const double* old_x, const double* old_y,
                             pk_elem_index& index)
{
    if (!index.along_lines || index.count != count || index.columns < 1 || x == nullptr || y == nullptr || count < 2)
        return false;
    static std::vector<int> changed;
    changed.clear();
    const bool patchable = pk_each_changed_entry(count, x, y, old_x, old_y, [&](int i) {
        // A marker that comes or goes changes the elements themselves.
        if (pk_is_marker(x[i]) != pk_is_marker(old_x[i]) || changed.size() >= kPatchedEntries) return false;
        changed.push_back(i);
        return true;
    });
    if (!patchable) return false;
    static std::vector<cell_change> changes;
    static std::vector<aside_move> asides;
    static std::vector<int> old_cells, new_cells;
    changes.clear();
    asides.clear();
    std::size_t next = 0;  // the first changed entry not before the element walked
    // The elements as list_elements walks them; those holding a changed entry are listed again.
    for (int k = 1, after = 1; k < count && next < changed.size(); k = after) {
        const bool arc = pk_is_marker(x[k]) && k + 3 < count;
        const int end = arc ? k + 3 : k;
        after = arc ? k + 4 : k + 1;
        while (next < changed.size() && changed[next] < k - 1) ++next;
        const bool moved = next < changed.size() && changed[next] <= end;
        if (!moved || pk_is_marker(x[k - 1])) continue;
        double old_box[4], new_box[4];
        const bool was_aside = listings_of(index, count, old_x, old_y, k, old_box, old_cells);
        const bool is_aside = listings_of(index, count, x, y, k, new_box, new_cells);
        if (!strictly_inside(index, old_box) || !strictly_inside(index, new_box)) return false;
        if (was_aside || is_aside)
            asides.push_back({k, was_aside, is_aside, {new_box[0], new_box[1], new_box[2], new_box[3]}});
        if (old_cells == new_cells) continue;
        for (const int c : old_cells) changes.push_back({c, k, false});
        for (const int c : new_cells) changes.push_back({c, k, true});
    }
    std::sort(changes.begin(), changes.end(), [](const cell_change& p, const cell_change& q) {
        return p.cell != q.cell ? p.cell < q.cell : p.element < q.element;
    });
    for (const aside_move& m : asides) move_aside(index, m);
    if (!changes.empty()) apply_changes(index, changes);
    forget_queries(index);
    return true;
}

void pokarr_elem_index(int count, const double* x, const double* y, pk_elem_index& index)
{
    build_index(count, x, y, false, index);
}

void pokarr_elem_index_along(int count, const double* x, const double* y, pk_elem_index& index)
{
    build_index(count, x, y, true, index);
}

void pk_elem_index_candidates(pk_elem_index& index, double xmin, double ymin, double xmax, double ymax,
                              std::vector<int>& candidates, int lowest)
{
    list_aside(index, xmin, ymin, xmax, ymax, lowest, candidates);
    int c0 = 0, r0 = 0, c1 = -1, r1 = -1;
    if (index.columns < 1 || !cell_range(index, xmin, ymin, xmax, ymax, c0, r0, c1, r1)) return;
    new_query(index);
    for (int r = r0; r <= r1; ++r) list_row(index, r, c0, c1, lowest, candidates);
    order_listed(candidates);
}

void pk_elem_index_line_candidates(pk_elem_index& index, double sx, double sy, double ex, double ey,
                                   std::vector<int>& candidates, int lowest)
{
    const double xmin = std::min(sx, ex), ymin = std::min(sy, ey), xmax = std::max(sx, ex), ymax = std::max(sy, ey);
    list_aside(index, xmin, ymin, xmax, ymax, lowest, candidates);
    int c0 = 0, r0 = 0, c1 = -1, r1 = -1;
    if (index.columns < 1 || !cell_range(index, xmin, ymin, xmax, ymax, c0, r0, c1, r1)) return;
    new_query(index);
    line_cells(index, sx, sy, ex, ey, c0, r0, c1, r1,
               [&](int r, int first, int last) { list_row(index, r, first, last, lowest, candidates); });
    order_listed(candidates);
}
