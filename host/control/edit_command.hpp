// Control calls of the host's modify command, for the runner and the tests: opening a procedure
// of the tool path for modification before the module runs, and settling the tool path after it
// returned. The module writes the edited procedure as a new procedure block (with its own
// sub-list) wherever the list stands when it stores; the host then puts that block in the old
// block's place, so that the tool path holds the procedure once.
#pragma once

namespace vantu::control {

// What the host does when the user opens procedure `number` for modification: the edit-state
// record "EDA2" says so (word 1 editing, word 2 the procedure number), the list stands on the
// procedure's block, and the modify command notes the top list's block counter. False, with
// nothing changed, when the top list has no block of that number.
bool open_procedure_for_edit(int number);

enum class edit_outcome {
    not_editing,  // no procedure was opened for modification
    kept,         // the run wrote no new procedure block (cancelled, refused or deleted): the old one stays
    replaced,     // the new block stands where the old one stood; the old one is gone
    discarded,    // the run did not end normally: its new block is deleted and the old one stays
};

// What the modify command does once the module has returned. The new procedure block is the last
// block written at the top level (the top counter less one) when the counter moved since the
// procedure was opened. A run that ended normally puts it in the old block's place and deletes
// the old block; when the block writer kept the old procedure (the new-block flag, "EDA2" word
// 18, clear) and the new block has no motions, the old block's motions come along under it. A
// run the host aborted deletes the new block instead. Either way one procedure block goes, and
// the count of procedures ("NPRC") gives it back. The list then stands on the procedure's block.
edit_outcome close_procedure_edit(bool run_ended_normally);

}  // namespace vantu::control
