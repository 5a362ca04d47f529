// One pocket level of hatch clearing as the pocket execution runs it: tkpolg builds the clearing
// point list from the lanes the lane engine left, clear_passes_out writes it at every level's Z
// between LAYER markers, and the LAYER markers with the level's first move.
#include "clearing_support.hpp"

#include "clearing/hatch/clear_markers.hpp"
#include "pocket/clean_region.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <string>

using namespace clearing_test;
using motion_test::steps;

namespace {

class HatchLevel : public ClearingTest {
protected:
    void SetUp() override
    {
        ClearingTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pocket_state_block.pocket_dimension = 2;
        lane_table_reset();
        pocket_box_block.first_output_lane = 1;
        int size = 1000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        polbuf_open_all(2, 1000, status);
        ASSERT_EQ(status, 0);
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.side_step = 2.0;
        pocket_state& s = pocket_state_block;
        s.z_step = 5.0;
        s.approach_height = 7.0;
        s.level_count = 3;
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        pkdm_rel_all();
        ClearingTest::TearDown();
    }
    // A live output lane through the points (the lane engine's single offset).
    static void lane(const polygon& points)
    {
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        for (std::size_t i = 0; i <= points.size(); ++i) pokarr_add_pnt(points[i % points.size()].data(), a, status);
        lane_add(1, 1, 0, 0, 0, 0.0, 0, a, status);
        pokarr_free(a);
        ASSERT_EQ(status, 0);
    }
    // Writes level k of three at z: the level counter and Z as the execution sets them.
    static int write_level(int k, double z, float angle = 0.0f)
    {
        pocket_state_block.level_counter = k;
        pocket_state_block.current_z = z;
        int status = -9;
        clear_passes_out(angle, 3.0f, 1, status);
        return status;
    }
    // The blocks between each LAYER pair, and the Z each pair opened with.
    struct layer {
        float z = 0.0f;
        std::vector<std::string> steps;
    };
    static std::vector<layer> layers()
    {
        std::vector<layer> out;
        bool open = false;
        for (const auto& line : vantu::control::toolpath_top()) {
            const std::vector<word>& w = line.words;
            if (w.size() < 3) continue;
            if (w[0] == 99 && w[2] == kLayerOpen) {
                out.push_back({word_to_real(w[3]), {}});
                open = true;
            } else if (w[0] == 99 && w[2] == kLayerClose) {
                open = false;
            } else if (open && (w[0] == 2 || w[0] == 22 || w[0] == 222)) {
                out.back().steps.push_back("L" + motion_test::point_text(&w[2]));
            }
        }
        return out;
    }
};

}  // namespace

TEST_F(HatchLevel, EveryLevelReplaysThePointsAtItsOwnZBetweenLayerMarkers)
{
    lane(rectangle(0, 0, 20, 9));
    int status = -9;
    tkpolg(0.0f, 0.0f, 1, 1, 1, status);
    ASSERT_EQ(status, 0) << (errors().empty() ? "" : errors().back());
    const auto points = clearing_points();
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().code, kPassStart);

    ASSERT_EQ(write_level(1, 10.0), 0);
    ASSERT_EQ(write_level(2, 5.0), 0);
    ASSERT_EQ(write_level(3, 0.0), 0);
    const auto found = layers();
    ASSERT_EQ(found.size(), 3u);
    const float z[3] = {10.0f, 5.0f, 0.0f};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_EQ(found[k].z, z[k]);
        // Every level holds the same cuts at its own Z, after the one move of the opening.
        std::vector<std::string> cuts;
        for (const auto& p : points)
            cuts.push_back("L(" + motion_test::number(p.x) + "," + motion_test::number(p.y) + "," +
                           motion_test::number(z[k]) + ")");
        std::vector<std::string> lines;
        for (std::size_t i = 1; i < found[k].steps.size(); ++i) lines.push_back(found[k].steps[i]);
        ASSERT_EQ(lines.size(), cuts.size() - 1) << "the first point is reached before the marker";
        EXPECT_TRUE(std::equal(lines.begin(), lines.end(), cuts.begin() + 1));
    }
    EXPECT_TRUE(errors().empty());
    EXPECT_TRUE(motion_test::texts("usmsgc").empty()) << "every LAYER is closed";
}

TEST_F(HatchLevel, TheFirstPassStartIsApproachedFromTheLevelsOwnHeight)
{
    lane(rectangle(0, 0, 20, 9));
    int status = -9;
    tkpolg(0.0f, 0.0f, 1, 1, 1, status);
    ASSERT_EQ(status, 0);
    // The material stands to 20: the first level at 15 lies a Z step below it.
    pocket_state_block.first_level_z = 15.0;
    // Without the clearance plane and with the display off, the retract climbs 5 above the
    // higher of the tool and the height it is handed: that height is what each row checks.
    struct row {
        const char* what;
        int level;
        int code;    // the host's procedure code
        float x, y;  // where the tool stands, at Z 2
        float over;  // the height the retract climbs to: the approach height + 5
    };
    const row rows[] = {
        {"a later level: its Z + Z step", 2, 0, 10.0f, 5.0f, 15.0f},
        {"the last of several: the tool's Z", 3, 0, 10.0f, 5.0f, 7.0f},
        {"a way out of the region on a later level: the top", 2, 0, 30.0f, 30.0f, 25.0f},
        {"a way out of the region on the last level: the top", 3, 0, 30.0f, 5.0f, 25.0f},
        {"code 34: the level Z", 2, 34, 30.0f, 30.0f, 10.0f},
        {"code 38 on the last level: the level Z", 3, 38, 30.0f, 30.0f, 10.0f},
    };
    const auto points = clearing_points();
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        // The host is not reset here: the clearing point list lives in its arrays.
        tp_mrkr_reset();
        HEI8().at(heights_state::kClearancePlane) = 0;
        set_exec_disp_mode(0);
        DSP8().set_vec(tool_position_state::kPosition, {r.x, r.y, 2.0f});
        vantu::control::set_flag("nc_sub_code", r.code);
        const std::size_t before = steps().size();
        ASSERT_EQ(write_level(r.level, 5.0), 0);
        const auto written = steps();
        const std::vector<std::string> all(written.begin() + static_cast<long>(before), written.end());
        const std::string over = "L(" + motion_test::number(points[0].x) + "," + motion_test::number(points[0].y) +
                                 "," + motion_test::number(r.over) + ")";
        ASSERT_GE(all.size(), 3u);
        EXPECT_EQ(all[1], "L(" + motion_test::number(r.x) + "," + motion_test::number(r.y) + "," +
                              motion_test::number(r.over) + ")")
            << ::testing::PrintToString(all);
        EXPECT_EQ(all[2], over);
    }
}

