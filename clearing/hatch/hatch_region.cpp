// Hatching of a region. The segment P1..P2 is turned into the frame of its line (u along, v
// across); every polygon edge of the sets is crossed with the line there; the crossings are
// ordered along u, merged where an edge lies on the line, clipped to the segment and paired as
// brackets (entering and leaving one polygon) until only the outermost pairs remain. The pairs
// are then walked round, returned as points or tested for a gouge by the location of the spans
// between them in the second set.
#include "clearing/hatch/hatch_region.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/tool_contact_point.hpp"
#include "host/vantu.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "pocket_lanes/polygon_path.hpp"
#include "toolpath/narrowed_mill.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

hatch_work hatch_work_block;

namespace {

constexpr int kCopyItems = 14000;
constexpr int kSmallOutput = 200;
constexpr int kLargeOutput = 14000;
constexpr int kGrowthUnit = 1000;
constexpr int kWordBytes = 4;
constexpr int kSecondSetBuffer = 5;
// NC functions whose moves are checked against the surfaces instead of the plane.
constexpr int kSurfaceFunctionA = 34;
constexpr int kSurfaceFunctionB = 38;
// The surface check probes from 5 % to 95 % of a span, 10 above to 10 below the level.
constexpr float kProbeStart = 0.05f;
constexpr float kProbeEnd = 0.95f;
constexpr float kProbeHeight = 10.0f;

struct crossing {
    float u = 0.0f, v = 0.0f;
    int polygon = 0;  // set offset + polygon number
    int sense = 0;    // 0 an edge on the line, else +-direction sign
    int edge = 0;     // 1-based within its polygon
};

// The crossing table of one call (module level: the entry code calls the hatching often).
struct hatch_table {
    int count = 0;
    bool full = false;
    crossing c[kHatchCrossingsMax];
    int mark[kHatchCrossingsMax];
    int stack[kHatchCrossingsMax];
};
hatch_table hatch_table_block;

bool second_set(const crossing& c) { return c.polygon > kHatchSecondSet; }

void remove_at(hatch_table& t, int i)
{
    for (int k = i; k + 1 < t.count; ++k) t.c[k] = t.c[k + 1];
    --t.count;
}

// What one call works with.
struct hatch_call {
    int mode;
    bool indicated;
    float p1[2], p2[2];
    float angle = 0.0f, line_v = 0.0f, u1 = 0.0f, u2 = 0.0f, t = 0.0f;
    int location1 = kInpolrOutside, location2 = kInpolrOutside;
    bool backwards = false;
    const word* second;
    int second_count;
    const word* first;
    int first_count;
    bool surface = false;
};

// Copies the second set into the work copy (kept open between calls); false with the status of
// a failed host call. A set of more than 2,000 polygons fills the table.
bool copy_second(const word* set, int polygons, int& status)
{
    hatch_work& w = hatch_work_block;
    status = 0;
    long words = 0;
    for (int k = 0; k < polygons; ++k) {
        const int n = set[words++];
        if (n > 0) words += 2L * n;
    }
    if (polygons > kHatchCrossingsMax) hatch_table_block.full = true;
    void* base = nullptr;
    if (w.copy_handle < 0 || mmcptr(w.copy_handle) == nullptr) {
        const int items = static_cast<int>(std::max<long>(kCopyItems, words));
        MM_OPEN_ARRAY(kWordBytes, items, w.copy_handle, base, status);
        if (status != 0) {
            w.copy_handle = -1;
            return false;
        }
        w.copy_capacity = items;
    }
    if (words > w.copy_capacity) {
        const long missing = words - w.copy_capacity;
        const int grow =
            std::max<int>(kCopyItems, static_cast<int>((missing + kGrowthUnit - 1) / kGrowthUnit * kGrowthUnit));
        MM_RESIZE_ARRAY(w.copy_handle, grow, base, status);
        if (status != 0) return false;
        w.copy_capacity += grow;
    }
    word* copy = static_cast<word*>(mmcptr(w.copy_handle));
    std::copy(set, set + words, copy);
    return true;
}

const word* second_copy() { return static_cast<const word*>(mmcptr(hatch_work_block.copy_handle)); }

// A frame point (u, v) turned back into x, y.
void to_world(const hatch_call& h, float u, float v, float* out)
{
    const float frame[2] = {u, v};
    hatchx(-h.angle, frame, out);
}

// The crossings of every edge of one set with the line.
void collect(const hatch_call& h, const word* set, int polygons, int offset, hatch_table& t)
{
    const int sign = pocket_state_block.direction_sign < 0 ? -1 : 1;
    long at = 0;
    for (int p = 1; p <= polygons && !t.full; ++p) {
        const int n = set[at++];
        if (n < 1) continue;
        const word* xy = set + at;
        at += 2L * n;
        for (int k = 1; k <= n; ++k) {
            const int j = k < n ? k : 0;
            const float a0[2] = {word_to_real(xy[2 * (k - 1)]), word_to_real(xy[2 * (k - 1) + 1])};
            const float b0[2] = {word_to_real(xy[2 * j]), word_to_real(xy[2 * j + 1])};
            if (a0[0] == b0[0] && a0[1] == b0[1]) continue;
            float a[2], b[2];
            hatchx(h.angle, a0, a);
            hatchx(h.angle, b0, b);
            const bool on_a = eqval(a[1], h.line_v) != 0, on_b = eqval(b[1], h.line_v) != 0;
            crossing c;
            c.polygon = offset + p;
            c.edge = k;
            c.v = h.line_v;
            c.sense = b[1] < a[1] ? sign : -sign;
            if (on_a && on_b) {
                c.u = (a[0] + b[0]) * 0.5f;
                c.sense = 0;
            } else if (on_b) {
                c.u = b[0];
            } else if (on_a) {
                c.u = a[0];
            } else if (hatint(h.line_v, a, b, c.u) != kHatintCrossing) {
                continue;
            }
            if (t.count >= kHatchCrossingsMax) {
                t.full = true;
                return;
            }
            t.c[t.count++] = c;
        }
    }
}

// The order along u, the edges on the line merged with their neighbours.
void order(hatch_table& t)
{
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (int i = 0; i + 1 < t.count; ++i)
            if (t.c[i].u > t.c[i + 1].u) std::swap(t.c[i], t.c[i + 1]), exchanged = true;
    }
    for (int i = 1; i + 1 < t.count;) {
        if (t.c[i].sense != 0) {
            ++i;
            continue;
        }
        const int before = t.c[i - 1].sense, after = t.c[i + 1].sense;
        if (before == after) {
            const int other = after == -1 ? i + 1 : i - 1;
            remove_at(t, std::max(i, other));
            remove_at(t, std::min(i, other));
            i = std::max(1, std::min(i, other));
        } else {
            remove_at(t, i);
        }
    }
}

