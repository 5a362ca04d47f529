// The variable hatch step by scallop height: samples along the hatch line's segments, a step
// search at each, the smallest step kept.
#include "clearing/surface_passes/hatch_step.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_lines.hpp"
#include "clearing/surface_services/pass_step.hpp"
#include "clearing/surface_services/scallop_between_contacts.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "cutter/touch_point_flags.hpp"
#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/prog_line.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>

scallop_step_state scallop_step_block;

namespace {

constexpr int kFound = 0, kNotFound = -1;
// A ratio of scallop to allowed height up to this is acceptable; within kRatioWindow of 1 the
// search is content.
constexpr float kRatioAcceptable = 1.1f;
constexpr float kRatioWindow = 0.1f;
// Below this ratio the trial grows by the mill's diameter over the contact distance.
constexpr float kRatioTiny = 0.05f;
constexpr float kGrowthLeast = 1.1f, kGrowthMost = 3.0f;
// The upper bracket stands this far beyond the remaining distance, so that the limit itself can
// be tried.
constexpr float kOvershoot = 1.001f;
// The slope along the hatch line at a sample is taken over this share of the mill's diameter.
constexpr float kAlongShare = 0.25f;
// Between the passes the cutter is dropped at these shares of the trial, and its section across
// the lines compared with the passes' at this many places: where the surface between them dips
// below the plane of their tips, the passes leave more than the plane shows.
constexpr float kBetweenShares[] = {0.25f, 0.5f, 0.75f};
constexpr int kSectionPlaces = 16;
// The search limit of a sample: the step is cut to the range's limit afterwards.
constexpr float kNoLimit = 1.0e10f;
// Samples per segment (without a usable diameter, and the most with one) and refinements. The
// samples stand a diameter apart, closer over surfaces of finer detail.
constexpr int kSamplesDefault = 10, kSamplesMost = 200, kRefineMost = 20;
constexpr float kRefineSpread = 7.0f;
// The samples stand this share of the model's detail apart (see sample_segments).
constexpr float kDetailShare = 0.5f;
// Consecutive normals whose dot product is at most this in size mark a bend worth refining.
constexpr float kBendDot = 0.8f;
// A mill narrower than this samples at the default count.
constexpr float kSampleDiameterLeast = 0.1f;
// The second round starts from half the diameter; a failed one divides the step by 12.
constexpr float kRetryShrink = 12.0f;
// The minimum step word when it is not positive.
constexpr float kStepFloorDefault = 0.001f;
// The method and output option under which the last line of a range shows "computing".
constexpr int kMethodComputing = 6, kOutputOptionPlain = 3;

float mill_diameter()
{
    float d = -1.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], d);
    return d;
}

float corner_radius()
{
    float r = -1.0f;
    tool_get_corner_radius(PRM9().words[machine_params::kToolId], r);
    return r;
}

// The detail of the part surfaces as the triangle model holds them: the side of the plan area
// per triangle of its box (0.71 cells of a grid). A bump or a crest of the surfaces between two
// samples farther apart could leave more scallop than any sample shows; without a model, 0.
float surface_detail()
{
    const tri_store& model = tri_store_block;
    if (!tri_model_held() || model.entry_count <= 0) return 0.0f;
    const float area = (model.box[3] - model.box[0]) * (model.box[4] - model.box[1]);
    return area > 0.0f ? std::sqrt(area / static_cast<float>(model.entry_count)) : 0.0f;
}

float step_floor()
{
    const float least = proc_geometry().curve_approx.minimum_step;
    return least > 0.0f ? least : kStepFloorDefault;
}

// The tool over the surfaces at a hatch-frame point: its tip (plane x, y and height), the point it
// touches and the contact normal with kHeightFound; kHeightNone when nothing lies under the tool,
// negative when the drop fails.
int contact_at(float angle, float x, float y, cutter_contact& at)
{
    const float frame[2] = {x, y};
    float plane[3] = {0.0f, 0.0f, 0.0f};
    hatchx(-angle, frame, plane);
    float height = 0.0f;
    int entity = 0, status = 0;
    surface_height_at_point(0, plane, proc_geometry().curve_approx.tolerance, 0.0f, 0.0f, at.normal, at.touched, height,
                            entity, status);
    at.tip[0] = plane[0];
    at.tip[1] = plane[1];
    at.tip[2] = height;
    return status;
}

