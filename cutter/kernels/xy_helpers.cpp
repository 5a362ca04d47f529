// The 2-D helpers of the XY contact: the point-in-triangle test by signed edge distances, the
// snapping unit vector, and the intersection of two lines in double precision.
#include "cutter/kernels/xy_contact.hpp"

#include "host/vantu_vector.hpp"

#include <cmath>

namespace {

constexpr float kTriangleTolerance = 1.0e-4f;
constexpr float kWideTriangleTolerance = 0.004f;
// unit2d_snap: a squared length below this has no direction; a component within this of +-1 is
// snapped to the axis.
constexpr double kSnapNoLengthSquared = 1.0e-12;
constexpr double kSnapToAxis = 1.0e-13;

}  // namespace

void point_in_triangle_xy(const int& tolerance_switch, const float* point, const xy_edge* edges, int& result)
{
    const float tolerance = tolerance_switch ? kWideTriangleTolerance : kTriangleTolerance;
    int first_sign = 0;
    for (int k = 0; k < 3; ++k) {
        const xy_edge& e = edges[k];
        float s = e.dy * point[0] - e.dx * point[1] + e.c;
        if (std::fabs(s) <= tolerance) {
            if (!tolerance_switch) {
                if (k == 2) {  // on the last edge's line counts as outside
                    result = 1;
                    return;
                }
                continue;
            }
            const float next = e.dy * point[0] - e.dx * point[1] + edges[(k + 1) % 3].c;
            s = std::copysign(std::fabs(s), next);
        }
        const int sign = s > 0.0f ? 1 : -1;
        if (first_sign == 0)
            first_sign = sign;
        else if (sign != first_sign) {
            result = 1;
            return;
        }
    }
    result = 0;
}

void unit2d_snap(float* vector, float& length, int& status)
{
    const double x = vector[0], y = vector[1];
    const double squared = x * x + y * y;
    if (squared < kSnapNoLengthSquared) {
        length = 0.0f;
        status = -1;
        return;
    }
    const double l = std::sqrt(squared);
    double ux = x / l, uy = y / l;
    if (ux > 1.0 - kSnapToAxis)
        ux = 1.0, uy = 0.0;
    else if (ux < -1.0 + kSnapToAxis)
        ux = -1.0, uy = 0.0;
    else if (uy > 1.0 - kSnapToAxis)
        ux = 0.0, uy = 1.0;
    else if (uy < -1.0 + kSnapToAxis)
        ux = 0.0, uy = -1.0;
    vector[0] = static_cast<float>(ux);
    vector[1] = static_cast<float>(uy);
    length = static_cast<float>(l);
    status = 0;
}

void line_line_intersect_2d_d(const double* p1, const double* d1, const double* p2, const double* d2, double& t1,
                              double& t2, int& status)
{
    const double w[2] = {p2[0] - p1[0], p2[1] - p1[1]};
    const double left = d2[0] * d1[1], right = d2[1] * d1[0];
    if (nevald(left, right)) {
        const double det = left - right;
        t1 = (w[1] * d2[0] - w[0] * d2[1]) / det;
        t2 = (w[1] * d1[0] - w[0] * d1[1]) / det;
        status = 0;
        return;
    }
    status = eqvald(w[0] * d2[1], w[1] * d2[0]) || eqvald(w[0] * d1[1], w[1] * d1[0]) ? -2 : -1;
}
