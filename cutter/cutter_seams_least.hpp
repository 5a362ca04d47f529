// The kernels the contact routines hand over to and that the torus-contact kernels build: the
// tapered drop on a triangle, the tapered edge kernel and the double-precision edge drop of a
// move. Until they are built each answers that it found nothing (status -1). The contact
// routines call them through a table, so a test can put scripted doubles in their place.
#pragma once

// A tapered cutter (D, r, taper in radians, cut length) moved from the tool point along +x onto
// one triangle (corners relative to the tool point, double): travel in/out, tool point and
// contact out; negative status when there is no contact.
void taper_triangle_drop(const double* cutter, const double* corners, double* tool_point, double& travel,
                         double* contact, int& status);

// The tapered edge kernel of the XY contact, for one edge relative to the tool axis (u its XY
// direction, d the signed distance in and the nearest distance out). Status 10: the top rim
// meets the edge; -10: the lower part meets it; otherwise its own result (height and contact
// with status 2, or -1).
void taper_edge_contact(const float* a, const float* b, const float* u, float& d, float* contact, const int& type,
                        float& height, int& status);

// The double-precision drop of a cutter (R, r) moved along +x onto the three edges of a triangle
// (corners relative to the move's start): status 0 with the travel, tool point and contact;
// 2 when all corners lie below 1e-5; negative when nothing is met.
void triangle_edges_drop_d(const double& cutter_value, const double* corners, const double* move,
                           const double* radii, double* tool_point, double& travel, double* contact, int& status);

struct cutter_seams {
    void (*taper_triangle_drop)(const double*, const double*, double*, double&, double*, int&);
    void (*taper_edge_contact)(const float*, const float*, const float*, float&, float*, const int&, float&, int&);
    void (*triangle_edges_drop_d)(const double&, const double*, const double*, const double*, double*, double&,
                                  double*, int&);
};

// The routines above.
cutter_seams default_cutter_seams();
// The routines the contact kernels call; assign to replace them, restore with
// default_cutter_seams().
cutter_seams& cutter_seam_table();
