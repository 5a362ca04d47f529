// The lane loop of the engine: one pass per offset step, each offsetting the lanes of the outer
// contour's branches (lanpok) and, once, the islands (lanile), merging them where they meet
// (lane_merge.hpp), and at the end closing every branch. rrpock calls offset_lanes.
#pragma once

// Runs the passes (offsets_mode: 1 one pass, 9999 until nothing is left) and closes the branches;
// with several passes, the islands that no branch took in are taken in by the branch lane that
// holds them, or end outside the material (close_apart_islands). offsets are the engine's offsets by level (islands
// that appear in pass 1 get theirs). Status 0, the first code that ends the loop, or 22
// (kEngineUncovered) when a pocket on the surface run until full keeps its lanes but they leave
// surface farther than the step from every lane ("[offset_lanes] OFFSET HAS FAILED. PART OF THE
// POCKET WILL NOT BE MACHINED" on the error channel). Reads pocket_state.pocket_dimension,
// pocket_work (end_value, tolerance, full_pocket) and pocket_box.island_count.
void offset_lanes(double first_offset, double extra_offset, double* offsets, double side_step, int offsets_mode,
                  int direction_sign, int ilscom_switch, int lancom_switch, int second_stage, int& status);

// One pass over the branches: each branch's lane of the previous pass is offset by the distance
// (retried smaller when the retry switch asks), or the branch is closed. end_flag is 1 when no
// branch made an offset. Status 0, or the offset's code that ends the pass (9, 10, 11, 15, 21, a
// negative status). Reads pocket_work (reach_squared, combine_flag).
void lanpok(int direction_sign, double first_offset, double distance, int pass, int& branch_count, int retry_switch,
            int& end_flag, int& status);

// Offsets every island's lane of the previous stage (stage 1 adds the island's offset by level).
// An island offset inwards that vanishes in stage 1 is a warning ("ATTENTION : ONE ISLAND WAS
// IGNORED ..." in pocket mode 0); an outward offset that records no lane round its island keeps
// the loop it was made from as the island's lane of the stage ("[lanile] ISLAND OFFSET HAS
// FAILED. ..." on the error channel); a second offset that gives nothing is "[lanile] SECOND
// ISLAND OFFSET HAS FAILED. THIS ISLAND WILL BE GOUGED" and status 11. Reads
// pocket_box.island_count and the pocket mode.
void lanile(int direction_sign, double first_offset, double distance, const double* offsets, int pass, int island_stage,
            int& branch_count, int& status);
