// Drawing of pocket arrays and raw point lists as temporary figures, or in entity mode as
// polyline entities of the part: points are joined by lines, arcs drawn as 40 chords, 2-D arrays
// at the current Z of the pocket state; the pocket origin is added unless the caller draws
// absolute coordinates.
#include "pocket_arrays/pokarr_show.hpp"

#include "host/vantu.hpp"
#include "host/vantu_polyline.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

pokarr_show_state pokarr_show_block;

namespace {

constexpr int kArcChords = 40;
// Entries with z at or above this are not drawn.
constexpr double kHiddenZ = 1.0e9;

struct pen {
    double offset[3];
    bool moved = false;
    pokarr* buffer = nullptr;  // entity mode: the polyline buffer
    int status = 0;            // the entity writer's first failure
    void to(double x, double y, double z)
    {
        if (buffer != nullptr) {
            const double q[3] = {x + offset[0], y + offset[1], z + offset[2]};
            if (pokarr_show_entity_pnt(*buffer, q) != 0 && status == 0) status = -1;
            return;
        }
        const double q[3] = {x + offset[0], y + offset[1], z + offset[2]};
        float p[3];
        xform_point(q, p);
        if (moved) {
            drawto(p);
        } else {
            moveto(p);
            moved = true;
        }
    }
};

// The arc from (sx, sy) whose record starts at entry i, as 40 chords.
void draw_arc(const pokarr& a, int i, double sx, double sy, double z, pen& p)
{
    const double cx = a.x[i + 2], cy = a.y[i + 2];
    const int direction = pk_arc_direction(a.y[i + 1]);
    double ax = sx - cx, ay = sy - cy;
    const double bx = a.x[i + 3] - cx, by = a.y[i + 3] - cy;
    double angle = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    if (pk_is_zero(angle)) {
        p.to(a.x[i + 3], a.y[i + 3], z);
        return;
    }
    if (direction >= 1 && angle < 0.0) angle += 2.0 * std::numbers::pi;
    if (direction < 0 && angle > 0.0) angle -= 2.0 * std::numbers::pi;
    const double step = angle / kArcChords, c = std::cos(step), s = std::sin(step);
    for (int k = 1; k <= kArcChords; ++k) {
        const double nx = ax * c - ay * s, ny = ax * s + ay * c;
        ax = nx;
        ay = ny;
        p.to(k == kArcChords ? a.x[i + 3] : cx + ax, k == kArcChords ? a.y[i + 3] : cy + ay, z);
    }
}

}  // namespace

void xform_point(const double* in, float* out)
{
    for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(in[i]);
}

void pokarr_show_mode(int v)
{
    pokarr_show_block.entity_mode = v != 0 ? 1 : 0;
    pokarr_show_block.colour = v >= 1 && v <= 15 ? v : 0;
}

void pokarr_show_colour(int v) { pokarr_show_block.colour = v >= 1 && v <= 15 ? v : 0; }

int pokarr_show(const pokarr& array, int absolute)
{
    pokarr_show_state& st = pokarr_show_block;
    st.entity_count = 0;
    if (st.dump_file_id >= 0) pokarr_dump(&array, st.dump_file_id, 0, -1);
    if (array.count <= 0 || array.dimension < 2 || array.y == nullptr) return -1;
    int figure = 0, status = 0;
    pokarr buffer;
    pen p{};
    if (st.entity_mode) {
        const int per_point = array.dimension == 2 ? 2 : (array.dimension == 4 && st.normal_switch ? 6 : 3);
        pokarr_init_dyn(1, std::min(array.count * per_point, kPokarrMaxFlat), buffer, status);
        if (status != 0) return -1;
        p.buffer = &buffer;
    } else {
        gfgtmp(figure);
        figopa(figure, st.colour != 0 ? st.colour : std::abs(figure) % 16, status);
        if (status != 0) return -1;
    }
    for (int k = 0; k < 3; ++k) p.offset[k] = absolute ? 0.0 : pocket_frame_block.origin[k];
    // A 2-D array has no z of its own: it is drawn at the level being cut.
    const double level_z = pocket_state_block.current_z - p.offset[2];
    auto z_of = [&](int i) { return array.z != nullptr ? array.z[i] : level_z; };
    p.to(array.x[0], array.y[0], z_of(0));
    for (int i = 1; i < array.count; ++i) {
        if (z_of(i) >= kHiddenZ) continue;
        if (pk_is_marker(array.x[i]) && i + 3 < array.count) {
            draw_arc(array, i, array.x[i - 1], array.y[i - 1], z_of(i + 3), p);
            i += 3;
            continue;
        }
        if (!pk_is_marker(array.x[i])) p.to(array.x[i], array.y[i], z_of(i));
    }
    if (p.buffer == nullptr) {
        figcls(figure);
        return 0;
    }
    if (pokarr_show_entity_pnt(buffer, nullptr) != 0) p.status = -1;
    pokarr_free(buffer);
    return p.status;
}

