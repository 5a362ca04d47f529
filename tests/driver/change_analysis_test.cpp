// The change analysis: a snapshot, one change, and what the comparison makes of it.
#include "driver/change_analysis.hpp"
#include "driver/go_point_motion.hpp"
#include "driver/txt2_texts.hpp"
#include "host/control.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "surfaces/surface_words.hpp"
#include "toolpath/common_arguments.hpp"
#include "toolpath/proc_flags.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

namespace control = vantu::control;
using step = std::function<void()>;

int callback_recompute = 0, callback_update = 0;
void changed_double(int& recompute, int& update, int& status)
{
    recompute = callback_recompute;
    update = callback_update;
    status = 0;
}

struct row {
    const char* what;
    int machining;
    step before;  // state at the snapshot
    step change;  // what the define step changed
    int recompute, update, result;
    std::array<int, 3> options;  // option words 3, 4 and 5 afterwards
    int recompute_in = 0, update_in = 0;
};

step none = [] {};
step set(word& w, int value)
{
    return [&w, value] { w = value; };
}
step prm9(int k, int value)
{
    return [k, value] { PRM9().words[static_cast<std::size_t>(k)] = value; };
}

class ChangeAnalysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        const std::array<float, 9> identity = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        control::define_macsys(4, {0, 0, 0}, identity);
        control::define_macsys(5, {0, 0, 0}, {0, -1, 0, 1, 0, 0, 0, 0, 1});
        control::define_macsys(6, {10, 0, 0}, identity);
    }

    // Fresh blocks, the snapshot, the change, the comparison.
    static void run(const row& x)
    {
        HEI8() = heights_state{};
        UPW2() = service_words{};
        NPT1() = tp_header_state{};
        NPT1().at(tp_header_state::kUcsId) = 4;
        PRM9() = machine_params{};
        WRMB() = wire_modal_values{};
        mch_table_ext() = machine_table_extra{};
        go_motion_choice() = kGoAtFeed;
        entry_pnts() = entry_pnt_tables{};
        save_aprx_choice() = 1;
        opt_params_defaults();
        std::string text = "POCKET";
        state_text20_field(2, text);
        machining_type() = x.machining;
        callback_recompute = callback_update = 0;
        proc_flags() = proc_geom_pairs{};
        x.before();
        word current[4] = {1, 2, 3, 4}, previous[4] = {};
        int recompute = 0, update = 0, callback_status = 0, result = -1;
        proc_change_analysis(kChangeSnapshot, 4, current, changed_double, previous, recompute, update, callback_status,
                             result);
        ASSERT_EQ(previous[3], 4);
        ASSERT_EQ(opt_params_previous(), opt_params_current());
        x.change();
        recompute = x.recompute_in;
        update = x.update_in;
        proc_change_analysis(kChangeCompare, 4, current, changed_double, previous, recompute, update, callback_status,
                             result);
        EXPECT_EQ(recompute, x.recompute) << x.what;
        EXPECT_EQ(update, x.update) << x.what;
        EXPECT_EQ(result, x.result) << x.what;
        const auto& o = proc_flags().options;
        EXPECT_EQ((std::array<int, 3>{o[2], o[3], o[4]}), x.options) << x.what;
    }
};

TEST_F(ChangeAnalysis, HeightsServiceWordsMacsysTextsCallbackAndOptimizer)
{
    const step absolute_on = set(HEI8().at(heights_state::kUseAbsolute), 1);
    const std::vector<row> rows = {
        {"nothing", 9, none, none, 0, 0, 0, {0, 0, 0}},
        {"incremental height, absolute on", 9, absolute_on, [] { HEI8().set_real(48, 7.0f); }, 0, 0, 0, {0, 0, 0}},
        {"incremental height, absolute off", 9, none, [] { HEI8().set_real(48, 7.0f); }, 1, 0, 0, {1, 0, 0}},
        {"absolute height, absolute on", 9, absolute_on, [] { HEI8().set_real(24, 7.0f); }, 1, 0, 0, {1, 0, 0}},
        {"clearance height", 9, none, [] { HEI8().set_real(0, 50.0f); }, 1, 0, 0, {1, 0, 0}},
        {"clearance plane 1 to 2", 9, set(HEI8().at(73), 1), set(HEI8().at(73), 2), 0, 0, 0, {0, 0, 0}},
        {"clearance plane 0 to 1", 9, none, set(HEI8().at(73), 1), 1, 0, 0, {1, 0, 0}},
        {"approx choice", 9, none, [] { save_aprx_choice() = 2; }, 1, 0, 0, {1, 0, 0}},
        {"word 78", 9, none, set(HEI8().at(78), 1), 1, 0, 0, {1, 0, 0}},
        {"service word", 9, none, set(UPW2().at(1), 3), 0, 1, 0, {1, 0, 0}},
        {"MACSYS turned", 9, none, set(NPT1().at(tp_header_state::kUcsId), 5), 1, 0, 0, {1, 0, 0}},
        {"MACSYS moved", 9, none, set(NPT1().at(tp_header_state::kUcsId), 6), 0, 1, 0, {1, 0, 0}},
        {"text changed",
         9,
         none,
         [] {
             std::string t = "SLOT";
             state_text20_field(2, t);
         },
         0,
         1,
         0,
         {0, 0, 0}},
        {"update on entry", 9, none, none, 0, 1, 0, {1, 0, 0}, 0, 1},
        {"recompute on entry", 9, none, none, 1, 0, 0, {0, 0, 1}, 1, 0},
        {"callback: recompute", 9, none, [] { callback_recompute = 1; }, 1, 0, 0, {0, 0, 1}},
        {"callback: update", 9, none, [] { callback_update = 2; }, 0, 2, 0, {0, 0, 1}},
        {"guide points moved", 9, none, [] { entry_pnts().guide.count = 1; }, 1, 0, 0, {0, 0, 1}},
        {"picked points, type 39", 39, none, [] { entry_pnts().picked_count = 2; }, 1, 0, 0, {0, 0, 1}},
        {"optimization only", 9, none, [] { opt_params_current().set_ival(59, 2); }, 0, 0, 1, {0, 0, 0}},
        {"optimization and recompute", 9, none, [] { opt_params_current().set_ival(59, 2); }, 1, 0, 2, {0, 0, 1}, 1, 0},
        {"optimizer recompute", 9, none, [] { opt_params_current().set_ival(122, 2); }, 1, 0, 0, {0, 0, 0}},
        {"optimizer update", 9, none, [] { opt_params_current().set_rval(61, 6.0f); }, 0, 1, 0, {0, 0, 0}},
    };
    for (const row& x : rows) run(x);
}

