// The connection across a gap in the tool path (see the header): a straight move when both ends
// stand at the clearance height, otherwise a retract from the from end and an approach to the to
// end, along the reference surfaces where an end lies on them.
#include "edit/trim/reconnect_gap.hpp"

#include "edit/editor/connect_tables.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_flags.hpp"
#include "host/vantu_proc_run.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "surfaces/allsrf_least.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/surface_approach.hpp"

namespace {

constexpr int kPlainZ = 1;  // approach choice 1, "SRF. Z UP APP."
constexpr int kFeedParameter = 1;
constexpr int kPointsOnly = 1;
constexpr int kSurfaceMoves = 2;  // the flag of SRFRET and SRFAPR: the approach choice decides
constexpr int kSurfaceMode = 1;
// The pair of reals set_connect_params hands to the approach block: the surface projection's
// values, so that a connection and a projection leave the block alike.
constexpr float kApproachPair = 2.0f;
constexpr float kRapidFeed = -1.0f;
// Feed modes (values of machine slot 1): base feed, plunge percentage, rapid, stored feed.
constexpr int kFeedBase = 1, kFeedPlunge = 3, kFeedRapid = 4, kFeedStored = 27;
constexpr float kPercent = 0.01f;
// The range of the plunge percentage (the page's PLUNGE FEED % field), and what stands for a
// percentage outside it.
constexpr int kLeastPercent = 1, kMostPercent = 999, kFullPercent = 100;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};

// The words a connection replaces for its own duration, put back when it ends.
struct held_words {
    float clearance = HEI8().real(heights_state::kClearance);
    bool plane_forced = false;  // the call forces the clearance-plane switch on
    word clearance_plane = HEI8().at(heights_state::kClearancePlane);
    word base_feed = PRM9().words[machine_params::kBaseFeed];
    word plunge_percent = PRM9().words[machine_params::kFeedPercent3];
    word stored_feed = PRM9().words[machine_params::kStoredFeed];
    float del_z_up = trim_words().del_z_up;
    float tolerance = proc_geometry().curve_approx.tolerance;
    std::array<float, 2> offsets = proc_geometry().curve_approx.net_values;
    int nc_function = nu_sgcd_get_code();

    held_words() = default;
    held_words(const held_words&) = delete;
    held_words& operator=(const held_words&) = delete;
    ~held_words()
    {
        HEI8().set_real(heights_state::kClearance, clearance);
        if (plane_forced) HEI8().at(heights_state::kClearancePlane) = clearance_plane;
        PRM9().words[machine_params::kBaseFeed] = base_feed;
        PRM9().words[machine_params::kFeedPercent3] = plunge_percent;
        PRM9().words[machine_params::kStoredFeed] = stored_feed;
        trim_words().del_z_up = del_z_up;
        proc_geometry().curve_approx.tolerance = tolerance;
        proc_geometry().curve_approx.net_values = offsets;
        nu_sgcd_set_code(nc_function);
    }
};

// Both ends at the clearance height after a move that is no feed move: the tool may cross at once.
bool direct_link(const gap_ends& ends, float clearance)
{
    return ends.start_found != 0 && ends.end_found != 0 && DSM4().real(modal_values::kFeed) < 0.0f &&
           eqval(ends.from[2], clearance) != 0 && eqval(ends.to[2], clearance) != 0;
}

void set_connection(float del_z_up)
{
    const trim_state& t = trim_words();
    set_connect_params(t.srf_approach_kind, t.srf_approach, t.srf_arc_radius, kApproachPair, kApproachPair, del_z_up,
                       t.ref_srf_tol, t.surface_offsets[0], t.surface_offsets[1], kSurfaceMode, ref_lists_count1(),
                       ref_lists_count2(), HEI8().at(heights_state::kUseAbsolute),
                       HEI8().at(heights_state::kIncremental));
}

// Which ends lie on the reference surfaces, with their normals; the surfaces triangulated first.
struct surface_ends {
    int from = 0, to = 0;
    point3 from_normal = kUp, to_normal = kUp;
};
surface_ends ends_on_surfaces(const gap_ends& ends)
{
    const trim_state& t = trim_words();
    curve_approx_words& approx = proc_geometry().curve_approx;
    approx.tolerance = t.ref_srf_tol;
    approx.net_values = {t.surface_offsets[0], t.surface_offsets[1]};
    int status = 0;
    // A failed triangulation leaves no model: both ends then test as off the surfaces.
    ref_surfaces_triangulate(status);
    surface_ends on;
    on.to = point_on_ref_surface(ends.to, on.to_normal);
    on.from = point_on_ref_surface(ends.from, on.from_normal);
    return on;
}

