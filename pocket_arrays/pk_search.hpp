// Intersection search between pocket arrays: the box table that splits an array into groups of
// consecutive elements, the box of a whole array, the search of one element against every element
// of an array (elem_pair_intersect), the junction tests over the crossing snapshot, and the
// crossing table of the loop removal with its entry routine ckintr.
//
// Elements: element e (from 1) is the line from entry e - 1 to entry e, or, when entry e is an
// arc marker, the arc from entry e - 1 whose record fills entries e to e + 3. The element after a
// line e is e + 1, after an arc e + 4; of a closed loop, element 1 follows the last element.
#pragma once

#include "host/tolerance.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// ---- box table --------------------------------------------------------------------------------

// Column size of the box table; at most kBoxGroupsMax groups are used so that first[groups]
// (the end entry) stays inside the column.
inline constexpr int kBoxTableSize = 750;
inline constexpr int kBoxGroupsMax = 749;

// Groups of about sqrt(M) consecutive elements with their boxes. Group g (from 1) is stored at
// index g - 1; first[g - 1] is the number of its first element and first[groups] the entry count
// of the array (one past the last element). Owned by the caller, usually a local.
struct pk_box_table {
    double xmin[kBoxTableSize];
    double ymin[kBoxTableSize];
    double xmax[kBoxTableSize];
    double ymax[kBoxTableSize];
    int first[kBoxTableSize];
    int groups;
};

// Fills the table from plain x and y arrays of count entries (arc records included). A count of
// 0 (or below) gives no groups; a count of 1 one group whose box is that point.
void pokarr_boxes(int count, const double* x, const double* y, pk_box_table& table);
// pokarr_boxes on the array's entries (2-D, 3-D or dimension 4; x and y are used).
void pokarr_get_boxes(const pokarr& array, pk_box_table& table);
// The groups of pokarr_get_boxes alone (starts and count), for searches that read no group box;
// the boxes are left as they were (a single point still sets its box).
void pokarr_get_groups(const pokarr& array, pk_box_table& table);
// Box of a whole array (box: xmin, ymin, xmax, ymax); the last entry is not added by itself.
// An empty array gives the inverted box (1e12, 1e12, -1e12, -1e12).
void pokarr_box(const pokarr& array, double* box);

// ---- search of one element against an array ---------------------------------------------------

// Whether the segments p1..p2 and q1..q2 lie clearly apart, so that the segment intersection
// (seg_seg_intersect_ends_xy, an even mode, with the same segments) finds no crossing for them:
// a few sign tests instead of that routine, which most line pairs a search meets would go
// through to no avail. False for NaN, huge coordinates, short or near-parallel segments.
bool segments_apart(double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x, double q2y);

// Found flag of elem_pair_intersect.
inline constexpr int kSearchNone = 0;
inline constexpr int kSearchFound = 1;
inline constexpr int kSearchEndContact = 2;

// Own numbers that are not elements of the searched array (an own number above kOwnForeign is
// the element's number in the searched array):
//   kOwnForeign and -1: an element from elsewhere; the crossing nearest its start wins;
//   kOwnWalk and below: a walk; the first crossing in group and element order wins;
//   kOwnWalkContinues: a walk going on after a crossing on the input found element, from the
//     previous crossing point; what lies before it in the walk is passed over.
inline constexpr int kOwnForeign = 0;
inline constexpr int kOwnWalk = -2;
inline constexpr int kOwnWalkContinues = -3;

// Searches the element (kind 0 line from start to end; kind 1 arc with centre, radius and
// direction +1/-1 from start to end) against the elements of the searched array x, y of count
// entries, group by group from first_group (1-based) through its box table.
//   mode: 0 or 1 the range rule on the first group, +1 keeps the input found element, +2 checks
//         crossings at the element's start, +10 self search (found_group gives the walk's current
//         element), -3 start check on a continuing walk;
//   own: the element's number in the searched array, 0 or less when it is not one of its
//         elements (kOwnWalkContinues on a continuing walk);
//   direction_at: direction vector at the element (two doubles, first kDirectionAbsent when not
//         given); own_x, own_y: the array the element belongs to (may be null);
//   closing, after_closing: the element that closes the searched loop and the element after it;
//   previous_x, previous_y: where a walk stands;
//   found_element, found_group: in/out as described above; crossing_x/_y the chosen crossing;
//   found: kSearchNone, kSearchFound, kSearchEndContact.
// A crossing nearer to the element's start wins (at equal distance the later one); consecutive
// elements never cross at their shared vertex.
void elem_pair_intersect(int mode, int own, int first_group, int kind, double cx, double cy, double radius,
                         double direction, double sx, double sy, double ex, double ey, const double* direction_at,
                         const double* own_x, const double* own_y, const double* x, const double* y, int count,
                         int closing, int after_closing, double previous_x, double previous_y,
                         const pk_box_table& table, int& found_element, int& found_group, double& crossing_x,
                         double& crossing_y, int& found);

