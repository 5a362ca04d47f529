// Thinning of an interleaved point list (dladstd; dillad with companion values; diluld for 3-D
// points; dladst and dilula in single precision, also for closed lists): drops the points that
// the polyline of the kept points passes within the tolerance of, compacting points and their
// records in place. The pocket arrays (pokarr_dilul), the scale-and-combine sampling and the
// refinement of surface lanes thin their point lists through it; p3tol measures a point against
// the segment of two others as the thinning does.
#include "host/vantu_hatch.hpp"
#include "host/vantu_vector.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// The point list as the thinning reads it: point i starts at coordinate i * dimension.
struct point_list {
    int dimension;
    double* coordinates;
    const double* at(int i) const { return coordinates + static_cast<long>(i) * dimension; }
};

// Distance of point p from the segment a..b (clamped to the segment).
double segment_distance(int dimension, const double* p, const double* a, const double* b)
{
    double along = 0.0, length2 = 0.0;
    for (int k = 0; k < dimension; ++k) {
        along += (p[k] - a[k]) * (b[k] - a[k]);
        length2 += (b[k] - a[k]) * (b[k] - a[k]);
    }
    const double t = length2 > 0.0 ? std::fmax(0.0, std::fmin(1.0, along / length2)) : 0.0;
    double sum = 0.0;
    for (int k = 0; k < dimension; ++k) {
        const double d = p[k] - (a[k] + t * (b[k] - a[k]));
        sum += d * d;
    }
    return std::sqrt(sum);
}

// The point between first and last farthest from their chord, and its distance.
struct farthest_point {
    int index;
    double distance;
};

farthest_point farthest_from_chord(const point_list& list, int first, int last)
{
    farthest_point found{first + 1, -1.0};
    for (int i = first + 1; i < last; ++i) {
        const double d = segment_distance(list.dimension, list.at(i), list.at(first), list.at(last));
        if (d > found.distance) found = {i, d};
    }
    return found;
}

double chord_length(const point_list& list, int first, int last)
{
    double length2 = 0.0;
    for (int k = 0; k < list.dimension; ++k) {
        const double d = list.at(last)[k] - list.at(first)[k];
        length2 += d * d;
    }
    return std::sqrt(length2);
}

// Marks the points to keep: a run whose points all lie within the tolerance of its chord (and,
// with a length limit, whose chord is not longer) keeps only its ends; otherwise it is split at
// its farthest point (at its middle when only the length decides) and both halves are judged
// again. Ranges wait on an explicit stack, so long lists cannot exhaust the call stack.
std::vector<char> points_to_keep(const point_list& list, int count, double tolerance, double length_limit)
{
    std::vector<char> keep(static_cast<std::size_t>(count), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<int, int>> ranges{{0, count - 1}};
    while (!ranges.empty()) {
        const auto [first, last] = ranges.back();
        ranges.pop_back();
        if (last - first < 2) continue;
        const farthest_point far = farthest_from_chord(list, first, last);
        int split = -1;
        if (far.distance > tolerance)
            split = far.index;
        else if (length_limit > 0.0 && chord_length(list, first, last) > length_limit)
            split = first + (last - first) / 2;
        if (split < 0) continue;
        keep[static_cast<std::size_t>(split)] = 1;
        ranges.push_back({first, split});
        ranges.push_back({split, last});
    }
    return keep;
}

// Moves point `from` (and its record of `record_size` values, `record_step` apart) to slot `to`
// (to <= from).
void keep_point(const point_list& list, double* records, int record_step, int record_size, int from, int to)
{
    if (from == to) return;
    for (int k = 0; k < list.dimension; ++k)
        list.coordinates[static_cast<long>(to) * list.dimension + k] = list.at(from)[k];
    if (records == nullptr) return;
    for (int k = 0; k < record_size; ++k)
        records[static_cast<long>(to) * record_step + k] = records[static_cast<long>(from) * record_step + k];
}

// Thins the list in place and moves the records with their points; count becomes the kept count.
void thin_list(int dimension, double tolerance, double length_limit, double* points, int& count, double* records,
               int record_step, int record_size)
{
    if (count <= 2) return;
    const point_list list{dimension, points};
    const std::vector<char> keep = points_to_keep(list, count, tolerance, length_limit);
    // Kept points move to the front in order; a slot is written only after its old point has
    // been read.
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (keep[static_cast<std::size_t>(i)]) keep_point(list, records, record_step, record_size, i, kept++);
    count = kept;
}

}  // namespace

