// The define callback over the shipped example part, driven by scripts, and the defaults and
// clean-up callback that brackets a run.
#include "contour_test_support.hpp"

#include "nc_services/nc_state_blocks.hpp"
#include "pocket/pocket_callbacks.hpp"
#include "pocket/pocket_words.hpp"

namespace {

using P = drelan_params;
namespace control = vantu::control;

class PocketDefine : public ContourTest {
protected:
    void SetUp() override
    {
        ContourTest::SetUp();
        // Loading the part starts the host afresh: the polygon buffers are opened again on it.
        control::load_part(std::string(DRELAN_SOURCE_DIR) + "/examples/pocket_part.json");
        polbuf_block = polbuf_state{};
        int status = 0;
        polbuf_open_all(2, kPolbufStepWords, status);
        pocket_words_block = pocket_words{};
        EDA2() = edit_state{};
        n0_lvls_reset(kLevelsUsable);
    }
    struct flags {
        int procedure = -1, view_only = 0, moved = 0, repeat = 0, back = 0;
    };
    static int define(flags f, int& end_run)
    {
        int change = 0, redefined = 0, status = -9;
        end_run = 0;
        define_drelan(f.procedure, f.view_only, f.moved, f.repeat, change, f.back, redefined, end_run, status);
        return status;
    }
};

TEST_F(PocketDefine, StepsFollowTheFlagsAndTheAnswers)
{
    const char* picks = R"([{"menu": "CONTOUR"}, {"pick": 1}, {"pick": 6}, {"pick": 7}, {"pick": "exit"}, )";
    struct row {
        const char* what;
        flags f;
        std::string script;
        int status, contours, regions, store_geometry;  // regions built, 0 when none were
    };
    const row rows[] = {
        {"a new pocket: contours, regions, page", {}, std::string(picks) + R"({"page": 0}])", 0, 3, 1, 1},
        {"a new pocket without contours ends", {}, R"([{"menu": "CONTOUR"}, {"pick": "exit"}])", -1, 0, 0, 0},
        {"leaving the page leaves define", {}, std::string(picks) + R"({"page": -1}])", -1, 3, 1, 1},
        {"view only shows the page alone", {1, 1}, R"([{"page": 0}])", 0, 0, 0, 0},
        {"the repeat flag goes to the regions", {-1, 0, 0, 1}, R"([{"page": 0}])", 0, 0, 0, 0},
    };
    for (const row& r : rows) {
        SetUp();
        control::load_script_text(r.script, r.what);
        int end_run = 0;
        EXPECT_EQ(define(r.f, end_run), r.status) << r.what;
        EXPECT_EQ(control::events_left(), 0u) << r.what;
        EXPECT_EQ(table().count, r.contours) << r.what;
        EXPECT_EQ(region_count(), r.regions) << r.what;
        if (r.regions == 1) {
            int outer = 0, islands = 0;
            region_contours(1, outer, islands, nullptr);
            EXPECT_EQ(islands, 2) << r.what << ": the circle and the slot";
            EXPECT_EQ(drelan_params_current.at(P::kRegionCount), 1) << r.what;
        }
        EXPECT_EQ(pocket_words_block.store_geometry, r.store_geometry) << r.what;
        TearDown();
    }
}

TEST_F(PocketDefine, DefaultsOpenThePackagesAndCleanUpGivesEverythingBack)
{
    NPT1().set_real(tp_header_state::kMacsysOrigin + 2, 12.5f);
    int mode = 1, status = -9;
    table().count = 5;
    param_init_drelan(mode, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(table().count, 0);
    EXPECT_EQ(drelan_params_current.real(P::kTopZ), 12.5f);
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 12.5f);
    EXPECT_EQ(pocket_words_block.outer_contour, 1);
    EXPECT_EQ(n0_lvls_block.initialised, 1);
    param_init_drelan(mode, status);
    EXPECT_EQ(status, 0) << "a second set of defaults opens nothing twice";
    mode = 3;
    param_init_drelan(mode, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::open_array_count(), 0);
}

}  // namespace
