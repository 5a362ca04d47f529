#include "engine_test_support.hpp"
#include <chrono>
#include <cstdio>

namespace {
class Scratch : public EngineTest {};

void dump(const char* title)
{
    const lane_table& lt = lane_table_block;
    std::printf("== %s: lanes %d first_output %d islands %d\n", title, lt.count, pocket_box_block.first_output_lane, lt.island_count);
    for (int i = 1; i <= lt.count && i <= 400; ++i) {
        int n = 0; lane_npnts(i, n);
        std::printf("%4d lvl %6d st %4d par %4d l1 %4d l2 %4d grp %4d off %6.3f n %d\n", i, lt.level[i], lt.status[i], lt.parent[i], lt.link1[i], lt.link2[i], lt.group[i], lt.offset[i], n);
    }
}

TEST_F(Scratch, Rect)
{
    load({rectangle(0, 0, 20, 10)}, 1.0);
    int status = -7;
    cmtpk_clean(0, status);
    dump("rect");
    EXPECT_EQ(status, 0);
}
TEST_F(Scratch, RectIslands)
{
    load({rectangle(0, 0, 40, 20), circle(10, 10, 3), circle(30, 10, 3)}, 1.0);
    int status = -7;
    auto t0 = std::chrono::steady_clock::now();
    cmtpk_clean(0, status);
    auto t1 = std::chrono::steady_clock::now();
    dump("rect islands");
    std::printf("time %f\n", std::chrono::duration<double>(t1-t0).count());
    for (auto& m : vantu::control::messages()) std::printf("[%s] %s\n", m.channel.c_str(), m.line.c_str());
    EXPECT_EQ(status, 0);
}
TEST_F(Scratch, SingleOffsetIslands)
{
    pocket_state_block.offsets_mode = 1;
    load({rectangle(0, 0, 40, 20), circle(10, 10, 3), circle(30, 10, 3)}, 1.0);
    int status = -7;
    cmtpk_clean(0, status);
    dump("single");
    for (auto& m : vantu::control::messages()) std::printf("[%s] %s\n", m.channel.c_str(), m.line.c_str());
    EXPECT_EQ(status, 0);
}
}
namespace {
void w1(int n, double step)
{
    std::mt19937 rng(20240601u);
    std::vector<contour> cs{rectangle(0, 0, 200, 100)};
    int cols = 1; while (cols * cols * 2 < n) ++cols; cols = std::max(cols, 1);
    int rows = (n + 2*cols - 1) / (2*cols);
    std::uniform_real_distribution<double> jit(-1.0, 1.0);
    int made = 0;
    for (int r = 0; r < rows && made < n; ++r) for (int c = 0; c < 2*cols && made < n; ++c, ++made) {
        double x = 5 + (190.0 * (c + 0.5)) / (2*cols) + jit(rng) * 0.5 * 190.0/(2*cols) * 0.4;
        double y = 5 + (90.0 * (r + 0.5)) / rows + jit(rng) * 0.5 * 90.0/rows * 0.4;
        cs.push_back(circle(x, y, 2.0));
    }
    pocket_work_block.side_step = step;
    pocket_work_block.tolerance = 0.005;
    pocket_state_block.multi_offset = 0;
    EngineTest::load(cs, step);
    int status = -7;
    auto t0 = std::chrono::steady_clock::now();
    cmtpk_clean(0, status);
    auto t1 = std::chrono::steady_clock::now();
    int passes = 0; const lane_table& lt = lane_table_block;
    for (int i = 1; i < pocket_box_block.first_output_lane && i <= lt.count; ++i) passes = std::max(passes, lt.status[i]);
    int owned = 0; for (int i = 0; i < pkdm_table_block.count; ++i) if (pkdm_table_block.entries[i].state == kPkdmOwned) ++owned;
    std::printf("N=%d s=%g status %d lanes %d first_out %d maxstatus %d time %f pool %d owned %d\n", n, step, status, lt.count, pocket_box_block.first_output_lane, passes, std::chrono::duration<double>(t1-t0).count(), pkdm_table_block.count, owned);
}
class W1 : public EngineTest {};
TEST_F(W1, N0s05) { w1(0, 0.5); }
TEST_F(W1, N10s05) { w1(10, 0.5); }
TEST_F(W1, N100s05) { w1(100, 0.5); }
TEST_F(W1, N400s05) { w1(400, 0.5); }
TEST_F(W1, N200s05) { w1(200, 0.5); }
TEST_F(W1, N0s01) { w1(0, 0.1); }
TEST_F(W1, N100s01) { w1(100, 0.1); }
TEST_F(W1, N400s01) { w1(400, 0.1); }
}
namespace {
TEST_F(Scratch, Small)
{
    load({circle(1, 1, 0.8)}, 1.0);
    int status = -7;
    cmtpk_clean(0, status);
    dump("small");
    for (auto& m : vantu::control::messages()) std::printf("[%s] %s\n", m.channel.c_str(), m.line.c_str());
    pokarr a; pokarr_init(2,a); int st=0; lane_to_pokarr(2,a,st); for (auto p: entries_of(a)) std::printf("%g %g\n", p.x,p.y); pokarr_free(a);
}
}
