// The runner as a person uses it: the shipped example, malformed inputs, modules that cannot be
// loaded, and runs that the host ends because the script did not fit.
#include "host/control.hpp"
#include "pocket_dump_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;
const std::string kExampleScript = kSource + "/examples/pocket_script.json";

std::string test_module(const std::string& name) { return test_support::test_module_dir() + "/" + name + ".so"; }

// ---- geometry of the example's tool path ---------------------------------------------------

// The closed contours of a part file, each as a polyline fine enough for the tolerance: curves
// (lines, arcs, circles) are chained end to end; the loop of largest area is the outer contour.
struct part_contours {
    std::vector<xy> outer;
    std::vector<std::vector<xy>> islands;
    std::vector<std::array<double, 4>> island_boxes;  // min x, min y, max x, max y
};

part_contours read_contours(const std::string& part_file)
{
    std::vector<std::vector<xy>> loops = contour_loops(part_file);
    part_contours contours;
    std::sort(loops.begin(), loops.end(),
              [](const auto& a, const auto& b) { return polygon_area(a) > polygon_area(b); });
    if (loops.empty()) return contours;
    contours.outer = loops.front();
    contours.islands.assign(loops.begin() + 1, loops.end());
    for (const auto& island : contours.islands) {
        std::array<double, 4> box = {1.0e30, 1.0e30, -1.0e30, -1.0e30};
        for (const xy& q : island)
            box = {std::min(box[0], q[0]), std::min(box[1], q[1]), std::max(box[2], q[0]), std::max(box[3], q[1])};
        contours.island_boxes.push_back(box);
    }
    return contours;
}

// One cutting move of the dump, sampled in the plane.
struct cut_move {
    std::string block;
    std::vector<xy> samples;
};

// The feed lines and arcs whose both ends lie on a cutting level (the Z of a LAYER marker 99/3),
// each sampled every 0.2 or finer; the levels are returned too.
std::vector<cut_move> cutting_moves(const std::string& dump_text, std::vector<double>& levels)
{
    std::vector<cut_move> moves;
    auto on_level = [&levels](double z) {
        return std::any_of(levels.begin(), levels.end(), [z](double l) { return std::abs(l - z) < kSameLevel; });
    };
    for_each_block(dump_text, [&](const dump_block& b) {
        const std::vector<std::string>& w = b.words;
        if (b.type == 99 && w.size() >= 2 && w[0] == "3") levels.push_back(word_real(w[1]));
        cut_move move{b.number, block_samples(b)};
        if (move.samples.empty()) return;
        if (b.type != 22 && on_level(b.from[2]) && on_level(b.to[2])) moves.push_back(std::move(move));
    });
    return moves;
}

}  // namespace

// Every cutting move of the example at every level stays in the pocket: no sample of a line or an
// arc lies inside an island or outside the outer contour by more than the tolerance. The part's
// contour offsets (code 41 of its pocket block) are 0 and the wire's radius is left to the
// controller's compensation (the first lane of each level runs on the outer contour itself), so
// the rule is containment; a move from one chain to the next must leave the cutting level.
TEST(Hostrun, ExampleToolPathCutsNothingOutsideThePocket)
{
    const fs::path out = fresh_folder("geometry");
    ASSERT_EQ(run_hostrun("--part " + kExamplePart + " --script " + kExampleScript + " --out " + out.string() +
                          " --fixed-time 2026-01-01T12:00:00")
                  .exit_code,
              0);
    const part_contours contours = read_contours(kExamplePart);
    ASSERT_FALSE(contours.outer.empty());
    ASSERT_EQ(contours.islands.size(), 2u);
    std::vector<double> levels;
    const std::vector<cut_move> moves = cutting_moves(read_file(out / "toolpath.txt"), levels);
    EXPECT_EQ(levels, (std::vector<double>{6.0, 2.0, 0.0}));
    ASSERT_GT(moves.size(), 1000u);
    int faults = 0;
    for (const cut_move& move : moves) {
        for (const xy& p : move.samples) {
            std::string fault;
            if (!inside(contours.outer, p) && boundary_distance(contours.outer, p) > kGeometryTolerance)
                fault = "leaves the outer contour";
            for (std::size_t k = 0; k < contours.islands.size(); ++k) {
                const auto& box = contours.island_boxes[k];
                if (p[0] < box[0] || p[1] < box[1] || p[0] > box[2] || p[1] > box[3]) continue;
                if (inside(contours.islands[k], p) && boundary_distance(contours.islands[k], p) > kGeometryTolerance)
                    fault = "enters an island";
            }
            if (fault.empty()) continue;
            ADD_FAILURE() << "block " << move.block << " " << fault << " at (" << p[0] << ", " << p[1] << ")";
            ++faults;
            break;
        }
        if (faults >= 10) break;
    }
}

