// The template's and the main procedure's values (host/vantu_main_values.hpp), kept in the part
// file under "main_values":
//   {"template_morz": 10.0, "template_tool": 0, "template_ucs": 0, "use": [1, 0, 0, 1],
//    "machine": [...], "clear": [...], "absclr": [...], "incclr": [...], "optimizer": [...],
//    "machine_table": [...], "onclr": 1, "aiclr": 0, "ctext": "TEXT"}
#include "host/vantu_main_values.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <vector>

namespace {

constexpr int kTextChars = 20;

struct main_values_state {
    double template_morz = 0.0;
    int template_tool = 0, template_ucs = 0;
    std::array<int, kBlockUseSwitches> use{};
    std::vector<word> machine, clear, absclr, incclr, optimizer, machine_table;
    int onclr = 0, aiclr = 0;
    std::string ctext;
};

main_values_state& state()
{
    static auto* s = new main_values_state;
    return *s;
}

void reset_state() { state() = main_values_state{}; }

void save_state(nlohmann::json& section)
{
    const main_values_state& s = state();
    section = {{"template_morz", s.template_morz},
               {"template_tool", s.template_tool},
               {"template_ucs", s.template_ucs},
               {"use", s.use},
               {"machine", s.machine},
               {"clear", s.clear},
               {"absclr", s.absclr},
               {"incclr", s.incclr},
               {"optimizer", s.optimizer},
               {"machine_table", s.machine_table},
               {"onclr", s.onclr},
               {"aiclr", s.aiclr},
               {"ctext", s.ctext}};
}

void load_state(const nlohmann::json& section)
{
    try {
        main_values_state s;
        s.template_morz = section.value("template_morz", 0.0);
        s.template_tool = section.value("template_tool", 0);
        s.template_ucs = section.value("template_ucs", 0);
        s.use = section.value("use", std::array<int, kBlockUseSwitches>{});
        for (auto [key, field] : {std::pair{"machine", &s.machine},
                                  {"clear", &s.clear},
                                  {"absclr", &s.absclr},
                                  {"incclr", &s.incclr},
                                  {"optimizer", &s.optimizer},
                                  {"machine_table", &s.machine_table}})
            *field = section.value(key, std::vector<word>{});
        s.onclr = section.value("onclr", 0);
        s.aiclr = section.value("aiclr", 0);
        s.ctext = section.value("ctext", std::string());
        if (s.ctext.size() > static_cast<std::size_t>(kTextChars))
            throw vantu::control::part_error("main_values: ctext is longer than 20");
        state() = std::move(s);
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("main_values: ") + e.what());
    }
}

const bool main_values_registered =
    vantu::register_component({"main_values", reset_state, save_state, load_state, nullptr});

void copy_from_main(const char* call, const std::vector<word>& from, std::span<word> values, int& status)
{
    status = from.empty() ? -1 : 0;
    if (const auto fault = vantu::fault_hit(call)) status = *fault;
    if (status == 0) std::copy_n(from.begin(), std::min(from.size(), values.size()), values.begin());
    vantu::trace_call(call, "", status);
}

}  // namespace

double get_TmplMorZ()
{
    vantu::trace_call("get_TmplMorZ", "", 0);
    return state().template_morz;
}

void init_BlockUseMode() { vantu::trace_call("init_BlockUseMode", "", 0); }

void get_Block_Filter_Array(int (&switches)[kBlockUseSwitches])
{
    std::copy(state().use.begin(), state().use.end(), switches);
    vantu::trace_call("get_Block_Filter_Array", "", 0);
}

void update_BlockUseMode() { vantu::trace_call("update_BlockUseMode", "", 0); }

int get_Template_NewTool_ID()
{
    vantu::trace_call("get_Template_NewTool_ID", "", state().template_tool);
    return state().template_tool;
}

int get_Template_NewProcUcs_ID()
{
    vantu::trace_call("get_Template_NewProcUcs_ID", "", state().template_ucs);
    return state().template_ucs;
}

void get_prmtbl_ptr_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_prmtbl_ptr_FromMain", state().machine, values, status);
}
void get_ClearV_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_ClearV_FromMain", state().clear, values, status);
}
void get_AbsclrV_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_AbsclrV_FromMain", state().absclr, values, status);
}
void get_IncclrV_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_IncclrV_FromMain", state().incclr, values, status);
}
void get_OPT_PARAMS_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_OPT_PARAMS_FromMain", state().optimizer, values, status);
}
void get_PLGmchtbl_PARAMS_FromMain(std::span<word> values, int& status)
{
    copy_from_main("get_PLGmchtbl_PARAMS_FromMain", state().machine_table, values, status);
}

int get_Onclr_FromMain() { return state().onclr; }
int get_Aiclr_FromMain() { return state().aiclr; }

void get_Ctext_FromMain(std::string& text)
{
    text = state().ctext;
    text.resize(kTextChars, ' ');
    vantu::trace_call("get_Ctext_FromMain", text, 0);
}
