// The manual editor's cursor words: where the cursor stands (procedure, its block, its function),
// how the next move goes (direction, jump kind, count, step unit), what is shown (show mode, the
// shown range), which markers the procedure has, and the words the last moves leave for the
// machining-state reader (the last jump, the parameter types a backward step passed). The editor
// loop and its cursor moves write them; the cursor routines and PRVMCH read them. They persist
// between calls of the editor, which sets them anew at every start.
#pragma once

#include "host/vantu_ncd_file.hpp"

#include <array>

// A block path of the host's display calls, held in 11 words: the depth (2), the block number of
// the procedure block, the block number inside its sub-list; the other words are -1. A path
// whose block word is -1 names no block.
struct blk_path {
    static constexpr int kWords = 11;
    std::array<int, kWords> words{2, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    int depth() const { return words[0]; }
    int procedure() const { return words[1]; }
    int block() const { return words[2]; }
    void set(int procedure_block, int block_number)
    {
        words.fill(-1);
        words[0] = 2;
        words[1] = procedure_block;
        words[2] = block_number;
    }
    bool names_block() const { return words[2] != -1; }
    // The address the display calls take.
    ncd_address address() const { return {words[0], words[1], words[2]}; }
    friend bool operator==(const blk_path&, const blk_path&) = default;
};

// Values of the cursor words.
inline constexpr int kDirForward = 1, kDirBackward = 2, kDirJump = 3;
inline constexpr int kJumpStart = 1, kJumpEnd = 2, kJumpLayerZ = 3, kJumpBlock = 4;
inline constexpr int kShowAll = 1, kShowBlock = 2, kShowLayer = 3;
inline constexpr int kStepBlock = 1, kStepLayer = 2;
// cursor_mrkr_code: LAYER (3 opening, 4 closing), PASS (5, 6), none (-1).
inline constexpr int kMarkerLayerOpen = 3, kMarkerLayerClose = 4, kMarkerPassOpen = 5, kMarkerPassClose = 6;
inline constexpr int kNoMarkers = -1;
// A given height of exactly this value means that no height is given.
inline constexpr float kNoHeight = 10000.0f;
// NC function code of a drill procedure.
inline constexpr int kDrillFunction = 6;

struct list_cursor_state {
    int proc_number = 0;          // the current procedure number
    int cursor_proc_blkno = 0;    // block number of the current procedure block
    int cursor_fn_code = 0;       // NC function code of that procedure
    float cursor_layer_z = 0.0f;  // Z of the last LAYER-opening marker a move read
    int cursor_mrkr_code = kNoMarkers;
    int cursor_dir = kDirForward;
    int cursor_jump_kind = kJumpBlock;
    int cursor_count = 1;  // 1..9999
    int cursor_show_mode = kShowAll;
    int cursor_blank_opt = 1;  // 1..5, back to 1 after use
    int cursor_tool_mode = 1;  // 2 while TOOL:TRACE is chosen
    int cursor_step_unit = kStepBlock;
    blk_path cursor_first_path;  // the first and the last motion block of the procedure
    blk_path cursor_last_path;
    int cursor_shown_first = -1;  // block numbers bounding the range shown unblanked
    int cursor_shown_last = -1;
    int cursor_jump_from = 0;  // the last JUMP BLOCK's start and target block numbers
    int cursor_jump_to = 0;
    std::array<float, 6> start_copy{};  // position and tool axis that mnedup puts back into DSP8
    // One word per modal parameter type of kUnchangedTypes: 1 while a backward step has not
    // passed a parameter block of that type.
    std::array<int, 7> prm_unchanged_flags{};
};

list_cursor_state& list_cursor();

// The parameter types of prm_unchanged_flags, in the order of its words.
inline constexpr std::array<int, 7> kUnchangedTypes{1, 2, 3, 5, 10, 55, 100};
// The word of prm_unchanged_flags for a parameter type; nullptr for a type it does not hold.
int* prm_unchanged_flag(int parameter_type);
