// The machining-state reader. PRVMCH brings the display and simulation state (the modal values of
// DSM4 and the machine status line) back in step with the list position after the cursor moved
// backward, jumped, or blocks were deleted or inserted: it applies, for each parameter type
// asked, the last parameter block of that type before the position. The editor's reference-surface
// lists are gathered by ref_lists_collect (edit/edit_ref_params.hpp).
#pragma once

// Searches backward from the list position for the last parameter block of each of the count
// types (at most kPrvmchMostTypes; two entries of one type take the nearest block and the next
// older one) and applies each found through DIPBT1 with the display mode `mode` (1, 2 or 3).
// After a forward JUMP BLOCK the search stops at the jump's start block, whose state is shown
// already. Reads list_cursor() (cursor_dir, cursor_jump_from, cursor_jump_to,
// prm_unchanged_flags), the machine type of NPT1 and the tool-present word of PRM9. The list
// position is the same on return. Status 0; -1 with "PRVMCH, ERRORS IN LIST" on a list failure
// or more than kPrvmchMostTypes types; a negative status of DIPBT1 unchanged (the list then
// stays where the search stood). Uses list marker 1.
inline constexpr int kPrvmchMostTypes = 100;
void PRVMCH(int mode, int count, const int* types, int& status);

// MVBCWD calls this just before the UPDBOT that ends it. That one PRVMCH then takes a type whose
// prm_unchanged_flags word is still 1 as found without searching (on machine types 22 to 26):
// the step passed no parameter block of it, so the value shown is the one in force. Every PRVMCH
// forgets it, so flags left by an earlier step are never trusted by another caller.
void prvmch_trust_unchanged_flags();

// The reader's one word carried between calls.
struct prvmch_words {
    int trust_unchanged = 0;  // set by prvmch_trust_unchanged_flags, cleared by PRVMCH
};
prvmch_words& prvmch_state();
