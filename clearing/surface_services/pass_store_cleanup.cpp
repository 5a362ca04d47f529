// Clean-up detection over the pass store (see the header): the tool values, the search along the
// passes of a set, the nearest point of the other set, the search between two sets, and the run
// over a finished set. Every walk steps over a pass by its full count.
#include "clearing/surface_services/pass_store_cleanup.hpp"

#include "clearing/surface_services/pass_store_grid.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr int kNoTool = -1, kListFull = -1;
constexpr int kNearestFound = 0;

// Along a set (distances in tool diameters D): neighbouring points nearer than
// max(5 tolerances, 0.05 D) whose tool points lie 2.75 times farther apart, and at least 0.14 D.
constexpr float kNearTolerances = 5.0f, kNearDiameters = 0.05f;
constexpr float kWithinRatio = 2.75f, kJumpDiameters = 0.14f;
// A step shorter than max(D / 20, 0.05) gives no reliable side; a longer neighbouring step is used.
constexpr float kShortDiameters = 0.05f, kShortFloor = 0.05f;

// Between sets: tool points 1.25 (1.7 when the surface turns sideways) times farther apart than
// the points; sides over the step counted as turned from 0.68; a place needs the tool points
// 0.3 D apart, and steep normals (z up to 0.997) or a height jump of 0.15 D. A retry on the height
// difference alone needs normals within 0.975 of each other and the other one above 0.94 in z.
constexpr float kBetweenRatio = 1.25f, kTurnedRatio = 1.7f, kSideTurn = 0.68f;
constexpr float kPlaceDiameters = 0.3f, kSteepZ = 0.997f, kHeightJumpDiameters = 0.15f;
constexpr float kRetryNormals = 0.975f, kRetryZ = 0.94f;
// Steps longer than D / 2 are sampled every 0.95 D / 2; the count is bounded so that a step
// across the model with a tiny tool stays a finite walk.
constexpr float kSampleHalfDiameters = 0.95f, kSampleRoundUp = 0.99f, kMostSamples = 100000.0f;

const float* at(const float* records, int i) { return records + 3 * i; }

void tool_tip(const cleanup_tool& tool, const float* point, const float* normal, float* tip)
{
    int outcome = 0;  // wall, axis and gouge outcomes still give a point
    tool_tip_offset(tool.diameter, tool.corner_radius, tool.taper, point, normal, tip, outcome);
}

// The tool points' spread over the points' spread; equal points give 2 (tips apart) or 1.
float tip_ratio(float tips, float points)
{
    if (points == 0.0f) return tips != 0.0f ? 2.0f : 1.0f;
    return tips / points;
}

bool is_vertical(const float* normal) { return eqval(normal[2], 1.0f) != 0; }

// The horizontal unit vector from a to b (z 0) and its length; both zero when it has no length.
float horizontal_unit(const float* a, const float* b, float* unit)
{
    unit[0] = b[0] - a[0], unit[1] = b[1] - a[1], unit[2] = 0.0f;
    float length = 0.0f;
    int status = 0;
    v2unit(unit, length, status);
    if (status >= 0) return length;
    unit[0] = unit[1] = 0.0f;
    return 0.0f;
}

// unit(a x b), all zero when the cross product has no length.
void unit_cross(const float* a, const float* b, float* cross)
{
    v3cros(a, b, cross);
    float length = 0.0f;
    int status = 0;
    v3unit(cross, length, status);
    if (status < 0) cross[0] = cross[1] = cross[2] = 0.0f;
}

// Appends the segments with their clean-up points, all or none. False when they do not fit.
bool add_segments(cleanup_lists& lists, std::initializer_list<const float*> records)
{
    const int points = static_cast<int>(records.size()) / 3 * 2;
    if (lists.count + points > kCleanupListPoints) return false;
    const float* const* r = records.begin();
    for (std::size_t k = 0; k < records.size(); k += 3, r += 3) {
        std::copy_n(r[0], 3, lists.segments + 3 * lists.count);
        std::copy_n(r[1], 3, lists.segments + 3 * (lists.count + 1));
        std::copy_n(r[2], 3, lists.points + 3 * (lists.count / 2));
        lists.count += 2;
    }
    return true;
}

