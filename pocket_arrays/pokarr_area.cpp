// Area and direction of a pocket array's closed outline, with arcs, cached in the header. The
// lane engine asks for it on every loop; the cache spares the repeated sums.
#include "pocket_arrays/pokarr.hpp"

#include <cmath>

// The circular segment between the chord and an arc below half a turn, signed by the arc's
// direction: the start, radius entry, centre and end of the record at `marker`. Out of line, so
// that the sum over a loop of lines does not save registers for its call into atan2.
[[gnu::noinline]] static double arc_segment_area(const pokarr& a, int marker)
{
    const double r = a.x[marker + 1];
    const double d = a.y[marker + 1];
    const double cx = a.x[marker + 2];
    const double cy = a.y[marker + 2];
    if (!(r > 0.0)) return 0.0;
    const double ux = (a.x[marker - 1] - cx) / r;
    const double uy = (a.y[marker - 1] - cy) / r;
    const double vx = (a.x[marker + 3] - cx) / r;
    const double vy = (a.y[marker + 3] - cy) / r;
    const double c = vy * ux - vx * uy;
    const double t = std::fabs(std::atan2(c, vy * uy + vx * ux));
    return (t * d - c) * r * r * 0.5;
}

void pokarr_area(pokarr& array)
{
    if (array.direction != 0 && !pokarr_area_recompute) return;
    array.area = 0.0;
    array.direction = 0;
    if (array.count < 1 || array.dimension < 2 || array.x == nullptr || array.y == nullptr) {
        array.direction = -1;
        return;
    }
    // Points relative to entry 0 keep the shoelace sum free of cancellation far from the origin.
    const double x0 = array.x[0];
    const double y0 = array.y[0];
    double sum = 0.0;
    double pdx = 0.0;
    double pdy = 0.0;
    for (int i = 1; i < array.count; ++i) {
        if (pk_is_marker(array.x[i])) {
            // An incomplete record at the end has no end point to close with.
            if (i + 3 >= array.count) break;
            sum += arc_segment_area(array, i);
            i += 3;
        }
        const double dx = array.x[i] - x0;
        const double dy = array.y[i] - y0;
        sum += (dy * pdx - dx * pdy) * 0.5;
        pdx = dx;
        pdy = dy;
    }
    array.area = std::fabs(sum);
    array.direction = sum > 0.0 ? 1 : -1;
}
