// The stand-in's message catalogue (host/core/catalogue.hpp): the messages of module 317, which
// the manual editor, the trimming and the split by tool show by number.
#include "host/core/catalogue.hpp"

namespace {

struct catalogue_entry {
    int group;
    int number;
    std::string_view text;
};

constexpr catalogue_entry kCatalogue[] = {
    {317, 10, "STEPPING - PRESS <SPACE> TO STOP"},
    {317, 11, "ATTENTION: TOOL CHANGED"},
    {317, 20, "INDICATE A BLOCK OF THE PROCEDURE"},
    {317, 30, "TRIMMING THE TOOL PATH - PLEASE WAIT"},
    {317, 31, "WARNING  : THE NEW LEVEL IS LIMITED TO THE CLEARANCE HEIGHT"},
    {317, 32, "DIVIDE THE PROCEDURE BY TOOL ?"},
    {317, 33, "NOTE: NOTHING TO DIVIDE - THE PROCEDURE USES ONE TOOL"},
    {317, 34, "ERROR    : A TOOL OF THE PROCEDURE IS NOT IN THE TOOL SET"},
    {317, 36, "WARNING  : SURFACE PROCEDURE - EDITED MOTIONS ARE NOT CHECKED AGAINST THE SURFACES"},
};

}  // namespace

namespace vantu {

std::string_view catalogue_text(int group, int number)
{
    for (const catalogue_entry& e : kCatalogue)
        if (e.group == group && e.number == number) return e.text;
    return {};
}

}  // namespace vantu
