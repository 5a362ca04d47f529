// The region a link may cross below the top: ways inside, through a hole, out of the outer
// polygon, along a boundary within the slack, nearer a polygon than its clearance; and the height
// of a link over such a way.
#include "pocket_arrays/way_region.hpp"

#include <gtest/gtest.h>

namespace {

// A 10 x 10 square with a square hole from 4 to 6, both with the same clearance.
way_region square_with_hole(double clearance)
{
    way_region r;
    way_region_add(r, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, clearance);
    way_region_add(r, {{4, 4}, {4, 6}, {6, 6}, {6, 4}}, clearance);
    return r;
}

TEST(WayRegion, WaysStayInsideKeepingEveryClearance)
{
    struct row {
        const char* name;
        double clearance;
        std::array<double, 2> a, b;
        bool inside;
    };
    constexpr double kSlack = 0.01;
    const row rows[] = {
        {"across below the hole", 0.0, {1, 1}, {9, 1}, true},
        {"through the hole", 0.0, {1, 5}, {9, 5}, false},
        {"out of the outer square", 0.0, {5, 1}, {12, 1}, false},
        {"along the hole's side", 0.0, {3, 4}, {7, 4}, true},
        {"along the hole's side, off by the slack", 0.0, {3, 3.995}, {7, 4.005}, true},
        {"a standing point in the hole", 0.0, {5, 5}, {5, 5}, false},
        {"clear of both by 2", 1.0, {2, 2}, {8, 2}, true},
        {"half a clearance from the hole", 1.0, {2, 3.5}, {8, 3.5}, false},
        {"half a clearance from the outer square", 1.0, {0.5, 2}, {0.5, 8}, false},
        {"a clearance from the outer square, less the slack", 1.0, {0.995, 2}, {0.995, 8}, true},
        {"past a corner of the hole", 1.0, {4, 8.8}, {8.8, 4}, false},
    };
    for (const row& r : rows) {
        const way_region region = square_with_hole(r.clearance);
        EXPECT_EQ(way_in_region(region, r.a.data(), r.b.data(), kSlack), r.inside) << r.name;
        EXPECT_EQ(way_in_region(region, r.b.data(), r.a.data(), kSlack), r.inside) << r.name << ", reversed";
    }
    const double a[2] = {1, 1}, b[2] = {2, 2};
    EXPECT_FALSE(way_in_region(way_region{}, a, b, kSlack)) << "no region";
}

TEST(WayRegion, LinksBelowTheTopGoOverWhatTheyWouldCross)
{
    struct row {
        const char* name;
        std::array<double, 2> a, b;
        double height;
        double expected;
    };
    const row rows[] = {
        {"below the top, inside", {1, 1}, {9, 1}, 6.0, 6.0},
        {"below the top, through the hole", {1, 5}, {9, 5}, 6.0, 12.0},
        {"at the top, through the hole", {1, 5}, {9, 5}, 12.0, 12.0},
        {"above the top, through the hole", {1, 5}, {9, 5}, 14.0, 14.0},
    };
    const way_region region = square_with_hole(0.5);
    for (const row& r : rows)
        EXPECT_EQ(way_height(region, r.a.data(), r.b.data(), r.height, 12.0, 0.01), r.expected) << r.name;
}

}  // namespace
