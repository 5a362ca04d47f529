// The cutting order of the passes of the clearing point list: the walk's first pass first, then
// the nearest pass free to be cut, a pass that comes down on ground an earlier pass cut after that
// pass; the surface clearing's list as its walk made it.
#include "clearing_support.hpp"

#include "clearing/hatch/pass_order.hpp"

#include <string>

using namespace clearing_test;

namespace {

// A pass as the walk writes it: its start, then its cut points.
using pass_points = std::vector<std::array<float, 2>>;

void write_passes(const std::vector<pass_points>& passes)
{
    ASSERT_EQ(clr_points_open(), 0);
    for (const pass_points& pass : passes)
        for (std::size_t i = 0; i < pass.size(); ++i)
            ASSERT_EQ(clr_add_point(pass[i][0], pass[i][1], i == 0 ? kPassStart : kCutPoint), 0);
}

// The list as passes, each its start and cut points.
std::vector<pass_points> passes_written()
{
    std::vector<pass_points> out;
    for (const point_of_list& p : clearing_points()) {
        if (p.code == kPassStart) out.emplace_back();
        out.back().push_back({p.x, p.y});
    }
    return out;
}

}  // namespace

TEST_F(ClearingTest, PassesAreCutNearestFirstAfterThePassesTheyComeDownOn)
{
    const pass_points a{{0, 0}, {10, 0}}, far{{200, 0}, {210, 0}, {12, 1}}, near{{12, 1}, {12, 10}},
        beside_a{{11, 0}, {11, 5}};
    struct row {
        const char* name;
        int machining;
        std::vector<pass_points> walked, cut;
    } rows[] = {
        {"the nearest start next", 1, {a, far, beside_a}, {a, beside_a, far}},
        {"one pass", 1, {far}, {far}},
        // near would be nearest to a's end, but comes down on far's last point.
        {"after the pass that cut its start", 1, {a, far, near, beside_a}, {a, beside_a, far, near}},
        {"the first pass stays first", 1, {far, a, beside_a}, {far, beside_a, a}},
        {"the surface clearing's list as walked", 11, {a, far, beside_a}, {a, far, beside_a}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        machining_type() = r.machining;
        write_passes(r.walked);
        ASSERT_EQ(clr_order_passes(), 0);
        EXPECT_EQ(passes_written(), r.cut);
        // The list goes on at its new end.
        ASSERT_EQ(clr_add_point(7, 7, kCutPoint), 0);
        EXPECT_EQ(passes_written().back().back(), (std::array<float, 2>{7, 7}));
        int status = 0;
        clrcls(1, status);
    }
}
