// Set-up of the motion-output tests: every state block the approach, retract, fitting, UP/DOWN
// and milling-statement routines read goes back to a known state (the packages that keep host
// arrays give them back before the host is reset), a machine on which every feed mode has its own
// feed value, and the written tool path rendered as short readable steps.
#pragma once

#include "cutter/seam_fills.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/approach_block.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/twirl_words.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/surface_query_seams.hpp"
#include "toolpath/updown_buffers.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace motion_test {

// Feeds of the test machine: base 100, mode 3 at 50 %, mode 26 at 20 %, stored 77, rapid -1.
inline constexpr float kBaseFeed = 100.0f, kStoredFeed = 77.0f;

// Every package back to its load state (arrays given back) and every block the routines read to
// a known state; called before and after each test.
inline void to_load_state()
{
    fit_buffer_release();
    updown().count = 0;
    int status = 0;
    updown_close(status);
    updown() = updown_state{};
    tp_mrkr_reset();
    connect_params_block() = connect_params{};
    linnet_params_block = linnet_params{};
    fill_surface_queries(surface_query_table());
    pending_retract_record() = pending_retract{};
    link_tool_saved() = link_tool_save{};
    approach_block_data = approach_block{};
    twirl() = twirl_state{};
    set_srf_kind_mask(kAllSurfaceKinds);
    machining_type() = 0;
}

// A fresh host and the tool standing at `at`, exec display mode 1 with the clearance plane on,
// clearance 50, absolute 40, incremental 5, the clearance warning armed.
inline void fresh_at(const point3& at)
{
    to_load_state();
    vantu::control::reset();
    vantu::control::clear_messages();
    NPT1() = tp_header_state{};
    NPT1().at(tp_header_state::kMachineType) = 1;
    PRM9() = machine_params{};
    PRM9().set_real(machine_params::kBaseFeed, kBaseFeed);
    PRM9().words[machine_params::kFeedPercent3] = 50;
    PRM9().words[machine_params::kFeedPercent26] = 20;
    PRM9().set_real(machine_params::kStoredFeed, kStoredFeed);
    PRM9().words[machine_params::kToolId] = -1;
    mch_slots() = mch_slot_table{};
    mch_slots().slots[1].status = kSlotComputed;
    mch_slots().slots[1].value = 1;
    mch_slots().last_feed = kBaseFeed;
    HEI8() = heights_state{};
    HEI8().set_real(heights_state::kClearance, 50.0f);
    HEI8().set_real(heights_state::kAbsolute, 40.0f);
    HEI8().set_real(heights_state::kIncremental, 5.0f);
    HEI8().set_real(heights_state::kTopLevel, 1.0e9f);
    HEI8().at(heights_state::kClearancePlane) = 1;
    exec_display() = exec_display_state{};
    LSP2() = move_writer_state{};
    LSP2().at(move_writer_state::kStringClosed) = 1;
    LSP2().set_vec(move_writer_state::kLastPoint, at);
    LSP2().at(move_writer_state::kLastPointValid) = 1;
    DSP8() = tool_position_state{};
    DSP8().set_vec(tool_position_state::kPosition, at);
    DSP8().set_vec(tool_position_state::kAxis, kDefaultDirection);
}

inline int feed_mode() { return mch_slots().slots[1].value; }

inline std::string number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

inline std::string point_text(const word* w)
{
    return "(" + number(word_to_real(w[0])) + "," + number(word_to_real(w[1])) + "," + number(word_to_real(w[2])) + ")";
}

// The top list as steps: "F100" a feed change, "L(x,y,z)" a line, "S(x,y,z)" each point of a
// string, "A(x,y,z)" an arc to its end, "N<count>" a NURBS move of count control points,
// "M<code>" a marker, "T<text>" a text block. The lines of another level (a procedure's sub-list)
// read the same way.
inline std::vector<std::string>
steps(const std::vector<vantu::control::toolpath_line>& lines = vantu::control::toolpath_top())
{
    std::vector<std::string> out;
    for (const auto& line : lines) {
        const std::vector<word>& w = line.words;
        if (w.empty()) continue;
        switch (w[0]) {
        case 1:
            if (w.size() >= 5 && w[2] == 1) out.push_back("F" + number(word_to_real(w[4])));
            break;
        case 2: out.push_back("L" + point_text(&w[2])); break;
        case 22:
        case 222: out.push_back("L" + point_text(&w[2])); break;
        case 7:
            for (std::size_t k = 1; k + 4 <= w.size(); k += 4) out.push_back("S" + point_text(&w[k + 1]));
            break;
        case 27:
        case 227:
            for (std::size_t k = 1; k + 7 <= w.size(); k += 7) out.push_back("S" + point_text(&w[k + 1]));
            break;
        case 3:
        case 23:
        case 223: out.push_back("A" + point_text(&w[7])); break;
        case 5: out.push_back("N" + std::to_string(w[3])); break;
        case 99: out.push_back("M" + std::to_string(w[2])); break;
        case 4: {
            std::string text(static_cast<std::size_t>(4 * (w.size() - 3)), ' ');
            std::memcpy(text.data(), &w[3], text.size());
            out.push_back("T" + text.substr(0, static_cast<std::size_t>(w[2])));
            break;
        }
        default: out.push_back("B" + std::to_string(w[0]));
        }
    }
    return out;
}

inline std::vector<std::string> texts(const char* channel) { return vantu::control::texts_of(channel); }

class MotionOutput : public ::testing::Test {
protected:
    void SetUp() override { fresh_at({0, 0, 0}); }
    void TearDown() override { to_load_state(); }
};

}  // namespace motion_test
