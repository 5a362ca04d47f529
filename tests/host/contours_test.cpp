// The host's curve sets and the debug-file directory.
#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/vantu_contours.hpp"

#include <gtest/gtest.h>

namespace {

class Contours : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

TEST_F(Contours, CurveSetsAnswerTheirCurvesAndSurviveThePartFile)
{
    // The curves of a set name entities of the part (a set naming a missing one does not load).
    const int first = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    const int second = vantu::control::add_line({1, 0, 0}, {1, 1, 0});
    vantu::control::define_curve_set(4, {{first, 0.0, 2.5, 1.0}, {second, 1.0, 0.0, -1.0}});
    const std::string part = vantu::control::save_part_text();
    vantu::control::reset();
    int count = 0, status = 0;
    dfdgnc(4, count, status);
    EXPECT_EQ(status, -1);
    vantu::control::load_part_text(part, "curve sets");
    dfdgnc(4, count, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(count, 2);
    int entity = 0;
    double data[3] = {};
    dfdget(4, 2, entity, data, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(entity, second);
    EXPECT_EQ(data[0], 1.0);
    EXPECT_EQ(data[2], -1.0);
    dfdget(4, 3, entity, data, status);
    EXPECT_EQ(status, -1);
    dfdget(5, 1, entity, data, status);
    EXPECT_EQ(status, -1);
}

TEST_F(Contours, DebugDirectoryIsTheOutputFolder)
{
    std::string directory;
    int status = 0;
    cad_name(kCadNameDebugDirectory, directory, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(directory, ".");
    vantu::control::set_output_directory("/tmp/out/");
    cad_name(kCadNameDebugDirectory, directory, status);
    EXPECT_EQ(directory, "/tmp/out");
    cad_name(19, directory, status);
    EXPECT_EQ(status, -1);
    vantu::control::inject_fault("cad_name", 1, 1, -7);
    cad_name(kCadNameDebugDirectory, directory, status);
    EXPECT_EQ(status, -7);
}

}  // namespace