// The wire goes down only straight down: between the levels (and between the chains of a level)
// it climbs, crosses above the part and descends over the next start point; a slanting descent
// would run through the material the next level has yet to cut.
TEST(Hostrun, ExampleComesDownOnlyStraightOverTheNextStart)
{
    for (const char* script : {"pocket_script.json", "hatch_script.json"}) {
        SCOPED_TRACE(script);
        const fs::path out = fresh_folder(std::string("descents_") + script);
        ASSERT_EQ(run_hostrun("--part " + kExamplePart + " --script " + kSource + "/examples/" + script + " --out " +
                              out.string() + " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00")
                      .exit_code,
                  0);
        int descents = 0;
        for_each_block(read_file(out / "toolpath.txt"), [&descents](const dump_block& b) {
            if (b.type != 2 || b.to[2] > b.from[2] - kSameLevel) return;
            ++descents;
            EXPECT_LT(std::hypot(b.to[0] - b.from[0], b.to[1] - b.from[1]), kGeometryTolerance)
                << "block " << b.number << " slants down from z " << b.from[2] << " to z " << b.to[2];
        });
        EXPECT_GT(descents, 2) << "every level is entered from above";
    }
}

// A pocket of many round islands made from the example part: its curves become a 100 x 50
// rectangle and 18 circles of radius 2 in three rows, and the script picks them in that order.
// Answers the part and the script written into the folder.
std::array<fs::path, 2> islands_pocket(const fs::path& folder)
{
    nlohmann::json curves = rectangle(1, 0, 0, 100, 50);
    for (int k = 0; k < 18; ++k) {
        const int i = k / 3, j = k % 3;
        const double x = 10.0 + 16.0 * i + 0.62 * ((7 * i + 3 * j) % 5),
                     y = 10.0 + 15.0 * j + 2.3 * ((3 * i + 5 * j) % 7) / 7.0;
        curves.push_back(circle(100 + k, x, y, 2.0)[0]);
    }
    return pocket_files(folder, "islands", curves, nlohmann::json::array({0}));
}

// The wire rises to the link height only to come down somewhere else: a rise followed by a
// descent where it stands would be a link that goes nowhere (the tool stays down instead).
TEST(Hostrun, LinksRiseOnlyToComeDownElsewhere)
{
    const fs::path folder = fresh_folder("links");
    const std::array<fs::path, 2> islands = islands_pocket(folder);
    const std::array<std::string, 3> rows[] = {{"example", kExamplePart, kExampleScript},
                                               {"islands", islands[0].string(), islands[1].string()}};
    for (const auto& [name, part, script] : rows) {
        const fs::path out = folder / name;
        ASSERT_EQ(run_hostrun("--part " + part + " --script " + script + " --out " + out.string() + " --data " +
                              kSource + "/data --fixed-time 2026-01-01T12:00:00")
                      .exit_code,
                  0)
            << name;
        int rises = 0;
        bool risen = false;
        for_each_block(read_file(out / "toolpath.txt"), [&](const dump_block& b) {
            if (b.type != 2 && b.type != 22 && b.type != 3) return;  // markers leave the tool where it stands
            const bool vertical = std::hypot(b.to[0] - b.from[0], b.to[1] - b.from[1]) < kGeometryTolerance;
            if (risen && vertical && b.to[2] < b.from[2] - kSameLevel)
                ADD_FAILURE() << name << ": block " << b.number << " comes down where the tool rose";
            risen = vertical && b.to[2] > b.from[2] + kSameLevel;
            rises += risen ? 1 : 0;
        });
        EXPECT_GT(rises, 2) << name << ": every level is left by a link";
    }
}

