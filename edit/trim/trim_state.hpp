// trim_state: the trimming tool's block of words that the manual editor fills from the opened
// procedure (edit_ref_params_load) and that the reconnection and the trimming read: the lift and
// the surface approach of a connection, the tolerances of the reference surfaces and their
// triangulation, the feed in force while motions are walked, and the control words of the
// trimming menu. It lives as long as the module.
#pragma once

struct trim_state {
    // From the procedure block (edit_ref_params_load); the defaults hold where an item is missing.
    int nc_function = 0;           // header word 34 of the procedure block
    float del_z_up = 2.0f;         // "DEL Z-UP": the lift of a connection
    float ref_srf_tol = 0.1f;      // "REF.SRF.TOL."
    float contour_tol = 0.1f;      // "CONTOUR TOL."
    float srf_arc_radius = 0.0f;   // "SRF. ARC RADIUS": the mill's diameter unless the procedure gives one
    int srf_approach_kind = 1;     // 1 "SRF. Z UP APP." .. 7
    float srf_approach = 1.0f;     // "SRF. APPROACH"
    int srf_approach_offered = 0;  // 1 when the procedure works on surfaces
    float step = 0.0f;             // a third of the tool diameter unless given
    float second_step = 0.0f;      // the step unless given
    int integer_word = 1;
    float surface_offsets[2] = {0.0f, 0.0f};  // the two offsets of the reference surfaces
    int surface_item = 0;                     // the procedure's surface switch, as read last by proc_is_surface_kind

    // The triangulation of the reference surfaces for a connection. Mode 1 approximates by the
    // surface tolerance; mode 2 by second_tolerance; the longest triangle edge keeps the model
    // usable for a cutter of ordinary size.
    int approximation_mode = 1;
    float second_tolerance = 0.1f;
    float longest_triangle = 50.0f;

    // The feed in force while the trimming code walks motions: the value of the last feed
    // parameter block passed; -1.0 rapid, -2.0 or less the stored feed.
    float current_feed = 0.0f;

    int menu_rebuild = 0;   // 1: the trimming menu is built again at the next entry
    int retriangulate = 1;  // 1: the reference surfaces are triangulated again

    // The trimming page's words that the Z-level change and the motion walk read.
    int selection_method = 1;  // 1 BY CONTOUR:XY PLANE, 2 BY CONTOUR:ANY PLANE, 3 BY SELECT MOTIONS, ...
    int operation = 3;         // 1 MOVE BY DELTA Z, 2 PROJECT MOTIONS, 3 DELETE MOTIONS
    float clear = 0.0f;        // "CLEAR", above the origin Z of the tool path (NPT1)
    float delta_z = 50.0f;     // "DELTA Z"
    int clear_warning = 1;     // 1 until a move by DELTA Z was stopped at clear Z in this run

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

    // The trim action's words (delete_trimed_blocks). The page's choices: the projection option
    // (1 BLK BELOW Z PLN, 2 ALL BLK ON Z PLN, 3 BLK BELOW SRF., 4 ALL BLK ON SRF., 5 CHECK MOTION
    // BELOW SURF.), the connection option (1 THROUGH CLEAR, 2 THRU.INCR.CLR., 3 DIRECTLY, 4 ALONG
    // CONT.), INC. CLEAR, and the trim's own FEED with DOWN FEED % and PLUNGE FEED %.
    int projection_option = 1;
    int connection_option = 1;
    float inc_clear = 10.0f;
    float feed = 0.0f;
    int down_feed_percent = 100;
    int plunge_feed_percent = 100;
    // The range loop's flags: the range ran to the procedure's end, a deleted range at the start
    // has no motion after it, the first picked chain of BY SELECT MOTIONS is still to come.
    int end_reached = 0;
    int nothing_follows = 0;
    int first_chain = 1;
    // Where a deleted range begins and ends on the trim contour (segment index from 1, fraction
    // along the segment), recorded by the driver from the walk; ALONG CONT. walks between them.
    int range_start_segment = 1;
    double range_start_along = 0.0;
    int range_end_segment = 1;
    double range_end_along = 0.0;
    // The last point written by the trim action and the points it collected (count and the
    // handles of the point, vector and work arrays, -1 while closed).
    float last_written[3] = {0.0f, 0.0f, 0.0f};
    int collected_count = 0;
    int collected_points = -1;
    int collected_vectors = -1;
    int projection_work = -1;
    // The surface projection's output strings: the handles of their point, vector and
    // points-per-string arrays (-1 while closed).
    int output_points = -1;
    int output_vectors = -1;
    int output_counts = -1;

    // The trimming driver's words. With connection_option, operation, projection_option,
    // inc_clear and delta_z they make the ten words of "ZQA1": the delete mode (only 1, DELETE:ALL
    // SELECT BLK., is offered), the side trimmed (1 inside, 2 outside the contour), CONT. OFFSET,
    // REF.SRF.OFFSET and Z PLANE (above the origin Z of the tool path).
    int delete_mode = 1;
    int side = 1;
    float cont_offset = 0.0f;
    float ref_srf_offset = 0.0f;
    float z_plane = 10.0f;
    double contour_perimeter = 0.0;  // the length of the trim contour's polygon
    int restart_armed = 0;           // 1 while the driver's restart point catches a stop
};

trim_state& trim_words();

// 1 when the user indicated a block in JUMP BLOCK or chose DELETE since the editor last cleared
// it; the block picking of the trimming reads it.
int& edit_pick_flag();

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
