// divide_renumber: the running numbers (item 121 of segment 24) of the procedures after the
// divided one that share its group key (item 120) follow on from its own, in the current tool
// path and then in the part's tool paths after it, whose procedures are read and written through
// the host by id. The host is always left with the current tool path's tables loaded.
#include "edit/time/divide_pieces.hpp"

#include "driver/copy_current_proc.hpp"
#include "driver/mch_slot_init.hpp"
#include "host/vantu.hpp"
#include "host/vantu_tp_tables.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGroupGlobal = 24;
constexpr int kItemLevel = 40, kItemKey = 120, kItemRunning = 121, kItemState = 44;
constexpr int kItemTransformation = 45, kItemSubroutines = 22;
constexpr int kSuspended = 2, kLevelLimit = 4, kSkippedFunction = 53;
constexpr int kProcClass = 9, kProcGlobals = 4;
constexpr int kLoad = 2, kBack = 3, kCurrent = -1;

// What the test of one procedure reads: the proc_table columns it tests, taken from the items
// that fill them (state, column 5; NC function code, 1; transformation id, 4; HAS SUBROUTINES,
// 10), its item 40 and its group key. A procedure that is a transformation or calls subroutines
// repeats other procedures' motions and takes no running number of its own.
struct renumber_row {
    int state = 1;
    int nc_function = -1;
    int transformation = -1;
    int subroutines = 0;
    int level = 0;
    int key = -1;
};

bool follows(const renumber_row& r, int key)
{
    return r.state != kSuspended && r.subroutines == 0 && r.transformation < 1 && r.level < kLevelLimit &&
           r.nc_function != kSkippedFunction && r.key == key;
}

word list_item(int group, int code, word missing)
{
    int count = 0, type = 0, status = 0;
    word value = missing;
    TPGETC(kWhereList, group, code, count, type, &value, 1, status);
    return status == 0 ? value : missing;
}

// The row of the procedure block the list stands on.
renumber_row list_row()
{
    return {list_item(kGroupGlobal, kItemState, 1),           list_item(kGroupHead, kHeadProcType, -1),
            list_item(kGroupGlobal, kItemTransformation, -1), list_item(kGroupGlobal, kItemSubroutines, 0),
            list_item(kGroupGlobal, kItemLevel, 0),           list_item(kGroupGlobal, kItemKey, -1)};
}

// A stored procedure's parameter; missing gives `missing`, a failed read false.
bool stored_item(int id, int code, word missing, word& value)
{
    int count = 0, status = 0;
    value = missing;
    gs_param(kParamGetInteger, id, kProcClass, kProcGlobals, code, &value, 1, count, status);
    if (status == 1) value = missing;
    return status >= 0;
}

bool stored_row(int id, renumber_row& r)
{
    word state = 1, function = -1, transformation = -1, subroutines = 0, level = 0, key = -1;
    const bool read = stored_item(id, kItemState, 1, state) && stored_item(id, kHeadProcType, -1, function) &&
                      stored_item(id, kItemTransformation, -1, transformation) &&
                      stored_item(id, kItemSubroutines, 0, subroutines) && stored_item(id, kItemLevel, 0, level) &&
                      stored_item(id, kItemKey, -1, key);
    r = {state, function, transformation, subroutines, level, key};
    return read;
}

// The procedures after `first` in the list; the running number carried on.
void renumber_list(int first, int key, word& running)
{
    const int count = tp_procedure_count();
    for (int q = first + 1; q <= count; ++q) {
        int status = 0;
        NXTCNT(kClassProcedure, q, status);
        if (status < 0 || !follows(list_row(), key)) continue;
        ++running;
        TPCHNN(kWhereList, kGroupGlobal, kItemRunning, kTypeInteger, &running, 1, status);
    }
}

// The procedures of one other tool path; false when a read failed.
bool renumber_tool_path(int tp_id, int key, word& running)
{
    int status = 0;
    update_tp_flags(kLoad, tp_id, status);
    std::vector<int> ids;
    if (status >= 0) get_tp_proc_ids(ids, status);
    if (status < 0) return false;
    for (int id : ids) {
        renumber_row r;
        if (!stored_row(id, r)) return false;
        if (!follows(r, key)) continue;
        ++running;
        int count = 0;
        gs_param(kParamSet, id, kProcClass, kProcGlobals, kItemRunning, &running, 1, count, status);
        if (status < 0) return false;
    }
    return true;
}

}  // namespace

void divide_renumber(int first)
{
    int status = 0, level = 1;
    gtlstn(2, level, status);
    NXTCNT(kClassProcedure, first, status);
    if (status < 0) return;
    const int key = list_item(kGroupGlobal, kItemKey, -1);
    word running = list_item(kGroupGlobal, kItemRunning, 0);
    renumber_list(first, key, running);
    int current = kCurrent;
    get_curr_tp_id(current);
    std::vector<int> paths;
    get_part_tp_ids(paths);
    const auto at = std::find(paths.begin(), paths.end(), current);
    for (auto it = at == paths.end() ? at : at + 1; it != paths.end(); ++it)
        if (!renumber_tool_path(*it, key, running)) break;
    update_tp_flags(kBack, kCurrent, status);
}
