// Post-processor messages and codes: insertion at the list position and before a target
// procedure, the walk through them (next, previous, the ends), deletion, replacement, the shown
// width, refused stored texts and the one-time blanking of a procedure.
#include "motion_output_support.hpp"

#include "host/control/datamenu.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/script.hpp"
#include "host/control/textarea.hpp"
#include "toolpath/pp_messages.hpp"

#include <cstring>

using namespace motion_test;

namespace {

void append_line(const std::vector<word>& words)
{
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(words.size()), words.data(), status);
    lclos(status);
}

std::vector<word> text_block(int number, const std::string& text, int count = -1)
{
    const int chars = count < 0 ? static_cast<int>(text.size()) : count;
    std::vector<word> words{4, number, chars};
    std::string padded = text;
    padded.resize(static_cast<std::size_t>(std::max(chars, 1) + 3) / 4 * 4, ' ');
    for (std::size_t i = 0; i < padded.size(); i += 4) {
        word w = 0;
        std::memcpy(&w, padded.data() + i, 4);
        words.push_back(w);
    }
    return words;
}

// A tool path of a header, procedures (P) and messages (" text", "$code"...) in the order given;
// the list stands on its last block.
void tool_path(const std::vector<std::string>& blocks)
{
    append_line({0, 1});
    int number = 2;
    for (const std::string& b : blocks) {
        if (b == "P")
            append_line({12, number});
        else
            append_line(text_block(number, b));
        ++number;
    }
    int length = 0;
    lacces(3, length);
}

// The top list as "P" for procedures and the text of messages, after the header.
std::vector<std::string> blocks()
{
    std::vector<std::string> out;
    for (const std::string& s : steps()) {
        if (s == "B0") continue;
        out.push_back(s == "B12" ? "P" : s.substr(1));
    }
    return out;
}

void run_script(const char* json) { vantu::control::load_script_text(json, "messages"); }

}  // namespace

