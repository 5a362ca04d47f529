// The script engine and the dialogs it answers: answers by kind, mismatches, exit answers when
// the script runs out, the two runaway guards, field limits, and the errors of malformed scripts.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace control = vantu::control;

namespace {

void start(std::string_view script)
{
    control::reset();
    control::load_script_text(script, "test.json");
}

const control::script_event& last_event()
{
    const auto& events = control::transcript_events();
    if (events.empty()) throw std::runtime_error("no event recorded");
    return events.back();
}

// Runs `call` and answers the reason it ended the run with, or nothing when it did not.
template <typename Call> std::optional<control::run_aborted> abort_of(Call call)
{
    try {
        call();
    } catch (const control::run_aborted& e) {
        return e;
    }
    return std::nullopt;
}

std::string part_error_of(std::string_view script)
{
    try {
        control::load_script_text(script, "bad.json");
    } catch (const control::part_error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ScriptAnswers, EachKindTakesItsStep)
{
    start(R"([
        {"menu": 2},
        {"menu": "EXECUTION:STOP", "expect": "EXECUTION:RESUME"},
        {"question": "yes"},
        {"question": "back"},
        {"pick": 17},
        {"pick": "back"},
        {"point": [10, 20.5]},
        {"text": "ABC"},
        {"key": "SPACE"}
    ])");
    int choice = 0;
    menuc("YES    @NO     ", choice);
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(last_event().answer, "2 (NO)");
    menuc("EXECUTION:RESUME@EXECUTION:BY STEP@EXECUTION:STOP", choice);
    EXPECT_EQ(choice, 3);
    int answer = 5;
    irepyc("STOP EXECUTION?", answer);
    EXPECT_EQ(answer, 1);
    msg_quest(319, 42, answer);
    EXPECT_EQ(answer, -2);
    EXPECT_EQ(last_event().text, "question 319/42");
    int entity = -1;
    pick(choice, entity);
    EXPECT_EQ(choice, 0);
    EXPECT_EQ(entity, 17);
    pick(choice, entity);
    EXPECT_EQ(choice, -2);
    EXPECT_EQ(entity, 17);  // untouched without an indication
    float point[3] = {1, 1, 1};
    int status = 9;
    getpt(point, 7, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(point[0], 10.0f);
    EXPECT_FLOAT_EQ(point[1], 20.5f);
    EXPECT_FLOAT_EQ(point[2], 0.0f);
    std::string text;
    int count = 0;
    rtexts(20, text, count);
    EXPECT_EQ(text, "ABC");
    EXPECT_EQ(count, 3);
    int key = -1;
    gupdat(key);
    EXPECT_EQ(key, 32);
    EXPECT_EQ(control::events_left(), 0u);
    const auto& events = control::transcript_events();
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events[0].kind, "menu");
    EXPECT_EQ(events[0].call, "menuc");
    EXPECT_EQ(events[0].source, "script step 1");
    EXPECT_EQ(events[2].kind, "question");
    EXPECT_EQ(events[6].kind, "point");
    EXPECT_EQ(events[8].source, "script step 9");
}

TEST(ScriptAnswers, EventsGoToTheMessageLogWithTheirPrompt)
{
    start(R"([{"menu": 1, "expect": "OK TO EXECUTE?"}])");
    prmptc("OK TO EXECUTE?");
    int choice = 0;
    menuc("YES    @NO     ", choice);  // the expectation holds through the prompt line
    EXPECT_EQ(choice, 1);
    EXPECT_EQ(last_event().prompt, "OK TO EXECUTE?");
    const std::vector<std::string> lines = control::lines_of("menuc");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], control::transcript_line(last_event()));
    EXPECT_NE(lines[0].find("1 (YES)"), std::string::npos);
    EXPECT_NE(lines[0].find("[script step 1]"), std::string::npos);
}

