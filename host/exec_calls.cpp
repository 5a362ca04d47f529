// Host services of an interrupted execution (host/vantu_exec.hpp). The prompt is read back from
// the message log; the block key is the list cursor's; painted progress texts are recorded on the
// message log under "dntxtc" so that the transcript shows them.
#include "host/vantu_exec.hpp"

#include "host/control/messages.hpp"
#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/flags.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_list.hpp"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kCurrentLevel = 1, kCurrentLevelCounter = 0;
constexpr int kFirstColumn = 1;

struct exec_host {
    std::vector<int> interrupt_answers;
    std::vector<std::string> paints;
};

exec_host& state()
{
    static auto* s = new exec_host;
    return *s;
}

void reset_state() { state() = exec_host{}; }

const bool exec_calls_registered = vantu::register_component({"execution", reset_state, nullptr, nullptr, nullptr});

bool is_prompt(const vantu::control::message& m)
{
    return m.channel == "prmptc" || m.channel == "msg_prompt" || m.channel == "prmpxc";
}

}  // namespace

int nc_host_operation()
{
    const int operation = vantu::flag_get("host_operation");
    vantu::trace_call("nc_host_operation", "", operation);
    return operation;
}

int nc_selected_procs()
{
    const int count = vantu::flag_get("selected_procedures");
    vantu::trace_call("nc_selected_procs", "", count);
    return count;
}

void gs_interpt(int mode, int answer)
{
    state().interrupt_answers.push_back(answer);
    vantu::trace_call("gs_interpt", std::to_string(mode) + "," + std::to_string(answer), 0);
}

void rdprmc(std::string& text)
{
    text.clear();
    const auto& log = vantu::control::messages();
    for (auto it = log.rbegin(); it != log.rend(); ++it)
        if (is_prompt(*it)) {
            text = it->line;
            break;
        }
    vantu::trace_call("rdprmc", text, 0);
}

void prmpxc(std::string_view text)
{
    vantu::record_message("prmpxc", text, text);
    vantu::trace_call("prmpxc", text, 0);
}

void ncd_get_last_block_key(int mode, block_key& key)
{
    int status = 0;
    gtlstn(kCurrentLevel, key.level, status);
    ljump(0, key.line);
    gsblkn(1, kCurrentLevelCounter, key.counter, status);
    vantu::trace_call("ncd_get_last_block_key", std::to_string(mode), key.line);
}

void ncd_set_block_position(const block_key& key, int& status)
{
    int level = 0, now = 0;
    gtlstn(kCurrentLevel, level, status);
    status = level == key.level ? 0 : -1;
    if (status == 0) {
        ljump(0, now);
        int reached = 0;
        ljump(std::abs(key.line) - std::abs(now), reached);
        if (std::abs(reached) != std::abs(key.line)) status = -1;
    }
    vantu::trace_call("ncd_set_block_position", std::to_string(key.line), status);
}

void gs_fast_display(int mode, int& value)
{
    if (mode == 1)
        value = vantu::flag_get("fast_display");
    else if (mode == 2)
        vantu::flag_set("fast_display", value);
    vantu::trace_call("gs_fast_display", std::to_string(mode), value);
}

void col1st(int& column)
{
    column = kFirstColumn;
    vantu::trace_count("col1st");
}

void dblnk(int column, int width)
{
    vantu::trace_call("dblnk", std::to_string(column) + "," + std::to_string(width), 0);
}

void dntxtc(int column, std::string_view text)
{
    state().paints.push_back(std::to_string(column) + ":" + std::string(text));
    vantu::record_message("dntxtc", text, text);
    vantu::trace_call("dntxtc", text, column);
}

namespace vantu::control {
const std::vector<int>& interrupt_answers() { return state().interrupt_answers; }
const std::vector<std::string>& progress_paints() { return state().paints; }
}  // namespace vantu::control