// ---- spatial index over the elements of an array ---------------------------------------------

// A uniform grid over an array's box: every cell lists the elements whose box reaches into it,
// so that a search meets only the elements near its own instead of testing every group. An
// element whose box spans very many cells is kept aside and tested by its box at every search;
// so is every element of an array of a few elements, which gets no grid. An index built along the
// lines lists a slanting line only in the cells along it: a long slanting line's box covers the
// cells of many elements it never comes near (the spikes of a star, each lying in the boxes of its
// neighbours), and so does the box of a search's own line (pk_elem_index_visit_line).
// Built by its owner (LUPLUP builds one for B at every search); it holds heap memory, which a
// rebuild of the same index reuses.
// Boxes are widened by this much before they meet the grid, so that a box the search's tolerant
// overlap test admits is never missed.
inline constexpr double kElemIndexMargin = 4.0 * vantu::kDoubleTolerance;

// The pair the last walk through an index took its crossing from, when the walk's continuing
// search would take nothing more from it, with the pair as it stood: a pair of lines that meet
// only there (directions not given), whose crossing the continuing search meets again first and
// only refuses; or, in a self search, a line and an arc that meet only near their shared vertex,
// which the continuing search passes over at once. The continuing search passes over the pair
// when nothing has changed; when no candidate came after the pair, nothing is left for it at all.
struct pk_spent_pair {
    bool valid = false;
    bool shared_vertex = false;  // a line and an arc of a self search at their shared vertex
    int element = 0;             // the candidate element of the searched array
    int own_kind = 0;            // the searched element: 0 a line, 1 an arc
    double own[4] = {};          // the searched element: start x, y, end x, y
    double own_arc[4] = {};      // the searched arc: centre x, y, radius, direction (+1 or -1)
    double other[4] = {};        // the candidate: start x, y, end x, y
    double other_arc[4] = {};    // the candidate arc's record: x and y of its radius and centre entries
    double x = 0.0, y = 0.0;     // the crossing
    bool nothing_after = false;  // the index gave the element no candidate after the pair's
};

// Whether the spent pair m is where a walk of the element (kind 0 line s..e, 1 arc with centre,
// radius and direction) stands, at (px, py) on element k of the array x, y, with the element and
// the entries of k as they were when the crossing was taken.
inline bool pk_spent_pair_holds(const pk_spent_pair& m, int kind, double cx, double cy, double radius, double direction,
                                double sx, double sy, double ex, double ey, const double* x, const double* y, int count,
                                int k, double px, double py)
{
    if (!m.valid || k != m.element || k < 1 || k >= count || kind != m.own_kind) return false;
    if (sx != m.own[0] || sy != m.own[1] || ex != m.own[2] || ey != m.own[3] || px != m.x || py != m.y) return false;
    if (kind == 1 && (cx != m.own_arc[0] || cy != m.own_arc[1] || radius != m.own_arc[2] ||
                      pk_arc_direction(direction) != m.own_arc[3]))
        return false;
    // Two lines, or a line and an arc at their shared vertex.
    const bool arc = k + 3 < count && pk_is_marker(x[k]);
    if (arc != (m.shared_vertex && kind == 0)) return false;
    const int end = arc ? k + 3 : k;
    if (x[k - 1] != m.other[0] || y[k - 1] != m.other[1] || x[end] != m.other[2] || y[end] != m.other[3]) return false;
    return !arc || (x[k + 1] == m.other_arc[0] && y[k + 1] == m.other_arc[1] && x[k + 2] == m.other_arc[2] &&
                    y[k + 2] == m.other_arc[3]);
}

// The crossings a walk's search took from a pair with an arc, with what they were found from
// (the two elements and the modes, as bits): the walk's continuing search examines that pair
// again first, from the same inputs, and reads them here instead.
struct pk_pair_memo {
    bool valid = false;
    static constexpr int kKeyWords = 20;
    unsigned long long key[kKeyWords] = {};
    int status = 0, count = 0;
    double points[2][3] = {};
};

