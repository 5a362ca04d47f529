// prm_from_modal: the working machine parameters (PRM9) from the modal values in force at the
// cursor (DSM4), before the editor writes new blocks there (the parameter change and the
// go-motion insertion call it).
#include "edit/editor/block_delete.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"

#include <cmath>
#include <cstdlib>

namespace {

using P = machine_params;
using M = modal_values;
// The feed values that stand for rapid and for the stored feed: they leave the base feed as it is.
constexpr float kRapidFeed = -1.0f, kStoredFeed = -2.0f;
constexpr int kSpinPositive = 1, kSpinNegative = 2, kSpinOff = 3;

void set_word(int index, word value) { PRM9().words[static_cast<std::size_t>(index)] = value; }

void mill_values()
{
    const modal_values& m = DSM4();
    const float feed = m.real(M::kFeed);
    if (neval(feed, kRapidFeed) != 0 && neval(feed, kStoredFeed) != 0) PRM9().set_real(P::kBaseFeed, feed);
    PRM9().set_real(P::kCuttingSpeed, std::fabs(m.real(M::kCuttingSpeed)));
    const int spin = m.at(M::kSpin);
    set_word(P::kSpindleSpeed, std::abs(spin));
    set_word(P::kDirection, spin > 0 ? kSpinPositive : spin < 0 ? kSpinNegative : kSpinOff);
    set_word(P::kCoolant, m.at(M::kCoolant));
}

void punch_values()
{
    const modal_values& m = DSM4();
    set_word(P::kNibblePitch, m.at(M::kNibblePitch));
    set_word(P::kNibble, m.at(M::kNibble));
    set_word(P::kPunch, m.at(M::kPunch));
    set_word(P::kIndex, m.at(M::kIndex));
}

}  // namespace

void prm_from_modal(int& status)
{
    const int machine = NPT1().machine_type();
    const bool mill = (machine >= 22 && machine <= 26) || machine == 31;
    const bool wire = machine >= 61 && machine <= 80;
    if (mill) mill_values();
    if (!mill && !wire) punch_values();
    set_word(P::kToolId, DSM4().at(M::kTool));
    set_word(P::kUcs, DSP8().at(tool_position_state::kUcsId));
    status = 0;
}
