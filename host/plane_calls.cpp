// Plane geometry helpers of the lane code (host/vantu_plane.hpp). The arc fitting and the lead
// and step tests call them in their loops, so they count themselves only.
#include "host/vantu_plane.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>
#include <numbers>

namespace {

// Coordinates beyond this many cells are refused by crgrid.
constexpr double kMostCells = 1.0e9;

}  // namespace

int triccw(const double* p1, const double* p2, const double* p3)
{
    VANTU_COUNT("triccw");
    const double area2 = (p2[0] - p1[0]) * (p3[1] - p1[1]) - (p2[1] - p1[1]) * (p3[0] - p1[0]);
    if (std::fabs(area2) <= vantu::kDoubleTolerance) return 0;
    return area2 > 0.0 ? 1 : -1;
}

double calvan(const double* a, const double* b)
{
    VANTU_COUNT("calvan");
    const double la = std::hypot(a[0], a[1]), lb = std::hypot(b[0], b[1]);
    if (!(la > 0.0) || !(lb > 0.0)) return 0.0;
    const double c = (a[0] * b[0] + a[1] * b[1]) / (la * lb);
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

int ptonld(const double* point, const double* a, const double* b, double& t)
{
    VANTU_COUNT("ptonld");
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length2 = dx * dx + dy * dy;
    t = length2 > 0.0 ? ((point[0] - a[0]) * dx + (point[1] - a[1]) * dy) / length2 : 0.0;
    const double c = std::fmax(0.0, std::fmin(1.0, t));
    const double d = std::hypot(point[0] - (a[0] + c * dx), point[1] - (a[1] + c * dy));
    return d <= vantu::kDoubleTolerance ? 1 : 0;
}

void vecscl(int n, double factor, const double* vector, double* result)
{
    VANTU_COUNT("vecscl");
    for (int k = 0; k < n; ++k) result[k] = factor * vector[k];
}

double radd(double degrees) { return degrees * std::numbers::pi / 180.0; }

void exgr(float& a, float& b)
{
    const float kept = a;
    a = b;
    b = kept;
}

void crgrid(double x0, double y0, double x1, double y1, int room, int* cells, int& count, int& status)
{
    VANTU_COUNT("crgrid");
    count = 0;
    status = 0;
    for (const double v : {x0, y0, x1, y1})
        if (!(std::fabs(v) <= kMostCells)) {
            status = -1;
            return;
        }
    long i = static_cast<long>(std::floor(x0)), j = static_cast<long>(std::floor(y0));
    const long last_i = static_cast<long>(std::floor(x1)), last_j = static_cast<long>(std::floor(y1));
    const double dx = x1 - x0, dy = y1 - y0;
    const long step_i = dx > 0.0 ? 1 : -1, step_j = dy > 0.0 ? 1 : -1;
    // Parameters (0 at the first point, 1 at the second) at which the segment reaches the next
    // column and the next row, and their increments per cell.
    const double delta_i = dx != 0.0 ? std::fabs(1.0 / dx) : HUGE_VAL;
    const double delta_j = dy != 0.0 ? std::fabs(1.0 / dy) : HUGE_VAL;
    double next_i = dx > 0.0   ? (static_cast<double>(i) + 1.0 - x0) * delta_i
                    : dx < 0.0 ? (x0 - static_cast<double>(i)) * delta_i
                               : HUGE_VAL;
    double next_j = dy > 0.0   ? (static_cast<double>(j) + 1.0 - y0) * delta_j
                    : dy < 0.0 ? (y0 - static_cast<double>(j)) * delta_j
                               : HUGE_VAL;
    for (;;) {
        if (count >= room) {
            status = -1;
            return;
        }
        cells[2 * count] = static_cast<int>(i);
        cells[2 * count + 1] = static_cast<int>(j);
        ++count;
        if (i == last_i && j == last_j) return;
        if (next_i < next_j) {
            i += step_i;
            next_i += delta_i;
        } else if (next_j < next_i) {
            j += step_j;
            next_j += delta_j;
        } else {
            // Through a corner: the cell beside it along x first, then the diagonal one.
            if (count >= room) {
                status = -1;
                return;
            }
            cells[2 * count] = static_cast<int>(i + step_i);
            cells[2 * count + 1] = static_cast<int>(j);
            ++count;
            i += step_i;
            j += step_j;
            next_i += delta_i;
            next_j += delta_j;
        }
        if (next_i > 1.0 && next_j > 1.0 && (i != last_i || j != last_j)) {
            // Rounding left the walk one cell short of the end cell: it ends there.
            i = last_i;
            j = last_j;
        }
    }
}
