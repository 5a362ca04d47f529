// chkocont and the string tools around it (see the header).
#include "pocket_lanes/moves/open_strings.hpp"

#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_resample.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

open_strings_debug open_strings_debug_block;

namespace {

constexpr double kResampleTolerance = 0.0005;
constexpr double kStepShare = 1.1;
constexpr double kBareStep = 50.0 * 0.001;
constexpr double kPositiveModeLength = 0.001;
constexpr double kTrimReach = 0.005;
constexpr double kTurnBackCosine = -0.98;
constexpr int kEdgeBisections = 12;
constexpr int kNoStrings = 99;
constexpr int kStepFailed = 11;
constexpr int kUsableOutsideMode0 = 2;
constexpr int kStoreFirst = 14000;
constexpr int kStoreGrowth = 1000;
constexpr int kUnshown = -1;
constexpr int kSetAttribute = 2, kShow = 1;

struct saved_leads {
    float values[3] = {};
    int mode = 0;
    bool saved = false;
};
saved_leads& lead_memory()
{
    static saved_leads memory;
    return memory;
}

struct pt {
    double x = 0.0, y = 0.0;
};
using string_points = std::vector<pt>;

bool same(const pt& a, const pt& b)
{
    const double p[2] = {a.x, a.y}, q[2] = {b.x, b.y};
    return eqptd(2, p, q) != 0;
}

double length_of(const string_points& s)
{
    double l = 0.0;
    for (std::size_t i = 1; i < s.size(); ++i) l += std::hypot(s[i].x - s[i - 1].x, s[i].y - s[i - 1].y);
    return l;
}

// One walk: the samples, the step test and the strings collected.
struct walk {
    const pokarr* lane = nullptr;
    int code = 0;
    int mode = 0;
    bool tested = true;
    int sign = 1;
    double z = 0.0;
    double clearance = 0.0;
    double least_length = 0.0;
    int most_strings = 0;
    std::vector<string_points> strings;
    string_points current;
    int points = 0;
    bool cut = false;  // a limit was reached
    int status = 0;

    // Asks the step test; false when it failed (status -1).
    bool usable(const pt& p, int index, double fraction, bool& ok)
    {
        ok = true;
        if (!tested) return true;
        int flag = 0, st = 0;
        const lane_point_index at{index, fraction};
        open_strings_step_test()(*lane, sign, p.x, p.y, z, clearance, at, code, flag, st);
        if (st == kStepFailed || st < 0) {
            status = -1;
            return false;
        }
        ok = flag != 0 || (st == kUsableOutsideMode0 && mode != 0);
        return true;
    }
    // The step on the screen when its colour word is set.
    void show_step(const pt& p, bool ok) const
    {
        const open_strings_debug& debug = open_strings_debug_block;
        const int colour = ok ? debug.accepted_colour : debug.rejected_colour;
        if (colour != kUnshown) debug_point_show(colour, p.x, p.y, z);
    }
    // The crossing between a usable and an unusable sample, by bisection with the same test.
    bool edge(const pt& good, const pt& bad, int index, double fraction, pt& at)
    {
        pt a = good, b = bad;
        for (int i = 0; i < kEdgeBisections; ++i) {
            const pt m{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)};
            bool ok = false;
            if (!usable(m, index, fraction, ok)) return false;
            (ok ? a : b) = m;
        }
        at = a;
        return true;
    }
    void close_string()
    {
        if (current.empty()) return;
        if (length_of(current) >= least_length && current.size() > 1) {
            if (static_cast<int>(strings.size()) >= most_strings) {
                eroutc(kTooManyStrings, 0);
                cut = true;
            } else if (points + static_cast<int>(current.size()) > kOpenStringPointsMost) {
                cut = true;
            } else {
                points += static_cast<int>(current.size());
                strings.push_back(current);
            }
        }
        current.clear();
    }
    // One sample after `previous` (valid unless first); a string keeps the lane's own points
    // (vertex set) and the edges of its run, not the samples between.
    bool sample(const pt& p, const pt& previous, bool previous_ok, bool first, bool vertex, int index, double fraction)
    {
        bool ok = false;
        if (!usable(p, index, fraction, ok)) return false;
        if (tested) show_step(p, ok);
        if (ok) {
            if (current.empty() && !first && !previous_ok) {
                pt e;
                if (!edge(p, previous, index, fraction, e)) return false;
                current.push_back(e);
            }
            if (vertex && (current.empty() || !same(current.back(), p))) current.push_back(p);
        } else if (!current.empty()) {
            pt e;
            if (!edge(previous, p, index, fraction, e)) return false;
            if (!same(current.back(), e)) current.push_back(e);
            close_string();
        }
        last_ok = ok;
        return !cut;
    }
    bool last_ok = false;
};

