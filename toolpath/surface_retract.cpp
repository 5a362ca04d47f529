// SRFRET: the retract from a point of a surface pass by the approach kind, then the climb to the
// retract level (see surface_approach.hpp).
#include "toolpath/surface_approach.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/warn_at_point.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/surface_moves.hpp"
#include "toolpath/surface_query_seams.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kRetractPair = 6, kRetractOpen = 11, kRetractClose = 12;
constexpr int kTouchMode = 1;
constexpr int kRapidAfter = 2, kBaseAfter = 1;
constexpr float kArcStep = 11.25f, kArcStart = 270.0f;
constexpr int kArcSteps = 4;
constexpr const char* kGougePrefix = "WARNING: RETRACT MOTION AT:";
// The suffix follows the point's last coordinate after a blank.
constexpr const char* kGougeSuffix = " GOUGING THE|SURFACES, EXECUTING Z_UP RETRACT";

// The lateral moves a kind writes (empty: the Z-up retract), decided before the marker opens.
struct retract_plan {
    int kind = kKindZUp;
    std::vector<point3> points;  // the lateral line's end, or the arc's points after P
    horizontal_arc arc;          // kind 7
};

// The plan of a kind; falls back to Z up on a gouge or missing geometry.
retract_plan plan_retract(int kind, const point3& point, const point3& neighbour, const point3& normal)
{
    const connect_params& c = connect_params_block();
    retract_plan plan;
    point3 path{};
    if (kind == kKindHorizontalArc) {
        if (horizontal_unit(neighbour, point, path) &&
            horizontal_arc_points(point, {-path[0], -path[1], 0.0f}, normal, c.arc_radius, c.check_tolerance,
                                  plan.arc)) {
            for (std::size_t i = 1; i < plan.arc.points.size(); ++i)
                if (lateral_gouges(plan.arc.points[i - 1], plan.arc.points[i], kGougePrefix, kGougeSuffix)) return plan;
            plan.kind = kind;
            return plan;
        }
        warn_at_point("[SRFRET]MOVEMENT IN NORMAL DIRECTION AT:", point.data(), " PERFORM NORMAL HORIZONTAL RETRACT");
        kind = kKindHorizontalNormal;
    }
    if (kind == kKindTangent || kind == kKindTangentOpposite) {
        if (!horizontal_unit(point, neighbour, path)) return plan;
        const float step = kind == kKindTangent ? -kArcStep : kArcStep;
        point3 from = point;
        for (int i = 1; i <= kArcSteps; ++i) {
            const point3 next = vertical_arc_point(point, path, c.arc_radius, kArcStart + step * i);
            if (lateral_gouges(from, next, kGougePrefix, kGougeSuffix)) return plan;
            plan.points.push_back(next);
            from = next;
        }
        plan.kind = kind;
        return plan;
    }
    point3 end{};
    if (kind == kKindZUp || !lateral_line_point(kind, point, neighbour, normal, end) ||
        lateral_gouges(point, end, kGougePrefix, kGougeSuffix))
        return plan;
    plan.kind = kind;
    plan.points.push_back(end);
    return plan;
}

// The lateral moves of the plan.
void lateral_moves(int dimension, const retract_plan& plan, const point3& direction, int& status)
{
    if (plan.kind == kKindHorizontalArc) {
        set_mch_change_mode(kFeedBase);
        arc_move_tol01(dimension, 1, -plan.arc.sweep, plan.arc.centre, plan.arc.points.back(), direction, status);
    } else if (plan.kind == kKindTangent || plan.kind == kKindTangentOpposite) {
        set_mch_change_mode(kFeedBase);
        set_tp_flag(0, status);
        for (const point3& p : plan.points)
            if (status >= 0) string_move_entry(dimension, p, direction, status);
        PCLSST_entry();
        if (status >= 0) set_mch_change_mode(kFeedRapid);
    } else {
        pline_rapid_toggle(dimension, plan.points.front(), direction, kRapidAfter, status);
    }
}

