// The host's table of parameter translations: which message labels a parameter number and of
// which kind its value is. The driver registers the rows at the start of a run (duplicates are
// meant: one parameter may carry several labels), sorts them and releases them at the end.
#include "host/vantu_interact.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>

namespace {

struct translation_table {
    std::vector<vantu::control::translation_row> rows;
    bool sorted = false;
};

translation_table& table()
{
    static translation_table t;
    return t;
}

bool known_kind(int kind) { return kind == 1 || kind == 2 || kind == 3 || kind == 5; }

}  // namespace

void nu_trns_init(int& status)
{
    if (const auto fault = vantu::fault_hit("nu_trns_init")) {
        status = *fault;
    } else {
        table() = translation_table{};
        status = 0;
    }
    vantu::trace_call("nu_trns_init", "", status);
}

void nu_trns_add(int message, int parameter, int kind, int second_message, int& status)
{
    if (const auto fault = vantu::fault_hit("nu_trns_add")) {
        status = *fault;
    } else if (!known_kind(kind) || table().rows.size() >= vantu::control::kMaxTranslationRows) {
        status = -1;
    } else {
        table().rows.push_back({parameter, message, kind, second_message});
        table().sorted = false;
        status = 0;
    }
    vantu::trace_call("nu_trns_add",
                      std::to_string(message) + ", " + std::to_string(parameter) + ", " + std::to_string(kind) + ", " +
                          std::to_string(second_message),
                      status);
}

void nu_trns_sort(int& status)
{
    if (const auto fault = vantu::fault_hit("nu_trns_sort")) {
        status = *fault;
    } else {
        std::stable_sort(table().rows.begin(), table().rows.end(),
                         [](const auto& a, const auto& b) { return a.parameter < b.parameter; });
        table().sorted = true;
        status = 0;
    }
    vantu::trace_call("nu_trns_sort", std::to_string(table().rows.size()), status);
}

void nu_trns_rels()
{
    vantu::trace_call("nu_trns_rels", std::to_string(table().rows.size()), 0);
    table() = translation_table{};
}

namespace vantu::control {
const std::vector<translation_row>& translation_rows() { return table().rows; }
bool translations_sorted() { return table().sorted; }
}  // namespace vantu::control

static void reset_translations() { table() = translation_table{}; }

static void report_translations(std::vector<std::string>& lines)
{
    if (!table().rows.empty())
        lines.push_back("parameter translations not released: " + std::to_string(table().rows.size()) + " rows");
}

static const bool translations_registered =
    vantu::register_component({"translations", reset_translations, nullptr, nullptr, report_translations});
