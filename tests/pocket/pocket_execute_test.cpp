// Pocket initialisation of a region and the execution by regions and levels, with recording
// doubles in place of the lane engine, the drawing and the hatch clearing.
#include "contour_test_support.hpp"

#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/seam_fills.hpp"
#include "host/control/list.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/contour_counts.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/npkini.hpp"
#include "pocket/pocket_callbacks.hpp"
#include "pocket/pocket_driver_setup.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/seam_fills.hpp"
#include "toolpath/markers.hpp"
#include "tools/tools_test_support.hpp"

#include <cmath>
#include <ostream>
#include <string>

namespace {

using P = drelan_params;
namespace control = vantu::control;

// What the doubles saw, one entry per call.
struct engine_call {
    std::string step;
    int level = 0;
    double z = 0.0;
    double outer_offset = 0.0;
    std::vector<word> last_line;  // the last top-level line of the tool path at the call
};
std::vector<engine_call> calls;
int lane_results_left = 0;  // cmtpk_clean answers 17 this many more times
int lane_result = 17;
int clrcls_failures_left = 0;  // clrcls answers -1 this many more times

void record(const char* step)
{
    const auto& top = control::toolpath_top();
    calls.push_back({step, pocket_state_block.level_counter, pocket_state_block.current_z,
                     pocket_work_block.offsets[kOuterSlot],
                     top.empty() ? std::vector<word>{} : std::vector<word>(top.back().words)});
}

pocket_engine_steps recording_steps()
{
    return {[](int, int& status) {
                record("cmtpk_clean");
                status = lane_results_left-- > 0 ? lane_result : 0;
            },
            [](int, int, int& status) {
                record("DRAWPK");
                status = 0;
            },
            [](int& status) {
                record("drawpk_find_start");
                status = 0;
            },
            [](float, float, int, int, int, int& status) {
                record("tkpolg");
                status = 0;
            },
            [](float, float, int, int& status) {
                record("clear_passes_out");
                status = 0;
            },
            [](int, int& status) {
                record("clrcls");
                status = clrcls_failures_left-- > 0 ? -1 : 0;
            }};
}

class PocketRun : public ContourTest {
protected:
    void SetUp() override
    {
        ContourTest::SetUp();
        calls.clear();
        lane_results_left = 0;
        clrcls_failures_left = 0;
        pocket_engine() = recording_steps();
        pocket_words_block = pocket_words{};
        pocket_work_block = pocket_work{};
        int status = 0;
        POKREL(0, status);
        n0_lvls_reset(kLevelsUsable);
        n0_lvls_next_level(kRegionPlane, status);
    }
    void TearDown() override
    {
        fill_lane_engine_steps(pocket_engine());
        fill_hatch_clearing_steps(pocket_engine());
        int status = 0;
        POKREL(1, status);
        pkdm_rel_all();
        tp_mrkr_fin(1);
        ContourTest::TearDown();
    }
    static P& params() { return drelan_params_current; }

