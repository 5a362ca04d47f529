// BLKLST (see the header).
#include "edit/time/block_listing.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "listing/prtblk.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/part_file_names.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kWriteMode = 2, kPositionMarker = 1;
constexpr int kFirstBlock = 2, kNextBlock = 1, kEndOfLevel = -1;
constexpr int kNumberChars = 4;
// The heading's columns: titles and descriptions, block numbers; the closing rule's length.
constexpr int kTitleColumn = 11, kNumberColumn = 3, kRuleLength = 59;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void heading(int unit, int procedure, const std::string& part_name)
{
    std::string function;
    get_nc_function_name(list_cursor().cursor_fn_code, function);
    int& line = lst_state().line;
    fltx7c(unit, kTitleColumn, "PROCEDURE BLOCK LISTING", line);
    fltx7c(unit, kTitleColumn, "=======================", line);
    filtx8(unit, kTitleColumn, "PART FILE NAME: ", quoted(part_name), line);
    fltx7c(unit, kNumberColumn, "BLOCK", line);
    fltx8c(unit, kNumberColumn, "NUMBER", kTitleColumn, "BLOCK DESCRIPTION", line);
    fltx8c(unit, kNumberColumn, "------", kTitleColumn, "-----------------", line);
    lst_blank(unit);
    lst_blank(unit);
    fltx2c(unit, lst_block_column(procedure), "PROCEDURE NUMBER = ", procedure, " ", line);
    filtx8(unit, kTitleColumn, "FUNCTION NAME    : ", quoted(function), line);
    lst_blank(unit);
}

// The closing lines after the last block.
void closing(int unit, int procedure)
{
    int& line = lst_state().line;
    std::string rule;
    stfill(rule, '-', 0, kRuleLength);
    lst_blank(unit);
    fltx1c(unit, "END PROCEDURE NUMBER = ", procedure, " ", line);
    filtxt(unit, rule, -1, line);
    lst_blank(unit);
}

// Every block of the level through the printer, then the end lines. Status 0 or -1.
void blocks(int unit, int procedure, int& status)
{
    const float scale = listing_scale(kListForm);
    int result = 0;
    lacces(kFirstBlock, result);
    if (result < 0) {
        status = -1;
        return;
    }
    while (result >= 0) {
        int type = 0;
        PRTBLK(kListForm, unit, kWhereList, -1, scale, type, status);
        if (status < 0) {
            status = -1;
            return;
        }
        lacces(kNextBlock, result);
    }
    if (result != kEndOfLevel) {
        status = -1;
        return;
    }
    closing(unit, procedure);
    status = 0;
}

}  // namespace

void BLKLST(int& status)
{
    status = -1;
    const int procedure = list_cursor().proc_number;
    lst_state().procedure = procedure;
    int marked = 0;
    lmark(1, kPositionMarker, marked);
    if (marked <= 0) return;
    std::string suffix = "BLOCK_" + std::to_string(procedure);
    suffix.resize(6 + kNumberChars, ' ');
    std::string name;
    int name_length = 0, part_length = 0, made = 0;
    CRTPNM(kNameAskToolPath, suffix, static_cast<int>(suffix.size()), name, name_length, part_length, made);
    bool opened = false;
    if (made == 0) {
        name.resize(static_cast<std::size_t>(std::clamp(name_length, 0, int(name.size()))));
        int open_status = 0;
        aopen(kListingUnit, name, kWriteMode, open_status);
        opened = open_status == 0;
        if (!opened) errou4("BLKLST, CANNOT OPEN FILE", name);
    }
    if (opened) {
        prmptc("W R I T I N G");
        heading(kListingUnit, procedure,
                name.substr(0, static_cast<std::size_t>(std::clamp(part_length, 0, int(name.size())))));
        blocks(kListingUnit, procedure, status);
    }
    int back = 0;
    tp_list_top_mark(kPositionMarker, back);
    if (back < 0) status = -1;
    if (opened) {
        int closed = 0;
        aclose(kListingUnit, closed);
        if (closed != 0) status = -1;
    }
    if (status == 0) listing_announce(name);
}
