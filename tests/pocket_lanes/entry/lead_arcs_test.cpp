// Lead arcs: the plain writer's arc and refusal, its approach target on the chord, the lifted
// arc, the surface writer's steps, and the clip of arc and straight leads against the part.
#include "pocket_lanes/lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "cutter/tool_probe.hpp"
#include "pocket_lanes/entry/lead_arcs.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"

#include <cmath>
#include <string>
#include <vector>

using namespace motion_test;

namespace {

class LeadArcs : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        fresh_at({0, 0, 0});
        start_without_tool();
        point_mover() = point_mover_words{};
        pocket_state& ps = pocket_state_block;
        ps.current_z = -5.0;
        ps.z_step = 1.0;
        ps.approach_clearance = 2.0;
        ps.direction_sign = 1;
        ps.entry_shift = 10;
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.lead_height = 0.0;
        probe_calls = 0;
    }
    void TearDown() override
    {
        tool_probe_table() = default_tool_probe_seams();
        to_load_state();
        LaneTest::TearDown();
    }

public:
    // The probe double: the way is blocked from the `blocked_from`-th probe on, with the contact
    // point at the probe's middle.
    static int probe_calls, blocked_from;
    static void probe(const float* from, const float* to, float* contact, float* /*normal*/, int& status)
    {
        ++probe_calls;
        status = kProjectFree;
        if (blocked_from == 0 || probe_calls < blocked_from) return;
        contact[0] = 0.5f * (from[0] + to[0]);
        contact[1] = 0.5f * (from[1] + to[1]);
        status = 0;
    }
};
int LeadArcs::probe_calls = 0;
int LeadArcs::blocked_from = 0;

int count_of(const std::vector<std::string>& steps, char kind)
{
    int n = 0;
    for (const std::string& s : steps) n += !s.empty() && s[0] == kind ? 1 : 0;
    return n;
}

}  // namespace

