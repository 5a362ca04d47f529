// The point strings along one hatch line (see the header). Positions are x, y on the line; a
// contact carries the surface state there and the tool point standing over the position.
#include "clearing/surface_services/srflin.hpp"

#include "clearing/surface_services/check_plane.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/warn_at_point.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kParts = 20;  // the first step is a twentieth of the line
constexpr float kLeastMinimumStep = 10.0f;
constexpr int kMaximumPart = 5;  // the longest step is a fifth of the line
constexpr int kContactIterations = 10;
constexpr float kNoBest = -9.9e10f;
constexpr float kVerticalNormal = 0.01f;  // |Nx| + |Ny| below this: a level face
constexpr float kSameNormal = 0.9994f;    // cosine of two normals taken as one
constexpr int kFlipErrors = 2;
// The contact has settled when the tool's axis stands within this share of the tolerance of the
// position: on a steep flank the tool point's height error is that misfit times the slope, so a
// tenth keeps it within the tolerance up to slopes of about 80 degrees.
constexpr float kHeightSettled = 0.1f;
constexpr float kRefuse = 1.2f;        // a window deviation this many tolerances refuses
constexpr float kEdgeStep = 0.00001f;  // the edge search stops at a step below this
// A point reached with a step this short is taken whatever its deviation: the surface has a
// crease there, and halving further would not straighten it (and would never end).
constexpr float kShortestStep = 0.0001f;
constexpr float kEdgeGap = 0.05f;  // ... or with the hit and the miss this near
// A line walk makes at most this many steps: far above L / minimum step for any part.
constexpr int kMostWalkSteps = 1000000;
constexpr float kLeastDiameter = 0.0001f;
constexpr float kLeastReach = 0.01f;
constexpr int kTaken = 1, kRefused = 0, kStringEnd = -1, kFull = -2;

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The tool's diameter, corner radius and taper angle (degrees) from the current tool.
void read_tool(float* tool)
{
    const int id = PRM9().words[machine_params::kToolId];
    tool_get_mill_diameter(id, tool[0]);
    tool_get_corner_radius(id, tool[1]);
    tool_get_taper_angle(id, tool[2]);
}

bool tool_usable(const float* tool) { return tool[0] >= 0.0f && tool[1] >= 0.0f && tool[2] >= 0.0f; }

// The unit horizontal direction of (x, y); zero for a vector without length.
void unit_xy(float x, float y, float* out)
{
    const float length = std::hypot(x, y);
    out[0] = length > 0.0f ? x / length : 0.0f;
    out[1] = length > 0.0f ? y / length : 0.0f;
}

void stand_on_surface(line_contact& here)
{
    here.tool_point[0] = here.position[0];
    here.tool_point[1] = here.position[1];
    here.tool_point[2] = here.block.point[2];
}

// Two contacts whose normals disagree: the mean normal where it is usable, else the bisection
// between them. Status 1 go on with the mean normal; 0 here is the contact; negative: give up.
void normal_flip_fix(const surface_buffer& buffer, const line_contact& previous, line_contact& here, int& status)
{
    float m[3] = {previous.normal[0] + here.normal[0], previous.normal[1] + here.normal[1],
                  previous.normal[2] + here.normal[2]};
    float length = 0.0f;
    v3unit(m, length, status);
    if (status < 0) return;
    float before[2], now[2];
    unit_xy(here.position[0] - previous.block.point[0], here.position[1] - previous.block.point[1], before);
    unit_xy(here.position[0] - here.block.point[0], here.position[1] - here.block.point[1], now);
    if (1.0f - m[2] != 0.0f && before[0] * now[0] + before[1] * now[1] != -1.0f) {
        std::copy(m, m + 3, here.normal);
        status = 1;
        return;
    }
    const string_state& line = srflin_line();
    surface_contact a{previous.block, previous.u, previous.v, {}}, b{here.block, here.u, here.v, {}}, result;
    std::copy(previous.normal, previous.normal + 3, a.normal);
    std::copy(here.normal, here.normal + 3, b.normal);
    normal_turn_bisect(buffer, a, b, line.orientation, result, status);
    if (status < 0) return;
    here.block = result.block;
    here.u = result.u;
    here.v = result.v;
    std::copy(result.normal, result.normal + 3, here.normal);
}

