// A milling part of the trimming tests, written through the module's block writers on the pocket
// example's saved part (examples/listings_part.json: its procedure header and NC state): a mill
// of a real tool entity, a real UCS (or none), the clearance and feeds in the NC state blocks,
// and procedure 1 whose sub-list holds a path of lines given as feed changes and points. The trim
// runs as the user runs it (trim_tp driven by a script, the contour picked as a chain of line
// entities) with the page's words stored under "ZQA1"; the result is read back as moves with the
// feed in force, and the saved part is opened again as the host's edit command opens it.
#pragma once

#include "driver/nc_state_store.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/manedt.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_tp.hpp"
#include "host/control.hpp"
#include "host/control/edit_command.hpp"
#include "host/control/script.hpp"
#include "host/vantu.hpp"
#include "listing/dsproc.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "tests/tools/tools_test_support.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace trim_part {

namespace control = vantu::control;

inline constexpr float kClear = 10.0f, kFeed = 500.0f, kRapid = -1.0f;
inline constexpr float kMillDiameter = 2.0f;
inline constexpr int kSpindleSpeed = 1000;
inline constexpr int kMill = 22;
inline constexpr int kProcedure = 1;  // the procedure of the part, its block number at the top
inline constexpr int kStartMarker = 1, kEndMarker = 2, kToolParameter = 100;
inline constexpr int kPlaneXY = 1;
inline constexpr float kArcTolerance = 0.01f;

// One step of a path: a feed change (point unused), a line to the point or, with a sweep, an arc
// in the XY plane about the centre to the point (the sweep's sign its sense, counter-clockwise
// positive).
struct step {
    bool feed_change = false;
    float feed = 0.0f;
    point3 point{};
    float sweep = 0.0f;
    std::array<float, 2> centre{};
};
using path = std::vector<step>;

// Appends a link at the clearance from the last point to p: up, across, down at feed (the feed
// blocks of a real path: rapid before the climb, the cutting feed before the plunge).
inline void link(path& p, const point3& from, const point3& to, float feed = kFeed)
{
    p.push_back({true, kRapid, {}});
    p.push_back({false, 0, {from[0], from[1], kClear}});
    p.push_back({false, 0, {to[0], to[1], kClear}});
    p.push_back({true, feed, {}});
    p.push_back({false, 0, to});
}

// A path of cutting runs (each from the point of its first step on) at their own heights, entered
// from the clearance and left to it, the runs joined by links at the clearance.
inline path path_of(const std::vector<path>& runs, float feed = kFeed)
{
    path p;
    point3 at{runs.front().front().point[0], runs.front().front().point[1], kClear};
    p.push_back({true, kRapid, {}});
    p.push_back({false, 0, at});
    p.push_back({true, feed, {}});
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (r == 0)
            p.push_back({false, 0, runs[r].front().point});
        else
            link(p, at, runs[r].front().point, feed);
        p.insert(p.end(), runs[r].begin() + 1, runs[r].end());
        at = runs[r].back().point;
    }
    p.push_back({true, kRapid, {}});
    p.push_back({false, 0, {at[0], at[1], kClear}});
    return p;
}

// The same with runs of lines through points.
inline path path_of(const std::vector<std::vector<point3>>& runs, float feed = kFeed)
{
    std::vector<path> lines;
    for (const std::vector<point3>& run : runs) {
        lines.emplace_back();
        for (const point3& q : run) lines.back().push_back({false, 0, q});
    }
    return path_of(lines, feed);
}

// The module's words a part and a trim change, given back by the fixture (they live as long as
// the module).
struct module_words {
    machine_params prm9 = PRM9();
    tp_header_state npt1 = NPT1();
    heights_state hei8 = HEI8();
    tool_position_state dsp8 = DSP8();
    move_writer_state lsp2 = LSP2();
    modal_values dsm4 = DSM4();
    mch_slot_table slots = mch_slots();
    exec_display_state display = exec_display();
    void restore() const
    {
        PRM9() = prm9;
        NPT1() = npt1;
        HEI8() = hei8;
        DSP8() = dsp8;
        LSP2() = lsp2;
        DSM4() = dsm4;
        mch_slots() = slots;
        exec_display() = display;
        trim_words() = trim_state{};
        tool_module_reset();
        control::reset();
    }
};

