// Shared set-up of the lane-engine tests: a planar pocket whose contours (lines and arcs) are
// loaded into the engine contour tables as the pocket procedure's preparation leaves them, the
// engine's packages given back after each test, and readers of the lane table.
#pragma once

#include "lane_test_support.hpp"

#include "cutter/touch_point_flags.hpp"
#include "host/control/memory.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/cutting_stages.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "toolpath/machine_table.hpp"

#include <cmath>
#include <vector>

// A contour as entries: points, and arc records written with push_arc (lane_test_support.hpp).
using contour = std::vector<xy>;

inline contour rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A full circle as two half-turn arcs, counter-clockwise from (cx + r, cy).
inline contour circle(double cx, double cy, double r)
{
    contour c{{cx + r, cy}};
    push_arc(c, r, 1.0, cx, cy, cx - r, cy);
    push_arc(c, r, 1.0, cx, cy, cx + r, cy);
    return c;
}

// An L-shape: the rectangle less its upper right quarter.
inline contour l_shape(double x0, double y0, double x1, double y1)
{
    const double mx = 0.5 * (x0 + x1), my = 0.5 * (y0 + y1);
    return {{x0, y0}, {x1, y0}, {x1, my}, {mx, my}, {mx, y1}, {x0, y1}, {x0, y0}};
}

inline contour translated(const contour& c, double dx, double dy)
{
    contour out = c;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool record = (i >= 1 && out[i - 1].x > 1.0e20) || (i >= 1 && out[i].x > 1.0e20);
        if (out[i].x > 1.0e20 || (i >= 1 && out[i - 1].x > 1.0e20)) continue;  // marker, radius word
        static_cast<void>(record);
        out[i].x += dx;
        out[i].y += dy;
    }
    return out;
}

// The contour run backwards, its arcs turned round.
inline contour reversed(const contour& c)
{
    pokarr a = make_from(c);
    pokarr_reverse(a);
    contour out = entries_of(a);
    pokarr_free(a);
    return out;
}

class EngineTest : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        to_load_state();
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
        pocket_state_block.offsets_mode = 99;
        pocket_state_block.direction_sign = 1;
        pocket_state_block.reverse_islands = 1;
        pocket_state_block.drawing_mode = 1;
        pocket_work_block.corner_arcs = 1;
        // No tool: its sizes read -1 and count as 0.
        PRM9().words[machine_params::kToolId] = -1;
    }
    void TearDown() override
    {
        to_load_state();
        LaneTest::TearDown();
    }
    static void to_load_state()
    {
        int status = 0;
        POKREL(1, status);
        delups_clear();
        loop_buffer_clear(collected_loops_block);
        loop_buffer_clear(pending_loops_block);
        lancom_pairs(2, status);
        lane_box_close(status);
        lane_table_reset();
        lane_table_block.island_count = 0;
        pocket_box_block = pocket_box{};
        pkcont_tables_block.count = 0;
        pocket_mode_word = 0;
        pocket_run_block = pocket_run_words{};
        touch_point_flags_block = touch_point_flags{};
        cut_stage_block.end_point_note = 0;
    }

public:
    // Loads the contours (the first the outer one) into the contour tables and the contour point
    // array, relative to the lower corner of the outer contour's box, with the offset of each.
    static void load(const std::vector<contour>& contours, double offset)
    {
        pocket_frame_reset();
        double low[2] = {1.0e30, 1.0e30}, high[2] = {-1.0e30, -1.0e30};
        const contour& outer = contours.front();
        for (std::size_t i = 0; i < outer.size(); ++i) {
            if (outer[i].x > 1.0e20 || (i >= 1 && outer[i - 1].x > 1.0e20) || (i >= 2 && outer[i - 2].x > 1.0e20))
                continue;
            low[0] = std::min(low[0], outer[i].x), low[1] = std::min(low[1], outer[i].y);
            high[0] = std::max(high[0], outer[i].x), high[1] = std::max(high[1], outer[i].y);
        }
        pocket_frame& f = pocket_frame_block;
        f.origin[0] = f.box_min[0] = low[0];
        f.origin[1] = f.box_min[1] = low[1];
        f.box_max[0] = high[0], f.box_max[1] = high[1];
        f.size = std::min(high[0] - low[0], high[1] - low[1]);
        pokmain_set_origin(low[0], low[1], 0.0, pocket_box_block.main_size);
        pkcont_tables& t = pkcont_tables_block;
        int index = 1, status = 0;
        for (std::size_t k = 0; k < contours.size(); ++k) {
            const int row = static_cast<int>(k) + 1;
            t.first[row] = index;
            t.level[row] = row == 1 ? kOuterLevel : kIslandLevelBase - 1 + row;
            t.parent[row] = t.status[row] = 0;
            t.type[row] = kContourPart;
            const contour& c = contours[k];
            for (std::size_t i = 0; i < c.size(); ++i) {
                if (c[i].x > 1.0e20) {
                    POKCAR(c[i + 1].x, c[i + 1].y, index, status);
                    const double centre[3] = {c[i + 2].x, c[i + 2].y, 0.0};
                    POKCPT(centre, index, status);
                    i += 2;
                    continue;
                }
                const double point[3] = {c[i].x, c[i].y, 0.0};
                POKCPT(point, index, status);
            }
            pocket_work_block.offsets[row == 1 ? kOuterSlot : kIslandSlotBase + row - 2] = offset;
        }
        ASSERT_EQ(status, 0);
        t.count = static_cast<int>(contours.size());
        t.islands = t.count - 1;
        t.first[t.count + 1] = index;
        t.outer_type = kContourPart;
        t.stock_islands = 0;
        t.part_islands = t.islands;
    }

    // Lanes of the engine (before the first output lane) with the given status test.
    template <class Test> static int count_lanes(Test test)
    {
        const lane_table& lt = lane_table_block;
        int n = 0;
        const int last = std::min(lt.count, pocket_box_block.first_output_lane - 1);
        for (int i = 1; i <= last; ++i)
            if (test(i)) ++n;
        return n;
    }
    // Output lanes (from the first output lane on) with the given test.
    template <class Test> static int count_output(Test test)
    {
        const lane_table& lt = lane_table_block;
        int n = 0;
        for (int i = std::max(1, pocket_box_block.first_output_lane); i <= lt.count; ++i)
            if (test(i)) ++n;
        return n;
    }
    // A lane's entries (arc records included, relative to the pocket frame's origin); none when
    // it cannot be read.
    static std::vector<xy> lane_entries(int lane)
    {
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        lane_to_pokarr(lane, a, status);
        std::vector<xy> out = status == 0 ? entries_of(a) : std::vector<xy>{};
        pokarr_free(a);
        return out;
    }
    static int live_lanes()
    {
        return count_lanes([](int i) { return lane_table_block.status[i] > 0; });
    }
};
