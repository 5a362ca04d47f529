// The crossing of two planar segments (int2l), computed in double from single-precision ends.
#include "host/vantu_polygon.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>

void int2l(const float* p1, const float* p2, const float* q1, const float* q2, float* crossing, int& status)
{
    vantu::trace_count("int2l");
    const double dx = p2[0] - p1[0], dy = p2[1] - p1[1];
    const double ex = q2[0] - q1[0], ey = q2[1] - q1[1];
    const double p_length = std::hypot(dx, dy), q_length = std::hypot(ex, ey);
    const double denominator = dx * ey - dy * ex;
    if (!(p_length > vantu::kRealNoLength && q_length > vantu::kRealNoLength) ||
        std::abs(denominator) <= vantu::kDoubleParallelSine * p_length * q_length) {
        status = kInt2lParallel;
        return;
    }
    const double wx = q1[0] - p1[0], wy = q1[1] - p1[1];
    const double s = (wx * ey - wy * ex) / denominator;  // along p1 -> p2
    const double t = (wx * dy - wy * dx) / denominator;  // along q1 -> q2
    // A crossing within the single-precision tolerance beyond a segment's end still counts: the
    // ends of consecutive segments are stored as floats.
    const double s_slack = vantu::kRealTolerance / p_length, t_slack = vantu::kRealTolerance / q_length;
    const bool inside = s >= -s_slack && s <= 1.0 + s_slack && t >= -t_slack && t <= 1.0 + t_slack;
    crossing[0] = static_cast<float>(p1[0] + s * dx);
    crossing[1] = static_cast<float>(p1[1] + s * dy);
    status = inside ? kInt2lCrossing : kInt2lApart;
}
