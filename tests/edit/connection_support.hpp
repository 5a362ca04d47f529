// Set-up of the tests that write connections into the editor's procedure: a mill standing at a
// point with the motion output in a known state (tests/toolpath/motion_output_support.hpp) and
// the procedure's sub-list built from block words, read back as motion steps.
#pragma once

#include "driver/proc_block_support.hpp"
#include "edit/trim/trim_state.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/toolpath/motion_output_support.hpp"

namespace connection_test {

inline constexpr int kMill = 22;

// A line block (type 2) ending at (x, 0, z).
inline std::vector<word> line_at(int number, float x, float z)
{
    return {2, number, real_to_word(x), 0, real_to_word(z)};
}

// A feed parameter block.
inline std::vector<word> feed_block(int number, float feed) { return {1, number, 1, 0, real_to_word(feed)}; }

// The procedure's sub-list as the steps of motion_test::steps.
inline std::vector<std::string> sub_steps()
{
    return motion_test::steps(vantu::control::toolpath_line_at({0})->sublist);
}

// A machine of the type standing at `at` with the sub-list of blocks, the list on block `cursor`,
// FEED of DSM4 at feed and the trimming words at their defaults; the part's entities from the
// part text when one is given.
inline void machine_with(const point3& at, const std::vector<std::vector<word>>& blocks, int cursor,
                         float feed = 100.0f, int machine = kMill, const std::string& part = "")
{
    motion_test::fresh_at(at);
    if (!part.empty()) vantu::control::load_part_text(part, "part");
    // A procedure block that names its first and last points, so that the position before it
    // can be read (the first procedure of the tool path: the home point).
    proc_test::proc_block proc;
    proc.number = editor_test::kProcBlock;
    using proc_test::r;
    proc.global(5, {r(0), r(0), r(0)}, 1).global(27, {r(0), r(0), r(1)}, 1);
    proc.global(6, {r(0), r(0), r(0)}, 1).global(28, {r(0), r(0), r(1)}, 1);
    editor_test::build_words(blocks, false, proc.words());
    // The display holds the procedure and its blocks, as after its execution.
    int status = 0;
    const float origin[3] = {0, 0, 0};
    ncd_register_block({1, editor_test::kProcBlock, 0});
    ncd_add_registered_block(status);
    ncd_move_to(origin, status);
    for (const std::vector<word>& w : blocks) {
        ncd_register_block({2, editor_test::kProcBlock, w[1]});
        ncd_add_registered_block(status);
        ncd_move_to(origin, status);
    }
    NPT1().at(tp_header_state::kMachineType) = machine;
    DSM4() = modal_values{};
    DSM4().at(modal_values::kTool) = -1;
    DSM4().set_real(modal_values::kFeed, feed);
    trim_words() = trim_state{};
    editor_test::put_cursor_on(cursor);
}

}  // namespace connection_test
