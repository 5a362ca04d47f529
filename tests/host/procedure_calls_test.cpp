// Host calls of the procedure questions and the change analysis, where the driver's tests do not
// reach: the text buffer's limit, texts ending in a zero byte, what the part file keeps of
// MACSYS frames, descriptors and user functions, a refused reposition and arrow.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

TEST(ProcedureCalls, TextBufferAndComparison)
{
    control::reset();
    std::string text;
    maktx4("A", "", "B  ", std::string(90, 'C'), text);
    EXPECT_EQ(text, "A B " + std::string(76, 'C'));
    EXPECT_EQ(cmpchs(std::string("No Text\0   ", 11), "No Text"), 0);
    EXPECT_EQ(cmpchs("POCKET", "POCKETS"), 1);
}

TEST(ProcedureCalls, PartFileKeepsFramesDescriptorsAndUserFunctions)
{
    control::reset();
    const std::array<float, 9> identity = {1, 0, 0, 0, 1, 0, 0, 0, 1}, turned = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    control::define_macsys(1, {5, 5, 0}, identity);
    control::define_macsys(2, {5, 5, 0}, turned);
    const int curve_id = control::add_line({0, 0, 0}, {1, 0, 0});
    const int check_id = control::add_line({1, 0, 0}, {1, 1, 0});
    control::define_curve_set(9, {{curve_id, 0, 1, 1}});
    control::contour_descriptor open;
    open.open = 1;
    open.checks[1] = {check_id, 0.25};
    open.length = 3;
    control::define_descriptor(9, open);
    control::set_user_nc_function(50, true);
    control::load_part_text(control::save_part_text(), "procedure calls");

    EXPECT_EQ(if_rotate_ucs(2, 1), 1);
    EXPECT_EQ(if_rotate_ucs(9, 1), 0);
    int length = 0, is_open = 0, curve = 0, status = 0;
    double parameter = 0;
    dfdgld(9, length, status);
    EXPECT_EQ(length, 3);
    dfdgoc(9, is_open, status);
    EXPECT_EQ(is_open, 1);
    dfdgcc(9, 2, curve, parameter, status);
    EXPECT_EQ(curve, check_id);
    EXPECT_EQ(parameter, 0.25);
    dfdgcc(9, 3, curve, parameter, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(gnccod(50), 1);
    EXPECT_EQ(gnccod(49), 0);
}

TEST(ProcedureCalls, RefusedRepositionAndArrows)
{
    control::reset();
    int status = 0;
    control::inject_fault("repos_proc", 1, 1, -3);
    EXPECT_EQ(repos_proc(0, 1, status), -3);
    EXPECT_EQ(status, -3);
    const float point[3] = {1, 2, 3}, none[3] = {0, 0, 0};
    darrow(1, point, none, status);
    EXPECT_EQ(status, -1);
    darrow(0, point, none, status);
    EXPECT_EQ(status, -1);
}

}  // namespace
