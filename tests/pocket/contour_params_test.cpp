// Contour parameters: offsets and draft angles changed by a delta or to a constant within their
// limits, and the ordering of part contours before stock contours.
#include "contour_test_support.hpp"

#include "pocket/contour_params.hpp"

namespace {

class ContourParams : public ContourTest {};

}  // namespace

TEST_F(ContourParams, OffsetsAndDraftAnglesStayWithinTheirLimits)
{
    // Page lines: 1 offset choice, 2 DELTA or OFFSET, 3 draft choice, 4 DELTA or ANGLE.
    struct row {
        const char* what;
        float offset, draft;
        const char* script;
        float new_offset, new_draft;
        int draft_present, changed;
    } rows[] = {
        {"offset up to its limit", 9990, 0, R"([{"page": [{"line": 2, "value": 20}, {"line": 0}]}])", 10000, 0, 0, 1},
        {"offset down to its limit", -490, 0, R"([{"page": [{"line": 2, "value": -20}, {"line": 0}]}])", -500, 0, 0, 1},
        {"draft up to 89", 0, 85, R"([{"page": [{"line": 4, "value": 10}, {"line": 0}]}])", 0, 89, 1, 1},
        {"draft down to 0", 0, 5, R"([{"page": [{"line": 4, "value": -10}, {"line": 0}]}])", 0, 0, 0, 1},
        {"constant draft 0", 0, 30, R"([{"page": 3}, {"page": [{"line": 4, "value": 0}, {"line": 0}]}])", 0, 0, 0, 1},
        {"constant offset", 2, 0, R"([{"page": 1}, {"page": [{"line": 2, "value": 7.5}, {"line": 0}]}])", 7.5, 0, 0, 1},
        {"page left", 2, 4, R"([{"page": [{"line": 2, "value": 1}, {"line": -1}]}])", 2, 4, 1, 0},
    };
    for (const row& r : rows) {
        SetUp();
        rectangle_set(1, 0, 0, 10, 10);
        add_chain(1, r.offset, r.draft);
        table().gathered_count = 1;
        table().gathered_offset[1] = r.offset;
        table().gathered_draft[1] = r.draft;
        table().draft_present = 1;
        vantu::control::load_script_text(r.script, r.what);
        int changed = 0, status = 0;
        contour_offset_modify(1, changed, status);
        EXPECT_EQ(table().offset[1], r.new_offset) << r.what;
        EXPECT_EQ(table().gathered_offset[1], r.new_offset) << r.what;
        EXPECT_EQ(table().draft[1], r.new_draft) << r.what;
        EXPECT_EQ(table().gathered_draft[1], r.new_draft) << r.what;
        EXPECT_EQ(table().draft_present, r.draft_present) << r.what;
        EXPECT_EQ(changed, r.changed) << r.what;
        EXPECT_EQ(vantu::control::events_left(), 0u) << r.what;
        TearDown();
    }
}

TEST_F(ContourParams, PartContoursAreOrderedBeforeStockContours)
{
    struct row {
        const char* what;
        std::vector<int> part_stock;
        bool fail_memory;
        int result;
        std::vector<int> sets;  // curve set of each contour afterwards
    } rows[] = {
        {"parts already first", {1, 1, 2}, false, 0, {1, 2, 3}},
        {"stock first", {2, 1, 1}, false, 0, {2, 3, 1}},
        {"stock between parts", {1, 2, 1}, false, 0, {1, 3, 2}},
        {"no work array", {2, 1, 1}, true, -1, {1, 2, 3}},
    };
    for (const row& r : rows) {
        SetUp();
        rectangle_set(1, 0, 0, 10, 10);
        circle_set(2, 30, 0, 2);
        rectangle_set(3, 50, 0, 60, 10);
        for (int k = 0; k < 3; ++k) add_chain(k + 1, 1.0f * (k + 1), 0.0f, r.part_stock[static_cast<std::size_t>(k)]);
        if (r.fail_memory) vantu::control::inject_fault("DM_ALLOC", 3, 1, -1);
        EXPECT_EQ(contours_order_by_kind(), r.result) << r.what;
        for (int k = 1; k <= 3; ++k) {
            const int set = r.sets[static_cast<std::size_t>(k - 1)];
            EXPECT_EQ(*geometry_record(k), set) << r.what << " " << k;
            EXPECT_EQ(*wire_record(k), set) << r.what << " " << k;
            EXPECT_EQ(table().offset[k], 1.0f * set) << r.what << " " << k;
        }
        vantu::control::clear_faults();
        TearDown();
    }
}

TEST_F(ContourParams, ContourFoundByCriteriaKeepsItsPartOrStock)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    add_chain(1);
    add_chain(2, 0.0f, 0.0f, kPart, 1);
    // Lines: 1 title, 2 OFFSET, 3 PICK CONTOUR, 4 contour type, 5 part/stock.
    struct row {
        int k;
        const char* title;
        int part_stock;
    } rows[] = {{1, "CONTOUR NO. 1", kStock}, {2, "CONTOUR NO. 2", kPart}};
    for (const row& r : rows) {
        vantu::control::clear_messages();
        vantu::control::load_script_text(
            R"([{"page": [{"line": 2, "value": 5}, {"line": 5, "value": "STOCK"}, {"line": 0}]}])", r.title);
        float offset = 0, draft = 0;
        int type = 0, part_stock = 0, changed = 0, status = 9;
        contour_list_modify(0, 1, 0, 1, r.k, offset, draft, type, part_stock, changed, status);
        EXPECT_EQ(status, 0) << r.title;
        EXPECT_NE(events("page").back().find(r.title), std::string::npos) << r.title;
        EXPECT_EQ(table().offset[r.k], 5.0f) << r.title;
        EXPECT_EQ(table().part_stock[r.k], r.part_stock) << r.title;
        EXPECT_EQ(has_line("msg_mdls", "message 331/32"), r.part_stock == kPart) << r.title;
    }
}
