// The queries on the triangulated part surfaces that the surface link, the surface approach and
// retract and the UP/DOWN contact test make: the contact of the tool along a segment, the tool
// height at a point and the touch points along a lateral move. The motion output calls them
// through this table, so a test can put scripted doubles in their place; the table starts with
// the cutter location's routines.
#pragma once

struct surface_query_seams {
    void (*tool_contact_point)(const float* start, const float* end, float height, float* contact, float* normal,
                               int& status);
    void (*surface_height_at_point)(int mode, const float* point, float tolerance, float offset1, float offset2,
                                    float* located, int& status);
    void (*linnet_touch_point)(const float* start, const float* end, float tolerance, float check1, float check2,
                               int room, float* located, int& count, int& status);
};

// The cutter location's routines.
surface_query_seams default_surface_query_seams();
// The routines the motion output calls; assign to replace them, restore with the default.
surface_query_seams& surface_query_table();
