// service_menu (see the header): the page's groups of four slots, its answer loop and its end.
#include "driver/service_menu.hpp"

#include "driver/change_analysis.hpp"
#include "driver/criteria_lists.hpp"
#include "driver/mch_plane_dialog.hpp"
#include "driver/relations.hpp"
#include "host/vantu.hpp"
#include "listing/header_texts.hpp"
#include "listing/nclist.hpp"
#include "listing/prochd.hpp"
#include "listing/proctl.hpp"
#include "listing/toltbl.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/rec8.hpp"
#include "toolpath/pp_messages.hpp"
#include "toolpath/proc_flags.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

constexpr int kGroups = 7, kSlots = 4;
constexpr int kCurrentToolPath = -1;
constexpr int kListingForm = 1;
constexpr int kOff = 1, kOn = 2;  // two-way choices
constexpr int kAbsoluteMode = 1, kClearPointMode = 2, kIncrementalMode = 3;
constexpr int kCopyOut = 1, kStore = 2;  // proc_flags_getset
constexpr float kMostHeight = 9999.999f, kMostIncrement = 999.999f;
constexpr int kMostPasses = 99999;
// Relation codes of the group-7 items.
constexpr int kClearanceRelation = 366, kRetractRelation = 874, kModeRelation = 879, kMode2Relation = 1343,
              kAbsoluteRelation = 3303, kIncrementalRelation = 3304;

// Display choice by TLER (choice 1 to 5 <-> TLER 0, 1, 2, 4, 3).
constexpr std::array<int, 5> kTlerOfChoice{0, 1, 2, 4, 3};
constexpr int kNoFastChoice = 4, kNoDisplayChoice = 3;
constexpr int kTlerNoFast = 4, kTlerNoDisplay = 2, kTlerBlank = 3;

enum class action {
    none,
    tp_list,
    proc_header_list,
    tool_list,
    proc_list,
    criteria_list,
    clear_relations,
    relation_list,
    partbox,
    insert_message,
    edit_message,
    origin,
    blank_procedure,
    go_to_point,
    clearance_mode,
    height,
    backup
};

enum next_step { kShowAgain, kRebuild, kFreshTexts };

struct service_run {
    service_run(int& level, int& display, int& mode, int (&item_flags)[kServiceItemFlags],
                int (&option_flags)[kServiceOptionFlags])
        : list_level(level), no_display(display), goto_mode(mode), items(item_flags), options(option_flags)
    {}
    int& list_level;
    int& no_display;
    int& goto_mode;
    int (&items)[kServiceItemFlags];
    int (&options)[kServiceOptionFlags];
    int dialog_flag = 0;
    int relations = 0;
    bool shown[kGroups] = {};
    int listing_target = kCurrentToolPath;
    // Values the page edits in place.
    int display_choice = 1, clear_mode = kIncrementalMode, save_aprx = kOff, backup = kOff;
    int passes = 1;
    word mode_word = 0, retract_choice = kOn;  // host parameter items edit words
    std::array<int, 64> values{};              // values of text and action slots, each its own
    std::array<action, kGroups * kSlots + 1> slot_action{};
    int next_slot = 1;
    tp_header_fields texts;
    geom_pair_words saved_pairs{};
    std::array<word, proc_geom_pairs::kOptions> saved_options{};

    bool item(int n) const { return items[n - 1] != 0; }
    bool option(int n) const { return options[n - 1] != 0; }

    void place(action a, const std::string& text)
    {
        int& v = values[static_cast<std::size_t>(next_slot)];
        v = 1;
        modmc2(text, v, 0);
        slot_action[static_cast<std::size_t>(next_slot++)] = a;
    }
    void blank()
    {
        modumc(" ", 1);
        slot_action[static_cast<std::size_t>(next_slot++)] = action::none;
    }
    void choice(action a, const std::string& text, int& value)
    {
        modmc(text, value);
        slot_action[static_cast<std::size_t>(next_slot++)] = a;
    }
    void text_line(const std::string& text)
    {
        int& v = values[static_cast<std::size_t>(next_slot)];
        v = 1;
        modmc(text, v);
        slot_action[static_cast<std::size_t>(next_slot++)] = action::none;
    }
    void parameter(action a, int kind, int relation, word& value, float minimum, float maximum)
    {
        int status = 0;
        nu_mod_exec(kind, relation, relation, value, minimum, maximum, status);
        slot_action[static_cast<std::size_t>(next_slot++)] = a;
    }

