// Scale and combine with the least contour combination: the result is the first trial offset
// (the hint within the target, never below the least offset); a loop whose samples pass the
// limit fails, so the caller keeps its distance; the samples reach combcont in the part's frame,
// no two farther apart than R5.
#include "lane_test_support.hpp"

#include "pocket_lanes/combcont.hpp"
#include "pocket_lanes/scale_combine.hpp"

#include <cmath>
#include <vector>

namespace {

class ScaleCombine : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_frame_block = pocket_frame{};
    }
};

}  // namespace

TEST_F(ScaleCombine, FirstTrialOffset)
{
    struct row {
        double target, least, hint, result;
    } rows[] = {
        {2.0, 0.0, 1.5, 1.5},  // the hint within the target
        {2.0, 0.0, 2.5, 2.0},  // a hint beyond the target: the target
        {2.0, 0.0, 0.0, 2.0},  // no hint
        {2.0, 1.8, 1.5, 1.8},  // never below the least offset
    };
    const double points[] = {0, 0, 1, 0}, directions[] = {0, 1, 0, 1};
    for (const row& r : rows) {
        double result = -1.0;
        int status = -7;
        combcont(0.01, 2, points, directions, r.target, r.least, 10.0, r.hint, result, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(result, r.result) << r.target << " " << r.least << " " << r.hint;
    }
    const std::vector<double> x = {0, 100, 100, 0, 0}, y = {0, 0, 100, 100, 0};
    for (int mode : {kCombineKeep, kCombineReverse, kCombineBisector}) {
        double result = -1.0;
        int status = -7;
        scale_and_combine(mode, 0.01, 1.0, x.data(), y.data(), 5, 2.0, 0.0, 2.0, 1.5, result, status);
        EXPECT_EQ(status, 0) << mode;
        EXPECT_EQ(result, 1.5) << mode;
    }
}

TEST_F(ScaleCombine, TooManySamplesFail)
{
    // A zigzag of 8,000 teeth keeps more than 7,000 samples after thinning.
    std::vector<double> x, y;
    for (int k = 0; k <= 8000; ++k) x.push_back(10.0 * k), y.push_back(k % 2 == 0 ? 0.0 : 50.0);
    x.push_back(0.0), y.push_back(-100.0);
    x.push_back(0.0), y.push_back(0.0);
    double result = -1.0;
    int status = 0;
    scale_and_combine(kCombineKeep, 0.01, 1.0, x.data(), y.data(), static_cast<int>(x.size()), 2.0, 0.0, 2.0, 1.5,
                      result, status);
    EXPECT_EQ(status, kCombineFailed);
    EXPECT_EQ(result, -1.0);
}