// Of two neighbours at one place with the same sense and polygon one goes; neighbours closer
// than t with the same sense are put in set order.
void tidy_neighbours(hatch_table& t, float tolerance, bool compare_v)
{
    for (int i = 0; i + 1 < t.count;) {
        const crossing& p = t.c[i];
        const crossing& q = t.c[i + 1];
        if (eqval(p.u, q.u) && (!compare_v || eqval(p.v, q.v)) && p.sense == q.sense && p.polygon == q.polygon) {
            remove_at(t, i + 1);
            continue;
        }
        ++i;
    }
    for (int i = 0; i + 1 < t.count; ++i) {
        crossing& p = t.c[i];
        crossing& q = t.c[i + 1];
        if (!(std::fabs(q.u - p.u) < tolerance) || p.sense != q.sense) continue;
        const bool second_first = p.sense == -1;
        if (second_set(q) == second_first && second_set(p) != second_first) std::swap(p, q);
    }
}

// Modes 1 to 3: the table clipped to the segment, and leading closers and trailing openers
// removed.
void clip(const hatch_call& h, hatch_table& t)
{
    for (int i = 0; i < t.count;) {
        if (!(t.c[i].u < h.u1)) break;
        if (h.location1 == kInpolrOnBoundary && h.indicated && h.u1 - t.c[i].u <= h.t) {
            t.c[i].u = h.u1;
            ++i;
            continue;
        }
        remove_at(t, i);
    }
    for (int i = 0; i < t.count; ++i) {
        if (!(t.c[i].u > h.u2)) continue;
        t.count = h.location2 == kInpolrInside || t.c[i].u - h.u2 > h.t ? i : i + 1;
        break;
    }
    tidy_neighbours(t, h.t, true);
    while (t.count > 0 && t.c[0].sense == -1) remove_at(t, 0);
    while (t.count > 0 && t.c[t.count - 1].sense == 1) --t.count;
}

