// Lead arcs at lane ends: the plain writer, the surface writer and the clip against the part.
#include "pocket_lanes/entry/lead_arcs.hpp"

#include "cutter/tool_probe.hpp"
#include "host/vantu.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/updown_buffers.hpp"

#include <array>
#include <cmath>

namespace {

constexpr int kNoApproachMode = 1, kNoApproachModeMarked = 11;
constexpr int kMarkedModes = 10;
constexpr int kPointsOnly = 1, kPlaneXY = 1, kPlanar = 2;
constexpr int kFeedBase = 1, kFeedPlunge = 3, kFeedRapid = 4, kFeedPercentage = 25;
constexpr int kFollowMode = 1, kReapproachMode = 3;
constexpr double kPerCent = 100.0;
constexpr double kSideStepReach = 4.0, kDiameterReach = 2.0;
constexpr double kClipLift = 0.5, kStraightClipLift = 0.8, kClipShare = 0.95;

using point = std::array<double, 3>;

// The arc's sweep of at most half a turn from S to E about C in the direction's sense, after the
// direction test. Status 0; the normaliser's failure; kIllegalArc with the writer's message.
void lead_sweep(const char* message, double direction, const double* c, const double* s, const double* e, double& sweep,
                int& status)
{
    status = 0;
    sweep = 0.0;
    double u1[2], u2[2], length = 0.0;
    v2subd(c, s, u1);
    v2subd(c, e, u2);
    v2untd(u1, length, status);
    if (status >= 0) v2untd(u2, length, status);
    if (status < 0) return;
    // A half turn has no sense of its own: only a cross product clear of zero can oppose the
    // direction (its sign is that of rounding otherwise).
    const double cross = v2crsd(u1, u2);
    if ((gtvl0d(cross) != 0 && direction < 0.0) || (gtvl0d(-cross) != 0 && direction > 0.0)) {
        eroutc(message, 0);
        status = kIllegalArc;
        return;
    }
    int clamped = 0;
    arcosd(v2dotd(u1, u2), sweep, clamped);
    if (direction < 0.0) sweep = -sweep;
}

void rotate(double angle, double* v)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double x = v[0] * c - v[1] * s, y = v[0] * s + v[1] * c;
    v[0] = x;
    v[1] = y;
}

// The approach target of sdrpar: S, or for marked modes without a lead height the entry shift
// share of the chord towards E.
point approach_target(int mode, const double* s, const double* e)
{
    const pocket_state& ps = pocket_state_block;
    point a = {s[0], s[1], ps.current_z};
    if (mode <= kMarkedModes || pocket_work_block.lead_height != 0.0) return a;
    double u[2], length = 0.0;
    int status = 0;
    v2subd(e, s, u);
    v2untd(u, length, status);
    if (status < 0 || ps.entry_shift <= 0) return a;
    v2addd(s, u, ps.entry_shift / kPerCent * length, a.data());
    return a;
}

// Probes the tool from q to w at the height; true when the way is blocked.
bool probe_blocked(const double* q, const double* w, double z, float* contact, int& result)
{
    const float from[3] = {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(z)};
    const float to[3] = {static_cast<float>(w[0]), static_cast<float>(w[1]), static_cast<float>(z)};
    float normal[3] = {0.0f, 0.0f, 1.0f};
    tool_probe_table().tool_project_point(from, to, contact, normal, result);
    return result == 0 || result == -1 || result == -2;
}

void clip_arc(int direction, double radius, const double* c, const double* s, double* e, int& clipped, int& status)
{
    const double step = lead_step_angle(pocket_work_block.tolerance, radius);
    if (step <= 0.0 || eqptd(2, s, e) != 0) return;
    double u1[2], u2[2], length = 0.0;
    v2subd(c, s, u1);
    v2subd(c, e, u2);
    v2untd(u1, length, status);
    if (status >= 0) v2untd(u2, length, status);
    if (status < 0) {
        status = -1;
        return;
    }
    double sweep = 0.0;
    int clamped = 0;
    arcosd(v2dotd(u1, u2), sweep, clamped);
    sweep *= direction;
    int n = 1;
    double unused = 0.0;
    setdeld_nc(sweep, step, n, unused);
    if (n > kClipStepsMost) n = kClipStepsMost;
    const double h = sweep / n;
    const double z = pocket_state_block.current_z + kClipLift * pocket_work_block.tolerance;
    double r[2] = {s[0] - c[0], s[1] - c[1]};
    rotate(h / 2.0, r);
    double q[2] = {c[0] + r[0], c[1] + r[1]};
    for (int i = 1; i <= n; ++i) {
        rotate(i == n ? h / 2.0 : h, r);
        const double w[2] = {c[0] + r[0], c[1] + r[1]};
        float contact[3] = {0.0f, 0.0f, 0.0f};
        int result = 0;
        if (probe_blocked(q, w, z, contact, result)) {
            clipped = 1;
            if (i == 1) {
                status = kNoLeadLeft;
                e[0] = s[0];
                e[1] = s[1];
            } else {
                e[0] = q[0];
                e[1] = q[1];
            }
            return;
        }
        q[0] = w[0];
        q[1] = w[1];
    }
}

