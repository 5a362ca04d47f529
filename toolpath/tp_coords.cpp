// MACSYS to world conversion of points, directions and lone z values.
#include "toolpath/tp_coords.hpp"

macsys_frame& MACSYS()
{
    static macsys_frame frame;
    return frame;
}

static void rotate(const double* in, double* out)
{
    const auto& m = MACSYS().matrix;
    for (int r = 0; r < 3; ++r) out[r] = m[3 * r] * in[0] + m[3 * r + 1] * in[1] + m[3 * r + 2] * in[2];
}

void macsys_to_world_d(const double* in, double* out)
{
    double rotated[3];
    rotate(in, rotated);
    for (int r = 0; r < 3; ++r) out[r] = rotated[r] + MACSYS().origin[r];
}

void macsys_to_world_pnt(const float* in, float* out)
{
    const double point[3] = {in[0], in[1], in[2]};
    double world[3];
    macsys_to_world_d(point, world);
    for (int r = 0; r < 3; ++r) out[r] = static_cast<float>(world[r]);
}

void macsys_to_world_vec(const float* in, float* out)
{
    const double vector[3] = {in[0], in[1], in[2]};
    double world[3];
    rotate(vector, world);
    for (int r = 0; r < 3; ++r) out[r] = static_cast<float>(world[r]);
}

float macsys_to_world_z(float value)
{
    const double point[3] = {MACSYS().z_point_xy[0], MACSYS().z_point_xy[1], value};
    double world[3];
    macsys_to_world_d(point, world);
    return static_cast<float>(world[2]);
}
