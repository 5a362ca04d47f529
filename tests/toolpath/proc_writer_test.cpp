// The procedure block: its layout as written, the limit of procedures, the deletion of a block
// that could not be written whole, the update after execution, the header update, the flag
// segment, the markers, the geometry entities and the copy to and from the host's records.
#include "host/control/assoc.hpp"
#include "host/control/geom_entities.hpp"
#include "host/control/mdata.hpp"
#include "host/control/proc_records.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/optimizer_params.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/proc_block_xform.hpp"
#include "toolpath/proc_copy.hpp"
#include "toolpath/proc_ctx_save.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_size.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

using namespace tp_test;

namespace {

constexpr int kProcType = 50;

int g_param_status = 0;
void put_parameters(int& type, int& where, int& counter, int& status)
{
    const word value = type;
    tpptntl(where, 1, 1, kTypeInteger, &value, counter, status);
    if (g_param_status != 0) status = g_param_status;
}
void put_geometry(int&, int&, int&, int& status) { status = 0; }
int g_records_calls = 0;
void contour_records(int& mode, int&, int&, int& status)
{
    g_records_calls += mode == kContourRecordsStore ? 1 : 0;
    status = 0;
}

void fresh_store()
{
    fresh();
    LSP2() = move_writer_state{};
    BLSK() = sublist_stack{};
    proc_flags() = proc_geom_pairs{};
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) proc_flags().pairs[static_cast<std::size_t>(2 * k + 1)] = -1;
    EDA2() = edit_state{};
    HEI8() = heights_state{};
    PRM9() = machine_params{};
    mch_slots() = mch_slot_table{};
    opt_params_defaults();
    vantu::control::set_toolpath_version(prgvrs());
    g_param_status = 0;
    g_records_calls = 0;
    marker_stack() = tp_mrkr_stack{};
}

void store(int machine_param_type, int& status, int new_block = 1, int procedure_number = -1)
{
    PTBT12(kProcType, new_block, procedure_number, contour_records, put_parameters, put_geometry, machine_param_type,
           status);
}

// Back on the procedure block of the top list.
void to_top_block()
{
    int level = 1, status = 0;
    gtlstn(2, level, status);
    lacces(0, status);
}

std::vector<word> item(int group, int code, int capacity = 24)
{
    to_top_block();
    std::vector<word> values(static_cast<std::size_t>(capacity), 0);
    int count = 0, type = 0, status = 0;
    TPGETN(kWhereList, group, code, count, type, values.data(), capacity, status);
    EXPECT_GE(status, 0) << group << "/" << code;
    values.resize(static_cast<std::size_t>(std::max(count, 0)));
    return values;
}

std::optional<std::vector<word>> nprc() { return vantu::control::get_record("NPRC"); }

}  // namespace

TEST(ProcedureWriter, BlockLayoutBySegmentAndMachineParameterType)
{
    struct row {
        int type;
        int length;
    };
    for (const row& c : {row{3, 8}, row{1, 60}, row{24, 52}}) {
        SCOPED_TRACE(c.type);
        fresh_store();
        int status = 0;
        store(c.type, status);
        ASSERT_EQ(status, 0);
        const auto& top = vantu::control::toolpath_top();
        ASSERT_EQ(top.size(), 1u);
        const std::vector<word>& w = top[0].words;
        EXPECT_EQ(std::vector<word>(w.begin(), w.begin() + 9),
                  (std::vector<word>{12, 0, kProcType, 24, 480, 20, 2, 0, 0}));
        EXPECT_EQ(w[485], 27);
        EXPECT_EQ(w[486], 120);
        EXPECT_EQ(w[607], 23);
        EXPECT_EQ(w[608], c.length);
        EXPECT_EQ(w[609 + c.length], 25);
        EXPECT_EQ(w[610 + c.length], 4) << "the callback's one record";
        EXPECT_TRUE(top[0].has_sublist);
        EXPECT_EQ(vantu::control::toolpath_level(), 2) << "the motion sub-list is open";
        EXPECT_EQ(BLSK().words[0], 1);
        EXPECT_EQ(BLSK().words[1], 0);
        EXPECT_EQ(nprc(), std::vector<word>{1});
        EXPECT_EQ(LSP2().at(move_writer_state::kFirstMovePending), 1);
        EXPECT_EQ(g_records_calls, 1);
    }
}

