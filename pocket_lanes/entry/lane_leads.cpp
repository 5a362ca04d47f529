// The lead moves at lane ends: the approach retry, the lead-in into a lane and the lead-out after
// it (see the header).
#include "pocket_lanes/entry/lane_leads.hpp"

#include "host/vantu.hpp"
#include "nc_services/coord_in_display_units.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/entry/lead_arcs.hpp"
#include "pocket_lanes/entry/lead_points.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/motion_writers.hpp"

#include <cstdio>

namespace {

constexpr int kStraightLead = 1, kArcLead = 2;
constexpr int kNoLeadPossible = 1;
constexpr int kQuietCode = 48;
constexpr int kLeadInPair = 5, kLeadInClose = 10;
constexpr int kLeadOutPair = 6, kLeadOutOpen = 11, kLeadOutClose = 12;
constexpr int kProfileKind = 20;
constexpr int kPointsOnly = 1;

// A message of the lead group with the point (x, y) in display units.
void lead_message(int number, const double* point)
{
    char text[96];
    std::snprintf(text, sizeof text, "X = %.4f Y = %.4f", coord_in_display_units(0, static_cast<float>(point[0])),
                  coord_in_display_units(1, static_cast<float>(point[1])));
    msg_mdls(kLeadMessageGroup, number, text);
}

void marker(int kind, int pair, int code, int& status)
{
    tp_mrkr_write(kind, pair, code, 0.0f, pocket_state_block.lead_mode, status);
}

// Puts lead value `slot` and the lead mode back when it leaves scope.
struct lead_retry_guard {
    int slot;
    double value;
    int mode;
    lead_retry_guard(int s) : slot(s), value(pocket_state_block.lead_values[s]), mode(pocket_state_block.lead_mode)
    {
        pocket_state_block.lead_values[s] = pocket_state_block.lead_values[0];
        pocket_state_block.lead_mode = kStraightLead;
    }
    ~lead_retry_guard()
    {
        pocket_state_block.lead_values[slot] = value;
        pocket_state_block.lead_mode = mode;
    }
    lead_retry_guard(const lead_retry_guard&) = delete;
    lead_retry_guard& operator=(const lead_retry_guard&) = delete;
};

}  // namespace

void approach_retry(int side, int& result, int kind, int lane, int count, const double* points, double* approach_point,
                    double* arc_centre, double& arc_direction, int& found, int& status)
{
    lead_in_calc(side, lane, count, points, kind, found, approach_point, arc_centre, arc_direction, status);
    if (status < 0) {
        result = kApproachFailed;
        return;
    }
    result = kApproachFound;
    if (status == kNoLeadPossible && pocket_state_block.lead_mode == kArcLead && found != 0) {
        const lead_retry_guard straight(1);
        lead_in_calc(side, lane, count, points, kind, found, approach_point, arc_centre, arc_direction, status);
        if (status < 0) {
            result = kApproachFailed;
            return;
        }
        result = kApproachStraightOnly;
    }
    if (status == kNoLeadPossible) {
        status = 0;
        result = kApproachNone;
        approach_point[0] = points[0];
        approach_point[1] = points[1];
    }
}

void lane_start_move(int result, int kind, int dimension, const double* points, const double* z_values,
                     const double* approach_point, const double* arc_centre, double arc_direction, int note_flag,
                     int& status)
{
    pocket_state& ps = pocket_state_block;
    pocket_work& pw = pocket_work_block;
    status = 0;
    if (nu_sgcd_get_code() != kQuietCode) {
        if (result == kApproachStraightOnly)
            lead_message(kMsgLeadInStraight, points);
        else if (result == kApproachNone)
            lead_message(kMsgLeadInNone, points);
    }
    pw.lead_height = pw.lead_rise;
    const double lane_z = z_values != nullptr ? z_values[0] : ps.current_z;
    const double first[3] = {points[0], points[1], lane_z};
    if (ps.lead_mode == kStraightLead || result != kApproachFound) {
        pw.lead_rise = 0.0;
        const double from[3] = {approach_point[0], approach_point[1], lane_z};
        pocket_approach(kind, dimension, from, first, status);
    } else {
        choose_drpar(kind, ps.lead_values[0], arc_direction, arc_centre, approach_point, first, status);
    }
    pw.lead_rise = pw.lead_height;
    pw.lead_height = 0.0;
    if (status < 0) return;
    if (note_flag != 0) lead_message(kMsgLeadInNoted, points);
    marker(kMarkerClose, kLeadInPair, kLeadInClose, status);
}

void lane_lead_out(int side, int kind, int dimension, int count, int lane, const double* points, const double* z_values,
                   int& status)
{
    pocket_state& ps = pocket_state_block;
    pocket_work& pw = pocket_work_block;
    const bool profile = kind > kProfileKind;
    if (profile) kind -= kProfileKind;
    int found = 0;
    double lead[2] = {}, centre[2] = {}, direction = 1.0;
    lead_out_calc(side, lane, count, points, kind, found, lead, centre, direction, status);
    if (status < 0) return;
    const double* last = points + 2 * (count - 1);
    const double last_z = z_values != nullptr ? z_values[count - 1] : ps.current_z;
    bool retried = false;
    if (ps.lead_mode == kArcLead && found != 0 && status == kNoLeadPossible) {
        const double third = ps.lead_values[2];
        ps.lead_values[2] = ps.lead_values[0];
        ps.lead_mode = kStraightLead;
        lead_out_calc(side, lane, count, points, kind, found, lead, centre, direction, status);
        ps.lead_values[2] = third;
        retried = true;
    }
    // The lead mode stays straight for the rest of a retried lead-out and is put back on every
    // exit; the lead height is 0 again on every exit.
    struct restore {
        bool retried;
        ~restore()
        {
            pocket_work_block.lead_height = 0.0;
            if (retried) pocket_state_block.lead_mode = kArcLead;
        }
    } const on_exit{retried};
    if (status < 0) return;
    if (retried && status == 0) lead_message(kMsgLeadOutStraight, last);
    status = 0;
    marker(kMarkerOpen, kLeadOutPair, kLeadOutOpen, status);
    if (status < 0) return;
    pw.lead_height = pw.lead_rise;
    const double from[3] = {last[0], last[1], last_z};
    const double to[3] = {lead[0], lead[1], last_z};
    if (ps.lead_mode == kStraightLead || retried) {
        set_cutcom_slot(ps.direction_sign);
        pocket_approach(profile ? kind + kProfileKind : kind, dimension, from, to, status);
    } else {
        choose_drpar(kind, ps.lead_values[0], direction, centre, from, to, status);
        if (status >= 0 && pw.lead_height == 0.0) {
            set_cutcom_slot(ps.direction_sign);
            if (ps.entry_shift > 0) {
                const double share = ps.entry_shift / 100.0;
                const point3 back = {static_cast<float>(lead[0] + share * (last[0] - lead[0])),
                                     static_cast<float>(lead[1] + share * (last[1] - lead[1])),
                                     static_cast<float>(ps.current_z)};
                PLINE_entry(kPointsOnly, back, {0.0f, 0.0f, 1.0f}, status);
            }
        }
    }
    pw.lead_height = 0.0;
    if (status < 0) return;
    if (found != 0) lead_message(kMsgLeadOutArc, last);
    marker(kMarkerClose, kLeadOutPair, kLeadOutClose, status);
    if (status > 0) status = 0;
}