// The trial contact point of TNGTPT: where a tool standing over the position would touch a face
// of normal N, lifted to the clearance so that the foot search looks straight down.
void trial_point(const line_contact& here, const float* tool, float* q)
{
    float h[2];
    unit_xy(here.normal[0], here.normal[1], h);
    const float flat = tool[0] / 2 - tool[1];
    q[0] = here.position[0] - flat * h[0];
    q[1] = here.position[1] - flat * h[1];
    if (here.normal[2] != 0.0f) {
        q[0] -= tool[1] * here.normal[0];
        q[1] -= tool[1] * here.normal[1];
    }
    q[2] = static_cast<float>(HEI8().real(heights_state::kClearance));
}

// How far the axis of a tool touching the surface at S with normal N stands from the position.
float axis_misfit(const line_contact& here, const float* tool)
{
    float h[2];
    unit_xy(here.normal[0], here.normal[1], h);
    const float flat = tool[0] / 2 - tool[1];
    const float x = here.block.point[0] + flat * h[0] + tool[1] * here.normal[0];
    const float y = here.block.point[1] + flat * h[1] + tool[1] * here.normal[1];
    return std::hypot(x - here.position[0], y - here.position[1]);
}

void contact_found(line_contact& here, int& status)
{
    string_state& line = srflin_line();
    tool_point_warn(line.tool, here.block.point, here.normal, here.tool_point, status, line.warn_flag);
    if (status == kContactUnderCut || status > 0) status = 0;
    here.tool_point[0] = here.position[0];
    here.tool_point[1] = here.position[1];
}

// Appends a tool point to the current string. False (with the message) when the capacity is
// exhausted.
bool append_point(string_output& out, const float* point)
{
    const int capacity_left = out.capacity - 3 * out.used;
    if (3 * (out.count + 1) > capacity_left) {
        eroutc("NXTSTP,STRING OF POINTS HAS EXCEEDED ITS LIMIT", 0);
        return false;
    }
    std::copy(point, point + 3, out.points + 3 * (out.used + out.count));
    ++out.count;
    return true;
}

// The engine's smallest side value, lowered to the reach over the surface step d along the
// normals (gouge check).
void lower_smallest_side(const float* n1, const float* n2, const float* d)
{
    const string_state& line = srflin_line();
    for (const float* n : {n1, n2}) {
        float c[3], reach = 0.0f, width = 0.0f;
        v3cros(n, d, c);
        cutter_reach(c, d, line.tool[0], line.tool[1], surface_pass.side_step, reach);
        side_width(c, reach, surface_pass.side_direction, line.tool[0], width);
        surface_pass.smallest_side = std::min(surface_pass.smallest_side, width);
    }
}

void take_point(const line_contact& contact, string_output& out, int& status)
{
    std::copy(contact.position, contact.position + 2, srflin_line().taken_position);
    if (out.count == 0 && out.string_count == 1)
        std::copy(contact.normal, contact.normal + 3, surface_pass.first_normal);
    std::copy(contact.normal, contact.normal + 3, surface_pass.last_normal);
    if (!append_point(out, contact.tool_point)) status = kFull;
}

// The distance of a position from the line's start, along the line.
float abscissa(const float* position)
{
    const string_state& line = srflin_line();
    return (position[0] - line.start[0]) * line.direction[0] + (position[1] - line.start[1]) * line.direction[1];
}

// Clips the string's last segment (window slots 1 and 2) at the check plane. On a crossing the
// second slot, the string's last point and here move onto the plane: true, the string ends there.
bool stopped_at_check_plane(line_contact* slot, line_contact& here, string_output& out)
{
    const string_state& line = srflin_line();
    float pair[2] = {abscissa(slot[0].position), abscissa(slot[1].position)};
    plane_clip(kPlaneClipRecord, slot[0].tool_point, pair, slot[1].tool_point, out.plane_result);
    if (out.plane_result != kPlaneCrossed) return false;
    for (int k = 0; k < 2; ++k) slot[1].position[k] = line.start[k] + pair[1] * line.direction[k];
    here = slot[1];
    std::copy(here.tool_point, here.tool_point + 3, out.points + 3 * (out.used + out.count - 1));
    return true;
}

