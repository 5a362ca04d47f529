// The region test of surface links: straight moves against a region of the polygon buffer (an
// outer square with a square island), in the buffer's own frame, and the crossing search's
// limits.
#include "clearing/surface_passes/region_link.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "pocket/polbuf.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using square = std::array<float, 4>;  // x0, y0, x1, y1

class RegionLink : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
    void TearDown() override
    {
        int status = 0;
        polbuf_release_all(kPolbufClose, status);
        polbuf_block = polbuf_state{};
        vantu::control::reset();
    }
    // The squares into the buffer, each closed by repeating its first point; the buffer holds
    // them in its frame, whose direction and origin in the plane are the angle and (ox, oy).
    static void fill(const std::vector<square>& squares, float angle, float ox, float oy)
    {
        int status = 0;
        polbuf_open_all(2, kPolbufStepWords, status);
        ASSERT_EQ(status, 0);
        int n = 0;
        for (const square& s : squares) {
            ++n;
            const float xs[5] = {s[0], s[2], s[2], s[0], s[0]}, ys[5] = {s[1], s[1], s[3], s[3], s[1]};
            polbuf_set_np(n, 5, status);
            for (int i = 0; i < 5; ++i) polbuf_set_point(n, i + 1, xs[i], ys[i], status);
        }
        polbuf_set_npol(n, status);
        polbuf_set_pair(std::cos(angle), std::sin(angle), status);
        polbuf_block.origin[0] = ox;
        polbuf_block.origin[1] = oy;
    }
};

TEST_F(RegionLink, MovesAreJudgedAgainstOuterAndIsland)
{
    struct row {
        const char* name;
        float ax, ay, bx, by;
        int inside;
    };
    const std::vector<row> rows = {
        {"beside the island", 10, 10, 90, 10, 1},
        {"across the island", 10, 50, 90, 50, 0},
        {"into the island", 10, 50, 50, 50, 0},
        {"out of the region", 50, 10, 150, 10, 0},
        {"wholly outside, crossing nothing", 150, 10, 160, 20, 1},
        {"through a vertex of the island", 10, 10, 90, 90, 0},
        {"on the region's edge", 0, 10, 30, 10, 1},
        {"no length", 10, 10, 10, 10, 0},
    };
    const std::vector<square> region = {{0, 0, 100, 100}, {40, 40, 60, 60}};
    for (float angle : {0.0f, 0.7f}) {
        fill(region, angle, 5.0f, -3.0f);
        for (const row& r : rows) {
            SCOPED_TRACE(std::string(r.name) + " at angle " + std::to_string(angle));
            // The row's points are frame points: the link is asked in the plane.
            const float a[2] = {r.ax, r.ay}, b[2] = {r.bx, r.by};
            float pa[2], pb[2];
            hatchx(-angle, a, pa);
            hatchx(-angle, b, pb);
            const float ta[2] = {pa[0] + 5.0f, pa[1] - 3.0f}, tb[2] = {pb[0] + 5.0f, pb[1] - 3.0f};
            EXPECT_EQ(link_inside_region(ta, tb), r.inside);
            EXPECT_EQ(link_inside_region(tb, ta), r.inside) << "reversed";
        }
        int status = 0;
        polbuf_release_all(kPolbufClose, status);
    }
}

TEST_F(RegionLink, CrossingListLimit)
{
    // Thin slabs across the line: each gives two crossings.
    const auto slabs = [](int n) {
        std::vector<word> packed;
        for (int k = 0; k < n; ++k) {
            const float x0 = static_cast<float>(k), x1 = x0 + 0.5f;
            const float xy[10] = {x0, -1, x1, -1, x1, 1, x0, 1, x0, -1};
            packed.push_back(5);
            for (float v : xy) packed.push_back(real_to_word(v));
        }
        return packed;
    };
    const float a[2] = {-1.0f, 0.0f}, b[2] = {2000.0f, 0.0f};
    for (int n : {1000, 1001}) {
        SCOPED_TRACE(n);
        vantu::control::clear_messages();
        const std::vector<word> packed = slabs(n);
        line_crossings crossings{};
        int count = -1, span_a = -7, span_b = -7;
        zclrln_srf(packed.data(), n, static_cast<int>(packed.size()), a, b, count, crossings, span_a, span_b);
        const bool full = n > 1000;
        EXPECT_EQ(span_a, full ? -1 : 0);
        if (!full) {
            EXPECT_EQ(count, 2 * n);
            EXPECT_EQ(span_b, 2 * n + 1);
        }
        EXPECT_EQ(vantu::control::texts_of("eroutc"),
                  full ? std::vector<std::string>{"ZCLRLN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"}
                       : std::vector<std::string>{});
    }
}

}  // namespace
