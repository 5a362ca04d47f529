// push_triangle_contact_d: how far a cutter moves from the origin along +x before it touches one
// triangle, in double precision in the move's frame (tool axis +z, the tip at the origin at
// travel 0). The face is met at the cutter's point towards the plane; when it is not, the edges
// go to the double-precision edge drop.
#include "cutter/kernels/xy_contact.hpp"

#include "cutter/kernels/torus_travel.hpp"
#include "host/vantu_vector.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kContact = 0;
constexpr int kNotWithinMove = 1;
constexpr int kNoContact = -1;
constexpr int kFaceFirstSource = 2;
// A triangle starting farther than the travel found so far, less this, cannot be met sooner.
constexpr double kSoonerSlack = 1.0e-4;
// A face whose normal has a smaller x runs parallel to the move.
constexpr double kParallelFaceNormalX = 1.5e-4;
constexpr double kNoTravel = -1.0;
constexpr double kEdgesNotFound = 1.0e10;

double signed_yz(const yz_edge_d& e, const double* p) { return e.v * p[1] - e.u * p[2] + e.c; }

// All three signs alike (no tolerance band).
bool one_sign(const double* s)
{
    return (s[0] > 0.0 && s[1] > 0.0 && s[2] > 0.0) || (s[0] < 0.0 && s[1] < 0.0 && s[2] < 0.0);
}

// Whether the point's x, y lie inside the triangle's own XY outline.
bool inside_xy_outline(const double* corners, const double* p)
{
    double s[3];
    for (int k = 0; k < 3; ++k) {
        const double* a = corners + 3 * k;
        const double* b = corners + 3 * ((k + 1) % 3);
        s[k] = (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0]);
    }
    return one_sign(s);
}

}  // namespace

void push_triangle_contact_d(const signed char& normal_source, const double* origin, const double* move,
                             const double* radii, const int& type_code, const double& unused, const double* corners,
                             const yz_edge_d* edges, const int* edge_status, const double* plane,
                             const double& edge_value, double* tool_point, double* contact, double& travel, int& status)
{
    (void)unused;
    const bool face_first = normal_source == kFaceFirstSource || normal_source == -kFaceFirstSource;
    const double radius = radii[0], corner = radii[1];
    std::copy(origin, origin + 3, tool_point);

    const double lowest_x = std::min({corners[0], corners[3], corners[6]});
    if (lowest_x > radius + travel - kSoonerSlack) {
        status = kNotWithinMove;
        travel = kNoTravel;
        return;
    }
    travel = kNoTravel;

    // The cutter's point towards the plane, the tip at the origin.
    const double* n = plane;
    double horizontal[2] = {n[0], n[1]}, length = 0.0;
    int unit_status = 0;
    v2untd(horizontal, length, unit_status);
    double c[3] = {-corner * n[0], -corner * n[1], corner - corner * n[2]};
    if (type_code != kCutterBall && unit_status == 0) {
        c[0] -= (radius - corner) * horizontal[0];
        c[1] -= (radius - corner) * horizontal[1];
    }
    std::copy(c, c + 3, contact);
    const bool degenerate = edge_status[0] != 0 || edge_status[1] != 0 || edge_status[2] != 0;

    const double low_z = std::min({corners[2], corners[5], corners[8]});
    const double high_z = std::max({corners[2], corners[5], corners[8]});
    const bool level = eqvald(n[2], 1.0) != 0;
    const bool face_tried =
        !degenerate && nevl0d(n[2]) && (!level || (low_z < 0.0 && 0.0 < high_z)) && !face_first && !gtvl0d(n[0]);
    if (face_tried) {
        const double s[3] = {signed_yz(edges[0], c), signed_yz(edges[1], c), signed_yz(edges[2], c)};
        if (one_sign(s)) {
            if (std::fabs(n[0]) >= kParallelFaceNormalX) {
                const double xp = -(n[1] * c[1] + n[2] * c[2] + n[3]) / n[0];
                contact[0] = xp;
                travel = xp - c[0];
                tool_point[0] = travel;
                if (travel >= 0.0) {
                    status = travel > move[0] ? kNotWithinMove : kContact;
                    return;
                }
                // The plane lies behind C: already in contact when C is under the triangle and
                // below its plane.
                if (inside_xy_outline(corners, c) && n[0] * c[0] + n[1] * c[1] + n[2] * c[2] + n[3] < 0.0) {
                    travel = 0.0;
                    tool_point[0] = 0.0;
                    status = kContact;
                    return;
                }
            } else {
                const double nearest_y =
                    std::min({std::fabs(corners[1]), std::fabs(corners[4]), std::fabs(corners[7])});
                if (nearest_y >= radius) {
                    status = kNoContact;
                    return;
                }
            }
        }
    }

    status = kNoContact;
    travel = kEdgesNotFound;
    int edge_status_out = kNoContact;
    triangle_edges_drop_d(edge_value, corners, move, radii, tool_point, travel, contact, edge_status_out);
    if (edge_status_out == kContact) {
        status = kContact;
        tool_point[0] = travel;
    }
}