// Closes the current string: thinned within the tolerance, its count stored.
void close_string(string_output& out)
{
    if (out.count > 2) dilul(3, srflin_line().tolerance, out.points + 3 * out.used, out.count);
    out.counts[out.string_count - 1] = out.count;
}

}  // namespace

string_state& srflin_line()
{
    static string_state state;
    return state;
}

void srf_range_flags(const surface_buffer& buffer, int& u_flag, int& v_flag)
{
    u_flag = v_flag = 1;
    int id = 0, type_word = 0, first = 0, second = 0, status = 0;
    srfbuf_get_id(buffer, id, type_word);
    srf_flags_access(kSrfFlagsGet, id, first, second, status);
    if (status != 0) return;
    if (first == kSrfFlagNoRangeCheck) u_flag = 0;
    if (second == kSrfFlagNoRangeCheck) v_flag = 0;
}

void srflin_setup(line_steps& steps, const float* start, const float* end, const surface_buffer& buffer,
                  int orientation, float tolerance, int gouge_check)
{
    string_state& line = srflin_line();
    const float length = std::hypot(end[0] - start[0], end[1] - start[1]);
    steps.step = length / kParts;
    steps.minimum = std::min(length / kParts, kLeastMinimumStep);
    steps.maximum = length / kMaximumPart;
    unit_xy(end[0] - start[0], end[1] - start[1], line.direction);
    std::copy(start, start + 2, line.start);
    std::copy(end, end + 2, line.end);
    srf_range_flags(buffer, line.u_flag, line.v_flag);
    line.orientation = orientation;
    line.tolerance = tolerance;
    line.gouge_check = gouge_check;
    line.warn_flag = 1;
    std::fill(std::begin(line.order), std::end(line.order), 0);
    line.order[0] = 1, line.order[1] = 2, line.order[2] = 3;
    read_tool(line.tool);
    surface_eval().warned_count = 0;
    int status = 0;
    coarse_net_fill(buffer, orientation, status);
}

void line_advance(float* position, const float* end, float& step, const float* direction, int& status)
{
    status = -1;
    if (eqpt2(position, end)) return;
    status = 0;
    position[0] += step * direction[0];
    position[1] += step * direction[1];
    if ((position[0] - end[0]) * direction[0] + (position[1] - end[1]) * direction[1] >= 0.0f) {
        const float back = std::hypot(position[0] - end[0], position[1] - end[1]);
        step -= back;
        position[0] = end[0];
        position[1] = end[1];
    }
}

void tool_point_warn(const float* tool, const float* contact, const float* normal, float* tool_point, int& status,
                     int& warn_flag)
{
    float record[9] = {contact[0], contact[1], contact[2]};
    float n[3] = {normal[0], normal[1], normal[2]};
    constexpr int kNormalAsGiven = 0;
    tool_point_from_normal(tool[0], tool[1], tool[2], record, kNormalAsGiven, n, tool_point, status);
    if (warn_flag == 0) return;
    if (status == kContactUnderCut) {
        warn_at_point("WARNING: THERE IS AN UNDER-CUT AT:", contact, " ");
        warn_flag = 0;
    } else if (status == kContactGouge || (status == kContactSteep && tool[2] > 0.0f)) {
        warn_at_point("WARNING: THE TOOL GOUGES THE SURFACE AT:", contact, "|DUE TO LARGE TAPER ANGLE");
        msg_mdls(320, 40);
        warn_flag = 0;
    }
}

