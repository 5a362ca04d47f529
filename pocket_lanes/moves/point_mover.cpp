// The point mover of the planar pocket (entry_point_2d) and its front end pocket_approach: the
// kind decides between a feed move, a move by way of the from-point and a full approach from the
// clearance level; lead-ins get their start marker, the cutter-compensation side and the
// lead-height profile; the first approach of the first level records the procedure's entry
// point.
#include "pocket_lanes/moves/pocket_approach.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/twirl_words.hpp"
#include "nc_services/warn_at_point.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/link_region.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/surface_approach.hpp"

namespace {

constexpr int kPointsOnly = 1;
constexpr int kFeedBase = 1, kFeedPlunge = 3, kFeedRapid = 4, kFeedPercentage = 25, kFeedStored = 27;
// The end-of-string move of the wire approach runs in the stored feed.
constexpr int kStringEndStoredFeed = 1;
constexpr int kRapidFinalFeed = 1;
// Markers: the level bracket 2/3 and the lead-in bracket 5/9.
constexpr int kLevelPair = 2, kLevelOpen = 3;
constexpr int kLeadInPair = 5, kLeadInOpen = 9;
// Machining types that keep the procedure's entry-point list.
constexpr int kEntryListType = 11, kEntryListFilterType = 13;
// NC functions of the wire approach; 48 only with the wire-approach flag in a planar pocket.
constexpr int kWireCodeA = 34, kWireCodeB = 38, kWireCode48 = 48;
constexpr float kNoStoredHeight = -1.0e10f;
constexpr int kApproachByKind = 2;
constexpr const char* kEntryPointPrefix = "ENTRY POINT:";

const std::array<double, 3> kUp = {0.0, 0.0, 1.0};

// The kind decoded: the base move and what the +10 and +20 kinds add.
struct move_kind {
    int base = 0;
    bool lead_in = false;  // 11 to 19: start marker 5/9 and the profile on kinds 2 and 3
    bool profile = false;  // 11 to 19 and 21 up: the profile on kind 1
};

move_kind decode(int kind)
{
    move_kind k;
    if (kind > kApproachProfile) {
        k.base = kind - kApproachProfile;
        k.profile = true;
    } else if (kind > kApproachLeadIn && kind < kApproachProfile) {
        k.base = kind - kApproachLeadIn;
        k.lead_in = true;
        k.profile = true;
    } else {
        k.base = kind;
    }
    return k;
}

void feed_to(const std::array<double, 3>& p, int& status) { PLINE_pts(kPointsOnly, p, kUp, status); }

// The moves of the lead-height line from a to b (or from b back to a when reversed).
void profile_to(const std::array<double, 3>& a, const std::array<double, 3>& b, bool reversed, int& status)
{
    lead_pieces pieces{};
    int count = 0;
    lead_height_line(a.data(), b.data(), count, pieces, status);
    for (int i = 0; i < count && status >= 0; ++i)
        feed_to(pieces[static_cast<std::size_t>(reversed ? count - 1 - i : i)], status);
}

void set_feed_by_flags()
{
    const pocket_state& ps = pocket_state_block;
    set_mch_change_mode(ps.stored_feed != 0 ? kFeedStored : ps.percentage_feed != 0 ? kFeedPercentage : kFeedBase);
}

void level_start_marker(int& status)
{
    point_mover_words& w = point_mover();
    if (w.level_start_marker == 0) return;
    const pocket_state& ps = pocket_state_block;
    tp_mrkr_write(kMarkerOpen, kLevelPair, kLevelOpen, static_cast<float>(ps.current_z), ps.level_counter, status);
    w.level_start_marker = 0;
}

// The lead-in start marker and the cutter-compensation side that follows from the direction sign.
void lead_in_marker(const move_kind& k, int& status)
{
    if (!k.lead_in) return;
    const pocket_state& ps = pocket_state_block;
    tp_mrkr_write(kMarkerOpen, kLeadInPair, kLeadInOpen, 0.0f, ps.lead_mode, status);
    set_cutcom_slot(ps.direction_sign == 1 ? -1 : 1);
}

bool wire_approach(int dimension)
{
    const int code = nu_sgcd_get_code();
    return code == kWireCodeA || code == kWireCodeB ||
           (code == kWireCode48 && dimension == 2 && proc_geometry().curve_approx.wire_approach == 1);
}

// The wire machines come down onto the from-point at the lead height above the level, ending
// the previous string first when the tool stands elsewhere: over at h above it, or at the top of
// the material where that lies below it and the way over would cross an island or a wall; from
// there down to h above it and onto it.
void wire_descent(std::array<double, 3>& from, double clearance, int& status)
{
    const pocket_state& ps = pocket_state_block;
    const pocket_work& pw = pocket_work_block;
    from[2] = pw.lead_height + ps.current_z;
    double h = pw.stored_approach_height > kNoStoredHeight ? pw.stored_approach_height - ps.current_z + pw.lead_height
                                                           : pw.lead_height;
    h += clearance;
    if (pw.lead_rise != pw.lead_height) h -= pw.lead_height > 0.0 ? 2.0 * pw.lead_height : pw.lead_rise;
    if (h < 0.0) h = 0.0;
    if (!DSP8().stands_at(2, from.data())) {
        const double usual = from[2] + h, over = link_height(from.data(), usual);
        pocket_strend(from, kStringEndStoredFeed, over != usual ? over - from[2] : h, status);
        if (status != 0) return;
    }
    if (twirl_requested_get() == 0 || twirl_made_get() == 0) plnzup_d(kPointsOnly, from, kUp, h, status);
    twirl_requested_set(0);
}

// The other machines travel rapidly to the clearance above the from-point (to the top of the
// material where that lies below it and the way over would cross an island or a wall) and plunge.
void rapid_descent(std::array<double, 3>& from, double clearance, int& status)
{
    const pocket_state& ps = pocket_state_block;
    from[2] += pocket_work_block.lead_height + clearance;
    const double usual = from[2];
    from[2] = link_height(from.data(), usual);
    double rapid = HEI8().real(heights_state::kIncremental) + ps.z_step - clearance;
    if (rapid <= 0.0) rapid = 0.0;
    int mode = kPointsOnly;
    fast2m_d(mode, from, kUp, kRapidFinalFeed, rapid, status);
    if (status != 0) return;
    from[2] = usual - clearance;
    set_mch_change_mode(kFeedPlunge);
    feed_to(from, status);
}

// The first approach of the first level: the entry point is looked up in (machining types 11
// and 13) or added to the procedure's entry-point list, and shown when still pending.
void record_entry_point(const std::array<double, 3>& from, int& status)
{
    const pocket_state& ps = pocket_state_block;
    point_mover_words& w = point_mover();
    const int type = machining_type();
    if (ps.level_counter != 1 || (type == kEntryListType && w.entry_pending == 0)) return;
    const float point[3] = {static_cast<float>(from[0]), static_cast<float>(from[1]), static_cast<float>(ps.current_z)};
    const bool keeps_list = type == kEntryListFilterType || type == kEntryListType;
    if (keeps_list) {
        int fresh = 1;
        mark_entry_point(point, fresh);
        if (fresh == 0) {
            w.entry_pending = 0;
            int cleared = 0;
            entpnt_flag_gs(2, cleared);
            nc_entr_add(point, status);
            if (status < 0) return;
        }
    }
    if (w.entry_pending == 0) return;
    if (ps.offsets_mode != 1) warn_at_point(kEntryPointPrefix, point, "");
    if (keeps_list) {
        nc_entr_add(point, status);
        if (status < 0) return;
    }
    w.entry_pending = 0;
    int cleared = 0;
    entpnt_flag_gs(2, cleared);
    set_exec_disp_mode(kExecDisplayNormal);
}

// Kind 3: the approach from the clearance level onto the from-point, then the move to the
// to-point (along the lead-height line for a lead-in).
void approach_move(const move_kind& k, int dimension, std::array<double, 3> from, const std::array<double, 3>& to,
                   int& status)
{
    const pocket_state& ps = pocket_state_block;
    point_mover_words& w = point_mover();
    if (dimension != 2) {
        // The entry point laid onto the surfaces with the current tool; the approach itself goes
        // on through SRFAPR, whatever the projection answers.
        const float entry[3] = {static_cast<float>(from[0]), static_cast<float>(from[1]), static_cast<float>(from[2])};
        float laid[3] = {0.0f, 0.0f, 0.0f}, normal[3] = {0.0f, 0.0f, 1.0f};
        int projected = 0;
        surface_grid_seam_table().draw_lane_3d(0, entry, laid, normal, projected);
        const point3 p = {static_cast<float>(from[0]), static_cast<float>(from[1]), static_cast<float>(from[2])};
        const point3 q = {static_cast<float>(to[0]), static_cast<float>(to[1]), static_cast<float>(to[2])};
        int flag = kApproachByKind;
        SRFAPR(kPointsOnly, p, q, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f}, flag, status);
        if (status < 0) return;
    }
    int request = 0;
    entpnt_flag_gs(1, request);
    if (request != 0) w.entry_pending = 1;
    if (!DSP8().stands_at(3, from.data())) {
        const bool wire = wire_approach(dimension);
        const double clearance =
            nu_sgcd_get_code() == kWireCode48 ? HEI8().real(heights_state::kFurtherHeight) : ps.approach_clearance;
        if (wire)
            wire_descent(from, clearance, status);
        else
            rapid_descent(from, clearance, status);
        if (status != 0) return;
    }
    level_start_marker(status);
    if (status < 0) return;
    lead_in_marker(k, status);
    if (status < 0) return;
    set_feed_by_flags();
    record_entry_point(from, status);
    if (status < 0) return;
    w.level_drawn = 1;
    if (pocket_work_block.lead_height > 0.0 && k.lead_in)
        profile_to(from, to, false, status);
    else
        feed_to(to, status);
}

}  // namespace

