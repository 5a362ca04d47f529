// The two manual-editor examples end to end: the pocket example paused, browsed in the editor and
// resumed writes the motions of the run without the pause and leaves nothing marked; the
// tp_editor caller browses the procedure the example stored with BLANK 2END and SHOW LAYER and
// shows it whole again at EXIT.
#include "tests/runner/hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;

std::string common_arguments(const std::string& part, const std::string& script, const fs::path& out)
{
    return "--part " + kSource + "/examples/" + part + " --script " + kSource + "/examples/" + script + " --out " +
           out.string() + " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
}

// The motion blocks of the procedure's sub-list, each without its block number.
std::vector<std::string> motions(const std::string& toolpath)
{
    static const std::set<std::string> kMotionTypes{"2", "3", "5", "7", "22", "23", "27", "222", "223", "227"};
    static const std::regex kSubLine(R"(^  2\.\d+: (\d+) -?\d+(.*)$)");
    std::vector<std::string> out;
    std::istringstream lines(toolpath);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line))
        if (std::regex_match(line, m, kSubLine) && kMotionTypes.count(m[1])) out.push_back(m[1].str() + m[2].str());
    return out;
}

TEST(ManualEditExample, PausedBrowseLeavesTheToolPathAsTheRunWithoutPause)
{
    const fs::path paused = fresh_folder("manual_edit"), plain = fresh_folder("manual_edit_plain");
    const run_result edited = run_hostrun(common_arguments("pocket_part.json", "manual_edit_script.json", paused));
    ASSERT_EQ(edited.exit_code, 0) << edited.output;
    const run_result reference = run_hostrun(common_arguments("pocket_part.json", "pocket_script.json", plain));
    ASSERT_EQ(reference.exit_code, 0) << reference.output;

    const std::string transcript = read_file(paused / "transcript.txt");
    for (const char* text : {"MANUAL EDIT", "MOVE TOOL", "JUMP START  >@JUMP END    >@JUMP LAYER/Z>@JUMP BLOCK  >",
                             "BLOCK STEP  >@LAYER STEP  >", "PICK POINT", "EXECUTION:RESUME"})
        EXPECT_NE(transcript.find(text), std::string::npos) << text;
    EXPECT_EQ(transcript.find("ERRORS IN LIST"), std::string::npos);
    EXPECT_NE(read_file(paused / "module_data.txt").find("MEDZ"), std::string::npos);
    const std::string display = read_file(paused / "display.txt");
    EXPECT_EQ(display.find("attention"), std::string::npos);
    EXPECT_EQ(display.find("blank"), std::string::npos);

    const std::vector<std::string> got = motions(read_file(paused / "toolpath.txt"));
    EXPECT_FALSE(got.empty());
    EXPECT_EQ(got, motions(read_file(plain / "toolpath.txt")));
}

TEST(ManualEditExample, CallerModuleBrowsesTheStoredProcedure)
{
    const fs::path example = fresh_folder("browse_example"), out = fresh_folder("browse");
    const run_result made = run_hostrun(common_arguments("pocket_part.json", "pocket_script.json", example));
    ASSERT_EQ(made.exit_code, 0) << made.output;
    const std::string arguments = "--part " + (example / "part.saved.json").string() + " --script " + kSource +
                                  "/examples/browse_script.json --out " + out.string() + " --data " + kSource +
                                  "/data --fixed-time 2026-01-01T12:00:00 --trace --edit 1 --module " +
                                  test_support::test_module_dir() + "/testmod_tp_editor.so";
    const run_result run = run_hostrun(arguments);
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(out / "transcript.txt");
    for (const char* text : {"MOVE TOOL", "DELETE TO END", "BLANK 2END", "SHOW ALL    >@SHOW BLOCK  >@SHOW LAYER  >"})
        EXPECT_NE(transcript.find(text), std::string::npos) << text;
    EXPECT_EQ(transcript.find("ERRORS IN LIST"), std::string::npos);
    // BLANK 2END blanks from the first motion on; SHOW LAYER shows the first level again, alone.
    const std::string trace = read_file(out / "trace.txt");
    const std::regex blank(R"(ncd_set_blocks_blank\(2/1/3,2/1/(\d+),1\))"),
        shown(R"(ncd_set_blocks_blank\(2/1/3,2/1/(\d+),0\))");
    std::smatch all, level;
    ASSERT_TRUE(std::regex_search(trace, all, blank));
    ASSERT_TRUE(std::regex_search(trace, level, shown));
    EXPECT_LT(std::stoi(level[1]), std::stoi(all[1]));
    const std::string display = read_file(out / "display.txt");
    EXPECT_NE(display.find("2/1/3 "), std::string::npos);
    EXPECT_EQ(display.find("blank"), std::string::npos) << "EXIT shows the procedure whole again";
    EXPECT_EQ(display.find("attention"), std::string::npos);
}

}  // namespace
