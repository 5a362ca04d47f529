// The printers of the motion blocks: lines (2, 22, 222), point strings (7, 27, 227), arcs (3, 23,
// 223), home definitions (6) and NURBS splines (5). PRTBLK calls them.
#include "listing/block_printers.hpp"

#include "host/vantu.hpp"
#include "listing/list_lines.hpp"
#include "listing/listing_fields.hpp"
#include "listing/lst_state.hpp"
#include "listing/read_spline.hpp"
#include "toolpath/tp_words.hpp"

#include <span>

namespace {

constexpr int kSimpleLine = 2, kSimpleString = 7, kMultaxArc = 23, kNormalArc = 223, kHome = 6;

const char* const kLineRecordTail = ",/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)";

struct line_kind {
    int type;
    const char* record;   // the form-0 title record start
    const char* heading;  // the group heading of the other forms
};
constexpr line_kind kLineKinds[] = {
    {2, "(/,1x,'SIMPLE LIN. '", "SIMPLE LINES:"},
    {22, "(/,1x,'MULTAX LIN. '", "MULTAX LINES:"},
    {222, "(/,1x,'SIM.LIN+NRM.'", "SIMPLE LINES+NORMALS:"},
};

struct string_kind {
    int type;
    const char* record;
    const char* heading;
};
constexpr string_kind kStringKinds[] = {
    {7,
     "(/,1x,'STRING OF SIMPLE LINES ',/,16x,'TOTAL NUMBER OF POINTS =',i4,/,16x,'              X            Y          "
     "  "
     "Z ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
     "STRING OF SIMPLE LINES (NUMBER OF POINTS = "},
    {27,
     "(/,1x,'STRING OF MULTAX LINES ',/,16x,'TOTAL NUMBER OF POINTS =',i4,/,16x,'              X            Y          "
     "  "
     "Z ',/,21x,'              i            j            k ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
     "STRING OF MULTAX LINES (NUMBER OF POINTS = "},
    {227,
     "(/,1x,'STRING OF SIMPL LIN+NRM',/,16x,'TOTAL NUMBER OF POINTS =',i4,/,16x,'              X            Y          "
     "  "
     "Z ',/,21x,'              i            j            k ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
     "STRING OF SIMPLE LINES+NORMALS(NUMBER OF POINTS = "},
};

struct arc_kind {
    int type;
    const char* record;
    const char* heading;
};
constexpr arc_kind kArcKinds[] = {
    {3, "(/,1x,'SIMPLE ARC ')", "SIMPLE ARC:"},
    {23, "(/,1x,'MULTAX ARC ')", "MULTAX ARC:"},
    {223, "(/,1x,'DIRECT. ARC ')", "DIRECTION ARC:"},
};
const char* const kArcPlanes[] = {"XY ", "XZ ", "YZ "};

template <class Kind, std::size_t N> const Kind& kind_of(const Kind (&kinds)[N], int type)
{
    for (const Kind& k : kinds)
        if (k.type == type) return k;
    return kinds[0];
}

std::string point_text(int kind, std::span<float> values, float scale) { return lst_point_text(kind, values, scale); }

}  // namespace

std::string table_name(const char* const* names, int count, int value)
{
    if (value < 1 || value > count) return std::to_string(value);
    return names[value - 1];
}

void prt_point(const print_job& job, tp_line_point& p)
{
    const std::string column = lst_proc_block(p.number);
    lst_line(job.unit, {li_text(column), li_blanks(21), li_text(point_text(1, p.point, job.scale))});
    if (job.type == kSimpleLine || job.type == kSimpleString) return;
    lst_line(job.unit, {li_blanks(31), li_text(point_text(2, p.direction, 1.0f))});
}

void prt_line(const print_job& job, tp_line_point& p)
{
    const line_kind& k = kind_of(kLineKinds, job.type);
    listing_state& s = lst_state();
    if (job.form == kFullForm)
        lst_format(job.unit, std::string(k.record) + kLineRecordTail, {job.size, p.number});
    else if (s.last_type != job.type)
        lst_line(job.unit, {li_blanks(16), li_text(k.heading)});
    s.last_type = job.type;
    prt_point(job, p);
}

void prt_string_head(const print_job& job, int number, int points)
{
    const string_kind& k = kind_of(kStringKinds, job.type);
    if (job.form == kFullForm) {
        lst_format(job.unit, k.record, {points, job.size, number});
    } else {
        lst_blank(job.unit);
        lst_line(job.unit, {li_blanks(16), li_text(k.heading), li_int(points), li_text(")")});
    }
    lst_state().last_type = job.type;
}

