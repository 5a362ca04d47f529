// Common loops: arrays of different dimensions are refused; the walk of two squares in every
// orientation and kind records what the filter keeps; loops that do not cross give nothing; the
// re-offset flag keeps the loops pending; the common part of two regions is their intersection.
#include "lane_test_support.hpp"

#include "pocket_arrays/kernel_geometry.hpp"
#include "pocket_arrays/pocket_test_support.hpp"
#include "pocket_arrays/pokarr_convert.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/common_loops.hpp"

#include <tuple>
#include <vector>

namespace {

class CommonLoops : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.working_tolerance = 0.001;
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
        lane_table_reset();
    }
    void TearDown() override
    {
        loop_buffer_clear(pending_loops_block);
        loop_buffer_clear(collected_loops_block);
        LaneTest::TearDown();
    }
};

pokarr square(double x0, double y0, double side)
{
    return make_from({{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}});
}

bool has_arc(const pokarr& a)
{
    for (int i = 0; i < a.count; ++i)
        if (pk_is_marker(a.x[i])) return true;
    return false;
}

// The crossings counted of copies of two planar loops laid in space, the second 5 above the first
// and sloping.
int lifted_crossings(const pokarr& a, const pokarr& b)
{
    pokarr a3, b3;
    int status = 0;
    for (const auto& [plan, lifted, base] : {std::tuple{&a, &a3, 0.0}, std::tuple{&b, &b3, 5.0}}) {
        pokarr_init(3, *lifted);
        for (int i = 0; i < plan->count; ++i) {
            const double q[3] = {plan->x[i], plan->y[i], base + 0.1 * plan->x[i]};
            pokarr_add_pnt(q, *lifted, status);
        }
    }
    const int crossings = status == 0 ? comlup_crossings(a3, b3) : -2;
    pokarr_free(a3);
    pokarr_free(b3);
    return crossings;
}

}  // namespace

TEST_F(CommonLoops, DimensionsMustAgree)
{
    pokarr a = square(0, 0, 10);
    pokarr b;
    pokarr_init(3, b);
    int status = 0;
    for (const xy& p : std::vector<xy>{{5, 5}, {15, 5}, {15, 15}, {5, 5}}) {
        const double q[3] = {p.x, p.y, 0.0};
        pokarr_add_pnt(q, b, status);
    }
    int levels = 3, largest = 0, lanes = 0;
    comlup_pokarr(0, a, b, 1, 1.0, 1, 0, 0, 0, 0, levels, largest, lanes, status);
    EXPECT_EQ(status, kComlupNone);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "[comlup_pokarr] DIMENSIONS OF ARRAYS DIFFER");
    EXPECT_EQ(lane_table_block.count, 0);
    pokarr_free(a);
    pokarr_free(b);
}

TEST_F(CommonLoops, TwoSquaresByOrientationAndKind)
{
    struct row {
        const char* name;
        bool reverse_b;
        int kind;
        int status;
        std::vector<double> signed_areas;  // of the lanes recorded, in order
    } rows[] = {
        // Kind 0 keeps the counter-clockwise loops: the intersection and the union.
        {"same sense, kind 0", false, 0, kComlupRecorded, {25.0, 175.0}},
        // Against a clockwise B only A less B runs counter-clockwise.
        {"opposite sense, kind 0", true, 0, kComlupRecorded, {75.0}},
        // Other kinds keep loops of at least the reference area, reversed.
        {"same sense, kind 1", false, 1, kComlupRecorded, {-175.0}},
        {"same sense, kind 2", false, 2, kComlupRecorded, {-175.0}},
        {"apart", false, 0, kComlupNone, {}},
    };
    for (const row& r : rows) {
        lane_table_reset();
        pokarr a = square(0, 0, 10);
        pokarr b = std::string(r.name) == "apart" ? square(20, 0, 10) : square(5, 5, 10);
        if (r.reverse_b) pokarr_reverse(b);
        int levels = 3, largest = 0, lanes = 0, status = -7;
        comlup_pokarr(0, a, b, 1, 1.0, 1, 0, 0, r.kind, 0, levels, largest, lanes, status);
        EXPECT_EQ(status, r.status) << r.name;
        ASSERT_EQ(lane_table_block.count, static_cast<int>(r.signed_areas.size())) << r.name;
        for (int n = 1; n <= lane_table_block.count; ++n) {
            pokarr l;
            pokarr_init(2, l);
            lane_to_pokarr(n, l, status);
            double area = 0.0;
            int direction = 0;
            pokarr_area_dir(l, area, direction);
            EXPECT_NEAR(area * direction, r.signed_areas[static_cast<std::size_t>(n - 1)], 1e-9) << r.name;
            EXPECT_EQ(lane_table_block.offset[n], 1.0) << r.name;
            pokarr_free(l);
        }
        // The second loop of kind 0 takes the next level number.
        if (r.signed_areas.size() == 2) {
            EXPECT_EQ(levels, 4) << r.name;
        }
        pokarr_free(a);
        pokarr_free(b);
    }
}