    // Gathered contours of the sets, each its own record, with the regions built from them.
    static void gathered(const std::vector<int>& sets, float offset = 0.0f, float draft = 0.0f)
    {
        const std::vector<int> list = records_of(sets);
        std::copy(list.begin(), list.end(), contour_buffers_block.gathered.begin());
        table().gathered_count = static_cast<int>(sets.size());
        for (std::size_t k = 1; k <= sets.size(); ++k) {
            table().gathered_offset[k] = offset;
            table().gathered_draft[k] = draft;
            table().gathered_part_stock[k] = kPart;
        }
        int status = 0;
        region_build(list.data(), static_cast<int>(sets.size()), 0.01f, status);
        ASSERT_EQ(status, 0);
        params().at(P::kRegionCount) = region_count();
    }
    static void z_values(float top, float bottom, float step)
    {
        params().set_real(P::kTopZ, top);
        params().set_real(P::kReferenceZ, top);
        params().set_real(P::kBottomZ, bottom);
        params().set_real(P::kZStep, step);
    }
    static int execute(int mode)
    {
        int status = -9;
        execute_drelan(mode, status);
        return status;
    }
    static std::vector<double> z_of(const char* step)
    {
        std::vector<double> z;
        for (const engine_call& c : calls)
            if (c.step == step) z.push_back(c.z);
        return z;
    }
};

TEST_F(PocketRun, InitialisationFillsTheLevelsAndTolerances)
{
    struct row {
        const char* what;
        void (*set)(P&);
        int level_count;
        double working_tolerance;
        int ramp_flag;
    };
    const row rows[] = {
        {"10, 0, 3 gives 4 levels", [](P&) { z_values(10, 0, 3); }, 4, 0.01, 0},
        {"a step of 0 gives one level", [](P&) { z_values(10, 0, 0); }, 1, 0.01, 0},
        {"a step that goes up gives one level", [](P&) { z_values(0, 10, 3); }, 1, 0.01, 0},
        {"tolerance 0.002 gives 0.006", [](P& p) { p.set_real(P::kTolerance, 0.002f); }, 1, 0.006, 0},
        {"hatching has none", [](P& p) { p.at(P::kMethod) = 1; }, 1, 0.0, 0},
        {"ramp 89.9", [](P& p) { p.set_real(P::kRampAngle, 89.9f); }, 1, 0.01, 1},
        {"ramp 90", [](P& p) { p.set_real(P::kRampAngle, 90.0f); }, 1, 0.01, 0},
    };
    for (const row& r : rows) {
        drelan_params_defaults(0.0f, params());
        r.set(params());
        pocket_words_block.outer_contour = 1;
        int islands[1] = {0}, status = -9;
        NPKINI(0, islands, status);
        ASSERT_EQ(status, 0) << r.what;
        EXPECT_EQ(pocket_state_block.level_count, r.level_count) << r.what;
        EXPECT_NEAR(pocket_state_block.working_tolerance, r.working_tolerance, 1e-9) << r.what;
        EXPECT_EQ(pocket_state_block.ramp_flag, r.ramp_flag) << r.what;
        EXPECT_EQ(pocket_state_block.pocket_dimension, 2) << r.what;
        EXPECT_EQ(islands[0], 1) << r.what << ": the outer contour follows the islands";
    }
}

// Both starts of a pocket run take the tool radius from the current tool: half a mill's diameter;
// a tool that is no mill (a wire) counts 0. A value left from an earlier run never survives.
TEST_F(PocketRun, EveryRunStartTakesTheToolRadiusFromTheCurrentMill)
{
    struct row {
        const char* what;
        int tool_class;
        float diameter;
        double radius;
    } const rows[] = {
        {"mill", kMill, 10.0f, 5.0}, {"mill without width", kMill, 0.0f, 0.0}, {"wire", kAgie, 10.0f, 0.0}};
    for (const row& r : rows) {
        const tools_test::held_tool tool(r.tool_class, r.diameter);
        drelan_params_defaults(0.0f, params());
        pocket_words_block.outer_contour = 1;
        int islands[1] = {0}, status = -9;
        pocket_work_block.tool_radius = 99.0;
        NPKINI(0, islands, status);
        ASSERT_EQ(status, 0) << r.what;
        EXPECT_EQ(pocket_work_block.tool_radius, r.radius) << r.what << ": NPKINI";

        pocket_work_block.tool_radius = 99.0;
        const float level[1] = {0.0f};
        init_pocket_globals(0, 0, 0.0f, 0.01f, 1, level, status);
        ASSERT_EQ(status, 0) << r.what;
        EXPECT_EQ(pocket_work_block.tool_radius, r.radius) << r.what << ": init_pocket_globals";
        EXPECT_EQ(pocket_work_block.side_step, r.radius) << r.what << ": another caller steps by the radius";
    }
}

TEST_F(PocketRun, InitialisationMovesTheOffsetsToTheTopAlongTheDraft)
{
    z_values(10, 0, 2);
    params().set_real(P::kReferenceZ, 4.0f);
    table().gathered_offset[1] = 1.0f;
    table().gathered_draft[1] = 45.0f;
    table().gathered_offset[2] = 0.5f;
    table().gathered_draft[2] = 0.0f;
    pocket_words_block.outer_contour = 1;
    int islands[2] = {2, 0}, status = 0;
    NPKINI(1, islands, status);
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(pocket_work_block.offsets[kOuterSlot], (4.0 - 10.0) * 1.0 + 1.0, 1e-6);
    EXPECT_NEAR(pocket_work_block.taper[kOuterSlot], 1.0, 1e-6);
    EXPECT_EQ(pocket_work_block.offsets[kIslandSlotBase], 0.5);
    EXPECT_EQ(pocket_work_block.taper[kIslandSlotBase], 0.0) << "no draft, no taper";

    // 16666 islands are taken; one more is refused with its message.
    std::vector<int> many(kMostIslands + 2, 1);
    NPKINI(kMostIslands, many.data(), status);
    EXPECT_EQ(status, 0);
    NPKINI(kMostIslands + 1, many.data(), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "NPKINI, TOO MANY CONTOURS");
}

TEST_F(PocketRun, LevelsRunFromTheTopToTheFinalDepthBetweenTheRegionsMarkers)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    gathered({1, 2});
    z_values(10, 0, 3);
    ASSERT_EQ(execute(1), 0);
    EXPECT_EQ(machining_type(), 9);
    const std::vector<double> levels{7, 4, 1, 0};
    std::vector<double> both = levels;
    both.insert(both.end(), levels.begin(), levels.end());
    EXPECT_EQ(z_of("DRAWPK"), both);
    for (const engine_call& c : calls) {
        if (c.step != "DRAWPK") continue;
        ASSERT_EQ(c.last_line.size(), 3u);
        EXPECT_EQ(c.last_line[0], 99) << "every level is cut inside an open region marker";
        EXPECT_EQ(c.last_line[2], 1) << c.z;
    }
    std::vector<std::vector<word>> markers;
    for (const auto& line : control::toolpath_top())
        if (line.words[0] == 99) markers.push_back({line.words[0], line.words[2]});
    EXPECT_EQ(markers, (std::vector<std::vector<word>>{{99, 1}, {99, 2}, {99, 1}, {99, 2}}));
    EXPECT_EQ(z_of("cmtpk_clean").size(), 2u) << "without a draft the lanes are computed once per region";
}

