// NCLIST (see the header): the heading, the walk over the list and its sub-lists with the moves
// of procedures kept in movement entities, the procedure ends and the end lines.
#include "listing/nclist.hpp"

#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/prtblk.hpp"
#include "listing/tp_entity_open.hpp"
#include "listing/tp_walk.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/part_file_names.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kMarker = 1;
constexpr int kWriteMode = 2;
constexpr int kProcedureType = 12;
// The heading's columns: titles, block numbers, block descriptions; the procedure end's rule.
constexpr int kTitleColumn = 11, kNumberColumn = 3, kDescriptionColumn = 20, kRuleLength = 60;

// The heading lines; quoted_name is the file's name in double quotes as the listing shows it.
void heading(int unit, const std::string& quoted_name)
{
    int& line = lst_state().line;
    fltx7c(unit, kTitleColumn, "TOOL PATH LISTING", line);
    fltx7c(unit, kTitleColumn, "=================", line);
    filtx8(unit, kTitleColumn, "PART FILE NAME: ", quoted_name, line);
    lst_blank(unit);
    fltx7c(unit, kNumberColumn, "BLOCK", line);
    fltx8c(unit, kNumberColumn, "NUMBER", kDescriptionColumn, "BLOCK DESCRIPTION", line);
    fltx8c(unit, kNumberColumn, "------", kDescriptionColumn, "-----------------", line);
}

void end_lines(int unit)
{
    lst_blank(unit);
    lst_blank(unit);
    fltx7c(unit, 1, "END OF TOOL PATH", lst_state().line);
}

void close_file(int unit, const std::string& name)
{
    int status = 0;
    aclose(unit, status);
    listing_announce(name);
}

// The moves of the current procedure in its open movement entity: the block count, then that
// many blocks. The entity is closed. Status of the first failure.
void entity_moves(int form, float scale, int& count, int& status)
{
    count = 0;
    tp_get_int(kWhereEntity, count, status);
    if (status >= 0) TPSKIP(kWhereEntity, 1, status);
    // Every block takes at least two words or fails, so a wrong count ends at the entity's end.
    for (int i = 0; i < count && status >= 0; ++i) {
        int type = 0;
        PRTBLK(form, kListingUnit, kWhereEntity, -1, scale, type, status);
    }
    int closed = 0;
    eclose(closed);
}

// Every block printed; each procedure's summary kept in proc_table in list order.
struct printing : tp_walk_visitor {
    int form = 1;
    float scale = 1.0f;
    int procedures = 0;

    void block(int where, int& type, int& nc_function, int& status) override
    {
        PRTBLK(form, kListingUnit, where, -1, scale, type, status);
        if (status < 0 || type != kProcedureType) return;
        proc_summary_table& t = proc_table();
        if (++procedures > proc_summary_table::kProcedures) return;  // the walk stops there
        t.entries[static_cast<std::size_t>(procedures)] = t.entries[proc_summary_table::kScratch];
        nc_function = t.entries[proc_summary_table::kScratch].nc_function;
    }
    void procedure_end(int blocks) override { listing_proc_end(form, kListingUnit, blocks); }
};

void list_current(int form)
{
    int cleared = -1, marked = 0;
    gs_proc_id(2, cleared);
    lmark(1, kMarker, marked);
    if (marked <= 0) return;
    const float scale = listing_scale(form);
    std::string name;
    int status = 0;
    if (listing_file_name("TP_LIST", name)) {
        aopen(kListingUnit, name, kWriteMode, status);
        if (status != 0) {
            errou4("NCLIST, CANNOT OPEN FILE", name);
        } else {
            msg_prompt(322, 10);
            heading(kListingUnit, "\"" + name + "\"");
            int top = 1, lines = 0;
            gtlstn(2, top, status);
            llines(lines);
            if (lines == 0) {
                userrc("TOOL PATH LIST IS EMPTY");
                close_file(kListingUnit, name);
            } else {
                if (form == kFullForm) lst_format(kListingUnit, "(1x,'TOTAL PROCEDURE BLOCKS =',i5)", {lines});
                printing p;
                p.form = form;
                p.scale = scale;
                if (!tp_walk(p)) eroutc("NCLIST, ERRORS IN CREATING TOOL PATH LIST", 0);
                end_lines(kListingUnit);
                close_file(kListingUnit, name);
            }
        }
    }
    tp_list_top_mark(kMarker, status);
}

}  // namespace

float listing_scale(int form)
{
    if (form == kFullForm) return 1.0f;
    float factor = 1.0f;
    gtmesu(factor);
    return factor > 0.0f ? 1.0f / factor : 1.0f;
}

