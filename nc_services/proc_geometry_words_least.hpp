// The geometry words of the procedure being defined that the procedure start resets: the surface
// selection buffers and (count, id) pairs, ten geometry words and the curve approximation words.
// Least version until the surface access is built: the words and their start values only.
#pragma once

#include <array>

inline constexpr int kSurfaceSelectionIds = 700;

struct surface_pair {
    int count = 0;
    int id = -1;  // -1: none
};

// curve_approx_common: the curve approximation switches of the procedure.
struct curve_approx_words {
    std::array<int, 3> switches{1, 1, 1};
    std::array<int, 2> ids{-1, -1};
    int switch4 = 0;
    float tolerance = -1.0f;
    std::array<int, 2> modes{2, 2};
    // The drawing's words: the corner-move mode (4 or 5 ask for corner loops) with the corner
    // size, the lane-report flag (a lane that could not be entered is reported) and the open
    // contour word (1 keeps machining-type-13 lanes whole).
    int corner_move_mode = 0;
    float corner_size = 0.0f;
    int lane_report = 0;
    int open_contour = 0;
    // The largest ramp width of the entry code (nothing fills it).
    float max_ramp_width = 0.0f;
    // The words the pocket moves read. Motion-link mode: 1 switches off lead moves and replaces
    // linking moves by the link flag. The link tolerance is set only by the tool-path
    // reconnection of manual editing and the clearing passes over surfaces (0 until then). The
    // twirl length sizes a twirl approach; the wire-approach flag with NC function 48 gives the
    // wire approach of a planar pocket.
    int motion_link_mode = 2;
    float link_tolerance = 0.0f;
    float twirl_length = 0.0f;
    int wire_approach = 0;
    // The words the open-contour step tests and the point-string routines read: the reach mode
    // (3: the tool's reach becomes multiples of the working tolerance), the clearance that shrinks
    // the tool in the step test, the twirl value (its tolerance is 0.01 x it) and the two values
    // handed to the line-net set-up.
    int reach_mode = 0;
    float clearance = 0.0f;
    float twirl_value = 0.0f;
    std::array<float, 2> net_values{0.0f, 0.0f};
    // The words of the surface clearing (machining type 11), named by their use in the pass loop
    // over surfaces; the surface procedures set them (0 until then). The tolerance above is the
    // machining tolerance, link_tolerance the tolerance of the link strings.
    float side_step = 0.0f;
    float upper_z = 0.0f;     // the top of the Z band
    float band_depth = 0.0f;  // upper_z - band_depth is the band's lower Z
    std::array<float, 2> lateral_shift{0.0f, 0.0f};
    int shift_mode = 0;        // 3: the lateral shift moves every pass point
    int method = 0;            // the string method: 1, 2, 3 or 5
    int variable_step = 0;     // 1: hatch lines spaced by the scallop height
    int restart = 0;           // the restart switch
    int band_flag = 0;         // 1: passes and links are held to the Z band
    int entry_point_mode = 0;  // 1 or 2
    int grid_kind = 0;         // 1 to 4
    int surface_option = 0;    // 4: the grid heights method
    int output_option = 0;     // 3: motions are written even with the grid-only mark
    int store_word = 0;        // 1: the passes are kept in the pass store
    int linking = 0;           // 1: passes are linked end to start
    int link_kind = 0;         // 1 or 2
    float link_radius = 0.0f;
    float minimum_step = 0.0f;  // the least hatch step of the variable step
    // The grid method's words.
    int grid_check = 0;
    int grid_cover = 0;
    int grid_pass_option = 0;
};

struct proc_geometry_words {
    // Buffers 0 and 1 are the part and check surfaces that clear_proc_surfaces empties.
    std::array<std::array<int, kSurfaceSelectionIds>, 3> selection{};
    std::array<surface_pair, 7> surface_pairs{};
    std::array<int, 10> geometry{};
    int single_curve_companion = 0;
    curve_approx_words curve_approx{};
};

proc_geometry_words& proc_geometry();

// Every word back to its start value.
void proc_geometry_reset();
