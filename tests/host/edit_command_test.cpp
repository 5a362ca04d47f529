// The host's modify command around a module run, played with the list calls the block writer
// makes: the procedure block the run wrote takes the old block's place, or goes when the run did
// not end normally; a run that wrote none leaves the tool path as it was.
#include "list_test_support.hpp"

namespace {

using vantu::control::edit_outcome;

// A header line, procedure block 1 with two motions, and a line after it; one procedure created.
void part_with_one_procedure()
{
    vantu::control::load_part_text(R"({"toolpath": {"counters": [2, 2], "lines": [
        {"words": [0, 0]},
        {"words": [12, 1, 50], "sublist": [{"words": [2, 1]}, {"words": [2, 2]}]},
        {"words": [7, 7]}]},
      "module_data": {"NPRC": {"kind": 1, "words": [1]}, "EDA2": {"kind": 3, "words": [0]}}})",
                                   "edit part");
}

// What the store step and the execution do: a new procedure block before the list position with
// the next block number and `motions` moves in its sub-list, the count of procedures raised and
// the recompute flag kept in EDA2 word 18. The list is left inside the sub-list.
void write_procedure(int motions, int new_block)
{
    const int number = list_test::next_block_number();
    int status = 0;
    lcreat(-1, status);
    const std::vector<word> head = {12, number, 50};
    lputd(3, head.data(), status);
    newls1(2, status);
    for (int k = 1; k <= motions; ++k) list_test::append_line({2, 100 + k});
    std::vector<word> edit_state = vantu::control::get_record("EDA2").value();
    edit_state.resize(20, 0);
    edit_state[17] = new_block;
    vantu::control::set_record("EDA2", 3, edit_state);
    vantu::control::set_record("NPRC", 1, {2});
}

std::vector<word> sublist_words(const vantu::control::toolpath_line& l)
{
    std::vector<word> out;
    for (const auto& motion : l.sublist) out.push_back(motion.words.at(1));
    return out;
}

}  // namespace

TEST(HostEditCommand, RunsBlockTakesTheOldPlaceOrGoes)
{
    struct row {
        const char* what;
        int motions;  // -1: the run writes no block
        int new_block;
        bool ended_normally;
        edit_outcome outcome;
        std::vector<word> head;  // the procedure block standing at line 2 afterwards
        std::vector<word> moves;
        word procedures;
    };
    const row rows[] = {
        {"executed", 3, 1, true, edit_outcome::replaced, {12, 2, 50}, {101, 102, 103}, 1},
        {"stored, old procedure kept", 0, 0, true, edit_outcome::replaced, {12, 2, 50}, {1, 2}, 1},
        {"suspended after a change", 0, 1, true, edit_outcome::replaced, {12, 2, 50}, {}, 1},
        {"aborted by the host", 3, 1, false, edit_outcome::discarded, {12, 1, 50}, {1, 2}, 1},
        {"cancelled", -1, 1, true, edit_outcome::kept, {12, 1, 50}, {1, 2}, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        part_with_one_procedure();
        EXPECT_FALSE(vantu::control::open_procedure_for_edit(5));
        ASSERT_TRUE(vantu::control::open_procedure_for_edit(1));
        EXPECT_EQ(vantu::control::get_record("EDA2")->at(1), 1);
        if (r.motions >= 0) write_procedure(r.motions, r.new_block);
        EXPECT_EQ(vantu::control::close_procedure_edit(r.ended_normally), r.outcome);

        ASSERT_EQ(list_test::top_size(), 3u);
        EXPECT_EQ(list_test::top_line(0).words, (std::vector<word>{0, 0}));
        EXPECT_EQ(list_test::top_line(1).words, r.head);
        EXPECT_EQ(sublist_words(list_test::top_line(1)), r.moves);
        EXPECT_EQ(list_test::top_line(2).words, (std::vector<word>{7, 7}));
        EXPECT_EQ(vantu::control::toolpath_cursor().lines, std::vector<int>{1});
        EXPECT_EQ(vantu::control::get_record("NPRC")->front(), r.procedures);
        EXPECT_EQ(vantu::control::close_procedure_edit(true), edit_outcome::not_editing);
    }
    vantu::control::reset();
}
