// Tool entity records: every class field lands in the record field of its name and comes back,
// the version-dependent fields of old records, the entity header, the staging slots and the
// holder entity of a mill in every mode of dbdholdr.
#include "tools_test_support.hpp"

#include "tools/data_dictionary.hpp"

#include <cmath>
#include <variant>

namespace {

using namespace tools_test;

class ToolRecords : public ToolsTest {};

using field_ref = std::variant<int*, float*>;
struct named_field {
    const char* name;
    field_ref ref;
};

// The block fields of each class, by the record field name each must be stored under.
std::vector<named_field> class_block_fields(int tool_class)
{
    tool_shape_records& s = tool_shapes();
    auto drill = [](drill_fields& d) {
        return std::vector<named_field>{{"DIAMTR", &d.DIAMTR}, {"TIPANG", &d.TIPANG}, {"CLRLNG", &d.CLRLNG},
                                        {"CUTLNG", &d.CUTLNG}, {"GUGLNG", &d.GUGLNG}, {"LIFLNG", &d.LIFLNG}};
    };
    switch (tool_class) {
    case kDrill: return drill(s.drill);
    case kLatheDrill: return drill(s.lathe_drill);
    case kMill: {
        mill_fields& m = s.mill;
        return {{"DIMCMP", &m.DIMCMP}, {"LENCMP", &m.LENCMP}, {"FIXCMP", &m.FIXCMP}, {"DIAMTR", &m.DIAMTR},
                {"CRNRRD", &m.CRNRRD}, {"CLRLNG", &m.CLRLNG}, {"CUTLNG", &m.CUTLNG}, {"GUGLNG", &m.GUGLNG},
                {"NOTETH", &m.NOTETH}, {"LIFLNG", &m.LIFLNG}, {"SPARE1", &m.SPARE1}, {"SPARE2", &m.SPARE2}};
    }
    case kLathe: {
        lathe_fields& l = s.lathe;
        return {{"EDGRAD", &l.EDGRAD}, {"FACANG", &l.FACANG}, {"TANGLE", &l.TANGLE},
                {"QRTNUM", &l.QRTNUM}, {"TWIDTH", &l.TWIDTH}, {"HLENTH", &l.HLENTH},
                {"HWIDTH", &l.HWIDTH}, {"LIFLNG", &l.LIFLNG}, {"SPARE1", &l.SPARE1}};
    }
    case kPunch: {
        punch_fields& p = s.punch;
        return {{"TSHAPE", &p.TSHAPE}, {"LENGTH", &p.LENGTH}, {"DIAMTR", &p.DIAMTR}, {"TWIDTH", &p.TWIDTH},
                {"TANGLE", &p.TANGLE}, {"OVRLAP", &p.OVRLAP}, {"SCALOP", &p.SCALOP}, {"LIFLNG", &p.LIFLNG}};
    }
    case kAgie: {
        agie_fields& a = s.agie;
        return {{"GNRTOR", &a.GNRTOR}, {"SFLUSH", &a.SFLUSH}, {"OFFSET", &a.OFFSET},
                {"PANGLE", &a.PANGLE}, {"REGSTR", &a.REGSTR}, {"LIFLNG", &a.LIFLNG}};
    }
    case kCharmille: {
        chrm_fields& h = s.chrm;
        return {{"GCODE1", &h.GCODE[0]}, {"GCODE2", &h.GCODE[1]}, {"GCODE3", &h.GCODE[2]}, {"GCODE4", &h.GCODE[3]},
                {"GCODE5", &h.GCODE[4]}, {"CREGST", &h.CREGST},   {"KREGST", &h.KREGST},   {"XREGST", &h.XREGST},
                {"YREGST", &h.YREGST},   {"RREGST", &h.RREGST},   {"AREGST", &h.AREGST},   {"OFFSET", &h.OFFSET},
                {"LIFLNG", &h.LIFLNG}};
    }
    case kMakino: {
        mkno_fields& k = s.mkno;
        return {{"CUTCND", &k.CUTCND}, {"OFFSET", &k.OFFSET}, {"REGSTR", &k.REGSTR}, {"LIFLNG", &k.LIFLNG}};
    }
    case kThread: {
        thread_fields& t = s.thread;
        return {{"TRDTYP", &t.TRDTYP}, {"HLENTH", &t.HLENTH}, {"HWIDTH", &t.HWIDTH}, {"TANGLE", &t.TANGLE},
                {"TLBASE", &t.TLBASE}, {"TLRADS", &t.TLRADS}, {"TAXANG", &t.TAXANG}, {"CUTLNG", &t.CUTLNG},
                {"CUTWTH", &t.CUTWTH}, {"LIFLNG", &t.LIFLNG}};
    }
    case kGroove: {
        groove_fields& g = s.groove;
        return {{"HLENTH", &g.HLENTH}, {"HWIDTH", &g.HWIDTH}, {"LEDANG", &g.LEDANG},
                {"CUTLNG", &g.CUTLNG}, {"CUTWTH", &g.CUTWTH}, {"CRNRRD", &g.CRNRRD},
                {"TAXANG", &g.TAXANG}, {"LIFLNG", &g.LIFLNG}, {"SPARE1", &g.SPARE1}};
    }
    default: return {};
    }
}

// A value of its own for field k of class c (a whole number for an integer field).
float value_of(int c, std::size_t k) { return static_cast<float>(c * 100 + static_cast<int>(k) + 1) + 0.25f; }
float value_of(int c, const std::vector<named_field>& fields, std::size_t k)
{
    return std::holds_alternative<int*>(fields[k].ref) ? std::floor(value_of(c, k)) : value_of(c, k);
}

void set_field(const named_field& f, float value)
{
    if (auto* i = std::get_if<int*>(&f.ref))
        **i = static_cast<int>(value);
    else
        **std::get_if<float*>(&f.ref) = value;
}

float block_value(const named_field& f)
{
    if (auto* i = std::get_if<int*>(&f.ref)) return static_cast<float>(**i);
    return **std::get_if<float*>(&f.ref);
}

// The value of a field as stored in the tool's main record.
float record_value(int tool_id, const named_field& f)
{
    int tool_class = 0, status = 0, index = 0;
    tool_header header;
    read_tool_entity_header(tool_id, tool_class, header, status);
    find_tool_field(header.table_id, f.name, index, status);
    EXPECT_EQ(status, 0) << f.name;
    int i = 0;
    float r = 0.0f;
    std::string text;
    tool_field_get_put(3, header.table_id, header.record_id, index, i, r, text, status);
    return std::holds_alternative<int*>(f.ref) ? static_cast<float>(i) : r;
}

// Writes a tool whose record carries the given version and answers its id.
int tool_of_version(int tool_class, int version)
{
    int id = make_tool(tool_class, "V" + std::to_string(version));
    int status = 0;
    SGTOOL(3, id, status);
    tool_block().TLVERS = version;
    for (const named_field& f : class_block_fields(tool_class))
        if (std::string(f.name).starts_with("SPARE")) set_field(f, 4.5f);
    SGTOOL(6, id, status);
    EXPECT_EQ(status, 0);
    return id;
}

}  // namespace

