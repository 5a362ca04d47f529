// The stand-in's message catalogue (host/core/catalogue.hpp): the messages of module 317, which
// the manual editor, the trimming and the split by tool show by number, those the pocket examples
// show, and the names of the pocket page's parameters. The wording is the stand-in's own.
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
    {319, 30, "WARNING: THE ORIGIN OF THE PROCEDURE IS NOT FOUND"},
    {319, 40, "READING THE PROCEDURE"},
    {319, 560, "NOTE: NO GEOMETRY IS KEPT WITH THE PROCEDURE"},
    {322, 10, "WRITING THE LISTING"},
    {350, 12, "NOTE: DATA FILE NOT FOUND"},
    {331, 21, "PICK CONTOUR/EXIT"},
    {331, 34, "NOTE: A DUPLICATE CONTOUR WAS REMOVED"},
    {331, 35, "NOTE: DUPLICATE CONTOURS REMOVED:"},
};

struct label_entry {
    int label;
    std::string_view text;
};

constexpr label_entry kParameterLabels[] = {
    {63, "EXTRA OFFSET"},    {76, "SIDE STEP"},          {87, "HATCH ANGLE"},   {109, "TOLERANCE"},
    {141, "APPROACH VALUE"}, {145, "CLEARANCE"},         {263, "CONTOUR TYPE"}, {311, "REFERENCE Z"},
    {337, "REGION ORDER"},   {447, "HATCH LINKING"},     {452, "METHOD"},       {457, "SINGLE OFFSET"},
    {455, "LANE OPTION"},    {458, "OFFSET OPTION"},     {459, "PASSES"},       {460, "LEAD MODE"},
    {463, "CORNER ARCS"},    {479, "ENTRY/START POINT"}, {480, "ENTRY SEARCH"}, {3002, "TOOL NAME"},
    {3082, "REGSTR"},
};

}  // namespace

namespace vantu {

std::string_view catalogue_text(int group, int number)
{
    for (const catalogue_entry& e : kCatalogue)
        if (e.group == group && e.number == number) return e.text;
    return {};
}

std::string_view parameter_label_text(int label)
{
    for (const label_entry& e : kParameterLabels)
        if (e.label == label) return e.text;
    return {};
}

}  // namespace vantu
