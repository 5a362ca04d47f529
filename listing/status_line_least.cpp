// SETMOD and the status-line fields, least version (see the header).
#include "listing/status_line_least.hpp"

#include "host/vantu_messages.hpp"
#include "driver/nc_state_blocks.hpp"

namespace {

void set_int(int index, int value) { DSM4().at(index) = value; }

}  // namespace

void SETMOD(int prmtyp, int int_value, float real_value)
{
    using M = modal_values;
    switch (prmtyp) {
    case 1: DSM4().set_real(M::kFeed, real_value); return;
    case 2: set_int(M::kSpin, int_value); return;
    case 3: set_int(M::kCoolant, int_value); return;
    case 10: DSM4().set_real(M::kCuttingSpeed, real_value); return;
    case 52: set_int(M::kNibble, int_value); return;
    case 53: set_int(M::kPunch, int_value); return;
    case 100: set_int(M::kTool, int_value); return;
    default: break;
    }
    const int index = wire_modal_values::word_of_type(prmtyp);
    if (index < 0) {
        eroutc("SETMOD: WRONG PARAMETER", 0);
        return;
    }
    if (index >= wire_modal_values::kFirstRealWord) WRMB().set_real(index, real_value);
    else WRMB().at(index) = int_value;
}

void status_show_feed(int window) { (void)window; }
void status_show_spin(int window) { (void)window; }
void status_show_coolant(int window) { (void)window; }
void status_show_tool(int window) { (void)window; }
void status_repaint(int window) { (void)window; }
