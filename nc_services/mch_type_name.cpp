// mch_type_name: the machine-type name table.
#include "nc_services/mch_type_name.hpp"

namespace {

struct type_name {
    int type;
    const char* name;
};

constexpr type_name kNames[] = {{12, "PUNCH     "}, {13, "PUNCH+INDX"}, {31, "LATHE     "}, {22, "MILL2.5X  "},
                                {23, "MILL 3X   "}, {24, "MILL+POS  "}, {25, "MILL 4X   "}, {26, "MILL 5X   "},
                                {62, "AGIE      "}, {63, "CHARMILLES"}, {65, "MAKINO    "}};

}  // namespace

void mch_type_name(int machine_type, std::string& name)
{
    name = "UNKNOWN   ";
    for (const type_name& t : kNames)
        if (t.type == machine_type) name = t.name;
}
