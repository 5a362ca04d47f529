// The ordinate range of a contour list in the hatch frame, the crossings of one hatch line with
// it and their pairing. The hatch clearing and the direction arrows of the pocket dialog call
// them.
#include "clearing/hatch/hatch_lines.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "host/vantu.hpp"
#include "nc_services/exec_control.hpp"

#include <cmath>
#include <memory>
#include <utility>

namespace {

constexpr float kRangeStart = 1.0e20f;
constexpr int kGridMode = 2;
constexpr int kAscending = 1;

// How a line's crossings are collected.
struct crossing_rule {
    bool never_horizontal;  // nearly horizontal segments are never crossed
    int most;               // crossings kept
    const char* full;       // message when more come, collection stops; null: count one more and stop
};

// Walks the contours of a list: f(k, first point words, count) per contour; contours whose
// count word is below 1 occupy that word only.
template <class W, class F> void for_each_contour(W* contours, int contour_count, F f)
{
    long at = 0;
    for (int k = 1; k <= contour_count; ++k) {
        const int n = contours[at];
        W* first = contours + at + 1;
        if (n > 0) f(k, first, n);
        at += 1 + (n > 0 ? 2L * n : 0);
    }
}

// Segments of a contour of n points: n - 1 when its last point repeats its first, else n, the
// last one running from vertex n back to vertex 1.
int segments_of(const word* xy, int n)
{
    return n > 1 && xy[0] == xy[2 * (n - 1)] && xy[1] == xy[2 * (n - 1) + 1] ? n - 1 : n;
}

// The two ends of segment i (from 1) of a contour of n points.
void segment_ends(const word* xy, int n, int i, float* a, float* b)
{
    const int j = i < n ? i : 0;
    a[0] = word_to_real(xy[2 * (i - 1)]);
    a[1] = word_to_real(xy[2 * (i - 1) + 1]);
    b[0] = word_to_real(xy[2 * j]);
    b[1] = word_to_real(xy[2 * j + 1]);
}

// Where segment i crosses the line y, both ends included.
bool crosses(const word* xy, int n, int i, float y, float& x)
{
    float a[2], b[2];
    segment_ends(xy, n, i, a, b);
    return hatint(y, a, b, x) == kHatintCrossing;
}

bool nearly_horizontal(const word* xy, int n, int i)
{
    float a[2], b[2];
    segment_ends(xy, n, i, a, b);
    const float dx = b[0] - a[0], dy = b[1] - a[1];
    return dx != 0.0f && eqval0(dy / dx);
}

// A nearly horizontal segment whose neighbours (round the closing point) both cross the line adds
// no crossing of its own: they stand for it.
bool neighbours_cross(const word* xy, int n, int i, float y)
{
    const int segments = segments_of(xy, n);
    const int before = i > 1 ? i - 1 : segments, after = i < segments ? i + 1 : 1;
    float x = 0.0f;
    return crosses(xy, n, before, y, x) && crosses(xy, n, after, y, x);
}

void swap_points(hatch_points& p, int i, int j)
{
    std::swap(p.x[i], p.x[j]);
    std::swap(p.y[i], p.y[j]);
    std::swap(p.sign[i], p.sign[j]);
    std::swap(p.contour[i], p.contour[j]);
    std::swap(p.segment[i], p.segment[j]);
}

void remove_point(hatch_points& p, int i, int& count)
{
    for (int j = i; j + 1 < count; ++j) swap_points(p, j, j + 1);
    --count;
}

// Stable: points of equal abscissa keep their order, as exchange passes leave them.
void sort_by_abscissa(hatch_points& p, int count, int direction)
{
    const auto before = [direction](float a, float b) { return direction == kAscending ? a < b : a > b; };
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && before(p.x[j], p.x[j - 1]); --j) swap_points(p, j, j - 1);
}

// Two neighbours at one abscissa on one contour with one sign crossed the line at a shared
// vertex: one crossing. With opposite signs the contour touches the line and turns back: both
// stay.
void merge_vertex_crossings(hatch_points& p, int& count)
{
    for (int i = 0; i + 1 < count;) {
        if (eqval(p.x[i], p.x[i + 1]) && p.contour[i] == p.contour[i + 1] && p.sign[i] == p.sign[i + 1])
            remove_point(p, i + 1, count);
        else
            ++i;
    }
}

