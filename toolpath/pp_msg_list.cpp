// The list work of the message dialogs: counting blocks, the move back over preceding messages,
// the search that shows a message, the entry of a text and the one-time blanking of a procedure.
#include "toolpath/pp_messages.hpp"

#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_mdata.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_textarea.hpp"
#include "nc_services/msg_kind_texts.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kFailed = -1, kNothingTyped = -2, kListFailed = -3;
constexpr int kTextType = 4;
constexpr int kMarkSet = 1, kMarkReturn = 2;
constexpr int kCountMarker = 4, kReplaceMarker = 1;
constexpr int kAccessFirst = 2, kAccessNext = 1, kAccessWord0 = 0;
constexpr int kUnmoved = -2, kAtListEnd = 1;
constexpr int kMostTyped = 78, kFewestChars = 2, kMostChars = 80, kAreaMost = 84;
constexpr int kTrace = 1, kDisplay = 0;

// The type of the current block (-1 when it cannot be read).
int current_type(int& status)
{
    int size = 0, type = -1, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status < 0 ? -1 : type;
}

int digits(int number) { return static_cast<int>(std::to_string(number).size()); }

// Shows the message block at the list position; false with status -1 for an impossible count.
bool show_message(int column, int row, int width, int& current, int& status)
{
    tp_text_block block;
    tpread_text(kWhereList, block, status);
    if (status < 0) return false;
    if (block.count < kFewestChars || block.count > kMostChars) {
        status = kFailed;
        return false;
    }
    int kind = 0;
    char first = block.text[0];
    std::string label, prompt, title;
    msg_kind_texts(kind, first, label, prompt, title);
    // The block text (kind character included) is cut to the width less the block number's digits
    // less 5; the label replaces the kind character. A narrow area shows no text.
    const int cut = std::min(block.count, width - digits(block.number) - 5);
    const std::string text = cut > 1 ? block.text.substr(1, static_cast<std::size_t>(cut - 1)) : std::string();
    const std::string shown = label + text;
    dsptx7(shown, static_cast<int>(shown.size()), block.number, column, row);
    current = block.number;
    return true;
}

}  // namespace

msg_text_area msg_area(int dialog)
{
    msg_text_area a;
    a.column = col1st();
    a.row = dialog + 1;
    a.width = std::min(maxcol() - a.column, kAreaMost);
    return a;
}

msg_dialog_state& msg_dialog()
{
    static msg_dialog_state state;
    return state;
}

void count_class_blocks(int block_class, int& count, int& status)
{
    count = 0;
    status = 0;
    int marked = 0;
    lmark(kMarkSet, kCountMarker, marked);
    ltop(status);
    int length = 0;
    lacces(kAccessFirst, length);
    while (length >= 0 && status >= 0) {
        int size = 0, type = 0, found = 0;
        tp_block_head_read(kWhereList, size, type, found, status);
        if (status >= 0 && found == block_class) ++count;
        lacces(kAccessNext, length);
    }
    if (marked == 1) lmark(kMarkReturn, kCountMarker, marked);
}

void count_msg_blocks(int& count, int& status) { count_class_blocks(kClassText, count, status); }

void msg_skip_back(int& status)
{
    status = 0;
    int lines = 0;
    llines(lines);
    for (int i = 0; i < lines; ++i) {
        if (current_type(status) != kTextType) break;
        int moved = 0;
        tp_list_jump(-1, moved);
        if (moved < 0) break;
    }
    if (status < 0) status = 0;
    int length = 0;
    lacces(kAccessWord0, length);
}

void msg_show_next(int direction, int column, int row, int width, int& current, int& status)
{
    status = 0;
    if (TLER().at(tool_display_state::kMode) == kTrace) TLER().at(tool_display_state::kMode) = kDisplay;
    dblnkr(column, row, std::max(width, 0));
    const int step = direction == 1 ? 1 : -1;
    int lines = 0;
    llines(lines);
    int moved = 0;
    if (current != -1) {
        current = -1;
        tp_list_jump(step, moved);
    }
    for (int i = 0; i <= lines + 1; ++i) {
        if (moved == kUnmoved) {
            drtext(direction == 1 ? "LAST MESSAGE EXCEEDED" : "FIRST MESSAGE EXCEEDED", column, row);
            return;
        }
        if (moved < 0) {
            status = moved;
            return;
        }
        if (current_type(status) == kTextType) {
            show_message(column, row, width, current, status);
            return;
        }
        if (status < 0) return;
        tp_list_jump(step, moved);
    }
}

void msg_enter(int kind, int column, int row, int width, int direction, int& current, int& status)
{
    status = 0;
    dblnkr(column, row, std::max(width, 0));
    char first = ' ';
    std::string label, prompt, title;
    msg_kind_texts(kind, first, label, prompt, title);
    prmptc(prompt);
    drtext(label, column, row);
    std::string typed;
    int count = 0;
    rtextr(column + static_cast<int>(label.size()), row, kMostTyped, typed, count);
    if (count <= 0) {
        status = kNothingTyped;
        dblnkr(column, row, std::max(width, 0));
        return;
    }
    const std::string text = std::string(1, first) + typed.substr(0, static_cast<std::size_t>(count));
    if (current < 0) {
        PUTBT4(kWhereListNumbered, kTextType, count + 1, text, 0, status);
    } else {
        int marked = 0, answer = 0;
        lmark(kMarkSet, kReplaceMarker, marked);
        PUTBT4(kWhereList, kTextType, count + 1, text, current, status);
        if (status >= 0) lmark(kMarkReturn, kReplaceMarker, answer);
        if (status >= 0 && answer == 1) tp_list_delete(direction == 1 ? 1 : -1, status);
        if (status >= 0 && answer == 1 && direction != 1) tp_list_jump(1, answer);
        if (status < 0 || marked != 1) status = kListFailed;
    }
    dblnkr(column, row, std::max(width, 0));
}

void msg_blank_apply(int& request, int& second)
{
    constexpr int kEditing = 1, kProcedure = 2, kBlanked = 11;
    edit_state& e = EDA2();
    int status = 0;
    mdgetc("EDA2", edit_state::kWords, e.words.data(), status);
    if (request != 0 && e.word_no(kEditing) != 0 && e.word_no(kBlanked) == 0) {
        ncd_set_block_or_proc_blank(kCurrentDisplayFile, {1, e.word_no(kProcedure), 0}, 1, status);
        e.word_no(kBlanked) = 1;
        mdputc("EDA2", edit_state::kWords, e.words.data(), status);
    }
    request = 0;
    second = 0;
}
