// The link over the part surfaces of the surface functions: near and far links, the level grid,
// the sampled heights, the cap, a failing contact query, the twirl words and the tool shrunk for
// the test only.
#include "motion_output_support.hpp"

#include "nc_services/exec_control.hpp"
#include "toolpath/modal_setters.hpp"

#include <cmath>

using namespace motion_test;

namespace {

const point3 kUp{0, 0, 1};

// Scripted surface queries: the contact status and point, and the height of a bump over an x
// range; the offsets seen by the queries are kept.
struct surfaces_double {
    static inline int contact_status = 1;
    static inline point3 contact{};
    static inline float bump_from = 0, bump_to = 0, bump_height = 0;
    static inline float offsets_seen = 0;
    static inline unsigned mask_seen = 0;
    static inline int heights_asked = 0;

    static void contact_query(const float*, const float*, float, float* at, float* normal, int& status)
    {
        offsets_seen = linnet_params_block.surface_offsets[0];
        get_srf_kind_mask(mask_seen);
        for (int k = 0; k < 3; ++k) at[k] = contact[static_cast<std::size_t>(k)];
        normal[0] = normal[1] = 0;
        normal[2] = 1;
        status = contact_status;
    }
    static void height_query(int, const float* point, float, float, float, float*, float*, float& height, int&,
                             int& status)
    {
        ++heights_asked;
        height = bump_height;
        status = point[0] >= bump_from && point[0] <= bump_to ? 0 : 1;
    }
};

}  // namespace

