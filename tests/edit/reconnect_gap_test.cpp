// The connection across a gap in the tool path: what it writes by the ends' heights, the approach
// choice and the motions beside the gap; the neighbouring points of either end; the
// reference-surface model it builds once and reuses.
#include "edit/trim/reconnect_gap.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control/memory.hpp"
#include "tests/edit/connection_support.hpp"

#include <gtest/gtest.h>

namespace control = vantu::control;

namespace {

using connection_test::line_at;
using connection_test::sub_steps;

bool slot_holds_model()
{
    tri_store store;
    int box[4];
    std::vector<qt_node> nodes(kQtNodes);
    return trig_cache_get(kTrigSlotEdit, store, box, nodes.data()) != 0;
}

}  // namespace

TEST(Reconnect, WritesByTheEndsAndTheMotionsBesideTheGap)
{
    struct row {
        const char* name;
        std::vector<std::vector<word>> blocks;
        int cursor;  // the block the gap follows
        point3 from, to;
        float feed;  // DSM4's FEED before the gap
        long fault;  // the lcreat that fails (0: none)
        int status;
        std::vector<std::string> steps;
    };
    const auto at = [](float z) {
        return std::vector<std::vector<word>>{line_at(10, 0, z), line_at(11, 10, z), line_at(12, 30, z)};
    };
    const std::vector<row> rows = {
        {"equal points", at(0), 11, {10, 0, 0}, {10, 0, 0}, 100, 0, 0, {"L(0,0,0)", "L(10,0,0)", "L(30,0,0)"}},
        {"both at the clearance after a rapid: one move as the rapid in force",
         at(50),
         11,
         {10, 0, 50},
         {20, 0, 50},
         -1,
         0,
         0,
         {"L(0,0,50)", "L(10,0,50)", "F-1", "L(20,0,50)", "L(30,0,50)"}},
        {"both at the clearance after a feed",
         at(50),
         11,
         {10, 0, 50},
         {20, 0, 50},
         100,
         0,
         0,
         {"L(0,0,50)", "L(10,0,50)", "F77", "L(10,0,55)", "L(10,0,60)", "L(20,0,60)", "L(20,0,52)", "F50", "L(20,0,50)",
          "F100", "L(30,0,50)"}},
        {"approach choice 1",
         at(0),
         11,
         {10, 0, 0},
         {20, 0, 0},
         100,
         0,
         0,
         {"L(0,0,0)", "L(10,0,0)", "F77", "L(10,0,5)", "L(10,0,10)", "L(20,0,10)", "L(20,0,2)", "F50", "L(20,0,0)",
          "F100", "L(30,0,0)"}},
        {"a gap at the procedure start: the approach",
         {editor_test::block_words("C5"), line_at(10, 0, 0)},
         5,
         {0, 0, 50},
         {0, 0, 0},
         100,
         0,
         0,
         {"B30", "F-1", "L(0,0,2)", "F50", "L(0,0,0)", "F100", "L(0,0,0)"}},
        {"a gap at the procedure end: the retract",
         {line_at(10, 0, 0), line_at(11, 10, 0)},
         11,
         {10, 0, 0},
         {20, 0, 0},
         100,
         0,
         0,
         {"L(0,0,0)", "L(10,0,0)", "F-1", "L(10,0,50)"}},
        {"a writer failure",
         at(0),
         11,
         {10, 0, 0},
         {20, 0, 0},
         100,
         3,
         -1,
         {"L(0,0,0)", "L(10,0,0)", "F77", "L(10,0,5)", "L(30,0,0)"}},
    };
    for (const row& r : rows) {
        connection_test::machine_with(r.from, r.blocks, r.cursor, r.feed);
        if (r.fault != 0) control::inject_fault("lcreat", r.fault, 1, -1);
        float clear = 50.0f, lift = 2.0f;
        int status = 9;
        reconnect_gap(clear, lift, r.from, r.to, status);
        control::clear_faults();
        EXPECT_EQ(status < 0 ? -1 : status, r.status) << r.name;
        EXPECT_EQ(sub_steps(), r.steps) << r.name;
        EXPECT_FALSE(slot_holds_model()) << r.name;  // approach choice 1 triangulates nothing
        EXPECT_EQ(HEI8().real(heights_state::kClearance), 50.0f) << r.name;
        EXPECT_EQ(trim_words().del_z_up, trim_state{}.del_z_up) << r.name;
    }
    motion_test::to_load_state();
}