int points_of(const pass_set_view& set)
{
    int total = 0;
    for (int p = 0; p < set.pass_count; ++p) total += std::max(set.pass_point_counts[p], 0);
    return total;
}

// ---- along one set ---------------------------------------------------------------------------

struct within_thresholds {
    float near, short_step, jump;
};

// One pair P, Q of a pass with the points before P and after Q. False when the lists are full.
bool within_pair(const cleanup_tool& tool, const within_thresholds& limits, const pass_set_view& set, int p, int q,
                 int before, int after, cleanup_lists& lists)
{
    const float *P = at(set.points, p), *Q = at(set.points, q);
    const float *NP = at(set.normals, p), *NQ = at(set.normals, q);
    float tip0[3], tip1[3];
    tool_tip(tool, P, NP, tip0);
    tool_tip(tool, Q, NQ, tip1);
    const float points_apart = dist3(P, Q), tips_apart = dist3(tip0, tip1);
    if (points_apart > limits.near) return true;
    const bool vertical = is_vertical(NP) || is_vertical(NQ);
    if (eqval0(tool.corner_radius) && vertical) return true;
    if (tip_ratio(tips_apart, points_apart) < kWithinRatio || tips_apart < limits.jump) return true;
    if (!(is_vertical(NP) && is_vertical(NQ))) {
        float step[3], step_before[3], step_after[3];
        const float length = horizontal_unit(P, Q, step);
        if (length < limits.short_step) {
            const float length_before = horizontal_unit(at(set.points, before), P, step_before);
            const float length_after = horizontal_unit(Q, at(set.points, after), step_after);
            const float longer = std::max(length_before, length_after);
            if (longer > 0.0f && length < longer)
                std::copy_n(length_before >= length_after ? step_before : step_after, 3, step);
        }
        float across[3], turn[3];
        unit_cross(NP, step, across);
        unit_cross(NP, NQ, turn);
        if (v3dot(across, turn) > 0.0f && v3dot(NP, NQ) > 0.0f) return true;
    }
    const float middle[3] = {(P[0] + Q[0]) / 2, (P[1] + Q[1]) / 2, (P[2] + Q[2]) / 2};
    return add_segments(lists, {tip0, tip1, middle});
}

// ---- between two sets ------------------------------------------------------------------------

enum class sample_result { next, drop_rest, full };

// z of H x direction, H the normal's horizontal part made unit (the normal itself when vertical).
float side_turn(const float* normal, const float* direction)
{
    float h[3] = {normal[0], normal[1], normal[2]};
    if (!is_vertical(normal)) {
        h[2] = 0.0f;
        float length = 0.0f;
        int status = 0;
        v3unit(h, length, status);
        if (status < 0) h[0] = h[1] = 0.0f;
    }
    return h[0] * direction[1] - h[1] * direction[0];
}

// The place found at Q against R: recorded when the surface changes sides between them and the
// step is steep or high. False when the lists are full.
bool between_place(const cleanup_tool& tool, const float* Q, const float* NQ, const float* R, const float* NR,
                   const float* tip0, const float* tip1, cleanup_lists& lists)
{
    float towards[3], across[3], turn[3];
    horizontal_unit(Q, R, towards);
    unit_cross(NQ, towards, across);
    unit_cross(NQ, NR, turn);
    float side = v3dot(across, turn);
    if (side == 0.0f) side = v3dot(NQ, NR);
    const bool steep = NQ[2] <= kSteepZ && NR[2] <= kSteepZ;
    const bool high = std::fabs(tip0[2] - tip1[2]) >= kHeightJumpDiameters * tool.diameter;
    if (side > 0.0f || !(steep || high)) return true;
    return add_segments(lists, {tip0, Q, Q, tip1, R, R});
}

