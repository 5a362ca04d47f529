// The 10-character name of a machine type, as the header texts and the machine dialog show it.
#pragma once

#include <string>

// 12 "PUNCH", 13 "PUNCH+INDX", 22 "MILL2.5X", 23 "MILL 3X", 24 "MILL+POS", 25 "MILL 4X",
// 26 "MILL 5X", 31 "LATHE", 62 "AGIE", 63 "CHARMILLES", 65 "MAKINO", any other "UNKNOWN"; blank-
// padded to 10 characters.
void mch_type_name(int machine_type, std::string& name);