// Whether a second-set polygon is crossed an odd number of times (the segment ends inside it).
bool odd_parity(const hatch_table& t)
{
    for (int i = 0; i < t.count; ++i) {
        if (!second_set(t.c[i])) continue;
        int n = 0;
        for (int k = 0; k < t.count; ++k) n += t.c[k].polygon == t.c[i].polygon ? 1 : 0;
        if (n % 2 == 1) return true;
    }
    return false;
}

// The pairing: brackets of one polygon nested in another (level 1) and brackets that do not
// match (level 2) are removed, leaving the outermost entry and exit pairs.
void pair_brackets(hatch_table& t)
{
    for (int level = 2; level >= 1; --level) {
        for (bool removed = true; removed;) {
            removed = false;
            int top = 0;
            std::fill(t.mark, t.mark + t.count, 0);
            for (int i = 0; i < t.count; ++i) {
                if (t.c[i].sense > 0) {
                    t.stack[top++] = i;
                    continue;
                }
                if (top == 0) {
                    t.mark[i] = 2;
                    continue;
                }
                const int opener = t.stack[--top];
                if (t.c[opener].polygon != t.c[i].polygon) {
                    t.mark[opener] = t.mark[i] = 2;
                } else if (top > 0) {
                    t.mark[opener] = t.mark[i] = 1;
                }
            }
            while (top > 0) t.mark[t.stack[--top]] = 2;
            for (int i = t.count - 1; i >= 0; --i)
                if (t.mark[i] >= level) remove_at(t, i), removed = true;
        }
    }
}

// The spans between crossings of two different second-set polygons located in the
// second set (or, for NC functions 34 and 38, probed against the surfaces).
void gouge_test(const hatch_call& h, const hatch_table& t, const double* p1, int& gouge, int& status)
{
    if (h.surface) {
        float spans[2 * kHatchCrossingsMax];
        int n = 0;
        for (int i = 0; i + 1 < t.count; ++i) spans[2 * n] = t.c[i].u, spans[2 * n + 1] = t.c[i + 1].u, ++n;
        hatch_surface_check(p1, h.angle, h.line_v, spans, n, h.t, gouge, status);
        if (gouge != 0 && pocket_state_block.strict_gouge != 0 && status == 0) status = kHatchRefused;
        return;
    }
    for (int i = 0; i + 1 < t.count; ++i) {
        const crossing& p = t.c[i];
        const crossing& q = t.c[i + 1];
        if (!second_set(p) || !second_set(q) || p.polygon == q.polygon) continue;
        float middle[2];
        to_world(h, 0.5f * (p.u + q.u), h.line_v, middle);
        int location = 0;
        inpolr(second_copy(), h.second_count, middle, h.t, location);
        if (location != kInpolrOutside) continue;
        gouge = 1;
        if (pocket_state_block.strict_gouge != 0) status = kHatchRefused;
        return;
    }
}

