// Refinement of a lane laid on the part surfaces (see the header). The string is read out of its
// host array once, cleaned in a vector whose points carry their normals (so that every removal
// keeps the two parallel), and written back once; the host array grows only at that write.
#include "clearing/surface_lanes/lane3d_refine.hpp"

#include "clearing/surface_lanes/lane_dir_list.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "clearing/surface_lanes/lane_seg_fill.hpp"
#include "cutter/drop_front.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "cutter/linnet_touch_point.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "host/vantu.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "toolpath/narrowed_mill.hpp"

#include <algorithm>
#include <cmath>

lane_refine_switches lane_refine_switch;

namespace {

// Lengths of the sweeps as fractions of the cell size s (the grid's resolution is the scale on
// which the projected points jitter).
constexpr float kCrowdFactor = 0.3125f;  // neighbours closer than this: the point between goes
constexpr float kNearFactor = 0.1875f;   // two points closer than this: one goes
constexpr float kShortFactor = 0.3f;
constexpr float kStickOutFactor = 1.5f;
constexpr float kStickInFactor = 0.6f;
constexpr float kSpikeFactor = 3.0f;
constexpr float kLongFactor = 4.0f;
constexpr float kVeryLongFactor = 10.0f;
constexpr float kSubdivideFactor = 2.0f;
constexpr float kRunBreakFactor = 2.5f;
constexpr int kMostSweeps = 6;
constexpr int kSweepsAfterInsertion = 5;
// Growth of the string's host array, records (3,000 floats).
constexpr int kStringGrowth = 1000;
constexpr int kSegFillMost = 100;
constexpr int kTouchMostPoints = 21000;
constexpr int kTouchMostStrings = 50;
constexpr int kFitOrder = 4;
constexpr int kGougeTries = 5;
constexpr float kFlankHeight = 1000.0f;
constexpr float kNoLimit = 1.0e10f;
// The final thinning keeps the chords within this share of the lane tolerance of the points it
// takes out; the projection's halving keeps its points within the same share of the tool's
// path, so that the two together stay within the tolerance.
constexpr float kFinalThinningShare = 0.5f;
// Floor of the thinning tolerances (mm), so that a lane tolerance of 0 still merges coincident
// points.
constexpr float kLeastThinning = 0.001f;
constexpr int kInSpace = 3;  // the dimension of the host thinning and of the run search in 3-D

const lane_pnt kUp = {0.0f, 0.0f, 1.0f};

// The string and the values of one refinement.
struct refinement {
    int mode = 0;
    float s = 0.0f, half = 0.0f, fit = 0.0f, D = 0.0f, R = 0.0f, T = 0.0f, lt = 0.0f;
    int closed = 0;
    bool normals_given = false;
    lane_string str;

    bool has(int bit) const { return (mode & bit) != 0; }
    int n() const { return static_cast<int>(str.size()); }
    const lane_pnt& p(int i) const { return str[static_cast<std::size_t>(i)].p; }
};

// The lane_dir_list flag of the point: found is false when it has no record.
bool point_flagged(const lane_pnt& point, bool& found)
{
    lane_pnt direction{};
    int flag = 0, status = 0;
    lane_dir_find(point.data(), direction.data(), flag, status);
    found = status == 0;
    return found && (flag & kLaneDirFlagged) != 0;
}

// The string as a chain from which points are taken out in constant time, so that a sweep over
// a long string stays linear; compact() writes the points left back into the string.
class lane_chain {
public:
    static constexpr int kEnd = -1;

    explicit lane_chain(lane_string& string) : string_(string) { link(); }
    ~lane_chain() { compact(); }
    lane_chain(const lane_chain&) = delete;
    lane_chain& operator=(const lane_chain&) = delete;

    int size() const { return count_; }
    int first() const { return first_; }
    int last() const { return last_; }
    int next(int k) const { return k == kEnd ? kEnd : next_[static_cast<std::size_t>(k)]; }
    int prev(int k) const { return k == kEnd ? kEnd : prev_[static_cast<std::size_t>(k)]; }
    lane_pnt& p(int k) { return string_[static_cast<std::size_t>(k)].p; }

    void remove(int k)
    {
        const int before = prev(k), after = next(k);
        if (before != kEnd)
            next_[static_cast<std::size_t>(before)] = after;
        else
            first_ = after;
        if (after != kEnd)
            prev_[static_cast<std::size_t>(after)] = before;
        else
            last_ = before;
        next_[static_cast<std::size_t>(k)] = prev_[static_cast<std::size_t>(k)] = kRemoved;
        --count_;
    }
    // Writes the points left back into the string, in order.
    void compact()
    {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < string_.size(); ++k)
            if (prev_[k] != kRemoved) string_[kept++] = string_[k];
        string_.resize(kept);
        link();
    }

private:
    static constexpr int kRemoved = -2;

