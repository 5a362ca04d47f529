// Rejection of the last picks: the entries they added to the host selection list are taken out
// again. The pocket dialog and the contour picking call it. Least version: the approach-and-
// retract issue completes the UP/DOWN buffers around it and replaces this file, keeping the name.
#pragma once

// Removes the last n entries of the selection list (all of them when fewer are there).
void reject_picks(int n);