    void choose_groups()
    {
        const bool hide_top = no_display != 0 || dialog_flag != 0;
        shown[0] = !hide_top && (item(2) || item(9) || option(4));
        shown[1] = !hide_top && item(2);
        shown[2] = !hide_top && (item(1) || item(6) || item(7));
        shown[3] = !hide_top && (option(5) || item(8));
        shown[4] = !hide_top && (item(3) || item(4));
        shown[5] = true;
        shown[6] = option(1) || option(2) || option(6);
    }

    void load_values()
    {
        heights_state& h = HEI8();
        retract_choice = h.at(heights_state::kClearancePlane) != 0 ? kOff : kOn;
        if (get_fdflg() == 1) {
            display_choice = kNoFastChoice;
            TLER().at(tool_display_state::kMode) = kTlerNoFast;
        } else {
            const int mode = TLER().at(tool_display_state::kMode);
            if (mode == kTlerNoFast) TLER().at(tool_display_state::kMode) = kTlerNoDisplay;
            display_choice = mode == kTlerBlank    ? 5
                             : mode == kTlerNoFast ? kNoDisplayChoice
                                                   : std::clamp(mode, 0, 2) + 1;
        }
        if (option(7)) h.at(heights_state::kUseAbsolute) = 0;
        clear_mode = h.at(heights_state::kUseAbsolute) != 0 ? kAbsoluteMode : kIncrementalMode;
        mode_word = option(7) ? h.at(heights_state::kClearanceMode2) : clear_mode;
        const service_words& u = UPW2();
        backup = u.at(0) == kOn ? kOn : kOff;
        passes = std::clamp(static_cast<int>(u.at(1)), 1, kMostPasses);
        save_aprx = save_aprx_choice() == kOn ? kOn : kOff;
    }

    std::string origin_text() const
    {
        const int ucs = NPT1().at(tp_header_state::kUcsId);
        ucs_record record;
        int status = -1;
        if (ucs > 0) rec8_get_put(1, ucs, record, status);
        if (status < 0) {
            msg_mdls(319, 30);
            return "CHANGE ORIGIN";
        }
        char name[8];
        std::memcpy(name, record.name.data(), sizeof name);
        return "ORIGIN = " + std::string(name, sizeof name);
    }

    void place_groups()
    {
        if (shown[0]) {
            item(2) ? text_line(texts.name) : blank();
            item(2) ? text_line(texts.type) : blank();
            item(9) ? place(action::blank_procedure, "BLANK PROCEDURE") : blank();
            option(4) ? choice(action::none,
                               "TOOL: DISPLAY@TOOL: TRACE@TOOL: NO DISPLAY@MOTION: NO FAST DISP.@MOTION: CREATE BLANK",
                               display_choice)
                      : blank();
        }
        if (shown[1])
            for (const std::string* t : {&texts.size, &texts.bytes_left, &texts.macsys, &texts.level}) text_line(*t);
        if (shown[2]) {
            item(1) ? place(action::tp_list, "TP LIST") : blank();
            item(7) ? place(action::proc_header_list, "PROCEDURE HEADER LIST") : blank();
            item(6) ? place(action::tool_list, "TOOL LIST") : blank();
            item(7) && list_level != 0 ? place(action::proc_list, "PROCEDURE LIST") : blank();
        }
        if (shown[3]) {
            option(5) ? choice(action::none, "SAVE APPROX. FILE:OFF@SAVE APPROX. FILE:ON", save_aprx) : blank();
            option(3) ? choice(action::backup, "FREQUENT BACKUP:OFF@FREQUENT BACKUP:ON", backup) : blank();
            if (option(3) && backup == kOn) {
                modic("PASSES BET. BACKUPS", passes, 1, kMostPasses);
                slot_action[static_cast<std::size_t>(next_slot++)] = action::none;
            } else {
                blank();
            }
            item(8) ? place(action::origin, origin_text()) : blank();
        }
        if (shown[4]) {
            blank();
            blank();
            item(3) ? place(action::insert_message, "INSERT MESSAGE / CODE") : blank();
            if (item(3) && list_level != 0)
                place(action::edit_message, "EDIT MESSAGE");
            else if (item(4) && list_level == 0)
                place(action::go_to_point, "GO TO POINT");
            else
                blank();
        }
        relations > 0 ? place(action::clear_relations, "CLEAR ALL RELATIONS") : blank();
        relations > 0 ? place(action::relation_list, "RELATION LIST") : blank();
        place(action::partbox, "CALCULATE PARTBOX");
        list_level == 0 ? place(action::criteria_list, "CRITERIA LIST") : blank();
        if (shown[6]) place_heights();
    }

