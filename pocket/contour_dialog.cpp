// The contour menu of the pocket (redefine, add, delete, modify parameters, update parameters,
// update by criteria) with its entry check and end steps, the definition of new contours, the
// reject question and the delete dialog, and the stepping through the contours to modify their
// parameters. Reads the machining type.
#include "pocket/contour_dialogs.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/msg_window.hpp"
#include "pocket/contour_params.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/contour_upkeep.hpp"
#include "surfaces/geometry_access_least.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kGoOn = 0, kCancel = -1, kBack = -2;
constexpr int kYes = 1;
constexpr int kContourGeometry = 2;
constexpr int kGet = 1, kSet = 2;
constexpr int kRedefine = 1, kAdd = 2, kDelete = 3, kModify = 4, kUpdateParams = 5, kUpdateContours = 6;
constexpr int kByPick = 1, kByBox = 2, kAll = 3;
constexpr int kGuideMachiningType = 39;
constexpr int kMessageModule = 331, kKeptByCriteria = 20, kStockType3 = 36;
constexpr int kMenuModule = 339, kMenuPrompt = 30;
constexpr int kStockWarningType = 3;
constexpr int kQuestionChars = 20;
constexpr int kPickMode = 7;
constexpr int kListRebuild = 3, kRangesRebuild = 2, kFullRebuild = 1;
// Menu passes at most (each pass uses up one answer of the user).
constexpr int kMostMenuPasses = 10000;

contour_table& t = contour_table_block;

bool mask_active()
{
    int value = 0;
    active_mask_gs(kGet, kContourGeometry, value);
    return value != 0;
}

bool criteria_changed()
{
    int value = 0;
    crit_gs_change(kGet, kContourGeometry, value);
    return value != 0;
}

void note_all_deleted()
{
    if (t.count == 0) userrc("NOTE: ALL CONTOURS WERE DELETED");
}

// Host message 36 of module 331 when a stock contour has contour type 3.
void warn_stock_type3()
{
    for (int k = 1; k <= contour_count(); ++k) {
        if (t.part_stock[k] == kStock && t.type[k] == kStockWarningType) {
            msg_mdls(kMessageModule, kStockType3);
            return;
        }
    }
}

// The entry check after a solid update: loops that became one are dropped.
void entry_check(int& changed)
{
    int status = 0;
    contour_table_rebuild(kFullRebuild, status);
    if (t.count == 0) return;
    std::vector<int> flags(static_cast<std::size_t>(contour_count()), 0);
    ncs_find_dupl_loops(contour_buffers_block.wire.data(), contour_count(), flags.data());
    bool any = false;
    for (int k = 1; k <= contour_count(); ++k) {
        if (flags[static_cast<std::size_t>(k - 1)] == 0) continue;
        t.valid[k] = 0;
        any = true;
    }
    if (!any) return;
    contour_drop_unkept(changed);
    const std::string text = "ATTENTION: SOME LOOPS WERE DELETED, SINCE THEY BECAME THE SAME AFTER SOLID UPDATE";
    msg_window(kMsgWindowAdd, kMsgAttention, static_cast<int>(text.size()), text);
}

void end_steps(const contour_switches& switches, int& contours_valid, int& status)
{
    if (t.count > 1) contour_remove_duplicates();
    if (t.count == 0) {
        contours_valid = mask_active() ? 1 : 0;
        if (status != kBack) status = mask_active() ? kGoOn : kCancel;
        t.gathered_count = 0;
        return;
    }
    if (D3DS_algorithmIsRun() != 0) contours_order_by_kind();
    int gathered = 0;
    contour_gather_curves(contours_valid, switches.draft_field, kMaxContours, gathered);
    if (gathered != kGoOn && status != kBack) status = kCancel;
}

// The contour menu's choice, 1 to 6, or -1/-2 to leave.
int menu_choice(bool short_menu)
{
    int choice = 0;
    if (short_menu) {
        menuc("REDEFINE CONTOURS@UPDATE   CONTOURS", choice);
        return choice == 2 ? kUpdateContours : choice;
    }
    msg_prompt(kMenuModule, kMenuPrompt);
    std::string text = "REDEFINE CONTOURS@ADD CONTOURS@DELETE CONTOURS@MODIFY PARAMS@";
    if (machining_type() != kGuideMachiningType) text += "UPDATE ALL PARAMS";
    if (mask_active() && criteria_changed()) text += "@UPDATE   CONTOURS";
    menuc(text, choice);
    return choice;
}

