// The block display: SETMOD by parameter type, the line style of the motion kinds, the handlers'
// refusals, the drawing through TRS1, the fast-move blank, the drill cycle strokes, the cycle
// state and the tool trail along a move.
#include "listing_support.hpp"

#include "listing/block_handlers.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/rec8.hpp"
#include "toolpath/setmod.hpp"

#include <cmath>

using namespace listing_test;

namespace {

// Shows the block at source 2 in the display mode; answers the status.
int show(const std::vector<word>& words, int mode = 1)
{
    append_block(words);
    int m = mode, source = 2, type = 0, flag = 0, status = 0;
    DSPBLK(m, source, type, flag, status);
    return status;
}

std::vector<word> with(std::vector<word> head, std::initializer_list<float> reals)
{
    for (float v : reals) head.push_back(r(v));
    return head;
}

}  // namespace

using BlockDisplay = DisplayTest;

TEST_F(BlockDisplay, SetmodStoresEachParameterType)
{
    struct row {
        int prmtyp, value;
        float real;
        int direction, compensation;
        int slot;  // DSM4 word, or -1 for WRMB / -2 for DSP8 / -3 for nothing stored
        word expected;
    };
    const row rows[] = {
        {1, 0, -1.0f, 0, 0, modal_values::kFeed, r(-1.0f)},
        {2, -1200, 0, 2, 0, modal_values::kSpin, -1200},
        {2, -1200, 0, 1, 0, modal_values::kSpin, 1200},
        {2, -1200, 0, 3, 0, modal_values::kSpin, 0},
        {10, 0, -90.0f, 2, 0, modal_values::kCuttingSpeed, r(-90.0f)},
        {10, 0, -90.0f, 1, 0, modal_values::kCuttingSpeed, r(90.0f)},
        {5, 2, 0, 0, 1, modal_values::kCutterComp, 2},
        {5, 2, 0, 0, 0, modal_values::kCutterComp, 0},
        {3, 4, 0, 0, 0, modal_values::kCoolant, 4},
        {54, 0, 45.0f, 0, 0, modal_values::kIndex, r(45.0f)},
        {59, 0, -2.0f, 0, 0, modal_values::kRapidFeed, r(-2.0f)},
        {100, 17, 0, 0, 0, modal_values::kTool, 17},
        {13, 5, 0, 0, 0, -1, 5},
        {38, 0, 2.5f, 0, 0, -1, r(2.5f)},
        {55, 8, 0, 0, 0, -2, 8},
        {9, 5, 0, 0, 0, -3, 0},
    };
    for (const row& x : rows) {
        DSM4() = modal_values{};
        WRMB() = wire_modal_values{};
        PRM9().words[machine_params::kDirection] = x.direction;
        PRM9().words[machine_params::kCutterComp] = x.compensation;
        SETMOD(x.prmtyp, x.value, x.real);
        const word stored = x.slot >= 0    ? DSM4().at(x.slot)
                            : x.slot == -1 ? WRMB().at(wire_modal_values::word_of_type(x.prmtyp))
                            : x.slot == -2 ? DSP8().at(tool_position_state::kUcsId)
                                           : 0;
        EXPECT_EQ(stored, x.expected) << x.prmtyp << " direction " << x.direction;
        if (x.slot == -3) {
            EXPECT_EQ(DSM4().words, modal_values{}.words) << "type 9 changes nothing";
        }
    }
    EXPECT_TRUE(control::lines_of("erou1c").empty());
    SETMOD(41, 1, 0.0f);
    EXPECT_EQ(control::lines_of("erou1c"), (std::vector<std::string>{"SETMOD: WRONG PARAMETER 41"}));
}

TEST_F(BlockDisplay, FeedAndPunchValuesChooseTheLineStyle)
{
    struct row {
        int prmtyp;
        float value;
        int punch, nibble;
        int font, colour, pen;
    };
    const row rows[] = {
        // A rapid feed of its own (59) leaves the style to FEED, which stays 0 here.
        {1, -1.0f, 0, 0, 5, 2, 3}, {1, -2.5f, 0, 0, 4, 2, 7}, {1, 100.0f, 0, 0, 4, 6, 7}, {59, -1.0f, 0, 0, 4, 6, 7},
        {53, 0, 1, 0, 5, 2, 3},    {52, 0, 2, 2, 6, 2, 3},    {53, 0, 0, 0, 4, 6, 7},
    };
    for (const row& x : rows) {
        SetUp();
        DSM4().at(modal_values::kPunch) = x.punch;
        DSM4().at(modal_values::kNibble) = x.nibble;
        DSP8().at(tool_position_state::kLineFont) = 4;
        DSP8().at(tool_position_state::kColour) = 6;
        DSP8().at(tool_position_state::kPen) = 7;
        dspblk_init_state(2);
        const int value = x.prmtyp == 52 ? x.nibble : x.punch;
        ASSERT_EQ(show({1, 0, x.prmtyp, 0, x.prmtyp == 1 || x.prmtyp == 59 ? r(x.value) : value}), 0);
        const auto a = control::ncd_current_attrs();
        EXPECT_EQ((std::array<int, 3>{a.font, a.colour, a.pen}), (std::array<int, 3>{x.font, x.colour, x.pen}))
            << x.prmtyp << " " << x.value;
    }
}

