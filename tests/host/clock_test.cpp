// Host clock: the fixed time for reproducible output, its text form, refusal of times that do
// not exist, and the system's local time otherwise.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using namespace vantu::control;

class HostClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_fixed_time();
        reset();
    }
    void TearDown() override { clear_fixed_time(); }
};

std::vector<int> now()
{
    int fields[6] = {-1, -1, -1, -1, -1, -1};
    host_local_time(fields);
    return std::vector<int>(fields, fields + 6);
}

}  // namespace

TEST_F(HostClock, FixedTimeIsAnsweredAndSurvivesReset)
{
    set_fixed_time(2002, 11, 5, 12, 46, 11);
    EXPECT_TRUE(fixed_time_active());
    EXPECT_EQ(now(), (std::vector<int>{2002, 11, 5, 12, 46, 11}));
    reset();
    EXPECT_EQ(now(), (std::vector<int>{2002, 11, 5, 12, 46, 11})) << "a runner setting, not host state";
}

TEST_F(HostClock, TextFormIsCheckedFieldByField)
{
    struct row {
        const char* text;
        bool accepted;
        std::vector<int> fields;
    };
    const std::vector<row> rows = {
        {"2026-01-01T12:00:00", true, {2026, 1, 1, 12, 0, 0}},
        {"2024-02-29T23:59:59", true, {2024, 2, 29, 23, 59, 59}},
        {"2000-02-29 00:00:00", true, {2000, 2, 29, 0, 0, 0}},
        {"1900-02-29T00:00:00", false, {}},
        {"2026-02-29T00:00:00", false, {}},
        {"2026-04-31T00:00:00", false, {}},
        {"2026-13-01T00:00:00", false, {}},
        {"2026-00-10T00:00:00", false, {}},
        {"2026-01-01T24:00:00", false, {}},
        {"2026-01-01T12:60:00", false, {}},
        {"2026-1-01T12:00:00", false, {}},
        {"2026-01-01T12:00:00Z", false, {}},
        {"2026/01/01T12:00:00", false, {}},
        {"2026-01-01T12:0a:00", false, {}},
        {"", false, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text);
        set_fixed_time(1999, 12, 31, 23, 59, 58);
        EXPECT_EQ(set_fixed_time_text(r.text), r.accepted);
        EXPECT_EQ(now(), (r.accepted ? r.fields : std::vector<int>{1999, 12, 31, 23, 59, 58}));
    }
}

TEST_F(HostClock, ImpossibleFixedTimeIsRefusedWithOneLine)
{
    set_fixed_time(2026, 6, 1, 8, 0, 0);
    set_fixed_time(2026, 2, 30, 8, 0, 0);
    EXPECT_EQ(now(), (std::vector<int>{2026, 6, 1, 8, 0, 0}));
    EXPECT_EQ(texts_of("host_error"), std::vector<std::string>{"set_fixed_time, NO SUCH TIME 2026,2,30,8,0,0"});
}

TEST_F(HostClock, WithoutFixedTimeTheLocalTimeIsAnswered)
{
    EXPECT_FALSE(fixed_time_active());
    std::time_t before = std::time(nullptr);
    std::vector<int> fields = now();
    std::time_t after = std::time(nullptr);
    std::tm t{};
    t.tm_year = fields[0] - 1900;
    t.tm_mon = fields[1] - 1;
    t.tm_mday = fields[2];
    t.tm_hour = fields[3];
    t.tm_min = fields[4];
    t.tm_sec = fields[5];
    t.tm_isdst = -1;
    std::time_t answered = std::mktime(&t);
    // One second of slack either way for a second boundary during the call.
    EXPECT_GE(answered, before - 1);
    EXPECT_LE(answered, after + 1);
}
