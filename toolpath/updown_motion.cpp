// The entry of the computing code into the UP/DOWN buffers (updown_motion), the flush and the
// writing of the split runs. Reads the UP/DOWN words, the clearing mode, the motion flag, DSP8,
// the fit tolerance and, for the contact test of UP runs, the tool contact query.
#include "toolpath/updown_buffers.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/clear_mode.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/surface_query_seams.hpp"
#include "toolpath/updown_entries.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kClearingStatements = 3;
constexpr int kUp = 2, kContactTest = 2;
constexpr int kStringPair = 10, kStringOpen = 19, kStringClose = 20;
constexpr int kContactFound = 0;
// The contact test probes 4 tolerances back along the first segment, 0.05 of one higher.
constexpr float kProbeBack = 4.0f, kProbeRise = 0.05f;

// The per-point value a statement stores: its start marker code. The output hands a stretch of
// value v to MILBF2 with that marker, whose end marker is v + 1 and bracket (v + 1) / 2.
int statement_value(const milling_statement& s) { return s.marker_code; }

void append(const updown_entry& e)
{
    set_entry(updown().count, e);
    ++updown().count;
}

// One string of a statement into the buffer (a single point after buffered entries as a pair).
void append_string(const milling_statement& s, int first, int n, int& status)
{
    updown_state& u = updown();
    const bool pair = n == 1 && u.count > 0;
    const int needed = pair ? 2 : n;
    const int step = updown_grow(needed, status);
    if (status < 0) return;
    if (step == kUpdownSmallGrowth) {
        updown_flush(status);
        if (status < 0) return;
    }
    const int value = statement_value(s);
    if (pair) {
        updown_entry last = entry_at(u.count - 1);
        last.value = value;
        append(last);
    }
    for (int i = first; i < first + n; ++i)
        append({s.points[i], s.directions ? s.directions[i] : kDefaultDirection, value});
}

void refresh_last_point()
{
    if (updown().count > 0) updown().last_point = entry_at(updown().count - 1).point;
}

// The clearing marks the start of its statements: what is buffered is written, and a marker
// pair goes out with the motion flag switched.
void mark_statement_start(int& status)
{
    updown_flush(status);
    if (status < 0) return;
    int flag = 0;
    motion_flag_getset(kGet, flag);
    int switched = flag == 0 ? 1 : 0;
    motion_flag_getset(kSet, switched);
    tp_mrkr_write(kMarkerOpen, kStringPair, kStringOpen, 0.0f, 0, status);
    if (status >= 0) tp_mrkr_write(kMarkerClose, kStringPair, kStringClose, 0.0f, 0, status);
    motion_flag_getset(kSet, flag);
}

// Whether the tool touches the surfaces at a probe beside the point, away from `towards`.
bool touches_beside(const point3& at, const point3& towards)
{
    const float tolerance = static_cast<float>(fit_state().tolerance);
    const float dx = towards[0] - at[0], dy = towards[1] - at[1], dz = towards[2] - at[2];
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(length > 0.0f)) return false;
    const float back = kProbeBack * tolerance / length;
    const point3 probe{at[0] - back * dx, at[1] - back * dy, at[2] - back * dz + kProbeRise * tolerance};
    point3 contact{}, normal{0.0f, 0.0f, 1.0f};
    int status = 0;
    surface_query_table().tool_contact_point(probe.data(), probe.data(), probe[2], contact.data(), normal.data(),
                                             status);
    return status == kContactFound;
}

// UP runs of the second mode 2: a stretch that cannot be entered at its start (the tool touches
// beside it there and at its other end) is reversed once; a flat stretch is not tested.
void contact_test(std::vector<point3>& points, std::vector<point3>& directions)
{
    const updown_state& u = updown();
    if (u.mode != kUp || u.second_mode != kContactTest || points.size() < 2) return;
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(), [](const point3& a, const point3& b) { return a[2] < b[2]; });
    if ((*high)[2] - (*low)[2] <= 2.0f * static_cast<float>(fit_state().tolerance)) return;
    if (!touches_beside(points.front(), points[1])) return;
    if (!touches_beside(points.back(), points[points.size() - 2])) return;
    std::reverse(points.begin(), points.end());
    std::reverse(directions.begin(), directions.end());
}

