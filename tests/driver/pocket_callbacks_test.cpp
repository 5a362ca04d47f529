// The pocket's callbacks as they stand: define ends the run and the pre-execution hook shows
// no points.
#include "pocket/pocket_callbacks.hpp"

#include <gtest/gtest.h>

namespace {

TEST(PocketCallbacks, DefineAsksToEndTheRun)
{
    int procedure = -1, view_only = 0, moved = 0, repeat = 0, change = 0, back = 0, redefined = 0;
    int end_run = 0, status = -5;
    define_drelan(procedure, view_only, moved, repeat, change, back, redefined, end_run, status);
    EXPECT_EQ(end_run, 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(procedure, -1) << "the procedure number belongs to the driver";
}

TEST(PocketCallbacks, PreExecutionHookShowsNoPoints)
{
    int capacity = 15000, count = 99, arrows = 0, has_axes = 0, status = -5;
    float points[3] = {}, directions[3] = {}, axes[3] = {};
    display_hook_drelan(capacity, count, points, arrows, directions, has_axes, axes, status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(status, 0);
}

}  // namespace
