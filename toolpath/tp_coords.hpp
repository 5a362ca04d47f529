// MACSYS to world: the block readers turn points, directions and lone z values read with WHERE
// 4 and 5 into world coordinates through the current MACSYS, held in double precision.
#pragma once

#include <array>

struct macsys_frame {
    std::array<double, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};  // row by row
    std::array<double, 3> origin{};
    std::array<double, 2> z_point_xy{};  // x and y of the point by which a lone z is converted
};

macsys_frame& MACSYS();

void macsys_to_world_d(const double* in, double* out);
void macsys_to_world_pnt(const float* in, float* out);
void macsys_to_world_vec(const float* in, float* out);
float macsys_to_world_z(float value);
