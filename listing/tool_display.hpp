// The tool display: the current tool shown as an instance of its symbol master at the tool
// position, turned so that its axis follows the tool axis (DISPT1), moved with the tool (TOLMOV),
// drawn by XOR around execution and manual editing, and left as a trail of instances along each
// displayed move in the TOOL: TRACE mode. Points are in world coordinates; the instance is placed
// in machine coordinates. DSP8 keeps the instance's last point, last axis and orientation.
#pragma once

#include <array>
#include <span>

using tool_vec = std::array<float, 3>;

// Draws the tool's symbol master at the point with the axis. instance: the new instance, or -1
// (no master, or it cannot be placed). Reads NPT1 (MACSYS matrix).
void DISPT1(int tool_id, const tool_vec& point, const tool_vec& axis, int& instance);
// DISPT1 with the axis (0, 0, 1).
void draw_tool_default(int tool_id, const tool_vec& point, int& instance);
// Draws the current tool of PRM9 at the DSP8 position with the axis (0, 0, 1) and makes it the
// tool instance (nothing when it cannot be drawn).
void draw_tool_at_current();
// Moves the instance to the point and axis; the mode goes to the host (1 a plain move, 4 the live
// display during execution, 0 a trace step). Reads NPT1 (machine type), TLER and DSP8.
void TOLMOV(int instance, const tool_vec& point, const tool_vec& axis, int mode);

// XOR drawing of the tool during execution (on), manual editing (on_edit), and back (off). Read
// PRM9 (tool) and DSP8 (position).
void tool_xor_on();
void tool_xor_on_edit();
void tool_xor_off();
// 1 while the XOR drawing is on.
int tool_xor_state();

// Trails of instances along a move, spaced by step; nothing for a step of 0 or less or without a
// tool instance. Lines: from the start point and axis through each point with its axis. Arcs:
// about the centre from centre + u through the angle (radians) in the plane of u and v (v is u
// turned a quarter in the arc's sense, same length). Splines: the spline of the order, its n
// control points (3 n floats) and n + order knots, traced with the axis (0, 0, 1).
void tool_trace_line(std::span<const tool_vec> points, std::span<const tool_vec> axes, const tool_vec& start,
                     const tool_vec& start_axis, float step);
void tool_trace_arc(const tool_vec& centre, const tool_vec& axis, const tool_vec& u, const tool_vec& v, float angle,
                    float step);
void tool_trace_spline(int order, int count, const float* points, const float* knots, float step);