void clip_straight(const double* s, double* e, int& clipped, int& status)
{
    double u[2], length = 0.0;
    v2subd(e, s, u);
    v2untd(u, length, status);
    if (status < 0) {
        status = -1;
        return;
    }
    const double t = pocket_work_block.tolerance;
    double q[2];
    v2addd(s, u, t, q);
    const double w[2] = {e[0], e[1]};
    float contact[3] = {0.0f, 0.0f, 0.0f};
    int result = 0;
    probe_blocked(q, w, pocket_state_block.current_z + kStraightClipLift * t, contact, result);
    if (result == -1 || result == -2) {
        clipped = 1;
        status = kNoLeadLeft;
        e[0] = s[0];
        e[1] = s[1];
    } else if (result == 0) {
        clipped = 1;
        const double o[2] = {contact[0], contact[1]};
        if (eqptd(2, o, q) != 0) {
            status = kNoLeadLeft;
            e[0] = s[0];
            e[1] = s[1];
        } else {
            e[0] = s[0] + kClipShare * (o[0] - s[0]);
            e[1] = s[1] + kClipShare * (o[1] - s[1]);
        }
    }
}

}  // namespace

double lead_step_angle(double tolerance, double radius)
{
    if (!(radius > 0.0)) return 0.0;
    double angle = 0.0;
    int clamped = 0;
    arcosd(1.0 - tolerance / radius, angle, clamped);
    angle *= 2.0;
    return std::fabs(angle) < kSmallestLeadStep ? kSmallestLeadStep : angle;
}

void choose_drpar(int mode, double radius, double direction, const double* centre, const double* start,
                  const double* end, int& status)
{
    if (pocket_state_block.surface_flag != 0)
        pdrpar(mode, radius, direction, centre, start, end, status);
    else
        sdrpar(mode, radius, direction, centre, start, end, status);
}

void sdrpar(int mode, double radius, double direction, const double* centre, const double* start, const double* end,
            int& status)
{
    static_cast<void>(radius);
    status = 0;
    pocket_state& ps = pocket_state_block;
    pocket_work& pw = pocket_work_block;
    if (mode != kNoApproachMode && mode != kNoApproachModeMarked) {
        const point a = approach_target(mode, start, end);
        const double lift = pw.lead_height;
        ps.current_z += lift;
        pw.lead_height = 0.0;
        const double s[3] = {start[0], start[1], ps.current_z};
        const double from[3] = {a[0], a[1], ps.current_z};
        entry_point_2d(mode, kPlanar, from, s, status);
        ps.current_z -= lift;
        pw.lead_height = lift;
        if (status < 0) return;
    }
    const double z = ps.current_z;
    double sweep = 0.0;
    if (eqptd(2, start, end) == 0) {
        lead_sweep("[sdrpar] ILLEGAL ARC!!", direction, centre, start, end, sweep, status);
        if (status < 0) return;
    }
    set_mch_change_mode(ps.rapid_lead != 0 ? kFeedRapid : ps.percentage_feed != 0 ? kFeedPercentage : kFeedBase);
    status = 0;
    if (eqvl0d(sweep) != 0) return;
    const point c3 = {centre[0], centre[1], z}, e3 = {end[0], end[1], z};
    if (pw.lead_height == 0.0) {
        arc_move_d(kPointsOnly, pw.tolerance, kPlaneXY, sweep, c3, e3, {0.0, 0.0, 0.0}, status);
        if (status > 0) status = 0;
        return;
    }
    lead_pieces pieces{};
    int count = 0;
    lead_height_arc(mode, c3.data(), start, e3.data(), sweep, count, pieces, status);
    set_mch_change_mode(kFeedRapid);
    for (int i = 0; i < count && status >= 0; ++i) {
        if (i == 1) set_mch_change_mode(kFeedPlunge);
        PLINE_pts(kPointsOnly, pieces[static_cast<std::size_t>(i)], {0.0, 0.0, 1.0}, status);
    }
    if (status > 0) status = 0;
}

void pdrpar(int mode, double radius, double direction, const double* centre, const double* start, const double* end,
            int& status)
{
    status = 0;
    const pocket_work& pw = pocket_work_block;
    const double z = pocket_state_block.current_z;
    const double reach = std::fmax(kSideStepReach * pw.side_step, kDiameterReach * 2.0 * pw.tool_radius);
    const double largest = lead_step_angle(pw.tolerance, radius);
    if (largest <= 0.0 || eqptd(2, start, end) != 0) return;
    double sweep = 0.0;
    lead_sweep("[pdrpar] ILLEGAL ARC!!", direction, centre, start, end, sweep, status);
    if (status < 0) {
        status = status == kIllegalArc ? kIllegalArc : -1;
        return;
    }
    int n = 1;
    double step = 0.0;
    setdeld_nc(sweep, largest, n, step);
    double r[2] = {start[0] - centre[0], start[1] - centre[1]};
    double q[3] = {start[0], start[1], z};
    int m = mode;
    for (int i = 1; i <= n; ++i) {
        rotate(step, r);
        const double w[3] = {centre[0] + r[0], centre[1] + r[1], z};
        entry_point_srf(m, kPlanar, q, w, status);
        if (status < 0) return;
        m = kFollowMode;
        point3 last{};
        updown_last_point(DSP8().position(), last);
        const double l[2] = {last[0], last[1]};
        if (distd(2, l, w) > reach) m = kReapproachMode;
        q[0] = w[0];
        q[1] = w[1];
    }
    status = 0;
}

void lead_clip_to_part(int direction, double radius, const double* centre, const double* start, double* end,
                       int& clipped, int& status)
{
    status = 0;
    if (direction != 0)
        clip_arc(direction, radius, centre, start, end, clipped, status);
    else
        clip_straight(start, end, clipped, status);
}
