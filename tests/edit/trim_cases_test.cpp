// Named cases of trims and deletions that once went wrong, on milling parts of the tests' own
// (trim_part_support.hpp) judged as the property suite judges (trim_judge.hpp): a comb whose edge
// carries the links (only the first pass was trimmed), the plunge feed (0, and deaf to the page),
// the retract at the end of the procedure (missing after DEL.: OUTSIDE CONTOUR and DELETE TO END),
// parts without a UCS (the trim stopped halfway), an open contour (closed by a side nobody drew).
// Every part is saved and opened again by the editor afterwards.
#include "tests/edit/trim_judge.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;
using trim_judge::polygon;
using trim_part::path;

// The zig-zag of the mill example: seven passes over x 120 .. 200 at y 0, 10, .. 60 at the feed,
// linked at the clearance or (as the example) by rapids at the cutting height.
path zig_zag(bool links_at_depth, float feed = trim_part::kFeed)
{
    std::vector<std::vector<point3>> runs;
    for (int pass = 0; pass < 7; ++pass) {
        const float y = 10.0f * float(pass), from = pass % 2 == 0 ? 120.0f : 200.0f;
        runs.push_back({{from, y, -2}, {320 - from, y, -2}});
    }
    path p = trim_part::path_of(runs, feed);
    if (!links_at_depth) return p;
    path at_depth;
    for (std::size_t i = 0; i < p.size(); ++i) {
        // A link is rapid, up, across, the feed, down: keep the rapid and the move across, at depth.
        const bool link = i + 4 < p.size() && p[i].feed_change && p[i].feed < 0 && i > 2;
        at_depth.push_back(p[i]);
        if (!link) continue;
        at_depth.push_back({false, 0, {p[i + 2].point[0], p[i + 2].point[1], -2}});
        at_depth.push_back(p[i + 3]);
        i += 4;
    }
    return at_depth;
}

// The comb of the issue: a back 10 wide along x = back_x from y -5 to 65, three teeth 50 long
// reaching to the left between the passes and over them.
polygon comb(double back_x)
{
    const double b = back_x, t = back_x - 10, tip = back_x - 60;
    return {{b, -5},   {b, 65},   {t, 65}, {t, 55}, {tip, 55}, {tip, 45}, {t, 45}, {t, 35},
            {tip, 35}, {tip, 25}, {t, 25}, {t, 15}, {tip, 15}, {tip, 5},  {t, 5},  {t, -5}};
}

class TrimCases : public ::testing::Test {
protected:
    void TearDown() override { kept_.restore(); }

    // Trims the part by the contour and judges the result, the reopening included: the faults.
    static std::string trimmed(const trim_judge::trim_case& c, const point3& home,
                               const std::vector<std::vector<word>>& before, const std::string& page_steps = "")
    {
        trim_part::store_page(c.side, c.connection);
        const int operations = trim_part::trim_to_end(trim_part::contour_entities(c.contour), page_steps);
        std::string faults = trim_judge::judge(c, home, before, trim_part::sublist());
        if (operations < 1) faults += "nothing trimmed\n";
        for (const std::string& line : control::lines_of("eroutc")) faults += "error: " + line + "\n";
        return faults;
    }

private:
    trim_part::module_words kept_;
};

// Feed blocks of a sub-list by block number.
std::vector<float> feeds_of(const std::vector<std::vector<word>>& blocks)
{
    std::vector<float> out;
    for (const auto& w : blocks)
        if (w[0] == 1 && w[2] == 1) out.push_back(word_to_real(w[4]));
    return out;
}

}  // namespace

