// The box table of a pocket array and the box of a whole array. The table splits the elements
// into about sqrt(M) groups of consecutive elements, so that a search tests about sqrt(M) group
// boxes and then the elements of the groups it overlaps.
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBoxStart = 1.0e12;

struct box4 {
    double xmin = kBoxStart, ymin = kBoxStart, xmax = -kBoxStart, ymax = -kBoxStart;
    void add(double x, double y)
    {
        xmin = std::min(xmin, x);
        ymin = std::min(ymin, y);
        xmax = std::max(xmax, x);
        ymax = std::max(ymax, y);
    }
    // The arc from entry start whose record begins at start + 1.
    void add_arc(const double* x, const double* y, int start)
    {
        double a, b, c, d;
        // Record: marker at start + 1, radius and direction at start + 2, centre, end point.
        arc_box(x[start + 3], y[start + 3], x[start + 2], pk_arc_direction(y[start + 2]), x[start], y[start],
                x[start + 4], y[start + 4], a, b, c, d);
        add(a, b);
        add(c, d);
    }
};

// Extends the box by the entries from `from` to `to` (inclusive): points by themselves, an arc
// (marker at i, start at i - 1) by its arc box, stepping over its record; a marker without a
// whole record is passed over. Inline: the groups of a table are a few entries each.
[[gnu::always_inline]] inline void walk_entries(const double* x, const double* y, int count, int from, int to,
                                                box4& box)
{
    const int last = std::min(to, count - 1);
    for (int i = from; i <= last;) {
        if (!pk_is_marker(x[i])) {
            box.add(x[i], y[i]);
            ++i;
        } else if (i >= 1 && i + 3 < count) {
            box.add_arc(x, y, i - 1);
            i += 4;
        } else {
            ++i;
        }
    }
}

// Extends the box by the points from `from` to `to` (inclusive) of an array without arc records:
// what walk_entries adds there, in the same order, without asking each entry for a marker.
[[gnu::always_inline]] inline void add_points(const double* x, const double* y, int from, int to, box4& box)
{
    for (int i = from; i <= to; ++i) box.add(x[i], y[i]);
}

// Fills the table's groups (starts and count) and answers the number of arc markers, or -1 when
// no box is to follow (no groups, or the single point already set).
int fill_groups(int count, const double* x, const double* y, pk_box_table& table)
{
    table.groups = 0;
    if (count <= 0 || x == nullptr || y == nullptr) return -1;
    if (count == 1) {
        table.groups = 1;
        table.xmin[0] = table.xmax[0] = x[0];
        table.ymin[0] = table.ymax[0] = y[0];
        return -1;
    }
    int markers = 0;
    for (int i = 0; i < count; ++i)
        if (pk_is_marker(x[i])) ++markers;
    const int elements = count - 3 * markers - 1;
    if (elements < 1) return -1;
    int size = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(elements)) + 0.5));
    if (elements / size > kBoxGroupsMax) size = (elements + kBoxGroupsMax - 1) / kBoxGroupsMax;
    const int groups = elements / size;
    const int larger = elements % size;

    // Starts counted in elements, then turned into element numbers past every arc record.
    int* first = table.first;
    first[0] = 1;
    for (int g = 0; g < groups; ++g) first[g + 1] = first[g] + size + (g < larger ? 1 : 0);
    // Each start moves on by 3 for every arc marker before it, counting the markers in order
    // against the start as it moves. The starts rise with g, so every marker counted for one
    // start counts for the next: one walk over the markers serves all of them (none without
    // markers).
    int m = 1, shift = 0;
    for (int g = 0; markers > 0 && g <= groups; ++g) {
        first[g] += shift;
        for (; m <= count - 4 && m < first[g]; ++m) {
            if (!pk_is_marker(x[m])) continue;
            first[g] += 3;
            shift += 3;
        }
    }
    first[groups] = std::min(first[groups], count);
    table.groups = groups;
    return markers;
}

}  // namespace

void pokarr_boxes(int count, const double* x, const double* y, pk_box_table& table)
{
    const int markers = fill_groups(count, x, y, table);
    if (markers < 0) return;
    const int groups = table.groups;
    const int* first = table.first;
    for (int g = 0; g < groups; ++g) {
        box4 box;
        const int from = first[g] - 1, to = std::min(first[g + 1], count) - 1;
        if (markers == 0)
            add_points(x, y, from, to, box);
        else
            walk_entries(x, y, count, from, to, box);
        table.xmin[g] = box.xmin;
        table.ymin[g] = box.ymin;
        table.xmax[g] = box.xmax;
        table.ymax[g] = box.ymax;
    }
}

void pokarr_get_boxes(const pokarr& array, pk_box_table& table)
{
    if (array.dimension < 2 || array.y == nullptr) {
        table.groups = 0;
        return;
    }
    pokarr_boxes(array.count, array.x, array.y, table);
}

void pokarr_get_groups(const pokarr& array, pk_box_table& table)
{
    if (array.dimension < 2 || array.y == nullptr) {
        table.groups = 0;
        return;
    }
    fill_groups(array.count, array.x, array.y, table);
}

void pokarr_box(const pokarr& array, double* box)
{
    box4 b;
    if (array.dimension >= 2 && array.y != nullptr && array.count > 1)
        walk_entries(array.x, array.y, array.count, 0, array.count - 2, b);
    box[0] = b.xmin;
    box[1] = b.ymin;
    box[2] = b.xmax;
    box[3] = b.ymax;
}