void contour_menu(const contour_values& defaults, const contour_switches& switches, int& contours_valid, int& changed,
                  int& status)
{
    for (int pass = 0; pass < kMostMenuPasses; ++pass) {
        const bool criteria = mask_active() && criteria_changed();
        int choice = kRedefine;
        if (t.count > 0 || criteria) choice = menu_choice(t.count == 0);
        if (choice == kCancel || choice == kBack) {
            status = kGoOn;
            return;
        }
        if (choice < kRedefine || choice > kUpdateContours) continue;
        if (choice == kRedefine || choice == kAdd) {
            if (choice == kAdd && t.count >= kMaxContours) {
                user1c("NOTE: NUMBER OF CONTOURS CANNOT EXCEED", 'I', kMaxContours, "");
                continue;
            }
            if (choice == kRedefine) {
                int off = 0;
                active_mask_gs(kSet, kContourGeometry, off);
            }
            contour_define(choice == kRedefine, choice == kAdd, defaults, switches, kMaxContours, contours_valid,
                           changed, status);
            if (t.count == 0) {
                if (status != kBack) status = kGoOn;
                return;
            }
            status = kGoOn;
        } else if (choice == kDelete) {
            contour_delete_dialog(changed);
            note_all_deleted();
        } else if (choice == kModify) {
            contour_modify_params(switches, contours_valid, changed);
        } else if (choice == kUpdateParams) {
            contour_offset_modify(switches.draft_field, changed, status);
            status = kGoOn;
        } else {
            contour_update_by_crit(1, defaults);
            contours_valid = 1;
            changed = 1;
            status = kGoOn;
        }
    }
}

// Takes every hand-picked contour back (by-criteria ones stay, with host message 20).
void reject_all_hand_picked()
{
    contour_table_register();
    for (int k = contour_count(); k >= 1; --k) {
        if (t.by_criteria[k] != 0) {
            msg_mdls(kMessageModule, kKeptByCriteria);
            continue;
        }
        int status = 0;
        ncs_table_delete_contour(geometry_record(k), status);
        pktdel_by_OrderNum(k, status);
    }
    contour_renumber();
}

int method_menu(const contour_switches& switches)
{
    if (!switches.method_menu) return 1;
    reset_interaction_mode();
    prmptc("SELECT OPT./ EXIT");
    int method = 0;
    menuc(ncs_can_solid() != 0 ? "CONTOUR@PLANAR FACE@LOOP" : "CONTOUR@PLANAR FACE", method);
    return method;
}

// The values a new contour k starts with: the defaults for the first, the last contour's after.
contour_values start_values(int k, const contour_values& defaults)
{
    if (k == 1) {
        t.first_entry[1] = 1;
        t.order[1] = 1;
        t.kind[1] = kKindChain;
        return tamsa_flag_get() == 0 ? contour_values{defaults.offset, defaults.draft, 1, kPart} : contour_values{};
    }
    t.kind[k] = t.kind[k - 1];
    return {t.offset[k - 1], t.draft[k - 1], t.type[k - 1], t.part_stock[k - 1]};
}

}  // namespace

void contour_dialog(int first, int modify, const contour_values& defaults, const contour_switches& switches,
                    int& contours_valid, int& changed, int& status)
{
    status = kGoOn;
    if (first) {
        contour_define(1, 0, defaults, switches, kMaxContours, contours_valid, changed, status);
    } else if (!modify) {
        entry_check(changed);
    } else {
        if (t.count == 0) contours_valid = 1;
        bool go_on = true;
        if (contours_valid == 0) {
            int answer = 0;
            ask_unless_batch("DELETE MODIF.CONT?", 0, answer);
            go_on = answer == kYes;
            if (go_on) {
                contour_drop_unkept(changed);
                changed = 1;
                contours_valid = 1;
                note_all_deleted();
            }
        }
        if (go_on) contour_menu(defaults, switches, contours_valid, changed, status);
    }
    end_steps(switches, contours_valid, status);
    contour_buffers_fit();
}

void contour_define(int redefine, int add, const contour_values& defaults, const contour_switches& switches, int limit,
                    int& contours_valid, int& changed, int& status)
{
    status = kGoOn;
    if (add && contours_valid == 0) return;
    contour_table_register();
    if (redefine) {
        for (int k = 1; k <= contour_count(); ++k) {
            int deleted = 0;
            ncs_table_delete_contour(geometry_record(k), deleted);
        }
        contour_unpick_others(0);
        t.count = 0;
        std::fill(t.order.begin(), t.order.end(), 0);
        changed = 1;
    }
    limit = std::min(limit, kMaxContours);
    int k = contour_count() + 1;
    if (k > limit) return;
    contour_values values = start_values(k, defaults);
    if (k == 1) contours_valid = 1;
    t.order[k + 1] = t.order[k] + 1;
    int method = 0;
    bool menu_due = true;
    for (int pass = 0; k <= limit && pass < kMostMenuPasses; ++pass) {
        if (menu_due) {
            method = method_menu(switches);
            menu_due = false;
            if (method == kBack && t.count > 0) {
                int answer = 0;
                irepyc("REJECT ALL CONTOURS?", answer);
                if (answer == kYes) reject_all_hand_picked();
                if (t.count == 0 && answer == kYes) std::fill(t.order.begin(), t.order.end(), 0);
            }
            if (method < 1) {
                if (method == kBack && t.count == 0) status = kBack;
                break;
            }
        }
        t.order[k + 1] = t.order[k] + 1;
        int pick_status = 0;
        contour_pick_one(switches, method, limit, k, values, changed, pick_status);
        if (pick_status == kCancel || pick_status == -3) break;
        if (pick_status == kBack) {
            menu_due = true;
            if (k == 1) continue;
            if (t.by_criteria[k - 1] != 0) {
                msg_mdls(kMessageModule, kKeptByCriteria);
                continue;
            }
            int answer = 0;
            contour_reject_ask(0, k - 1, answer);
            if (answer != kYes) continue;
            int deleted = 0;
            ncs_table_delete_contour(geometry_record(k - 1), deleted);
            --k;
            t.count = k - 1;
            t.order[k + 1] = t.order[k] + 1;
            changed = 1;
            continue;
        }
        if (method == kKindFace) menu_due = true;
    }
    // A full table takes no more picks: the user is told rather than left picking in vain.
    if (t.count >= kMaxContours) user1c("NOTE: NUMBER OF CONTOURS CANNOT EXCEED", 'I', kMaxContours, "");
    warn_stock_type3();
    reset_interaction_mode();
}

