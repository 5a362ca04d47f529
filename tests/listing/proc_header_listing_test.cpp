// The blocks of the procedure being listed in the procedure header listing: a separator after
// every block not followed by a text block, and at the end of the list; the walk of a stored tool
// path's entries and its failures.
#include "driver/proc_block_support.hpp"
#include "host/control.hpp"
#include "host/control/tp_registry.hpp"
#include "host/vantu.hpp"
#include "listing/lst_state.hpp"
#include "listing/proc_header_listing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <unistd.h>

TEST(ProcHeaderListing, SeparatorsAfterBlocksNotFollowedByText)
{
    vantu::control::reset();
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("drelan_proch_" + std::to_string(::getpid()));
    std::filesystem::create_directories(out);
    vantu::control::set_output_directory(out.string());
    proc_test::proc_block b;
    b.number = 7;
    b.append();
    int status = 0;
    const word one = std::bit_cast<word>(1.0f);
    // A type-10 block (rotation axes) right after the procedure block, then a line block.
    for (const std::vector<word>& w :
         {std::vector<word>{10, 8, 1, one, 0, 0, 0, one, 0, 0, 0}, std::vector<word>{2, 9, one, one, 0}}) {
        lcreat(1, status);
        lputd(static_cast<int>(w.size()), w.data(), status);
        lclos(status);
    }
    lacces(2, status);  // back to the procedure block, the first line
    const int unit = 31;
    aopen(unit, "header.lst", 2, status);
    ASSERT_EQ(status, 0);
    proch_blocks_write(-1, unit, 0, status);
    EXPECT_EQ(status, 0);
    const std::string separator = proch_separator();
    EXPECT_EQ(separator.size(), 76u);
    EXPECT_EQ(separator.substr(0, 26), "|" + std::string(24, '-') + "|");
    const std::vector<std::string> lines = vantu::control::listing_lines(unit);
    // No separator between the procedure block and the type-10 block that follows it; one after
    // the type-10 block (a line block follows) and one at the end of the list; four blank lines.
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), separator), 2);
    EXPECT_EQ(lines[lines.size() - 5], separator);
    for (std::size_t i = lines.size() - 4; i < lines.size(); ++i) EXPECT_EQ(lines[i], "");
    const auto first = std::find(lines.begin(), lines.end(), separator);
    EXPECT_LT(first - lines.begin() + 1, static_cast<std::ptrdiff_t>(lines.size()) - 5)
        << "the line block prints nothing";
    aclose(unit, status);
    vantu::control::reset();
    std::filesystem::remove_all(out);
}

namespace {

namespace control = vantu::control;

// A line block as an entity holds it: its size first.
std::vector<word> line_words(int number) { return {5, 2, number, std::bit_cast<word>(1.0f), 0, 0}; }

// Opens the unit in a fresh output folder; closes it and removes the folder on the way out.
struct header_unit {
    static constexpr int kUnit = 31;
    std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("drelan_proch1_" + std::to_string(::getpid()));
    header_unit()
    {
        std::filesystem::create_directories(out);
        control::set_output_directory(out.string());
        int status = 0;
        aopen(kUnit, "header.lst", 2, status);
    }
    ~header_unit()
    {
        int status = 0;
        aclose(kUnit, status);
        std::filesystem::remove_all(out);
    }
};

// The entities opened, in order (eopen and open_movmnt with their ids).
std::vector<std::string> opened()
{
    std::vector<std::string> calls;
    for (const auto& e : control::trace_entries())
        if (e.name == "eopen" || e.name == "open_movmnt") calls.push_back(e.name + " " + e.arguments);
    return calls;
}

}  // namespace

