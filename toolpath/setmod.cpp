// SETMOD (see the header): one row per parameter type, the wire types by their WRMB word.
#include "toolpath/setmod.hpp"

#include "host/vantu_messages.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"

#include <cmath>
#include <cstdlib>

namespace {

using M = modal_values;

constexpr int kPositive = 1, kNegative = 2;

// +1, -1 or 0 by the spin direction of PRM9.
int spin_sign()
{
    const int direction = PRM9().words[machine_params::kDirection];
    return direction == kPositive ? 1 : direction == kNegative ? -1 : 0;
}

bool store_integer_word(int prmtyp, int value)
{
    modal_values& m = DSM4();
    switch (prmtyp) {
    case 2: m.at(M::kSpin) = spin_sign() * std::abs(value); return true;
    case 3: m.at(M::kCoolant) = value; return true;
    case 4: m.at(M::kDwell) = value; return true;
    case 5: m.at(M::kCutterComp) = PRM9().words[machine_params::kCutterComp] != 0 ? value : 0; return true;
    case 9: return true;
    case 52: m.at(M::kNibble) = value; return true;
    case 53: m.at(M::kPunch) = value; return true;
    case 55: DSP8().at(tool_position_state::kUcsId) = value; return true;
    case 56: m.at(M::kStepBy) = value; return true;
    case 100: m.at(M::kTool) = value; return true;
    default: return false;
    }
}

bool store_real_word(int prmtyp, float value)
{
    modal_values& m = DSM4();
    int word = -1;
    switch (prmtyp) {
    case 1: word = M::kFeed; break;
    case 10:
        value = static_cast<float>(spin_sign()) * std::fabs(value);
        word = M::kCuttingSpeed;
        break;
    case 51: word = M::kNibblePitch; break;
    case 54: word = M::kIndex; break;
    case 57: word = M::kStepValue; break;
    case 58: word = M::kStepIncrement; break;
    case 59: word = M::kRapidFeed; break;
    default: return false;
    }
    m.set_real(word, value);
    return true;
}

}  // namespace

void SETMOD(int prmtyp, int int_value, float real_value)
{
    if (store_integer_word(prmtyp, int_value) || store_real_word(prmtyp, real_value)) return;
    const int index = wire_modal_values::word_of_type(prmtyp);
    if (index < 0) {
        erou1c("SETMOD: WRONG PARAMETER", prmtyp);
        return;
    }
    if (index >= wire_modal_values::kFirstRealWord)
        WRMB().set_real(index, real_value);
    else
        WRMB().at(index) = int_value;
}