// Between two regions the tool leaves the finished one upwards: to the clearance plane when it
// is on, else straight up to the height at which the entries come in above the first level, so
// that the next region's approach never starts at the floor of the last one.
struct region_change_row {
    const char* name;
    int plane;
    float clearance;
    float tool_z;
    std::vector<float> heights;  // z of the moves written between the two regions
};

void PrintTo(const region_change_row& r, std::ostream* os) { *os << r.name; }

class RegionChange : public PocketRun, public ::testing::WithParamInterface<region_change_row> {};

constexpr float kLinkHeight = 10.0f - 3.0f + 8.0f + 3.0f;  // first level 7, clear height 8 + the Z step

TEST_P(RegionChange, RegionIsLeftUpwardsBeforeTheNextOne)
{
    const region_change_row& r = GetParam();
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    gathered({1, 2});
    z_values(10, 0, 3);
    params().set_real(P::kClearHeight, 8.0f);
    HEI8().at(heights_state::kClearancePlane) = r.plane;
    HEI8().set_real(heights_state::kClearance, r.clearance);
    DSP8().set_vec(tool_position_state::kPosition, {5.0f, 5.0f, r.tool_z});
    ASSERT_EQ(execute(1), 0);
    std::vector<float> heights;
    int regions_closed = 0;
    for (const auto& line : control::toolpath_top()) {
        if (line.words[0] == 99 && line.words[2] == 2) ++regions_closed;
        if (line.words[0] == 99 || regions_closed != 1) continue;
        EXPECT_EQ(word_to_real(line.words[2]), 5.0f);
        EXPECT_EQ(word_to_real(line.words[3]), 5.0f) << "straight up where the tool stands";
        heights.push_back(word_to_real(line.words[4]));
    }
    EXPECT_EQ(heights, r.heights);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegionChange,
                         ::testing::Values(region_change_row{"PlaneOffAtTheFloor", 0, 0.0f, 0.0f, {kLinkHeight}},
                                           region_change_row{"PlaneOffAboveTheLink", 0, 0.0f, 30.0f, {}},
                                           region_change_row{"PlaneOn", 1, 30.0f, 0.0f, {30.0f}}),
                         [](const auto& info) { return std::string(info.param.name); });

