// The trimming's three surface choices end to end: on the reference-surface part the tp_editor
// caller trims the zig-zag by the square with PROJECT MOTIONS (BLK BELOW SRF., ALL BLK ON SRF.,
// CHECK MOTION BELOW SURF.). The saved tool path is judged against the part's height grid by an
// exact drop of the mill built apart from the module; display.txt against the saved path and the
// red marks.
#include "tests/cutter/exact_drop_reference.hpp"
#include "tests/runner/surface_part_support.hpp"
#include "tests/toolpath/motion_points.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace runner_test;
namespace control = vantu::control;
using point = std::array<float, 3>;

const fs::path kSource = DRELAN_SOURCE_DIR;
// The part's mill (a flat end of diameter 10), the trim's REF.SRF.TOL., the square.
constexpr double kMillRadius = 5.0, kTolerance = 0.1, kSlack = 1e-3;
constexpr double kLowX = 140, kHighX = 180, kLowY = 15, kHighY = 45;
constexpr float kPassZ = -1.0f;

// The stretch the trim works on: the square with the sides the passes cross.
bool inside_square(const point& p) { return p[0] >= kLowX && p[0] <= kHighX && p[1] > kLowY && p[1] < kHighY; }

std::vector<point> procedure_points(const std::string& part)
{
    control::load_part(part);
    return motion_test::motion_points(control::toolpath_line_at({1})->sublist);
}

// The distance of p from the polyline.
double off_path(const std::vector<point>& path, const point& p)
{
    double best = 1e30;
    for (std::size_t k = 0; k + 1 < path.size(); ++k)
        best = std::min(best, distance_to_segment({p[0], p[1], p[2]}, {path[k][0], path[k][1], path[k][2]},
                                                  {path[k + 1][0], path[k + 1][1], path[k + 1][2]}));
    return best;
}

// The end points of the display file's segments and points, and the marks it shows.
struct display_file {
    std::vector<point> ends;
    std::vector<int> shown;
};
display_file read_display(const fs::path& file)
{
    display_file d;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("edisp ", 0) == 0) d.shown.push_back(std::stoi(line.substr(6)));
        const std::size_t colon = line.find(": "), arrow = line.find("-> ");
        if (line.rfind("2/", 0) != 0 || colon == std::string::npos) continue;
        std::istringstream values(line.substr(arrow != std::string::npos ? arrow + 3 : colon + 2));
        point p{};
        values >> p[0] >> p[1] >> p[2];
        d.ends.push_back(p);
    }
    return d;
}

bool near(const point& a, const point& b) { return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]) < kSlack; }
bool holds(const std::vector<point>& points, const point& p)
{
    return std::any_of(points.begin(), points.end(), [&](const point& q) { return near(p, q); });
}

}  // namespace

TEST(RefsrfTrimExamples, SurfaceChoicesOnTheZigZag)
{
    enum class judged { below, all_on, check };
    struct row {
        const char* script;
        judged kind;
    };
    const fs::path part = kSource / "examples" / "refsrf_mill_part.json";
    std::ifstream part_in(part);
    const grid_surface grid = grid_of(nlohmann::json::parse(part_in));
    std::vector<double> corners;
    for (const auto& t : triangles_of(grid))
        for (const p3& c : t) corners.insert(corners.end(), c.begin(), c.end());
    const exact_drop_reference reference(cutter_profile::bull_nose(kMillRadius, 0.0));
    const auto surface = [&](const point& p) { return reference.drop(corners, p[0], p[1]); };
    const std::vector<point> original = procedure_points(part.string());

    for (const row& r : {row{"project_below", judged::below}, row{"project_on", judged::all_on},
                         row{"gouge_check", judged::check}}) {
        SCOPED_TRACE(r.script);
        const fs::path out = fresh_folder(std::string("refsrf_") + r.script);
        const run_result run = run_hostrun("--module " + std::string(DRELAN_TEST_MODULE_DIR) +
                                           "/testmod_tp_editor.so --edit 1 --part " + part.string() + " --script " +
                                           (kSource / "examples" / (std::string(r.script) + "_script.json")).string() +
                                           " --out " + out.string());
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::vector<point> path = procedure_points((out / "part.saved.json").string());
        const display_file display = read_display(out / "display.txt");
        int lifted = 0;
        for (const point& p : path) {
            if (r.kind == judged::check || !inside_square(p)) {
                EXPECT_LT(off_path(original, p), kSlack) << "kept: " << p[0] << ", " << p[1] << ", " << p[2];
                continue;
            }
            // The entry from a pass and the exit back down onto it are the pass's own points.
            if (p[2] == kPassZ && (p[0] == kLowX || p[0] == kHighX)) continue;
            const double expected = r.kind == judged::all_on ? surface(p) : std::max<double>(kPassZ, surface(p));
            EXPECT_NEAR(p[2], expected, kTolerance + kSlack) << p[0] << ", " << p[1];
            lifted += p[2] > kPassZ ? 1 : 0;
        }
        for (const point& p : original) EXPECT_TRUE(inside_square(p) || holds(path, p)) << "lost " << p[0] << ", " << p[1];
        // Every motion of the path is shown, and nothing of the range deleted stays shown.
        for (const point& p : path) EXPECT_TRUE(holds(display.ends, p)) << "not shown " << p[0] << ", " << p[1] << ", " << p[2];
        for (const point& p : display.ends) EXPECT_TRUE(holds(path, p)) << "stale " << p[0] << ", " << p[1] << ", " << p[2];
        if (r.kind != judged::check) {
            EXPECT_GT(lifted, 0);
            continue;
        }
        // The marks: a red point on the surface over each gouging point, a red line down to the pass.
        int marks = 0;
        for (int id : control::entity_ids()) {
            const auto e = control::get_entity(id);
            if (!e || !e->attributes.count("CO") || e->attributes.at("CO") != 2) continue;
            const auto shape = control::curve_display_points(id);
            const point at{float(shape.front()[0]), float(shape.front()[1]), float(shape.front()[2])};
            EXPECT_TRUE(std::find(display.shown.begin(), display.shown.end(), id) != display.shown.end());
            if (shape.size() == 1) {
                ++marks;
                EXPECT_EQ(e->attributes.at("PE"), 3);
                EXPECT_NEAR(at[2], surface(at), kTolerance + kSlack);
                EXPECT_GT(at[2], kPassZ);
            } else {
                EXPECT_EQ(e->attributes.at("PE"), 1);
                EXPECT_FLOAT_EQ(float(shape.back()[2]), kPassZ);
            }
        }
        EXPECT_GT(marks, 0);
    }
    control::reset();
}