TEST_F(MotionOutput, SurfaceLinkClimbsOverTheSurfaces)
{
    struct row {
        const char* name;
        int nc_code;
        int selector;
        point3 from, to;
        int contact_status;
        float bump_height;
        std::vector<std::string> steps;
        int feed_after;
        int status = 0;
    };
    const row rows[] = {
        // Tool 0.5 (5 t), near limit 2 d + 1.414 level steps = 3.83.
        {"near, no touch: across at the higher end", 34, 0, {0, 0, 0}, {2, 0, 0}, 1, 0, {"L(2,0,0)"}, 1},
        {"near over a bump: above it by the clearance",
         34,
         0,
         {0, 0, 0},
         {2, 0, 0},
         0,
         3,
         {"F77", "L(0,0,8)", "L(2,0,8)"},
         27},
        {"far: on the level grid plus the clearance",
         34,
         0,
         {0, 0, 1},
         {20, 0, 0},
         1,
         0,
         {"F77", "L(0,0,7)", "L(20,0,7)"},
         27},
        {"far of function 48: no grid", 48, 0, {0, 0, 1}, {20, 0, 0}, 1, 0, {"F77", "L(0,0,6)", "L(20,0,6)"}, 27},
        {"function 48 with selector 1: always far",
         48,
         1,
         {0, 0, 1},
         {2, 0, 0},
         1,
         0,
         {"F77", "L(0,0,6)", "L(2,0,6)"},
         27},
        {"capped at the higher of C and A", 34, 0, {0, 0, 0}, {2, 0, 0}, 0, 100, {"F77", "L(0,0,50)", "L(2,0,50)"}, 27},
        {"a failing contact query: no move", 34, 0, {0, 0, 0}, {2, 0, 0}, -1, 0, {}, 1, -1},
        {"no length: nothing to climb", 34, 0, {2, 0, 0}, {2, 0, 0}, 1, 0, {}, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at(r.from);
        exec_display().mode = 0;
        vantu::control::set_flag("nc_sub_code", r.nc_code);
        linnet_params_block.surface_tolerance = 0.1f;
        linnet_params_block.surface_offsets[0] = 0.01f;
        linnet_params_block.level_step = 2;
        linnet_params_block.top_level = 20;
        linnet_params_block.minimum_clearance = 1;
        linnet_params_block.selector = r.selector;
        surfaces_double::contact_status = r.contact_status;
        surfaces_double::contact = {0.5f, 0, 0};
        surfaces_double::bump_from = 1.2f;
        surfaces_double::bump_to = 1.7f;
        surfaces_double::bump_height = r.bump_height;
        surface_query_table().tool_contact_point = surfaces_double::contact_query;
        surface_query_table().surface_height_at_point = surfaces_double::height_query;
        set_srf_kind_mask(0x7u);
        int status = 0;
        surface_link_move(1, r.to, kUp, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(steps(), r.steps);
        EXPECT_EQ(feed_mode(), r.feed_after);
        unsigned mask = 0;
        get_srf_kind_mask(mask);
        EXPECT_EQ(mask, 0x7u) << "the surface-kind mask is restored";
        EXPECT_EQ(srf_projection_on(), 0);
        EXPECT_FLOAT_EQ(linnet_params_block.surface_offsets[0], 0.01f) << "the offsets are restored";
        EXPECT_EQ(link_tool_saved().shrunk, 0);
        if (r.nc_code == 48 && r.from != r.to) {
            EXPECT_EQ(surfaces_double::mask_seen, 0xffffff2fu);
        }
    }
    EXPECT_FLOAT_EQ(surfaces_double::offsets_seen, 0.012f) << "the offsets are raised for the query";
}

TEST_F(MotionOutput, SurfaceLinkSamplingEndsAndTwirlWordsClear)
{
    // A sampling step of no length (tolerance 0 with a tool of no size) still reaches P.
    exec_display().mode = 0;
    vantu::control::set_flag("nc_sub_code", 34);
    surfaces_double::contact_status = 0;
    surfaces_double::contact = {0, 0, 0};
    surfaces_double::heights_asked = 0;
    surface_query_table().tool_contact_point = surfaces_double::contact_query;
    surface_query_table().surface_height_at_point = surfaces_double::height_query;
    linnet_params_block.level_step = 2;
    int status = 0;
    surface_link_move(1, {1, 0, 0}, kUp, status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(surfaces_double::heights_asked, 0);
    EXPECT_LT(surfaces_double::heights_asked, 200000);

    // A near link of a twirl approach asks for the twirl; none is made (no enable word is set), so
    // the link is written; the request stays for the point mover to clear.
    fresh_at({0, 0, 0});
    exec_display().mode = 0;
    vantu::control::set_flag("nc_sub_code", 34);
    linnet_params_block.surface_tolerance = 0.1f;
    linnet_params_block.approach_type = 2;
    linnet_params_block.level_step = 2;
    surface_query_table().tool_contact_point = surfaces_double::contact_query;
    surfaces_double::contact_status = 1;
    surface_link_move(1, {2, 0, 3}, kUp, status);
    EXPECT_EQ(steps(), (std::vector<std::string>{"L(0,0,3)", "L(2,0,3)"}));
    EXPECT_EQ(twirl_requested_get(), 1);
    EXPECT_EQ(twirl_made_get(), 0);
}

TEST_F(MotionOutput, SurfaceLinkGivesTheOffsetsBackOnStop)
{
    fresh_at({0, 0, 0});
    vantu::control::set_flag("nc_sub_code", 34);
    linnet_params_block.surface_tolerance = 0.1f;
    linnet_params_block.surface_offsets[0] = 0.01f;
    surface_query_table().tool_contact_point = [](const float*, const float*, float, float*, float*, int&) {
        throw execution_stop{kExecRestart};
    };
    bool stopped = false;
    try {
        int status = 0;
        surface_link_move(1, {2, 0, 0}, kUp, status);
    } catch (const execution_stop&) {
        stopped = true;
    }
    EXPECT_TRUE(stopped);
    EXPECT_FLOAT_EQ(linnet_params_block.surface_offsets[0], 0.01f);
    EXPECT_EQ(link_tool_saved().shrunk, 0) << "the next link shrinks the tool afresh";
}