TEST_F(ToolRecords, EveryClassFieldIsStoredUnderItsNameAndReadBack)
{
    const int classes[] = {kDrill, kMill, kLathe, kPunch, kAgie, kCharmille, kMakino, kLatheDrill, kThread, kGroove};
    for (int c : classes) {
        std::vector<named_field> fields = class_block_fields(c);
        for (std::size_t k = 0; k < fields.size(); ++k) set_field(fields[k], value_of(c, k));
        int id = make_tool(c, "ALL" + std::to_string(c));
        for (std::size_t k = 0; k < fields.size(); ++k)
            EXPECT_FLOAT_EQ(record_value(id, fields[k]), value_of(c, fields, k))
                << "class " << c << " " << fields[k].name;
        tool_shapes() = tool_shape_records{};
        tool_tables_init();
        int status = 0;
        SGTOOL(3, id, status);
        ASSERT_EQ(status, 0);
        for (std::size_t k = 0; k < fields.size(); ++k)
            EXPECT_FLOAT_EQ(block_value(fields[k]), value_of(c, fields, k)) << "class " << c << " " << fields[k].name;
        EXPECT_EQ(tool_block().tool_class, c);
    }
}

TEST_F(ToolRecords, OldRecordsReadTheVersionDefaults)
{
    struct row {
        int tool_class;
        int version;
        const char* field;
        float expected;
    };
    const row rows[] = {
        {kMill, 591, "SPARE1", 0.0f},   {kMill, 591, "SPARE2", -10.0f}, {kMill, 592, "SPARE1", 4.5f},
        {kMill, 592, "SPARE2", 4.5f},   {kLathe, 627, "SPARE1", 0.0f},  {kLathe, 628, "SPARE1", 4.5f},
        {kGroove, 591, "SPARE1", 0.0f}, {kGroove, 592, "SPARE1", 4.5f}, {kMill, 1, "SPARE2", -10.0f},
    };
    for (const row& r : rows) {
        int id = tool_of_version(r.tool_class, r.version);
        tool_shapes() = tool_shape_records{};
        tool_tables_init();
        int status = 0;
        SGTOOL(3, id, status);
        ASSERT_EQ(status, 0);
        for (const named_field& f : class_block_fields(r.tool_class)) {
            if (std::string(f.name) == r.field) {
                EXPECT_FLOAT_EQ(block_value(f), r.expected) << r.tool_class << " " << r.version << " " << r.field;
            }
        }
        EXPECT_EQ(tool_block().TLVERS, r.version);
    }
}

