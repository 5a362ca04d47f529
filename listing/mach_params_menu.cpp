// mach_params_menu (see the header): the page's groups of four slots, its answers and its end.
#include "listing/mach_params_menu.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/model_values.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/shown_values.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

// PRM9 words the page edits (the machine-table item in brackets).
constexpr int kFeed = 0, kVc = 1, kSpinMode = 2, kPercent1 = 3, kPercent2 = 4, kPercent3 = 5, kPercent = 6,
              kSpindle = 7, kDirection = 8, kCoolant = 9, kTool = 11, kCutcom = 12, kNibbling = 14, kPunch = 15,
              kMachineKind = 18, kKindValue1 = 19, kKindValue2 = 20, kRapid = 21, kCompMode = 22;
constexpr int kDirectionCcw = 2, kDirectionOff = 3;
constexpr int kPunchMachine1 = 12, kPunchMachine2 = 13, kLatheMachine = 31, kLatheDrill = 8;
constexpr int kWindow = 2;            // the modal setters' status-line window
constexpr int kOff = 1, kOn = 2;      // two-way choices
constexpr float kMaxTraverse = 2.0f;  // the fast value of the machine's rapid traverse
constexpr double kMetresToFeet = 1000.0 * 0.0032808399, kFeetToMetres = 0.3048;
constexpr float kInch = 25.4f, kFoot = 304.8f;
constexpr int kStoreTool = 6;  // SGTOOL
// Kinds of the host's parameter fields that hold a real.
constexpr int kRealField = 2, kSecondRealField = 5, kExpressionField = 8;

enum class slot_item {
    none,
    tool,
    coolant,
    cutcom,
    spin_mode,
    vc,
    spindle,
    direction,
    feed,
    punch,
    nibbling,
    feed_switch,
    machine_kind,
    rapid,
    comp_mode,
    table_kind,
    other
};

constexpr int kTableType = 38;  // the machining type with the machine-table groups
constexpr int kTableKindRelation = 1296;

// Word n (counted from 1) of the machine-table extension: 1 the kind, 2 and 7 to 10 integers,
// 3 to 6 reals.
word& table_word(int n) { return mch_table_ext().ext[static_cast<std::size_t>(n - 1)]; }

bool in_group(int type, std::initializer_list<int> types)
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

struct mach_run {
    int (&flags)[kMachItemFlags];
    int mode = 0;
    int dialog_flag = 0;
    int tool_class = -1;
    bool imperial = false, punching = false, lathe = false, milling = false;
    bool group_a = false, group_b = false, type16 = false;
    std::string tool_line, free_text;
    int tool_choice = 1, text_value = 1, cutcom_choice = kOff, rapid_choice = 1;
    word fast_value = 0, vc_shown = 0, feed_switch_word = 1;
    float mxf1 = kDefaultMxf1;
    std::array<slot_item, 64> slots{};
    int next_slot = 1;

    explicit mach_run(int (&f)[kMachItemFlags]) : flags(f) {}
    bool flag(int n) const { return flags[n - 1] != 0; }
    machine_params& p() const { return PRM9(); }
    word& w(int index) const { return p().words[static_cast<std::size_t>(index)]; }

    void record(slot_item item) { slots[static_cast<std::size_t>(std::min(next_slot++, 63))] = item; }
    void blank()
    {
        if (dialog_flag == 0) modumc(" ", 1);
        record(slot_item::none);
    }
    void item(slot_item what, int kind, int relation, word& value, float minimum, float maximum)
    {
        int status = 0;
        nu_mod_exec(kind, relation, relation, value, minimum, maximum, status);
        record(what);
        if (kind == kRealField || kind == kSecondRealField || kind == kExpressionField)
            shown_reals.push_back({&value, value});
    }

    // The real fields of the page as built, with the words they showed.
    struct shown_real {
        word* value;
        word before;
    };
    std::vector<shown_real> shown_reals;

    // A real typed back as its field showed it is no change: the word held before stays, so that
    // the comparison after the page finds nothing changed and writes no parameter block.
    void keep_shown_reals()
    {
        for (shown_real& f : shown_reals) {
            const float before = word_to_real(f.before);
            if (*f.value != f.before && entered_value(before, word_to_real(*f.value), shown_kind::general) == before)
                *f.value = f.before;
            f.before = *f.value;
        }
    }

