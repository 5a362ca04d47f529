// The printers of the frame and text blocks: MACSYS rotations (9), rotation-axes definitions
// (10), tool-path transformations (40) and text blocks (4). PRTBLK calls them.
#include "listing/block_printers.hpp"

#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "nc_services/msg_kind_texts.hpp"

#include <algorithm>

namespace {

constexpr int kTopLevel = 1;
constexpr std::size_t kAxesNameChars = 32, kRowTextChars = 67;

const char* const kRotationAxes[] = {"X AXIS", "Y AXIS", "X AXIS", "Y AXIS"};
const char* const kAxesNames[] = {
    "X AXIS", "Y AXIS", "X AND Y AXIS, X IS A FIXED AXIS", "X AND Y AXIS, Y IS A FIXED AXIS", "Z AXIS", "5 AXIS"};

std::string padded(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

}  // namespace

void prt_macsys_rot(const print_job& job, const tp_macsys_rot_block& b)
{
    const float sc = job.scale;
    const std::string axes = table_name(kRotationAxes, 4, b.axes);
    if (job.form == kFullForm) {
        lst_format(
            job.unit,
            "(1x,'MACSYS ROTATION ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,6x,'ROTATION AXES    = "
            "',a6,/,6x,"
            "'AXIS INDEX=',i2,/,11x,'ARC CENTER       = ',3(f11.4),/,11x,'ROTATION ANGLE   = ',f11.4,/,11x,'OLD MACSYS "
            "PTR   = ',i4,/,11x,'OLD MACSYS DEPTH = ',f11.4,/,11x,'NEW MACSYS PTR   = ',i4,/,11x,'NEW MACSYS DEPTH = ',"
            "f11.4,/,11x,'END POINT        = ',3(f11.4),/)",
            {job.size, b.number, axes, b.axes, b.point[0] * sc, b.point[1] * sc, b.point[2] * sc, b.angle, b.value1,
             b.real1 * sc, b.value2, b.real2 * sc, b.end[0] * sc, b.end[1] * sc, b.end[2] * sc});
    } else {
        point3 centre = b.point, end = b.end;
        lst_line(job.unit, {li_text(lst_proc_block(b.number)), li_blanks(6), li_text("MACSYS ROTATION BLOCK")});
        lst_line(job.unit, {li_blanks(24), li_text("ROTATION AXES   = "), li_text(axes)});
        lst_line(job.unit, {li_blanks(24), li_text("ROTATION ANGLE  = "), li_real(b.angle)});
        lst_line(job.unit, {li_blanks(24), li_text("ARC CENTER "), li_text(lst_point_text(1, centre, sc))});
        lst_line(job.unit, {li_blanks(24), li_text("ARC END "), li_text(lst_point_text(1, end, sc))});
    }
    lst_state().last_type = job.type;
}

void prt_rotaxes(const print_job& job, const tp_rotaxes_block& b)
{
    const float sc = job.scale;
    const std::string name = table_name(kAxesNames, 6, b.kind);
    if (job.form == kFullForm) {
        lst_format(
            job.unit,
            "(/,1x,'ROTATION AXES DEFINITION ',/,6x,'BLOCK SIZE   =',i5,/,6x,'PROC.BLOCK NUMBER =',i3,/,6x,'ROTATION "
            "AXES: ',"
            "a,/,6x,'AXIS INDEX=',i2,/,11x,'X PIVOT POINT    = ',3(f12.4,1x),/,11x,'Y PIVOT POINT    = ',3(f12.4,1x),/,"
            "11x,'ORIGINAL MACSYS PTR   = ',i4,/,11x,'ORIGINAL MACSYS DEPTH = ',f12.4,/)",
            {job.size, b.number, padded(name, kAxesNameChars), b.kind, b.first[0] * sc, b.first[1] * sc,
             b.first[2] * sc, b.second[0] * sc, b.second[1] * sc, b.second[2] * sc, b.value, b.real * sc});
    } else if (job.form == kListForm) {
        point3 first = b.first, second = b.second;
        lst_blank(job.unit);
        lst_line(job.unit, {li_text(lst_block_column(b.number)), li_text("ROTATION AXES DEFINITION")});
        lst_line(job.unit, {li_blanks(12), li_text("ROTATION AXES: "), li_text(name)});
        lst_line(job.unit, {li_blanks(12), li_text("X PIVOT POINT: "), li_text(lst_point_text(1, first, sc))});
        lst_line(job.unit, {li_blanks(12), li_text("Y PIVOT POINT: "), li_text(lst_point_text(1, second, sc))});
        lst_blank(job.unit);
    } else {
        lst_line(job.unit, {li_text("| "), li_text("ROTATION= "), li_text(padded(name, kAxesNameChars)), li_blanks(30),
                            li_text(" |")});
    }
    lst_state().last_type = job.type;
}

void prt_transform(const print_job& job, const tp_transform_block& b)
{
    const float sc = job.scale;
    const auto& m = b.matrix;
    const auto& t = b.translation;
    if (job.form == kFullForm) {
        std::vector<fmt_value> values{job.size, b.number};
        for (float v : m) values.emplace_back(v);
        for (float v : t) values.emplace_back(v * sc);
        lst_format(
            job.unit,
            "(/,1x,'TP TRANSFORMATION',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,11x,'TR. MATRIX: ',3(/,12x,"
            "3(f11.4,1x)),/,11x,'TRANSLATION =',f11.4,2(1x,f12.4),/)",
            values);
    } else {
        lst_blank(job.unit);
        lst_line(job.unit, {li_text(lst_proc_block(b.number)), li_blanks(2), li_text("TP TRANSFORMATION BLOCK:")});
        lst_line(job.unit, {li_blanks(26), li_text("TR. MATRIX:")});
        for (int row = 0; row < 3; ++row) {
            float values[3] = {m[3 * row], m[3 * row + 1], m[3 * row + 2]};
            lst_line(job.unit, {li_text(lst_point_text(3, values, 1.0f))});
        }
        point3 moved = t;
        lst_line(job.unit, {li_blanks(26), li_text("TRANSLATION: "), li_text(lst_point_text(1, moved, sc))});
    }
    lst_state().last_type = job.type;
}

void prt_text(const print_job& job, const tp_text_block& b, int level)
{
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(std::max(b.count, 0)), b.text.size());
    const std::string body = count > 1 ? b.text.substr(1, count - 1) : std::string();
    int kind = 0;
    char first = count > 0 ? b.text[0] : ' ';
    std::string label, prompt, title;
    msg_kind_texts(kind, first, label, prompt, title);
    const std::string shown = "<" + body + ">";
    if (job.form == kFullForm) {
        lst_format(job.unit, "(6x,a19,' = ',a,/,6x,'BLOCK SIZE          ','=',i5,/,6x,'BLOCK NUMBER        ','=',i5)",
                   {title, shown, job.size, b.number});
    } else if (job.form == kListForm) {
        if (level > kTopLevel)
            lst_line(job.unit, {li_text(lst_proc_block(b.number)), li_blanks(6), li_text(title), li_text(shown)});
        else
            lst_line(job.unit, {li_text(lst_block_column(b.number)), li_text(title), li_text(shown)});
    } else {
        lst_line(job.unit,
                 {li_text("| "), li_text(label), li_blanks(1), li_text(padded(body, kRowTextChars)), li_text(" |")});
    }
    lst_state().last_type = job.type;
}
