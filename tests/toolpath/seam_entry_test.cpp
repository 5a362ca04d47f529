// The seam tables through which lower folders call higher ones: every entry is filled once the
// module is loaded, and an entry left unfilled answers with a line and a failed status instead of
// a crash.
#include "clearing/hatch/surface_pass_seams.hpp"
#include "clearing/surface_services/backup_seams.hpp"
#include "driver/edit_seams.hpp"
#include "edit/editor/gap_services.hpp"
#include "listing/proc_common_services.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/proc_select_services.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/hatch_line_seams.hpp"
#include "pocket/proc_dialog_seams.hpp"
#include "pocket_arrays/seam_entry.hpp"
#include "pocket_arrays/surface_offset_seams.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "toolpath/approach_seams.hpp"
#include "toolpath/surface_query_seams.hpp"
#include "toolpath_support.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using any_entry = void (*)();

// The entries of a table (a struct of function pointers only) that still hold what a fresh table
// holds, that is the unfilled entries.
template <class Table> int unfilled_entries(const Table& live)
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
        {kSurfaceGridSeamsName, unfilled_entries(surface_grid_seam_table())},
        {kSurfaceOffsetSeamsName, unfilled_entries(surface_offset_seam_table())},
        {kRegionHatchSeamsName, unfilled_entries(region_hatch())},
        {kEditServicesName, unfilled_entries(edit_seams())},
        {kGapServicesName, unfilled_entries(gap_service_table())},
        {kHatchLineServicesName, unfilled_entries(hatch_line_seams())},
        {kProcDialogServicesName, unfilled_entries(proc_dialog_seams())},
        {kDisplayServicesName, unfilled_entries(display_service_table())},
        {kMillServicesName, unfilled_entries(mill_service_table())},
        {kProcSelectServicesName, unfilled_entries(proc_select_service_table())},
        {kExecMenuServicesName, unfilled_entries(exec_menu_service_table())},
        {kSurfacePassSeamsName, unfilled_entries(surface_pass_seam_table())},
        {kProcCommonServicesName, unfilled_entries(proc_common_service_table())},
        {kSurfaceBackupServicesName, unfilled_entries(surface_backup_service_table())},
    };
    for (const auto& row : rows) EXPECT_EQ(row.unfilled, 0) << row.table;
}

// Each row calls one entry of a fresh table and answers the words the call left behind: a last
// int& is the status and fails; other outputs stay as they were; a result is a zero value.
TEST(SeamTables, AnUnfilledEntryReportsAndFailsInsteadOfCrashing)
{
    using vec = std::array<float, 3>;
    const struct {
        const char* table;
        std::function<std::vector<int>()> call;
        std::vector<int> answer;
    } rows[] = {
        {kPocketEngineStepsName,
         [] {
             int status = 0;
             pocket_engine_steps{}.drawpk(0, 0, status);
             return std::vector{status};
         },
         {-1}},
        {kSurfaceQuerySeamsName,
         [] {
             int strings = 0, count = 7, status = 0;
             surface_query_seams{}.linnet_touch_point(0, 0, nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr,
                                                      nullptr, strings, 0, nullptr, count, status);
             return std::vector{status, count};
         },
         {-1, 7}},
        {kDisplayServicesName,
         [] {
             int instance = 7;
             display_services{}.DISPT1(3, vec{}, vec{0, 0, 1}, instance);
             return std::vector{instance};
         },
         {-1}},
        {kDisplayServicesName,
         [] {
             display_services{}.status_show_feed(2);
             return std::vector<int>{};
         },
         {}},
        {kMillServicesName,
         [] {
             float diameter = 5.0f;
             mill_services{}.tool_get_mill_diameter(1, diameter);
             return std::vector{static_cast<int>(diameter)};
         },
         {5}},
        {kProcSelectServicesName,
         [] {
             int status = 0;
             proc_select_services{}.NXTCNT(1, 2, status);
             return std::vector{status};
         },
         {-1}},
        {kExecMenuServicesName,
         [] {
             exec_menu_services{}.exec_pause_menu(kMenuNoMoves);
             return std::vector<int>{};
         },
         {}},
        {kSurfacePassSeamsName,
         [] {
             int passes = 3;
             const int result = surface_pass_seams{}.surface_pass_run(nullptr, passes);
             return std::vector{result, passes};
         },
         {0, -1}},
        {kProcCommonServicesName,
         [] {
             int status = 0;
             proc_common_services{}.updtcm(0, -1, 1, 2, 1, 0, 1, status);
             return std::vector{status};
         },
         {-1}},
        {kEditServicesName, [] { return std::vector{edit_services{}.trim_restart_active()}; }, {0}},
        {kGapServicesName,
         [] {
             float clear_z = 5.0f, z_up = 2.0f;
             int status = 0;
             gap_services{}.gap_connect(clear_z, z_up, gap_ends{}, status);
             return std::vector{status, static_cast<int>(clear_z)};
         },
         {-1, 5}},
        {kGapServicesName,
         [] {
             point3 neighbour{1, 2, 3};
             const int found = gap_services{}.gap_side_point(1, point3{}, neighbour);
             return std::vector{found, static_cast<int>(neighbour[2])};
         },
         {0, 3}},
    };
    for (const auto& row : rows) {
        tp_test::fresh();
        EXPECT_EQ(row.call(), row.answer) << row.table;
        EXPECT_EQ(tp_test::errors(), std::vector<std::string>{std::string(row.table) + ": SEAM ENTRY NOT FILLED"})
            << row.table;
    }
}
