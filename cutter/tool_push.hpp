// The push front end of the cutter location: the current cutter (linnet_params) moved with its
// tip along a straight move onto the triangle model, stopping where it first touches a triangle,
// and the touch test of the cutter standing at a point. The probes of the lead and step tests,
// the contact along a level move and the lane projection stand on them.
#pragma once

// Statuses: a contact (or a touch), the way free (or the cutter free), no triangle model held
// (nothing said), a move without length, a cutter that cannot be located ("<caller>, WRONG
// CUTTER" on the error channel).
inline constexpr int kPushContact = 0;
inline constexpr int kPushFree = 1;
inline constexpr int kPushNoModel = 2;
inline constexpr int kPushNoMove = 3;
inline constexpr int kPushFailed = -1;

// The shortest move that has a direction (millimetres): far below the single-precision rounding of
// part coordinates, so only points that coincide have none.
inline constexpr double kShortestMove = 1.0e-9;

// Where a push or a touch test ended: the tool-tip position and the contact normal (from the
// surface into the cutter), the travel along the move (0 when the cutter touches at its start).
struct push_stop {
    float tip[3];
    float normal[3];
    float travel;
};

// The cutter moved with its tip from `from` to `to` (x, y, z floats): kPushContact at the first
// touch along the move, which is `from` itself when the cutter touches or cuts into the surfaces
// there already; kPushFree when it reaches `to` untouched; kPushNoMove when the two points lie
// within kShortestMove of each other. A tilted
// tool axis (linnet_params) is followed through the cutter frame. Reads linnet_params, tri_store,
// qt_nodes.
void tool_push(const char* caller, const float* from, const float* to, push_stop& stop, int& status);

// Whether the cutter with its tip at the point touches or cuts into the surfaces: kPushContact
// with the tip at the highest height it can stand at over the point's x and y (at or above the
// point's z) and its contact normal; kPushFree when it stands free.
void tool_touch_at(const char* caller, const float* point, push_stop& stop, int& status);

// The cutter moved level with its tip at `height` from the x and y of start to those of end: a
// push, or the touch test at start when the two coincide in x and y (its tip then stays at start,
// at the height).
void tool_push_level(const char* caller, const float* start, const float* end, float height, push_stop& stop,
                     int& status);
