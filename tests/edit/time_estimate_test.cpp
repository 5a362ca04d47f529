// The time estimate and the block listing over sub-lists written from words: the rate rules of
// TIMEBLK in one table, seeded lines and arcs against their analytic lengths and lowest Z, the
// report's lines, tool stints and tool-life warnings, the output modes, the refusals, and BLKLST.
#include "edit/time/block_listing.hpp"
#include "edit/time/time_est_state.hpp"
#include "edit/time/time_estimate.hpp"
#include "edit/time/time_text.hpp"
#include "edit/time/timeblk.hpp"
#include "host/control/files.hpp"
#include "host/control/listfile.hpp"
#include "host/control/masters.hpp"
#include "host/control/textfiles.hpp"
#include "tests/edit/editor_support.hpp"
#include "tools/current_tool.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace editor_test;
namespace control = vantu::control;
using words = std::vector<word>;

words line(float x, float y = 0.0f, float z = 0.0f)
{
    return {2, 0, real_to_word(x), real_to_word(y), real_to_word(z)};
}
words feed(int type, float v) { return {1, 0, type, 0, real_to_word(v)}; }
words tool(int id) { return {1, 0, 100, 0, id}; }
words arc(int plane, float angle, float c1, float c2, float ex, float ey, float ez)
{
    return {3,
            0,
            plane,
            real_to_word(angle),
            0,
            real_to_word(c1),
            real_to_word(c2),
            real_to_word(ex),
            real_to_word(ey),
            real_to_word(ez)};
}

// Numbers the blocks 1, 2, ... and writes them as the procedure's sub-list.
void write_list(std::vector<words> blocks)
{
    for (std::size_t i = 0; i < blocks.size(); ++i) blocks[i][1] = int(i + 1);
    build_words(blocks);
}

struct cost {
    int kind = 0;
    double time = 0.0, total = 0.0, milling = 0.0;
    float min_z = 1e8f;
};

// Every block through TIMEBLK: the kind and time of the last one, the sums.
cost walk(const std::vector<words>& blocks)
{
    write_list(blocks);
    cost c;
    int status = 0, number = 0, tool_id = 0, result = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        lacces(i == 0 ? 2 : 1, result);
        c.time = i == 0 ? kTimeReset : 0.0;
        c.kind = TIMEBLK(2, number, c.time, tool_id, c.milling, c.min_z, status);
        c.total += c.time;
        EXPECT_EQ(status, 0) << "block " << i + 1;
    }
    return c;
}

TEST(TimeBlk, RateRules)
{
    constexpr float kPi = 3.14159f;
    struct row {
        const char* name;
        std::vector<words> blocks;
        int kind;
        double minutes;
    };
    const std::vector<row> rows{
        {"before any FEED: feed at 350", {line(0), line(350)}, kTimeFeed, 1.0},
        {"first line sets the position only", {line(700)}, kTimeNothing, 0.0},
        {"fast", {feed(1, -1), line(0), line(10000)}, kTimeFast, 1.0},
        {"max-feed", {feed(1, -2), line(0), line(2000)}, kTimeMaxFeed, 1.0},
        {"max-feed rate kept", {feed(1, -3000), feed(1, -2), line(0), line(3000)}, kTimeMaxFeed, 1.0},
        {"FEED after fast", {feed(1, -1), feed(1, 500), line(0), line(500)}, kTimeFeed, 1.0},
        {"RAP.FEED after fast", {feed(1, -1), feed(59, 500), line(0), line(500)}, kTimeFeed, 1.0},
        {"RAP.FEED max-feed", {feed(59, -4000), line(0), line(4000)}, kTimeMaxFeed, 1.0},
        {"FEED 0 refused", {feed(1, 100), feed(1, 0), line(0), line(100)}, kTimeFeed, 1.0},
        {"FEED 0 after fast refused: feed at the last feed",
         {feed(1, 100), feed(1, -1), feed(1, 0), line(0), line(100)},
         kTimeFeed,
         1.0},
        {"FEED -1.5 refused", {feed(1, -1), feed(1, -1.5f), line(0), line(350)}, kTimeFeed, 1.0},
        {"RAP.FEED -1 refused: max-feed", {feed(1, 200), feed(59, -1), line(0), line(2000)}, kTimeMaxFeed, 1.0},
        {"arc", {feed(1, 100), line(10, 0), arc(1, kPi, 0, 0, -10, 0, 0)}, kTimeFeed, 0.314159},
        {"arc negative angle", {feed(1, 100), line(10, 0), arc(1, -kPi, 0, 0, -10, 0, 0)}, kTimeFeed, 0.314159},
        {"first TOOL", {tool(7)}, kTimeFirstTool, 0.0},
        {"same TOOL again", {tool(7), tool(7)}, kTimeToolChange, 0.0},
    };
    for (const row& r : rows) {
        const cost c = walk(r.blocks);
        EXPECT_EQ(c.kind, r.kind) << r.name;
        EXPECT_NEAR(c.time, r.minutes, 1e-5) << r.name;
        const bool refused = std::string(r.name).find("refused") != std::string::npos;
        int last_parameter = 0;  // the block number of the refused value: the rows' last parameter
        for (std::size_t i = 0; i < r.blocks.size(); ++i)
            if (r.blocks[i][0] == 1) last_parameter = int(i + 1);
        EXPECT_EQ(timeblk_rates().refused.block, refused ? last_parameter : -1) << r.name;
    }
}

