// Chain records of contours on the host's curve sets (dfdgrc, dfcgld) and the polygon of a
// record (dfcpol), in the work plane's coordinates when one is set (gswpld). The region and
// polygon-buffer packages of the pocket turn contours into polygons through them.
#include "host/core/contour_records.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kTooSmall = -2;
constexpr int kNoPolygon = 0;

// Curves of the chain record that begins at the entry, 0 for any other entry.
int record_curves(const int* entry)
{
    const vantu::record_info r = vantu::record_at(entry);
    return r.kind == vantu::record_kind::chain ? r.length : 0;
}

// The polyline of a curve between two parameters as x, y doubles: in world coordinates, or in
// those of the work plane when one is set. Empty when the curve cannot be evaluated.
std::vector<double> curve_xy(int entity, double t0, double t1, double tolerance)
{
    constexpr int kSpace = 3;
    int status = 0, n = 0;
    std::vector<double> points;
    crvpld2(entity, t0, t1, tolerance, kSpace, 0, nullptr, n, status);
    if (status == kEntityShort && n > 0) {
        points.resize(kSpace * static_cast<std::size_t>(n));
        crvpld2(entity, t0, t1, tolerance, kSpace, n, points.data(), n, status);
    }
    if (status != 0 || n < 1) return {};
    const auto plane = vantu::contour_work_plane();
    std::vector<double> xy;
    for (int i = 0; i < n; ++i) {
        vantu::point3 p{points[kSpace * i], points[kSpace * i + 1], points[kSpace * i + 2]};
        if (plane) p = vantu::into_frame(plane->frame, p);
        xy.insert(xy.end(), {p[0], p[1]});
    }
    return xy;
}

// Appends the polyline of curve k of the set as x, y doubles, leaving out its first point where
// it repeats the last point so far. False when the curve cannot be evaluated.
bool append_curve(int set, int k, double tolerance, std::vector<double>& xy)
{
    int entity = 0, status = 0;
    double data[3];
    dfdget(set, k, entity, data, status);
    if (status != 0) return false;
    const std::vector<double> points = curve_xy(entity, data[0], data[1], tolerance);
    const int n = static_cast<int>(points.size() / 2);
    if (n < 1) return false;
    int first = 0;
    if (!xy.empty() && std::fabs(points[0] - xy[xy.size() - 2]) <= vantu::kDoubleTolerance &&
        std::fabs(points[1] - xy.back()) <= vantu::kDoubleTolerance)
        first = 1;
    xy.insert(xy.end(), points.begin() + 2 * first, points.begin() + 2L * n);
    return true;
}

}  // namespace

void dfdgrc(int set, int room, int* record, int& length, int& status)
{
    dfdgnc(set, length, status);
    if (status != 0) {
        length = 0;
    } else if (length > room || record == nullptr) {
        status = kTooSmall;
    } else {
        for (int k = 1; k <= length; ++k) {
            record[kChainEntryWords * (k - 1)] = set;
            record[kChainEntryWords * (k - 1) + 1] = k;
        }
    }
    vantu::trace_call("dfdgrc", std::to_string(set) + "," + std::to_string(room), status);
}

void dfcgld(const int* entry, int& length, int& status)
{
    vantu::trace_count("dfcgld");
    length = vantu::record_at(entry).length;
    status = length > 0 ? 0 : -1;
}

void dfcpol(const int* entry, int mode, float tolerance, int room, float* points, int& count)
{
    count = kNoPolygon;
    const int curves = record_curves(entry);
    std::vector<double> xy;
    bool made = !vantu::fault_hit("dfcpol") && curves > 0 && mode == 1 && tolerance > 0.0f;
    for (int k = 1; made && k <= curves; ++k) made = append_curve(entry[0], k, tolerance, xy);
    if (made) {
        const int needed = static_cast<int>(xy.size() / 2);
        if (needed > room || points == nullptr) {
            count = kTooSmall;
        } else {
            for (std::size_t i = 0; i < xy.size(); ++i) points[i] = static_cast<float>(xy[i]);
            count = needed;
        }
    }
    vantu::trace_call("dfcpol", std::to_string(entry ? entry[0] : 0) + "," + std::to_string(room), count);
}