TEST_F(MotionOutput, MessagesInsertedWhereAsked)
{
    struct row {
        const char* name;
        int target_select;
        int target;
        std::vector<std::string> before;
        const char* script;
        std::vector<std::string> after;
        int entered;
    };
    const row rows[] = {
        {"a code with sequence number at the end",
         0,
         0,
         {"P"},
         R"([{"menu": "SEQ. CODE"}, {"text": "G01"}])",
         {"P", "$G01"},
         1},
        {"several at the same place, in order",
         0,
         0,
         {"P"},
         R"([{"menu": 1}, {"text": "ONE"}, {"menu": "USER DEF."}, {"text": "TWO"}])",
         {"P", " ONE", "@TWO"},
         1},
        {"before procedure 3 and the messages there",
         1,
         3,
         {"P", "P", " OLD", "P"},
         R"([{"page": 3}, {"page": 5}, {"menu": "NO SEQ.CODE"}, {"text": "M30"}])",
         {"P", "P", "*M30", " OLD", "P"},
         1},
        {"beyond the last procedure",
         1,
         9,
         {"P", "P"},
         R"([{"page": 3}, {"page": 4}, {"menu": 1}, {"text": "END"}])",
         {"P", "P", " END"},
         1},
        {"nothing typed writes nothing", 0, 0, {"P"}, R"([{"menu": 1}, {"text": ""}])", {"P"}, 0},
        {"a cancel selects the target again",
         1,
         1,
         {"P"},
         R"([{"page": 3}, {"page": 5}, {"menu": -2}, {"page": 3}, {"page": 5}, {"menu": 1}, {"text": "X"}])",
         {" X", "P"},
         1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at({0, 0, 0});
        tool_path(r.before);
        msg_dialog().target_start = r.target;
        run_script(r.script);
        int entered = -1, status = 0;
        INSMSG(r.target_select, entered, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(entered, r.entered);
        EXPECT_EQ(blocks(), r.after);
        if (r.entered == 1) {
            EXPECT_EQ(vantu::control::text_area_row(1), " (ENTERED)") << "from the area's column 2";
        }
    }
    EXPECT_EQ(vantu::control::dynamic_menu_entries(),
              (std::vector<std::string>{"MESSAGE    ", "SEQ. CODE  ", "NO SEQ.CODE", "USER DEF.  "}));
    // The count written is the typed length + 1.
    fresh_at({0, 0, 0});
    tool_path({"P"});
    run_script(R"([{"menu": 2}, {"text": "G01 X5"}])");
    int entered = 0, status = 0;
    INSMSG(0, entered, status);
    const auto& line = vantu::control::toolpath_top().back().words;
    EXPECT_EQ(line[2], 7);
}

TEST_F(MotionOutput, MessagesWalkedDeletedAndReplaced)
{
    struct row {
        const char* name;
        std::vector<std::string> before;
        const char* script;
        std::vector<std::string> shown;  // dsptx7 and drtext lines, in order
        std::vector<std::string> after;
        std::vector<std::string> told;  // usrerr
    };
    const row rows[] = {
        {"next, next, past the end, ignored, previous",
         {" A", "P", "$B", "P"},
         R"([{"menu": "GET NEXT"}, {"menu": "GET NEXT"}, {"menu": "GET NEXT"}, {"menu": "GET NEXT"}, {"menu": "GET PREV"}])",
         {"2 MSG=A", "4 SCD=B", "LAST MESSAGE EXCEEDED", "4 SCD=B"},
         {" A", "P", "$B", "P"},
         {}},
        {"previous before the first",
         {"P", " A"},
         R"([{"menu": "GET PREV"}])",
         {"FIRST MESSAGE EXCEEDED"},
         {"P", " A"},
         {}},
        {"deleting the only message ends the edit",
         {"P", "*C", "P"},
         R"([{"menu": "GET NEXT"}, {"menu": "DELETE"}, {"menu": "GET NEXT"}])",
         {"3 COD=C"},
         {"P", "P"},
         {"NO MORE MESSAGES OR CODES FOUND"}},
        {"replacing in place, then the next shown",
         {" A", " B"},
         R"([{"menu": "GET NEXT"}, {"menu": "REPLACE"}, {"menu": "SEQ. CODE"}, {"text": "NEW"}])",
         {"2 MSG=A", "SCD=", "3 MSG=B"},
         {"$NEW", " B"},
         {}},
        {"no message at all", {"P"}, R"([])", {}, {"P"}, {"NO MESSAGES FOUND"}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at({0, 0, 0});
        tool_path(r.before);
        run_script(r.script);
        int status = 0;
        EDTMSG(status);
        EXPECT_EQ(status, 0);
        std::vector<std::string> shown;
        for (const auto& m : vantu::control::messages())
            if (m.channel == "dsptx7" || m.channel == "drtext") shown.push_back(m.text);
        EXPECT_EQ(shown, r.shown);
        EXPECT_EQ(blocks(), r.after);
        EXPECT_EQ(texts("usrerr"), r.told);
    }
}

TEST_F(MotionOutput, MessageWidthAndRefusedTexts)
{
    // Block 1234 in an area 40 wide: the label and at most 30 characters of the text.
    tool_path({});
    append_line(text_block(1234, " " + std::string(60, 'X')));
    int length = 0, current = -1, status = 0;
    lacces(3, length);
    msg_show_next(1, 1, 1, 40, current, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current, 1234);
    EXPECT_EQ(texts("dsptx7"), std::vector<std::string>{"1234 MSG=" + std::string(30, 'X')});
    // An area narrower than the number and its margin shows the label alone.
    current = -1;
    msg_show_next(1, 1, 1, 6, current, status);
    EXPECT_EQ(texts("dsptx7").back(), "1234 MSG=");

    // A stored count outside 2 to 80 stops the search with -1.
    for (int count : {1, 81}) {
        fresh_at({0, 0, 0});
        tool_path({"P"});
        append_line(text_block(9, " TOO", count));
        lacces(3, length);
        current = -1;
        msg_show_next(1, 1, 1, 40, current, status);
        EXPECT_EQ(status, -1) << count;
        EXPECT_EQ(current, -1);
    }
    fresh_at({0, 0, 0});
    tool_path({" A"});
    append_line(text_block(9, " TOO", 81));
    run_script(R"([{"menu": "GET NEXT"}, {"menu": "GET NEXT"}])");
    EDTMSG(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(texts("errout"), std::vector<std::string>{"EDTMSG, ERRORS IN LIST"});
}

TEST_F(MotionOutput, ProcedureBlankedOnce)
{
    EDA2() = edit_state{};
    EDA2().word_no(1) = 1;
    EDA2().word_no(2) = 3;
    int status = 0;
    mdputc("EDA2", edit_state::kWords, EDA2().words.data(), status);
    EDA2() = edit_state{};
    vantu::control::set_tracing(true);
    for (int call = 0; call < 2; ++call) {
        int request = 1, second = 5;
        msg_blank_apply(request, second);
        EXPECT_EQ(request, 0);
        EXPECT_EQ(second, 0);
    }
    EXPECT_EQ(vantu::control::call_count("ncd_set_block_or_proc_blank"), 1);
    word saved[20] = {};
    mdgetc("EDA2", 20, saved, status);
    EXPECT_EQ(saved[10], 1);
    EDA2() = edit_state{};
}
