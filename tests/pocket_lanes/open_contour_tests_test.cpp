// The open-contour step tests: the corner kinds by the lane directions, the probe's answer by
// where the contact routine meets the part (and when it fails), the tool given back, the grid
// test and the surface kind words.
#include "lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"
#include "tools/tools_test_support.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/clear_grid.hpp"
#include "clearing/hatch/grid_segment_test.hpp"
#include "cutter/tool_probe.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket_lanes/moves/open_contour_tests.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>
#include <vector>

namespace {

// The contact routine's double: a wall at x = wall_x (nothing when it is 0), or a failure.
double wall_x = 0.0;
bool contact_fails = false;

void wall_contact(const double* point, const double* towards, double /*height*/, double* contact, double* /*normal*/,
                  int& status)
{
    status = contact_fails ? -1 : kContactNone;
    if (contact_fails || wall_x == 0.0) return;
    if ((towards[0] - wall_x) * (point[0] - wall_x) > 0.0) return;
    const double t = (wall_x - point[0]) / (towards[0] - point[0]);
    contact[0] = wall_x;
    contact[1] = point[1] + t * (towards[1] - point[1]);
    status = 0;
}

class StepTests : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        motion_test::fresh_at({0, 0, 0});
        vantu::control::set_data_directories({tools_test::temp_folder()});
        tool_module_reset();
        tool_tables_init();
        mill = tools_test::make_tool(2, "MILL 4");
        int status = 0;
        SGTOOL(1, mill, status);
        ASSERT_EQ(status, 0);
        tool_block().IDTOOL = mill;
        PRM9().words[machine_params::kToolId] = mill;
        tool_set_mill_diameter(4.0f);
        tool_set_corner_radius(1.0f);
        tool_set_cut_length(10.0f);
        pocket_work_block.tolerance = 0.01;
        proc_geometry_reset();
        proc_geometry().curve_approx.clearance = 0.1f;
        wall_x = 0.0;
        contact_fails = false;
        tool_probe_table().tool_contact_point_dbl = wall_contact;
        clear_block = clear_state{};
    }
    void TearDown() override
    {
        tool_probe_table() = default_tool_probe_seams();
        clear_block = clear_state{};
        proc_geometry_reset();
        motion_test::to_load_state();
        // The mill made current here is no tool of the next test.
        tool_module_reset();
        // The pool goes back before the host's reset frees the memory under it.
        LaneTest::TearDown();
        vantu::control::reset();
    }
    int mill = -1;
};

struct step {
    int kind = 0, blocked = -1, status = -9;
    double before[2] = {9, 9}, after[2] = {9, 9};
};

step run(const pokarr& lane, double x, double y, int element, double t, int kind)
{
    step s;
    s.kind = kind;
    open_contour_step_test(lane, 1, x, y, 0.0, {element, t}, s.kind, s.before, s.after, s.blocked, s.status);
    return s;
}

}  // namespace

TEST_F(StepTests, CornerKindsByTheLaneDirections)
{
    // A corner at (10, 0) turning by a cross product of c with a positive dot product.
    auto corner = [](double cross) {
        const double dot = std::sqrt(1.0 - cross * cross);
        return make_2d({{0, 0}, {10, 0}, {10 + 10 * dot, 10 * cross}});
    };
    struct row {
        double cross;
        int kind_in, kind_out;
    } rows[] = {
        {-0.1, 0, kCornerDone},  // convex: probed along the mean, remembered as done
        {-0.2, 0, kCornerMean},  // not convex: after, then the mean next time
        {-0.2, kCornerMean, kCornerBefore},
        {-0.2, kCornerBefore, kCornerDone},
        {-0.2, kCornerDone, kCornerDone + 1},
        {0.5, 0, kCornerDone},
    };
    for (const row& r : rows) {
        pokarr lane = corner(r.cross);
        const step s = run(lane, 10, 0, 2, 0.0, r.kind_in);
        EXPECT_EQ(s.kind, r.kind_out) << r.cross << " " << r.kind_in;
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.blocked, 0);
        EXPECT_NEAR(s.after[0], std::sqrt(1.0 - r.cross * r.cross), 1e-12);
        pokarr_free(lane);
    }
    // The first point of an open lane has one direction.
    pokarr lane = corner(-0.2);
    const step s = run(lane, 0, 0, 1, 0.0, 0);
    EXPECT_EQ(s.kind, kCornerDone);
    pokarr_free(lane);
}

