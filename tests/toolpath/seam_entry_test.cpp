// The seam tables through which lower folders call higher ones: every entry is filled once the
// module is loaded, and an entry left unfilled answers with a line and a failed status instead of
// a crash.
#include "driver/edit_seams.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/hatch_line_seams.hpp"
#include "pocket/proc_dialog_seams.hpp"
#include "pocket_lanes/region_hatch_seams.hpp"
#include "pocket_lanes/surface_grid_seams.hpp"
#include "toolpath/approach_seams.hpp"
#include "toolpath/seam_entry.hpp"
#include "toolpath/surface_query_seams.hpp"
#include "toolpath_support.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using any_entry = void (*)();

// The entries of a table (a struct of function pointers only) that still hold what a fresh table
// holds, that is the unfilled entries.
template <class Table>
int unfilled_entries(const Table& live)
{
    static_assert(sizeof(Table) % sizeof(any_entry) == 0, "a seam table holds function pointers only");
    const Table fresh{};
    int count = 0;
    for (std::size_t offset = 0; offset < sizeof(Table); offset += sizeof(any_entry))
        count += std::memcmp(reinterpret_cast<const char*>(&live) + offset,
                             reinterpret_cast<const char*>(&fresh) + offset, sizeof(any_entry)) == 0;
    return count;
}

}  // namespace

TEST(SeamTables, EveryEntryIsFilledWhenTheModuleIsLoaded)
{
    const struct {
        const char* table;
        int unfilled;
    } rows[] = {
        {kPocketEngineStepsName, unfilled_entries(pocket_engine())},
        {kSurfaceQuerySeamsName, unfilled_entries(surface_query_table())},
        {kApproachServicesName, unfilled_entries(approach_seams())},
        {kSurfaceGridSeamsName, unfilled_entries(surface_grid())},
        {kRegionHatchSeamsName, unfilled_entries(region_hatch())},
        {kEditServicesName, unfilled_entries(edit_seams())},
        {kHatchLineServicesName, unfilled_entries(hatch_line_seams())},
        {kProcDialogServicesName, unfilled_entries(proc_dialog_seams())},
    };
    for (const auto& row : rows) EXPECT_EQ(row.unfilled, 0) << row.table;
}

TEST(SeamTables, AnUnfilledEntryReportsAndFailsInsteadOfCrashing)
{
    tp_test::fresh();
    pocket_engine_steps steps;
    int status = 0;
    steps.drawpk(0, 0, status);
    EXPECT_EQ(status, -1);
    surface_query_seams queries;
    int count = 7;
    status = 0;
    queries.linnet_touch_point(nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0, nullptr, count, status);
    EXPECT_EQ(status, -1) << "the status word is the last one, after the count";
    EXPECT_EQ(count, 7);
    EXPECT_EQ(tp_test::errors(), (std::vector<std::string>{"pocket_engine_steps: SEAM ENTRY NOT FILLED",
                                                  "surface_query_seams: SEAM ENTRY NOT FILLED"}));
}
