// Copy of a tool's records between the record tables and the current-tool block. The class
// copiers move their fields in record order between the working record line and the class's
// field block; the main record holds the class fields every version has, the common part, then
// the version-dependent fields in SPARE1 and SPARE2.
#include "tools/data_dictionary.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"
#include "host/vantu_datafiles.hpp"
#include "host/vantu_entity_ext.hpp"

#include <algorithm>

namespace {

// Versions up to which a record lacks its version-dependent fields.
constexpr int kMillLastPlainVersion = 591;
constexpr int kLatheLastPlainVersion = 627;
constexpr int kGrooveLastPlainVersion = 591;
constexpr float kMillOldSpare2 = -10.0f;

// Walks the fields of the working record in order, copying each from or to a block value.
struct record_cursor {
    std::vector<dd_field> fields;
    std::size_t next = 0;
    int mode = kCopyRead;

    record_cursor(int copy_mode) : mode(copy_mode) { dd_fields(dd_type().definition, dd_type().word_count, fields); }
    const dd_field* step() { return next < fields.size() ? &fields[next++] : nullptr; }
    void i(int& value)
    {
        if (const dd_field* f = step()) {
            if (mode == kCopyRead)
                value = dd_value_int(*f);
            else
                dd_set_int(*f, value);
        }
    }
    void r(float& value)
    {
        if (const dd_field* f = step()) {
            if (mode == kCopyRead)
                value = dd_value_real(*f);
            else
                dd_set_real(*f, value);
        }
    }
    // Texts: on reading blanked, 20 characters taken, the 20th a NUL; written with length 20.
    void t(std::string& value)
    {
        if (const dd_field* f = step()) {
            if (mode == kCopyRead)
                value = tool_text(dd_value_text(*f));
            else
                dd_set_text(*f, tool_text(value));
        }
    }
};

void toolrec_drill(drill_fields& d, int version, record_cursor& c)
{
    if (version >= 1) return;
    c.r(d.DIAMTR);
    c.r(d.TIPANG);
    c.r(d.CLRLNG);
    c.r(d.CUTLNG);
    c.r(d.GUGLNG);
    c.r(d.LIFLNG);
}

void toolrec_mill(int version, record_cursor& c)
{
    mill_fields& m = tool_shapes().mill;
    if (version < 1) {
        c.i(m.DIMCMP);
        c.i(m.LENCMP);
        c.i(m.FIXCMP);
        c.r(m.DIAMTR);
        c.r(m.CRNRRD);
        c.r(m.CLRLNG);
        c.r(m.CUTLNG);
        c.r(m.GUGLNG);
        c.i(m.NOTETH);
        c.r(m.LIFLNG);
    } else if (c.mode == kCopyRead && version <= kMillLastPlainVersion) {
        m.SPARE1 = 0.0f;
        m.SPARE2 = kMillOldSpare2;
    } else {
        c.r(m.SPARE1);
        c.r(m.SPARE2);
    }
}

void toolrec_lathe(int version, record_cursor& c)
{
    lathe_fields& l = tool_shapes().lathe;
    if (version < 1) {
        c.r(l.EDGRAD);
        c.r(l.FACANG);
        c.r(l.TANGLE);
        c.i(l.QRTNUM);
        c.r(l.TWIDTH);
        c.r(l.HLENTH);
        c.r(l.HWIDTH);
        c.r(l.LIFLNG);
    } else if (c.mode == kCopyRead && version <= kLatheLastPlainVersion) {
        l.SPARE1 = 0.0f;
    } else {
        c.r(l.SPARE1);
    }
}

void toolrec_punch(int version, record_cursor& c)
{
    punch_fields& p = tool_shapes().punch;
    if (version >= 1) return;
    c.i(p.TSHAPE);
    c.r(p.LENGTH);
    c.r(p.DIAMTR);
    c.r(p.TWIDTH);
    c.r(p.TANGLE);
    c.r(p.OVRLAP);
    c.r(p.SCALOP);
    c.r(p.LIFLNG);
}

void toolrec_agie(int version, record_cursor& c)
{
    agie_fields& a = tool_shapes().agie;
    if (version >= 1) return;
    c.i(a.GNRTOR);
    c.i(a.SFLUSH);
    c.i(a.OFFSET);
    c.i(a.PANGLE);
    c.i(a.REGSTR);
    c.r(a.LIFLNG);
}

void toolrec_chrm(int version, record_cursor& c)
{
    chrm_fields& h = tool_shapes().chrm;
    if (version >= 1) return;
    for (int& g : h.GCODE) c.i(g);
    c.r(h.CREGST);
    c.r(h.KREGST);
    c.r(h.XREGST);
    c.r(h.YREGST);
    c.r(h.RREGST);
    c.r(h.AREGST);
    c.i(h.OFFSET);
    c.r(h.LIFLNG);
}

void toolrec_mkno(int version, record_cursor& c)
{
    mkno_fields& k = tool_shapes().mkno;
    if (version >= 1) return;
    c.i(k.CUTCND);
    c.i(k.OFFSET);
    c.i(k.REGSTR);
    c.r(k.LIFLNG);
}

void toolrec_thread(int version, record_cursor& c)
{
    thread_fields& t = tool_shapes().thread;
    if (version >= 1) return;
    c.i(t.TRDTYP);
    c.r(t.HLENTH);
    c.r(t.HWIDTH);
    c.r(t.TANGLE);
    c.r(t.TLBASE);
    c.r(t.TLRADS);
    c.r(t.TAXANG);
    c.r(t.CUTLNG);
    c.r(t.CUTWTH);
    c.r(t.LIFLNG);
}

void toolrec_groove(int version, record_cursor& c)
{
    groove_fields& g = tool_shapes().groove;
    if (version < 1) {
        c.r(g.HLENTH);
        c.r(g.HWIDTH);
        c.r(g.LEDANG);
        c.r(g.CUTLNG);
        c.r(g.CUTWTH);
        c.r(g.CRNRRD);
        c.r(g.TAXANG);
        c.r(g.LIFLNG);
    } else if (c.mode == kCopyRead && version <= kGrooveLastPlainVersion) {
        g.SPARE1 = 0.0f;
    } else {
        c.r(g.SPARE1);
    }
}

void class_fields(int tool_class, int version, record_cursor& c)
{
    switch (tool_class) {
    case kDrill: toolrec_drill(tool_shapes().drill, version, c); break;
    case kLatheDrill: toolrec_drill(tool_shapes().lathe_drill, version, c); break;
    case kMill: toolrec_mill(version, c); break;
    case kLathe: toolrec_lathe(version, c); break;
    case kPunch: toolrec_punch(version, c); break;
    case kAgie: toolrec_agie(version, c); break;
    case kCharmille: toolrec_chrm(version, c); break;
    case kMakino: toolrec_mkno(version, c); break;
    case kThread: toolrec_thread(version, c); break;
    case kGroove: toolrec_groove(version, c); break;
    default: break;
    }
}

void fail(int& status) { status = kToolNotRead; }

}  // namespace

