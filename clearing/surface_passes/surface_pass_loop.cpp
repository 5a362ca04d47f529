// The pass loop of the surface pass engine: set-up, then segment by segment the strings over the
// surfaces, the link from the last point written (along the surface or lifted) and the output,
// then the end steps. Reads curve_approx_common, UPW2, the current mill, the NC function code,
// the touch-point flag and the tool position of the motion output; carries surface_pass from one
// call to the next.
#include "clearing/surface_passes/surface_pass_run.hpp"

#include "clearing/surface_passes/band_clip.hpp"
#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/link_moves.hpp"
#include "clearing/surface_passes/pass_link.hpp"
#include "clearing/surface_passes/pass_output.hpp"
#include "clearing/surface_passes/pass_scallop.hpp"
#include "clearing/surface_passes/region_link.hpp"
#include "clearing/surface_passes/string_methods.hpp"
#include "clearing/surface_services/pass_backup.hpp"
#include "clearing/surface_services/pass_string_merge.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "cutter/touch_point_flags.hpp"
#include "host/vantu.hpp"
#include "host/vantu_part_surfaces.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/pasbuf.hpp"
#include "pocket_lanes/moves/string_merge.hpp"
#include "surfaces/surface_select_least.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr int kMethodBand = 3, kMethodGridBand = 5;
constexpr int kWireFunctions[] = {34, 38};  // the link-code mark: passes held back, then linked
constexpr int kGridFunction = 48;           // with a grid kind: the grid-only mark
constexpr int kOutputAlways = 3;
constexpr int kLinkedPasses = 1;    // linking word: passes linked end to start
constexpr int kEntryFromFirst = 2;  // entry-point mode: the first string point is the entry
constexpr int kFirstPassCode = -3, kPassCode = 3;
constexpr int kBufferPass = 1;  // pass type of pasbuf_new_pass
constexpr int kLastSegment = 1, kInnerSegment = 2, kRestartSegment = 3;
constexpr int kLinkMachiningType = 12;  // the link string of the band method 3
// A segment shorter than the smaller of these is not machined (it would only repeat the point).
constexpr float kShortByTolerance = 2.0f, kShortBySideStep = 0.7f;
// The link reach in tool diameters, with the touch-point flag on and off.
constexpr float kReachTouch = 1.0f, kReachFree = 4.0f;
constexpr float kLinkClearance = 1.0f;  // the link's upper Z above the clearance height
constexpr int kLinkPointsMost = 1002, kStringsMost = kBandStringsMost;
constexpr int kPassPointsMost = kBandRealsMost / 3;
constexpr int kNetLine = -1, kNetOne = 1, kNetNone = 0;
constexpr float kToolAxis[3] = {0.0f, 0.0f, 1.0f};
constexpr int kTemporaryFlag = kTouchPointTemporary;

// What the loop keeps for one call.
struct pass_loop {
    const curve_approx_words& words;
    int context;
    float* points;  // (flag, X, Y) per point, point k at 3(k-1)
    int n;
    int temporary_touch = 0;  // the temporary touch-point flag at entry
    int link_code_mark = 0;
    int grid_only = 0;
    float reach = 0.0f;  // the longest link along the surface
    float lower = 0.0f;  // the band's lower Z
    int buffer_empty = 1;
    int previous = 1;  // the previous point (1-based)
    float entry[3] = {0, 0, 0};
    int entry_set = 0;
    int first_point_taken = 0;
    int statement_code = kPassCode;  // -3 when the call began with the first pass
    int grid_only_counted = 0;
    int grid_gap = 0;
    int written = 0;
    int link_computed = 0;
    string_block strings{kPassPointsMost, kStringsMost};
    string_block link{kLinkPointsMost, kStringsMost};

    float flag(int k) const { return points[3 * (k - 1)]; }
    float x(int k) const { return points[3 * (k - 1) + 1]; }
    float y(int k) const { return points[3 * (k - 1) + 2]; }
    bool last(int k) const { return k == n; }
    bool method(int m) const { return words.method == m; }
};

