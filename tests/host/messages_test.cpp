// Host messages: every channel records its text exactly and the line a user sees, in order;
// length-bounded calls never read past their count or a terminator; the log is bounded.
#include "host/control.hpp"
#include "host/core/message_log.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

using vantu::control::message;

class HostMessages : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
    void TearDown() override { vantu::control::reset(); }
};

// A heap copy of text with its terminator and nothing after it, so a read past the terminator
// is an overrun the sanitizer build reports.
std::unique_ptr<char[]> exact_copy(const char* text)
{
    std::size_t n = std::strlen(text) + 1;
    auto copy = std::make_unique<char[]>(n);
    std::memcpy(copy.get(), text, n);
    return copy;
}

}  // namespace

TEST_F(HostMessages, EveryChannelRecordsTextAndLineInOrder)
{
    struct row {
        std::function<void()> send;
        message expected;
    };
    const std::string dashes(79, '-');
    const std::vector<row> rows = {
        {[] { eroutc("TPSKIP,ERRORS IN LIST", 0); }, {"eroutc", "TPSKIP,ERRORS IN LIST", "TPSKIP,ERRORS IN LIST"}},
        {[] { erou1c("INITMC, FOR CODE=", 5); }, {"erou1c", "INITMC, FOR CODE=", "INITMC, FOR CODE= 5"}},
        {[] { erou1c("[tpget] where = ", -7); }, {"erou1c", "[tpget] where = ", "[tpget] where = -7"}},
        {[] { errout("INSMSG, ERRORS IN LIST", 0, 22); },
         {"errout", "INSMSG, ERRORS IN LIST", "INSMSG, ERRORS IN LIST"}},
        {[] { userrc("ERROR    : NO CONTOUR"); }, {"userrc", "ERROR    : NO CONTOUR", "ERROR    : NO CONTOUR"}},
        {[] { user1c("NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED", 'I', 199, ""); },
         {"user1c", "NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED", "NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED 199"}},
        {[] { user1c("ONLY", 'I', 15001, "POINTS PER PASS ARE AVAILABLE"); },
         {"user1c", "ONLY", "ONLY 15001 POINTS PER PASS ARE AVAILABLE"}},
        {[] { user1c("WARNING: TYPE OF OUTER CONTOUR ", 'I', 3, "WAS CHANGED FROM STOCK TO PART"); },
         {"user1c", "WARNING: TYPE OF OUTER CONTOUR ",
          "WARNING: TYPE OF OUTER CONTOUR 3 WAS CHANGED FROM STOCK TO PART"}},
        {[] { user1c("HOLDER NO. 1 - bottom diameter should be greater than", 'R', 12.5, ""); },
         {"user1c", "HOLDER NO. 1 - bottom diameter should be greater than",
          "HOLDER NO. 1 - bottom diameter should be greater than 12.5000"}},
        {[] { user1c("DIAMETER", 'U', 0.0001, "MM"); }, {"user1c", "DIAMETER", "DIAMETER 0.0001 MM"}},
        {[] { user1c("COUNT", 'I', 2.6, ""); }, {"user1c", "COUNT", "COUNT 3"}},
        {[] { usmsgc("ATTENTION: CHECK"); }, {"usmsgc", "ATTENTION: CHECK", "ATTENTION: CHECK"}},
        {[] { usms1c("", 20, " PASSES COMPLETED. BACKUP STARTING"); },
         {"usms1c", "20 PASSES COMPLETED. BACKUP STARTING", "20 PASSES COMPLETED. BACKUP STARTING"}},
        {[] { shmsgc("WARNING  : LOW"); }, {"shmsgc", "WARNING  : LOW", "WARNING  : LOW"}},
        {[&dashes] { shlmsg(dashes.c_str(), 79); }, {"shlmsg", dashes, dashes}},
        {[] { prmptc("INDICATE CONTOUR"); }, {"prmptc", "INDICATE CONTOUR", "INDICATE CONTOUR"}},
        {[] { msg_mdls(319, 30); },
         {"msg_mdls", "319/30", "message 319/30 WARNING: THE ORIGIN OF THE PROCEDURE IS NOT FOUND"}},
        {[] {
             const double z[] = {-2.5};
             msg_mdls(331, 41, {}, z);
         },
         {"msg_mdls", "331/41", "message 331/41 -2.5000"}},
        {[] { msg_prompt(319, 0); }, {"msg_prompt", "319/0", "prompt 319/0"}},
        {[] { shms1c("pass 3 done"); }, {"shms1c", "pass 3 done", "pass 3 done"}},
        {[] { dbg_printf("pkdm_alloc: %d requested, Buffer %d allocated: %d\n", 1000, 0, 1024); },
         {"dbg_printf", "pkdm_alloc: 1000 requested, Buffer 0 allocated: 1024\n",
          "pkdm_alloc: 1000 requested, Buffer 0 allocated: 1024"}},
    };
    for (const row& r : rows) r.send();

    const std::vector<message>& log = vantu::control::messages();
    ASSERT_EQ(log.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i) + " on " + rows[i].expected.channel);
        EXPECT_EQ(log[i].channel, rows[i].expected.channel);
        EXPECT_EQ(log[i].text, rows[i].expected.text);
        EXPECT_EQ(log[i].line, rows[i].expected.line);
    }
    EXPECT_EQ(vantu::control::texts_of("erou1c"), (std::vector<std::string>{"INITMC, FOR CODE=", "[tpget] where = "}));
    EXPECT_EQ(vantu::control::lines_of("msg_mdls"),
              (std::vector<std::string>{"message 319/30 WARNING: THE ORIGIN OF THE PROCEDURE IS NOT FOUND",
                                        "message 331/41 -2.5000"}));
}

