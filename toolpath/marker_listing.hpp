// The names of the marker pairs (marker blocks, type 99): codes 2n - 1 open and 2n close pair n.
// The marker printer of the listings and the block display name markers with them.
#pragma once

#include <string>

// The name of the marker pair of a code (1 to 66); false for any other code.
bool marker_name(int code, std::string& name);
