// The ten callbacks the module registers for the wire-EDM pocket procedure type, in slot
// order, with the argument lists the procedure driver passes (every argument by reference, the
// status word last). Define (pocket_define.cpp), execute (pocket_execute.cpp), put parameters and
// geometry (pocket_params_put.cpp), read parameters (pocket_params_read.cpp) and the change test
// (pocket_param_changed.cpp) have files of their own; the others are in pocket_callbacks.cpp.
#pragma once

// Slot 1: contours, regions, start sides and parameters are defined; sets the geometry-
// redefined and end-run flags.
void define_drelan(int& procedure_number, int& view_only, int& tool_path_moved, int& repeat, int& change_status,
                   int& back, int& geometry_redefined, int& end_run, int& status);
// Slot 2: mode 1 runs the pocket into the open sub-list, mode 2 cleans up after an interrupt.
void execute_drelan(int& mode, int& status);
// Slot 3: writes the pocket's parameter records (WHERE code; counter of words written).
void param_put_drelan(int& procedure_type, int& where, int& counter, int& status);
// Slot 4: writes the contour geometry entity.
void geom_put_drelan(int& procedure_type, int& where, int& counter, int& status);
// Slot 5: reads the parameter block and the contour table from a procedure block or template.
void block_read_drelan(int& where, int& procedure_type, int& version, int& before_515, int& segment_length,
                       int& status);
// Slot 6: sets changed_recompute to 1 when the tool path must be recomputed; a flag that comes in
// as 1 stays 1, and changed_update is not used.
void param_changed_drelan(int& changed_recompute, int& changed_update, int& status);
// Slot 7: mode 1 sets the defaults; other modes release the working memory.
void param_init_drelan(int& mode, int& status);
// Slot 8: mode 1 tests the stored contours (contours-valid flag), 2 attaches them and fixes the
// curves that leave their planes, 3 sets flag to 0 when a stored curve is a replacement line.
void contour_rec_drelan(int& mode, int& word, int& flag, int& status);
// Slot 9: the pocket shows no points before execution.
void display_hook_drelan(int& capacity, int& count, float* points, int& show_arrows, float* directions, int& has_axes,
                         float* axes, int& status);
// Slot 10: registers the pocket's parameter translations.
void trns_add_drelan(int& status);