struct pk_elem_index {
    int count = 0;  // entries of the array it was built for
    // Box of all its elements (xmin, ymin, xmax, ymax); inverted when it has none.
    double box[4] = {1.0e300, 1.0e300, -1.0e300, -1.0e300};
    double x0 = 0.0, y0 = 0.0;  // lower corner of the grid
    double cell = 1.0;          // side of a cell
    int columns = 0, rows = 0;
    std::vector<int> first;          // per cell, where its elements start in `elements` (one more)
    std::vector<int> elements;       // element numbers, cell after cell, each cell's in increasing order
    std::vector<int> wide;           // elements spanning too many cells (in element order)
    std::vector<double> wide_boxes;  // their boxes: xmin, ymin, xmax, ymax of each
    std::vector<int> seen;           // per element entry, the query that last listed it
    int last_element = 0;            // the highest element number it holds
    int query = 0;
    std::vector<int> candidates;  // the candidates of the search under way
    pk_spent_pair last_spent;     // left by the last search through the index
    pk_pair_memo last_pair;       // the same
    // The candidates pk_elem_index_visit listed last and the box it listed them for: the searches
    // of one walk ask with the box of one element again and again.
    std::vector<int> visit_list;
    double visit_box[4] = {};  // or the line's start x, y and end x, y (visit_line)
    int visit_lowest = 0;      // the list holds only the elements from this one on
    bool visit_listed = false;
    bool visit_line = false;
    bool along_lines = false;  // built by pokarr_elem_index_along: lines listed along them
};

// Builds the index of the array x, y of count entries (arc records included).
void pokarr_elem_index(int count, const double* x, const double* y, pk_elem_index& index);
// The same with every line listed only in the cells along it (widened by the margin): a search
// then meets every element that comes within the margin of its own, but not every element whose
// box overlaps its box.
void pokarr_elem_index_along(int count, const double* x, const double* y, pk_elem_index& index);
// Brings the index built along the lines of the array old_x, old_y (count entries) up to the
// array x, y of the same count, which moved a few entries of the same elements: the elements
// holding a changed entry are listed again, and the index answers every query as one built
// afresh would. False, the index untouched, when it cannot (the elements or the grid would
// change, or many entries did): the caller builds it afresh.
bool pokarr_elem_index_patch(int count, const double* x, const double* y, const double* old_x, const double* old_y,
                             pk_elem_index& index);
// The elements whose cells meet the box (xmin, ymin, xmax, ymax), in increasing order: every
// element whose box overlaps the box is among them (of an index along the lines: every element
// that comes within the margin of the box). Those numbered below `lowest` are left out.
void pk_elem_index_candidates(pk_elem_index& index, double xmin, double ymin, double xmax, double ymax,
                              std::vector<int>& candidates, int lowest = std::numeric_limits<int>::min());
// The elements whose cells meet the cells along the line from (sx, sy) to (ex, ey), in
// increasing order: every element that comes within the margin of the line is among them.
// Those numbered below `lowest` are left out.
void pk_elem_index_line_candidates(pk_elem_index& index, double sx, double sy, double ex, double ey,
                                   std::vector<int>& candidates, int lowest = std::numeric_limits<int>::min());