TEST_F(HatchLevel, ALevelOpensWithOneMoveToWhereTheToolStands)
{
    struct row {
        int dimension;
        const char* block;  // the block type of the move
        float vector_z;     // the vector the move carries
    };
    const row rows[] = {{3, "22", 1.0f}, {2, "222", -1.0f}, {1, "2", 0.0f}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.dimension);
        motion_test::fresh_at({4, 5, 6});
        // Lines with normals are written as such with cutter compensation on.
        PRM9().words[machine_params::kCutterComp] = 1;
        DSP8().set_vec(tool_position_state::kAxis, {0.0f, 0.0f, 1.0f});
        DSP8().set_vec(tool_position_state::kNormal, {0.0f, 0.0f, -1.0f});
        int status = -9;
        clr_mrkr_start_move(r.dimension, 6.0f, status);
        ASSERT_EQ(status, 0);
        clr_mrkr_end(status);
        ASSERT_EQ(status, 0);
        const auto& top = vantu::control::toolpath_top();
        ASSERT_EQ(top.size(), 3u) << "a zero-length move is still written";
        EXPECT_EQ(top[0].words[0], 99);
        EXPECT_EQ(top[0].words[2], kLayerOpen);
        EXPECT_EQ(word_to_real(top[0].words[3]), 6.0f);
        EXPECT_EQ(std::to_string(top[1].words[0]), r.block);
        EXPECT_EQ(motion_test::point_text(&top[1].words[2]), "(4,5,6)");
        if (r.dimension != 1) {
            EXPECT_EQ(word_to_real(top[1].words[7]), r.vector_z);
        }
        EXPECT_EQ(top[2].words[0], 99);
        EXPECT_EQ(top[2].words[2], kLayerClose);
    }
}

TEST_F(HatchLevel, NothingToClearOrAListAlreadyReleasedWritesNothing)
{
    int status = -9;
    tkpolg(0.0f, 0.0f, 1, 1, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(write_level(1, 10.0), -1);
    // The region lower than a hatch line: the engine fails and nothing is replayed.
    lane(rectangle(0, 0, 20, 0.0005));
    tkpolg(0.0f, 0.0f, 1, 1, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(write_level(1, 10.0), -1);
    EXPECT_TRUE(vantu::control::toolpath_top().empty());
    EXPECT_EQ(errors(), (std::vector<std::string>{"tkpolg, AREA TOO SMALL TO MACHINE WITH THIS TOOL AND PARAMETERS",
                                                  "clear_passes_out, NO CLEARING POINTS", "tkpolg, CLRCRE PROBLEMS",
                                                  "clear_passes_out, NO CLEARING POINTS"}));
}

TEST_F(HatchLevel, ThePreviousEndPointIsTurnedForTheEngineAndPutBack)
{
    lane(rectangle(0, 0, 20, 9));
    pocket_state_block.entry_found = 1;
    pocket_state_block.entry_data[0] = 12.0;
    pocket_state_block.entry_data[1] = 4.0;
    int status = -9;
    tkpolg(0.5f, 0.0f, 1, 2, 1, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(pocket_state_block.entry_data[0], 12.0);
    EXPECT_EQ(pocket_state_block.entry_data[1], 4.0);
    const auto points = clearing_points();
    ASSERT_FALSE(points.empty());
    EXPECT_NEAR(points.front().x, 12.0f, 1e-4f) << "the list starts at the previous end";
    EXPECT_NEAR(points.front().y, 4.0f, 1e-4f);

    // Every plain block refused in turn: the end point put back, nothing left open (the fixture
    // checks at its end), and the ranges' own block refused with the routine's word.
    bool ranges_refused = false;
    for (long k = 1; k < 100; ++k) {
        SCOPED_TRACE(k);
        vantu::control::clear_messages();
        vantu::control::inject_fault("DM_ALLOC", k, 1, -1);
        tkpolg(0.5f, 0.0f, 1, 2, 1, status);
        const bool refused = !vantu::control::faults_fired().empty();
        vantu::control::clear_faults();
        EXPECT_EQ(pocket_state_block.entry_data[0], 12.0);
        EXPECT_EQ(pocket_state_block.entry_data[1], 4.0);
        if (errors() == std::vector<std::string>{"tkpolg, DYNAMIC MEMORY ERROR"}) {
            ranges_refused = true;
            EXPECT_EQ(status, -1);
        }
        if (!refused) break;
    }
    EXPECT_TRUE(ranges_refused);
}