TEST(ProcedureWriter, LimitOfProceduresInAToolPath)
{
    struct row {
        std::optional<word> stored;
        int status;
        word after;
        std::size_t lines;
    };
    const row rows[] = {{std::nullopt, 0, 1, 1}, {199, 0, 200, 1}, {200, 1, 200, 0}};
    for (const row& c : rows) {
        fresh_store();
        if (c.stored) vantu::control::set_record("NPRC", 1, {*c.stored});
        int status = 0;
        store(3, status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(nprc(), std::vector<word>{c.after});
        EXPECT_EQ(vantu::control::toolpath_top().size(), c.lines);
        if (c.status == 1) {
            EXPECT_EQ(vantu::control::lines_of("user1c"),
                      std::vector<std::string>{"NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED 199"});
        }
    }
}

TEST(ProcedureWriter, FailedStoresLeaveNoBlockAndTheCountAsItWas)
{
    struct row {
        const char* name;
        const char* fault;
        int param_status;
        std::string own_message;
    };
    const row rows[] = {
        {"put-parameters callback", nullptr, -3, "[wlcprm - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE 50"},
        {"sub-list not opened", "newls1", 0, ""},
        {"sub-list header item lost", "lskip", 0, ""},
    };
    for (const row& c : rows) {
        SCOPED_TRACE(c.name);
        fresh_store();
        vantu::control::set_record("NPRC", 1, {5});
        g_param_status = c.param_status;
        if (c.fault) vantu::control::inject_fault(c.fault, 1, 1000, -1);
        int status = 0;
        store(3, status);
        vantu::control::clear_faults();
        EXPECT_LT(status, 0);
        EXPECT_TRUE(vantu::control::toolpath_top().empty());
        EXPECT_EQ(vantu::control::toolpath_level(), 1);
        EXPECT_EQ(nprc(), std::vector<word>{5});
        EXPECT_EQ(errors().back(), "PTBT12, ERROR IN WRITING A PROCEDURE BLOCK, PROCEDURE IS DELETED");
        if (!c.own_message.empty()) {
            EXPECT_EQ(errors1(), std::vector<std::string>{c.own_message});
        }
    }
}

TEST(ProcedureWriter, VersionMarksSuspendedOptimizerAndCarriedLinks)
{
    fresh_store();
    vantu::control::set_toolpath_version(prgvrs() + 1);
    proc_flags().pairs[5] = 44;  // pair 3 holds entity 44
    EDA2().word_no(edit_state::kSuspend) = 1;
    opt_params_current().set_ival(81, 2);
    opt_params_current().set_ival(130, 128 + 1);
    const int tool = vantu::control::add_entity(20, 1, {});
    int status = 0;
    asattl(tool, -1, 7, status);
    store(3, status, 0, 7);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(item(27, 53), std::vector<word>{1});
    EXPECT_EQ(item(27, 55), std::vector<word>{1});
    EXPECT_EQ(item(27, 85), std::vector<word>{1}) << "the flag of the pair with an entity";
    EXPECT_EQ(item(27, 86), std::vector<word>{0});
    EXPECT_EQ(item(24, 81), std::vector<word>{4});
    EXPECT_EQ(item(24, 130), std::vector<word>{1}) << "the tilted flag cleared";
    EXPECT_EQ(item(24, 44), std::vector<word>{2});
    const auto links = vantu::control::assoc_links();
    EXPECT_NE(std::find(links.begin(), links.end(), vantu::control::assoc_link{tool, -1, 0}), links.end())
        << "the edited procedure's link carried to block 0";
}

TEST(ProcedureUpdate, CountPointsSuspensionAndDisplayMode)
{
    fresh_store();
    int status = 0;
    store(3, status);
    NPT1().at(tp_header_state::kView) = 9;
    HEI8().set_real(heights_state::kClearance, 25.0f);
    for (int i = 1; i <= 7; ++i) PLINE_entry(1, {float(i), 0, 0}, kDefaultDirection, status);
    tp_sublist_close(status);
    ASSERT_EQ(status, 0);
    PTUB12(1, 1, 1, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(item(24, 20), std::vector<word>{7});
    EXPECT_EQ(item(24, 5), (std::vector<word>{r(1), 0, 0}));
    EXPECT_EQ(item(24, 6), (std::vector<word>{r(7), 0, 0}));
    EXPECT_EQ(item(24, 44), std::vector<word>{3});
    EXPECT_EQ(item(24, 22), std::vector<word>{2});
    EXPECT_EQ(item(24, 31), std::vector<word>{2});
    EXPECT_EQ(item(24, 8), std::vector<word>{9});
    EXPECT_EQ(item(24, 36)[0], r(25));

    // An empty sub-list leaves the points as written.
    fresh_store();
    DSP8().set_real(tool_position_state::kPosition, 3.0f);
    store(3, status);
    tp_sublist_close(status);
    PTUB12(1, 0, 0, 0, status);
    EXPECT_EQ(item(24, 6)[0], r(3));
    EXPECT_EQ(item(24, 20), std::vector<word>{0});

    fresh();
    append_block({2, 0, 0, 0, 0});
    PTUB12(0, 0, 0, 0, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "PTUB12, THE CURRENT BLOCK IS NOT A PROCEDURE");
}

TEST(ProcedureUpdate, HeaderUpdateFromTheSavedSublistHeader)
{
    struct row {
        int suspend;
        std::vector<word> link;
        word count;
        word copied;
        const char* note;
    };
    const row rows[] = {{0, {1, 5, 3, 0, 0, 0, 0, 0}, 5, 1, "PROCEDURE HEADER IS UPDATED"},
                        {1, {0, 0, 0, 0, 0, 0, 0, 0}, 0, 1, "PROCEDURE EXECUTION IS SUSPENDED"}};
    for (const row& c : rows) {
        fresh_store();
        proc_flags().options[5] = 1;  // the motions are in the list already
        int status = 0;
        store(3, status);
        tp_sublist_close(status);
        vantu::control::set_record("SONH", 3, {1, 5, 3, 0, 0, 0, 0, 0, 9});
        vantu::control::clear_messages();
        WUPDSL(c.suspend);
        EXPECT_EQ(vantu::control::lines_of("shmsgc"), std::vector<std::string>{c.note});
        EXPECT_TRUE(errors().empty());
        EXPECT_EQ(item(26, 1, 8), c.link);
        EXPECT_EQ(item(24, 20), std::vector<word>{c.count});
        EXPECT_EQ(item(27, 82), std::vector<word>{c.copied});
        EXPECT_EQ(vantu::control::toolpath_counters()[1], 5);
    }
}

TEST(FlagSegment, RewriteReadBackAndRefusedRecords)
{
    fresh_store();
    int status = 0;
    store(3, status);
    tp_sublist_close(status);
    for (int i = 0; i < proc_geom_pairs::kOptions; ++i) proc_flags().options[static_cast<std::size_t>(i)] = 10 + i;
    for (int i = 0; i < proc_geom_pairs::kPairWords; ++i) proc_flags().pairs[static_cast<std::size_t>(i)] = 100 + i;
    const proc_geom_pairs written = proc_flags();
    to_top_block();
    update_flags(status);
    EXPECT_EQ(status, 0);
    proc_flags() = proc_geom_pairs{};
    read_proc_flags(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(proc_flags().options, written.options);
    EXPECT_EQ(proc_flags().pairs, written.pairs);

    // A record of two values would be overwritten from one global word: refused.
    fresh();
    append_block({12, 0, kProcType, 27, 5, 51, 3, 0, 7, 8});
    update_flags(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "[update_flags], ERRORS IN LIST");

    // The pairs by kind.
    geom_pair_words pairs{};
    geom_pairs_init(pairs);
    geom_flag_update(1, 10012, 5, pairs);
    geom_pair_words untouched{};
    geom_pairs_init(untouched);
    EXPECT_EQ(pairs, untouched) << "kind 10012 has no pair";
    geom_flag_update(1, 10013, 5, pairs);
    EXPECT_EQ(pairs[23], 5) << "kind 10013 is pair 12";
    int id = 0, flag = 0;
    geom_pair_get(10013, pairs, id, flag);
    EXPECT_EQ(id, 5);
}

TEST(Markers, BracketsWarningsAndBlocks)
{
    struct step {
        int kind, id, code;
    };
    struct row {
        std::vector<step> steps;
        int warnings;
        int at_finish;
        int suspended;
    };
    const row rows[] = {
        {{{1, 2, 3}, {1, 3, 5}, {2, 3, 6}, {2, 2, 4}}, 0, 0, 0},
        {{{2, 2, 4}}, 1, 2, 0},
        {{{2, 2, 4}}, 1, 1, 1},
        {{{1, 2, 3}, {2, 3, 6}}, 1, 2, 0},
    };
    for (const row& c : rows) {
        fresh_store();
        int status = 0;
        for (const step& s : c.steps) tp_mrkr_write(s.kind, s.id, s.code, 0.0f, 0, status);
        EXPECT_EQ(vantu::control::lines_of("usmsgc").size(), static_cast<std::size_t>(c.warnings));
        tp_mrkr_fin(c.suspended);
        const auto warnings = vantu::control::lines_of("usmsgc");
        EXPECT_EQ(warnings.size(), static_cast<std::size_t>(c.at_finish));
        if (!warnings.empty()) {
            EXPECT_EQ(warnings[0], "WARNING: MISSING MARKER - MAY CAUSE POST PROCESSING PROBLEMS. CHECK TOOLPATH "
                                   "VALIDITY - AND IF  SUCCESSFULL - DISREGARD THE MESSAGE");
        }
        EXPECT_EQ(top_lines().size(), c.steps.size());
        EXPECT_EQ(marker_stack().capacity, 0) << "released at the finish";
    }

    // Code 3 carries a z, 59 and 60 the region, -3 writes the pending parameters first.
    fresh_store();
    mch_slots().slots[3].status = kSlotComputed;
    PRM9().words[machine_params::kCoolant] = 1;
    int status = 0;
    tp_mrkr_write(1, 2, -3, 12.5f, 0, status);
    tp_mrkr_write(1, 30, 59, 0.0f, 4, status);
    tp_mrkr_write(2, 30, 60, 0.0f, 4, status);
    tp_mrkr_write(1, 3, 5, 0.0f, 0, status);
    tp_mrkr_write(1, 3, 0, 0.0f, 0, status);
    EXPECT_EQ(top_lines(), (std::vector<std::vector<word>>{
                               {1, 0, 3, 0, 1}, {99, 1, 3, r(12.5f)}, {99, 2, 59, 4}, {99, 3, 60, 4}, {99, 4, 5}}));
    // The 101st nested bracket grows the stack by 100.
    for (int i = 0; i < 99; ++i) tp_mrkr_push(1, i);
    EXPECT_EQ(marker_stack().capacity, 200);
    tp_mrkr_reset();
    EXPECT_EQ(marker_stack().capacity, 0);
    EXPECT_TRUE(vantu::control::end_report().empty()) << "the reset closed the array";
}

TEST(GeometryEntities, CreateCompleteFindAndSettle)
{
    fresh_store();
    int new_id = 0, old_id = 0, status = 0;
    create_geom_ent(10003, "", new_id, old_id, status);
    ASSERT_EQ(status, 0);
    eclose(status);
    EXPECT_EQ(old_id, -1);
    const auto entity = vantu::control::get_entity(new_id);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->words, (std::vector<word>{-1, text4_to_word("    "), text4_to_word("    "), 7000000, 10003, 0}));
    geom_length_update(10003, new_id, old_id, 42, status);
    EXPECT_EQ(proc_flags().pairs[5], new_id);
    EXPECT_EQ(proc_flags().options[4], 1) << "kind 10003 asks for a recompute";
    EXPECT_EQ(vantu::control::geometry_length(new_id), 42);

    // A redefinition links the new entity as the old one's temporary; find_geom_buf answers it.
    int second = 0;
    create_geom_ent(10003, "", second, old_id, status);
    eclose(status);
    geom_length_update(10003, second, old_id, 10, status);
    EXPECT_EQ(vantu::control::geometry_temporary(new_id), second);
    int count = 0;
    geom_id_list ids{};
    find_geom_buf(proc_flags().pairs, count, ids, status);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ids[0], second);

    // Saving copies the temporary into the pair's entity and enters it in the NC table.
    save_geom_entities(proc_flags().pairs, count, ids, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(vantu::control::nc_entity_table(), (std::vector<std::pair<int, int>>{{new_id, 4}}));
    EXPECT_FALSE(vantu::control::get_entity(second)) << "the temporary is gone";

    geom_pair_words none{};
    geom_pairs_init(none);
    find_geom_buf(none, count, ids, status);
    EXPECT_EQ(count, 0);
}

TEST(ProcedureCopy, RecordsToListAndBack)
{
    fresh_store();
    proc_copy_words() = proc_copy_state{};
    const int geometry = vantu::control::add_entity(9, 7, {-1, 0, 0, 7000000, 10003, 0});
    const int local = vantu::control::add_param_record(6, {25, 2, 0, 8});
    nc_proc_record record;
    record.block_number = 4;
    record.proc_type = kProcType;
    record.global_words = {20, 2, 0, 0};
    record.lclprm_id = local;
    record.geometry_ids = {geometry};
    record.further_words = std::vector<word>(8, 0);
    proc_copy_words().record_id = vantu::control::add_proc_record(record);
    int from = 1, to = kWhereList, size = 0, status = 0;
    cpbt12(from, to, size, status);
    ASSERT_EQ(status, 0);
    const std::vector<word> w = top_lines().at(0);
    EXPECT_EQ(std::vector<word>(w.begin(), w.begin() + 9), (std::vector<word>{12, 4, kProcType, 24, 4, 20, 2, 0, 0}));
    EXPECT_EQ(std::vector<word>(w.begin() + 131, w.begin() + 139), (std::vector<word>{23, 0, 25, 4, 25, 2, 0, 8}))
        << "no machine parameters: segment 23 is 23, 0";
    EXPECT_EQ(vantu::control::lines_of("msg_mdls"), std::vector<std::string>{"message 351/13 DRELAN: text 351/15"});
    EXPECT_EQ(item(27, 51), std::vector<word>{proc_copy_words().record_id});
    EXPECT_EQ(item(27, 95), std::vector<word>{geometry});

    // Back into the records: machine and local parameters stored when their option words ask.
    const word yes = 1;
    TPCHNN(kWhereList, 27, 54, kTypeInteger, &yes, 1, status);
    TPCHNN(kWhereList, 27, 55, kTypeInteger, &yes, 1, status);
    to_top_block();
    int head_size = 0, type = 0, klass = 0;
    tp_block_head_read(kWhereList, head_size, type, klass, status);
    from = kWhereList;
    cpbt12(from, to, size, status);
    ASSERT_EQ(status, 0);
    const auto stored = vantu::control::proc_record(proc_copy_words().record_id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->global_words, record.global_words);
    EXPECT_EQ(stored->geometry_ids, std::vector<int>{geometry});
    EXPECT_NE(stored->lclprm_id, local) << "a new local-parameter record";
    EXPECT_EQ(vantu::control::param_record_words(6, stored->lclprm_id), (std::vector<word>{25, 2, 0, 8}));
    EXPECT_EQ(vantu::control::param_record_words(5, stored->mchprm_id), std::vector<word>{});

    // More than 12 geometries: refused before anything is written.
    fresh_store();
    record.geometry_ids.assign(13, geometry);
    proc_copy_words().record_id = vantu::control::add_proc_record(record);
    from = 1;
    cpbt12(from, to, size, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(top_lines().empty());
}

TEST(ProcedureCopy, MissingMotionEntityIsDropped)
{
    fresh_store();
    const int wrong = vantu::control::add_entity(9, 5, {});
    nc_proc_record record;
    record.proc_type = kProcType;
    record.global_words = {44, 2, 0, 1};
    record.motion_id = wrong;
    record.further_words = std::vector<word>(8, 0);
    proc_copy_words().record_id = vantu::control::add_proc_record(record);
    int from = 1, to = kWhereList, size = 0, status = 0;
    cpbt12(from, to, size, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(proc_copy_words().motion_id, -1);
    EXPECT_EQ(item(24, 44), std::vector<word>{2});
    EXPECT_EQ(vantu::control::proc_record(proc_copy_words().record_id)->motion_id, -1);
    EXPECT_EQ(vantu::control::lines_of("msg_mdls").back(), "message 351/13 DRELAN: text 351/17");
}

TEST(ProcedureSupport, ApplySlotsAttachToolAndSizeTheToolPath)
{
    fresh_store();
    mch_slots().slots[1] = {kSlotComputed, 1, 0, 0};
    mch_slots().slots[5] = {kSlotExplicit, 9, 0, 0};
    mch_slots().slots[12] = {kSlotComputed, 0, 0, 0};
    mch_slots().last_wrmb[1] = 7;
    PRM9().set_real(machine_params::kBaseFeed, 300.0f);
    int status = 0;
    mch_param_apply(3, status);
    EXPECT_EQ(mch_slots().last_feed, 300.0f);
    EXPECT_EQ(mch_slots().slots[5].last, 9);
    EXPECT_EQ(mch_slots().last_wrmb[1], 0);
    PUTMCH(status);
    EXPECT_TRUE(top_lines().empty()) << "nothing changed since the slots were applied";

    // The tool is attached to the procedure of the first list.
    store(3, status);
    const int tool = vantu::control::add_entity(20, 1, {});
    PRM9().words[machine_params::kToolId] = tool;
    mch_slots().slots[100] = {kSlotComputed, 0, 0, 0};
    PUTMCH(status);
    EXPECT_EQ(vantu::control::assoc_links(), (std::vector<vantu::control::assoc_link>{{tool, -1, 0}}));

    // Size: every line of the top list and of the procedure's sub-list, one word more each.
    tp_sublist_close(status);
    int size = 0;
    GTTPSZ(size, status);
    EXPECT_EQ(status, 0);
    const auto& block = vantu::control::toolpath_top()[0];
    EXPECT_EQ(size, 4 * static_cast<int>(block.words.size() + 1 + block.sublist[0].words.size() + 1));
    tp_sublist_open(status);
    GTTPSZ(size, status);
    EXPECT_EQ(status, -1) << "below the top level";
}

TEST(ProcedureCopy, CopiedBlockIsMovedAndMarked)
{
    fresh_store();
    DSP8().set_real(tool_position_state::kPosition, 1.0f);
    int status = 0;
    store(3, status);
    tp_sublist_close(status);
    to_top_block();
    proc_block_xform(kWhereListNumbered, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {10, 0, 0}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(item(24, 5), (std::vector<word>{r(11), 0, 0}));
    EXPECT_EQ(item(24, 6), (std::vector<word>{r(11), 0, 0}));
    EXPECT_EQ(item(24, 35), std::vector<word>{1});

    DSP8().at(tool_position_state::kColour) = 6;
    DSP8().at(tool_position_state::kPen) = 2;
    to_top_block();
    proc_block_mark_copied(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(item(24, 31), std::vector<word>{2});
    EXPECT_EQ(item(24, 116), std::vector<word>{6});
    EXPECT_EQ(item(24, 117), std::vector<word>{2});

    // A block written before colour and pen existed gets them in front of item 43.
    fresh();
    append_block({12, 1, kProcType, 24, 12, 31, 2, 0, 1, 43, 2, 0, 700});
    proc_block_mark_copied(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(top_lines()[0], (std::vector<word>{12,  1, kProcType, 24, 24,  31, 2, 0, 2,  116, 2, 0,  6,
                                                 117, 2, 0,         2,  107, 2,  0, 0, 43, 2,   0, 700}));
}

TEST(ProcedureSupport, ContextSavedAndPutBackButSlot55)
{
    fresh_store();
    PRM9().words[11] = 5;
    PRM9().words[17] = 1;
    HEI8().set_real(heights_state::kClearance, 40.0f);
    LSP2().at(move_writer_state::kFirstMovePending) = 1;
    int status = 0;
    proc_ctx_save(0, 2, status);
    PRM9().words[11] = 6;
    PRM9().words[17] = 2;
    HEI8().set_real(heights_state::kClearance, 1.0f);
    LSP2().at(move_writer_state::kFirstMovePending) = 0;
    proc_ctx_save(1, 1, status);
    EXPECT_EQ(PRM9().words[11], 6) << "a level of 1 or more does nothing";
    proc_ctx_save(0, 1, status);
    EXPECT_EQ(PRM9().words[11], 5);
    EXPECT_EQ(PRM9().words[17], 2) << "the word of machine slot 55 keeps its present value";
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 40.0f);
    EXPECT_EQ(LSP2().at(move_writer_state::kFirstMovePending), 1);
}
