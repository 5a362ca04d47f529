// The intersection search on pocket arrays in space (pokarr_elem_intersect), its junction twins
// pk_elem_neighbour and pk_junction_known, and the continuing walk's parallel retry and second
// look at an arc.
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_test_support.hpp"

#include <cmath>
#include <memory>

namespace {

class SearchSpace : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        pk_snapshot_block.count = 0;
    }
};

struct xyz {
    double x, y, z;
};

pokarr make_3d(std::initializer_list<xyz> entries)
{
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (const xyz& e : entries) {
        const double p[3] = {e.x, e.y, e.z};
        pokarr_add_pnt(p, a, status);
    }
    return a;
}

struct result {
    int found = kSearchNone, element = 0, group = 0;
    double point[3] = {0, 0, 0};
};

result search_line(const pokarr& loop, const double* start, const double* end, int mode = 1, int own = 0)
{
    auto table = std::make_unique<pk_box_table>();
    pokarr_get_boxes(loop, *table);
    result r;
    const double absent[2] = {kDirectionAbsent, 0.0};
    const double previous[3] = {0, 0, 0};
    pokarr_elem_intersect(mode, own, 1, 0, nullptr, 0, 1, start, end, absent, nullptr, loop, loop.count - 1, 1,
                          previous, *table, r.element, r.group, r.point, r.found);
    return r;
}

TEST_F(SearchSpace, LinesCrossOnlyWhereTheirHeightsMeet)
{
    pocket_state_block.pocket_dimension = 3;
    // A square at z 0 and a ramp crossing its edge x = 10.
    pokarr square = make_3d({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {0, 0, 0}});
    const double level_start[3] = {5, 5, 0}, level_end[3] = {15, 5, 0};
    result r = search_line(square, level_start, level_end);
    ASSERT_EQ(r.found, kSearchFound);
    EXPECT_EQ(r.element, 2);
    EXPECT_NEAR(r.point[0], 10.0, 1e-12);
    EXPECT_NEAR(r.point[1], 5.0, 1e-12);
    EXPECT_NEAR(r.point[2], 0.0, 1e-12);

    // Passing above the edge in space: no crossing, though the plane search sees one.
    const double high_start[3] = {5, 5, 3}, high_end[3] = {15, 5, 3};
    EXPECT_EQ(search_line(square, high_start, high_end).found, kSearchNone);
    pokarr_search_lines_in_plane = 1;
    EXPECT_EQ(search_line(square, high_start, high_end).found, kSearchFound);
    pokarr_search_lines_in_plane = 0;

    // A planar pocket searches in the plane and answers z 0.
    pocket_state_block.pocket_dimension = 2;
    r = search_line(square, high_start, high_end);
    EXPECT_EQ(r.found, kSearchFound);
    EXPECT_EQ(r.point[2], 0.0);
    pokarr_free(square);
}

TEST_F(SearchSpace, ArcCrossingTakesTheHeightAlongTheOwnElement)
{
    pocket_state_block.pocket_dimension = 3;
    pokarr wall = make_3d({{0, -20, 0}, {0, 20, 0}});
    // A half circle about (0, 0) radius 5 from (5, 0) to (-5, 0) counter-clockwise, rising 0 to 4.
    auto table = std::make_unique<pk_box_table>();
    pokarr_get_boxes(wall, *table);
    const double centre[2] = {0, 0}, start[3] = {5, 0, 0}, end[3] = {-5, 0, 4}, previous[3] = {0, 0, 0};
    const double absent[2] = {kDirectionAbsent, 0.0};
    result r;
    pokarr_elem_intersect(1, 0, 1, 1, centre, 5, 1, start, end, absent, nullptr, wall, 1, 1, previous, *table,
                          r.element, r.group, r.point, r.found);
    ASSERT_EQ(r.found, kSearchFound);
    EXPECT_NEAR(r.point[0], 0.0, 1e-9);
    EXPECT_NEAR(r.point[1], 5.0, 1e-9);
    EXPECT_NEAR(r.point[2], 2.0, 1e-9);  // half way along the arc
    pokarr_free(wall);
}