// The walked contour as plain points into `walked` (initialised by the caller): short elements
// removed, arcs stepped in mode 0 (without resampling an arc keeps only its end point).
bool walked_points(const double* points, int count, bool resample, pokarr& walked, std::vector<pt>& out)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (int i = 0; i < count && status == 0; ++i) pokarr_add_pnt(points + 2 * i, a, status);
    if (status == 0) pokarr_drop_short(a);
    if (status == 0 && resample) {
        pokarr_resample(a, kResampleTolerance, 2, nullptr, 0, nullptr, &walked, status);
        if (status == 0) pokarr_drop_short(walked);
    } else if (status == 0) {
        for (int i = 0; i < a.count && status == 0; ++i) {
            if (a.x[i] > kMarkerLimit) {
                i += 2;
                continue;
            }
            const double p[2] = {a.x[i], a.y[i]};
            pokarr_add_pnt(p, walked, status);
        }
    }
    out.clear();
    for (int i = 0; status == 0 && i < walked.count; ++i) out.push_back({walked.x[i], walked.y[i]});
    pokarr_free(a);
    return status == 0;
}

// Drops a first or last point where an open string turns back on itself.
void drop_turn_backs(string_points& s)
{
    auto cosine = [](const pt& a, const pt& b, const pt& c) {
        const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
        const double l = std::hypot(ux, uy) * std::hypot(vx, vy);
        return l > 0.0 ? (ux * vx + uy * vy) / l : 1.0;
    };
    if (s.size() <= 3 || same(s.front(), s.back())) return;
    const std::size_t n = s.size();
    if (cosine(s[n - 3], s[n - 2], s[n - 1]) < kTurnBackCosine) s.pop_back();
    if (s.size() > 3 && cosine(s[0], s[1], s[2]) < kTurnBackCosine) s.erase(s.begin());
}

// The tiny end segments of one string trimmed (open_strings_trim_ends on it alone).
void trim_string(string_points& s)
{
    std::vector<double> flat;
    for (const pt& p : s) flat.insert(flat.end(), {p.x, p.y});
    int count[2] = {0, static_cast<int>(s.size())};
    open_strings_trim_ends(count, 1, flat.data());
    s.resize(static_cast<std::size_t>(count[1]));
    for (int i = 0; i < count[1]; ++i) s[static_cast<std::size_t>(i)] = {flat[2 * i], flat[2 * i + 1]};
}

void write_strings(const std::vector<string_points>& strings, int& string_count, int* counts, open_string_store& store,
                   int& status)
{
    int doubles = 0;
    for (const string_points& s : strings) doubles += 2 * static_cast<int>(s.size());
    void* base = nullptr;
    if (store.handle < 0) {
        store.capacity = std::max(kStoreFirst, store.fill + doubles);
        MM_OPEN_ARRAY(8, store.capacity, store.handle, base, status);
        if (status != 0) {
            store.handle = -1;
            return;
        }
    } else if (store.fill + doubles > store.capacity) {
        const int more = store.fill + doubles - store.capacity + kStoreGrowth;
        MM_RESIZE_ARRAY(store.handle, more, base, status);
        if (status != 0) return;
        store.capacity += more;
    }
    double* out = static_cast<double*>(mmcptr(store.handle)) + store.fill;
    string_count = static_cast<int>(strings.size());
    for (std::size_t k = 0; k < strings.size(); ++k) {
        counts[k + 1] = static_cast<int>(strings[k].size());
        for (const pt& p : strings[k]) {
            *out++ = p.x;
            *out++ = p.y;
        }
    }
}

}  // namespace

void debug_point_show(int colour, double x, double y, double z)
{
    int id = 0, status = 0;
    estore(kPointClass, kPointType, id, status);
    if (status != 0) return;
    const double point[3] = {x, y, z};
    eputd(3, point, status);
    int closed = 0;
    eclose(closed);
    if (status == 0) eattc(id, kSetAttribute, "CO", colour, status);
    if (status != 0) {
        edelet(id, status);  // a half-made point is not left behind
        return;
    }
    edisp(id, kShow, status);
}