TEST(ScriptAnswers, MenuItemsOutsideTheMenuAreRefusedAndAskedAgain)
{
    start(R"([{"menu": 4}, {"menu": "MAYBE"}, {"menu": 5}, {"menu": 1}])");
    int choice = 0;
    menuc("REDEFINE CONTOURS@ADD CONTOURS@DELETE CONTOURS@MODIFY PARAMS@@UPDATE   CONTOURS", choice);
    EXPECT_EQ(choice, 4);
    menuc("YES    @NO     ", choice);  // "MAYBE" and 5 refused, 1 taken
    EXPECT_EQ(choice, 1);
    const auto& events = control::transcript_events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_TRUE(events[1].refused);
    EXPECT_NE(events[1].answer.find("\"MAYBE\" is not one of"), std::string::npos);
    EXPECT_TRUE(events[2].refused);
    EXPECT_NE(events[2].answer.find("item 5 is not in the menu (2 items)"), std::string::npos);
    EXPECT_FALSE(events[3].refused);
}

TEST(ScriptAnswers, EmptyMenuItemIsRefused)
{
    start(R"([{"menu": 5}, {"menu": -1}])");
    int choice = 0;
    topopc("REDEFINE CONTOURS@ADD CONTOURS@DELETE CONTOURS@MODIFY PARAMS@@UPDATE   CONTOURS", choice);
    EXPECT_EQ(choice, -1);
    EXPECT_NE(control::transcript_events()[0].answer.find("item 5 is empty"), std::string::npos);
}

TEST(ScriptAnswers, TextLongerThanTheInputIsRefused)
{
    start(R"([{"text": "MUCH TOO LONG FOR IT"}, {"text": null}])");
    std::string text = "OLD";
    int count = 0;
    rtexts(4, text, count);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(text, "OLD");
    EXPECT_TRUE(control::transcript_events()[0].refused);
}