// A block whose values a run reads lie beyond the page's limits is not cut with: the first such
// value is named by its code and nothing is computed or written. Values at the limits, and
// values the run does not read, are cut with.
TEST_F(PocketRun, BlockBeyondThePageLimitsIsNotCut)
{
    constexpr float kDegree = static_cast<float>(3.141592653589793 / 180.0);
    struct row {
        const char* what;
        void (*set_up)();
        int code;  // the code named, 0 when the block is cut
    } rows[] = {
        {"side step below its least", [] { params().set_real(P::kSideStep, -1.0f); }, 26},
        {"extra offset below 0", [] { params().set_real(P::kExtraOffset, -0.5f); }, 225},
        {"tolerance 0", [] { params().set_real(P::kTolerance, 0.0f); }, 25},
        {"Z step below 0", [] { params().set_real(P::kZStep, -4.0f); }, 13},
        {"Z step above the depth", [] { params().set_real(P::kZStep, 10.5f); }, 13},
        {"reference Z beyond its limit over the origin",
         [] {
             contour_table_block.draft_present = 1;
             NPT1().set_real(tp_header_state::kMacsysOrigin + 2, 5.0f);
             params().set_real(P::kReferenceZ, 10005.0f);
         },
         205},
        {"hatch angle beyond a turn",
         [] {
             params().at(P::kMethod) = 1;
             params().set_real(P::kHatchAngle, 361.0f * kDegree);
         },
         44},
        {"given start point beyond its limit",
         [] {
             params().at(P::kStartMode) = 2;
             NPT1().set_real(tp_header_state::kMacsysOrigin + 1, -10.0f);
             params().set_real(P::kStartPoint + 1, 99990.0f);
         },
         32},
        {"side step at its least", [] { params().set_real(P::kSideStep, 0.0001f); }, 0},
        {"Z step the depth", [] { params().set_real(P::kZStep, 10.0f); }, 0},
        {"hatch angle of a whole turn",
         [] {
             params().at(P::kMethod) = 1;
             params().set_real(P::kHatchAngle, static_cast<float>(360.0f * (3.141592653589793 * 0.005555555555555556)));
         },
         0},
        {"reference Z without a draft", [] { params().set_real(P::kReferenceZ, 20000.0f); }, 0},
        {"side step of a contour pass only",
         [] {
             params().at(P::kPasses) = 3;
             params().set_real(P::kSideStep, -1.0f);
         },
         0},
    };
    for (const row& r : rows) {
        SetUp();
        rectangle_set(1, 0, 0, 10, 10);
        gathered({1});
        z_values(10, 0, 5);
        r.set_up();
        const std::size_t lines = control::toolpath_top().size();
        const word entry_mode = params().at(P::kEntryMode);
        const int status = execute(1);
        if (r.code != 0) {
            EXPECT_EQ(status, -1) << r.what;
            EXPECT_EQ(params().at(P::kEntryMode), entry_mode) << r.what << ": the block is kept as it is";
            for (const engine_call& c : calls) EXPECT_EQ(c.step, "clrcls") << r.what << ": only the release runs";
            EXPECT_EQ(control::toolpath_top().size(), lines) << r.what;
            EXPECT_TRUE(has_line("erou1c", "[param_limits_check] VALUE OUT OF LIMITS. CODE= " + std::to_string(r.code)))
                << r.what;
        } else {
            EXPECT_EQ(status, 0) << r.what;
            EXPECT_FALSE(calls.empty()) << r.what;
            EXPECT_TRUE(control::texts_of("erou1c").empty()) << r.what;
        }
        TearDown();
    }
}

