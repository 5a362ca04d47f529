// The kernel the contact routines hand over to that is not built yet: the tapered edge kernel of
// the XY contact. Until it is built it answers that it found nothing (status -1). The contact
// routines call it through a table, so a test can put a scripted double in its place.
#pragma once

// The tapered edge kernel of the XY contact, for one edge relative to the tool axis (u its XY
// direction, d the signed distance in and the nearest distance out). Status 10: the top rim
// meets the edge; -10: the lower part meets it; otherwise its own result (height and contact
// with status 2, or -1).
void taper_edge_contact(const float* a, const float* b, const float* u, float& d, float* contact, const int& type,
                        float& height, int& status);

struct cutter_seams {
    void (*taper_edge_contact)(const float*, const float*, const float*, float&, float*, const int&, float&, int&);
};

// The routine above.
cutter_seams default_cutter_seams();
// The routine the contact kernels call; assign to replace it, restore with
// default_cutter_seams().
cutter_seams& cutter_seam_table();
