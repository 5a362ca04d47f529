// The host's tool-path list as a component: part-file round trip and refusals, the dump, the
// end report, injected faults, the trace, and random call sequences that must keep the tree
// sound.
#include "host/list_test_support.hpp"

#include <functional>
#include <nlohmann/json.hpp>
#include <random>

using namespace list_test;
namespace control = vantu::control;

// A tree with a procedure-like line (link item, sub-list of two), an empty sub-list and a
// nested sub-list, and counters on three levels.
static void build_sample_tree()
{
    fresh();
    int status = 0;
    lcreat(1, status);
    const word head[] = {12, 0, 50};
    lputd(3, head, status);
    put_zero_lst(status);
    lclos(status);
    newls1(2, status);
    append_line({2, next_block_number(), 1065353216});
    append_line({99, next_block_number(), 3, -7});
    subls1(status);
    append_line({4});
    clsls1(status);
    ltop(status);
    append_line({6, next_block_number()});
    subls1(status);
    ltop(status);
}

TEST(HostListPart, SaveThenLoadGivesTheSameTree)
{
    build_sample_tree();
    const auto tree = control::toolpath_top();
    const auto counters = control::toolpath_counters();
    ASSERT_TRUE(tree[1].has_sublist && tree[1].sublist.empty());
    const std::string text = control::save_part_text();
    fresh();
    control::load_part_text(text, "round trip");
    EXPECT_EQ(control::toolpath_top(), tree);
    EXPECT_EQ(control::toolpath_counters(), counters);
    EXPECT_EQ(control::toolpath_cursor(), (control::toolpath_position{{2}, 0})) << "after the last block";
    EXPECT_FALSE(control::toolpath_line_open());
    EXPECT_TRUE(control::toolpath_markers().empty());
    EXPECT_EQ(control::save_part_text(), text);
}

// The tool path is written line by line rather than built as a JSON tree: the text must be the
// one the JSON writer gives the whole part, whatever the tree holds.
TEST(HostListPart, StreamedSaveIsTheJsonWritersLayout)
{
    const char* sections[] = {
        R"({"lines": []})",
        R"({"counters": [3], "lines": [{"words": []}, {"words": [-2147483648, 2147483647], "sublist": []}]})",
        R"({"lines": [{"words": [12, 0, 1, 9, 0, 0, 0, 0, 0, 0, 0], "link": 3,
                       "sublist": [{"words": [5], "sublist": [{"words": [7, -1]}, {"words": []}]}, {"words": [8]}]}]})",
    };
    build_sample_tree();
    for (const std::string& part : {control::save_part_text(), std::string(R"({"flags": {"verbos": 1}})")})
        for (const char* section : sections) {
            nlohmann::json whole = nlohmann::json::parse(part);
            whole["toolpath"] = nlohmann::json::parse(section);
            control::load_part_text(whole.dump(), "streamed");
            const std::string text = control::save_part_text();
            EXPECT_EQ(text, nlohmann::json::parse(text).dump(1)) << section;
            EXPECT_EQ(nlohmann::json::parse(text)["toolpath"]["lines"], whole["toolpath"]["lines"]) << section;
        }
}

TEST(HostListPart, MalformedSectionsNameThePlace)
{
    struct row {
        const char* section;
        const char* message;
    };
    const row rows[] = {
        {R"([])", "the tool path must be an object"},
        {R"({"cursor": 1})", "unknown key \"cursor\""},
        {R"({"lines": 3})", "top list: lines must be an array"},
        {R"({"lines": [5]})", "line 1: a line must be an object"},
        {R"({"lines": [{"link": 0}]})", "line 1: words are missing"},
        {R"({"lines": [{"words": [1, 2.5]}]})", "line 1: words must be integers"},
        {R"({"lines": [{"words": [1, 4294967296]}]})", "line 1: word 2 is not a 32-bit integer"},
        {R"({"lines": [{"words": [1]}, {"words": [], "sublist": [{"words": []}, {"words": []}, {"words": ["a"]}]}]})",
         "line 3 of sub-list of line 2: words must be integers"},
        {R"({"lines": [{"words": [1, 2], "link": 0}]})", "line 1: link must leave 8 link words inside the line"},
        {R"({"lines": [{"words": [], "colour": 2}]})", "line 1: unknown key \"colour\""},
        {R"({"counters": [1, -2]})", "counters: the counter of level 2 must be a non-negative integer"},
        {R"({"counters": [0,0,0,0,0,0,0,0,0,0,0]})", "counters: must be an array of at most 10 integers"},
    };
    for (const row& r : rows) {
        std::string part = std::string(R"({"toolpath": )") + r.section + "}";
        try {
            control::load_part_text(part, "bad.part");
            ADD_FAILURE() << "accepted " << r.section;
        } catch (const control::part_error& e) {
            EXPECT_EQ(std::string(e.what()), std::string("bad.part: in \"toolpath\": ") + r.message);
        }
    }
}

