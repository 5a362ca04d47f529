// Host module data: a missing key leaves the caller's block untouched, reads never write past
// what the caller asked for, keys are blank-padded or refused, and records survive a part-file
// round trip word for word (hand-written reals and texts included).
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <nlohmann/json.hpp>

namespace {

using namespace vantu::control;

constexpr word kSentinel = 0x5A5A5A5A;

class HostModuleData : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
};

void put(std::string_view key, const std::vector<word>& words, int kind = 1)
{
    int status = 99;
    mdputn(key, kind, static_cast<int>(words.size()), words.data(), status);
    ASSERT_EQ(status, 0);
}

}  // namespace

TEST_F(HostModuleData, MissingKeyAnswersOneAndLeavesTheBlockUntouched)
{
    std::array<word, 4> block;
    block.fill(kSentinel);
    int status = 0;
    mdget("NPRC", block.data(), 4, status);
    EXPECT_EQ(status, 1);
    mdgetn("UITR", 1, 4, block.data(), status);
    EXPECT_EQ(status, 1);
    mdgetc("EDA2", 4, block.data(), status);
    EXPECT_EQ(status, 1);
    for (word w : block) EXPECT_EQ(w, kSentinel);
    EXPECT_TRUE(texts_of("host_error").empty()) << "a missing record is an answer, not an error";
}

