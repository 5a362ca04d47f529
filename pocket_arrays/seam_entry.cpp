// The line of an unfilled seam entry (see the header).
#include "pocket_arrays/seam_entry.hpp"

#include "host/vantu_messages.hpp"

#include <string>

void seam_unfilled(const char* table) { eroutc(std::string(table) + ": SEAM ENTRY NOT FILLED", 0); }
