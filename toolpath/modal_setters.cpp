// Feed mode, punch and nibble slots, and the current modal values of the status line.
#include "toolpath/modal_setters.hpp"

#include "nc_services/display_services.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/setmod.hpp"

namespace {

constexpr int kFeedSlot = 1, kNibbleSlot = 52, kPunchSlot = 53;
constexpr int kFeed = 1, kSpin = 2, kCoolant = 3, kCuttingSpeed = 10, kNibble = 52, kPunch = 53, kTool = 100;

void set_slot_value(int slot, int value) { mch_slots().slots[static_cast<std::size_t>(slot)].value = value; }

}  // namespace

void set_mch_change_mode(int feed_mode) { set_slot_value(kFeedSlot, feed_mode); }
void set_punch_slot(int value) { set_slot_value(kPunchSlot, value); }
void set_nibble_slot(int value) { set_slot_value(kNibbleSlot, value); }

void set_cur_feed(int window, float feed)
{
    SETMOD(kFeed, 0, feed);
    display_service_table().status_show_feed(window);
}

void set_cur_spin(int window, int spin)
{
    SETMOD(kSpin, spin, 0.0f);
    display_service_table().status_show_spin(window);
}

void set_cur_spin_vc(int window, int spin, float cutting_speed)
{
    SETMOD(kSpin, spin, 0.0f);
    SETMOD(kCuttingSpeed, 0, cutting_speed);
    display_service_table().status_show_spin(window);
}

void set_cur_vc(int window, float cutting_speed)
{
    SETMOD(kCuttingSpeed, 0, cutting_speed);
    display_service_table().status_show_spin(window);
}

void set_cur_coolant(int window, int coolant)
{
    SETMOD(kCoolant, coolant, 0.0f);
    display_service_table().status_show_coolant(window);
}

void set_cur_nibbling(int window, int value)
{
    SETMOD(kNibble, value, 0.0f);
    display_service_table().status_show_spin(window);
}

void set_cur_punch(int window, int value)
{
    SETMOD(kPunch, value, 0.0f);
    display_service_table().status_show_feed(window);
}

void set_cur_tool(int window, int tool)
{
    SETMOD(kTool, tool, 0.0f);
    display_service_table().status_show_tool(window);
}
