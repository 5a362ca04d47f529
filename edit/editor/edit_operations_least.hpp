// The manual editor's go-motion insertion in its least form: it changes no block and reports no
// change.
#pragma once

// Go-motion insertion at the cursor. changed and layer out. Status 0.
void EDTGO(int& changed, int& layer, int& status);
