// The machining-state reader: the last parameter block of each type asked, before the list
// position, is applied to the modal values; a backward cursor step's unchanged types are taken
// as found only for the step that set them; a forward jump stops the search at its start. And
// the reference-surface lists of the procedure's geometries handed to the cache.
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit_list_support.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/nc_state_blocks.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"

#include <gtest/gtest.h>

#include <functional>

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
        std::function<void()> before;
        int spin, coolant, dwell;
    } rows[] = {
        {"nearest block of each type", 7, {kCoolant, kSpin}, [] {}, 500, 20, kUntouched},
        {"two entries of one type", 7, {kCoolant, kCoolant}, [] {}, kUntouched, 10, kUntouched},
        {"no type asked", 7, {}, [] {}, kUntouched, kUntouched, kUntouched},
        {"a type without a block", 7, {999}, [] {}, kUntouched, kUntouched, kUntouched},
        {"from an earlier position", 2, {kCoolant, kDwell}, [] {}, kUntouched, 10, kUntouched},
        {"the step's unchanged types", 7, {kCoolant, kSpin},
         [] {
             list_cursor().cursor_dir = kDirBackward;
             *prm_unchanged_flag(kCoolant) = 1;
             prvmch_trust_unchanged_flags();
         },
         500, kUntouched, kUntouched},
        {"flags another step left", 7, {kCoolant, kSpin},
         [] {
             list_cursor().cursor_dir = kDirBackward;
             *prm_unchanged_flag(kCoolant) = 1;
         },
         500, 20, kUntouched},
        {"flags on a machine that is no mill", 7, {kCoolant, kSpin},
         [] {
             NPT1().at(tp_header_state::kMachineType) = 61;
             list_cursor().cursor_dir = kDirBackward;
             *prm_unchanged_flag(kCoolant) = 1;
             prvmch_trust_unchanged_flags();
         },
         500, 20, kUntouched},
        {"a forward jump's start", 7, {kDwell, kCoolant},
         [] {
             list_cursor().cursor_dir = kDirJump;
             list_cursor().cursor_jump_from = 5;
             list_cursor().cursor_jump_to = 8;
         },
         kUntouched, kUntouched, 7},
        {"a backward jump searches on", 7, {kDwell, kCoolant},
         [] {
             list_cursor().cursor_dir = kDirJump;
             list_cursor().cursor_jump_from = 8;
             list_cursor().cursor_jump_to = 5;
         },
         kUntouched, 20, 7},
    };
    for (const auto& row : rows) {
        SetUp();
        row.before();
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
}

TEST_F(MachiningState, ListFailuresAreReported)
{
    const int types[] = {kCoolant};
    for (const char* call : {"lmark", "lgetd"}) {
        SetUp();
        go_to_line(7);
        control::inject_fault(call, 1, 1, -1);
        int status = 0;
        PRVMCH(3, 1, types, status);
        EXPECT_EQ(status, -1) << call;
        ASSERT_FALSE(control::lines_of("eroutc").empty()) << call;
        EXPECT_EQ(control::lines_of("eroutc").back(), "PRVMCH, ERRORS IN LIST");
    }
    SetUp();
    int status = 0;
    PRVMCH(3, kPrvmchMostTypes + 1, types, status);
    EXPECT_EQ(status, -1) << "more types than a list holds";
}

// A procedure block whose flag segment names geometry entities of the kinds given; answers their
// ids in order.
std::vector<int> procedure_with_geometries(const std::vector<int>& kinds)
{
    std::vector<int> ids;
    int status = 0;
    geom_pair_words& pairs = proc_flags().pairs;
    geom_pairs_init(pairs);
    for (int kind : kinds) {
        int id = 0, old_id = 0;
        create_geom_ent(kind, "REFSRF", id, old_id, status);
        eclose(status);
        geom_flag_update(1, kind, id, pairs);
        ids.push_back(id);
    }
    lcreat(1, status);
    const word head[3] = {12, 1, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    wflags(status);
    lclos(status);
    lacces(0, status);
    return ids;
}

TEST_F(MachiningState, ReferenceListsComeFromTheProcedureGeometries)
{
    using ints = std::vector<int>;
    const struct {
        const char* what;
        ints kinds;
        std::function<void(const ints& ids)> params;
        ints ids1, aux1, ids2, aux2;
        bool problem;
    } rows[] = {
        {"current identifiers brought up to date", {10001, 10002},
         [](const ints& g) {
             control::set_proc_param(g[0], 9, 7, 43, {2});
             control::set_proc_param(g[0], 9, 7, 308, {501, 502});
             control::set_proc_param(g[0], 9, 7, 247, {7, 8});
             control::set_proc_param(g[1], 9, 7, 44, {1});
             control::set_proc_param(g[1], 9, 7, 245, {601});
             control::set_proc_param(g[1], 9, 7, 248, {9});
             control::set_renumbered_surface(502, 1502);
         },
         {501, 1502}, {7, 8}, {601}, {9}, false},
        {"stored identifiers of the second kind", {10004},
         [](const ints& g) {
             control::set_proc_param(g[0], 9, 7, 43, {3});
             control::set_proc_param(g[0], 9, 7, 45, {11, 12});   // fewer than the count
             control::set_proc_param(g[0], 9, 7, 46, {21});
         },
         {11, 12}, {21, 0}, {}, {}, false},
        {"no identifiers at all", {10001},
         [](const ints& g) { control::set_proc_param(g[0], 9, 7, 43, {2}); },
         {}, {}, {}, {}, true},
        {"a count of 0", {10002},
         [](const ints& g) {
             control::set_proc_param(g[0], 9, 7, 44, {0});
             control::set_proc_param(g[0], 9, 7, 309, {5});
         },
         {}, {}, {}, {}, false},
        {"other kinds are skipped", {10003}, [](const ints&) {}, {}, {}, {}, {}, false},
    };
    for (const auto& row : rows) {
        SetUp();
        ref_lists_set(1, 1, std::vector<int>{99}.data(), std::vector<int>{98}.data(), std::vector<int>{97}.data(),
                      std::vector<int>{96}.data());
        row.params(procedure_with_geometries(row.kinds));
        ref_lists_collect();
        ints ids1(static_cast<std::size_t>(ref_lists_count1())), aux1(ids1.size());
        ints ids2(static_cast<std::size_t>(ref_lists_count2())), aux2(ids2.size());
        ref_lists_get1(ids1.data(), aux1.data());
        ref_lists_get2(ids2.data(), aux2.data());
        EXPECT_EQ(ids1, row.ids1) << row.what;
        EXPECT_EQ(aux1, row.aux1) << row.what;
        EXPECT_EQ(ids2, row.ids2) << row.what;
        EXPECT_EQ(aux2, row.aux2) << row.what;
        const auto lines = control::lines_of("userrc");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "problem with surfaces") > 0, row.problem) << row.what;
    }
}

}  // namespace