void write_moves(const gap_ends& ends, const surface_ends& on, int& status)
{
    int flag = kSurfaceMoves;
    if (ends.start_found != 0) {
        if (on.from != 0)
            SRFRET(kPointsOnly, ends.from, ends.before, on.from_normal, kUp, flag, status);
        else
            ZRET(kPointsOnly, ends.from, kUp, status);
    }
    if (status < 0 || ends.end_found == 0) return;
    if (on.to != 0)
        SRFAPR(kPointsOnly, ends.to, ends.after, on.to_normal, kUp, flag, status);
    else
        ZAPR(kPointsOnly, ends.to, kUp, status);
}

// The plunge onto the to end runs at PRM9's plunge percentage of the feed in force at the gap (the
// procedure's base feed when a rapid is in force there); a percentage below 1 counts as 100, so
// that no plunge runs at feed 0. Sets PRM9's base feed and percentage for the call (held_words
// gives them back).
void set_plunge_feed(float feed_in_force)
{
    machine_params& m = PRM9();
    if (feed_in_force > 0.0f) m.set_real(machine_params::kBaseFeed, feed_in_force);
    word& percent = m.words[machine_params::kFeedPercent3];
    if (percent < kLeastPercent || percent > kMostPercent) percent = kFullPercent;
}

// The feed in force at the gap given back after the approach: a feed value as the base feed; a
// rapid or stored feed as the stored feed, which holds it for the call, so that it is written as
// it stood whatever the execution display mode makes of a rapid.
void give_feed_back(float feed_in_force)
{
    if (feed_in_force < 0.0f) PRM9().set_real(machine_params::kStoredFeed, feed_in_force);
    set_mch_change_mode(feed_in_force < 0.0f ? kFeedStored : kFeedBase);
}

// The feed in force after the connection, by the feed mode of machine slot 1.
void note_feed()
{
    const machine_params& m = PRM9();
    float& feed = trim_words().current_feed;
    switch (mch_slots().slots[1].value) {
    case kFeedBase: feed = m.real(machine_params::kBaseFeed); break;
    case kFeedPlunge:
        feed =
            static_cast<float>(m.words[machine_params::kFeedPercent3]) * m.real(machine_params::kBaseFeed) * kPercent;
        break;
    case kFeedRapid: feed = kRapidFeed; break;
    case kFeedStored: feed = m.real(machine_params::kStoredFeed); break;
    default: break;
    }
}

}  // namespace

void gap_connect(float& clear_z, float& del_z_up, const gap_ends& ends, int& status)
{
    status = 0;
    if (eqpt3(ends.from.data(), ends.to.data()) != 0) return;
    held_words held;
    const int feed_type[1] = {kFeedParameter};
    PRVMCH(2, 1, feed_type, status);
    if (status < 0) return;
    const float feed_in_force = DSM4().real(modal_values::kFeed);
    if (direct_link(ends, held.clearance)) {
        // The move across at the clearance runs as the rapid in force there (a feed mode left
        // from earlier writing would put a feed block before it).
        give_feed_back(feed_in_force);
        PLINE_entry(kPointsOnly, ends.to, kUp, status);
        return;
    }
    nu_sgcd_set_code(0);
    HEI8().set_real(heights_state::kClearance, clear_z);
    trim_words().del_z_up = del_z_up;
    const bool both_ends = ends.start_found != 0 && ends.end_found != 0;
    set_exec_disp_mode(both_ends ? kExecDisplayForced : kExecDisplayNormal);
    // A gap open at one end (the path's start or end deleted) is still left or entered through
    // the clearance of the call, whatever the user's clearance-plane switch: near the part the
    // retract would leave the path's end in the material and the approach would slant into it.
    if (!both_ends) {
        held.clearance_plane = HEI8().at(heights_state::kClearancePlane);
        held.plane_forced = true;
        HEI8().at(heights_state::kClearancePlane) = 1;
    }
    set_plunge_feed(feed_in_force);
    set_connection(del_z_up);
    surface_ends on;
    const bool surfaces = trim_words().srf_approach_kind != kPlainZ;
    if (surfaces) on = ends_on_surfaces(ends);
    mch_slots().slots[1].force = kForceWrite;
    write_moves(ends, on, status);
    if (status >= 0 && ends.end_found != 0) {
        // Written whatever the slot's copy says: a stored feed of none is not written otherwise,
        // and the motions after the gap would run at the plunge feed.
        give_feed_back(feed_in_force);
        mch_slots().slots[1].force = kForceWrite;
        PUTMCH(status);
        if (status >= 0) note_feed();
    }
    // The model's arrays now belong to cache slot 1, which frees them when the editor ends.
    if (surfaces) reset_allsrf_handles();
}

void reconnect_gap(float& clear_z, float& del_z_up, point3 from, point3 to, int& status)
{
    gap_connect(clear_z, del_z_up, gap_ends_at(from, to), status);
}
