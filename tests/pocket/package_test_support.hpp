// Shared set-up of the region, levels, polygon-buffer and pass-buffer tests: the packages keep
// host array handles in module state, so each test gives back what the packages hold and brings
// them to their load state before the host is reset, and checks at its end that nothing is left
// open. Builders of contours as curve sets and chain records.
#pragma once

#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "pocket/n0_lvls.hpp"
#include "pocket/pasbuf.hpp"
#include "pocket/polbuf.hpp"
#include "pocket/region_table.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

// Gives back every array the packages hold and puts their state blocks back as at load.
inline void packages_to_load_state()
{
    int status = 0;
    if (n0_lvls_block.initialised == 1) n0_lvls_release(status);
    n0_lvls_block = n0_lvls_state{};
    for (int k = 0; k < kPolbufCount; ++k)
        if (polbuf_block.buffers[k].handle != kPolbufNotInitialised) polbuf_release_pol(k, kPolbufClose, status);
    polbuf_block = polbuf_state{};
    pasbuf_init(2, 0, status);
    pasbuf_block = pasbuf_state{};
    region_table_free();
    region_table_block = region_table{};
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        packages_to_load_state();
        vantu::control::reset();
    }
    void TearDown() override
    {
        packages_to_load_state();
        EXPECT_EQ(vantu::control::open_array_count(), 0);
        EXPECT_EQ(vantu::control::open_block_count(), 0);
    }

    static std::vector<std::string> errors() { return vantu::control::texts_of("eroutc"); }

    // A closed polygon of lines through the corners as curve set `set`.
    static void polygon_set(int set, const std::vector<std::array<double, 2>>& corners)
    {
        std::vector<vantu::control::curve_in_set> curves;
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const auto& a = corners[k];
            const auto& b = corners[(k + 1) % corners.size()];
            const int id = vantu::control::add_line({a[0], a[1], 0}, {b[0], b[1], 0});
            curves.push_back({id, 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
        }
        vantu::control::define_curve_set(set, curves);
    }
    static void rectangle_set(int set, double x0, double y0, double x1, double y1)
    {
        polygon_set(set, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    }
    static void circle_set(int set, double x, double y, double radius)
    {
        const int id = vantu::control::add_circle({x, y, 0}, radius);
        vantu::control::define_curve_set(set, {{id, 0.0, 2 * M_PI, 1.0}});
    }
    // The chain records of the sets, one after another.
    static std::vector<int> records_of(const std::vector<int>& sets)
    {
        std::vector<int> list;
        for (const int set : sets) {
            std::vector<int> record(2 * 1000);
            int length = 0, status = 0;
            dfdgrc(set, 1000, record.data(), length, status);
            list.insert(list.end(), record.begin(), record.begin() + 2 * length);
        }
        return list;
    }
};