// The words the loop changes on the way and gives back on every way out.
struct saved_words {
    int machining = machining_type();
    int touch = touch_point_flag_get(kTemporaryFlag);
    int projection = srf_projection_on();
    float approach = connect_params_block().approach_distance;
    ~saved_words()
    {
        machining_type() = machining;
        touch_point_flag_set(kTemporaryFlag, touch);
        int status = 0;
        if (srf_projection_on() != projection) {
            if (projection != 0)
                srf_state_2_to_4(status);
            else
                srf_state_4_to_2(status);
        }
        connect_params_block().approach_distance = approach;
    }
};

float mill_diameter()
{
    float diameter = 0.0f;
    mill_service_table().tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    return diameter;
}

bool is_wire_function(int code)
{
    return std::find(std::begin(kWireFunctions), std::end(kWireFunctions), code) != std::end(kWireFunctions);
}

const float* first_point(const string_block& b) { return b.points.data(); }

bool has_strings(const string_block& b) { return b.string_count > 0 && b.total > 0; }

// The block as the string merge takes it (points and normals move together).
point_string_set string_set(string_block& b)
{
    return {b.points.data(), b.normals.data(), nullptr, b.counts.data(), b.string_count, b.capacity(), b.string_most()};
}

// The normal flags of the procedure's part surfaces: the loop stops when they cannot be had.
void fetch_normal_flags(int& status)
{
    int count = 0;
    nc_surf_select_buf(kSurfaceCountGet, kSurfacePart, count, status);
    if (status < 0 || count <= 0) return;
    const auto& ids = proc_geometry().selection[kSurfacePart];
    count = std::min(count, static_cast<int>(ids.size()));
    std::vector<int> flags(static_cast<std::size_t>(count));
    nc_surf_nrms(ids.data(), count, flags.data(), status);
}

void setup(pass_loop& loop, int pass_number, int& status)
{
    loop.statement_code = pass_number == 0 ? kFirstPassCode : kPassCode;
    fetch_normal_flags(status);
    if (status < 0) return;
    loop.temporary_touch = touch_point_flag_get(kTemporaryFlag);
    const int code = nu_sgcd_get_code();
    loop.link_code_mark = is_wire_function(code) ? 1 : 0;
    loop.grid_only = code == kGridFunction && loop.words.grid_kind != 0 ? 1 : 0;
    loop.reach = mill_diameter() * (loop.temporary_touch != 0 ? kReachTouch : kReachFree);

    ++surface_pass.pass_counter;
    if (backup_due(surface_pass.pass_counter)) {
        BKUPNC(surface_pass.pass_counter, status);
        if (status < 0) return;
    }
    if (loop.method(kMethodBand)) pasbuf_is_empty(loop.buffer_empty, status);
    if (status < 0) return;
    if (pass_number == 0 && loop.buffer_empty != 0) {
        surface_pass.last_point_valid = 0;
        surface_pass.lift_flag = 0;
        surface_pass.previous_pass_valid = 0;
    }
    const auto& shift = loop.words.lateral_shift;
    if (loop.words.shift_mode == 3 && (shift[0] != 0.0f || shift[1] != 0.0f))
        for (int k = 1; k <= loop.n; ++k) {
            loop.points[3 * (k - 1) + 1] += shift[0];
            loop.points[3 * (k - 1) + 2] += shift[1];
        }
    loop.lower = loop.words.upper_z - loop.words.band_depth;
}

