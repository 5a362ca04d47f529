// The service tables through which lower folders call the display, the tools, the driver's
// procedure choice and its procedure services: every entry is filled once the module is loaded,
// and an entry left empty is reported, answers -1 in its status and calls nothing.
#include "listing/proc_common_services.hpp"
#include "toolpath/display_services.hpp"
#include "toolpath/mill_services.hpp"
#include "toolpath/proc_select_services.hpp"
#include "toolpath/seam_call.hpp"
#include "toolpath_support.hpp"

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// The entries of a table of function pointers, as addresses.
template <class Table> std::vector<const void*> entries_of(const Table& table)
{
    using any_entry = void (*)();
    static_assert(sizeof(Table) % sizeof(any_entry) == 0, "a service table holds function pointers only");
    std::array<any_entry, sizeof(Table) / sizeof(any_entry)> raw{};
    std::memcpy(raw.data(), &table, sizeof(Table));
    std::vector<const void*> out;
    for (any_entry e : raw) out.push_back(e == nullptr ? nullptr : reinterpret_cast<const void*>(e));
    return out;
}

TEST(ServiceTables, EveryEntryIsFilledWhenTheModuleIsLoaded)
{
    const struct {
        const char* table;
        std::vector<const void*> entries;
        std::size_t count;
    } rows[] = {
        {"display", entries_of(display_service_table()), 9},
        {"mill", entries_of(mill_service_table()), 4},
        {"proc_select", entries_of(proc_select_service_table()), 2},
        {"proc_common", entries_of(proc_common_service_table()), 5},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.entries.size(), r.count) << r.table;
        for (std::size_t i = 0; i < r.entries.size(); ++i) EXPECT_NE(r.entries[i], nullptr) << r.table << " entry " << i;
    }
}

TEST(ServiceTables, AnEmptyEntryIsReportedAndFailsItsStatus)
{
    const display_services display_kept = display_service_table();
    const proc_select_services select_kept = proc_select_service_table();
    const proc_common_services common_kept = proc_common_service_table();
    display_service_table() = {};
    proc_select_service_table() = {};
    proc_common_service_table() = {};
    using vec = std::array<float, 3>;

    // Each call answers what its last argument holds afterwards (the status, or 0 without one).
    const struct {
        const char* name;
        std::function<int()> call;
        int answer;
    } rows[] = {
        {"DISPLB",
         [] {
             int brk = 0, status = 0;
             seam_call("DISPLB", display_service_table().DISPLB, 1, brk, status);
             return status;
         },
         -1},
        {"DISPT1",
         [] {
             int instance = 7;
             seam_call("DISPT1", display_service_table().DISPT1, 3, vec{}, vec{0, 0, 1}, instance);
             return instance;
         },
         -1},
        {"status_show_feed",
         [] {
             seam_call("status_show_feed", display_service_table().status_show_feed, 2);
             return 0;
         },
         0},
        {"NXTCNT",
         [] {
             int status = 0;
             seam_call("NXTCNT", proc_select_service_table().NXTCNT, 1, 2, status);
             return status;
         },
         -1},
        {"updtcm",
         [] {
             int status = 0;
             seam_call("updtcm", proc_common_service_table().updtcm, 0, -1, 1, 2, 1, 0, 1, status);
             return status;
         },
         -1},
    };
    for (const auto& r : rows) {
        tp_test::fresh();
        EXPECT_EQ(r.call(), r.answer) << r.name;
        EXPECT_EQ(vantu::control::texts_of("eroutc"),
                  std::vector<std::string>{std::string(r.name) + ", SERVICE NOT INSTALLED"})
            << r.name;
    }
    display_service_table() = display_kept;
    proc_select_service_table() = select_kept;
    proc_common_service_table() = common_kept;
}

}  // namespace