void TNGTPT(const surface_buffer& buffer, line_contact& here, int& status)
{
    string_state& line = srflin_line();
    status = -1;
    if (!tool_usable(line.tool)) return;
    status = 0;
    float best_z = kNoBest;
    line_contact best;
    bool out_of_range = false;
    int iterations = 0, errors = 0;
    for (int k = 0; k < kContactIterations; ++k) {
        if (std::fabs(here.normal[0]) + std::fabs(here.normal[1]) < kVerticalNormal && iterations >= 1 &&
            !out_of_range) {
            stand_on_surface(here);
            return;
        }
        float q[3];
        trial_point(here, line.tool, q);
        const line_contact previous = here;
        if (here.block.point[2] > best_z) {
            best_z = here.block.point[2];
            best = here;
        }
        int foot = 0;
        SRFUV1(line.u_flag, line.v_flag, line.orientation, line.half_u, line.half_v, line.net_value, here.u, here.v,
               buffer, q, here.block, here.normal, foot);
        if (foot == -1 || (foot == -2 && iterations > 0)) {
            status = foot;
            return;
        }
        if (foot == -2) {
            out_of_range = true;
        } else {
            int range = 0;
            SRFRNG(here.u, here.v, buffer, line.u_flag, line.v_flag, range);
            if (range != 0) {
                status = -2;
                return;
            }
        }
        ++iterations;
        status = 0;
        // The tool's axis must stand on the position: its misfit times the slope is the error of
        // the tool point's height.
        const bool on_axis = axis_misfit(here, line.tool) <= kHeightSettled * line.tolerance;
        if (iterations > 2 && std::fabs(here.block.point[2] - previous.block.point[2]) < line.tolerance && on_axis) {
            contact_found(here, status);
            return;
        }
        float towards[2];
        unit_xy(here.position[0] - here.block.point[0], here.position[1] - here.block.point[1], towards);
        const float distance =
            std::hypot(here.position[0] - here.block.point[0], here.position[1] - here.block.point[1]);
        if (here.normal[0] * towards[0] + here.normal[1] * towards[1] >= 0.0f) {
            errors = 0;
            if ((dot3(here.normal, previous.normal) >= kSameNormal || distance == 0.0f) && !out_of_range && on_axis) {
                contact_found(here, status);
                return;
            }
        } else if (++errors == kFlipErrors) {
            normal_flip_fix(buffer, previous, here, status);
            if (status < 0) return;
            if (status == 0) {
                stand_on_surface(here);
                return;
            }
            errors = 0;
            status = 0;
        }
    }
    if (best_z == kNoBest) {
        userrc("[TNGTPT]NO TANGENCY POINT FOUND");
        status = -1;
        return;
    }
    here.block = best.block;
    here.u = best.u;
    here.v = best.v;
    std::copy(best.normal, best.normal + 3, here.normal);
    contact_found(here, status);
}

void first_contact(const surface_buffer& buffer, line_contact& here, float& step, int& status)
{
    string_state& line = srflin_line();
    for (int walk = 0; walk < kMostWalkSteps;) {
        int coarse = -1;
        for (; walk < kMostWalkSteps; ++walk) {
            RGHNET(here.position, buffer, line.orientation, here.u, here.v, here.block, line.net_value, line.half_u,
                   line.half_v, coarse);
            if (coarse == 0) break;
            line_advance(here.position, line.end, step, line.direction, status);
            if (status != 0) return;
        }
        block_normal(here.block, line.orientation, here.normal, status);
        if (status != 0) return;
        // Walk on from a failed contact; a lost surface (-1) sends the walk back to the coarse start.
        TNGTPT(buffer, here, status);
        while (status != 0 && ++walk < kMostWalkSteps) {
            line_advance(here.position, line.end, step, line.direction, status);
            if (status != 0) return;
            TNGTPT(buffer, here, status);
            if (status == -1) break;
        }
        if (status == 0) return;
    }
    status = -1;
}

void contact_edge_search(int mode, const surface_buffer& buffer, line_contact& here, float step)
{
    const string_state& line = srflin_line();
    if (eqpt2(here.position, line.start) || eqpt2(here.position, line.end)) return;
    const float* limit = mode == 1 ? line.start : line.end;
    float h = mode == 1 ? -step : step;
    const float to_limit = std::hypot(limit[0] - here.position[0], limit[1] - here.position[1]);
    if (std::fabs(h) > to_limit) h = mode == 1 ? -to_limit : to_limit;
    bool missed = false;
    float missed_point[3] = {0.0f, 0.0f, 0.0f};
    while (std::fabs(h) >= kEdgeStep) {
        h /= 2;
        line_contact trial = here;
        trial.position[0] += h * line.direction[0];
        trial.position[1] += h * line.direction[1];
        int status = 0;
        TNGTPT(buffer, trial, status);
        if (status == 0) {
            here = trial;
            if (missed && dist3(here.block.point, missed_point) <= kEdgeGap) return;
        } else {
            missed = true;
            std::copy(trial.block.point, trial.block.point + 3, missed_point);
        }
    }
}