TEST(Hostrun, ExampleRunsToItsNormalEndAndWritesEveryOutput)
{
    const fs::path out = fresh_folder("example");
    const run_result run = run_hostrun("--part " + kExamplePart + " --script " + kExampleScript + " --out " +
                                       out.string() + " --fixed-time 2026-01-01T12:00:00 --trace");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    for (const char* name : {"transcript.txt", "toolpath.txt", "module_data.txt", "entities.txt", "display.txt",
                             "picture.svg", "part.saved.json", "trace.txt"})
        EXPECT_TRUE(fs::exists(out / name)) << name;

    const std::string transcript = read_file(out / "transcript.txt");
    EXPECT_NE(transcript.find("[shlmsg] Program version    : 13.10.00.7"), std::string::npos);
    EXPECT_NE(transcript.find("run: normal end"), std::string::npos);
    EXPECT_EQ(transcript.find("left behind"), std::string::npos) << transcript;
    EXPECT_NE(read_file(out / "trace.txt").find("enaall() -> 0"), std::string::npos);
    const std::string picture = read_file(out / "picture.svg");
    EXPECT_NE(picture.find("<svg"), std::string::npos);
    // The lanes lie 0.1 apart: the display file's strokes must leave room between them.
    std::smatch stroke;
    const std::regex display_file(R"re(<g id="displayfile" fill="none" stroke-width="([0-9.e-]+)")re");
    ASSERT_TRUE(std::regex_search(picture, stroke, display_file));
    EXPECT_LT(std::stod(stroke[1]), 0.05);
}

