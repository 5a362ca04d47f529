// The variable hatch step over surfaces: the distance from one hatch line to the next follows
// the part surfaces so that the scallop left between neighbouring passes stays within the
// allowed scallop height. The hatch lines (clr_hatch_lines) take the next ordinate from
// pass_height_at_point under machining types other than 1.
#pragma once

struct hatch_points;

// The allowed scallop height, set by the surface clearing's set-up. Its sign tells the step
// search how to report: negative sets the step, positive only makes it smaller. The step
// routine leaves it positive.
struct scallop_step_state {
    float allowed = 0.0f;
};
extern scallop_step_state scallop_step_block;

// Most trials and halvings of one step search, and the search's start bracket.
inline constexpr int kStepTrialsMost = 20;
inline constexpr int kStepHalvingsMost = 12;

// The step search at one sample (x, y in the hatch frame of the given angle): the largest move
// across the hatch lines, towards the ordinate `limit`, whose scallop against the sample's
// contact is within |allowed| (a ratio up to 1.1), trials growing and shrinking inside a bracket.
// The scallop of a trial is the larger of the one over the plane of the two tips and what the
// cutter dropped between them shows the passes leave above it. The plane rises along the line only
// as much as the line keeps descending on both sides of the sample: a pass's sweep down its line
// lowers its section across the lines there, but not at a hollow or a crest along the line.
// step is in-out by the sign of allowed (see scallop_step_state) and never left below the
// minimum step word. point_out and normal_out: the tool point and contact normal of the best
// trial. Status 0 when a step was found, -1 otherwise (no contact at the sample, no mill, a zero
// allowed height). Reads the current mill and the curve tolerance; clears the temporary
// touch-point flag while it runs.
void scallop_step_search(float limit, float angle, const float* sample, float allowed, float& step, float* point_out,
                         float* normal_out, int& status);

// The step from the hatch line at `current` (ordinate) with its segments (count points, paired
// 1-2, 3-4, ... as x, y in the hatch frame of the angle) to the next line: the side step with the
// variable step off; otherwise the smallest step the samples along the segments allow (a diameter
// apart, half a triangle's side over a triangle model of finer detail, from end to end), searched
// from the mill diameter D, then from D/2, and at last D/24 when no search succeeds. Never below
// the minimum step word (0.001 when it is not positive), except a step cut so that the next
// ordinate reaches the limit exactly. Status 0. Reads clear_block.side_step, the curve
// approximation words, the current mill and scallop_step_block.
void hatch_step_by_scallop(float lower_bound, float limit, float angle, const float* xs, const float* ys, int count,
                           float current, float& step_out, int& status);

// The ordinate of the next hatch line: the current line's ordinate (that of its first point)
// plus the step of hatch_step_by_scallop over its points, in the hatch frame of clear_block.
// Status 0, or -1 for a line without points.
void pass_height_at_point(float lower_bound, float high, const hatch_points& points, int count, float& ordinate,
                          int& status);