// The link string from the last point written to the first string point (step "link test"):
// leaves it merged in front of the strings, or sets the link flag. refused: the link may not go
// along the surface.
void link_to_strings(pass_loop& loop, int& refused, int& status)
{
    const curve_approx_words& w = loop.words;
    surface_pass_state& s = surface_pass;
    if (!has_strings(loop.strings) || loop.strings.counts[0] <= 0 || s.last_point_valid == 0) {
        s.link_flag = 1;
        return;
    }
    const float* first = first_point(loop.strings);
    string_block& link = loop.link;
    link.clear();
    const float d = std::hypot(first[0] - s.last_point[0], first[1] - s.last_point[1]);
    if (link_inside_region(s.last_point, first) == 0 || d > loop.reach) {
        refused = 1;
    } else {
        loop.link_computed = 1;
        touch_point_flag_set(kTemporaryFlag, 0);
        const int machining = machining_type();
        if (loop.method(kMethodBand)) machining_type() = kLinkMachiningType;
        linnet_set_params(kNetLine, kToolAxis, kToolAxis, kNetNone, 0.0f, w.link_tolerance);
        surface_query_table().linnet_touch_point(loop.context, kTouchAllPoints, s.last_point, first, w.link_tolerance,
                                                 w.net_values[0], w.net_values[1], kLinkPointsMost, link.points.data(),
                                                 link.normals.data(), link.values.data(), link.string_count,
                                                 link.string_most(), link.counts.data(), link.total, status);
        machining_type() = machining;
        touch_point_flag_set(kTemporaryFlag, loop.temporary_touch);
        if (status < 0) return;
        status = 0;
        const float upper =
            w.band_flag == 0 ? static_cast<float>(HEI8().real(heights_state::kClearance)) + kLinkClearance : loop.lower;
        if (loop.method(kMethodBand)) {
            UPDTPS(w.tolerance, upper, loop.lower, link.capacity(), link.points.data(), link.normals.data(),
                   link.string_count, link.string_most(), link.counts.data(), status);
            if (status < 0) return;
            status = 0;
        }
        join_strings_by_scallop(w.band_flag, link.capacity(), link.points.data(), link.string_count, link.string_most(),
                                link.counts.data(), link.total);
        // The join answers the first string's count alone when it joins nothing: count them all.
        link.total = std::accumulate(link.counts.begin(), link.counts.begin() + link.string_count, 0);
    }
    if (!has_strings(link)) {
        s.link_flag = 1;
        return;
    }
    float h = 0.0f;
    scallop_height(s.last_point, link.points.data(), h);
    if (w.band_flag == 0) {
        if (h <= w.tolerance) {
            s.link_flag = 0;
            std::copy_n(s.last_point, 3, link.points.begin());
        } else {
            s.lift_flag = s.link_flag = 1;
        }
    } else {
        if (h > w.tolerance) s.link_flag = 1;
        // A trailing separator before strings that start where the link ends would lift for nothing.
        const int n = link.string_count;
        if (n > 1 && link.counts[n - 1] == 0) {
            float end_gap = 0.0f;
            scallop_height(&link.points[3 * static_cast<std::size_t>(link.total - 1)], first, end_gap);
            if (end_gap <= w.tolerance) --link.string_count;
        }
    }
    point_string_set into = string_set(loop.strings);
    point_string_set front = string_set(link);
    merge_pass_strings(into, front, status);
    if (status < 0) return;
    loop.strings.string_count = into.string_count;
    loop.strings.total =
        std::accumulate(loop.strings.counts.begin(), loop.strings.counts.begin() + into.string_count, 0);
    s.last_point_valid = 0;
}

// The approach distance that carries every Z-up approach of the call over the part: the motion
// output climbs from where the tool stands (the tool's position before the first string, the end
// of the string before for the others) to the approach distance above a string's first point and
// crosses straight over to it. Each crossing, from the top of its climb on, must clear the highest
// drop of the tool on its way by `clearance` (highest_drop).
float approach_over_part(const surface_strings_call& call, float clearance)
{
    const bool one_string =
        std::count_if(call.counts, call.counts + call.string_count, [](int n) { return n > 0; }) <= 1;
    if (call.lift_flag == 0 && one_string) return 0.0f;
    const projection_on projection;
    float need = 0.0f;
    point3 from = DSP8().position();
    bool approaching = call.lift_flag != 0;
    int first = 0;
    for (int i = 0; i < call.string_count; ++i) {
        const int n = call.counts[i];
        if (n <= 0) continue;
        const point3& start = call.points[first];
        if (approaching) {
            const double highest = highest_drop(from, start);
            if (highest != kNoDrop) need = std::max(need, static_cast<float>(highest + clearance - start[2]));
        }
        approaching = true;
        first += n;
        from = call.points[first - 1];
    }
    return need;
}

