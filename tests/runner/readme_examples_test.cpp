// The README as a newcomer uses it: after the main job of scripts/run.sh, every runner command
// the README shows runs as written, from a checkout's top folder, twice in a row (the second run
// writes over the outputs of the first); the README stays short and the performance table's
// cells stay cells.
#include "tests/runner/hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace runner_test;

const fs::path kSource = DRELAN_SOURCE_DIR;

// The commands of a text that start with `start`: a line that starts with it (after blanks),
// joined with its continuation lines (a line ending in a backslash goes on in the next one), or
// a code span in a line (`start ...`).
std::vector<std::string> commands_in(const std::string& text, const std::string& start)
{
    std::vector<std::string> commands;
    std::istringstream lines(text);
    std::string line, command;
    bool going_on = false;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const std::string stripped = line.substr(first);
        if (!going_on && stripped.rfind(start, 0) != 0) {
            for (std::size_t at = line.find("`" + start); at != std::string::npos; at = line.find("`" + start, at + 1))
                commands.push_back(line.substr(at + 1, line.find('`', at + 1) - at - 1));
            continue;
        }
        going_on = stripped.back() == '\\';
        command += going_on ? stripped.substr(0, stripped.size() - 1) : stripped;
        if (!going_on) commands.push_back(std::exchange(command, {}));
    }
    return commands;
}

// The main job's runs in scripts/run.sh (after its build), without the script's own arguments.
std::vector<std::string> main_job_commands()
{
    std::vector<std::string> commands = commands_in(read_file(kSource / "scripts/run.sh"), "./build/hostrun");
    for (std::string& c : commands)
        if (const std::size_t at = c.find(" \"$@\""); at != std::string::npos) c.erase(at, 5);
    return commands;
}

// A top folder as a fresh clone has it after ./scripts/run.sh: the examples and data of the
// source, and build/ the build of this test.
fs::path fresh_top_folder()
{
    const fs::path top = fresh_folder("readme");
    fs::create_directory_symlink(kSource / "examples", top / "examples");
    fs::create_directory_symlink(kSource / "data", top / "data");
    fs::create_directory_symlink(fs::path(test_support::test_module_dir()).parent_path(), top / "build");
    return top;
}

int run_in(const fs::path& folder, const std::string& command)
{
    const std::string line = "cd '" + folder.string() + "' && " + command + " > /dev/null 2>&1";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::size_t line_count(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The cells of the markdown table rows of a text that are longer than `most` characters.
std::vector<std::string> long_cells(const std::string& text, std::size_t most)
{
    std::vector<std::string> found;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("|", 0) != 0) continue;
        std::istringstream cells(line.substr(1));
        std::string cell;
        while (std::getline(cells, cell, '|'))
            if (cell.size() > most + 2)
                found.push_back(cell.substr(0, 60) + "... (" + std::to_string(cell.size()) + ")");
    }
    return found;
}

}  // namespace

TEST(ReadmeExamples, EveryCommandRunsTwiceAfterTheMainJob)
{
    const std::vector<std::string> main_job = main_job_commands();
    const std::vector<std::string> examples = commands_in(read_file(kSource / "README.md"), "./build/hostrun");
    ASSERT_EQ(main_job.size(), 2u) << "the example run and its listings";
    ASSERT_GE(examples.size(), 10u) << "the README's runner commands";
    const fs::path top = fresh_top_folder();
    for (const std::string& c : main_job) ASSERT_EQ(run_in(top, c), 0) << c;
    for (int pass = 1; pass <= 2; ++pass)
        for (const std::string& c : examples) EXPECT_EQ(run_in(top, c), 0) << "run " << pass << ": " << c;
    for (const std::string& c : main_job) EXPECT_EQ(run_in(top, c), 0) << "again: " << c;
}

TEST(ReadmeExamples, ReadmeAndPerformanceTableStayShort)
{
    EXPECT_LT(line_count(read_file(kSource / "README.md")), 150u);
    const std::string performance = read_file(kSource / "docs/performance.md");
    EXPECT_GT(line_count(performance), 20u) << "the performance table is there";
    EXPECT_EQ(long_cells(performance, 200), std::vector<std::string>{});
    EXPECT_EQ(long_cells("| a | " + std::string(201, 'x') + " |\n", 200).size(), 1u);
}
