// Signed offsets of the pocket's contours: the orientation comes from the contours' records in
// the contour wire buffer (an older block is signed while it is read, before any region is
// prepared), and a clockwise contour's sign is applied once.
#include "package_test_support.hpp"

#include "pocket/contour_orientation.hpp"
#include "pocket/contour_table.hpp"

namespace {

class ContourOrientation : public PackageTest {
protected:
    void TearDown() override
    {
        contour_buffers_block = contour_buffers{};
        PackageTest::TearDown();
    }
};

}  // namespace

TEST_F(ContourOrientation, SignedOffsetsApplyTheOrientationOnce)
{
    polygon_set(1, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    polygon_set(2, {{10, 10}, {10, 20}, {20, 20}, {20, 10}});  // clockwise
    auto& wire = contour_buffers_block.wire;
    int length = 0, status = 0;
    dfdgrc(1, contour_entries(), wire.data(), length, status);
    dfdgrc(2, contour_entries(), wire.data() + kChainEntryWords * length, length, status);
    polbuf_open_all(2, kPolbufStepWords, status);
    ASSERT_EQ(status, 0);
    int orientation[2] = {};
    float values[2] = {2.0f, 2.0f};
    contour_offsets_signed(2, orientation, 1, values, 0.5f, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(orientation[0], 1);
    EXPECT_EQ(orientation[1], -1);
    EXPECT_FLOAT_EQ(values[0], 1.5f);
    EXPECT_FLOAT_EQ(values[1], 1.5f);
}
