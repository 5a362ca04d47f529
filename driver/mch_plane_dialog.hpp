// The machine and part-plane dialog of the go-point procedure: its front end (machining type,
// tool, the page), the page with its go choices and part-plane picking, the display and message
// menu (tool display mode, clearance, message insertion, change of origin) and the change of
// origin. The SERVICE page and the machine-parameter entry of the procedures open it.
#pragma once

// Front end for machine group 1 to 5: machining type, a tool, then the page. Inside a function
// (inside set) the user is told that the parameters set do not affect it. Status 0, or the first
// failing status.
void mch_params_dialog(int group, int inside, int& status);

// The page: runs until the user leaves it (status 0); each accepted page makes one go motion, the
// first of them writing the go procedure's block (procedure_written) and noting motion_made. A
// failing motion ends the page with status -3. Reads and writes go_page() and go_motion_choice().
void mch_plane_dialog(int group, int procedure, int& procedure_written, int& motion_made, int& status);

// The display and message menu: the tool display mode, the clearance above the part, the
// insertion of a message or code and the change of origin. list_level is handed to the message
// insertion. Leaving the page stores the clearance (HEI8 word 0) and the display mode (TLER).
void proc_display_menu(int procedure, int list_level, int& status);

// Hands the common arguments to the host, runs its change of origin and takes them back.
void change_origin(int& status);
