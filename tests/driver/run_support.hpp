// Runs of the procedure driver on the shipped example part (a wire-EDM machine, an open tool path
// with its header block, a wire tool): the host is reset and the part loaded, the driver's
// registration and run words cleared, and the fake callbacks of driver_fakes.hpp recorded.
#pragma once

#include "driver_fakes.hpp"
#include "toolpath/nc_state_support.hpp"

#include "driver/exec_pause_menu.hpp"
#include "driver/exec_run.hpp"
#include "driver/proc_run_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/machining_type.hpp"
#include "tools/tool_utilities.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace run_test {

inline void load_example_part()
{
    vantu::control::reset();
    tp_test::fresh_nc_state_blocks();
    vantu::control::load_part(std::string(DRELAN_SOURCE_DIR) + "/examples/pocket_part.json");
    vantu::control::set_data_directories({std::string(DRELAN_SOURCE_DIR) + "/data"});
    exec_words() = exec_display_words{};
    set_display_countdown(0);
    tool_dims() = kept_mill_dims{};
}

class RunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakes::reset();
        load_example_part();
        fakes::nc_function_cell = 50;
    }
    void TearDown() override
    {
        fakes::reset();
        vantu::control::reset();
    }
    static void script(const std::string& json) { vantu::control::load_script_text(json, "test script"); }
};

inline bool has_text(std::string_view channel, std::string_view piece)
{
    for (const std::string& line : vantu::control::lines_of(channel))
        if (line.find(piece) != std::string::npos) return true;
    return false;
}

// Every message line and interaction event as one ordered text, for order checks.
inline std::string transcript()
{
    std::string all;
    for (const auto& m : vantu::control::messages()) all += m.line + "\n";
    return all;
}

inline long count_of(const std::vector<std::string>& events, const std::string& event)
{
    return std::count(events.begin(), events.end(), event);
}

}  // namespace run_test

namespace run_test {

// The values of item `code` of segment 24 of a procedure block line (empty when it has none).
inline std::vector<word> global_item(const vantu::control::toolpath_line& block, int code)
{
    const std::vector<word>& w = block.words;
    if (w.size() < 5 || w[0] != 12 || w[3] != 24) return {};
    const std::size_t end = std::min<std::size_t>(w.size(), 5 + static_cast<std::size_t>(std::max(w[4], 0)));
    for (std::size_t i = 5; i + 2 < end;) {
        const int count = w[i + 1];
        if (count < 1) break;
        if (w[i] == code)
            return std::vector<word>(w.begin() + static_cast<long>(i) + 3,
                                     w.begin() + static_cast<long>(i) + 2 + count);
        i += 2 + static_cast<std::size_t>(count);
    }
    return {};
}

// The procedure block of the run's n-th procedure (1-based): line n + 1 of the top list, after
// the header block.
inline const vantu::control::toolpath_line* procedure_block(int n) { return vantu::control::toolpath_line_at({n}); }

inline word record_word(std::string_view key)
{
    const auto record = vantu::control::get_record(key);
    return record && !record->empty() ? record->front() : -9999;
}

}  // namespace run_test