TEST(HostListPart, NestingBeyondTheDeepestLevelIsRefused)
{
    std::string lines = R"([{"words": [1]}])";
    for (int level = 1; level <= vantu::kListMaxLevels; ++level)
        lines = R"([{"words": [1], "sublist": )" + lines + "}]";
    try {
        control::load_part_text(R"({"toolpath": {"lines": )" + lines + "}}", "deep.part");
        ADD_FAILURE() << "accepted 11 levels";
    } catch (const control::part_error& e) {
        EXPECT_NE(std::string(e.what()).find("sub-lists nest deeper than 10 levels"), std::string::npos) << e.what();
    }
}

TEST(HostListPart, DumpShowsEveryBlockIndented)
{
    build_sample_tree();
    int status = 0;
    lmark(1, 3, status);
    const std::string expected = "tool path: level 1, cursor 2 word 2, counters 1 2 0 0 0 0 0 0 0 0, marker 3 at 2\n"
                                 "1: 12 0 50 1 9 2 1 2 2 0 0 0 0 0  [sub-list 2 lines]\n"
                                 "  1.1: 2 0 1065353216\n"
                                 "  1.2: 99 1 3 -7  [sub-list 1 lines]\n"
                                 "    1.2.1: 4\n"
                                 "2: 6 0  [sub-list 0 lines] <\n";
    EXPECT_EQ(control::dump_toolpath(), expected);
}

TEST(HostListPart, EndReportNamesALineLeftOpen)
{
    build_sample_tree();
    EXPECT_TRUE(control::end_report().empty());
    int status = 0;
    subls1(status);
    lcreat(1, status);
    EXPECT_EQ(control::end_report(), std::vector<std::string>{"tool path: line 2.1 left open"});
}

TEST(HostListFaults, InjectedFaultAnswersItsStatusAndChangesNothing)
{
    struct row {
        const char* call;
        std::function<int()> run;
    };
    const row rows[] = {
        {"lacces", [] { return call_lacces(2); }},
        {"ljump", [] { return call_ljump(-1); }},
        {"lcreat",
         [] {
             int s = 0;
             lcreat(1, s);
             return s;
         }},
        {"lclos",
         [] {
             int s = 0;
             lclos(s);
             return s;
         }},
        {"ldelet",
         [] {
             int s = 0;
             ldelet(1, s);
             return s;
         }},
        {"lgetd",
         [] {
             word w[2];
             int n = 0, s = 0;
             lgetd(2, w, n, s);
             return s;
         }},
        {"lputd",
         [] {
             word w[1] = {5};
             int s = 0;
             lputd(1, w, s);
             return s;
         }},
        {"lskip",
         [] {
             int n = 0, s = 0;
             lskip(-1, n, s);
             return s;
         }},
        {"ljmpcg",
         [] {
             int s = 0;
             ljmpcg(1, 77, s);
             return s;
         }},
        {"lchngd",
         [] {
             word w[1] = {5};
             int s = 0;
             lchngd(1, w, s);
             return s;
         }},
        {"lopclg",
         [] {
             int s = 0;
             lopclg(2, s);
             return s;
         }},
        {"lchkd",
         [] {
             int answer = 0;
             lchkd(1, answer);
             return answer;
         }},
        {"put_zero_lst",
         [] {
             int s = 0;
             put_zero_lst(s);
             return s;
         }},
        {"subls1",
         [] {
             int s = 0;
             subls1(s);
             return s;
         }},
        {"clsls1",
         [] {
             int s = 0;
             clsls1(s);
             return s;
         }},
        {"newls1",
         [] {
             int s = 0;
             newls1(3, s);
             return s;
         }},
        {"ltop",
         [] {
             int s = 0;
             ltop(s);
             return s;
         }},
        {"gtlstn",
         [] {
             int level = 1, s = 0;
             gtlstn(2, level, s);
             return s;
         }},
        {"gsblkn",
         [] {
             int n = 9, s = 0;
             gsblkn(2, 0, n, s);
             return s;
         }},
        {"lmark",
         [] {
             int s = 0;
             lmark(1, 2, s);
             return s;
         }},
    };
    for (const row& r : rows) {
        build_sample_tree();
        int status = 0;
        subls1(status);
        lcreat(1, status);  // an open line at level 2, so every call could act
        const word one[] = {8};
        lputd(1, one, status);
        const std::string before = control::dump_toolpath();
        control::inject_fault(r.call, 1, 1, -9);
        EXPECT_EQ(r.run(), -9) << r.call;
        EXPECT_EQ(control::dump_toolpath(), before) << r.call;
    }
}

