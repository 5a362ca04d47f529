// The ordinate range of a contour list in the hatch frame and the crossings of one hatch line
// with it. The hatch clearing and the direction arrows of the pocket dialog call them.
#include "clearing/hatch/hatch_lines.hpp"

#include "host/vantu.hpp"

#include <cmath>
#include <utility>

namespace {

constexpr float kRangeStart = 1.0e20f;
constexpr int kGridMode = 2;

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

// Exchange passes until one swaps nothing; equal abscissae stay in their order.
void sort_by_abscissa(hatch_points& p, int count, int direction)
{
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < count; ++i) {
            const bool out_of_order = direction == 1 ? p.x[i] > p.x[i + 1] : p.x[i] < p.x[i + 1];
            if (out_of_order) {
                swap_points(p, i, i + 1);
                swapped = true;
            }
        }
    }
}

// Two neighbours at one abscissa on one contour with one sign crossed the line at a shared
// vertex: one crossing. With opposite signs the contour touches the line and turns back: both
// stay.
void merge_vertex_crossings(hatch_points& p, int& count)
{
    for (int i = 0; i + 1 < count;) {
        if (eqval(p.x[i], p.x[i + 1]) && p.contour[i] == p.contour[i + 1] && p.sign[i] == p.sign[i + 1]) {
            remove_point(p, i + 1, count);
            i = 0;
        } else {
            ++i;
        }
    }
}

}  // namespace

void clr_hatch_range(float c, float s, int contour_count, int mode, const float* reference, float step,
                     word* contours, float& low, float& high)
{
    low = kRangeStart;
    high = -kRangeStart;
    for_each_contour(contours, contour_count, [&](int, word* w, int n) {
        for (int i = 0; i < n; ++i) {
            const float x = word_to_real(w[2 * i]), y = word_to_real(w[2 * i + 1]);
            const float xt = x * c + y * s, yt = y * c - x * s;
            w[2 * i] = real_to_word(xt);
            w[2 * i + 1] = real_to_word(yt);
            low = std::fmin(low, yt);
            high = std::fmax(high, yt);
        }
    });
    if (mode == kGridMode && reference != nullptr && step > 0.0f) {
        const float y_ref = reference[1] * c - reference[0] * s;
        const float q = (y_ref - low) / step;
        const float fraction = q - std::trunc(q);
        low -= (1.5f - fraction) * step;
    }
}

void CLRLIN(const word* contours, int contour_count, float y, int direction, hatch_points& points, int& count,
            int& status)
{
    status = 0;
    count = 0;
    bool full = false;
    for_each_contour(contours, contour_count, [&](int k, const word* first, int n) {
        for (int i = 1; i < n && !full; ++i) {
            const float x0 = word_to_real(first[2 * (i - 1)]), y0 = word_to_real(first[2 * (i - 1) + 1]);
            const float x1 = word_to_real(first[2 * i]), y1 = word_to_real(first[2 * i + 1]);
            const float dx = x1 - x0, dy = y1 - y0;
            if (dy == 0.0f || (dx != 0.0f && eqval0(dy / dx))) continue;  // horizontal: never crossed
            if (y < std::fmin(y0, y1) || y > std::fmax(y0, y1)) continue;
            if (count == kHatchPointsMost) {
                eroutc("CLRLIN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH", 0);
                full = true;
                break;
            }
            points.x[count] = x0 + (y - y0) * dx / dy;
            points.y[count] = y;
            points.sign[count] = y1 > y0 ? 1 : -1;
            points.contour[count] = k;
            points.segment[count] = i;
            ++count;
        }
    });
    sort_by_abscissa(points, count, direction);
    merge_vertex_crossings(points, count);
}
