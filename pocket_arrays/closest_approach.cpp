// Closest approach of two element ranges of pocket arrays, in the plane or in space. Pairs of
// elements whose boxes do not meet within the reach are skipped; for the others the vertices of
// each are measured against the other's elements, the later of equal candidates winning.
#include "pocket_arrays/nearest_points.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The reach is widened by this so that a contact at exactly the reach counts.
constexpr double kReachSlack = 1.0e-6;

// Candidate kinds.
constexpr int kVertexVertex = 0;
constexpr int kBVertexOnA = 1;
constexpr int kBEndOnA = 2;
constexpr int kAVertexOnB = 3;
constexpr int kAEndOnB = 4;

struct range_view {
    const pokarr& a;
    int nd;
    double coordinate(int i, int c) const
    {
        return c == 0 ? a.x[i] : c == 1 ? a.y[i] : (a.z != nullptr ? a.z[i] : 0.0);
    }
    void point(int i, double* p) const
    {
        for (int c = 0; c < 3; ++c) p[c] = c < nd ? coordinate(i, c) : 0.0;
    }
};

void element_box(const range_view& v, const chain_element& e, double* lo, double* hi)
{
    double s[3], t[3];
    v.point(e.start, s);
    v.point(e.end, t);
    for (int c = 0; c < 3; ++c) lo[c] = std::fmin(s[c], t[c]), hi[c] = std::fmax(s[c], t[c]);
    if (e.arc) arc_box(e.cx, e.cy, e.r, e.dir, s[0], s[1], t[0], t[1], lo[0], lo[1], hi[0], hi[1]);
}

// Distance of point p from element e of v, with the nearest point and the parameter on e.
void point_to_element(const range_view& v, const chain_element& e, const double* p, double& d, double* q, double& t)
{
    double s[3], b[3];
    v.point(e.start, s);
    v.point(e.end, b);
    if (e.arc) {
        arc_dist_pnt(2, p[0], p[1], e.r, e.dir, e.cx, e.cy, s[0], s[1], b[0], b[1], d, q[0], q[1], t);
        q[2] = 0.0;
        if (v.nd == 3) {
            q[2] = s[2] + t * (b[2] - s[2]);
            d = std::hypot(d, p[2] - q[2]);
        }
        return;
    }
    double parameter = 0.0;
    int status = 0;
    q[2] = 0.0;
    dsdlpt(2, v.nd, p, s, b, q, parameter, d, status);
    seg_param_of_pnt_nd(v.nd, s, b, q, t);
}

struct approach {
    int a_element = 0, b_element = 0;
    double a_t = 0.0, b_t = 0.0;
    double distance = kNoDistance;
    double nearest[3] = {0.0, 0.0, 0.0};
    int kind = kNoApproach;
    double reach = 0.0;
    // Takes a candidate not farther than the best (the later of equal ones wins) and within reach.
    void offer(int kind_, int ae, double at, int be, double bt, double d, const double* q)
    {
        if (d > reach || !levald(d, distance)) return;
        a_element = ae, a_t = at, b_element = be, b_t = bt, distance = d, kind = kind_;
        if (q != nullptr)
            for (int c = 0; c < 3; ++c) nearest[c] = q[c];
    }
};

void measure_pair(const range_view& va, const chain_element& ea, int i, bool a_last, const range_view& vb,
                  const chain_element& eb, int j, bool b_last, approach& best)
{
    double pa[3], pb[3], q[3], d = 0.0, t = 0.0;
    va.point(ea.start, pa);
    vb.point(eb.start, pb);
    best.offer(kVertexVertex, i, 0.0, j, 0.0, distd(va.nd, pa, pb), nullptr);
    point_to_element(va, ea, pb, d, q, t);
    best.offer(kBVertexOnA, i, t, j, 0.0, d, q);
    if (b_last) {
        double pe[3];
        vb.point(eb.end, pe);
        point_to_element(va, ea, pe, d, q, t);
        best.offer(kBEndOnA, i, t, eb.next, 0.0, d, q);
    }
    point_to_element(vb, eb, pa, d, q, t);
    best.offer(kAVertexOnB, i, 0.0, j, t, d, q);
    if (a_last) {
        double pe[3];
        va.point(ea.end, pe);
        point_to_element(vb, eb, pe, d, q, t);
        best.offer(kAEndOnB, ea.next, 0.0, j, t, d, q);
    }
}

}  // namespace

void pokarr_min_dist(double reach, const pokarr& a, int a_first, int a_end, const pokarr& b, int b_first, int b_end,
                     int& a_element, double& a_t, int& b_element, double& b_t, double& distance, double* nearest,
                     int& kind)
{
    approach best;
    best.reach = reach + kReachSlack;
    const int nd = a.dimension == 2 || a.z == nullptr || b.z == nullptr ? 2 : 3;
    const range_view va{a, nd}, vb{b, nd};
    a_first = std::max(a_first, 1), b_first = std::max(b_first, 1);
    a_end = std::min(a_end, a.count), b_end = std::min(b_end, b.count);
    for (int i = a_first; a.x != nullptr && i < a_end;) {
        const chain_element ea = chain_element_at(a.x, a.y, a.count, i);
        if (!ea.valid) break;
        double alo[3], ahi[3];
        element_box(va, ea, alo, ahi);
        for (int j = b_first; b.x != nullptr && j < b_end;) {
            const chain_element eb = chain_element_at(b.x, b.y, b.count, j);
            if (!eb.valid) break;
            double blo[3], bhi[3];
            element_box(vb, eb, blo, bhi);
            if (pk_box_overlap_nd(nd, best.reach, alo, ahi, blo, bhi))
                measure_pair(va, ea, i, ea.next >= a_end, vb, eb, j, eb.next >= b_end, best);
            j = eb.next;
        }
        i = ea.next;
    }
    a_element = best.a_element, a_t = best.a_t;
    b_element = best.b_element, b_t = best.b_t;
    distance = best.distance;
    kind = best.kind;
    if (best.kind != kNoApproach && best.kind != kVertexVertex)
        for (int c = 0; c < 3; ++c) nearest[c] = best.nearest[c];
}
