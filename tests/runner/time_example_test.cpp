// The time example end to end: on the part the pocket example saves and on the mill example part,
// the tp_editor caller opens SERVICE, writes the time estimate to the window and the file, then
// the block listing. FEED TIME and FAST TIME are checked against the lengths over the rates
// worked out here from the motions of procedure 1.
#include "tests/runner/hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <regex>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;

float real_of(long long w) { return std::bit_cast<float>(static_cast<std::uint32_t>(w)); }

struct minutes {
    double feed = 0.0, fast = 0.0;
};

// Minutes of feed and fast motion of procedure 1's sub-list (line 2 of the dump): FEED parameters
// set the rate (350 before any; -1 fast at 10000), lines and point strings are timed from the last
// point, arcs by radius times angle; the first point only sets the position.
minutes motion_minutes(const std::string& toolpath)
{
    static const std::regex kSubLine(R"(^  2\.\d+: (.*)$)");
    std::istringstream lines(toolpath);
    std::string line;
    std::smatch m;
    minutes out;
    double rate = 350.0;
    bool fast = false, placed = false;
    float last[3] = {};
    auto move_to = [&](const float* p, double length) {
        if (placed) (fast ? out.fast : out.feed) += length / rate;
        placed = true;
        std::copy(p, p + 3, last);
    };
    while (std::getline(lines, line)) {
        if (!std::regex_match(line, m, kSubLine)) continue;
        std::istringstream in(m[1].str());
        std::vector<long long> w;
        for (long long v; in >> v;) w.push_back(v);
        const long long type = w[0];
        if (type == 1 && w[2] == 1) {
            const float v = real_of(w[4]);
            fast = v == -1.0f;
            rate = fast ? 10000.0 : v;
        } else if (type == 2 || type == 22 || type == 7 || type == 27) {
            const std::size_t step = type == 2 || type == 7 ? 4 : 7;
            for (std::size_t i = 1; i + 3 < w.size(); i += step) {
                const float p[3] = {real_of(w[i + 1]), real_of(w[i + 2]), real_of(w[i + 3])};
                move_to(p, std::hypot(p[0] - last[0], p[1] - last[1], p[2] - last[2]));
            }
        } else if (type == 3) {  // the examples' arcs lie in XY
            const float end[3] = {real_of(w[7]), real_of(w[8]), real_of(w[9])};
            const double radius = std::hypot(end[0] - real_of(w[5]), end[1] - real_of(w[6]));
            move_to(end, std::abs(radius * real_of(w[3])));
        }
    }
    return out;
}

// Seconds of a time text "<h> HOURS <m> MINUTES <s> SECONDS" on the line starting with label.
long long shown_seconds(const std::string& text, const std::string& label)
{
    const std::regex kTime(label + R"(\s*:\s*(?:(\d+) HOURS )?(?:(\d+) MINUTES )?(\d+) SECONDS)");
    std::smatch m;
    if (!std::regex_search(text, m, kTime)) return -1;
    auto part = [&](int i) { return m[i].matched ? std::stoll(m[i].str()) : 0LL; };
    return part(1) * 3600 + part(2) * 60 + part(3);
}

TEST(TimeExample, EstimateAndBlockListOfTheExampleParts)
{
    const std::string fixed = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const fs::path pocket = fresh_folder("time_example_pocket");
    const run_result made = run_hostrun("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                        "/examples/pocket_script.json --out " + pocket.string() + fixed);
    ASSERT_EQ(made.exit_code, 0) << made.output;
    for (const fs::path& part : {pocket / "part.saved.json", fs::path(kSource) / "examples" / "mill_path_part.json"}) {
        const fs::path out = fresh_folder("time_example_" + part.stem().string());
        const run_result run = run_hostrun("--module " + test_support::test_module_dir() +
                                           "/testmod_tp_editor.so --edit 1 --part " + part.string() + " --script " +
                                           kSource + "/examples/time_script.json --out " + out.string() + fixed);
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string named = part.filename().string() + "_MACSYS1_";
        const std::string time_file = read_file(out / (named + "TIME_1")),
                          block_file = read_file(out / (named + "BLOCK_1"));
        EXPECT_NE(time_file.find("TOTAL ESTIMATED TIME FOR PROCEDURE #1"), std::string::npos) << part;
        EXPECT_NE(block_file.find("PROCEDURE BLOCK LISTING"), std::string::npos) << part;
        EXPECT_NE(block_file.find("END PROCEDURE NUMBER = 1"), std::string::npos) << part;
        const minutes expected = motion_minutes(read_file(out / "toolpath.txt"));
        EXPECT_GT(expected.feed, 0.0) << part;
        EXPECT_NEAR(double(shown_seconds(time_file, "FEED TIME")), expected.feed * 60.0, 1.0) << part;
        EXPECT_NEAR(double(shown_seconds(time_file, "FAST TIME")), expected.fast * 60.0, 1.0) << part;
        EXPECT_EQ(error_lines(read_file(out / "transcript.txt")), "") << part;
        EXPECT_EQ(reopen_faults(out / "part.saved.json", 1, "time_" + part.stem().string()), "") << part;
    }
}

}  // namespace
