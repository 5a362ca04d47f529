// The fillers of long lane segments and the list of projection directions.
#include "lane_on_srf_support.hpp"

#include "clearing/surface_lanes/lane_seg_fill.hpp"
#include "host/control.hpp"
#include "host/vantu_memory.hpp"

#include <cmath>
#include <cstring>

TEST_F(LaneOnSrfTest, StraightFillerCountsByDiameterAndKeepsStraightPointsNearTheSurface)
{
    struct row {
        const char* name;
        float length, diameter, plane;
        int count;
        float z;  // of every filled point
    } rows[] = {
        {"shorter than 0.1 D: its ends", 0.09f, 1.0f, 0.0f, 2, 0.0f},
        {"1 D: 21 points", 1.0f, 1.0f, 0.0f, 21, 0.0f},
        {"5 D: 100 points", 5.0f, 1.0f, 0.0f, 100, 0.0f},
        {"beyond: at most 100", 50.0f, 1.0f, 0.0f, 100, 0.0f},
        {"D 0: its ends", 1.0f, 0.0f, 0.0f, 2, 0.0f},
        {"D negative: its ends", 1.0f, -1.0f, 0.0f, 2, 0.0f},
        {"within twice the tolerance: straight", 1.0f, 1.0f, 0.015f, 21, 0.0f},
        {"beyond it: projected", 1.0f, 1.0f, 0.05f, 21, 0.05f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        probe = field_probe{};
        probe.height = [z = r.plane](float, float) { return z; };
        const float a[3] = {0.0f, 0.0f, 0.0f}, b[3] = {r.length, 0.0f, 0.0f};
        std::vector<float> out(3 * 101, -1.0f);
        int count = 0;
        lane_seg_fill(a, b, 100, r.diameter, count, out.data());
        ASSERT_EQ(count, r.count);
        for (int k = 0; k < count; ++k) {
            EXPECT_NEAR(out[3 * k], r.length * k / (count - 1), 1e-5);
            EXPECT_FLOAT_EQ(out[3 * k + 2], r.z);
        }
        EXPECT_EQ(out[3 * count], -1.0f) << "written beyond the count";
    }
}

TEST_F(LaneOnSrfTest, DirectionListFindsEveryRecordByItsExactPosition)
{
    const int n = 25000;
    for (int i = 0; i < n; ++i) {
        const float p[3] = {0.37f * static_cast<float>(i), -0.11f * static_cast<float>(i % 977), 0.0f};
        const float d[3] = {0.6f * std::cos(0.001f * i), 0.6f * std::sin(0.001f * i), 0.8f};
        lane_dir_add(p, d, i % 3);
    }
    ASSERT_EQ(lane_dir_list.count, n);
    for (int i = 0; i < n; ++i) {
        const float p[3] = {0.37f * static_cast<float>(i), -0.11f * static_cast<float>(i % 977), 0.0f};
        float d[3] = {};
        int flag = -1, status = -1;
        lane_dir_find(p, d, flag, status);
        ASSERT_EQ(status, 0) << "record " << i;
        EXPECT_EQ(flag, i % 3);
        EXPECT_NEAR(d[2], 0.8f, 1e-5);
    }
    struct row {
        const char* name;
        float x, dx, dy;
        int status;
        float z;
    } rows[] = {{"z from the XY part", 5000.5f, 0.6f, 0.0f, 0, 0.8f},
                {"horizontal: z 0", 5001.5f, 0.8f, 0.6f, 0, 0.0f},
                {"XY part too long: z 0", 5002.5f, 1.0f, 1.0f, 0, 0.0f}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const float p[3] = {r.x, 1.0f, 0.0f}, d[3] = {r.dx, r.dy, 0.5f};
        lane_dir_add(p, d, 0);
        float found[3] = {};
        int flag = 0, status = -1;
        lane_dir_find(p, found, flag, status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(found[2], r.z, 1e-6);
        const float next[3] = {std::nextafter(r.x, 1e9f), 1.0f, 0.0f};
        lane_dir_find(next, found, flag, status);
        EXPECT_EQ(status, -1) << "found a point one bit away";
    }
    // A growth the host refuses adds nothing.
    vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -1);
    const int held = lane_dir_list.count;
    for (int i = held; i <= lane_dir_list.capacity; ++i) {
        const float p[3] = {-1.0f - static_cast<float>(i), 0.0f, 0.0f}, d[3] = {0.0f, 0.0f, 1.0f};
        lane_dir_add(p, d, 0);
    }
    vantu::control::clear_faults();
    EXPECT_EQ(lane_dir_list.count, lane_dir_list.capacity);
}

TEST_F(LaneOnSrfTest, GridFillerProjectsTheGridPointsAndRecordsTheirDirections)
{
    grid_test::load_grid(0.0, 0.0, 1.0, 20, 20, grid_test::plane(0.0, 0.0, 2.0));
    surface_grid_block.projection.cell_size = 1.0f;
    probe.height = [](float, float) { return 2.0f; };
    const float a[3] = {1.5f, 1.5f, 2.0f}, b[3] = {12.5f, 1.5f, 2.0f};
    struct row {
        const char* fault;
        bool fails;
    } rows[] = {{nullptr, false}, {"MM_OPEN_ARRAY", true}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.fault != nullptr ? r.fault : "no fault");
        lane_dir_release();
        int handle = -1, count = -1, status = 0;
        if (r.fault != nullptr) vantu::control::inject_fault(r.fault, 1, 1, -1);
        lane_seg_grid_fill(a, b, 0.3f, handle, count, status);
        vantu::control::clear_faults();
        EXPECT_EQ(status != 0, r.fails);
        EXPECT_EQ(count > 0, !r.fails);
        if (handle < 0) continue;
        EXPECT_GE(MM_CUR_N_ENTRIES(handle), std::max(count, 100));
        const auto* points = static_cast<const lane_pnt*>(mmcptr(handle));
        for (int k = 0; k < count; ++k) {
            EXPECT_GT(points[k][0], a[0]);
            EXPECT_LT(points[k][0], b[0]);
            EXPECT_FLOAT_EQ(points[k][2], 2.0f);
            float d[3] = {};
            int flag = -1, found = -1;
            lane_dir_find(points[k].data(), d, flag, found);
            EXPECT_EQ(found, 0);
            EXPECT_EQ(flag, 0);
        }
        EXPECT_EQ(lane_dir_list.count, count);
        int closed = 0;
        MM_CLOSE(handle, closed);
    }
}