// The walk over the pairs, written (mode 1) or collected (mode 2).
void walk_pairs(const hatch_call& h, const hatch_table& t, int& count, xy_output& output, int& status)
{
    const pocket_state& ps = pocket_state_block;
    for (int i = 0; i + 1 < t.count && status >= 0; i += 2) {
        for (int end = 0; end < 2 && status >= 0; ++end) {
            const crossing& c = t.c[i + end];
            float xy[2];
            to_world(h, c.u, c.v, xy);
            if (h.mode == kHatchWrite) {
                const tool_position_state& d = DSP8();
                const double from[3] = {d.real(tool_position_state::kPosition),
                                        d.real(tool_position_state::kPosition + 1), ps.current_z};
                const double to[3] = {xy[0], xy[1], ps.current_z};
                pocket_approach(kApproachFromTo, 2, from, to, status);
            } else {
                xy_output_add(output, count, xy[0], xy[1], status);
                if (status == 0) ++count;
            }
            if (end == 1 || status < 0) continue;
            const crossing& exit = t.c[i + 1];
            const bool in_second = second_set(c);
            polygon_boundary_path(h.mode == kHatchWrite ? kBoundaryWrite : kBoundaryCollect,
                                  in_second ? second_copy() : h.first, in_second ? h.second_count : h.first_count,
                                  c.edge, exit.edge, 1, in_second ? c.polygon - kHatchSecondSet : c.polygon, count,
                                  output, status);
        }
    }
}

// The crossings on the segment as points.
void crossing_points(const hatch_call& h, const hatch_table& t, int& count, xy_output& output, int& status)
{
    for (int i = 0; i < t.count && status == 0; ++i) {
        const crossing& c = t.c[i];
        if ((h.mode != kHatchCrossingsTo && c.u < h.u1) || c.u > h.u2) continue;
        float xy[2];
        to_world(h, c.u, c.v, xy);
        xy_output_add(output, count, xy[0], xy[1], status);
        if (status == 0) ++count;
    }
}

// A gouge of the end-point test or the full table: status 1 in strict mode.
void flag_gouge(int& gouge, int& status)
{
    gouge = 1;
    if (pocket_state_block.strict_gouge != 0) status = kHatchRefused;
}

}  // namespace

void hatch_region(int mode, const word* second, int second_count, const word* first, int first_count, const double* p1,
                  const double* p2, int& count, xy_output& output, int& gouge, int& status)
{
    status = 0;
    hatch_call h{};
    h.indicated = mode >= kHatchIndicatedStart;
    h.mode = h.indicated ? mode - kHatchIndicatedStart : mode;
    h.second = second;
    h.second_count = second != nullptr ? second_count : 0;
    h.first = first;
    h.first_count = first != nullptr ? first_count : 0;
    const bool crossings_only = h.mode >= kHatchCrossingsTo;
    xy_output_open(output, crossings_only ? kSmallOutput : kLargeOutput, status);
    if (status != 0) return;
    hatch_table& t = hatch_table_block;
    t.count = 0;
    t.full = false;
    const bool uses_second = h.mode <= kHatchCrossingsTo;
    if (uses_second && !copy_second(second, h.second_count, status)) return;
    h.t = static_cast<float>(pocket_work_block.tolerance);
    const int code = nu_sgcd_get_code();
    h.surface = code == kSurfaceFunctionA || code == kSurfaceFunctionB;
    h.p1[0] = static_cast<float>(p1[0]), h.p1[1] = static_cast<float>(p1[1]);
    h.p2[0] = static_cast<float>(p2[0]), h.p2[1] = static_cast<float>(p2[1]);
    count = 0;
    gouge = 0;
    bool end_gouge = false;
    if (uses_second) {
        inpolr(second_copy(), h.second_count, h.p1, h.t, h.location1);
        inpolr(second_copy(), h.second_count, h.p2, h.t, h.location2);
        if (h.location1 == kInpolrOutside || h.location2 == kInpolrOutside) {
            flag_gouge(gouge, status);
            end_gouge = true;
            if (status != 0 || h.mode == kHatchGougeTest) return;
        }
    }
    float d[2];
    v2sub(h.p2, h.p1, d);
    float length = 0.0f;
    v2unit(d, length, status);
    if (status != 0) return;
    h.angle = std::atan2(d[1], d[0]);
    float q1[2], q2[2];
    hatchx(h.angle, h.p1, q1);
    hatchx(h.angle, h.p2, q2);
    h.line_v = q1[1];
    h.u1 = q1[0], h.u2 = q2[0];
    collect(h, h.first, h.first_count, 0, t);
    if (h.mode <= kHatchGougeTest) collect(h, second_copy(), h.second_count, kHatchSecondSet, t);
    if (t.full && h.mode != kHatchCrossings) {
        // A table that could not take every crossing cannot prove the move free.
        flag_gouge(gouge, status);
        return;
    }
    if (h.u1 > h.u2) std::swap(h.u1, h.u2), h.backwards = true;
    order(t);
    tidy_neighbours(t, h.t, false);
    if (crossings_only) {
        crossing_points(h, t, count, output, status);
        if (status != 0 || h.mode == kHatchCrossings || end_gouge) return;
        gouge_test(h, t, p1, gouge, status);
        return;
    }
    clip(h, t);
    if (t.count < 2) {
        if (h.mode == kHatchGougeTest) count = t.count;
        return;
    }
    if (odd_parity(t)) {
        flag_gouge(gouge, status);
        return;
    }
    pair_brackets(t);
    gouge_test(h, t, p1, gouge, status);
    if (gouge != 0 || status != 0) return;
    if (h.mode == kHatchGougeTest) {
        count = t.count;
        return;
    }
    walk_pairs(h, t, count, output, status);
}

