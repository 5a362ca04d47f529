// Loop trimming of the manual editor: where a stretch of linear and circular motions, seen in the
// plane that fits its points best, crosses itself, the part between the two crossing segments is
// cut out and the path runs straight through the crossing. find_loops finds the crossings of one
// pass's point string; ARC2PL, arc_segments and arc_sweep_angle turn arcs into polygons and
// measure them in their plane.
#pragma once

#include "edit/editor/list_cursor_state.hpp"
#include "toolpath/tp_blocks.hpp"

#include <array>
#include <span>
#include <vector>

// A pass's point string holds at most this many entries; a pass holds at most kMostLoops loops.
inline constexpr int kLoopStringRoom = 1000;
inline constexpr int kMostLoops = 10;
// Chord tolerance of the arc polygons in a point string: a hundredth of the part's unit keeps the
// polygon within machining resolution of the arc while a full circle of radius 100 takes about
// 220 points, well inside the string's room.
inline constexpr float kLoopArcTolerance = 0.01f;

// One pass of motions as a point string: entry 0 is the point before the pass, entry k ends the
// motion (block type and number) that runs from entry k - 1. An arc adds its polygon's points,
// each with the arc's type and number.
struct loop_string {
    std::vector<point3> points, directions;
    std::vector<int> types, numbers;
};

// A loop: the block holding its start (the first crossing segment), the block holding its end
// (the second crossing segment), and the crossing with the path's direction there.
struct loop_record {
    int start_number = 0, start_type = 0;
    int end_number = 0, end_type = 0;
    point3 crossing{}, direction{};
};

// Status of collect_loop_pass: a motion that is neither a line nor an arc in the range (reported),
// and a list error (reported with "EDTLOP, ERRORS IN LIST").
inline constexpr int kLoopNotLinearOrCircular = -2;
inline constexpr int kLoopListError = -3;

// Adds the pass that begins at the list position to the string s, whose first entry (the point
// before the pass) the caller has put in: lines (types 2, 222) their end points, arcs (3, 223)
// their polygons within kLoopArcTolerance. A PASS or cutting-end marker (codes 6, 32) ends the
// motions of the pass and the next PASS or cutting start (5, 31) the pass itself, the list then
// standing on that marker. range_end becomes 1 when the pass ended at the block numbered
// last_number, or when the string reached kLoopStringRoom entries ("NUMBER OF POINTS THAT CAN BE
// TAKEN AT A TIME IS LIMITTED TO" 1000; that block is then the range's end). Marker 8 follows
// each block stepped past. Any other motion type: "TRIMMING LOOPS CAN ONLY WORK ON :|LINEAR OR
// CIRCULAR MOTION BLOCKS" and kLoopNotLinearOrCircular; the list is not changed.
void collect_loop_pass(int last_number, loop_string& s, int& range_end, int& status);

// The loops of the string (at most most_loops, in path order), its plane fitted to the first
// fit_count entries. The crossings are searched in a working view whose XY plane is the fitted
// plane; the working view is the tool path's own again (NPT1's view pointer and depth) on every
// way out. A crossing of the first segment with the last at the string's first or last point
// closes the path and is no loop. Status 0 (no loops when fewer than 3 segments have length);
// -1 after "THREE POINTS ARE REQUIRED TO DEFINE A PLANE" (fewer than 3 entries) or "THE STRING
// OF POINTS CANNOT DEFINE A PLANE".
void find_loops(const loop_string& string, int fit_count, int most_loops, std::vector<loop_record>& loops, int& status);

// Cuts one loop out of the list, which stands before the loop's start block: the blocks between
// its start and end blocks go, the start block (an arc when start_is_arc) ends at the crossing,
// with the crossing's direction, and the end block begins there (an arc when end_is_arc; a line
// runs from the crossing by itself), each under its own number. The display forgets the blocks
// and shows the two cut ones after the motion before the loop, which result names (the
// procedure block when none). deleted is set once a block was touched. Uses list markers 5
// (the new start block) and 6 (the end block). Status 0; -1 on a list error.
void trim_one_loop(const loop_record& loop, int start_is_arc, int end_is_arc, blk_path& result, int& deleted,
                   int& status);

// The polygon of an arc in plane `plane` (1 XY, 2 XZ, 3 YZ) about the 2-D centre swept by angle
// (radians, signed as the arc's sense) from start to end, its chords within tolerance of the arc:
// with include_start the start first, then the n points after it, each with the start and end
// directions blended along the arc. A zero radius gives the end point only. At most room points
// are written (and never beyond the spans). Status 0; -1 with "ARC2PL, POLIGON BUFFER IS NOT BIG
// ENOUGH" when they do not fit (count 0).
void ARC2PL(int include_start, int plane, float angle, float tolerance, const std::array<float, 2>& centre,
            const point3& start, const point3& start_direction, const point3& end, const point3& end_direction,
            int room, std::span<point3> points, std::span<point3> directions, int& count, int& status);

// The segment count of an arc of the swept angle with steps of about step (in/out: the even step
// that divides the angle, signed as the angle): at least 4.
void arc_segments(double angle, double& step, int& count);

// The signed angle (radians, -pi .. pi) from `from` to `to` about the 2-D centre, measured in the
// arc plane's two coordinates (1: x, y; 2: x, z; 3: y, z). Status 0; -1 when either point lies on
// the centre (angle 0).
void arc_sweep_angle(int plane, const std::array<float, 2>& centre, const point3& from, const point3& to, float& angle,
                     int& status);

// Cuts the loops out of the range of motions from the block of `first` to the block of `last`
// (either order), pass by pass, after showing the range and asking "OK TO TRIM ?". Only lines
// and arcs may lie in the range: any other motion is refused with "TRIMMING LOOPS CAN ONLY WORK
// ON :|LINEAR OR CIRCULAR MOTION BLOCKS" before its pass is changed (earlier passes stay
// trimmed). On success the cursor steps on past the range: last names the block reached and type
// is its block type. deleted is 1 once a block was cut; in_layer is 1 when the range touches a
// LAYER bracket and something was cut. Nothing happens when either path names no block or both
// name the same one. Status 0 done; -2 no or back at the question, -1 cancel there; -3 an error
// (a refused motion, a pass that defines no plane, a list error), its message shown. Uses list
// markers 5 to 8.
void EDTLOP(const blk_path& first, blk_path& last, int& type, int& deleted, int& in_layer, int& status);