bool listing_file_name(const char* suffix, std::string& name)
{
    int name_length = 0, part_length = 0, status = 0;
    const std::string given(suffix);
    CRTPNM(kNameAskToolPath, given, static_cast<int>(given.size()), name, name_length, part_length, status);
    if (status != 0) return false;
    name.resize(static_cast<std::size_t>(std::max(name_length, 0)));
    return true;
}

void listing_proc_end(int form, int unit, int block_count)
{
    const int number = lst_state().procedure;
    if (form == kFullForm)
        lst_format(unit, "(1x,/,/,'TOTAL NUMBER OF BLOCKS IN PROCEDURE NUMBER',i3,' =',i5)", {number, block_count});
    std::string rule;
    stfill(rule, '-', 0, kRuleLength);
    fltx1c(unit, " END PROCEDURE NUMBER ", number, "", lst_state().line);
    filtxt(unit, rule, -1, lst_state().line);
}

void listing_announce(const std::string& name) { usrer4("OUTPUT TO FILE", name, 14, static_cast<int>(name.size())); }

void NCLIST(int procedure_id, int form)
{
    if (procedure_id > 0 && procedure_id != CLP1().at(proc_colour_pen::kToolPath))
        return nclist_ent(procedure_id, form);
    list_current(form);
}

namespace {

constexpr int kToolPathType = 3, kProcedureEntityType = 4;
constexpr int kProcedureEntry = 1;
constexpr int kMovementLeadWords = 3;

struct entity_walk {
    int form = 1;
    float scale = 1.0f;

    // Prints one block of the open entity as procedure `id`; false after the walk's message.
    bool print_one(int id)
    {
        int current = id, type = 0, status = 0;
        gs_proc_id(2, current);
        PRTBLK(form, kListingUnit, kWhereEntity, id, scale, type, status);
        if (status >= 0) return true;
        eroutc("nclist_ent, ERRORS IN CREATING TOOL PATH ENTITY", 0);
        return false;
    }

    // A procedure entry: its block, the blocks of its movement entity, the procedure end.
    bool procedure(int id)
    {
        int motion = -1;
        get_set_movmnt_id(1, id, motion);
        if (!open_tool_path_entity(id, kProcedureEntityType)) {
            close_entity();
            erou1c("nclist_ent, NOT A PROCEDURE ENTITY. id = ", id);
            return false;
        }
        const bool printed = print_one(id);
        close_entity();
        if (!printed) return false;
        int count = 0, status = 0;
        if (motion > 0) {
            int entity_class = 0, entity_type = 0;
            eopen(motion, entity_class, entity_type, status);
            if (status == 0) TPSKIP(kWhereEntity, kMovementLeadWords, status);
            if (status == 0)
                entity_moves(form, scale, count, status);
            else
                close_entity();
            if (status < 0) {
                eroutc("nclist_ent, ERRORS IN CREATING TOOL PATH ENTITY", 0);
                return false;
            }
        }
        listing_proc_end(form, kListingUnit, count);
        return true;
    }

    void run(int tp_id, const std::vector<int>& entries)
    {
        if (!open_tool_path_entity(tp_id, kToolPathType)) {
            close_entity();
            erou1c("nclist_ent, NOT A TOOL PATH ENTITY. id = ", tp_id);
            return;
        }
        const bool printed = print_one(-1);
        close_entity();
        if (!printed) return;
        for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
            const int kind = entries[i], id = entries[i + 1];
            if (kind == kProcedureEntry) {
                if (!procedure(id)) return;
            } else if (kind == 3 || kind == 4 || kind == 10) {
                int entity_class = 0, entity_type = 0, status = 0;
                eopen(id, entity_class, entity_type, status);
                const bool ok = status == 0 && print_one(id);
                close_entity();
                if (!ok) return;
            }
        }
    }
};

}  // namespace

void nclist_ent(int entity_id, int form)
{
    const float scale = listing_scale(form);
    std::string name;
    if (!listing_file_name("TP_LIST", name)) return;
    int status = 0;
    aopen(kListingUnit, name, kWriteMode, status);
    if (status != 0) return errou4("NCLIST, CANNOT OPEN FILE", name);
    msg_prompt(322, 10);
    heading(kListingUnit, "\"" + name + "\" ");
    int count = 0;
    std::vector<int> entries;
    get_tp_info(entity_id, count, status);
    if (status == 0) dbd_tp(entity_id, entries, status);
    if (status != 0) {
        eroutc("nclist_ent, PROBLEMS IN OPENNING ENTITY", 0);
    } else {
        if (form == kFullForm) lst_format(kListingUnit, "(1x,'TOTAL PROCEDURE BLOCKS =',i5)", {count + 1});
        entity_walk w{form, scale};
        w.run(entity_id, entries);
    }
    end_lines(kListingUnit);
    close_file(kListingUnit, name);
    tp_list_top_mark(kMarker, status);
}
