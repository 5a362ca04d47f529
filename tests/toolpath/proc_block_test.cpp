// The procedure block reader, the procedure's own segment and geometry writers, the flag segment
// reader, the first and last points of a procedure's motions, the stored-motion entity and the
// marker lines of the listing.
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/marker_listing.hpp"
#include "toolpath/open_sub_list.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_callback_segments.hpp"
#include "toolpath/proc_first_last.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_read_proc.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

using namespace tp_test;
using words_t = std::vector<word>;

namespace {

constexpr int kProcType = 50;

struct record {
    int code;
    int type;
    std::vector<word> values;
};

// Writes the records as one segment of the open line (WHERE 3, length back-patched).
void write_segment(int code, const std::vector<record>& records)
{
    int counter = 0, status = 0;
    tp_segment_begin(kWhereListNumbered, code, counter, status);
    for (const record& r : records)
        tpptntl(kWhereListNumbered, r.code, static_cast<int>(r.values.size()), r.type, r.values.data(), counter,
                status);
    tp_segment_end(kWhereListNumbered, counter, status);
    ASSERT_EQ(status, 0);
}

std::vector<word> expressions(float first)
{
    std::vector<word> words(24, 0);
    words[0] = r(first);
    for (int i = 1; i < 24; ++i) words[static_cast<std::size_t>(i)] = i;
    return words;
}

// Segment 27 records: option words 1 to 6 are 11..16, pair k has flag k % 2 and id 100 + k.
std::vector<record> flag_records()
{
    std::vector<record> records;
    const int option_codes[6] = {51, 52, 53, 54, 55, 82};
    for (int i = 0; i < 6; ++i) records.push_back({option_codes[i], kTypeInteger, {11 + i}});
    for (int k = 0; k < 10; ++k) {
        records.push_back({83 + k, kTypeInteger, {k % 2}});
        records.push_back({93 + k, kTypeInteger, {100 + k}});
    }
    records.push_back({103, kTypeInteger, {0}});
    records.push_back({104, kTypeInteger, {110}});
    records.push_back({105, kTypeInteger, {1}});
    records.push_back({106, kTypeInteger, {111}});
    return records;
}

int g_param_calls = 0;
int g_param_fail = 0;
void put_two_records(int& procedure_type, int& where, int& counter, int& status)
{
    ++g_param_calls;
    const word one = procedure_type, two[2] = {r(1.5f), r(2.5f)};
    tpptntl(where, 1, 1, kTypeInteger, &one, counter, status);
    if (g_param_fail) {
        status = g_param_fail;
        return;
    }
    tpptntl(where, 2, 2, kTypeReal, two, counter, status);
}

int g_geometry_where = 0, g_geometry_counter = -1, g_geometry_fail = 0;
void put_geometry(int& procedure_type, int& where, int& counter, int& status)
{
    (void)procedure_type;
    g_geometry_where = where;
    g_geometry_counter = counter;
    status = g_geometry_fail;
}

// A whole procedure block as the writers leave it: head, segments 24, 27, 23 and 25, the link.
void write_procedure_block(int number, int display_mode)
{
    int status = 0;
    lcreat(1, status);
    const word head[3] = {12, number, kProcType};
    TPPUT(kWhereListNumbered, 3, kTypeInteger, head, status);
    write_segment(24, {{20, kTypeInteger, {0}},
                       {31, kTypeInteger, {display_mode}},
                       {36, kTypeExpression, expressions(9.0f)},
                       {45, kTypeInteger, {7}},
                       {46, kTypeInteger, {2}},
                       {48, kTypeInteger, {1}},
                       {49, kTypeExpression, expressions(4.0f)},
                       {50, kTypeExpression, expressions(5.0f)},
                       {129, kTypeInteger, {3}},
                       {29, kTypeInteger, {text4_to_word("PKT "), 0, 0, 0, 0}},
                       {116, kTypeInteger, {6}},
                       {117, kTypeInteger, {2}},
                       {107, kTypeInteger, {9}}});
    write_segment(27, flag_records());
    int length = 0;
    wmchtb(kWhereListNumbered, 1, length, status);
    g_param_fail = 0;
    wlcprm(kProcType, put_two_records, status);
    put_zero_lst(status);
    ASSERT_EQ(status, 0);
    lclos(status);
    lacces(0, status);
}

void set_machine_table()
{
    PRM9() = machine_params{};
    PRM9().set_real(machine_params::kBaseFeed, 200.0f);
    PRM9().set_real(machine_params::kCuttingSpeed, 80.0f);
    PRM9().words[machine_params::kSpindleSpeed] = 1200;
    PRM9().words[machine_params::kDirection] = 2;
    PRM9().words[machine_params::kToolId] = 44;
    PRM9().words[machine_params::kCutterComp] = 1;
    PRM9().set_real(machine_params::kStoredFeed, 60.0f);
}

void read_head(int where, int& type)
{
    int size = 0, klass = 0, status = 0;
    tp_block_head_read(where, size, type, klass, status);
    ASSERT_EQ(status, 0);
}

}  // namespace