TEST_F(PocketRun, ExtraOffsetIsAddedOnlyDuringTheLaneComputation)
{
    rectangle_set(1, 0, 0, 10, 10);
    gathered({1}, 1.0f);
    z_values(10, 0, 5);
    params().set_real(P::kExtraOffset, 0.5f);
    params().at(P::kLeadMode) = 2;  // lanes at every level
    ASSERT_EQ(execute(1), 0);
    const auto lanes = z_of("cmtpk_clean");
    ASSERT_EQ(lanes.size(), 2u);
    for (const engine_call& c : calls) {
        if (c.step != "cmtpk_clean") continue;
        EXPECT_DOUBLE_EQ(c.outer_offset, 1.5) << c.z;
    }
    EXPECT_DOUBLE_EQ(pocket_work_block.offsets[kOuterSlot], 1.0);
}

TEST_F(PocketRun, DraftMovesTheOffsetsByTheDropOfEachLevel)
{
    rectangle_set(1, 0, 0, 10, 10);
    gathered({1}, 1.0f, 45.0f);
    table().draft_present = 1;
    z_values(10, 0, 4);
    ASSERT_EQ(execute(1), 0);
    // Levels 6, 2 and 0: the offsets drop by 4, 4 and 2 along a taper of 1.
    std::vector<double> seen;
    for (const engine_call& c : calls)
        if (c.step == "cmtpk_clean") seen.push_back(c.outer_offset);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_NEAR(seen[0], 1.0 + 4.0, 1e-6);
    EXPECT_NEAR(seen[1], 1.0 + 8.0, 1e-6);
    EXPECT_NEAR(seen[2], 1.0 + 10.0, 1e-6) << "the last level adds only its own drop";
}

TEST_F(PocketRun, FailedRegionKeepsItsStatusAndTheNextOneRuns)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    gathered({1, 2});
    z_values(10, 0, 5);
    lane_results_left = 1;
    EXPECT_EQ(execute(1), -1);
    EXPECT_EQ(z_of("DRAWPK"), (std::vector<double>{5, 0})) << "only the second region is drawn";
    std::vector<word> codes;
    for (const auto& line : control::toolpath_top())
        if (line.words[0] == 99) codes.push_back(line.words[2]);
    EXPECT_EQ(codes, (std::vector<word>{1, 2})) << "the failed region opened no marker";
}

// Contours that cross are refused before anything runs, with the error naming them, also when
// the execution is reached without the pocket dialog's check.
TEST_F(PocketRun, CrossingContoursAreRefusedBeforeAnythingIsCut)
{
    rectangle_set(1, 0, 0, 100, 60);
    rectangle_set(2, 90, 20, 108, 40);
    gathered({1, 2});
    z_values(10, 0, 5);
    EXPECT_EQ(execute(1), -1);
    for (const engine_call& c : calls) EXPECT_EQ(c.step, "clrcls") << "only the release runs";
    EXPECT_TRUE(control::toolpath_top().empty());
    EXPECT_TRUE(has_line("sheerx", "ERROR    : CONTOURS 1 AND 2 CROSS EACH OTHER"));
}

TEST_F(PocketRun, HatchingBuildsPolygonsAndWritesPasses)
{
    rectangle_set(1, 0, 0, 10, 10);
    gathered({1});
    z_values(10, 0, 5);
    params().at(P::kMethod) = 1;
    machining_type() = 33;
    ASSERT_EQ(execute(1), 0);
    EXPECT_EQ(machining_type(), 1);
    std::vector<std::string> steps;
    for (const engine_call& c : calls) steps.push_back(c.step);
    EXPECT_EQ(steps, (std::vector<std::string>{"cmtpk_clean", "tkpolg", "clear_passes_out", "clear_passes_out",
                                               "clrcls", "clrcls"}));
}

// A level that cannot close its clearing list ends the region with that failure: no later level.
TEST_F(PocketRun, FailedClearingListCloseEndsTheRegion)
{
    rectangle_set(1, 0, 0, 10, 10);
    gathered({1});
    z_values(10, 0, 5);
    params().at(P::kMethod) = 1;
    params().at(P::kLeadMode) = 2;  // lanes at every level: every level closes its list
    clrcls_failures_left = 1;
    EXPECT_EQ(execute(1), -1);
    std::vector<std::string> steps;
    for (const engine_call& c : calls) steps.push_back(c.step);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"cmtpk_clean", "tkpolg", "clear_passes_out", "clrcls", "clrcls", "clrcls"}));
}

