// The change analysis of a procedure being defined: a snapshot of everything a change of which
// matters (mode 1, before every define step) and the comparison with it afterwards (mode 2),
// which decides between recomputing the procedure, only updating its block, and recalculating
// the optimization. The machine-parameter half is mch_params_changed.
#pragma once

#include "host/words.hpp"
#include "nc_services/proc_type_table.hpp"
#include "toolpath/machine_table.hpp"

#include <array>

inline constexpr int kChangeSnapshot = 1, kChangeCompare = 2;
// Results of the comparison.
inline constexpr int kChangeNone = 0;
inline constexpr int kChangeOptimizeOnly = 1;     // only the optimization is to be recalculated
inline constexpr int kChangeRecomputeAll = 2;     // recompute, optimization included
inline constexpr int kChangeMachineOptimize = 3;  // machine parameters changed, optimization only

// What mode 1 keeps for mode 2.
struct change_snapshot {
    float clearance = 0.0f;         // HEI8 word 0
    float absolute = 0.0f;          // HEI8 word 24
    float incremental = 0.0f;       // HEI8 word 48
    word clearance_plane = 0;       // HEI8 word 73
    word use_absolute = 0;          // HEI8 word 76
    word clearance_mode2 = 0;       // HEI8 word 78
    std::array<word, 2> service{};  // UPW2 words 0 and 1
    int save_aprx = 0;              // save_aprx_choice()
    word macsys = 0;                // NPT1 word 20
    // Kept by mch_params_changed mode 1.
    std::array<word, machine_params::kWords> machine{};  // PRM9
    word wire_word4 = 0;                                 // WRMB word 4
    int go_choice = 0;                                   // go_motion_choice()
    std::array<word, 10> table_ext{};                    // the machine-table extension, machining type 38 only
};

change_snapshot& change_snapshot_data();

// The "SAVE APPROX. FILE" choice of the SERVICE menu: 1 at every procedure start and after every
// read of an existing procedure unless questions are suppressed.
int& save_aprx_choice();

// Mode 1 takes the snapshot: the NC text copies, the machine parameters, the heights, service
// words and MACSYS, the previous parameter block (block_length words of current) and the
// previous optimizer block, and the saved point tables. Mode 2 compares: recompute and update
// are raised (never cleared), callback_status receives the parameters-changed callback's status
// unread, and result is one of the results above. Option words 3, 4 and 5 of the flag globals
// are set to 1 for what changed. Reads HEI8, UPW2, NPT1, PRM9, WRMB, the machining type, the
// point tables and the optimizer blocks.
void proc_change_analysis(int mode, int block_length, const word* current, parameters_changed_callback changed,
                          word* previous, int& recompute, int& update, int& callback_status, int& result);

// Mode 1 records the machine parameters into the snapshot; any other mode compares with it:
// recompute or update are set (with option word 4) by the word that changed, and changed is set
// when the base feed changed while the previous optimizer block's word 18 (item 76) is 2. A
// changed machine surface word also sets resurf_needed().
void mch_params_changed(int mode, int& recompute, int& update, int& changed);

// Sets option word n (1 to 6) of the flag globals to 1.
void set_option_word(int n);
