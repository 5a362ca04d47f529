// Services of the surface pass walk: the cusp between two cutter positions, the trial-step
// control, and the periodic backup.
#include "clearing/surface_services/backup_seams.hpp"
#include "clearing/surface_services/cusp_height.hpp"
#include "clearing/surface_services/pass_backup.hpp"
#include "clearing/surface_services/pass_step.hpp"
#include "driver/seam_fills.hpp"
#include "host/control.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

TEST(SurfaceServices, CuspHeightWorkedCases)
{
    const float across[2] = {0, 1}, along[2] = {1, 0}, diagonal[2] = {std::sqrt(0.5f), std::sqrt(0.5f)};
    // Flat end D 10, tips (0, 0, 1) and (4, 0, 0): the ball cusp is 5 - sqrt(21); the corner cusp
    // is the distance of (-1, 1) from the line through the corners (-5, 1) and (-1, 0).
    const float flat_ball = 5 - std::sqrt(21.0f), flat_corner = 4 / std::sqrt(17.0f);
    struct row {
        const char* what;
        float diameter, corner;
        int type;
        float a[3], b[3];
        const float* direction;
        float height;
        int status;
    };
    const row rows[] = {
        {"ball 2 apart", 10, 5, 1, {0, 0, 0}, {2, 0, 0}, along, 5 - std::sqrt(24.0f), 0},
        {"same point", 10, 2, 2, {3, 3, 3}, {3, 3, 3}, along, 0, 0},
        {"farther than the diameter", 10, 2, 3, {0, 0, 0}, {10.5f, 0, 0}, along, kCuspTooFar, -1},
        {"step across the passes", 10, 0, 2, {0, 0, 1}, {4, 0, 0}, across, flat_ball, 0},
        {"step along the pass", 10, 0, 2, {0, 0, 1}, {4, 0, 0}, along, flat_corner, 0},
        {"diagonal blend",
         10,
         0,
         2,
         {0, 0, 1},
         {4, 0, 0},
         diagonal,
         std::sqrt(0.5f) * flat_ball + (1 - std::sqrt(0.5f)) * flat_corner,
         0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float height = -1;
        int status = 9;
        cusp_height(r.diameter, r.corner, r.type, r.type, r.a, r.b, r.direction, height, status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(height, r.height, 1e-5f);
        float swapped = -1;
        cusp_height(r.diameter, r.corner, r.type, r.type, r.b, r.a, r.direction, swapped, status);
        EXPECT_NEAR(swapped, height, 1e-5f) << "the cusp does not depend on the order of the positions";
    }
}

// Over random cutters and neighbours within the diameter: a height that is a number, not negative
// and not above the cutter's radius plus the height difference.
TEST(SurfaceServices, CuspHeightIsBoundedOverRandomPositions)
{
    const unsigned seed = 4111;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int k = 0; k < 2000; ++k) {
        const float diameter = 1 + 19 * unit(random);
        const float corner = (k % 4 == 0 ? 0.0f : unit(random)) * diameter / 2;
        const float angle = 6.2831853f * unit(random);
        const float d = diameter * unit(random), e = (k % 3 == 0 ? 0.0f : 3 * unit(random));
        const float a[3] = {1, 2, e}, b[3] = {1 + d * std::cos(angle), 2 + d * std::sin(angle), 0};
        const float direction[2] = {std::cos(angle * 3), std::sin(angle * 3)};
        float height = -1;
        int status = 9;
        cusp_height(diameter, corner, 3, 2, a, b, direction, height, status);
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(k));
        ASSERT_EQ(status, 0);
        ASSERT_TRUE(std::isfinite(height));
        EXPECT_GE(height, 0);
        EXPECT_LE(height, diameter / 2 + e + diameter);
    }
}

TEST(SurfaceServices, PassStepAdjustKeepsTheStepBetweenItsValues)
{
    struct row {
        const char* what;
        float a, b, m1, limit, m2, s;
        float expected;
        int status;
    };
    const float nan = std::nanf("");
    const row rows[] = {
        {"above the limit: halfway towards it, sign kept", 1, 50, 20, 4, 30, -10, -7, 0},
        {"both values reached: unchanged", 30, 5, 10, 100, 10, 6, 6, -1},
        {"lower value passed", 30, 50, 10, 100, 12, 2, 32, 0},
        {"upper value reached", 1, 5, 10, 100, 10, 3, 4.6f, 0},
        {"the smaller magnitude with the step's sign", 1, 50, 3, 100, -8, -6, -3, 0},
        {"no change", 1, 50, 3, 100, 3, 3, 3, -1},
        {"no number", 1, 50, 3, 100, nan, 3, 3, -1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float s = r.s;
        int status = 9;
        pass_step_adjust(r.a, r.b, r.m1, r.limit, r.m2, s, status);
        EXPECT_EQ(status, r.status);
        EXPECT_FLOAT_EQ(s, r.expected);
    }
    // The walk's retry loop ends: a step above the limit comes to rest.
    float s = 1000;
    int status = 0, tries = 0;
    while (status == 0 && tries < 1000) {
        pass_step_adjust(1, 5000, 2000, 4, 2000, s, status);
        ++tries;
    }
    EXPECT_EQ(status, -1);
    EXPECT_LT(tries, 1000);
    EXPECT_NEAR(s, 4, 1e-3f);
}

TEST(SurfaceServices, BackupIsDueOnlyEveryIntervalWithTheSwitchOn)
{
    struct row {
        int switch_word, interval;
        std::vector<int> due;  // of passes 1 to 30
    };
    const row rows[] = {
        {kBackupOn, 10, {10, 20, 30}}, {kBackupOn, 7, {7, 14, 21, 28}}, {kBackupOff, 10, {}}, {kBackupOn, 0, {}},
        {kBackupOn, -3, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::to_string(r.switch_word) + " every " + std::to_string(r.interval));
        UPW2().at(0) = r.switch_word;
        UPW2().at(1) = r.interval;
        std::vector<int> due;
        for (int passes = 0; passes <= 30; ++passes)
            if (backup_due(passes)) due.push_back(passes);
        EXPECT_EQ(due, r.due);
    }
}

// A backup tells the user, saves the part; a failed NC state save reports, writes nothing and
// hands its status on.
TEST(SurfaceServices, BackupSavesThePartUnlessTheStateSaveFails)
{
    struct row {
        int save_status;
        int status;
        long saves;
        std::vector<std::string> lines;
        std::vector<std::string> errors;
    };
    const row rows[] = {
        {0, 0, 1, {"", "20 PASSES COMPLETED. BACKUP STARTING", "BACKUP FINISHED"}, {}},
        {-4, -4, 0, {""}, {"BKUPNC: PROBLEMS WITH SEGFIN"}},
    };
    static int save_status = 0;
    for (const row& r : rows) {
        SCOPED_TRACE(r.save_status);
        vantu::control::reset();
        save_status = r.save_status;
        surface_backup_service_table().save_nc_state = [](int& status) { status = save_status; };
        int status = 9;
        BKUPNC(20, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(vantu::control::work_model_saves(), r.saves);
        std::vector<std::string> lines;  // the message line, in order
        for (const vantu::control::message& m : vantu::control::messages())
            if (m.channel == "usmsgc" || m.channel == "usms1c") lines.push_back(m.line);
        EXPECT_EQ(lines, r.lines);
        EXPECT_EQ(vantu::control::texts_of("eroutc"), r.errors);
    }
    fill_surface_backup_services(surface_backup_service_table());
}
