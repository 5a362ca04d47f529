// Debug drawing: polygons as figures in cycling colours, and point runs as polyline entities or
// figures. The polygon buffers, the loop path, the pocket lanes and the manual editor call it.
#include "nc_services/debug_draw.hpp"

#include "host/vantu.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/transform_point_d.hpp"

#include <vector>

debug_draw_state debug_draw_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kEntityMode = 0;
constexpr int kColours = 15;

debug_draw_state& dd = debug_draw_block;

int next_colour(int colour) { return colour % kColours + 1; }

// Point k of a run as x, y, z.
void point_of(int dimension, const float* points, int k, float z, float* out)
{
    const int stride = dimension == 3 ? 3 : 2;
    out[0] = points[stride * k];
    out[1] = points[stride * k + 1];
    out[2] = dimension == 3 ? points[stride * k + 2] : z;
}

void show_entity(int dimension, int n, const float* points, float z, int& id, int& status)
{
    if (n > kCurveShowMaxPoints) {
        status = kCurveShowTooLong;
        return;
    }
    std::vector<double> xyz(3 * static_cast<std::size_t>(n > 0 ? n : 0));
    for (int k = 0; k < n; ++k) {
        float p[3];
        point_of(dimension, points, k, z, p);
        for (int c = 0; c < 3; ++c) xyz[3 * static_cast<std::size_t>(k) + c] = p[c];
    }
    crcmpl(n, xyz.data(), id, status);
    if (status == 0) transform_point_d(kWorldToWorkPlane, kTransformCurve, id, nullptr, status);
    if (status != 0) {
        int ignored = 0;
        if (id != 0) edelet(id, ignored);
        id = 0;
        status = kFailed;
        return;
    }
    int colour = dd.colour, font = dd.font;
    if (linnet_params_block.selector == kLinnetSelectorModelAttributes) gtmdla(colour, font);
    eattc(id, 2, "CO", colour, status);
    if (status == 0 && font != -1) eattc(id, 2, "LF", font, status);
    if (status == 0) edisp(id, 1, status);
    if (status != 0) status = kFailed;
}

void show_figure(int dimension, int n, const float* points, float z, int& id, int& status)
{
    gfgtmp(id);
    figopa(id, dd.colour, status);
    if (status != 0) return;
    for (int k = 0; k < n; ++k) {
        float p[3];
        point_of(dimension, points, k, z, p);
        if (k == 0)
            moveto(p);
        else
            drawto(p);
    }
    figcls(id);
}

}  // namespace

void draw_polygons(int count, const int* counts, const float* xy, float z, int& status)
{
    status = kGoOn;
    if (count > 0 && (counts == nullptr || xy == nullptr)) {
        status = kFailed;
        return;
    }
    dd.polygon_colour = next_colour(dd.polygon_colour);
    gfgtmp(dd.polygon_figure);
    figopa(dd.polygon_figure, dd.polygon_colour, status);
    if (status != 0) return;
    long first = 0;
    for (int k = 0; k < count; ++k) {
        const int n = counts[k];
        for (int i = 0; i <= n && n > 0; ++i) {
            const float* p = xy + 2 * (first + i % n);
            const float point[3] = {p[0], p[1], z};
            if (i == 0)
                moveto(point);
            else
                drawto(point);
        }
        first += n > 0 ? n : 0;
    }
    figcls(dd.polygon_figure);
}

void curve_ent_show(int dimension, int advance, int mode, int n, const float* points, float z, int& id, int& status)
{
    status = kGoOn;
    id = 0;
    if (advance != 0) dd.colour = next_colour(dd.colour);
    if (points == nullptr && n > 0) {
        status = kFailed;
        return;
    }
    if (mode == kEntityMode)
        show_entity(dimension, n, points, z, id, status);
    else
        show_figure(dimension, n, points, z, id, status);
}

void set_curve_show_colour(int colour) { dd.colour = colour; }

void set_curve_show_font(int font) { dd.font = font; }
