// Shared set-up of the cutter-location tests: the packages that keep host array handles (the
// interval list, the triangle model) give them back and every state block of the cutter location
// goes back to its load state before the host is reset, so the tests also pass when repeated.
// Builders of triangle models and of the current cutter.
#pragma once

#include "cutter/cutter_seams_least.hpp"
#include "cutter/kernels/cone_state.hpp"
#include "cutter/kernels/cutter_frame.hpp"
#include "cutter/kernels/interval_list.hpp"
#include "toolpath/machining_type.hpp"
#include "pocket/point_in_region_set.hpp"
#include "toolpath/linnet_params_least.hpp"
#include "host/control.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
