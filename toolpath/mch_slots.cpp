// The machine-parameter slots and their writer. An explicit slot (status 1) writes its machine
// sub-type as a DEFTYP 1 parameter block; a computed slot (status 2) takes its value from PRM9
// or WRMB and writes it as a DEFTYP 0 block. Either writes only when the value changed, unless
// the slot is forced.
#include "toolpath/mch_slots.hpp"

#include "host/vantu_messages.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/assoc_to_cur_list.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_words.hpp"

#include <cmath>
#include <optional>

namespace {

constexpr int kFailed = -1;
constexpr int kDeftypValue = 0, kDeftypSubtype = 1;
constexpr int kFeedSlot = 1, kSpindleSlot = 2, kCoolantSlot = 3, kCuttingSpeedSlot = 10, kStoredFeedSlot = 59,
              kToolSlot = 100, kToolItemSlot = 55;
constexpr int kFeedBase = 1, kFeedRapid = 4, kFeedStored = 27;
constexpr float kNoFeed = -2.0f, kRapidFeed = -1.0f, kPercent = 0.01f;

using P = machine_params;

// Base feed times the percentage held in PRM9 word `percent_word`.
float percent_feed(int percent_word)
{
    return PRM9().real(P::kBaseFeed) * static_cast<float>(PRM9().words[static_cast<std::size_t>(percent_word)]) *
           kPercent;
}

// Value signed by the spindle direction: 1 positive, 2 negative, any other none (0).
template <typename T> T signed_by_direction(T value)
{
    const int direction = PRM9().words[P::kDirection];
    return direction == 1 ? value : direction == 2 ? -value : T{0};
}

// The feed of a feed mode; nothing for a mode without one.
std::optional<float> feed_of_mode(int mode)
{
    switch (mode) {
    case kFeedBase: return PRM9().real(P::kBaseFeed);
    case 2: return percent_feed(P::kFeedPercent2);
    case 3: return percent_feed(P::kFeedPercent3);
    case 25: return percent_feed(P::kFeedPercent25);
    case 26: return percent_feed(P::kFeedPercent26);
    case kFeedRapid: return kRapidFeed;
    case kFeedStored: return PRM9().real(P::kStoredFeed);
    default: return std::nullopt;
    }
}

// A computed value ready to write: its word and whether it is due.
struct computed {
    word value = 0;
    bool due = false;
};

computed feed_value(int slot, bool always)
{
    mch_slot& feed = mch_slots().slots[kFeedSlot];
    int mode = slot == kStoredFeedSlot ? kFeedStored : feed.value;
    int display_mode = 1;
    get_exec_disp_mode(display_mode);
    if (slot == kFeedSlot && display_mode == 0 && mode == kFeedRapid) feed.value = mode = kFeedStored;
    const std::optional<float> value = feed_of_mode(mode);
    if (!value) return {};
    if (mode == kFeedStored && *value <= kNoFeed && !always) return {};
    float& last = mch_slots().last_feed;
    const bool due = always || *value != last;
    if (due) last = *value;
    return {real_to_word(*value), due};
}

computed spindle_value(bool always)
{
    mch_slot_table& t = mch_slots();
    const int speed = PRM9().words[P::kSpindleSpeed], direction = PRM9().words[P::kDirection];
    const bool due = always || speed != t.last_spindle || direction != t.last_direction;
    t.last_spindle = speed;
    t.last_direction = direction;
    return {signed_by_direction(speed), due};
}

// The signed cutting speed is compared with its signed copy: comparing the unsigned speed with
// a signed copy would write the same negative speed again before every motion.
computed cutting_speed_value(bool always)
{
    mch_slot_table& t = mch_slots();
    const float value = signed_by_direction(PRM9().real(P::kCuttingSpeed));
    const int direction = PRM9().words[P::kDirection];
    const bool due = always || value != t.last_cutting_speed || direction != t.last_direction;
    t.last_cutting_speed = value;
    t.last_direction = direction;
    return {real_to_word(value), due};
}

computed copied_value(word value, word& last, bool always)
{
    const bool due = always || value != last;
    last = value;
    return {value, due};
}

// PRM9 words of the items of slots 51 to 58 (items 13, 12, 14, 46, 47, 48, 49, 50).
constexpr int kSlot51Words[8] = {13, 14, 15, 16, 17, 18, 19, 20};

// Value of a computed slot; nothing when the slot has nothing to compute.
std::optional<computed> compute_slot(int slot, bool always)
{
    mch_slot_table& t = mch_slots();
    if (slot == kFeedSlot || slot == kStoredFeedSlot) return feed_value(slot, always);
    if (slot == kSpindleSlot) return spindle_value(always);
    if (slot == kCuttingSpeedSlot) return cutting_speed_value(always);
    if (slot == kCoolantSlot) return copied_value(PRM9().words[P::kCoolant], t.last_coolant, always);
    if (slot == kToolSlot) return copied_value(PRM9().words[P::kToolId], t.last_tool, always);
    if (slot >= 51 && slot <= 58)
        return copied_value(PRM9().words[static_cast<std::size_t>(kSlot51Words[slot - 51])],
                            t.last_prm9[static_cast<std::size_t>(slot - 51)], always);
    if (slot >= 11 && slot <= 16)
        return copied_value(wrmb_word(slot - 11), t.last_wrmb[static_cast<std::size_t>(slot - 11)], always);
    if (slot >= 20 && slot <= 40)
        return copied_value(wrmb_word(slot - 14), t.last_wrmb[static_cast<std::size_t>(slot - 14)], always);
    return std::nullopt;
}

// Writes one parameter block (type 1) at the end of the current list, numbered from the list.
void write_param_block(int prmtyp, int deftyp, word value, int& status)
{
    tp_param_block block;
    block.prmtyp = prmtyp;
    block.deftyp = deftyp;
    if (deftyp == kDeftypValue && PRMDEF(prmtyp) == kTypeReal) {
        block.is_real = 1;
        block.real_value = word_to_real(value);
    } else {
        block.int_value = value;
    }
    if (deftyp == kDeftypValue)
        put_param_block(kWhereListNumbered, block, status);
    else
        put_param_sub_block(kWhereListNumbered, block, status);
}

// Tool slots attach the tool (or item 47's entity) to the tool path.
void attach_tool(int slot, int& status)
{
    const word id = slot == kToolSlot ? PRM9().words[P::kToolId] : PRM9().words[17];
    if (id <= 0) {
        eroutc("PT1MCH, ERRORS IN WRITTING ASSOCIATION", 0);
        status = kFailed;
        return;
    }
    assoc_to_cur_list(id, status);
}

void display_written(int display, int& status)
{
    if (display != 0) return;
    int break_flag = 0;
    display_service_table().DISPLB(1, break_flag, status);
    if (status >= 0 && break_flag != 0) exec_break_menu();
}

}  // namespace

