// The main job against its golden outputs: the example pocket is created with the shipped script,
// then reopened with `--edit 1` on the part the first run saved; the transcript and the tool-path
// dump of each run are compared whole with tests/runner/golden/ (clock fixed, paths replaced by
// placeholders). The reopened procedure clears by hatch lines; hatch_moves_test.cpp judges its
// moves against the example's islands.
//
// When a change alters the outputs on purpose (new moves in the levels, new messages), regenerate
// the golden files and review their diff before committing:
//     DRELAN_UPDATE_GOLDEN=1 ./build/test_runner --gtest_filter='Golden.*'
#include "host/control.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kSource = DRELAN_SOURCE_DIR;
const fs::path kGolden = fs::path(kSource) / "tests" / "runner" / "golden";

int run_command(const std::string& command)
{
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string read_file(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with every occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Compares an output with its golden file, or writes the golden file when asked to.
void check_golden(const std::string& output, const std::string& name)
{
    const fs::path golden = kGolden / name;
    if (std::getenv("DRELAN_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(kGolden);
        std::ofstream(golden) << output;
        return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; regenerate with DRELAN_UPDATE_GOLDEN=1";
    EXPECT_EQ(output, read_file(golden)) << "differs from " << golden;
}

word first_word_of_record(const fs::path& part, const std::string& key)
{
    vantu::control::load_part(part.string());
    const auto record = vantu::control::get_record(key);
    vantu::control::reset();
    return record && !record->empty() ? record->front() : -9999;
}

}  // namespace

TEST(Golden, PocketIsCreatedAndReopenedAsItsGoldenOutputsSay)
{
    const fs::path out = fs::temp_directory_path() / ("drelan_golden_" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string common = std::string(" --data ") + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const std::string create = test_support::hostrun_path() + " --part " + kSource + "/examples/pocket_part.json" +
                               " --script " + kSource + "/examples/pocket_script.json --out " +
                               (out / "create").string() + common;
    ASSERT_EQ(run_command(create), 0);
    const fs::path saved = out / "create" / "part.saved.json";
    const std::string reopen = test_support::hostrun_path() + " --part " + saved.string() + " --script " + kSource +
                               "/examples/pocket_reopen_script.json --out " + (out / "reopen").string() + common +
                               " --edit 1";
    ASSERT_EQ(run_command(reopen), 0);

    for (const char* run : {"create", "reopen"}) {
        const std::string transcript =
            replaced(replaced(read_file(out / run / "transcript.txt"), out.string(), "<out>"), kSource, "<source>");
        EXPECT_EQ(transcript.find("left behind"), std::string::npos) << run;
        EXPECT_NE(transcript.find("OK TO EXECUTE?\" \"YES    @NO     @SUSPEND\" -> 1 (YES)"), std::string::npos) << run;
        check_golden(transcript, std::string("pocket_") + run + "_transcript.txt");
        check_golden(read_file(out / run / "toolpath.txt"), std::string("pocket_") + run + "_toolpath.txt");
    }
    EXPECT_EQ(first_word_of_record(saved, "KQ47"), 2) << "offset pocketing as the part stored it";
    EXPECT_EQ(first_word_of_record(out / "reopen" / "part.saved.json", "KQ47"), 1) << "hatch clearing after the reopen";
    fs::remove_all(out);
}