TEST_F(ToolRecords, CommonPartAndCycleRoundTrip)
{
    current_tool& t = tool_block();
    t.ISLIBR = 5;
    t.DMSRID = 44;
    t.HOLDER = 7;
    t.TMTRAL = tool_text("HSS");
    t.PMTRAL = tool_text("STEEL");
    t.TOLTXT = tool_text("a note");
    int id = make_tool(kMill, "COMMON");
    tool_block() = current_tool{};
    int status = 0;
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(t.IDTOOL, id);
    EXPECT_EQ(t.ISLIBR, 5);
    EXPECT_EQ(t.MSTRID, -1);
    EXPECT_EQ(t.DMSRID, 44);
    EXPECT_EQ(t.symbol_master, 44);
    EXPECT_EQ(t.HOLDER, 7);
    EXPECT_EQ(t.TLVERS, prgvrs());
    EXPECT_EQ(t.TLNAME, tool_text("COMMON"));
    EXPECT_EQ(t.TMTRAL, tool_text("HSS"));
    EXPECT_EQ(t.PMTRAL, tool_text("STEEL"));
    EXPECT_EQ(t.TOLTXT, tool_text("a note"));
    EXPECT_EQ(t.TLNAME.size(), 20u);
    EXPECT_EQ(t.TLNAME[19], '\0');

    drill_cycle_record& y = cycle_block();
    y.DRTYPE = 3;
    y.PEKSTP = 2.5f;
    y.CYFEED = 250.0f;
    y.CYSPIN = 900;
    y.CYVERS = 12;
    y.CYNAME = tool_text("PECK");
    y.PCMTRL = tool_text("ALU");
    int cycle = make_tool(kCycle, "");
    y = drill_cycle_record{};
    SGTOOL(3, cycle, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(y.DRTYPE, 3);
    EXPECT_FLOAT_EQ(y.PEKSTP, 2.5f);
    EXPECT_FLOAT_EQ(y.CYFEED, 250.0f);
    EXPECT_EQ(y.CYSPIN, 900);
    EXPECT_EQ(y.CYVERS, 12);
    EXPECT_EQ(y.CYNAME, tool_text("PECK"));
    EXPECT_EQ(y.PCMTRL, tool_text("ALU"));
}

TEST_F(ToolRecords, HeaderWordsAndTheNoHolderId)
{
    int id = make_tool(kDrill, "HDR");
    int tool_class = 0, status = 0;
    tool_header header;
    read_tool_entity_header(id, tool_class, header, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(tool_class, kDrill);
    std::array<int, 12> words = header.to_words();
    EXPECT_EQ(tool_header::from_words(words).to_words(), words);
    EXPECT_EQ(words[0], tool_table_ids().table_of(kDrill));
    EXPECT_EQ(words[4], tool_table_ids().table_of(kTechTypeIndex));
    EXPECT_GT(words[5], 0);  // a drill has one cutting condition
    EXPECT_EQ(words[6], -1);
    header.holder_id = 65535;
    header.holder_mode = 3;
    tool_header_put(id, header, status);
    read_tool_entity_header(id, tool_class, header, status);
    EXPECT_EQ(header.holder_id, -1);
    EXPECT_EQ(header.holder_mode, 1);
    header.holder_id = 65534;
    header.holder_mode = 3;
    tool_header_put(id, header, status);
    read_tool_entity_header(id, tool_class, header, status);
    EXPECT_EQ(header.holder_id, 65534);
    EXPECT_EQ(header.holder_mode, 3);

    // Not a tool: another class, a short integer list, id 0.
    for (int bad : {vantu::control::add_entity(21, 2, std::vector<word>(12, 1)),
                    vantu::control::add_entity(20, 2, std::vector<word>(11, 1)), 0, -4}) {
        status = 0;
        read_tool_entity_header(bad, tool_class, header, status);
        EXPECT_EQ(status, -5) << bad;
    }
}

TEST_F(ToolRecords, StagingSlotsKeepSeveralRecordsOpen)
{
    int status = 0;
    tool_tables_ensure(kMill, status);
    int mill_table = tool_table_ids().table_of(kMill);
    int tech_table = tool_table_ids().table_of(kTechTypeIndex);
    toolrec_open(kMainSlot, mill_table, -1, status);
    ASSERT_EQ(status, 0);
    toolrec_open(kConditionSlot, tech_table, -1, status);
    ASSERT_EQ(status, 0);
    // The working line now holds the condition record; slot 3 still gives the mill record.
    toolrec_stage(0, kMainSlot);
    EXPECT_EQ(dd_type().table_id, mill_table);
    dd_field field;
    int index = 0;
    DDFIF1("DIAMTR", field, index, status);
    ASSERT_EQ(status, 0);
    EXPECT_FLOAT_EQ(dd_value_real(field), 10.0f);
    toolrec_stage(0, kConditionSlot);
    EXPECT_EQ(dd_type().table_id, tech_table);
    DDFIF1("CRSPIN", field, index, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(dd_value_int(field), 1000);
    // Slots other than 1, 2, 3, 6, 7, 8 do nothing.
    for (int unknown : {0, 4, 5, 9}) {
        toolrec_stage(6, unknown);
        EXPECT_FALSE(toolrec_slot_filled(unknown)) << unknown;
        toolrec_stage(0, unknown);
        EXPECT_EQ(dd_type().table_id, tech_table) << unknown;
    }
    // A put of a new record answers its id and keeps it in the slot.
    int record = -1;
    toolrec_put(kMainSlot, record, status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(record, 0);
    toolrec_stage(0, kMainSlot);
    EXPECT_EQ(dd_type().record_id, record);
    // No table, or a free record, opens nothing.
    toolrec_open(7, 0, 1, status);
    EXPECT_EQ(status, -5);
    EXPECT_FALSE(toolrec_slot_filled(7));
    toolrec_open(7, mill_table, record + 1, status);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(toolrec_slot_filled(7));
}

TEST_F(ToolRecords, ConditionIndexOutsideOneToFiveCopiesNothing)
{
    int status = 0;
    tool_tables_ensure(kMill, status);
    toolrec_open(kConditionSlot, tool_table_ids().table_of(kTechTypeIndex), -1, status);
    ASSERT_EQ(status, 0);
    tool_block().CRSPIN = {1, 2, 3, 4, 5};
    for (int index : {0, 6, -1}) toolrec_condition(kConditionSlot, kCopyRead, index);
    EXPECT_EQ(tool_block().CRSPIN, (std::array<int, 5>{1, 2, 3, 4, 5}));
    toolrec_condition(kConditionSlot, kCopyRead, 5);
    EXPECT_EQ(tool_block().CRSPIN[4], 1000);
    EXPECT_FLOAT_EQ(tool_block().CRFEED[4], 350.0f);
    EXPECT_FLOAT_EQ(tool_block().CRVLOC[4], 30.0f);
    EXPECT_FLOAT_EQ(tool_block().CRDSTP[4], 10.0f);
    EXPECT_FLOAT_EQ(tool_block().CRSSTP[4], 1.0f);
}

TEST_F(ToolRecords, ToolWithoutUserTableLeavesTheUserSlotAlone)
{
    int id = make_tool(kDrill, "NOUSER");
    int status = 0;
    toolrec_open(kUserSlot, tool_table_ids().table_of(kDrill), -1, status);
    ASSERT_TRUE(toolrec_slot_filled(kUserSlot));
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    EXPECT_FALSE(toolrec_slot_filled(kUserSlot));  // marked empty, nothing read into it
    int records = 0, in_use = 0;
    tool_record_count(tool_table_ids().table_of(kDrill), records, in_use, status);
    SGTOOL(6, id, status);
    EXPECT_EQ(status, 0);
    int in_use_after = 0;
    tool_record_count(tool_table_ids().table_of(kDrill), records, in_use_after, status);
    EXPECT_EQ(in_use_after, in_use);  // the rewrite adds no record
}

TEST_F(ToolRecords, HolderEntityInEveryMode)
{
    int status = 0, version = 700;
    holder_set set;
    set.count = 0;
    set.shank_mode = 0;
    set.top_diameter[1] = 8.0f;
    int holder = -1;
    dbdholdr(3, holder, version, set, status);  // create and write
    ASSERT_EQ(status, 0);
    auto entity = vantu::control::get_entity(holder);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->entity_class, 20);
    EXPECT_EQ(entity->type, 14);
    ASSERT_EQ(entity->words.size(), 2u + 4 * 12 + 2);
    EXPECT_EQ(entity->words[0], 700);
    EXPECT_EQ(entity->words[1], 1);                            // count 0 written as 1
    EXPECT_EQ(word_to_real(entity->words[2 + 12 + 1]), 8.0f);  // top diameter 2
    EXPECT_EQ(entity->words[2 + 48], 1);                       // shank mode 0 written as 1

    holder_set read;
    int read_version = 0;
    dbdholdr(1, holder, read_version, read, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_version, 700);
    EXPECT_FLOAT_EQ(read.top_diameter[1], 8.0f);

    tool_block().holder_mode = 2;
    dbdholdr(4, holder, version, read, status);  // reset
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read.count, 1);
    EXPECT_FLOAT_EQ(read.top_diameter[1], 0.0f);
    EXPECT_FLOAT_EQ(read.total_height[11], 0.5f);
    EXPECT_EQ(read.shank_mode, 1);
    EXPECT_EQ(read.second_mode, 1);
    EXPECT_EQ(tool_block().holder_mode, 1);

    // Write mode needs an id: with none nothing is created.
    int none = 0;
    std::size_t before = vantu::control::entities_text().size();
    dbdholdr(2, none, version, read, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(vantu::control::entities_text().size(), before);

    // Read mode without a holder creates one of count 1, zero arrays.
    int fresh = -1;
    holder_set created;
    created.bottom_diameter.fill(3.0f);
    dbdholdr(1, fresh, version, created, status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(fresh, 0);
    EXPECT_EQ(created.count, 1);
    EXPECT_FLOAT_EQ(created.bottom_diameter[0], 0.0f);
    EXPECT_FLOAT_EQ(created.total_height[0], 0.0f);
}

TEST_F(ToolRecords, HolderEntityProblemsAreReported)
{
    int status = 0, version = 0;
    holder_set set;
    int missing = 9999;
    dbdholdr(1, missing, version, set, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "[dbdholdr] error in open holder entity !"));
    int other = vantu::control::add_entity(20, 2, std::vector<word>(52, 0));
    dbdholdr(1, other, version, set, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "[dbdholdr] entity is not an holder !"));
    vantu::control::inject_fault("estore", 1, 1, -1);
    int created = -1;
    dbdholdr(3, created, version, set, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "dbdholdr: error in estore !"));
    // A count over 10 is refused on write as on read.
    int holder = -1;
    dbdholdr(3, holder, version, set, status);
    ASSERT_EQ(status, 0);
    set.count = 11;
    dbdholdr(2, holder, version, set, status);
    EXPECT_EQ(status, -1);
}

TEST_F(ToolRecords, SgtoolReadsTheHolderSetInEveryMode)
{
    int id = make_tool(kMill, "HOLDS");
    int status = 0;
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    tool_holders().count = 4;
    SGTOOL(2, id, status);  // writes the records; the holder set comes from its entity
    ASSERT_EQ(status, 0);
    EXPECT_EQ(tool_holders().count, 1);
}