TEST(Reconnect, NeighbourPointsOfEitherEnd)
{
    const float half = 1.5707964f;
    // An arc in the XZ plane about (0, 0) ending at (10, 7, 0); a string of four points; NURBS moves
    // of three control points and of one.
    const std::vector<word> arc{3, 20, 2, real_to_word(half), 0, 0, 0, real_to_word(10.0f), real_to_word(7.0f), 0};
    const auto string4 = editor_test::block_words("S20x4");  // points (20 + k, 1, 0)
    const auto nurbs = [](int n) {
        std::vector<word> w{5, 20, 2, n};
        for (int k = 0; k < n; ++k)
            for (float v : {float(k), 40.0f + k, 2.0f, 3.0f}) w.push_back(real_to_word(v));
        for (int k = 0; k < 2; ++k) w.push_back(real_to_word(9.0f));
        return w;
    };
    struct row {
        const char* name;
        std::vector<std::vector<word>> blocks;
        int cursor, start;
        int found;
        point3 neighbour;
    };
    const std::vector<row> rows = {
        {"from end after a line", {line_at(10, 5, 0), line_at(11, 10, 0)}, 11, 1, 1, {5, 0, 0}},
        {"from end after a string", {string4, line_at(30, 10, 0)}, 30, 1, 1, {22, 1, 0}},
        // The tangent at the given point, turned in the arc's own plane: y stays.
        {"from end after an arc in XZ", {arc, line_at(30, 10, 0)}, 30, 1, 1, {10, 4, 10}},
        {"from end with nothing before", {line_at(10, 5, 0), line_at(11, 10, 0)}, 10, 1, 0, {-1, -1, -1}},
        {"to end before a line", {line_at(10, 5, 0), line_at(11, 10, 0)}, 10, 0, 1, {10, 0, 0}},
        {"to end before a string", {line_at(10, 5, 0), string4}, 10, 0, 1, {20, 1, 0}},
        {"to end before a NURBS move: its second control point", {line_at(10, 5, 0), nurbs(3)}, 10, 0, 1, {41, 2, 3}},
        {"to end before a NURBS move of one point", {line_at(10, 5, 0), nurbs(1)}, 10, 0, 1, {40, 2, 3}},
        {"to end with nothing after", {line_at(10, 5, 0), line_at(11, 10, 0)}, 11, 0, 0, {-1, -1, -1}},
    };
    for (const row& r : rows) {
        connection_test::machine_with({0, 0, 0}, r.blocks, r.cursor);
        point3 neighbour{-1, -1, -1};
        EXPECT_EQ(gap_side_point(r.start, {10, 4, 0}, neighbour), r.found) << r.name;
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(neighbour[k], r.neighbour[k], 1e-5) << r.name;
        EXPECT_EQ(editor_test::cursor_block_number(), r.cursor) << r.name;
    }
    // The tangent point in each arc plane and sense: one radius along the tangent, the third
    // coordinate kept.
    const struct {
        int plane;
        point3 end;
        float angle;
        point3 out;
    } arcs[] = {
        {1, {10, 0, 5}, 1, {10, 10, 5}},
        {1, {10, 0, 5}, -1, {10, -10, 5}},
        {2, {10, 7, 0}, 1, {10, 7, 10}},
        {3, {3, 0, 10}, 1, {3, -10, 10}},
    };
    for (const auto& a : arcs) EXPECT_EQ(arc_tangent_point(a.plane, a.end, {0, 0}, a.angle), a.out) << a.plane;
    motion_test::to_load_state();
}

TEST(Reconnect, FollowsTheReferenceSurfacesTriangulatedOnce)
{
    // A flat height grid at z 0 over -50 .. 50 as reference list 1; a ball mill of diameter 6.
    std::string heights;
    for (int k = 0; k < 121; ++k) heights += k ? ", 0" : "0";
    const std::string part = R"({"entities": [{"id": 3, "kind": "height_grid", "origin": [-50, -50],
        "cell_size": 10, "nodes": [11, 11], "heights": [)" +
                             heights + "]}]}";
    connection_test::machine_with(
        {10, 0, 0}, {line_at(10, 0, 0), line_at(11, 10, 0), line_at(12, 30, 0), line_at(13, 40, 0), line_at(14, 50, 4)},
        11, 100.0f, connection_test::kMill, part);
    trim_words().srf_approach_kind = 2;
    trim_words().srf_approach = 3.0f;
    linnet_params_block.cutter_type = 1;
    linnet_params_block.diameter = 6.0f;
    linnet_params_block.corner_radius = 3.0f;
    const int ids[1] = {3}, aux[1] = {0};
    ref_lists_set(1, 0, nullptr, ids, aux, nullptr);
    const auto markers = [] {
        std::vector<int> out;
        for (const std::string& s : sub_steps())
            if (s[0] == 'M') out.push_back(std::stoi(s.substr(1)));
        return out;
    };
    // Each reconnection bridges a gap after the next block of one tool path, so that the model
    // cached by the first stands for the later ones.
    struct row {
        const char* name;
        int cursor;
        point3 from, to;
        long grid_reads;  // height grids read by this reconnection
        std::vector<int> markers;
    };
    const row rows[] = {
        {"first: both ends on the surfaces", 11, {10, 0, 0}, {20, 0, 0}, 1, {11, 12, 9, 10}},
        {"second: the model reused", 12, {30, 0, 0}, {35, 0, 0}, 0, {11, 12, 9, 10}},
        {"the to end above the surfaces: a Z approach", 13, {40, 0, 0}, {45, 0, 4}, 0, {11, 12}},
    };
    for (const row& r : rows) {
        DSP8().set_vec(tool_position_state::kPosition, r.from);
        LSP2().set_vec(move_writer_state::kLastPoint, r.from);
        editor_test::put_cursor_on(r.cursor);
        const long reads = control::call_count("height_grid_get");
        const std::size_t before = markers().size();
        float clear = 50.0f, lift = 2.0f;
        int status = 9;
        reconnect_gap(clear, lift, r.from, r.to, status);
        EXPECT_EQ(status, 0) << r.name;
        EXPECT_EQ(control::call_count("height_grid_get") - reads, r.grid_reads) << r.name;
        const std::vector<int> all = markers();
        EXPECT_EQ(std::vector<int>(all.begin() + long(before), all.end()), r.markers) << r.name;
        EXPECT_TRUE(slot_holds_model()) << r.name;
        // The approach block's second lengths as the surface projection leaves them.
        EXPECT_EQ(approach_block_data.second[0], 2.0f) << r.name;
        EXPECT_EQ(approach_block_data.second[1], 2.0f) << r.name;
    }
    edit_cache_reset();
    ref_lists_set(0, 0, nullptr, nullptr, nullptr, nullptr);
    motion_test::to_load_state();
    EXPECT_EQ(control::open_array_count(), 0);
}
