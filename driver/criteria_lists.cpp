// Criteria lists and the re-application of the active masks (see the header).
#include "driver/criteria_lists.hpp"

#include "driver/mch_slot_init.hpp"
#include "driver/nc_state_store.hpp"
#include "driver/proc_common.hpp"
#include "host/vantu.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/part_file_names.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/contour_upkeep.hpp"
#include "surfaces/surface_select_least.hpp"
#include "toolpath/pp_messages.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kOpenFailed = -1;
constexpr int kMessageGroup = 327, kFileNamed = 20;
constexpr int kNoSurfaceSearch = 6;
constexpr int kProcedureBlock = 12;
constexpr int kListFromToolPath = 2;
// Mask record words.
constexpr int kColour = 2, kFont = 3, kPen = 4, kLevelText = 5, kLevelMode = 7;
constexpr int kAllColours = 17, kAllFonts = 9, kAllPens = 9, kAllLevels = 1, kActiveLevel = 4;

const std::string kRule = std::string(48, '-') + "\n";

constexpr const char* kLabels[kCritTypes] = {"| PART SRF.    |", "| CHECK SRF.   |", "| CLOSE CONTOUR|",
                                             "| OPEN CONTOUR |", "| DRILL POINTS |"};

void put(int file, std::string_view text)
{
    int status = 0;
    fileputs(file, text, status);
}

// The mask of the drill-point row is that of geometry type 0.
int mask_type(int type) { return type == kCritDrillPoints ? kCritPartSurfaces : type; }

int picked_count(int type)
{
    int count = 0, status = 0;
    switch (type) {
    case kCritPartSurfaces: nc_surf_select_buf(kGet, kSurfacePart, count, status); return count;
    case kCritCheckSurfaces: nc_surf_select_buf(kGet, kSurfaceCheck, count, status); return count;
    case kCritClosedContours:
        return crit_table().words[kCritOpenContours] != 0 ? pkt_n_open() : contour_table_block.count;
    case kCritOpenContours: return pkt_n_closed();
    default: return drlsnm();
    }
}

// The piece as the fixed format would write it, fitted into its column: longer values are cut
// instead of shifting the columns after them.
std::string column(std::string piece, std::size_t width)
{
    piece.resize(width, ' ');
    return piece;
}

std::string padded_number(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%*d", width, value);
    return text;
}

std::string level_text(const word (&record)[8])
{
    std::string text = word_to_text4(record[kLevelText]) + word_to_text4(record[kLevelText + 1]);
    text = text.substr(0, text.find('\0'));
    text.erase(text.find_last_not_of(' ') + 1);
    if (text.size() >= 6) return text.substr(0, 6);
    return std::string(6 - text.size(), ' ') + text;
}

// Opens the file of the name for the mode; the handle, or 0.
int open_text(const std::string& name, const char* mode)
{
    int file = 0, status = 0;
    fileopen(name, mode, file, status);
    return status == 0 ? file : 0;
}

void close_text(int file)
{
    int status = 0;
    fileclose(file, status);
}

// Sets the host's criteria-list mode back to off on every way out of the tool-path list.
struct crit_list_mode_guard {
    ~crit_list_mode_guard()
    {
        int off = 0;
        tp_crit_list_gs(kSet, off);
    }
};

// Walks the procedures of the tool path, letting each procedure's function append its list.
void append_procedures(int& status)
{
    int count = 0;
    count_class_blocks(kClassProcedure, count, status);
    for (int procedure = 1; procedure <= count && status >= 0; ++procedure) {
        NXTCNT(kClassProcedure, procedure, status);
        if (status < 0) break;
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0 || type != kProcedureBlock) break;
        word nc_function = 0;
        int items = 0, value_type = 0;
        TPGETN(kWhereList, kGroupHead, kHeadProcType, items, value_type, &nc_function, 1, status);
        if (status < 0) break;
        updtcm(0, -1, procedure, kListFromToolPath, 1, 0, 1, status);
        if (status < 0) break;
        if (proc_type_group_a(nc_function) == 0) {
            segrun(nc_function, status);
            if (status < 0) break;
            save_state_eda2(1);
        }
    }
}

}  // namespace

criteria_table& crit_table()
{
    static criteria_table table;
    return table;
}

int crit_none_active()
{
    const auto& w = crit_table().words;
    return std::all_of(w.begin(), w.end(), [](int v) { return v == 0; }) ? 1 : 0;
}

void crit_flags_of(const word (&record)[8], int (&flags)[4])
{
    flags[0] = record[kLevelMode] == kAllLevels ? 1 : 0;
    flags[1] = record[kColour] == kAllColours ? 1 : 0;
    flags[2] = record[kFont] == kAllFonts ? 1 : 0;
    flags[3] = record[kPen] == kAllPens ? 1 : 0;
}

std::string crit_mask_text(const word (&record)[8])
{
    int all[4] = {};
    crit_flags_of(record, all);
    if (all[0] && all[1] && all[2] && all[3]) return "    ENTIRE MODEL";
    std::string level = level_text(record);
    if (record[kLevelMode] == kAllLevels)
        level = " ALL  ";
    else if (record[kLevelMode] == kActiveLevel)
        level = "ACTIVE";
    const std::string every = "  ALL  ";
    return " " + level + "|" + (all[1] ? every : column("  " + padded_number(record[kColour], 2) + "   ", 7)) + "|" +
           (all[2] ? every : column("   " + std::to_string(record[kFont]) + "   ", 7)) + "|" +
           (all[3] ? every : column("   " + std::to_string(record[kPen]) + "   ", 7)) + "|";
}