TEST(ProcHeaderListing, StoredToolPathEntriesInOrderEachToolPathWalkedOnce)
{
    control::reset();
    const int outer = control::add_entity(9, 3, line_words(1));
    const int procedure = control::add_entity(9, 4, line_words(2));
    const int move = control::add_entity(9, 8, line_words(3));
    const int text = control::add_entity(9, 8, line_words(4));
    const int inner = control::add_entity(9, 3, line_words(5));
    const int inner_procedure = control::add_entity(9, 4, line_words(6));
    // A movement entry followed by a text entry keeps no separator between them; kind 7 is skipped;
    // the inner tool path names the outer one again, which is not walked twice.
    ASSERT_TRUE(
        control::declare_tool_path_entries(outer, {}, {{1, procedure}, {4, move}, {10, text}, {2, inner}, {7, move}}));
    ASSERT_TRUE(control::declare_tool_path_entries(inner, {}, {{1, inner_procedure}, {2, outer}}));
    header_unit file;
    control::set_tracing(true);
    int status = -9;
    proch1_ent(outer, header_unit::kUnit, 0, status);
    EXPECT_EQ(status, 0);
    const auto id = [](int n) { return std::to_string(n); };
    EXPECT_EQ(opened(),
              (std::vector<std::string>{"eopen " + id(outer), "eopen " + id(procedure), "open_movmnt " + id(move),
                                        "open_movmnt " + id(text), "eopen " + id(inner), "eopen " + id(inner_procedure),
                                        "eopen " + id(outer)}));
    const std::vector<std::string> lines = control::listing_lines(header_unit::kUnit);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), proch_separator()), 5);
    int open_id = -1, position = 0;
    eopen_block_get(open_id, position);
    EXPECT_EQ(open_id, 0) << "every entity closed";
    EXPECT_TRUE(lst_state().header_list_paths.empty());
}

TEST(ProcHeaderListing, BadEntitiesGiveTheirMessageAndMinusOne)
{
    struct row {
        const char* what;
        int entity_type;                           // of the listed entity; 0: no entity
        std::vector<std::pair<int, int>> entries;  // kind, entity type (0: an id of no entity)
        const char* channel;
        std::string message;  // "#": the listed entity's id, "@": the entry's
    };
    const std::vector<row> rows = {
        {"no such entity", 0, {}, "eroutc", "proch1_ent, PROBLEMS IN OPENNING ENTITY"},
        {"a movement entity", 8, {}, "erou1c", "proch1_ent, NOT A TOOL PATH ENTITY. id = #"},
        {"a tool path of no entries", 3, {}, "eroutc", "proch1_ent, PROBLEMS IN OPENNING ENTITY"},
        {"a procedure entry of type 8", 3, {{1, 8}}, "erou1c", "proch1_ent, NOT A PROCEDURE ENTITY. id = @"},
        {"a procedure entry of no entity", 3, {{1, 0}}, "eroutc", "proch1_ent, PROBLEMS IN OPENNING ENTITY"},
        {"a movement entry of class 2", 3, {{4, 0}}, "eroutc", "proch1_ent, PROBLEMS IN OPENNING ENTITY"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        control::reset();
        const int listed = r.entity_type == 0 ? 999 : control::add_entity(9, r.entity_type, line_words(1));
        int entry_id = 0;
        if (!r.entries.empty()) {
            const auto [kind, type] = r.entries.front();
            entry_id =
                type == 0 ? control::add_entity(2, 1, line_words(2)) : control::add_entity(9, type, line_words(2));
            if (kind == 1 && type == 0) entry_id += 100;  // no entity at all
            ASSERT_TRUE(control::declare_tool_path_entries(listed, {}, {{kind, entry_id}}));
        }
        header_unit file;
        int status = 0;
        proch1_ent(listed, header_unit::kUnit, 0, status);
        EXPECT_EQ(status, -1);
        std::string expected = r.message;
        if (const auto at = expected.find('#'); at != std::string::npos)
            expected.replace(at, 1, std::to_string(listed));
        if (const auto at = expected.find('@'); at != std::string::npos)
            expected.replace(at, 1, std::to_string(entry_id));
        ASSERT_FALSE(control::lines_of(r.channel).empty());
        EXPECT_EQ(control::lines_of(r.channel).back(), expected);
        int open_id = -1, position = 0;
        eopen_block_get(open_id, position);
        EXPECT_EQ(open_id, 0);
        EXPECT_TRUE(lst_state().header_list_paths.empty());
    }
}