    void link()
    {
        count_ = static_cast<int>(string_.size());
        next_.resize(string_.size());
        prev_.resize(string_.size());
        for (int k = 0; k < count_; ++k) {
            next_[static_cast<std::size_t>(k)] = k + 1 < count_ ? k + 1 : kEnd;
            prev_[static_cast<std::size_t>(k)] = k - 1;
        }
        first_ = count_ > 0 ? 0 : kEnd;
        last_ = count_ - 1;
    }

    lane_string& string_;
    std::vector<int> next_, prev_;
    int first_ = kEnd, last_ = kEnd, count_ = 0;
};

bool closed_string(const lane_string& str)
{
    const int n = static_cast<int>(str.size());
    return n >= 4 && str.front().p == str.back().p;
}

// The deviation of point from the chord start..end (p3tol); the distance from start when the
// chord has no length. failed reports that case.
float chord_deviation(const lane_pnt& start, const lane_pnt& point, const lane_pnt& end, bool& failed)
{
    float value = 0.0f;
    int status = 0;
    p3tol(start.data(), point.data(), end.data(), value, status);
    failed = status != 0;
    return failed ? lane_dist(start, point) : value;
}

// ---- the sweeps --------------------------------------------------------------------------------

// Whether the point between a and b may go without the tool cutting in: the string's points are
// places where the tool touches the surfaces, so the chord from a to b must not pass below the
// point by more than the lane tolerance (measured upright, never less than the tool's depth).
bool removable(const refinement& r, const lane_pnt& a, const lane_pnt& point, const lane_pnt& b)
{
    const float dx = b[0] - a[0], dy = b[1] - a[1], length2 = dx * dx + dy * dy;
    const float t =
        length2 > 0.0f ? std::clamp(((point[0] - a[0]) * dx + (point[1] - a[1]) * dy) / length2, 0.0f, 1.0f) : 0.5f;
    return point[2] - (a[2] + t * (b[2] - a[2])) <= r.lt;
}

// A point standing on a step of more than h between two neighbours at about one height, nearly on
// their line, where the tool dropped between the neighbours finds no more than their height.
bool step_point(const refinement& r, const lane_pnt& a, const lane_pnt& b, const lane_pnt& c)
{
    const float h = 0.5f * r.D;
    if (!(std::fabs(a[2] - b[2]) > h && std::fabs(a[2] - c[2]) < 0.2f * h)) return false;
    lane_pnt nearest{};
    float parameter = 0.0f, distance = 0.0f;
    int status = 0;
    dislp2(1, b.data(), a.data(), c.data(), nearest.data(), parameter, distance, status);
    if (status != 0 || !(distance < 0.2f * h)) return false;
    const lane_pnt middle = 0.5f * (a + c);
    lane_pnt dropped{}, normal{};
    tool_drop_z_at_xy(middle.data(), dropped.data(), normal.data(), status);
    return status == 0 && dropped[2] <= middle[2] + r.lt;
}

bool sweep_crowding(refinement& r)
{
    lane_chain c(r.str);
    bool removed = false;
    for (int i = c.next(c.first()); i != lane_chain::kEnd && c.next(i) != lane_chain::kEnd;) {
        const int after = c.next(i);
        const lane_pnt &a = c.p(c.prev(i)), &b = c.p(i), &d = c.p(after);
        if ((lane_dist(a, d) < kCrowdFactor * r.s && removable(r, a, b, d)) || step_point(r, a, b, d)) {
            c.remove(i);
            removed = true;
        }
        i = after;
    }
    return removed;
}

// Which of two near points i and j (the next) goes: the one that the chord from the point before
// i to the point after j describes better. The ends of the string always stay.
int near_point_to_remove(const refinement& r, lane_chain& c, int i, int j)
{
    if (c.prev(i) == lane_chain::kEnd) return j;
    if (c.next(j) == lane_chain::kEnd) return i;
    const lane_pnt &before = c.p(c.prev(i)), &after = c.p(c.next(j));
    bool failed1 = false, failed2 = false;
    const float e1 = chord_deviation(before, c.p(i), after, failed1);
    const float e2 = chord_deviation(before, c.p(j), after, failed2);
    if (!r.has(kRefineFlagRule)) return e2 <= e1 ? j : i;
    if (!r.normals_given) {
        bool found_i = false, found_j = false;
        const bool flag_i = point_flagged(c.p(i), found_i), flag_j = point_flagged(c.p(j), found_j);
        if (found_i && found_j && flag_i != flag_j) return flag_i ? j : i;
    }
    return failed1 || (e1 <= e2 && !failed2) ? j : i;
}

