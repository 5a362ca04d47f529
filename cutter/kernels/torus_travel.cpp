// The toroidal solvers along +x onto one triangle (see the header).
#include "cutter/kernels/torus_travel.hpp"

#include "cutter/kernels/torus_contact.hpp"

#include <algorithm>

namespace {

constexpr int kContact = 0;
constexpr int kAllBelow = 2;
constexpr int kNoContact = -1;
// Corners below this height under a level push cannot be met.
constexpr double kBelowTip = 1.0e-5;

const double kAlongX[3] = {1.0, 0.0, 0.0};

// A solver's answer in the statuses above: the travel, tool point and contact when it met the
// triangle at a travel of 0 or more; otherwise no contact, the outputs untouched.
void take_contact(int solver, double distance, const double* touch, const double* tip, double* tool_point,
                  double& travel, double* contact, int& status)
{
    if (solver != kTorusContact || !(distance >= 0.0)) {
        status = kNoContact;
        return;
    }
    travel = distance;
    std::copy(tip, tip + 3, tool_point);
    std::copy(touch, touch + 3, contact);
    status = kContact;
}

}  // namespace

void triangle_edges_drop_d(const double&, const double* corners, const double*, const double* radii, double* tool_point,
                           double& travel, double* contact, int& status)
{
    if (corners[2] < kBelowTip && corners[5] < kBelowTip && corners[8] < kBelowTip) {
        status = kAllBelow;
        return;
    }
    const double origin[3] = {0.0, 0.0, 0.0};
    double distance = 0.0, touch[3], tip[3];
    int solver = 0;
    torus_tri_contact(corners, origin, radii[0], radii[1], kAlongX, distance, touch, tip, solver);
    take_contact(solver, distance, touch, tip, tool_point, travel, contact, status);
}

void taper_triangle_drop(const double* cutter, const double* corners, double* tool_point, double& travel,
                         double* contact, int& status)
{
    const double origin[3] = {0.0, 0.0, 0.0};
    const double no_offset = 0.0;
    double distance = 0.0, touch[3], point[3];
    int solver = 0;
    taper_torus_tri_contact(corners, origin, cutter[0], cutter[1], cutter[2], cutter[3], no_offset, kAlongX, distance,
                            touch, point, solver);
    take_contact(solver, distance, touch, point, tool_point, travel, contact, status);
}