void dladstd(int dimension, double tolerance, int mode, double extra, double* points, int& count, double* normals,
             int normal_stride, int& status)
{
    const bool bad = (dimension != 2 && dimension != 3) || count < 0 || !(tolerance >= 0.0) ||
                     (mode != 0 && mode != 1) || (points == nullptr && count > 0) ||
                     (normals != nullptr && (normal_stride < 24 || normal_stride % 8 != 0));
    if (bad) {
        status = -1;
        vantu::trace_call("dladstd", "dimension " + std::to_string(dimension), status);
        return;
    }
    status = 0;
    const int original = count;
    thin_list(dimension, tolerance, mode == 1 ? extra : 0.0, points, count, normals, normal_stride / 8, 3);
    vantu::trace_call("dladstd", std::to_string(original) + " -> " + std::to_string(count), status);
}

void dillad(int dimension, double tolerance, double* points, double* companions, int companion_size, int& count,
            int& status)
{
    const bool bad = (dimension != 2 && dimension != 3) || count < 0 || !(tolerance >= 0.0) || companion_size < 0 ||
                     (points == nullptr && count > 0) || (companions == nullptr && companion_size > 0 && count > 0);
    if (bad) {
        status = -1;
        vantu::trace_call("dillad", "dimension " + std::to_string(dimension), status);
        return;
    }
    status = 0;
    const int original = count;
    thin_list(dimension, tolerance, 0.0, points, count, companion_size > 0 ? companions : nullptr, companion_size,
              companion_size);
    vantu::trace_call("dillad", std::to_string(original) + " -> " + std::to_string(count), status);
}

void diluld(double* points, int& count, double tolerance, int& status)
{
    status = -1;
    const int original = count;
    if (count >= 0 && tolerance >= 0.0 && (points != nullptr || count == 0)) {
        status = 0;
        thin_list(3, tolerance, 0.0, points, count, nullptr, 0, 0);
    }
    vantu::trace_call("diluld", std::to_string(original) + " -> " + std::to_string(count), status);
}

namespace {

// The single-precision thinning: the points (and their normals, three floats each, or null)
// widened to doubles, a closed list given its closing point, thinned by thin_list and narrowed
// back.
void thin_floats(int dimension, double tolerance, bool closed, float* points, int& count, float* normals)
{
    const auto n = static_cast<std::size_t>(count);
    const auto d = static_cast<std::size_t>(dimension);
    std::vector<double> wide(points, points + n * d);
    std::vector<double> records;
    if (normals != nullptr) records.assign(normals, normals + 3 * n);
    const bool add_closing = closed && count > 1 && !std::equal(points, points + d, points + (n - 1) * d);
    if (add_closing) {
        wide.insert(wide.end(), wide.begin(), wide.begin() + static_cast<long>(d));
        if (normals != nullptr) records.insert(records.end(), records.begin(), records.begin() + 3);
    }
    int kept = static_cast<int>(wide.size() / d);
    thin_list(dimension, tolerance, 0.0, wide.data(), kept, normals != nullptr ? records.data() : nullptr, 3, 3);
    if (add_closing) --kept;
    std::copy(wide.begin(), wide.begin() + static_cast<long>(kept) * dimension, points);
    if (normals != nullptr) std::copy(records.begin(), records.begin() + 3L * kept, normals);
    count = kept;
}

bool thinning_refused(int dimension, float tolerance, const float* points, int count)
{
    return (dimension != 2 && dimension != 3) || count < 0 || !(tolerance >= 0.0f) || (points == nullptr && count > 0);
}

}  // namespace

void dladst(int dimension, float tolerance, int closed, float* points, int& count, float* normals, int& status)
{
    const int original = count;
    status = thinning_refused(dimension, tolerance, points, count) ? -1 : 0;
    if (status == 0) thin_floats(dimension, tolerance, closed != 0, points, count, normals);
    vantu::trace_call("dladst", std::to_string(original) + " -> " + std::to_string(count), status);
}

void dilula(int dimension, float* points, int& count, float tolerance, int closed, int& status)
{
    const int original = count;
    status = thinning_refused(dimension, tolerance, points, count) ? -1 : 0;
    if (status == 0) thin_floats(dimension, tolerance, closed != 0, points, count, nullptr);
    vantu::trace_call("dilula", std::to_string(original) + " -> " + std::to_string(count), status);
}

void p3tol(const float* start, const float* point, const float* end, float& value, int& status)
{
    const double a[3] = {start[0], start[1], start[2]}, p[3] = {point[0], point[1], point[2]},
                 b[3] = {end[0], end[1], end[2]};
    const double ends_apart = segment_distance(3, a, b, b);  // a segment of no length: |a - b|
    status = ends_apart > vantu::kRealTolerance ? 0 : -1;
    if (status == 0) value = static_cast<float>(segment_distance(3, p, a, b));
    vantu::trace_call("p3tol", "", status);
}
