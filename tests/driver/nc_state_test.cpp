// NC state blocks in module data: the byte-exact save and restore of every block, what the save
// changes on purpose, the records it never writes, the view checks of the restore, the work
// coordinate record, the releases and failures of the save, the text fields and the small values.
#include "driver/go_point_motion.hpp"
#include "driver/nc_state_store.hpp"
#include "host/control.hpp"
#include "host/control/nc_state.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_ncstate.hpp"
#include "listing/work_view.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/model_values.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/rec8.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/current_tool.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <span>

namespace {

namespace control = vantu::control;

struct block_view {
    const char* key;
    std::function<std::span<word>()> words;
    int kind;  // 0: never saved
};

// Every block of the NC state with its key, in the restore's order.
std::vector<block_view> all_blocks()
{
    return {
        {"BLSK", [] { return std::span<word>(BLSK().words); }, 4},
        {"CLP1", [] { return std::span<word>(CLP1().words); }, 4},
        {"TPFO", [] { return std::span<word>(TPFO().words); }, 0},
        {"DSM4", [] { return std::span<word>(DSM4().words); }, 4},
        {"DSP8", [] { return std::span<word>(DSP8().words); }, 4},
        {"EDA2", [] { return std::span<word>(EDA2().words); }, 3},
        {"GCY4", [] { return std::span<word>(GCY4().words); }, 0},
        {"HEI8", [] { return std::span<word>(HEI8().words); }, 1},
        {"LSP2", [] { return std::span<word>(LSP2().words); }, 4},
        {"PRM9", [] { return std::span<word>(PRM9().words); }, 4},
        {"WRMB", [] { return std::span<word>(WRMB().words); }, 4},
        {"NPT1", [] { return std::span<word>(NPT1().words); }, 4},
        {"PLN1", [] { return std::span<word>(PLN1().words); }, 4},
        {"RAXN", [] { return std::span<word>(RAXN().words); }, 3},
        {"TLER", [] { return std::span<word>(TLER().words); }, 1},
        {"TRS1", [] { return std::span<word>(TRS1().words); }, 4},
        {"UPW2", [] { return std::span<word>(UPW2().words); }, 1},
    };
}

void zero_all_blocks()
{
    for (const block_view& b : all_blocks())
        for (word& w : b.words()) w = 0;
    mch_table_ext().ext.fill(0);
}

std::vector<word> copy_of(std::span<word> words) { return {words.begin(), words.end()}; }

class NcState : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        zero_all_blocks();
        nc_texts() = nc_text_fields{};
        proc_table() = proc_summary_table{};
    }
};

// Fills every block with arbitrary words (reals and NaN patterns included), with a tool id that
// names no tool left out: -1.
void fill_blocks(unsigned seed)
{
    std::mt19937 random(seed);
    for (const block_view& b : all_blocks())
        for (word& w : b.words()) w = static_cast<word>(random());
    HEI8().set_real(heights_state::kClearance, 12.5f);
    NPT1().set_real(tp_header_state::kDepth, -0.1f);
    PRM9().words[machine_params::kToolId] = kNoTool;
    for (word& w : mch_table_ext().ext) w = static_cast<word>(random());
}

TEST_F(NcState, SaveThenRestoreGivesBackEveryBlockBitForBit)
{
    const unsigned seed = 20261207;
    fill_blocks(seed);
    std::map<std::string, std::vector<word>> before;
    for (const block_view& b : all_blocks()) before[b.key] = copy_of(b.words());
    const std::vector<word> ext_before(mch_table_ext().ext.begin(), mch_table_ext().ext.end());

    int status = 5;
    save_nc_state(status);
    ASSERT_EQ(status, 0);
    // Blocks the save writes on purpose: PLN1's count and entity ids.
    before["PLN1"][0] = 0;
    before["PLN1"][2] = before["PLN1"][3] = before["PLN1"][8] = -1;
    // TPFO and GCY4 are restored from records others wrote; give them records of their own.
    control::set_record("TPFO", 1, before["TPFO"]);
    control::set_record("GCY4", 1, before["GCY4"]);

    zero_all_blocks();
    SEGSTR(kRestoreOnly, status);
    ASSERT_EQ(status, 0);
    for (const block_view& b : all_blocks()) EXPECT_EQ(copy_of(b.words()), before[b.key]) << b.key << " seed " << seed;
    EXPECT_EQ(std::vector<word>(mch_table_ext().ext.begin(), mch_table_ext().ext.end()), ext_before);
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 12.5f);
}

