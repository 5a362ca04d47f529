// Host calls of the tool-path display: the display file by block address, the attributes and
// their saved copy, the status line and the blocks handed over, numbers as text, the copies of a
// procedure, tool instance moves, temporary splines, arcs and their steps, the listing files and
// the association records.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace control = vantu::control;

class TpDisplayCalls : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
};

// Registers, adds and draws one block to the point; answers the add and move statuses.
std::pair<int, int> draw_block(const ncd_address& address, float x, float y)
{
    const float p[3] = {x, y, 0};
    int added = 0, moved = 0;
    ncd_register_block(address);
    ncd_add_registered_block(added);
    ncd_move_to(p, moved);
    return {added, moved};
}

std::vector<int> numbers_of_blocks()
{
    std::vector<int> numbers;
    for (const auto& b : control::ncd_blocks()) numbers.push_back(b.block1 * 10 + b.block2);
    return numbers;
}

}  // namespace

TEST_F(TpDisplayCalls, DisplayFileKeepsBlocksByAddressAndReplacesAProcedureInPlace)
{
    int added = 0;
    ncd_add_registered_block(added);
    EXPECT_EQ(added, kNcdAddFailed) << "nothing registered";
    for (int b : {1, 2}) draw_block({2, 1, b}, static_cast<float>(b), 0);
    for (int b : {1, 2}) draw_block({2, 2, b}, 0, static_cast<float>(b));
    draw_block({2, 3, 1}, 5, 5);
    EXPECT_EQ(numbers_of_blocks(), (std::vector<int>{11, 12, 21, 22, 31}));
    EXPECT_EQ(control::ncd_blocks()[1].points, (control::polyline3{{1, 0, 0}, {2, 0, 0}}))
        << "a block starts at the pen";

    int status = 0;
    ncd_set_block_position(kCurrentDisplayFile, -1, {1, 2, 0}, status);
    ASSERT_EQ(status, 0);
    ncd_delete_block_or_proc(kCurrentDisplayFile, {1, 2, 0}, status);
    ASSERT_EQ(status, 0);
    draw_block({2, 2, 7}, 9, 9);
    EXPECT_EQ(numbers_of_blocks(), (std::vector<int>{11, 12, 27, 31})) << "procedure 2 replayed in its place";
    ncd_set_block_position(kCurrentDisplayFile, -1, {1, 4, 0}, status);
    EXPECT_EQ(status, -1) << "procedure 4 has no place";
    ncd_delete_blocks(kCurrentDisplayFile, {2, 1, 2}, {}, status);
    EXPECT_EQ(numbers_of_blocks(), (std::vector<int>{11, 27, 31})) << "from the block to its procedure's end";
    ncd_delete_blocks(kCurrentDisplayFile, {1, 27, 0}, {}, status);
    EXPECT_EQ(status, 0) << "no such block: nothing to delete";
    ncd_set_block_position(kCurrentDisplayFile, 1, {}, status);
    draw_block({2, 9, 1}, 1, 1);
    EXPECT_EQ(numbers_of_blocks().front(), 91) << "the empty address is the file's start";

    int moved = 0;
    const float p[3] = {1, 1, 1};
    ncd_move_to(p, moved);
    EXPECT_EQ(moved, -1) << "no block waits for its end";
    control::inject_fault("ncd_set_block_position", 1, 1, -7);
    ncd_set_block_position(kCurrentDisplayFile, 1, {}, status);
    EXPECT_EQ(status, -7);
}