bool sweep_near_points(refinement& r)
{
    lane_chain c(r.str);
    bool removed = false;
    for (int i = c.first(); c.next(i) != lane_chain::kEnd && c.size() > 2;) {
        const int j = c.next(i);
        if (lane_dist(c.p(i), c.p(j)) >= kNearFactor * r.s) {
            i = j;
            continue;
        }
        int gone = near_point_to_remove(r, c, i, j);
        // The other one goes when the one chosen cannot; neither when both cannot.
        const auto clear = [&](int k) {
            return c.prev(k) != lane_chain::kEnd && c.next(k) != lane_chain::kEnd &&
                   removable(r, c.p(c.prev(k)), c.p(k), c.p(c.next(k)));
        };
        if (!clear(gone)) gone = gone == i ? j : i;
        if (!clear(gone)) {
            i = j;
            continue;
        }
        c.remove(gone);
        removed = true;
        if (gone == i) i = j;
    }
    return removed;
}

// Whether the point i of the chain is the middle of a zig-zag: three segments of moderate length
// whose two turns go opposite ways; which of i and the next point goes.
int zigzag_point(const refinement& r, lane_chain& c, int i)
{
    const int before = c.prev(i), after = c.next(i), after2 = c.next(after);
    const lane_pnt a = c.p(i) - c.p(before), b = c.p(after) - c.p(i), d = c.p(after2) - c.p(after);
    const float la = lane_dist(c.p(i), c.p(before)), lb = lane_dist(c.p(after), c.p(i));
    const float lc = lane_dist(c.p(after2), c.p(after));
    lane_pnt ua = a, ub = b, uc = d;
    const bool units = lane_unit(ua) && lane_unit(ub) && lane_unit(uc);
    const float cos1 = units ? lane_dot(ua, ub) : 0.0f, cos2 = units ? lane_dot(ub, uc) : 0.0f;
    const float longest = std::max({la, lb, lc}), shortest = std::min({la, lb, lc});
    if (longest > kVeryLongFactor * r.s) return lane_chain::kEnd;
    if ((cos1 > 0.3f || cos2 > 0.3f) &&
        (longest > kLongFactor * r.s || shortest < kShortFactor * r.s || cos1 > 0.9f || cos2 > 0.9f))
        return lane_chain::kEnd;
    lane_pnt turn1 = lane_cross(a, b), turn2 = lane_cross(b, d);
    if (!lane_unit(turn1) || !lane_unit(turn2) || !(lane_dot(turn1, turn2) < -0.2f)) return lane_chain::kEnd;
    if (lc > 2.0f * la) return i;
    return 2.0f * lc < la || cos2 <= cos1 ? after : i;
}

bool sweep_zigzag(refinement& r)
{
    lane_chain c(r.str);
    bool removed = false;
    for (int i = c.next(c.first()); i != lane_chain::kEnd && c.next(c.next(i)) != lane_chain::kEnd;) {
        const int k = zigzag_point(r, c, i);
        if (k == lane_chain::kEnd || !removable(r, c.p(c.prev(k)), c.p(k), c.p(c.next(k)))) {
            i = c.next(i);
            continue;
        }
        // The point after a removal is not tested: the walk goes on two places further.
        const int resume = c.next(c.next(c.next(i)));
        c.remove(k);
        removed = true;
        i = resume;
    }
    return removed;
}

// One sweep: true when it removed points.
bool sweep(refinement& r)
{
    const int before = r.n();
    sweep_crowding(r);
    sweep_near_points(r);
    if (!r.has(kRefineNoSpikes)) lane_spike_remove(kSpikeFactor * r.s, r.str);
    sweep_zigzag(r);
    if (!r.has(kRefineNoSpikes)) {
        lane_spike_remove(kSpikeFactor * r.s, r.str);
        lane_zigzag_remove(kStickOutFactor * r.s, kStickInFactor * r.s, r.str);
    }
    return r.n() < before;
}

void run_sweeps(refinement& r, int done)
{
    for (int k = done; k < kMostSweeps && r.n() >= 3; ++k)
        if (!sweep(r)) return;
}

void remove_markers(lane_string& str)
{
    std::erase_if(str, [](const lane_string_pnt& q) { return lane_pnt_missing(q.p); });
}

