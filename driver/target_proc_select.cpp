// The target procedure from the paged list or a pick (see the header).
#include "driver/target_proc_select.hpp"

#include "driver/mch_slot_init.hpp"
#include "host/vantu.hpp"
#include "listing/header_texts.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "toolpath/pp_messages.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kDisplayPick = 0;
constexpr int kCancel = -1;
constexpr int kPageForward = 10;
constexpr int kFirstRow = 3;       // title and tool-path lines come first
constexpr int kMostRounds = 1000;  // answers a page takes before it gives up
constexpr int kStatusChars = 19, kToolNameChars = 20;
constexpr int kChangedByHand = 2, kSuspended = 2, kShownSuspended = 4;
constexpr int kMultiTools = -2;

// The block number of the n-th procedure block; -1 when it cannot be read.
int procedure_block_number(int procedure)
{
    int status = 0;
    NXTCNT(kClassProcedure, procedure, status);
    if (status < 0) return -1;
    word number = 0;
    int count = 0, type = 0;
    TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &number, 1, status);
    return status < 0 ? -1 : static_cast<int>(number);
}

std::string tool_path_name()
{
    const tp_header_state& n = NPT1();
    std::string name =
        word_to_text4(n.at(tp_header_state::kMacsysName)) + word_to_text4(n.at(tp_header_state::kMacsysName + 1));
    return name.substr(0, name.find('\0'));
}

// The page's lines after the rows.
struct page_lines {
    int page_up = 0, page_down = 0, proceed = 0, cancel = 0;
};

page_lines show_page(int first, int count, int chosen, int& line_value)
{
    const int last = std::min(first + kTargetPageRows - 1, count + 1);
    modinz();
    modumc("TARGET:SELECT PROC.", 0);
    modumc("TP=" + tool_path_name(), 0);
    proc_list_page(first, last, count, 1);
    int line = kFirstRow + (last - first + 1) - 1;
    page_lines lines;
    if (count + 1 > kTargetPageRows) {
        prmptc(first == 1 ? "MORE STR" : last == count + 1 ? "MORE END" : "MORE    ");
        modmc("Pg Up", line_value);
        lines.page_up = ++line;
        modmc("Pg Dn", line_value);
        lines.page_down = ++line;
    }
    if (chosen > 0) {
        modmc("CONTINUE", line_value);
        lines.proceed = ++line;
    }
    modmc("CANCEL", line_value);
    lines.cancel = ++line;
    return lines;
}

void choose(int procedure, int& chosen, std::array<int, 2>& range)
{
    target_range_mark(0, chosen, range);
    chosen = procedure;
    target_range_mark(1, chosen, range);
}

}  // namespace

void PCKPGT(int answer, int row_height, int first, int first_row, int& procedure, int& block, int& status)
{
    status = 0;
    block = 0;
    int count = 0;
    count_class_blocks(kClassProcedure, count, status);
    if (status < 0) return;
    if (answer == kDisplayPick) {
        ncd_address picked;
        slpopb();
        ncd_get_picked(picked, status);
        for (int p = 1; status == 0 && p <= count; ++p) {
            if (procedure_block_number(p) != picked.block1) continue;
            procedure = p;
            if (picked.level > 1) block = picked.block2;
            return;
        }
        eroutc("PCKPGT, ILLEGAL KEY BLOCK", 0);
        status = -1;
        return;
    }
    // A row height of 0 would divide by zero; the caller's page has no rows then.
    if (row_height <= 0) {
        status = -1;
        return;
    }
    const int row = first + (answer - first_row) / row_height;
    if (answer < first_row || row < 1 || row > count + 1) {
        status = -1;
        return;
    }
    procedure = row;
}

void target_range_mark(int mark, int procedure, std::array<int, 2>& range)
{
    if (mark == 0) {
        if (range[1] > 0) ncd_mark_attention(procedure, range[0], range[1], 0);
        range = {0, 0};
        return;
    }
    range = {procedure_block_number(procedure), kAttentionBlocks};
    if (range[0] < 0) {
        range = {0, 0};
        return;
    }
    ncd_mark_attention(procedure, range[0], range[1], 1);
}

std::string proc_list_row(int procedure, int tool_column)
{
    const proc_summary_entry* e = proc_table_entry(procedure);
    if (!e) return {};
    std::string status;
    proc_status_text(procedure, status);
    status.resize(kStatusChars, ' ');
    std::string row = status + (e->state2 == kChangedByHand ? '~' : '=') + std::to_string(e->number);
    if (tool_column == 0) return row;
    std::string tool = "-- TOOL";
    if (e->c != 0) tool[0] = 'C';
    if (e->state == kSuspended || (e->state == kShownSuspended && e->u != 0)) tool[1] = 'U';
    std::string name(e->text2.data(), kToolNameChars);
    name = name.substr(0, name.find('\0'));
    return row + " " + tool + " = " + (e->tool == kMultiTools ? std::string("MULTI TOOLS") : name);
}

void proc_list_page(int first, int last, int marks, int tool_column)
{
    // The rows are picked, not edited: they share one value word that outlives the page.
    static int row_value = 0;
    for (int procedure = first; procedure <= last; ++procedure)
        modmc(procedure > marks ? std::string(" ") : proc_list_row(procedure, tool_column), row_value);
}

void target_proc_select(int& chosen, int& start, int& status)
{
    int count = 0;
    count_class_blocks(kClassProcedure, count, status);
    if (status < 0) return;
    status = 0;
    chosen = 0;
    if (count == 0) {
        chosen = 1;
        return;
    }
    std::array<int, 2> range{};
    bool list_mode = start > 0;
    int first = std::clamp(start, 1, count + 1);
    int line_value = 0;
    for (int round = 0; round < kMostRounds; ++round) {
        int answer = 0;
        if (!list_mode) {
            int entity = 0;
            prmptc("TARGET:PICK PROC.");
            pick(answer, entity);
            if (answer == -3) {
                int menu = 0;
                menuc("SELECT FROM LIST", menu);
                if (menu == 1) list_mode = true;
                continue;
            }
            if (answer < 0) break;
            int procedure = 0, block = 0;
            PCKPGT(kDisplayPick, 1, 1, kFirstRow, procedure, block, status);
            if (status == 0) choose(procedure, chosen, range);
            status = 0;
            continue;
        }
        const page_lines lines = show_page(first, count, chosen, line_value);
        modif1(answer);
        if (answer == lines.cancel || answer < 0) {
            target_range_mark(0, chosen, range);
            status = kCancel;
            return;
        }
        if (answer == lines.proceed && chosen > 0) break;
        if (answer == lines.page_up && lines.page_up > 0)
            first = std::max(1, first - kTargetPageRows);
        else if (answer == lines.page_down && lines.page_down > 0) {
            if (first + kPageForward <= count + 1) first += kPageForward;
        } else {
            int procedure = 0, block = 0;
            PCKPGT(answer, 1, first, kFirstRow, procedure, block, status);
            if (status == 0 && procedure <= std::min(first + kTargetPageRows - 1, count + 1))
                choose(procedure, chosen, range);
            status = 0;
        }
    }
    target_range_mark(0, chosen, range);
    status = chosen > 0 ? 0 : kCancel;
    if (chosen > 0) start = first;
}
