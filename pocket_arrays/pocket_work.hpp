// The pocket engine's working values: pocket initialisation (NPKINI) fills the parameters and the
// per-contour offsets and tapers of a region, init_pocket_globals those of another caller's
// contours; the lane engine keeps its own working fields beside them. The block is plain data
// kept with the geometry kernel, which reads the tolerances, the steps, the extra offset, the
// corner-arc switch and the restart point, and keeps the raw offset's first-corner memory; the
// pocket owns and fills it.
#pragma once

// Offsets and tapers are kept by slot: slot 1 the outer contour, slot kIslandSlotBase + k island k
// (k from 0). Slots run to kOffsetSlots (1-based; index 0 unused).
inline constexpr int kOuterSlot = 1;
inline constexpr int kIslandSlotBase = 10001;
inline constexpr int kOffsetSlots = 26666;

struct pocket_work {
    // The engine's distances, one home each. Pocket initialisation (NPKINI, or
    // init_pocket_globals for another caller's contours) sets the tolerance, the side step and
    // the tool radius; the lane engine (rrpock) fixes the rest from them, the current tool and
    // the extra offset at its start, and keeps the step it was handed as the engine step, which
    // every routine of the engine run reads.
    //
    // Tolerance T of the pocket parameters; arc junctions are moved only within 2 * T.
    double tolerance = 0.0;
    // Side step s between offsets of the pocket page (code 26; the tool radius for another
    // caller's contours). Only the initialisations write it, and the lane computation (cmtpk1),
    // which makes a zero step the tolerance before it hands the step to the engine; the engine
    // never writes it back. The routines outside the engine run (contour points, lead moves,
    // hatching) read it.
    double side_step = 0.0;
    // The step the lane engine works with, stored by rrpock at its start from its argument; the
    // engine's routines that have no step argument read it here (short arcs are measured against
    // a tenth of it).
    double engine_step = 0.0;
    // Working tolerance W: max(min(tolerance, 0.01 x engine step), 0.001), set by the lane engine.
    // The clean-up passes scale their reach by it; the raw offset's arc tolerance is
    // min(0.5 x W, 0.0004).
    double working_tolerance = 0.0;
    // Radius of the current tool (a wire or no mill counts 0). Set where a run starts (NPKINI,
    // init_pocket_globals) and again by the lane engine, all through set_pocket_tool_radius
    // (pocket/pocket_tool_radius.hpp); the drawing and the entry moves read it here and never the
    // tool record.
    double tool_radius = 0.0;
    // Distance of the first offset from the contour: the extra offset when there is one, else
    // the tool radius, or half the tool's flat width when that is wider than the step.
    double first_offset = 0.0;
    // The two squared reach values of the lane engine; the smaller bounds the reference area of
    // the piece filter.
    double reach_squared[2] = {0.0, 0.0};
    // The caller's end value (its minimum value; 0 on the pocket's own road).
    double end_value = 0.0;

    // Corner-arc switch: 1 fills convex corners of an offset with arcs of the offset radius,
    // 0 never makes a corner arc (mitre or square points instead).
    int corner_arcs = 0;
    // End-point mode of the lane engine, the pocket's start option (start mode less 1): 0 none,
    // 1 end point required, 2 wanted (dropped when it cannot be used; the execute callback sets it
    // back to 0 after the first level); from 1 on, the offsets of branch 1 start nearest the
    // restart point and the cutting order ends there.
    int end_point_mode = 0;
    // Lane option B of the pocket parameters (code 28 less 1 for offset lanes, else 1), kept with
    // the engine's options.
    int lane_option_b = 0;
    // Extra offset of the pocket parameters; the redundant-point thinning uses the larger of it
    // and the side step for its length limit.
    double extra_offset = 0.0;
    // The extra offset of the pocket page (code 225) that the execute step added to every
    // contour's offset while it computed the lanes of the level (0 when it added none): the lanes
    // keep it from the contours besides their own offsets and the first offset. Set by the lane
    // computation of the execute step, cleared by NPKINI; the drawing's link region reads it.
    double lanes_extra_offset = 0.0;
    // The user's restart point of the pocket (part coordinates); the first loop of a pocket is
    // started at its nearest point.
    double restart_point[3] = {0.0, 0.0, 0.0};
    // The raw offset's first-corner memory: the side-weighted cross product of the corner at the
    // loop's second point, written when that corner is formed and read at the last element (the
    // two halves of the split first element meet there). Cleared at the start of every offset.
    double first_corner_cross = 0.0;
    // Offset of each contour at the current level, by slot.
    double offsets[kOffsetSlots + 1] = {};
    // tan of each contour's draft angle, by slot (0 for no draft).
    double taper[kOffsetSlots + 1] = {};
    // Re-offset distance R of the arc-corner mode (nothing sets it: the mode stays off).
    double reoffset_distance = 0.0;
    // The parameter on the first element at which pass 1 restarted the loop (end-point mode).
    double restart_param = 0.0;
    // Island stage of the lane loop and its full-pocket switch (the end-point restart applies to
    // island lanes in stage 1 with the switch off).
    int island_stage = 0;
    int full_pocket = 0;
    // Share by which the reach of the sliver test is reduced on surfaces.
    double surface_reduction = 0.0;
    // Least offset handed to the contour combination.
    double combine_floor = 0.0;
    // Reversed-island mode of the lane engine: island lanes are reversed before they merge with
    // a branch lane, and the common loops drop loops smaller than either source.
    int reversed_islands = 0;
    // Combine flag: 1 lets the branch offsets after the first pass choose their distance by scale
    // and combine. Nothing sets it.
    int combine_flag = 0;
    // The point mover raises its moves by the lead height, 0 outside lead moves; the lead moves
    // copy the lead rise into it while they write a lead.
    double lead_height = 0.0;
    double lead_rise = 0.0;
    // Stored approach height of the point mover's wire approach (-1e10 or below: none).
    float stored_approach_height = -1.0e10f;
    // Non-zero enables the 10 % shift of the approach point.
    int approach_shift = 0;
    // 1 while the one offset makes the first offset of a contour on the part surface (a pocket of
    // dimension 3 or 4), else 0: the contours are plane curves whose walls stand upright over
    // them, so the surface offset's walks measure that offset in the plane (by their XY run), and
    // the tool keeps its offset from every wall however steeply the surface falls towards it.
    // Later offsets walk their step along the surface. Set and cleared round the raw offset by
    // oneoff_pokarr; read by the surface grid walk (drop_lane_on_grid).
    int contour_offset_in_plane = 0;
};

// The module's one pocket work block (zeroed at load, filled when a pocket run starts).
extern pocket_work pocket_work_block;
