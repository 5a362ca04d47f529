// The manual editor's service operations that later work builds whole, in their least form: the
// block listing, the go-motion insertion and the time estimate. The least forms change no block:
// listings, go-motions and the estimate do nothing and report no change.
#pragma once

// The block listing of the procedure. Status 0.
void BLKLST(int& status);
// Go-motion insertion at the cursor. changed and layer out. Status 0.
void EDTGO(int& changed, int& layer, int& status);
// The time estimate: where it is printed (1 screen, 2 file, 3 both), and the estimate itself.
void set_estimate_mode(int mode);
void time_estimate(int first, int second, int& status);
