// Shared set-up of the pocket-array tests: a fresh host and pool per test, and small builders
// of arrays.
#pragma once

#include "host/control.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

// Every test starts with an empty pool, a fresh host and zeroed pocket blocks (the main arrays'
// block too: its origin would otherwise carry over from the last test that set one), and gives
// the pool back at its end (the host's reset frees its memory blocks under the pool otherwise).
class PocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pkdm_rel_all();
        vantu::control::reset();
        pocket_state_block = pocket_state{};
        pocket_work_block = pocket_work{};
        pokmain_block = pokmain_state{};
    }
    void TearDown() override { pkdm_rel_all(); }

    static std::vector<std::string> errors() { return vantu::control::texts_of("eroutc"); }
};

// A pocket test that prepares contours: the main arrays released around each test, a planar
// pocket with tolerance 0.01 and side step 1.
class PreparedPocketTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pocket_state_block.pocket_dimension = 2;
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.side_step = 1.0;
        pocket_mode_word = 0;
    }
    void TearDown() override
    {
        int status = 0;
        POKREL(1, status);
        PocketTest::TearDown();
    }
};

struct xy {
    double x, y;
};

// A dynamic 2-D array of the given entries (arc records written out entry by entry).
inline pokarr make_2d(std::initializer_list<xy> entries)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (const xy& e : entries) {
        const double p[2] = {e.x, e.y};
        pokarr_add_pnt(p, a, status);
    }
    return a;
}

inline std::vector<xy> entries_of(const pokarr& a)
{
    std::vector<xy> out;
    for (int i = 0; i < a.count; ++i) out.push_back({a.x[i], a.y[i]});
    return out;
}
