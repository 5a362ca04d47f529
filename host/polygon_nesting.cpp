// Nesting of a set of polygons (polson): which polygons lie inside which, at any depth. The
// region package of the pocket builds its sons matrix, and from it the outer boundaries and the
// islands of a pocket, through this call.
#include "host/vantu_polygon.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using vantu::kRealTolerance;

struct polygon_view {
    const double* xy = nullptr;  // widened points
    int count = 0;
    double box[4] = {0.0, 0.0, 0.0, 0.0};  // x min, y min, x max, y max
    double area = 0.0;                     // absolute
};

void measure(polygon_view& p)
{
    p.box[0] = p.box[2] = p.xy[0];
    p.box[1] = p.box[3] = p.xy[1];
    double twice = 0.0;
    for (int i = 0; i < p.count; ++i) {
        const double* a = p.xy + 2L * i;
        const double* b = p.xy + 2L * ((i + 1) % p.count);
        p.box[0] = std::min(p.box[0], a[0]);
        p.box[1] = std::min(p.box[1], a[1]);
        p.box[2] = std::max(p.box[2], a[0]);
        p.box[3] = std::max(p.box[3], a[1]);
        twice += a[0] * b[1] - b[0] * a[1];
    }
    p.area = std::fabs(0.5 * twice);
}

bool box_within(const polygon_view& inner, const polygon_view& outer)
{
    return inner.box[0] >= outer.box[0] - kRealTolerance && inner.box[1] >= outer.box[1] - kRealTolerance &&
           inner.box[2] <= outer.box[2] + kRealTolerance && inner.box[3] <= outer.box[3] + kRealTolerance;
}

int where(const polygon_view& outer, const double* point)
{
    int result = kInpolOutside;
    inpold(kRealTolerance, outer.xy, outer.count, point, result);
    return result;
}

// Whether polygon `inner` lies inside polygon `outer`: no point outside, and one point or edge
// middle strictly inside; a polygon lying wholly on the other's boundary is inside when it is
// the smaller one.
bool lies_inside(const polygon_view& inner, const polygon_view& outer)
{
    if (outer.count < 3 || inner.count < 1 || !box_within(inner, outer)) return false;
    bool strictly = false;
    for (int i = 0; i < inner.count; ++i) {
        const int r = where(outer, inner.xy + 2L * i);
        if (r == kInpolOutside) return false;
        strictly = strictly || r == kInpolInside;
    }
    if (strictly) return true;
    for (int i = 0; i < inner.count; ++i) {
        const double* a = inner.xy + 2L * i;
        const double* b = inner.xy + 2L * ((i + 1) % inner.count);
        const double middle[2] = {0.5 * (a[0] + b[0]), 0.5 * (a[1] + b[1])};
        const int r = where(outer, middle);
        if (r != kInpolOnBoundary) return r == kInpolInside;
    }
    return outer.area - inner.area > kRealTolerance;
}

}  // namespace

void polson(int count, const int* point_counts, const float* points, int* sons, int& work, int& status)
{
    status = -1;
    work = 0;
    long total = 0;
    bool valid = count >= 1 && point_counts != nullptr && sons != nullptr;
    for (int i = 0; valid && i < count; ++i) {
        valid = point_counts[i] >= 0;
        total += valid ? point_counts[i] : 0;
    }
    if (valid && total > 0 && points == nullptr) valid = false;
    if (!valid) {
        vantu::trace_call("polson", std::to_string(count), status);
        return;
    }
    const std::vector<double> xy(points, points + 2 * total);
    std::vector<polygon_view> polygons(static_cast<std::size_t>(count));
    long first = 0;
    for (int i = 0; i < count; ++i) {
        polygon_view& p = polygons[static_cast<std::size_t>(i)];
        p.xy = xy.data() + 2 * first;
        p.count = point_counts[i];
        first += p.count;
        if (p.count > 0) measure(p);
    }
    const long row_words = count + 1L;
    std::fill(sons, sons + row_words * count, 0);
    std::vector<int> fathers(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i) {
        int* row = sons + row_words * i;
        for (int j = 0; j < count; ++j) {
            if (j == i || !lies_inside(polygons[static_cast<std::size_t>(j)], polygons[static_cast<std::size_t>(i)]))
                continue;
            row[++row[0]] = j;
            work = std::max(work, ++fathers[static_cast<std::size_t>(j)]);
        }
    }
    status = 0;
    vantu::trace_call("polson", std::to_string(count), status);
}