TEST_F(NcState, SaveWritesEachBlockWithItsKindAndLengthAndNeverTpfoOrGcy4)
{
    fill_blocks(7);
    int status = 0;
    save_nc_state(status);
    ASSERT_EQ(status, 0);
    for (const block_view& b : all_blocks()) {
        const std::optional<std::vector<word>> record = control::get_record(b.key);
        if (b.kind == 0) {
            EXPECT_FALSE(record) << b.key << " is never written";
            continue;
        }
        ASSERT_TRUE(record) << b.key;
        EXPECT_EQ(record->size(), b.words().size()) << b.key;
        EXPECT_EQ(control::record_kind(b.key), b.kind) << b.key;
    }
    EXPECT_EQ(control::get_record("HEI8")->size(), 79u);
    EXPECT_EQ(control::machine_table_ext().size(), 10u);
}

TEST_F(NcState, SaveClearsThePlanesBeforeWriting)
{
    for (int i = 0; i < plane_state::kWords; ++i) PLN1().at(i) = 40 + i;
    int status = 0;
    save_nc_state(status);
    const std::vector<word> stored = *control::get_record("PLN1");
    EXPECT_EQ(stored[0], 0);
    EXPECT_EQ(stored[1], 41);
    EXPECT_EQ(stored[2], -1);
    EXPECT_EQ(stored[3], -1);
    EXPECT_EQ(stored[4], 44);
    EXPECT_EQ(stored[8], -1);
    EXPECT_EQ(stored[15], 55);
}

TEST_F(NcState, FailedWriteIsReportedAndEveryOtherBlockAndReleaseStillHappens)
{
    fill_blocks(3);
    control::set_tracing(true);
    control::inject_fault("mdputn", 3, 1, -7);  // the third write: "DSM4"
    tm_inst_id(12);
    int status = 0;
    save_nc_state(status);
    EXPECT_EQ(status, -7);
    EXPECT_FALSE(control::get_record("DSM4"));
    for (const char* key : {"BLSK", "CLP1", "DSP8", "EDA2", "HEI8", "PRM9", "WRMB", "UPW2"})
        EXPECT_TRUE(control::get_record(key)) << key;
    EXPECT_EQ(control::tool_instance(), -1) << "the tool instance is released";
    EXPECT_EQ(control::call_count("nu_trns_rels"), 1);
    EXPECT_EQ(control::call_count("end_badsrf"), 1);
}

TEST_F(NcState, FailureOfTheLastWriteIsStillReported)
{
    control::inject_fault("mdputn", 15, 1, -3);  // "UPW2", the last block written
    int status = 0;
    save_nc_state(status);
    EXPECT_EQ(status, -3);
    EXPECT_TRUE(control::get_record("TRS1"));
    EXPECT_FALSE(control::get_record("UPW2"));
}

TEST_F(NcState, RestoreOfAPartWithoutRecordsChangesNothingAndDropsTheTool)
{
    fill_blocks(11);
    PRM9().words[machine_params::kToolId] = 77;
    std::map<std::string, std::vector<word>> before;
    for (const block_view& b : all_blocks()) before[b.key] = copy_of(b.words());
    before["PRM9"][machine_params::kToolId] = kNoTool;
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    EXPECT_EQ(status, 0);
    for (const block_view& b : all_blocks()) EXPECT_EQ(copy_of(b.words()), before[b.key]) << b.key;
    EXPECT_EQ(go_motion_choice(), kGoAtFeed);
}

