// Contact geometry of the cutters (see the header). Every fuzzy decision goes through the host's
// comparisons and unit-vector routines, so the tolerances are the host's.
#include "cutter/kernels/contact_geometry.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_vector.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/warn_at_point.hpp"

#include <cmath>

namespace {

// A normal within this of (0, 0, +-1) meets a level surface with the flat bottom:
// tool_point_from_normal snaps it; tool_tip_offset snaps ten times as far.
constexpr float kLevelSnapPoint = 5.0e-6f;
constexpr float kLevelSnapTip = 5.0e-5f;
// |N.z| below this: the contact is on a wall.
constexpr float kWallNormalZ = 0.05f;
// N.z below this: the surface faces downwards (under-cut).
constexpr float kUnderCutNormalZ = -1.0e-4f;
// The machining type whose surfaces are always taken as level.
constexpr int kLevelMachiningType = 14;

// The flat radius: the distance from the axis of the corner's centre.
float flat_radius(float diameter, float corner_radius, bool tapered, float taper_radians)
{
    const float e =
        tapered ? (1.0f - std::sin(taper_radians)) * corner_radius / std::cos(taper_radians) : corner_radius;
    return diameter * 0.5f - e;
}

void set3(float* v, float x, float y, float z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

// N := unit(v), or (0, 0, 1) with status 2 when v has no length.
void unit_normal(const float* v, float* normal, int& status)
{
    float n[3] = {v[0], v[1], v[2]}, length = 0.0f;
    int unit_status = 0;
    v3unit(n, length, unit_status);
    if (unit_status != 0) {
        set3(normal, 0.0f, 0.0f, 1.0f);
        status = kContactOnAxis;
        return;
    }
    set3(normal, n[0], n[1], n[2]);
}

// The horizontal unit of (x, y); false when it has no length.
bool horizontal_unit(float x, float y, float* unit)
{
    unit[0] = x;
    unit[1] = y;
    float length = 0.0f;
    int status = 0;
    v2unit(unit, length, status);
    return status == 0;
}

}  // namespace

void tool_contact_offset(const float& diameter, const float& corner_radius, const float& taper, const float& x_fillet,
                         const float& y_top, const float* tip, const float* contact, float* normal, int& status)
{
    status = kContactSound;
    set3(normal, 0.0f, 0.0f, 0.0f);
    const bool tapered = neval0(taper) != 0;
    const float radius = diameter * 0.5f;
    float u[2];
    v2sub(contact, tip, u);
    float rho = 0.0f;
    int unit_status = 0;
    v2unit(u, rho, unit_status);
    if (unit_status != 0) {
        set3(normal, 0.0f, 0.0f, 1.0f);
        status = kContactOnAxis;
        return;
    }
    float centre_from[3] = {contact[0], contact[1], contact[2]};  // C
    float w = radius - corner_radius;
    float corner = corner_radius;
    if (tapered) {
        const float s = std::sin(taper), c = std::cos(taper);
        w = radius - (1.0f - s) * corner_radius / c;
        const float rho_corner = radius + (1.0f - s) * corner_radius * s / c;
        const float rho_top = radius + (y_top - s * x_fillet) * s / c;
        if (leval(rho, rho_corner)) {
            // on the corner or the bottom: as untapered with the tapered flat radius
        } else if (leval(rho, rho_top)) {
            float out[2];
            if (!horizontal_unit(-u[0], -u[1], out)) {
                set3(normal, 0.0f, 0.0f, 1.0f);
                return;
            }
            set3(normal, c * out[0], c * out[1], s);
            return;
        } else {
            // Above the flank: the top fillet of radius X, its centre at radius rho_top - c X and
            // Y over the tip. C is placed so that P + (0, 0, X) - C runs from the contact to it.
            w = 0.0f;
            corner = x_fillet;
            const float along = rho_top - c * x_fillet;
            centre_from[0] = contact[0] - along * u[0];
            centre_from[1] = contact[1] - along * u[1];
            centre_from[2] = contact[2] + x_fillet - y_top;
        }
    }
    if (ltval(rho, w)) {
        set3(normal, 0.0f, 0.0f, 1.0f);
        status = kContactOnAxis;
        return;
    }
    float v[3];
    if (eqval0(corner)) {
        set3(v, tip[0] - centre_from[0], tip[1] - centre_from[1], tip[2] - centre_from[2]);
    } else {
        set3(v, tip[0] + w * u[0] - centre_from[0], tip[1] + w * u[1] - centre_from[1],
             tip[2] + corner - centre_from[2]);
    }
    unit_normal(v, normal, status);
}

void tool_point_from_normal(const float& diameter, const float& corner_radius, const float& taper_degrees,
                            const float* contact_record, const int& mode, float* normal, float* tip, int& status)
{
    status = kContactSound;
    const bool tapered = neval0(taper_degrees) != 0;
    const float taper = radian(taper_degrees);
    const float w = flat_radius(diameter, corner_radius, tapered, taper);
    const float* p = contact_record;

    if (mode != 0) {
        if (machining_type() == kLevelMachiningType) {
            set3(normal, 0.0f, 0.0f, 1.0f);
        } else {
            const float* t1 = contact_record + 3;
            const float* t2 = contact_record + 6;
            float n[3], length = 0.0f;
            int unit_status = 0;
            if (mode == 1)
                v3cros(t1, t2, n);
            else
                v3cros(t2, t1, n);
            v3unit(n, length, unit_status);
            if (unit_status != 0) {
                warn_at_point("WARNING: NORMAL TO SURFACE IS UNDEFINED AT:", p, "");
                status = kContactSteep;
                return;
            }
            set3(normal, n[0], n[1], n[2]);
        }
    }

    float u[3] = {normal[0], normal[1], normal[2]};
    if (std::fabs(1.0f - std::fabs(normal[2])) <= kLevelSnapPoint && neval0(w))
        set3(u, 0.0f, 0.0f, normal[2] < 0.0f ? -1.0f : 1.0f);
    if (std::fabs(u[2]) < kWallNormalZ) status = kContactWall;
    if (u[2] < kUnderCutNormalZ) status = kContactUnderCut;
    if (tapered) {
        const float sine = std::cos(radian(90.0f - taper_degrees));
        if (u[2] < sine) {
            u[2] = sine;
            float length = 0.0f;
            int unit_status = 0;
            v3unit(u, length, unit_status);
            if (status != kContactUnderCut) status = kContactSteep;
        }
    }

    set3(tip, p[0] + corner_radius * u[0], p[1] + corner_radius * u[1], p[2] + corner_radius * u[2]);
    float out[2];
    if (!horizontal_unit(u[0], u[1], out)) {
        if (status == kContactSound) status = kContactOnAxis;
        set3(tip, p[0], p[1], p[2]);
        if (u[2] < 0.0f) tip[2] -= 2.0f * corner_radius;
        return;
    }
    tip[0] += w * out[0];
    tip[1] += w * out[1];
    tip[2] -= corner_radius;
}

void tool_tip_offset(const float& diameter, const float& corner_radius, const float& taper, const float* tip,
                     const float* normal, float* contact, int& status)
{
    status = kContactSound;
    const bool tapered = neval0(taper) != 0;
    const float w = flat_radius(diameter, corner_radius, tapered, taper);
    float v[3] = {normal[0], normal[1], normal[2]};
    if (std::fabs(1.0f - std::fabs(normal[2])) <= kLevelSnapTip && neval0(w)) set3(v, 0.0f, 0.0f, 1.0f);
    if (std::fabs(v[2]) < kWallNormalZ) status = kContactWall;
    if (v[2] < kUnderCutNormalZ) status = kContactUnderCut;
    if (tapered && normal[2] < std::sin(taper)) status = kContactGouge;

    const float p[3] = {tip[0], tip[1], tip[2]};  // the contact may be written over the tip
    float out[2];
    if (!horizontal_unit(v[0], v[1], out)) {
        if (status == kContactSound) status = kContactOnAxis;
        set3(contact, p[0], p[1], p[2]);
        return;
    }
    set3(contact, p[0] - w * out[0] - corner_radius * normal[0], p[1] - w * out[1] - corner_radius * normal[1],
         p[2] + corner_radius - corner_radius * normal[2]);
}

void offset_point_d(const float* a, const float* b, const float* c, const float* e, const float* x, float* vector,
                    int& status)
{
    const double xd[3] = {x[0], x[1], x[2]};
    const double ad[3] = {a[0], a[1], a[2]};
    const double bd[3] = {b[0], b[1], b[2]};
    const double to_a = distd(3, xd, ad), to_b = distd(3, xd, bd);
    const double t = to_a + to_b == 0.0 ? 1.0 : to_b / (to_a + to_b);
    double v[3];
    for (int k = 0; k < 3; ++k) v[k] = t * c[k] + (1.0 - t) * e[k];
    double length = 0.0;
    vunitd(3, v, length, status);
    for (int k = 0; k < 3; ++k) vector[k] = static_cast<float>(v[k]);
}