// A flagged point between two unflagged ones goes; the point before the first counts as flagged.
void remove_lone_flagged(refinement& r)
{
    lane_chain c(r.str);
    bool found = false;
    for (int i = c.first(); c.next(i) != lane_chain::kEnd;) {
        const int after = c.next(i);
        const bool before = c.prev(i) == lane_chain::kEnd || point_flagged(c.p(c.prev(i)), found);
        if (point_flagged(c.p(i), found) && !before && !point_flagged(c.p(after), found)) c.remove(i);
        i = after;
    }
}

// ---- insertion of points on long segments ----------------------------------------------------

// Appends count points (three floats each) to the string.
void append_points(lane_string& to, const float* points, int count)
{
    for (int k = 0; k < count; ++k) to.push_back({lane_pnt_of(points + 3L * k), {0.0f, 0.0f, 1.0f}, false});
}

// Bit 7: grid points on every segment longer than h. True when any were inserted.
bool insert_grid_points(refinement& r)
{
    lane_point_array grid;
    int handle = -1;
    lane_string filled;
    for (int k = 0; k < r.n(); ++k) {
        filled.push_back(r.str[static_cast<std::size_t>(k)]);
        if (k + 1 == r.n() || !(lane_dist(r.p(k), r.p(k + 1)) > 0.5f * r.D)) continue;
        int count = 0, status = 0;
        lane_seg_grid_fill(r.p(k).data(), r.p(k + 1).data(), kShortFactor * r.s, handle, count, status);
        if (handle >= 0 && grid.handle() < 0) grid.adopt(handle);
        if (status == 0 && count > 0) append_points(filled, reinterpret_cast<const float*>(grid.base()), count);
    }
    const bool inserted = filled.size() > r.str.size();
    r.str.swap(filled);
    return inserted;
}

// Whether the straight filler should take the segment a..b: short across, crossing the
// recorded direction of its start nearly at right angles.
bool across_recorded_direction(const refinement& r, const lane_pnt& a, const lane_pnt& b)
{
    if (!(lane_dist_xy(a, b) < r.D)) return false;
    lane_pnt direction{};
    int flag = 0, status = 0;
    lane_dir_find(a.data(), direction.data(), flag, status);
    lane_pnt start = {direction[0], direction[1], 0.0f}, along = {b[0] - a[0], b[1] - a[1], 0.0f};
    return status == 0 && lane_unit(start) && lane_unit(along) && std::fabs(lane_dot(start, along)) < 0.25f;
}

// The inner points of the tool's touch strings along a..b when they all stay within 0.1 D of
// the segment's heights (raised to the lower end's height at least); false when they do not.
bool touch_points_between(const refinement& r, const lane_pnt& a, const lane_pnt& b, std::vector<float>& inner)
{
    std::vector<float> points(3U * kTouchMostPoints);
    int counts[kTouchMostStrings] = {};
    int strings = 0, total = 0, status = 0;
    linnet_touch_point(0, kTouchAllPoints, a.data(), b.data(), r.lt, 0.0f, 0.0f, kTouchMostPoints, points.data(),
                       nullptr, nullptr, strings, kTouchMostStrings, counts, total, status);
    if (status < 0) return false;
    const float low = std::min(a[2], b[2]), high = std::max(a[2], b[2]), band = 0.1f * r.D;
    inner.clear();
    for (int k = 0; k < total; ++k) {
        const float z = points[3U * k + 2];
        if (z < low - band || z > high + band) return false;
        if (k == 0 || k == total - 1) continue;
        inner.insert(inner.end(), {points[3U * k], points[3U * k + 1], std::max(z, low)});
    }
    return true;
}

// Bit 4: segments longer than 2 s filled with projected points.
void subdivide_segments(refinement& r)
{
    std::vector<float> inner;
    std::vector<float> filled(3U * kSegFillMost);
    lane_string out;
    for (int k = 0; k < r.n(); ++k) {
        out.push_back(r.str[static_cast<std::size_t>(k)]);
        if (k + 1 == r.n()) break;
        const lane_pnt a = r.p(k), b = r.p(k + 1);
        if (!(lane_dist(a, b) > kSubdivideFactor * r.s)) continue;
        if (across_recorded_direction(r, a, b) || !touch_points_between(r, a, b, inner)) {
            int count = 0;
            lane_seg_fill(a.data(), b.data(), kSegFillMost, r.D, count, filled.data());
            inner.assign(filled.begin() + 3, filled.begin() + 3L * std::max(count - 1, 1));
        }
        append_points(out, inner.data(), static_cast<int>(inner.size() / 3));
    }
    r.str.swap(out);
}

