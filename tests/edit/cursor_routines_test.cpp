// The editor's cursor routines over small procedures: steps count points (a string one per
// vertex, broken where a step stops inside it), jumps find their block or report and stay, layer
// steps count markers and skip empty layers, and a failed step leaves the cursor on the last
// motion reached.
#include "edit/editor/cursor_moves.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "tests/edit/editor_support.hpp"
#include "toolpath/machine_table.hpp"

namespace {

using namespace editor_test;

const std::vector<std::string> kPlain{"P1:2", "L2", "L3", "S4x10", "L14", "M15:1", "L16"};

enum class routine { forward, backward, start, end, indicated };

struct cursor_row {
    const char* name;
    routine what;
    int from;    // block the cursor starts on
    int count;   // points, or the target of JPINDP
    int number;  // block number answered
    int status;
    int stands_on;  // block the cursor stands on afterwards
};

TEST(CursorRoutines, StepsAndJumpsLandOnMotionPoints)
{
    const cursor_row rows[] = {
        {"one point forward", routine::forward, 2, 1, 3, 0, 3},
        {"three points into a string", routine::forward, 3, 3, 6, 0, 6},
        {"a whole string counts its points", routine::forward, 2, 12, 14, 0, 14},
        {"past the last motion", routine::forward, 2, 40, 16, kCursorEnd, 16},
        {"one point back over a marker", routine::backward, 16, 1, 14, 0, 14},
        {"back into a string", routine::backward, 14, 2, 12, 0, 12},
        {"back past the first motion", routine::backward, 3, 5, 2, kCursorEnd, 2},
        {"first motion", routine::start, 16, 0, 2, 0, 2},
        {"last motion", routine::end, 2, 0, 16, 0, 16},
        {"forward to a block", routine::indicated, 2, 14, 14, 0, 14},
        {"from the first block when far back", routine::indicated, 16, 3, 3, 0, 3},
        {"backward into a string", routine::indicated, 16, 9, 9, 0, 9},
        {"a marker leads to the next motion", routine::indicated, 2, 15, 16, 0, 16},
        {"the block the cursor stands on", routine::indicated, 3, 3, 3, 0, 3},
        {"a number not in the procedure", routine::indicated, 3, 99, 3, kCursorNotFound, 3},
    };
    for (const cursor_row& row : rows) {
        SCOPED_TRACE(row.name);
        build(kPlain);
        put_cursor_on(row.from);
        int number = -1, type = 0, status = 0, count = row.count, passed = 0;
        switch (row.what) {
        case routine::forward: MVFRWD(0, count, number, type, status); break;
        case routine::backward: MVBCWD(count, number, type, status); break;
        case routine::start: JPSTRP(number, type, status); break;
        case routine::end: JPENDP(number, type, status); break;
        case routine::indicated:
            number = row.count;
            JPINDP(row.from, number, type, passed, status);
            break;
        }
        EXPECT_EQ(number, row.number);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(cursor_block_number(), row.stands_on);
        const bool not_found = row.status == kCursorNotFound;
        EXPECT_EQ(lines_of("userrc").size(), not_found ? 1u : 0u);
        if (not_found) {
            EXPECT_EQ(lines_of("userrc")[0], "INDICATED BLOCK WAS NOT FOUND WITHIN CURRENT PROCEDURE");
        }
    }
}

TEST(CursorRoutines, StepIntoAStringBreaksItIntoSingleLines)
{
    build(kPlain);
    put_cursor_on(3);
    int count = 3, number = -1, type = 0, status = 0;
    MVFRWD(0, count, number, type, status);
    std::vector<std::string> expected{"P1:2", "L2", "L3", "M:19"};
    for (int i = 4; i < 14; ++i) expected.push_back("L" + std::to_string(i));
    expected.insert(expected.end(), {"M:20", "L14", "M15:1", "L16"});
    // The two new markers take the list's next free numbers; they are compared by their codes.
    std::vector<std::string> got = blocks();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        if (i != 3 && i != 14) {
            EXPECT_EQ(got[i], expected[i]) << i;
        }
    EXPECT_EQ(got[3].substr(got[3].find(':')), ":19");
    EXPECT_EQ(got[14].substr(got[14].find(':')), ":20");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(number, 6);
    EXPECT_EQ(type, 2);
}

// Layers at Z -2, -6, an empty one at -10, and -12; the origin's Z is 0.
const std::vector<std::string> kLayers{"L1",   "M2:3",  "L3",    "L4",    "M5:4", "M6:3", "L7",   "L8",
                                       "M9:4", "M10:3", "M11:4", "M12:3", "L13",  "L14",  "M15:4"};

struct marker_row {
    const char* name;
    int from;
    int count, second;
    float height;
    int code;
    int number, status;
};

TEST(CursorRoutines, MarkerTargetsCountLayersAndHeights)
{
    const marker_row rows[] = {
        {"next layer", 3, 1, 1, kNoHeight, 4, 7, 0},
        {"an empty layer is not counted", 7, 1, 1, kNoHeight, 4, 13, 0},
        {"previous layer ends on its last motion", 7, -1, -1, kNoHeight, 4, 4, 0},
        {"back over the empty layer", 13, -1, -1, kNoHeight, 4, 8, 0},
        {"from the last layer on", 14, 1, 1, kNoHeight, 4, -1, kCursorEnd},
        {"start of the current layer", 8, -1, 1, kNoHeight, 4, 7, 0},
        {"end of the current layer", 7, 1, -1, kNoHeight, 4, 8, 0},
        {"no count and no height", 7, 0, 1, kNoHeight, 4, -1, 0},
        {"down to a height", 3, 0, 0, -6.0f, 3, 7, 0},
        {"above every layer", 7, 0, 0, 5.0f, 3, -1, kCursorEnd},
    };
    for (const marker_row& row : rows) {
        SCOPED_TRACE(row.name);
        build(kLayers);
        put_cursor_on(row.from);
        list_cursor().cursor_mrkr_code = row.code;
        list_cursor().cursor_layer_z = row.from < 5 ? -2.0f : -6.0f;
        int number = 0, status = 0;
        find_mrkr_target(row.count, row.second, row.height, number, status);
        EXPECT_EQ(number, row.number);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(cursor_block_number(), row.from) << "the cursor does not move";
    }
}

TEST(CursorRoutines, BackwardStepReportsLayerAndPassedParameterTypes)
{
    build(kLayers);
    put_cursor_on(7);
    int count = 1, number = -1, type = 0, status = 0;
    MVBCWD(count, number, type, status);
    EXPECT_EQ(status, kCursorLayerCrossed);
    EXPECT_EQ(number, 4);

    build({"P1:2", "L2", "P3:2", "P4:3", "L5"});
    put_cursor_on(5);
    count = 1;
    MVBCWD(count, number, type, status);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(count, 2) << "the starting block is counted";
    const std::array<int, 7> expected{1, 0, 0, 1, 1, 1, 1};  // types 1, 2, 3, 5, 10, 55, 100
    EXPECT_EQ(list_cursor().prm_unchanged_flags, expected);
}

TEST(CursorRoutines, FailedStepStaysOnTheLastMotionReached)
{
    for (routine what : {routine::forward, routine::backward}) {
        build(kPlain);
        put_cursor_on(what == routine::forward ? 2 : 16);
        // The list cannot tell its position at the second step (forward) or the third (backward).
        vantu::control::inject_fault("ljump", what == routine::forward ? 3 : 8, 1, 0);
        int count = 3, number = -1, type = 0, status = 0;
        if (what == routine::forward)
            MVFRWD(0, count, number, type, status);
        else
            MVBCWD(count, number, type, status);
        vantu::control::clear_faults();
        EXPECT_EQ(status, -1);
        EXPECT_EQ(cursor_block_number(), what == routine::forward ? 3 : 14);
    }
}

TEST(CursorRoutines, ParameterTypesByMachineType)
{
    struct row {
        int machine;
        std::vector<int> types;
    };
    std::vector<int> wire{100, 55, 11, 12, 13, 14, 15, 16};
    for (int t = 20; t <= 39; ++t) wire.push_back(t);
    const row rows[] = {{22, {1, 2, 3, 5, 100, 10, 55}},
                        {26, {1, 2, 3, 5, 100, 10, 55}},
                        {12, {52, 53, 100, 55}},
                        {31, {1, 2, 3, 100, 55}},
                        {61, wire},
                        {80, wire},
                        {27, {}},
                        {0, {}}};
    for (const row& r : rows) {
        const auto types = updbot_prm_types(r.machine);
        EXPECT_EQ(std::vector<int>(types.begin(), types.end()), r.types) << r.machine;
    }
}

TEST(CursorRoutines, MillBackwardStepReappliesOnlyTheTypesPassed)
{
    // Spin 5 before the first motion, spin 9 between the motions: stepping back over the second
    // brings spin 5 back and leaves the feed as it is.
    build({"P1:2", "L2", "P3:2", "L4"});
    auto& line = const_cast<vantu::control::word_list&>(vantu::control::toolpath_line_at({0, 2})->words);
    line[4] = 9;
    NPT1().at(tp_header_state::kMachineType) = 22;
    list_cursor().cursor_dir = kDirBackward;
    DSM4().set_real(modal_values::kFeed, 123.0f);
    put_cursor_on(4);
    PRM9().words[machine_params::kDirection] = 1;
    DSM4().at(modal_values::kSpin) = 9;
    int count = 1, number = -1, type = 0, status = 0;
    MVBCWD(count, number, type, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(DSM4().at(modal_values::kSpin), 5) << "spin applied again";
    EXPECT_FLOAT_EQ(DSM4().real(modal_values::kFeed), 123.0f) << "the feed was not passed";
}

TEST(CursorRoutines, StartValuesTellTheMarkersAndTheMotionRange)
{
    struct row {
        std::vector<std::string> list;
        int code, first, last;
    };
    const row rows[] = {{kPlain, kNoMarkers, 2, 16},
                        {kLayers, kMarkerLayerClose, 1, 14},
                        {{"P1:2", "M2:5", "L3", "L4", "M5:6", "M6:5", "M7:6", "L8"}, kMarkerPassClose, 3, 8}};
    for (const row& r : rows) {
        build(r.list);
        int start_at_end = 1, status = 0;
        edit_cursor_init(0, start_at_end, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(start_at_end, 0);
        const list_cursor_state& c = list_cursor();
        EXPECT_EQ(c.cursor_mrkr_code, r.code);
        EXPECT_EQ(c.cursor_first_path.block(), r.first);
        EXPECT_EQ(c.cursor_last_path.block(), r.last);
        EXPECT_EQ(c.cursor_dir, kDirJump);
        EXPECT_EQ(c.cursor_jump_kind, kJumpEnd);
        EXPECT_EQ(cursor_block_number(), r.last) << "the cursor starts on the last motion";
    }
}

}  // namespace