void prt_arc(const print_job& job, tp_arc_block& b)
{
    const arc_kind& k = kind_of(kArcKinds, job.type);
    const std::string plane = table_name(kArcPlanes, 3, b.plane);
    const float sc = job.scale;
    if (job.form == kFullForm) {
        lst_format(job.unit, k.record, {});
        lst_format(job.unit, "(6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)", {job.size, b.number});
        lst_format(
            job.unit,
            "(16x,'ARC PLANE  = ',a3,/,16x,'ARC ANGLE  = ',f11.4,/,16x,'DEL ANGLE  = ',f11.4,/,16x,'ARC CENTER',"
            "f11.4,f12.4,/,16x,'ARC END   ',f11.4,2(f12.4))",
            {plane, b.angle, b.delta, b.centre[0] * sc, b.centre[1] * sc, b.end[0] * sc, b.end[1] * sc, b.end[2] * sc});
        const auto& d = b.direction;
        if (job.type == kMultaxArc)
            lst_format(job.unit, "(16x,'TOOL DIRECTION AT ARC END',3(f12.4))", {d[0], d[1], d[2]});
        else if (job.type == kNormalArc)
            lst_format(job.unit, "(16x,'NORMAL AT ARC END',3(f12.4))", {d[0], d[1], d[2]});
    } else {
        lst_line(job.unit, {li_text(lst_proc_block(b.number)), li_blanks(6), li_text(k.heading)});
        lst_line(job.unit, {li_blanks(14), li_text("ARC PLANE = "), li_text(plane)});
        lst_line(job.unit, {li_blanks(14), li_text("ARC ANGLE = "), li_real(b.angle)});
        lst_line(job.unit, {li_blanks(14), li_text("ARC CENTER "), li_text(point_text(4, b.centre, sc))});
        lst_line(job.unit, {li_blanks(14), li_text("ARC END    "), li_text(point_text(1, b.end, sc))});
        if (job.type == kMultaxArc)
            lst_line(job.unit, {li_blanks(14), li_text("TOOL DIR.  "), li_text(point_text(2, b.direction, 1.0f))});
        else if (job.type == kNormalArc)
            lst_line(job.unit, {li_blanks(14), li_text("NORMAL     "), li_text(point_text(2, b.direction, 1.0f))});
    }
    lst_state().last_type = job.type;
}

void prt_home(const print_job& job, const tp_home_block& b)
{
    listing_state& s = lst_state();
    if (job.form == kFullForm)
        lst_format(job.unit, "(/,1x,'HOME DEF.    : ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
                   {job.size, b.number});
    else if (s.last_type != kHome)
        lst_line(job.unit, {li_blanks(19), li_text("HOME DEF.:")});
    s.last_type = kHome;
    point3 first = b.first;
    const std::string column = lst_proc_block(b.number);
    lst_line(job.unit, {li_text(column), li_blanks(21), li_text(point_text(1, first, job.scale))});
}

void prt_nurbs(const print_job& job, int where, int& status)
{
    const bool to_world = where == kWhereListWorld || where == kWhereParamLine;
    const int source = where == kWhereListWorld ? kWhereList : where == kWhereParamLine ? kWhereEntity : where;
    spline_words s;
    int number = 0;
    read_spline(source, s, number, status);
    if (status < 0) return;
    if (to_world)
        for (int i = 0; i < s.count; ++i) {
            float* p = s.points.data() + 3 * i;
            const float model[3] = {p[0], p[1], p[2]};
            mapm2w(model, p);
        }
    if (job.form == kFullForm) {
        lst_format(job.unit, "(/,1x,'NURBS SPLINE',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
                   {job.size, number});
    } else {
        lst_line(job.unit, {li_text(lst_proc_block(number)), li_blanks(5), li_text("SIMPLE NURBS:START")});
        lst_line(job.unit, {li_text("                NUMBER OF POINTS:"), li_text(lst_block_column(s.count))});
        lst_line(job.unit, {li_text("                    NURBS DEGREE:"), li_text(lst_block_column(s.order))});
    }
    for (std::size_t i = 0; i < s.knots.size(); ++i) {
        const bool with_point = i < static_cast<std::size_t>(s.count);
        const std::span<const float> point =
            with_point ? std::span<const float>(s.points.data() + 3 * i, 3) : std::span<const float>();
        lst_knot_line(job.form, job.unit, job.type, number, job.scale, with_point ? 1 : 0, s.knots[i], point,
                      lst_state().line);
    }
    if (job.form != kFullForm) lst_line(job.unit, {li_blanks(16), li_text("SIMPLE NURBS:END")});
    lst_state().last_type = job.type;
}
