// The check plane of the surface strings: where plane_clip stops a segment, and what it records.
#include "clearing/surface_services/check_plane.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <gtest/gtest.h>

#include <array>

namespace {

using v3 = std::array<float, 3>;

// PLN1 holding the plane P . X + d = 0 under the given id (its point at the origin).
void hold_plane(int id, const v3& normal, float offset)
{
    PLN1() = plane_state{};
    PLN1().at(plane_state::kThirdEntity) = id;
    for (int k = 0; k < 3; ++k) PLN1().set_real(plane_state::kPlane + k, normal[static_cast<std::size_t>(k)]);
    PLN1().set_real(plane_state::kPlane + 3, offset);
}

}  // namespace

// A segment that crosses the plane z = 5 ends on it, its second value interpolated alike; a
// segment along the plane is parallel; one that stops short of it, or starts beyond it, or any
// segment while no plane is held, is left alone. Only mode 1 records the stop.
TEST(CheckPlane, ClipsTheSegmentThatCrossesThePlane)
{
    constexpr int kId = 77;
    struct row {
        const char* what;
        int id, mode;
        v3 first, second;
        int result;
        v3 clipped;
        float value;  // pair[1] afterwards (pair starts {0, 10})
    };
    const row rows[] = {
        {"crossing", kId, 1, {0, 0, 0}, {10, 0, 10}, kPlaneCrossed, {5, 0, 5}, 5},
        {"crossing downwards", kId, 0, {0, 0, 9}, {8, 4, 1}, kPlaneCrossed, {4, 2, 5}, 5},
        {"within the widened end", kId, 1, {0, 0, 0}, {10, 0, 4.9998f}, kPlaneCrossed, {10.0004f, 0, 5}, 10.0004f},
        {"short of the plane", kId, 1, {0, 0, 0}, {10, 0, 4.99f}, kPlaneNone, {10, 0, 4.99f}, 10},
        {"beyond the plane", kId, 1, {0, 0, 5.01f}, {0, 0, 10}, kPlaneNone, {0, 0, 10}, 10},
        {"along the plane", kId, 1, {0, 0, 1}, {10, 3, 1}, kPlaneParallel, {10, 3, 1}, 10},
        {"no plane", -1, 1, {0, 0, 0}, {10, 0, 10}, kPlaneNone, {10, 0, 10}, 10},
        {"never restored", 0, 1, {0, 0, 0}, {10, 0, 10}, kPlaneNone, {10, 0, 10}, 10},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        hold_plane(r.id, {0, 0, 1}, -5);
        v3 second = r.second;
        float pair[2] = {0, 10};
        int result = 9;
        plane_clip(r.mode, r.first.data(), pair, second.data(), result);
        EXPECT_EQ(result, r.result);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(second[k], r.clipped[k], 1e-4f) << k;
        EXPECT_NEAR(pair[1], r.value, 1e-4f);
        const bool recorded = r.result == kPlaneCrossed && r.mode == kPlaneClipRecord;
        EXPECT_EQ(PLN1().at(plane_state::kStopPlane), recorded ? kId : 0);
        EXPECT_EQ(PLN1().real(plane_state::kStopNormal + 2), recorded ? 1.0f : 0.0f);
    }
    PLN1() = plane_state{};
}