TEST_F(HostMessages, CountedTextsAreBoundedByCountAndTerminator)
{
    struct row {
        const char* what;
        const char* text;
        int count;
        std::string expected;
    };
    const row rows[] = {
        {"count shorter than the text", "ABCDEFGHIJ", 4, "ABCD"},
        {"count equal to the text", "ABCDE", 5, "ABCDE"},
        {"count beyond the terminator", "ABCDE", 100, "ABCDE"},
        {"absurd count", "XY", 2147483647, "XY"},
        {"zero count", "ABCDE", 0, ""},
        {"negative count", "ABCDE", -3, ""},
        {"empty text", "", 10, ""},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        vantu::control::clear_messages();
        auto text = exact_copy(r.text);
        errout(text.get(), 0, r.count);
        shlmsg(text.get(), r.count);
        EXPECT_EQ(vantu::control::texts_of("errout"), std::vector<std::string>{r.expected});
        EXPECT_EQ(vantu::control::texts_of("shlmsg"), std::vector<std::string>{r.expected});
    }
    vantu::control::clear_messages();
    errout(nullptr, 0, 10);
    shlmsg(nullptr, 10);
    EXPECT_EQ(vantu::control::texts_of("errout"), std::vector<std::string>{""});
    EXPECT_EQ(vantu::control::texts_of("shlmsg"), std::vector<std::string>{""});
}

TEST_F(HostMessages, UnknownValueKindIsWrittenAsARealAndReported)
{
    user1c("VALUE", 'Q', 2.0, "");
    EXPECT_EQ(vantu::control::lines_of("user1c"), std::vector<std::string>{"VALUE 2.0000"});
    EXPECT_EQ(vantu::control::texts_of("host_error"),
              std::vector<std::string>{"user1c, UNKNOWN VALUE KIND 'Q', WRITTEN AS A REAL"});
}

TEST_F(HostMessages, OtherComponentsRecordAndResetClears)
{
    vantu::record_message("question", "OK TO EXECUTE?", "OK TO EXECUTE? yes");
    eroutc("ONE", 0);
    EXPECT_EQ(vantu::control::texts_of("question"), std::vector<std::string>{"OK TO EXECUTE?"});
    EXPECT_EQ(vantu::control::lines_of("question"), std::vector<std::string>{"OK TO EXECUTE? yes"});
    EXPECT_EQ(vantu::control::messages()[1].text, "ONE");
    vantu::control::clear_messages();
    EXPECT_TRUE(vantu::control::messages().empty());
    eroutc("TWO", 0);
    vantu::control::reset();
    EXPECT_TRUE(vantu::control::messages().empty());
}

TEST_F(HostMessages, LogIsBoundedAndReportsWhatItDropped)
{
    for (std::size_t i = 0; i < vantu::control::kMaxMessages + 3; ++i) shms1c("x");
    EXPECT_EQ(vantu::control::messages().size(), vantu::control::kMaxMessages);
    std::vector<std::string> report = vantu::control::end_report();
    const std::string expected = "3 messages dropped beyond the first " + std::to_string(vantu::control::kMaxMessages);
    EXPECT_NE(std::find(report.begin(), report.end(), expected), report.end());
}