// What the part is made with beside its path.
struct part_options {
    bool ucs = true;          // a real UCS names the tool path's work plane (else none)
    int plunge_percent = 50;  // PRM9's plunge percentage
};

// The start point of the path: where its first line ends.
inline point3 first_point(const path& p)
{
    for (const step& s : p)
        if (!s.feed_change) return s.point;
    return {};
}

// The pocket example's saved part with the milling state and procedure 1's sub-list replaced by
// the path, its blocks numbered from 0 on, the list in the procedure's opened sub-list as the
// editor leaves it. Answers where the tool stands before the procedure.
inline point3 make_part(const path& p, const part_options& options = {})
{
    const std::filesystem::path source = DRELAN_SOURCE_DIR;
    control::reset();
    control::set_data_directories({(source / "data").string()});
    control::load_part((source / "examples" / "listings_part.json").string());
    control::clear_messages();
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    tool_module_reset();
    tool_shapes().mill.DIAMTR = kMillDiameter;
    const int tool = tools_test::make_tool(2, "MILL");
    NPT1().at(tp_header_state::kMachineType) = kMill;
    PRM9().words[machine_params::kToolId] = tool;
    PRM9().set_real(machine_params::kBaseFeed, kFeed);
    PRM9().words[machine_params::kFeedPercent3] = options.plunge_percent;
    PRM9().set_real(machine_params::kStoredFeed, -2.0f);  // none
    PRM9().words[machine_params::kUcs] = 0;
    PRM9().words[machine_params::kSpindleSpeed] = kSpindleSpeed;
    PRM9().words[machine_params::kDirection] = 1;
    if (options.ucs) {
        int ucs = 0;
        xsys4({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, ucs, status);
        PRM9().words[machine_params::kUcs] = ucs;
    }
    HEI8().set_real(heights_state::kClearance, kClear);
    HEI8().set_real(heights_state::kAbsolute, kClear);
    HEI8().at(heights_state::kClearancePlane) = 0;
    DSM4().set_real(modal_values::kFeed, kFeed);
    DSM4().at(modal_values::kTool) = tool;
    save_nc_state(status);
    // The procedure's sub-list, its machine, clearance, block count and end points.
    lacces(2, status);
    lacces(1, status);
    subls1(status);
    int lines = 0;
    llines(lines);
    lacces(2, status);
    if (lines > 0) ldelet(lines, status);
    int number = 0;
    put_marker_block(kWhereList, kStartMarker, 0.0f, 0, number++, status);
    tp_param_block tool_block;
    tool_block.number = number++;
    tool_block.prmtyp = kToolParameter;
    tool_block.int_value = tool;
    put_param_block(kWhereList, tool_block, status);
    for (const step& s : p) {
        if (s.feed_change) {
            tp_param_block block;
            block.number = number++;
            block.prmtyp = 1;
            block.is_real = 1;
            block.real_value = s.feed;
            put_param_block(kWhereList, block, status);
        } else if (s.sweep != 0.0f) {
            tp_arc_block arc;
            arc.number = number++;
            arc.plane = kPlaneXY;
            arc.angle = s.sweep;
            arc.delta = kArcTolerance;
            arc.centre = s.centre;
            arc.end = s.point;
            put_arc_block(kWhereList, 3, arc, status);
        } else {
            put_line_block(kWhereList, 2, number++, s.point, kDefaultDirection, status);
        }
    }
    put_marker_block(kWhereList, kEndMarker, 0.0f, 0, number++, status);
    clsls1(status);
    const word machine = kMill, count = number;
    TPCHNN(kWhereList, 24, 8, 0, &machine, 1, status);
    TPCHNN(kWhereList, 24, 20, 0, &count, 1, status);
    ptub12_points(status);
    gsblkn(2, 2, number, status);
    // The editor opens the procedure's movements before it trims them.
    open_proc_movmnt(2, status);
    if (status == 2) status = 0;
    list_cursor() = list_cursor_state{};
    list_cursor().cursor_proc_blkno = kProcedure;
    BLSK().words[0] = 1;
    BLSK().words[1] = kProcedure;
    EXPECT_EQ(status, 0);
    const tp_header_state& h = NPT1();
    return {h.real(tp_header_state::kHomePoint), h.real(tp_header_state::kHomePoint + 1),
            h.real(tp_header_state::kHomePoint + 2)};
}

// The contour as line entities at z 0, the id of the first (a pick of it chains the others).
inline int contour_entities(const std::vector<std::array<double, 2>>& polygon)
{
    int first = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const auto& a = polygon[i];
        const auto& b = polygon[(i + 1) % polygon.size()];
        const int id = control::add_line({a[0], a[1], 0}, {b[0], b[1], 0});
        if (i == 0) first = id;
    }
    return first;
}