TEST_F(BlockDisplay, RefusedBlocksAndArcPlanes)
{
    for (int type : {25, 225}) {
        append_block({type, 0, 0, 0, 0});
        int m = 1, source = 2, read = 0, flag = 0, status = 0;
        DSPBLK(m, source, read, flag, status);
        EXPECT_EQ(status, -1) << type;
        EXPECT_EQ(control::lines_of("erou1c").back(), "DSPBLK - UNEXPECTED BLOCK TYPE " + std::to_string(type));
    }
    EXPECT_EQ(show({99, 0, 5}), 0) << "a marker is passed over";
    DSP8().set_vec(tool_position_state::kPosition, {10, 0, 0});
    dspblk_init_state(2);
    ASSERT_EQ(show(with({3, 7, 4}, {1.5708f, 0.1f, 0, 0, 0, 10, 0})), 0);
    EXPECT_EQ(control::lines_of("eroutc"), (std::vector<std::string>{"WRONG CODE FOR ARC PLANE"}));
    const auto& arc = control::ncd_blocks().back();
    EXPECT_EQ(arc.kind, 'A');
    ASSERT_GE(arc.points.size(), 3u);
    EXPECT_NEAR(arc.points[1][0], 10 * std::cos(1.5708 / 16), 1e-3) << "drawn in x and y";
    EXPECT_NEAR(arc.points[1][2], 0, 1e-6);
    EXPECT_EQ(DSP8().vec(tool_position_state::kPosition), (std::array<float, 3>{0, 10, 0}));

    tp_drill_loc_block zero;
    zero.direction = {0, 0, 0};
    int status = 0;
    DIPB31(dip_context{}, zero, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "DIPB31, THE DIRECTION VECTOR IS ZEROED");
}