TEST_F(HostModuleData, ReadsNeverWriteMoreThanAskedNorMoreThanStored)
{
    put("KQ47", {1, 2, 3, 4, 5});
    struct row {
        const char* what;
        int asked;
        int written;  // words the read must write; the rest stays kSentinel
    };
    const row rows[] = {
        {"capacity below the record", 3, 3},
        {"capacity equal to the record", 5, 5},
        {"record shorter than asked", 8, 5},
        {"nothing asked", 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        for (int read = 0; read < 3; ++read) {
            std::array<word, 10> block;
            block.fill(kSentinel);
            int status = 99;
            if (read == 0) mdget("KQ47", block.data(), r.asked, status);
            if (read == 1) mdgetn("KQ47", 1, r.asked, block.data(), status);
            if (read == 2) mdgetc("KQ47", r.asked, block.data(), status);
            EXPECT_EQ(status, 0);
            for (int i = 0; i < 10; ++i) EXPECT_EQ(block[i], i < r.written ? i + 1 : kSentinel) << "word " << i;
        }
    }
}

TEST_F(HostModuleData, KeysAreBlankPaddedAndBadKeysOrCountsRefused)
{
    put("AB", {7});
    EXPECT_EQ(get_record("AB  "), std::vector<word>{7});
    word w = 0;
    int status = 99;
    mdget("AB  ", &w, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(record_keys(), std::vector<std::string>{"AB  "});

    struct row {
        const char* what;
        std::function<void(int&)> call;
    };
    word block[2] = {kSentinel, kSentinel};
    const std::vector<row> rows = {
        {"key of five characters on read", [&](int& s) { mdget("ABCDE", block, 2, s); }},
        {"key of five characters on write", [&](int& s) { mdputn("ABCDE", 1, 1, block, s); }},
        {"empty key", [&](int& s) { mdputc("", 1, block, s); }},
        {"negative capacity", [&](int& s) { mdget("AB", block, -1, s); }},
        {"null block with words asked", [&](int& s) { mdgetn("AB", 1, 2, nullptr, s); }},
        {"negative count on write", [&](int& s) { mdptnc("AB", 3, -2, block, s); }},
        {"absurd count on write", [&](int& s) { mdputn("AB", 3, kMaxRecordWords + 1, block, s); }},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        clear_messages();
        int s = 0;
        r.call(s);
        EXPECT_EQ(s, -1);
        EXPECT_EQ(texts_of("host_error").size(), 1u);
    }
    EXPECT_EQ(block[0], kSentinel);
    EXPECT_EQ(get_record("AB"), std::vector<word>{7}) << "refused writes change nothing";
    EXPECT_FALSE(get_record("ABCDE").has_value());
}

TEST_F(HostModuleData, WritesReplaceRecordsWithTheirKind)
{
    const word first[3] = {1, 2, 3};
    const word second[2] = {9, 8};
    int status = 99;
    mdputn("EDA2", 1, 3, first, status);
    mdptnc("EDA2", 3, 2, second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(get_record("EDA2"), (std::vector<word>{9, 8}));
    EXPECT_EQ(record_kind("EDA2"), 3);
    mdputc("CLP1", 2, first, status);
    EXPECT_EQ(record_kind("CLP1"), kPlainRecordKind);
    mdputn("NONE", 1, 0, nullptr, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(get_record("NONE"), std::vector<word>{}) << "an empty record exists";

    inject_fault("mdputn", 1, 1, -5);
    mdputn("EDA2", 1, 3, first, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(get_record("EDA2"), (std::vector<word>{9, 8})) << "a failed write keeps the old record";
}

TEST_F(HostModuleData, PartRoundTripKeepsEveryWord)
{
    word twin[2];
    double_to_words(-2.25, twin);
    put("KQ47", {0, -1, INT32_MIN, INT32_MAX, real_to_word(0.1f), real_to_word(-1e30f), twin[0], twin[1]}, 1);
    put("PPN4", {text4_to_word("NAME"), text4_to_word("X")}, 3);
    put("NPRC", {}, 7);
    const std::string saved = save_part_text();

    reset();
    EXPECT_FALSE(get_record("KQ47").has_value());
    load_part_text(saved, "round trip");
    EXPECT_EQ(save_part_text(), saved);
    EXPECT_EQ(get_record("KQ47"), (std::vector<word>{0, -1, INT32_MIN, INT32_MAX, real_to_word(0.1f),
                                                     real_to_word(-1e30f), twin[0], twin[1]}));
    EXPECT_EQ(record_kind("PPN4"), 3);
    EXPECT_EQ(record_kind("NPRC"), 7);

    // Saving writes plain integers, so nothing is lost to a real or text form.
    auto section = nlohmann::json::parse(saved)["module_data"];
    for (const auto& entry : section["KQ47"]["words"]) EXPECT_TRUE(entry.is_number_integer());
}

TEST_F(HostModuleData, HandWrittenRealsTextsAndDoublesLoadIntoExactWords)
{
    load_part_text(R"({"module_data": {
        "HEI8": {"kind": 2, "words": [5, {"real": 1.5}, {"text": "ABCDEF"}, {"double": 2.5}]},
        "AB":   {"kind": 3, "words": []}
    }})",
                   "hand");
    word twin[2];
    double_to_words(2.5, twin);
    EXPECT_EQ(get_record("HEI8"),
              (std::vector<word>{5, real_to_word(1.5f), text4_to_word("ABCD"), text4_to_word("EF"), twin[0], twin[1]}));
    EXPECT_EQ(word_to_text4(get_record("HEI8")->at(3)), "EF  ");
    EXPECT_EQ(get_record("AB  "), std::vector<word>{});
}

TEST_F(HostModuleData, MalformedSectionsAreRefusedNamingTheRecord)
{
    struct row {
        const char* section;
        const char* named;  // part of the error text
    };
    const row rows[] = {
        {R"([1, 2])", "module_data"},
        {R"({"TOOLONG": {"kind": 1, "words": []}})", "TOOLONG"},
        {R"({"KQ47": {"kind": 1.5, "words": []}})", "kind"},
        {R"({"KQ47": {"words": []}})", "kind"},
        {R"({"KQ47": {"kind": 1}})", "words"},
        {R"({"KQ47": {"kind": 1, "words": [4294967296]}})", "32-bit"},
        {R"({"KQ47": {"kind": 1, "words": [-2147483649]}})", "32-bit"},
        {R"({"KQ47": {"kind": 1, "words": ["text"]}})", "word entry 1"},
        {R"({"KQ47": {"kind": 1, "words": [1, {"real": "x"}]}})", "word entry 2"},
        {R"({"KQ47": {"kind": 1, "words": [{"real": 1e300}]}})", "beyond a float"},
        {R"({"KQ47": {"kind": 1, "words": [{"text": ""}]}})", "text"},
        {R"({"KQ47": {"kind": 1, "words": [{"real": 1, "text": "A"}]}})", "word entry 1"},
        {R"({"KQ47": {"kind": 1, "words": [], "extra": 0}})", "extra"},
        {R"({"AB": {"kind": 1, "words": []}, "AB  ": {"kind": 1, "words": []}})", "twice"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.section);
        try {
            load_part_text(std::string(R"({"module_data": )") + r.section + "}", "bad.json");
            ADD_FAILURE() << "accepted";
        } catch (const part_error& e) {
            EXPECT_NE(std::string(e.what()).find(r.named), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("bad.json"), std::string::npos) << e.what();
        }
    }
}

// updtwa 1 notes a changed tool path; 2 saves the part as it stands (its module data included),
// in memory; other modes do nothing.
TEST_F(HostModuleData, WorkModelUpdatesCountChangesAndSaveThePart)
{
    put("BKUP", {7});
    for (int mode : {1, 1, 0, 3}) updtwa(mode);
    EXPECT_EQ(work_model_changes(), 2);
    EXPECT_EQ(work_model_saves(), 0);
    EXPECT_EQ(work_model_saved_text(), "");
    updtwa(2);
    EXPECT_EQ(work_model_saves(), 1);
    EXPECT_EQ(nlohmann::json::parse(work_model_saved_text())["module_data"]["BKUP"]["words"][0], 7);
    EXPECT_EQ(tstrg_flg_get(), 0) << "the test-string switch is off unless a run sets it";
    reset();
    EXPECT_EQ(work_model_saves(), 0);
}
