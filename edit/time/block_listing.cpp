// BLKLST (see the header).
#include "edit/time/block_listing.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "host/vantu.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "listing/prtblk.hpp"
#include "toolpath/fnc_names.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/part_file_names.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kWriteMode = 2, kPositionMarker = 1;
constexpr int kFirstBlock = 2, kNextBlock = 1, kEndOfLevel = -1;
constexpr int kNumberChars = 4;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void heading(int unit, int procedure, const std::string& part_name)
{
    std::string function;
    get_nc_function_name(list_cursor().cursor_fn_code, function);
    lst_line(unit, {li_blanks(11), li_text("PROCEDURE BLOCK LISTING")});
    lst_line(unit, {li_blanks(11), li_text("=======================")});
    lst_line(unit, {li_blanks(11), li_text("PART FILE NAME: "), li_text(quoted(part_name))});
    lst_line(unit, {li_blanks(3), li_text("BLOCK")});
    lst_line(unit, {li_blanks(3), li_text("NUMBER"), li_blanks(2), li_text("BLOCK DESCRIPTION")});
    lst_line(unit, {li_blanks(3), li_text("------"), li_blanks(2), li_text("-----------------")});
    lst_blank(unit);
    lst_blank(unit);
    lst_line(unit, {li_text(lst_block_column(procedure)), li_text("PROCEDURE NUMBER = "), li_int(procedure), li_text(" ")});
    lst_line(unit, {li_blanks(11), li_text("FUNCTION NAME    : "), li_text(quoted(function))});
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
    lst_blank(unit);
    lst_line(unit, {li_text("END PROCEDURE NUMBER = "), li_int(procedure), li_text(" ")});
    lst_line(unit, {li_text(std::string(59, '-'))});
    lst_blank(unit);
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
        heading(kListingUnit, procedure, name.substr(0, static_cast<std::size_t>(std::clamp(part_length, 0, int(name.size())))));
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
