// The absolute x, y, z reader and the plain 2-D reader of the main arrays, and the display in
// entity mode (polyline entities of the part) and of single-precision lists.
#include "host/vantu.hpp"
#include "host/vantu_polyline.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_test_support.hpp"

namespace {

class Readers : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pokarr_show_block = pokarr_show_state{};
    }
    void TearDown() override
    {
        int status = 0;
        POKREL(1, status);
        PocketTest::TearDown();
    }
    // Stores n points (i, 2i, 3i) relative to the origin at entries 1 .. n.
    static void store_points(int n)
    {
        int status = 0, size = 100;
        PokAllocMainArray(size, 0, status);
        pokarr lane;
        pokarr_init(3, lane);
        for (int i = 0; i < n; ++i) {
            const double p[3] = {1.0 * i, 2.0 * i, 3.0 * i};
            pokarr_add_pnt(p, lane, status);
        }
        pokmain_put_pnts(lane, 1, status);
        ASSERT_EQ(status, 0);
        pokarr_free(lane);
    }
};

TEST_F(Readers, XyzGivesAbsolutePointsAndHeights)
{
    pocket_state_block.pocket_dimension = 3;
    int status = -2, capacity = 0;
    pokinitdim(status);
    pokmain_set_origin(100, 200, 7, capacity);
    store_points(4);
    double list[8], z[4];
    pokmain_get_xyz(1, 1, 5, list, z, 4, status);
    ASSERT_EQ(status, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list[2 * i], 100.0 + i);
        EXPECT_EQ(list[2 * i + 1], 200.0 + 2 * i);
        EXPECT_EQ(z[i], 7.0 + 3 * i);
    }
    pokmain_get_xyz(0, 1, 5, list, z, 4, status);
    EXPECT_EQ(z[0], 7.0 + 9);                      // backward
    pokmain_get_xyz(1, 1, 5, list, z, 3, status);  // room for three only
    EXPECT_EQ(status, -1);
    // With normals the range holds points then normals: only the first half is read.
    pocket_state_block.pocket_dimension = 4;
    z[2] = -1;
    pokmain_get_xyz(1, 1, 5, list, z, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(z[1], 10.0);
    EXPECT_EQ(z[2], -1.0);
}

TEST_F(Readers, TwoDReaderFillsTheCallersListsAndRefusesMore)
{
    pocket_state_block.pocket_dimension = 3;
    int status = -2;
    pokinitdim(status);
    store_points(6);
    double x[6] = {}, y[6] = {};
    pokmain_get_2d(6, 1, x, y, 6, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(x[5], 5.0);
    EXPECT_EQ(y[5], 10.0);
    x[4] = -1;
    pokmain_get_2d(6, 1, x, y, 4, status);  // six do not fit in four
    EXPECT_EQ(status, -1);
    EXPECT_EQ(x[4], -1.0);
    pokmain_get_2d(2, 1, nullptr, y, 4, status);
    EXPECT_EQ(status, -1);
}

TEST_F(Readers, EntityModeMakesJoinedPolylines)
{
    pocket_state_block.pocket_dimension = 3;
    pokarr_show_mode(5);
    pokarr lane;
    pokarr_init(3, lane);
    int status = 0;
    // 1000 points: more than one buffer of 2047 values, so two entities that join.
    for (int i = 0; i < 1000; ++i) {
        const double p[3] = {1.0 * i, 0.5 * i, 1.0};
        pokarr_add_pnt(p, lane, status);
    }
    ASSERT_EQ(pokarr_show(lane, 1), 0);
    ASSERT_EQ(pokarr_show_block.entity_count, 2);
    std::vector<double> first(3 * 1000), second(3 * 1000);
    int n1 = 0, n2 = 0;
    crcmpl_points(pokarr_show_block.entities[0], 1000, n1, first.data(), status);
    ASSERT_EQ(status, 0);
    crcmpl_points(pokarr_show_block.entities[1], 1000, n2, second.data(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(n1, 683);
    EXPECT_EQ(n1 + n2, 1001);  // the joint point is in both
    EXPECT_EQ(first[3 * (n1 - 1)], second[0]);
    EXPECT_EQ(second[3 * (n2 - 1)], 999.0);
    int value = 0;
    eattc(pokarr_show_block.entities[0], 1, "CO", value, status);
    EXPECT_EQ(value, 5);
    eattc(pokarr_show_block.entities[1], 1, "PE", value, status);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(vantu::control::displayed_entities().size(), 2u);

    // A repeated point is not added; a flush of fewer than two points makes nothing.
    pokarr buffer;
    pokarr_init(1, buffer);
    const double p[3] = {1, 2, 3};
    EXPECT_EQ(pokarr_show_entity_pnt(buffer, p), 0);
    EXPECT_EQ(pokarr_show_entity_pnt(buffer, p), 0);
    EXPECT_EQ(buffer.count, 3);
    EXPECT_EQ(pokarr_show_entity_pnt(buffer, nullptr), 0);
    EXPECT_EQ(vantu::control::displayed_entities().size(), 2u);
    pokarr_free(buffer);
    pokarr_free(lane);
}

TEST_F(Readers, FailedPolylineIsReportedAndFloatListsDrawAsGiven)
{
    pokarr_show_mode(1);
    vantu::control::inject_fault("crcmpl", 1, 1, -4);
    pokarr square = make_2d({{0, 0}, {1, 0}, {1, 1}});
    EXPECT_EQ(pokarr_show(square, 1), -1);
    EXPECT_EQ(pokarr_show_block.entity_count, 0);
    pokarr_free(square);

    pokarr_show_mode(0);
    const float list[6] = {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f};
    EXPECT_EQ(pokarr_show_float(2, list, 3), 0);
    ASSERT_FALSE(vantu::control::figures().empty());
    const auto& strokes = vantu::control::figures().back().strokes;
    ASSERT_EQ(strokes.size(), 1u);
    ASSERT_EQ(strokes[0].size(), 3u);
    EXPECT_FLOAT_EQ(static_cast<float>(strokes[0][2][0]), 5.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(strokes[0][2][1]), 6.5f);
    EXPECT_EQ(pokarr_show_float(4, list, 3), -1);
    EXPECT_EQ(pokarr_show_float(2, nullptr, 3), -1);
}

}  // namespace
