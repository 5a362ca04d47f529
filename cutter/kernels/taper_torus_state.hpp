// The working state of the tapered toroidal solver (taper_torus_tri_contact) and its routines:
// the five-value cutter with its two tori and the cone band between them, the active torus the
// shared vertex and edge cases run on, the second normal at rims, the taper's cached
// trigonometry, and the cone band's own vertex and edge cases.
#pragma once

#include "cutter/kernels/torus_state.hpp"

// One torus of the tapered cutter, as the cases see the cutter.
struct torus_set {
    double R = 0.0;     // outer radius
    double r = 0.0;     // tube radius as classified
    double rho0 = 0.0;  // ring radius
    int kind = 0;       // kTorusKindToroidal, Flat or Ball
    vec3 T{};           // its tip point
    vec3 C{};           // its ring centre
};

// Which torus is active.
inline constexpr int kCornerTorus = 0;
inline constexpr int kTopTorus = 1;

struct taper_torus_state {
    torus_state torus{};  // the active torus stands in for the cutter
    int kind = 0;         // the solver's kind: 0, 1, 2 untapered, 3 tapered
    int selector = 0;     // kCornerTorus or kTopTorus
    vec3 w2{};            // second normal at a rim
    int normal_flag = 0;  // kOnRim: the normals at F span w to w2
    double offset = 0.0;  // e
    vec3 point{};         // the cutter point P as given
    // The taper's trigonometry, kept while the taper angle stays within 1e-10.
    double cached_taper = 0.0;
    double sine = 0.0;         // s
    double sine2 = 0.0;        // s^2
    double cosine = 0.0;       // c = sqrt(1 - s^2)
    double tangent = 0.0;      // tn = s / c
    double half_sine = 0.0;    // hs = sin((pi/2 - theta) / 2)
    double half_cosine = 0.0;  // sqrt(1 - hs^2)
    // The cutter.
    torus_set corner{};
    torus_set top{};
    double zl = 0.0;            // height of the lower tangent circle (corner torus meets the band)
    double lower_radius = 0.0;  // its radius
    double zu = 0.0;            // height of the upper tangent circle (band meets the top torus)
    double rhou = 0.0;          // its radius
    double za = 0.0;            // height of the cone's apex
};

extern taper_torus_state taper_torus_state_block;

// Copies the corner or the top torus into the active torus.
void use_torus(taper_torus_state& ts, int selector);
// The normal w at F, the second normal and the normal flag; selects the active torus by F's
// height on a tapered cutter.
void taper_torus_normal_at();
// The vertex and edge cases of the tapered solver: the cone band first on a tapered cutter, the
// torus it points to after it. Status 0 or 1; F in the active torus's state.
void taper_torus_vertex_contact(const vec3& vertex, int& status);
void taper_torus_edge_contact(const vec3& a, const vec3& b, double& t, int& status);
// The cone band against one vertex (F = V + lambda u on the band's cone) and against the line of
// the current edge (the cone line whose tangent plane holds the edge, met on the sweep plane).
// Vertex: status 0 or 1; edge: 0, 1 or 2 (the top torus decides).
void cone_band_vertex_contact(const vec3& vertex, vec3& f, int& status);
void cone_band_edge_contact(vec3& f, int& status);