// Only the first pass was trimmed when the links between passes ran along an edge of the contour;
// the same comb off the links and a U contour trimmed exactly, and so must they still; a link
// leaving the contour into it and passing over a notch is met at its start.
TEST_F(TrimCases, EveryRangeIsTrimmedWhateverRunsAlongTheContour)
{
    const polygon u{{140, -5}, {180, -5}, {180, 65}, {170, 65}, {170, 5}, {150, 5}, {150, 65}, {140, 65}};
    struct row {
        const char* name;
        polygon contour;
        int side;
        bool links_at_depth;
        path own{};  // the row's own path instead of the zig-zag
    };
    // A link at the clearance from a pass ending on the contour's slanted edge (outside it by less
    // than the contour's precision) runs inside, out over a notch and in again to the next pass,
    // which runs out of the contour: the walk missed that the link enters at its start and left the
    // next pass whole.
    const float on = 150 - 0.0003f;
    const std::vector<std::vector<point3>> notch_runs{{{on, -10, -2}, {on, on - 130, -2}},
                                                      {{170, 20, -2}, {190, 20, -2}}};
    const path notch_link = trim_part::path_of(notch_runs);
    const polygon notched{{155, 15}, {156, 15}, {156, 23}, {162, 23}, {162, 15},
                          {180, 15}, {180, 28}, {145, 28}, {145, 25}};
    const row rows[] = {
        {"a comb whose back carries the links", comb(200), 1, false},
        {"the comb, the links rapids at depth along its back", comb(200), 1, true},
        {"the comb moved off the links", comb(195), 1, false},
        {"a U contour", u, 1, false},
        {"the comb, DEL.: OUTSIDE CONTOUR", comb(200), 2, false},
        {"the U contour, DEL.: OUTSIDE CONTOUR", u, 2, true},
        {"a link from the contour over a notch", notched, 1, false, notch_link},
        {"a link from the contour over a notch, DEL.: OUTSIDE CONTOUR", notched, 2, false, notch_link},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const point3 home = trim_part::make_part(r.own.empty() ? zig_zag(r.links_at_depth) : r.own);
        const auto before = trim_part::sublist();
        trim_judge::trim_case c;
        c.contour = r.contour;
        c.side = r.side;
        EXPECT_EQ(trimmed(c, home, before), "");
        EXPECT_EQ(trim_part::reopen_errors(), std::vector<std::string>{});
    }
}

// The connections plunged at feed 0 (the machine table's percentage, none) whatever PLUNGE FEED %
// the page showed; they plunge at the page's percentage of the feed in force, which comes back
// after the plunge.
TEST_F(TrimCases, ConnectionsPlungeAtThePagePercentOfTheFeedInForce)
{
    struct row {
        const char* name;
        int table_percent;  // PRM9's plunge percentage, the page's default
        int page_percent;   // entered on the page (0: left as shown)
        float plunge;       // of the path's feed 300 (PRM9's base feed is 500)
    };
    const row rows[] = {
        {"the page's 40 %", 50, 40, 120},
        {"the page's 150 %", 50, 150, 450},
        {"the page as shown", 50, 0, 150},
        {"a machine table without a percentage", 0, 0, 300},
    };
    const polygon square{{140, 15}, {180, 15}, {180, 45}, {140, 45}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        trim_part::part_options options;
        options.plunge_percent = r.table_percent;
        const point3 home = trim_part::make_part(zig_zag(false, 300), options);
        const auto before = trim_part::sublist();
        trim_judge::trim_case c;
        c.contour = square;
        // SHOW PROC DEFAULTS, then PLUNGE FEED %.
        const std::string page = r.page_percent == 0
                                     ? std::string()
                                     : R"({"page": [{"line": 8, "value": 2}]}, {"page": [{"line": 26, "value": )" +
                                           std::to_string(r.page_percent) + "}]}, ";
        EXPECT_EQ(trimmed(c, home, before, page), "");
        // The connections' plunges: onto the passes at the cutting height from above.
        const auto after = trim_part::sublist();
        int plunges = 0;
        for (const trim_part::move& m : trim_part::moves_of(after, home))
            if (m.b[2] == -2.0f && m.a[2] > m.b[2] && m.number >= int(before.size())) {
                EXPECT_EQ(m.feed, r.plunge) << "#" << m.number;
                ++plunges;
            }
        EXPECT_EQ(plunges, 3) << "one plunge for each of the three passes over the square";
        for (float feed : feeds_of(after)) EXPECT_NE(feed, 0.0f);
    }
}