// Writes the strings (or the first point alone) through the motion output, lowering the approach
// distance of the band method by the height of the first point above the band while it writes,
// and raising it where an approach would cross the part lower than the approach distance above it.
void write_call(pass_loop& loop, const surface_strings_call& call, int& status)
{
    float& approach = connect_params_block().approach_distance;
    const float kept = approach;
    if (loop.method(kMethodBand) && call.string_count > 0) approach -= std::max(0.0f, call.points[0][2] - loop.lower);
    if (call.string_count > 0) approach = std::max(approach, approach_over_part(call, kept));
    surface_pass_output_table().write(call, status);
    approach = kept;
    loop.written = 1;
}

surface_strings_call strings_call(const pass_loop& loop, int start, int pass_number, const std::array<int, 3>& codes,
                                  int feed)
{
    const string_block& b = loop.strings;
    surface_strings_call call;
    call.lift_flag = surface_pass.lift_flag;
    call.statement_code = loop.statement_code;
    call.points = reinterpret_cast<const point3*>(b.points.data()) + start;
    call.normals = reinterpret_cast<const point3*>(b.normals.data()) + start;
    call.values = b.values.data() + start;
    call.counts = b.counts.data();
    call.string_count = b.string_count;
    call.pass_number = pass_number;
    call.motion_codes = codes;
    call.feed_mode = feed;
    return call;
}

// Output of a machined segment's strings (held back, linked to the previous pass, or written).
void output_strings(pass_loop& loop, bool last, int start, int pass_number, int& status)
{
    const curve_approx_words& w = loop.words;
    surface_pass_state& s = surface_pass;
    const std::array<int, 3> codes = last ? kLastMotionCodes : kInnerMotionCodes;
    const int feed = loop.method(kMethodBand) || loop.method(kMethodGridBand) || last ? kBaseFeed : kPercentFeed;
    string_block& b = loop.strings;
    b.counts[0] -= start;
    const auto* points = reinterpret_cast<const point3*>(b.points.data()) + start;
    if (w.linking == kLinkedPasses && loop.link_code_mark != 0 && !last) {
        deferred_strings_add(s.lift_flag, points, b.string_count, b.counts.data(), pass_number, codes[0], codes[1],
                             codes[2], status);
        return;
    }
    if (last && w.linking == kLinkedPasses) {
        int no_link = 1;
        // Only a pass that ended before is linked: the first pass's own held-back segments give
        // no previous end.
        if (pass_number >= 2 && s.lift_flag == 0 && s.previous_pass_valid != 0 && b.counts[0] >= 2) {
            link_pass_strings(s.previous_pass_end[0], s.previous_pass_end[1], points[1].data(), points[0].data(),
                              pass_number, 1, no_link, status);
            if (status < 0) return;
        }
        // Held-back segments are written unless the link went past them to this one: with no link
        // tried they are written too, so that no cut of the pass is lost.
        deferred_strings_flush(no_link, status);
        if (status < 0) return;
    }
    write_call(loop, strings_call(loop, start, pass_number, codes, feed), status);
}

