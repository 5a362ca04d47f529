// The relations glue (the shift of the Z-valued relations by selection, existence and machining
// type), the criteria lists (file name, table, mask lines), the output file names of CRTPNM and
// the positions of a procedure block (PRCPOS, GETPOS at the top of the list).
#include "driver/criteria_lists.hpp"
#include "driver/proc_block_support.hpp"
#include "driver/proc_common.hpp"
#include "driver/relations.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/part_file_names.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "pocket/contour_table.hpp"
#include "toolpath/proc_block_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace control = vantu::control;
namespace fs = std::filesystem;

class Periphery : public ::testing::Test {
protected:
    fs::path out;
    void SetUp() override
    {
        control::reset();
        rel_switches() = relation_switches{};
        crit_table() = criteria_table{};
        out = fs::temp_directory_path() / ("drelan_periphery_" + std::to_string(::getpid()));
        fs::create_directories(out);
        control::set_output_directory(out.string());
        control::set_part_file_name("/parts/Bracket.prt");
    }
    void TearDown() override
    {
        control::reset();
        fs::remove_all(out);
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(out / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static double value_of(int code)
    {
        double v = -1.0;
        control::relation_value(code, v);
        return v;
    }
};

}  // namespace

TEST_F(Periphery, RelationsShiftAsSelectedAndOnlyWithoutAnExpression)
{
    control::define_relation(3301, 10.0, true);
    EXPECT_EQ(relation_expr_set(1, 3301, 10.0), 0);
    EXPECT_EQ(value_of(3301), 0.0) << "10.0 less 10.0 is exactly 0";
    EXPECT_EQ(control::relation_text(3301), "0.000");
    EXPECT_EQ(relation_expr_set(2, 3301, 2.5), 0);
    EXPECT_EQ(value_of(3301), 2.5) << "any other mode adds";
    EXPECT_LT(relation_expr_set(1, 77, 1.0), 0) << "no current value: the host's status";
    double none = 0;
    EXPECT_FALSE(control::relation_value(77, none));

    // 3301 is shifted although it has an expression; 366 with one is not, 3303 without one is.
    control::define_relation(3301, 20000000.0, true);
    control::define_relation(366, 50.0, true);
    control::define_relation(3303, 40.0, false);
    rel_switches().shift_3301 = rel_switches().shift_366 = rel_switches().shift_3303 = true;
    EXPECT_EQ(relation_values_store(1, 16777217.5), 0);
    EXPECT_EQ(value_of(3301), 3222782.5) << "the difference is read back as a double";
    EXPECT_EQ(value_of(366), 50.0);
    EXPECT_EQ(value_of(3303), 40.0 - 16777217.5);

    // The template shift by machining type: 34 takes 436 instead of 12; rel_no_calc comes back.
    for (const bool no_calc : {false, true}) {
        SCOPED_TRACE(no_calc);
        for (int code : {11, 12, 436, 205, 3302}) control::define_relation(code, 100.0, false);
        control::define_relation(366, 100.0, true);
        machining_type() = 34;
        NPT1().set_real(tp_header_state::kMacsysOrigin + 2, -10.0f);
        rel_switches().no_calc = no_calc;
        const int recalculated = control::relation_recalculations();
        tmpl_morz_store();
        EXPECT_EQ(value_of(436), 90.0);
        EXPECT_EQ(value_of(11), 90.0);
        EXPECT_EQ(value_of(12), 100.0);
        EXPECT_EQ(value_of(205), 100.0);
        EXPECT_EQ(value_of(3302), 100.0);
        EXPECT_EQ(value_of(366), 100.0);
        EXPECT_EQ(rel_switches().no_calc, no_calc);
        EXPECT_EQ(control::relation_recalculations(), recalculated) << "the shift does not recalculate";
    }
    int status = 0;
    modal_tables_init(status);
    EXPECT_EQ(control::modal_tables_open(), 2);
    modal_tables_release(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::modal_tables_open(), 0);
}

TEST_F(Periphery, CriteriaListFileTableAndMaskLines)
{
    int status = 0;
    contour_table_block.count = 0;
    set_curr_proc_number(12);
    proc_crit_list_file("Base", status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::is_empty(out)) << "no criterion in use writes no file";

    control::criteria_data c;
    // Part surfaces: one mask for the entire model, one of level mode 4 with colour 123 (three
    // digits keep their column), font 2 and all pens. Closed contours: no mask.
    c.masks[0] = {{0, 0, 17, 9, 9, 0, 0, 1}, {0, 0, 123, 2, 9, 0, 0, 4}};
    c.type_active[0] = 1;
    control::define_criteria(c);
    crit_table().words = {1, 0, 1, 0, 0};
    for (const auto& [number, name] : {std::pair{12, "Bracket.prt_base12.crit_list"},
                                       {123, "Bracket.prt_base123.crit_list"},
                                       {7, "Bracket.prt_base07.crit_list"}}) {
        SCOPED_TRACE(number);
        set_curr_proc_number(number);
        proc_crit_list_file("Base", status);
        ASSERT_EQ(status, 0);
        ASSERT_TRUE(fs::exists(out / name));
        EXPECT_NE(control::lines_of("msg_mdls").back().find("327/20"), std::string::npos);
        EXPECT_NE(control::lines_of("msg_mdls").back().find(name), std::string::npos) << "the message names the file";
    }
    const std::string rule(48, '-');
    const std::string expected = "\n" + std::string(20, ' ') + "CRITERIA LIST FOR Base:\n\n" + rule + "\n" +
                                 "| GEOM TYPE    | LEVEL | COLOR | LFONT |  PEN  |\n" + rule + "\n" +
                                 "| PART SRF.    |    CRITERIA IS ACTIVE :\n" + "|              |    ENTIRE MODEL\n" +
                                 "|              | ACTIVE|  123  |   2   |  ALL  |\n\n" +
                                 "| CLOSE CONTOUR|    NOT DEFINED\n\n" + rule + "\n";
    EXPECT_EQ(read("Bracket.prt_base07.crit_list"), expected);
    EXPECT_EQ(control::text_files_open(), 0);

    const word level_text[8] = {0, 0, 5, 2, 3, static_cast<word>(text4_to_word("L12\0")), 0, 2};
    EXPECT_EQ(crit_mask_text(level_text), "    L12|   5   |   2   |   3   |");
    int flags[4] = {};
    crit_flags_of(level_text, flags);
    EXPECT_EQ((std::vector<int>(flags, flags + 4)), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(crit_none_active(), 0);
    crit_table() = criteria_table{};
    EXPECT_EQ(crit_none_active(), 1);

    // A type picked by hand without masks, and an unopenable tool-path list file.
    crit_table().words = {0, 0, 1, 0, 0};
    contour_table_block.count = 2;
    int file = 0;
    fileopen("manual.txt", "w", file, status);
    crit_list_rows(file, status);
    fileclose(file, status);
    EXPECT_EQ(read("manual.txt"), "| CLOSE CONTOUR|    MANUAL\n\n");
    control::inject_fault("fileopen", 1, 1, -1);
    tp_criteria_list(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "tp_criteria_list, CANNOT OPEN THE FILE");
}

TEST_F(Periphery, FileNamesFromThePartFile)
{
    NPT1().at(tp_header_state::kMacsysName) = text4_to_word("TP01");
    NPT1().at(tp_header_state::kMacsysName + 1) = 0;
    std::string name;
    int name_length = 0, part_length = 0, status = 0;
    CRTPNM(2, "LIST", 4, name, name_length, part_length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(name, "Bracket.prt_TP01_LIST");
    EXPECT_EQ(name_length, 21);
    EXPECT_EQ(part_length, 11);
    std::ofstream(out / name) << "x";
    CRTPNM(2, "LIST", 4, name, name_length, part_length, status);
    EXPECT_EQ(status, 0) << "kind 2 does not ask";
    EXPECT_EQ(control::call_count("inqflw"), 0);
    control::load_script_text(R"([{"question": "no"}])", "keep the file");
    CRTPNM(1, "LIST", 4, name, name_length, part_length, status);
    EXPECT_EQ(status, -1) << "kind 1 asks and no keeps the file";
    CRTPNM(5, "lst", 3, name, name_length, part_length, status);
    EXPECT_EQ(name, "bracket.prt.lst");

    char c_name[kMostFileNameChars + 1] = {};
    const std::string long_suffix(300, 'S');
    crtpnm_cstr(5, long_suffix.c_str(), 300, c_name, name_length, part_length, status);
    EXPECT_EQ(status, -3) << "a name too long is refused, not cut";
    EXPECT_EQ(control::lines_of("eroutc").back(), "CRTPNM, CANNOT CREATE FILE NAME");
    crtpnm_cstr(2, "LIST", 4, c_name, name_length, part_length, status);
    EXPECT_STREQ(c_name, "Bracket.prt_TP01_LIST");

    control::set_part_file_name("");
    CRTPNM(2, "LIST", 4, name, name_length, part_length, status);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(control::lines_of("eroutc").back(), "CRTPNM, CANNOT GET CURRENT PART FILE NAME");

    EXPECT_EQ(proc_type_group_a(42), 1);
    EXPECT_EQ(proc_type_group_a(43), 0);
    EXPECT_EQ(is_proc_type_55(55), 1);
}

TEST_F(Periphery, PositionsOfTheFirstProcedure)
{
    NPT1().set_real(tp_header_state::kHomePoint, 1.0f);
    NPT1().set_real(tp_header_state::kHomePoint + 2, 80.0f);
    int status = 0;
    lcreat(1, status);
    const word text_block[] = {10, 1, 0};
    lputd(3, text_block, status);
    lclos(status);
    common_vec first{}, first_axis{}, last{}, last_axis{};
    PRCPOS(first, first_axis, last, last_axis, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "PRCPOS, CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK");

    control::reset();
    NPT1().set_real(tp_header_state::kHomePoint, 1.0f);
    NPT1().set_real(tp_header_state::kHomePoint + 2, 80.0f);
    proc_test::proc_block b;
    for (int code : {5, 6}) b.global(code, {proc_test::r(4), proc_test::r(5), proc_test::r(6)}, 1);
    for (int code : {27, 28}) b.global(code, {proc_test::r(0), proc_test::r(1), proc_test::r(0)}, 1);
    b.append();
    int line_before = 0;
    ljump(0, line_before);
    common_vec previous{}, axis{}, next{}, next_axis{};
    int none = 0, no_next = 0;
    GETPOS(previous, axis, none, next, next_axis, no_next, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(none, 1);
    EXPECT_EQ(previous, (common_vec{1, 0, 80})) << "the tool path's start point";
    EXPECT_EQ(axis, (common_vec{0, 0, 1}));
    EXPECT_EQ(no_next, 1);
    int line_after = 0;
    ljump(0, line_after);
    EXPECT_EQ(line_after, line_before) << "the list stays on the procedure block";
}

namespace {
void no_records(int&, int&, int&, int& status) { status = 0; }
}  // namespace

TEST_F(Periphery, CommonReadBackFromAWrittenProcedureBlock)
{
    tp_header_state& n = NPT1();
    n.at(tp_header_state::kMachineType) = 23;
    const float origin[3] = {1, 2, 3}, home[3] = {4, 5, 6};
    for (int k = 0; k < 3; ++k) {
        n.set_real(tp_header_state::kMacsysOrigin + k, origin[k]);
        n.set_real(tp_header_state::kHomePoint + k, home[k]);
    }
    n.set_real(tp_header_state::kDepth, 2.5f);
    n.at(tp_header_state::kView) = 7;
    HEI8().at(heights_state::kClearancePlane) = 1;
    HEI8().at(heights_state::kUseAbsolute) = 1;
    int status = 0;
    PTBT12(50, 1, 0, no_records, no_records, no_records, 0, status);
    ASSERT_EQ(status, 0);
    const tp_header_state written = n;
    const heights_state heights = HEI8();
    int closed = 0;
    clsls1(closed);
    n = tp_header_state{};
    n.at(tp_header_state::kMachineType) = 62;
    HEI8() = heights_state{};
    lacces(3, status);
    CURCOM(1, 1, 0, 1, 1, 1, status);
    ASSERT_EQ(status, 0);
    for (int w : {3, 4, 5, 6, 7, 8, 18, 19}) EXPECT_EQ(n.at(w), written.at(w)) << "NPT1 word " << w;
    EXPECT_EQ(n.at(tp_header_state::kMachineType), 62) << "word 2 is not read back";
    EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), heights.at(heights_state::kClearancePlane));
    EXPECT_EQ(HEI8().at(heights_state::kUseAbsolute), heights.at(heights_state::kUseAbsolute));
}
