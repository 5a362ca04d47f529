// SRFAPR: the approach onto a point of a surface pass by the approach kind, through the Z-up
// approach onto the start of its lateral move (see surface_approach.hpp).
#include "toolpath/surface_approach.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/machining_type.hpp"
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
constexpr int kApproachPair = 5, kApproachOpen = 9, kApproachClose = 10;
constexpr int kTouchMode = 1;
constexpr float kArcStep = 11.25f, kArcEnd = 270.0f;
constexpr int kArcSteps = 4;
// On machining type 2 the check of the last arc point reaches half a step past P.
constexpr float kCheckPastP = 5.625f;
constexpr const char* kArcPrefix = "WARNING: APPROACH MOTION AT:";
constexpr const char* kLinePrefix = "WARNING:  APPROACH MOTION AT:";
// The suffix follows the point's last coordinate after a blank.
constexpr const char* kGougeSuffix = " GOUGING THE|SURFACES, EXECUTING Z_UP APPROACH";

// The moves a kind writes after the Z-up approach onto points.front() (kind 1: points = P).
struct approach_plan {
    int kind = kKindZUp;
    std::vector<point3> points;
    horizontal_arc arc;
};

approach_plan z_up(const point3& point)
{
    approach_plan plan;
    plan.points.assign(1, point);
    return plan;
}

// The five points of the vertical arc from 225 or 315 degrees to P, each chord checked.
approach_plan tangent_arc(int kind, const point3& point, const point3& neighbour)
{
    const connect_params& c = connect_params_block();
    point3 path{};
    if (!horizontal_unit(point, neighbour, path)) return z_up(point);
    const float step = kind == kKindTangent ? kArcStep : -kArcStep;
    approach_plan plan;
    for (int i = kArcSteps; i >= 0; --i)
        plan.points.push_back(vertical_arc_point(point, path, c.arc_radius, kArcEnd - step * i));
    for (std::size_t i = 1; i < plan.points.size(); ++i) {
        point3 to = plan.points[i];
        if (i + 1 == plan.points.size() && machining_type() == 2)
            to = vertical_arc_point(point, path, c.arc_radius,
                                    kArcEnd + (kind == kKindTangent ? kCheckPastP : -kCheckPastP));
        if (lateral_gouges(plan.points[i - 1], to, kArcPrefix, kGougeSuffix)) return z_up(point);
    }
    plan.kind = kind;
    return plan;
}

approach_plan plan_approach(int kind, const point3& point, const point3& neighbour, const point3& normal)
{
    const connect_params& c = connect_params_block();
    if (kind == kKindTangent || kind == kKindTangentOpposite) return tangent_arc(kind, point, neighbour);
    if (kind == kKindHorizontalArc) {
        approach_plan plan;
        point3 path{};
        if (horizontal_unit(point, neighbour, path) &&
            horizontal_arc_points(point, path, normal, c.arc_radius, c.check_tolerance, plan.arc)) {
            for (std::size_t i = 1; i < plan.arc.points.size(); ++i)
                if (lateral_gouges(plan.arc.points[i], plan.arc.points[i - 1], kArcPrefix, kGougeSuffix))
                    return z_up(point);
            plan.kind = kind;
            plan.points.assign(1, plan.arc.points.back());
            return plan;
        }
        usmsgc("[SRFAPR]MOVEMENT IN NORMAL DIRECTION,  PERFORM NORMAL HORIZONTAL APPROACH");
        kind = kKindHorizontalNormal;
    }
    point3 start{};
    if (!lateral_line_point(kind, point, neighbour, normal, start) ||
        lateral_gouges(start, point, kLinePrefix, kGougeSuffix))
        return z_up(point);
    approach_plan plan;
    plan.kind = kind;
    plan.points = {start, point};
    return plan;
}

// The Z-up approach onto the plan's first point and the kind's moves onto P.
void approach_moves(int dimension, const approach_plan& plan, const point3& point, const point3& direction, int& status)
{
    ZAPR(dimension, plan.points.front(), direction, status);
    if (status < 0 || plan.kind == kKindZUp) return;
    if (plan.kind == kKindHorizontalArc) {
        arc_move_tol01(dimension, 1, plan.arc.sweep, plan.arc.centre, point, direction, status);
    } else if (plan.kind == kKindTangent || plan.kind == kKindTangentOpposite) {
        set_mch_change_mode(kFeedPlunge);
        set_tp_flag(0, status);
        for (std::size_t i = 1; i < plan.points.size() && status >= 0; ++i)
            string_move_entry(dimension, plan.points[i], direction, status);
        PCLSST_entry();
        if (status >= 0) set_mch_change_mode(kFeedBase);
    } else {
        pline_feed_mode3(dimension, point, direction, status);
    }
}

}  // namespace

void SRFAPR(int dimension, const point3& point, const point3& neighbour, const point3& normal, const point3& direction,
            int& flag, int& status)
{
    status = 0;
    if (flag == 0) return;
    if (dimension < 1 || dimension == 3 || dimension > 4) {
        eroutc("SRFAPR, ONLY DIM2/3 IS PERMITTED ", 0);
        dimension = 1;
    }
    if (dimension == 4) dimension = 2;
    const connect_params& c = connect_params_block();
    int kind = c.approach_kind;
    const bool known = kind >= kKindZUp && kind <= kKindHorizontalArc;
    if (!known && flag != 1) {
        eroutc("SRFAPR, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    if (known && kind >= kKindTangent && kind <= kKindPath && eqpt3(point.data(), neighbour.data()) != 0) {
        report_point("[SRFAPR]EQUAL POINTS, PERFORM Z_UP APPROACH AT:", point);
        kind = kKindZUp;
    }
    if (flag == 1) kind = kKindZUp;
    linnet_mode_set(kTouchMode);
    approach_plan plan = z_up(point);
    if (kind != kKindZUp) {
        const int type = machining_type();
        if (type == 2 || type == 14 || type == 27 || type == 28) {
            pending_retract_run(status);
            if (status < 0) return;
        }
        plan = plan_approach(kind, point, neighbour, normal);
    }
    tp_mrkr_write(kMarkerOpen, kApproachPair, kApproachOpen, 0.0f, plan.kind, status);
    if (status >= 0) {
        approach_moves(dimension, plan, point, direction, status);
        int closed = 0;
        tp_mrkr_write(kMarkerClose, kApproachPair, kApproachClose, 0.0f, 0, closed);
        if (status >= 0) status = closed;
    }
    if (status < 0) {
        eroutc("SRFAPR, ERRORS IN LIST", 0);
        status = kFailed;
    }
}