void pocket_strend(const std::array<double, 3>& p, int retract_mode, double h, int& status)
{
    status = 0;
    int mode = kExecDisplayNormal;
    get_exec_disp_mode(mode);
    const heights_state& heights = HEI8();
    const float top = static_cast<float>(p[2] + h);
    const bool plane_off = mode != kExecDisplayForced && heights.at(heights_state::kClearancePlane) == 0;
    const int feed = retract_mode == kStringEndStoredFeed ? kFeedStored : kFeedRapid;
    const std::array<float, 3> here = DSP8().position();
    if (plane_off && eqval(here[2], heights.real(heights_state::kClearance)) != 0 && here[2] < top) {
        set_mch_change_mode(feed);
        feed_to({here[0], here[1], top}, status);
        if (status < 0) return;
    }
    // Standing at the link height already, STREND would climb by a move of no length; the move
    // across is all that is left (the surface functions' link over the part stays STREND's).
    const int code = nu_sgcd_get_code();
    const bool surface = code == kWireCodeA || code == kWireCodeB || code == kWireCode48;
    if (!plane_off || surface || eqval(DSP8().position()[2], top) == 0) {
        strend_d(kPointsOnly, p, kUp, retract_mode, h, status);
    } else if (!DSP8().stands_at(2, p.data())) {
        set_mch_change_mode(feed);
        feed_to({p[0], p[1], top}, status);
    }
}

