// Host calls of the procedure questions and the change analysis: text assembly, the MACSYS
// rotation test, the common arguments with repositioning, contour descriptors, direction arrows
// and what the part file keeps of them.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

class ProcedureCalls : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
};

TEST_F(ProcedureCalls, TextAssemblyAndComparison)
{
    std::string text;
    maktxt("NOTE: NO CHANGES IN   ", "PROCEDURE'S PARAMETERS", text);
    EXPECT_EQ(text, "NOTE: NO CHANGES IN PROCEDURE'S PARAMETERS");
    maktx4("A", "", "B  ", "C", text);
    EXPECT_EQ(text, "A B C");
    maktx3(std::string(70, 'X'), "YYYYYYYY", "ZZZZZZZZ", text);
    EXPECT_EQ(text.size(), 80u);
    int length = 0;
    cvi2t(-42, text, length);
    EXPECT_EQ(text, "-42");
    EXPECT_EQ(length, 3);
    const std::string with_zero("No Text\0   ", 11);
    EXPECT_EQ(cmpchs(with_zero, "No Text"), 0);
    EXPECT_EQ(cmpchs("POCKET  ", "POCKET"), 0);
    EXPECT_EQ(cmpchs("POCKET", "POCKETS"), 1);
}

TEST_F(ProcedureCalls, MacsysRotationCommonArgumentsAndTheirPersistence)
{
    const std::array<float, 9> identity = {1, 0, 0, 0, 1, 0, 0, 0, 1}, turned = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    control::define_macsys(1, {5, 5, 0}, identity);
    control::define_macsys(2, {5, 5, 0}, turned);
    control::define_macsys(3, {6, 5, 0}, turned);
    control::load_part_text(control::save_part_text(), "origin");
    struct row {
        int now, before, rotation;
    };
    for (const row& x : std::vector<row>{{2, 1, 1}, {1, 2, 1}, {3, 1, 0}, {1, 1, 0}, {9, 1, 0}})
        EXPECT_EQ(if_rotate_ucs(x.now, x.before), x.rotation) << x.now << " from " << x.before;

    nc_common_arguments handed;
    handed.position = {real_to_word(1.0f), real_to_word(2.0f), real_to_word(3.0f)};
    handed.macsys = 2;
    gs_common_arguments(2, handed);
    control::set_reposition(std::array<float, 3>{4.0f, 5.0f, 6.0f});
    int status = -1;
    EXPECT_EQ(repos_proc(0, 1, status), 0);
    nc_common_arguments back;
    gs_common_arguments(1, back);
    EXPECT_EQ(word_to_real(back.position[2]), 6.0f);
    EXPECT_EQ(back.macsys, 2);
    control::inject_fault("repos_proc", 1, 1, -3);
    EXPECT_EQ(repos_proc(0, 1, status), -3);
}

TEST_F(ProcedureCalls, DescriptorsDefaultsOwnValuesAndPartFile)
{
    control::define_curve_set(1, {{11, 0, 1, 1}, {12, 0, 1, 1}});
    control::define_curve_set(9, {{13, 0, 1, 1}});
    control::contour_descriptor open;
    open.open = 1;
    open.groups = 2;
    open.checks[1] = {14, 0.25};
    open.length = 3;
    control::define_descriptor(9, open);
    control::load_part_text(control::save_part_text(), "descriptors");
    int length = 0, groups = 0, curves = 0, is_open = -1, curve = 0, status = 0;
    double parameter = 0;
    dfdgld(1, length, status);
    EXPECT_EQ(length, kDescriptorHeadItems + 2 * kDescriptorCurveItems);
    dfdgng(1, groups, curves, status);
    EXPECT_EQ(groups, 1);
    EXPECT_EQ(curves, 2);
    dfdgoc(1, is_open, status);
    EXPECT_EQ(is_open, 0);
    dfdgld(9, length, status);
    EXPECT_EQ(length, 3);
    dfdgoc(9, is_open, status);
    EXPECT_EQ(is_open, 1);
    dfdgcc(9, 2, curve, parameter, status);
    EXPECT_EQ(curve, 14);
    EXPECT_EQ(parameter, 0.25);
    dfdgcc(9, 1, curve, parameter, status);
    EXPECT_EQ(curve, -2);
    dfdgcc(9, 3, curve, parameter, status);
    EXPECT_EQ(status, -1);
    dfdgld(4, length, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(length, 0);
}

TEST_F(ProcedureCalls, ArrowsDrawnAndErasedAndOneChoiceQuestions)
{
    const float point[3] = {1, 2, 3}, along_x[3] = {2, 0, 0}, none[3] = {0, 0, 0};
    int status = -1;
    darrow(1, point, along_x, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(control::figures().size(), 1u);
    EXPECT_EQ(control::figures()[0].strokes.size(), 3u);
    darrow(1, point, none, status);
    EXPECT_EQ(status, -1);
    darrow(0, point, along_x, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(control::figures()[0].deleted);
    darrow(0, point, along_x, status);
    EXPECT_EQ(status, -1);

    control::load_script_text(R"([{"question": "yes", "expect": "CREATE TOOL? AGIE TOOL"}, {"menu": 2}])", "dialogs");
    int answer = 0;
    irply1("CREATE TOOL?", "AGIE TOOL@", answer);
    EXPECT_EQ(answer, 1);
    topopt("DRILL TOOL@MILL TOOL@", answer);
    EXPECT_EQ(answer, 2);
    control::set_user_nc_function(50, true);
    control::load_part_text(control::save_part_text(), "user functions");
    EXPECT_EQ(gnccod(50), 1);
    EXPECT_EQ(gnccod(49), 0);
}

}  // namespace