// The climb after the lateral move: none for a surface function with the display mode 0;
// otherwise to A or the incremental height above the tool (then the direct-link flag is set),
// or with the display mode not 0 to C while the clearance flag is set.
void climb(int dimension, const point3& direction, int& status)
{
    const retract_heights h = read_heights();
    const point3 here = current_position();
    if (h.exec_mode == 0) {
        if (surface_function(nc_function_code())) return;
        const float level = h.use_absolute ? h.absolute : here[2] + h.incremental;
        pline_rapid_toggle(dimension, with_z(here, level), direction, kBaseAfter, status);
        if (status >= 0) connect_params_block().direct_link = 1;
    } else if (h.clearance_plane) {
        pline_rapid_toggle(dimension, with_z(here, h.clearance), direction, kBaseAfter, status);
    }
}

// The Z-up retract: nothing while the clearance flag is 0 or, with the display mode 0, for a
// surface function; else rapid to C, A or I above P.
void z_up_retract(int dimension, const point3& point, const point3& direction, bool& opened, int& status)
{
    const retract_heights h = read_heights();
    if (!h.clearance_plane) return;
    float level = h.clearance;
    if (h.exec_mode == 0) {
        if (surface_function(nc_function_code())) return;
        level = h.use_absolute ? h.absolute : point[2] + h.incremental;
        if (!h.use_absolute) connect_params_block().direct_link_request = 1;
    }
    tp_mrkr_write(kMarkerOpen, kRetractPair, kRetractOpen, 0.0f, 0, status);
    if (status < 0) return;
    opened = true;
    pline_rapid_toggle(dimension, with_z(point, level), direction, kBaseAfter, status);
}

void clearance_check(const retract_heights& h)
{
    const float here = current_position()[2];
    if (h.exec_mode != 0 ? ltval(h.clearance, here) : h.use_absolute && ltval(h.absolute, here)) warn_clearance_low();
}

}  // namespace

void SRFRET(int dimension, const point3& point, const point3& neighbour, const point3& normal, const point3& direction,
            int& flag, int& status)
{
    status = 0;
    connect_params& c = connect_params_block();
    c.direct_link_request = 0;
    if (flag == 0) return;
    clearance_check(read_heights());
    dimension = checked_dimension("SRFRET, ONLY DIM2/3 IS PERMITTED", dimension);
    int kind = c.approach_kind;
    if (kind < kKindZUp || kind > kKindHorizontalArc) {
        eroutc("SRFRET, ERRORS IN LIST ", 0);
        status = kFailed;
        return;
    }
    if (kind >= kKindTangent && kind <= kKindPath) {
        if (eqpt3(point.data(), neighbour.data()) != 0) {
            report_point("[SRFRET]EQUAL POINTS, PERFORM Z_UP RETRACT AT:", point);
            kind = kKindZUp;
        } else if (flag == 1) {
            kind = kKindZUp;
        }
    }
    linnet_mode_set(kTouchMode);
    bool opened = false;
    const retract_plan plan = plan_retract(kind, point, neighbour, normal);
    if (plan.kind == kKindZUp) {
        z_up_retract(dimension, point, direction, opened, status);
    } else {
        tp_mrkr_write(kMarkerOpen, kRetractPair, kRetractOpen, 0.0f, 0, status);
        opened = status >= 0;
        if (status >= 0) lateral_moves(dimension, plan, direction, status);
        if (status >= 0) climb(dimension, direction, status);
    }
    if (opened) {
        int closed = 0;
        tp_mrkr_write(kMarkerClose, kRetractPair, kRetractClose, 0.0f, 0, closed);
        if (status >= 0) status = closed;
    }
    if (status < 0) {
        eroutc("SRFRET, ERRORS IN LIST ", 0);
        status = kFailed;
    }
}
