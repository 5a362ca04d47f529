// Where the lane of a small hole begins. Such a hole is pinched off where lanes cross: often a
// thin sliver with sharp tips. Its lane, entered from above, should open on the hole's wide part,
// so that the opening stretch does not lie beside a later stretch of the same lane.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Restarts the closed 2-D loop inside one of its elements, where its first quarter keeps
// farthest from the rest of it (from an eighth of the loop on either side of that quarter). The
// loop is unchanged when it has fewer than two elements or the restart fails.
void hole_start_wide(pokarr& loop);
