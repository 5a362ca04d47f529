// The trimming example end to end: on the mill example part the tp_editor caller opens
// ALTERATIONS and trims the zig-zag by the square contour (DELETE inside, THROUGH CLEAR, TO END).
// The saved part is loaded back and judged against the square widened by the mill's radius: no
// feed move below the clearance keeps a point inside it, and each pass crossing it is cut exactly
// on its sides.
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "tests/runner/hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;
// The example part's square contour (x 140 .. 180, y 15 .. 45) widened by the radius of its mill,
// and the clearance its connections run at.
constexpr double kMillRadius = 5;
constexpr double kLowX = 140 - kMillRadius, kHighX = 180 + kMillRadius, kLowY = 15 - kMillRadius,
                 kHighY = 45 + kMillRadius;
constexpr float kClearance = 8.0f;
constexpr double kNear = 1e-3;

double depth_inside(double x, double y) { return std::min({x - kLowX, kHighX - x, y - kLowY, kHighY - y}); }

}  // namespace

TEST(TrimExample, ZigZagTrimmedByTheSquareKeepsItsInsideUncut)
{
    const fs::path out = fresh_folder("trim_example");
    const run_result run = run_hostrun(
        "--module " + test_support::test_module_dir() + "/testmod_tp_editor.so --edit 1 --part " + kSource +
        "/examples/mill_path_part.json --script " + kSource + "/examples/trim_script.json --out " + out.string());
    ASSERT_EQ(run.exit_code, 0) << run.output;
    vantu::control::load_part((out / "part.saved.json").string());
    const auto* proc = vantu::control::toolpath_line_at({1});
    ASSERT_NE(proc, nullptr);
    float feed = 0.0f;
    std::array<float, 3> at{};
    int cut_ends = 0, moves = 0;
    for (const auto& line : proc->sublist) {
        const std::vector<word>& w = line.words;
        if (w[0] == 1 && w[2] == 1) feed = word_to_real(w[4]);
        if (w[0] != 2) continue;
        const std::array<float, 3> to{word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])};
        for (int k = 0; moves > 0 && feed != -1.0f && k <= 20; ++k) {
            const double t = k / 20.0, x = at[0] + t * (to[0] - at[0]), y = at[1] + t * (to[1] - at[1]);
            const double z = at[2] + t * (to[2] - at[2]);
            EXPECT_FALSE(z < kClearance - kNear && depth_inside(x, y) > kNear) << "feed inside at " << x << ", " << y;
        }
        if (moves > 0 && to[2] == at[2] && to[2] < 0.0f)
            for (const auto& end : {at, to}) cut_ends += std::abs(depth_inside(end[0], end[1])) < kNear ? 1 : 0;
        at = to;
        ++moves;
    }
    EXPECT_EQ(cut_ends, 6) << "three passes cross the square, each cut where it enters and leaves";
    EXPECT_EQ(error_lines(read_file(out / "transcript.txt")), "");
    EXPECT_EQ(reopen_faults(out / "part.saved.json", 1, "trim_example"), "");
    vantu::control::reset();
}
