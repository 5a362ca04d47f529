// The host's curve sets (and the sets of one loop sharing its run) and the debug-file directory.
#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/core/curve_set_runs.hpp"
#include "host/vantu_contours.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

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

// A set defined as the set before it read from another curve, either way round, shares its run
// and reads back exactly as defined; any other set keeps its own curves.
TEST_F(Contours, SetsOfOneLoopShareItsRunAndReadBackExactly)
{
    using vantu::control::curve_in_set;
    const vantu::curve_run loop{{1, 0.0, 1.0, 1.0}, {2, 0.5, 2.0, 1.0}, {3, 0.0, 3.0, -1.0}, {4, 1.0, 4.0, 1.0}};
    const auto from = [&](std::size_t first, bool backwards) {
        vantu::curve_run run;
        for (std::size_t k = 0; k < loop.size(); ++k)
            run.push_back(backwards ? vantu::turned(loop[(first + loop.size() - k) % loop.size()])
                                    : loop[(first + k) % loop.size()]);
        return run;
    };
    vantu::curve_run nudged = from(1, false), swapped = from(0, false);
    nudged[2].end += 1e-12;
    std::swap(swapped[1], swapped[2]);
    struct row {
        const char* what;
        vantu::curve_run wanted;
        bool shared;
    } rows[] = {
        {"the loop itself", loop, true},
        {"begun at the third curve", from(2, false), true},
        {"run the other way from the second", from(1, true), true},
        {"a parameter nudged", nudged, false},
        {"two curves swapped", swapped, false},
        {"one curve short", vantu::curve_run(loop.begin(), loop.end() - 1), false},
    };
    const auto shared_loop = std::make_shared<vantu::curve_run>(loop);
    for (const row& r : rows) {
        EXPECT_EQ(vantu::view_of(shared_loop, r.wanted).has_value(), r.shared) << r.what;
        vantu::control::reset();
        for (int id = 1; id <= 4; ++id) vantu::control::add_line({0, 0, 0}, {1, 0, double(id)});
        vantu::control::define_curve_set(1, loop);
        vantu::control::define_curve_set(2, r.wanted);
        const std::string saved = vantu::control::save_part_text();
        vantu::control::load_part_text(saved, "sets");
        EXPECT_EQ(vantu::control::save_part_text(), saved) << r.what;
        for (std::size_t k = 0; k < r.wanted.size(); ++k) {
            int entity = 0, status = 0;
            double data[3] = {};
            dfdget(2, static_cast<int>(k) + 1, entity, data, status);
            const curve_in_set read{entity, data[0], data[1], data[2]};
            EXPECT_TRUE(status == 0 && read.entity == r.wanted[k].entity && read.start == r.wanted[k].start &&
                        read.end == r.wanted[k].end && read.orientation == r.wanted[k].orientation)
                << r.what << ", curve " << k + 1;
        }
    }
    // A shared set that is changed takes its own run first: the loop stays as it was.
    vantu::curve_set_view view = *vantu::view_of(shared_loop, from(3, true));
    view.own()[0].start = 9.0;
    EXPECT_EQ((*shared_loop)[3].start, 1.0);
    EXPECT_EQ(view[0].start, 9.0);
    EXPECT_EQ(view[1].entity, 3);
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
