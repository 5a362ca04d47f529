// The connection settings and the machine-parameter slot tables (see the header).
#include "edit/editor/connect_tables.hpp"

#include "nc_services/approach_block.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/rec8.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"

#include <cstddef>
#include <initializer_list>
#include <utility>

void set_connect_params(int approach_kind, float approach_length, float arc_radius, float pair_first, float pair_second,
                        float z_up_distance, float tolerance, float line_net1, float line_net2, int surface_mode,
                        int list_count1, int list_count2, word height_word1, word height_word2)
{
    connect_params& c = connect_params_block();
    c.approach_kind = approach_kind;
    c.approach_distance = z_up_distance;
    c.lateral_distance = approach_length;
    c.arc_radius = arc_radius;
    c.check_tolerance = tolerance;
    c.check_values[0] = line_net1;
    c.check_values[1] = line_net2;
    c.gouge_check = surface_mode;
    c.list_counts[0] = list_count1;
    c.list_counts[1] = list_count2;
    c.height_words = {height_word1, height_word2};
    c.direct_link = 0;
    c.direct_link_request = 0;
    approach_block_data.second[0] = pair_first;
    approach_block_data.second[1] = pair_second;
}

void mch_status_clear(int& status)
{
    for (mch_slot& slot : mch_slots().slots) {
        slot.status = kSlotUnused;
        slot.last = 0;
        slot.force = kForceDone;
    }
    status = 0;
}

namespace {

// Slot 55 and the tool slot (100) are forced for every machine type.
constexpr int kSlotMachineSub = 55, kSlotTool = 100;
constexpr int kReadUcs = 1;

bool is_milling_or_lathe(int machine) { return (machine >= 22 && machine <= 26) || machine == 31; }
bool is_wire(int machine) { return machine >= 61 && machine <= 80; }

void set_computed(int slot, int value)
{
    mch_slots().slots.at(static_cast<std::size_t>(slot)).status = kSlotComputed;
    mch_slots().slots.at(static_cast<std::size_t>(slot)).value = value;
}

void set_computed_range(int first, int last)
{
    for (int slot = first; slot <= last; ++slot)
        mch_slots().slots.at(static_cast<std::size_t>(slot)).status = kSlotComputed;
}

void set_force(std::initializer_list<int> slots, int force)
{
    for (int slot : slots) mch_slots().slots.at(static_cast<std::size_t>(slot)).force = force;
}

// Slot 55 (the work plane's UCS) and slot 100 (the tool) are left out when PRM9 names no entity
// they could attach: no UCS, or a word that names no UCS entity (the tool's, say); no tool.
void leave_out_missing_entities()
{
    const machine_params& m = PRM9();
    const word ucs = m.words[machine_params::kUcs];
    int status = -1;
    ucs_record record;
    if (ucs > 0) rec8_get_put(kReadUcs, ucs, record, status);
    if (status != 0) mch_slots().slots[kSlotMachineSub].status = kSlotUnused;
    if (m.words[machine_params::kToolId] <= 0) mch_slots().slots[kSlotTool].status = kSlotUnused;
}

}  // namespace

void trim_block_flags(int mode, int& status)
{
    mch_status_clear(status);
    const int force = mode == 0 ? kForceDone : kForceWrite;
    const int machine = NPT1().machine_type();
    set_force({kSlotMachineSub, kSlotTool}, force);
    if (is_milling_or_lathe(machine)) {
        // Feed mode 1 (base feed), spindle, coolant and cutting speed computed from PRM9.
        constexpr std::pair<int, int> kComputed[] = {{1, 1},         {2, 5}, {3, 6}, {10, 7}, {kSlotMachineSub, 21},
                                                     {kSlotTool, 12}};
        for (auto [slot, value] : kComputed) set_computed(slot, value);
        set_force({1, 2, 3, 10}, force);
    } else if (is_wire(machine)) {
        set_computed_range(11, 16);
        set_computed_range(20, 40);
        set_computed_range(kSlotMachineSub, kSlotMachineSub);
        set_computed_range(kSlotTool, kSlotTool);
        set_force({15}, force);
    } else {
        set_computed_range(51, 54);
        constexpr std::pair<int, int> kComputed[] = {{52, 14}, {53, 16}, {kSlotMachineSub, 21}, {kSlotTool, 12}};
        for (auto [slot, value] : kComputed) set_computed(slot, value);
        set_force({52, 53}, force);
    }
    leave_out_missing_entities();
    status = 0;
}
