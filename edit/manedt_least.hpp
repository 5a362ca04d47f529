// What the execution menu needs of the manual editor and the trimming: the manual editor of the
// current procedure's tool path, the return to the last added block while trimming, the rebuild
// of the trimming menu and whether the trimming driver's restart point is set. Least version
// until manual editing and trimming are built: the editor changes nothing (the menu shows its
// page again), and no trimming restart point is ever set.
#pragma once

// The manual editor. Status 0. The execution menu calls these through driver/edit_seams.hpp.
void manedt(int& status);
// Mode 2 marks the current list position, mode 1 returns to it. Status 0.
void goto_last_added_block(int mode, int& status);
// The trimming menu is built again at the trimming driver's next entry.
void trim_menu_reset();
// 1 while the trimming driver's restart point is set.
int trim_restart_active();
