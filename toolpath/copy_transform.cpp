// The copy transformation and the routines that move points, directions, arcs and depths.
#include "toolpath/copy_transform.hpp"

namespace {

constexpr int kCutComParam = 5;
constexpr int kLeftSubtype = 9, kRightSubtype = 10;
constexpr int kDeftypValue = 0, kDeftypSubtype = 1;

void rotate(const float* in, float* out, const matrix3& m)
{
    for (int r = 0; r < 3; ++r) out[r] = m[3 * r] * in[0] + m[3 * r + 1] * in[1] + m[3 * r + 2] * in[2];
}

// The indices of the arc plane's two coordinates and of the third.
struct plane_axes {
    int first, second, third;
};
plane_axes axes_of(int plane)
{
    if (plane == 2) return {0, 2, 1};
    if (plane == 3) return {1, 2, 0};
    return {0, 1, 2};
}

}  // namespace

copy_transformation& copy_xform()
{
    static copy_transformation state;
    return state;
}

void xform_pnts(float* point, float* direction, const matrix3& matrix, const point3& translation)
{
    float out[3];
    if (point) {
        rotate(point, out, matrix);
        for (int r = 0; r < 3; ++r) point[r] = out[r] + translation[static_cast<std::size_t>(r)];
    }
    if (direction) {
        rotate(direction, out, matrix);
        for (int r = 0; r < 3; ++r) direction[r] = out[r];
    }
}

void xform_pnt_dir(point3& point, point3& direction, const matrix3& matrix, const point3& translation)
{
    xform_pnts(point.data(), direction.data(), matrix, translation);
}

void xform_2pnts(point3& first, point3& second, const matrix3& matrix, const point3& translation)
{
    xform_pnts(first.data(), nullptr, matrix, translation);
    xform_pnts(second.data(), nullptr, matrix, translation);
}

void xform_arc(tp_arc_block& arc, const matrix3& matrix, const point3& translation)
{
    const plane_axes a = axes_of(arc.plane);
    point3 centre{};
    centre[static_cast<std::size_t>(a.first)] = arc.centre[0];
    centre[static_cast<std::size_t>(a.second)] = arc.centre[1];
    centre[static_cast<std::size_t>(a.third)] = arc.end[static_cast<std::size_t>(a.third)];
    xform_pnts(centre.data(), nullptr, matrix, translation);
    arc.centre = {centre[static_cast<std::size_t>(a.first)], centre[static_cast<std::size_t>(a.second)]};
    xform_pnt_dir(arc.end, arc.direction, matrix, translation);
    if (mirrors(matrix)) arc.angle = -arc.angle;
}

void shift_z_pair(float& first, float& second, const point3& translation)
{
    first += translation[2];
    second += translation[2];
}

bool mirrors(const matrix3& m)
{
    const float det =
        m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    return det < 0.0f;
}

void mirror_cutcom_side(tp_param_block& block, const matrix3& matrix)
{
    if (block.prmtyp != kCutComParam || !mirrors(matrix)) return;
    int& v = block.int_value;
    if (block.deftyp == kDeftypSubtype) {
        if (v == kLeftSubtype)
            v = kRightSubtype;
        else if (v == kRightSubtype)
            v = kLeftSubtype;
    } else if (block.deftyp == kDeftypValue && !block.is_real) {
        if (v == -1 || v == 1) v = -v;
    }
}
