// Helpers of the trimming tests: arc, point-string and NURBS move blocks written from their
// points, and the NURBS curves measured with the host's temporary curves, apart from the module's own reading of them.
#pragma once

#include "host/vantu.hpp"
#include "toolpath/tp_blocks.hpp"

#include <algorithm>
#include <vector>

namespace trim_test {

using words = std::vector<word>;

// An arc move (type 3) in the plane of that code, its angle, centre and end (tolerance 0.1).
inline words arc(int number, int plane, float angle, float c0, float c1, point3 end)
{
    auto r = [](float v) { return real_to_word(v); };
    return {3, number, plane, r(angle), r(0.1f), r(c0), r(c1), r(end[0]), r(end[1]), r(end[2])};
}

// A point string (type 7), the points numbered on from `number`.
inline words string7(int number, const std::vector<point3>& points)
{
    words w{7};
    for (const point3& p : points)
        w.insert(w.end(), {number++, real_to_word(p[0]), real_to_word(p[1]), real_to_word(p[2])});
    return w;
}

// A cubic NURBS move (type 5) over the control points with clamped uniform knots on 0..1.
inline words nurbs(int number, const std::vector<point3>& control)
{
    const int n = int(control.size()), k = 4, spans = n - k + 1;
    words w{5, number, k, n};
    for (int i = 0; i < n + k; ++i) {
        w.push_back(real_to_word(float(std::clamp(i - k + 1, 0, spans)) / float(spans)));
        if (i < n)
            for (float c : control[std::size_t(i)]) w.push_back(real_to_word(c));
    }
    return w;
}

// The temporary curve of a NURBS move's words (freed by the caller with evbfre).
inline int curve_of(const words& w)
{
    const int k = w[2], n = w[3];
    std::vector<float> knots, control;
    for (int i = 0, at = 4; i < n + k; ++i) {
        knots.push_back(word_to_real(w[std::size_t(at++)]));
        for (int c = 0; i < n && c < 3; ++c) control.push_back(word_to_real(w[std::size_t(at++)]));
    }
    int id = 0, status = 0;
    evbcre_bsp(-1, 3, k, n, knots.data(), control.data(), id, status);
    return id;
}

// Points of the NURBS move at equal parameter steps over its knot range.
inline std::vector<point3> samples(const words& w, int count = 64)
{
    const int id = curve_of(w), k = w[2], n = w[3];
    const double t0 = word_to_real(w[4 + 4 * std::size_t(k - 1)]);
    const double t1 = word_to_real(w[4 + 4 * std::size_t(n)]);
    std::vector<point3> out;
    for (int i = 0; i <= count; ++i) {
        double p[3];
        int status = 0;
        evbcrv(id, t0 + (t1 - t0) * i / count, 0, p, status);
        out.push_back({float(p[0]), float(p[1]), float(p[2])});
    }
    evbfre(id);
    return out;
}

// Distance of a point from the curve of the NURBS move.
inline double distance(const words& w, const double* p)
{
    const int id = curve_of(w);
    double closest[3], t = 0, d = 1e9;
    int status = 0;
    cptcrv2(id, p, 0.0, 1.0, closest, t, d, status);
    evbfre(id);
    return d;
}

}  // namespace trim_test
