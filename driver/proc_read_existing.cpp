// Reading an existing procedure: the source (the tool-path list or the host's record), the
// version flags, the single-curve flag and the own-segment length, then the read callback; and
// the flag segment. Reads EDA2, writes the word layer's version, save_aprx_choice and
// single_curve_contours_flag().
#include "driver/proc_read_existing.hpp"

#include "driver/change_analysis.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tool_choice.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGlobalGroup = 24, kOwnSegment = 25;
constexpr int kVersionItem = 43, kListVersionItem = 113, kSingleCurveItem = 47;
constexpr int kParamSelector = 9, kParamKind = 4;
constexpr int kFirst515 = 515, kFirst1112 = 1112;
constexpr int kLocalParamsSkip = 4;  // words of the local-parameter record before the parameters
constexpr int kFirstGeometryFlag = 0, kSecondGeometryFlag = 2;  // pair words of kinds 10001, 10002

// One integer of the procedure: item `code` of `group` from the list, or from the host's record
// (gs_param) when the procedure is read from the host. The value is kept when the item is
// missing (status 1).
void read_word(int where, int group, int code, int& value, int& status)
{
    word read = value;
    int count = 0;
    if (where == kWhereEntity) {
        // The header word is read as an array of one word, the items as integers.
        int proc_id = -1;
        gs_proc_id(1, proc_id);
        gs_param(group == kGroupHead ? kParamGetArray : kParamGetInteger, proc_id, kParamSelector, kParamKind, code,
                 &read, 1, count, status);
    } else {
        int type = 0;
        TPGETC(kWhereList, group, code, count, type, &read, 1, status);
    }
    if (status == 0 && count > 0) value = read;
}

// The source of the read: the list, unless the procedure is viewed through the host's procedure
// manager from a tool path other than the current one.
int read_source()
{
    if (EDA2().word_no(edit_state::kViewOnly) == 0) return kWhereList;
    int proc_id = -1, current = -1, status = 0;
    gs_proc_id(1, proc_id);
    std::vector<int> tool_paths;
    ncn_assoc_find_proc_tp(proc_id, tool_paths, status);
    get_curr_tp_id(current);
    if (tool_paths.empty() || std::find(tool_paths.begin(), tool_paths.end(), current) != tool_paths.end())
        return kWhereList;
    return kWhereEntity;
}

// The length of the own segment; from the host, also opens the local-parameter record past its
// leading words (opened is set as soon as it is open).
void own_segment(int where, int& length, bool& opened, int& status)
{
    if (where == kWhereList) {
        PLFIND(kGroupTopLevel, kOwnSegment, status);
        if (status >= 0) tp_get_int(kWhereList, length, status);
        return;
    }
    int proc_id = -1;
    gs_proc_id(1, proc_id);
    int globals = 0, geometries = 0, further = 0;
    get_proc_info(proc_id, globals, geometries, further, status);
    nc_proc_record record;
    if (status >= 0) dbd_proc(1, proc_id, record, status);
    const int entity_id = record.lclprm_id;
    if (status >= 0) get_lclprm_info(entity_id, length, status);
    if (status < 0) {
        eroutc("proc_read_existing, THE HOST'S PROCEDURE RECORD CANNOT BE READ", 0);
        status = -1;
        return;
    }
    int entity_class = 0, entity_type = 0;
    eopen(entity_id, entity_class, entity_type, status);
    if (status < 0) return;
    opened = true;
    eskipn(kLocalParamsSkip, status);
}

// Steps 3 to 9 of the read; stops at the first negative status.
void read_procedure(read_parameters_callback read, int where, int& old_version, bool& opened, int& status)
{
    int procedure_type = -1;
    read_word(where, kGroupHead, kHeadProcType, procedure_type, status);
    if (status < 0) return;

    old_version = 1;
    int before_515 = 1, version = -1;
    read_word(where, kGlobalGroup, kVersionItem, version, status);
    if (status < 0) return;
    if (status == 0) {
        before_515 = version < kFirst515 ? 1 : 0;
        old_version = version < kFirst1112 ? 1 : 0;
    }
    tp_vnum_set(version);

    // The list's own version item wins when it holds one; its absence is no failure.
    int list_version = -1, ignored = 0;
    read_word(where, kGlobalGroup, kListVersionItem, list_version, ignored);
    if (ignored == 0 && list_version > 0) tp_vnum_set(list_version);

    int single_curve = 0;
    read_word(where, kGlobalGroup, kSingleCurveItem, single_curve, status);
    if (status < 0) return;
    single_curve_contours_flag() = status == 0 ? single_curve : 0;

    int length = 0;
    own_segment(where, length, opened, status);
    if (status < 0) return;
    status = 0;
    read(where, procedure_type, version, before_515, length, status);
}

}  // namespace

void proc_read_existing(read_parameters_callback read, int no_questions, int& old_version, int& status)
{
    int version_before = 0;
    tp_vnum_get(version_before);
    bool opened = false;
    status = 0;
    int where = read_source();
    read_procedure(read, where, old_version, opened, status);
    if (opened) {
        int closed = 0;
        eclose(closed);
    }
    if (status < 0) {
        tp_vnum_set(version_before);
        return;
    }
    if (no_questions == 0) save_aprx_choice() = 1;
    tool_to_common();
}

// The driver's name for the flag read of the tool-path words: one reading serves both.
void proc_flags_read(int& status) { read_proc_flags(status); }

void proc_flag_sync()
{
    proc_geom_pairs& f = proc_flags();
    if (f.pairs[kFirstGeometryFlag] != 0) f.pairs[kSecondGeometryFlag] = 1;
}
