// Rotations and rigid transformations: the current view's rotation (set by the part or a test),
// the check of a rotation, the transformation of a work plane, and the building and use of a
// transformation (host/vantu_transforms.hpp).
#include "host/control/trim_host.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_transforms.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

using rotation = std::array<double, kRotationDoubles>;
constexpr rotation kIdentity{1, 0, 0, 0, 1, 0, 0, 0, 1};

rotation view_rotation = kIdentity;

void reset_view() { view_rotation = kIdentity; }

const bool transforms_registered = vantu::register_component({"view_rotation", reset_view, nullptr, nullptr, nullptr});

double row_dot(const double* r, int a, int b)
{
    return r[3 * a] * r[3 * b] + r[3 * a + 1] * r[3 * b + 1] + r[3 * a + 2] * r[3 * b + 2];
}

double determinant(const double* r)
{
    return r[0] * (r[4] * r[8] - r[5] * r[7]) - r[1] * (r[3] * r[8] - r[5] * r[6]) + r[2] * (r[3] * r[7] - r[4] * r[6]);
}

int rotation_kind(const double* r)
{
    if (r == nullptr || !std::all_of(r, r + kRotationDoubles, [](double v) { return std::isfinite(v); }))
        return kRotationBad;
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            if (std::abs(row_dot(r, a, b) - (a == b ? 1.0 : 0.0)) > vantu::kDoubleTolerance) return kRotationBad;
        }
    }
    if (std::abs(determinant(r) - 1.0) > vantu::kDoubleTolerance) return kRotationBad;
    for (int i = 0; i < kRotationDoubles; ++i) {
        if (std::abs(r[i] - kIdentity[static_cast<std::size_t>(i)]) > vantu::kDoubleTolerance) return kRotationProper;
    }
    return kRotationIdentity;
}

}  // namespace

void gtvrot(double (&rotation)[kRotationDoubles])
{
    std::copy(view_rotation.begin(), view_rotation.end(), rotation);
    vantu::trace_count("gtvrot");
}

void trchkd(const double* rotation, int& kind)
{
    kind = rotation_kind(rotation);
    vantu::trace_call("trchkd", "", kind);
}

void m3crtd(const double* rotation, const double* origin, double (&transform)[kTransformDoubles], int& status)
{
    status = rotation_kind(rotation) == kRotationBad || origin == nullptr ? -1 : 0;
    if (status == 0) {
        std::copy(rotation, rotation + kRotationDoubles, transform);
        for (int i = 0; i < 3; ++i) {
            transform[kRotationDoubles + i] =
                -(rotation[3 * i] * origin[0] + rotation[3 * i + 1] * origin[1] + rotation[3 * i + 2] * origin[2]);
        }
    }
    vantu::trace_call("m3crtd", "", status);
}

void trgetd(int plane, double (&transform)[kTransformDoubles], int& status)
{
    status = 0;
    std::copy(kIdentity.begin(), kIdentity.end(), transform);
    std::fill(transform + kRotationDoubles, transform + kTransformDoubles, 0.0);
    if (plane != 0) {
        const auto frame = vantu::frame_of_entity(plane);
        if (frame) {
            const double axes[kRotationDoubles] = {frame->x[0], frame->x[1], frame->x[2], frame->y[0], frame->y[1],
                                                   frame->y[2], frame->z[0], frame->z[1], frame->z[2]};
            m3crtd(axes, frame->origin.data(), transform, status);
        } else {
            status = -1;
        }
    }
    vantu::trace_call("trgetd", std::to_string(plane), status);
}

void m3vc2d(const double* transform, const double* point, double* result)
{
    const double p[3] = {point[0], point[1], point[2]};
    for (int i = 0; i < 3; ++i) {
        result[i] = transform[3 * i] * p[0] + transform[3 * i + 1] * p[1] + transform[3 * i + 2] * p[2] +
                    transform[kRotationDoubles + i];
    }
}

namespace vantu::control {

bool set_view_rotation(const std::vector<double>& rotation)
{
    if (rotation.size() != kRotationDoubles || rotation_kind(rotation.data()) == kRotationBad) return false;
    std::copy(rotation.begin(), rotation.end(), view_rotation.begin());
    return true;
}

}  // namespace vantu::control