void NXTSTP(line_contact& here, line_steps& steps, string_output& out, int& status)
{
    string_state& line = srflin_line();
    status = kRefused;
    out.plane_result = kPlaneNone;
    if (!tool_usable(line.tool)) return;
    line_contact* slot = line.slots;  // slot[n - 1] is slot n
    int* order = line.order;
    if (out.count < 2) {
        status = kTaken;
        slot[out.count] = here;
        if (line.gouge_check != 0 && out.count == 1) {
            float d[3];
            v3sub(slot[1].block.point, slot[0].block.point, d);
            lower_smallest_side(slot[0].normal, slot[1].normal, d);
        }
        take_point(here, out, status);
        if (status == kFull) return;
        order[0] = 1, order[1] = 2, order[2] = 3;
        if (out.count == 2 && stopped_at_check_plane(slot, here, out)) {
            status = kStringEnd;
            return;
        }
    } else {
        line_contact& third = slot[order[2] - 1];
        third = here;
        float deviation = 0.0f;
        int tol_status = 0;
        p3tol(slot[0].block.point, slot[1].block.point, slot[2].block.point, deviation, tol_status);
        if (tol_status != 0) deviation = 0.0f;
        if (deviation >= kRefuse * line.tolerance && steps.step > kShortestStep) {
            if (out.count == 2)
                --out.count;
            else if (order[2] == 3)
                slot[0] = slot[1];
            else
                slot[2] = slot[1];
            order[1] = 3, order[2] = 2;
            here = slot[0];
            steps.step /= 2;
        } else {
            status = kTaken;
            const line_contact& second = slot[order[1] - 1];
            if (line.gouge_check != 0) {
                float d[3];
                v3sub(third.block.point, second.block.point, d);
                lower_smallest_side(third.normal, third.normal, d);
            }
            take_point(third, out, status);
            if (status == kFull) return;
            if (order[2] == 2) {
                // The point refused before lies within the tolerance of the chord now: take it too
                // and go on from it.
                take_point(slot[2], out, status);
                if (status == kFull) return;
                here = slot[2];
                order[1] = 2, order[2] = 3;
                slot[0] = slot[1];
                slot[1] = slot[2];
            } else {
                slot[0] = slot[1];
                slot[1] = slot[2];
            }
            if (stopped_at_check_plane(slot, here, out)) {
                status = kStringEnd;
                return;
            }
            const float factor =
                deviation == 0.0f ? 2.0f : std::clamp(std::sqrt(line.tolerance / deviation), 0.5f, 2.0f);
            steps.step *= factor;
            steps.step = steps.step > 0.0f ? std::clamp(steps.step, steps.minimum, steps.maximum)
                                           : std::max(std::min(steps.step, steps.minimum), steps.maximum);
        }
    }
    int advance = 0;
    line_advance(here.position, line.end, steps.step, line.direction, advance);
    if (advance != 0) status = kStringEnd;
}

void cutter_reach(const float* c, const float* d, float diameter, float corner_radius, float side_step, float& result)
{
    if (diameter < kLeastDiameter) {
        result = kLeastReach;
        return;
    }
    const float radius = diameter / 2;
    const float width =
        side_step >= radius
            ? radius
            : std::min(std::sqrt(std::max(8 * radius * side_step - 4 * side_step * side_step, 0.0f)), diameter);
    if (diameter == 2 * corner_radius) {
        result = width;
        return;
    }
    auto vertical_share = [](const float* vector) {
        const float length = std::sqrt(dot3(vector, vector));
        return length > 0.0f ? std::fabs(vector[2]) / length : 0.0f;
    };
    const float a = vertical_share(c), s = sqrt1(1.0f - a * a, kLeastDiameter);
    const float g = (a == 0.0f || s == 0.0f) ? diameter : std::min(side_step / a, diameter) / s;
    const float b = vertical_share(d), q = sqrt1(1.0f - b * b, kLeastDiameter);
    const float blend = q + b > 0.0f ? (q / (q + b)) * g + (b / (q + b)) * width : width;
    result =
        corner_radius == 0.0f ? blend : (corner_radius / radius) * width + ((radius - corner_radius) / radius) * blend;
}

