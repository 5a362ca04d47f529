// The mill example part (examples/mill_path_part.json) is written here through the module's block
// writers and compared whole with the shipped file. It starts from the listings part (the pocket
// example's procedure header and NC state) on a milling machine (type 22) with a mill tool and a
// UCS of the world frame, which the NC state and both procedure blocks' machine tables name:
// procedure 1 is a zig-zag of feed lines joined by rapid links, procedure 2 a figure-eight in a
// plane tilted 30 degrees about X, and a square of four lines stands over the zig-zag as the
// contour to trim by. The reference-surface part (examples/refsrf_mill_part.json) is the same
// part with the zig-zag one lower, under a height grid its procedure names as part surfaces.
// When a part changes on purpose, regenerate it and review the diff:
//     DRELAN_UPDATE_GOLDEN=1 ./build/test_runner --gtest_filter='MillPathPart.*'
#include "driver/nc_state_store.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tools_test_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

namespace {

namespace fs = std::filesystem;
namespace control = vantu::control;

const fs::path kSource = DRELAN_SOURCE_DIR;
const fs::path kShipped = kSource / "examples" / "mill_path_part.json";

constexpr int kMillMachine = 22;
constexpr float kFeed = 500.0f, kRapid = -1.0f;
constexpr float kClearZ = 5.0f, kCutZ = -2.0f, kClearance = 10.0f;
constexpr int kSpindleSpeed = 1000, kSpinPositive = 1;
constexpr int kProcedureGroup = 24, kMachineItem = 8, kBlockCountItem = 20, kClearanceItem = 36;
// The procedure block's machine table: the tool and the UCS its blocks are cut with.
constexpr int kMachineTableGroup = 23, kToolItem = 10, kUcsItem = 47;
constexpr int kToolParameter = 100, kFeedParameter = 1, kSpindleParameter = 2;
constexpr int kStartMarker = 1, kEndMarker = 2;

// Writes the blocks of one procedure's sub-list, numbered from 0, each after the one before.
struct sublist_writer {
    int next = 0;
    int status = 0;
    float cut_z = kCutZ;  // the height of the zig-zag's passes