int pokarr_show_entity_pnt(pokarr& buffer, const double* point)
{
    pokarr_show_state& st = pokarr_show_block;
    if (buffer.dimension != 1) return -1;
    int status = 0;
    if (point != nullptr) {
        const int n = buffer.count;
        if (n > 2) {
            const double last[3] = {buffer.x[n - 3], buffer.x[n - 2], buffer.x[n - 1]};
            const double dx = last[0] - point[0], dy = last[1] - point[1], dz = last[2] - point[2];
            if (dx * dx + dy * dy + dz * dz < kPocketPointSquared) return 0;
        }
        pokarr_add_xyz(point[0], &point[1], &point[2], nullptr, buffer, status);
        if (status != 0) return -1;
        if (buffer.count < kShowEntityFlush) return 0;
    } else if (buffer.count < 4) {
        return 0;
    }
    int id = 0;
    crcmpl(buffer.count / 3, buffer.x, id, status);
    int result = 0;
    if (status != 0 || id < 1) {
        result = -1;
    } else {
        int pen_value = 2;
        eattc(id, 2, "PE", pen_value, status);
        if (st.colour > 0) {
            int colour = st.colour;
            eattc(id, 2, "CO", colour, status);
        }
        edisp(id, 1, status);
        if (st.entity_count < kShowEntitiesMax) st.entities[st.entity_count++] = id;
    }
    if (point != nullptr) {
        // The next polyline starts where this one ended.
        buffer.count = 0;
        pokarr_add_xyz(point[0], &point[1], &point[2], nullptr, buffer, status);
    }
    return result;
}

int pokarr_show_std(const pokarr& array) { return pokarr_show(array, 0); }

namespace {
int show_list(int dimension, const double* list, int n, int absolute)
{
    if ((dimension != 2 && dimension != 3) || list == nullptr || n < 1) return -1;
    pokarr work;
    pokarr_init(dimension, work);
    int status = 0;
    for (int i = 0; i < n && status == 0; ++i) pokarr_add_pnt(list + static_cast<long>(i) * dimension, work, status);
    const int result = status == 0 ? pokarr_show(work, absolute) : -1;
    pokarr_free(work);
    return result;
}
}  // namespace

int pokarr_show_raw(int dimension, const double* list, int n) { return show_list(dimension, list, n, 0); }
int pokarr_show_raw_abs(int dimension, const double* list, int n) { return show_list(dimension, list, n, 1); }

int pokarr_show_float(int dimension, const float* list, int n)
{
    if ((dimension != 2 && dimension != 3) || list == nullptr || n < 1 || n > kPokarrMaxEntries) return -1;
    const std::vector<double> values(list, list + static_cast<long>(n) * dimension);
    return show_list(dimension, values.data(), n, 1);
}

int xy_show(const double* x, const double* y, int n)
{
    if (x == nullptr || y == nullptr || n < 1) return -1;
    pokarr work;
    pokarr_init(2, work);
    int status = 0;
    for (int i = 0; i < n && status == 0; ++i) {
        const double p[2] = {x[i], y[i]};
        pokarr_add_pnt(p, work, status);
    }
    const int result = status == 0 ? pokarr_show(work, 0) : -1;
    pokarr_free(work);
    return result;
}
