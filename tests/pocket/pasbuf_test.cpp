// The pass buffer: init and its guard, passes written and read back in order with both point
// streams, strings added to a pass, stream growth, and reads that stop at what was written.
#include "package_test_support.hpp"

#include <functional>
#include <numeric>

namespace {

class PassBuffer : public PackageTest {
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        int status = -5;
        pasbuf_init(2, 1, status);
        ASSERT_EQ(status, 0);
    }
    static const pasbuf_stream& stream(int k) { return pasbuf_block.entry[0].streams[k - 1]; }
    static std::vector<float> points(int n, float base)
    {
        std::vector<float> p(3 * static_cast<std::size_t>(n));
        std::iota(p.begin(), p.end(), base);
        return p;
    }
};

}  // namespace

TEST_F(PassBuffer, InitGuardAndEmptiness)
{
    int flag = 0, status = -5;
    pasbuf_is_empty(flag, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(flag, 1);
    pasbuf_init(2, 3, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"pasbuf_init, to many entries in pasbuf array"});
    EXPECT_EQ(pasbuf_block.entries, 1);

    pasbuf_init(1, 1, status);
    int value = 0;
    float p[3] = {};
    const std::vector<std::function<void(int&)>> calls = {
        [&](int& s) { pasbuf_allocate(1, s); },
        [&](int& s) { pasbuf_pastyp(2, value, s); },
        [&](int& s) { pasbuf_totstr(1, value, s); },
        [&](int& s) { pasbuf_totnp(2, 1, &value, s); },
        [&](int& s) { pasbuf_string(2, 0, 1, p, p, s); },
        [&](int& s) { pasbuf_npass(1, value, s); },
        [&](int& s) { pasbuf_is_empty(value, s); },
        [&](int& s) { pasbuf_new_pass(1, s); },
        [&](int& s) { pasbuf_new_string(s); },
    };
    for (const auto& call : calls) {
        vantu::control::clear_messages();
        int s = 0;
        call(s);
        EXPECT_EQ(s, -1);
        EXPECT_EQ(errors(), std::vector<std::string>{"pasbuf_pkg, USED BEFORE INITIALIZED"});
    }
}

TEST_F(PassBuffer, PassesComeBackInOrder)
{
    int status = 0;
    // Pass 1: two strings with the second stream; pass 2 made with new_pass and new_string.
    int counts[2] = {2, 3}, strings = 2, type = 7;
    std::vector<float> first = points(5, 0.0f), second = points(5, 100.0f);
    pasbuf_pass(2, 1, counts, strings, type, first.data(), second.data(), status);
    ASSERT_EQ(status, 0);
    pasbuf_new_pass(4, status);
    pasbuf_new_string(status);
    pasbuf_new_string(status);
    int passes = 0;
    pasbuf_npass(1, passes, status);
    EXPECT_EQ(passes, 1);  // pasbuf_pass leaves the count to its caller
    int flag = 1;
    pasbuf_is_empty(flag, status);
    EXPECT_EQ(flag, 0);

    int got_counts[3] = {-1, -1, -1}, got_strings = 0, got_type = 0;
    std::vector<float> got_first(15), got_second(15);
    pasbuf_pass(1, 1, got_counts, got_strings, got_type, got_first.data(), got_second.data(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(got_type, 7);
    EXPECT_EQ(got_strings, 2);
    EXPECT_EQ((std::vector<int>{got_counts[0], got_counts[1]}), (std::vector<int>{2, 3}));
    EXPECT_EQ(got_first, first);
    EXPECT_EQ(got_second, second);
    EXPECT_EQ(stream(1).cursor, 15);

    // The pass of new_pass and two new_string: three strings of no points.
    pasbuf_pass(1, 0, got_counts, got_strings, got_type, got_first.data(), nullptr, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(got_type, 4);
    EXPECT_EQ(got_strings, 3);
    EXPECT_EQ((std::vector<int>{got_counts[0], got_counts[1], got_counts[2]}), (std::vector<int>{0, 0, 0}));
}

TEST_F(PassBuffer, StreamsGrowUntilAWriteFits)
{
    int status = 0;
    std::vector<float> string = points(3000, 0.0f);
    pasbuf_string(2, 0, 3000, string.data(), nullptr, status);
    EXPECT_EQ(stream(1).capacity, 10000);
    pasbuf_string(2, 0, 3000, string.data(), nullptr, status);
    EXPECT_EQ(stream(1).capacity, 20000);
    EXPECT_EQ(stream(2).capacity, 0);  // the second stream only on request
    std::vector<float> long_string = points(10000, 1.0f);
    pasbuf_string(2, 1, 10000, long_string.data(), long_string.data(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(stream(1).capacity, 50000);
    EXPECT_EQ(stream(2).capacity, 30000);
    std::vector<int> many(250, 3);
    pasbuf_totnp(2, 250, many.data(), status);
    EXPECT_EQ(stream(5).capacity, 300);

    vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -2);
    vantu::control::clear_messages();
    pasbuf_string(2, 0, 3000, string.data(), nullptr, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"pasbuf_allocate, OPEN DYNAMIC MEMORY ERROR"});
    EXPECT_EQ(stream(1).written, 48000);
}

TEST_F(PassBuffer, ReadsStopAtWhatWasWritten)
{
    int status = 0, value = 5, counts[4] = {1, 1, 1, 1};
    std::vector<float> p = points(2, 0.0f), out(6, -1.0f);
    pasbuf_pastyp(2, value, status);
    pasbuf_totstr(2, value, status);
    pasbuf_totnp(2, 2, counts, status);
    pasbuf_string(2, 0, 1, p.data(), nullptr, status);
    struct case_row {
        const char* message;
        std::function<void(int&)> call;
    };
    const std::vector<case_row> rows = {
        {"pasbuf_pastyp,INDEX TO BIG",
         [&](int& s) {
             pasbuf_pastyp(1, value, s);
             pasbuf_pastyp(1, value, s);
         }},
        {"pasbuf_totstr,INDEX TO BIG",
         [&](int& s) {
             pasbuf_totstr(1, value, s);
             pasbuf_totstr(1, value, s);
         }},
        {"pasbuf_totnp,INDEX TO BIG", [&](int& s) { pasbuf_totnp(1, 3, counts, s); }},
        {"pasbuf_string,INDEX TO BIG", [&](int& s) { pasbuf_string(1, 0, 2, out.data(), nullptr, s); }},
    };
    for (const case_row& r : rows) {
        vantu::control::clear_messages();
        r.call(status);
        EXPECT_EQ(status, -1) << r.message;
        EXPECT_EQ(errors(), std::vector<std::string>{r.message});
    }
    EXPECT_EQ(out[0], -1.0f);
    pasbuf_string(1, 0, 1, out.data(), nullptr, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 3), std::vector<float>(p.begin(), p.begin() + 3));
    // Adding a string with no pass written is refused.
    pasbuf_init(2, 1, status);
    pasbuf_new_string(status);
    EXPECT_EQ(status, -1);
}
