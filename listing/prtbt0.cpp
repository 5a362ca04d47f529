// PRTBT0 (see the header).
#include "listing/prtbt0.hpp"

#include "host/vantu.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "nc_services/mch_type_name.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/rec8.hpp"

#include <cstring>

namespace {

constexpr int kOpenToolPath = -1, kCurrent = 0;
constexpr std::size_t kUcsNameChars = 6, kLevelChars = 6, kMacsysChars = 8;

struct header_names {
    std::string macsys, level, name, type, ucs;
};

std::string fitted(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

void level_and_macsys(int procedure_id, header_names& n)
{
    const int tool_path = procedure_id == kOpenToolPath ? CLP1().at(proc_colour_pen::kToolPath) : procedure_id;
    int view = 0, level = CLP1().at(proc_colour_pen::kLevel), status = 0;
    if (procedure_id == kCurrent || tool_path < 1) {
        gsvnum(1, view);
    } else {
        eattc(tool_path, 1, "VN", view, status);
        eattc(tool_path, 1, "LE", level, status);
    }
    gvtdat(view, n.macsys);
    gsname(level + 1, n.level);
    n.macsys = fitted(n.macsys, kMacsysChars);
    n.level = fitted(n.level, kLevelChars);
}

std::string ucs_name(int id)
{
    if (id < 1) return std::string(kUcsNameChars, ' ');
    ucs_record ucs;
    int status = 0;
    rec8_get_put(1, id, ucs, status);
    if (status < 0) {
        eroutc("PRTBT0, ERRORS IN OPENING UCS", 0);
        return std::string(kUcsNameChars, ' ');
    }
    char name[8];
    std::memcpy(name, ucs.name.data(), sizeof name);
    return std::string(name, kUcsNameChars);
}

std::string quoted(const std::string& text) { return "\"" + text + "\" "; }

void name_lines(int unit, int indent, const header_names& n, bool with_ucs)
{
    lst_line(unit, {li_blanks(indent), li_text("MACSYS NAME     : "), li_text(quoted(n.macsys))});
    lst_line(unit, {li_blanks(indent), li_text("TOOL PATH LEVEL : "), li_text(quoted(n.level))});
    lst_line(unit, {li_blanks(indent), li_text("TOOL PATH NAME  : "), li_text(quoted(n.name))});
    lst_line(unit, {li_blanks(indent), li_text("MACHINE TYPE    : "), li_text(quoted(n.type))});
    if (with_ucs) lst_line(unit, {li_blanks(indent), li_text("UCS NAME        : "), li_text(quoted(n.ucs))});
}

}  // namespace

void PRTBT0(int form, int procedure_id, int unit, int size, const tp_header_block& h, float scale)
{
    header_names n;
    n.name = std::string(h.macsys_name.data(), h.macsys_name.size());
    mch_type_name(h.value1, n.type);
    level_and_macsys(procedure_id, n);
    n.ucs = ucs_name(h.value3);
    if (form == kFullForm) {
        std::vector<fmt_value> values{size, h.number, n.name, n.type};
        for (float v : h.point1) values.emplace_back(v * scale);
        for (float v : h.point2) values.emplace_back(v * scale);
        for (float v : h.matrix) values.emplace_back(v);
        values.emplace_back(h.real1 * scale);
        values.emplace_back(h.value2);
        values.emplace_back(n.ucs);
        lst_format(
            unit,
            "(/,1x,'HEADER',/,6x,'BLOCK SIZE   =',i5,/,6x,'PROC.BLOCK NUMBER =',i2,/,11x,'TOOL PATH NAME: "
            "\"',a8,'\"',/,"
            "11x,'MACHINE TYPE:   \"',a8,'\"',/,11x,'ORIGIN      ',3(f11.4,1x),/,11x,'HOME POS.   ',3(f11.4,1x),/,11x,"
            "'TR. MATRIX: ',3(/,12x,3(f11.4,1x)),/,11x,'DEPTH   =  ',f11.4,/,11x,'POINTER =  ',i4,/,11x,'UCS NAME      "
            ": "
            "\"',a8,'\"',/)",
            values);
    } else if (form == kListForm) {
        lst_blank(unit);
        lst_line(unit, {li_text(lst_block_column(h.number)), li_text("HEADER")});
        name_lines(unit, 11, n, false);
        lst_blank(unit);
        lst_line(unit, {li_blanks(6), li_text("(NOTE: The Tool Path origin is expressed in the MACSYS")});
        lst_line(unit, {li_blanks(13), li_text("coordinate system!  All other points are expressed")});
        lst_line(unit, {li_blanks(13), li_text("relative to the active origin.)")});
        lst_blank(unit);
        point3 origin = h.point1, home = h.point2;
        lst_line(unit, {li_blanks(11), li_text("TOOL PATH ORIGIN: "), li_text(lst_point_text(1, origin, scale))});
        lst_line(unit, {li_blanks(11), li_text("HOME            : "), li_text(lst_point_text(1, home, scale))});
        lst_line(unit, {li_blanks(11), li_text("UCS NAME        : "), li_text(quoted(n.ucs))});
        lst_blank(unit);
    } else if (form == kHeaderForm) {
        name_lines(unit, 2, n, true);
        lst_blank(unit);
        lst_blank(unit);
    } else {
        lst_line(unit, {li_text("|" + std::string(74, '=') + "|")});
        lst_format(unit, "('| ','TOOL PATH',3x,'NAME= ',a8,2x,'LEVEL= ',a6,2x,'UCS= ',a6,2x,'TYPE= ',a10,' |')",
                   {n.name, n.level, n.ucs, n.type});
    }
    lst_state().last_type = 0;
}
