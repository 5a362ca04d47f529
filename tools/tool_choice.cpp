// The tool choice of a procedure, the current values from the tool, and the wire common. Reads
// and writes PRM9 (tool id, base feed, cutting speed, spindle speed); reads NPT1 (machine type).
#include "tools/tool_choice.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_utilities.hpp"

#include <string>

namespace {

constexpr int kChoiceSlot = 0;
constexpr int kFirstWireMachine = 62, kLastWireMachine = 65;
constexpr int kWriteMode = 2;
constexpr int kChrmChoices = 4;
// What a wire tool puts into the first wire word and the generator word.
constexpr int kFirstWireValue = 4, kGeneratorValue = 15;

int current_tool_id() { return PRM9().words[machine_params::kToolId]; }

bool on_wire_machine()
{
    const int machine = NPT1().machine_type();
    return machine >= kFirstWireMachine && machine <= kLastWireMachine;
}

std::string trimmed_class_name(int tool_class)
{
    std::string name = tool_class_name(tool_class);
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// No tool of the allowed classes: the user may create one. Answers the new id, or -1.
int offer_new_tool(int class_count)
{
    userrc("WARNING! NO SUITABLE TOOL EXISTS");
    std::string menu;
    int only = -1;
    for (int c = 1; c <= kToolClasses; ++c) {
        if (!tool_class_allowed(c)) continue;
        menu += trimmed_class_name(c) + " TOOL@";
        only = c;
    }
    int chosen = -1, answer = 0;
    if (class_count == 1) {
        irply1("CREATE TOOL?", menu, answer);
        if (answer == 1) chosen = only;
    } else {
        prmptc("CREATE TOOL?");
        topopt(menu, answer);
        // The answer counts the allowed classes in order.
        for (int c = 1, k = 0; c <= kToolClasses && answer >= 1 && chosen < 0; ++c)
            if (tool_class_allowed(c) && ++k == answer) chosen = c;
    }
    if (chosen < 0) return -1;
    int id = -1, status = 0;
    tool_create(chosen, kChoiceSlot, id, status);
    return status == 0 ? id : -1;
}

// The tool taken from the list of the choice; class_count answers the number of allowed classes.
int tool_from_list(int ask, int& class_count)
{
    int first_class = -1;
    toollist_fill(kChoiceSlot, 0, class_count, first_class);
    if (class_count == 0) return -1;
    int count = 0;
    toollist_count(kChoiceSlot, count);
    if (count == 0) return ask ? offer_new_tool(class_count) : -1;
    int id = -1, status = 0;
    toollist_entry_id(kChoiceSlot, 1, id, status);
    return status == 0 ? id : -1;
}

void copy_charmilles(int tool_id, wire_common_block& w)
{
    int choices[5] = {};
    tool_get_chrm_gcodes(tool_id, choices[0], choices[1], choices[2], choices[3], choices[4]);
    w.at(wire_common_block::kChrmGcode) = choices[0];
    for (int k = 0; k < kChrmChoices; ++k) {
        const int choice = choices[k + 1];
        if (choice != 1 && choice != 2) continue;
        word* flags = &w.at(wire_common_block::kChrmChoiceFlags + 2 * k);
        flags[choice - 1] = 1;
        flags[2 - choice] = 0;
    }
    int offset = 0;
    float correction = 0.0f, auxiliary = 0.0f;
    tool_get_chrm_offset(tool_id, offset);
    tool_get_chrm_cregst(tool_id, correction);
    tool_get_chrm_aregst(tool_id, auxiliary);
    w.at(wire_common_block::kChrmOffset) = offset;
    w.set_real(wire_common_block::kChrmCorrection, correction);
    w.set_real(wire_common_block::kChrmAuxiliary, auxiliary);
}

}  // namespace

wire_common_block& wire_common()
{
    static wire_common_block block;
    return block;
}

void tool_choose(int ask, int& status)
{
    toollist_reset(kChoiceSlot);
    const bool wire_machine = on_wire_machine();
    int chosen = current_tool_id();
    int allowed = 1;
    if (chosen >= 1) tool_check_allowed(chosen, allowed);
    int class_count = 1;
    if (chosen < 1 || allowed != 0) chosen = tool_from_list(ask, class_count);

    status = chosen > 0 || class_count == 0 ? 0 : -1;
    int freed = 0;
    reltol(kChoiceSlot, freed);
    if (freed != 0) status = -1;
    if (chosen <= 0 || status != 0) return;
    tool_select_current(0, chosen, status);
    if (status != 0) {
        status = -1;
        return;
    }
    if (wire_machine) tool_to_common();
}

void tool_type_params(int& status)
{
    const int id = current_tool_id();
    int tool_class = -1;
    tool_get_class(id, tool_class);
    status = -1;
    if (tool_class < 0) return;
    machine_params& m = PRM9();
    if (tool_class == kPunch) {
        float diameter = -1.0f, cutting_speed = 0.0f;
        tool_get_punch_diameter(id, diameter);
        if (diameter <= 0.0f) return;
        tool_get_cond_vc(id, cutting_speed);
        int spin = 0;
        spin_from_vc(diameter, cutting_speed, spin);
        m.words[machine_params::kSpindleSpeed] = spin;
    } else if (tool_class == kDrill || tool_class == kMill || tool_class == kLathe ||
               (tool_class >= kLatheDrill && tool_class <= kGroove)) {
        int spin = 0;
        float cutting_speed = 0.0f, feed = 0.0f;
        tool_get_cond_spin(id, spin);
        tool_get_cond_vc(id, cutting_speed);
        tool_get_cond_feed(id, feed);
        if (feed < 0.0f) {
            feed = m.real(machine_params::kBaseFeed);
            tool_set_cond_feed(feed);
            SGTOOL(kWriteMode, id, status);
            if (status != 0) return;
        }
        m.words[machine_params::kSpindleSpeed] = spin;
        m.set_real(machine_params::kCuttingSpeed, cutting_speed);
        m.set_real(machine_params::kBaseFeed, feed);
    }
    status = 0;
}

void tool_to_common()
{
    const int id = current_tool_id();
    int tool_class = -1;
    tool_get_class(id, tool_class);
    if (!is_wire_class(tool_class)) return;
    wire_common_block& w = wire_common();
    w = wire_common_block{};
    w.at(wire_common_block::kFirstWire) = kFirstWireValue;
    w.at(wire_common_block::kGenerators) = kGeneratorValue;
    w.at(wire_common_block::kToolId) = id;
    if (tool_class == kAgie) {
        int value = 0;
        tool_get_agie_generator(id, value);
        w.at(wire_common_block::kAgieGenerator) = value;
        tool_get_agie_flush(id, value);
        w.at(wire_common_block::kAgieFlush) = value;
        tool_get_agie_offset(id, value);
        w.at(wire_common_block::kAgieOffset) = value;
        tool_get_agie_pangle(id, value);
        w.at(wire_common_block::kAgieTaperAngle) = value;
    } else if (tool_class == kMakino) {
        int value = 0;
        tool_get_mkno_cutcnd(id, value);
        w.at(wire_common_block::kMakinoCondition) = value;
        tool_get_mkno_offset(id, value);
        w.at(wire_common_block::kMakinoOffset) = value;
    } else {
        copy_charmilles(id, w);
    }
}