// Whether the box of the element kept aside at i meets the box, both widened as on the grid.
inline bool pk_elem_index_aside_meets(const pk_elem_index& index, std::size_t i, double xmin, double ymin, double xmax,
                                      double ymax)
{
    const double* b = &index.wide_boxes[4 * i];
    constexpr double reach = 2.0 * kElemIndexMargin;
    return b[2] + reach >= xmin && b[0] - reach <= xmax && b[3] + reach >= ymin && b[1] - reach <= ymax;
}
// Hands visit(k) the same elements as pk_elem_index_candidates, in the same order, until it
// answers false; those numbered below `lowest` are left out (a search that would pass over them
// by number says so). An index without a grid keeps every element aside in element order: those
// whose boxes meet the box are handed out as they stand. Only the elements from `listed_from`
// (at most `lowest`) on are listed, so that those before it skip their box tests; the list is
// kept for the next visit with the same box that lists from there or later (the searches
// along one element all pass over the elements before one of them). A visit must not visit the
// same index from within. With `line` set, a..d are the start and end of a line and the elements
// are those of pk_elem_index_line_candidates (without a grid: those whose boxes meet the line's
// box).
template <class Visit>
void pk_elem_index_visit_query(pk_elem_index& index, int listed_from, int lowest, bool line, double a, double b,
                               double c, double d, Visit&& visit)
{
    double* q = index.visit_box;
    if (!index.visit_listed || index.visit_line != line || q[0] != a || q[1] != b || q[2] != c || q[3] != d ||
        listed_from < index.visit_lowest) {
        if (index.columns >= 1 && line) {
            pk_elem_index_line_candidates(index, a, b, c, d, index.visit_list, listed_from);
        } else if (index.columns >= 1) {
            pk_elem_index_candidates(index, a, b, c, d, index.visit_list, listed_from);
        } else {
            const double xmin = line ? std::min(a, c) : a, ymin = line ? std::min(b, d) : b;
            const double xmax = line ? std::max(a, c) : c, ymax = line ? std::max(b, d) : d;
            index.visit_list.clear();
            std::size_t i = 0;
            while (i < index.wide.size() && index.wide[i] < listed_from) ++i;
            for (; i < index.wide.size(); ++i)
                if (pk_elem_index_aside_meets(index, i, xmin, ymin, xmax, ymax))
                    index.visit_list.push_back(index.wide[i]);
        }
        q[0] = a, q[1] = b, q[2] = c, q[3] = d;
        index.visit_line = line;
        index.visit_lowest = listed_from;
        index.visit_listed = true;
    }
    // The list is in increasing order: those below `lowest` are passed over, a few one by one
    // (most searches pass over none or a few), the rest by halving.
    auto k = index.visit_list.begin();
    const auto end = index.visit_list.end();
    for (int step = 0; step < 8 && k != end && *k < lowest; ++step) ++k;
    if (k != end && *k < lowest) k = std::lower_bound(k, end, lowest);
    for (; k != end; ++k)
        if (!visit(*k)) return;
}
template <class Visit>
void pk_elem_index_visit(pk_elem_index& index, int lowest, double xmin, double ymin, double xmax, double ymax,
                         Visit&& visit)
{
    pk_elem_index_visit_query(index, lowest, lowest, false, xmin, ymin, xmax, ymax, visit);
}
// The same for the line from (sx, sy) to (ex, ey).
template <class Visit>
void pk_elem_index_visit_line(pk_elem_index& index, int lowest, double sx, double sy, double ex, double ey,
                              Visit&& visit)
{
    pk_elem_index_visit_query(index, lowest, lowest, true, sx, sy, ex, ey, visit);
}
// A box holding an element's (kind 0 line from s to e; 1 arc with centre c and radius): its ends'
// box, with the box of an arc's circle added. Built without the arc's quadrants, so cheap to
// test before the arc's own box.
inline void elem_holding_box(int kind, double cx, double cy, double radius, double sx, double sy, double ex, double ey,
                             double* box)
{
    box[0] = std::min(sx, ex), box[1] = std::min(sy, ey), box[2] = std::max(sx, ex), box[3] = std::max(sy, ey);
    if (kind != 1) return;
    const double r = std::fabs(radius);
    box[0] = std::min(box[0], cx - r), box[1] = std::min(box[1], cy - r);
    box[2] = std::max(box[2], cx + r), box[3] = std::max(box[3], cy + r);
}

// Whether an element (kind 0 line from s to e, 1 arc with centre c and radius) may overlap the
// box of an element of the array at all: false when a box holding its own misses the box of all
// of them (widened as the grid widens boxes), so that a search with it finds nothing. NaN
// reaches everything. Inline: the loop intersection asks it for every element of a loop.
inline bool pk_elem_index_reaches(const pk_elem_index& index, int kind, double cx, double cy, double radius, double sx,
                                  double sy, double ex, double ey)
{
    double h[4];
    elem_holding_box(kind, cx, cy, radius, sx, sy, ex, ey, h);
    constexpr double reach = 2.0 * kElemIndexMargin;
    const double* b = index.box;
    return !(h[2] + reach < b[0] || h[0] - reach > b[2] || h[3] + reach < b[1] || h[1] - reach > b[3]);
}

// elem_pair_intersect through the index of the searched array (built for the same x, y and
// count): the same crossing, element and group, with only the indexed candidates tested. A walk
// leaves the pair it took its crossing from in the index (pk_spent_pair) for its continuing
// search; a continuing walk standing at that pair (pk_spent_pair_holds) with nothing after it
// finds nothing, answered before any set-up.
void elem_pair_intersect_indexed(pk_elem_index& index, int mode, int own, int first_group, int kind, double cx,
                                 double cy, double radius, double direction, double sx, double sy, double ex, double ey,
                                 const double* direction_at, const double* own_x, const double* own_y, const double* x,
                                 const double* y, int count, int closing, int after_closing, double previous_x,
                                 double previous_y, const pk_box_table& table, int& found_element, int& found_group,
                                 double& crossing_x, double& crossing_y, int& found);