// ---- the fit of runs ---------------------------------------------------------------------------

// The normals of the points that have none: recorded, else of the tool dropped there, else up.
void complete_normals(refinement& r)
{
    for (lane_string_pnt& q : r.str) {
        if (q.has_normal) continue;
        int flag = 0, status = 0;
        lane_dir_find(q.p.data(), q.n.data(), flag, status);
        if (status != 0) {
            lane_pnt dropped{};
            tool_drop_z_at_xy(q.p.data(), dropped.data(), q.n.data(), status);
        }
        if (status != 0) q.n = kUp;
        q.has_normal = true;
    }
}

// Thins the string in 3-D with its normals (dladst). Status of the host.
void thin_string(refinement& r, float tolerance, int& status)
{
    std::vector<float> points, normals;
    for (const lane_string_pnt& q : r.str) {
        points.insert(points.end(), q.p.begin(), q.p.end());
        normals.insert(normals.end(), q.n.begin(), q.n.end());
    }
    int count = r.n();
    dladst(kInSpace, tolerance, r.closed, points.data(), count, normals.data(), status);
    if (status != 0) return;
    lane_string thinned(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        lane_string_pnt& q = thinned[static_cast<std::size_t>(i)];
        q.p = lane_pnt_of(&points[3U * i]);
        q.n = lane_pnt_of(&normals[3U * i]);
        q.has_normal = true;
    }
    r.str.swap(thinned);
}

// The samples of a run of m points from `first`: its own points, or for m > 3 the first point,
// the point at 0.2 of the first segment, the inner points up to m - 3, the point at 0.8 of the
// last segment and the last point.
lane_string run_samples(const refinement& r, int first, int m)
{
    const auto at = [&](int k) { return r.str[static_cast<std::size_t>(first + k)]; };
    lane_string samples;
    if (m <= 3) {
        for (int k = 0; k < m; ++k) samples.push_back(at(k));
        return samples;
    }
    lane_string_pnt q;
    samples.push_back(at(0));
    lane_pnt_interp(at(0), at(1), 0.2f, q);
    samples.push_back(q);
    for (int k = 1; k <= m - 3; ++k) samples.push_back(at(k));
    lane_pnt_interp(at(m - 2), at(m - 1), 0.8f, q);
    samples.push_back(q);
    samples.push_back(at(m - 1));
    return samples;
}

enum class gouge_verdict { accepted, failed, given_up };

// The gouge check of one fitted point with the narrowed tool (diameter D - 2 lt, corner R - lt):
// the point is lifted to the tool's height where the tool would cut below it, searching sideways
// along the contact normal when the contact lies off the point.
gouge_verdict check_fitted_point(const refinement& r, float narrow_d, float narrow_r, lane_pnt& q)
{
    lane_pnt query = q;
    for (int attempt = 0; attempt < kGougeTries; ++attempt) {
        lane_pnt normal{}, contact{};
        float height = 0.0f;
        int entity = 0, status = 0;
        surface_height_at_point(0, query.data(), r.lt, 0.0f, 0.0f, normal.data(), contact.data(), height, entity,
                                status);
        if (status != kHeightFound) return gouge_verdict::accepted;
        const lane_pnt tool = {query[0], query[1], height};
        const float dz = height - q[2];
        const auto accept = [&] {
            q = {tool[0], tool[1], std::max(q[2], height)};
            return gouge_verdict::accepted;
        };
        if (dz <= r.lt) return accept();
        if (r.has(kRefineGougeLimit) && dz >= 0.25f * r.D) return gouge_verdict::given_up;
        lane_pnt n{};
        tool_contact_offset(narrow_d, narrow_r, r.T, 0.0f, kFlankHeight, tool.data(), contact.data(), n.data(), status);
        // A contact on the axis or a wall still gives its normal; only a failure leaves the point.
        if (status < 0) return gouge_verdict::accepted;
        const float c = n[2];
        const float limit1 = c >= 0.99f ? kNoLimit : std::max(c * dz / std::sqrt(1.0f - c * c) + r.lt, 2.0f * r.lt);
        const float limit2 = c > 0.999f ? kNoLimit : std::max(0.5f * r.D - lane_dist_xy(tool, contact), 2.0f * r.lt);
        if (dz <= limit1 && dz <= limit2) return accept();
        lane_pnt sideways = {n[0], n[1], 0.0f};
        if ((dz < limit1 || limit2 < limit1) && lane_unit(sideways))
            query = tool + limit2 * sideways;
        else
            query = tool + limit1 * n;
    }
    return gouge_verdict::failed;
}

