// Whether a closed planar loop of lines plainly does not cross itself: its elements keep well
// apart except where neighbours share their vertex. The loop removal asks it before it searches
// a raw offset against itself: most offsets of a region (every inward offset of a convex one)
// are such loops, and the tolerant search would walk every element only to find nothing.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// True when the loop (dimension 2, no arc records, at least three elements, first and last
// entries bit for bit equal, every coordinate finite) has: every element longer than the
// clearance; every two neighbours at an angle whose sine exceeds 0.01, each far end beyond the
// clearance from the other element; every two elements that are not neighbours farther apart
// than the clearance. The clearance is 1e-4 plus 1e-5 times the loop's longest element, far above
// the search's tolerances. False also when the elements crowd each other (the pairs to measure
// outnumber a bound of the element count): the answer is then left to the search. A true answer
// means the self search finds no crossing; a false one says nothing.
bool loop_plainly_simple(const pokarr& loop);