    void start()
    {
        dialog_flag = nu_mod_get_flag();
        float unit = 1.0f;
        gtmesu(unit);
        imperial = unit == kInch || unit == kFoot;
        const int type = machining_type();
        group_a = in_group(type, {2, 3, 11, 14, 15, 29, 39});
        group_b = mode != 1 && in_group(type, {2, 3, 11, 14, 15, 25, 29});
        type16 = type == 16;
        const int machine = NPT1().machine_type();
        punching = machine == kPunchMachine1 || machine == kPunchMachine2;
        load_tool();
        lathe = machine == kLatheMachine && tool_class != kLatheDrill;
        milling = !punching && !lathe;
        if (milling) {
            rapid_choice = -p().real(kRapid) == kMaxTraverse ? 1 : 2;
            fast_value = real_to_word(rapid_choice == 1 ? kMaxTraverse : -p().real(kRapid));
        }
        gs_mxf1(1, mxf1);
        cutcom_choice = w(kCutcom) != 0 ? kOn : kOff;
        feed_switch_word = feed_switch();
    }

    void load_tool()
    {
        const int tool = w(kTool);
        tool_get_class(tool, tool_class);
        std::string name;
        tool_get_name(tool, name);
        tool_line = "TOOL=" + name;
        if (flag(8)) {
            tool_line.resize(21, ' ');
            tool_line += ">@SHOW TOOL PARAMETERS >@SELECT NEW TOOL      >";
        } else {
            tool_line += "@SHOW TOOL PARAMETERS";
        }
        tool_get_text(tool, free_text);
        vc_shown = real_to_word(imperial ? static_cast<float>(p().real(kVc) * kMetresToFeet) : p().real(kVc));
    }

    void place_tool_group()
    {
        tool_choice = 1;
        if (dialog_flag == 0) flag(8) ? modmc(tool_line, tool_choice) : modmpc(tool_line, tool_choice);
        record(slot_item::tool);
        const bool text_shown = free_text.rfind("NO TEXT", 0) != 0;
        if (text_shown && dialog_flag == 0) modmc(free_text, text_value);
        text_shown ? record(slot_item::none) : blank();
        if (flag(6))
            item(slot_item::coolant, 3, lathe || machining_type() == 17 ? 614 : 615, w(kCoolant), 0, 0);
        else
            blank();
        if (flag(7))
            item(slot_item::cutcom, 3, group_a ? 619 : 623, cutcom_word, 0, 0);
        else
            blank();
    }
    word cutcom_word = kOff;  // the cutter compensation item's choice (1 off, 2 on)

    void place_spin_group()
    {
        const bool spin_mode = lathe && flag(4) && flag(5) && !type16;
        spin_mode ? item(slot_item::spin_mode, 4, 627, w(kSpinMode), 0, 0) : blank();
        const bool off = w(kDirection) == kDirectionOff;
        const bool vc = (spin_mode ? w(kSpinMode) == 1 : flag(5)) && !off;
        const bool spindle = (spin_mode ? w(kSpinMode) == 2 : flag(4)) && !off;
        const float vc_min = imperial ? 3.2808399f : 1.0f, vc_max = imperial ? 32808.07f : 9999.9f;
        vc ? item(slot_item::vc, 5, -1, vc_shown, vc_min, vc_max) : blank();
        spindle ? item(slot_item::spindle, 1, -1, w(kSpindle), 1, 999999) : blank();
        flag(4) && !type16 ? item(slot_item::direction, 3, 634, w(kDirection), 0, 0) : blank();
    }

