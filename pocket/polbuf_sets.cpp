// Whole-buffer routines of the polygon buffers: drawing, copying, the largest polygon and the
// point-in-region test that the entry and lead code of the pocket ask. They work through the
// package's own entry points, so they fail where those do.
#include "pocket/polbuf.hpp"

#include "host/vantu.hpp"
#include "nc_services/debug_draw.hpp"

#include <cstring>
#include <vector>

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kModeGet = 1;
constexpr int kModeSet = 2;
constexpr int kPointsOf = 2;  // polbuf_get_ptr mode of a polygon's first point
constexpr int kRegionBuffer = 1;
constexpr int kClosedPolygon = 2;

// Polygon n of the current buffer as x, y floats (empty for a count below 1).
void read_polygon(int n, std::vector<float>& xy, int& status)
{
    int count = 0;
    xy.clear();
    polbuf_get_np(n, count, status);
    if (status != 0 || count < 1) return;
    const word* w = polbuf_get_ptr(kPointsOf, n, status);
    if (status != 0) return;
    xy.resize(2 * static_cast<std::size_t>(count));
    std::memcpy(xy.data(), w, sizeof(float) * xy.size());
}

// Writes polygon n of the current buffer: points first (the buffer grows), then the count.
void write_polygon(int n, const std::vector<float>& xy, int& status)
{
    const int count = static_cast<int>(xy.size() / 2);
    for (int i = 1; i <= count && status == 0; ++i)
        polbuf_set_point(n, i, xy[2 * static_cast<std::size_t>(i) - 2], xy[2 * static_cast<std::size_t>(i) - 1],
                         status);
    if (status == 0) polbuf_set_np(n, count, status);
}

// Whether the point lies within the tolerance of the polygon's boundary (tchptpol on doubles).
bool touches(const std::vector<float>& xy, const float* point, float tolerance)
{
    const std::vector<double> wide(xy.begin(), xy.end());
    const double p[2] = {point[0], point[1]};
    int touch = 0;
    tchptpol(kClosedPolygon, tolerance, p, static_cast<int>(xy.size() / 2), wide.data(), touch);
    return touch == 1;
}

int where(const std::vector<float>& xy, const float* point)
{
    int answer = kInpolOutside;
    inpol(xy.data(), static_cast<int>(xy.size() / 2), 1, point, answer);
    return answer;
}

// The test of polbuf_point_in on the current buffer (buffer 1).
int point_in_current(const float* point, float tolerance, int& status)
{
    int outer = -1;
    polbuf_largest(outer);
    if (outer < 0) return 1;
    std::vector<float> xy;
    read_polygon(outer, xy, status);
    if (status != 0) return 1;
    int answer = where(xy, point);
    if (answer == kInpolOutside && touches(xy, point, tolerance)) answer = kInpolOnBoundary;
    if (answer > kInpolOnBoundary) return 0;
    int npol = 0;
    polbuf_get_npol(npol, status);
    for (int n = 1; n <= npol && status == 0; ++n) {
        if (n == outer) continue;
        read_polygon(n, xy, status);
        // Strictly inside an island and not within the tolerance of its edge: outside the region.
        if (status == 0 && where(xy, point) == kInpolInside && !touches(xy, point, tolerance)) return 0;
    }
    return 1;
}

}  // namespace

void polbuf_draw_all(float z, int& status)
{
    int npol = 0;
    polbuf_get_npol(npol, status);
    std::vector<float> xy;
    for (int n = 1; n <= npol && status == 0; ++n) {
        read_polygon(n, xy, status);
        const int count = static_cast<int>(xy.size() / 2);
        if (status == 0 && count > 0) draw_polygons(1, &count, xy.data(), z, status);
    }
}

void polbuf_copy(int source, int target, int& status)
{
    int npol = 0;
    polbuf_select(kModeSet, source, status);
    if (status == 0) polbuf_get_npol(npol, status);
    if (status == 0) polbuf_select(kModeSet, target, status);
    if (status == 0) polbuf_set_npol(npol, status);
    std::vector<float> xy;
    for (int n = 1; n <= npol && status == 0; ++n) {
        polbuf_select(kModeSet, source, status);
        if (status == 0) read_polygon(n, xy, status);
        if (status == 0) polbuf_select(kModeSet, target, status);
        if (status == 0) write_polygon(n, xy, status);
    }
    if (status == 0) polbuf_select(kModeSet, target, status);
}

void polbuf_largest(int& n)
{
    n = -1;
    int npol = 0, status = kGoOn;
    polbuf_get_npol(npol, status);
    float best = 0.0f;
    std::vector<float> xy;
    for (int k = 1; k <= npol && status == 0; ++k) {
        read_polygon(k, xy, status);
        float area = 0.0f;
        if (status == 0) plarea(static_cast<int>(xy.size() / 2), xy.data(), 0, area, status);
        if (status != 0) break;
        area = area < 0.0f ? -area : area;
        if (gtval(area, best)) {
            best = area;
            n = k;
        }
    }
    if (status != 0) n = -1;
}

int polbuf_point_in(const float* point, float tolerance, int& status)
{
    int noted = 0;
    if (point == nullptr) {
        status = kFailed;
        return 1;
    }
    polbuf_select(kModeGet, noted, status);
    if (status != 0) return 1;
    int region = kRegionBuffer;
    polbuf_select(kModeSet, region, status);
    if (status != 0) return 1;
    const int result = point_in_current(point, tolerance, status);
    int reselect = kGoOn;
    polbuf_select(kModeSet, noted, reselect);
    if (status == 0) status = reselect;
    return result;
}
