// Shared set-up of the contour, point, arrow and dialog tests of the pocket: the package fixture
// with the contour table, its buffers, the point tables, the arrows and the parameter block back
// at their start values and the polygon buffers open; builders of contours straight into the
// table.
#pragma once

#include "package_test_support.hpp"

#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/direction_arrows.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/lane_switches_least.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <algorithm>

class ContourTest : public PackageTest {
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        contour_table_block = contour_table{};
        contour_table_empty();
        contour_table_block.contours_valid = 1;
        contour_buffers_block = contour_buffers{};
        entry_pnts() = entry_pnt_tables{};
        arrows_block = arrows_state{};
        drelan_params_defaults(0.0f, drelan_params_current);
        lane_engine_switches() = lane_switches{};
        NPT1() = tp_header_state{};
        machining_type() = 0;
        pocket_state_block = pocket_state{};
        int status = 0;
        polbuf_open_all(2, 1000, status);
        ASSERT_EQ(status, 0);
    }

    static contour_table& table() { return contour_table_block; }

    // Appends a contour whose record (chain of curve set `set`, or a face or loop record) goes to
    // the next free entry of both buffers, with its offset, draft angle and part/stock.
    static void add_record(const std::vector<int>& record, int kind, float offset = 0.0f, float draft = 0.0f,
                           int part_stock = kPart, int by_criteria = 0)
    {
        contour_table& t = table();
        const int k = ++t.count;
        if (k == 1) {
            t.first_entry[1] = 1;
            t.order[1] = 1;
        }
        std::copy(record.begin(), record.end(), buffer_entry(contour_buffers_block.geometry, t.first_entry[k]));
        std::copy(record.begin(), record.end(), buffer_entry(contour_buffers_block.wire, t.first_entry[k]));
        t.first_entry[k + 1] = t.first_entry[k] + static_cast<int>(record.size()) / 2;
        t.order[k + 1] = t.order[k] + 1;
        t.kind[k] = kind;
        t.valid[k] = 1;
        t.offset[k] = offset;
        t.draft[k] = draft;
        t.type[k] = 1;
        t.part_stock[k] = part_stock;
        t.by_criteria[k] = by_criteria;
    }
    static void add_chain(int set, float offset = 0.0f, float draft = 0.0f, int part_stock = kPart, int by_criteria = 0)
    {
        add_record(records_of({set}), kKindChain, offset, draft, part_stock, by_criteria);
    }
    // The transcript's texts of one kind of event, in order.
    static std::vector<std::string> events(const char* kind)
    {
        std::vector<std::string> texts;
        for (const auto& e : vantu::control::transcript_events())
            if (e.kind == kind) texts.push_back(e.text);
        return texts;
    }
    static bool has_line(const char* channel, const std::string& text)
    {
        const auto lines = vantu::control::lines_of(channel);
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
};