std::array<int, kToolHeaderWords> tool_header::to_words() const
{
    return {table_id,      record_id,     user_table,    user_record,   tech_table, conditions[0],
            conditions[1], conditions[2], conditions[3], conditions[4], holder_id,  holder_mode};
}

tool_header tool_header::from_words(const std::array<int, kToolHeaderWords>& w)
{
    tool_header h;
    h.table_id = w[0];
    h.record_id = w[1];
    h.user_table = w[2];
    h.user_record = w[3];
    h.tech_table = w[4];
    std::copy(w.begin() + 5, w.begin() + 10, h.conditions.begin());
    h.holder_id = w[10];
    h.holder_mode = w[11];
    return h;
}

void toolrec_main(int slot, int tool_class, int mode)
{
    toolrec_stage(0, slot);
    record_cursor c(mode);
    class_fields(tool_class, -1, c);
    current_tool& t = tool_block();
    c.i(t.IDTOOL);
    c.i(t.ISLIBR);
    c.i(t.MSTRID);
    c.i(t.DMSRID);
    c.i(t.HOLDER);
    c.i(t.TLVERS);
    c.t(t.TLNAME);
    c.t(t.TMTRAL);
    c.t(t.PMTRAL);
    c.t(t.TOLTXT);
    t.tool_class = tool_class;
    t.symbol_master = t.DMSRID;
    int check = -1;
    if (t.MSTRID > 0) symbol_master_check(t.MSTRID, check);
    if (check == 0) t.symbol_master = t.MSTRID;
    int version = t.TLVERS;
    if (mode == kCopyRead && t.IDTOOL < 0) version = prgvrs();
    class_fields(tool_class, version, c);
    toolrec_stage(6, slot);
}

void toolrec_cycle(int slot, int mode)
{
    toolrec_stage(0, slot);
    record_cursor c(mode);
    drill_cycle_record& y = cycle_block();
    c.i(y.DRTYPE);
    c.i(y.PEKSPC);
    c.i(y.DWLSPC);
    c.i(y.SFTSPC);
    c.i(y.CLTSPC);
    c.i(y.CCOLNT);
    c.r(y.CCLEAR);
    c.r(y.PEKSTP);
    c.r(y.PEKRDC);
    c.r(y.CDWELL);
    c.r(y.CSHFTI);
    c.r(y.CSHFTJ);
    c.r(y.CYFEED);
    c.i(y.CYSPIN);
    c.i(y.IDCYCL);
    c.i(y.IDCYTL);
    c.i(y.ISCLIB);
    c.i(y.CYVERS);
    c.t(y.CYNAME);
    c.t(y.CYLTXT);
    c.t(y.PCMTRL);
    toolrec_stage(6, slot);
}

