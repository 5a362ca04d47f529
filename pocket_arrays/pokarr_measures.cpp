// Longest element, area and length of pocket arrays. The lane engine and the cutting code call
// these on whole loops.
#include "pocket_arrays/pokarr_measures.hpp"

#include "host/vantu_vector.hpp"

#include <cmath>

namespace {

// An arc's squared chord counts this much more than a line's squared length, so that a loop
// restarts on an arc only when it is clearly the longest element.
constexpr double kArcChordWeight = 1.5;

double squared_gap(const double* x, const double* y, int i, int j)
{
    const double dx = x[j] - x[i];
    const double dy = y[j] - y[i];
    return dx * dx + dy * dy;
}

// A raw x, y list seen as a static 2-D array over the caller's memory.
bool static_view(double* x, double* y, int count, pokarr& view)
{
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, count, count, view, status);
    return status == 0;
}

// Length of the arc whose marker is at i: r times its sweep.
double arc_length(const pokarr& a, int i)
{
    const double r = a.x[i + 1];
    if (!(r > 0.0)) return 0.0;
    const double u[2] = {(a.x[i - 1] - a.x[i + 2]) / r, (a.y[i - 1] - a.y[i + 2]) / r};
    const double v[2] = {(a.x[i + 3] - a.x[i + 2]) / r, (a.y[i + 3] - a.y[i + 2]) / r};
    return r * std::fabs(std::atan2(v2crsd(u, v), v2dotd(u, v)));
}

double line_length(const pokarr& a, int i, bool with_z)
{
    const double dx = a.x[i] - a.x[i - 1];
    const double dy = a.y[i] - a.y[i - 1];
    const double dz = with_z ? a.z[i] - a.z[i - 1] : 0.0;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

void xy_longest_elem(const double* x, const double* y, int count, int& index)
{
    index = -1;
    if (count < 2 || x == nullptr || y == nullptr) return;
    double best = -1.0e10;
    for (int i = 1; i < count; ++i) {
        double value = 0.0;
        const int element = i;
        if (pk_is_marker(x[i])) {
            if (i + 3 >= count) break;
            value = kArcChordWeight * squared_gap(x, y, i - 1, i + 3);
            i += 3;
        } else {
            value = squared_gap(x, y, i - 1, i);
        }
        if (value > best) {
            best = value;
            index = element;
        }
    }
}

void pokarr_longest_elem(const pokarr& array, int& index)
{
    xy_longest_elem(array.x, array.y, array.dimension >= 2 ? array.count : 0, index);
}

void pokarr_area_dir(pokarr& array, double& area, int& direction)
{
    pokarr_area(array);
    area = array.area;
    direction = array.direction;
}

void xy_area_dir(double* x, double* y, int count, double& area, int& direction)
{
    area = 0.0;
    direction = 0;
    pokarr view;
    if (!static_view(x, y, count, view)) return;
    pokarr_area_dir(view, area, direction);
}

void pokarr_length(int mode, const pokarr& array, pokarr* lengths, double& total, int& status)
{
    status = 0;
    total = 0.0;
    if (array.dimension < 2 || array.count < 1) return;
    const bool with_z = array.z != nullptr && mode != 2;
    if (lengths != nullptr) {
        pokarr_reset(*lengths, array.count - 1, status);
        if (status != 0) return;
    }
    constexpr double kZero = 0.0;
    for (int i = 1; i < array.count; ++i) {
        const bool arc = pk_is_marker(array.x[i]);
        if (arc && i + 3 >= array.count) return;
        const double length = arc ? arc_length(array, i) : line_length(array, i, with_z);
        total += length;
        if (lengths != nullptr) {
            pokarr_add_xyz(length, nullptr, nullptr, nullptr, *lengths, status);
            for (int k = 0; arc && k < 3 && status == 0; ++k)
                pokarr_add_xyz(kZero, nullptr, nullptr, nullptr, *lengths, status);
            if (status != 0) return;
        }
        if (arc) i += 3;
    }
}