sample_result between_sample(const cleanup_tool& tool, const float* Q, const float* NQ, const float* direction,
                             bool has_direction, const pass_set_view& other, cleanup_lists& lists)
{
    float R[3], NR[3], tip0[3], tip1[3];
    int status = 0;
    tool_tip(tool, Q, NQ, tip0);
    nearest_on_pass_set(Q, other, R, NR, status);
    if (status != kNearestFound) return sample_result::drop_rest;
    tool_tip(tool, R, NR, tip1);
    const float points_apart = dist3(Q, R);
    float tips_apart = dist3(tip0, tip1);
    const bool sharp = eqval0(tool.corner_radius) != 0;
    if (sharp && (is_vertical(NQ) || is_vertical(NR))) return sample_result::next;
    float ratio = tip_ratio(tips_apart, points_apart);
    // The first round judges the tool points' spread; a second round, on their height difference
    // alone, is taken at most once.
    for (bool retried = false;; retried = true) {
        bool retry = false;
        if (ratio < kBetweenRatio) {
            if (retried || sharp) return sample_result::next;
            retry = true;
        } else {
            float limit = kTurnedRatio;
            if (has_direction && !retried) {
                const float c1 = side_turn(NQ, direction), c2 = side_turn(NR, direction);
                if ((c1 > 0.0f && c2 > 0.0f) || (c1 < 0.0f && c2 < 0.0f)) return sample_result::next;
                if (std::fabs(c1) < kSideTurn && std::fabs(c2) < kSideTurn)
                    retry = true;
                else
                    limit = kBetweenRatio;
            }
            if (!retry && ratio < limit) {
                if (retried || sharp) return sample_result::next;
                retry = true;
            }
            if (!retry) {
                if (tips_apart < kPlaceDiameters * tool.diameter) return sample_result::next;
                return between_place(tool, Q, NQ, R, NR, tip0, tip1, lists) ? sample_result::next : sample_result::full;
            }
        }
        tips_apart = std::fabs(tip0[2] - tip1[2]);
        if (v3dot(NQ, NR) < kRetryNormals || NR[2] <= kRetryZ || retried) return sample_result::next;
        ratio = tip_ratio(tips_apart, points_apart);
    }
}

// The samples of point j of a pass starting at first (count points): the point alone, or, for a
// step longer than D / 2 to the next point, points along the step. False when the lists are full.
bool between_point(const cleanup_tool& tool, const pass_set_view& finished, int first, int count, int j,
                   const pass_set_view& other, cleanup_lists& lists)
{
    const float *P0 = at(finished.points, first + j), *N0 = at(finished.normals, first + j);
    const float *P1 = P0, *N1 = N0;
    float direction[3] = {0.0f, 0.0f, 0.0f};
    bool has_direction = false;
    int steps = 0;
    if (j < count - 1) {
        P1 = at(finished.points, first + j + 1), N1 = at(finished.normals, first + j + 1);
        has_direction = horizontal_unit(P0, P1, direction) > 0.0f;
        const float length = dist3(P0, P1), half = tool.diameter / 2;
        if (length > half)
            steps = static_cast<int>(std::min(length / (kSampleHalfDiameters * half) + kSampleRoundUp, kMostSamples));
    }
    for (int i = 0; i <= steps; ++i) {
        const float t = steps == 0 ? 0.0f : static_cast<float>(i) / steps;
        float Q[3], NQ[3];
        for (int k = 0; k < 3; ++k) {
            Q[k] = P0[k] * (1 - t) + P1[k] * t;
            NQ[k] = N0[k] * (1 - t) + N1[k] * t;
        }
        const sample_result result = between_sample(tool, Q, NQ, direction, has_direction, other, lists);
        if (result == sample_result::full) return false;
        if (result == sample_result::drop_rest) break;
    }
    return true;
}

}  // namespace

bool cleanup_tool_values(cleanup_tool& tool)
{
    const int id = PRM9().words[machine_params::kToolId];
    float taper_degrees = -1.0f;
    tool_get_mill_diameter(id, tool.diameter);
    tool_get_corner_radius(id, tool.corner_radius);
    tool_get_taper_angle(id, taper_degrees);
    tool.taper = radian(taper_degrees);
    return tool.diameter > 0.0f && tool.corner_radius >= 0.0f && taper_degrees >= 0.0f;
}

