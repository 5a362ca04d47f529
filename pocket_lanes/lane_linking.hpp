// The linking stage of the cutting order (several offsets per branch): the chains that stage 1
// found are cut into one path: a chain is cut from its innermost lane outward, a chain that joins
// a lane of another after that one (ending before the lane it joins), and otherwise the chain that
// starts nearest where the last one ended comes next. Each
// cut lane is followed by a connection lane to the next (4 points, group -999) where the straight
// move crosses no island, else by a separator (the tool leaves the material). The cutting stages
// call cut_linked_chains.
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/cutting_stages.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"

#include <cstddef>
#include <vector>

// The end mark of notlif_next_lane: no lane. Lane numbers start at 1 and a pocket may hold far
// more than 9,999 lanes, so the mark is not a lane number.
inline constexpr int kLinkEnd = 0;

// The cutting order of one computation: lanes and, for each, the lane whose entry lies on it
// (where the tool arrives).
struct link_plan {
    std::vector<int> lanes;
    std::vector<int> holders;  // where the tool arrives
    std::vector<int> exits;    // where it leaves towards the parent (the lane's own chain child)
    std::size_t position = 0;
    // On surfaces: where the last cut path ended (the start of the next connection).
    int has_exit = 0;
    double exit[3] = {0.0, 0.0, 0.0};
    // The island lanes of the link tests, followed as the cut lanes join the table.
    island_test_lanes_kept islands;
};
extern link_plan link_plan_block;

// The switch of the connection projection: off when the procedure's absolute-height flag is 1 and
// its incremental height is 78.78 (reads HEI8); notlif sets it at each call.
struct link_switches {
    int projection = 1;
};
extern link_switches link_switches_block;

// Builds the plan and cuts it: each lane through notlif, a separator at the end. Status 0, or the
// status of a failed cut or test. Reads the lane table, pocket_box.first_output_lane and the
// stage tables.
void cut_linked_chains(int group_switch, double side_step, int direction_sign, cut_entry_tables& entries, int& status);

// The plan's next lane after `current`, the lane whose entry on it the tool arrives at (holder) and
// the one whose entry it leaves from towards the parent (exit_holder); kLinkEnd when the plan is
// done.
void notlif_next_lane(int group_switch, int current, const cut_entry_tables& entries, int& next, int& holder,
                      int& exit_holder);

// Cuts `current` open at the entry `holder` keeps (at its start when it keeps none: "[notlif]
// CUTPAS FAILED IN LANE INDEX " with the holder, and a separator first) and, when the tool leaves
// from another point (exit_holder's entry), on along it to there; appends it as an output lane,
// then the connection to `next` (when next is its parent and the move crosses no island) or a
// separator (next kLinkEnd: nothing); current's entry is negated (taken). lane answers the new
// output lane, or the negated status of a failure. Reads pocket_work.tolerance, HEI8 and
// pocket_state.pocket_dimension.
void notlif(int group_switch, int link_mode, double side_step, int direction_sign, cut_entry_tables& entries,
            int current, int holder, int exit_holder, int next, int& lane);

// The connection from start (with its normal record) to end, laid on the surfaces and put in
// front of the output array: the gaps to the references are projected as paths of their own when
// longer than the tolerance word of the curve approximation. Status 0; -1 with a message when a
// projection comes back empty; the failure of a grid drop.
void connect_lanes(const double* start, const double* start_record, const double* end, const double* end_record,
                   const double* start_reference, const double* end_reference, pokarr& output, int& status);

// Lays a lane on the surfaces with the option set of the connection projection (the host's 3-D
// surface algorithm running or not). Status 0, or the projection's failure.
void lane_project(const pokarr& lane, pokarr& result, int& status);

// A whole loop cut from its entry (the path, closed there) goes on along itself to the exit point:
// back over its closing stretch when that is shorter (in a planar pocket), else on over its
// elements up to the exit point, the last one ending there (none added for an exit where an
// element starts). Both ways run over moves just cut.
// Status 0, or the status of a failed append.
void path_on_to(const double* exit, pokarr& path, int& status);
