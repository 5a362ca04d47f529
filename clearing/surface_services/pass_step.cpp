// The trial-step control of the surface pass walk (pass_step_adjust).
#include "clearing/surface_services/pass_step.hpp"

#include "host/vantu_compare.hpp"

#include <cmath>

void pass_step_adjust(float a, float b, float m1, float limit, float m2, float& s, int& status)
{
    status = -1;
    for (float value : {a, b, m1, limit, m2, s})
        if (!std::isfinite(value)) return;
    float t = std::copysign(std::min(std::fabs(m1), std::fabs(m2)), s);
    const bool upper_reached = std::fabs(b) < std::fabs(t) || eqval(t, b);
    const bool lower_passed = std::fabs(a) > std::fabs(t) || eqval(t, a);
    if (upper_reached && lower_passed) return;
    if (lower_passed)
        t = a + 0.1f * (b - a);
    else if (upper_reached)
        t = b - 0.1f * (b - a);
    const float old = s;
    s = std::fabs(t) <= limit ? t : std::copysign((std::fabs(s) + limit) / 2.0f, s);
    status = s == old ? -1 : 0;
}
