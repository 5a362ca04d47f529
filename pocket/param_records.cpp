// The table of the pocket's parameter records.
#include "pocket/param_records.hpp"

#include "pocket/drelan_params.hpp"

#include <algorithm>
#include <iterator>

namespace {

using P = drelan_params;
using S = param_source;

constexpr param_row integer(int code, int index) { return {code, S::block, index, false, 1}; }
constexpr param_row real(int code, int index, int count = 1) { return {code, S::block, index, true, count}; }

constexpr param_row kRows[] = {
    {41, S::contour_offset, 0, true, 0},
    {142, S::contour_draft, 0, true, 0},
    integer(211, P::kMethod),
    integer(224, P::kPasses),
    integer(24, P::kHatchLink),
    integer(39, P::kHatchSign),
    real(26, P::kSideStep),
    real(25, P::kTolerance),
    real(20, P::kNewOffset),
    real(22, P::kNewDraft),
    real(44, P::kHatchAngle),
    real(42, P::kHatchAngle2),
    real(11, P::kTopZ),
    real(12, P::kBottomZ),
    real(16, P::kClearHeight),
    real(13, P::kZStep),
    real(205, P::kReferenceZ),
    {14, S::approach_retract, 0, true, 2},
    real(15, P::kApproachValue),
    real(32, P::kStartPoint, 3),
    real(86, P::kRampAngle),
    integer(17, P::kApproachKind),
    integer(23, P::kLaneOptionA),
    integer(28, P::kLaneOptionB),
    integer(29, P::kStartMode),
    integer(30, P::kEntryMode),
    integer(27, P::kCutDirection),
    integer(200, P::kSingleOffset),
    integer(68, P::kOffsetOption),
    integer(131, P::kPointPickMode),
    integer(221, P::kRegionOrder),
    integer(223, P::kEntrySearch),
    integer(222, P::kRegionCount),
    real(225, P::kExtraOffset),
    {219, S::entry_count, 0, false, 1},
    {220, S::entry_points, 0, true, 0},
    integer(238, P::kLeadMode),
    integer(256, P::kOption256),
    real(257, P::kValue257),
    integer(259, P::kHatchOption),
    integer(262, P::kContourOption),
    {263, S::contour_type, 0, false, 0},
    {198, S::tool_id, 0, false, 1},
};

}  // namespace

std::span<const param_row> pocket_param_rows() { return kRows; }

const param_row* find_param_row(int code)
{
    const auto it =
        std::find_if(std::begin(kRows), std::end(kRows), [code](const param_row& r) { return r.code == code; });
    return it == std::end(kRows) ? nullptr : &*it;
}

bool param_row_in_template(const param_row& row)
{
    return row.source != S::contour_offset && row.source != S::contour_draft && row.source != S::contour_type &&
           row.source != S::tool_id;
}