TEST_F(TpDisplayCalls, AttributesArcsSplinesAndDrillStrokes)
{
    ncd_update_current_attrs(4, 6, 7);
    ncd_pull_color_font_pen();
    setlf(5);
    setclr(2);
    setpen(3);
    ncd_update_fast_blank_attribute(1);
    draw_block({2, 1, 1}, 1, 0);
    const auto& rapid = control::ncd_blocks().back();
    EXPECT_EQ((std::array<int, 4>{rapid.font, rapid.colour, rapid.pen, rapid.fast_blank}),
              (std::array<int, 4>{5, 2, 3, 1}));
    ncd_push_color_font_pen();
    ncd_update_current_attrs(-1, 6, 7);
    EXPECT_EQ(control::ncd_current_attrs().font, 4) << "the kept font is back and -1 keeps it";

    const float centre[2] = {0, 0};
    int status = 0;
    ncd_update_arc_def(0.0f, 1.5708f, 0.3927f, centre, 0.0f, 1.0f, status);
    ASSERT_EQ(status, 0);
    draw_block({2, 1, 2}, 0, 1);
    EXPECT_EQ(control::ncd_blocks().back().kind, 'A');
    EXPECT_EQ(control::ncd_blocks().back().points.size(), 5u) << "start, three inner steps, end";
    ncd_update_arc_def(0.0f, 1.0f, 0.1f, centre, 0.0f, 0.0f, status);
    EXPECT_EQ(status, -1);

    const float knots[6] = {0, 0, 0, 1, 1, 1}, poles[9] = {0, 1, 0, 1, 1, 0, 2, 0, 0};
    ncd_update_spline_def(3, 3, knots, poles, status);
    ASSERT_EQ(status, 0);
    draw_block({2, 1, 3}, 2, 0);
    EXPECT_EQ(control::ncd_blocks().back().kind, 'S');
    EXPECT_GT(control::ncd_blocks().back().points.size(), 4u);
    const float bad_knots[6] = {0, 0, 1, 0, 1, 1};
    ncd_update_spline_def(3, 3, bad_knots, poles, status);
    EXPECT_EQ(status, -1);

    int added = 0, moved = 0;
    ncd_register_block({2, 1, 4});
    ncd_add_registered_drill_block(added);
    ncd_add_drill_attrs(ncd_attr_list_to_int(262140, 2, 5, 3));
    const float p[3] = {2, 0, -5};
    ncd_move_to(p, moved);
    const auto& stroke = control::ncd_blocks().back();
    EXPECT_EQ((std::array<int, 3>{stroke.font, stroke.colour, stroke.pen}), (std::array<int, 3>{5, 2, 3}));
    EXPECT_EQ(stroke.kind, 'D');

    struct steps_row {
        float angle, step;
        int steps;
        float step_after;
    };
    for (const steps_row& x :
         {steps_row{1.0f, 0.25f, 4, 0.25f}, {1.0f, 0.3f, 4, 0.25f}, {-1.0f, 0.0f, 1, -1.0f}, {0.5f, 2.0f, 1, 0.5f}}) {
        float step = x.step;
        int steps = 0;
        setdel_nc(x.angle, step, steps);
        EXPECT_EQ(steps, x.steps) << x.angle << " " << x.step;
        EXPECT_FLOAT_EQ(step, x.step_after);
    }
}

TEST_F(TpDisplayCalls, StatusLineBlocksAndNumbersAsText)
{
    bmshow(2, 1, 4, "FEED=100.000 AND MORE", 0, 12);
    bmshow(2, 1, 15, "REFUSED", 0, 12);
    EXPECT_EQ(control::status_field(2, 4), "FEED=100.000");
    EXPECT_EQ(control::status_field(3, 4), std::string(12, ' '));
    EXPECT_NE(control::status_line_text().find("status line 2: |"), std::string::npos);
    word npt1[2] = {7, 8};
    gsncpt(2, npt1, 2);
    word back[2] = {};
    gsncpt(1, back, 2);
    EXPECT_EQ(back[1], 8);
    win_start_paint_on_main_wnd();
    EXPECT_EQ(control::status_paints_open(), 1);
    win_end_paint_on_main_wnd();
    EXPECT_EQ(control::status_paints_open(), 0);

    struct real_row {
        float value;
        int decimals, width;
        const char* text;
        int length;
    };
    for (const real_row& x : {real_row{12.5f, 3, 7, "12.500", 6},
                              {-0.0001f, 3, 7, "0.000", 5},
                              {123456.0f, 3, 7, "", -1},
                              {std::nanf(""), 2, 9, "", -1}}) {
        std::string text;
        int length = 0;
        cvr2t(x.value, x.decimals, x.width, text, length);
        EXPECT_EQ(text, x.text) << x.value;
        EXPECT_EQ(length, x.length);
    }
    std::string text, field;
    int length = 0;
    cvr2td(-12345.678f, 10, 3, text, length);
    EXPECT_EQ(text, "-12345.678");
    cvr2td(12345678.0f, 10, 3, text, length);
    EXPECT_EQ(length, -1) << "eleven digits";
    cvi2ts(1234, 3, text, length);
    EXPECT_EQ(length, -1);
    maktx5(1, "TP NAME  ", "=", "PATH1   ", 22, field, length);
    EXPECT_EQ(field, "TP NAME = PATH1       ");
    EXPECT_EQ(length, 15);
    maktx6(1, "TP SIZE", "=", "1234", "BYTES", 22, field, length);
    EXPECT_EQ(field, "TP SIZE = 1234 BYTES  ");
    float factor = 0.0f;
    control::set_flag("unit_code", 3);
    gtmesu(factor);
    EXPECT_FLOAT_EQ(factor, 25.4f);
}

