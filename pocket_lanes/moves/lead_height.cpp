// The lead-height profiles of the point mover: a quarter circle in z along a straight lead or a
// lead arc, so that the wire comes down onto the lane (or rises off it) while it moves.
#include "pocket_lanes/moves/pocket_approach.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <cmath>

namespace {

constexpr int kProfileSteps = 9;
constexpr int kShortSteps = 2;
constexpr int kRisingKindsUpTo = 10;

// Height above the end of the profile at the share t of the quarter circle (t 1: the full
// lead height).
double profile_height(double t)
{
    return (1.0 - std::sqrt(std::fmax(0.0, 1.0 - t * t))) * pocket_work_block.lead_height;
}

}  // namespace

void lead_height_line(const double* from, const double* to, int& count, lead_pieces& pieces, int& status)
{
    const int n = eqptd(2, from, to) != 0 ? kShortSteps : kProfileSteps;
    for (int i = 0; i <= n; ++i) {
        const double share = static_cast<double>(n - i) / n;
        std::array<double, 3>& p = pieces[static_cast<std::size_t>(i)];
        p[0] = share * from[0] + (1.0 - share) * to[0];
        p[1] = share * from[1] + (1.0 - share) * to[1];
        p[2] = to[2] + profile_height(share);
    }
    count = n + 1;
    status = 0;
}

void lead_height_arc(int kind, const double* centre, const double* start, const double* end, double angle, int& count,
                     lead_pieces& pieces, int& status)
{
    const int n = eqptd(2, start, end) != 0 ? kShortSteps : kProfileSteps;
    const double step = angle / n;
    const double rx = start[0] - centre[0], ry = start[1] - centre[1];
    for (int i = 0; i <= n; ++i) {
        const double turn = step * i;
        const double t = kind <= kRisingKindsUpTo ? static_cast<double>(i) / n : static_cast<double>(n - i) / n;
        std::array<double, 3>& p = pieces[static_cast<std::size_t>(i)];
        p[0] = centre[0] + rx * std::cos(turn) - ry * std::sin(turn);
        p[1] = centre[1] + rx * std::sin(turn) + ry * std::cos(turn);
        p[2] = end[2] + profile_height(t);
    }
    count = n + 1;
    status = 0;
}