// The real hatch clearing behind a lane engine that leaves the square 1..9 as its single offset.
pocket_engine_steps hatch_steps()
{
    return {[](int, int& status) {
                record("cmtpk_clean");
                lane_table_reset();
                pocket_box_block.first_output_lane = 1;
                pokarr a;
                pokarr_init(2, a);
                status = 0;
                const double square[5][2] = {{1, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 1}};
                for (const auto& p : square) pokarr_add_pnt(p, a, status);
                if (status == 0) lane_add(1, 1, 0, 0, 0, 0.0, 0, a, status);
                pokarr_free(a);
            },
            [](int, int, int& status) { status = 0; },
            [](int& status) { status = 0; },
            [](float a, float b, int direction, int linking, int link, int& status) {
                record("tkpolg");
                tkpolg(a, b, direction, linking, link, status);
            },
            [](float angle, float height, int pass, int& status) {
                record("clear_passes_out");
                clear_passes_out(angle, height, pass, status);
            },
            [](int mode, int& status) {
                record("clrcls");
                clrcls(mode, status);
            }};
}

TEST_F(PocketRun, HatchingRebuildsTheListAtEveryLevelThatReleasedIt)
{
    rectangle_set(1, 0, 0, 10, 10);
    gathered({1});
    z_values(10, 0, 5);
    params().at(P::kMethod) = 1;
    params().set_real(P::kSideStep, 2.0f);
    // A lead mode other than 1 computes the lanes at every level: each level releases its list.
    params().at(P::kLeadMode) = 2;
    pocket_engine() = hatch_steps();
    ASSERT_EQ(execute(1), 0) << (errors().empty() ? "" : errors().back());
    std::vector<std::string> steps;
    for (const engine_call& c : calls) steps.push_back(c.step);
    EXPECT_EQ(steps, (std::vector<std::string>{"cmtpk_clean", "tkpolg", "clear_passes_out", "clrcls", "cmtpk_clean",
                                               "tkpolg", "clear_passes_out", "clrcls", "clrcls", "clrcls"}));
    std::vector<std::pair<word, float>> layers;
    for (const auto& line : control::toolpath_top())
        if (line.words.size() >= 3 && line.words[0] == 99 && (line.words[2] == 3 || line.words[2] == 4))
            layers.push_back({line.words[2], line.words[2] == 3 ? word_to_real(line.words[3]) : 0.0f});
    EXPECT_EQ(layers, (std::vector<std::pair<word, float>>{{3, 5.0f}, {4, 0.0f}, {3, 0.0f}, {4, 0.0f}}));
    // (The motion display of this set-up has no tool entity to close: its lines are not counted.)
    for (const std::string& e : errors()) EXPECT_EQ(e.rfind("SGTOOL", 0), 0u) << e;
    int status = 0;
    lane_box_close(status);
}

TEST_F(PocketRun, ContoursAreCountedByTheirPartStockWord)
{
    EXPECT_EQ(count_contours_type1(), 0);
    EXPECT_EQ(count_contours_type2(), 0);
    const int words[] = {kPart, kStock, kPart, kStock, kStock};
    for (int k = 1; k <= 5; ++k) table().part_stock[static_cast<std::size_t>(k)] = words[k - 1];
    table().count = 4;
    EXPECT_EQ(count_contours_type1(), 2);
    EXPECT_EQ(count_contours_type2(), 2) << "only the table's contours count";
}

TEST_F(PocketRun, CleanUpOnlyReleasesAndLeavesNoEntryMode)
{
    params().at(P::kEntryMode) = 2;
    ASSERT_EQ(execute(2), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].step, "clrcls");
    EXPECT_EQ(params().at(P::kEntryMode), 1);
    EXPECT_EQ(n0_lvls_block.initialised, 1) << "the levels package stays usable";
}

}  // namespace
