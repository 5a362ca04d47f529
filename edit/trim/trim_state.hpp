// trim_state: the trimming tool's block of words that the manual editor fills from the opened
// procedure (edit_ref_params_load) and that the reconnection and the trimming read: the lift and
// the surface approach of a connection, the tolerances of the reference surfaces and their
// triangulation, the feed in force while motions are walked, and the control words of the
// trimming menu. It lives as long as the module.
#pragma once

struct trim_state {
    // From the procedure block (edit_ref_params_load); the defaults hold where an item is missing.
    int nc_function = 0;               // header word 34 of the procedure block
    float del_z_up = 2.0f;             // "DEL Z-UP": the lift of a connection
    float ref_srf_tol = 0.1f;          // "REF.SRF.TOL."
    float contour_tol = 0.1f;          // "CONTOUR TOL."
    float srf_arc_radius = 0.0f;       // "SRF. ARC RADIUS": the mill's diameter unless the procedure gives one
    int srf_approach_kind = 1;         // 1 "SRF. Z UP APP." .. 7
    float srf_approach = 1.0f;         // "SRF. APPROACH"
    int srf_approach_offered = 0;      // 1 when the procedure works on surfaces
    float step = 0.0f;                 // a third of the tool diameter unless given
    float second_step = 0.0f;          // the step unless given
    int integer_word = 1;
    float surface_offsets[2] = {0.0f, 0.0f};  // the two offsets of the reference surfaces
    int surface_item = 0;              // the procedure's surface switch, as read last by proc_is_surface_kind

    // The triangulation of the reference surfaces for a connection. Mode 1 approximates by the
    // surface tolerance; mode 2 by second_tolerance; the longest triangle edge keeps the model
    // usable for a cutter of ordinary size.
    int approximation_mode = 1;
    float second_tolerance = 0.1f;
    float longest_triangle = 50.0f;

    // The feed in force while the trimming code walks motions: the value of the last feed
    // parameter block passed; -1.0 rapid, -2.0 or less the stored feed.
    float current_feed = 0.0f;

    int menu_rebuild = 0;              // 1: the trimming menu is built again at the next entry
    int retriangulate = 1;             // 1: the reference surfaces are triangulated again

    // The trimming page's words that the Z-level change and the motion walk read.
    int selection_method = 1;          // 1 BY CONTOUR:XY PLANE, 2 BY CONTOUR:ANY PLANE, 3 BY SELECT MOTIONS, ...
    int operation = 3;                 // 1 MOVE BY DELTA Z, 2 PROJECT MOTIONS, 3 DELETE MOTIONS
    float clear = 0.0f;                // "CLEAR", above the origin Z of the tool path (NPT1)
    float delta_z = 50.0f;             // "DELTA Z"
    int clear_warning = 1;             // 1 until a move by DELTA Z was stopped at clear Z in this run

    // The trim contour the walk cuts motions at: the offset polygon (x, y doubles per vertex), and
    // for BY CONTOUR:ANY PLANE the polygon in the contour's plane with the transformation into it
    // (m3crtd's 4 x 3 doubles). The driver owns the polygons.
    const double* contour = nullptr;
    int contour_vertices = 0;
    const double* plane_contour = nullptr;
    int plane_vertices = 0;
    double plane_transform[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

    // The walk's words: the side it walks (1 inside, 3 outside, 2 along the contour), the last
    // crossing where a motion was cut, the block number of the last non-feed motion (-1: not
    // recorded) and the handle of its vector work array (-1: not open).
    int walk_direction = 1;
    float crossing_point[3] = {0.0f, 0.0f, 0.0f};
    int last_non_feed_block = -1;
    int vector_array = -1;
};

trim_state& trim_words();

// The trimming menu is built again at the trimming driver's next entry.
void trim_menu_reset();

// The motion reader of the trimming code. From the list position it reads block heads, stepping
// one block forward (step 1) or back (step -1) past every block that is not a motion; on the way
// a feed parameter block (type 1) sets trim_words().current_feed and a tool parameter block (type
// 100) makes its tool current. At the first motion it gives the block number and type and, for
// lines, strings, arcs and NURBS moves, the end point and end direction (other motions leave
// point and direction as they were); the list stays on that block. Status 0; the first negative
// status of a list call, so -2 from the jump when the list ends before a motion.
void trim_read_motion(int step, int& number, int& type, float* point, float* direction, int& status);
