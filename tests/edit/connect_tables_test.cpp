// The connection settings and the machine-parameter slots: set_connect_params copies its values
// and clears both flag words; trim_block_flags clears every slot and then sets the computed slots,
// their values and the force word of the slots the machine type writes, the slots that attach an
// entity only when there is one.
#include "edit/editor/connect_tables.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/approach_block.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

std::set<int> range(int first, int last)
{
    std::set<int> slots;
    for (int slot = first; slot <= last; ++slot) slots.insert(slot);
    return slots;
}

TEST(ConnectTables, SlotTablesFollowTheMachineType)
{
    const std::set<int> mill_computed{1, 2, 3, 10, 55, 100};
    const std::map<int, int> mill_values{{1, 1}, {2, 5}, {3, 6}, {10, 7}, {55, 21}, {100, 12}};
    std::set<int> wire_computed = range(11, 16);
    wire_computed.merge(range(20, 40));
    wire_computed.insert({55, 100});
    const std::set<int> other_computed{51, 52, 53, 54, 55, 100};
    const std::map<int, int> other_values{{52, 14}, {53, 16}, {55, 21}, {100, 12}};
    const struct {
        int machine;
        const std::set<int>& computed;
        std::map<int, int> values;
        std::set<int> forced;
    } rows[] = {
        {22, mill_computed, mill_values, {1, 2, 3, 10, 55, 100}},
        {26, mill_computed, mill_values, {1, 2, 3, 10, 55, 100}},
        {31, mill_computed, mill_values, {1, 2, 3, 10, 55, 100}},
        {61, wire_computed, {}, {15, 55, 100}},
        {80, wire_computed, {}, {15, 55, 100}},
        {12, other_computed, other_values, {52, 53, 55, 100}},
        {27, other_computed, other_values, {52, 53, 55, 100}},
        {32, other_computed, other_values, {52, 53, 55, 100}},
        {81, other_computed, other_values, {52, 53, 55, 100}},
    };
    // A real UCS and a tool for the slots that attach them.
    vantu::control::reset();
    int status = 0, ucs = 0;
    xsys4({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, ucs, status);
    PRM9().words[machine_params::kUcs] = ucs;
    PRM9().words[machine_params::kToolId] = ucs + 1;
    for (const auto& row : rows) {
        for (int mode : {0, 1}) {
            NPT1().at(tp_header_state::kMachineType) = row.machine;
            for (mch_slot& slot : mch_slots().slots) slot = {kSlotExplicit, -7, 9, kForceWrite};
            int status = 5;
            trim_block_flags(mode, status);
            EXPECT_EQ(status, 0);
            const int kind = mode == 0 ? kForceDone : kForceWrite;
            for (int k = 1; k <= mch_slot_table::kSlots; ++k) {
                const mch_slot& slot = mch_slots().slots.at(static_cast<std::size_t>(k));
                SCOPED_TRACE(testing::Message() << "machine " << row.machine << " mode " << mode << " slot " << k);
                EXPECT_EQ(slot.status, row.computed.count(k) ? kSlotComputed : kSlotUnused);
                EXPECT_EQ(slot.last, 0);
                EXPECT_EQ(slot.force, row.forced.count(k) ? kind : kForceDone);
                const auto value = row.values.find(k);
                EXPECT_EQ(slot.value, value == row.values.end() ? -7 : value->second) << "other values stay";
            }
        }
    }
    PRM9() = machine_params{};
    vantu::control::reset();
}

// Slot 55 attaches the UCS PRM9 names and slot 100 the tool: without an entity to attach (no UCS,
// a word that names the tool's entity instead of a UCS, no tool) the slot stays unused, so that
// no motion writer fails on the association after writing its block.
TEST(ConnectTables, SlotsThatAttachAnEntityNeedOne)
{
    vantu::control::reset();
    int status = 0, ucs = 0;
    xsys4({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, ucs, status);
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    const struct {
        const char* name;
        word ucs, tool;
        bool ucs_slot, tool_slot;
    } rows[] = {
        {"a UCS and a tool", word(ucs), 7, true, true},
        {"no UCS", 0, 7, false, true},
        {"an entity that is no UCS", word(line), 7, false, true},
        {"a UCS missing from the part", word(ucs + 50), 7, false, true},
        {"no tool", word(ucs), 0, true, false},
    };
    NPT1().at(tp_header_state::kMachineType) = 22;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PRM9().words[machine_params::kUcs] = row.ucs;
        PRM9().words[machine_params::kToolId] = row.tool;
        trim_block_flags(1, status);
        EXPECT_EQ(mch_slots().slots[55].status, row.ucs_slot ? kSlotComputed : kSlotUnused);
        EXPECT_EQ(mch_slots().slots[100].status, row.tool_slot ? kSlotComputed : kSlotUnused);
        EXPECT_EQ(mch_slots().slots[1].status, kSlotComputed);
    }
    PRM9() = machine_params{};
    vantu::control::reset();
}

TEST(ConnectTables, SetConnectParamsCopiesTheValuesAndClearsBothFlags)
{
    connect_params_block() = connect_params{};
    connect_params_block().direct_link = 1;
    connect_params_block().direct_link_request = 1;
    set_connect_params(4, 1.5f, 6.0f, 2.0f, 2.5f, 3.0f, 0.05f, 0.25f, 0.5f, 1, 3, 2, 1, real_to_word(10.0f));
    const connect_params& c = connect_params_block();
    EXPECT_EQ(c.approach_kind, 4);
    EXPECT_EQ(c.lateral_distance, 1.5f);
    EXPECT_EQ(c.arc_radius, 6.0f);
    EXPECT_EQ(c.approach_distance, 3.0f) << "DEL Z-UP is the Z-up distance";
    EXPECT_EQ(c.check_tolerance, 0.05f);
    EXPECT_EQ(c.check_values[0], 0.25f);
    EXPECT_EQ(c.check_values[1], 0.5f);
    EXPECT_EQ(c.gouge_check, 1);
    EXPECT_EQ(c.list_counts[0], 3);
    EXPECT_EQ(c.list_counts[1], 2);
    EXPECT_EQ(c.height_words[0], 1);
    EXPECT_EQ(word_to_real(c.height_words[1]), 10.0f);
    EXPECT_EQ(c.direct_link, 0);
    EXPECT_EQ(c.direct_link_request, 0);
    EXPECT_EQ(approach_block_data.second[0], 2.0f);
    EXPECT_EQ(approach_block_data.second[1], 2.5f);
}

}  // namespace
