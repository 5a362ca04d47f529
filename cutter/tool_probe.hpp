// The probes of the current tool (linnet_params' cutter) against the triangle model of the part
// surfaces: the tool moved from one point towards another (tool_project_point), the touch test at
// a point (tool_point_touch_test_dbl) and the sideways contact along a direction
// (tool_contact_point_dbl); the kind word of a surface's triangle-model record
// (srf_state_access). The lead and step tests of the pocket lanes and the lane projection call
// the probes through a table, so a test can put scripted doubles in their place. With no triangle
// model held every probe answers that nothing is met, without a message.
#pragma once

// Statuses of tool_project_point: the tool meets the surfaces (0; the lead code also counts -1
// and -2 as blocked), the way is free, the two points coincide (no move).
inline constexpr int kProjectContact = 0;
inline constexpr int kProjectFree = 1;
inline constexpr int kProjectNoMove = 2;
// Status of tool_contact_point_dbl when no contact lies along the probe.
inline constexpr int kContactNone = 1;

// Moves the tool tip from `from` towards `to` (x, y, z floats) and stops where the tool first
// touches a triangle: status kProjectContact with that tool-tip position in contact and the
// contact normal (from the surface into the cutter) in normal; when the tool already touches at
// `from` it cannot move and contact is `from`. kProjectFree when nothing lies along the move,
// kProjectNoMove when the points coincide (outputs untouched); -1 with a line on the error channel
// for a cutter without size or with values that are not possible. Reads linnet_params, tri_store,
// qt_nodes.
void tool_project_point(const float* from, const float* to, float* contact, float* normal, int& status);
// Whether the tool with its tip at the point (x, y, z doubles) touches a triangle: status 0 with
// contact flag 0 when it stands free, 1 with flag 1 when it touches or cuts into the surfaces;
// negative on failure.
void tool_point_touch_test_dbl(const double* point, int& contact_flag, int& status);
// The sideways contact of the tool moving level at the height from `point` towards `towards` (its
// x and y; the move ends there): status 0 with the tool-tip position where it first touches in
// contact and the contact normal; kContactNone when nothing lies along the probe (outputs
// untouched); negative on failure.
void tool_contact_point_dbl(const double* point, const double* towards, double height, double* contact, double* normal,
                            int& status);
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