// The temporary touch-point flag cleared for the life of a search.
class touch_point_pause {
public:
    touch_point_pause() : was_set_(touch_point_flag_get(kTouchPointTemporary) != 0)
    {
        if (was_set_) lin_unset_by_touch_point(kTouchPointTemporary);
    }
    ~touch_point_pause()
    {
        if (was_set_) set_by_touch_point(kTouchPointTemporary);
    }
    touch_point_pause(const touch_point_pause&) = delete;
    touch_point_pause& operator=(const touch_point_pause&) = delete;

private:
    bool was_set_;
};

// The search's trial loop and its best acceptable trial.
struct step_search {
    float angle, allowed, diameter, corner;
    const float* sample;
    cutter_contact base{};
    float rise_along = 0.0f;  // the tips' rise per unit along the hatch line at the sample
    float best = 0.0f;
    bool found = false;
    cutter_contact best_contact{};

    // The scallop between the pass through the sample and one a trial across the lines away, twice
    // the allowed height when nothing lies under the tool there; false when the drop fails.
    bool scallop_at(float trial, float& scallop, cutter_contact& at) const
    {
        const int met = contact_at(angle, sample[0], sample[1] + trial, at);
        if (met < 0) return false;
        if (met != kHeightFound) {
            scallop = 2.0f * allowed;
            return true;
        }
        // The surface's mean normal between the two passes: the tips keep to a plane parallel to
        // it, rising along the line as at the sample and across it from one tip to the other.
        const float along[2] = {std::cos(angle), std::sin(angle)};
        const float rise_across = (at.tip[2] - base.tip[2]) / trial;
        const float normal[3] = {-rise_along * along[0] + rise_across * along[1],
                                 -rise_along * along[1] - rise_across * along[0], 1.0f};
        int status = 0;
        scallop_between_contacts(diameter, corner, base, at, normal, along, scallop, status);
        const float normal_z = 1.0f / std::sqrt(1.0f + rise_along * rise_along + rise_across * rise_across);
        scallop = std::max(scallop, normal_z * left_between(trial, at.tip[2]));
        return true;
    }

    // The height of the cutter's lower surface over its tip at distance rho across its axis.
    float lift(float rho) const
    {
        const float radius = 0.5f * diameter, out = rho - (radius - corner);
        if (out <= 0.0f) return 0.0f;
        return corner - std::sqrt(std::max(0.0f, corner * corner - out * out));
    }

    // What the passes through the sample and the trial leave, at least, where the cutter dropped
    // between them stands lower than they cut: the most by which their section across the lines
    // stands above that cutter's (the surface lies nowhere above that cutter). 0 where nothing
    // lies under it.
    float left_between(float trial, float trial_tip) const
    {
        const float radius = 0.5f * diameter;
        float most = 0.0f;
        for (const float share : kBetweenShares) {
            cutter_contact middle{};
            const float across = share * trial;
            if (contact_at(angle, sample[0], sample[1] + across, middle) != kHeightFound) continue;
            for (int k = 0; k <= kSectionPlaces; ++k) {
                const float y = across - radius + 2.0f * radius * static_cast<float>(k) / kSectionPlaces;
                float cut = HUGE_VALF;
                if (std::fabs(y) <= radius) cut = std::min(cut, base.tip[2] + lift(std::fabs(y)));
                if (std::fabs(y - trial) <= radius) cut = std::min(cut, trial_tip + lift(std::fabs(y - trial)));
                if (cut == HUGE_VALF) continue;
                most = std::max(most, cut - (middle.tip[2] + lift(std::fabs(y - across))));
            }
        }
        return most;
    }

    // The tips' rise along the line at the sample, as far as the passes may count on it. A pass
    // running down its own line is cut lower across the lines by the tool positions downhill of
    // the section, which the plane of the tips counts through its rise along; that holds only
    // while the line keeps descending. So the rise taken is the smaller of those ahead of and
    // behind the sample when both have one sign, else 0: at a hollow along the line the section is
    // the tool's own (at a crest 0 is the cautious side), and where the tool off one side stands
    // over no surface there is no sweep to count on.
    void find_rise_along()
    {
        const float step = kAlongShare * diameter;
        float rises[2] = {0.0f, 0.0f};
        for (int side = 0; side < 2; ++side) {
            const float way = side == 0 ? step : -step;
            cutter_contact next{};
            if (contact_at(angle, sample[0] + way, sample[1], next) != kHeightFound) return;
            rises[side] = (next.tip[2] - base.tip[2]) / way;
        }
        if (rises[0] * rises[1] <= 0.0f) return;
        rise_along = std::fabs(rises[0]) < std::fabs(rises[1]) ? rises[0] : rises[1];
    }

