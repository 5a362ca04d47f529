// The kernels the contact routines hand over to, least versions: each answers no contact.
#include "cutter/cutter_seams_least.hpp"

namespace {
constexpr int kNothingFound = -1;
}

void taper_triangle_drop(const double*, const double*, double*, double&, double*, int& status)
{
    status = kNothingFound;
}

void taper_edge_contact(const float*, const float*, const float*, float&, float*, const int&, float&, int& status)
{
    status = kNothingFound;
}

void triangle_edges_drop_d(const double&, const double*, const double*, const double*, double*, double&, double*,
                           int& status)
{
    status = kNothingFound;
}

cutter_seams default_cutter_seams() { return {taper_triangle_drop, taper_edge_contact, triangle_edges_drop_d}; }

cutter_seams& cutter_seam_table()
{
    static cutter_seams table = default_cutter_seams();
    return table;
}
