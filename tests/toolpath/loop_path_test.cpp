// The loop path: z on a segment, the closest point of a polyline, and runs along the stored loops
// (forward round the corner and across the closing point, on one segment, coinciding ends, the
// choice between loops) with the run A then B when no loop is stored.
#include "toolpath_support.hpp"

#include "host/control/memory.hpp"
#include "nc_services/loop_path.hpp"

#include <vector>

namespace {

class LoopPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        tp_test::fresh();
        loop_store_block = loop_store{};
    }
    void TearDown() override
    {
        int status = 0;
        loop_store_set(0, nullptr, nullptr, status);
        loop_store_block = loop_store{};
        EXPECT_EQ(vantu::control::open_array_count(), 0);
    }
    // Square loop of side 10 with its corner at (x, y), counter-clockwise, at height z, closed.
    static std::vector<float> square(float x, float y, float z)
    {
        return {x, y, z, x + 10, y, z, x + 10, y + 10, z, x, y + 10, z, x, y, z};
    }
    static std::vector<float> run(const std::vector<float>& a, const std::vector<float>& b, int room = 20)
    {
        std::vector<float> points(3 * static_cast<std::size_t>(room), -1.0f);
        std::vector<int> ids(static_cast<std::size_t>(room), 9);
        int strings = 0, count = 0, status = -5;
        path_along_loop(a.data(), b.data(), 0.001f, room, points.data(), strings, count, ids.data(), status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(strings, 1);
        for (int i = 0; i < count; ++i) EXPECT_EQ(ids[static_cast<std::size_t>(i)], 0);
        points.resize(3 * static_cast<std::size_t>(count));
        return points;
    }
};

}  // namespace

TEST_F(LoopPath, SegmentZAndClosestPoint)
{
    struct case_row {
        float x, y;
        float s[3], t[3];
        float z;
    } rows[] = {
        {2.5f, 9, {0, 0, 0}, {10, 0, 4}, 1.0f},   // by x
        {3, 7.5f, {3, 5, 2}, {3, 10, 12}, 7.0f},  // by y when the x are equal
        {1, 1, {3, 5, 2}, {3, 5, 12}, 2.0f},      // no length in the plane: the start's z
    };
    for (const case_row& r : rows) {
        float x[3] = {r.x, r.y, -1};
        segment_point_z(x, r.s, r.t);
        EXPECT_FLOAT_EQ(x[2], r.z) << r.x << "," << r.y;
    }
    const std::vector<float> loop = square(0, 0, 0);
    const float p[3] = {12, 4, 5};
    int segment = -1, status = -5;
    float parameter = 0, closest[3], distance = 0;
    polyline_closest(p, 5, loop.data(), segment, parameter, closest, distance, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(segment, 1);
    EXPECT_FLOAT_EQ(parameter, 0.4f);
    EXPECT_EQ(std::vector<float>(closest, closest + 3), (std::vector<float>{10, 4, 5}));
    EXPECT_FLOAT_EQ(distance, 2.0f);
    polyline_closest(p, 1, loop.data(), segment, parameter, closest, distance, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(distance, 1.0e10f);
}

TEST_F(LoopPath, RunsAlongTheStoredLoop)
{
    // With no loop stored: A then B.
    EXPECT_EQ(run({1, 2, 3}, {4, 5, 6}), (std::vector<float>{1, 2, 3, 4, 5, 6}));

    // A tilted square: z rises with x, so points taken onto it get the z of their segment.
    std::vector<float> loop = square(0, 0, 0);
    for (std::size_t i = 0; i < loop.size(); i += 3) loop[i + 2] = loop[i] / 10.0f;
    loop.resize(12);  // stored without its closing point: the store closes it
    int status = 0;
    const int counts[1] = {4};
    loop_store_set(1, counts, loop.data(), status);
    ASSERT_EQ(status, 0);
    struct case_row {
        const char* name;
        std::vector<float> a, b, expected;
    };
    const std::vector<case_row> rows = {
        {"round one corner", {5, -1, 9}, {11, 5, 9}, {5, 0, 0.5f, 10, 0, 1, 10, 5, 1}},
        {"across the closing point", {-1, 5, 0}, {5, -2, 0}, {0, 5, 0, 0, 0, 0, 5, 0, 0.5f}},
        {"on one segment, forward", {2, -1, 0}, {8, -1, 0}, {2, 0, 0.2f, 8, 0, 0.8f}},
        {"on one segment, backward", {8, -1, 0}, {2, -1, 0}, {8, 0, 0.8f, 2, 0, 0.2f}},
        {"both ends at one place", {5, -1, 7}, {5, -3, 0}, {5, 0, 7}},
    };
    for (const case_row& r : rows) EXPECT_EQ(run(r.a, r.b), r.expected) << r.name;

    // The run must fit its room.
    std::vector<float> points(6);
    std::vector<int> ids(2);
    int strings = 0, count = 0;
    const float a[3] = {5, -1, 0}, b[3] = {11, 5, 0};
    path_along_loop(a, b, 0.001f, 2, points.data(), strings, count, ids.data(), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(tp_test::errors(), std::vector<std::string>{"path_along_loop, RUN IS LONGER THAN ITS ROOM"});
}

TEST_F(LoopPath, NearestLoopIsChosen)
{
    std::vector<float> loops = square(0, 0, 0);
    const std::vector<float> far = square(100, 0, 0);
    loops.insert(loops.end(), far.begin(), far.end());
    const int counts[2] = {5, 5};
    int status = 0;
    loop_store_set(2, counts, loops.data(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(run({105, -1, 0}, {111, 5, 0}).front(), 105.0f);
    EXPECT_EQ(loop_store_block.chosen, 2);
    // One point nearer the second loop, the other nearer the first: the loop chosen last time.
    EXPECT_EQ(run({105, -1, 0}, {11, 5, 0}).front(), 105.0f);
    loop_store_block.chosen = 0;
    EXPECT_EQ(run({105, -1, 0}, {11, 5, 0}).front(), 10.0f);

    const int short_loop[1] = {2};
    loop_store_set(1, short_loop, loops.data(), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(loop_store_block.loop_count, 0);
}