// The example pocket cleared by hatch lines (method 1, hatch angle 30 degrees, linking mode 2) on
// the same part and levels: every level between its LAYER markers, no error on any channel.
TEST(Hostrun, HatchPocketWritesEveryLevelBetweenLayerMarkers)
{
    const fs::path out = fresh_folder("hatch");
    const run_result run =
        run_hostrun("--part " + kExamplePart + " --script " + kSource + "/examples/hatch_script.json --out " +
                    out.string() + " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(out / "transcript.txt");
    for (const char* channel : {"[eroutc]", "[erou1c]", "[errout]", "[host_error]", "left behind:"})
        EXPECT_EQ(transcript.find(channel), std::string::npos) << channel << "\n" << transcript;

    // The blocks of the procedure's sub-list: LAYER markers (99 with code 3 and the level's Z,
    // then code 4) with the level's line blocks between them.
    std::istringstream dump(read_file(out / "toolpath.txt"));
    const std::regex block(R"(^\s*\d+\.\d+: (\d+) \S+ (\S+)(?: (\S+))?)");
    std::vector<float> layer_z;
    int open = 0, lines_in_layer = 0;
    std::vector<int> lines_per_layer;
    for (std::string text; std::getline(dump, text);) {
        std::smatch m;
        if (!std::regex_search(text, m, block)) continue;
        const int type = std::stoi(m[1]);
        if (type == 99 && m[2] == "3") {
            EXPECT_EQ(open, 0) << "a LAYER opens inside another";
            open = 1;
            lines_in_layer = 0;
            layer_z.push_back(std::bit_cast<float>(static_cast<std::int32_t>(std::stol(m[3]))));
        } else if (type == 99 && m[2] == "4") {
            EXPECT_EQ(open, 1) << "a LAYER closes that was not open";
            open = 0;
            lines_per_layer.push_back(lines_in_layer);
        } else if (open && type == 2) {
            ++lines_in_layer;
        }
    }
    ASSERT_EQ(layer_z.size(), 3u);
    ASSERT_EQ(lines_per_layer.size(), 3u);
    EXPECT_GT(layer_z[0], layer_z[1]);
    EXPECT_GT(layer_z[1], layer_z[2]);
    for (int count : lines_per_layer) EXPECT_GT(count, 10);
    EXPECT_NE(read_file(out / "picture.svg").find("<svg"), std::string::npos);
}

TEST(Hostrun, SavedPartLoadsBackToTheSameState)
{
    const fs::path out = fresh_folder("saved");
    ASSERT_EQ(
        run_hostrun("--part " + kExamplePart + " --script " + kExampleScript + " --out " + out.string()).exit_code, 0);
    vantu::control::load_part((out / "part.saved.json").string());
    const std::string again = vantu::control::save_part_text() + "\n";
    EXPECT_EQ(again, read_file(out / "part.saved.json"));
    vantu::control::reset();
}

TEST(Hostrun, MalformedInputsGiveOneLineNamingTheFileAndPlace)
{
    const fs::path folder = fresh_folder("malformed");
    struct row {
        const char* what;
        std::string part_text;
        std::string script_text;
        const char* expected_place;
    };
    const row rows[] = {
        {"part not JSON", "{\"entities\": [", "[]", "not valid JSON"},
        {"part field", "{\"entities\": [{\"id\": 1, \"kind\": \"circle\", \"centre\": [0,0,0], \"radius\": -2}]}", "[]",
         "\"radius\""},
        {"part section", "{\"no_such_section\": 1}", "[]", "no_such_section"},
        {"script step", "{}", "[{\"menu\": 1}, {\"nonsense\": 2}]", "step 2"},
        {"part number beyond a double",
         "{\"entities\": [{\"id\": 1, \"kind\": \"circle\", \"centre\": [0,0,0], \"radius\": 1e400}]}", "[]",
         "at byte 76"},
        {"script number beyond a double", "{}", "[{\"menu\": 1},\n {\"menu\": 1e400}]", "line 2"},
        {"matrix beyond a float",
         "{\"nc_params\": {\"transformations\": [{\"id\": 1, \"matrix\": [1e39,0,0,0,1,0,0,0,1], "
         "\"translation\": [0,0,0]}]}}",
         "[]", "matrix"},
        {"translation beyond a float",
         "{\"nc_params\": {\"transformations\": [{\"id\": 1, \"matrix\": [1,0,0,0,1,0,0,0,1], "
         "\"translation\": [0,0,-1e39]}]}}",
         "[]", "translation"},
        {"model origin beyond a float", "{\"nc_state\": {\"model_origin\": [0, 1e39, 0]}}", "[]", "model_origin"},
        {"boolean for a number",
         "{\"entities\": [{\"id\": 1, \"kind\": \"line\", \"start\": [0,0,0], \"end\": [1,0,0]}], "
         "\"curve_sets\": [{\"set\": 1, \"curves\": [[1, true, 1, 1]]}]}",
         "[]", "a number is expected"},
        {"curve sets not an array", "{\"curve_sets\": {\"set\": 1}}", "[]", "an array of sets"},
        {"curve set naming a missing entity", "{\"curve_sets\": [{\"set\": 1, \"curves\": [[7, 0, 1, 1]]}]}", "[]",
         "entity 7 does not exist"},
        {"arc beyond the model extent",
         "{\"entities\": [{\"id\": 1, \"kind\": \"circle\", \"centre\": [0,0,0], \"radius\": 1e308}]}", "[]",
         "entities[0] \"radius\": beyond the model extent"},
        {"line beyond the model extent",
         "{\"entities\": [{\"id\": 1, \"kind\": \"line\", \"start\": [0,0,0], \"end\": [1e308,0,0]}]}", "[]",
         "entities[0] \"end\": beyond the model extent"},
        {"height grid short of a height",
         "{\"entities\": [{\"id\": 1, \"kind\": \"height_grid\", \"origin\": [0,0], \"cell_size\": 1, "
         "\"nodes\": [2,2], \"heights\": [0,0,null]}]}",
         "[]", "entities[0] \"heights\": holds 3 heights, 4 expected"},
        {"height grid of cell size 0",
         "{\"entities\": [{\"id\": 1, \"kind\": \"height_grid\", \"origin\": [0,0], \"cell_size\": 0, "
         "\"nodes\": [2,2], \"heights\": [0,0,0,0]}]}",
         "[]", "entities[0] \"cell_size\": must be a finite number above 0"},
        {"mesh without its file", "{\"entities\": [{\"id\": 1, \"kind\": \"mesh\", \"file\": \"no_such.off\"}]}", "[]",
         "entities[0] \"file\": \"no_such.off\" is not found by the data-file search"},
    };
    for (const row& r : rows) {
        const fs::path part = write_text(folder / "part.json", r.part_text);
        const fs::path script = write_text(folder / "script.json", r.script_text);
        const run_result run = run_hostrun("--part " + part.string() + " --script " + script.string() + " --out " +
                                           (folder / "out").string());
        EXPECT_EQ(run.exit_code, 3) << r.what << ": " << run.output;
        const bool names_file = run.output.find(part.string()) != std::string::npos ||
                                run.output.find(script.string()) != std::string::npos;
        EXPECT_TRUE(names_file) << r.what << ": " << run.output;
        EXPECT_NE(run.output.find(r.expected_place), std::string::npos) << r.what << ": " << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << r.what << ": " << run.output;
    }
}

// The README's reopen of the example's procedure as hatch clearing leaves the procedure once,
// at the line the old block held, with the new motions; an edit whose run writes no procedure
// (every question answered with its exit) leaves the tool path as it was.
TEST(Hostrun, EditRunLeavesTheProcedureOnceInItsPlace)
{
    const fs::path folder = fresh_folder("edit");
    const std::string common = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    ASSERT_EQ(run_hostrun("--part " + kExamplePart + " --script " + kExampleScript + " --out " +
                          (folder / "created").string() + common)
                  .exit_code,
              0);
    const std::string created = (folder / "created" / "part.saved.json").string();
    vantu::control::load_part(created);
    const std::vector<vantu::control::toolpath_line> before = vantu::control::toolpath_top();
    const auto is_procedure = [](const vantu::control::toolpath_line& l) {
        return !l.words.empty() && l.words[0] == 12;
    };
    const auto place =
        static_cast<std::size_t>(std::find_if(before.begin(), before.end(), is_procedure) - before.begin());
    ASSERT_LT(place, before.size());

    struct row {
        const char* what;
        std::string script;
        bool replaced;
    };
    for (const row& r : {row{"reopened", " --script " + kSource + "/examples/pocket_reopen_script.json", true},
                         row{"cancelled", "", false}}) {
        const fs::path out = folder / r.what;
        const run_result run =
            run_hostrun("--part " + created + r.script + " --out " + out.string() + common + " --edit 1");
        ASSERT_EQ(run.exit_code, 0) << r.what << ": " << run.output;
        vantu::control::load_part((out / "part.saved.json").string());
        const std::vector<vantu::control::toolpath_line>& after = vantu::control::toolpath_top();
        ASSERT_EQ(after.size(), before.size()) << r.what;
        EXPECT_EQ(std::count_if(after.begin(), after.end(), is_procedure), 1) << r.what;
        ASSERT_TRUE(is_procedure(after[place])) << r.what;
        EXPECT_EQ(after[place].words[1] != before[place].words[1], r.replaced) << r.what << ": block number";
        EXPECT_FALSE(after[place].sublist.empty()) << r.what;
        EXPECT_EQ(after[place].sublist != before[place].sublist, r.replaced) << r.what << ": motions";
        EXPECT_EQ(vantu::control::get_record("NPRC")->front(), 1) << r.what;
    }
    vantu::control::reset();
}

TEST(Hostrun, BadCommandLinesAndModulesAreRefused)
{
    const fs::path out = fresh_folder("refused");
    EXPECT_EQ(run_hostrun("--script x.json").exit_code, 2);
    EXPECT_EQ(run_hostrun("--part " + kExamplePart + " --out " + out.string() + " --bogus 1").exit_code, 2);
    EXPECT_EQ(
        run_hostrun("--part " + kExamplePart + " --out " + out.string() + " --module /no/such/module.so").exit_code, 4);
    EXPECT_EQ(run_hostrun("--part " + kExamplePart + " --out " + out.string() + " --module " +
                          test_module("testmod_no_entries"))
                  .exit_code,
              4);
    EXPECT_EQ(run_hostrun("--part " + kExamplePart + " --out " + out.string() + " --fixed-time yesterday").exit_code,
              2);
}

TEST(Hostrun, ScriptThatDoesNotFitEndsTheRunWithItsOwnCode)
{
    const fs::path folder = fresh_folder("scripted");
    const std::string module = " --module " + test_module("testmod_asks_forever");
    const std::string part = " --part " + kExamplePart;

    // The module asks a menu; a scripted answer of STOP ends it normally.
    const fs::path stop = write_text(folder / "stop.json", "[{\"menu\": 2}]");
    EXPECT_EQ(run_hostrun(part + module + " --script " + stop.string() + " --out " + (folder / "a").string()).exit_code,
              0);

    // A question step where the module asks a menu is a mismatch.
    const fs::path wrong = write_text(folder / "wrong.json", "[{\"question\": \"yes\"}]");
    const run_result mismatch =
        run_hostrun(part + module + " --script " + wrong.string() + " --out " + (folder / "b").string());
    EXPECT_EQ(mismatch.exit_code, 5) << mismatch.output;
    EXPECT_NE(read_file(folder / "b" / "transcript.txt").find("script mismatch"), std::string::npos);

    // Without steps every menu gets its exit answer until the host gives up on the run.
    const fs::path empty = write_text(folder / "empty.json", "[]");
    const run_result exhausted =
        run_hostrun(part + module + " --script " + empty.string() + " --out " + (folder / "c").string());
    EXPECT_EQ(exhausted.exit_code, 6) << exhausted.output;
}

// A run whose execution failed ends with the failure code, its outputs written and the run line
// naming the error; the same script with an execution that succeeds ends normally.
TEST(Hostrun, FailedExecutionEndsWithTheFailureCode)
{
    const fs::path folder = fresh_folder("failed");
    const fs::path script =
        write_text(folder / "script.json", R"({"steps": [{"menu": "YES", "expect": "OK TO EXECUTE?"}]})");
    const struct {
        const char* module;
        int code;
        const char* ending;
    } rows[] = {{"testmod_failing_execute", 8, "run: module failure: DRAWPK - ERROR DURING TOOL PATH CREATION"},
                {"testmod_run_double", 0, "run: normal end"}};
    for (const auto& r : rows) {
        const fs::path out = folder / r.module;
        const run_result run = run_hostrun("--part " + kExamplePart + " --script " + script.string() + " --module " +
                                           test_module(r.module) + " --out " + out.string());
        EXPECT_EQ(run.exit_code, r.code) << r.module << ": " << run.output;
        EXPECT_NE(read_file(out / "transcript.txt").find(r.ending), std::string::npos) << r.module;
        EXPECT_TRUE(fs::exists(out / "toolpath.txt")) << r.module;
    }
}

// The main job creates a pocket procedure and saves the run's state (the count of procedures
// created among it); with the tool path closed the run only says so and saves nothing.
TEST(Hostrun, ExampleCreatesOnlyWithAnOpenToolPath)
{
    const fs::path folder = fresh_folder("creating");
    struct row {
        const char* what;
        bool open;
    };
    for (const row& r : {row{"open", true}, row{"closed", false}}) {
        std::string part = read_file(kExamplePart);
        if (!r.open) part.replace(part.find("\"verbos\": 1"), 11, "\"verbos\": 1, \"tp_open\": 0");
        const fs::path part_file = write_text(folder / (std::string(r.what) + ".json"), part);
        const fs::path out = folder / r.what;
        const run_result run =
            run_hostrun("--part " + part_file.string() + " --script " + kExampleScript + " --out " + out.string());
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string transcript = read_file(out / "transcript.txt");
        EXPECT_EQ(transcript.find("CREATING") != std::string::npos, r.open) << r.what;
        EXPECT_EQ(transcript.find("TOOL PATH IS NOT OPEN") != std::string::npos, !r.open) << r.what;
        EXPECT_EQ(read_file(out / "module_data.txt").find("\"NPRC\"") != std::string::npos, r.open) << r.what;
    }
}

// A whole creation run through the real driver with an execution the user stops.
TEST(Hostrun, StoppedExecutionIsFinishedAsSuspendedAndTheRunEnds)
{
    const fs::path folder = fresh_folder("stopped");
    const fs::path script =
        write_text(folder / "stop.json",
                   R"({"steps": [{"menu": "YES", "expect": "OK TO EXECUTE?"}, {"key": "SPACE", "after": 12},
            {"page": [{"line": 1, "value": "EXECUTION:STOP"}, {"line": 0}]},
            {"question": "yes", "expect": "STOP EXECUTION?"}]})");
    const fs::path out = folder / "out";
    const run_result run =
        run_hostrun("--part " + kExamplePart + " --script " + script.string() + " --module " +
                    test_module("testmod_run_double") + " --out " + out.string() + " --fixed-time 2026-01-01T12:00:00");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(out / "transcript.txt");
    std::size_t at = 0;
    for (const char* piece : {"CREATING", "OK TO EXECUTE?", "PROCEDURE EXECUTION START TIME  :", "<SPACE> TO PAUSE",
                              "EXECUTION:RESUME@EXECUTION:BY STEP@EXECUTION:STOP", "MANUAL EDIT", "STOP EXECUTION?",
                              "EXECUTION END", "PROCEDURE EXECUTION END TIME    :", "PROCEDURE NUMBER", "IS CREATED"}) {
        const std::size_t found = transcript.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << " after position " << at << "\n" << transcript;
        at = found;
    }
    EXPECT_EQ(transcript.find("left behind"), std::string::npos) << transcript;

    vantu::control::load_part((out / "part.saved.json").string());
    const vantu::control::toolpath_line* block = vantu::control::toolpath_line_at({1});
    ASSERT_NE(block, nullptr);
    // Segments 24, 27, 23 and 25 in order, and item 20 of segment 24 the sub-list's block count.
    const std::vector<word>& w = block->words;
    ASSERT_GE(w.size(), 5u);
    EXPECT_EQ(w[0], 12);
    std::vector<word> segments;
    for (std::size_t i = 3; i + 1 < w.size() && segments.size() < 4; i += 2 + static_cast<std::size_t>(w[i + 1]))
        segments.push_back(w[i]);
    EXPECT_EQ(segments, (std::vector<word>{24, 27, 23, 25}));
    bool found_count = false;
    for (std::size_t i = 5; i + 3 < w.size() && !found_count; i += 2 + static_cast<std::size_t>(w[i + 1]))
        if (w[i] == 20) {
            EXPECT_EQ(w[i + 3], static_cast<word>(block->sublist.size()));
            found_count = true;
        }
    EXPECT_TRUE(found_count);
    EXPECT_EQ(vantu::control::get_record("NPRC")->front(), 1);
    EXPECT_EQ(vantu::control::get_record("UITR")->front(), 0);
    vantu::control::reset();
}

