// The printers of the cycle and setting blocks: lathe drill (11), thread (13) and groove (14)
// cycles, cycle activation and cancellation (30, 35), drill locations (31), del-zsurf, retract
// mode and depth settings (33, 34, 36). PRTBLK calls them.
#include "listing/block_printers.hpp"

#include "host/words.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "tools/tool_accessors.hpp"

#include <cstring>

namespace {

constexpr int kDrillLocation = 31, kActivation = 30, kRetractToR = 1;

const char* const kGrooveTypes[] = {"OUTSIDE DIAMETER", "INSIDE DIAMETER ", "   FACING       "};
const char* const kDrillTypes[] = {"PECK DRIL               ", "HIGH SPEED PECK DRILL   ", "BORING                  "};
const char* const kRetractLabels[] = {"\"TO-RETRACT\"", "\"TO-INIT\"   "};
const char* const kGrooveLabels[] = {"TOTAL DOWN STEP: ", "DEPTH OF CUT   : ", "RETRACT AMOUNT : ",
                                     "GROOVE WIDTH   : ", "SIDE STEP      : ", "DELTA UP       : "};

std::string point_text(point3 p, float scale) { return lst_point_text(1, p, scale); }

std::string trimmed(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The 20-character name of the cycle whose id the first word of the block's name holds.
std::string cycle_name(const tp_cycle_block& b)
{
    word id = 0;
    std::memcpy(&id, b.name.data(), sizeof id);
    std::string name;
    cycle_get_name(static_cast<int>(id), name);
    return name;
}

void heading(const print_job& job, int number, int blanks, const char* text)
{
    lst_line(job.unit, {li_text(lst_proc_block(number)), li_blanks(blanks), li_text(text)});
}

}  // namespace

void prt_lathe_drill(const print_job& job, const tp_lathe_drill_block& b)
{
    const float sc = job.scale;
    if (job.form == kFullForm) {
        lst_format(
            job.unit,
            "(/,1x,'LATHE DRILL CYCLE:',/,11x,'                X            Y            Z ',/,6x,'BLOCK SIZE   =',i5,"
            "/,6x,'BLOCK NUMBER =',i5,/,11x,'DRILL TYPE  =',i2,/,11x,'DRILL DEPTH =',f11.4,/,11x,'DRILL START',f11.4,"
            "2(1x,f12.4),/,11x,'NUMBER STEPS =',i2,/,11x,'DRILL FEED  =',f11.4)",
            {job.size, b.number, b.drill_type, b.real1 * sc, b.point[0] * sc, b.point[1] * sc, b.point[2] * sc, b.value,
             b.real2});
    } else {
        lst_blank(job.unit);
        heading(job, b.number, 2, "LATHE DRILL CYCLE");
        lst_line(job.unit,
                 {li_blanks(16), li_text("DRILL TYPE    = "), li_text(table_name(kDrillTypes, 3, b.drill_type))});
        lst_line(job.unit, {li_blanks(16), li_text("NUMBER STEPS  = "), li_int(b.value)});
        lst_line(job.unit, {li_blanks(16), li_text("DRILL START Z = "), li_length(b.point[0] * sc)});
        lst_line(job.unit, {li_blanks(16), li_text("DRILL DEPTH   = "), li_real(b.real1)});
    }
    lst_state().last_type = job.type;
}

void prt_thread(const print_job& job, const tp_thread_block& b)
{
    const float sc = job.scale;
    if (job.form == kFullForm) {
        lst_format(job.unit, "(/,1x,'THREAD CYCLE ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
                   {job.size, b.number});
        lst_format(
            job.unit,
            "(16x,'START POINT ',f11.4,2(f12.4),/,16x,'END   POINT ',f11.4,2(f12.4),/,16x,'TOTAL NUMBER OF STARTS :',"
            "i5,/,16x,'CURRNT  START  NUMBER  :',i5,/)",
            {b.start[0] * sc, b.start[1] * sc, b.start[2] * sc, b.end[0] * sc, b.end[1] * sc, b.end[2] * sc, b.starts,
             b.current});
    } else {
        heading(job, b.number, 6, "THREAD CYCLE:");
        lst_line(job.unit, {li_blanks(23), li_text("STRT POINT "), li_text(point_text(b.start, sc))});
        lst_line(job.unit, {li_blanks(23), li_text("END  POINT "), li_text(point_text(b.end, sc))});
        lst_line(job.unit, {li_blanks(23), li_text("TOTAL NUMBER OF STARTS: "), li_int(b.starts)});
        lst_line(job.unit, {li_blanks(23), li_text("CURRENT  START  NUMBER: "), li_int(b.current)});
        lst_blank(job.unit);
    }
    lst_state().last_type = job.type;
}

void prt_groove(const print_job& job, const tp_groove_block& b)
{
    const float sc = job.scale;
    const std::string name = table_name(kGrooveTypes, 3, b.groove_type);
    if (job.form == kFullForm) {
        lst_format(job.unit, "(/,1x,'GROOVE CYCLE ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5)",
                   {job.size, b.number});
        std::vector<fmt_value> values{name,          b.start[0] * sc, b.start[1] * sc, b.start[2] * sc,
                                      b.end[0] * sc, b.end[1] * sc,   b.end[2] * sc};
        for (float r : b.reals) values.emplace_back(r);
        lst_format(
            job.unit,
            "(16x,'GROOVE TYPE:',a16,/,16x,'START POINT ',f11.4,2(f12.4),/,16x,'END   POINT ',f11.4,2(f12.4),/,16x,"
            "'TOTAL DOWN STEP :',f11.4,/,16x,'DEPTH OF CUT    :',f11.4,/,16x,'RETRACT AMOUNT  :',f11.4,/,16x,"
            "'GROOVE WIDTH    :',f11.4,/,16x,'SIDE STEP       :',f11.4,/,16x,'DELTA UP        :',f11.4,/)",
            values);
    } else {
        heading(job, b.number, 6, "GROOVE CYCLE:");
        lst_line(job.unit, {li_blanks(23), li_text("GROOVE TYPE: "), li_text(name)});
        lst_line(job.unit, {li_blanks(23), li_text("STRT POINT "), li_text(point_text(b.start, sc))});
        lst_line(job.unit, {li_blanks(23), li_text("END  POINT "), li_text(point_text(b.end, sc))});
        for (std::size_t i = 0; i < b.reals.size(); ++i)
            lst_line(job.unit, {li_blanks(23), li_text(kGrooveLabels[i]), li_real(b.reals[i])});
        lst_blank(job.unit);
    }
    lst_state().last_type = job.type;
}

void prt_cycle(const print_job& job, const tp_cycle_block& b)
{
    const bool activation = job.type == kActivation;
    const float sc = job.scale;
    const std::string name = cycle_name(b);
    const char* const retract = b.value2 == kRetractToR ? "RETRACT TO R-PLANE" : "RETRACT TO I-PLANE";
    if (job.form == kFullForm) {
        const std::string title = activation ? "'CYCLE ACTIVATION '" : "'CYCLE CANCELATION'";
        lst_format(
            job.unit,
            "(/,1x," + title +
                ",/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,11x,'CYCLE NAME - \" ',a20,'\"',2x,/,11x,"
                "'DEL-ZSURF =',f11.4,/,11x,' DEPTH    =',f11.4,/,11x,' CLEAR    =',f11.4,/,11x,'DEL-INIT  "
                "=',f11.4,/,11x,a)",
            {job.size, b.number, name, b.real2 * sc, b.real1 * sc, b.real3 * sc, b.real4 * sc, std::string(retract)});
    } else if (activation) {
        heading(job, b.number, 2, "CYCLE ACTIVATION BLOCK");
        if (!trimmed(name).empty()) lst_line(job.unit, {li_blanks(16), li_text("CYCLE NAME = \"" + name + "\"")});
        lst_line(job.unit, {li_blanks(16), li_text("DEL-ZSURF = "), li_length(b.real2 * sc)});
        lst_line(job.unit, {li_blanks(16), li_text("DEPTH     = "), li_length(b.real1 * sc)});
        lst_line(job.unit, {li_blanks(16), li_text("CLEAR     = "), li_length(b.real3 * sc)});
        lst_line(job.unit, {li_blanks(16), li_text("DEL-INIT  = "), li_length(b.real4 * sc)});
        lst_line(job.unit, {li_blanks(16), li_text(retract)});
    } else {
        lst_blank(job.unit);
        heading(job, b.number, 2, "CYCLE CANCELATION BLOCK:");
        if (!trimmed(name).empty())
            lst_line(job.unit, {li_blanks(16), li_text("CYCLE NAME: \"" + trimmed(name) + "\"")});
    }
    lst_state().last_type = job.type;
}

void prt_drill_loc(const print_job& job, tp_drill_loc_block& b)
{
    listing_state& s = lst_state();
    const float sc = job.scale;
    const bool first = s.last_type != kDrillLocation;
    if (job.form == kFullForm) {
        if (first)
            lst_format(job.unit,
                       "(/,1x,'DRILL LOCATION:',/,11x,'                X            Y            Z ',/,11x,'           "
                       "     i   "
                       "         j            k ')",
                       {});
        const auto& p = b.point;
        const auto& d = b.direction;
        lst_format(job.unit,
                   "(6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,11x,'            ',f11.4,2(1x,f12.4),/,11x,'    "
                   "        ',"
                   "f11.4,2(1x,f12.4))",
                   {job.size, b.number, p[0] * sc, p[1] * sc, p[2] * sc, d[0], d[1], d[2]});
    } else {
        if (first) {
            lst_blank(job.unit);
            lst_line(job.unit, {li_blanks(11), li_text("DRILL LOCATION BLOCK:")});
        }
        const std::string column = lst_proc_block(b.number);
        lst_line(job.unit, {li_text(column), li_blanks(16), li_text(point_text(b.point, sc))});
        lst_line(job.unit, {li_blanks(26), li_text(lst_point_text(2, b.direction, 1.0f))});
    }
    s.last_type = kDrillLocation;
}

void prt_delz(const print_job& job, const tp_z_pair_block& b)
{
    const float distance = (b.first - b.second) * job.scale;
    if (job.form == kFullForm) {
        lst_format(job.unit,
                   "(/,1x,'DEL-ZSURF SETTING',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,6x,'                 "
                   "    NEW "
                   "DISTANCE ',/,11x,'                  ',f12.4)",
                   {job.size, b.number, distance});
    } else {
        lst_blank(job.unit);
        heading(job, b.number, 2, "DEL-ZSURF SETTING BLOCK:");
        lst_line(job.unit, {li_blanks(17), li_text(" DIS-NEW = "), li_length(distance)});
    }
    lst_state().last_type = job.type;
}

void prt_retract_mode(const print_job& job, const tp_retract_mode_block& b)
{
    if (job.form == kFullForm) {
        lst_format(job.unit,
                   "(/,1x,'RETRACT MODE ',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,11x,'               OLD  "
                   "   NEW',"
                   "/,11x,'            ',i4,5x,i4)",
                   {job.size, b.number, b.old_mode, b.new_mode});
    } else {
        lst_blank(job.unit);
        heading(job, b.number, 2, "RETRACT MODE BLOCK:");
        lst_line(job.unit, {li_blanks(17), li_text("OLD = "), li_text(table_name(kRetractLabels, 2, b.old_mode)),
                            li_blanks(1), li_text("NEW = "), li_text(table_name(kRetractLabels, 2, b.new_mode))});
    }
    lst_state().last_type = job.type;
}

void prt_depth(const print_job& job, const tp_z_pair_block& b)
{
    const float fresh = b.first * job.scale, old = b.second * job.scale;
    if (job.form == kFullForm) {
        lst_format(job.unit,
                   "(/,1x,'DEPTH  SETTING',/,6x,'BLOCK SIZE   =',i5,/,6x,'BLOCK NUMBER =',i5,/,6x,'                    "
                   " OLD     "
                   "     NEW',/,11x,'                  ',f11.4,1x,f12.4)",
                   {job.size, b.number, old, fresh});
    } else {
        lst_blank(job.unit);
        heading(job, b.number, 2, "DEPTH SETTING BLOCK:");
        lst_line(job.unit, {li_blanks(32), li_text("OLD"), li_blanks(10), li_text("NEW")});
        lst_line(job.unit,
                 {li_blanks(27), li_text("Z-OLD = "), li_length(old), li_text("   Z-NEW = "), li_length(fresh)});
    }
    lst_state().last_type = job.type;
}
