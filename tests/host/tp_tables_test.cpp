// The loaded procedure tables of another tool path and the part's tool paths. (The detachment of
// a tool, asdetl, is checked through the split by tool in tests/edit.)
#include "host/control.hpp"
#include "host/control/tp_registry.hpp"
#include "host/control/tp_tables.hpp"
#include "host/vantu.hpp"
#include "host/vantu_tp_tables.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace control = vantu::control;

TEST(TpTables, LoadingAnotherToolPathAnswersItsProceduresUntilModeThree)
{
    control::reset();
    control::declare_tool_path(20, {}, {7, 9});
    control::declare_tool_path_entries(30, {}, {{1, 11}, {4, 40}, {1, 12}});
    control::set_current_tool_path(20);
    std::vector<int> part;
    get_part_tp_ids(part);
    EXPECT_EQ(part, (std::vector<int>{20, 30}));
    // Mode, tool path; then the status, the loaded tool path and the procedure ids answered.
    const struct {
        int mode, tp_id, status, loaded;
        std::vector<int> ids;
    } rows[] = {
        {2, 30, 0, 30, {11, 12}},
        {2, 31, -5, 30, {11, 12}},
        {1, 20, -1, 30, {11, 12}},
        {3, -1, 0, -1, {7, 9}},
    };
    for (const auto& row : rows) {
        int status = 9;
        update_tp_flags(row.mode, row.tp_id, status);
        EXPECT_EQ(status, row.status) << row.mode << "/" << row.tp_id;
        EXPECT_EQ(control::loaded_tool_path(), row.loaded) << row.mode << "/" << row.tp_id;
        std::vector<int> ids{99};
        get_tp_proc_ids(ids, status);
        EXPECT_EQ(ids, row.ids) << row.mode << "/" << row.tp_id;
    }
}

}  // namespace
