// PRBT99, the printer of marker blocks (type 99) in the listings; PRTBLK calls it.
#pragma once

// Odd codes open their pair's bracket, even codes close it: "OPEN " or "CLOSE", the pair's name
// (toolpath's marker_name; form 0 says "SPRING PASSES" where the others say "CHASS PASSES") and
// the extra the code carries: the layer's z (relative to lst_state's origin in the listing
// forms), the approach or retract type, the path value, the pass or start number, the region.
// Status 0; -1 after "PRBT99 - UNEXPECTED MARKER TYPE" for a code outside 1..66.
void PRBT99(int form, int unit, int number, int code, float scale, float z, int value, int& status);
