// Resampling of a pocket array: arcs stepped into points by equal angles within the chord
// tolerance, plain points copied.
#include "pocket_arrays/pokarr_resample.hpp"

#include "host/vantu.hpp"

#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr double kSmallestStep = 1.0e-4;
using point = std::array<double, 3>;

// The largest step angle of an arc of radius r for the chord tolerance: 2 acos(1 - tol / r), the
// cosine clamped; a radius not above 0 steps nothing (one step).
double largest_step(double tolerance, double radius)
{
    if (!(radius > 0.0)) return 0.0;
    double angle = 0.0;
    int status = 0;
    arcosd(1.0 - tolerance / radius, angle, status);
    return std::fmax(2.0 * angle, kSmallestStep);
}

// The points between the ends of the arc from s to e about c in the direction's sense.
void step_arc(double tolerance, double radius, int direction, const point& s, const point& c, const point& e,
              std::vector<point>& out)
{
    const double a0 = std::atan2(s[1] - c[1], s[0] - c[0]);
    double sweep = std::atan2(e[1] - c[1], e[0] - c[0]) - a0;
    const double two_pi = 2.0 * std::acos(-1.0);
    if (direction > 0 && sweep <= 0.0) sweep += two_pi;
    if (direction < 0 && sweep >= 0.0) sweep -= two_pi;
    int n = 1;
    double step = sweep;
    setdeld_nc(sweep, largest_step(tolerance, radius), n, step);
    const double rx = s[0] - c[0], ry = s[1] - c[1];
    for (int k = 1; k < n; ++k) {
        const double turn = step * k;
        const double z = s[2] + (e[2] - s[2]) * k / n;
        out.push_back(
            {c[0] + rx * std::cos(turn) - ry * std::sin(turn), c[1] + rx * std::sin(turn) + ry * std::cos(turn), z});
    }
}

}  // namespace

void pokarr_resample(const pokarr& source, double tolerance, int out_dimension, double* buffer, int room, int* count,
                     pokarr* result, int& status)
{
    status = 0;
    if (out_dimension != 2 && out_dimension != 3) {
        status = -1;
        return;
    }
    std::vector<point> out;
    for (int i = 0; i < source.count; ++i) {
        const point p = {pokarr_coordinate(source, i, 0), pokarr_coordinate(source, i, 1),
                         pokarr_coordinate(source, i, 2)};
        if (pk_is_marker(p[0]) && i > 0 && i + kArcRecordEntries - 1 < source.count) {
            const point s = {pokarr_coordinate(source, i - 1, 0), pokarr_coordinate(source, i - 1, 1),
                             pokarr_coordinate(source, i - 1, 2)};
            const point c = {source.x[i + 2], source.y != nullptr ? source.y[i + 2] : 0.0, 0.0};
            const point e = {pokarr_coordinate(source, i + 3, 0), pokarr_coordinate(source, i + 3, 1),
                             pokarr_coordinate(source, i + 3, 2)};
            step_arc(tolerance, std::fabs(source.x[i + 1]),
                     pk_arc_direction(source.y != nullptr ? source.y[i + 1] : 1.0), s, c, e, out);
            i += kArcRecordEntries - 2;  // the end point comes as the next plain entry
            continue;
        }
        if (!pk_is_marker(p[0])) out.push_back(p);
    }
    const int n = static_cast<int>(out.size());
    if (count != nullptr) *count = n;
    if (buffer != nullptr) {
        if (n > room) {
            status = -1;
            return;
        }
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < out_dimension; ++k)
                buffer[out_dimension * i + k] = out[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)];
    }
    if (result == nullptr) return;
    pokarr_reset(*result, n, status);
    for (int i = 0; i < n && status == 0; ++i) pokarr_add_pnt(out[static_cast<std::size_t>(i)].data(), *result, status);
}

void pokarr_resample_xy(const double* x, const double* y, int count, double tolerance, double* buffer, int room,
                        int* out_count, pokarr* result, int& status)
{
    pokarr view;
    pokarr_init_static(2, const_cast<double*>(x), const_cast<double*>(y), nullptr, nullptr, count, count, view, status);
    if (status != 0) return;
    pokarr_resample(view, tolerance, 2, buffer, room, out_count, result, status);
}
