// The NURBS block reader (see the header).
#include "listing/read_spline.hpp"

#include "toolpath/tp_words.hpp"

namespace {

constexpr int kMostSplinePoints = 100000, kMostOrder = 8;

}  // namespace

void read_spline(int where, spline_words& s, int& number, int& status)
{
    tp_get_int(where, number, status);
    if (status >= 0) tp_get_int(where, s.order, status);
    if (status >= 0) tp_get_int(where, s.count, status);
    if (status < 0) return;
    if (s.order < 2 || s.order > kMostOrder || s.count < s.order || s.count > kMostSplinePoints) {
        status = -1;
        return;
    }
    for (int i = 0; i < s.count && status >= 0; ++i) {
        float values[4] = {};
        for (float& v : values) tp_get_real(where, v, status);
        s.knots.push_back(values[0]);
        s.points.insert(s.points.end(), values + 1, values + 4);
    }
    for (int i = 0; i < s.order && status >= 0; ++i) {
        float knot = 0.0f;
        tp_get_real(where, knot, status);
        s.knots.push_back(knot);
    }
}
