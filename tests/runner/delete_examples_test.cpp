// The two deletion examples end to end with the editor's caller module, judged against the
// motions of their source: DELETE on the part the pocket example saves removes the range from
// the anchor to the cursor, both included, and bridges it by a retract, a move at the clearance
// and an approach onto the range's last point; DELETE LOOP on the mill part's figure-eight cuts
// its second loop out, so that the figure runs straight through its crossing and no longer
// crosses itself.
#include "tests/runner/hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <regex>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;

struct motion {
    int type = 0, number = 0;
    std::vector<std::int32_t> words;  // the block's words from its type on
    std::array<double, 3> end{};
};

double real_of(std::int32_t w)
{
    float f = 0.0f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}

// The motion blocks of the sub-list of top-level line `top` (1-based) in a tool-path dump.
std::vector<motion> motions(const std::string& toolpath, int top)
{
    static const std::regex kSubLine(R"(^  (\d+)\.\d+: (.*)$)");
    std::vector<motion> out;
    std::istringstream lines(toolpath);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!std::regex_match(line, m, kSubLine) || std::stoi(m[1]) != top) continue;
        motion mo;
        std::istringstream words(m[2].str());
        for (long w = 0; words >> w;) mo.words.push_back(static_cast<std::int32_t>(w));
        mo.type = mo.words.at(0);
        if (mo.type != 2 && mo.type != 3 && mo.type != 22) continue;
        mo.number = mo.words.at(1);
        const std::size_t at = mo.type == 3 ? 7 : 2;
        for (std::size_t k = 0; k < 3; ++k) mo.end[k] = real_of(mo.words.at(at + k));
        out.push_back(mo);
    }
    return out;
}

std::string arguments(const std::string& part, const std::string& script, int procedure, const fs::path& out)
{
    return "--module " + test_support::test_module_dir() + "/testmod_tp_editor.so --edit " + std::to_string(procedure) +
           " --part " + part + " --script " + kSource + "/examples/" + script + " --out " + out.string() + " --data " +
           kSource + "/data --fixed-time 2026-01-01T12:00:00";
}

std::vector<motion> run_example(const std::string& part, const std::string& script, int procedure, int top)
{
    const fs::path out = fresh_folder(script.substr(0, script.find('.')));
    const run_result run = run_hostrun(arguments(part, script, procedure, out));
    EXPECT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(out / "transcript.txt");
    EXPECT_EQ(transcript.find("ERRORS"), std::string::npos) << transcript;
    return motions(read_file(out / "toolpath.txt"), top);
}

bool near(const std::array<double, 3>& a, const std::array<double, 3>& b, double tolerance = 1e-3)
{
    return std::abs(a[0] - b[0]) <= tolerance && std::abs(a[1] - b[1]) <= tolerance &&
           std::abs(a[2] - b[2]) <= tolerance;
}

// Whether the XY projections of segments ab and cd cross (touching ends excluded).
bool segments_cross(const std::array<double, 3>& a, const std::array<double, 3>& b, const std::array<double, 3>& c,
                    const std::array<double, 3>& d)
{
    const auto side = [](const std::array<double, 3>& p, const std::array<double, 3>& q,
                         const std::array<double, 3>& r) {
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
    };
    constexpr double kTouch = 1e-6;
    return side(a, b, c) * side(a, b, d) < -kTouch && side(c, d, a) * side(c, d, b) < -kTouch;
}

TEST(DeleteExamples, RangeAndLoopGoneFromTheSourceMotions)
{
    // DELETE: the pocket example's first procedure, anchor on its 6th motion, cursor 20 on.
    const fs::path made = fresh_folder("delete_source");
    const run_result example = run_hostrun("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                           "/examples/pocket_script.json --out " + made.string() + " --data " +
                                           kSource + "/data --fixed-time 2026-01-01T12:00:00");
    ASSERT_EQ(example.exit_code, 0) << example.output;
    const std::vector<motion> source = motions(read_file(made / "toolpath.txt"), 2);
    const std::vector<motion> got = run_example((made / "part.saved.json").string(), "delete_script.json", 1, 2);
    constexpr std::size_t kAnchor = 5, kCursor = 25, kBridge = 3;
    ASSERT_GT(source.size(), kCursor + 1);
    ASSERT_EQ(got.size(), source.size() - (kCursor - kAnchor + 1) + kBridge);
    for (std::size_t k = 0; k < kAnchor; ++k) EXPECT_EQ(got[k].words, source[k].words) << k;
    for (std::size_t k = kCursor + 1; k < source.size(); ++k)
        EXPECT_EQ(got[k - (kCursor - kAnchor + 1) + kBridge].words, source[k].words) << k;
    const motion &retract = got[kAnchor], &across = got[kAnchor + 1], &approach = got[kAnchor + 2];
    const std::array<double, 3> before = source[kAnchor - 1].end, reentry = source[kCursor].end;
    EXPECT_TRUE(near({before[0], before[1], retract.end[2]}, retract.end)) << "a retract straight up";
    EXPECT_GT(retract.end[2], before[2]);
    EXPECT_TRUE(near({reentry[0], reentry[1], retract.end[2]}, across.end)) << "a move across at the clearance";
    EXPECT_TRUE(near(reentry, approach.end)) << "an approach onto the range's last point";

    // DELETE LOOP: the mill part's figure-eight, chords 7 to 30 after the rapid move 4 and the
    // plunge 6; the chords 18 and 30 cross at (260, 30, -2).
    const std::string mill = kSource + "/examples/mill_path_part.json";
    const std::vector<motion> eight = run_example(mill, "delete_loop_script.json", 2, 3);
    constexpr int kFirstChord = 7, kLastChord = 30, kCrossingChord = 18;
    std::vector<int> numbers;
    for (const motion& m : eight) numbers.push_back(m.number);
    const std::vector<int> kept{4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 30, 32};
    EXPECT_EQ(numbers, kept);
    const auto cut =
        std::find_if(eight.begin(), eight.end(), [](const motion& m) { return m.number == kCrossingChord; });
    ASSERT_NE(cut, eight.end());
    EXPECT_TRUE(near(cut->end, {260.0, 30.0, -2.0})) << "the first crossing chord ends at the crossing";
    std::vector<std::array<double, 3>> figure;
    for (const motion& m : eight)
        if (m.number >= kFirstChord - 1 && m.number <= kLastChord) figure.push_back(m.end);
    for (std::size_t i = 0; i + 1 < figure.size(); ++i)
        for (std::size_t j = i + 2; j + 1 < figure.size(); ++j)
            EXPECT_FALSE(segments_cross(figure[i], figure[i + 1], figure[j], figure[j + 1])) << i << " " << j;
}

}  // namespace