    void marker(int code) { put_marker_block(kWhereList, code, 0.0f, 0, next++, status); }
    void parameter(int type, bool is_real, int int_value, float real_value)
    {
        tp_param_block block;
        block.number = next++;
        block.prmtyp = type;
        block.is_real = is_real ? 1 : 0;
        block.int_value = int_value;
        block.real_value = real_value;
        put_param_block(kWhereList, block, status);
    }
    void feed(float value) { parameter(kFeedParameter, true, 0, value); }
    void line(float x, float y, float z) { put_line_block(kWhereList, 2, next++, {x, y, z}, {0, 0, 1}, status); }
};

// The start of every procedure: its start marker, the tool and its spindle speed, a rapid move
// above the first point and the plunge to it at feed.
void procedure_start(sublist_writer& w, int tool, float x, float y, float z)
{
    w.marker(kStartMarker);
    w.parameter(kToolParameter, false, tool, 0.0f);
    w.parameter(kSpindleParameter, false, kSpindleSpeed, 0.0f);
    w.feed(kRapid);
    w.line(x, y, kClearZ);
    w.feed(kFeed);
    w.line(x, y, z);
}

void procedure_end(sublist_writer& w, float x, float y)
{
    w.feed(kRapid);
    w.line(x, y, kClearZ);
    w.marker(kEndMarker);
}

// Seven passes along X over x 120..200 at y 0, 10, .., 60, each stepped over by a rapid link.
void zig_zag(sublist_writer& w, int tool)
{
    constexpr float kLeft = 120.0f, kRight = 200.0f, kStep = 10.0f;
    constexpr int kPasses = 7;
    procedure_start(w, tool, kLeft, 0.0f, w.cut_z);
    float x = kLeft;
    for (int pass = 0; pass < kPasses; ++pass) {
        const float y = kStep * static_cast<float>(pass);
        if (pass > 0) {
            w.feed(kRapid);
            w.line(x, y, w.cut_z);
            w.feed(kFeed);
        }
        x = pass % 2 == 0 ? kRight : kLeft;
        w.line(x, y, w.cut_z);
    }
    procedure_end(w, x, kStep * (kPasses - 1));
}

// The lemniscate x = a sin t, v = a sin t cos t about (260, 30, -2), v laid in a plane tilted 30
// degrees about X. The 24 chords from t = pi / 24 on close the figure; the chords across t = pi
// and t = 2 pi cross at its centre between their ends.
void figure_eight(sublist_writer& w, int tool)
{
    constexpr int kChords = 24;
    constexpr double kHalfWidth = 25.0, kTilt = std::numbers::pi / 6.0;
    const auto at = [&](int k, float& x, float& y, float& z) {
        const double t = 2.0 * std::numbers::pi * (k + 0.5) / kChords;
        const double v = kHalfWidth * std::sin(t) * std::cos(t);
        x = static_cast<float>(260.0 + kHalfWidth * std::sin(t));
        y = static_cast<float>(30.0 + v * std::cos(kTilt));
        z = static_cast<float>(kCutZ + v * std::sin(kTilt));
    };
    float x = 0, y = 0, z = 0;
    at(0, x, y, z);
    procedure_start(w, tool, x, y, z);
    for (int k = 1; k <= kChords; ++k) {
        at(k % kChords, x, y, z);
        w.line(x, y, z);
    }
    procedure_end(w, x, y);
}

// Replaces the sub-list of the procedure block the list stands on with the writer's blocks and
// writes into the block its machine, tool, UCS, clearance, block count (from which the numbering
// of new blocks continues) and first and last points; answers the block count.
int write_sublist(void (*fill)(sublist_writer&, int), int tool, float cut_z = kCutZ)
{
    int status = 0;
    subls1(status);
    int lines = 0;
    llines(lines);
    lacces(2, status);
    if (lines > 0) ldelet(lines, status);
    sublist_writer w;
    w.cut_z = cut_z;
    fill(w, tool);
    EXPECT_EQ(w.status, 0);
    clsls1(status);
    const word machine = kMillMachine, count = w.next, clearance = real_to_word(kClearance);
    TPCHNN(kWhereList, kProcedureGroup, kMachineItem, 0, &machine, 1, status);
    TPCHNN(kWhereList, kProcedureGroup, kBlockCountItem, 0, &count, 1, status);
    const word ucs = PRM9().words[machine_params::kUcs];
    TPCHNN(kWhereList, kMachineTableGroup, kToolItem, 0, &tool, 1, status);
    TPCHNN(kWhereList, kMachineTableGroup, kUcsItem, 0, &ucs, 1, status);
    EXPECT_EQ(status, 0);
    int item_count = 0, item_type = 0;
    std::array<word, heights_state::kFieldWords> field{};
    TPGETN(kWhereList, kProcedureGroup, kClearanceItem, item_count, item_type, field.data(), heights_state::kFieldWords,
           status);
    field[0] = clearance;
    TPCHNN(kWhereList, kProcedureGroup, kClearanceItem, item_type, field.data(), item_count, status);
    EXPECT_EQ(status, 0);
    ptub12_points(status);
    EXPECT_EQ(status, 0);
    return w.next;
}

// A second procedure block after the current one: the current block's words (its sub-list link
// left out, a new one made) under block number 2, with an empty sub-list.
void copy_procedure_block()
{
    const control::toolpath_line* first = control::toolpath_line_at({1});
    ASSERT_TRUE(first && first->link_at > 3);
    std::vector<word> words(first->words.begin(), first->words.begin() + (first->link_at - 3));
    words[1] = 2;
    int status = 0;
    lcreat(0, status);
    lputd(static_cast<int>(words.size()), words.data(), status);
    put_zero_lst(status);
    lclos(status);
    newls1(2, status);
    clsls1(status);
    ASSERT_EQ(status, 0);
}

std::string build_mill_part(float zig_zag_z = kCutZ)
{
    control::reset();
    control::set_data_directories({(kSource / "data").string()});
    control::load_part((kSource / "examples" / "listings_part.json").string());
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    tool_module_reset();
    tool_shapes().mill.DIAMTR = 10.0f;
    const int tool = tools_test::make_tool(kMill, "MILL D10");
    // The square to trim by, then the UCS the procedures are cut in: the world frame.
    for (const auto& [from, to] : {std::pair<control::point3, control::point3>{{140, 15, 0}, {180, 15, 0}},
                                   {{180, 15, 0}, {180, 45, 0}},
                                   {{180, 45, 0}, {140, 45, 0}},
                                   {{140, 45, 0}, {140, 15, 0}}})
        control::add_line(from, to);
    int ucs = 0;
    xsys4({0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, ucs, status);
    EXPECT_EQ(status, 0);
    NPT1().at(tp_header_state::kMachineType) = kMillMachine;
    NPT1().at(tp_header_state::kUcsId) = ucs;
    PRM9().words[machine_params::kToolId] = tool;
    PRM9().words[machine_params::kUcs] = ucs;
    PRM9().set_real(machine_params::kBaseFeed, kFeed);
    PRM9().words[machine_params::kSpindleSpeed] = kSpindleSpeed;
    PRM9().words[machine_params::kDirection] = kSpinPositive;
    HEI8().set_real(heights_state::kClearance, kClearance);
    DSM4().set_real(modal_values::kFeed, kFeed);
    DSM4().at(modal_values::kSpin) = kSpindleSpeed;
    DSM4().at(modal_values::kTool) = tool;
    save_nc_state(status);
    EXPECT_EQ(status, 0);

    // The tool-path header carries the machine type too.
    lacces(2, status);
    int skipped = 0;
    lskip(2 + tp_header_state::kMachineType, skipped, status);
    const word machine = kMillMachine;
    lchngd(1, &machine, status);

    lacces(1, status);
    const int first_count = write_sublist(zig_zag, tool, zig_zag_z);
    copy_procedure_block();
    const int second_count = write_sublist(figure_eight, tool);
    int counter = std::max(first_count, second_count);
    gsblkn(2, 2, counter, status);
    counter = 3;
    gsblkn(2, 1, counter, status);
    control::set_record("NPRC", control::record_kind("NPRC").value_or(1), {2});
    return control::save_part_text();
}

// The reference-surface part: the mill part with its zig-zag at z = -1 under the plane z = 0,
// on which a sphere cap (radius 25, 10 high) stands about (160, 30): a height grid of unit cells
// over x 130 .. 190, y -10 .. 70, so that the passes' ends lie off it. The procedure's part
// surfaces name the grid.
std::string build_reference_surface_part()
{
    constexpr double kX0 = 130, kY0 = -10, kCentreX = 160, kCentreY = 30, kRadius = 25, kSink = 15;
    constexpr int kNx = 61, kNy = 81;
    nlohmann::json part = nlohmann::json::parse(build_mill_part(-1.0f));
    nlohmann::json heights = nlohmann::json::array();
    for (int j = 0; j < kNy; ++j)
        for (int i = 0; i < kNx; ++i) {
            const double dx = kX0 + i - kCentreX, dy = kY0 + j - kCentreY;
            const double cap = std::sqrt(std::max(0.0, kRadius * kRadius - dx * dx - dy * dy)) - kSink;
            heights.push_back(static_cast<double>(static_cast<float>(std::max(0.0, cap))));
        }
    int id = 0;
    for (const auto& e : part["entities"]) id = std::max(id, e["id"].get<int>());
    ++id;
    part["entities"].push_back({{"id", id},
                                {"kind", "height_grid"},
                                {"origin", {kX0, kY0}},
                                {"cell_size", 1},
                                {"nodes", {kNx, kNy}},
                                {"heights", heights}});
    part["procedure_surfaces"] = {{"part", {id}}};
    return part.dump(1);
}

void matches_shipped(const std::string& written, const fs::path& shipped_path)
{
    if (std::getenv("DRELAN_UPDATE_GOLDEN")) std::ofstream(shipped_path) << written;
    std::ifstream in(shipped_path);
    std::stringstream shipped;
    shipped << in.rdbuf();
    EXPECT_EQ(written, shipped.str()) << "regenerate with DRELAN_UPDATE_GOLDEN=1 and review the diff";
}

TEST(MillPathPart, WrittenByTheModuleMatchesTheShippedFile) { matches_shipped(build_mill_part(), kShipped); }

TEST(MillPathPart, ReferenceSurfacePartMatchesTheShippedFile)
{
    matches_shipped(build_reference_surface_part(), kSource / "examples" / "refsrf_mill_part.json");
}

}  // namespace