// The page's words as "ZQA1" stores them: DELETE MOTIONS on the side with the connection (or the
// operation and projection choice given), CONT. OFFSET taking back the mill's radius so that the
// trim polygon is the contour itself.
inline void store_page(int side, int connection, int operation = 3, int projection = 1)
{
    const float offset = -kMillDiameter / 2;
    control::set_record("ZQA1", 2,
                        {word(connection), word(operation), 1, word(projection), word(side), real_to_word(10.0f),
                         real_to_word(offset), 0, real_to_word(10.0f), real_to_word(50.0f)});
}

// Trims by the contour (its first entity) to the end of the procedure, with the page steps given
// before FORWARD: TO END: the count of operations.
inline int trim_to_end(int contour, const std::string& page_steps = "")
{
    control::load_script_text("[{\"menu\": 1}, {\"pick\": " + std::to_string(contour) + "}, " + page_steps +
                                  "{\"page\": 12}, {\"page\": [{\"line\": 2, \"value\": \"YES\"}, "
                                  "{\"line\": 0}]}, {\"page\": 16}]",
                              "trim to end");
    int count = 0;
    trim_tp(kProcedure, 1, count);
    return count;
}

// The procedure's sub-list as it stands: each block's words.
inline std::vector<std::vector<word>> sublist()
{
    std::vector<std::vector<word>> out;
    const auto* procedure = control::toolpath_line_at({kProcedure});
    if (!procedure) return out;
    for (const auto& l : procedure->sublist) out.push_back(l.words);
    return out;
}

// The part saved (with the NC state) and opened again by the host's edit command, the editor
// opened on it and left as the caller module does: the error lines of the opening.
inline std::vector<std::string> reopen_errors()
{
    int status = 0;
    save_nc_state(status);
    const std::string saved = control::save_part_text();
    control::reset();
    control::load_part_text(saved, "saved part");
    control::clear_messages();
    if (!control::open_procedure_for_edit(kProcedure)) return {"the procedure is gone"};
    SEGSTR(kRestoreWithView, status);
    int draw = 1;
    if (status >= 0) DSPROC(draw, status);
    control::load_script_text(R"([{"page": 24}])", "leave the editor");
    const edit_perm rights{1, 1, 1, 1, 1, 1, 0};
    int start_at_end = 0, changed = 0;
    if (status >= 0) manedt(kProcedure, rights, start_at_end, 0, changed, status);
    return control::lines_of("eroutc");
}

// A motion with the feed in force and its block number; an arc (in the XY plane) with its centre
// and sweep.
struct move {
    point3 a{}, b{};
    float feed = 0.0f;
    int number = 0;
    bool arc = false;
    double cx = 0.0, cy = 0.0, sweep = 0.0;
};

// The lines and arcs of a sub-list as moves from the start point on.
inline std::vector<move> moves_of(const std::vector<std::vector<word>>& blocks, point3 at)
{
    std::vector<move> out;
    float feed = 0.0f;
    for (const std::vector<word>& w : blocks) {
        if (w[0] == 1 && w[2] == 1) feed = word_to_real(w[4]);
        if (w[0] != 2 && w[0] != 3) continue;
        const std::size_t end = w[0] == 2 ? 2 : 7;
        const point3 to{word_to_real(w[end]), word_to_real(w[end + 1]), word_to_real(w[end + 2])};
        move m{at, to, feed, w[1]};
        if (w[0] == 3) {
            m.arc = true;
            m.sweep = word_to_real(w[3]);
            m.cx = word_to_real(w[5]);
            m.cy = word_to_real(w[6]);
        }
        out.push_back(m);
        at = to;
    }
    return out;
}

}  // namespace trim_part
