// The check of a parameter block against the page's limits (see the header).
#include "pocket/param_limits.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"

#include <cmath>
#include <vector>

namespace {

using P = drelan_params;

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kHatching = 1, kContourOnly = 3;
constexpr int kGivenStartPoint = 2;
constexpr int kZStepCode = 13;

// A value of the block and the bounds it is held to, already in the block's own terms.
struct held_value {
    int code;
    float value;
    float minimum;
    float maximum;
};

// The limits of a field the page shows relative to a datum, as the page stores a typed limit.
held_value relative(const param_limit& limit, float value, float datum)
{
    return {limit.code, value, limit.minimum + datum, limit.maximum + datum};
}

held_value plain(const param_limit& limit, float value) { return {limit.code, value, limit.minimum, limit.maximum}; }

// The hatch angle in radians, held to the limits in degrees as the page converts them.
held_value hatch_angle(float radians)
{
    const auto stored = [](float degrees) { return static_cast<float>(degrees * kRadiansPerDegree); };
    return {kHatchAngleLimit.code, radians, stored(kHatchAngleLimit.minimum), stored(kHatchAngleLimit.maximum)};
}

bool outside(const held_value& v) { return !(v.value >= v.minimum && v.value <= v.maximum); }

}  // namespace

void param_limits_check(int& status)
{
    const P& p = drelan_params_current;
    const float origin[3] = {NPT1().real(tp_header_state::kMacsysOrigin),
                             NPT1().real(tp_header_state::kMacsysOrigin + 1),
                             NPT1().real(tp_header_state::kMacsysOrigin + 2)};
    const bool pocket = p.at(P::kPasses) != kContourOnly;
    const float depth = p.real(P::kTopZ) - p.real(P::kBottomZ);
    std::vector<held_value> held = {plain(kToleranceLimit, std::fabs(p.real(P::kTolerance))),
                                    {kZStepCode, p.real(P::kZStep), 0.0f, depth > 0.0f ? depth : 0.0f}};
    if (pocket) held.push_back(plain(kExtraOffsetLimit, p.real(P::kExtraOffset)));
    if (pocket) held.push_back(plain(kSideStepLimit, p.real(P::kSideStep)));
    if (contour_table_block.draft_present != 0)
        held.push_back(relative(kReferenceZLimit, p.real(P::kReferenceZ), origin[2]));
    if (p.at(P::kMethod) == kHatching) held.push_back(hatch_angle(p.real(P::kHatchAngle)));
    for (int axis = 0; axis < 2 && p.at(P::kStartMode) == kGivenStartPoint; ++axis)
        held.push_back(relative(kStartPointLimit, p.real(P::kStartPoint + axis), origin[axis]));
    status = kGoOn;
    for (const held_value& v : held) {
        if (!outside(v)) continue;
        erou1c("[param_limits_check] VALUE OUT OF LIMITS. CODE=", v.code);
        status = kFailed;
        return;
    }
}
