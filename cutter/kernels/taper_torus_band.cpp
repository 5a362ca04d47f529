// The vertex and edge cases of the tapered toroidal solver. On a tapered cutter the cone band is
// tried first: where its cone meets the feature decides whether the contact lies on the band
// itself, or on the corner or the top torus, which then runs the shared torus case. Motion upwards
// within the taper of the axis goes to the top torus at once. taper_torus_tri_contact's loop
// calls them; they read and write taper_torus_state_block.
#include "cutter/kernels/taper_torus_state.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMet = 0;
constexpr int kMissed = 1;
constexpr int kTopDecides = 2;
// A vertex this close to the cone (scaled coefficients) moving along it lies on it.
constexpr double kOnCone = 1.0e-10;
// A cone line whose direction lies this close to the sweep plane does not cross it.
constexpr double kAlongPlane = 1.0e-10;
// A cone point this little below the apex still counts on the upper nappe.
constexpr double kApexSlack = 1.0e-8;

// Whether the motion rises within the taper of the axis.
bool steeply_up(const taper_torus_state& ts) { return ts.torus.u.z > 0.0 && ts.torus.u.z >= ts.cosine; }

// Which torus a cone point outside the band points to.
int torus_of(const taper_torus_state& ts, const vec3& f) { return f.z < ts.zl ? kCornerTorus : kTopTorus; }

// The larger (or smaller) root of the scaled quadratic a l^2 + 2 b l + k = 0; false for none.
bool band_root(double a, double b, double k, double sq, double& lambda)
{
    if (a != 0.0) {
        const double l1 = (sq - b) / a, l2 = (-sq - b) / a;
        lambda = a > 0.0 ? std::max(l1, l2) : std::min(l1, l2);
        return true;
    }
    // The reciprocal form: one of its roots is infinite; that one is no contact.
    const double d1 = sq - b, d2 = -sq - b;
    if (d1 == 0.0 && d2 == 0.0) return false;
    const double l2 = k / d2;
    const double l1 = d1 == 0.0 ? l2 : k / d1;
    lambda = k > 0.0 ? std::max(l1, l2) : std::min(l1, l2);
    return std::isfinite(lambda);
}

// The choice of a tapered cutter for one feature (vertex or edge), the same for both: motion
// rising within the taper goes to the top torus; otherwise band(f, met) finds where the band's
// cone meets the feature: nowhere (no contact), the top torus deciding, a point within the band
// (on_band(f) takes it there), or a point below or above the band, whose torus decides. True when
// the torus set in ts is to run the shared torus case; any other cutter runs it as it stands.
template <class Band, class OnBand> bool torus_decides(taper_torus_state& ts, Band band, OnBand on_band)
{
    if (ts.kind != kTorusKindTapered) return true;
    if (steeply_up(ts)) {
        use_torus(ts, kTopTorus);
        return true;
    }
    vec3 f;
    int met = kMissed;
    band(f, met);
    if (met == kMissed) return false;
    if (met == kTopDecides) {
        use_torus(ts, kTopTorus);
    } else if (f.z >= ts.zl && f.z <= ts.zu) {
        on_band(f);
        return false;
    } else {
        use_torus(ts, torus_of(ts, f));
    }
    return true;
}

}  // namespace

void cone_band_vertex_contact(const vec3& vertex, vec3& f, int& status)
{
    const taper_torus_state& ts = taper_torus_state_block;
    const vec3& u = ts.torus.u;
    const double tn = ts.tangent;
    status = kMissed;
    const double dx = vertex.x - ts.point.x, dy = vertex.y - ts.point.y;
    const double rv = (vertex.z - ts.top.C.z + ts.sine * ts.offset) * tn + ts.rhou;
    double a = u.x * u.x + u.y * u.y - u.z * u.z * tn * tn;
    double b = u.x * dx + u.y * dy - rv * u.z * tn;
    double k = dx * dx + dy * dy - rv * rv;
    const double sum = std::fabs(a) + std::fabs(b) + std::fabs(k);
    if (sum == 0.0) return;
    a /= sum;
    b /= sum;
    k /= sum;
    if (std::fabs(a) + std::fabs(k) < kOnCone) {
        f = vertex;
        status = kMet;
        return;
    }
    const double disc = b * b - a * k;
    if (disc <= 0.0) return;
    double lambda = 0.0;
    if (!band_root(a, b, k, std::sqrt(disc), lambda)) return;
    f = vertex + lambda * u;
    if (f.z > ts.za) status = kMet;
}

void cone_band_edge_contact(vec3& f, int& status)
{
    const taper_torus_state& ts = taper_torus_state_block;
    const torus_state& s = ts.torus;
    const vec3& d = s.D;
    const double hd = length_xy(d);
    if (ts.cosine * hd <= std::fabs(d.z) * ts.sine) {
        status = kTopDecides;
        return;
    }
    const double kx = ts.tangent * d.z / hd;
    const double kw = std::sqrt(std::max(0.0, 1.0 - kx * kx));
    const vec3 g[2] = {{(d.x * kx + d.y * kw) / hd, (d.y * kx - d.x * kw) / hd, 0.0},
                       {(d.x * kx - d.y * kw) / hd, (d.y * kx + d.x * kw) / hd, 0.0}};
    const vec3 n = cross(d, s.u);
    const double rise = ts.cosine / ts.sine;
    vec3 point[2];
    double across[2], facing[2];
    for (int i = 0; i < 2; ++i) {
        const vec3 start{ts.point.x + ts.lower_radius * g[i].x, ts.point.y + ts.lower_radius * g[i].y, ts.zl};
        const vec3 line{g[i].x, g[i].y, rise};
        across[i] = dot(n, line);
        const double mu = across[i] != 0.0 ? (dot(n, s.A) - dot(n, start)) / across[i] : 0.0;
        point[i] = start + mu * line;
        facing[i] = dot(s.u, vec3{-g[i].x * rise, -g[i].y * rise, 1.0});
    }
    if (facing[0] >= 0.0 && facing[1] >= 0.0) {
        status = kTopDecides;
        return;
    }
    status = kMissed;
    for (int i = 0; i < 2; ++i)
        if (std::fabs(across[i]) >= kAlongPlane && facing[i] < 0.0 && point[i].z > ts.za - kApexSlack) {
            f = point[i];
            status = kMet;
            return;
        }
}

void taper_torus_vertex_contact(const vec3& vertex, int& status)
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    status = kMissed;
    const auto band = [&](vec3& f, int& met) { cone_band_vertex_contact(vertex, f, met); };
    const auto on_band = [&](const vec3& f) {
        s.A = vertex;
        s.F = f;
        taper_torus_normal_at();
        status = kMet;
    };
    if (torus_decides(ts, band, on_band)) torus_vertex_contact(s, vertex, status);
}

void taper_torus_edge_contact(const vec3& a, const vec3& b, double& t, int& status)
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    status = kMissed;
    if (!edge_sweep_plane(s, a, b)) return;
    const auto band = [](vec3& f, int& met) { cone_band_edge_contact(f, met); };
    const auto on_band = [&](const vec3& f) {
        s.F = f;
        status = edge_param_at(s, t) ? kMet : kMissed;
    };
    if (torus_decides(ts, band, on_band)) torus_edge_contact(s, a, b, t, status, true);
}