point_mover_words& point_mover()
{
    static point_mover_words words;
    return words;
}

void pocket_approach(int kind, int dimension, const double* from, const double* to, int& status)
{
    if (pocket_state_block.surface_flag != 0)
        entry_point_srf(kind, dimension, from, to, status);
    else
        entry_point_2d(kind, dimension, from, to, status);
}

void entry_point_2d(int kind, int dimension, const double* from, const double* to, int& status)
{
    status = 0;
    const move_kind k = decode(kind);
    if (k.base < kApproachFeed || k.base > kApproachFull) return;
    std::array<double, 3> f = {from[0], from[1], from[2]};
    std::array<double, 3> t = {to[0], to[1], to[2]};
    if (dimension < 3) f[2] = t[2] = pocket_state_block.current_z;
    const bool profile = pocket_work_block.lead_height > 0.0;
    if (k.base == kApproachFull) {
        approach_move(k, dimension, f, t, status);
    } else if (k.base == kApproachFromTo) {
        set_feed_by_flags();
        if (profile && k.lead_in)
            profile_to(f, t, false, status);
        else
            feed_to(f, status);
        if (status >= 0) level_start_marker(status);
        if (status >= 0) lead_in_marker(k, status);
        if (status >= 0) feed_to(t, status);
    } else {
        if (profile && k.profile)
            profile_to(t, f, true, status);
        else
            feed_to(t, status);
        if (status >= 0) level_start_marker(status);
    }
    if (status > 0) status = 0;
}