step_test& open_strings_step_test()
{
    static step_test test = step_usable_test;
    return test;
}

void restore_lead_params()
{
    const saved_leads& m = lead_memory();
    if (!m.saved) return;
    pocket_state& ps = pocket_state_block;
    for (int i = 0; i < 3; ++i) ps.lead_values[i] = m.values[i];
    ps.lead_mode = m.mode;
}

void chkocont(int mode, int direction_sign, double z, int max_strings, double /*tolerance*/, const double* points,
              int& string_count, int* counts, const double* reference, open_string_store& store, int& status)
{
    status = 0;
    const int count = counts[1];
    string_count = 0;
    bool returns = true;
    walk w;
    if (mode >= kNoStrings) {
        mode -= 100;
        returns = false;
    }
    if (mode > 8) mode -= 10;
    if (mode == kOpenStringsUntested) {
        mode = 0;
        w.tested = false;
    }
    saved_leads& m = lead_memory();
    const pocket_state& ps = pocket_state_block;
    for (int i = 0; i < 3; ++i) m.values[i] = static_cast<float>(ps.lead_values[i]);
    m.mode = ps.lead_mode;
    m.saved = true;
    const double r = pocket_work_block.tool_radius;
    const double step = r > 0.0 ? kStepShare * r : kBareStep;
    w.least_length = mode > 0 ? kPositiveModeLength : r > 0.0 ? r : kBareStep;
    w.clearance = 2.0 * r;
    w.mode = mode;
    w.sign = direction_sign;
    w.z = z;
    w.most_strings = std::min(max_strings, kOpenStringsMost);
    std::vector<pt> path;
    pokarr walked;
    pokarr_init(2, walked);
    struct release {
        pokarr& a;
        ~release() { pokarr_free(a); }
    } const on_exit{walked};
    if (count < 1 || points == nullptr || !walked_points(points, count, mode == 0, walked, path)) {
        status = count < 1 ? 0 : -1;
        return;
    }
    w.lane = &walked;
    // The walk.
    pt previous;
    bool going = true;
    for (std::size_t i = 0; going && i < path.size(); ++i) {
        if (i == 0) {
            going = w.sample(path[0], previous, false, true, true, 1, 0.0);
            previous = path[0];
            continue;
        }
        const double len = std::hypot(path[i].x - previous.x, path[i].y - previous.y);
        const int steps = std::max(1, static_cast<int>(std::ceil(len / step)));
        const pt from = previous;
        for (int s = 1; going && s <= steps; ++s) {
            const double f = s == steps ? 1.0 : s * step / len;
            const pt p{from.x + f * (path[i].x - from.x), from.y + f * (path[i].y - from.y)};
            going = w.sample(p, previous, w.last_ok, false, s == steps, static_cast<int>(i), f);
            previous = p;
        }
    }
    if (w.status < 0) {
        status = -1;
        return;
    }
    if (!w.cut) w.close_string();
    std::vector<string_points>& strings = w.strings;
    // A lane cut through its start: the last string joins in front of the first.
    if (strings.size() > 1 && same(strings.back().back(), strings.front().front())) {
        string_points joined = strings.back();
        joined.insert(joined.end(), strings.front().begin() + 1, strings.front().end());
        strings.front() = joined;
        strings.pop_back();
    }
    const std::array<float, 3> tool = DSP8().position();
    const pt ref = reference != nullptr ? pt{reference[0], reference[1]} : pt{tool[0], tool[1]};
    if (mode == 0 && !strings.empty()) {
        const bool single_closed =
            strings.size() == 1 && strings[0].size() > 2 && same(strings[0].front(), strings[0].back());
        if (proc_geometry().curve_approx.lane_report == 0 || single_closed)
            for (string_points& one : strings) trim_string(one);
        if (strings.size() == 1 && strings[0].size() > 2 && same(strings[0].front(), strings[0].back())) {
            std::vector<double> flat;
            for (const pt& p : strings[0]) {
                flat.push_back(p.x);
                flat.push_back(p.y);
            }
            int n = static_cast<int>(strings[0].size());
            flat.resize(flat.size() + 8);
            lane_start_at_point(ref.x, ref.y, n, flat.data());
            strings[0].resize(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) strings[0][static_cast<std::size_t>(i)] = {flat[2 * i], flat[2 * i + 1]};
        }
        std::size_t nearest = 0;
        double best = 0.0;
        for (std::size_t k = 0; k < strings.size(); ++k) {
            const double d = std::hypot(strings[k].front().x - ref.x, strings[k].front().y - ref.y);
            if (k == 0 || d < best) {
                best = d;
                nearest = k;
            }
        }
        std::rotate(strings.begin(), strings.begin() + static_cast<std::ptrdiff_t>(nearest), strings.end());
    }
    for (string_points& s : strings) drop_turn_backs(s);
    if (returns && !strings.empty()) write_strings(strings, string_count, counts, store, status);
    if (status == 0 && w.cut) status = kOpenStringsCut;
}