TEST(ScriptMismatch, StepOfAnotherKindEndsTheRunNamingBoth)
{
    start(R"([{"menu": 1}, {"question": "yes"}])");
    int answer = 0;
    const auto aborted = abort_of([&] { irepyc("STOP EXECUTION?", answer); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::script_mismatch);
    const std::string message = aborted->what();
    EXPECT_NE(message.find("test.json"), std::string::npos);
    EXPECT_NE(message.find("script mismatch"), std::string::npos);
    EXPECT_NE(message.find("step 1 answers a menu"), std::string::npos);
    EXPECT_NE(message.find("asks a question (irepyc) \"STOP EXECUTION?\""), std::string::npos);
    EXPECT_EQ(last_event().source, "aborted");
    EXPECT_EQ(control::events_left(), 2u);  // the step was not used
}

TEST(ScriptMismatch, UnmetExpectationEndsTheRun)
{
    start(R"([{"question": "yes", "expect": "OK TO DELETE"}])");
    int answer = 0;
    const auto aborted = abort_of([&] { irepyc("OK TO TRIM ?", answer); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::script_mismatch);
    EXPECT_NE(std::string(aborted->what()).find("expects \"OK TO DELETE\""), std::string::npos);
}

TEST(ScriptMismatch, StrictScriptEndsWhenItRunsOut)
{
    start(R"({"strict": true, "steps": [{"menu": 1}]})");
    EXPECT_TRUE(control::strict());
    int choice = 0;
    menuc("A@B", choice);
    const auto aborted = abort_of([&] { menuc("A@B", choice); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::script_mismatch);
    EXPECT_NE(std::string(aborted->what()).find("ended after step 1"), std::string::npos);
    control::set_strict(false);
    menuc("A@B", choice);
    EXPECT_EQ(choice, -1);
}

TEST(ScriptRules, RuleAnswersWhatTheStepsDoNot)
{
    start(R"({"steps": [{"menu": 2}],
              "rules": [{"question": "yes", "expect": "UPDATE PROCEDURE?"}]})");
    int answer = 0;
    irepyc("UPDATE PROCEDURE?", answer);  // the next step is a menu: the rule answers
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(last_event().source, "rule 1");
    int choice = 0;
    menuc("A@B", choice);
    EXPECT_EQ(choice, 2);
    irepyc("UPDATE PROCEDURE?", answer);  // the script ran out: still the rule
    EXPECT_EQ(answer, 1);
    irepyc("OK TO DELETE ?", answer);  // no rule for it: the exit answer
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(last_event().source, "default");
    EXPECT_EQ(control::default_answers_given(), 1);
}

TEST(ScriptRules, RefusedRuleEndsTheRun)
{
    start(R"({"steps": [], "rules": [{"menu": 9}]})");
    int choice = 0;
    const auto aborted = abort_of([&] { menuc("A@B", choice); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::script_mismatch);
    EXPECT_NE(std::string(aborted->what()).find("rule 1 gives a value the host refuses"), std::string::npos);
}

TEST(ScriptDefaults, EveryCallGetsItsExitAnswer)
{
    start("[]");
    int choice = 7, answer = 7, entity = 33, status = 7, key = -1, count = 7;
    menuc("A@B", choice);
    EXPECT_EQ(choice, -1);
    topopc("C@D", choice);
    EXPECT_EQ(choice, -1);
    irepyc("CONTINUE?", answer);
    EXPECT_EQ(answer, 0);
    msg_quest(331, 16, answer);
    EXPECT_EQ(answer, 0);
    pick(choice, entity);
    EXPECT_EQ(choice, -1);
    EXPECT_EQ(entity, 33);
    float point[3] = {4, 5, 6};
    getpt(point, 2, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(point[0], 4.0f);
    std::string text = "KEEP";
    rtexts(20, text, count);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(text, "KEEP");
    float offset = 1.5f;
    modint(-1, 22, 4, 0, status);
    modrc("OFFSET", offset, -500, 10000);
    modif1(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(offset, 1.5f);
    gupdat(key);
    EXPECT_EQ(key, -1);
    modkey(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(control::default_answers_given(), 8);  // key polls are no events
    for (const auto& e : control::transcript_events()) EXPECT_EQ(e.source, "default");
}

TEST(ScriptDefaults, BudgetOfExitAnswersEndsTheRun)
{
    start(R"([{"menu": 1}])");
    int choice = 0;
    menuc("FIRST@SECOND", choice);
    for (int i = 1; i <= control::kDefaultAnswerBudget; ++i) {
        menuc("MENU " + std::to_string(i) + "@B", choice);  // all different: no repeat
        ASSERT_EQ(choice, -1);
    }
    const auto aborted = abort_of([&] { menuc("ONE MORE@B", choice); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::default_budget);
    EXPECT_NE(std::string(aborted->what()).find("\"ONE MORE@B\""), std::string::npos);
    EXPECT_EQ(control::default_answers_given(), control::kDefaultAnswerBudget);
}

TEST(ScriptDefaults, RepeatedIdenticalEventsEndTheRun)
{
    start("[]");
    int answer = 0;
    for (int i = 0; i < control::kRepeatLimit; ++i) irepyc("CONTINUE?", answer);
    const auto aborted = abort_of([&] { irepyc("CONTINUE?", answer); });
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->reason, control::abort_reason::repeated_event);
    EXPECT_NE(std::string(aborted->what()).find("20 times in a row"), std::string::npos);
}

TEST(ScriptDefaults, AnotherEventOrAnswerBreaksTheRepeatRun)
{
    std::string steps = "[";
    for (int i = 0; i < 60; ++i) steps += std::string(i ? "," : "") + R"({"question": )" + (i % 3 ? "1" : "0") + "}";
    start(steps + "]");
    int answer = 0;
    for (int i = 0; i < 60; ++i) irepyc("CONTINUE?", answer);  // answers differ every third time
    EXPECT_EQ(control::events_left(), 0u);
}

TEST(ScriptKeys, KeyStepWaitsItsPollsAndOtherPollsSeeNoKey)
{
    start(R"([{"key": "SPACE", "after": 2}, {"menu": 1}, {"key": 27}])");
    int key = -1;
    gupdat(key);
    gupdat(key);
    EXPECT_EQ(key, -1);
    gupdat(key);
    EXPECT_EQ(key, 32);
    modkey(key);  // the next step is a menu: no key, no mismatch
    EXPECT_EQ(key, 0);
    int choice = 0;
    menuc("EXECUTION:RESUME@EXECUTION:STOP", choice);
    modkey(key);
    EXPECT_EQ(key, 27);
    EXPECT_EQ(control::transcript_events().size(), 3u);
    EXPECT_EQ(control::call_count("gupdat"), 3);
}

TEST(ScriptLoad, MalformedScriptsNameTheFileAndThePlace)
{
    const struct {
        const char* script;
        const char* place;
    } rows[] = {
        {"[\n  {\"menu\": 1},\n  {\"menu\" 2}\n]", "bad.json: not valid JSON at line 3, column"},
        {R"([{"menu": 1}, {"menu": 0}])", "bad.json: step 2: \"menu\" must be"},
        {R"([{"question": "perhaps"}])", "step 1: \"question\" must be"},
        {R"([{"menu": 1, "question": "yes"}])", "step 1: two answers"},
        {R"([{"menu": 1, "expekt": "X"}])", "step 1: unknown key \"expekt\""},
        {R"([{"comment": "nothing"}])", "step 1: no answer"},
        {R"([{"page": [{"line": 0}, {"line": 2}]}])", "step 1: page line 0"},
        {R"([{"page": {"line": 3, "value": true}}])", "step 1: \"value\" must be"},
        {R"([{"page": []}])", "step 1: \"page\" must not be empty"},
        {R"([{"pick": 0}])", "step 1: \"pick\" must be"},
        {R"([{"point": [1]}])", "step 1: \"point\" must have two or three"},
        {R"([{"point": [1, "y"]}])", "step 1: a coordinate"},
        {R"([{"key": "F13"}])", "step 1: unknown key \"F13\""},
        {R"([{"menu": 1, "after": 3}])", "step 1: \"after\" belongs to key steps"},
        {R"([{"text": 5}])", "step 1: \"text\" must be"},
        {R"({"steps": [], "rules": [{"key": "SPACE"}]})", "rule 1: a key cannot be a rule"},
        {R"({"rules": []})", "script: the object has no \"steps\""},
        {R"({"steps": [], "strict": 1})", "script: \"strict\" must be"},
        {R"("menu")", "script: a script is an array"},
    };
    for (const auto& row : rows) {
        control::reset();
        const std::string error = part_error_of(row.script);
        EXPECT_NE(error.find(row.place), std::string::npos) << row.script << "\n -> " << error;
    }
}

TEST(ScriptLoad, FaultyScriptLeavesTheInstalledOneAndFilesLoad)
{
    start(R"([{"menu": 2}])");
    EXPECT_FALSE(part_error_of(R"([{"menu": -7}])").empty());
    EXPECT_EQ(control::events_left(), 1u);
    EXPECT_THROW(control::load_script("/nonexistent/script.json"), control::part_error);

    const std::string path = ::testing::TempDir() + "script_test_load.json";
    std::ofstream(path) << R"([{"question": "no"}, {"menu": 1}])";
    control::load_script(path);
    EXPECT_EQ(control::events_left(), 2u);
    int answer = 1;
    irepyc("DELETE CONTOUR ?", answer);
    EXPECT_EQ(answer, 0);
    const std::vector<std::string> report = control::end_report();
    bool reported = false;
    for (const std::string& line : report)
        reported = reported || line.find(path + ": 1 step not used, the first is step 2 (menu)") != std::string::npos;
    EXPECT_TRUE(reported);
    std::remove(path.c_str());
}

// ---- parameter pages --------------------------------------------------------------------------

namespace {

// The page of a contour: offset and draft angle fields, the contour type from a host list, and a
// cycling part/stock choice, with a blank line between.
struct contour_page {
    float offset = 0.0f;
    float draft = 0.0f;
    word type = 2;
    int part_stock = 1;
    int count = 1;

    void build()
    {
        int status = 0;
        modint(-1, 22, 4, 0, status);
        modrc("OFFSET", offset, -500, 10000);                                // line 1
        modrc("DRAFT ANGLE", draft, 0, 89);                                  // line 2
        nu_mod_exec(4, 1313, 1313, type, 0, 0, status);                      // line 3
        modumc(" ", 1);                                                      // line 4
        modmc("PART                 >@STOCK                >", part_stock);  // line 5
        modic("COUNT", count, 1, 10000);                                     // line 6
        modmc("MANUAL EDIT", count);                                         // line 7
    }
};

int run_page()
{
    int status = 99;
    modif1(status);
    return status;
}

}  // namespace

TEST(ScriptPages, EditsApplyInOrderAndTheLastLineAnswers)
{
    start(R"([
        {"page": [{"line": 1, "value": 2.5}, {"line": 2, "value": 15}, {"line": 5, "value": "STOCK"},
                  {"line": 3, "value": 6}, {"line": 6, "value": 5}, {"line": 0}]},
        {"page": {"line": 5}},
        {"page": 7},
        {"page": -2}
    ])");
    contour_page p;
    p.build();
    EXPECT_EQ(run_page(), 0);
    EXPECT_FLOAT_EQ(p.offset, 2.5f);
    EXPECT_FLOAT_EQ(p.draft, 15.0f);
    EXPECT_EQ(p.type, 6);
    EXPECT_EQ(p.part_stock, 2);
    EXPECT_EQ(p.count, 5);
    EXPECT_EQ(run_page(), 5);  // selecting the cycling choice moves it on, round to the first
    EXPECT_EQ(p.part_stock, 1);
    EXPECT_EQ(run_page(), 7);  // a text line is chosen, nothing changes
    EXPECT_EQ(p.count, 5);
    EXPECT_EQ(run_page(), -2);
    const auto& events = control::transcript_events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, "page");
    EXPECT_NE(events[0].text.find("1 OFFSET = 0 [-500, 10000] | 2 DRAFT ANGLE = 0 [0, 89]"), std::string::npos);
    EXPECT_NE(events[0].text.find("4 (blank)"), std::string::npos);
    EXPECT_NE(events[0].answer.find("line 1 = 2.5, line 2 = 15, line 3 = 6"), std::string::npos);
    EXPECT_NE(events[0].answer.find("line 5 = 2 (STOCK)"), std::string::npos);
}

TEST(ScriptPages, ValuesOutsideTheFieldAreRefusedAndThePageAskedAgain)
{
    const struct {
        const char* entry;
        const char* reason;
    } rows[] = {
        {R"({"line": 1, "value": 10000.5})", "line 1: 10000.5 is above the upper limit 10000"},
        {R"({"line": 1, "value": -501})", "line 1: -501 is below the lower limit -500"},
        {R"({"line": 1, "value": "ONE"})", "line 1: the field takes a number"},
        {R"({"line": 2, "value": 90})", "line 2: 90 is above the upper limit 89"},
        {R"({"line": 3, "value": 0})", "line 3: choice 0 does not exist"},
        {R"({"line": 3, "value": 1.5})", "line 3: the field takes an integer"},
        {R"({"line": 4})", "line 4 is blank"},
        {R"({"line": 5, "value": "GUIDE"})", "line 5: \"GUIDE\" is not one of the choices"},
        {R"({"line": 5, "value": 3})", "line 5: choice 3 does not exist"},
        {R"({"line": 6, "value": 10001})", "line 6: 10001 is above the upper limit 10000"},
        {R"({"line": 6, "value": 2.5})", "line 6: the field takes an integer"},
        {R"({"line": 7, "value": 1})", "line 7 takes no value"},
        {R"({"line": 8})", "line 8 is not on the page (7 lines)"},
    };
    for (const auto& row : rows) {
        // A valid edit before the refused one is not applied either: the answer is refused whole.
        start(std::string(R"([{"page": [{"line": 1, "value": 7}, )") + row.entry + R"(]}, {"page": 0}])");
        contour_page p;
        p.build();
        EXPECT_EQ(run_page(), 0) << row.entry;
        EXPECT_FLOAT_EQ(p.offset, 0.0f) << row.entry;
        EXPECT_FLOAT_EQ(p.draft, 0.0f) << row.entry;
        EXPECT_EQ(p.type, 2) << row.entry;
        EXPECT_EQ(p.part_stock, 1) << row.entry;
        EXPECT_EQ(p.count, 1) << row.entry;
        const auto& events = control::transcript_events();
        ASSERT_EQ(events.size(), 2u) << row.entry;
        EXPECT_TRUE(events[0].refused);
        EXPECT_EQ(events[0].source, "script step 1");
        EXPECT_EQ(events[0].answer, std::string("refused: ") + row.reason) << row.entry;
        EXPECT_EQ(events[1].source, "script step 2");
    }
}

TEST(ScriptPages, LimitsHoldAtTheirEdgesInSinglePrecision)
{
    start(R"([{"page": [{"line": 1, "value": 99999.9}, {"line": 2, "value": -99999.9}, {"line": 0}]}])");
    float x = 0, y = 0;
    int status = 0;
    modint(-1, 22, 4, 0, status);
    modrc("X", x, -99999.9f, 99999.9f);
    modrc("Y", y, -99999.9f, 99999.9f);
    EXPECT_EQ(run_page(), 0);
    EXPECT_EQ(x, 99999.9f);
    EXPECT_EQ(y, -99999.9f);
}

TEST(ScriptPages, ParameterFieldsKeepTheirKindInTheWord)
{
    start(R"([{"page": [{"line": 1, "value": 0.25}, {"line": 2, "value": 12}, {"line": 3, "value": "KQ47"},
                        {"line": 4, "value": -3}, {"line": 0}]},
              {"page": [{"line": 1, "value": 100000}, {"line": 0}]},
              {"page": [{"line": 3, "value": "A NAME LONGER THAN 20"}, {"line": 0}]}])");
    word side_step = real_to_word(0.1f), passes = 1, free = 0;
    word key[5] = {};  // a text field: 20 characters in five words
    int status = 0;
    modint(-1, 28, 4, 0, status);
    nu_mod_exec(2, 26, 3209, side_step, 0.0001f, 99999.0f, status);
    EXPECT_EQ(status, 0);
    nu_mod_exec(1, 225, -1, passes, 0, 100, status);
    nu_mod_exec(7, 40, -1, key[0], 0, 0, status);
    nu_mod_exec(1, 41, -1, free, 0, 0, status);  // both limits 0: no limits
    EXPECT_EQ(run_page(), 0);
    EXPECT_FLOAT_EQ(word_to_real(side_step), 0.25f);
    EXPECT_EQ(passes, 12);
    EXPECT_EQ(word_to_text4(key[0]), "KQ47");
    for (int k = 1; k < 5; ++k) EXPECT_EQ(word_to_text4(key[k]), "    ");
    EXPECT_EQ(free, -3);
    EXPECT_EQ(run_page(), -1);  // two refusals, then the script has run out
    EXPECT_FLOAT_EQ(word_to_real(side_step), 0.25f);
    const auto& events = control::transcript_events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_TRUE(events[1].refused);
    EXPECT_TRUE(events[2].refused);
    EXPECT_NE(events[2].answer.find("at most 20 characters"), std::string::npos);
    EXPECT_EQ(events[3].source, "default");

    nu_mod_exec(6, 1, -1, free, 0, 0, status);
    EXPECT_EQ(status, -1);  // an unknown kind places nothing
    EXPECT_EQ(control::page_lines().size(), 4u);
}

TEST(ScriptPages, ModintAndModinzStartAnEmptyPage)
{
    start("[]");
    int status = 0, value = 1;
    modint(-1, 22, 4, 0, status);
    modmc("A@B", value);
    modumc(" ", 1);
    ASSERT_EQ(control::page_lines().size(), 2u);
    EXPECT_EQ(control::page_lines()[0], "1 A@B = 1 (A)");
    modinz();
    EXPECT_TRUE(control::page_lines().empty());
    modmc("TITLE", value);
    modint(0, 0, 0, 0, status);
    EXPECT_TRUE(control::page_lines().empty());
}

// An action of a page (after modcom) may clear the menu state around a question of its own: the
// page stays built to be shown again, until the action places a line of a page of its own.
TEST(ScriptPages, PageClosedForItsActionOutlivesModinzUntilANewLine)
{
    start(R"([{"page": 1}, {"question": "yes"}, {"page": 2, "expect": "2 LIST"}, {"page": 0}])");
    int status = 0, first = 1, second = 1;
    modint(-1, 22, 4, 0, status);
    modmc("SHOW", first);
    modmc("LIST", second);
    EXPECT_EQ(run_page(), 1);
    modcom(status);
    modinz();
    int answer = 0;
    irepyc("OVERWRITE?", answer);
    modinz();
    EXPECT_EQ(control::page_lines(), (std::vector<std::string>{"1 SHOW", "2 LIST"}));
    EXPECT_EQ(run_page(), 2);
    modcom(status);
    modinz();
    modmc("OWN", first);
    EXPECT_EQ(control::page_lines(), std::vector<std::string>{"1 OWN"});
    EXPECT_EQ(run_page(), 0);
    modinz();  // the page ran again: modinz clears it
    EXPECT_TRUE(control::page_lines().empty());
}