// Seeded lines and arcs in every plane: the time is the analytic length over the rate, the feed
// length their sum, the lowest Z that of the sampled motions.
TEST(TimeBlk, RandomMotionsMatchAnalyticLengths)
{
    const unsigned seed = 4511;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-200.0f, 200.0f), angle(-6.0f, 6.0f), radius(0.5f, 80.0f);
    for (int trial = 0; trial < 40; ++trial) {
        const float rate = 50.0f + 10.0f * float(trial);
        std::vector<words> blocks{feed(1, rate)};
        float x = coord(rng), y = coord(rng), z = coord(rng);
        blocks.push_back(line(x, y, z));
        double length = 0.0, lowest = 1e8;
        for (int m = 0; m < 12; ++m) {
            const int plane = m % 4;  // 0 a line, else an arc in that plane
            const float a = angle(rng), r = radius(rng), phi = angle(rng), h = coord(rng), v = coord(rng),
                        w = coord(rng);
            const float eh = h + r * std::cos(phi), ev = v + r * std::sin(phi);
            if (plane == 0) {
                length += std::sqrt(double(h - x) * (h - x) + double(v - y) * (v - y) + double(w - z) * (w - z));
                lowest = std::min({lowest, double(z), double(w)});
                blocks.push_back(line(h, v, w));
                x = h, y = v, z = w;
                continue;
            }
            length += std::abs(double(r) * a);
            for (int k = 0; k <= 2000 && plane > 1; ++k)
                lowest = std::min(lowest, v + r * std::sin(double(phi) - a + a * k / 2000.0));
            lowest = std::min(lowest, double(z));
            blocks.push_back(plane == 1   ? arc(1, a, h, v, eh, ev, z)
                             : plane == 2 ? arc(2, a, h, v, eh, y, ev)
                                          : arc(3, a, h, v, x, eh, ev));
            (plane == 1 ? y : z) = ev;
            (plane == 3 ? y : x) = eh;
        }
        const cost c = walk(blocks);
        EXPECT_NEAR(c.total, length / rate, 1e-4 + 1e-6 * length) << "seed " << seed << " trial " << trial;
        EXPECT_NEAR(c.milling, length, 1e-2 + 1e-5 * length) << "seed " << seed << " trial " << trial;
        EXPECT_NEAR(c.min_z, lowest, 1e-2) << "seed " << seed << " trial " << trial;
    }
}

// A fresh output folder of the test's own, beside the part file "part1.prt"; procedure 1 current.
std::filesystem::path fresh_output()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto dir = std::filesystem::temp_directory_path() / ("drelan_time_" + std::string(info->name()));
    std::filesystem::remove_all(dir);
    control::set_output_directory(dir.string());
    control::set_part_file_name((dir / "part1.prt").string());
    list_cursor().proc_number = 1;
    return dir;
}

// The estimate of the blocks with the output mode; the window's lines, the status.
std::vector<std::string> estimate(const std::vector<words>& blocks, int mode, int& status, const char* fault = nullptr)
{
    write_list(blocks);
    if (fault) control::inject_fault(fault, 1, 1, -1);
    fresh_output();
    set_estimate_mode(mode);
    time_estimate(1, 2, status);
    return control::lines_of("shmsgc");
}

int count_of(const std::vector<std::string>& lines, const std::string& piece)
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.find(piece) != std::string::npos; }));
}

// A tool the estimate finds loaded, with a life in hours.
void loaded_tool(int id, float life)
{
    tool_block().IDTOOL = id;
    tool_block().TLNAME = tool_text("T" + std::to_string(id));
    tool_block().tool_life = life;
}

