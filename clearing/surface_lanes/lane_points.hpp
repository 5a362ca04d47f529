// Points of lanes laid on the part surfaces: single-precision (x, y, z) records, the small vector
// helpers the projection, the filling and the refinement of such lanes share, and the host
// growable array that holds a string of them.
#pragma once

#include <array>
#include <cmath>

using lane_pnt = std::array<float, 3>;

// A z at or above this marks a lane point left out or not projected.
inline constexpr float kLaneMissingZ = 1.0e9f;
// The z (and, for a failed projection, x and y) of such a point.
inline constexpr float kLaneMarker = 1.0e10f;

inline bool lane_pnt_missing(const lane_pnt& p) { return p[2] >= kLaneMissingZ; }

inline lane_pnt lane_pnt_of(const float* p) { return {p[0], p[1], p[2]}; }
inline lane_pnt operator+(const lane_pnt& a, const lane_pnt& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline lane_pnt operator-(const lane_pnt& a, const lane_pnt& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline lane_pnt operator*(float k, const lane_pnt& a) { return {k * a[0], k * a[1], k * a[2]}; }
inline float lane_dot(const lane_pnt& a, const lane_pnt& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline float lane_dist(const lane_pnt& a, const lane_pnt& b) { return std::sqrt(lane_dot(a - b, a - b)); }
inline float lane_dist_xy(const lane_pnt& a, const lane_pnt& b) { return std::hypot(a[0] - b[0], a[1] - b[1]); }
inline lane_pnt lane_cross(const lane_pnt& a, const lane_pnt& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
// Makes the vector unit; false (vector unchanged) when it has no length.
inline bool lane_unit(lane_pnt& a)
{
    const float l = std::sqrt(lane_dot(a, a));
    if (!(l > 0.0f)) return false;
    a = (1.0f / l) * a;
    return true;
}

// A host growable array of lane points (12-byte records) held by one frame: opened with a size,
// grown on demand with the base fetched again, closed on every way out unless handed on.
class lane_point_array {
public:
    lane_point_array() = default;
    ~lane_point_array();
    lane_point_array(const lane_point_array&) = delete;
    lane_point_array& operator=(const lane_point_array&) = delete;

    // Opens room for `records` points. Status of the host.
    void open(int records, int& status);
    // Makes room for `records` more beyond `used`, growing by at least `least` records. Status of
    // the host (the array and its points unchanged on failure).
    void reserve(int used, int records, int least, int& status);
    lane_pnt* base() const;
    int handle() const { return handle_; }
    // Takes over an array opened elsewhere (closed with this one).
    void adopt(int handle) { handle_ = handle; }
    // The records the host array holds now (a refinement may have grown it).
    int capacity() const;

private:
    int handle_ = -1;
};

// The number of records of the host array behind the handle, 0 when it is not open.
int lane_points_capacity(int handle);
// Grows the host array behind the handle so that it holds `needed` records, by at least `least`
// records. Status 0 (nothing done when it holds them already) or the host's.
void lane_points_fit(int handle, int needed, int least, int& status);