mch_slot_table& mch_slots()
{
    static mch_slot_table table;
    return table;
}

int PRMDEF(int prmtyp)
{
    if (prmtyp == 1 || prmtyp == 10 || (prmtyp >= 34 && prmtyp <= 40) || prmtyp == 51 || prmtyp == 54 || prmtyp == 57 ||
        prmtyp == 58 || prmtyp == 59)
        return kTypeReal;
    if ((prmtyp >= 2 && prmtyp <= 5) || prmtyp == 9 || (prmtyp >= 11 && prmtyp <= 33) || prmtyp == 52 || prmtyp == 53 ||
        prmtyp == 55 || prmtyp == 56 || prmtyp == 100)
        return kTypeInteger;
    erou1c("PRMDEF: ERROR IN PARAMETER TYPE, PRMTYP =", prmtyp);
    return kTypeInteger;
}

void MCHVAL(int subtyp, int& is_real, int& int_value, float& real_value, int& status)
{
    status = 0;
    if (std::optional<float> feed =
            subtyp == 1 || subtyp == 2 || subtyp == 3 || subtyp == 4 || subtyp == 25 || subtyp == 26 || subtyp == 27
                ? feed_of_mode(subtyp)
                : std::nullopt) {
        is_real = 1;
        real_value = *feed;
        return;
    }
    const auto& w = PRM9().words;
    auto integer = [&](int v) {
        is_real = 0;
        int_value = v;
    };
    auto real = [&](float v) {
        is_real = 1;
        real_value = v;
    };
    switch (subtyp) {
    case 5: return integer(signed_by_direction(w[P::kSpindleSpeed]));
    case 6: return integer(w[P::kCoolant]);
    case 7: return real(signed_by_direction(PRM9().real(P::kCuttingSpeed)));
    case 8: return integer(w[10]);
    case 9: return integer(-1);
    case 10: return integer(1);
    case 11: return integer(0);
    case 12: return integer(w[P::kToolId]);
    case 13:
    case 16:
    case 19: return integer(2);
    case 14:
    case 17:
    case 18: return integer(1);
    case 20: return real(PRM9().real(16));
    case 21: return integer(w[17]);
    case 22: return integer(w[18]);
    case 23: return real(PRM9().real(19));
    case 24: return real(PRM9().real(20));
    default: eroutc("MCHVAL, ERROR IN SUBTYP", 0); status = kFailed;
    }
}

void PT1MCH(int display, int slot, int& status)
{
    status = 0;
    if (slot < 1 || slot > mch_slot_table::kSlots) return;
    mch_slot& s = mch_slots().slots[static_cast<std::size_t>(slot)];
    if (s.status == kSlotUnused) return;
    if (s.status != kSlotExplicit && s.status != kSlotComputed) {
        eroutc("PUTMCH, ERROR IN PARAMETER STATUS", 0);
        return;
    }
    const bool always = s.force == kForceWrite;
    if (s.status == kSlotExplicit) {
        if (!always && s.last == s.value) return;
        write_param_block(slot, kDeftypSubtype, s.value, status);
        if (status >= 0) s.last = s.value;
    } else {
        std::optional<computed> value = compute_slot(slot, always);
        if (!value || !value->due) {
            if (!value) s.force = kForceDone;
            return;
        }
        write_param_block(slot, kDeftypValue, value->value, status);
    }
    if (status < 0) {
        eroutc("PT1MCH, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    s.force = kForceDone;
    if (slot == kToolSlot || slot == kToolItemSlot) {
        attach_tool(slot, status);
        if (status < 0 || (slot == kToolItemSlot && s.status == kSlotComputed)) return;
    }
    display_written(display, status);
}

void PUTMCH(int& status)
{
    status = 0;
    for (int slot = 1; slot <= mch_slot_table::kSlots && status >= 0; ++slot) PT1MCH(0, slot, status);
}