// The current mill and the cutter of the location narrowed for the gouge check and given back on
// every way out.
class narrowed_cutter {
public:
    narrowed_cutter(float diameter, float corner)
        : diameter_(linnet_params_block.diameter), corner_(linnet_params_block.corner_radius)
    {
        mill_.narrow(diameter, corner);
        linnet_params_block.diameter = diameter;
        linnet_params_block.corner_radius = corner;
    }
    ~narrowed_cutter()
    {
        linnet_params_block.diameter = diameter_;
        linnet_params_block.corner_radius = corner_;
    }
    narrowed_cutter(const narrowed_cutter&) = delete;
    narrowed_cutter& operator=(const narrowed_cutter&) = delete;

private:
    narrowed_mill mill_;
    float diameter_, corner_;
};

// Fits the run of m points from `first`; the fitted points, or the run's own points when the
// fit is left out or fails.
lane_string fit_run(const refinement& r, int first, int m)
{
    const lane_string own(r.str.begin() + first, r.str.begin() + first + m);
    const float floor = std::min(4.0f * r.lt, r.fit);
    // A floor that is not positive would let the halving of F run for ever.
    if (m < 3 || !(floor > 0.0f)) return own;
    const lane_string samples = run_samples(r, first, m);
    std::vector<double> points, normals;
    for (const lane_string_pnt& q : samples)
        for (int k = 0; k < 3; ++k) {
            points.push_back(q.p[static_cast<std::size_t>(k)]);
            normals.push_back(q.n[static_cast<std::size_t>(k)]);
        }
    const int room = 2 * static_cast<int>(samples.size()) + 30;
    std::vector<double> result(6U * static_cast<std::size_t>(room));
    const float narrow_d = r.D - 2.0f * r.lt, narrow_r = std::max(0.0f, r.R - r.lt);
    // Without a tool left to check with, a fitted point could not be trusted.
    if (r.has(kRefineGouge) && !(narrow_d > 0.0f)) return own;
    for (float f = r.fit; f >= floor; f *= 0.5f) {
        int count = 0, status = 0;
        lsq_nrb_2tols(kFitOrder, static_cast<int>(samples.size()), points.data(), normals.data(), std::min(r.half, f),
                      f, r.lt, room, result.data(), count, status);
        if (status != 0 || count <= 0) return own;
        lane_string fitted(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < 3; ++k) {
                fitted[static_cast<std::size_t>(i)].p[static_cast<std::size_t>(k)] =
                    static_cast<float>(result[6U * i + k]);
                fitted[static_cast<std::size_t>(i)].n[static_cast<std::size_t>(k)] =
                    static_cast<float>(result[6U * i + 3 + k]);
                fitted[static_cast<std::size_t>(i)].has_normal = true;
            }
        if (!r.has(kRefineGouge)) return fitted;
        narrowed_cutter narrowed(narrow_d, narrow_r);
        gouge_verdict verdict = gouge_verdict::accepted;
        for (lane_string_pnt& q : fitted)
            if ((verdict = check_fitted_point(r, narrow_d, narrow_r, q.p)) != gouge_verdict::accepted) break;
        if (verdict == gouge_verdict::accepted) return fitted;
        if (verdict == gouge_verdict::given_up) return own;
    }
    return own;
}

// Bit 1: runs replaced by their fitted points.
void fit_runs(refinement& r, int& status)
{
    complete_normals(r);
    thin_string(r, std::max(0.2f * r.lt, kLeastThinning), status);
    if (status != 0) return;
    lane_string out;
    int first = 0;
    while (first + 1 < r.n()) {
        const int m = std::clamp(lane_run_length(r.str, first, r.mode & kRefineFlagRule, r.s), 2, r.n() - first);
        const lane_string fitted = fit_run(r, first, m);
        // Runs share their end points: the first point of every run but the first is the last one
        // written.
        out.insert(out.end(), fitted.begin() + (out.empty() ? 0 : 1), fitted.end());
        first += m - 1;
    }
    if (out.empty()) return;
    r.str.swap(out);
}

// Reads the string out of its host array.
bool read_string(refinement& r, int handle, const lane_pnt* normals, int count)
{
    const auto* base = handle < 0 ? nullptr : static_cast<const lane_pnt*>(mmcptr(handle));
    if (base == nullptr || count > lane_points_capacity(handle)) return false;
    r.str.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        lane_string_pnt& q = r.str[static_cast<std::size_t>(i)];
        q.p = base[i];
        if (normals != nullptr) q.n = normals[i];
        q.has_normal = normals != nullptr;
    }
    return true;
}

