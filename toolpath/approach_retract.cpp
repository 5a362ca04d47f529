// The descent, the end-of-string retract, the rapid move through the retract level, the Z-up
// approach and the Z retract, with their double-precision entries and the feed-mode routines.
#include "toolpath/approach_retract.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_ncstate.hpp"
#include "nc_services/approach_block.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/twirl_words.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"

#include <algorithm>

namespace {

constexpr int kRetractStored = 1, kRetractClimb = 2, kRetractRapid = 3;
constexpr int kLinkConsumed = 1;
constexpr float kNoTopLevel = 1.0e9f;

point3 narrowed(const std::array<double, 3>& v)
{
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// One move across at the current z to the XY of P, unless the tool stands over P already.
void cross_over(int dimension, const point3& point, const point3& direction, int& status)
{
    const point3 here = current_position();
    if (eqpt2(here.data(), point.data()) == 0) move_to(dimension, with_z(point, here[2]), direction, status);
}

// The retract level of STREND: C while the display mode is not 0, else A with the absolute flag,
// else the incremental height above the higher of P and the tool.
float strend_level(const retract_heights& h, const point3& point, const point3& here)
{
    if (h.exec_mode != 0) return h.clearance;
    if (h.use_absolute) return h.absolute;
    return std::max(h.incremental + point[2], h.incremental + here[2]);
}

// The feed of a retract mode, or false for a mode that writes nothing.
bool strend_feed(int retract_mode, float level, int& feed)
{
    switch (retract_mode) {
    case kRetractStored: feed = kFeedStored; return true;
    case kRetractClimb: feed = ltval(current_position()[2], level) ? kFeedRapid : kFeedBase; return true;
    case kRetractRapid: feed = kFeedRapid; return true;
    default: return false;
    }
}

// The value of a feed mode; rapid (a negative value) counts as faster than any feed.
bool slower_feed(int mode, int than_mode, int& status)
{
    int is_real = 0, integer = 0;
    float feed = 0.0f, than = 0.0f;
    MCHVAL(mode, is_real, integer, feed, status);
    if (status >= 0) MCHVAL(than_mode, is_real, integer, than, status);
    if (status < 0) return false;
    if (than < 0.0f) return feed >= 0.0f;
    return feed >= 0.0f && feed < than;
}

// The final descent of FAST2M.
void fast2m_descent(int dimension, const point3& point, const point3& direction, int final_feed, int& status)
{
    if (final_feed != 0) set_mch_change_mode(kFeedBase);
    if (!ltval(current_position()[2], point[2])) move_to(dimension, point, direction, status);
    if (status >= 0 && final_feed == 0) set_mch_change_mode(kFeedBase);
}

// FAST2M's retract level.
float fast2m_level(const retract_heights& h, const point3& point, float height)
{
    if (h.exec_mode != 0) return h.clearance;
    if (h.use_absolute) return h.absolute;
    const float here = current_position()[2];
    connect_params& c = connect_params_block();
    if (c.direct_link != 0) {
        c.direct_link = 0;
        return std::max(here, point[2] + height);
    }
    return std::max(h.incremental + here, point[2] + height);
}

// FAST2M through the retract level Z: up (or across, warned, from above it), then across at Z
// (or up to P.z, warned, when P lies above Z); the split word runs these at feed mode 27.
void fast2m_through(int dimension, const point3& point, const point3& direction, float level, bool split, int& status)
{
    const point3 here = current_position();
    if (neval(here[2], level)) {
        if (ltval(here[2], level)) {
            move_to(dimension, with_z(here, level), direction, status);
        } else {
            warn_clearance_low();
            move_to(dimension, {point[0], point[1], here[2]}, direction, status);
        }
        if (status < 0) return;
    }
    if (split) set_mch_change_mode(kFeedStored);
    if (gtval(point[2], level)) {
        warn_clearance_low();
        move_to(dimension, with_z(current_position(), point[2]), direction, status);
    } else {
        move_to(dimension, {point[0], point[1], level}, direction, status);
    }
    if (status >= 0 && split) set_mch_change_mode(kFeedRapid);
}

}  // namespace

void PLNZUP(int dimension, const point3& point, const point3& direction, float height, int& status)
{
    status = 0;
    dimension = checked_dimension("PLNZUP, ONLY DIM2/3 IS PERMITTED", dimension);
    const point3 here = current_position();
    if (eqpt3(here.data(), point.data()) == 0) {
        if (eqval0(height) != 0) {
            set_mch_change_mode(kFeedRapid);
            move_to(dimension, point, direction, status);
        } else {
            const point3 above = with_z(point, point[2] + height);
            // From above the approach height the feed in force brings the tool down to it (a
            // retract at rapid just before leaves rapid).
            if (gtval(here[2], above[2])) move_to(dimension, above, direction, status);
            if (status < 0) return;
            set_mch_change_mode(kFeedPlunge);
            move_to(dimension, point, direction, status);
        }
        if (status < 0) return;
    }
    set_mch_change_mode(kFeedBase);
}

void plnzup_d(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction, double height,
              int& status)
{
    PLNZUP(dimension, narrowed(point), narrowed(direction), static_cast<float>(height), status);
}

int STREND(int dimension, const point3& point, const point3& direction, int retract_mode, float height, int& status)
{
    status = 0;
    dimension = checked_dimension("STREND, ONLY DIM2/3 IS PERMITTED ", dimension);
    const retract_heights h = read_heights();
    const point3 here = current_position();
    const float level = strend_level(h, point, here);
    int feed = 0;
    if (!strend_feed(retract_mode, level, feed)) return retract_mode - 3;
    set_mch_change_mode(feed);
    const bool surface = surface_function(nc_function_code());
    if (surface && h.exec_mode == 0) {
        connect_params& c = connect_params_block();
        if (c.direct_link != 0) {
            c.direct_link = 0;
            return kLinkConsumed;
        }
        surface_link_move(dimension, point, direction, status);
        return status;
    }
    if (h.exec_mode != 0 && !h.clearance_plane && neval(here[2], h.clearance)) {
        // The retract stays short of the clearance plane. A climb ends above the end of the last
        // string, not above P: the move across at that height follows, so that the descent onto P
        // comes straight down instead of slanting through the material not cut yet.
        rise_or_cross(dimension, point[2] + height, point, direction, status);
        if (status >= 0 && surface)
            surface_link_move(dimension, point, direction, status);
        else if (status >= 0)
            cross_over(dimension, point, direction, status);
        return status;
    }
    if (surface) twirl_flags_reset();
    if (neval(here[2], level)) rise_or_cross(dimension, level, point, direction, status);
    if (status >= 0) move_to(dimension, {point[0], point[1], level}, direction, status);
    return status;
}

int strend_d(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction,
             int retract_mode, double height, int& status)
{
    return STREND(dimension, narrowed(point), narrowed(direction), retract_mode, static_cast<float>(height), status);
}

void FAST2M(int& dimension, const point3& point, const point3& direction, int final_feed, float height, int& status)
{
    status = 0;
    const bool split = dimension > 10;
    if (split) dimension -= 10;
    const int used = checked_dimension("FAST2M, ONLY DIM2/3 IS PERMITTED ", dimension);
    set_mch_change_mode(kFeedRapid);
    const retract_heights h = read_heights();
    if (h.exec_mode != 0 && !h.clearance_plane) {
        rise_or_cross(used, point[2], point, direction, status);
        if (status < 0) return;
        if (final_feed != 0) set_mch_change_mode(kFeedBase);
        move_to(used, point, direction, status);
        if (status >= 0 && final_feed == 0) set_mch_change_mode(kFeedBase);
        return;
    }
    const int code = nc_function_code();
    if ((code == 34 || code == 38) && h.exec_mode == 0) {
        connect_params& c = connect_params_block();
        if (c.direct_link != 0) {
            c.direct_link = 0;
            const point3 here = current_position();
            if (neval(point[2], here[2])) move_to(used, {point[0], point[1], here[2]}, direction, status);
        } else {
            surface_link_move(used, point, direction, status);
        }
    } else {
        fast2m_through(used, point, direction, fast2m_level(h, point, height), split, status);
    }
    if (status >= 0) fast2m_descent(used, point, direction, final_feed, status);
}

void fast2m_d(int& dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction,
              int final_feed, double height, int& status)
{
    FAST2M(dimension, narrowed(point), narrowed(direction), final_feed, static_cast<float>(height), status);
}

void ZAPR(int dimension, const point3& point, const point3& direction, int& status)
{
    status = 0;
    dimension = checked_dimension("ZAPR, ONLY DIM2/3 IS PERMITTED ", dimension);
    const connect_params& c = connect_params_block();
    const retract_heights h = read_heights();
    const int code = nc_function_code();
    if (code == 34 || code == 38 || code == 48) {
        float height = c.approach_distance;
        if (code == 48)
            height = approach_block_data.last;
        else if (h.top_level < kNoTopLevel)
            height = c.approach_distance + h.top_level - point[2];
        STREND(1, point, direction, kRetractRapid, height, status);
        if (status >= 0) PLNZUP(1, point, direction, height, status);
        return;
    }
    const float d1 = c.approach_distance;
    const point3 above = with_z(point, point[2] + d1);
    const float extra = geval(h.incremental, d1) != 0 ? h.incremental - d1 : 0.0f;
    int fast_dimension = dimension;
    FAST2M(fast_dimension, above, direction, 0, extra, status);
    if (status >= 0 && neval0(d1) != 0) pline_feed_mode3(dimension, point, direction, status);
}

void ZRET(int dimension, const point3& point, const point3& direction, int& status)
{
    status = 0;
    dimension = checked_dimension("ZRET, ONLY DIM2/3 IS PERMITTED ", dimension);
    const retract_heights h = read_heights();
    if (h.exec_mode != 0 && !h.clearance_plane) return;
    float level = h.clearance;
    if (h.exec_mode == 0) level = h.use_absolute ? h.absolute : h.incremental + point[2];
    pline_rapid_toggle(dimension, with_z(point, level), direction, 1, status);
}

void pline_rapid_toggle(int dimension, const point3& point, const point3& direction, int rapid, int& status)
{
    set_mch_change_mode(rapid == 1 ? kFeedRapid : kFeedBase);
    move_to(dimension, point, direction, status);
    if (status >= 0) set_mch_change_mode(rapid == 1 ? kFeedBase : kFeedRapid);
}

void pline_feed_mode3(int dimension, const point3& point, const point3& direction, int& status)
{
    set_mch_change_mode(kFeedPlunge);
    move_to(dimension, point, direction, status);
    if (status >= 0) set_mch_change_mode(kFeedBase);
}

void down_feed_switch(int /*dimension*/, const point3& target, const point3& current, int close_string, int& state,
                      int& status)
{
    status = 0;
    const bool lower = ltval(target[2], current[2]) != 0;
    int switch_to = 0;
    if (state == 0 && lower) {
        const int in_force = mch_slots().slots[1].value;
        if (!slower_feed(kFeedDown, in_force, status)) return;
        state = 1;
        switch_to = kFeedDown;
    } else if (state == 1 && !lower && eqpt3(target.data(), current.data()) == 0) {
        state = 0;
        switch_to = kFeedBase;
    } else {
        return;
    }
    if (close_string != 0) PCLSST_entry();
    set_mch_change_mode(switch_to);
    if (close_string != 0) set_tp_flag(0, status);
}
