// Stubs for facilities the module does not carry: each one's report and fixed result.
#include "driver/stubs.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kUntouched = 123;

TEST(Stubs, EachReportsItsTextAndGivesItsFixedResult)
{
    struct row {
        const char* name;
        std::function<void(int&)> call;
        const char* report;  // on the error channel; null: silent
        int status_after;
    };
    const row rows[] = {
        {"get_stockid",
         [](int& s) {
             int a = 1, b = 2;
             get_stockid(a, b, s);
             EXPECT_EQ(a + b, 3);
         },
         "get_stockid - this is a dummy routine", kUntouched},
        {"ZLINT3", ZLINT3, "ZLINT3, THIS IS A DUMMY ROUTINE", -1},
        {"dummy_status_stub", [](int& s) { s = dummy_status_stub(); }, nullptr, -1},
        {"dummy_clear_stub", dummy_clear_stub, nullptr, 0},
        {"HORPNT_ON_GRID", HORPNT_ON_GRID, "HORPNT_ON_GRID, DUMMY ROUTINE", -1},
        {"LINNET_ON_GRID", LINNET_ON_GRID, "LINNET_ON_GRID, DUMMY ROUTINE", -1},
        {"SIM_STAMP_TOOL_AT_POINT", SIM_STAMP_TOOL_AT_POINT, "SIM_STAMP_TOOL_AT_POINT, DUMMY ROUTINE", kUntouched},
        {"INIT2_OPTIMIZE", INIT2_OPTIMIZE, "INIT2_OPTIMIZE, DUMMY ROUTINE", kUntouched},
        {"SIM_GET_SET_POLBUF_KEY", [](int& s) { SIM_GET_SET_POLBUF_KEY(9, s); },
         "SIM_GET_SET_POLBUF_KEY, DUMMY ROUTINE", kUntouched},
        {"SIM_GET_SET_POLBUF_KEY at 36", [](int& s) { SIM_GET_SET_POLBUF_KEY(36, s); }, nullptr, kUntouched},
        {"SIM_ALLOC_BUF_KEY", SIM_ALLOC_BUF_KEY, "SIM_ALLOC_BUF_KEY, DUMMY ROUTINE", kUntouched},
        {"SIM_INIT_FOR_LINNET", SIM_INIT_FOR_LINNET, "SIM_INIT_FOR_LINNET, DUMMY ROUTINE", kUntouched},
        {"automatic_verifier", automatic_verifier, "AUTOMATIC VERIFIER, DUMMY ROUTINE", 0},
    };
    for (const row& r : rows) {
        vantu::control::reset();
        int status = kUntouched;
        r.call(status);
        EXPECT_EQ(status, r.status_after) << r.name;
        std::vector<std::string> expected;
        if (r.report) expected.push_back(r.report);
        EXPECT_EQ(vantu::control::texts_of("eroutc"), expected) << r.name;
        EXPECT_EQ(vantu::control::messages().size(), expected.size()) << r.name << " sends nothing else";
    }
}

}  // namespace