void crit_list_mask(int file, int type, int picked)
{
    put(file, "    ");
    const int masks = nc_geomsk_lst_count(mask_type(type));
    if (masks <= 0) {
        put(file, picked == 0 ? "NOT DEFINED\n" : "MANUAL\n");
        return;
    }
    int active = 0;
    active_mask_gs(kGet, mask_type(type), active);
    put(file, active != 0 ? "CRITERIA IS ACTIVE :\n" : "CRITERIA IS NOT ACTIVE :\n");
    for (int n = 0; n < masks; ++n) {
        word record[8] = {};
        int status = 0;
        nc_geomsk_lst_get_data(mask_type(type), n, record, status);
        if (status != 0) return;
        put(file, "|              |" + crit_mask_text(record) + "\n");
    }
}

void crit_list_rows(int file, int& status)
{
    status = 0;
    for (int type = 0; type < kCritTypes; ++type) {
        if (crit_table().words[static_cast<std::size_t>(type)] == 0) continue;
        put(file, kLabels[type]);
        crit_list_mask(file, type, picked_count(type));
        put(file, "\n");
    }
}

void crit_list_write(int file, std::string_view name, int& status)
{
    put(file, "\n" + std::string(20, ' ') + "CRITERIA LIST FOR " + std::string(name) + ":\n\n");
    put(file, kRule);
    put(file, "| GEOM TYPE    | LEVEL | COLOR | LFONT |  PEN  |\n");
    put(file, kRule);
    crit_list_rows(file, status);
    put(file, kRule);
}

void proc_crit_list_file(const char* base, int& status)
{
    status = 0;
    if (crit_none_active() != 0) return;
    const std::string given = base ? base : "";
    const int number = get_curr_proc_number();
    char digits[16];
    std::snprintf(digits, sizeof digits, number < 10 ? "%2.2d" : "%d", number);
    std::string suffix = given + digits + ".crit_list";
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string name;
    int name_length = 0, part_length = 0;
    CRTPNM(kNameAskToolPath, suffix, static_cast<int>(suffix.size()), name, name_length, part_length, status);
    if (status < 0) return;
    const int file = open_text(name, "w");
    if (file == 0) {
        status = kOpenFailed;
        return;
    }
    crit_list_write(file, given, status);
    close_text(file);
    msg_mdls(kMessageGroup, kFileNamed, name);
}

void tp_criteria_list(int& status)
{
    int procedure_id = 0;
    gs_proc_id(kGet, procedure_id);
    std::string name;
    int name_length = 0, part_length = 0;
    CRTPNM(kNameAskToolPath, "CRIT_LIST", 9, name, name_length, part_length, status);
    if (status < 0) return;
    int file = open_text(name, "w");
    if (file == 0) {
        eroutc("tp_criteria_list, CANNOT OPEN THE FILE", 0);
        status = kOpenFailed;
        return;
    }
    {
        crit_list_mode_guard mode_off;
        int on = 1;
        tp_crit_list_gs(kSet, on);
        tp_file_name_gs(kSet, name);
        put(file, "\n          --- CRITERIA LIST FOR TOOLPATH --- \n\n");
        close_text(file);
        append_procedures(status);
    }
    msg_mdls(kMessageGroup, kFileNamed, name);
}

void proc_criteria_list(int nc_function, int /*word*/, int& status)
{
    status = 0;
    std::string name;
    tp_file_name_gs(kGet, name);
    const int file = open_text(name, "a");
    if (file == 0) {
        eroutc("proc_criteria_list, CANNOT OPEN THE FILE", 0);
        status = kOpenFailed;
        return;
    }
    tp_file_ptr_set(file);
    std::string function;
    FNCNAM(nc_function, function);
    function.erase(function.find_last_not_of(' ') + 1);
    crit_list_write(file, function + " " + std::to_string(get_curr_proc_number()), status);
    close_text(file);
    tp_file_ptr_set(0);
}

void crit_activate(int mode, int apply, int& status)
{
    constexpr int kReactivatedTypes = 4;  // part and check surfaces, closed and open contours
    status = 0;
    for (int type = 0; type < kReactivatedTypes; ++type) {
        int active = 0;
        active_mask_gs(kGet, type, active);
        crit_table().words[static_cast<std::size_t>(type)] = active;
        if (active == 0) continue;
        int change = 0;
        if (nc_geomsk_lst_count(type) == 0) {
            int off = 0;
            active_mask_gs(kSet, type, off);
            crit_gs_change(kSet, type, change);
            crit_table().words[static_cast<std::size_t>(type)] = 0;
            continue;
        }
        if (apply == 0) {
            crit_gs_change(kGet, type, change);
            if (change != 0) {
                status = change;
                return;
            }
            continue;
        }
        if (type == kCritPartSurfaces || type == kCritCheckSurfaces) {
            if (mode != kNoSurfaceSearch) mask_new_surfaces(type, change);
        } else if (mode == 1 || mode == 7) {
            pkt_classify();
            prf_refind_by_crit(type == kCritClosedContours ? 1 : 2, change);
        } else {
            pkt_reindex();
            pkt_refind_by_crit(change);
        }
        crit_gs_change(kSet, type, change);
        if (status == 0) status = change;
    }
}
