// The pocket's pre-execution hook shows no points (the other callbacks are tested with the
// pocket, tests/pocket/).
#include "pocket/pocket_callbacks.hpp"

#include <gtest/gtest.h>

namespace {

TEST(PocketCallbacks, PreExecutionHookShowsNoPoints)
{
    int capacity = 15000, count = 99, arrows = 0, has_axes = 0, status = -5;
    float points[3] = {}, directions[3] = {}, axes[3] = {};
    display_hook_drelan(capacity, count, points, arrows, directions, has_axes, axes, status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(status, 0);
}

}  // namespace