// The XY box of every point written so far by this output.
struct xy_box {
    float low[2] = {1.0e30f, 1.0e30f};
    float high[2] = {-1.0e30f, -1.0e30f};
    void add(const point3& p)
    {
        for (int k = 0; k < 2; ++k) {
            low[k] = std::min(low[k], p[static_cast<std::size_t>(k)]);
            high[k] = std::max(high[k], p[static_cast<std::size_t>(k)]);
        }
    }
    float extent() const { return std::max(high[0] - low[0], high[1] - low[1]); }
};

// One stretch of equal per-point value through MILBF2 (or a Z retract while the output is still
// smaller than the minimum size).
void write_stretch(int first, int n, bool first_run, xy_box& box, int& status)
{
    const updown_state& u = updown();
    std::vector<point3> points, directions;
    for (int k = first; k < first + n; ++k) {
        const updown_entry e = entry_at(k);
        points.push_back(e.point);
        directions.push_back(e.direction);
    }
    const int v = std::max(entry_at(first).value, 0);
    if (u.minimum_size > 0.0f) {
        for (const point3& p : points) box.add(p);
        if (box.extent() < u.minimum_size) {
            ZRET(u.kept_dimension, points.front(), directions.front(), status);
            return;
        }
    }
    contact_test(points, directions);
    const point3 here = DSP8().position();
    milling_statement s;
    s.code = u.kept_code;
    s.dimension = u.kept_dimension;
    s.approach = first_run || eqpt3(points.front().data(), here.data()) == 0 ? 1 : 0;
    s.points = points.data();
    s.directions = directions.data();
    s.strings = 1;
    s.counts = &n;
    s.marker_code = v;
    s.end_marker_code = v + 1;
    s.marker_id = (v + 1) / 2;
    s.pass_number = u.kept_pass_number;
    MILBF2(s, status);
}

// Writes the runs of the split buffer, each cut into stretches of equal per-point value.
void updown_output(int& status)
{
    int display = 1;
    get_exec_disp_mode(display);
    const updown_arrays& b = updown_buffers();
    xy_box box;
    int first = 0;
    for (int r = 0; r < b.run_count && status >= 0; ++r) {
        const int length = run_length(r);
        for (int k = first; k < first + length && status >= 0;) {
            int end = k + 1;
            while (end < first + length && entry_at(end).value == entry_at(k).value) ++end;
            write_stretch(k, end - k, r == 0, box, status);
            set_exec_disp_mode(display);
            k = end;
        }
        first += length;
    }
}

}  // namespace

void updown_flush(int& status)
{
    status = 0;
    updown_state& u = updown();
    if ((u.mode == 1 && u.minimum_size == 0.0f) || u.count == 0) return;
    updown_split(status);
    if (status >= 0) updown_output(status);
    const updown_entry last = entry_at(u.count - 1);
    last_move_set(&last.point, &last.direction, nullptr);
    u.count = 0;
}

void updown_motion(const milling_statement& statement, int& status)
{
    status = 0;
    updown_state& u = updown();
    if (u.mode == 1 && u.minimum_size == 0.0f) {
        MILBF2(statement, status);
        return;
    }
    updown_open(status);
    if (status < 0) return;
    if (statement.code < 0 && clear_mode() == kClearingStatements) {
        mark_statement_start(status);
        if (status < 0) return;
    }
    u.kept_code = std::abs(statement.code);
    u.kept_dimension = statement.dimension;
    u.kept_pass_number = statement.pass_number;
    if (u.flush_request != 0 && u.count > 0) {
        updown_flush(status);
        if (status < 0) return;
    }
    int first = 0;
    bool later = false;
    for (int i = 0; i < statement.strings && statement.counts && status >= 0; ++i) {
        const int n = statement.counts[i];
        if (n <= 0) continue;
        if (later) updown_flush(status);
        later = true;
        if (status >= 0) append_string(statement, first, n, status);
        first += n;
    }
    refresh_last_point();
}
