// The moves of a pass link between the end A of the leaving arc and the start B of the arriving
// arc, written into link array 3: a lifted pair of arcs (link_arc_lifted) or a loop (link_loop_move),
// each checked against the part and lifted over it (link_gouge_lift). The pass string linking
// calls them. They read the link radius and the tolerance of curve_approx_common, the current
// mill's diameter, HEI8's clearance height and the cutter of linnet_params (the probes, the drops
// and the pushes).
#pragma once

#include "toolpath/tp_blocks.hpp"

// Outcomes of a move: it stands as built, it was lifted over the part, or the clearance height
// leaves it lower than the part needs (no move then: the caller joins the arcs with a lift).
inline constexpr int kMoveStands = 0, kMoveLifted = 2, kMoveRefused = 3;

// The triangle model's projection switched on for the life of the guard (srf_state_2_to_4, back
// with srf_state_4_to_2 on every way out).
struct projection_on {
    projection_on();
    ~projection_on();
    projection_on(const projection_on&) = delete;
    projection_on& operator=(const projection_on&) = delete;
};

// The current mill's diameter (0 when there is no mill).
double link_tool_diameter();

// What highest_drop gives when the tool meets nothing on the way.
inline constexpr double kNoDrop = -1.0e10;
// The highest tip of the tool dropped onto the part along the line from `from` to `to`, both ends
// included, bounded from above to within 0.01: never below any drop on the way, and no more than
// 0.01 above the highest. Drops a tool's diameter apart find the highest nearly; the tool pushed
// level along the line then tells, without any assumption on the part's faces (walls, rims of
// holes, spikes between two drops), whether any drop on the way reaches a height, and where.
// kNoDrop when the tool meets nothing (or no triangle model is held). The triangle model's
// projection must be on (projection_on).
double highest_drop(const point3& from, const point3& to);

// Steps of an arc sweeping `sweep` radians at the radius, each spanning at most twice the angle
// whose chord has the sagitta tolerance: 1 + trunc(sweep / (2 x that angle)), at least `least`.
// A radius not above 0 or a tolerance above its diameter gives one step (never NaN).
int link_arc_steps(double sweep, double radius, double tolerance, int least);

// Mode 0: R = the smaller of the link radius and half the plane distance |AB|, quarter arcs;
// modes 1 and 2: R = the link radius, three-quarter arcs from ends raised by R more (mode 1 turns
// outwards). Both ends raised to the higher Z of the two. points receives the base of array 3,
// count its 2n + 4 points (A first, B last). Status: kMoveStands, kMoveLifted, kMoveRefused, or
// negative when the array cannot be had.
void link_arc_lifted(int mode, const point3& a, const point3& b, float tolerance, point3*& points, int& count,
                     int& status);
// The loop of radius R (the link radius) that climbs from S, turns back away from E over a half
// circle, crosses at z0 + 3R and comes down onto E (S = A in mode 1, S = B and the order reversed
// in mode 2). Statuses as link_arc_lifted.
void link_loop_move(int mode, const point3& a, const point3& b, float tolerance, point3*& points, int& count,
                    int& status);
// Checks the move (count points) with the tool's projection along every piece; when one meets the
// part, drops the tool along the line from A to B (its ends pushed outwards by 5 x tolerance + 2R
// as kind and side say: kind 1 and 2 both ends, kind 3 A's with side 1 else B's) and raises every
// point by the lift over the highest drop plus half the tool diameter, capped at the clearance
// height: kMoveLifted; kMoveRefused when the cap leaves a point lower than the part needs.
void link_gouge_lift(point3* points, int count, const point3& a, const point3& b, int side, int kind, int& status);
