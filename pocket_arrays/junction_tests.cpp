// Junction tests of two curves meeting at a point: whether one only touches the other (chkjunc)
// and whether two pairs of directions interleave about the point (junction_crosses). The loop
// intersection classifies its vertex rows with them.
#include "pocket_arrays/loop_intersect.hpp"

#include "host/vantu.hpp"

#include <cmath>

namespace {

// Two pi as the engine has always taken it (single precision).
constexpr double kTwoPi = 6.2831854820251465;
// Angles closer than this are one direction.
constexpr double kAngleTolerance = 1.0e-6;

double angle_of(const double* d) { return std::atan2(d[1], d[0]); }

// Counter-clockwise angle from `from` to `to`, in [0, 2 pi).
double turn(double from, double to)
{
    double t = to - from;
    while (t < 0.0) t += kTwoPi;
    while (t >= kTwoPi) t -= kTwoPi;
    return t;
}

bool same_angle(double a, double b)
{
    const double t = turn(a, b);
    return t < kAngleTolerance || kTwoPi - t < kAngleTolerance;
}

}  // namespace

void chkjunc(int mode, const double* a_in, const double* a_out, const double* b_in, const double* b_out, int& result)
{
    result = 0;
    double d[4][2] = {{-a_in[0], -a_in[1]}, {a_out[0], a_out[1]}, {-b_in[0], -b_in[1]}, {b_out[0], b_out[1]}};
    if (mode % 2 != 0) {
        for (auto& v : d) {
            double length = 0.0;
            int status = 0;
            v2untd(v, length, status);
            if (status != 0) {
                eroutc("[chkjunc] UNABLE TO CALCULATE 2D PROJECTION", 0);
                return;
            }
        }
    }
    // A's two rays split the plane into the sector from its reversed incoming direction
    // counter-clockwise to its outgoing one, and the rest.
    const double a1 = angle_of(d[0]), a2 = angle_of(d[1]);
    const double sector = turn(a1, a2);
    int side[2] = {0, 0};  // +1 inside the sector, -1 outside, 0 along one of A's rays
    for (int k = 0; k < 2; ++k) {
        const double b = angle_of(d[2 + k]);
        if (same_angle(b, a1) || same_angle(b, a2)) continue;
        side[k] = turn(a1, b) < sector ? 1 : -1;
    }
    // B touches when its rays do not lie on both sides; a ray along A goes with the other one.
    result = side[0] * side[1] >= 0 ? 1 : 0;
}

void angle_after(double reference, double a, double b, int& flag)
{
    flag = turn(reference, b) > turn(reference, a) ? 1 : 0;
}

void junction_crosses(const double* d1, const double* d2, const double* d3, const double* d4, const double* reference,
                      int& result)
{
    const double r[2] = {-reference[0], -reference[1]};
    const double ref = angle_of(r);
    int first = 0, second = 0;
    angle_after(ref, angle_of(d1), angle_of(d3), first);
    angle_after(ref, angle_of(d2), angle_of(d4), second);
    result = first != second ? 1 : 0;
}
