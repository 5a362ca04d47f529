// Entry and cutter model of the conical contact kernel: cone_tri_distance resets the records,
// loads the cutter when it changed, places the element points on the axis, runs the face stage
// and, when that records nothing, the edge and vertex stage, and reports the smallest record.
// cone_engine_setup classes the cutter and derives its elements and zone cones.
#include "cutter/kernels/cone_contact.hpp"

#include <initializer_list>
#include <numbers>

cone_state cone_state_block;

namespace {

// A taper not above this (radians) is none.
constexpr double kNoTaper = 1.0e-4;
// A corner below this fraction of the effective radius is none (flat end); one at least the
// other fraction of it is the whole radius (ball).
constexpr double kFlatCornerFraction = 1.0e-5;
constexpr double kBallCornerFraction = 0.99999;

void set_zone(cone_cutter_model& m, int k, double apex, double ratio)
{
    m.zone_apex[k] = apex;
    m.zone_ratio[k] = ratio;
}

void setup_untapered(const double* cutter, cone_cutter_model& m)
{
    const double diameter = cutter[0], offset = cutter[4];
    m.reff = diameter / 2 + offset;
    m.cylinder_radius = m.reff;
    if (m.rc < kFlatCornerFraction * m.reff) {
        m.cutter_class = kConeFlat;
        m.c18 = m.reff;
        set_zone(m, 0, m.reff, 1.0);
    } else if (m.rc >= kBallCornerFraction * m.reff) {
        m.cutter_class = kConeBall;
        m.sphere_radius = m.reff;
    } else {
        m.cutter_class = kConeBullNose;
        m.c18 = m.reff - m.rc;
        set_zone(m, 0, m.reff, 1.0);
        m.torus_tube = m.rc;
        m.bottom_offset = m.rc;
    }
}

int taper_sub_class(const cone_cutter_model& m)
{
    if (m.h0 < m.h2) return kTaperShort;
    if (std::fabs(m.c18) >= kConeZero) return kTaperFlatBottom;
    if (m.top < m.rc) return m.h0 >= m.rc ? kTaperBallLow : kTaperBallLowest;
    return kTaperBallHigh;
}

void setup_tapered(const double* cutter, cone_cutter_model& m)
{
    const double diameter = cutter[0], corner = cutter[1], cut_length = cutter[2], a = cutter[3], offset = cutter[4];
    m.cutter_class = kConeTapered;
    m.sin_a = std::sin(a);
    m.cos_a = std::cos(a);
    m.tan_a = m.sin_a / m.cos_a;
    const double sin_half = std::sin(a / 2), cos_half = std::cos(a / 2);
    // beta: half the angle between the bottom and the side at the sharp corner.
    const double beta = (a + std::numbers::pi / 2) / 2;
    const double tan_beta = std::sin(beta) / std::cos(beta);

    m.c18 = diameter / 2 - corner / tan_beta;  // the nominal corner, not the grown one
    m.h2 = m.c18 * tan_beta + m.rc;
    m.top = cut_length + offset;
    m.c28 = cut_length * m.tan_a + diameter / 2;
    m.h0 = m.c28 * (sin_half / cos_half) + m.top;
    m.cone_apex = m.top - (offset / m.cos_a + m.c28) / m.tan_a;
    m.taper_class = taper_sub_class(m);

    set_zone(m, 0, m.h0, cos_half / sin_half);
    set_zone(m, 1, m.c28 * m.tan_a + m.top, 1 / m.tan_a);
    set_zone(m, 2, m.h2, 1 / tan_beta);
    const bool ball = m.taper_class >= kTaperBallHigh;
    set_zone(m, 3, ball ? m.rc : m.c18 * m.tan_a + m.rc, 1 / m.tan_a);
    if (m.taper_class == kTaperShort) {
        // The crossing of the two bisectors, from their ratios (the quotients of their apex
        // heights have no value for a tapered ball, whose c18 is 0).
        const double k0 = m.zone_ratio[0], k2 = m.zone_ratio[2];
        const double s = (m.h2 - m.h0) * k2 / (k0 - k2);
        m.hx = m.h0 - s;
        m.crossing_radius = s * k0;
        m.h4 = m.crossing_radius + m.hx;
        set_zone(m, 4, m.h4, 1.0);
    }
    // Sub-class 9 takes the elements of sub-class 8: left without them its cutter would meet
    // nothing and gouge unseen.
    m.rim_tube = offset;
    m.torus_tube = m.rc;
    m.bottom_offset = m.rc;
    if (ball) m.sphere_radius = m.rc;
    m.reff = m.c28 + offset;
    m.cylinder_radius = m.reff;
}

cone_vec on_axis(const cone_vec& position, double height) { return {position.x, position.y, position.z + height}; }

// The element points of the class at the current position.
void place_element_points(cone_state& s)
{
    const cone_cutter_model& m = s.model;
    const cone_vec& p = s.position;
    switch (m.cutter_class) {
    case kConeFlat:
    case kConeBullNose:
        s.bottom_centre = on_axis(p, m.bottom_offset);
        s.corner_bisector = on_axis(p, m.reff);
        s.zone_apex[0] = s.corner_bisector;
        break;
    case kConeBall: s.bottom_centre = on_axis(p, m.reff); break;
    default:
        s.bottom_centre = on_axis(p, m.rc);
        s.corner_bisector = on_axis(p, m.h2);
        s.taper_top = on_axis(p, m.top);
        s.cylinder_bisector = on_axis(p, m.h0);
        s.cone_apex = on_axis(p, m.cone_apex);
        for (int k = 0; k < 5; ++k) s.zone_apex[k] = on_axis(p, m.zone_apex[k]);
        s.crossing_point = on_axis(p, m.hx);
        s.crossing_apex = on_axis(p, m.h4);
        break;
    }
}

void reset_records(cone_state& s)
{
    for (cone_record* r : {&s.cylinder, &s.rim, &s.cone, &s.torus, &s.bottom, &s.sphere}) {
        r->empty = 1;
        r->distance = -kConeNoContact;
    }
}

bool cutter_changed(const cone_state& s, const double* cutter)
{
    for (int k = 0; k < 5; ++k)
        if (cutter[k] != s.cutter[k]) return true;
    return false;
}

}  // namespace

