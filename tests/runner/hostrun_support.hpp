// Running hostrun from the runner tests: the run with its exit code and output, the files it
// writes, and fresh folders for them.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/support/build_under_test.hpp"

namespace runner_test {

namespace fs = std::filesystem;

struct run_result {
    int exit_code = -1;
    std::string output;  // standard output and error together
};

// Runs hostrun with the given arguments; the output folder is a fresh temporary folder.
inline run_result run_hostrun(const std::string& arguments)
{
    const std::string command = test_support::hostrun_path() + " " + arguments + " 2>&1";
    run_result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) result.output += buffer;
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string read_file(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The folders a test process made, removed when it ends. The process id in their names keeps
// test runs of several checkouts on one machine from writing into each other's folders.
struct made_folders {
    std::vector<fs::path> paths;
    ~made_folders()
    {
        for (const fs::path& p : paths) {
            std::error_code ignored;
            fs::remove_all(p, ignored);
        }
    }
};

inline fs::path fresh_folder(const std::string& name)
{
    static made_folders made;
    fs::path folder = fs::temp_directory_path() / ("hostrun_test_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    made.paths.push_back(folder);
    return folder;
}

// The error lines of a transcript (the error channels and the host's own diagnostics).
inline std::string error_lines(const std::string& transcript)
{
    static const std::regex kErrorLine(R"(^\[(er\w+|host_error)\].*$)", std::regex::multiline);
    std::string found;
    for (std::sregex_iterator it(transcript.begin(), transcript.end(), kErrorLine), end; it != end; ++it)
        found += it->str() + "\n";
    return found;
}

// Opens a procedure of a saved part again in the manual editor (the tp_editor caller module) and
// leaves it with EXIT: the part must open as it did before it was saved. Answers the run's output
// when the run did not end normally, else the error lines of its transcript (empty when sound).
inline std::string reopen_faults(const fs::path& part, int procedure, const std::string& name)
{
    const fs::path out = fresh_folder("reopen_" + name);
    const fs::path script = out / "exit_script.json";
    std::ofstream(script) << R"({"steps": [{"page": 24, "expect": "EXIT"}]})";
    const run_result run = run_hostrun("--module " + test_support::test_module_dir() + "/testmod_tp_editor.so --edit " +
                                       std::to_string(procedure) + " --part " + part.string() + " --script " +
                                       script.string() + " --out " + (out / "run").string());
    if (run.exit_code != 0) return "exit code " + std::to_string(run.exit_code) + ": " + run.output;
    return error_lines(read_file(out / "run" / "transcript.txt"));
}

}  // namespace runner_test