TEST_F(NcState, RestoredToolIdThatNamesNoToolBecomesMinusOne)
{
    std::vector<word> prm9(machine_params::kWords, 0);
    prm9[machine_params::kToolId] = 4711;
    control::set_record("PRM9", 4, prm9);
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    EXPECT_EQ(PRM9().words[machine_params::kToolId], kNoTool);
    EXPECT_EQ(tool_block().IDTOOL, kNoTool);
}

TEST_F(NcState, StoredRecordLongerThanItsBlockFillsOnlyTheBlock)
{
    std::vector<word> long_record(200);
    for (std::size_t i = 0; i < long_record.size(); ++i) long_record[i] = static_cast<word>(1000 + i);
    control::set_record("HEI8", 1, long_record);
    control::set_record("TLER", 1, long_record);
    LSP2().at(0) = 99;
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    EXPECT_EQ(HEI8().at(78), 1078);
    EXPECT_EQ(TLER().at(0), 1000);
    EXPECT_EQ(LSP2().at(0), 99) << "the block after HEI8 is untouched";
}

TEST_F(NcState, ShortRecordReplacesOnlyTheWordsItHolds)
{
    for (int i = 0; i < 9; ++i) RAXN().at(i) = 5;
    control::set_record("RAXN", 3, {1, 2, 3});
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    EXPECT_EQ(copy_of(RAXN().words), (std::vector<word>{1, 2, 3, 5, 5, 5, 5, 5, 5}));
}

TEST_F(NcState, ViewChecksOfTheRestore)
{
    struct row {
        int view;
        int status;
        const char* message;  // null: none
    };
    const row rows[] = {
        {0, -1, "SEGSTR, NO MACSYS IS CURRENTLY SELECTED"},
        {48, -1, "SEGSTR - VIEW NUMBER OUT OF RANGE !"},
        {-3, -1, "SEGSTR - VIEW NUMBER OUT OF RANGE !"},
        {47, 0, nullptr},
        {1, 0, nullptr},
    };
    for (const row& r : rows) {
        control::reset();
        zero_all_blocks();
        control::set_record("HEI8", 1, std::vector<word>(79, 9));
        control::set_view_number(r.view);
        int status = 5;
        SEGSTR(kRestoreWithView, status);
        EXPECT_EQ(status, r.status) << r.view;
        const std::vector<std::string> errors = control::texts_of("eroutc");
        if (r.message) {
            EXPECT_EQ(errors, std::vector<std::string>{r.message}) << r.view;
            EXPECT_EQ(HEI8().at(0), 0) << "nothing restored, view " << r.view;
            EXPECT_FALSE(control::get_record("COOR")) << r.view;
        } else {
            EXPECT_TRUE(errors.empty()) << r.view;
            EXPECT_EQ(HEI8().at(0), 9) << r.view;
        }
    }
}

TEST_F(NcState, RestoreWithViewSetsTheWorkFrameAndRewritesCoor)
{
    control::set_view_number(5);
    std::vector<word> npt1(tp_header_state::kWords, 0);
    npt1[tp_header_state::kView] = 7;
    npt1[tp_header_state::kDepth] = real_to_word(-2.5f);
    for (int i = 0; i < 9; ++i)
        npt1[static_cast<std::size_t>(tp_header_state::kMacsysMatrix + i)] = real_to_word(0.5f * static_cast<float>(i));
    for (int i = 0; i < 3; ++i)
        npt1[static_cast<std::size_t>(tp_header_state::kMacsysOrigin + i)] =
            real_to_word(10.0f * static_cast<float>(i + 1));
    control::set_record("NPT1", 4, npt1);
    control::set_model_origin({1.0f, 2.0f, 3.0f});
    std::vector<word> coor(kCoorWords, 0);
    for (std::size_t i = 0; i < coor.size(); ++i) coor[i] = static_cast<word>(500 + i);
    control::set_record("COOR", 4, coor);

    int status = 0;
    SEGSTR(kRestoreWithView, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(control::work_plane_view(), 7);
    EXPECT_EQ(control::display_depth(), -2.5f);
    EXPECT_EQ(control::symbol_switch(0), 0);
    EXPECT_EQ(control::symbol_switch(2), 1);
    EXPECT_EQ(control::symbol_switch(3), 1);
    const std::vector<word> stored = *control::get_record("COOR");
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(kCoorWords));
    EXPECT_EQ(control::record_kind("COOR"), 4);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(word_to_real(stored[static_cast<std::size_t>(i)]), 0.5f * static_cast<float>(i));
    EXPECT_EQ(word_to_real(stored[9]), 9.0f);
    EXPECT_EQ(word_to_real(stored[10]), 18.0f);
    EXPECT_EQ(word_to_real(stored[11]), 27.0f);
    for (std::size_t i = 12; i < stored.size(); ++i) EXPECT_EQ(stored[i], static_cast<word>(500 + i)) << i;
}