TEST_F(SearchSpace, AgreesWithThePlaneSearchOnAFlatLoop)
{
    pocket_state_block.pocket_dimension = 3;
    std::vector<double> x, y;
    pokarr loop = make_3d({});
    for (int i = 0; i <= 40; ++i) {
        const double a = 2.0 * M_PI * (i % 40) / 40;
        const double p[3] = {10 * std::cos(a), 10 * std::sin(a), 0.0};
        int status = 0;
        pokarr_add_pnt(p, loop, status);
    }
    auto table = std::make_unique<pk_box_table>();
    pokarr_get_boxes(loop, *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    for (int k = 0; k < 12; ++k) {
        const double a = 0.5 + k;
        const double s[3] = {0, 0, 0}, e[3] = {20 * std::cos(a), 20 * std::sin(a), 0};
        result space = search_line(loop, s, e);
        int element = 0, group = 0, found = 0;
        double cx = 0, cy = 0;
        elem_pair_intersect(1, 0, 1, 0, 0, 0, 0, 1, s[0], s[1], e[0], e[1], absent, nullptr, nullptr, loop.x, loop.y,
                            loop.count, loop.count - 1, 1, 0, 0, *table, element, group, cx, cy, found);
        ASSERT_EQ(space.found, found) << k;
        EXPECT_EQ(space.element, element) << k;
        EXPECT_NEAR(space.point[0], cx, 1e-12) << k;
        EXPECT_NEAR(space.point[1], cy, 1e-12) << k;
        EXPECT_NEAR(std::hypot(cx, cy), 10.0, 0.2) << k;
    }
    pokarr_free(loop);
}

TEST_F(SearchSpace, NeighbourOfALineRunsInSpace)
{
    pocket_state_block.pocket_dimension = 3;
    pokarr loop = make_3d({{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}, {0, 0, 0}});
    int element = 1, flag = 1, kind = -1;
    double d[3];
    // After element 1 comes element 2, which rises straight up.
    EXPECT_EQ(pk_elem_neighbour(1, element, flag, -1, loop, 0, kind, d), 2);
    EXPECT_EQ(kind, 0);
    EXPECT_NEAR(d[0], 0.0, 1e-12);
    EXPECT_NEAR(d[2], 1.0, 1e-12);
    EXPECT_EQ(element, 1);  // no other element given: nothing replaced
    EXPECT_EQ(flag, 1);
    // Before element 1 comes the closing element 4; another element given replaces it.
    EXPECT_EQ(pk_elem_neighbour(2, element, flag, 3, loop, 0, kind, d), 4);
    EXPECT_EQ(element, 4);
    EXPECT_EQ(flag, 0);
    EXPECT_NEAR(d[2], -1.0, 1e-12);
    pokarr empty;
    pokarr_init(3, empty);
    element = 1;
    EXPECT_EQ(pk_elem_neighbour(1, element, flag, -1, empty, 0, kind, d), 0);
    pokarr_free(loop);
}

TEST_F(SearchSpace, JunctionIsKnownOnlyAtItsHeight)
{
    pocket_state_block.pocket_dimension = 3;
    pokarr loop = make_3d({{0, 0, 0}, {10, 0, 0}, {10, 10, 5}, {0, 10, 5}, {0, 0, 0}});
    pk_snapshot& s = pk_snapshot_block;
    s.count = 1;
    s.element[0][0] = 1;
    s.element[1][0] = -3;
    s.element[2][0] = 0;
    s.element[3][0] = 0;
    s.x[0] = 5;
    s.y[0] = 5;
    s.z[0] = 2.5;
    int known = -1;
    const double at[3] = {5, 5, 2.5}, below[3] = {5, 5, 0};
    pk_junction_known(loop, 1, 3, at, known);
    EXPECT_EQ(known, 1);
    pk_junction_known(loop, 3, 1, at, known);
    EXPECT_EQ(known, 1);
    pk_junction_known(loop, 1, 3, below, known);
    EXPECT_EQ(known, 0);
    pk_junction_known(loop, 1, 2, at, known);
    EXPECT_EQ(known, 0);
    // A junction at an element's end stands for the element after it: element 1 ends at (10, 0)
    // where element 2 begins.
    s.x[0] = 10;
    s.y[0] = 0;
    s.z[0] = 0;
    s.element[0][0] = 2;
    const double corner[3] = {10, 0, 0};
    pk_junction_known(loop, 1, 3, corner, known);
    EXPECT_EQ(known, 1);
    pokarr_free(loop);
}

// A continuing walk whose element runs along a candidate line ending on it: the crossing is
// taken at the element's end when the walk's next element leaves across the candidate.
TEST_F(SearchSpace, ParallelWalkTakesTheEndWhereItsNextElementCrosses)
{
    pocket_state_block.pocket_dimension = 2;
    // The walked array runs along y = 0 from (0, 0) to (4, 0), then up to (4, 3), leaving the
    // candidate's line at the element's end. Without a direction or an own array: no crossing.
    pokarr own = make_2d({{0, 0}, {4, 0}, {4, 3}});
    pokarr candidate = make_2d({{-5, 0}, {10, 0}});
    auto table = std::make_unique<pk_box_table>();
    pokarr_get_boxes(candidate, *table);
    const double s[3] = {0, 0, 0}, e[3] = {4, 0, 0}, previous[3] = {-9, -9, 0};
    const double along[2] = {1.0, 0.0};
    struct row {
        const double* direction;
        const pokarr* own_array;
        int expected;
    };
    const double absent[2] = {kDirectionAbsent, 0.0};
    for (const row r :
         {row{along, &own, kSearchFound}, row{absent, &own, kSearchNone}, row{along, nullptr, kSearchNone}}) {
        result out;
        out.group = 1;  // the walk's current element in its own array
        out.element = 1;
        pokarr_elem_intersect(0, -2, 1, 0, nullptr, 0, 1, s, e, r.direction, r.own_array, candidate, 0, 0, previous,
                              *table, out.element, out.group, out.point, out.found);
        EXPECT_EQ(out.found, r.expected);
        if (r.expected == kSearchFound) {
            EXPECT_NEAR(out.point[0], 4.0, 1e-12);
            EXPECT_NEAR(out.point[1], 0.0, 1e-12);
        }
    }
    // The walk's next element stays on the candidate's side it came from: no crossing.
    pokarr stays = make_2d({{0, 0}, {4, 0}, {8, 0}});
    result out;
    out.group = 1;
    out.element = 1;
    pokarr_elem_intersect(0, -2, 1, 0, nullptr, 0, 1, s, e, along, &stays, candidate, 0, 0, previous, *table,
                          out.element, out.group, out.point, out.found);
    EXPECT_EQ(out.found, kSearchNone);
    pokarr_free(own);
    pokarr_free(candidate);
    pokarr_free(stays);
}

// A walk continuing from a crossing on an arc meets that crossing again first; the second look
// finds the further crossing it hid, and a walk with nothing further finds nothing.
TEST_F(SearchSpace, ContinuingWalkLooksPastItsPreviousCrossingOnAnArc)
{
    pocket_state_block.pocket_dimension = 2;
    // Candidate array: one line across the circle of the own arc, x = 3 from y -10 to 10.
    pokarr candidate = make_2d({{3, -10}, {3, 10}});
    auto table = std::make_unique<pk_box_table>();
    pokarr_get_boxes(candidate, *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    const double centre[2] = {0, 0};
    // A clockwise arc of radius 5 from (0, 5) over the right to (0, -5): it crosses x = 3 at
    // (3, 4) and then at (3, -4).
    const double s[3] = {0, 5, 0}, e[3] = {0, -5, 0};
    const double previous[3] = {3, 4, 0};
    result out;
    out.element = 1;
    out.group = 0;
    pokarr_elem_intersect(-3, kOwnWalkContinues, 1, 1, centre, 5, -1, s, e, absent, nullptr, candidate, 0, 0, previous,
                          *table, out.element, out.group, out.point, out.found);
    ASSERT_NE(out.found, kSearchNone);
    EXPECT_NEAR(out.point[0], 3.0, 1e-9);
    EXPECT_NEAR(out.point[1], -4.0, 1e-9);

    // Having met (3, -4) already, nothing is left.
    const double last[3] = {3, -4, 0};
    result none;
    none.element = 1;
    pokarr_elem_intersect(-3, kOwnWalkContinues, 1, 1, centre, 5, -1, last, e, absent, nullptr, candidate, 0, 0, last,
                          *table, none.element, none.group, none.point, none.found);
    EXPECT_EQ(none.found, kSearchNone);
    pokarr_free(candidate);
}

}  // namespace
