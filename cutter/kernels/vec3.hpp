// A small double-precision 3-vector for the contact kernels' inner geometry: the toroidal
// solvers keep their working points in it and read and write the callers' double arrays at
// their boundary only. Inline: the solvers run per candidate triangle at every tool point.
#pragma once

#include <cmath>

struct vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    static vec3 from(const double* p) { return {p[0], p[1], p[2]}; }
    void to(double* p) const
    {
        p[0] = x;
        p[1] = y;
        p[2] = z;
    }
};

inline vec3 operator+(const vec3& a, const vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline vec3 operator-(const vec3& a, const vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vec3 operator-(const vec3& a) { return {-a.x, -a.y, -a.z}; }
inline vec3 operator*(double k, const vec3& a) { return {k * a.x, k * a.y, k * a.z}; }
inline double dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline vec3 cross(const vec3& a, const vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const vec3& a) { return std::sqrt(dot(a, a)); }
// The horizontal part's length and the scalar product of the horizontal parts.
inline double length_xy(const vec3& a) { return std::hypot(a.x, a.y); }
inline double dot_xy(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y; }
// a scaled to unit length; a itself when it has no length.
inline vec3 unit(const vec3& a)
{
    const double l = length(a);
    return l > 0.0 ? (1.0 / l) * a : a;
}
// The horizontal part of a as a unit vector with z = 0, or the zero vector.
inline vec3 unit_xy(const vec3& a)
{
    const double l = length_xy(a);
    return l > 0.0 ? vec3{a.x / l, a.y / l, 0.0} : vec3{};
}