TEST_F(BlockDisplay, TransformedDrawingFastBlankAndRemoval)
{
    dspblk_init_state(2);
    const float turn[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(
        show(with({40, 1}, {turn[0], turn[1], turn[2], turn[3], turn[4], turn[5], turn[6], turn[7], turn[8], 0, 0, 5})),
        0);
    EXPECT_EQ(TRS1().at(tp_transform_state::kActive), 1);
    ASSERT_EQ(show(line_block(2, 1, 0, 0)), 0);
    EXPECT_EQ(control::ncd_blocks().back().points.back(), (std::array<double, 3>{0, 1, 5})) << "drawn through TRS1";
    EXPECT_EQ(DSP8().vec(tool_position_state::kPosition), (std::array<float, 3>{1, 0, 0})) << "kept as read";

    control::set_flag("no_fast_display", 1);
    DSM4().set_real(modal_values::kFeed, -1.0f);
    ASSERT_EQ(show(line_block(3, 2, 0, 0)), 0);
    EXPECT_EQ(control::ncd_blocks().back().fast_blank, 1);
    DSM4().set_real(modal_values::kFeed, 300.0f);
    ASSERT_EQ(show(line_block(4, 3, 0, 0)), 0);
    EXPECT_EQ(control::ncd_blocks().back().fast_blank, 0);
    const std::size_t drawn = control::ncd_blocks().size();
    ASSERT_EQ(show(line_block(3, 2, 0, 0), 0), 0);
    EXPECT_EQ(control::ncd_blocks().size(), drawn - 2) << "display mode 0 removes from the block on";
}

TEST_F(BlockDisplay, DrillCycleStrokesAndCycleState)
{
    dspblk_init_state(2);
    DSP8().set_vec(tool_position_state::kPosition, {0, 0, 20});
    DSP8().set_vec(tool_position_state::kAxis, {0, 0, 1});
    // Activation: integer mode 1, depth 5, surface step 0, clear 2, retract mode 2, initial level 10.
    const std::vector<word> cycle{30, 1, 0x43594343, 0x31385f45, 1, r(5), r(0), r(2), 2, r(10)};
    ASSERT_EQ(show(cycle), 0);
    EXPECT_EQ(GCY4().at(cycle_state::kActive), 1);
    EXPECT_EQ(GCY4().real(cycle_state::kCurrentLevel), 10.0f);
    ASSERT_EQ(show({31, 2, r(4), r(3), r(0), r(0), r(0), r(1), 0}), 0);
    std::vector<std::pair<char, std::array<double, 3>>> strokes;
    for (const auto& b : control::ncd_blocks())
        if (b.kind == 'D') strokes.push_back({static_cast<char>(b.font == 5 ? 'r' : 'f'), b.points.back()});
    const std::vector<std::pair<char, std::array<double, 3>>> expected = {
        {'r', {4, 3, 20}}, {'r', {4, 3, 2}}, {'f', {4, 3, -5}}, {'f', {4, 3, 2}}, {'r', {4, 3, 10}}};
    EXPECT_EQ(strokes, expected) << "over, down to clear, feed to depth and back, up to the initial level";
    ASSERT_EQ(show(with({33, 3}, {3, 1})), 0);
    EXPECT_EQ(GCY4().real(cycle_state::kCurrentLevel), 8.0f) << "lowered by the new step less the old";
    ASSERT_EQ(show({35, 4, 0, 0, 0, r(0), r(0), r(0), 0, r(0)}), 0);
    EXPECT_EQ(GCY4().at(cycle_state::kActive), 0);
}

TEST_F(BlockDisplay, ToolTrailAlongLinesAndHeaderSettlesTheFrame)
{
    const int instance = control::add_entity(13, 2, std::vector<word>(14, 0));
    tm_inst_id(instance);
    const std::array<tool_vec, 1> to25{tool_vec{2.5f, 0, 0}}, to20{tool_vec{2.0f, 0, 0}};
    const std::array<tool_vec, 1> up{tool_vec{0, 0, 1}};
    struct row {
        std::span<const tool_vec> to;
        std::vector<float> xs;
    };
    for (const row& x : {row{to25, {2.5f / 3, 5.0f / 3, 2.5f}}, row{to20, {1.0f, 2.0f}}}) {
        const std::size_t before = control::instance_moves().size();
        tool_trace_line(x.to, up, {0, 0, 0}, {0, 0, 1}, 1.0f);
        std::vector<float> xs;
        for (std::size_t i = before; i < control::instance_moves().size(); ++i)
            xs.push_back(control::instance_moves()[i].origin[0]);
        ASSERT_EQ(xs.size(), x.xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i], x.xs[i], 1e-5);
    }
    TLER().at(tool_display_state::kMode) = 2;
    const std::size_t before = control::instance_moves().size();
    TOLMOV(instance, {7, 7, 7}, {0, 0, 1}, 1);
    EXPECT_EQ(control::instance_moves().size(), before) << "TOOL: NO DISPLAY only records";
    EXPECT_EQ(DSP8().vec(tool_position_state::kInstancePoint), (std::array<float, 3>{7, 7, 7}));

    std::vector<word> header{0, 1, 0x54534554, 0x20202020, 23};
    for (float v : {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f})
        header.push_back(r(v));
    for (int v : {3, 0, 900, 0, 0, 0, 0, 0}) header.push_back(v);
    ASSERT_EQ(show(header), 0);
    EXPECT_EQ(NPT1().machine_type(), 23);
    EXPECT_EQ(DSP8().vec(tool_position_state::kPosition), (std::array<float, 3>{4, 5, 6})) << "at the home point";
    EXPECT_EQ(LSP2().at(move_writer_state::kFirstMovePending), 1);
    EXPECT_EQ(control::ncd_current_view(), 3);
    EXPECT_EQ(control::work_view().view, 3);
}

TEST_F(BlockDisplay, UcsLoadAndTheSimulation)
{
    int ucs = 0, status = 0;
    estore(8, 1, ucs, status);
    eclose(status);
    ucs_record record;
    record.origin = {10, 20, 30};
    record.matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    rec8_get_put(2, ucs, record, status);
    control::set_ucs_view(ucs, 6);
    struct row {
        int ucs, status;
        const char* error;
    };
    for (const row& x : {row{ucs, 0, nullptr}, {ucs + 1000, -1, "DIPBT1,UNABLE TO GET UCS DATA"}}) {
        control::clear_messages();
        EXPECT_EQ(show({1, 0, 55, 0, x.ucs}), x.status) << x.ucs;
        if (x.error) {
            EXPECT_EQ(control::lines_of("eroutc").back(), x.error);
        }
    }
    EXPECT_EQ(NPT1().at(tp_header_state::kUcsId), ucs);
    EXPECT_EQ(NPT1().at(tp_header_state::kView), 6);
    EXPECT_EQ(NPT1().real(tp_header_state::kMacsysMatrix + 1), -1.0f) << "the transposed matrix";
    EXPECT_EQ(NPT1().real(tp_header_state::kMacsysOrigin + 2), 30.0f);
    EXPECT_EQ(DSP8().at(tool_position_state::kUcsId), ucs + 1000) << "SETMOD stores the value before the load";

    append_block(param_block(0, 1, 150.0f));
    int m = 1, source = 9, type = 0, flag = 0;
    DSPBLK(m, source, type, flag, status);
    append_block(line_block(1, 4, 5, 6));
    DSPBLK(m, source, type, flag, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::simulation_lines(),
              (std::vector<std::string>{"mrm_feed 150.0000", "mrm_tpmov 4.0000 5.0000 6.0000 block 1"}));
}
