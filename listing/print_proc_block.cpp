// print_proc_block (see the header): the summary into entry 201, the association check, then the
// block in its form.
#include "listing/print_proc_block.hpp"

#include "host/vantu.hpp"
#include "listing/fmt_writer.hpp"
#include "listing/header_texts.hpp"
#include "listing/listing_fields.hpp"
#include "listing/lst_state.hpp"
#include "listing/proc_assoc.hpp"
#include "listing/proc_summary.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_flags.hpp"

#include <vector>

namespace {

constexpr int kScratch = proc_summary_table::kScratch;
constexpr int kFromEntity = 1;
constexpr int kMarker = 10;
constexpr int kWholeList = -1;
constexpr int kProcedureType = 12;
constexpr int kSuspended = 2, kInterrupted = 3;
constexpr int kListingForm = 1, kHeaderForm = 2, kRowForm = 3;

const char* const kFullBlock =
    "(/,1x,'PROCEDURE BLOCK',/,6x,'BLOCK SIZE    =',i5,/,6x,'PROC.BLOCK NUMBER  =',i3,/,11x,'FUNCTION TYPE=',i2,"
    "/11x,'FUNCTION NAME: \"',a8,'\"',/,11x,'COMMENT:       \"',a20,'\"')";
const char* const kRowWithout = "('| ',a18,'= ',a3,'| ',a20,'   | ',23x,'|')";
const char* const kRowWith = "('| ',a18,'= ',a3,'| ',a20,'   | ',a3,'TOOL= ',a14,'|')";
const char* const kRowWithoutMarked = "('| ',a18,'~ ',a3,'| ',a20,'   | ',23x,'|')";
const char* const kRowWithMarked = "('| ',a18,'~ ',a3,'| ',a20,'   | ',a3,'TOOL= ',a14,'|')";

struct printed {
    int unit;
    int& line;
    const proc_summary_entry& e;
    std::string name, comment, tool, transform;
};

void write_format(const printed& p, const char* format, const std::vector<fmt_value>& values)
{
    int status = 0;
    for (const std::string& text : fmt_lines(format, values, status)) filtxt(p.unit, text, -1, p.line);
}

void full_form(const printed& p, int size)
{
    write_format(p, kFullBlock, {size, p.e.number, p.e.nc_function, p.name, p.comment});
    if (p.e.state == kSuspended) write_format(p, "(11x,'SUSPENDED')", {});
    if (p.e.state == kInterrupted) write_format(p, "(11x,'INTERRUPTED')", {});
    if (p.e.subroutines) write_format(p, "(11x,'HAS SUBROUTINES')", {});
    if (p.e.transformation > 0) write_format(p, "(11x,'TRANSFORM    = \"',a4,'\"')", {p.transform});
    write_format(p, "(1x)", {});
}

fl_item item_of(char code, int count = 0, std::string text = {}, int value = 0)
{
    fl_item item;
    item.code = code;
    item.count = count;
    item.text = std::move(text);
    item.value = value;
    return item;
}

fl_item text_item(std::string text) { return item_of('T', 0, std::move(text)); }

void item_line(const printed& p, int indent, const std::vector<fl_item>& items)
{
    std::vector<fl_item> line{item_of('B', indent)};
    line.insert(line.end(), items.begin(), items.end());
    fltxtc(p.unit, line, p.line);
}

void listing_forms(const printed& p, int form, bool flagged, const proc_date& date)
{
    const int indent = form == kListingForm ? 11 : 2;
    const std::string label = flagged ? "*** PROCEDURE NUMBER = " : "PROCEDURE NUMBER = ";
    fltxtc(p.unit, std::vector<fl_item>{item_of('B', 1)}, p.line);
    if (form == kListingForm) {
        lst_fmt_i3(p.e.number);
        fltxtc(p.unit,
               std::vector<fl_item>{text_item(lst_state().block_column), text_item(label),
                                    item_of('I', 0, {}, p.e.number)},
               p.line);
    } else {
        item_line(p, indent, {text_item(label), item_of('I', 0, {}, p.e.number)});
    }
    fl_item when = item_of('C');
    when.date = {date[2], date[1], date[0], date[3], date[4], date[5]};
    item_line(p, indent, {text_item("CREATION DATE: "), when});
    item_line(p, indent, {text_item("FUNCTION NAME: \"" + p.name + "\" ")});
    item_line(p, indent, {text_item("COMMENT      : \"" + p.comment + "\" ")});
    if (p.e.state == kSuspended) item_line(p, indent, {text_item("SUSPENDED")});
    if (p.e.state == kInterrupted) item_line(p, indent, {text_item("INTERRUPTED")});
    if (p.e.subroutines) item_line(p, indent, {text_item("HAS SUBROUTINES")});
    if (p.e.transformation > 0) item_line(p, indent, {text_item("TRANSFORM    : \"" + p.transform + "\"")});
}

void row_form(const printed& p)
{
    std::string status_text;
    proc_status_text(kScratch, status_text);
    std::string number = std::to_string(p.e.number);
    number.resize(std::max<std::size_t>(number.size(), 3), ' ');
    std::string marks = "-- ";
    if (p.e.c) marks[0] = 'C';
    if (p.e.u) marks[1] = 'U';
    const bool marked = p.e.state2 == 2;
    if (p.e.tool < 1)
        write_format(p, marked ? kRowWithoutMarked : kRowWithout, {status_text, number, p.comment});
    else
        write_format(p, marked ? kRowWithMarked : kRowWith, {status_text, number, p.comment, marks, p.tool});
}

}  // namespace

void print_proc_block(int where, int procedure_id, int procedure_entity, int form, int unit, int size, int& block_type,
                      int& block_number, int& status)
{
    int code47 = 0;
    proc_date date{};
    if (where == kFromEntity) {
        get_proc_summary_ent(1, procedure_entity, kScratch, code47, date, status);
    } else {
        int marked = 0;
        lmark(1, kMarker, marked);
        get_proc_summary(1, procedure_id, procedure_entity, kScratch, code47, date, status);
    }
    if (status < 0) return;
    proc_summary_entry& e = *proc_table_entry(kScratch);
    proc_assoc_update(2, procedure_id, 1, &e.number, &code47, &e.g, &e.state, &e.u);
    int back = 0;
    if (procedure_id == kWholeList && where != kFromEntity) tp_list_top_mark(kMarker, back);
    if (proc_type_group_a(e.nc_function) != 0 || e.nc_function == 8) {
        e.state = 1;
        e.g = 0;
    }
    block_number = e.number;
    lst_state().procedure = e.number;
    printed p{unit, lst_state().line, e, {}, {}, {}, {}};
    get_nc_function_name(e.nc_function, p.name);
    p.name.resize(8, ' ');
    proc_comment_field(kTextGet, kScratch, p.comment);
    proc_text2_field(kTextGet, kScratch, p.tool);
    proc_text_field(kTextGet, kScratch, p.transform);
    bool flagged = false;
    if (where != kFromEntity) {
        int read = 0;
        read_proc_flags(read);
        const proc_geom_pairs& f = proc_flags();
        flagged = read >= 0 && f.options[0] > 0 && f.options[5] == 0 && indbug() != 0;
    }
    if (form == 0)
        full_form(p, size);
    else if (form == kListingForm || form == kHeaderForm)
        listing_forms(p, form, flagged, date);
    else if (form == kRowForm)
        row_form(p);
    lst_state().last_type = kProcedureType;
    block_type = kProcedureType;
    status = 0;
}
