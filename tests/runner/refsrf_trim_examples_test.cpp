// The trimming's three surface choices end to end: on the reference-surface part the tp_editor
// caller trims the zig-zag by the square with PROJECT MOTIONS (BLK BELOW SRF., ALL BLK ON SRF.,
// CHECK MOTION BELOW SURF.). The saved tool path is judged against the part's height grid by an
// exact drop of the mill built apart from the module; display.txt against the saved path and the
// red marks.
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "tests/cutter/exact_drop_reference.hpp"
#include "tests/runner/surface_part_support.hpp"
#include "tests/support/build_under_test.hpp"
#include "tests/toolpath/motion_points.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace runner_test;
namespace control = vantu::control;
using point = std::array<float, 3>;

const fs::path kSource = DRELAN_SOURCE_DIR;
// The part's mill (a flat end of diameter 10), the trim's REF.SRF.TOL., the passes' height.
constexpr double kMillRadius = 5.0, kTolerance = 0.1, kSlack = 1e-3;
constexpr float kPassZ = -1.0f;

// The stretch the trim works on: the square (x 140 .. 180, y 15 .. 45) widened by the mill's
// radius, with the sides the passes cross.
constexpr float kLowX = 140 - kMillRadius, kHighX = 180 + kMillRadius;
bool inside_square(const point& p)
{
    return p[0] >= kLowX && p[0] <= kHighX && p[1] > 15 - kMillRadius && p[1] < 45 + kMillRadius;
}

std::vector<point> procedure_points(const fs::path& part)
{
    control::load_part(part.string());
    return motion_test::motion_points(control::toolpath_line_at({1})->sublist);
}

// The words of procedure 1's blocks in a part.
std::vector<std::vector<std::int32_t>> procedure_blocks(const fs::path& part)
{
    control::load_part(part.string());
    std::vector<std::vector<std::int32_t>> out;
    for (const auto& line : control::toolpath_line_at({1})->sublist) out.push_back(line.words);
    return out;
}

bool on_path(const std::vector<point>& path, const point& p)
{
    for (std::size_t k = 0; k + 1 < path.size(); ++k)
        if (distance_to_segment({p[0], p[1], p[2]}, {path[k][0], path[k][1], path[k][2]},
                                {path[k + 1][0], path[k + 1][1], path[k + 1][2]}) < kSlack)
            return true;
    return false;
}
bool holds(const std::vector<point>& points, const point& p)
{
    return std::any_of(points.begin(), points.end(), [&](const point& q) {
        return std::fabs(p[0] - q[0]) + std::fabs(p[1] - q[1]) + std::fabs(p[2] - q[2]) < kSlack;
    });
}

// The ends of the display file's segments and points, and the entities it shows (edisp).
void read_display(const fs::path& file, std::vector<point>& ends, std::vector<int>& shown)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("edisp ", 0) == 0) shown.push_back(std::stoi(line.substr(6)));
        const std::size_t colon = line.find(": "), arrow = line.find("-> ");
        if (line.rfind("2/", 0) != 0 || colon == std::string::npos) continue;
        std::istringstream values(line.substr(arrow != std::string::npos ? arrow + 3 : colon + 2));
        point p{};
        values >> p[0] >> p[1] >> p[2];
        ends.push_back(p);
    }
}

}  // namespace

TEST(RefsrfTrimExamples, SurfaceChoicesOnTheZigZag)
{
    const fs::path part = kSource / "examples" / "refsrf_mill_part.json";
    std::ifstream part_in(part);
    std::vector<double> corners;
    for (const auto& t : triangles_of(grid_of(nlohmann::json::parse(part_in))))
        for (const p3& c : t) corners.insert(corners.end(), c.begin(), c.end());
    const exact_drop_reference reference(cutter_profile::bull_nose(kMillRadius, 0.0));
    const auto surface = [&](const point& p) { return reference.drop(corners, p[0], p[1]); };
    const std::vector<point> original = procedure_points(part);
    const auto original_blocks = procedure_blocks(part);
    for (const std::string script : {"project_below", "project_on", "gouge_check"}) {
        SCOPED_TRACE(script);
        const fs::path out = fresh_folder("refsrf_" + script);
        const run_result run = run_hostrun(
            "--module " + test_support::test_module_dir() + "/testmod_tp_editor.so --edit 1 --part " + part.string() +
            " --script " + (kSource / "examples" / (script + "_script.json")).string() + " --out " + out.string());
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const bool check = script == "gouge_check", all_on = script == "project_on";
        // The check writes nothing: no motion cut at the square, no parameter block.
        if (check) {
            EXPECT_EQ(procedure_blocks(out / "part.saved.json"), original_blocks);
        }
        const std::vector<point> path = procedure_points(out / "part.saved.json");
        std::vector<point> shown_ends;
        std::vector<int> shown;
        read_display(out / "display.txt", shown_ends, shown);
        int lifted = 0;
        for (const point& p : path) {
            // Outside the square, and the entry from a pass and the exit back onto it: the passes.
            if (check || !inside_square(p) || (p[2] == kPassZ && (p[0] == kLowX || p[0] == kHighX))) {
                EXPECT_TRUE(on_path(original, p)) << "off the path: " << p[0] << ", " << p[1] << ", " << p[2];
                continue;
            }
            EXPECT_NEAR(p[2], all_on ? surface(p) : std::max<double>(kPassZ, surface(p)), kTolerance + kSlack)
                << p[0] << ", " << p[1];
            lifted += p[2] > kPassZ ? 1 : 0;
        }
        EXPECT_EQ(lifted > 0, !check);
        for (const point& p : original)
            EXPECT_TRUE(inside_square(p) || holds(path, p)) << "lost " << p[0] << ", " << p[1];
        // Every motion of the path is shown, and nothing of a deleted range stays shown.
        for (const point& p : path) EXPECT_TRUE(holds(shown_ends, p)) << "not shown " << p[0] << ", " << p[1];
        for (const point& p : shown_ends) EXPECT_TRUE(holds(path, p)) << "stale " << p[0] << ", " << p[1];
        // The check's marks: a red point on the surface over a pass, a red line from it down to the pass.
        int marks = 0;
        for (int id : control::entity_ids()) {
            const auto e = control::get_entity(id);
            if (!e->attributes.count("CO") || e->attributes.at("CO") != 2) continue;
            const auto shape = control::curve_display_points(id);
            const point at{float(shape.front()[0]), float(shape.front()[1]), float(shape.front()[2])};
            EXPECT_TRUE(std::count(shown.begin(), shown.end(), id));
            EXPECT_EQ(e->attributes.at("PE"), shape.size() == 1 ? 3 : 1);
            EXPECT_NEAR(at[2], surface(at), kTolerance + kSlack);
            EXPECT_FLOAT_EQ(float(shape.back()[2]), shape.size() > 1 ? kPassZ : at[2]);
            marks += shape.size() == 1 ? 1 : 0;
        }
        EXPECT_EQ(marks > 0, check);
        EXPECT_EQ(error_lines(read_file(out / "transcript.txt")), "");
        EXPECT_EQ(reopen_faults(out / "part.saved.json", 1, "refsrf_" + script), "");
    }
    control::reset();
}
