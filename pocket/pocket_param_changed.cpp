// The parameters-changed callback of the pocket: which differences between the current parameter
// block and the copy taken before define call for the tool path to be computed again. Each rule
// names a parameter and when it counts; the method, the passes and the other switches of the
// current block decide. Reads drelan_params_current and drelan_params_previous and the entry
// points with their saved copy.
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"

#include <iterator>

namespace {

using P = drelan_params;

constexpr int kHatching = 1, kLanes = 2;
constexpr int kPocketOnly = 1, kContourOnly = 3;

enum class compare { integer, real, exact_real, entry_points, start_point, approach_retract };

struct change_rule {
    int index;  // word of the parameter (unused by the composite comparisons)
    compare kind;
    bool (*counts)(const P& p);  // whether a difference counts with the current parameters
};

int method(const P& p) { return p.at(P::kMethod); }
int passes(const P& p) { return p.at(P::kPasses); }
bool always(const P&) { return true; }
bool hatching(const P& p) { return method(p) == kHatching; }
bool lanes(const P& p) { return method(p) == kLanes; }
bool not_plain_hatching(const P& p) { return method(p) != kHatching || passes(p) != kPocketOnly; }
bool lanes_with_pocket(const P& p) { return lanes(p) && passes(p) != kContourOnly; }
bool with_pocket(const P& p) { return passes(p) != kContourOnly; }
bool with_contour_pass(const P& p) { return passes(p) != kPocketOnly; }
bool several_regions(const P& p) { return p.at(P::kRegionCount) > 1; }
bool entry_search(const P& p) { return p.at(P::kEntryMode) != 1 && with_pocket(p); }
bool entry_points(const P& p) { return p.at(P::kEntryMode) == 2 && with_pocket(p); }
bool start_point(const P& p) { return p.at(P::kStartMode) == 2 && lanes(p); }
bool approach_lengths(const P& p) { return p.at(P::kApproachKind) == 1 && not_plain_hatching(p); }
bool approach_value(const P& p) { return p.at(P::kApproachKind) == 2 && not_plain_hatching(p); }
bool linked_hatching(const P& p) { return hatching(p) && p.at(P::kHatchLink) == 2; }

// In the order of the comparison; codes 11, 12, 16, 20, 22, 131 and 262 take no part.
constexpr change_rule kRules[] = {
    {P::kMethod, compare::integer, always},                    // 211
    {P::kExtraOffset, compare::exact_real, always},            // 225
    {P::kPasses, compare::integer, always},                    // 224
    {P::kHatchLink, compare::integer, hatching},               // 24
    {P::kHatchSign, compare::integer, hatching},               // 39
    {P::kApproachKind, compare::integer, not_plain_hatching},  // 17
    {P::kLaneOptionA, compare::integer, always},               // 23
    {P::kLaneOptionB, compare::integer, lanes_with_pocket},    // 28
    {P::kStartMode, compare::integer, lanes},                  // 29
    {P::kEntryMode, compare::integer, with_pocket},            // 30
    {P::kCutDirection, compare::integer, not_plain_hatching},  // 27
    {P::kSingleOffset, compare::integer, lanes_with_pocket},   // 200
    {P::kLeadMode, compare::integer, with_contour_pass},       // 238
    {P::kOffsetOption, compare::integer, lanes},               // 68
    {P::kRegionCount, compare::integer, always},               // 222
    {P::kRegionOrder, compare::integer, several_regions},      // 221
    {P::kEntrySearch, compare::integer, entry_search},         // 223
    {P::kOption256, compare::integer, always},                 // 256
    {0, compare::entry_points, entry_points},                  // 219, 220
    {P::kStartPoint, compare::start_point, start_point},       // 32
    {0, compare::approach_retract, approach_lengths},          // 14
    {P::kSideStep, compare::real, with_pocket},                // 26
    {P::kTolerance, compare::real, always},                    // 25
    {P::kHatchAngle, compare::real, hatching},                 // 44
    {P::kHatchAngle2, compare::real, hatching},                // 42
    {P::kZStep, compare::real, always},                        // 13
    {P::kReferenceZ, compare::real, always},                   // 205
    {P::kApproachValue, compare::real, approach_value},        // 15
    {P::kRampAngle, compare::real, lanes},                     // 86
    {P::kValue257, compare::real, always},                     // 257
    {P::kHatchOption, compare::integer, linked_hatching},      // 259
};

bool differs(const change_rule& rule, const P& now, const P& before)
{
    switch (rule.kind) {
    case compare::integer: return now.at(rule.index) != before.at(rule.index);
    case compare::real: return neval(now.real(rule.index), before.real(rule.index)) != 0;
    case compare::exact_real: return now.real(rule.index) != before.real(rule.index);
    case compare::entry_points: return entry_pnts_unchanged() == 0;
    case compare::start_point: {
        const float a[2] = {now.real(rule.index), now.real(rule.index + 1)};
        const float b[2] = {before.real(rule.index), before.real(rule.index + 1)};
        return eqpt2(a, b) == 0;
    }
    case compare::approach_retract:
        return neval(now.real(P::kApproachLength), before.real(P::kApproachLength)) != 0 ||
               neval(now.real(P::kRetractLength), before.real(P::kRetractLength)) != 0;
    }
    return false;
}

}  // namespace

void param_changed_drelan(int& changed_recompute, int& /*changed_update*/, int& status)
{
    status = 0;
    if (changed_recompute != 0) return;
    const P& now = drelan_params_current;
    const P& before = drelan_params_previous;
    for (const change_rule& rule : kRules) {
        if (rule.counts(now) && differs(rule, now, before)) {
            changed_recompute = 1;
            return;
        }
    }
}