void toolrec_condition(int slot, int mode, int index)
{
    if (index < 1 || index > kConditions) return;
    toolrec_stage(0, slot);
    record_cursor c(mode);
    current_tool& t = tool_block();
    auto k = static_cast<std::size_t>(index - 1);
    c.i(t.CRSPIN[k]);
    c.r(t.CRFEED[k]);
    c.r(t.CRVLOC[k]);
    c.r(t.CRDSTP[k]);
    c.r(t.CRSSTP[k]);
    toolrec_stage(6, slot);
}

void read_tool_entity_header(int tool_id, int& tool_class, tool_header& header, int& status)
{
    status = kToolNotRead;
    int state = 0;
    eginfo(state);
    if (state == 2) return;
    if (tool_id < 1) {
        header.holder_id = -1;
    } else {
        int entity_class = -1, entity_type = -1, count = 0, close_status = 0;
        eopen(tool_id, entity_class, entity_type, status);
        if (status == 0) elngth(count, status);
        std::array<int, kToolHeaderWords> words{};
        if (status == 0 && entity_class == kToolEntityClass && entity_type >= 0 && count >= kToolHeaderWords)
            egeti(kToolHeaderWords, words.data(), status);
        else
            status = kToolNotRead;
        eclose(close_status);
        if (status == 0) {
            header = tool_header::from_words(words);
            tool_class = entity_type;
            // A holder id beyond 16 bits is the stored form of "no holder".
            if (header.holder_id > 65534) {
                header.holder_id = -1;
                header.holder_mode = 1;
            }
        } else {
            status = kToolNotRead;
        }
    }
    int give_back = 0;
    if (state == 1) esinfo(give_back);
}

void tool_records_copy(int mode, int tool_class, tool_header& header, int& status)
{
    bool cycle = tool_class == kCycle;
    int conditions = tool_class >= 1 && tool_class <= kCycle ? tool_table_ids().conditions_of(tool_class) : 0;
    conditions = std::clamp(conditions, 0, kConditions);
    int user_slot = cycle ? kCycleUserSlot : kUserSlot;
    if (mode == kCopyRead) {
        toolrec_open(kMainSlot, header.table_id, header.record_id, status);
        if (status != 0) return fail(status);
        if (cycle)
            toolrec_cycle(kMainSlot, kCopyRead);
        else
            toolrec_main(kMainSlot, tool_class, kCopyRead);
        for (int i = 1; i <= conditions; ++i) {
            toolrec_open(kConditionSlot, header.tech_table, header.conditions[static_cast<std::size_t>(i - 1)], status);
            if (status != 0) return fail(status);
            toolrec_condition(kConditionSlot, kCopyRead, i);
        }
        toolrec_slot_clear(user_slot);
        if (header.user_table >= 1) {
            toolrec_open(user_slot, header.user_table, header.user_record, status);
            if (status != 0) return fail(status);
        }
        return;
    }
    toolrec_open(kMainSlot, header.table_id, header.record_id, status);
    if (status != 0) return fail(status);
    if (cycle)
        toolrec_cycle(kMainSlot, kCopyWrite);
    else
        toolrec_main(kMainSlot, tool_class, kCopyWrite);
    toolrec_put(kMainSlot, header.record_id, status);
    if (status != 0) return fail(status);
    for (int i = 1; i <= conditions; ++i) {
        int& record = header.conditions[static_cast<std::size_t>(i - 1)];
        toolrec_open(kConditionSlot, header.tech_table, record, status);
        if (status != 0) return fail(status);
        toolrec_condition(kConditionSlot, kCopyWrite, i);
        toolrec_put(kConditionSlot, record, status);
        if (status != 0) return fail(status);
    }
    if (header.user_table >= 1 && toolrec_slot_filled(user_slot)) {
        toolrec_put(user_slot, header.user_record, status);
        if (status != 0) return fail(status);
    }
    status = 0;
}

void symbol_master_check(int master_id, int& status)
{
    constexpr int kMasterClass = 14;
    constexpr int kPathCharacters = 128;
    status = -1;
    int entity_class = -1, entity_type = -1, found = 0;
    if (master_id < 1) return;
    egclty(master_id, entity_class, entity_type, found);
    if (found != 0 || entity_class != kMasterClass) return;
    if (entity_type == 1 || entity_type == 4 || entity_type == 9) {
        status = 0;
        return;
    }
    if (entity_type != 2) return;
    int state = 0, open_status = 0, close_status = 0, give_back = 0;
    eginfo(state);
    if (state == 2) return;
    int length = 0;
    eopen(master_id, entity_class, entity_type, open_status);
    if (open_status == 0) egeti(1, &length, open_status);
    std::string file;
    if (open_status == 0 && length > 0 && length <= kPathCharacters) {
        std::vector<word> words(static_cast<std::size_t>((length + 3) / 4));
        egetn(static_cast<int>(words.size()), words.data(), open_status);
        for (word w : words) file += word_to_text4(w);
        file.resize(static_cast<std::size_t>(length));
    }
    eclose(close_status);
    if (state == 1) esinfo(give_back);
    if (open_status == 0 && !file.empty() && fexist(file)) status = 0;
}