    void place_heights()
    {
        heights_state& h = HEI8();
        if (option(1))
            parameter(action::height, 8, kClearanceRelation, h.at(heights_state::kClearance), -kMostHeight,
                      kMostHeight);
        else
            blank();
        if (option(2))
            parameter(action::none, 3, kRetractRelation, retract_choice, 0.0f, 0.0f);
        else
            blank();
        if (!option(6)) {
            blank();
            blank();
            return;
        }
        parameter(action::clearance_mode, 3, option(7) ? kMode2Relation : kModeRelation, mode_word, 0.0f, 0.0f);
        if (clear_mode == kAbsoluteMode)
            parameter(action::height, 8, kAbsoluteRelation, h.at(heights_state::kAbsolute), -kMostHeight, kMostHeight);
        else
            parameter(action::height, 8, kIncrementalRelation, h.at(heights_state::kIncremental), 0.0f, kMostIncrement);
    }

    bool build(int& status)
    {
        if (item(2)) tp_header_text(listing_target < 1 ? 0 : listing_target, 1, texts);
        int groups = 0;
        for (bool s : shown) groups += s ? 1 : 0;
        int current = 0;
        begin_pick_mode(0, groups, current, status);
        if (status < 0) return false;
        next_slot = 1;
        slot_action.fill(action::none);
        place_groups();
        return true;
    }

    // The current function's short name: FNCNAM's name, trailing blanks cut, after its last blank.
    static std::string short_function_name()
    {
        std::string name;
        FNCNAM(nu_sgcd_get_code(), name);
        name.erase(name.find_last_not_of(' ') + 1);
        const std::size_t blank = name.find_last_of(' ');
        return blank == std::string::npos ? name : name.substr(blank + 1);
    }

    next_step clearance_mode_chosen()
    {
        heights_state& h = HEI8();
        if (option(7)) {
            h.at(heights_state::kClearanceMode2) = mode_word;
            return kRebuild;
        }
        const int chosen = static_cast<int>(mode_word);
        if (chosen == clear_mode) return kShowAgain;
        int mode = chosen;
        if (chosen == kClearPointMode) {
            prmptc("IND. CLEAR POINT");
            float point[3] = {};
            int status = 0;
            getpt(point, 7, status);
            if (status < 0) return kRebuild;
            const float z = point[2] - NPT1().real(tp_header_state::kMacsysOrigin + 2);
            if (z == h.real(heights_state::kAbsolute)) return kRebuild;
            h.set_real(heights_state::kAbsolute, z);
            rel_nc_init_cng_expr(kAbsoluteRelation);
            mode = kAbsoluteMode;
        }
        h.at(heights_state::kUseAbsolute) = mode == kAbsoluteMode ? 1 : 0;
        clear_mode = mode;
        return kRebuild;
    }

    // The relation values that follow the origin z of NPT1, stored before (mode 2) and after
    // (mode 1) a change of the part box or the origin; not on the stored tool path as a whole.
    void store_relations(int mode) const
    {
        if (list_level == 0) relation_values_store(mode, NPT1().real(tp_header_state::kMacsysOrigin + 2));
    }

    // After a listing the user reads: a key below 1 rebuilds the page.
    static next_step after_key()
    {
        int key = 0;
        modkey(key);
        return key < 1 ? kRebuild : kShowAgain;
    }