void cleanup_within_set(float tolerance, const pass_set_view& set, cleanup_lists& lists, int& status)
{
    status = kNoTool;
    cleanup_tool tool;
    if (!cleanup_tool_values(tool)) return;
    status = 0;
    const int total = points_of(set);
    if (total == 0 || set.points == nullptr) return;
    const within_thresholds limits{std::max(kNearTolerances * tolerance, kNearDiameters * tool.diameter),
                                   std::max(kShortDiameters * tool.diameter, kShortFloor),
                                   kJumpDiameters * tool.diameter};
    const bool closed = dist3(at(set.points, 0), at(set.points, total - 1)) < tool.diameter;
    int first_pass_points = 0;
    for (int p = 0; p < set.pass_count && first_pass_points == 0; ++p) first_pass_points = set.pass_point_counts[p];
    const int after_wrap = first_pass_points >= 2 ? 1 : 0;
    int first = 0;
    for (int p = 0; p < set.pass_count; ++p) {
        const int count = std::max(set.pass_point_counts[p], 0);
        // The last pass of a closed set runs on into the set's first point.
        const bool wraps = closed && p == set.pass_count - 1;
        for (int j = 0; j + 1 < count; ++j) {
            const int P = first + j, Q = P + 1;
            const int after = j + 2 < count ? Q + 1 : (wraps ? 0 : Q);
            if (!within_pair(tool, limits, set, P, Q, j == 0 ? P : P - 1, after, lists)) {
                status = kListFull;
                return;
            }
        }
        if (wraps && count >= 2 &&
            !within_pair(tool, limits, set, first + count - 1, 0, first + count - 2, after_wrap, lists)) {
            status = kListFull;
            return;
        }
        first += count;
    }
}

void nearest_on_pass_set(const float* point, const pass_set_view& set, float* nearest, float* normal, int& status)
{
    status = kNoTool;
    cleanup_tool tool;
    if (!cleanup_tool_values(tool)) return;
    const double p[3] = {point[0], point[1], point[2]};
    double best = 1e10;
    int first = 0;
    for (int s = 0; s < set.pass_count; ++s) {
        const int count = std::max(set.pass_point_counts[s], 0);
        for (int j = 0; j + 1 < count; ++j) {
            const float *A = at(set.points, first + j), *B = at(set.points, first + j + 1);
            const double a[3] = {A[0], A[1], A[2]}, b[3] = {B[0], B[1], B[2]};
            double on[3], t = 0.0, distance = 0.0;
            int found = 0;
            dsdlpt(2, 3, p, a, b, on, t, distance, found);
            if (found < 0 || distance >= best) continue;
            best = distance;
            const float *NA = at(set.normals, first + j), *NB = at(set.normals, first + j + 1);
            for (int k = 0; k < 3; ++k) {
                nearest[k] = static_cast<float>(a[k] * (1 - t) + b[k] * t);
                normal[k] = static_cast<float>(NA[k] * (1 - t) + NB[k] * t);
            }
        }
        first += count;
    }
    status = best < tool.diameter ? kNearestFound : 1;
}

void cleanup_between_sets(const pass_set_view& finished, const pass_set_view& other, cleanup_lists& lists, int& status)
{
    status = kNoTool;
    cleanup_tool tool;
    if (!cleanup_tool_values(tool)) return;
    status = 0;
    if (finished.pass_count == 0 || other.pass_count == 0 || finished.points == nullptr || other.points == nullptr)
        return;
    int first = 0;
    for (int p = 0; p < finished.pass_count; ++p) {
        const int count = std::max(finished.pass_point_counts[p], 0);
        for (int j = 0; count >= 2 && j < count; ++j)
            if (!between_point(tool, finished, first, count, j, other, lists)) {
                status = kListFull;
                return;
            }
        first += count;
    }
}

void pass_set_cleanup(float tolerance, int link_flag, int& status)
{
    status = 0;
    cleanup_tool tool;
    if (!cleanup_tool_values(tool)) return;  // no mill: the passes are stored without clean-up
    auto lists = std::make_unique<cleanup_lists>();
    const pass_set_view finished = pass_bank_view(pass_store.bank);
    cleanup_within_set(tolerance, finished, *lists, status);
    if (status >= 0 && pass_store.set_count >= 2 && link_flag == 0)
        cleanup_between_sets(finished, pass_bank_view(1 - pass_store.bank), *lists, status);
    if (status < 0) {
        eroutc("pass_set_cleanup,CLEAN-UP LIST IS FULL", 0);
        return;
    }
    clnins(0.0, lists->count, lists->segments, lists->points, status);
}