void collect_crossings(const word* contours, int contour_count, float y, int direction, const crossing_rule& rule,
                       hatch_points& p, int& count)
{
    count = 0;
    bool full = false;
    for_each_contour(contours, contour_count, [&](int k, const word* xy, int n) {
        const int segments = n > 1 ? segments_of(xy, n) : 0;
        for (int i = 1; i <= segments && !full; ++i) {
            float x = 0.0f;
            if (!crosses(xy, n, i, y, x)) continue;
            if (nearly_horizontal(xy, n, i) && (rule.never_horizontal || neighbours_cross(xy, n, i, y))) continue;
            if (count == rule.most) {
                full = true;
                if (rule.full != nullptr)
                    eroutc(rule.full, 0);
                else
                    ++count;
                break;
            }
            p.x[count] = x;
            p.y[count] = y;
            float a[2], b[2];
            segment_ends(xy, n, i, a, b);
            p.sign[count] = b[1] > a[1] ? 1 : -1;
            p.contour[count] = k;
            p.segment[count] = i;
            p.mark[count] = 0;
            ++count;
        }
    });
    if (count > rule.most) return;
    sort_by_abscissa(p, count, direction);
    merge_vertex_crossings(p, count);
}

}  // namespace

hatch_contours hatch_contours_of(const word* list, int count)
{
    hatch_contours c;
    c.list = list;
    c.count = count > 0 && list != nullptr ? count : 0;
    c.points.assign(static_cast<std::size_t>(c.count) + 1, nullptr);
    c.sizes.assign(static_cast<std::size_t>(c.count) + 1, 0);
    long at = 0;
    for (int k = 1; k <= c.count; ++k) {
        const int n = list[at];
        c.points[static_cast<std::size_t>(k)] = list + at + 1;
        c.sizes[static_cast<std::size_t>(k)] = n > 0 ? n : 0;
        at += 1 + (n > 0 ? 2L * n : 0);
    }
    return c;
}

void clr_hatch_range(float c, float s, int contour_count, int mode, const float* reference, float step, word* contours,
                     float& low, float& high)
{
    low = kRangeStart;
    high = -kRangeStart;
    for_each_contour(contours, contour_count, [&](int, word* w, int n) {
        for (int i = 0; i < n; ++i) {
            float xt = 0.0f, yt = 0.0f;
            hatch_turn(c, s, word_to_real(w[2 * i]), word_to_real(w[2 * i + 1]), xt, yt);
            w[2 * i] = real_to_word(xt);
            w[2 * i + 1] = real_to_word(yt);
            low = std::fmin(low, yt);
            high = std::fmax(high, yt);
        }
    });
    if (mode == kGridMode && reference != nullptr && step > 0.0f) {
        float x_ref = 0.0f, y_ref = 0.0f;
        hatch_turn(c, s, reference[0], reference[1], x_ref, y_ref);
        const float q = (y_ref - low) / step;
        low -= (1.5f - (q - std::trunc(q))) * step;
    }
}

void NCRLIN(const word* contours, int contour_count, float y, int direction, int& count, hatch_points& points)
{
    EXCBRK();
    collect_crossings(contours, contour_count, y, direction, {false, kHatchPointsMost, nullptr}, points, count);
}

void CLRLIN(const word* contours, int contour_count, float y, int direction, hatch_points& points, int& count,
            int& status)
{
    status = 0;
    collect_crossings(contours, contour_count, y, direction,
                      {true, kArrowPointsMost, "CLRLIN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"}, points, count);
}

void hatch_line_span(const word* contours, int contour_count, float y, int direction, float& first, float& last,
                     int& count, int& status)
{
    // A buffer of its own per line: the arrows look at a few lines only.
    auto points = std::make_unique<hatch_points>();
    CLRLIN(contours, contour_count, y, direction, *points, count, status);
    if (count < 1) return;
    first = points->x[0];
    last = points->x[count - 1];
}

void pair_hatch_points(int count, hatch_points& points)
{
    int stack[kHatchPointsMost];  // indices of the open points
    const int n = count < kHatchPointsMost ? count : kHatchPointsMost;
    int top = -1;
    for (int i = 0; i < n; ++i) {
        points.mark[i] = 0;
        if (top >= 0 && points.contour[stack[top]] == points.contour[i]) {
            const int mark = top % 2 == 0 ? 1 : -1;
            points.mark[stack[top]] = mark;
            points.mark[i] = mark;
            --top;
        } else {
            stack[++top] = i;
        }
    }
    if (n > 0) clear_block.first_paired_contour = points.contour[0];
}
