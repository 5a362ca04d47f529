// The two parameter blocks of the pocket procedure, in zero-filled static storage, and their
// defaults.
#include "pocket/drelan_params.hpp"

#include "nc_services/nc_state_blocks.hpp"

#include <algorithm>

drelan_params drelan_params_current;
drelan_params drelan_params_previous;

float tool_path_origin_z() { return NPT1().real(tp_header_state::kMacsysOrigin + 2); }

void drelan_params_defaults(float top_z, drelan_params& p)
{
    using P = drelan_params;
    std::fill(std::begin(p.words), std::end(p.words), 0);
    struct integer_default {
        int index, value;
    };
    static constexpr integer_default kIntegers[] = {
        {P::kMethod, 2},       {P::kPasses, 1},       {P::kHatchLink, 1},     {P::kHatchSign, 1},
        {P::kApproachKind, 1}, {P::kLaneOptionA, 2},  {P::kLaneOptionB, 1},   {P::kStartMode, 1},
        {P::kEntryMode, 1},    {P::kCutDirection, 1}, {P::kSingleOffset, 2},  {P::kOffsetOption, 1},
        {P::kEntrySearch, 1},  {P::kRegionOrder, 4},  {P::kRegionCount, 1},   {P::kLeadMode, 1},
        {P::kOption256, 1},    {P::kHatchOption, 1},  {P::kContourOption, 2}, {P::kPointPickMode, 7},
    };
    for (const integer_default& d : kIntegers) p.at(d.index) = d.value;
    struct real_default {
        int index;
        float value;
    };
    const real_default reals[] = {
        {P::kSideStep, 0.1f},      {P::kTolerance, 0.1f},   {P::kTopZ, top_z},          {P::kBottomZ, top_z},
        {P::kClearHeight, top_z},  {P::kReferenceZ, top_z}, {P::kApproachLength, 2.0f}, {P::kRetractLength, 2.0f},
        {P::kApproachValue, 1.0f}, {P::kRampAngle, 90.0f},
    };
    for (const real_default& d : reals) p.set_real(d.index, d.value);
}