// The inputs and outputs of one indexed search of a walk, kept by the walk between its searches
// (most of them stay the same along an element): the arguments of elem_pair_intersect_indexed
// under their names there, found_element and found_group in and out, the crossing and found out.
struct pk_walk_search {
    int mode = 0, own = 0, first_group = 1, kind = 0;
    double cx = 0.0, cy = 0.0, radius = 0.0, direction = 0.0, sx = 0.0, sy = 0.0, ex = 0.0, ey = 0.0;
    const double* direction_at = nullptr;
    const double* own_x = nullptr;
    const double* own_y = nullptr;
    const double* x = nullptr;
    const double* y = nullptr;
    int count = 0, closing = 0, after_closing = 0;
    double previous_x = 0.0, previous_y = 0.0;
    int found_element = 0, found_group = 0;
    double crossing_x = 0.0, crossing_y = 0.0;
    int found = 0;
};

// elem_pair_intersect_indexed for an element the caller already knows to reach the index
// (pk_elem_index_reaches answered true for it): the same answer without asking again.
void elem_walk_intersect_indexed(pk_elem_index& index, const pk_box_table& table, pk_walk_search& w);
// Whether the walk search w continues from the pair the index's last search spent (found
// element and previous point as that search left them) and the pair had nothing after it: the
// search would find nothing.
bool elem_walk_spent(const pk_elem_index& index, const pk_walk_search& w);

// The same search on pocket arrays, in space: start, end, previous and crossing are points of
// three doubles and centre two; z comes from the array's z block (a planar pocket, pocket
// dimension 2, or an array without z searches in the plane with z 0). Lines cross in the
// pocket's dimension; the junction tests compare with z. own_array is the array the element
// belongs to (may be null); the parallel retry of a continuing walk reads it.
void pokarr_elem_intersect(int mode, int own, int first_group, int kind, const double* centre, double radius,
                           double direction, const double* start, const double* end, const double* direction_at,
                           const pokarr* own_array, const pokarr& array, int closing, int after_closing,
                           const double* previous, const pk_box_table& table, int& found_element, int& found_group,
                           double* crossing, int& found);
// Module switch (off): lines of a search in space cross in the plane. The loop removal's walk
// over a surface-grid loop turns it on for itself when asked (delups_state.crossings_in_plan).
extern int pokarr_search_lines_in_plane;

// ---- crossing snapshot and junction tests ------------------------------------------------------

inline constexpr int kSnapshotSize = 7000;

// Copy of a crossing table taken before a search by the walks of the loop removal and the loop
// intersection: four element columns (two pairs) and the point of every record.
struct pk_snapshot {
    int count = 0;
    int element[4][kSnapshotSize];
    double x[kSnapshotSize];
    double y[kSnapshotSize];
    double z[kSnapshotSize];
};
extern pk_snapshot pk_snapshot_block;

// The element before (side 2) or after (side 1) element e of the loop x, y of count entries,
// with its kind (1 arc) and unit direction (at its start for side 1, at its end for side 2).
// When other is not -1 and differs from the result, element and flag are replaced (element by
// the result, flag 0).
int xy_elem_neighbour(int side, int& element, int& flag, int other, const double* x, const double* y, int count,
                      int own, int& kind, double* direction);
// Result 1 when the junction of elements a and b at the point is recorded in the snapshot.
void xy_junction_known(const double* x, const double* y, int count, int a, int b, const double* point, int& result);
// The twins on a pocket array: the direction is three doubles (in space for a line of a 3-D
// array), and the junction's point is compared with its z unless the pocket is planar.
int pk_elem_neighbour(int side, int& element, int& flag, int other, const pokarr& array, int own, int& kind,
                      double* direction);
void pk_junction_known(const pokarr& array, int a, int b, const double* point, int& result);
// Result 1 when a snapshot record names element b in its second pair and holds the point
// (mode 2 compares in 2-D).
void pk_point_known(int mode, int a, int b, const double* point, int& result);

// ---- crossing table of the loop removal --------------------------------------------------------

inline constexpr int kIngoSize = 7000;
// Records ckintr accepts; the 751st is refused.
inline constexpr int kCkintrMax = 750;

// Status words of ckintr.
inline constexpr int kCkintrEntered = 0;
inline constexpr int kCkintrMetAgain = 1;
inline constexpr int kCkintrFull = -1;

// Enters the crossing of elements i and j at point (x, y, z, z2) with their side codes; start is
// the walk's start point (three doubles). count, hits (kCkintrMax entries), ingo... are the
// caller's table (columns of at least kCkintrMax entries); flag is the caller's flag word.
void ckintr(int& count, int* hits, int* ingo, int* ingo1, double* side1, double* side2, double* xing, double* ying,
            double* zing, double* z2ing, int i, int j, double x, double y, double z, double z2, int side_i, int side_j,
            const double* start, int& flag, int& status);