// Whole seconds of a time: any fraction above a millionth of a second adds one; a sum of many
// short times that should be whole stays whole.
TEST(TimeEstimate, WholeSecondsRoundUpAboveAMillionth)
{
    double thousandths = 0.0;
    for (int i = 0; i < 3000; ++i) thousandths += 1.0 / 3000.0;
    const struct {
        double minutes;
        long long seconds;
    } rows[] = {
        {0.0, 0},
        {0.5 / 60.0, 1},
        {1.0, 60},
        {1.0 + 0.5e-6 / 60.0, 60},
        {1.0 + 2e-6 / 60.0, 61},
        {61.0 + 0.1 / 60.0, 3661},
        {thousandths, 60},
    };
    for (const auto& r : rows) EXPECT_EQ(time_whole_seconds(r.minutes), r.seconds) << r.minutes;
}

TEST(TimeEstimate, ReportLines)
{
    // 350 per minute before any FEED: 350 / 120 long is half a second.
    const float half_second = 350.0f / 120.0f, half_hour = 350.0f * 30.0f;
    struct row {
        const char* name;
        std::vector<words> blocks;
        float life;
        std::vector<std::pair<std::string, int>> counts;  // piece, lines holding it
        const char* alone = nullptr;                      // the one line between the header and the closing separator
    };
    const std::vector<row> rows{
        {"nothing timed", {line(5)}, 0.0f, {{"TOTAL ESTIMATED", 0}}, "THERE ARE NO MOVEMENTS IN THIS PROCEDURE."},
        {"half a second", {line(0), line(half_second)}, 0.0f, {{"FEED TIME          :\t\t 1 SECONDS", 1}}},
        {"61 minutes and 0.1 second",
         {line(0), line(350.0f * (61.0f + 0.1f / 60.0f))},
         0.0f,
         {{"FEED TIME          :\t\t 1 HOURS 1 MINUTES 1 SECONDS", 1}}},
        {"one tool",
         {tool(3), line(0), line(350)},
         0.0f,
         {{"CHANGING TOOLS TIME", 0}, {"TOTAL ESTIMATED TIME FOR PROCEDURE #1 IS: \t 1 MINUTES 0 SECONDS", 1}}},
        {"T1 T2 T1",
         {tool(1), line(0), line(350), tool(2), line(0), tool(1), line(350)},
         0.0f,
         {{"\" TIME IS: ", 3}, {"CHANGING TOOLS TIME :\t\t 30 SECONDS", 1}}},
        {"re-selecting is no change",
         {tool(3), line(0), tool(3), line(350)},
         0.0f,
         {{"\" TIME IS: ", 1}, {"CHANGING", 0}}},
        {"life of one hour",
         {tool(9), line(0), line(half_hour), line(0), line(half_hour), line(0), line(half_hour)},
         1.0f,
         {{"REPLACE TOOL \"T9", 1},
          {"BEFORE BLOCK #5", 1},
          {"BEFORE BLOCK #7", 1},
          {"BEFORE BLOCK", 2},
          {"TOOL LIFE VALUE IS: 1.0000 HOURS", 1}}},
        {"no life, no warning",
         {tool(9), line(0), line(half_hour), line(0), line(half_hour), line(0)},
         0.0f,
         {{"REPLACE TOOL", 0}, {"NO NEED TO REPLACE THE TOOL.", 1}}},
        {"life -1, no warning",
         {tool(9), line(0), line(half_hour), line(0), line(half_hour), line(0)},
         -1.0f,
         {{"REPLACE TOOL", 0}, {"BEFORE BLOCK", 0}}},
        {"FEED 0 after a rapid: one warning, timed at the last feed",
         {feed(1, 700), feed(1, -1), line(0), feed(1, 0), line(350), line(0), feed(59, 0), line(2000)},
         0.0f,
         {{"WARNING: FEED 0.0000 IN BLOCK #4 IS NO RATE, TIMED AT 700.0000", 1},
          {"WARNING: RAP.FEED 0.0000 IN BLOCK #7 IS NO RATE, TIMED AT 2000.0000", 1},
          {"WARNING", 2},
          {"FEED TIME          :\t\t 1 MINUTES 0 SECONDS", 1},
          {"MAX-FEED TIME      :\t\t 1 MINUTES 0 SECONDS", 1},
          {"FAST TIME          :\t\t 0 SECONDS", 1}}},
    };
    for (const row& r : rows) {
        int status = 0;
        loaded_tool(r.blocks.front()[2] == 100 ? r.blocks.front()[4] : 0, r.life);
        const std::vector<std::string> lines = estimate(r.blocks, kEstimateScreen, status);
        EXPECT_EQ(status, 0) << r.name;
        for (const auto& [piece, n] : r.counts) EXPECT_EQ(count_of(lines, piece), n) << r.name << ": " << piece;
        ASSERT_FALSE(lines.empty()) << r.name;
        EXPECT_EQ(lines.back(), "\t===========================================================\n") << r.name;
        if (r.alone) {
            ASSERT_GE(lines.size(), 3u) << r.name;
            EXPECT_NE(lines[lines.size() - 3].find("PROCEDURE NUMBER = 1"), std::string::npos) << r.name;
            EXPECT_NE(lines[lines.size() - 2].find(r.alone), std::string::npos) << r.name;
        }
        EXPECT_EQ(count_of(lines, "PART FILE NAME"), 0) << r.name;
    }
}