TEST_F(CommonLoops, ReoffsetFlagKeepsTheLoopsPending)
{
    pokarr a = square(0, 0, 10), b = square(5, 5, 10);
    int levels = 3, largest = 0, lanes = 0, status = 0;
    comlup_pokarr(1, a, b, 1, 1.0, 1, 0, 0, 0, 0, levels, largest, lanes, status);
    EXPECT_EQ(status, kComlupRecorded);
    EXPECT_EQ(lane_table_block.count, 0);
    EXPECT_EQ(pending_loops_block.loops, 2);
    EXPECT_EQ(pending_loops_block.directions[1], 1);
    pokarr_free(a);
    pokarr_free(b);
}

namespace {

// A full circle of two half-turn arcs, counter-clockwise from (cx + r, cy).
std::vector<xy> circle_entries(double cx, double cy, double r)
{
    std::vector<xy> e{{cx + r, cy}};
    push_arc(e, r, 1.0, cx, cy, cx - r, cy);
    push_arc(e, r, 1.0, cx, cy, cx + r, cy);
    return e;
}

std::vector<xy> square_entries(double x0, double y0, double side)
{
    return {{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}};
}

ClipperLib::Paths region_of(const std::vector<xy>& entries)
{
    return {kernel_geometry::path_of(kernel_geometry::flatten(entries, kernel_geometry::kSagitta))};
}

double clipped_area(ClipperLib::ClipType type, const ClipperLib::Paths& a, const ClipperLib::Paths& b)
{
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths out;
    c.Execute(type, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return kernel_geometry::area_of(out);
}

}  // namespace

// The common part of two counter-clockwise regions, as the collapse lanes clip a swallowtail to
// its source, and the part of the first outside the second, as they cut an island lane out of a
// part: their areas are Clipper's intersection and difference areas whichever loop comes first,
// where the loops cross, where an arc touches a side from inside (a touch, not a crossing) and
// where a piece runs out past the tip of a horn; loops that do not cross give nothing.
TEST_F(CommonLoops, PartsOfTwoRegionsAreTheirIntersectionAndDifference)
{
    struct row {
        const char* name;
        std::vector<xy> a, b;
        bool cross;
    } rows[] = {
        {"crossing squares", square_entries(0, 0, 10), square_entries(5, 5, 10), true},
        {"square and circle", square_entries(0, 0, 10), circle_entries(10, 5, 4), true},
        {"circle touching a side", square_entries(0, 0, 10), circle_entries(8.5, 7, 3), true},
        {"horn and swallowtail",
         {{0, 0}, {10, 1}, {0, 2}, {0, 0}},
         {{4, 0.8}, {12, 0.9}, {12, 1.1}, {4, 1.2}, {4, 0.8}},
         true},
        {"one inside the other", square_entries(0, 0, 10), square_entries(2, 2, 3), false},
    };
    static loop_buffer out;
    for (const row& r : rows) {
        for (const bool swapped : {false, true})
            for (const bool outside : {false, true}) {
                const ClipperLib::Paths first = region_of(swapped ? r.b : r.a), second = region_of(swapped ? r.a : r.b);
                const double expected =
                    clipped_area(outside ? ClipperLib::ctDifference : ClipperLib::ctIntersection, first, second);
                pokarr a = make_from(swapped ? r.b : r.a), b = make_from(swapped ? r.a : r.b);
                loop_buffer_clear(out);
                int crossings = -1;
                const std::string name =
                    std::string(r.name) + (swapped ? ", swapped" : "") + (outside ? ", outside" : ", inside");
                ASSERT_TRUE(outside ? comlup_outside_loops(a, b, out, crossings)
                                    : comlup_inside_loops(a, b, out, crossings))
                    << name;
                EXPECT_EQ(crossings > 0, r.cross) << name;
                // Lifted apart in height, the loops still cross where their plans do.
                if (!outside && !has_arc(a) && !has_arc(b)) {
                    EXPECT_EQ(comlup_crossings(a, b), lifted_crossings(a, b)) << name;
                }
                ClipperLib::Paths got;
                pokarr part;
                pokarr_init(2, part);
                for (int k = 1, first = 0, status = 0; k <= out.loops; first += out.counts[k++]) {
                    pokarr_replace(out.counts[k], out.points, first, part, status);
                    EXPECT_EQ(out.directions[k], 1) << name;
                    const ClipperLib::Paths p = region_of(entries_of(part));
                    got.insert(got.end(), p.begin(), p.end());
                }
                EXPECT_NEAR(kernel_geometry::area_of(got), r.cross ? expected : 0.0, 1e-3) << name;
                pokarr_free(part);
                pokarr_free(a);
                pokarr_free(b);
            }
    }
    loop_buffer_clear(out);
}