// The last point, direction and count of what was written, and the state for the next strings.
void after_writing(pass_loop& loop, bool last, int start, float* last_point, float* last_dir, int& point_count)
{
    surface_pass_state& s = surface_pass;
    const string_block& b = loop.strings;
    s.lift_flag = 0;
    point_count = b.total - start;
    const float* first = &b.points[3 * static_cast<std::size_t>(start)];
    const float* end = &b.points[3 * static_cast<std::size_t>(b.total - 1)];
    if (point_count >= 2) {
        const float* before = end - 3;
        std::copy_n(end, 3, last_point);
        float d[3] = {end[0] - before[0], end[1] - before[1], end[2] - before[2]};
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (int i = 0; i < 3; ++i) last_dir[i] = length > 0.0f ? d[i] / length : kToolAxis[i];
        if (last) {
            std::copy_n(before, 3, s.previous_pass_end[0]);
            std::copy_n(end, 3, s.previous_pass_end[1]);
            s.previous_pass_valid = 1;
        }
    }
    if (loop.words.entry_point_mode != kEntryFromFirst || !last) {
        std::copy_n(end, 3, s.last_point);
        s.last_point_valid = 1;
    } else if (loop.first_point_taken == 0) {
        std::copy_n(first, 3, s.last_point);
        s.last_point_valid = 1;
        loop.first_point_taken = 1;
    }
    s.link_flag = b.counts[b.string_count - 1] == 0 ? 1 : 0;
}

// The first string point joined to the tool without a lift: written alone as a one-point link.
void write_joining_point(pass_loop& loop, int pass_number, int& status)
{
    const int one = 1;
    surface_strings_call call;
    call.lift_flag = 0;
    call.statement_code = loop.statement_code;
    call.points = reinterpret_cast<const point3*>(loop.strings.points.data());
    call.normals = reinterpret_cast<const point3*>(loop.strings.normals.data());
    call.values = loop.strings.values.data();
    call.counts = &one;
    call.string_count = 1;
    call.pass_number = pass_number;
    call.motion_codes = kInnerMotionCodes;
    call.feed_mode = kBaseFeed;
    write_call(loop, call, status);
}

// Where writing starts when a link is still needed: the tool joins the strings along the surface
// (first point written alone), or lifts.
int join_or_lift(pass_loop& loop, int refused, int pass_number, int& status)
{
    surface_pass_state& s = surface_pass;
    const float* first = first_point(loop.strings);
    const std::array<float, 3> tool = DSP8().position();
    float h = 0.0f;
    scallop_height(tool.data(), first, h);
    if (loop.method(kMethodBand) && loop.words.band_flag == 0 && h > loop.words.tolerance) {
        s.lift_flag = 1;
        return 0;
    }
    if (h <= loop.words.tolerance && eqval(tool[2], first[2]) != 0 && refused == 0 && loop.strings.counts[0] > 1) {
        s.lift_flag = 0;
        write_joining_point(loop, pass_number, status);
        return 1;
    }
    s.lift_flag = 1;
    return 0;
}

void make_previous(pass_loop& loop, int k) { loop.previous = k; }

