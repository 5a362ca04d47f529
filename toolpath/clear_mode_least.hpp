// The clearing mode word of the hatch clearing: while it is 3 a negative statement code handed
// to the milling-statement output marks the first string of a statement. Least version until the
// clearing state is built: the word alone, 0 at load.
#pragma once

int& clear_mode();
