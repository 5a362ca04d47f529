// PROCTL and proctl_ent (see the header).
#include "listing/proctl.hpp"

#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "listing/proc_common_services.hpp"
#include "listing/prtblk.hpp"
#include "listing/tp_entity_open.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kFromEntity = 1, kCurrentList = 2;
constexpr int kMarker = 1;
constexpr int kWriteMode = 2;
constexpr int kHeaderType = 0, kProcedureType = 12;
constexpr int kToolPathType = 3, kProcedureEntityType = 4;
constexpr int kProcedureEntry = 1, kToolPathEntry = 2;
constexpr int kToHost = 2, kToModule = 1;  // ofmod
constexpr int kListFromToolPath = 2;       // updtcm's listing use

// Titles and labelled lines start after 13 blanks.
constexpr int kIndent = 13;

void title(int unit, const std::string& text) { fltx7c(unit, kIndent, text, lst_state().line); }

// One procedure's parameters, written by its NC function while the host holds the file.
bool list_parameters(int unit, int procedure, int nc_function)
{
    int status = 0;
    proc_common_service_table().updtcm(0, -1, procedure, kListFromToolPath, 1, 0, 1, status);
    lst_blank(unit);
    ofmod(kToHost, status);
    if (status != 0) {
        eroutc("PROCTL, CANNOT CLOSE THE FILE", 0);
        return false;
    }
    segrun(nc_function, status);
    proc_common_service_table().save_state_eda2(1);
    ofmod(kToModule, status);
    if (status != 0) {
        eroutc("PROCTL, CANNOT OPEN THE FILE", 0);
        return false;
    }
    return true;
}

// Procedure n of the list: its entry, then its parameters unless the driver's group.
bool procedure_entry(int unit, int n)
{
    proc_summary_table& t = proc_table();
    if (n > proc_summary_table::kProcedures) return false;
    t.entries[static_cast<std::size_t>(n)] = t.entries[proc_summary_table::kScratch];
    const int nc = t.entries[static_cast<std::size_t>(n)].nc_function;
    return proc_type_group_a(nc) != 0 || list_parameters(unit, n, nc);
}

// The current list: the header block, then every procedure block. False after "PROCTL, ERRORS
// IN LIST" or a failed parameter listing.
bool list_current(int unit, int tool_path)
{
    int status = 0, type = 0;
    lacces(2, status);
    if (status >= 0) tp_find_block_type(kHeaderType, status);
    if (status >= 0) lacces(0, status);
    if (status >= 0) PRTBLK(kHeaderForm, unit, kWhereList, tool_path, 1.0f, type, status);
    if (status < 0) {
        eroutc("PROCTL, ERRORS IN LIST", 0);
        return false;
    }
    for (int n = 1;; ++n) {
        tp_find_block_type(kProcedureType, status);
        if (status < 0) return true;  // no procedure left
        lacces(0, status);
        if (status >= 0) PRTBLK(kHeaderForm, unit, kWhereList, tool_path, 1.0f, type, status);
        if (status < 0 || n > proc_summary_table::kProcedures) {
            eroutc("PROCTL, ERRORS IN LIST", 0);
            return false;
        }
        if (!procedure_entry(unit, n)) return false;
        lacces(1, status);
        if (status < 0) return true;
    }
}

// The run of one tool path on the open unit; the tool path is marked as being listed meanwhile.
bool list_path(int tool_path, int mode, int unit)
{
    std::vector<int>& paths = lst_state().proc_list_paths;
    const int key = mode == kCurrentList ? 0 : tool_path;
    if (std::find(paths.begin(), paths.end(), key) != paths.end()) return true;
    paths.push_back(key);
    bool done = true;
    if (mode == kFromEntity) {
        int status = 0;
        proctl_ent(tool_path, unit, status);
        if (status < 0) {
            eroutc("PROCTL, ERRORS  IN OPENNING ENTITY", 0);
            close_entity();
            done = false;
        }
    } else {
        done = list_current(unit, tool_path);
    }
    paths.erase(std::find(paths.begin(), paths.end(), key));
    return done;
}

int mode_of(int tool_path)
{
    return tool_path < 1 || tool_path == CLP1().at(proc_colour_pen::kToolPath) ? kCurrentList : kFromEntity;
}

}  // namespace

void proctl_ent(int tool_path, int unit, int& status)
{
    status = kFailed;
    int type = 0, count = 0;
    if (!open_tool_path_entity(tool_path, kToolPathType)) return close_entity();
    int printed = 0;
    PRTBLK(kHeaderForm, unit, kWhereEntity, tool_path, 1.0f, type, printed);
    close_entity();
    if (printed < 0) return;
    std::vector<int> entries;
    int read = 0;
    get_tp_info(tool_path, count, read);
    if (read == 0) dbd_tp(tool_path, entries, read);
    if (read != 0) return;
    int n = 0;
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
        const int kind = entries[i], id = entries[i + 1];
        if (kind == kToolPathEntry) {
            PROCTL(id, mode_of(id));
            continue;
        }
        if (kind != kProcedureEntry) continue;
        ++n;
        if (!open_tool_path_entity(id, kProcedureEntityType)) return close_entity();
        int current = id;
        gs_proc_id(2, current);
        PRTBLK(kHeaderForm, unit, kWhereEntity, id, 1.0f, type, printed);
        close_entity();
        if (printed < 0 || type != kProcedureType || !procedure_entry(unit, n)) return;
    }
    status = 0;
}

void PROCTL(int tool_path, int mode)
{
    listing_state& s = lst_state();
    if (s.proc_list_unit >= 0) {
        list_path(tool_path, mode, s.proc_list_unit);
        return;
    }
    int cleared = -1, status = 0;
    gs_proc_id(2, cleared);
    const tool_position_state kept = DSP8();
    if (mode == kCurrentList) lmark(1, kMarker, status);
    std::string name;
    int unit = 0;
    ofgunt(unit);
    if (listing_file_name("PROC_LIST", name)) {
        aopen(unit, name, kWriteMode, status);
        if (status != 0) {
            eroutc("PROCLT, CANNOT OPEN THE FILE", 0);
        } else {
            s.proc_list_unit = unit;
            prmptc("W R I T I N G");
            title(unit, "P R O C E D U R E  L I S T");
            title(unit, std::string(26, '='));
            lst_blank(unit);
            filtx8(unit, kIndent, "PART FILE NAME: ", "\"" + name + "\"", lst_state().line);
            for (int i = 0; i < 3; ++i) lst_blank(unit);
            if (list_path(tool_path, mode, unit)) {
                lst_blank(unit);
                lst_blank(unit);
                lst_line(unit, {li_text("END OF TOOL PATH")});
                lst_blank(unit);
            }
            s.proc_list_unit = -1;
            s.proc_list_paths.clear();
            ofloff();
            aclose(unit, status);
            if (status != 0)
                eroutc("PROCTL, CANNOT CLOSE THE FILE", 0);
            else
                listing_announce(name);
        }
    }
    if (mode == kCurrentList) tp_list_top_mark(kMarker, status);
    DSP8().set_vec(tool_position_state::kPosition, kept.position());
    DSP8().set_vec(tool_position_state::kAxis, kept.axis());
}