TEST_F(ChangeAnalysis, MachineParameters)
{
    const step range_mode_2 = [] { opt_params_current().set_ival(76, 2); };
    std::vector<row> rows = {
        {"tool", 9, none, prm9(11, 8), 1, 0, 0, {0, 1, 0}},
        {"word 3", 9, none, prm9(3, 2), 1, 0, 0, {0, 1, 0}},
        {"wire word 4", 9, none, set(WRMB().at(4), 1), 1, 0, 0, {0, 1, 0}},
        {"spindle", 9, none, prm9(7, 900), 0, 1, 0, {0, 1, 0}},
        {"go motion", 9, none, [] { go_motion_choice() = 2; }, 0, 1, 0, {0, 1, 0}},
        {"stored feed", 9, none, [] { PRM9().set_real(21, 3.0f); }, 0, 1, 0, {0, 1, 0}},
        {"base feed", 9, none, [] { PRM9().set_real(0, 3.0f); }, 0, 1, 0, {0, 1, 0}},
        {"base feed, optimizer range 2", 9, range_mode_2, [] { PRM9().set_real(0, 3.0f); }, 0, 1, 3, {0, 1, 0}},
        {"surface word", 9, none, prm9(17, 1), 0, 1, 0, {0, 1, 0}},
        {"motion form", 9, none, prm9(22, 2), 1, 0, 0, {0, 1, 0}},
        {"table selector, type 38", 38, none, [] { mch_table_ext().ext[0] = 2; }, 1, 0, 0, {0, 1, 0}},
        {"table word 7 under a positive real",
         38,
         [] { mch_table_ext().ext[3] = real_to_word(1.0f); },
         [] { mch_table_ext().ext[7] = 5; },
         1,
         0,
         0,
         {0, 1, 0}},
        {"table word 7 alone", 38, none, [] { mch_table_ext().ext[7] = 5; }, 0, 0, 0, {0, 0, 0}},
        {"table, type 9", 9, none, [] { mch_table_ext().ext[0] = 2; }, 0, 0, 0, {0, 0, 0}},
    };
    // The cutter compensation shapes the path for seven machining types only.
    for (int type : {2, 3, 11, 14, 15, 29, 39})
        rows.push_back({"compensation, recompute", type, none, prm9(12, 1), 1, 0, 0, {0, 1, 0}});
    for (int type : {1, 9, 31, 38})
        rows.push_back({"compensation, update", type, none, prm9(12, 1), 0, 1, 0, {0, 1, 0}});
    for (const row& x : rows) {
        resurf_needed() = 0;
        run(x);
        EXPECT_EQ(resurf_needed(), std::string(x.what) == "surface word" ? 1 : 0) << x.what;
    }
}

TEST(ChangeAnalysisTexts, Txt2ReadAndCommonArgumentsKept)
{
    control::reset();
    for (const auto& [editing, stored, text20] : {std::tuple{0, true, std::string("No Text")},
                                                  {1, true, std::string("SLOT ONE")},
                                                  {1, false, std::string("No Text")}}) {
        control::reset();
        if (stored) {
            nc_text_fields fields;
            std::memcpy(fields.txt2.data() + nc_text_fields::kText20At, "SLOT ONE", 8);
            std::vector<word> words(nc_text_fields::kTxt2Words);
            std::memcpy(words.data(), fields.txt2.data(), sizeof(word) * words.size());
            control::set_record("TXT2", 3, words);
        }
        txt2_read(editing);
        std::string text;
        state_text20_field(1, text);
        EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1), text20) << editing << stored;
        EXPECT_EQ(nc_texts().txt2[nc_text_fields::kText20At + nc_text_fields::kText20], '\0');
    }

    DSP8() = tool_position_state{};
    NPT1().at(tp_header_state::kUcsId) = 4;
    HEI8().set_real(heights_state::kClearance, 30.0f);
    control::set_reposition(std::array<float, 3>{1.0f, 2.0f, 3.0f});
    int status = -1;
    EXPECT_EQ(repos_proc_keep(0, 1, status), 0);
    EXPECT_EQ(DSP8().real(2), 3.0f);
    EXPECT_EQ(NPT1().at(tp_header_state::kUcsId), 4);
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 30.0f);
}

}  // namespace