TEST_F(TpDisplayCalls, CopiesInstancesSplinesAndListingFiles)
{
    control::set_copy_transformations(
        {{{1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 5}}, {{0, -1, 0, 1, 0, 0, 0, 0, 1}, {1, 0, 0}}});
    float m[9], t[3];
    int status = 0;
    cltrin(kCopyTransformation, m, t, status);
    EXPECT_EQ(t[2], 0.0f) << "the procedure itself";
    std::vector<int> answers;
    for (int i = 0; i < 4; ++i) {
        cltran(m, t, status);
        answers.push_back(status);
    }
    EXPECT_EQ(answers, (std::vector<int>{0, 0, 1, 0})) << "two copies, then the procedure again";
    cltrin(kCopyTransformation, m, t, status);
    EXPECT_EQ(t[2], 5.0f) << "the first copy once more";

    const int instance = control::add_entity(13, 2, std::vector<word>(14, 0));
    tm_inst_id(instance);
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}, at[3] = {3, 4, 5};
    figmvx(instance, identity, at, 1.0f, 4, status);
    EXPECT_EQ(control::tool_instance_position(), (std::array<float, 3>{3, 4, 5}));
    figmvx(99999, identity, at, 1.0f, 4, status);
    EXPECT_EQ(status, kEntityMissing);
    tm_inst_delete();
    EXPECT_EQ(control::tool_instance(), -1);
    EXPECT_FALSE(control::get_entity(instance).has_value());

    const float knots[5] = {0, 0, 1, 2, 2}, poles[9] = {0, 0, 0, 1, 1, 0, 2, 0, 0};
    int curve = 0;
    evbcre_bsp(-1, 3, 2, 3, knots, poles, curve, status);
    ASSERT_EQ(status, 0);
    double start = 0, end = 0;
    curve_limits(curve, start, end, status);
    EXPECT_EQ(end, 2.0);
    evbfre(curve);
    EXPECT_FALSE(control::get_entity(curve).has_value());
    evbcre_bsp(-1, 2, 2, 3, knots, poles, curve, status);
    EXPECT_EQ(status, -1) << "only three dimensions";
    EXPECT_TRUE(control::end_report().empty());

    const std::string folder =
        (std::filesystem::temp_directory_path() / ("drelan_listfile_" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder);
    control::set_output_directory(folder);
    int line = 1;
    filtxt(19, "lost", -1, line);
    EXPECT_EQ(line, 1) << "unit not open";
    aopen(19, "PART.TP_LIST", 2, status);
    ASSERT_EQ(status, 0);
    filtxt(19, "ABCDEF", 3, line);
    fl_item blanks, value;
    blanks.code = 'B';
    blanks.count = 2;
    value.code = 'I';
    value.value = 42;
    const std::vector<fl_item> items{blanks, value};
    fltxtc(19, items, line);
    EXPECT_EQ(line, 3);
    aclose(19, status);
    EXPECT_EQ(status, 0);
    std::ifstream written(folder + "/PART.TP_LIST");
    std::string first, second;
    std::getline(written, first);
    std::getline(written, second);
    EXPECT_EQ(first, "ABC");
    EXPECT_EQ(second, "  42");
    written.close();
    std::filesystem::remove_all(folder);
}

TEST_F(TpDisplayCalls, AssociationWalkAndTree)
{
    control::set_assoc_steps({{10, 1, 1, 0, 0, 3}, {11, 1, 1, 0, 0, 4}, {12, 1, 1, 0, 0, 3}});
    assoc_step step;
    std::vector<int> walked;
    int status = 0;
    for (asseqa(1, 3, step, status); status == 0; asseqa(0, 3, step, status)) walked.push_back(step.entity);
    EXPECT_EQ(walked, (std::vector<int>{10, 12}));
    asseqa(1, -1, step, status);
    EXPECT_EQ(status, 1) << "no tree: nothing to walk";
    int root = 0, node = 0, geometry = 0;
    ncn_assoc_create_tree(0, root, status);
    ncn_assoc_add_node(root, 1, 4, node, status);
    ncn_assoc_add_node(node, 2, 11, geometry, status);
    asseqa(1, -1, step, status);
    EXPECT_EQ(step.entity, 11);
    std::vector<int> blocks;
    ncn_assoc_find_geom_proc(3, blocks, status);
    EXPECT_EQ(status, -1) << "procedure 3 is not in the tree";
    ncn_assoc_delete_node(node, status);
    EXPECT_EQ(control::assoc_tree().size(), 1u) << "the procedure with its geometry";
    ncn_assoc_add_node(777, 1, 5, node, status);
    EXPECT_EQ(status, -1);
}
