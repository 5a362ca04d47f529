// Shared set-up of the cutter-location tests: the packages that keep host array handles (the
// interval list, the triangle model) give them back and every state block of the cutter location
// goes back to its load state before the host is reset, so the tests also pass when repeated.
// Builders of triangle models and of the current cutter.
#pragma once

#include "cutter_profile.hpp"

#include "cutter/kernels/cone_state.hpp"
#include "cutter/kernels/cutter_frame.hpp"
#include "cutter/kernels/cutter_seams_least.hpp"
#include "cutter/kernels/interval_list.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "host/control.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket/point_in_region_set.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

// A cutter of the tests: its class (kCutterTapered added for a tapered one), sizes and the stock
// the surfaces are offset by; the exact profile the references drop, and the current cutter of
// the cutter location made of it.
struct test_cutter {
    const char* name;
    int type;
    float diameter, corner, taper, length, stock = 0.0f;

    bool tapered() const { return type > kCutterTapered; }
    // The cutter grown by the stock, over its lowest point (the real tip lies `stock` higher).
    cutter_profile profile() const
    {
        return tapered() ? cutter_profile::tapered(diameter, corner, taper, length, stock)
                         : cutter_profile::bull_nose(0.5 * diameter + stock, corner + stock);
    }
    void make_current() const
    {
        linnet_params_block = linnet_params{};
        linnet_params_block.cutter_type = type;
        linnet_params_block.diameter = diameter;
        linnet_params_block.corner_radius = corner;
        linnet_params_block.taper = taper;
        linnet_params_block.cut_length = length;
    }
};

inline void cutter_to_load_state()
{
    int status = 0;
    if (interval_list_block.handle >= 0) interval_list_close(status);
    interval_list_module_reset();
    tri_model_release(status);
    cutter_frame_block = cutter_frame{};
    cutter_seam_table() = default_cutter_seams();
    cone_state_block = cone_state{};
    linnet_params_block = linnet_params{};
    region_set_block = region_set_state{};
    machining_type() = 0;
}

class CutterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cutter_to_load_state();
        vantu::control::reset();
    }
    void TearDown() override
    {
        cutter_to_load_state();
        EXPECT_EQ(vantu::control::open_array_count(), 0);
    }

    static std::vector<std::string> errors() { return vantu::control::texts_of("eroutc"); }

    // The current cutter of the cutter location.
    static void set_cutter(int type, float diameter, float corner)
    {
        linnet_params_block.cutter_type = type;
        linnet_params_block.diameter = diameter;
        linnet_params_block.corner_radius = corner;
    }

    // The corners of every triangle of the model held, 9 doubles each.
    static std::vector<double> model_corners()
    {
        const float* nodes = tri_model_nodes();
        const qt_entry* entries = tri_model_entries();
        std::vector<double> corners;
        for (int t = 0; t < tri_store_block.entry_count; ++t)
            for (int k = 0; k < 9; ++k) corners.push_back(nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3]);
        return corners;
    }

    // A cone z = |p| / 2 over a 20 x 20 grid of unit cells round the origin, the 6 x 6 cells round
    // the centre left out: the hole's edges lie 3 from the centre, and what lies beyond them is
    // higher.
    static void build_cone_with_hole()
    {
        constexpr int kNodes = 21;
        std::vector<float> nodes;
        for (int j = 0; j < kNodes; ++j)
            for (int i = 0; i < kNodes; ++i)
                nodes.insert(nodes.end(), {i - 10.0f, j - 10.0f, 0.5f * std::hypot(i - 10.0f, j - 10.0f)});
        std::vector<int> triangles;
        for (int j = 0; j + 1 < kNodes; ++j)
            for (int i = 0; i + 1 < kNodes; ++i) {
                if (i >= 7 && i < 13 && j >= 7 && j < 13) continue;
                const int a = j * kNodes + i + 1, b = a + 1, c = a + kNodes, d = c + 1;
                triangles.insert(triangles.end(), {a, b, d, a, d, c});
            }
        int status = 0;
        tri_model_build(nodes.data(), kNodes * kNodes, triangles.data(), static_cast<int>(triangles.size() / 3),
                        status);
        ASSERT_EQ(status, 0);
    }

    // A model of triangles given by their corners (9 floats each, nodes not shared).
    static void build_model(const std::vector<float>& corners)
    {
        std::vector<int> numbers(corners.size() / 3);
        for (std::size_t k = 0; k < numbers.size(); ++k) numbers[k] = static_cast<int>(k) + 1;
        int status = 0;
        tri_model_build(corners.data(), static_cast<int>(numbers.size()), numbers.data(),
                        static_cast<int>(numbers.size() / 3), status);
        ASSERT_EQ(status, 0);
    }
};