// Writes the string back, growing the host array when needed. Status of the growth.
void write_string(const refinement& r, int handle, int& count, int& status)
{
    lane_points_fit(handle, r.n(), kStringGrowth, status);
    if (status != 0) return;
    auto* base = static_cast<lane_pnt*>(mmcptr(handle));
    for (int i = 0; i < r.n(); ++i) base[i] = r.p(i);
    count = r.n();
}

}  // namespace

void lane3d_refine(int mode, int display, int points_handle, const lane_pnt* normals, int& count, const float& s,
                   const float& half_tolerance, const float& fit_tolerance, const float& closed, const float& D,
                   const float& R, const float& T, int& status)
{
    static_cast<void>(display);
    status = 0;
    if (count < 3) return;
    refinement r;
    r.mode = mode;
    r.s = std::max(0.0f, s);
    r.half = half_tolerance;
    r.fit = fit_tolerance;
    r.D = D;
    r.R = R;
    r.T = T;
    r.lt = lane_tolerance();
    r.closed = closed > 0.0f ? 1 : 0;
    r.normals_given = normals != nullptr;
    if (!read_string(r, points_handle, normals, count)) {
        status = -1;
        return;
    }
    remove_markers(r.str);
    if (r.has(kRefineLoneFlagged)) remove_lone_flagged(r);
    run_sweeps(r, 0);
    if (r.has(kRefineGridPoints) && insert_grid_points(r)) run_sweeps(r, kMostSweeps - kSweepsAfterInsertion);
    if (r.has(kRefineSubdivide)) subdivide_segments(r);
    if (r.has(kRefineFit) && lane_dir_list.count > 0 && r.n() >= 3) {
        fit_runs(r, status);
        if (status != 0) return;
    }
    if (lane_refine_switch.skip_final_thinning == 0 && r.n() >= 3) {
        thin_string(r, kFinalThinningShare * r.lt, status);
        if (status != 0) return;
    }
    write_string(r, points_handle, count, status);
}

// ---- companions --------------------------------------------------------------------------------

void lane_pnt_remove(lane_string& points, int index)
{
    if (index >= 0 && index < static_cast<int>(points.size())) points.erase(points.begin() + index);
}

void lane_pnt_interp(const lane_string_pnt& a, const lane_string_pnt& b, float t, lane_string_pnt& out)
{
    if (t == 0.0f) {
        out = a;
        return;
    }
    out.p = (1.0f - t) * a.p + t * b.p;
    out.n = (1.0f - t) * a.n + t * b.n;
    if (!lane_unit(out.n)) out.n = kUp;
    out.has_normal = a.has_normal || b.has_normal;
}

namespace {

// The walk of the spike and zig-zag passes: a closed string (first point equal to the last)
// starts at its first point with the point before the closing one as predecessor, an open one at
// its second. rule(c, i, prev) takes points out and answers the point to go on with, or kEnd to
// step on; the closing point is kept equal to the first.
template <class Rule> void closed_aware_walk(lane_string& points, Rule rule)
{
    const bool closed = closed_string(points);
    lane_chain c(points);
    for (int i = closed ? c.first() : c.next(c.first()); c.next(i) != lane_chain::kEnd;) {
        if (c.size() < (closed ? 4 : 3)) return;
        const int prev = i == c.first() ? c.prev(c.last()) : c.prev(i);
        const bool was_first = i == c.first();
        const int resume = rule(c, i, prev);
        if (resume == lane_chain::kEnd) {
            i = c.next(i);
            continue;
        }
        if (closed && was_first) c.p(c.last()) = c.p(c.first());
        i = resume;
    }
}

bool same_side_beyond(float dz1, float dz2, float limit)
{
    return (dz1 > limit && dz2 > limit) || (dz1 < -limit && dz2 < -limit);
}

}  // namespace

void lane_spike_remove(float limit, lane_string& points)
{
    closed_aware_walk(points, [&](lane_chain& c, int i, int prev) {
        const int next = c.next(i), next2 = c.next(next);
        const lane_pnt &p = c.p(i), &before = c.p(prev), &after = c.p(next);
        const float dz1 = before[2] - p[2], dz2 = after[2] - p[2], d = lane_dist_xy(before, p);
        if (!(d <= 1.5f * limit || 2.5f * d <= std::fabs(dz1))) return lane_chain::kEnd;
        if (same_side_beyond(dz1, dz2, limit)) {
            c.remove(i);
            return next;
        }
        if (next2 == lane_chain::kEnd || c.next(next2) == lane_chain::kEnd) return lane_chain::kEnd;
        const lane_pnt& after2 = c.p(next2);
        if (lane_dist_xy(after, p) <= limit && lane_dist_xy(after2, after) <= limit &&
            same_side_beyond(dz1, after2[2] - after[2], limit)) {
            c.remove(next);
            c.remove(i);
            return next2;
        }
        return lane_chain::kEnd;
    });
}

