// Host services of the pocket's records and execution: association states and temporary chains,
// curve data beside an entity, the solid association test, the step count of a swept angle, the
// text of a value and the list placed at a procedure's block.
#include "host/control.hpp"
#include "host/control/assoc.hpp"
#include "host/control/entities.hpp"
#include "host/control/list.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

namespace control = vantu::control;

class PocketServices : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
    void TearDown() override { control::reset(); }
};

TEST_F(PocketServices, AssociationStatesComeFromThePartAndMissingCurvesAreNotAvailable)
{
    const int kept = control::add_line({0, 0, 0}, {1, 0, 0});
    const int changed = control::add_line({0, 1, 0}, {1, 1, 0});
    control::set_assoc_state(changed, kAssocChanged);
    control::load_part_text(control::save_part_text(), "saved");
    struct row {
        int curve, state;
    };
    for (const row& r : {row{kept, kAssocUnchanged}, row{changed, kAssocChanged}, row{999, kAssocNotAvailable}}) {
        int state = -1, status = -1;
        asinqg(1, 0, r.curve, state, status);
        EXPECT_EQ(status, 0) << r.curve;
        EXPECT_EQ(state, r.state) << r.curve;
    }
    // Missing curves wait under their owner; a temporary that does not exist is refused.
    int status = -1;
    asattc(999, -1, 4, 2, status);
    EXPECT_EQ(status, 0);
    asattc_idd(999, 12345, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(control::assoc_links(), (std::vector<control::assoc_link>{{999, -1, 4}}));
}

TEST_F(PocketServices, TemporaryChainGivesItsLastAndPreviousIds)
{
    const int a = control::add_entity(9, 7, {0}), b = control::add_entity(9, 7, {0}),
              c = control::add_entity(9, 7, {0});
    int status = 0, last = 0, previous = 0;
    last_geom_temp_id(a, last, status);
    prev_geom_temp_id(a, previous, status);
    EXPECT_EQ(last, a);
    EXPECT_EQ(previous, -1);
    int link = b;
    get_set_idtmp(2, a, link, status);
    link = c;
    get_set_idtmp(2, b, link, status);
    last_geom_temp_id(a, last, status);
    prev_geom_temp_id(a, previous, status);
    EXPECT_EQ(last, c);
    EXPECT_EQ(previous, b);
    link = a;  // a loop in the links ends the walk
    get_set_idtmp(2, c, link, status);
    last_geom_temp_id(a, last, status);
    EXPECT_EQ(last, c);
    last_geom_temp_id(4711, last, status);
    EXPECT_EQ(status, -5);
}

TEST_F(PocketServices, CurveDataAnswerTheRangeUntilWritten)
{
    const int line = control::add_line({0, 0, 0}, {3, 4, 0});
    const int arc = control::add_arc({0, 0, 0}, 2.0, 0.0, 90.0);
    double values[3] = {};
    int status = -1;
    edatad(1, line, values, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(values[1], 5.0);
    EXPECT_EQ(values[2], 5.0);
    edatad(1, arc, values, status);
    EXPECT_NEAR(values[2], std::numbers::pi / 2, 1e-12);
    double written[3] = {1, 2, 3};
    edatad(2, line, written, status);
    edatad(1, line, values, status);
    EXPECT_EQ(values[2], 3.0);
    const int point = control::add_point({0, 0, 0});
    edatad(1, point, values, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PocketServices, SweptAngleGetsTheSmallestCountOfSmallEnoughSteps)
{
    struct row {
        double angle, largest;
        int count;
    };
    const row rows[] = {
        {1.0, 0.1, 10}, {1.0, 0.3, 4}, {-1.0, 0.3, 4}, {0.0, 0.1, 1}, {1.0, 0.0, 1}, {NAN, 0.1, 1}, {3.0, 3.0, 1},
    };
    for (const row& r : rows) {
        int count = 0;
        double step = 0;
        setdeld_nc(r.angle, r.largest, count, step);
        EXPECT_EQ(count, r.count) << r.angle << " by " << r.largest;
        if (!std::isfinite(r.angle)) continue;
        EXPECT_NEAR(step * count, r.angle, 1e-12);
    }
    EXPECT_EQ(leval0(0.0f), 1);
    EXPECT_EQ(leval0(-2.0f), 1);
    EXPECT_EQ(leval0(0.001f), 0);
}

TEST_F(PocketServices, TextsAndTheSolidTest)
{
    std::string text;
    mktx1c("MAX. GAP BETWEEN CONT. CURVES IS", 0.2f, ".GREATER THAN CONT. TOL.", text);
    EXPECT_EQ(text, "MAX. GAP BETWEEN CONT. CURVES IS 0.2000 .GREATER THAN CONT. TOL.");
    erou4c("CONTOURS", "ERRORS IN ASSOCIATIVITY ROUTINES.");
    EXPECT_EQ(control::lines_of("erou4c"), std::vector<std::string>{"CONTOURS ERRORS IN ASSOCIATIVITY ROUTINES."});
    int ok = -1;
    ncs_table_aso_test(2, 31, 0, ok);
    EXPECT_EQ(ok, 0) << "no solid in the part";
}

TEST_F(PocketServices, ListIsPlacedAtAProceduresBlock)
{
    control::load_part_text(R"({"toolpath": {"counters": [3], "lines": [{"words": [0, 0]}, {"words": [12, 1, 50]},
                                {"words": [12, 2, 50]}]}})",
                            "two procedures");
    EXPECT_TRUE(control::place_toolpath_cursor_at_block(2));
    EXPECT_EQ(control::toolpath_cursor().lines, std::vector<int>{2});
    EXPECT_FALSE(control::place_toolpath_cursor_at_block(7));
    EXPECT_EQ(control::toolpath_cursor().lines, std::vector<int>{2});
}

}  // namespace
