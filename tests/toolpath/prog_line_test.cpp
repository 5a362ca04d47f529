// The progress line: percentages shown only when they grow, stage counts every tenth patch, the
// loop texts, the activity words and what the painter puts where.
#include "host/control.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/prog_line.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

class ProgLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        progress() = prog_state{};
        machining_type() = 31;
        set_display_countdown(0);
    }
    static const std::vector<std::string>& paints() { return control::progress_paints(); }
};

// done of total: what the counter shows (empty: nothing painted after the reset's activity).
TEST_F(ProgLine, PercentageIsTruncatedToFivesAndPaintedOnlyWhenItGrows)
{
    struct row {
        int done, total;
        const char* shown;
    };
    const row rows[] = {
        {5, 8, "60"},
        {7, 9, "75"},
        {9, 9, "100"},
        {1, 25, ""},
        {1, 30, ""},
        {43, 100, "40"},
        {0, 0, ""},
        {30000000, 40000000, "75"},       // 100 x done passes 32 bits
        {2000000000, 1000000000, "100"},  // more done than total is kept to 100
    };
    for (const row& r : rows) {
        SetUp();
        prog_reset_all();
        prog_count_set(1, r.total);
        prog_count_set(2, r.done);
        const std::size_t before = paints().size();
        prog_percent(kActivityPocketing);
        const bool painted = paints().size() > before;
        EXPECT_EQ(painted, *r.shown != '\0') << r.done << " of " << r.total;
        if (painted) {
            EXPECT_EQ(progress().counter, r.shown) << r.done << " of " << r.total;
            EXPECT_EQ(progress().label, "PERCENT DONE=");
        }
    }
}

TEST_F(ProgLine, LaterPercentagesUpdateOnlyTheCounter)
{
    prog_reset_all();
    prog_count_set(1, 20);
    prog_count_set(2, 2);
    prog_percent(kActivityPocketing);
    const std::size_t first = paints().size();
    prog_percent(kActivityPocketing);
    EXPECT_EQ(paints().size(), first) << "10 again: nothing painted";
    prog_count_set(4, 0);
    prog_percent(kActivityPocketing);
    ASSERT_EQ(paints().size(), first + 1);
    // Counter only, after the activity (20 columns) and the label.
    EXPECT_EQ(paints().back(), std::to_string(1 + 20 + 13) + ":15");
}

TEST_F(ProgLine, ActivityTextsArePaddedToTwenty)
{
    const std::pair<int, const char*> rows[] = {
        {2, "C O M P U T I N G"},   {3, "P O C K E T I N G"},  {4, "P R O J E C T I N G"}, {5, "E X E C U T I N G"},
        {6, "APPROXIMATING SURF."}, {7, "R E A D I N G"},      {8, "PREPARING SECTION"},   {9, "PLEASE WAIT"},
        {1, "M A C H I N I N G"},   {42, "M A C H I N I N G"},
    };
    for (const auto& [kind, word] : rows) {
        prog_set_activity(kind);
        std::string expected = word;
        expected.resize(20, ' ');
        EXPECT_EQ(progress().activity, expected) << kind;
        EXPECT_EQ(paints().back(), "1:" + expected) << kind;
    }
}

TEST_F(ProgLine, StagesAreShownEveryTenthPatch)
{
    struct row {
        int stage_mode, total, done;
        const char* label;  // nullptr: nothing painted
        const char* counter;
    };
    const row rows[] = {
        {1, 20, 0, "STAGE. PATCHES=", "20"},           {1, 25, 0, nullptr, ""},
        {2, 25, 10, "STAGE. PATCHES= 25 DONE=", "10"}, {2, 25, 11, nullptr, ""},
        {2, 25, 25, "STAGE. PATCHES= 25 DONE=", "25"}, {2, 0, 0, nullptr, ""},
    };
    for (const row& r : rows) {
        SetUp();
        prog_reset_all();
        prog_count_set(1, r.total);
        prog_count_set(2, r.done);
        const std::size_t before = paints().size();
        prog_stage(kActivityPocketing, r.stage_mode);
        EXPECT_EQ(paints().size() > before, r.label != nullptr) << r.stage_mode << " " << r.total << " " << r.done;
        if (!r.label) continue;
        EXPECT_EQ(progress().label, r.label);
        EXPECT_EQ(progress().counter, r.counter);
    }
}

TEST_F(ProgLine, LoopTextsAndTheirPaintKinds)
{
    struct row {
        int kind;
        const char* activity;  // after the call; nullptr: unchanged
        bool cleared;          // the line was removed (the host page cleared)
        std::size_t paints;    // texts painted
    };
    const row rows[] = {
        {0, "TOTAL NUMBER OF LOOPS 12. DONE:", false, 3}, {1, nullptr, false, 1}, {2, "E X E C U T I N G   ", true, 0},
        {3, "NUMBER OF OFFSETS DONE:", false, 3},         {4, nullptr, false, 1}, {5, nullptr, false, 0},
    };
    for (const row& r : rows) {
        SetUp();
        progress().activity = "BEFORE";
        const long clears = control::call_count("modinz");
        prog_loops_text(r.kind, 12, 7);
        EXPECT_EQ(progress().counter, " 7 ") << r.kind;
        EXPECT_EQ(progress().activity, r.activity ? r.activity : "BEFORE") << r.kind;
        EXPECT_EQ(control::call_count("modinz") > clears, r.cleared) << r.kind;
        EXPECT_EQ(paints().size(), r.paints) << r.kind;
    }
}

TEST_F(ProgLine, CloseRemovesTheLineAndClearsItsTexts)
{
    prog_set_activity(kActivityExecuting);
    progress().label = "PERCENT DONE=";
    const long clears = control::call_count("modinz");
    prog_close();
    EXPECT_GT(control::call_count("modinz"), clears);
    EXPECT_TRUE(progress().activity.empty());
    EXPECT_TRUE(progress().label.empty());
    EXPECT_TRUE(progress().counter.empty());
}

}  // namespace
