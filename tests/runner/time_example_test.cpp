// The time example end to end: on the part the pocket example saves, the tp_editor caller opens
// SERVICE, writes the time estimate to the window and the file, then the block listing. FEED TIME
// is checked against the feed length over the feed worked out here from the source motions.
#include "tests/runner/hostrun_support.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <regex>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;

float real_of(long long w) { return std::bit_cast<float>(static_cast<std::uint32_t>(w)); }

// Minutes of feed motion of the procedure's sub-list (procedure 1 on line 2): FEED parameters set
// the rate (350 before any), lines and point strings are timed from the last point, arcs by
// radius times angle; the first point only sets the position.
double feed_minutes(const std::string& toolpath)
{
    static const std::regex kSubLine(R"(^  2\.\d+: (.*)$)");
    std::istringstream lines(toolpath);
    std::string line;
    std::smatch m;
    double rate = 350.0, minutes = 0.0;
    bool feed = true, placed = false;
    float last[3] = {};
    auto move_to = [&](const float* p, double length) {
        if (placed && feed) minutes += length / rate;
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
            feed = v > 0.0f;
            if (feed) rate = v;
        } else if (type == 2 || type == 22 || type == 7 || type == 27) {
            const std::size_t step = type == 2 || type == 7 ? 4 : 7;
            for (std::size_t i = 1; i + 3 < w.size(); i += step) {
                const float p[3] = {real_of(w[i + 1]), real_of(w[i + 2]), real_of(w[i + 3])};
                move_to(p, std::hypot(p[0] - last[0], p[1] - last[1], p[2] - last[2]));
            }
        } else if (type == 3) {
            const float end[3] = {real_of(w[7]), real_of(w[8]), real_of(w[9])};
            EXPECT_EQ(w[2], 1) << "arcs of the example lie in XY";
            const double radius = std::hypot(end[0] - real_of(w[5]), end[1] - real_of(w[6]));
            move_to(end, std::abs(radius * real_of(w[3])));
        }
    }
    return minutes;
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

TEST(TimeExample, EstimateAndBlockListOfThePocket)
{
    const fs::path example = fresh_folder("time_example_part"), out = fresh_folder("time_example");
    const std::string fixed = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const run_result made = run_hostrun("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                        "/examples/pocket_script.json --out " + example.string() + fixed);
    ASSERT_EQ(made.exit_code, 0) << made.output;
    const run_result run = run_hostrun("--module " + std::string(DRELAN_TEST_MODULE_DIR) +
                                       "/testmod_tp_editor.so --edit 1 --part " + (example / "part.saved.json").string() +
                                       " --script " + kSource + "/examples/time_script.json --out " + out.string() + fixed);
    ASSERT_EQ(run.exit_code, 0) << run.output;
    std::string time_file, block_file;
    for (const auto& f : fs::directory_iterator(out)) {
        const std::string name = f.path().filename().string();
        if (name.ends_with("_TIME_1")) time_file = read_file(f.path());
        if (name.ends_with("_BLOCK_1")) block_file = read_file(f.path());
    }
    EXPECT_NE(time_file.find("TOTAL ESTIMATED TIME FOR PROCEDURE #1"), std::string::npos);
    EXPECT_NE(block_file.find("PROCEDURE BLOCK LISTING"), std::string::npos);
    EXPECT_NE(block_file.find("END PROCEDURE NUMBER = 1"), std::string::npos);
    const double expected = feed_minutes(read_file(example / "toolpath.txt")) * 60.0;
    EXPECT_GT(expected, 0.0);
    EXPECT_NEAR(double(shown_seconds(time_file, "FEED TIME")), expected, 1.0);
    EXPECT_EQ(read_file(out / "transcript.txt").find("ERRORS IN LIST"), std::string::npos);
}

}  // namespace