TEST_F(LeadArcs, QuarterCircleInItsSenseAndTheIllegalArc)
{
    // From (0, -5) to (5, 0) about the origin: a counter-clockwise quarter.
    const double c[2] = {0, 0}, s[2] = {0, -5}, e[2] = {5, 0};
    fresh_at({0, -5, -5});
    int status = -9;
    sdrpar(1, 5.0, 1.0, c, s, e, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(steps(), (std::vector<std::string>{"A(5,0,-5)"}));
    fresh_at({0, -5, -5});
    sdrpar(1, 5.0, -1.0, c, s, e, status);
    EXPECT_EQ(status, kIllegalArc);
    EXPECT_EQ(texts("eroutc"), (std::vector<std::string>{"[sdrpar] ILLEGAL ARC!!"}));
    EXPECT_EQ(count_of(steps(), 'A'), 0);
    // The surface writer refuses the same way; start equal to end writes nothing.
    fresh_at({0, -5, -5});
    pdrpar(1, 5.0, -1.0, c, s, e, status);
    EXPECT_EQ(status, kIllegalArc);
    EXPECT_EQ(texts("eroutc"), (std::vector<std::string>{"[pdrpar] ILLEGAL ARC!!"}));
    sdrpar(1, 5.0, 1.0, c, s, s, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(steps().empty());
    // A centre on the start cannot be normalised: -1 from both writers, nothing written.
    for (auto writer : {sdrpar, pdrpar}) {
        fresh_at({0, -5, -5});
        status = 0;
        writer(1, 5.0, 1.0, s, s, e, status);
        EXPECT_EQ(status, -1);
        EXPECT_TRUE(steps().empty());
    }
}

TEST_F(LeadArcs, ApproachTargetOnTheChordForMarkedModes)
{
    // Chord from (0, -5) to (3, -1): length 5; 10 % of it is (0.3, -4.6).
    const double c[2] = {0, 0}, s[2] = {0, -5}, e[2] = {3, -1};
    struct row {
        int mode;
        double lead_height;
        std::string first_line;
    } rows[] = {
        {12, 0.0, "L(0.3,-4.6,"},  // the approach ends... starts at the target on the chord
        {2, 0.0, "L(0,-5,"},
        {12, 1.0, "L(0,-5,"},  // with a lead height the target stays S
    };
    for (const row& r : rows) {
        fresh_at({0.3f, -4.6f, 20.0f});
        pocket_work_block.lead_height = r.lead_height;
        int status = -9;
        sdrpar(r.mode, 5.0, 1.0, c, s, e, status);
        EXPECT_EQ(status, 0) << r.mode;
        const std::vector<std::string> st = steps();
        bool found = false;
        for (const std::string& x : st) found = found || x.rfind(r.first_line, 0) == 0;
        EXPECT_TRUE(found) << r.mode << " " << r.lead_height;
    }
}

TEST_F(LeadArcs, LiftedArcIsTenLines)
{
    const double c[2] = {0, 0}, s[2] = {0, -5}, e[2] = {5, 0};
    fresh_at({0, -5, -5});
    pocket_work_block.lead_height = 1.0;
    int status = -9;
    sdrpar(1, 5.0, 1.0, c, s, e, status);
    EXPECT_EQ(status, 0);
    const std::vector<std::string> st = steps();
    // Ten points, the first where the tool stands (no motion there), rising to the lead height.
    EXPECT_EQ(count_of(st, 'L'), 9);
    EXPECT_EQ(count_of(st, 'A'), 0);
    EXPECT_EQ(st.back().substr(0, 4), "L(5,");
    EXPECT_EQ(st.back().substr(st.back().size() - 4), ",-4)");
}

TEST_F(LeadArcs, SurfaceWriterWithoutARadiusStepsNothing)
{
    // Radius 5, tolerance 0.01: the surface writer's steps are 2 acos(0.998), about 7.25 degrees.
    struct row {
        double radius, degrees;
    } rows[] = {{5.0, 7.2486}, {0.005, 360.0}, {0.004, 360.0}, {0.0, 0.0}, {-1.0, 0.0}, {1e9, 0.0057296}};
    for (const row& r : rows) EXPECT_NEAR(lead_step_angle(0.01, r.radius) * 180.0 / M_PI, r.degrees, 0.002) << r.radius;
    // A radius at or below half the tolerance makes no step angle (no NaN) and writes nothing;
    // choose_drpar takes the surface writer while the surface flag is set.
    pocket_state_block.surface_flag = 1;
    const double c[2] = {0, 0}, s[2] = {0, -5}, e[2] = {5, 0};
    for (const double radius : {0.0, -1.0}) {
        fresh_at({0, -5, -5});
        int status = -9;
        choose_drpar(1, radius, 1.0, c, s, e, status);
        EXPECT_EQ(status, 0) << radius;
        EXPECT_TRUE(steps().empty());
    }
    pocket_state_block.surface_flag = 0;
}

TEST_F(LeadArcs, ClipAgainstThePart)
{
    tool_probe_table().tool_project_point = LeadArcs::probe;
    const double c[2] = {0, 0}, s[2] = {0, -5};
    struct row {
        int direction, blocked_from, status, clipped, probes;
        double end_x, end_y;
    } rows[] = {
        {1, 0, 0, 0, 10, 5, 0},  // free: at most ten arc steps, the end stays
        {1, 1, kNoLeadLeft, 1, 1, 0, -5},
    };
    for (const row& r : rows) {
        probe_calls = 0;
        blocked_from = r.blocked_from;
        double e[2] = {5, 0};
        int clipped = 0, status = -9;
        lead_clip_to_part(r.direction, 5.0, c, s, e, clipped, status);
        EXPECT_EQ(status, r.status) << r.blocked_from;
        EXPECT_EQ(clipped, r.clipped);
        EXPECT_EQ(probe_calls, r.probes);
        EXPECT_NEAR(e[0], r.end_x, 1e-9);
        EXPECT_NEAR(e[1], r.end_y, 1e-9);
    }
    // Blocked at the third step: the end is the last free midpoint, on the circle.
    probe_calls = 0;
    blocked_from = 3;
    double e[2] = {5, 0};
    int clipped = 0, status = -9;
    lead_clip_to_part(1, 5.0, c, s, e, clipped, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(clipped, 1);
    EXPECT_NEAR(std::hypot(e[0], e[1]), 5.0, 1e-9);
    // Ten steps of 9 degrees; the second step's end, 2.5 steps from S, is the last free midpoint.
    EXPECT_NEAR(std::atan2(e[1], e[0]), -M_PI / 2 + 2.5 * (M_PI / 2 / 10), 1e-9);
    // A radius below half the tolerance clamps the step's cosine: one step, no NaN.
    probe_calls = 0;
    blocked_from = 0;
    e[0] = 5;
    e[1] = 0;
    lead_clip_to_part(1, 0.004, c, s, e, clipped, status);
    EXPECT_EQ(probe_calls, 1);
    EXPECT_TRUE(std::isfinite(e[0]) && std::isfinite(e[1]));
    // A straight lead blocked half-way ends 95 % of the way to the contact.
    probe_calls = 0;
    blocked_from = 1;
    const double from[2] = {0, 0};
    double to[2] = {10, 0};
    lead_clip_to_part(0, 0.0, c, from, to, clipped, status);
    EXPECT_EQ(status, 0);
    const double contact = 0.5 * (0.01 + 10.0);
    EXPECT_NEAR(to[0], 0.95 * contact, 1e-5);
    EXPECT_NEAR(to[1], 0.0, 1e-9);
}
