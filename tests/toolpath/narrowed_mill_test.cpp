// The scoped narrowing of the current mill over a table of its own (no module services): the
// values read at the start come back on a return and on the stop of an execution, and a guard
// that never narrowed, or whose tool is no mill, writes nothing.
#include "nc_services/exec_control.hpp"
#include "toolpath/narrowed_mill.hpp"

#include <gtest/gtest.h>

namespace {

struct fake_mill {
    float diameter = 10.0f, corner = 2.0f;
    int writes = 0;
};
fake_mill mill;

const mill_services kFakeServices = {
    [](int, float& value) { value = mill.diameter; },
    [](int, float& value) { value = mill.corner; },
    [](float value) {
        mill.diameter = value;
        ++mill.writes;
    },
    [](float value) {
        mill.corner = value;
        ++mill.writes;
    },
};

enum class leave { by_return, by_stop };

void narrow_and_leave(bool narrow, leave how)
{
    const fake_mill start = mill;
    narrowed_mill tool(kFakeServices);
    EXPECT_EQ(tool.diameter(), start.diameter);
    EXPECT_EQ(tool.corner(), start.corner);
    if (narrow) {
        tool.narrow(4.0f, 1.0f);
        tool.narrow(3.0f, 0.5f);
        if (start.diameter > 0.0f) {
            EXPECT_EQ(mill.diameter, 3.0f);
            EXPECT_EQ(mill.corner, 0.5f);
        }
    }
    if (how == leave::by_stop) throw execution_stop{kExecRestart};
}

}  // namespace

TEST(NarrowedMill, GivesBackTheFirstValuesOnEveryWayOut)
{
    struct row {
        bool narrow;
        leave how;
        int writes;              // 2 per narrowing, 2 for the give-back
        float diameter = 10.0f;  // -1: the current tool is no mill
    };
    const row rows[] = {
        {true, leave::by_return, 6}, {true, leave::by_stop, 6},          {false, leave::by_return, 0},
        {false, leave::by_stop, 0},  {true, leave::by_return, 0, -1.0f}, {true, leave::by_stop, 0, -1.0f},
    };
    for (const row& r : rows) {
        mill = fake_mill{};
        mill.diameter = r.diameter;
        bool stopped = false;
        try {
            narrow_and_leave(r.narrow, r.how);
        } catch (const execution_stop&) {
            stopped = true;
        }
        EXPECT_EQ(stopped, r.how == leave::by_stop);
        EXPECT_EQ(mill.diameter, r.diameter) << r.narrow << static_cast<int>(r.how);
        EXPECT_EQ(mill.corner, 2.0f) << r.narrow << static_cast<int>(r.how);
        EXPECT_EQ(mill.writes, r.writes) << r.narrow << static_cast<int>(r.how);
    }
}
