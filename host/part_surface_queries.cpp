// Queries over the surface entities of the part (host/vantu_part_surfaces.hpp): their normal
// flags and the nearest of them to a point. Both surface kinds are taken as triangles: a height
// grid's cell splits along its diagonal from node (i, j) to (i + 1, j + 1), a cell with a node
// without surface is left out; a mesh's faces are fans from their first corner.
#include "host/vantu_part_surfaces.hpp"

#include "host/core/entity_store.hpp"
#include "host/core/part_surfaces.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>

namespace {

using vec = std::array<double, 3>;

vec minus(const vec& a, const vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const vec& a, const vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Distance of p from the segment a..b.
double segment_distance(const vec& p, const vec& a, const vec& b)
{
    const vec ab = minus(b, a), ap = minus(p, a);
    const double length = dot(ab, ab);
    const double t = length > 0.0 ? std::clamp(dot(ap, ab) / length, 0.0, 1.0) : 0.0;
    const vec foot{a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
    const vec d = minus(p, foot);
    return std::sqrt(dot(d, d));
}

// Distance of p from the triangle a, b, c: to its plane when the foot lies inside, else to the
// nearest edge.
double triangle_distance(const vec& p, const vec& a, const vec& b, const vec& c)
{
    const vec ab = minus(b, a), ac = minus(c, a);
    const vec n{ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]};
    const double area2 = dot(n, n);
    if (area2 > 0.0) {
        const vec ap = minus(p, a);
        const double height = dot(ap, n) / area2;
        const vec foot{p[0] - height * n[0], p[1] - height * n[1], p[2] - height * n[2]};
        // Barycentric test of the foot.
        const vec af = minus(foot, a);
        const double d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac);
        const double d20 = dot(af, ab), d21 = dot(af, ac), denominator = d00 * d11 - d01 * d01;
        const double v = (d11 * d20 - d01 * d21) / denominator, w = (d00 * d21 - d01 * d20) / denominator;
        if (v >= 0.0 && w >= 0.0 && v + w <= 1.0) return std::fabs(height) * std::sqrt(area2);
    }
    return std::min({segment_distance(p, a, b), segment_distance(p, b, c), segment_distance(p, c, a)});
}

constexpr double kNone = std::numeric_limits<double>::infinity();

double grid_distance(const vantu::part_surface& s, const vec& p)
{
    double best = kNone;
    const auto node = [&s](int i, int j, vec& at) {
        const float z = s.heights[static_cast<std::size_t>(j) * s.nx + i];
        at = {s.x0 + i * s.cell_size, s.y0 + j * s.cell_size, z};
        return std::fabs(z) < kNodeWithoutSurface;
    };
    for (int j = 0; j + 1 < s.ny; ++j)
        for (int i = 0; i + 1 < s.nx; ++i) {
            vec a, b, c, d;
            if (!(node(i, j, a) && node(i + 1, j, b) && node(i + 1, j + 1, c) && node(i, j + 1, d))) continue;
            best = std::min({best, triangle_distance(p, a, b, c), triangle_distance(p, a, c, d)});
        }
    return best;
}

double mesh_distance(const vantu::part_surface& s, const vec& p)
{
    std::ifstream in(s.file_path);
    std::string magic;
    long vertices = 0, faces = 0, edges = 0;
    if (!(in >> magic >> vertices >> faces >> edges) || magic != "OFF" || vertices < 0 || faces < 0) return kNone;
    std::vector<vec> nodes(static_cast<std::size_t>(vertices));
    for (vec& v : nodes)
        if (!(in >> v[0] >> v[1] >> v[2])) return kNone;
    double best = kNone;
    for (long f = 0; f < faces; ++f) {
        long corners = 0;
        if (!(in >> corners) || corners < 0) break;
        std::vector<long> face(static_cast<std::size_t>(corners));
        for (long& k : face)
            if (!(in >> k) || k < 0 || k >= vertices) return best;
        for (std::size_t k = 2; k < face.size(); ++k)
            best = std::min(best, triangle_distance(p, nodes[face[0]], nodes[face[k - 1]], nodes[face[k]]));
    }
    return best;
}

}  // namespace

void nc_surf_nrms(const int* ids, int count, int* flags, int& status)
{
    status = 0;
    for (int k = 0; k < count; ++k) {
        const vantu::entity* e = vantu::find_entity(ids[k]);
        flags[k] = e != nullptr && e->surface ? 1 : 0;
        if (flags[k] == 0 && status == 0) status = e == nullptr ? kEntityMissing : kNotThatSurface;
    }
    vantu::trace_call("nc_surf_nrms", std::to_string(count), status);
}

void clpsrf1(const int* ids, int count, const float* point, float& distance, int& index, int& status)
{
    const vec p{point[0], point[1], point[2]};
    double best = kNone;
    int best_index = -1;
    for (int k = 0; k < count; ++k) {
        const vantu::entity* e = vantu::find_entity(ids[k]);
        if (e == nullptr || !e->surface) continue;
        const double d =
            e->surface->type == kHeightGridType ? grid_distance(*e->surface, p) : mesh_distance(*e->surface, p);
        if (d < best) {
            best = d;
            best_index = k;
        }
    }
    status = best_index < 0 ? -1 : 0;
    if (status == 0) {
        distance = static_cast<float>(best);
        index = best_index;
    }
    vantu::trace_call("clpsrf1", std::to_string(count), status);
}
