// The surface projection of a trim range judged against the reference surfaces: a plane z = 0
// with a sphere cap on it, as a height grid. Every new point is judged by an exact drop of the
// mill onto the model's triangles, built apart from the module; the blocks outside the range, the
// list after a check or a failure, the red marks and the messages are judged as the user sees
// them.
#include "edit/trim/project_on_surf.hpp"
#include "edit/trim/trim_action.hpp"
#include "edit/trim/trim_cache.hpp"
#include "nc_services/connect_params.hpp"
#include "surfaces/allsrf_least.hpp"
#include "surfaces/tri_store_least.hpp"
#include "tests/cutter/exact_drop_reference.hpp"
#include "tests/edit/connection_support.hpp"
#include "tests/edit/trim_support.hpp"
#include "tests/toolpath/motion_points.hpp"
#include "tests/tools/tools_test_support.hpp"
#include "toolpath/tp_list_access.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace control = vantu::control;

namespace {

constexpr float kTolerance = 0.01f;
constexpr double kSlack = 1e-3;  // the drop's rounding to single precision
constexpr float kDiameter = 4.0f;
constexpr int kBelow = 3, kAllOn = 4, kCheck = 5;

// The plane z = 0 over -20 .. 40 by -20 .. 20 in unit cells (entity 3), a cap of a sphere of
// radius 8 standing 4 high about (10, 0).
std::string surfaces_part()
{
    std::string heights;
    for (int j = 0; j <= 40; ++j)
        for (int i = 0; i <= 60; ++i) {
            const double x = i - 30.0, y = j - 20.0;
            heights +=
                (j + i ? ", " : "") + std::to_string(std::max(0.0, std::sqrt(std::max(0.0, 64 - x * x - y * y)) - 4));
        }
    return R"({"entities": [{"id": 3, "kind": "height_grid", "origin": [-20, -20], "cell_size": 1,
        "nodes": [61, 41], "heights": [)" +
           heights + "]}]}";
}

std::vector<word> line(int number, float x, float y, float z)
{
    return {2, number, real_to_word(x), real_to_word(y), real_to_word(z)};
}

// A lead-in to (-10, 0, z), the range 3 .. 5 of three lines at height z over the cap and the
// plane and beyond the plane's end at x 40, and a retract.
std::vector<std::vector<word>> zig_zag(float z)
{
    return {{1, 1, 1, 0, real_to_word(100.0f)},
            line(2, -10, 0, z),
            line(3, 45, 0, z),
            line(4, 45, 5, z),
            line(5, -10, 5, z),
            line(6, -10, 5, 20)};
}

// The trim action on blocks first .. last, which follow the lead-in (marker 10 on it).
int project(int first, int last)
{
    int status = 0;
    lacces(2, status);
    tp_list_jump(1, status);
    lmark(1, 10, status);
    point3 point{}, direction{0, 0, 1};
    float clear_z = 20.0f, z_plane = 0.0f;
    int surfaces = 1, start_flag = 0, dimension = 1, end_flag = 0;
    delete_trimed_blocks(first, last, point, direction, clear_z, surfaces, start_flag, dimension, end_flag, z_plane,
                         status);
    return status;
}

// The exact drop of a ball of kDiameter onto the triangles the model holds.
struct surface_drop {
    exact_drop_reference reference{cutter_profile::bull_nose(kDiameter / 2, kDiameter / 2)};
    std::vector<double> corners;
    surface_drop()
    {
        trim_cache_restore();
        const float* nodes = tri_model_nodes();
        for (int t = 0; t < tri_store_block.entry_count; ++t)
            for (int k = 0; k < 9; ++k) corners.push_back(nodes[3 * (tri_model_entries()[t].nodes[k / 3] - 1) + k % 3]);
    }
    double operator()(const point3& p) const { return reference.drop(corners, p[0], p[1]); }
};

// The machine with the path, the tool and the reference surfaces in cache slot 0, the trim's words
// for a projection of picked motions.
class ProjectOnSurf : public ::testing::Test {
protected:
    void set_up(const std::vector<std::vector<word>>& blocks, int choice, int tool_class = kMill,
                float diameter = kDiameter)
    {
        tool.reset();
        trim_cache_reset();
        connection_test::machine_with({-10, 0, 20}, blocks, 1, 100.0f, connection_test::kMill, surfaces_part());
        tool.emplace(tool_class, diameter);
        tool_shapes().mill.CRNRRD = diameter / 2;
        PRM9().words[17] = PRM9().words[machine_params::kToolId];
        PRM9().words[machine_params::kMotionForm] = 2;
        trim_state& t = trim_words();
        t.operation = 2;
        t.projection_option = choice;
        t.selection_method = 3;
        t.ref_srf_tol = kTolerance;
        const int ids[1] = {3}, aux[1] = {1}, kinds[2] = {1, 2};
        int status = 0;
        allsrf(1, 1, ids, aux, 0, nullptr, nullptr, 1, kTolerance, 9999.0f, 0, kinds, status);
        ASSERT_EQ(status, 0);
        trim_cache_save();
    }
    void TearDown() override
    {
        tool.reset();
        trim_cache_reset();
        motion_test::to_load_state();
        EXPECT_EQ(control::open_array_count(), 0);
    }
    std::optional<tools_test::held_tool> tool;
};

}  // namespace