TEST_F(StepTests, ProbeBlockedByTheReachAndGivesTheToolBack)
{
    pokarr lane = make_2d({{0, 0}, {10, 0}, {20, 0}});
    // Shrunk tool: diameter 4 - 10 x 0.1 = 3, reach 1.5 (no taper). The probe along the lane's
    // direction from (10, 0) meets a wall at 11 (blocked) but not one at 12.
    struct row {
        double wall;
        bool fails;
        int blocked;
    } rows[] = {{11.0, false, 1}, {12.0, false, 0}, {0.0, false, 0}, {0.0, true, 1}};
    for (const row& r : rows) {
        wall_x = r.wall;
        contact_fails = r.fails;
        const step s = run(lane, 10, 0, 2, 0.0, kCornerAfter);
        EXPECT_EQ(s.blocked, r.blocked) << r.wall << " " << r.fails;
        float diameter = 0.0f, corner = 0.0f;
        tool_get_mill_diameter(mill, diameter);
        tool_get_corner_radius(mill, corner);
        EXPECT_FLOAT_EQ(diameter, 4.0f);
        EXPECT_FLOAT_EQ(corner, 1.0f);
    }
    pokarr_free(lane);
}

TEST_F(StepTests, GridTestReadsTwoCellsAndPassesWithoutAGrid)
{
    const double a[2] = {0.2, 0.2}, b[2] = {1.2, 0.2}, same[2] = {0.3, 0.1}, far[2] = {50, 50};
    int result = 0;
    grid_segment_test(a, b, 0.0, result);
    EXPECT_EQ(result, 1);  // no grid
    std::vector<float> cells(2 * 4 * 4, 0.0f);
    clear_block.cell_size[0] = clear_block.cell_size[1] = 1.0f;
    clear_block.columns = clear_block.rows = 4;
    clear_block.cells = cells.data();
    clear_block.bound = 5.0;
    cells[0] = 2.0f;  // cell (0, 0)
    cells[2] = 3.0f;  // cell (1, 0)
    grid_segment_test(a, b, 1.0, result);
    EXPECT_EQ(result, 0);  // both below the bound, both above the height
    grid_segment_test(a, b, 2.5, result);
    EXPECT_EQ(result, 1);
    grid_segment_test(a, same, 1.0, result);
    EXPECT_EQ(result, 1);  // one cell
    grid_segment_test(a, far, 1.0, result);
    EXPECT_EQ(result, 1);  // off the grid
    clear_block.cell_size[0] = 0.0f;
    grid_segment_test(a, b, 1.0, result);
    EXPECT_EQ(result, 1);
}

TEST_F(StepTests, SurfaceKindWordsByType)
{
    const int surfaces[3] = {5, -1, 7};
    for (const int type : {1, 2, 3, 4, 7, 9}) {
        int result = 0;
        pick_list_of_type(surfaces, type, result);
        EXPECT_EQ(result, -1) << type;  // no surface keeps a kind word in this module
    }
}

TEST_F(StepTests, SidewaysContactNearestInFront)
{
    const double a[2] = {10, 0}, b[2] = {13, 0}, up[2] = {0, 1};
    struct row {
        double wall;
        double want_x;
    } rows[] = {{12.0, 12.0}, {0.0, 13.0}, {20.0, 13.0}};
    for (const row& r : rows) {
        wall_x = r.wall;
        double found[2] = {0, 0};
        int status = -9;
        open_contour_contact(a, b, up, 0.0, found, status);
        EXPECT_EQ(status, 0);
        EXPECT_NEAR(found[0], r.want_x, 1e-12) << r.wall;
        EXPECT_NEAR(found[1], 0.0, 1e-12);
    }
    // Nothing is searched when the two points coincide.
    wall_x = 12.0;
    double found[2] = {0, 0};
    int status = -9;
    open_contour_contact(a, a, up, 0.0, found, status);
    EXPECT_EQ(found[0], 10.0);
}

namespace {
void always_touches(const double* /*point*/, int& contact_flag, int& status)
{
    contact_flag = 1;
    status = 1;
}
}  // namespace

TEST_F(StepTests, TaperedToolProbesFromTheFirstFreePoint)
{
    tool_block().TLVERS = 900;
    tool_shapes().mill.SPARE1 = 10.0f;
    pokarr lane = make_2d({{0, 0}, {10, 0}, {20, 0}});
    // Shrunk radius 1.5, reach tan 10 degrees x 10 + 1.5 = 3.263; the first probe stands free
    // 1.1 x the tolerance (the smaller of it and a sixth of the radius) behind the point, at 9.989.
    struct row {
        double wall;
        int blocked;
    } rows[] = {{12.5, 1}, {13.2, 1}, {13.3, 0}};
    for (const row& r : rows) {
        wall_x = r.wall;
        const step s = run(lane, 10, 0, 2, 0.0, kCornerAfter);
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.blocked, r.blocked) << r.wall;
    }
    // No probe stands free: usable, not probed.
    tool_probe_table().tool_point_touch_test_dbl = always_touches;
    const step s = run(lane, 10, 0, 2, 0.0, kCornerAfter);
    EXPECT_EQ(s.status, kStepOnPart);
    EXPECT_EQ(s.blocked, 0);
    pokarr_free(lane);
}