    void place()
    {
        next_slot = 1;
        slots.fill(slot_item::none);
        shown_reals.clear();
        place_tool_group();
        if ((flag(4) && !punching) || flag(5)) place_spin_group();
        if ((flag(1) && !punching) || flag(2) || flag(3) || flag(11)) {
            flag(1) && !punching ? item(slot_item::feed, 2, -1, w(kFeed), 0.0001f, 99999.9f) : blank();
            flag(2) ? item(slot_item::other, 1, -1, w(kPercent1), 1, 999) : blank();
            flag(3) ? item(slot_item::other, 1, -1, w(kPercent2), 1, 999) : blank();
            flag(11) ? item(slot_item::other, 1, -1, w(kPercent3), 1, 999) : blank();
        }
        if (((flag(1) || flag(4)) && punching) || flag(12)) {
            flag(1) && punching ? item(slot_item::punch, 3, 638, w(kPunch), 0, 0) : blank();
            flag(4) && punching ? item(slot_item::nibbling, 3, 642, w(kNibbling), 0, 0) : blank();
            blank();
            flag(12) ? item(slot_item::other, 1, -1, w(kPercent), 1, 100) : blank();
        }
        if (flag(9)) {
            item(slot_item::feed_switch, 3, 646, feed_switch_word, 0, 0);
            feed_switch_word == 1 ? item(slot_item::feed, 2, -1, w(kFeed), 0.0001f, 99999.9f) : blank();
            blank();
            blank();
        }
        if (flag(10)) {
            const int kind = w(kMachineKind);
            item(slot_item::machine_kind, 3, 659, w(kMachineKind), 0, 0);
            item(slot_item::other, 5,
                 kind == 1 || kind == 4   ? 660
                 : kind == 2 || kind == 5 ? 661
                                          : 662,
                 w(kKindValue1), 0.0001f, 9999.9f);
            kind >= 4 && kind <= 6 ? item(slot_item::other, 5, 663, w(kKindValue2), 0.00001f, 9999.9f) : blank();
            blank();
        }
        if (machining_type() == kTableType) place_table_groups();
        if (milling) {
            dialog_flag == 0 ? item(slot_item::rapid, 3, 918, rapid_word, 0, 0) : blank();
            rapid_word == 2 ? item(slot_item::other, 2, -1, fast_value, std::max(p().real(kFeed), 0.0001f), 99999.9f)
                            : blank();
            group_b ? item(slot_item::comp_mode, 3, 1119, w(kCompMode), 0, 0) : blank();
            blank();
        }
    }
    word rapid_word = 1;

    // Machining type 38: the kind of the machine table and its values, three groups.
    void place_table_groups()
    {
        const int kind = table_word(1);
        if (flag(13)) {
            int shown = 1;
            if (dialog_flag == 0) modmc("MACHINE TABLE KIND = " + std::to_string(kind), shown);
            record(slot_item::none);
        } else {
            item(slot_item::table_kind, 3, kTableKindRelation, table_word(1), 0, 0);
        }
        if (kind == 1)
            item(slot_item::other, 1, -1, table_word(7), 1, 999);
        else
            item(slot_item::other, 1, -1, table_word(2), 0.0f, 360.0f);
        kind == 2 ? item(slot_item::other, 2, -1, table_word(3), 0.0f, 999.0f) : blank();
        item(slot_item::other, 2, -1, table_word(4), 0.0f, 999.0f);
        item(slot_item::other, 1, -1, table_word(8), 1, 999);
        item(slot_item::feed, 2, -1, w(kFeed), 0.0001f, 99999.9f);
        item(slot_item::other, 2, -1, table_word(5), 0.0f, 999.0f);
        item(slot_item::other, 1, -1, table_word(9), 1, 999);
        item(slot_item::other, 2, -1, table_word(6), 0.0f, 999.0f);
        item(slot_item::other, 1, -1, table_word(10), 1, 999);
        blank();
        blank();
    }

    bool build(int& status)
    {
        cutcom_word = cutcom_choice;
        rapid_word = rapid_choice;
        int current = 0;
        begin_pick_mode(0, 4, current, status);
        if (status < 0) return false;
        place();
        return true;
    }

    // Cutting speed entered: its spindle speed from the tool's diameter, or the cutting speed
    // alone in lathe mode. False when the diameter is negative (the page ends).
    bool cutting_speed_chosen()
    {
        const float vc = imperial ? static_cast<float>(word_to_real(vc_shown) * kFeetToMetres) : word_to_real(vc_shown);
        p().set_real(kVc, vc);
        if (lathe) {
            set_cur_vc(kWindow, vc);
            return true;
        }
        float diameter = 0.0f;
        tool_get_diameter(w(kTool), diameter);
        if (diameter < 0.0f) return false;
        int spin = 0;
        spin_from_vc(diameter, vc, spin);
        w(kSpindle) = spin;
        set_cur_spin(kWindow, spin);
        return true;
    }

    enum next_step { kShowAgain, kRebuild, kEnd };