void cone_engine_setup()
{
    cone_state& s = cone_state_block;
    cone_cutter_model& m = s.model;
    m = cone_cutter_model{};
    m.rc = s.cutter[1] + s.cutter[4];
    if (s.cutter[3] <= kNoTaper)
        setup_untapered(s.cutter, m);
    else
        setup_tapered(s.cutter, m);
}

void cone_tri_distance(const int& ignored, const double* cutter, const double* position, const double* triangle,
                       double& distance, double* points)
{
    (void)ignored;
    cone_state& s = cone_state_block;
    for (int k = 0; k < 3; ++k) s.triangle[k] = {triangle[3 * k], triangle[3 * k + 1], triangle[3 * k + 2]};
    s.position = {position[0], position[1], position[2]};
    reset_records(s);
    if (s.loaded == 0 || cutter_changed(s, cutter)) {
        s.loaded = 1;
        for (int k = 0; k < 5; ++k) s.cutter[k] = cutter[k];
        cone_engine_setup();
    }
    place_element_points(s);
    if (cone_face_contact() == 0) cone_edges_vertices();

    distance = kConeNoContact;
    for (const cone_record* r : {&s.cylinder, &s.rim, &s.cone, &s.torus, &s.bottom, &s.sphere}) {
        if (r->empty != 0 || !(r->distance < distance)) continue;
        distance = r->distance;
        const double pair[6] = {r->cutter_point.x,   r->cutter_point.y,   r->cutter_point.z,
                                r->triangle_point.x, r->triangle_point.y, r->triangle_point.z};
        for (int k = 0; k < 6; ++k) points[k] = pair[k];
    }
}