    next_step act(action a, int& status)
    {
        constexpr int kStoreBefore = 2, kStoreAfter = 1;
        int closed = 0;
        switch (a) {
        case action::tp_list:
            modcom(closed);
            NCLIST(kCurrentToolPath, kListingForm);
            return after_key();
        case action::proc_header_list:
            modcom(closed);
            PROCHD(listing_target);
            return after_key();
        case action::tool_list:
            modcom(closed);
            TOLTBL(listing_target, 2, status);
            return kRebuild;
        case action::proc_list:
            modcom(closed);
            PROCTL(listing_target, 2);
            return kRebuild;
        case action::criteria_list:
            modcom(closed);
            if (crit_none_active() == 0)
                proc_crit_list_file(short_function_name().c_str(), status);
            else
                tp_criteria_list(status);
            return kRebuild;
        case action::clear_relations:
            modcom(closed);
            rel_nc_clear_all_relations();
            return kRebuild;
        case action::relation_list:
            modcom(closed);
            rel_nc_print_symb_tab(short_function_name(), status);
            return kRebuild;
        case action::partbox:
            modcom(closed);
            msg_prompt(319, 0);
            calculate_partbox(status);
            if (list_level == 0) {
                store_relations(kStoreBefore);
                update_min_max_pz();
                store_relations(kStoreAfter);
            }
            partbox_not_calculated_msg(1);
            return kRebuild;
        case action::insert_message: {
            reset_interaction_mode();
            int entered = 0;
            INSMSG(list_level, entered, status);
            return kFreshTexts;
        }
        case action::edit_message:
            reset_interaction_mode();
            EDTMSG(status);
            return kFreshTexts;
        case action::origin:
            reset_interaction_mode();
            store_relations(kStoreBefore);
            repos_proc(1, 0, status);
            if (list_level == 0) {
                update_min_max_pz();
                store_relations(kStoreAfter);
            }
            partbox_not_calculated_msg(1);
            return kRebuild;
        case action::blank_procedure: {
            modcom(closed);
            int request = 1, second = 0;
            msg_blank_apply(request, second);
            return kRebuild;
        }
        case action::go_to_point: mch_params_dialog(goto_mode, list_level, status); return kFreshTexts;
        case action::clearance_mode: return clearance_mode_chosen();
        case action::height: return kRebuild;
        case action::backup: return kRebuild;
        default: return kShowAgain;
        }
    }

    // The stores of a page left by the user: the retract word and the display mode.
    void store_on_leave()
    {
        if (option(2)) HEI8().at(heights_state::kClearancePlane) = retract_choice == kOff ? 1 : 0;
        if (option(4)) {
            set_fdflg_off();
            const int choice = std::clamp(display_choice, 1, 5);
            TLER().at(tool_display_state::kMode) = kTlerOfChoice[static_cast<std::size_t>(choice - 1)];
            if (choice == kNoFastChoice) set_fdflg_on();
        }
    }

    // On every return: the flag words back, the backup choice kept, option flag 3 set.
    void end_step()
    {
        proc_flags_getset(kStore, saved_pairs, saved_options);
        service_words& u = UPW2();
        u.at(0) = backup;
        u.at(1) = passes;
        save_aprx_choice() = save_aprx;
        options[2] = 1;
        int status = 0;
        pick_mode_prompt(no_display, status);
    }
};

}  // namespace

void service_menu(int& list_level, int& current_list, int& no_display, int& goto_mode,
                  int (&item_flags)[kServiceItemFlags], int (&option_flags)[kServiceOptionFlags], int& status)
{
    service_run run(list_level, no_display, goto_mode, item_flags, option_flags);
    run.dialog_flag = nu_mod_get_flag();
    proc_flags_getset(kCopyOut, run.saved_pairs, run.saved_options);
    run.relations = rel_nc_get_num();
    run.choose_groups();
    run.listing_target = current_list != 0 ? kCurrentToolPath : CLP1().at(proc_colour_pen::kToolPath);
    run.load_values();
    status = 0;
    bool rebuild = true;
    for (int round = 0; round < 1000; ++round) {
        if (rebuild && !run.build(status)) break;
        rebuild = false;
        if (run.dialog_flag != 0) break;
        if (no_display == 0) prcont();
        macro_redisplay();
        modif1(status);
        if (no_display != 0) break;
        if (status == 0 || status == -1 || status == -2) {
            run.store_on_leave();
            break;
        }
        const int slot = status;
        const action a = slot >= 1 && slot < static_cast<int>(run.slot_action.size())
                             ? run.slot_action[static_cast<std::size_t>(slot)]
                             : action::none;
        int acted = 0;
        const next_step next = run.act(a, acted);
        rebuild = next != kShowAgain;
    }
    run.end_step();
}