TEST_F(NcState, MissingCoorStartsFromZeros)
{
    control::set_view_number(5);
    int status = 0;
    SEGSTR(kRestoreWithView, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(*control::get_record("COOR"), std::vector<word>(kCoorWords, 0));
}

TEST_F(NcState, RestoreLoadsTheFunctionNamesAndResetsTheToolTables)
{
    control::set_nc_function_name(50, "MYPOCKET");
    tool_block().IDTOOL = 12;
    int status = 0;
    SEGSTR(kRestoreOnly, status);
    EXPECT_EQ(user_fnc_names().names[50], "MYPOCKET");
    EXPECT_EQ(user_fnc_names().names[49], "");
    EXPECT_EQ(tool_block().IDTOOL, kNoTool);
}

TEST_F(NcState, SaveStateEda2ClearsAndWritesOnRequest)
{
    for (word& w : EDA2().words) w = 8;
    save_state_eda2(0);
    EXPECT_FALSE(control::get_record("EDA2"));
    std::vector<word> expected(20, 0);
    expected[1] = expected[2] = expected[5] = -1;
    EXPECT_EQ(copy_of(EDA2().words), expected);
    save_state_eda2(1);
    EXPECT_EQ(*control::get_record("EDA2"), expected);
    EXPECT_EQ(control::record_kind("EDA2"), 3);
}

// ---- small values and texts -------------------------------------------------------------------

TEST_F(NcState, SmallValuesHaveTheirDefaultsAndRoundTrip)
{
    double cgp1 = 0.0;
    float mxf1 = 0.0f;
    gs_cgp1(1, cgp1);
    gs_mxf1(1, mxf1);
    EXPECT_EQ(cgp1, 0.1);
    EXPECT_EQ(mxf1, -15000.0f);
    cgp1 = 0.025;
    mxf1 = -120.5f;
    gs_cgp1(2, cgp1);
    gs_mxf1(2, mxf1);
    EXPECT_EQ(control::get_record("CGP1")->size(), 2u);
    EXPECT_EQ(control::get_record("MXF1")->size(), 1u);
    double cgp1_back = 0.0;
    float mxf1_back = 0.0f;
    gs_cgp1(1, cgp1_back);
    gs_mxf1(1, mxf1_back);
    EXPECT_EQ(cgp1_back, 0.025);
    EXPECT_EQ(mxf1_back, -120.5f);
    double untouched = 3.0;
    gs_cgp1(4, untouched);
    EXPECT_EQ(untouched, 3.0);
}

TEST_F(NcState, TextFieldsCutPadAndStopAtTheTerminator)
{
    std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    state_text20_field(2, text);
    std::string out;
    state_text20_field(1, out);
    EXPECT_EQ(out, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(nc_texts().txt2[20], '\0');

    text = std::string("AB\0CD", 5);
    state_text12_field(2, text);
    state_text12_field(1, out);
    EXPECT_EQ(out, "AB          ");

    text = "NAME";
    state_texts(2, text);
    state_texts(1, out);
    EXPECT_EQ(out, "NAME               ");
    EXPECT_EQ(out.size(), 19u);

    text = "COPY20";
    nc_text20b_field(2, text);
    nc_text20b_field(1, out);
    EXPECT_EQ(out, "COPY20              ");
    text = "C12";
    nc_text12b_field(2, text);
    nc_text12b_field(1, out);
    EXPECT_EQ(out, "C12         ");
}

TEST_F(NcState, Txt2AndPpn4RecordsHaveTheirLengthsAndRoundTrip)
{
    std::string text = "FIRST TEXT";
    state_text20_field(2, text);
    text = "TABLE";
    state_text12_field(2, text);
    text = "SECOND";
    nc_text20b_field(2, text);
    text = "T2";
    nc_text12b_field(2, text);
    text = "PART NAME";
    state_texts(2, text);
    int status = 1;
    txt2_save(status);
    EXPECT_EQ(status, 0);
    ppn4_save(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::get_record("TXT2")->size(), 17u);
    EXPECT_EQ(control::get_record("PPN4")->size(), 5u);
    EXPECT_EQ(control::record_kind("TXT2"), 3);
    EXPECT_EQ(control::record_kind("PPN4"), 3);
    // The TXT2 words hold the four texts in order, each with its terminator.
    const std::vector<word> txt2 = *control::get_record("TXT2");
    std::string bytes(68, ' ');
    std::memcpy(bytes.data(), txt2.data(), bytes.size());
    EXPECT_EQ(bytes.substr(0, 21), std::string("FIRST TEXT          ") + '\0');
    EXPECT_EQ(bytes.substr(21, 13), std::string("TABLE       ") + '\0');
    EXPECT_EQ(bytes.substr(55, 13), std::string("T2          ") + '\0');

    nc_texts() = nc_text_fields{};
    ppn4_load();
    state_texts(1, text);
    EXPECT_EQ(text, "PART NAME          ");
}

TEST_F(NcState, Ppn4LoadWithoutRecordGivesABlankName)
{
    nc_texts().name.fill('X');
    ppn4_load();
    std::string text;
    state_texts(1, text);
    EXPECT_EQ(text, std::string(19, ' '));
    EXPECT_EQ(nc_texts().name[19], '\0');
}

TEST_F(NcState, ProcedureFieldsStayWithinTheTable)
{
    std::string text = "COMMENT OF PROC 201 IS LONG";
    proc_comment_field(2, 201, text);
    std::string out;
    proc_comment_field(1, 201, out);
    EXPECT_EQ(out, "COMMENT OF PROC 201 ");
    text = "TRF1X";
    proc_text_field(2, 3, text);
    proc_text_field(1, 3, out);
    EXPECT_EQ(out, "TRF1");
    text = "SECOND";
    proc_text2_field(2, 1, text);
    proc_text2_field(1, 1, out);
    EXPECT_EQ(out, "SECOND              ");

    for (int bad : {0, 202, -5}) {
        control::clear_messages();
        text = "SHOULD NOT LAND";
        proc_comment_field(2, bad, text);
        proc_comment_field(1, bad, out);
        EXPECT_EQ(out, std::string(20, ' ')) << bad;
        EXPECT_EQ(control::texts_of("erou1c").size(), 2u) << bad;
    }
}

TEST_F(NcState, UcsNameOfAProcedure)
{
    std::string text;
    ucs_name(1, 4, text);
    EXPECT_EQ(text, "NO_UCS");
    int ucs = 0, status = 0;
    estore(8, 1, ucs, status);
    eclose(status);
    proc_table().entries[4].ucs_id = ucs;
    for (const auto& [stored, shown] : {std::pair{"SIDEA   ", "SIDEA "}, {"FRONTVIE", "FRONTV"}}) {
        ucs_record record;
        std::memcpy(record.name.data(), stored, 8);
        rec8_get_put(2, ucs, record, status);
        ASSERT_EQ(status, 0);
        ucs_name(1, 4, text);
        EXPECT_EQ(text, shown);
    }
    text = "KEEP";
    ucs_name(2, 4, text);
    EXPECT_EQ(text, "KEEP");
}

}  // namespace