TEST(HostListTrace, WordCallsAreCountedOthersRecorded)
{
    build_sample_tree();
    control::set_tracing(true);
    control::clear_trace();
    word buffer[4];
    int count = 0, status = 0;
    lacces(2, status);
    lgetd(2, buffer, count, status);
    lskip(1, count, status);
    ljump(7, status);
    EXPECT_EQ(control::trace_names(), (std::vector<std::string>{"lacces", "ljump"}));
    EXPECT_EQ(control::trace_entries()[0].arguments, "2");
    EXPECT_EQ(control::trace_entries()[0].result, 14);
    EXPECT_EQ(control::trace_entries()[1].result, -2);
    EXPECT_EQ(control::call_count("lgetd"), 1);
    EXPECT_EQ(control::call_count("lskip"), 1);
    control::set_tracing(false);
}

// Random calls with random arguments: every status is one of the documented ones and the tree
// stays sound (cursor inside its list, word positions inside lines, lines within the bound).
static void check_sound(const std::vector<control::toolpath_line>& lines, int level)
{
    ASSERT_LE(level, vantu::kListMaxLevels);
    for (const auto& l : lines) {
        ASSERT_LE(l.words.size(), static_cast<std::size_t>(vantu::kListMaxLineWords));
        if (l.link_at >= 0) {
            ASSERT_LE(static_cast<std::size_t>(l.link_at + vantu::kSublistLinkWords), l.words.size());
        }
        if (!l.has_sublist) {
            ASSERT_TRUE(l.sublist.empty());
        }
        check_sound(l.sublist, level + 1);
    }
}

TEST(HostListRandom, RandomCallsKeepTheTreeSound)
{
    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    fresh();
    std::vector<word> buffer(64, 3);
    for (int step = 0; step < 20000; ++step) {
        int status = 0, out = 0, n = pick(-3, 12);
        switch (pick(0, 16)) {
        case 0: lacces(pick(-2, 4), status); break;
        case 1: ljump(pick(-6, 6), out); break;  // answers a position, checked elsewhere
        case 2:
        case 3: lcreat(pick(-1, 1), status); break;
        case 4:
        case 5: lputd(std::max(n, 0), buffer.data(), status); break;
        case 6: lgetd(std::max(n, 0), buffer.data(), out, status); break;
        case 7: lskip(n, out, status); break;
        case 8: ljmpcg(n, 5, status); break;
        case 9: lopclg(n, status); break;
        case 10: ldelet(pick(0, 2), status); break;
        case 11: subls1(status); break;
        case 12: clsls1(status); break;
        case 13: lmark(pick(1, 2), pick(1, 3), status); break;
        case 14: ltop(status); break;
        case 15: put_zero_lst(status); break;
        default: lclos(status); break;
        }
        ASSERT_GE(status, -3) << "seed " << seed << " step " << step;
        control::toolpath_position cursor = control::toolpath_cursor();
        ASSERT_EQ(static_cast<int>(cursor.lines.size()), control::toolpath_level());
        std::vector<int> owner(cursor.lines.begin(), cursor.lines.end() - 1);
        const auto* list = owner.empty() ? &control::toolpath_top() : &control::toolpath_line_at(owner)->sublist;
        ASSERT_LE(cursor.lines.back(), static_cast<int>(list->size())) << "seed " << seed << " step " << step;
        if (const auto* l = control::toolpath_line_at(cursor.lines)) {
            ASSERT_LE(cursor.word, static_cast<int>(l->words.size())) << "seed " << seed << " step " << step;
        }
    }
    check_sound(control::toolpath_top(), 1);
}