    // The next trial after one with the given ratio (a contact distance of 0 grows by the most).
    float proposal(float trial, float ratio, const float* tip) const
    {
        if (ratio >= 1.0f) return 0.5f * trial;
        if (ratio >= kRatioTiny) return trial * std::min(1.0f / std::sqrt(ratio), kGrowthMost);
        const float distance = std::hypot(tip[0] - base.tip[0], tip[1] - base.tip[1]);
        const float growth = distance > 0.0f ? diameter / distance : kGrowthMost;
        return trial * std::clamp(growth, kGrowthLeast, kGrowthMost);
    }

    void run(float remaining, float first)
    {
        float upper = kOvershoot * remaining, trial = first;
        int halvings = 0;
        for (int n = 0; n < kStepTrialsMost; ++n) {
            float scallop = 0.0f;
            cutter_contact at{};
            if (!scallop_at(trial, scallop, at)) {
                // The drop failed there: back towards the best trial so far.
                if (++halvings > kStepHalvingsMost) return;
                const float back = 0.5f * (trial + best);
                if (back == trial) return;
                trial = back;
                continue;
            }
            const float ratio = scallop / allowed;
            if (ratio <= kRatioAcceptable && (!found || trial > best)) {
                best = trial;
                found = true;
                best_contact = at;
            }
            if (ratio > kRatioAcceptable) upper = trial;
            const bool content = ratio <= kRatioAcceptable && std::fabs(ratio - 1.0f) <= kRatioWindow;
            if (content || trial >= remaining) return;
            float next = trial;
            int status = 0;
            pass_step_adjust(best, upper, remaining, remaining, proposal(trial, ratio, at.tip), next, status);
            if (status != 0) return;
            trial = next;
        }
    }
};

}  // namespace

void scallop_step_search(float limit, float angle, const float* sample, float allowed, float& step, float* point_out,
                         float* normal_out, int& status)
{
    status = kNotFound;
    const touch_point_pause pause;
    const float remaining = limit - sample[1];
    step_search s{angle, std::fabs(allowed), mill_diameter(), corner_radius(), sample};
    if (s.diameter < 0.0f || s.corner < 0.0f || !(s.allowed > 0.0f) || !(remaining > 0.0f)) return;
    if (contact_at(angle, sample[0], sample[1], s.base) != kHeightFound) return;
    s.find_rise_along();
    s.run(remaining, std::min(std::fabs(step), remaining));
    if (!s.found || !(s.best > 0.0f)) return;
    if (allowed < 0.0f || s.best < std::fabs(step)) step = s.best;
    step = std::max(step, step_floor());
    std::copy(s.best_contact.tip, s.best_contact.tip + 3, point_out);
    std::copy(s.best_contact.normal, s.best_contact.normal + 3, normal_out);
    status = kFound;
}

namespace {

// The searches of one round along the segments of a hatch line. The first search of the round
// sets the step, every later one only makes it smaller, so the step suits every sample of the line.
struct segment_sampler {
    float angle, diameter, tol, allowed;
    float& step;
    bool first = true, any = false;

    bool search(const float* at, float* tip, float* normal)
    {
        int status = 0;
        scallop_step_search(kNoLimit, angle, at, first ? -allowed : allowed, step, tip, normal, status);
        first = false;
        any = any || status == kFound;
        return status == kFound;
    }

    // Refinements between two samples `spacing` apart where the surface bends.
    int refine_count(float spacing) const
    {
        return std::clamp(static_cast<int>(kRefineSpread * spacing / diameter), 1, kRefineMost);
    }

    // Samples 0 .. n, `spacing` apart from `origin` along the unit direction u; where consecutive
    // contacts bend (their normals or heights part), `refine` - 1 more searches between them.
    void walk(const float* origin, const float* u, int n, float spacing, int refine)
    {
        float previous_tip[3] = {}, previous_normal[3] = {};
        bool previous_found = false;
        const float fine = spacing / static_cast<float>(refine);
        for (int i = 0; i <= n; ++i) {
            const float t = static_cast<float>(i) * spacing;
            const float at[2] = {origin[0] + t * u[0], origin[1] + t * u[1]};
            float tip[3], normal[3];
            const bool found = search(at, tip, normal);
            if (found && previous_found && fine >= std::min(tol, spacing)) {
                const float dot =
                    normal[0] * previous_normal[0] + normal[1] * previous_normal[1] + normal[2] * previous_normal[2];
                if (std::fabs(dot) <= kBendDot || std::fabs(tip[2] - previous_tip[2]) >= diameter) {
                    for (int k = 1; k < refine; ++k) {
                        const float place = t - spacing + static_cast<float>(k) * fine;
                        const float between[2] = {origin[0] + place * u[0], origin[1] + place * u[1]};
                        float tip2[3], normal2[3];
                        search(between, tip2, normal2);
                    }
                }
            }
            if (found) {
                std::copy(tip, tip + 3, previous_tip);
                std::copy(normal, normal + 3, previous_normal);
            }
            previous_found = found;
        }
    }

