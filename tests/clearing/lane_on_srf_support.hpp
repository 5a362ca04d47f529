// Set-up of the tests of lanes laid on the part surfaces: a scripted tool probe that meets a
// height field (pushed along any line, it stops where the line crosses the field), the
// projection's grid values, the lane tolerance, and the packages given back around each test.
#pragma once

#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/lane_dir_list.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "clearing/surface_lanes/lane_points.hpp"
#include "cutter/tool_probe.hpp"
#include "host/control/memory.hpp"
#include "nc_services/d3ds_hooks.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <functional>
#include <vector>

// The probe: the surface z = height(x, y) with the given normal; every call is recorded.
struct field_probe {
    std::function<float(float, float)> height = [](float, float) { return 5.0f; };
    lane_pnt normal = {0.0f, 0.0f, 1.0f};
    struct call {
        lane_pnt from, to;
    };
    std::vector<call> calls;
};
inline field_probe probe;

inline void field_probe_project(const float* from, const float* to, float* contact, float* normal, int& status)
{
    const lane_pnt a = lane_pnt_of(from), b = lane_pnt_of(to);
    probe.calls.push_back({a, b});
    const auto gap = [&](float t) {
        const lane_pnt p = (1.0f - t) * a + t * b;
        return p[2] - probe.height(p[0], p[1]);
    };
    if (a == b) {
        status = kProjectNoMove;
        return;
    }
    // A push that starts below the field cuts into it there and stops at once, as the tool does.
    if (gap(0.0f) < 0.0f) {
        std::copy(from, from + 3, contact);
        for (int k = 0; k < 3; ++k) normal[k] = probe.normal[k];
        status = kProjectContact;
        return;
    }
    if (gap(1.0f) > 0.0f) {
        status = kProjectFree;
        return;
    }
    float low = 0.0f, high = 1.0f;
    for (int k = 0; k < 60; ++k) ((gap(0.5f * (low + high)) > 0.0f) ? low : high) = 0.5f * (low + high);
    const lane_pnt p = (1.0f - high) * a + high * b;
    for (int k = 0; k < 3; ++k) {
        contact[k] = k == 2 ? probe.height(p[0], p[1]) : p[k];
        normal[k] = probe.normal[k];
    }
    status = kProjectContact;
}

// Sets the lane tolerance of the triangle model.
inline void set_lane_tolerance(float tolerance) { tri_model_lane_tolerance_set(tolerance); }

class LaneOnSrfTest : public SurfaceLaneTest {
protected:
    void SetUp() override
    {
        lane_dir_module_reset();
        SurfaceLaneTest::SetUp();
        probe = field_probe{};
        tool_probe_table().tool_project_point = field_probe_project;
        disp_state_reset();
        pocket_frame_block = pocket_frame{};
        surface_grid_block.projection.cell_size = 1.0f;
        set_lane_tolerance(0.01f);
    }
    void TearDown() override
    {
        lane_dir_release();
        tool_probe_table() = default_tool_probe_seams();
        disp_state_reset();
        set_lane_tolerance(0.0f);
        EXPECT_EQ(vantu::control::open_array_count(), 0);
        SurfaceLaneTest::TearDown();
    }
};