void side_width(const float* c, float reach, float* side_direction, float diameter, float& result)
{
    float length = 0.0f;
    int status = 0;
    v2unit(side_direction, length, status);
    const float cl = std::sqrt(dot3(c, c));
    result = cl > 0.0f ? std::fabs((c[0] * side_direction[0] + c[1] * side_direction[1]) * reach / cl) : 0.0f;
    if (result == 0.0f) result = diameter / 8;
}

bool string_room(const string_output& out)
{
    if (out.string_count <= kSrflinMostStrings) return true;
    eroutc("srflin,CAN CREATE UP TO 20 STRINGS ", 0);
    return false;
}

void srflin(const surface_buffer& buffer, int orientation, const float* start, const float* end, float tolerance,
            surface_line_continuation& continuation, int capacity, int gouge_check, float* points, int& string_count,
            int* string_counts, int& plane_result, int& status)
{
    std::fill(string_counts, string_counts + kSrflinMostStrings, 0);
    plane_result = 0;
    string_output out{points, capacity, string_counts};
    line_steps steps;
    srflin_setup(steps, start, end, buffer, orientation, tolerance, gouge_check);
    const string_state& line = srflin_line();
    line_contact here, last_good;
    std::copy(start, start + 2, here.position);
    int go_on = continuation.continue_flag;
    if (go_on != 0) {
        std::copy(continuation.normal, continuation.normal + 3, here.normal);
        here.block = continuation.block;
        here.u = continuation.u;
        here.v = continuation.v;
    }
    last_good = here;
    status = 0;
    for (int walk = 0; walk < kMostWalkSteps; ++walk) {
        if (go_on == 0) {  // A: a new contact
            int found = 0;
            first_contact(buffer, here, steps.step, found);
            if (found != 0) break;
            if (!string_room(out)) break;
        }
        int contact = 0, taken = kTaken;
        do {
            if (out.count == 0) contact_edge_search(1, buffer, here, steps.step);               // B
            for (TNGTPT(buffer, here, contact); contact == 0; TNGTPT(buffer, here, contact)) {  // C
                NXTSTP(here, steps, out, taken);
                if (taken == kFull) {
                    status = -2;
                    plane_result = out.plane_result;
                    string_count = out.string_count;
                    out.counts[out.string_count - 1] = out.count;
                    return;
                }
                if (taken == kRefused) break;
                last_good = here;
                go_on = 1;
                if (taken == kStringEnd) break;
            }
        } while (contact == 0 && taken == kRefused && ++walk < kMostWalkSteps);
        if (contact == 0 && taken == kStringEnd) break;
        // The contact is lost.
        if (out.count == 0) {
            go_on = 0;
            steps.step = steps.minimum;
            int advance = 0;
            line_advance(here.position, line.end, steps.step, line.direction, advance);
            if (advance != 0) break;
            continue;
        }
        // The last good state stands at the position after the last point taken, where no contact
        // was tested yet; the end of the contact lies between that point and the first position
        // without one, so the search starts at the point.
        here = last_good;
        const float resume[2] = {last_good.position[0], last_good.position[1]};
        std::copy(line.taken_position, line.taken_position + 2, here.position);
        contact_edge_search(2, buffer, here, steps.step);
        if (!eqpt2(here.position, line.taken_position)) {
            if (!append_point(out, here.tool_point)) {
                status = -2;
                string_count = out.string_count;
                out.counts[out.string_count - 1] = out.count;
                return;
            }
            last_good = here;
        }
        close_string(out);  // 6
        out.used += out.count;
        out.count = 0;
        ++out.string_count;
        go_on = 0;
        std::copy(resume, resume + 2, here.position);
        float jump = steps.step + steps.minimum;
        int advance = 0;
        line_advance(here.position, line.end, jump, line.direction, advance);
        if (advance != 0) break;
        steps.step = steps.minimum;
    }
    if (out.count > 0) close_string(out);  // 7
    const int stored = out.count > 0 ? out.string_count : out.string_count - 1;
    string_count = std::max(std::min(stored, kSrflinMostStrings), 1);
    plane_result = out.plane_result;
    continuation.continue_flag = go_on;
    std::copy(last_good.normal, last_good.normal + 3, continuation.normal);
    continuation.u = last_good.u;
    continuation.v = last_good.v;
    continuation.block = last_good.block;
    if (stored == 0) status = kSrflinNoTouch;
}