TEST_F(ProjectOnSurf, NewPointsStandOnTheSurfacesWhereTheMotionLiesBelow)
{
    struct row {
        const char* name;
        int choice;
        float z;  // the height of the range's lines
    };
    for (const row& r : {row{"below the surfaces: lifted all along", kBelow, -1.0f},
                         row{"over the plane: lifted over the cap only", kBelow, 1.0f},
                         row{"all on the surfaces, also where the motion is above", kAllOn, 1.0f},
                         row{"checked: marked over the cap only", kCheck, 1.0f}}) {
        SCOPED_TRACE(r.name);
        set_up(zig_zag(r.z), r.choice);
        const auto before = control::toolpath_line_at({0})->sublist;
        const std::vector<int> entities = control::entity_ids();
        ASSERT_EQ(project(3, 5), 0);
        const auto after = control::toolpath_line_at({0})->sublist;
        const surface_drop surface;
        if (r.choice == kCheck) {
            EXPECT_EQ(after, before);
            EXPECT_EQ(control::lines_of("usmsgc"),
                      std::vector<std::string>{"WARNING: GOUGING!! (marked in red points) "});
            // Each gouging point: a red point (its surface and pens judged by the runner's example) and
            // a red line down to the motion.
            int points = 0, lines = 0;
            for (int id : control::entity_ids())
                if (!std::count(entities.begin(), entities.end(), id))
                    (control::curve_display_points(id).size() == 1 ? points : lines)++;
            EXPECT_GT(points, 0);
            EXPECT_EQ(lines, points);
            continue;
        }
        ASSERT_GT(after.size(), 3u);
        for (std::size_t k = 0; k < 2; ++k) EXPECT_EQ(after[k].words, before[k].words) << "block before the range";
        EXPECT_EQ(after.back().words, before.back().words) << "block after the range";
        const auto points =
            motion_test::motion_points(std::vector<control::toolpath_line>(after.begin() + 2, after.end() - 1));
        ASSERT_GT(points.size(), 20u);
        int lifted = 0;
        for (const point3& p : points) {
            // The entry from the range's start and the exit down onto its end are the original's.
            if (p == point3{-10, 0, r.z} || p == point3{-10, 5, r.z}) continue;
            // Beyond the plane's end (x 40) the path comes back onto the motion.
            if (p[0] >= 40 && p[2] == r.z) continue;
            const double expected = r.choice == kAllOn ? surface(p) : std::max<double>(r.z, surface(p));
            EXPECT_NEAR(p[2], expected, kTolerance + kSlack) << p[0] << ", " << p[1];
            lifted += p[2] > r.z + kSlack ? 1 : 0;
        }
        EXPECT_GT(lifted, 0);
    }
}

TEST_F(ProjectOnSurf, ProgressShowsOnlyAbove219Points)
{
    for (const auto& [string_points, shown] : {std::pair{218, false}, std::pair{219, true}}) {
        std::vector<point3> string;
        for (int k = 1; k <= string_points; ++k) string.push_back({-10.0f + 0.1f * float(k), 0.0f, 10.0f});
        set_up({{1, 1, 1, 0, real_to_word(100.0f)},
                line(2, -10, 0, 10),
                trim_test::string7(3, string),
                line(400, -10, 5, 20)},
               kCheck);
        // A string is known by the number of its last point.
        ASSERT_EQ(project(2 + string_points, 2 + string_points), 0);
        const auto& paints = control::progress_paints();
        const bool projecting = std::any_of(paints.begin(), paints.end(), [](const std::string& p) {
            return p.find("P R O J E C T I N G") != std::string::npos;
        });
        EXPECT_EQ(projecting, shown) << string_points + 1 << " points";
    }
}

TEST_F(ProjectOnSurf, FailureLeavesTheRangeAsItWas)
{
    struct row {
        const char* call;
        long first_call;  // the action opens three arrays before the projection's three
        std::vector<std::string> messages;
    };
    for (const row& r : {row{"MM_OPEN_ARRAY", 5, {"project_on_surf, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE"}},
                         row{"lputd", 3, {}}}) {
        SCOPED_TRACE(r.call);
        set_up(zig_zag(-1.0f), kBelow);
        const auto before = control::toolpath_line_at({0})->sublist;
        control::clear_messages();
        control::inject_fault(r.call, r.first_call, 1, -1);
        EXPECT_LT(project(3, 5), 0);
        control::clear_faults();
        EXPECT_EQ(control::toolpath_line_at({0})->sublist, before) << "nothing deleted, nothing left behind";
        if (!r.messages.empty()) {
            EXPECT_EQ(editor_test::lines_of("eroutc"), r.messages);
        }
        int status = 0, walked = 0;
        for (lacces(2, status); status >= 0; lacces(1, status)) ++walked;
        EXPECT_EQ(walked, int(before.size())) << "the list walks its blocks as before";
    }
}

TEST_F(ProjectOnSurf, OnePointMakesNothingAndTheWorkingDiameterIsTheMills)
{
    struct row {
        int tool_class;
        float diameter, working;
    };
    for (const row& r : {row{kMill, 6.0f, 6.0f}, row{kMill, 0.0f, 10.0f}, row{kDrill, 6.0f, 10.0f}}) {
        set_up(zig_zag(-1.0f), kBelow, r.tool_class, r.diameter);
        trim_state& t = trim_words();
        void* base = nullptr;
        int status = 0;
        MM_OPEN_ARRAY(12, 1, t.collected_points, base, status);
        MM_OPEN_ARRAY(12, 1, t.collected_vectors, base, status);
        t.collected_count = 1;
        const auto before = control::toolpath_line_at({0})->sublist;
        int approach = 0;
        project_on_surf(1, approach, 3, 5, status);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(control::toolpath_line_at({0})->sublist, before);
        EXPECT_EQ(connect_params_block().arc_radius, r.working) << r.tool_class << " " << r.diameter;
        MM_CLOSE(t.collected_points, status);
        MM_CLOSE(t.collected_vectors, status);
        t.collected_points = t.collected_vectors = -1;
    }
}
