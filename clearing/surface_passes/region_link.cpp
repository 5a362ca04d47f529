// Region test of a straight link against the polygons of the current polygon buffer.
#include "clearing/surface_passes/region_link.hpp"

#include "host/vantu.hpp"
#include "pocket/polbuf.hpp"

#include <cmath>

namespace {

constexpr int kFailed = -1;
// The polygons are read from the first one on, starting at its count word.
constexpr int kCountWordMode = 1;

}  // namespace

void zclrln_srf(const word* polygons, int polygon_count, int words, const float* a, const float* b,
                int& crossing_count_out, line_crossings& crossings_out, int& span_a_out, int& span_b_out)
{
    crossing_count_out = span_a_out = span_b_out = 0;
    if (a[0] == b[0] && a[1] == b[1]) {
        span_a_out = kFailed;
        return;
    }
    ZCLRLN(polygons, polygon_count, words, 0.0f, a, b, crossing_count_out, crossings_out, span_a_out, span_b_out);
}

int link_inside_region(const float* a, const float* b)
{
    int status = 0, count = 0, words = 0;
    float origin[2] = {0.0f, 0.0f}, direction[2] = {0.0f, 0.0f};
    polbuf_get_dval(origin[0], origin[1], status);
    if (status != 0) return 0;
    polbuf_get_pair(direction[0], direction[1], status);
    if (status != 0) return 0;
    const word* polygons = polbuf_get_ptr(kCountWordMode, 1, status);
    if (status != 0 || polygons == nullptr) return 0;
    polbuf_get_npol(count, status);
    if (status != 0) return 0;
    polbuf_get_size(words, status);
    if (status != 0) return 0;
    const float angle = std::atan2(direction[1], direction[0]);
    const float a0[2] = {a[0] - origin[0], a[1] - origin[1]}, b0[2] = {b[0] - origin[0], b[1] - origin[1]};
    float pa[2], pb[2];
    hatchx(angle, a0, pa);
    hatchx(angle, b0, pb);
    line_crossings crossings{};
    int crossing_count = 0, span_a = 0, span_b = 0;
    zclrln_srf(polygons, count, words, pa, pb, crossing_count, crossings, span_a, span_b);
    if (span_a < 0) return 0;
    if (crossing_count == 0) return 1;
    const auto inside = [&](int span) { return span >= 1 && span <= crossing_count && span % 2 == 1; };
    return inside(span_a) && inside(span_b) && std::abs(span_a - span_b) <= 1 ? 1 : 0;
}