    // One segment from a to b. Its inner part, short of the ends by a diameter (half one on a
    // shorter segment), is sampled `apart` or closer; then the stretches at its two ends, from each
    // end inwards at the same spacing or closer: a pass that climbs a slope there leaves its
    // scallop by the end as well.
    void segment(const float* a, const float* b, float apart)
    {
        float u[2] = {b[0] - a[0], b[1] - a[1]};
        float length = std::hypot(u[0], u[1]);
        if (length > 0.0f) u[0] /= length, u[1] /= length;
        const float inset = length > 2.0f * diameter ? diameter : length > diameter ? 0.5f * diameter : 0.0f;
        const float start[2] = {a[0] + inset * u[0], a[1] + inset * u[1]};
        length -= 2.0f * inset;
        int n = kSamplesDefault, refine = 1;
        if (diameter > kSampleDiameterLeast) n = std::clamp(static_cast<int>(length / apart), 1, kSamplesMost);
        float spacing = length / static_cast<float>(n);
        if (spacing < std::min(tol, length)) {
            spacing = std::min(tol, length);
            n = 0;
        } else {
            refine = refine_count(spacing);
        }
        walk(start, u, n, spacing, refine);
        if (!(inset > 0.0f)) return;
        const int end_count = std::clamp(static_cast<int>(std::ceil(inset / apart)), 1, kSamplesMost);
        const float end_spacing = inset / static_cast<float>(end_count);
        const float back[2] = {-u[0], -u[1]};
        walk(a, u, end_count - 1, end_spacing, refine_count(end_spacing));
        walk(b, back, end_count - 1, end_spacing, refine_count(end_spacing));
    }
};

// One round over every segment from the given maximum step; true when some search succeeded.
// The samples stand a diameter apart, or half the model's detail where that is finer: a crest
// or a foot of the triangle model narrower than the spacing could fall between two samples, and
// the step that holds the scallop where the tool's contact reaches it is often far smaller than
// on either side.
bool sample_segments(float angle, const float* xs, const float* ys, int count, float diameter, float& step)
{
    const float tol = proc_geometry().curve_approx.tolerance;
    const float detail = kDetailShare * surface_detail();
    const float apart = detail > tol ? std::min(diameter, detail) : diameter;
    segment_sampler sampler{angle, diameter, tol, std::fabs(scallop_step_block.allowed), step};
    for (int j = 0; j + 1 < count; j += 2) {
        const float a[2] = {xs[j], ys[j]}, b[2] = {xs[j + 1], ys[j + 1]};
        sampler.segment(a, b, apart);
    }
    return sampler.any;
}

}  // namespace

void hatch_step_by_scallop(float /*lower_bound*/, float limit, float angle, const float* xs, const float* ys, int count,
                           float current, float& step_out, int& status)
{
    status = 0;
    const curve_approx_words& words = proc_geometry().curve_approx;
    if (words.variable_step == 0) {
        step_out = clear_block.side_step;
        return;
    }
    const float diameter = mill_diameter();
    float step = diameter;
    bool found = sample_segments(angle, xs, ys, count, diameter, step);
    if (!found) {
        step = 0.5f * diameter;
        found = sample_segments(angle, xs, ys, count, diameter, step);
        if (!found) step /= kRetryShrink;
    }
    step = std::max(step, step_floor());
    if (current + step >= limit) {
        step = limit - current;
        prog_set_activity(words.method == kMethodComputing && words.output_option != kOutputOptionPlain
                              ? kActivityComputing
                              : kActivityExecuting);
    }
    scallop_step_block.allowed = std::fabs(scallop_step_block.allowed);
    step_out = step;
}

void pass_height_at_point(float lower_bound, float high, const hatch_points& points, int count, float& ordinate,
                          int& status)
{
    if (count < 1) {
        status = -1;
        return;
    }
    const float angle = std::atan2(clear_block.sin, clear_block.cos);
    const float current = points.y[0];
    float step = 0.0f;
    hatch_step_by_scallop(lower_bound, high, angle, points.x, points.y, count, current, step, status);
    ordinate = current + step;
}