TEST(ProcedureReader, ListBlockRoundTripsEveryItemReadingNeeds)
{
    fresh();
    set_machine_table();
    const machine_params written = PRM9();
    write_procedure_block(4, 2);
    // Two motion blocks in the sub-list, so the link counts two lines.
    int status = 0;
    tp_sublist_open(status);
    append_block({2, 0, r(1), r(2), r(3)});
    append_block({2, 1, r(4), r(5), r(6)});
    tp_sublist_close(status);
    ASSERT_EQ(status, 0);

    PRM9() = machine_params{};
    proc_flags() = proc_geom_pairs{};
    DSP8() = tool_position_state{};
    vantu::control::set_read_transformation(7, {0, -1, 0, 1, 0, 0, 0, 0, 1}, {10, 20, 30});
    const read_transformation stale{{1, 0, 0, 0, 1, 0, 0, 0, 1}, {99, 99, 99}};
    read_transformation_set(stale.matrix.data(), stale.translation.data());
    int type = 0;
    read_head(kWhereList, type);
    ASSERT_EQ(type, 12);
    tp_proc_block block;
    tpread_proc(kWhereList, block, status);
    EXPECT_EQ(status, 1) << "display mode 2 gives status 1";
    EXPECT_EQ(block.number, 4);
    EXPECT_EQ(block.proc_type, kProcType);
    EXPECT_EQ(block.transformation_id, 7);
    EXPECT_EQ(block.absolute, 1);
    EXPECT_EQ(word_to_real(block.absolute_height[0]), 4.0f);
    EXPECT_EQ(block.absolute_height[9], 9);
    EXPECT_EQ(word_to_real(block.incremental_height[0]), 5.0f);
    EXPECT_EQ(block.item129, 3);
    EXPECT_EQ(block.sublist_word, 2) << "the link's third word: the sub-list's lines";
    EXPECT_EQ(DSP8().at(tool_position_state::kLineFont), 9);
    EXPECT_EQ(DSP8().at(tool_position_state::kColour), 6);
    EXPECT_EQ(DSP8().at(tool_position_state::kPen), 2);
    EXPECT_EQ(current_read_transformation().translation, (std::array<float, 3>{0, 0, 0}))
        << "item 46 = 2 ignores the transformation when read with WHERE 2";
    EXPECT_EQ(proc_flags().options, (std::array<word, 6>{11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(proc_flags().pairs[2], 1);
    EXPECT_EQ(proc_flags().pairs[3], 101);
    EXPECT_EQ(proc_flags().pairs[21], 110);
    EXPECT_EQ(proc_flags().pairs[23], 111);
    EXPECT_EQ(PRM9().words, written.words) << "segment 23 read back into PRM9";

    read_head(kWhereListWorld, type);
    tpread_proc(kWhereListWorld, block, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(current_read_transformation().translation, (std::array<float, 3>{10, 20, 30}));
    EXPECT_EQ(current_read_transformation().matrix[1], -1.0f);
}

TEST(ProcedureReader, DisplayModesAndHostHandOver)
{
    struct row {
        int display_mode;
        int where;
        int status;
        bool told;
    };
    const row rows[] = {{1, kWhereList, 0, false},
                        {2, kWhereList, 1, false},
                        {3, kWhereList, 2, false},
                        {1, 9, 0, true},
                        {3, 10, 2, true},
                        // WHERE 11 reads as 4, whose transformation 7 the host does not hold.
                        {1, 11, -5, true}};
    for (const row& r : rows) {
        fresh();
        set_machine_table();
        write_procedure_block(8, r.display_mode);
        int type = 0, status = 0;
        read_head(kWhereList, type);
        tp_proc_block block;
        tpread_proc(r.where, block, status);
        EXPECT_EQ(status, r.status) << "display mode " << r.display_mode << " WHERE " << r.where;
        const auto told = vantu::control::last_met_procedure();
        EXPECT_EQ(told == std::make_pair(kProcType, 8), r.told) << "WHERE " << r.where;
    }
}

TEST(ProcedureReader, EntityFormReadsTheMchprmEntity)
{
    fresh();
    int status = 0, mchprm = 0, proc = 0;
    estore(9, 5, mchprm, status);
    const word lead[4] = {0, 0, 0, 12};  // three leading words, then the table's length
    eputn(4, lead, status);
    const word machine = 1, feed = r(150.0f), spindle = 800;
    TPPUTNT(kWhereEntity, 0, 1, kTypeInteger, &machine, status);
    TPPUTNT(kWhereEntity, 1, 1, kTypeReal, &feed, status);
    TPPUTNT(kWhereEntity, 6, 1, kTypeInteger, &spindle, status);
    eclose(status);

    estore(9, 3, proc, status);
    const std::vector<word> words{0, 0, 0, 5, kProcType, mchprm, 2, 77, 77, 1, 9, 2, 1, 3, 6, 0, 0, 0, 0, 0, 42};
    eputn(static_cast<int>(words.size()), words.data(), status);
    int entity_class = 0, entity_type = 0;
    eopen(proc, entity_class, entity_type, status);
    set_open_proc();
    PRM9() = machine_params{};
    tp_proc_block block;
    tpread_proc(kWhereEntity, block, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(block.number, 5);
    EXPECT_EQ(block.proc_type, kProcType);
    EXPECT_EQ(block.mchprm_id, mchprm);
    EXPECT_EQ(block.sublist_word, 6);
    EXPECT_EQ(is_open_proc(), 0) << "the open procedure is closed";
    EXPECT_EQ(PRM9().real(machine_params::kBaseFeed), 150.0f);
    EXPECT_EQ(PRM9().words[machine_params::kSpindleSpeed], 800);

    // A MCHPRM id that names a procedure entity instead.
    const std::vector<word> wrong{0, 0, 0, 5, kProcType, proc, 0, 1, 9, 2, 1, 3, 6, 0, 0, 0, 0, 0, 42};
    int other = 0;
    estore(9, 3, other, status);
    eputn(static_cast<int>(wrong.size()), wrong.data(), status);
    eopen(other, entity_class, entity_type, status);
    vantu::control::clear_messages();
    tpread_proc(kWhereEntity, block, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors1(), std::vector<std::string>{"get_mchprm, NOT A MCHPRM ENTITY. id = " + std::to_string(proc)});
}

TEST(ProcedureSegments, OwnParametersAreCountedAndBackPatched)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    g_param_calls = 0;
    g_param_fail = 0;
    wlcprm(kProcType, put_two_records, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_line_words(), (std::vector<word>{25, 9, 1, 2, 0, kProcType, 2, 3, 1, r(1.5f), r(2.5f)}));

    lcreat(1, status);
    g_param_fail = -7;
    wlcprm(kProcType, put_two_records, status);
    EXPECT_EQ(status, -7) << "the callback's status stays";
    EXPECT_EQ(current_line_words(), (std::vector<word>{25, 4, 1, 2, 0, kProcType}))
        << "the length covers the record written before the failure";
    EXPECT_EQ(errors1(), std::vector<std::string>{"[wlcprm - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE " +
                                                  std::to_string(kProcType)});

    lcreat(1, status);
    wlcprm(kProcType, nullptr, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(current_line_words(), (std::vector<word>{25, 0}));
}

TEST(ProcedureSegments, GeometryCallbackWritesOutsideTheList)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    g_geometry_fail = 0;
    wgeom(kProcType, put_geometry, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(g_geometry_where, kWhereEntity);
    EXPECT_EQ(g_geometry_counter, 0);
    EXPECT_TRUE(current_line_words().empty());
    g_geometry_fail = -4;
    wgeom(33, put_geometry, status);
    EXPECT_EQ(status, -4);
    wgeom(33, nullptr, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors1(), (std::vector<std::string>{"[wgeom - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE 33",
                                                   "[wgeom - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE 33"}));
}

TEST(FlagSegment, UnknownCodeOrWideRecordIsRefused)
{
    struct row {
        std::vector<word> segment;
        int status;
    };
    const row rows[] = {
        {{27, 8, 51, 2, 0, 5, 83, 2, 0, 1}, 0},
        {{27, 4, 77, 2, 0, 5}, -1},
        {{27, 5, 51, 3, 0, 5, 6}, -1},
    };
    for (const row& r : rows) {
        fresh();
        append_block(r.segment);
        int status = 0, length = 0;
        TPSKIP(kWhereList, 1, status);
        word options[6] = {}, pairs[24] = {};
        get_flags(options[1], options[0], options[2], options[3], options[4], options[5], pairs, length, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(length, r.segment[1]);
        if (r.status == 0) {
            EXPECT_EQ(options[0], 5);
            EXPECT_EQ(pairs[0], 1);
        } else {
            EXPECT_EQ(errors(), std::vector<std::string>{"get_flags, ERRORS IN LIST"});
        }
    }
}

TEST(FirstAndLast, PointsOfTheFirstAndLastMotions)
{
    fresh();
    set_machine_table();
    write_procedure_block(1, 1);
    int status = 0;
    tp_sublist_open(status);
    append_block({1, 0, 3, 0, 5});
    append_block({2, 1, r(1), r(2), r(3)});
    append_block({99, 2, 5});
    append_block({27, 3, r(4), r(5), r(6), r(0), r(1), r(0), 4, r(7), r(8), r(9), r(1), r(0), r(0)});
    append_block({99, 5, 6});
    int five = 5;
    gsblkn(2, 0, five, status);
    tp_sublist_close(status);
    ASSERT_EQ(status, 0);

    point3 first{}, first_dir{}, last{}, last_dir{};
    int empty = 0;
    FSTLST(first, first_dir, last, last_dir, empty, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(empty, 0);
    EXPECT_EQ(first, (point3{1, 2, 3}));
    EXPECT_EQ(first_dir, kDefaultDirection);
    EXPECT_EQ(last, (point3{7, 8, 9}));
    EXPECT_EQ(last_dir, (point3{1, 0, 0}));
    int level = 0;
    gtlstn(1, level, status);
    EXPECT_EQ(level, 1) << "the sub-list is closed again";
    EXPECT_EQ(current_line_words()[0], 12);

    // A procedure without motions, and a block that is no procedure.
    write_procedure_block(2, 1);
    FSTLST(first, first_dir, last, last_dir, empty, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(empty, 1);
    append_block({4, 3, 0});
    vantu::control::clear_messages();
    FSTLST(first, first_dir, last, last_dir, empty, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"FSTLST,THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK"});
}

TEST(StoredMotions, MovmntEntityIsCopiedIntoTheSublist)
{
    fresh();
    set_machine_table();
    write_procedure_block(1, 1);
    int status = 0, id = 0;
    estore(9, 8, id, status);
    const std::vector<word> words{0, 0, 0, 2, 0, 5, 2, 7, r(1), r(2), r(3), 3, 99, 8, 5};
    eputn(static_cast<int>(words.size()), words.data(), status);
    eclose(status);
    reset_open_proc();
    open_sub_list(2, id, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(is_open_proc(), 1);
    auto position = vantu::control::toolpath_cursor();
    ASSERT_EQ(position.lines.size(), 1u) << "back at the procedure block";
    const auto* block = vantu::control::toolpath_line_at(position.lines);
    ASSERT_EQ(block->sublist.size(), 2u);
    EXPECT_EQ(block->sublist[0].words, (std::vector<word>{2, 7, r(1), r(2), r(3)}));
    EXPECT_EQ(block->sublist[1].words, (std::vector<word>{99, 8, 5}));
    int open_id = -1, open_at = 0;
    eopen_block_get(open_id, open_at);
    EXPECT_EQ(open_id, 0) << "the entity is closed";

    // Mode 1 hands the open entity to the host.
    const long before = vantu::control::call_count("lclrnw");
    open_sub_list(1, id, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::call_count("lclrnw"), before + 1);
    eopen_block_get(open_id, open_at);
    EXPECT_EQ(open_id, id);
    EXPECT_EQ(open_at, 3);
    eclose(status);

    // A block of a size no list line has stops the copy; the sub-list is closed all the same.
    int bad = 0;
    estore(9, 8, bad, status);
    const std::vector<word> broken{0, 0, 0, 3, 0, 0, 2, 7};
    eputn(static_cast<int>(broken.size()), broken.data(), status);
    eclose(status);
    vantu::control::clear_messages();
    open_sub_list(2, bad, status);
    EXPECT_EQ(status, -1);
    int level = 0, ignored = 0;
    gtlstn(1, level, ignored);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(errors1(), std::vector<std::string>{"conv_sub_list, WRONG BLOCK SIZE 0"});

    int tool = 0;
    estore(9, 5, tool, status);
    eclose(status);
    vantu::control::clear_messages();
    open_sub_list(2, tool, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors1(), std::vector<std::string>{"open_sub_list, NOT A MOVMNT ENTITY. id = " + std::to_string(tool)});
    open_sub_list(2, 9999, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "open_sub_list, PROBLEMS IN OPENNING ENTITY");
}

TEST(MarkerListing, EveryPairIsNamed)
{
    const std::pair<int, std::string> names[] = {{1, "COMPLEX"},
                                                 {4, "LAYER"},
                                                 {9, "APPROACH"},
                                                 {12, "RETRACT"},
                                                 {33, "PATH BY X"},
                                                 {46, "THREAD CYCLE"},
                                                 {58, "GROOVE FINISH CYCLES"},
                                                 {59, "REGION  "},
                                                 {61, "RETRACT"},
                                                 {66, "VERT CONST Z"}};
    for (const auto& [code, expected] : names) {
        std::string name;
        ASSERT_TRUE(marker_name(code, name)) << code;
        EXPECT_EQ(name, expected) << code;
    }
    for (int code : {0, 67, -3}) {
        std::string name;
        EXPECT_FALSE(marker_name(code, name));
    }
}

TEST(ProcedureReader, DamagedBlocksAreRefusedWithoutReadingPast)
{
    struct row {
        words_t words;
        int status;
        std::string message;
    };
    const row rows[] = {
        // A record of segment 24 whose count word says fewer than no values.
        {{12, 1, kProcType, 24, 4, 31, 0, 0, 2}, -1, ""},
        // Segment 24 ends the block: segment 27 cannot be found.
        {{12, 1, kProcType, 24, 4, 31, 2, 0, 1}, -1, "PLFNDG, REQUESTED CODE WAS NOT FOUND"},
        // Segment 24 claims more words than the block holds.
        {{12, 1, kProcType, 24, 400, 31, 2, 0, 1}, -2, ""},
    };
    for (const row& r : rows) {
        fresh();
        append_block(r.words);
        int type = 0, status = 0;
        read_head(kWhereList, type);
        tp_proc_block block;
        tpread_proc(kWhereList, block, status);
        EXPECT_EQ(status, r.status);
        if (!r.message.empty()) {
            EXPECT_EQ(errors(), std::vector<std::string>{r.message});
        }
    }

    // A text block whose count is far beyond its words.
    fresh();
    append_block({4, 1, 0x7fffffff, text4_to_word("abcd")});
    int size = 0, type = 0, klass = 0, status = 0;
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_text_block text;
    tpread_text(kWhereList, text, status);
    EXPECT_EQ(status, -2);
}
