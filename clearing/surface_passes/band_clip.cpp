// Clipping of surface strings to the Z band of a pass.
#include "clearing/surface_passes/band_clip.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int kFailed = -1;
// A point counts as inside up to this far above the ceiling (or the tolerance when smaller):
// the strings' heights carry float rounding of the drop, which must not split a pass lying on
// the ceiling.
constexpr float kCeilingSlack = 0.001f;
// A stretch whose unit direction rises less than this is nearly horizontal: a point on it just
// above the floor is taken as lying on the floor.
constexpr float kFlatRise = 0.05f;

using point3 = std::array<float, 3>;

enum class band_side { below, inside, above };

struct band {
    float lower, upper, tol;
    band_side side(float z) const
    {
        if (z == lower || z == upper) return band_side::inside;
        if (z > lower && z < upper + std::min(kCeilingSlack, tol)) return band_side::inside;
        return z < lower ? band_side::below : band_side::above;
    }
    bool near_floor(float z) const { return z >= lower && z - lower < tol; }
};

// The output strings, filled point by point and checked against the room after every point.
struct band_writer {
    std::vector<float> points, normals;
    std::vector<int> counts{0};  // the last entry is the open string
    int point_room = 0, string_room = 0, status = 0;

    bool open_has_points() const { return counts.back() > 0; }
    point3 last_point() const
    {
        const auto k = points.size() - 3;
        return {points[k], points[k + 1], points[k + 2]};
    }
    bool write(const float* p, const float* n)
    {
        points.insert(points.end(), p, p + 3);
        const float up[3] = {0.0f, 0.0f, 1.0f};
        normals.insert(normals.end(), n != nullptr ? n : up, (n != nullptr ? n : up) + 3);
        ++counts.back();
        if (static_cast<int>(points.size() / 3) < point_room) return true;
        user1c("ONLY", 'I', point_room, "POINTS PER PASS ARE AVAILABLE");
        status = kFailed;
        return false;
    }
    bool new_string()
    {
        if (static_cast<int>(counts.size()) >= string_room) {
            user1c("ONLY", 'I', string_room, "STRINGS ARE AVAILABLE");
            status = kFailed;
            return false;
        }
        counts.push_back(0);
        return true;
    }
    // Ends the open string with an empty separator after it and opens the next one.
    bool gap() { return new_string() && new_string(); }
};

// One input string with its effective heights (a point lying on the floor counts there).
struct input_string {
    const float* points;
    const float* normals;
    int count;
    const float* point(int i) const { return points + 3 * i; }
    const float* normal(int i) const { return normals != nullptr ? normals + 3 * i : nullptr; }
};

float rise_to(const float* a, const float* b)
{
    const float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return length > 0.0f ? std::fabs(d[2]) / length : 1.0f;
}

// A point just above the floor beside a neighbour that is too, on a nearly horizontal stretch,
// lies on the floor when crossings at it are computed. Inside a string the floor crossing
// between its neighbours must lie farther than the tolerance from the previous point, or the
// crossing would be written again at nearly the same place.
float effective_z(const input_string& s, int i, const band& b)
{
    const float* p = s.point(i);
    if (!b.near_floor(p[2])) return p[2];
    const bool has_prev = i > 0, has_next = i + 1 < s.count;
    const auto flat_to = [&](int j) { return b.near_floor(s.point(j)[2]) && rise_to(p, s.point(j)) < kFlatRise; };
    if (!((has_prev && flat_to(i - 1)) || (has_next && flat_to(i + 1)))) return p[2];
    if (has_prev && has_next) {
        float at[3], n[3];
        const float* zero = p;  // any normal: only the point is read
        interp_at_z(s.point(i - 1), s.point(i + 1), zero, zero, b.lower, at, n);
        if (std::hypot(at[0] - s.point(i - 1)[0], at[1] - s.point(i - 1)[1]) <= b.tol) return p[2];
    }
    return b.lower;
}

// Writes the crossing of the stretch from point i-1 to point i with height z.
bool write_crossing(band_writer& w, const input_string& s, int i, const float* z_eff, float z)
{
    float a[3] = {s.point(i - 1)[0], s.point(i - 1)[1], z_eff[i - 1]};
    float b[3] = {s.point(i)[0], s.point(i)[1], z_eff[i]};
    const float up[3] = {0.0f, 0.0f, 1.0f};
    const float* na = s.normal(i - 1) != nullptr ? s.normal(i - 1) : up;
    const float* nb = s.normal(i) != nullptr ? s.normal(i) : up;
    float p[3], n[3];
    interp_at_z(a, b, na, nb, z, p, n);
    return w.write(p, n);
}

bool write_at(band_writer& w, const input_string& s, int i, float z)
{
    const float p[3] = {s.point(i)[0], s.point(i)[1], z};
    return w.write(p, s.normal(i));
}

