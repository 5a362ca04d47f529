// The two message dialogs: INSMSG inserts messages and codes at a chosen place, EDTMSG walks
// through the existing ones and deletes or replaces them (see pp_messages.hpp).
#include "toolpath/pp_messages.hpp"

#include "host/vantu_datamenu.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_textarea.hpp"
#include "nc_services/proc_select_services.hpp"
#include "toolpath/tp_list_access.hpp"

#include <array>

namespace {

constexpr int kInsertDialog = 0, kEditDialog = 1;
constexpr int kCancel = -2;
constexpr int kNothingTyped = -2;
constexpr int kInsertFailed = -3, kEditFailed = -1;
constexpr int kHighlight = 1, kPlain = 0;
constexpr int kMarkSet = 1, kMarkReturn = 2, kEditMarker = 3;
constexpr int kGetNext = 1, kGetPrevious = 2, kDelete = 3, kReplace = 4, kFirstKind = 5, kLastKind = 8;
constexpr std::array<const char*, 4> kKinds{"MESSAGE    ", "SEQ. CODE  ", "NO SEQ.CODE", "USER DEF.  "};
constexpr std::array<const char*, 4> kEditChoices{"GET NEXT   ", "GET PREV   ", "DELETE     ", "REPLACE    "};

void define_menu(const char* const* choices, int count, int first_item)
{
    int status = 0;
    for (int i = 0; i < count; ++i) dmdefn(first_item + i, choices[i], status);
}

// Positions the list before the target procedure (at the end of the tool path without one,
// after the last procedure for a target beyond it). False on a list failure.
bool go_to_target(int& status)
{
    int chosen = 0;
    proc_select_service_table().target_proc_select(chosen, msg_dialog().target_start, status);
    if (status < 0) return false;
    int count = 0;
    count_class_blocks(kClassProcedure, count, status);
    if (status >= 0) {
        if (count == 0) {
            JMPEND(status);
        } else if (chosen > count) {
            proc_select_service_table().NXTCNT(kClassProcedure, count, status);
        } else {
            proc_select_service_table().NXTCNT(kClassProcedure, chosen, status);
            int moved = 0;
            if (status >= 0) tp_list_jump(-1, moved);
            if (moved == -1) status = moved;
        }
    }
    if (status < 0) {
        errout("INSMSG, ERRORS IN LIST", 0, 22);
        status = kInsertFailed;
        return false;
    }
    return true;
}

// The state of the editing loop.
struct edit_walk {
    int current = -1;   // block number of the message shown
    int direction = 1;  // of the last search
    int exceeded = 0;   // the direction of a search that ran off the list (0 none)
    bool replace = false;
    int left = 0;  // messages left
};

void toggle_replace(edit_walk& w)
{
    w.replace = !w.replace;
    dmatt(kReplace, w.replace ? kHighlight : kPlain);
}

void search(edit_walk& w, int direction, const msg_text_area& area, int& status)
{
    if (w.exceeded == direction) return;
    w.direction = direction;
    msg_show_next(direction, area.column, area.row, area.width, w.current, status);
    w.exceeded = status >= 0 && w.current == -1 ? direction : 0;
}

// Deletes the message shown; true when none is left.
bool delete_current(edit_walk& w, const msg_text_area& area, int& status)
{
    tp_list_delete(w.direction == 1 ? 1 : -1, status);
    if (status < 0) return false;
    dblnkr(area.column, area.row, area.width);
    w.current = -1;
    w.exceeded = 0;
    if (--w.left > 0) return false;
    usrerr("NO MORE MESSAGES OR CODES FOUND");
    return true;
}

void replace_current(edit_walk& w, int choice, const msg_text_area& area, int& status)
{
    dmatt(choice, kHighlight);
    prmptc("AT BOTTOM ROW");
    msg_enter(choice - kFirstKind + 1, area.column, area.row, area.width, w.direction, w.current, status);
    dmatt(choice, kPlain);
    if (status == kNothingTyped) {
        status = 0;
        return;
    }
    if (status < 0) return;
    toggle_replace(w);
    search(w, w.direction, area, status);
}

// One choice of the editing menu; true when the edit ends.
bool edit_choice(edit_walk& w, int choice, const msg_text_area& area, int& status)
{
    if ((choice == kReplace && w.current != -1) || (w.replace && choice >= kGetNext && choice <= kDelete))
        toggle_replace(w);
    if (choice == kGetNext || choice == kGetPrevious)
        search(w, choice, area, status);
    else if (choice == kDelete && w.current != -1)
        return delete_current(w, area, status);
    else if (choice >= kFirstKind && choice <= kLastKind && w.replace && w.current != -1)
        replace_current(w, choice, area, status);
    return false;
}

}  // namespace

void INSMSG(int target_select, int& entered, int& status)
{
    status = 0;
    entered = 0;
    const msg_text_area area = msg_area(kInsertDialog);
    for (;;) {
        if (target_select != 0 && !go_to_target(status)) return;
        msg_skip_back(status);
        dmmini();
        define_menu(kKinds.data(), static_cast<int>(kKinds.size()), 1);
        dmshow();
        prmptc("SEL. INSERT OPTION");
        int choice = 0;
        for (;;) {
            dminpt(choice, nullptr, 0, 0);
            if (choice < 0) break;
            if (choice < 1 || choice > static_cast<int>(kKinds.size())) continue;
            dmatt(choice, kHighlight);
            int none = -1;
            msg_enter(choice, area.column, area.row, area.width, 1, none, status);
            dmatt(choice, kPlain);
            if (status == kNothingTyped) {
                status = 0;
                continue;
            }
            if (status < 0) {
                errout("INSMSG, ERRORS IN LIST", 0, 22);
                status = kInsertFailed;
                return;
            }
            entered = 1;
            drtext("(ENTERED)", area.column, area.row);
        }
        if (choice != kCancel || target_select == 0) return;
    }
}

void EDTMSG(int& status)
{
    status = 0;
    edit_walk w;
    count_msg_blocks(w.left, status);
    if (status < 0 || w.left == 0) {
        if (status >= 0) usrerr("NO MESSAGES FOUND");
        status = 0;
        return;
    }
    const msg_text_area area = msg_area(kEditDialog);
    dmmini();
    define_menu(kEditChoices.data(), static_cast<int>(kEditChoices.size()), 1);
    define_menu(kKinds.data(), static_cast<int>(kKinds.size()), kFirstKind);
    dmshow();
    int marked = 0, length = 0;
    lmark(kMarkSet, kEditMarker, marked);
    ltop(status);
    lacces(2, length);
    for (;;) {
        prmptc("SEL. EDIT OPTION");
        if (w.replace) pro2ln("SEL. REPLACE OPTION");
        int choice = 0;
        dminpt(choice, nullptr, 0, 0);
        if (choice < 0) break;
        if (choice < 1 || choice > kLastKind) continue;
        const bool done = edit_choice(w, choice, area, status);
        if (status < 0) {
            errout("EDTMSG, ERRORS IN LIST", 0, 22);
            status = kEditFailed;
            break;
        }
        if (done) break;
    }
    int cleared = 0;
    ofwric("", cleared);
    if (marked == 1) lmark(kMarkReturn, kEditMarker, marked);
}