void open_strings_rotate(int k, int* counts, int string_count, double* points)
{
    if (k <= 0 || k >= string_count) return;
    int head = 0, total = 0;
    for (int i = 1; i <= string_count; ++i) {
        if (i <= k) head += counts[i];
        total += counts[i];
    }
    std::rotate(points, points + 2 * head, points + 2 * total);
    std::rotate(counts + 1, counts + 1 + k, counts + 1 + string_count);
}

void open_strings_trim_ends(int* counts, int string_count, double* points)
{
    int read = 0, write = 0;
    for (int s = 1; s <= string_count; ++s) {
        const int n = counts[s];
        const double* p = points + 2 * read;
        const bool closed = n > 1 && eqptd(2, p, p + 2 * (n - 1)) != 0;
        int keep = n;
        if (!closed && n > 1) {
            const double* last = p + 2 * (n - 1);
            std::vector<double> kept;
            for (int i = 0; i < n - 1; ++i)
                if (std::hypot(p[2 * i] - last[0], p[2 * i + 1] - last[1]) > kTrimReach) {
                    kept.push_back(p[2 * i]);
                    kept.push_back(p[2 * i + 1]);
                }
            kept.push_back(last[0]);
            kept.push_back(last[1]);
            keep = static_cast<int>(kept.size() / 2);
            std::copy(kept.begin(), kept.end(), points + 2 * write);
        } else {
            std::copy(p, p + 2 * n, points + 2 * write);
        }
        read += n;
        write += keep;
        counts[s] = keep;
    }
}

void lane_start_at_point(double x, double y, int& count, double* points)
{
    if (count < 3 || eqptd(2, points, points + 2 * (count - 1)) == 0) return;
    std::vector<double> xs(static_cast<std::size_t>(count)), ys(xs.size());
    for (int i = 0; i < count; ++i) {
        xs[static_cast<std::size_t>(i)] = points[2 * i];
        ys[static_cast<std::size_t>(i)] = points[2 * i + 1];
    }
    int k = 0;
    double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
    nearest_on_xy_chain(x, y, xs.data(), ys.data(), count, k, t, nx, ny, d);
    if (k < 1) return;
    const bool arc = xs[static_cast<std::size_t>(k)] > kMarkerLimit;
    std::vector<double> out;
    auto put = [&](int i) {
        out.push_back(points[2 * i]);
        out.push_back(points[2 * i + 1]);
    };
    if (t <= 0.0) {
        // At the element's start: the path turned to start at that entry.
        for (int i = k - 1; i < count; ++i) put(i);
        for (int i = 1; i <= k - 1; ++i) put(i);
    } else {
        out.push_back(nx);
        out.push_back(ny);
        for (int i = k; i < count; ++i) put(i);
        for (int i = 1; i <= k - 1; ++i) put(i);
        if (arc)
            for (int i = k; i < k + 3; ++i) put(i);
        out.push_back(nx);
        out.push_back(ny);
    }
    count = static_cast<int>(out.size() / 2);
    std::copy(out.begin(), out.end(), points);
}

void step_usable_test(const pokarr& lane, int direction_sign, double x, double y, double z, double /*clearance*/,
                      const lane_point_index& index, int& code, int& usable, int& status)
{
    double before[2] = {}, after[2] = {};
    int blocked = 0;
    open_contour_step_test(lane, direction_sign, x, y, z, index, code, before, after, blocked, status);
    if (status < 0) {
        status = kStepFailed;
        usable = 0;
        return;
    }
    usable = blocked == 0 ? 1 : 0;
}
