// The probes of the current tool against the part surfaces that the lead and step tests of the
// pocket lanes make: the tool moved from one point towards another (tool_project_point), the
// touch test at a point (tool_point_touch_test_dbl) and the sideways contact along a direction
// (tool_contact_point_dbl); the kind word of a surface's triangle-model record
// (srf_state_access). Least version until the cutter location is built: the module carries no
// part surfaces, so nothing is ever met. The lane code calls the probes through a table, so a
// test can put scripted doubles in their place.
#pragma once

// Status of tool_project_point when the way is free (the lead code counts 0, -1 and -2 as
// blocked).
inline constexpr int kProjectFree = 1;
// Status of tool_contact_point_dbl when no contact lies along the probe.
inline constexpr int kContactNone = 1;

// Moves the tool from `from` towards `to` (x, y, z floats): status 0 with the contact point and
// normal where it meets the part, -1 or -2 when it cannot move, any other value when the way is
// free (here always kProjectFree; contact and normal untouched).
void tool_project_point(const float* from, const float* to, float* contact, float* normal, int& status);
// Status 0 when the tool at the point (x, y, z doubles) touches nothing, 1 when it touches (with
// the contact flag), negative on failure. Here: 0, flag 0.
void tool_point_touch_test_dbl(const double* point, int& contact_flag, int& status);
// The sideways contact of the tool moving from `point` towards `towards` at the height: status 0
// with the contact point and normal; kContactNone when nothing lies along the probe (here
// always, outputs untouched); negative on failure.
void tool_contact_point_dbl(const double* point, const double* towards, double height, double* contact,
                            double* normal, int& status);
// Mode 1 reads, 2 writes the kind word of the surface's triangle-model record: -1, no record
// (the module keeps no surface kinds).
int srf_state_access(int mode, int surface, int& value, int hint);

struct tool_probe_seams {
    void (*tool_project_point)(const float*, const float*, float*, float*, int&);
    void (*tool_point_touch_test_dbl)(const double*, int&, int&);
    void (*tool_contact_point_dbl)(const double*, const double*, double, double*, double*, int&);
};
tool_probe_seams default_tool_probe_seams();
// The probes the lane code calls; assign to replace them, restore with the default.
tool_probe_seams& tool_probe_table();