void temp_hatch(int mode, const double* p1, const double* p2, int& count, xy_output& output, int& gouge, int& status)
{
    int first_count = 0, second_count = 0, current = 0;
    polbuf_get_npol(first_count, status);
    if (status != 0) return;
    const word* first = polbuf_get_ptr(1, 1, status);
    if (status != 0) return;
    polbuf_select(1, current, status);
    if (status != 0) return;
    int buffer = kSecondSetBuffer;
    polbuf_select(2, buffer, status);
    if (status != 0) return;
    polbuf_get_npol(second_count, status);
    const word* second = status == 0 ? polbuf_get_ptr(1, 1, status) : nullptr;
    int back_status = 0;
    polbuf_select(2, current, back_status);
    if (status == 0) status = back_status;
    if (status != 0) return;
    hatch_region(mode, second, second_count, first, first_count, p1, p2, count, output, gouge, status);
}

void hatch_surface_check(const double* p1, float angle, float line_v, const float* spans, int span_count, float t,
                         int& gouge, int& status)
{
    status = 0;
    narrowed_mill tool;
    const float narrow = tool.diameter() - 2.0f * t;
    tool.narrow(narrow, std::min(tool.corner(), 0.5f * narrow));
    const float at[2] = {static_cast<float>(p1[0]), static_cast<float>(p1[1])};
    float dropped[3], normal[3];
    int drop_status = 0;
    tool_drop_z_at_xy(at, dropped, normal, drop_status);
    const float level = static_cast<float>(pocket_state_block.current_z) + t;
    for (int i = 0; i < span_count; ++i) {
        const float a = spans[2 * i], b = spans[2 * i + 1];
        const float fa[2] = {a + kProbeStart * (b - a), line_v}, fb[2] = {a + kProbeEnd * (b - a), line_v};
        float wa[2], wb[2];
        hatchx(-angle, fa, wa);
        hatchx(-angle, fb, wb);
        const float start[3] = {wa[0], wa[1], level + kProbeHeight}, end[3] = {wb[0], wb[1], level - kProbeHeight};
        float result[3], contact_normal[3];
        int contact = 0;
        tool_contact_point(start, end, level, result, contact_normal, contact);
        if (contact == -1) {
            status = -1;
            break;
        }
        if (contact == kContactTouch) {
            gouge = 1;
            break;
        }
    }
}

void hatch_work_close(int& status)
{
    status = 0;
    hatch_work& w = hatch_work_block;
    if (w.copy_handle >= 0 && mmcptr(w.copy_handle) != nullptr) MM_CLOSE(w.copy_handle, status);
    w.copy_handle = -1;
    w.copy_capacity = 0;
}