// The last written point is input point i-1 (same plane position, height within the tolerance).
bool last_is_previous(const band_writer& w, const input_string& s, int i, float tol)
{
    const point3 last = w.last_point();
    const float* q = s.point(i - 1);
    return last[0] == q[0] && last[1] == q[1] && std::fabs(last[2] - q[2]) <= tol;
}

bool clip_point(band_writer& w, const input_string& s, int i, const std::vector<float>& z, const band& b)
{
    const float* p = s.point(i);
    const band_side side = b.side(p[2]);
    const bool first = i == 0, last = i + 1 == s.count;
    const band_side previous = first ? side : b.side(s.point(i - 1)[2]);
    switch (side) {
    case band_side::inside:
        if (!first && previous != band_side::inside &&
            !write_crossing(w, s, i, z.data(), previous == band_side::below ? b.lower : b.upper))
            return false;
        return write_at(w, s, i, p[2] - b.lower < b.tol ? b.lower : p[2]);
    case band_side::above:
        if (!w.open_has_points()) return true;
        if (!first && last_is_previous(w, s, i, b.tol) && w.last_point()[2] < b.upper) {
            if (!write_crossing(w, s, i, z.data(), b.upper)) return false;
        } else if (previous == band_side::below) {
            if (!write_crossing(w, s, i, z.data(), b.lower) || !write_crossing(w, s, i, z.data(), b.upper))
                return false;
        }
        return w.gap();
    case band_side::below:
        if (!w.open_has_points()) {
            if (first) return write_at(w, s, i, b.lower);
            if (previous == band_side::above)
                return write_crossing(w, s, i, z.data(), b.upper) && write_crossing(w, s, i, z.data(), b.lower);
            return true;
        }
        if (!first && w.last_point()[2] > b.lower && !write_crossing(w, s, i, z.data(), b.lower)) return false;
        return !last || write_at(w, s, i, b.lower);
    }
    return true;
}

bool clip_string(band_writer& w, const input_string& s, const band& b)
{
    std::vector<float> z(static_cast<size_t>(s.count));
    for (int i = 0; i < s.count; ++i) z[static_cast<size_t>(i)] = effective_z(s, i, b);
    for (int i = 0; i < s.count; ++i)
        if (!clip_point(w, s, i, z, b)) return false;
    return true;
}

}  // namespace

void interp_at_z(const float* p0, const float* p1, const float* n0, const float* n1, float z, float* p_out,
                 float* n_out)
{
    const float rise = std::fabs(p1[2] - p0[2]);
    const float t = rise > 0.0f ? std::fabs(z - p0[2]) / rise : 0.0f;
    p_out[0] = (1.0f - t) * p0[0] + t * p1[0];
    p_out[1] = (1.0f - t) * p0[1] + t * p1[1];
    p_out[2] = z;
    for (int k = 0; k < 3; ++k) n_out[k] = (1.0f - t) * n0[k] + t * n1[k];
}

void UPDTPS(float tol, float upper, float lower, int capacity, float* points, float* normals, int& string_count,
            int max_strings, int* point_counts, int& status)
{
    status = kBandClipped;
    if (capacity > kBandRealsMost) {
        eroutc("UPDTPS,MISMATCH BETWEEN THE NUMBER OF POSSIBLE POINTS", 0);
        status = kFailed;
        return;
    }
    if (string_count <= 0) return;
    const bool last_empty = point_counts[string_count - 1] == 0;
    const int walked = last_empty ? string_count - 1 : string_count;
    band_writer w;
    // The caller's arrays bound the result as the block's limits do: the copy back goes there.
    w.point_room = std::max(capacity, 0) / 3;
    w.string_room = std::min(kBandStringsMost, max_strings);
    const band b{lower, upper, tol};
    int first_point = 0;
    for (int k = 0; k < walked; ++k) {
        const input_string s{points + 3 * first_point, normals != nullptr ? normals + 3 * first_point : nullptr,
                             point_counts[k]};
        first_point += point_counts[k];
        // Every input string starts an output string; an empty one in between stays a separator.
        if (w.open_has_points() && !w.new_string()) break;
        const size_t open = w.counts.size() - 1;
        if (s.count == 0 && open > 0 && w.counts[open - 1] > 0 && !w.new_string()) break;
        if (!clip_string(w, s, b)) break;
    }
    if (w.status != 0) {
        status = w.status;
        return;
    }
    if (!w.open_has_points()) w.counts.pop_back();
    string_count = static_cast<int>(w.counts.size());
    std::copy(w.counts.begin(), w.counts.end(), point_counts);
    std::copy(w.points.begin(), w.points.end(), points);
    if (normals != nullptr) std::copy(w.normals.begin(), w.normals.end(), normals);
    status = last_empty ? kBandLastEmpty : kBandClipped;
}
