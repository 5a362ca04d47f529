// The cutting order of a pocket computation: the tree of lanes the engine left becomes cutting
// chains appended to the lane table from the first output lane on, each chain closed by a
// separator lane (level 9999). Stage 1 (cut_stage1) chooses where each lane is entered from its
// child; the end-point ordering (cutluk) re-chooses the entries so that the pocket ends near the
// restart point; stage 2 cuts the chains, each branch on its own in the single-offset mode
// (chain_cut), otherwise linked into one path (lane_linking.hpp). The lane engine calls
// cut_pocket_stages when it has made usable lanes.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Entries of the stage tables (1-based); a lane count from kStageLaneLimit on is refused.
inline constexpr int kStageEntries = 33333;
inline constexpr int kStageLaneLimit = 33334;

// The entry tables: for a lane X of a chain, the element of X's parent at which the chain passes
// from X into its parent, the point there and its parameter on that element; for a closing lane,
// the element of its parent at which the chain starts. Element 0: none; the linking stage
// negates an entry once its lane has been cut.
struct cut_entry_tables {
    int element[kStageEntries + 1];
    double x[kStageEntries + 1];
    double y[kStageEntries + 1];
    double param[kStageEntries + 1];
};

// The state of the cutting stages; one block, rebuilt by every computation.
struct cut_stage_state {
    cut_entry_tables entries;
    cut_entry_tables saved;  // cutluk's copy, put back when it gives up
    double* z = nullptr;     // entry heights outside dimension 2 (a host block)
    int z_room = 0;
    int outer_branches = 0;  // the highest branch level; raised by every split chain
    int progress_on = 0;
    int progress_total = 0;
    int progress_counter = 0;
    int end_point_note = 0;  // cutluk gave up: the computation reports 100
    int lane_reads = 0;      // lanes read by stage 1 (the host is polled at every 15th)
};
extern cut_stage_state cut_stage_block;

// Whether lane n has a place in the stage tables.
inline bool stage_index_ok(int n) { return n >= 1 && n <= kStageEntries; }

// Orders and links the lanes (group switch 0 in this system). Status 0 or 100, 10 for too many
// lanes, 11 for a failed lane read, 51 when a live lane of the engine is in no cut chain (its
// material would stay), the negative status of a failed test, -1 when the entry heights cannot
// be had. Reads pocket_state (pocket_dimension, reverse_islands, multi_offset,
// drawing_mode) and pocket_work.end_point_mode; sets pocket_box.first_output_lane.
void cut_pocket_stages(int group_switch, double side_step, double first_offset, int direction_sign, int offsets_mode,
                       int& status);

// Stage 1: the entry of every lane of every chain, from the closing lanes down; chains that find
// no entry are split or cut, which appends closing lanes and raises outer_branches. Status 0, 10,
// 11 or a failed test's negative status. Reads pocket_work (tolerance, surface_reduction) and
// pocket_state (pocket_dimension, reverse_islands, drawing_mode).
void cut_stage1(int group_switch, double side_step, int direction_sign, int offsets_mode, cut_entry_tables& entries,
                double* z, int& outer_branches, int& status);

// The end-point ordering (planar pockets): the innermost lane of branch 1 is entered at its point
// nearest the restart point, and the entries up the chain follow the straight line to it. Status
// 0; 100 when it gives up (the stage-1 entries are put back); 10 for too many lanes; -1 with
// "[cutluk], 3D POCKET NOT SUPPORTED !!" outside dimension 2. Reads pocket_work.restart_point and
// the pocket frame.
void cutluk(double side_step, int direction_sign, cut_entry_tables& entries, int& status);

// One lane of a chain cut open at the entry that holder keeps (the point on `lane` where the chain
// arrives) and appended as an output lane; reversed when side is -1. Answers the new lane, or the
// negated status (-11 for a failed read, -10 for a full table).
int chain_cut(int holder, int lane, int side, const cut_entry_tables& entries);
// Its two steps: the lane opened at holder's entry into path (at its first point when holder keeps
// none), reversed for side -1, cleaned, in dimension 2 with the detours round the collapse lanes
// it holds (collapse_detours.hpp), laid on the surfaces outside dimension 2 (kept as it is when
// that fails); status 0, 10 or 11. Then the path appended with the lane's status, level,
// offset and group (parent and first link 1, second link the lane); answers the new lane or the
// negated status.
void open_chain_lane(int holder, int lane, int side, const cut_entry_tables& entries, pokarr& path, int& status);
// The lane's path once opened at its entry laid out as the chain cut cuts it: reversed for side
// -1, its short elements dropped and its arcs tidied, in dimension 2 its detours put in. Stage 1
// judges an entry on the path so laid out. Status 0, or that of the detours.
void lay_chain_lane(int lane, int side, pokarr& path, int& status);
int add_cut_lane(int lane, const pokarr& path);

// Whether the lane is a first island offset (status 1) of an island of contour type 2 that is the
// parent of at most one lane with a non-zero status and an entry.
bool single_island(int lane, const cut_entry_tables& entries);

// Counts one cutting step; every 15th in a planar pocket, every one otherwise, it polls the host
// (without progress display) or moves the progress line on to min(total - 1, counter).
void cut_progress_step(int progress_switch, int total, int& counter);
