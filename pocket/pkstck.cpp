// The start-side check of the pocket dialog (with the crossing check of the contours) and the
// measurement of gaps between contour curves.
#include "pocket/pkstck.hpp"

#include "host/vantu.hpp"
#include "nc_services/msg_window.hpp"
#include "pocket/contour_crossings.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/direction_arrows.hpp"
#include "pocket/drelan_params.hpp"
#include "toolpath/machine_table.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using P = drelan_params;

constexpr int kGoOn = 0, kStayOpen = 1;
constexpr int kHatching = 1;
constexpr int kApproachWithLengths = 1;
// NC sub-codes whose contour kinds count one lower (their kind 2 is a curve chain too).
constexpr int kSubCodesShifted[] = {1, 7, 51};

void warn(std::string_view text) { msg_window(kMsgWindowAdd, kMsgWarning, static_cast<int>(text.size()), text); }

// Start and end point (parameters data[0], data[1]) of curve k of a record.
bool curve_ends(const int* record, int k, double (&start)[3], double (&end)[3], int& status)
{
    int entity = 0;
    double data[3];
    dfdget(record, k, entity, data, status);
    if (status == 0) evcrvd(entity, data[0], start, nullptr, status);
    if (status == 0) evcrvd(entity, data[1], end, nullptr, status);
    return status == 0;
}

double xy_distance(const double (&a)[3], const double (&b)[3]) { return std::hypot(a[0] - b[0], a[1] - b[1]); }

// The largest gap between consecutive curves of one chain record, the gap from its last curve
// back to its first included: the pocket closes an open chain along that gap.
void chain_gap(const int* record, double& gap, int& status)
{
    int curves = 0;
    dfdgnc(record, curves, status);
    if (status != 0) return;
    double first_start[3], previous_end[3];
    for (int k = 1; k <= curves; ++k) {
        double start[3], end[3];
        if (!curve_ends(record, k, start, end, status)) return;
        if (k == 1)
            std::copy(start, start + 3, first_start);
        else
            gap = std::max(gap, xy_distance(previous_end, start));
        std::copy(end, end + 3, previous_end);
    }
    if (curves > 0) gap = std::max(gap, xy_distance(previous_end, first_start));
}

// A contour whose first item is an edge of a solid standing at the origin is passed over.
bool passed_over(const int* record)
{
    int entity = 0, status = 0;
    double data[3];
    dfdget(record, 1, entity, data, status);
    static constexpr double kOrigin[3] = {0.0, 0.0, 0.0};
    return status == 0 && ncs_id_is_not_solid(entity) == 0 && eqptd(3, data, kOrigin) != 0;
}

}  // namespace

void contour_max_gap(const int* records, int count, const int* kinds, double& gap, int& status)
{
    gap = 0.0;
    status = 0;
    if (records == nullptr || kinds == nullptr) return;
    const int sub_code = nu_sgcd_get_code();
    const bool shifted =
        std::find(std::begin(kSubCodesShifted), std::end(kSubCodesShifted), sub_code) != std::end(kSubCodesShifted);
    int entry = 1;
    for (int k = 1; k <= std::min(count, kMaxContours) && entry <= contour_entries(); ++k) {
        const int* record = records + kChainEntryWords * (entry - 1);
        int kind = kinds[k];
        if (kind > 1 && shifted) --kind;
        int length = 0;
        dfdgld(record, length, status);
        if (status != 0 || length < 1) {
            status = 0;
            return;
        }
        if (kind == kKindChain && !passed_over(record)) chain_gap(record, gap, status);
        if (status != 0) return;
        // Every contour moves the position on, the passed-over ones too.
        entry += length;
    }
}

void pkstck(int& status)
{
    status = kGoOn;
    const P& p = drelan_params_current;
    const contour_table& t = contour_table_block;
    if (t.contours_valid == 0) {
        userrc("CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT");
        status = kStayOpen;
        return;
    }
    if (p.at(P::kMethod) == kHatching && arrows_shown() == 0) {
        status = kStayOpen;
        const std::string text = "CANNOT CALCULATE START SIDE";
        msg_window(kMsgWindowAdd, kMsgError, static_cast<int>(text.size()), text);
    }
    if (p.at(P::kApproachKind) == kApproachWithLengths && PRM9().words[machine_params::kCutterComp] != 0 &&
        (p.at(P::kMethod) != 1 || p.at(P::kPasses) != 1)) {
        if (eqval0(p.real(P::kApproachLength))) warn("CUTTER COMPENSATION IS ON WITH NO APPROACH MOTION");
        if (eqval0(p.real(P::kRetractLength))) warn("CUTTER COMPENSATION IS ON WITH NO RETRACT MOTION");
    }
    double gap = 0.0;
    int measured = 0;
    contour_max_gap(contour_buffers_block.wire.data(), t.gathered_count, t.kind.data(), gap, measured);
    if (measured == 0 && gtval(static_cast<float>(gap), p.real(P::kTolerance))) {
        std::string text;
        mktx1c("MAX. GAP BETWEEN CONT. CURVES IS", static_cast<float>(gap), ".GREATER THAN CONT. TOL.", text);
        warn(text);
    }
    int crossing = kGoOn;
    contour_crossings_check(crossing);
    if (crossing != kGoOn) status = kStayOpen;
    msg_window(kMsgWindowShow, 0, 0, "");
}