void lane_zigzag_remove(float limit, float length, lane_string& points)
{
    closed_aware_walk(points, [&](lane_chain& c, int i, int prev) {
        const int next = c.next(i), next2 = c.next(next);
        if (!(lane_dist(c.p(i), c.p(prev)) > limit)) return lane_chain::kEnd;
        const float a = lane_dist(c.p(i), c.p(next)), b = lane_dist(c.p(prev), c.p(next));
        if (a > limit && b < length) {
            c.remove(i);
            return next;
        }
        if (next2 != lane_chain::kEnd && c.next(next2) != lane_chain::kEnd && a < length &&
            lane_dist(c.p(next), c.p(next2)) > limit && lane_dist(c.p(prev), c.p(next2)) < length) {
            c.remove(next);
            c.remove(i);
            return next2;
        }
        return lane_chain::kEnd;
    });
}

int lane_run_end(int dimension, const lane_string& points, int first, int flag, float s)
{
    const int n = static_cast<int>(points.size()) - first;
    if (n <= 2) return std::max(n, 0);
    const auto at = [&](int k) -> const lane_pnt& { return points[static_cast<std::size_t>(first + k)].p; };
    // In 2-D the run may not pass the first point that the thinning of the XY points drops.
    int limit = n;
    if (dimension == 2) {
        std::vector<float> xy;
        for (int k = 0; k < n; ++k) xy.insert(xy.end(), {at(k)[0], at(k)[1]});
        int kept = n, status = 0;
        dilula(2, xy.data(), kept, std::max(0.2f * lane_tolerance(), kLeastThinning), 0, status);
        for (int k = 0, j = 0; status == 0 && k < n; ++k) {
            if (j < kept && xy[2U * j] == at(k)[0] && xy[2U * j + 1] == at(k)[1])
                ++j;
            else {
                limit = k;
                break;
            }
        }
    }
    const auto flagged = [](const lane_pnt& p) {
        bool found = false;
        return point_flagged(p, found);
    };
    lane_pnt previous{};
    bool has_previous = false;
    for (int k = 1; k < limit; ++k) {
        lane_pnt segment = vec_sub_dim(dimension, at(k), at(k - 1));
        if (std::sqrt(vec_dot_dim(dimension, segment, segment)) > kRunBreakFactor * s) return std::max(k, 2);
        if (!vec_unit_dim(dimension, segment)) continue;
        if (has_previous && vec_dot_dim(dimension, previous, segment) < 0.76f) return k;
        if (flag != 0 && dimension != 2 && k >= 2 && k + 2 < n && flagged(at(k)) && !flagged(at(k - 1)) &&
            !flagged(at(k + 1))) {
            lane_pnt before = vec_sub_dim(3, at(k - 1), at(k - 2)), after = vec_sub_dim(3, at(k + 1), at(k));
            lane_pnt after2 = vec_sub_dim(3, at(k + 2), at(k + 1));
            if (vec_unit_dim(3, before) && vec_unit_dim(3, after) && vec_unit_dim(3, after2) &&
                vec_dot_dim(3, before, segment) > 0.78f && vec_dot_dim(3, segment, after) < 0.3f &&
                vec_dot_dim(3, after, after2) > 0.78f)
                return k + 1;
        }
        previous = segment;
        has_previous = true;
    }
    return std::max(limit, 2);
}

int lane_run_length(const lane_string& points, int first, int flag, float s)
{
    const int m = lane_run_end(kInSpace, points, first, flag, s);
    if (lane_refine_switch.run_search_2d == 0 || m <= 2) return m;
    const lane_string run(points.begin() + first, points.begin() + first + m);
    return lane_run_end(2, run, 0, flag, s);
}

lane_pnt vec_sub_dim(int dimension, const lane_pnt& a, const lane_pnt& b)
{
    lane_pnt d = a - b;
    if (dimension == 2) d[2] = 0.0f;
    return d;
}

bool vec_unit_dim(int dimension, lane_pnt& a)
{
    if (dimension == 2) a[2] = 0.0f;
    return lane_unit(a);
}

float vec_dot_dim(int dimension, const lane_pnt& a, const lane_pnt& b)
{
    return dimension == 2 ? a[0] * b[0] + a[1] * b[1] : lane_dot(a, b);
}
