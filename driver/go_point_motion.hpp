// The go motions of the go-point procedure: the choices of its page (go, Z option, feed), the
// points a go motion passes through, the indication of a point with a tool axis, and the motion
// itself written through the motion output. The machine and part-plane dialog calls them.
#pragma once

#include "surfaces/part_plane_least.hpp"

#include <array>
#include <vector>

using go_vec = std::array<float, 3>;

// Machine groups of the dialogs: 1 milling, 2 multi-axis milling, 3 punching, 4 turning, 5 wire EDM.
inline constexpr int kGroupMill = 1, kGroupMultiAxis = 2, kGroupPunch = 3, kGroupTurn = 4, kGroupWire = 5;
// Go choices (group 5's fourth menu choice counts as kGoIndPointAxis).
inline constexpr int kGoIndPoint = 1, kGoDelta = 2, kGoHome = 3, kGoClear = 4, kGoZPlane = 5, kGoIndPointAxis = 6;
// Z options of an indicated point (groups 1 and 2).
inline constexpr int kFreeZ = 1, kSameZ = 2, kOnlyZ = 3, kZOnPlane = 4;
// The page's feed choice: GO AT FEED or GO FAST. The NC state restore sets GO AT FEED.
inline constexpr int kGoAtFeed = 1, kGoFast = 2;
// Tool display modes of TLER.
inline constexpr int kToolDisplay = 0, kToolTrace = 1, kToolNoDisplay = 2;
int& go_motion_choice();

// The state of the machine and part-plane page between its steps.
struct go_page_state {
    int mach_param_type = 0;  // from set_machining_type for the group's NC function
    float z_plane = 0.0f;     // the Z-plane value (group 5)
    int wire_choice = 1;      // THREAD WIRE or CUT WIRE (group 5)
    plane4 part_plane{0.0f, 0.0f, 1.0f, 0.0f};
    int plane_defined = 0;   // the part plane was picked on this page
    float base_feed = 0.0f;  // the feed of GO AT FEED: PRM9's base feed (groups 1, 2 and 4)
};
go_page_state& go_page();

// NC function code and machining code of a group (1 to 5); 0 for another group.
int go_group_function(int group);
int go_group_machining(int group);

// What a go motion starts from.
struct go_context {
    go_vec current{};           // the tool position
    go_vec home{};              // NPT1's home point
    float clearance = 0.0f;     // the first clearance height of HEI8
    float z_plane = 0.0f;       // the Z-plane value of the page
    int turning_direction = 1;  // 2: turning GO HOME climbs from above the home y
    float part_top = 0.0f;      // turning moves at the top of the part
};

// The top of the part: the DEPTH level of NPT1 (word 18). Turning moves at it, and the clearance
// of the display menu is given above it.
float part_top_height();

// The points the go motion moves through, in order: for GO HOME an intermediate point first
// (milling from below the home height climbs in z first, otherwise crosses in x and y; turning
// moves in y or x first), then the target. Punching keeps the current z; turning moves at the top
// of the part.
std::vector<go_vec> go_targets(int group, int go_choice, int z_option, const plane4& plane, const go_vec& point,
                               const go_vec& delta, const go_context& from);

// Asks for the point (and, with two_point, the top point or the tool axis direction) until the
// axis can be made; axis_source 1 starts from (0, 0, 1), otherwise from the DSP8 axis. Status 0,
// or -1 when the user cancels. Reads DSP8 and RAXN's rotation kind.
void ind_tool_axis_points(int two_point, int go_choice, int axis_source, go_vec& base, go_vec& axis, int& status);

// One go motion: before the first motion of a new go procedure its procedure block is written
// (procedure_written set); the tool is shown or hidden by the display mode, and the moves of
// go_targets are written at the feed of the page. Status 0, or -1 when a move fails. Reads DSP8,
// NPT1, HEI8, PRM9, TLER and the page's state.
void go_point_motion(int group, int procedure, int go_choice, int axis_source, int z_option, const plane4& plane,
                     int& procedure_written, const go_vec& point, const go_vec& delta, const go_vec& axis, int& status);

// Sets the status to 0: the empty callback of the go procedure's block.
void status_zero(int& status);
