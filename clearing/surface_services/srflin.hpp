// The point strings of the surface pass engine along one hatch line (srflin): a tool standing
// vertically over the line touches one surface from above; the line is walked from its start to
// its end, the contact found at each hatch position (TNGTPT), the points that follow the surface
// within the tolerance kept (NXTSTP), and the line cut into strings where the tool leaves the
// surface; at most 20 strings a line. The surface is read through its surface buffer and
// evaluated with the routines of surface_evaluation.hpp.
#pragma once

#include "clearing/surface_services/surface_evaluation.hpp"

inline constexpr int kSrflinMostStrings = 20;
inline constexpr int kSrflinNoTouch = 1;

// The tool and the surface at one hatch position: the position (x, y), the surface point with its
// derivatives at (u, v), the unit normal (oriented) and the tool point (tip) standing there.
struct line_contact {
    float position[2] = {0.0f, 0.0f};
    surface_block block;
    float u = 0.0f, v = 0.0f;
    float normal[3] = {0.0f, 0.0f, 0.0f};
    float tool_point[3] = {0.0f, 0.0f, 0.0f};
};

// The steps along the line.
struct line_steps {
    float step = 0.0f, minimum = 0.0f, maximum = 0.0f;
};

// The module state of one hatch line (srflin_setup fills it).
struct string_state {
    float direction[2] = {1.0f, 0.0f};  // unit direction of the line
    float start[2] = {0.0f, 0.0f};
    float end[2] = {0.0f, 0.0f};
    int u_flag = 1, v_flag = 1;  // range checks (srf_range_flags)
    int orientation = 1;
    float tolerance = 0.0f;
    int gouge_check = 0;
    float half_u = 0.0f, half_v = 0.0f, net_value = 1.0f;  // the coarse start's values (RGHNET)
    int warn_flag = 0;  // set at the start of each line; cleared by the first warning
    // The point window of NXTSTP: three slots and the window order of their numbers (1 to 3).
    line_contact slots[3];
    int order[3] = {1, 2, 3};
    float taken_position[2] = {0.0f, 0.0f};  // where the last point taken into a string stood
    float tool[3] = {-1.0f, -1.0f, -1.0f};   // diameter, corner radius, taper angle (degrees)
};
string_state& srflin_line();

// The output arrays of one call: points (3 reals each, at most capacity reals), the string
// counts (kSrflinMostStrings entries) and the number of points of the string being built.
struct string_output {
    float* points;
    int capacity;
    int* counts;
    int used = 0;   // points of the closed strings
    int count = 0;  // points of the current string
    int string_count = 1;
    int plane_result = 0;  // the check plane's result of the last NXTSTP (check_plane.hpp)
};

// Whether another string may start: false, with "srflin,CAN CREATE UP TO 20 STRINGS ", when
// kSrflinMostStrings are stored.
bool string_room(const string_output& out);

// The strings along start..end over the buffer's surface: their tool points to points, their
// point counts to string_counts, their number to string_count. A check plane in PLN1 stops the
// string, and the line, where the string crosses it (plane_result 1; 2 when the last segment
// tested ran parallel to it; else 0). Status 0; 1 when the tool touches the surface nowhere on the line (no string); -2
// with "NXTSTP,STRING OF POINTS HAS EXCEEDED ITS LIMIT" when the capacity runs out; a 21st string
// is refused with "srflin,CAN CREATE UP TO 20 STRINGS " (the 20 kept, status 0). Reads the
// current tool (PRM9) and the clearance height (HEI8); writes the engine's last and first normals.
void srflin(const surface_buffer& buffer, int orientation, const float* start, const float* end, float tolerance,
            surface_line_continuation& continuation, int capacity, int gouge_check, float* points, int& string_count,
            int* string_counts, int& plane_result, int& status);

// Sets up the line: step L / 20, minimum min(L / 20, 10), maximum L / 5; fills the line state,
// the range flags, the coarse net; clears the warned surfaces and sets the warn flag.
void srflin_setup(line_steps& steps, const float* start, const float* end, const surface_buffer& buffer,
                  int orientation, float tolerance, int gouge_check);

// Both flags 1; a flag word of 2 of the buffer's surface turns that direction's flag to 0.
void srf_range_flags(const surface_buffer& buffer, int& u_flag, int& v_flag);

// Moves position by step along direction, stopping on end (step becomes the distance moved).
// Status -1 when the position already is the end.
void line_advance(float* position, const float* end, float& step, const float* direction, int& status);

// The contact at the position: status 0; -1 none; -2 the parameters left the surface.
void TNGTPT(const surface_buffer& buffer, line_contact& here, int& status);

// The next contact along the line from here, walking on until one is found. Status 0; -1 at the
// line end.
void first_contact(const surface_buffer& buffer, line_contact& here, float& step, int& status);

// Moves here to the exact edge of its contact: towards the line start (mode 1) or end (mode 2).
void contact_edge_search(int mode, const surface_buffer& buffer, line_contact& here, float step);

// Takes or refuses the contact here into the current string (see the source). Status 1 taken, 0
// refused (step halved, here back at the window's first slot), -1 the string ends at the line end
// or at the check plane (here, and the string's last point, moved onto the plane), -2 the capacity
// is exhausted. out.plane_result holds plane_clip's result of the call.
void NXTSTP(line_contact& here, line_steps& steps, string_output& out, int& status);

// The tool point of the tool touching contact with the normal, warning of an under-cut or a gouge
// once while warn_flag is set (and clearing it). Status as tool_point_from_normal.
void tool_point_warn(const float* tool, const float* contact, const float* normal, float* tool_point, int& status,
                     int& warn_flag);

// The width the cutter reaches sideways at side step w along the direction c over the slope d.
void cutter_reach(const float* c, const float* d, float diameter, float corner_radius, float side_step, float& result);
// The share of reach r along direction c that lies across the side direction (made unit).
void side_width(const float* c, float reach, float* side_direction, float diameter, float& result);
