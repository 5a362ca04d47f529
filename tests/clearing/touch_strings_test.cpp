// Touch strings of a hatch segment: always laid in the hatch direction, handed
// back in the segment's own direction with their normals and values, the
// line-net mode chosen by the store word and the motion form, and the strings
// stored as passes when asked.
#include "clearing/surface_passes/touch_strings.hpp"
#include "clearing/surface_services/pass_store.hpp"
#include "host/control.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct net_call {
    int mode;
    float start[3], end[3];
};
std::vector<net_call> calls;

// A line-net double: two strings along the move (2 and 3 points), each point's
// normal and value its parameter along the move.
void scripted_net(int, int mode, const float* start, const float* end, float, float, float, int, float* points,
                  float* normals, float* values, int& string_count, int, int* point_counts, int& total, int& status)
{
    calls.push_back({mode, {start[0], start[1], start[2]}, {end[0], end[1], end[2]}});
    const float ts[5] = {0.0f, 0.2f, 0.5f, 0.7f, 1.0f};
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 3; ++k) {
            points[3 * i + k] = start[k] + ts[i] * (end[k] - start[k]);
            normals[3 * i + k] = k == 0 ? ts[i] : 0.0f;
        }
        if (values != nullptr) values[i] = ts[i];
    }
    string_count = 2;
    point_counts[0] = 2;
    point_counts[1] = 3;
    total = 5;
    status = 0;
}

class TouchStrings : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        saved_ = surface_query_table();
        surface_query_table().linnet_touch_point = scripted_net;
        calls.clear();
    }
    void TearDown() override
    {
        surface_query_table() = saved_;
        PRM9().words[machine_params::kMotionForm] = 0;
    }
    surface_query_seams saved_;
};

TEST_F(TouchStrings, LaidInTheHatchDirectionAndHandedBackInTheSegments)
{
    struct row {
        const char* name;
        float ax, bx, angle;
        int store_word, pass_number, motion_form;
        int mode;
        bool reversed;
    };
    const std::vector<row> rows = {
        {"along the hatch", 1, 9, 0.0f, 0, 3, 0, 1, false},
        {"against the hatch", 9, 1, 0.0f, 0, 3, 0, 1, true},
        {"against a hatch of a half turn", 1, 9, static_cast<float>(M_PI), 1, 3, 0, 3, true},
        {"stored passes, negative pass number", 1, 9, 0.0f, 1, -3, 0, 1, false},
        {"fitted splines", 9, 1, 0.0f, 1, 3, 1, 4, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        calls.clear();
        PRM9().words[machine_params::kMotionForm] = r.motion_form;
        const float a[3] = {r.ax, 2.0f, 0.0f}, b[3] = {r.bx, 2.0f, 0.0f};
        std::vector<float> points(30), normals(30), values(10);
        std::vector<int> counts(4);
        int strings = 0, total = 0, status = -7;
        segment_touch_strings(0, r.store_word, a, b, 0.01f, 0.0f, 0.0f, 30, 4, r.pass_number, r.angle, 0, points.data(),
                              normals.data(), values.data(), strings, counts.data(), total, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].mode, r.mode);
        EXPECT_EQ(calls[0].start[0], r.reversed ? r.bx : r.ax);
        ASSERT_EQ(strings, 2);
        EXPECT_EQ(counts[0], r.reversed ? 3 : 2);
        EXPECT_EQ(counts[1], r.reversed ? 2 : 3);
        // The points run from A to B, each with its own normal and value.
        EXPECT_FLOAT_EQ(points[0], r.ax);
        EXPECT_FLOAT_EQ(points[12], r.bx);
        for (int i = 0; i < 5; ++i) {
            const float t = std::fabs(points[3 * i] - calls[0].start[0]) / 8.0f;
            EXPECT_NEAR(normals[3 * i], t, 1e-6f) << i;
            EXPECT_NEAR(values[i], t, 1e-6f) << i;
        }
        // With the store word and a pass number, the strings as handed back are one pass set.
        const bool stores = r.store_word == 1 && r.pass_number >= 0;
        const pass_set_view stored = pass_store.set_count > 0 ? pass_bank_view(pass_store.bank) : pass_set_view{};
        ASSERT_EQ(stored.pass_count, stores ? strings : 0);
        for (int k = 0; stores && k < strings; ++k) EXPECT_EQ(stored.pass_point_counts[k], counts[k]) << k;
        for (int i = 0; stores && i < 3 * total; ++i) {
            EXPECT_EQ(stored.points[i], points[i]) << i;
            EXPECT_EQ(stored.normals[i], normals[i]) << i;
        }
        EXPECT_EQ(pass_store.set_number, stores ? r.pass_number : -1);
        int closed = 0;
        pass_store_close(closed);
    }
}

}  // namespace