TEST(TimeEstimate, ModesAndRefusals)
{
    const std::vector<words> moves{line(0), line(350)};
    int status = 0;
    // Mode 3: every line to the file and the window, then the file is announced.
    const std::vector<std::string> shown = estimate(moves, kEstimateFileAndScreen, status);
    EXPECT_EQ(status, 0);
    std::ifstream in(control::text_file_path("part1.prt_TIME_1"));
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string each_shown;
    for (const std::string& l : shown) each_shown += l + "\n";
    EXPECT_EQ(written, each_shown) << "every line to the file and the window";
    EXPECT_EQ(count_of(shown, "TOTAL ESTIMATED TIME FOR PROCEDURE #1"), 1);
    EXPECT_EQ(count_of(shown, "PART FILE NAME"), 1);
    EXPECT_EQ(count_of(control::lines_of("usrer4"), "OUTPUT TO FILE part1.prt_TIME_1"), 1);
    // Mode 0 runs and writes nothing; an unknown mode is refused and the mode kept.
    control::clear_messages();
    EXPECT_TRUE(estimate(moves, kEstimateSilent, status).empty());
    EXPECT_EQ(status, 0);
    ::testing::internal::CaptureStdout();
    set_estimate_mode(4);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "set_estimate_mode: mode 4 is unlegal\n");
    EXPECT_EQ(time_est().output_mode, kEstimateSilent);
    // A file that cannot be opened: the message and no estimate.
    const std::vector<std::string> none = estimate(moves, kEstimateFile, status, "fileopen");
    control::clear_faults();
    EXPECT_EQ(status, -1);
    EXPECT_EQ(count_of(control::lines_of("errou4"), "TIME_BLKLST, CANNOT OPEN FILE (fopen failed)"), 1);
    EXPECT_EQ(count_of(none, "PROCEDURE NUMBER"), 0);
    // A 500th distinct tool ends the walk; the summary is written and the count stays at 499.
    std::vector<words> tools{line(0)};
    for (int id = 1; id <= 500; ++id) tools.push_back(tool(id));
    control::clear_messages();
    const std::vector<std::string> full = estimate(tools, kEstimateScreen, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(time_est().tool_count, kMostEstimateTools - 1);
    EXPECT_EQ(count_of(full, "TOTAL ESTIMATED TIME"), 1);
}

TEST(BlockListing, ListsEveryBlockAndKeepsThePosition)
{
    struct row {
        std::vector<std::string> blocks;
        int status;
    };
    for (const row& r : {row{{"P1:2", "L2", "S3x3", "M6:1", "L7"}, 0}, row{{}, -1}}) {
        build(r.blocks);
        fresh_output();
        int before = 0, after = 0, status = 0;
        ljump(0, before);
        BLKLST(status);
        ljump(0, after);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(after, before);
        const std::vector<std::string> lines = control::listing_lines(19);
        EXPECT_NE(control::listing_file_name(19).find("BLOCK_1"), std::string::npos);
        // The heading line by line (the part and function names only by their start), then the
        // closing lines of a complete listing.
        const std::string b11(11, ' ');
        const std::vector<std::string> heading{b11 + "PROCEDURE BLOCK LISTING",
                                               b11 + "=======================",
                                               b11 + "PART FILE NAME: \"part1.prt",
                                               "   BLOCK",
                                               "   NUMBER  BLOCK DESCRIPTION",
                                               "   ------  -----------------",
                                               " ",
                                               " ",
                                               "   1  PROCEDURE NUMBER = 1 ",
                                               b11 + "FUNCTION NAME    : \"",
                                               " "};
        ASSERT_GE(lines.size(), heading.size());
        for (std::size_t i = 0; i < heading.size(); ++i)
            EXPECT_EQ(lines[i].substr(0, heading[i].size()), heading[i]) << i;
        const std::vector<std::string> closing{" ", "END PROCEDURE NUMBER = 1 ", std::string(59, '-'), " "};
        const bool closed = lines.size() > heading.size() + closing.size() &&
                            std::equal(closing.begin(), closing.end(), lines.end() - int(closing.size()));
        EXPECT_EQ(closed, r.status == 0);
        EXPECT_EQ(control::texts_of("usrer4").size(), r.status == 0 ? 1u : 0u);
        control::clear_messages();
    }
}

}  // namespace