    next_step answer(slot_item what)
    {
        int status = 0;
        switch (what) {
        case slot_item::tool:
            if (tool_choice == 2) {
                tool_dialog(tool_class, kDialogShow, 0, status);
                return kRebuild;
            }
            if (tool_choice == 3) {
                reset_interaction_mode();
                std::string name;
                tool_select_from_list(0, name, status);
                load_tool();
                return kRebuild;
            }
            return kShowAgain;
        case slot_item::coolant: set_cur_coolant(kWindow, w(kCoolant)); return kShowAgain;
        case slot_item::cutcom:
            cutcom_choice = static_cast<int>(cutcom_word);
            w(kCutcom) = cutcom_choice == kOn ? 1 : 0;
            if (cutcom_choice == kOn && group_a) w(kCompMode) = 2;
            return kRebuild;
        case slot_item::spin_mode:
            if (w(kSpinMode) == 1)
                set_cur_vc(kWindow, p().real(kVc));
            else
                set_cur_spin(kWindow, w(kSpindle));
            return kRebuild;
        case slot_item::vc: return cutting_speed_chosen() ? kRebuild : kEnd;
        case slot_item::spindle: set_cur_spin(kWindow, w(kSpindle)); return kShowAgain;
        case slot_item::direction: set_cur_spin_vc(kWindow, w(kSpindle), p().real(kVc)); return kRebuild;
        case slot_item::feed:
            if (feed_switch_word == 1) set_cur_feed(kWindow, p().real(kFeed));
            return kShowAgain;
        case slot_item::punch: set_cur_punch(kWindow, w(kPunch)); return kShowAgain;
        case slot_item::nibbling: set_cur_nibbling(kWindow, w(kNibbling)); return kShowAgain;
        case slot_item::feed_switch:
            feed_switch() = feed_switch_word;
            set_cur_feed(kWindow, feed_switch_word == 1 ? p().real(kFeed) : -1.0f);
            return kRebuild;
        case slot_item::rapid:
            rapid_choice = static_cast<int>(rapid_word);
            fast_value = real_to_word(rapid_choice == 1 ? kMaxTraverse : -mxf1);
            return kRebuild;
        case slot_item::machine_kind:
        case slot_item::table_kind: return kRebuild;
        case slot_item::comp_mode:
            if (group_a && w(kCompMode) == 1) {
                w(kCutcom) = 0;
                cutcom_choice = kOff;
            }
            return kRebuild;
        default: return kShowAgain;
        }
    }

    // The stores of a page left by the user. Status -1 when the tool cannot be stored back.
    void store(int& status)
    {
        if (w(kMachineKind) >= 1 && w(kMachineKind) <= 3) p().set_real(kKindValue2, 0.0f);
        tool_set_cond_feed(p().real(kFeed));
        tool_set_cond_spin(w(kSpindle));
        tool_set_cond_vc(p().real(kVc));
        if (milling) p().set_real(kRapid, -word_to_real(fast_value));
        int stored = 0;
        SGTOOL(kStoreTool, w(kTool), stored);
        if (stored != 0) status = -1;
        if (milling && w(kDirection) == kDirectionCcw) userrc("WARNING: SPINDLE IS CCW!");
        if (milling && w(kDirection) == kDirectionOff) userrc("WARNING: SPINDLE IS OFF!");
    }
};

}  // namespace

int& feed_switch()
{
    static int value = 1;
    return value;
}

void mach_params_menu(int& no_display, int (&item_flags)[kMachItemFlags], int mode, int& status)
{
    mach_run run(item_flags);
    run.mode = mode;
    run.start();
    status = 0;
    if (run.tool_class < 0) return;
    if (run.dialog_flag != 0) {
        if (run.build(status)) tool_dialog(run.tool_class, kDialogShow, 0, status);
        return;
    }
    bool rebuild = true, leave = false;
    for (int round = 0; round < 1000 && !leave; ++round) {
        if (rebuild && !run.build(status)) break;
        if (no_display == 0) prcont();
        macro_redisplay();
        int answer = 0;
        modif1(answer);
        run.keep_shown_reals();
        if (no_display != 0) break;
        if (answer == 0 || answer == -1 || answer == -2) {
            run.store(status);
            break;
        }
        if (answer == -3) {
            rebuild = false;
            continue;
        }
        const mach_run::next_step next =
            run.answer(answer >= 1 && answer < 64 ? run.slots[static_cast<std::size_t>(answer)] : slot_item::none);
        rebuild = next == mach_run::kRebuild;
        leave = next == mach_run::kEnd;
    }
    reset_interaction_mode();
}
