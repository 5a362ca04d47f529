// The machining-state reader: the last parameter block of each type asked, before the list
// position, is applied to the modal values; a backward cursor step's unchanged types are taken
// as found only for the step that set them; a forward jump stops the search at its start. And
// the reference-surface lists of the procedure's geometries handed to the cache.
#include "edit/edit_ref_params.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit_list_support.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace edit_test;
namespace control = vantu::control;
using M = modal_values;

constexpr int kUntouched = -99;
constexpr int kSpin = 2, kCoolant = 3, kDwell = 4;

class MachiningState : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        list_cursor() = list_cursor_state{};
        prvmch_state() = prvmch_words{};
        NPT1().at(tp_header_state::kMachineType) = 22;
        PRM9().words[machine_params::kDirection] = 1;
        // 0 coolant 10, 1 spin 500, 2 motion 3, 3 coolant 20, 4 motion 5, 5 dwell 7, 6 motion 7,
        // 7 motion 8
        parameter(1, kCoolant, 10);
        parameter(2, kSpin, 500);
        line(3);
        parameter(4, kCoolant, 20);
        line(5);
        parameter(6, kDwell, 7);
        line(7);
        line(8);
        for (int index : {M::kSpin, M::kCoolant, M::kDwell}) DSM4().at(index) = kUntouched;
    }
};

TEST_F(MachiningState, EachTypeTakesItsLastBlockBeforeThePosition)
{
    const struct {
        const char* what;
        int at;
        std::vector<int> types;
        int dir, machine, coolant_unchanged, trusted, jump_from, jump_to;
        int spin, coolant, dwell;
    } rows[] = {
        {"nearest block of each type", 7, {kCoolant, kSpin}, kDirForward, 22, 0, 0, 0, 0, 500, 20, kUntouched},
        {"two entries of one type", 7, {kCoolant, kCoolant}, kDirForward, 22, 0, 0, 0, 0, kUntouched, 10, kUntouched},
        {"no type asked", 7, {}, kDirForward, 22, 0, 0, 0, 0, kUntouched, kUntouched, kUntouched},
        {"a type without a block", 7, {999}, kDirForward, 22, 0, 0, 0, 0, kUntouched, kUntouched, kUntouched},
        {"from an earlier position", 2, {kCoolant, kDwell}, kDirForward, 22, 0, 0, 0, 0, kUntouched, 10, kUntouched},
        {"the step's unchanged types", 7, {kCoolant, kSpin}, kDirBackward, 22, 1, 1, 0, 0, 500, kUntouched, kUntouched},
        {"flags another step left", 7, {kCoolant, kSpin}, kDirBackward, 22, 1, 0, 0, 0, 500, 20, kUntouched},
        {"no mill", 7, {kCoolant, kSpin}, kDirBackward, 61, 1, 1, 0, 0, 500, 20, kUntouched},
        {"a forward jump's start", 7, {kDwell, kCoolant}, kDirJump, 22, 0, 0, 5, 8, kUntouched, kUntouched, 7},
        {"a backward jump", 7, {kDwell, kCoolant}, kDirJump, 22, 0, 0, 8, 5, kUntouched, 20, 7},
    };
    for (const auto& row : rows) {
        SetUp();
        list_cursor().cursor_dir = row.dir;
        list_cursor().cursor_jump_from = row.jump_from;
        list_cursor().cursor_jump_to = row.jump_to;
        NPT1().at(tp_header_state::kMachineType) = row.machine;
        *prm_unchanged_flag(kCoolant) = row.coolant_unchanged;
        if (row.trusted) prvmch_trust_unchanged_flags();
        go_to_line(row.at);
        int status = 9;
        PRVMCH(3, static_cast<int>(row.types.size()), row.types.data(), status);
        EXPECT_EQ(status, 0) << row.what;
        EXPECT_EQ(DSM4().at(M::kSpin), row.spin) << row.what;
        EXPECT_EQ(DSM4().at(M::kCoolant), row.coolant) << row.what;
        EXPECT_EQ(DSM4().at(M::kDwell), row.dwell) << row.what;
        EXPECT_EQ(current_line(), row.at) << row.what << ": the list is back where it was";
        EXPECT_EQ(prvmch_state().trust_unchanged, 0) << row.what;
    }
    for (const char* call : {"lmark", "lgetd"}) {
        SetUp();
        go_to_line(7);
        control::inject_fault(call, 1, 1, -1);
        int status = 0;
        PRVMCH(3, 1, &kCoolant, status);
        EXPECT_EQ(status, -1) << call;
        EXPECT_EQ(control::lines_of("eroutc").back(), "PRVMCH, ERRORS IN LIST");
    }
}

TEST_F(MachiningState, ReferenceListsComeFromTheProcedureGeometries)
{
    using ints = std::vector<int>;
    struct param {
        int geometry, code;
        ints words;
    };
    const struct {
        ints kinds;
        std::vector<param> params;
        ints ids1, aux1, ids2, aux2;
        bool problem;
    } rows[] = {
        {{10001, 10002},  // the current identifiers brought up to date (502 is 1502 now)
         {{0, 43, {2}}, {0, 308, {501, 502}}, {0, 247, {7, 8}}, {1, 44, {1}}, {1, 245, {601}}, {1, 248, {9}}},
         {501, 1502},
         {7, 8},
         {601},
         {9},
         false},
        {{10004}, {{0, 43, {3}}, {0, 45, {11, 12}}, {0, 46, {21}}}, {11, 12}, {21, 0}, {}, {}, false},
        {{10001, 10003}, {{0, 43, {2}}}, {}, {}, {}, {}, true},
    };
    for (const auto& row : rows) {
        SetUp();
        const int old[1] = {99};
        ref_lists_set(1, 1, old, old, old, old);
        // A procedure block whose flag segment names a geometry entity of each kind.
        ints geometries;
        int status = 0;
        geom_pairs_init(proc_flags().pairs);
        for (int kind : row.kinds) {
            int id = 0, old_id = 0;
            create_geom_ent(kind, "REFSRF", id, old_id, status);
            eclose(status);
            geom_flag_update(1, kind, id, proc_flags().pairs);
            geometries.push_back(id);
        }
        lcreat(1, status);
        const word head[3] = {12, 1, 50};
        TPPUT(kWhereList, 3, kTypeInteger, head, status);
        wflags(status);
        lclos(status);
        for (const param& p : row.params)
            control::set_proc_param(geometries.at(static_cast<std::size_t>(p.geometry)), 9, 7, p.code, p.words);
        control::set_renumbered_surface(502, 1502);

        ref_lists_collect();
        ints ids1(static_cast<std::size_t>(ref_lists_count1())), aux1(ids1.size());
        ints ids2(static_cast<std::size_t>(ref_lists_count2())), aux2(ids2.size());
        ref_lists_get1(ids1.data(), aux1.data());
        ref_lists_get2(ids2.data(), aux2.data());
        EXPECT_EQ(ids1, row.ids1);
        EXPECT_EQ(aux1, row.aux1);
        EXPECT_EQ(ids2, row.ids2);
        EXPECT_EQ(aux2, row.aux2);
        const auto lines = control::lines_of("userrc");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "problem with surfaces") > 0, row.problem);
    }
}

}  // namespace