// DEL.: OUTSIDE CONTOUR ended the path at the cutting height, and DELETE TO END in the editor left
// it there: every cut end a deletion leaves is followed by a retract to the clearance.
TEST_F(TrimCases, EveryCutEndIsRetracted)
{
    const polygon square{{140, -5}, {180, -5}, {180, 65}, {140, 65}};
    // DEL.: OUTSIDE CONTOUR: the last pass runs out of the square to the procedure's end.
    point3 home = trim_part::make_part(zig_zag(false));
    auto before = trim_part::sublist();
    trim_judge::trim_case c;
    c.contour = square;
    c.side = 2;
    EXPECT_EQ(trimmed(c, home, before), "");
    EXPECT_EQ(trim_part::reopen_errors(), std::vector<std::string>{});

    // DELETE TO END from the third pass on: the editor's cursor four points on from the first motion.
    home = trim_part::make_part(zig_zag(false));
    int status = 0;
    clsls1(status);
    ASSERT_TRUE(control::open_procedure_for_edit(trim_part::kProcedure));
    control::load_script_text(R"([{"page": {"line": 15, "value": 12}}, {"page": 8}, {"page": 3},
                                  {"question": "yes"}, {"page": 24}])",
                              "delete to end");
    const edit_perm rights{1, 1, 1, 1, 1, 1, 0};
    int start_at_end = 0, changed = 0;
    manedt(trim_part::kProcedure, rights, start_at_end, 0, changed, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(control::events_left(), 0u);
    const auto moves = trim_part::moves_of(trim_part::sublist(), home);
    ASSERT_FALSE(moves.empty());
    EXPECT_LT(moves.size(), trim_part::moves_of(before, home).size()) << "motions were deleted";
    EXPECT_EQ(moves.back().b[2], trim_part::kClear) << "the path ends at the clearance";
    EXPECT_EQ(control::lines_of("eroutc"), std::vector<std::string>{});
    EXPECT_EQ(trim_part::reopen_errors(), std::vector<std::string>{});
}

// Without a UCS the trim cut the first pass and stopped ("PT1MCH, ERRORS IN WRITTING
// ASSOCIATION"); with the tool's entity as the UCS the saved part could not be opened again
// ("DIPBT1,UNABLE TO GET UCS DATA"). The connections go without a UCS block either way.
TEST_F(TrimCases, PartsWithoutAUcsAreTrimmedWhole)
{
    const polygon square{{140, 15}, {180, 15}, {180, 45}, {140, 45}};
    for (bool tool_as_ucs : {false, true}) {
        SCOPED_TRACE(tool_as_ucs ? "the tool's entity as the UCS" : "no UCS");
        trim_part::part_options options;
        options.ucs = false;
        const point3 home = trim_part::make_part(zig_zag(false), options);
        if (tool_as_ucs) PRM9().words[machine_params::kUcs] = PRM9().words[machine_params::kToolId];
        const auto before = trim_part::sublist();
        trim_judge::trim_case c;
        c.contour = square;
        EXPECT_EQ(trimmed(c, home, before), "");
        for (const auto& w : trim_part::sublist()) EXPECT_FALSE(w[0] == 1 && w[2] == 55) << "a UCS block #" << w[1];
        EXPECT_EQ(trim_part::reopen_errors(), std::vector<std::string>{});
    }
}

// Three sides of a square were closed by a fourth without a word: the open contour is refused
// with the contour's message, the BLOCKS SELECTION menu comes again and nothing is changed.
TEST_F(TrimCases, AnOpenContourIsRefused)
{
    trim_part::make_part(zig_zag(false));
    const auto before = trim_part::sublist();
    const int first = control::add_line({140, 15, 0}, {180, 15, 0});
    control::add_line({180, 15, 0}, {180, 45, 0});
    control::add_line({180, 45, 0}, {140, 45, 0});
    trim_part::store_page(1, 1);
    control::load_script_text(
        "[{\"menu\": 1}, {\"pick\": " + std::to_string(first) + "}, {\"menu\": -2}, {\"menu\": -2}]", "open contour");
    int count = 9;
    trim_tp(trim_part::kProcedure, 1, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(control::lines_of("usmsgc"),
              std::vector<std::string>{"WARNING: CANNOT CALCULATE OFFSET FOR THE SELECTED CONTOUR."});
    EXPECT_EQ(control::events_left(), 0u) << "the BLOCKS SELECTION menu again, no page";
    EXPECT_EQ(trim_part::sublist(), before);
}