// One segment from the previous point to point k.
void run_segment(pass_loop& loop, int k, int& pass_number, float* last_point, float* last_dir, int& point_count,
                 int& status)
{
    const curve_approx_words& w = loop.words;
    surface_pass_state& s = surface_pass;
    const bool last = loop.last(k);
    const int p = loop.previous;
    if (loop.method(kMethodBand)) {
        pasbuf_is_empty(loop.buffer_empty, status);
        if (status < 0) return;
    }
    const bool restart = !last && w.restart != 0 && pass_number == 0 && loop.buffer_empty != 0;
    const float length = std::hypot(loop.x(k) - loop.x(p), loop.y(k) - loop.y(p));
    if (length < std::min(kShortByTolerance * w.tolerance, kShortBySideStep * w.side_step)) return;
    if (w.linking == kLinkedPasses && loop.link_code_mark == 0 && !last) return make_previous(loop, k);
    // Inner segments that these modes do not machine still move the previous point on, so that
    // the last segment is the chain's own and never a chord across the pass.
    if (!last) {
        if (loop.method(kMethodGridBand)) return make_previous(loop, k);
        if (loop.temporary_touch != 0) {
            if (loop.flag(p) < 0.0f) s.lift_flag = 1;
            return make_previous(loop, k);
        }
    }
    if (loop.flag(k) < 0.0f) return make_previous(loop, k);
    if (loop.flag(p) < 0.0f) s.lift_flag = 1;
    if (loop.method(kMethodBand) && pass_number > 0 && s.lift_flag != 0) {
        pasbuf_new_pass(kBufferPass, status);
        if (status < 0) return;
    }

    segment_job job;
    job.context = loop.context;
    job.a[0] = loop.x(p), job.a[1] = loop.y(p), job.a[2] = w.upper_z;
    job.b[0] = loop.x(k), job.b[1] = loop.y(k), job.b[2] = w.upper_z;
    job.pass_type = restart ? kRestartSegment : last ? kLastSegment : kInnerSegment;
    job.touch_pass = last ? pass_number : -pass_number;
    job.lower = loop.lower;
    job.inputs = {loop.grid_only, tri_model_grid_switch()};
    if (restart && loop.method(kMethodBand)) {
        s.last_point[0] = loop.x(p), s.last_point[1] = loop.y(p), s.last_point[2] = loop.lower;
        s.last_point_valid = 1;
    }
    linnet_set_params(kNetLine, kToolAxis, kToolAxis, kNetOne, 0.0f, w.tolerance);
    const int machining = machining_type();
    segment_strings(w, job, loop.strings, loop.grid_gap, status);
    machining_type() = machining;
    if (status < 0 || loop.method(kMethodGridBand)) return;
    if (loop.grid_only != 0 && w.output_option != kOutputAlways) {
        if (loop.grid_only_counted == 0) ++pass_number;
        loop.grid_only_counted = 1;
        return;
    }
    if (w.entry_point_mode == kEntryFromFirst && !last && has_strings(loop.strings) && loop.entry_set == 0) {
        std::copy_n(first_point(loop.strings), 3, loop.entry);
        loop.entry_set = 1;
    }

    int refused = 0;
    if (loop.flag(p) >= 0.0f && has_strings(loop.strings)) {
        const float* first = first_point(loop.strings);
        const std::array<float, 3> tool = DSP8().position();
        const bool elsewhere = eqpt2(first, tool.data()) == 0;
        if (s.link_flag != 0 || (w.linking != kLinkedPasses && elsewhere)) link_to_strings(loop, refused, status);
        if (status < 0) return;
    }
    if (!has_strings(loop.strings)) {
        s.link_flag = 1;
        return make_previous(loop, k);
    }

    ++pass_number;
    const int start = s.link_flag != 0 ? join_or_lift(loop, refused, pass_number, status) : 0;
    if (status < 0) return;
    output_strings(loop, last, start, pass_number, status);
    if (status < 0) return;
    after_writing(loop, last, start, last_point, last_dir, point_count);
    make_previous(loop, k);
}

void end_steps(pass_loop& loop, int& status)
{
    int flush_status = 0;
    deferred_strings_flush(0, flush_status);
    if (loop.entry_set != 0) {
        std::copy_n(loop.entry, 3, surface_pass.last_point);
        surface_pass.last_point_valid = 1;
    }
    // The touch query of this module gives no display mode back: a computed link leaves it as it is.
    if (loop.written != 0 && loop.link_computed == 0) set_exec_disp_mode(kExecDisplayForced);
    if (status >= 0 && loop.grid_gap != 0) status = kGridOutcome;
}

}  // namespace

void surface_pass_loop(int context, float* points, int real_count, int last_index, int& pass_number, float* last_point,
                       float* last_dir, int& point_count, int& status)
{
    status = 0;
    point_count = -1;
    const saved_words saved;
    pass_loop loop{proc_geometry().curve_approx, context, points,
                   std::max(0, std::min((real_count - 1) / 3, (last_index + 5) / 3))};
    setup(loop, pass_number, status);
    if (status >= 0 && loop.n >= 2)
        for (int k = 2; k <= loop.n && status >= 0; ++k)
            run_segment(loop, k, pass_number, last_point, last_dir, point_count, status);
    end_steps(loop, status);
}