TEST(Hostrun, PartWithoutToolsGetsOneCreatedAndKeepsIt)
{
    const fs::path out = fresh_folder("new_tool");
    const run_result run = run_hostrun("--part " + kSource + "/examples/new_tool_part.json --script " + kSource +
                                       "/examples/new_tool_script.json --out " + out.string());
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(out / "transcript.txt");
    for (const char* line : {"[userrc] WARNING! NO SUITABLE TOOL EXISTS", "CREATE TOOL? AGIE TOOL\" -> 1 (yes)",
                             "[usrer6] NOTE: NEW AGIE TOOL CREATED: WIRE 0.25", "run: normal end"})
        EXPECT_NE(transcript.find(line), std::string::npos) << line << "\n" << transcript;
    const std::string entities = read_file(out / "entities.txt");
    EXPECT_NE(entities.find("class 20 type 5: words CO=1 PE=2"), std::string::npos) << entities;
    EXPECT_NE(entities.find("class 14 type 9"), std::string::npos) << entities;
    EXPECT_EQ(entities.find("class 20 type 14"), std::string::npos) << "only mills get a holder";

    const fs::path again = fresh_folder("new_tool_again");
    const fs::path no_script = write_text(again / "none.json", "[]");
    ASSERT_EQ(run_hostrun("--part " + (out / "part.saved.json").string() + " --script " + no_script.string() +
                          " --out " + again.string())
                  .exit_code,
              0);
    EXPECT_EQ(read_file(again / "transcript.txt").find("CREATE TOOL?"), std::string::npos);
}
