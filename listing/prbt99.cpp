// PRBT99 (see the header).
#include "listing/prbt99.hpp"

#include "host/vantu.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "toolpath/marker_listing.hpp"

namespace {

constexpr int kMarkerTypeBase = 900;  // lst_state's last type of a marker: 900 + code
constexpr std::size_t kValueField = 6;
// Opening codes that carry an extra.
constexpr int kLayer = 3, kApproach = 9, kPathByX = 33, kPathByY = 35, kPathByRadius = 37, kPathByAngle = 39,
              kThreadCycle = 45, kSpringPasses = 51, kThread = 53, kThreadEnd = 54, kRegion = 59, kRegionEnd = 60,
              kRetractType = 61;

const char* const kApproachTypes[] = {" (TYPE=NOR.    )", " (TYPE=TAN.    )", " (TYPE=Z-UP    )"};

bool opening(int code) { return code % 2 == 1; }

// " (n)" in a field of 6 characters.
std::string value_field(int value)
{
    std::string text = " (" + std::to_string(value) + ")";
    if (text.size() < kValueField) text.resize(kValueField, ' ');
    return text;
}

void full_form(int unit, int code, int value, float z, const std::string& name)
{
    const std::string bracket = opening(code) ? "OPEN " : "CLOSE";
    switch (code) {
    case kLayer: return lst_format(unit, "(1x,a5,1x,a5,'  (Z =',f11.4,')')", {bracket, name, z});
    case kApproach:
    case kRetractType: return lst_format(unit, "(1x,a5,1x,a8,' (TYPE =',i2,')')", {bracket, name, value});
    case kPathByX:
    case kPathByY: return lst_format(unit, "(1x,a5,1x,a9,' (',i3,')')", {bracket, name, value});
    case kPathByRadius:
    case kPathByAngle: return lst_format(unit, "(1x,a5,1x,a14,' (',i3,')')", {bracket, name, value});
    case kThreadCycle: return lst_format(unit, "(1x,a5,1x,a12,',PASS NUMBER:(',i3,')')", {bracket, name, value});
    case kThread: return lst_format(unit, "(1x,a5,1x,a6,' - START NUMBER:(',i3,')')", {bracket, name, value});
    case kThreadEnd: return lst_format(unit, "(1x,a5,1x,a6,' -  CURRENT START ')", {bracket, name});
    case kRegion:
    case kRegionEnd: return lst_format(unit, "(1x,a5,1x,a)", {bracket, name + std::to_string(value)});
    default: return lst_format(unit, "(1x,a5,1x,a)", {bracket, name});
    }
}

void list_form(int unit, int number, int code, int value, float z, float scale, const std::string& name)
{
    std::vector<fl_item> items{li_text(lst_proc_block(number)), li_text(opening(code) ? "  OPEN  " : "  CLOSE ")};
    switch (code) {
    case kLayer:
        items.insert(items.end(),
                     {li_text("LAYER  (Z="), li_length((z - lst_state().origin[2]) * scale), li_text(")")});
        break;
    case kApproach:
    case kRetractType: items.insert(items.end(), {li_text(name), li_text(table_name(kApproachTypes, 3, value))}); break;
    case kPathByX:
    case kPathByY:
    case kPathByRadius:
    case kPathByAngle: items.insert(items.end(), {li_text(name), li_text(value_field(value))}); break;
    case kThreadCycle:
        items.insert(items.end(), {li_text("THREAD CYCLE,PASS NUMBER:"), li_text(value_field(value))});
        break;
    case kThread: items.insert(items.end(), {li_text("THREAD - START NUMBER:"), li_text(value_field(value))}); break;
    case kThreadEnd: items.push_back(li_text("THREAD - CURRENT START")); break;
    case kRegion:
    case kRegionEnd: items.insert(items.end(), {li_text(name), li_int(value)}); break;
    default: items.push_back(li_text(name)); break;
    }
    lst_line(unit, items);
}

}  // namespace

void PRBT99(int form, int unit, int number, int code, float scale, float z, int value, int& status)
{
    std::string name;
    if (!marker_name(code, name)) {
        erou1c("PRBT99 - UNEXPECTED MARKER TYPE", code);
        status = -1;
        return;
    }
    status = 0;
    const bool full = form == kFullForm;
    if ((code == kSpringPasses || code == kSpringPasses + 1) && !full) name = "CHASS PASSES";
    if (opening(code)) {
        if (full)
            lst_format(unit, "(1x)", {});
        else
            lst_blank(unit);
    }
    if (full) {
        full_form(unit, code, value, z, name);
        lst_format(unit, "(6x,i3,'-',i5,t12,'BLOCK NUMBER =',i5)", {number});
    } else {
        list_form(unit, number, code, value, z, scale, name);
    }
    if (!opening(code)) {
        if (full)
            lst_format(unit, "(1x)", {});
        else
            lst_blank(unit);
    }
    lst_state().last_type = kMarkerTypeBase + code;
}
