// mch_param_apply: before an execution the machine-parameter slots count as written with their
// present values, so that the first motion writes only what changes after it.
#include "toolpath/proc_block_writer.hpp"

#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"

namespace {

using P = machine_params;
constexpr float kNoFeedMode = -1.0f;
constexpr int kBaseFeedMode = 1;

bool computed(int slot) { return mch_slots().slots[static_cast<std::size_t>(slot)].status == kSlotComputed; }
word prm9(int index) { return PRM9().words[static_cast<std::size_t>(index)]; }

// The cutting speed is kept signed by the spindle direction, as the slot writer compares it.
float signed_cutting_speed()
{
    const float speed = PRM9().real(P::kCuttingSpeed);
    const int direction = prm9(P::kDirection);
    return direction == 1 ? speed : direction == 2 ? -speed : 0.0f;
}

// Slot ranges of the three wire value arrays and their first word in the last-written copy.
struct wire_range {
    int first_slot, last_slot, first_word;
};
constexpr wire_range kWireRanges[] = {{11, 16, 0}, {20, 34, 6}, {49, 54, 21}};

}  // namespace

void mch_param_apply(int machine_param_type, int& status)
{
    (void)machine_param_type;
    mch_slot_table& t = mch_slots();
    for (int slot = 1; slot <= mch_slot_table::kSlots; ++slot) {
        mch_slot& s = t.slots[static_cast<std::size_t>(slot)];
        if (s.status == kSlotExplicit) s.last = s.value;
    }
    if (computed(1)) t.last_feed = t.slots[1].value == kBaseFeedMode ? PRM9().real(P::kBaseFeed) : kNoFeedMode;
    if (computed(2)) {
        t.last_spindle = prm9(P::kSpindleSpeed);
        t.last_direction = prm9(P::kDirection);
    }
    if (computed(3)) t.last_coolant = prm9(P::kCoolant);
    if (computed(100)) t.last_tool = prm9(P::kToolId);
    if (computed(10)) {
        t.last_cutting_speed = signed_cutting_speed();
        t.last_direction = prm9(P::kDirection);
    }
    // Slots 51 and 54 to 58 copy their PRM9 words (13, 16, 17, 18, 19, 20).
    for (int slot : {51, 54, 55, 56, 57, 58})
        if (computed(slot)) t.last_prm9[static_cast<std::size_t>(slot - 51)] = prm9(13 + slot - 51);
    for (const wire_range& r : kWireRanges)
        for (int slot = r.first_slot; slot <= r.last_slot; ++slot)
            if (computed(slot)) t.last_wrmb[static_cast<std::size_t>(r.first_word + slot - r.first_slot)] = 0;
    status = 0;
}