void contour_reject_ask(int form, int k, int& answer)
{
    contour_unpick_others(k);
    bool several = false;
    const std::string numbers = order_numbers_text(k, ":", several);
    std::string question;
    if (form == 0)
        maktx3(several ? "REJECT CNT." : "REJECT CONTOUR", numbers, "?", question);
    else
        question = several ? "DELETE CNT. ?" : "DELETE CONTOUR ?";
    irepyc(question.substr(0, kQuestionChars), answer);
    int status = 0;
    if (answer == kYes) {
        if (form == 0) contour_table_rebuild(kRangesRebuild, status);
        delete_contour(t.pick_range.data(), contour_count(), k);
    } else {
        contour_table_rebuild(kRangesRebuild, status);
    }
}

void contour_delete_dialog(int& changed)
{
    contour_table_register();
    for (int pass = 0; pass < kMostMenuPasses; ++pass) {
        int choice = 0;
        prmptc("SELECT OPTION");
        pdmpac("DELETE BY PICK@DELETE BY  BOX@DELETE     ALL", choice);
        if (choice < kByPick || choice > kAll) break;
        float point[3] = {0, 0, 0}, box[4] = {0, 0, 0, 0};
        int status = 0;
        if (choice == kByPick) {
            prmptc("DEL:PICK CONTR/EXIT");
            getpt(point, kPickMode, status);
            if (status < 0) break;
        } else if (choice == kByBox) {
            prmptc("DRAG BOX");
            draw_box(status);
            if (status != kGoOn && status != -3) break;
            if (status != kGoOn) continue;
            prmptc("LOOKING FOR CONTOUR");
            get_box_coor(box);
        } else {
            int answer = 0;
            irepyc("DELETE ALL CONTOURS?", answer);
            if (answer < 0) break;
            if (answer != kYes) continue;
        }
        if (choice != kByPick) contour_unpick_others(0);
        bool deleted = false, kept = false;
        for (int k = 1; k <= contour_count(); ++k) {
            const bool hit =
                choice == kAll || (choice == kByPick ? contour_hit_by_point(k, point) : contour_hit_by_box(k, box));
            if (!hit) continue;
            if (t.by_criteria[k] != 0) {
                msg_mdls(kMessageModule, kKeptByCriteria);
                kept = true;
                if (choice == kByPick) break;
                continue;
            }
            int answer = kYes;
            if (choice == kByPick) contour_reject_ask(1, k, answer);
            if (answer != kYes) break;
            ncs_table_delete_contour(geometry_record(k), status);
            pktdel_by_OrderNum(k, status);
            if (status != kGoOn) break;
            deleted = true;
            changed = 1;
            if (t.count == 0) {
                prmptc("<CR> TO CONTINUE");
                return;
            }
            if (choice == kByPick) break;
            --k;  // the next contour moved into place k
        }
        contour_table_rebuild(kFullRebuild, status);
        if (!deleted && !kept) userrc("NO CONTOUR WAS DELETED");
    }
    prmptc("<CR> TO CONTINUE");
}

void contour_modify_params(const contour_switches& switches, int contours_valid, int& changed)
{
    if (t.count == 0 || contours_valid == 0) return;
    contour_values v;
    int status = 0;
    if (t.count == 1) {
        contour_list_modify(switches.draft_field, switches.type_field, switches.type_page, switches.part_stock, 1,
                            v.offset, v.draft, v.type, v.part_stock, changed, status);
    } else {
        contour_unpick_others(0);
        for (int k = 1, pass = 0; k >= 1 && k <= contour_count() && pass < kMostMenuPasses; ++pass) {
            contour_show_one(k - 1);
            contour_list_modify(switches.draft_field, switches.type_field, switches.type_page, switches.part_stock, k,
                                v.offset, v.draft, v.type, v.part_stock, changed, status);
            if (status == kCancel) break;
            k = status == kBack ? k - 1 : status == kGoOn ? k + 1 : status;
        }
    }
    contour_table_rebuild(kListRebuild, status);
    warn_stock_type3();
}
