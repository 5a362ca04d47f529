// Interaction modes and the mode line: modint starts or ends a mode (and the page starts empty),
// ofmod and ofwric switch and write the mode line, gsclr clears a highlight set, and the next
// mode lives in the flag registry ("next_mode"). Everything is recorded for the tests and traced
// with its arguments, so the call orders that dialogs keep can be checked.
#include "host/vantu_interact.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/output_layer.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

namespace {

constexpr int kOutputOn = 1, kOutputOff = 2;
constexpr int kClearRequestQuery = 1;

struct mode_line_state {
    bool active = false;   // a mode runs
    int current_mode = 0;  // its mode id; 0 when none
    int output = 0;        // last ofmod setting; 0 never set
    std::vector<vantu::control::mode_start> starts;
    std::vector<std::string> prompts;
    std::vector<vantu::control::highlight_clear> clears;
};

mode_line_state& state()
{
    static mode_line_state s;
    return s;
}

std::string numbers(std::initializer_list<int> values)
{
    std::string text;
    for (int v : values) text += (text.empty() ? "" : ", ") + std::to_string(v);
    return text;
}

}  // namespace

void modint(int mode, int row, int column, int flag, int& status)
{
    if (const auto fault = vantu::fault_hit("modint")) {
        status = *fault;
    } else {
        mode_line_state& s = state();
        const bool ends = mode == 0 && row == 0 && column == 0;
        s.active = !ends;
        s.current_mode = ends ? 0 : mode;
        if (!ends) s.starts.push_back({mode, row, column, flag});
        vantu::script::page_clear();
        status = 0;
    }
    vantu::trace_call("modint", numbers({mode, row, column, flag}), status);
}

void ofmod(int mode, int& status)
{
    if (const auto fault = vantu::fault_hit("ofmod")) {
        status = *fault;
    } else if (mode != kOutputOn && mode != kOutputOff) {
        status = -1;
    } else {
        state().output = mode;
        if (mode == kOutputOff) vantu::output_layer_capture(false);
        status = 0;
    }
    vantu::trace_call("ofmod", std::to_string(mode), status);
}

void ofwric(std::string_view text, int& status)
{
    if (const auto fault = vantu::fault_hit("ofwric")) {
        status = *fault;
    } else {
        state().prompts.emplace_back(text);
        vantu::output_layer_capture(true);
        status = 0;
    }
    vantu::trace_call("ofwric", text, status);
}

int gsclr(int what, int set)
{
    if (what == kClearRequestQuery) {
        const int request = vantu::flag_get("clear_request");
        vantu::trace_call("gsclr", numbers({what, set}), request);
        return request;
    }
    state().clears.push_back({what, set});
    if (set == 0) vantu::flag_set("clear_request", 0);
    vantu::trace_call("gsclr", numbers({what, set}), 0);
    return 0;
}

void modisp() { vantu::trace_call("modisp", "", 0); }

void ncr_mdnxt_get(int& mode)
{
    mode = vantu::flag_get("next_mode");
    vantu::trace_call("ncr_mdnxt_get", "", mode);
}

void ncr_mdnxt_set(int mode)
{
    vantu::flag_set("next_mode", mode);
    vantu::trace_call("ncr_mdnxt_set", std::to_string(mode), 0);
}

void mdnxt_set(int mode)
{
    vantu::flag_set("next_mode", mode);
    vantu::trace_call("mdnxt_set", std::to_string(mode), 0);
}

void prexec() { vantu::trace_call("prexec", "", 0); }

namespace vantu::control {
const std::vector<mode_start>& mode_starts() { return state().starts; }
bool interaction_active() { return state().active; }
int current_mode() { return state().current_mode; }
int mode_line_output() { return state().output; }
const std::vector<std::string>& mode_line_prompts() { return state().prompts; }
const std::vector<highlight_clear>& highlight_clears() { return state().clears; }
}  // namespace vantu::control

static void reset_mode_line() { state() = mode_line_state{}; }

static const bool interact_registered =
    vantu::register_component({"mode_line", reset_mode_line, nullptr, nullptr, nullptr});
